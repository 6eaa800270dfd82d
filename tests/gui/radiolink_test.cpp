// The radio link in the program, against radio-sim on a pseudo-terminal that
// Program.ini maps to a port number: Read and Write through the progress
// dialog, Cancel, failures, the Port Setting dialog and the safety of a
// running transfer.

#include "../support/TestImages.h"
#include "GuiTestSupport.h"

#include "app/ProgramApp.h"
#include "base/Globals.h"
#include "base/ResourceIds.h"
#include "base/UserStore.h"
#include "channels/MSFlexGrid.h"
#include "channels/ProgramView.h"
#include "core/channels/ChannelTable.h"
#include "core/document/DataFile.h"
#include "core/link/PosixSerialPort.h"
#include "document/ProgramDoc.h"
#include "frame/ChildFrame.h"
#include "frame/MainFrame.h"
#include "link/PortChoice.h"
#include "link/PortSettingDlg.h"
#include "link/ProgressDlg.h"
#include "link/RadioLink.h"
#include "link/TransferBusy.h"

#include <QAction>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QtTest>

#include <memory>
#include <sys/stat.h>

namespace {

// A radio on a pseudo-terminal for the length of a test.
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

// A radio holding a few channels on both sides, type 0 band 0.
RadioImage RadioWithChannels(std::uint8_t tail)
{
    RadioImage image = MakeNewImage();
    const std::uint8_t channels[3][14] = {
        // Rx 145.50000, Tx 145.50000, tones 67.0 / 67.0, wide
        {0x00, 0x50, 0x55, 0x14, 0x00, 0x50, 0x55, 0x14, 0x70, 0x06, 0x70, 0x06, 0x10, 0x30},
        // Rx 146.52000, Tx 146.52000, no tones, narrow
        {0x00, 0x20, 0x65, 0x14, 0x00, 0x20, 0x65, 0x14, 0xFF, 0xFF, 0xFF, 0xFF, 0x10, 0x20},
        // Rx 438.50000, Tx 430.90000, no tones, wide
        {0x00, 0x50, 0x38, 0x43, 0x00, 0x90, 0x30, 0x43, 0xFF, 0xFF, 0xFF, 0xFF, 0x10, 0x30},
    };
    for (int c = 0; c < 3; ++c)
        std::copy(channels[c], channels[c] + 14, image.begin() + 0x10 + 16 * c);
    image[ImageMap::kRadioType] = 0;
    image[ImageMap::kBandIndex] = 0;
    std::fill(image.begin() + ImageMap::kTransferEnd, image.end(), tail);
    return image;
}

QByteArray IniWithPorts(const QList<QPair<int, QString>>& ports, const char* language = "English")
{
    QByteArray ini = ShippedIniWith("Setup", "Language", language);
    ini += "\r\n[Ports]\r\n";
    for (const auto& [number, path] : ports)
        ini += QStringLiteral("COM%1=%2\r\n").arg(number).arg(path).toUtf8();
    return ini;
}

QByteArray FileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList Copies(const CTestInstall& install)
{
    return QDir(install.ReadCopiesDir()).entryList({QStringLiteral("*.dat")}, QDir::Files, QDir::Name);
}

} // namespace

class RadioLinkTest : public QObject
{
    Q_OBJECT
private slots:
    void cleanup();
    void readFillsTheDocument_data();
    void readFillsTheDocument();
    void readCopyFailureGoesToTheStatusBar();
    void writeSendsExactlyTheDocument();
    void cancelBeforeOkChangesNothing();
    void cancelDuringTransferEndsSilently();
    void failuresShowTheirMessageAndChangeNothing_data();
    void failuresShowTheirMessageAndChangeNothing();
    void portThatIsNotATerminalSaysSo_data();
    void portThatIsNotATerminalSaysSo();
    void secondCommandCreatesNoSecondWindow();
    void keysAndToolbarStartTheCommands();
    void chineseCaptions();
    void documentCommandsWaitForTheTransfer();
    void portSettingDialog();
    void portSettingHintsAtAccess();
    void cancelMidWriteSaysTheRadioIsHalfWritten();
    void readOnAModifiedDocumentAsksFirst();
    void theStatusBarConfirmsOrSaysTheCableWentAway();
    void theDeviceFieldAimsANumberAtAPathForThisUser();
    void portSettingNamesTheCables();

private:
    // Starts the program with the ports mapped; the view of its document.
    CProgramView* Start(const QList<QPair<int, QString>>& ports, const char* language = "English");
    // Read or Write, OK, and waits for the transfer's end.
    void Transfer(bool write);
    CMainFrame* Frame() const { return m_install->App()->MainFrame(); }

    std::unique_ptr<CTestInstall> m_install;
    CProgramView* m_view = nullptr;
};

void RadioLinkTest::cleanup()
{
    m_install.reset();
    m_view = nullptr;
}

CProgramView* RadioLinkTest::Start(const QList<QPair<int, QString>>& ports, const char* language)
{
    m_install = std::make_unique<CTestInstall>(kEverything, IniWithPorts(ports, language).constData());
    if (!m_install->Start())
        return nullptr;
    m_view = Frame()->MDIGetActive()->GetActiveView();
    return m_view;
}

