// Write to Many Radios in the program: two radios in a row through the
// dialog against a row of simulated radios, Stop, the commands refused
// meanwhile, and the document left as it was.

#include "GuiTestSupport.h"

#include "app/ProgramApp.h"
#include "base/ResourceIds.h"
#include "channels/ProgramView.h"
#include "core/document/DataFile.h"
#include "core/link/FleetImage.h"
#include "document/ProgramDoc.h"
#include "frame/ChildFrame.h"
#include "frame/MainFrame.h"
#include "link/FleetDlg.h"
#include "link/ProgressDlg.h"
#include "link/RadioLink.h"
#include "link/TransferBusy.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

class CSim
{
public:
    explicit CSim(const QStringList& options)
    {
        m_process.start(QStringLiteral(RADIO_SIM_PATH), options);
        if (m_process.waitForReadyRead(5000))
            m_device = QString::fromLocal8Bit(m_process.readLine()).trimmed();
    }
    ~CSim()
    {
        m_process.terminate();
        if (!m_process.waitForFinished(3000))
            m_process.kill();
        m_process.waitForFinished(3000);
    }
    const QString& Device() const { return m_device; }

private:
    QProcess m_process;
    QString m_device;
};

// A radio like the document in type and band, with bytes of its own.
RadioImage OwnRadio(const RadioImage& document, int seed)
{
    RadioImage image = document;
    for (std::size_t i = 0; i < ImageMap::kTransferEnd; ++i)
        image[i] = static_cast<std::uint8_t>(seed * 29 + i * 5);
    image[ImageMap::kRadioType] = document[ImageMap::kRadioType];
    image[ImageMap::kBandIndex] = document[ImageMap::kBandIndex];
    return image;
}

QByteArray FileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class FleetDialogTest : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { m_install.reset(); }
    void runsTwoRadiosAndStops();
    void stopWhileWaitingEndsTheRun();

private:
    CProgramView* Start();
    // Opens the dialog through the menu command and runs body inside it.
    void WithDialog(const std::function<void(CFleetDlg&)>& body);

    std::unique_ptr<CTestInstall> m_install;
    CProgramView* m_view = nullptr;
};

CProgramView* FleetDialogTest::Start()
{
    m_install = std::make_unique<CTestInstall>(kEverything, ShippedIniWith("Setup", "Language", "English").constData());
    if (!m_install->Start())
        return nullptr;
    m_view = m_install->App()->MainFrame()->MDIGetActive()->GetActiveView();
    return m_view;
}

void FleetDialogTest::WithDialog(const std::function<void(CFleetDlg&)>& body)
{
    bool ran = false;
    QTimer::singleShot(0, this, [&] {
        CFleetDlg* dialog = m_view->RadioLink()->FleetDialog();
        if (!dialog)
            return;
        ran = true;
        body(*dialog);
        dialog->reject();
    });
    m_install->App()->MainFrame()->OnCommand(Ids::ID_WRITE_MANY);
    QVERIFY(ran);
    QVERIFY(!m_view->RadioLink()->FleetDialog());
    QVERIFY(!IsRadioTransferBusy());
}

void FleetDialogTest::runsTwoRadiosAndStops()
{
    QVERIFY(Start());
    CProgramDoc* document = m_view->GetDocument();
    const RadioImage before = document->Image();
    const bool modifiedBefore = document->IsModified();
    QTemporaryDir dir;
    const RadioImage radios[2] = {OwnRadio(before, 1), OwnRadio(before, 2)};
    for (int i = 0; i < 2; ++i)
        QCOMPARE(SaveDataFile(dir.filePath(QStringLiteral("r%1.dat").arg(i + 1)).toStdString(), radios[i]),
                 DataFileResult::Ok);
    CSim sim({"--no-pace", "--row", dir.filePath("r1.dat"), "--row", dir.filePath("r2.dat"), "--row-save", dir.path(),
              "--stay", "1000", "--gap", "1200"});
    QVERIFY(!sim.Device().isEmpty());

    bool readRefused = false;
    QString logPath;
    WithDialog([&](CFleetDlg& dialog) {
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Write to Many Radios"));
        QVERIFY(dialog.KeepOwnCheck()->isChecked());
        QVERIFY(dialog.StartButton()->isDefault());
        dialog.PortEdit()->setText(sim.Device());
        QTimer watch;
        connect(&watch, &QTimer::timeout, &dialog, [&] {
            if (!readRefused && dialog.IsRunning()) {
                // Read while the run goes on: refused, no progress dialog.
                m_install->App()->MainFrame()->OnCommand(Ids::ID_READ);
                readRefused = !m_view->RadioLink()->ProgressDialog()->HasWindow();
            }
            if (dialog.Table()->rowCount() >= 2)
                dialog.StopButton()->click();
        });
        watch.start(50);
        QTimer::singleShot(60000, &dialog, [&] { dialog.StopButton()->click(); });
        dialog.StartButton()->click(); // returns when the run has ended
        watch.stop();
        QVERIFY(!dialog.IsRunning());
        QCOMPARE(dialog.Table()->rowCount(), 2);
        for (int row = 0; row < 2; ++row) {
            QCOMPARE(dialog.Table()->item(row, 0)->text(), QString::number(row + 1));
            QCOMPARE(dialog.Table()->item(row, 2)->text(), QStringLiteral("P3207 F5"));
            QCOMPARE(dialog.Table()->item(row, 3)->text(), QStringLiteral("Written"));
            QCOMPARE(dialog.Table()->item(row, 4)->text(), QStringLiteral("verified"));
        }
        QCOMPARE(dialog.CountsLine()->text(), QStringLiteral("Written: 2  Failed: 0  Skipped: 0"));
        logPath = dialog.LogPath();
    });
    QVERIFY(readRefused);
    // Each radio holds the merge of its own bytes and the document.
    for (int i = 0; i < 2; ++i) {
        RadioImage saved{};
        QCOMPARE(LoadDataFile(dir.filePath(QStringLiteral("radio-%1.dat").arg(i + 1)).toStdString(), saved),
                 DataFileResult::Ok);
        QVERIFY(saved == MergeForRadio(radios[i], before));
    }
    const QList<QByteArray> log = FileBytes(logPath).trimmed().split('\n');
    QCOMPARE(log.size(), 3);
    QCOMPARE(log[0], QByteArray("Radio,Time,Port,Identity,Model,Result,Detail,Backup"));
    QVERIFY(log[2].contains(",written,verified,"));
    // Neither the document nor its modified flag changed.
    QVERIFY(document->Image() == before);
    QCOMPARE(document->IsModified(), modifiedBefore);
}

void FleetDialogTest::stopWhileWaitingEndsTheRun()
{
    QVERIFY(Start());
    CSim sim({"--no-pace", "--silent"});
    QVERIFY(!sim.Device().isEmpty());
    WithDialog([&](CFleetDlg& dialog) {
        dialog.PortEdit()->setText(sim.Device());
        QTimer::singleShot(1500, &dialog, [&] {
            QCOMPARE(dialog.StatusLine()->text(), QStringLiteral("Connect the next radio and switch it on."));
            QVERIFY(!dialog.StartButton()->isEnabled());
            dialog.StopButton()->click();
        });
        QElapsedTimer timer;
        timer.start();
        dialog.StartButton()->click();
        QVERIFY(timer.elapsed() < 5000);
        QVERIFY(!dialog.IsRunning());
        QVERIFY(dialog.StartButton()->isEnabled());
        QCOMPARE(dialog.Table()->rowCount(), 0);
    });
}

QTEST_MAIN(FleetDialogTest)
#include "fleet_dialog_test.moc"
