#include "link/FleetDlg.h"

#include "base/Globals.h"
#include "base/Prompter.h"
#include "core/link/ReadCopies.h"
#include "core/link/TransferMessages.h"
#include "link/GuiTransfer.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QThread>
#include <QVBoxLayout>

#include <ctime>
#include <iostream>

namespace {

// The run's waits keep the dialog working: events are processed until the
// deadline or a Stop.
class DialogClock final : public FleetClock
{
public:
    explicit DialogClock(const bool& stop)
        : m_stop(stop)
    {}
    MonotonicClock::time_point Now() override { return MonotonicClock::now(); }
    void SleepUntil(MonotonicClock::time_point deadline) override
    {
        while (!m_stop && MonotonicClock::now() < deadline) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            QThread::msleep(5);
        }
    }

private:
    const bool& m_stop;
};

QString FromUtf8(const std::string& text)
{
    return QString::fromUtf8(text.c_str());
}

} // namespace

CFleetDlg::CFleetDlg(QWidget* parent, const RadioImage& document, const QString& device)
    : QDialog(parent)
    , m_document(document)
{
    setWindowTitle(Lang("Write to Many Radios", "批量写入"));
    m_pPort = new QLineEdit(device, this);
    m_pKeepOwn = new QCheckBox(Lang("Keep each radio's own settings", "保留每台电台自身的其他数据"), this);
    m_pKeepOwn->setChecked(true);
    m_pStart = new QPushButton(Lang("Start", "开始"), this);
    m_pStop = new QPushButton(Lang("Stop", "停止"), this);
    m_pStart->setDefault(true);
    m_pStart->setAutoDefault(true);
    m_pStop->setAutoDefault(false);
    m_pStop->setEnabled(false);
    m_pStatus = new QLabel(this);
    m_pTable = new QTableWidget(0, 5, this);
    m_pTable->setHorizontalHeaderLabels({Lang("Radio", "电台"), Lang("Time", "时间"), Lang("Identity", "标识"),
                                         Lang("Result", "结果"), Lang("Detail", "说明")});
    m_pTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_pTable->verticalHeader()->hide();
    m_pTable->horizontalHeader()->setStretchLastSection(true);
    m_pCounts = new QLabel(this);

    auto* portRow = new QHBoxLayout;
    portRow->addWidget(new QLabel(Lang("Port", "端口"), this));
    portRow->addWidget(m_pPort, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_pKeepOwn, 1);
    buttons->addWidget(m_pStart);
    buttons->addWidget(m_pStop);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(portRow);
    layout->addLayout(buttons);
    layout->addWidget(m_pStatus);
    layout->addWidget(m_pTable, 1);
    layout->addWidget(m_pCounts);
    resize(640, 380);
    ShowCounts();

    connect(m_pStart, &QPushButton::clicked, this, &CFleetDlg::OnStart);
    connect(m_pStop, &QPushButton::clicked, this, &CFleetDlg::OnStop);
}

CFleetDlg::~CFleetDlg() = default;

QString CFleetDlg::LogPath() const
{
    return m_pLog ? FromUtf8(m_pLog->Path()) : QString();
}

void CFleetDlg::OnStart()
{
    if (m_bRunning)
        return;
    m_bRunning = true;
    m_bStop = false;
    m_pStart->setEnabled(false);
    m_pStop->setEnabled(true);
    m_pPort->setEnabled(false);
    m_pKeepOwn->setEnabled(false);
    m_pStop->setFocus();

    // Each Start is a run of its own, with its own log.
    m_pLog = std::make_unique<FleetLog>(DefaultFleetLogPath(std::time(nullptr)));
    m_bLogFailed = false;
    FleetOptions options;
    options.device = m_pPort->text().trimmed().toStdString();
    options.document = m_document;
    options.wholeImage = !m_pKeepOwn->isChecked();
    std::string note;
    options.backupDirectory = ReadCopiesDirectory(&note);
    if (!note.empty())
        std::cerr << "Program: " << note << "\n";

    UsePreciseTimers();
    CRecordingSerialPort port;
    DialogClock clock(m_bStop);
    const FleetSummary summary = RunFleet(port, *this, clock, options);

    m_bRunning = false;
    m_pStart->setEnabled(true);
    m_pStop->setEnabled(false);
    m_pPort->setEnabled(true);
    m_pKeepOwn->setEnabled(true);
    m_pStatus->clear();
    if (summary.portFailed && !m_bCloseAfterRun) {
        CGuiTransferPrompter prompter(this, port);
        if (summary.disconnected)
            m_pStatus->setText(FromUtf8(DisconnectedText(options.device, IsChinese())));
        else
            prompter.ShowMessage(TransferMessage::CannotOpenPort);
    }
    if (m_bCloseAfterRun) {
        m_bCloseAfterRun = false;
        QDialog::reject();
    }
}