void RadioLinkTest::Transfer(bool write)
{
    Frame()->OnCommand(write ? Ids::ID_WRITE : Ids::ID_READ);
    CProgressDlg* dialog = m_view->RadioLink()->ProgressDialog();
    QVERIFY(dialog->HasWindow());
    dialog->OkButton()->click();
    QVERIFY(!dialog->OkButton()->isEnabled());
    QTRY_VERIFY_WITH_TIMEOUT(!dialog->HasWindow(), 20000);
    QVERIFY(!IsRadioTransferBusy());
}

void RadioLinkTest::readFillsTheDocument_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<int>("deviceMode");
    QTest::newRow("model F5") << "F5" << 2;
    QTest::newRow("model FF") << "FF" << 1;
    QTest::newRow("other model") << "A7" << 0;
}

void RadioLinkTest::readFillsTheDocument()
{
    QFETCH(QString, model);
    QFETCH(int, deviceMode);
    QTemporaryDir dir;
    const RadioImage radio = RadioWithChannels(0xAA);
    QCOMPARE(SaveDataFile((dir.path() + "/radio.dat").toStdString(), radio), DataFileResult::Ok);
    CSim sim({"--no-pace", "--model", model, "--image", dir.path() + "/radio.dat"});
    QVERIFY(Start({{1, sim.Device()}}));
    const RadioImage before = m_view->GetDocument()->Image();
    QCOMPARE(g_byNewDocument, 1);
    QVERIFY(!m_view->GetDocument()->IsModified());

    Transfer(false);

    QCOMPARE(m_view->RadioLink()->LastResult().outcome, TransferOutcome::Completed);
    RadioImage expected = before;
    std::copy(radio.begin(), radio.begin() + ImageMap::kTransferEnd, expected.begin());
    QVERIFY(m_view->GetDocument()->Image() == expected);
    QCOMPARE(g_nDeviceMode, deviceMode);
    QCOMPARE(g_byNewDocument, 0);
    QVERIFY(m_view->GetDocument()->IsModified());
    QCOMPARE(m_view->RadioLink()->ProgressDialog()->Counter()->text(), QStringLiteral("51"));
    QCOMPARE(m_view->RadioLink()->ProgressDialog()->ProgressBar()->value(), 51);
    QVERIFY(m_install->prompter.messages.isEmpty());

    // The grid shows the radio's channels in the layout of the device mode.
    ChannelTable table;
    ImageToTable(expected, deviceMode, false, table);
    const ChannelTable shown = m_view->GridTexts();
    for (int row = 1; row < kTableRows; ++row) {
        for (int column = 1; column < kTableCols; ++column)
            QCOMPARE(shown[row][column], table[row][column]);
    }
    QVERIFY(!m_view->GridTexts()[1][deviceMode == 2 ? 2 : 1].empty());
    const std::array<int, kTableCols> widths = ColumnWidths(deviceMode);
    for (int column = 0; column < kTableCols; ++column)
        QCOMPARE(m_view->Grid()->GetColWidth(column), widths[static_cast<std::size_t>(column)]);
    QCOMPARE(m_view->Grid()->isEnabled(), deviceMode != 0);
    QVERIFY(!m_view->IsEditingBlocked());

    // The copy in the reads folder is the document as read.
    const QStringList copies = Copies(*m_install);
    QCOMPARE(copies.size(), 1);
    RadioImage copy{};
    QCOMPARE(LoadDataFile((m_install->ReadCopiesDir() + '/' + copies.first()).toStdString(), copy), DataFileResult::Ok);
    QVERIFY(copy == expected);
    QVERIFY(m_view->RadioLink()->LastStatus().contains(copies.first()));
    QCOMPARE(Frame()->statusBar()->currentMessage(), m_view->RadioLink()->LastStatus());
}

void RadioLinkTest::readCopyFailureGoesToTheStatusBar()
{
    CSim sim({"--no-pace"});
    QVERIFY(Start({{1, sim.Device()}}));
    // A file where the reads folder's parent should be.
    const QString parent = QFileInfo(m_install->ReadCopiesDir()).path();
    QDir(parent).removeRecursively();
    QFile blocker(parent);
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();

    Transfer(false);

    QCOMPARE(m_view->RadioLink()->LastResult().outcome, TransferOutcome::Completed);
    QVERIFY(m_install->prompter.messages.isEmpty());
    QVERIFY(m_view->GetDocument()->IsModified());
    QVERIFY(m_view->RadioLink()->LastStatus().startsWith("Read from the radio on " + sim.Device() + "."));
    QVERIFY(m_view->RadioLink()->LastStatus().contains("The copy of this read could not be kept: "));
    QVERIFY(m_view->RadioLink()->LastStatus().contains(parent));
    QCOMPARE(Frame()->statusBar()->currentMessage(), m_view->RadioLink()->LastStatus());
}

