#pragma once
// The radio link of one channel view: the Read, Write and Com Setup
// commands, the progress dialog and the Port Setting dialog, and the
// transfer itself, run by the protocol engine inside the handler of the
// progress dialog's start request.
//
// The view hands in its window and document and how to block editing while
// a transfer runs (RadioLinkHost). A write first writes the cells into the
// document's image; a complete read is one change of the document (Apply),
// after which the link sets the device mode, clears the new-document flag,
// makes the radio's type and band the per-user choice and keeps a copy of
// the image in the reads folder.
// Read first offers to save a modified document. After the transfer the
// status bar confirms a complete read or write, or says that the cable was
// disconnected; a write that the radio took only in part is reported in a
// message box after the transfer's own message.
//
// While a transfer is pending or running, every command that would open a
// modal window or end a document, its window or the program is refused (see
// TransferBusy.h); the view and its document therefore outlive the handler.

#include "base/CmdTarget.h"
#include "core/link/RadioTransfer.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>

class CFleetDlg;
class CPortSettingDlg;
class CProgramDoc;
class CProgressDlg;
class CTransferBusy;
class QWidget;

struct RadioLinkHost
{
    QWidget* view = nullptr;         // owner of the dialogs
    CProgramDoc* document = nullptr; // what is read into and written from
    std::function<void(bool)> blockEditing;
};

class CRadioLink : public QObject
{
    Q_OBJECT
public:
    // Also sets the port name from the per-user value, as every new
    // channel view does.
    explicit CRadioLink(RadioLinkHost host);
    ~CRadioLink() override;

    // Read, Write and Com Setup; while a transfer is busy, also refuses the
    // commands that may not run meanwhile. Returns whether it handled id.
    bool OnCmdMsg(int id, CCmdUI* ui);

    void OnRead();
    void OnWrite();
    void OnComSetup();
    // Write to Many Radios: the fleet dialog, modal, with the link busy
    // (Read, Write and editing refused) while it is open.
    void OnWriteMany();
    CFleetDlg* FleetDialog() const { return m_pFleetDlg; }
    // The transfer, run when the progress dialog asks for it.
    void OnRadioTransfer();

    CProgressDlg* ProgressDialog() const { return m_pProgressDlg; }
    CPortSettingDlg* PortSettingDialog() const { return m_pPortSettingDlg; }
    // The outcome of the last transfer, and where its read copy went (or
    // why it could not be kept), for the status bar and the tests.
    const TransferResult& LastResult() const { return m_lastResult; }
    const QString& LastStatus() const { return m_strLastStatus; }

    bool m_bWriteMode = false;

private:
    void StartCommand(bool write);
    QString KeepReadCopy(); // the note on the copy, for the status bar
    void ShowStatus(const QString& text);

    RadioLinkHost m_host;
    CProgressDlg* m_pProgressDlg = nullptr;
    CPortSettingDlg* m_pPortSettingDlg = nullptr;
    CFleetDlg* m_pFleetDlg = nullptr; // while it is open
    std::unique_ptr<CTransferBusy> m_pBusy;
    bool m_bRunning = false;
    TransferResult m_lastResult;
    QString m_strLastStatus;
};
