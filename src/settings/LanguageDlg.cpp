#include "settings/LanguageDlg.h"
#include "base/DialogButtons.h"

#include "base/ContextHelp.h"
#include "base/ControlId.h"
#include "base/Globals.h"
#include "base/LanguageResources.h"
#include "base/Prompter.h"
#include "base/ResourceIds.h"
#include "base/UserStore.h"
#include "core/app/LanguageChoice.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QIcon>
#include <QKeyEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

CLanguageDlg::CLanguageDlg(QWidget* owner)
    : QDialog(owner)
{
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    // Blocks the main window only, so the help viewer stays usable.
    setWindowModality(Qt::WindowModal);
    m_pEnglish = new QRadioButton(this);
    m_pChinese = new QRadioButton(this);
    SetControlId(m_pEnglish, Ids::IDC_RADIO_ENGLISH);
    SetControlId(m_pChinese, Ids::IDC_RADIO_CHINESE);
    auto* group = new QButtonGroup(this);
    group->addButton(m_pEnglish, 0);
    group->addButton(m_pChinese, 1);

    QDialogButtonBox* buttons = AddOkCancelButtons(this);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pEnglish);
    layout->addWidget(m_pChinese);
    layout->addSpacing(8);
    layout->addWidget(buttons);
}

int CLanguageDlg::exec()
{
    OnInitDialog();
    return QDialog::exec();
}

void CLanguageDlg::OnInitDialog()
{
    if (g_pResources)
        g_pResources->ApplyDialog(this, Ids::IDD_LANGUAGE);
    m_nSelection = IsChinese() ? 1 : 0;
    (m_nSelection == 1 ? m_pChinese : m_pEnglish)->setChecked(true);
}

void CLanguageDlg::accept()
{
    m_nSelection = m_pChinese->isChecked() ? 1 : (m_pEnglish->isChecked() ? 0 : -1);
    const int running = IsChinese() ? 1 : 0;
    if (m_nSelection != running) {
        // The language other than the running one, kept in Program.ini or,
        // where that cannot be written (a system-wide install), for the user.
        UserValues user = CUserStore::ForApplication().Values();
        if (SaveLanguageChoice(g_iniFile, user, IsChinese(), !IsChinese()) != LanguageSaved::Nowhere) {
            m_bChanged = 1;
        } else {
            // Say so rather than restart into the same language.
            AppMessageBox(IsChinese() ? QStringLiteral("无法保存语言设置:Program.ini 和用户设置都无法写入。")
                                      : QStringLiteral("The language could not be saved: neither Program.ini nor "
                                                       "the per-user settings can be written."));
        }
    }
    QDialog::accept();
}

void CLanguageDlg::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F1)
        ContextHelp(Ids::ID_LANGUAGE);
    QDialog::keyPressEvent(event);
}
