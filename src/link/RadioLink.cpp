#include "link/RadioLink.h"

#include "base/Globals.h"
#include "base/Prompter.h"
#include "base/ResourceIds.h"
#include "core/link/ReadCopies.h"
#include "core/link/Timing.h"
#include "core/link/TransferMessages.h"
#include "document/ProgramDoc.h"
#include "link/FleetDlg.h"
#include "link/GuiTransfer.h"
#include "link/PortChoice.h"
#include "link/PortSettingDlg.h"
#include "link/ProgressDlg.h"
#include "link/TransferBusy.h"

#include <QDir>
#include <QMainWindow>
#include <QStatusBar>
#include <QWidget>

#include <ctime>
#include <iostream>

namespace {

// Commands that stay available while a transfer runs: the bars, showing the
// channel window and help. Everything else either opens a modal window,
// which would hold the transfer inside its pump step, or ends a document.
bool AllowedDuringTransfer(int id)
{
    switch (id) {
    case Ids::ID_VIEW_TOOLBAR:
    case Ids::ID_VIEW_STATUS_BAR:
    case Ids::ID_CONTROL_BAR:
    case Ids::ID_CHANNEL_INFORMATION:
    case Ids::ID_HELP:
    case Ids::ID_NEXT_PANE:
    case Ids::ID_PREV_PANE: return true;
    default: return false;
    }
}

} // namespace

CRadioLink::CRadioLink(RadioLinkHost host)
    : QObject(host.view)
    , m_host(std::move(host))
{
    m_pProgressDlg = new CProgressDlg(m_host.view);
    m_pPortSettingDlg = new CPortSettingDlg(m_host.view);
    connect(m_pProgressDlg, &CProgressDlg::startTransfer, this, &CRadioLink::OnRadioTransfer, Qt::QueuedConnection);
    // The transfer counts as busy from the press of OK, while its start is
    // still queued.
    connect(m_pProgressDlg, &CProgressDlg::startTransfer, this, [this] {
        if (!m_pBusy)
            m_pBusy = std::make_unique<CTransferBusy>();
    });
    LoadPortName();
}

CRadioLink::~CRadioLink() = default;

bool CRadioLink::OnCmdMsg(int id, CCmdUI* ui)
{
    if (m_pBusy || IsRadioTransferBusy()) {
        if (AllowedDuringTransfer(id))
            return false;
        if (ui)
            ui->Enable(false);
        return true;
    }
    switch (id) {
    case Ids::ID_READ:
        if (!ui)
            OnRead();
        return true;
    case Ids::ID_WRITE:
        if (!ui)
            OnWrite();
        return true;
    case Ids::ID_COM_SETUP:
        if (!ui)
            OnComSetup();
        return true;
    case Ids::ID_WRITE_MANY:
        if (!ui)
            OnWriteMany();
        return true;
    default: return false;
    }
}

void CRadioLink::OnRead()
{
    if (m_pBusy || m_bRunning)
        return;
    // A read replaces the image: unsaved edits are offered a save first.
    if (!m_host.document->SaveModified())
        return;
    StartCommand(false);
}

void CRadioLink::OnWrite()
{
    StartCommand(true);
}

void CRadioLink::StartCommand(bool write)
{
    if (m_pBusy || m_bRunning)
        return;
    m_bWriteMode = write;
    m_pProgressDlg->m_strCaption = write ? Lang("Write Data", "写数据") : Lang("Read Data", "读数据");
    if (m_pProgressDlg->HasWindow()) {
        // One window only; its title follows the direction OK will start.
        m_pProgressDlg->setWindowTitle(m_pProgressDlg->m_strCaption);
        m_pProgressDlg->raise();
        m_pProgressDlg->activateWindow();
        return;
    }
    m_pProgressDlg->Create();
}

