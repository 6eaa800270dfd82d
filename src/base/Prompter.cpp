#include "base/Prompter.h"

#include "base/AppServices.h"
#include "base/Globals.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPushButton>

namespace {

class CBoxPrompter : public IPrompter
{
public:
    PromptAnswer Message(QWidget* parent, const QString& caption, const QString& text, PromptButtons buttons,
                         PromptIcon icon) override
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

    QString OpenFileName(QWidget* parent, const QString& caption, const QString& directory,
                         const QString& filter) override
    {
        return QFileDialog::getOpenFileName(parent, caption, directory, filter);
    }

    QString SaveFileName(QWidget* parent, const QString& caption, const QString& initialName,
                         const QString& filter) override
    {
        return QFileDialog::getSaveFileName(parent, caption, initialName, filter);
    }

    bool PrintDialog(QWidget* parent, QPrinter& printer, int lastPage, const QString& pdfFile) override
    {
        QPrintDialog dialog(&printer, parent);
        // The dialog names a PDF file in the home folder by itself; its
        // file field takes the proposal instead.
        if (auto* field = dialog.findChild<QLineEdit*>(QStringLiteral("filename")); field && !pdfFile.isEmpty())
            field->setText(pdfFile);
        dialog.setMinMax(1, lastPage);
        dialog.setFromTo(1, lastPage);
        dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
        dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
        dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
        return dialog.exec() == QDialog::Accepted;
    }

    void PrintPreview(QPrintPreviewDialog& preview) override { preview.exec(); }

    QString SaveFileNameWithFilter(QWidget* parent, const QString& caption, const QString& initialName,
                                   const QString& filters, QString& selectedFilter) override
    {
        return QFileDialog::getSaveFileName(parent, caption, initialName, filters, &selectedFilter);
    }
};

CBoxPrompter g_boxPrompter;
IPrompter* g_pPrompter = nullptr;

} // namespace

QString IPrompter::SaveFileNameWithFilter(QWidget* parent, const QString& caption, const QString& initialName,
                                          const QString& filters, QString& selectedFilter)
{
    selectedFilter = filters.section(QStringLiteral(";;"), 0, 0);
    return SaveFileName(parent, caption, initialName, selectedFilter);
}

IPrompter& Prompter()
{
    return g_pPrompter ? *g_pPrompter : g_boxPrompter;
}

void SetPrompter(IPrompter* prompter)
{
    g_pPrompter = prompter;
}

namespace {
const IAppServices* g_pMessageBoxOwner = nullptr;
} // namespace

void SetAppMessageBoxOwner(const IAppServices* app)
{
    g_pMessageBoxOwner = app;
}

PromptAnswer AppMessageBox(const QString& text, PromptButtons buttons, PromptIcon icon)
{
    QWidget* parent = QApplication::activeModalWidget();
    if (!parent && g_pMessageBoxOwner)
        parent = g_pMessageBoxOwner->MainWindow();
    const QString caption = g_pMessageBoxOwner ? g_pMessageBoxOwner->AppName() : QStringLiteral("Program");
    return Prompter().Message(parent, caption, text, buttons, icon);
}