void CFleetDlg::OnStop()
{
    m_bStop = true;
}

void CFleetDlg::closeEvent(QCloseEvent* event)
{
    if (m_bRunning) {
        // The run ends at its next step; the dialog closes then.
        m_bStop = true;
        m_bCloseAfterRun = true;
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void CFleetDlg::reject()
{
    if (m_bRunning) {
        m_bStop = true;
        m_bCloseAfterRun = true;
        return;
    }
    QDialog::reject();
}

void CFleetDlg::ProcessEvents()
{
    QCoreApplication::processEvents();
}

void CFleetDlg::StepChanged(FleetStep step, int radio)
{
    const QString n = QString::number(radio);
    switch (step) {
    case FleetStep::Waiting:
        m_pStatus->setText(Lang("Connect the next radio and switch it on.", "请连接下一台电台并打开电源。"));
        break;
    case FleetStep::Reading: m_pStatus->setText(Lang("Radio %1: reading...", "第%1台电台：正在读取...").arg(n)); break;
    case FleetStep::Writing: m_pStatus->setText(Lang("Radio %1: writing...", "第%1台电台：正在写入...").arg(n)); break;
    case FleetStep::Verifying:
        m_pStatus->setText(Lang("Radio %1: verifying...", "第%1台电台：正在校验...").arg(n));
        break;
    case FleetStep::Done:
        m_pStatus->setText(Lang("Radio %1 is done. Disconnect it.", "第%1台电台已完成，请断开连接。").arg(n));
        break;
    }
}

void CFleetDlg::RadioEnded(const FleetRecord& record)
{
    const bool chinese = IsChinese();
    QString detail = FromUtf8(FleetDetailText(record, chinese));
    if (record.detail == FleetDetail::Message && record.message) {
        // The transfer's own message, as its message box words it.
        CRecordingSerialPort unused;
        detail = CGuiTransferPrompter(this, unused).Text(*record.message);
        if (record.message == TransferMessage::TypeMismatch)
            detail = FromUtf8(TypeMismatchText(chinese));
        detail.replace(QLatin1Char('\n'), QLatin1Char(' '));
        if (record.disconnected)
            detail += QLatin1Char(' ') + FromUtf8(DisconnectedText(record.port, chinese));
    }
    const int row = m_pTable->rowCount();
    m_pTable->insertRow(row);
    const QStringList cells = {
        QString::number(record.radio),
        QDateTime::fromSecsSinceEpoch(record.time).toString(QStringLiteral("HH:mm:ss")),
        FromUtf8(RadioLabel(record.identity, record.model)),
        QString::fromUtf8(FleetResultText(record.result, chinese)),
        detail,
    };
    for (int column = 0; column < cells.size(); ++column)
        m_pTable->setItem(row, column, new QTableWidgetItem(cells[column]));
    m_pTable->scrollToBottom();
    switch (record.result) {
    case FleetResult::Written: ++m_nWritten; break;
    case FleetResult::Failed: ++m_nFailed; break;
    case FleetResult::Skipped: ++m_nSkipped; break;
    }
    ShowCounts();
    QApplication::beep();

    std::string error;
    if (!m_pLog->Add(record, &error) && !m_bLogFailed) {
        // Said once per run; the next radios still try to write it.
        m_bLogFailed = true;
        AppMessageBox(Lang("The log could not be written: %1", "无法写入日志：%1").arg(FromUtf8(error)),
                      PromptButtons::Ok);
    }
}

void CFleetDlg::ShowCounts()
{
    m_pCounts->setText(Lang("Written: %1  Failed: %2  Skipped: %3", "已写入：%1  失败：%2  跳过：%3")
                           .arg(m_nWritten)
                           .arg(m_nFailed)
                           .arg(m_nSkipped));
}
