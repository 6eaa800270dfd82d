#include "app/Prompter.h"

#include "app/Globals.h"
#include "app/ProgramApp.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace {

class CBoxPrompter : public IPrompter
{
public:
    PromptAnswer Message(QWidget* parent, const QString& caption, const QString& text,
                         PromptButtons buttons, PromptIcon icon) override
    {
        QMessageBox box(parent);
        box.setWindowTitle(caption);
        box.setText(text);
        switch (icon) {
        case PromptIcon::None: box.setIcon(QMessageBox::NoIcon); break;
        case PromptIcon::Information: box.setIcon(QMessageBox::Information); break;
        case PromptIcon::Exclamation: box.setIcon(QMessageBox::Warning); break;
        case PromptIcon::Stop: box.setIcon(QMessageBox::Critical); break;
        case PromptIcon::Question: box.setIcon(QMessageBox::Question); break;
        }
        QPushButton* ok = nullptr;
        QPushButton* retry = nullptr;
        QPushButton* cancel = nullptr;
        QPushButton* save = nullptr;
        QPushButton* discard = nullptr;
        if (buttons == PromptButtons::SaveDiscardCancel) {
            save = box.addButton(Lang("&Save", "保存(&S)"), QMessageBox::AcceptRole);
            discard = box.addButton(Lang("&Discard", "不保存(&N)"), QMessageBox::DestructiveRole);
        } else if (buttons == PromptButtons::RetryCancel)
            retry = box.addButton(Lang("&Retry", "重试(&R)"), QMessageBox::AcceptRole);
        else
            ok = box.addButton(Lang("OK", "确定"), QMessageBox::AcceptRole);
        if (buttons != PromptButtons::Ok)
            cancel = box.addButton(Lang("Cancel", "取消"), QMessageBox::RejectRole);
        box.setDefaultButton(ok ? ok : retry ? retry : save);
        box.setEscapeButton(cancel ? cancel : ok);
        box.exec();
        if (box.clickedButton() == save)
            return PromptAnswer::Save;
        if (box.clickedButton() == discard)
            return PromptAnswer::Discard;
        if (box.clickedButton() == retry)
            return PromptAnswer::Retry;
        if (box.clickedButton() == ok)
            return PromptAnswer::Ok;
        return buttons == PromptButtons::Ok ? PromptAnswer::Ok : PromptAnswer::Cancel;
    }

    QString OpenFileName(QWidget* parent, const QString& caption, const QString& filter) override
    {
        return QFileDialog::getOpenFileName(parent, caption, QString(), filter);
    }

    QString SaveFileName(QWidget* parent, const QString& caption, const QString& initialName,
                         const QString& filter) override
    {
        return QFileDialog::getSaveFileName(parent, caption, initialName, filter);
    }
};

CBoxPrompter g_boxPrompter;
IPrompter* g_pPrompter = nullptr;

}  // namespace

IPrompter& Prompter()
{
    return g_pPrompter ? *g_pPrompter : g_boxPrompter;
}

void SetPrompter(IPrompter* prompter)
{
    g_pPrompter = prompter;
}

PromptAnswer AppMessageBox(const QString& text, PromptButtons buttons, PromptIcon icon)
{
    QWidget* parent = QApplication::activeModalWidget();
    if (!parent && theApp)
        parent = theApp->MainWindow();
    const QString caption = theApp ? theApp->AppName() : QStringLiteral("Program");
    return Prompter().Message(parent, caption, text, buttons, icon);
}
