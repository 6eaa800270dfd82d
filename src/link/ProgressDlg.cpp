#include "link/ProgressDlg.h"

#include "base/ContextHelp.h"
#include "base/ControlId.h"
#include "base/Globals.h"
#include "base/LanguageResources.h"
#include "base/ResourceIds.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

CProgressDlg::CProgressDlg(QWidget* owner)
    : QDialog(owner)
{
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setModal(false);

    m_pProgress = new QProgressBar(this);
    SetControlId(m_pProgress, IDC_PROGRESS);
    m_pProgress->setTextVisible(false);
    m_pProgress->setMinimumWidth(260);
    m_pCounter = new QLabel(this);
    SetControlId(m_pCounter, IDC_COUNTER);
    m_pCounter->setAlignment(Qt::AlignCenter);
    m_pOk = new QPushButton(this);
    m_pCancel = new QPushButton(this);
    SetControlId(m_pOk, Ids::IDOK);
    SetControlId(m_pCancel, Ids::IDCANCEL);
    m_pOk->setDefault(true);
    connect(m_pOk, &QPushButton::clicked, this, &CProgressDlg::OnOK);
    connect(m_pCancel, &QPushButton::clicked, this, &CProgressDlg::OnCancel);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_pOk);
    buttons->addWidget(m_pCancel);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pProgress);
    layout->addWidget(m_pCounter);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void CProgressDlg::Create()
{
    if (m_bHasWindow)
        return;
    OnInitDialog();
    m_bHasWindow = true;
    show();
    // Centred over the owner's window.
    if (QWidget* owner = parentWidget()) {
        const QRect area = owner->window()->frameGeometry();
        move(area.center() - rect().center());
    }
    raise();
    activateWindow();
}

void CProgressDlg::DestroyWindow()
{
    const bool active = isActiveWindow();
    m_bHasWindow = false;
    hide();
    // Activation goes back to the owner's window, as when a window is destroyed.
    if (active && parentWidget())
        parentWidget()->window()->activateWindow();
}

bool CProgressDlg::IsStarted() const
{
    return m_bHasWindow && !m_pOk->isEnabled();
}

void CProgressDlg::OnInitDialog()
{
    if (g_pResources)
        g_pResources->ApplyDialog(this, Ids::IDD_PROGRESS);
    if (m_pOk->text().isEmpty())
        m_pOk->setText(Lang("OK", "确定"));
    if (m_pCancel->text().isEmpty())
        m_pCancel->setText(Lang("Cancel", "取消"));
    m_pProgress->setRange(0, kBlocks);
    SetPosition(0);
    setWindowTitle(m_strCaption);
    m_bCancel = false;
    m_pOk->setEnabled(true);
    m_pCancel->setEnabled(true);
    // A fresh window: Enter is OK, even when Cancel had the focus last time.
    m_pOk->setFocus();
}

void CProgressDlg::OnOK()
{
    if (!m_bHasWindow || !m_pOk->isEnabled())
        return;
    m_pOk->setEnabled(false);
    emit startTransfer();
}

void CProgressDlg::OnCancel()
{
    m_bCancel = true;
    if (m_pOk->isEnabled())
        DestroyWindow();
}

void CProgressDlg::SetPosition(int position)
{
    m_pProgress->setValue(position);
    m_pCounter->setText(QString::number(m_pProgress->value()));
}

void CProgressDlg::closeEvent(QCloseEvent* event)
{
    // The window's close button is Cancel: during a transfer the window
    // stays until the transfer has ended.
    const bool started = IsStarted();
    OnCancel();
    if (started)
        event->ignore();
    else
        event->accept();
}

void CProgressDlg::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F1) {
        ContextHelp(Ids::ID_READ); // the topic on reading and writing
        return;
    }
    QDialog::keyPressEvent(event);
}
