#pragma once
// What the protocol engine is handed in the program: a pump that lets the
// window system process pending events once and reads the progress dialog's
// cancel flag, a prompter that shows the transfer's messages in the
// program's message boxes, and a serial port that remembers why its last
// open failed, so that the message can say how to get access.

#include "core/link/RadioTransfer.h"
#include "core/link/SystemSerialPort.h"

#include <QPointer>
#include <QString>

class CProgressDlg;
class QWidget;

class CGuiTransferPump final : public TransferPump
{
public:
    explicit CGuiTransferPump(CProgressDlg* dialog);

    // Processes pending events, then reports the cancel flag; a dialog that
    // has gone counts as cancelled.
    bool PumpStep() override;
    void SetProgress(int position) override;

private:
    QPointer<CProgressDlg> m_pDialog;
};

class CRecordingSerialPort final : public SerialPort
{
public:
    std::error_code Open(const std::string& device) override;
    bool IsOpen() const override { return m_port.IsOpen(); }
    void Close() override { m_port.Close(); }
    bool Configure(const SerialSettings& settings) override { return m_port.Configure(settings); }
    void Purge(unsigned flags) override { m_port.Purge(flags); }
    bool Write(const std::uint8_t* data, std::size_t size) override { return m_port.Write(data, size); }
    bool Read(std::uint8_t* data, std::size_t size, std::size_t& received) override
    {
        return m_port.Read(data, size, received);
    }
    bool HungUp() const override { return m_port.HungUp(); }

    const std::string& Device() const { return m_device; }
    const std::error_code& OpenError() const { return m_openError; }

private:
    SystemSerialPort m_port;
    std::string m_device;
    std::error_code m_openError;
};

class CGuiTransferPrompter final : public TransferPrompter
{
public:
    // owner: the window the type mismatch is shown over (the view).
    CGuiTransferPrompter(QWidget* owner, const CRecordingSerialPort& port);

    void ShowMessage(TransferMessage message) override;
    bool AskRetry(TransferMessage message) override;

    // The text of a message: the string resource, and for a port that may
    // not be opened the advice on access.
    QString Text(TransferMessage message) const;

private:
    QPointer<QWidget> m_pOwner;
    const CRecordingSerialPort& m_port;
};
