#pragma once
// Write to Many Radios: the document's channels written to one radio after
// another on one port, each backed up, checked, verified and logged (the
// run itself is the core's). The dialog shows the port, whether each radio
// keeps its own settings, one status line, a row per radio done and the
// counts; a bell sounds as each radio ends. Closing the dialog stops the
// run as Stop does. The run works on a copy of the image: neither the
// document nor the grid changes.

#include "core/document/RadioImage.h"
#include "core/link/FleetLog.h"
#include "core/link/FleetRun.h"

#include <QDialog>

#include <memory>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

class CFleetDlg : public QDialog, private FleetObserver
{
    Q_OBJECT
public:
    // document: the image whose channels and features the radios get;
    // device: the port proposed.
    CFleetDlg(QWidget* parent, const RadioImage& document, const QString& device);
    ~CFleetDlg() override;

    bool IsRunning() const { return m_bRunning; }
    QLineEdit* PortEdit() const { return m_pPort; }
    QCheckBox* KeepOwnCheck() const { return m_pKeepOwn; }
    QPushButton* StartButton() const { return m_pStart; }
    QPushButton* StopButton() const { return m_pStop; }
    QLabel* StatusLine() const { return m_pStatus; }
    QLabel* CountsLine() const { return m_pCounts; }
    QTableWidget* Table() const { return m_pTable; }
    QString LogPath() const;

public slots:
    void OnStart();
    void OnStop();
    // Escape and the title bar's close: during a run, stop it first.
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    bool Cancelled() override { return m_bStop; }
    void ProcessEvents() override;
    void StepChanged(FleetStep step, int radio) override;
    void RadioEnded(const FleetRecord& record) override;
    void ShowCounts();

    RadioImage m_document;
    QLineEdit* m_pPort = nullptr;
    QCheckBox* m_pKeepOwn = nullptr;
    QPushButton* m_pStart = nullptr;
    QPushButton* m_pStop = nullptr;
    QLabel* m_pStatus = nullptr;
    QTableWidget* m_pTable = nullptr;
    QLabel* m_pCounts = nullptr;
    std::unique_ptr<FleetLog> m_pLog;
    bool m_bRunning = false;
    bool m_bStop = false;
    bool m_bCloseAfterRun = false;
    bool m_bLogFailed = false;
    int m_nWritten = 0;
    int m_nFailed = 0;
    int m_nSkipped = 0;
};
