#include "app/AboutDlg.h"
#include "base/DialogButtons.h"

#include "base/ControlId.h"
#include "base/Globals.h"
#include "base/LanguageResources.h"
#include "base/ResourceIds.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QPushButton>

CAboutDlg::CAboutDlg(QWidget* parent)
    : QDialog(parent)
{
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    // Blocks the main window only, so the help viewer stays usable.
    setWindowModality(Qt::WindowModal);
    m_pIcon = new QLabel(this);
    m_pIcon->setFixedSize(32, 32);
    SetControlId(m_pIcon, Ids::IDC_ABOUT_ICON);
    m_pVersion = new QLabel(this);
    m_pCopyrights = new QLabel(this);
    m_pOwner = new QLabel(this);
    SetControlId(m_pVersion, Ids::IDC_ABOUT_VERSION);
    SetControlId(m_pCopyrights, Ids::IDC_ABOUT_COPYRIGHTS);
    SetControlId(m_pOwner, Ids::IDC_ABOUT_OWNER);
    for (QLabel* line : {m_pVersion, m_pCopyrights, m_pOwner})
        line->setTextFormat(Qt::PlainText);

    QDialogButtonBox* buttons = AddOkCancelButtons(this, false);

    auto* layout = new QGridLayout(this);
    layout->setHorizontalSpacing(16);
    layout->addWidget(m_pIcon, 0, 0, 3, 1, Qt::AlignTop);
    layout->addWidget(m_pVersion, 0, 1);
    layout->addWidget(m_pCopyrights, 1, 1);
    layout->addWidget(m_pOwner, 2, 1);
    layout->addWidget(buttons, 0, 2, 3, 1, Qt::AlignTop);
    layout->setColumnMinimumWidth(1, 220);
    layout->setColumnStretch(1, 1);

    OnInitDialog();
}

QLabel* CAboutDlg::Line(int controlId) const
{
    switch (controlId) {
    case Ids::IDC_ABOUT_VERSION: return m_pVersion;
    case Ids::IDC_ABOUT_COPYRIGHTS: return m_pCopyrights;
    case Ids::IDC_ABOUT_OWNER: return m_pOwner;
    default: return nullptr;
    }
}

void CAboutDlg::OnInitDialog()
{
    if (g_pResources) {
        g_pResources->ApplyDialog(this, Ids::IDD_ABOUTBOX);
        m_pIcon->setPixmap(g_pResources->LoadIcon(Ids::IDR_MAINFRAME).pixmap(32, 32));
    }
    setWindowTitle(LanguageText("About Title"));
    m_pVersion->setText(LanguageText("Version"));
    m_pCopyrights->setText(LanguageText("Copyrights"));
    m_pOwner->setText(LanguageText("Copyrights Owner"));

    const QIcon icon(g_strAppDir + QStringLiteral("title.ico"));
    m_bFileIcon = !icon.isNull() && !icon.availableSizes().isEmpty();
    if (m_bFileIcon)
        m_pIcon->setPixmap(icon.pixmap(32, 32));
}