void RadioLinkTest::writeSendsExactlyTheDocument()
{
    QTemporaryDir dir;
    // The radio's own part beyond 0x32F equals the document's, so after the
    // write the radio's memory must equal the saved file byte for byte.
    const RadioImage radio = PatternImage(0x40, 0x5C);
    QCOMPARE(SaveDataFile((dir.path() + "/radio.dat").toStdString(), radio), DataFileResult::Ok);
    QCOMPARE(SaveDataFile((dir.path() + "/document.dat").toStdString(), RadioWithChannels(0x5C)), DataFileResult::Ok);
    CSim sim({"--no-pace", "--image", dir.path() + "/radio.dat", "--save", dir.path() + "/radio-saved.dat"});
    QVERIFY(Start({{1, sim.Device()}}));
    QVERIFY(m_install->App()->OpenDocumentFile(dir.path() + "/document.dat"));
    m_view = Frame()->MDIGetActive()->GetActiveView();
    Frame()->show();
    QVERIFY(QTest::qWaitForWindowExposed(Frame()));
    Frame()->activateWindow();

    // A Tx frequency typed into channel 5 and left open in its editor.
    const QRect cell = m_view->Grid()->visualRect(m_view->Grid()->model()->index(4, 1));
    QTest::mouseClick(m_view->Grid()->viewport(), Qt::LeftButton, {}, cell.center());
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    QVERIFY(editor);
    QTest::keyClicks(editor, "146.52");
    QVERIFY(editor->isVisible());

    Transfer(true);

    QCOMPARE(m_view->RadioLink()->LastResult().outcome, TransferOutcome::Completed);
    QVERIFY(m_install->prompter.messages.isEmpty());
    QCOMPARE(m_view->GridTexts()[5][2], std::string("146.52000"));
    QVERIFY(m_view->GetDocument()->OnSaveDocument(dir.path() + "/saved.dat"));
    QTRY_COMPARE_WITH_TIMEOUT(FileBytes(dir.path() + "/radio-saved.dat"), FileBytes(dir.path() + "/saved.dat"), 5000);
    QVERIFY(FileBytes(dir.path() + "/saved.dat") != FileBytes(dir.path() + "/document.dat"));
    QVERIFY(Copies(*m_install).isEmpty());
    QCOMPARE(g_nDeviceMode, 2);
}

void RadioLinkTest::cancelBeforeOkChangesNothing()
{
    QTemporaryDir dir;
    CSim sim({"--no-pace", "--log", dir.path() + "/wire.log"});
    QVERIFY(Start({{1, sim.Device()}}));
    const RadioImage before = m_view->GetDocument()->Image();
    Frame()->OnCommand(Ids::ID_READ);
    CProgressDlg* dialog = m_view->RadioLink()->ProgressDialog();
    QVERIFY(dialog->isVisible());
    dialog->CancelButton()->setFocus();
    dialog->CancelButton()->click();
    QVERIFY(!dialog->HasWindow());
    QVERIFY(!dialog->isVisible());
    QTest::qWait(100);
    QVERIFY(m_install->prompter.messages.isEmpty());
    QVERIFY(m_view->GetDocument()->Image() == before);
    QVERIFY(!FileBytes(dir.path() + "/wire.log").contains('>'));
    // The next Read opens the window afresh, with OK to take Enter.
    Frame()->OnCommand(Ids::ID_READ);
    QVERIFY(dialog->HasWindow());
    QVERIFY(dialog->OkButton()->isEnabled());
    QVERIFY(!dialog->m_bCancel);
    QCOMPARE(dialog->focusWidget(), static_cast<QWidget*>(dialog->OkButton()));
}

void RadioLinkTest::cancelDuringTransferEndsSilently()
{
    QTemporaryDir dir;
    QCOMPARE(SaveDataFile((dir.path() + "/radio.dat").toStdString(), PatternImage(0x77, 0x00)), DataFileResult::Ok);
    CSim sim({"--pace", "--image", dir.path() + "/radio.dat"});
    QVERIFY(Start({{1, sim.Device()}}));
    const RadioImage before = m_view->GetDocument()->Image();
    CProgressDlg* dialog = m_view->RadioLink()->ProgressDialog();
    int positionAtCancel = -1;
    // Cancel as soon as a few blocks have moved.
    QTimer watch;
    connect(&watch, &QTimer::timeout, this, [&] {
        if (dialog->ProgressBar()->value() >= 5 && positionAtCancel < 0) {
            positionAtCancel = dialog->ProgressBar()->value();
            dialog->CancelButton()->click();
        }
    });
    watch.start(5);
    Transfer(false);
    QVERIFY(positionAtCancel >= 5);
    QCOMPARE(m_view->RadioLink()->LastResult().outcome, TransferOutcome::Cancelled);
    // Stopped at the next pump step: at most one more block moved.
    QVERIFY(m_view->RadioLink()->LastResult().blocks <= positionAtCancel + 1);
    QVERIFY(m_install->prompter.messages.isEmpty());
    QVERIFY(m_view->GetDocument()->Image() == before);
    QCOMPARE(g_nDeviceMode, 2);
    QCOMPARE(g_byNewDocument, 1);
    QVERIFY(Copies(*m_install).isEmpty());
}

void RadioLinkTest::portThatIsNotATerminalSaysSo_data()
{
    QTest::addColumn<bool>("fifo");
    QTest::newRow("FIFO") << true;
    QTest::newRow("folder") << false;
}

