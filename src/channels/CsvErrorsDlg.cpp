#include "channels/CsvErrorsDlg.h"

#include "base/Globals.h"

#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QFontDatabase>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

CCsvErrorsDlg::CCsvErrorsDlg(const QString& fileName, const QStringList& errors, QWidget* parent)
    : CCsvErrorsDlg(
          Lang("Import Channels", "导入信道"),
          Lang("%1 was not imported and nothing was changed. Correct these cells (line:column) and import it again:",
               "%1 未导入，数据没有任何改动。请改正下列单元格(行:列)后重新导入:")
              .arg(QFileInfo(fileName).fileName()),
          errors, parent)
{}

CCsvErrorsDlg::CCsvErrorsDlg(const QString& title, const QString& introText, const QStringList& errors, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(title);
    auto* intro = new QLabel(introText, this);
    intro->setWordWrap(true);

    m_pList = new QPlainTextEdit(this);
    m_pList->setReadOnly(true);
    m_pList->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_pList->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_pList->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    m_pList->setPlainText(errors.join(QLatin1Char('\n')));
    // The list reads as the sentence above it.
    intro->setBuddy(m_pList);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    QPushButton* copy = buttons->addButton(Lang("&Copy", "复制(&C)"), QDialogButtonBox::ActionRole);
    buttons->button(QDialogButtonBox::Ok)->setText(Lang("OK", "确定"));
    connect(copy, &QPushButton::clicked, this, [this] { QApplication::clipboard()->setText(ListText()); });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addWidget(m_pList, 1);
    layout->addWidget(buttons);
    resize(560, 320);
}

QString CCsvErrorsDlg::ListText() const
{
    return m_pList->toPlainText();
}