void CRadioLink::OnWriteMany()
{
    if (m_pBusy || m_bRunning)
        return;
    // The radios get what the grid shows, as a Write would send it; the
    // run then works on its own copy.
    m_host.document->WriteGridToImage();
    m_pBusy = std::make_unique<CTransferBusy>();
    m_host.blockEditing(true);
    CFleetDlg dialog(m_host.view, m_host.document->Image(), QString::fromStdString(CurrentPortDevice()));
    m_pFleetDlg = &dialog;
    dialog.exec();
    m_pFleetDlg = nullptr;
    m_host.blockEditing(false);
    m_pBusy.reset();
}

void CRadioLink::OnComSetup()
{
    m_pPortSettingDlg->exec();
}

void CRadioLink::OnRadioTransfer()
{
    if (m_bRunning)
        return;
    if (!m_pProgressDlg->IsStarted()) {
        m_pBusy.reset();
        return;
    }
    if (!m_pBusy)
        m_pBusy = std::make_unique<CTransferBusy>();
    m_bRunning = true;
    const bool write = m_bWriteMode;

    CProgramDoc& document = *m_host.document;
    if (write)
        document.WriteGridToImage();
    else
        document.CommitPendingEdit();
    m_host.blockEditing(true);

    UsePreciseTimers();
    CRecordingSerialPort port;
    CGuiTransferPump pump(m_pProgressDlg);
    CGuiTransferPrompter prompter(m_host.view, port);
    RadioTransfer engine(port, prompter, pump);
    const std::string device = CurrentPortDevice();
    // The engine changes the image it reads into only once the last frame
    // is in; the document takes it as one change after the transfer.
    RadioImage image = document.Image();
    m_lastResult = write ? engine.Write(device, image) : engine.Read(device, image);

    m_host.blockEditing(false);
    const bool chinese = IsChinese();
    if (m_lastResult.outcome == TransferOutcome::Completed && !write) {
        g_nDeviceMode = m_lastResult.deviceMode;
        g_byNewDocument = 0;
        document.Apply(Lang("Read", "读频"), CProgramDoc::Change::Image, [&image](DocumentChannels& channels) {
            channels.Image() = image;
            return true;
        });
        document.RememberProductChoice();
        const QString note = KeepReadCopy();
        ShowStatus(QString::fromUtf8(ReadConfirmationText(device, chinese).c_str()) + QStringLiteral("  ") + note);
    } else if (m_lastResult.outcome == TransferOutcome::Completed) {
        ShowStatus(QString::fromUtf8(WriteConfirmationText(device, chinese).c_str()));
    } else if (m_lastResult.disconnected) {
        ShowStatus(QString::fromUtf8(DisconnectedText(device, chinese).c_str()));
    }
    if (IsPartialWrite(m_lastResult))
        AppMessageBox(QString::fromUtf8(PartialWriteText(m_lastResult.frames, chinese).c_str()), PromptButtons::Ok);
    m_pProgressDlg->DestroyWindow();
    if (m_lastResult.outcome == TransferOutcome::Completed) {
        if (QWidget* frame = m_host.view->parentWidget(); frame && !frame->isVisible())
            frame->show();
    }
    // The keyboard goes back to the channels.
    if (m_host.view->isVisible())
        m_host.view->setFocus();
    m_bRunning = false;
    m_pBusy.reset();
}

QString CRadioLink::KeepReadCopy()
{
    std::string note;
    const std::string directory = ReadCopiesDirectory(&note);
    if (!note.empty())
        std::cerr << "Program: " << note << "\n";
    const ReadCopyResult copy = StoreReadCopy(m_host.document->Image(), directory, std::time(nullptr));
    if (copy.Stored()) {
        return Lang("A copy of the radio's data was kept in %1", "对讲机数据的副本已保存在 %1")
            .arg(QDir::toNativeSeparators(QString::fromLocal8Bit(copy.path.c_str())));
    }
    return Lang("The copy of this read could not be kept: %1", "无法保存本次读频的副本:%1")
        .arg(QString::fromLocal8Bit(copy.error.c_str()));
}

void CRadioLink::ShowStatus(const QString& text)
{
    m_strLastStatus = text;
    if (auto* main = qobject_cast<QMainWindow*>(m_host.view->window()))
        main->statusBar()->showMessage(text);
}