void RadioLinkTest::portThatIsNotATerminalSaysSo()
{
    QFETCH(bool, fifo);
    QTemporaryDir dir;
    const QString path = fifo ? dir.path() + "/not-a-port" : dir.path();
    if (fifo)
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    QVERIFY(Start({{1, path}}));
    m_install->prompter.answers = {PromptAnswer::Ok};
    Transfer(false);
    QCOMPARE(m_install->prompter.messages.size(), 1);
    QCOMPARE(m_install->prompter.messages.first().text,
             QStringLiteral("Could not Open the Port,Please check whether the Port are occupied or the device are "
                            "ok\n\n%1: not a serial port")
                 .arg(path));
}

void RadioLinkTest::failuresShowTheirMessageAndChangeNothing_data()
{
    QTest::addColumn<QStringList>("simOptions");
    QTest::addColumn<bool>("write");
    QTest::addColumn<bool>("holdPort");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("then"); // a second message, after the transfer's own
    const QString company = QStringLiteral("Quillmark Radio");
    const QString interrupt = QStringLiteral("Program Interrupt, Please reset the radio and try again");
    QTest::newRow("busy port")
        << QStringList{} << false << true << company
        << "Could not Open the Port,Please check whether the Port are occupied or the device are ok" << QString();
    QTest::newRow("short reply") << QStringList{"--short-reply-at", "18"} << false << false << company << interrupt
                                 << QString();
    QTest::newRow("write not acknowledged")
        << QStringList{"--no-ack-at", "100"} << true << false << company << interrupt
        << "The radio holds only part of the new data (32 of 102 blocks written). "
           "Write again before using the radio.";
    QTest::newRow("first write frame not acknowledged")
        << QStringList{"--no-ack-at", "0"} << true << false << company << interrupt << QString();
    QTest::newRow("type mismatch") << QStringList{"--ident", "P1207"} << false << false << "Caution"
                                   << "Becuase the type of radio does not match,\ncommunications is interrupt."
                                   << QString();
    QTest::newRow("silent radio, Cancel")
        << QStringList{"--silent"} << false << false << company
        << "Communication Error,Please check all the connections and the radio power" << QString();
}

void RadioLinkTest::failuresShowTheirMessageAndChangeNothing()
{
    QFETCH(QStringList, simOptions);
    QFETCH(bool, write);
    QFETCH(bool, holdPort);
    QFETCH(QString, caption);
    QFETCH(QString, text);
    QFETCH(QString, then);
    QTemporaryDir dir;
    QCOMPARE(SaveDataFile((dir.path() + "/radio.dat").toStdString(), PatternImage(0x31, 0x00)), DataFileResult::Ok);
    CSim sim(QStringList{"--no-pace", "--image", dir.path() + "/radio.dat"} + simOptions);
    QVERIFY(Start({{1, sim.Device()}}));
    PosixSerialPort holder;
    if (holdPort)
        QVERIFY(!holder.Open(sim.Device().toStdString()));
    m_install->prompter.answers = {PromptAnswer::Cancel};
    const RadioImage before = m_view->GetDocument()->Image();

    Transfer(write);

    QCOMPARE(m_view->RadioLink()->LastResult().outcome, TransferOutcome::Failed);
    QCOMPARE(m_install->prompter.messages.size(), then.isEmpty() ? 1 : 2);
    if (!then.isEmpty()) {
        QCOMPARE(m_install->prompter.messages[1].text, then);
        QCOMPARE(m_install->prompter.messages[1].caption, QStringLiteral("Quillmark Radio"));
    }
    QCOMPARE(m_install->prompter.messages.first().caption, caption);
    QCOMPARE(m_install->prompter.messages.first().text, text);
    const bool retry = text.startsWith("Communication");
    QCOMPARE(m_install->prompter.messages.first().buttons, retry ? PromptButtons::RetryCancel : PromptButtons::Ok);
    QVERIFY(m_view->GetDocument()->Image() == before);
    QCOMPARE(g_nDeviceMode, 2);
    QCOMPARE(g_byNewDocument, 1);
    QVERIFY(Copies(*m_install).isEmpty());
    // The port was closed at the end: it can be opened again.
    holder.Close();
    PosixSerialPort again;
    QVERIFY(!again.Open(sim.Device().toStdString()));
}

void RadioLinkTest::secondCommandCreatesNoSecondWindow()
{
    CSim sim({"--no-pace"});
    QVERIFY(Start({{1, sim.Device()}}));
    auto visibleDialogs = [] {
        int n = 0;
        for (QWidget* w : QApplication::topLevelWidgets())
            n += qobject_cast<CProgressDlg*>(w) && w->isVisible() ? 1 : 0;
        return n;
    };
    Frame()->OnCommand(Ids::ID_READ);
    CProgressDlg* dialog = m_view->RadioLink()->ProgressDialog();
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Read Data"));
    Frame()->OnCommand(Ids::ID_READ);
    QCOMPARE(visibleDialogs(), 1);
    // Write while the window waits: the same window, now for a write.
    Frame()->OnCommand(Ids::ID_WRITE);
    QCOMPARE(visibleDialogs(), 1);
    QVERIFY(m_view->RadioLink()->m_bWriteMode);
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Write Data"));
    Frame()->OnCommand(Ids::ID_READ);
    QVERIFY(!m_view->RadioLink()->m_bWriteMode);
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Read Data"));
}

