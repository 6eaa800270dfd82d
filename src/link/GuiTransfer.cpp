#include "link/GuiTransfer.h"

#include "base/Globals.h"
#include "base/LanguageResources.h"
#include "base/Prompter.h"
#include "core/link/PortNames.h"
#include "core/link/TransferMessages.h"
#include "link/ProgressDlg.h"

#include <QCoreApplication>

CGuiTransferPump::CGuiTransferPump(CProgressDlg* dialog)
    : m_pDialog(dialog)
{}

bool CGuiTransferPump::PumpStep()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    return !m_pDialog || m_pDialog->m_bCancel;
}

void CGuiTransferPump::SetProgress(int position)
{
    if (m_pDialog)
        m_pDialog->SetPosition(position);
}

std::error_code CRecordingSerialPort::Open(const std::string& device)
{
    m_device = device;
    m_openError = m_port.Open(device);
    return m_openError;
}

CGuiTransferPrompter::CGuiTransferPrompter(QWidget* owner, const CRecordingSerialPort& port)
    : m_pOwner(owner)
    , m_port(port)
{}

QString CGuiTransferPrompter::Text(TransferMessage message) const
{
    const int id = static_cast<int>(message);
    QString text = g_pResources && g_pResources->HasString(id) ? g_pResources->LoadString(id)
                                                               : QString::fromUtf8(TransferMessageEnglishText(message));
    const std::error_code& error = m_port.OpenError();
    if (message == TransferMessage::CannotOpenPort &&
        (error == std::errc::permission_denied || error == std::errc::operation_not_permitted)) {
        const std::string hint = PortPermissionHint(m_port.Device());
        if (!hint.empty())
            text += QStringLiteral("\n\n") + QString::fromLocal8Bit(hint.c_str());
    } else if (message == TransferMessage::CannotOpenPort && error == NotASerialPortError()) {
        text += QStringLiteral("\n\n%1: %2")
                    .arg(QString::fromLocal8Bit(m_port.Device().c_str()), QString::fromStdString(error.message()));
    }
    return text;
}

void CGuiTransferPrompter::ShowMessage(TransferMessage message)
{
    if (message == TransferMessage::TypeMismatch) {
        Prompter().Message(m_pOwner, QString::fromUtf8(TypeMismatchCaption(IsChinese())),
                           QString::fromUtf8(TypeMismatchText(IsChinese())), PromptButtons::Ok,
                           PromptIcon::Exclamation);
        return;
    }
    AppMessageBox(Text(message), PromptButtons::Ok);
}

bool CGuiTransferPrompter::AskRetry(TransferMessage message)
{
    return AppMessageBox(Text(message), PromptButtons::RetryCancel) == PromptAnswer::Retry;
}