void RadioLinkTest::keysAndToolbarStartTheCommands()
{
    CSim sim({"--no-pace"});
    QVERIFY(Start({{1, sim.Device()}}));
    Frame()->show();
    QVERIFY(QTest::qWaitForWindowExposed(Frame()));
    Frame()->activateWindow();
    m_view->Grid()->setFocus();
    CProgressDlg* dialog = m_view->RadioLink()->ProgressDialog();
    struct Case
    {
        QKeySequence key;
        int command;
        QString caption;
    };
    for (const Case& c : {Case{QKeySequence("Ctrl+R"), Ids::ID_READ, "Read Data"},
                          Case{QKeySequence("Ctrl+W"), Ids::ID_WRITE, "Write Data"}}) {
        QTest::keySequence(QApplication::focusWidget(), c.key);
        QTRY_VERIFY2(dialog->HasWindow(), qPrintable(c.key.toString()));
        QCOMPARE(dialog->windowTitle(), c.caption);
        dialog->CancelButton()->click();
        QVERIFY(Frame()->MDIGetActive()->isVisible());

        QAction* button = Frame()->ToolBarAction(c.command);
        QVERIFY(button);
        Frame()->UpdateToolBarState();
        QVERIFY(button->isEnabled());
        button->trigger();
        QVERIFY(dialog->HasWindow());
        QCOMPARE(dialog->windowTitle(), c.caption);
        dialog->CancelButton()->click();
        m_view->Grid()->setFocus();
    }

    // Also from an open editor after Enter has moved it on.
    const QRect cell = m_view->Grid()->visualRect(m_view->Grid()->model()->index(3, 1));
    QTest::mouseClick(m_view->Grid()->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::keyClicks(QApplication::focusWidget(), "146.5");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QWidget* editor = QApplication::focusWidget();
    QVERIFY(editor);
    QTest::keySequence(editor, QKeySequence("Ctrl+W"));
    QTRY_VERIFY2(dialog->HasWindow(), editor->metaObject()->className());
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Write Data"));
}

void RadioLinkTest::chineseCaptions()
{
    CSim sim({"--no-pace", "--ident", "Q3207"});
    QVERIFY(Start({{1, sim.Device()}}, "Chinese"));
    Frame()->OnCommand(Ids::ID_WRITE);
    QCOMPARE(m_view->RadioLink()->ProgressDialog()->windowTitle(), QString::fromUtf8("写数据"));
    m_view->RadioLink()->ProgressDialog()->CancelButton()->click();
    Transfer(false);
    QCOMPARE(m_install->prompter.messages.size(), 1);
    QCOMPARE(m_install->prompter.messages.first().caption, QString::fromUtf8("警告"));
    QCOMPARE(m_install->prompter.messages.first().text, QString::fromUtf8("对讲机类型不匹配,无法通讯。"));
    Frame()->OnCommand(Ids::ID_READ);
    QCOMPARE(m_view->RadioLink()->ProgressDialog()->windowTitle(), QString::fromUtf8("读数据"));
}

void RadioLinkTest::documentCommandsWaitForTheTransfer()
{
    QTemporaryDir dir;
    const RadioImage radio = PatternImage(0x52, 0x00);
    QCOMPARE(SaveDataFile((dir.path() + "/radio.dat").toStdString(), radio), DataFileResult::Ok);
    CSim sim({"--pace", "--image", dir.path() + "/radio.dat"});
    QVERIFY(Start({{1, sim.Device()}}));
    CChildFrame* child = Frame()->MDIGetActive();
    const QList<int> refused = {Ids::ID_FILE_NEW,          Ids::ID_FILE_OPEN, Ids::ID_FILE_CLOSE,
                                Ids::ID_APP_EXIT,          Ids::ID_READ,      Ids::ID_WRITE,
                                Ids::ID_COM_SETUP,         Ids::ID_LANGUAGE,  Ids::ID_PRODUCT_INFORMATION,
                                Ids::ID_OPTIONAL_FEATURES, Ids::ID_APP_ABOUT};
    QStringList enabledDuringTransfer;
    bool tried = false;
    bool blockedDuringTransfer = false;
    QTimer watch;
    connect(&watch, &QTimer::timeout, this, [&] {
        if (tried || !IsRadioTransferBusy() || m_view->RadioLink()->ProgressDialog()->ProgressBar()->value() < 3)
            return;
        tried = true;
        blockedDuringTransfer = m_view->IsEditingBlocked();
        for (int id : refused) {
            CCmdUI ui(id);
            if (Frame()->RouteCommand(id, &ui) && ui.m_bEnabled)
                enabledDuringTransfer << QString::number(id);
            Frame()->OnCommand(id);
        }
        // The tree opens the settings dialogs directly; they wait too.
        Frame()->OnProductInformation();
        Frame()->OnOptionalFeatures();
        // Closing the channel window only hides it; closing the main window is refused.
        child->close();
        Frame()->close();
    });
    watch.start(5);
    Transfer(false);
    QVERIFY(tried);
    QVERIFY(blockedDuringTransfer);
    QVERIFY(!m_view->IsEditingBlocked());
    QCOMPARE(enabledDuringTransfer, QStringList());
    QCOMPARE(m_view->RadioLink()->LastResult().outcome, TransferOutcome::Completed);
    QCOMPARE(Frame()->ChildFrames().size(), 1);
    QCOMPARE(Frame()->MDIGetActive(), child);
    QVERIFY(Frame()->isVisible());
    // The completed transfer shows its window again.
    QVERIFY(child->isVisible());
    QVERIFY(m_install->prompter.messages.isEmpty());
    // Afterwards every command is available again.
    for (int id : refused) {
        CCmdUI ui(id);
        QVERIFY(Frame()->RouteCommand(id, &ui));
        QVERIFY2(ui.m_bEnabled, qPrintable(QString::number(id)));
    }
}

void RadioLinkTest::portSettingDialog()
{
    CSim one({"--no-pace"});
    CSim twelve({"--no-pace"});
    CSim sixteen({"--no-pace"});
    const QList<QPair<int, QString>> ports = {
        {1, one.Device()}, {2, QStringLiteral("/nonexistent/ttyUSB7")}, {12, twelve.Device()}, {16, sixteen.Device()}};
    QVERIFY(Start(ports));
    QCOMPARE(QString::fromStdString(g_strPortName), QStringLiteral("COM1"));
    CPortSettingDlg* dialog = m_view->RadioLink()->PortSettingDialog();

    // Probe and check.
    dialog->OnInitDialog();
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Port Setting"));
    QVERIFY(dialog->PortButton(1)->isEnabled());
    QVERIFY(!dialog->PortButton(2)->isEnabled());
    QVERIFY(dialog->PortButton(12)->isEnabled());
    QVERIFY(dialog->PortButton(16)->isEnabled());
    QCOMPARE(dialog->PortButton(12)->property("ctrlId").toInt(), 1018);
    QCOMPARE(dialog->DeviceLabel(12)->toolTip(), twelve.Device());
    QCOMPARE(dialog->DeviceLabel(2)->toolTip(), QStringLiteral("/nonexistent/ttyUSB7"));
    QCOMPARE(dialog->CheckedPort(), 1);

    // OK stores the number, 1 to 16, as port name and per-user value.
    struct Choice
    {
        int number;
        const char* name;
    };
    for (const Choice& c :
         {Choice{12, "\\\\.\\COM12"}, Choice{16, "\\\\.\\COM16"}, Choice{1, "COM1"}, Choice{12, "\\\\.\\COM12"}}) {
        dialog->OnInitDialog();
        dialog->PortButton(c.number)->setChecked(true);
        dialog->accept();
        QCOMPARE(QString::fromStdString(g_strPortName), QString::fromLatin1(c.name));
        QCOMPARE(CUserStore::ForApplication().QueryDword("COM", 0), static_cast<std::uint32_t>(c.number));
        dialog->OnInitDialog();
        QCOMPARE(dialog->CheckedPort(), c.number);
    }

    // Cancel after changing the choice changes nothing.
    dialog->OnInitDialog();
    dialog->PortButton(16)->setChecked(true);
    dialog->reject();
    QCOMPARE(QString::fromStdString(g_strPortName), QStringLiteral("\\\\.\\COM12"));
    QCOMPARE(CUserStore::ForApplication().QueryDword("COM", 0), 12u);

    // A current port that cannot be opened: nothing checked, and OK without
    // a choice changes nothing.
    {
        PosixSerialPort holder;
        QVERIFY(!holder.Open(twelve.Device().toStdString()));
        dialog->OnInitDialog();
        QVERIFY(!dialog->PortButton(12)->isEnabled());
        QCOMPARE(dialog->CheckedPort(), 0);
        dialog->accept();
        QCOMPARE(QString::fromStdString(g_strPortName), QStringLiteral("\\\\.\\COM12"));
    }

    // A new channel window and the next run take the port from the per-user value.
    g_strPortName = "COM3";
    QVERIFY(m_install->App()->OpenDocumentFile(QString()));
    QCOMPARE(QString::fromStdString(g_strPortName), QStringLiteral("\\\\.\\COM12"));
    m_install->Stop();
    QCOMPARE(QString::fromStdString(g_strPortName), QStringLiteral("COM1"));
    QVERIFY(m_install->Start());
    QCOMPARE(QString::fromStdString(g_strPortName), QStringLiteral("\\\\.\\COM12"));
    m_view = Frame()->MDIGetActive()->GetActiveView();
    m_view->RadioLink()->PortSettingDialog()->OnInitDialog();
    QCOMPARE(m_view->RadioLink()->PortSettingDialog()->CheckedPort(), 12);
}

void RadioLinkTest::portSettingHintsAtAccess()
{
    if (geteuid() == 0)
        QSKIP("root opens any device");
    QTemporaryDir dir;
    const QString locked = dir.path() + "/ttyLocked";
    QFile file(locked);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    QVERIFY(file.setPermissions(QFileDevice::ReadOwner));
    // Port 1, so that its advice is the one shown whatever this machine has.
    QVERIFY(Start({{1, locked}}));
    m_install->prompter.answers = {PromptAnswer::Ok};
    CPortSettingDlg* dialog = m_view->RadioLink()->PortSettingDialog();
    dialog->OnInitDialog();
    QVERIFY(!dialog->PortButton(1)->isEnabled());
    QVERIFY(!dialog->AccessHint()->isHidden());
    QVERIFY2(dialog->AccessHint()->text().contains(locked), qPrintable(dialog->AccessHint()->text()));
    // The file's group may not read and write it: no group would help.
    QVERIFY(dialog->AccessHint()->text().contains("udev rule"));
    QVERIFY(!dialog->AccessHint()->text().contains('`'));

    // A transfer on that port says the same after its message.
    dialog->PortButton(1)->setEnabled(true);
    dialog->PortButton(1)->setChecked(true);
    dialog->accept();
    Transfer(false);
    QCOMPARE(m_install->prompter.messages.size(), 1);
    QVERIFY(m_install->prompter.messages.first().text.startsWith("Could not Open the Port"));
    QVERIFY(m_install->prompter.messages.first().text.contains(locked));
}

void RadioLinkTest::cancelMidWriteSaysTheRadioIsHalfWritten()
{
    CSim sim({"--pace"});
    QVERIFY(Start({{1, sim.Device()}}));
    CProgressDlg* dialog = m_view->RadioLink()->ProgressDialog();
    bool cancelled = false;
    QTimer watch;
    connect(&watch, &QTimer::timeout, this, [&] {
        if (dialog->ProgressBar()->value() >= 5 && !cancelled) {
            cancelled = true;
            dialog->CancelButton()->click();
        }
    });
    watch.start(5);
    Transfer(true);
    const TransferResult& result = m_view->RadioLink()->LastResult();
    QCOMPARE(result.outcome, TransferOutcome::Cancelled);
    QVERIFY(result.frames >= 10 && result.frames < 102);
    // Cancel shows nothing of its own; the half-written radio is reported.
    QCOMPARE(m_install->prompter.messages.size(), 1);
    QCOMPARE(m_install->prompter.messages.first().text,
             QStringLiteral("The radio holds only part of the new data (%1 of 102 blocks written). "
                            "Write again before using the radio.")
                 .arg(result.frames));
    QCOMPARE(m_install->prompter.messages.first().buttons, PromptButtons::Ok);
}

void RadioLinkTest::readOnAModifiedDocumentAsksFirst()
{
    QTemporaryDir dir;
    CSim sim({"--no-pace", "--log", dir.path() + "/wire.log"});
    QVERIFY(Start({{1, sim.Device()}}));
    CProgramDoc* document = m_view->GetDocument();
    CProgressDlg* dialog = m_view->RadioLink()->ProgressDialog();

    // Unmodified: no question.
    Frame()->OnCommand(Ids::ID_READ);
    QVERIFY(m_install->prompter.messages.isEmpty());
    QVERIFY(dialog->HasWindow());
    dialog->CancelButton()->click();

    // Cancel leaves everything as it was and opens no progress window.
    document->SetModifiedFlag(true);
    const RadioImage before = document->Image();
    m_install->prompter.answers = {PromptAnswer::Cancel};
    Frame()->OnCommand(Ids::ID_READ);
    QCOMPARE(m_install->prompter.messages.size(), 1);
    QCOMPARE(m_install->prompter.messages.first().text, "Save changes to " + document->GetTitle() + "?");
    QCOMPARE(m_install->prompter.messages.first().buttons, PromptButtons::SaveDiscardCancel);
    QVERIFY(!dialog->HasWindow());
    QVERIFY(document->IsModified());
    QVERIFY(document->Image() == before);
    QTest::qWait(50);
    QVERIFY(!FileBytes(dir.path() + "/wire.log").contains('>'));

    // Discard goes on to the read.
    m_install->prompter.answers = {PromptAnswer::Discard};
    Frame()->OnCommand(Ids::ID_READ);
    QCOMPARE(m_install->prompter.messages.size(), 2);
    QVERIFY(dialog->HasWindow());
    // Write never asks: it sends the document as it stands.
    dialog->CancelButton()->click();
    Frame()->OnCommand(Ids::ID_WRITE);
    QCOMPARE(m_install->prompter.messages.size(), 2);
    QVERIFY(dialog->HasWindow());
    dialog->CancelButton()->click();
}

void RadioLinkTest::theStatusBarConfirmsOrSaysTheCableWentAway()
{
    {
        CSim sim({"--no-pace"});
        QVERIFY(Start({{1, sim.Device()}}));
        Transfer(true);
        QCOMPARE(Frame()->statusBar()->currentMessage(), "Written to the radio on " + sim.Device() + ".");
        Transfer(false);
        QVERIFY2(Frame()->statusBar()->currentMessage().startsWith("Read from the radio on " + sim.Device() + ".  "),
                 qPrintable(Frame()->statusBar()->currentMessage()));
        QVERIFY(m_install->prompter.messages.isEmpty());
        cleanup();
    }
    {
        CSim sim({"--no-pace", "--hangup-after", "10"});
        QVERIFY(Start({{1, sim.Device()}}, "Chinese"));
        const QString device = sim.Device();
        QElapsedTimer clock;
        clock.start();
        Transfer(true);
        QVERIFY(clock.elapsed() < 3000); // no time-outs waited out
        QVERIFY(m_view->RadioLink()->LastResult().disconnected);
        QCOMPARE(Frame()->statusBar()->currentMessage(), QStringLiteral("数据线已断开(%1)。").arg(device));
        // The stage's own message, then the half-written radio; no Retry.
        QCOMPARE(m_install->prompter.messages.size(), 2);
        QCOMPARE(m_install->prompter.messages[0].buttons, PromptButtons::Ok);
        QCOMPARE(m_install->prompter.messages[1].text,
                 QStringLiteral("对讲机只写入了部分新数据(已写入 10/102 块)。使用前请重新写入。"));
    }
}

void RadioLinkTest::theDeviceFieldAimsANumberAtAPathForThisUser()
{
    CSim sim({"--no-pace"});
    QVERIFY(Start({}));
    const QByteArray iniBefore = FileBytes(m_install->File("Program.ini"));
    // Port 14 has no device on any machine this runs on.
    g_strPortName = PortNameForNumber(14);
    CPortSettingDlg* dialog = m_view->RadioLink()->PortSettingDialog();
    dialog->OnInitDialog();
    QVERIFY(!dialog->PortButton(14)->isEnabled());
    QCOMPARE(dialog->ChosenPort(), 14);
    QCOMPARE(dialog->DeviceEdit()->text(), QString());

    dialog->DeviceEdit()->setFocus();
    QTest::keyClicks(dialog->DeviceEdit(), sim.Device());
    emit dialog->DeviceEdit()->editingFinished(); // as when the field is left
    QVERIFY(dialog->PortButton(14)->isEnabled());
    QCOMPARE(dialog->CheckedPort(), 14);
    QCOMPARE(dialog->DeviceLabel(14)->text(), sim.Device());
    dialog->accept();

    QCOMPARE(CUserStore::ForApplication().QueryDword("COM", 0), 14u);
    QCOMPARE(QString::fromStdString(PortDevice(14)), sim.Device());
    QCOMPARE(FileBytes(m_install->File("Program.ini")), iniBefore); // for this user only
    Transfer(false);
    QCOMPARE(m_view->RadioLink()->LastResult().outcome, TransferOutcome::Completed);

    // The field shows the chosen number's device; Cancel drops what was typed.
    dialog->OnInitDialog();
    QCOMPARE(dialog->DeviceEdit()->text(), sim.Device());
    dialog->DeviceEdit()->clear();
    QTest::keyClicks(dialog->DeviceEdit(), QStringLiteral("/dev/pts/nothing-here"));
    emit dialog->DeviceEdit()->editingFinished();
    dialog->reject();
    QCOMPARE(QString::fromStdString(PortDevice(14)), sim.Device());
}

void RadioLinkTest::portSettingNamesTheCables()
{
    // Two cables as sysfs would describe them, on two simulated radios so
    // that they open.
    CSim ftdi({"--no-pace"});
    CSim prolific({"--no-pace"});
    QVERIFY(Start({}));
    std::vector<SerialPortInfo> present = {
        {ftdi.Device().toStdString(), "ttyUSB0", "FTDI FT232R USB UART", "0403", "6001", "A1B2", "ftdi_sio"},
        {prolific.Device().toStdString(), "ttyUSB1", "Prolific PL2303", "067b", "2303", "", "pl2303"},
    };
    CPortSettingDlg* dialog = m_view->RadioLink()->PortSettingDialog();
    dialog->SetPortLister([&] { return present; });
    g_strPortName = "COM1";
    dialog->OnInitDialog();
    QCOMPARE(dialog->DeviceLabel(1)->text(), QStringLiteral("ttyUSB0 · FTDI FT232R USB UART"));
    QCOMPARE(dialog->DeviceLabel(2)->text(), QStringLiteral("ttyUSB1 · Prolific PL2303"));
    QVERIFY(dialog->DeviceLabel(1)->toolTip().startsWith(ftdi.Device()));
    QVERIFY(dialog->PortButton(1)->isEnabled());
    QCOMPARE(dialog->CheckedPort(), 1);
    QCOMPARE(dialog->DeviceEdit()->text(), ftdi.Device());
    if (const QByteArray shots = qgetenv("RADIO_LINK_SHOTS"); !shots.isEmpty()) {
        dialog->show();
        QTest::qWait(200);
        dialog->grab().save(QString::fromLocal8Bit(shots) + "/port-setting.png");
    }

    // The first cable is pulled while the dialog is open: the next probe
    // moves the second up to number 1.
    present.erase(present.begin());
    dialog->Refresh();
    QCOMPARE(dialog->DeviceLabel(1)->text(), QStringLiteral("ttyUSB1 · Prolific PL2303"));
    QCOMPARE(dialog->DeviceLabel(2)->text(), QStringLiteral("(no device)"));
    QVERIFY(!dialog->PortButton(2)->isEnabled());
    dialog->reject();
}

QTEST_MAIN(RadioLinkTest)
#include "radiolink_test.moc"
