// The channel window driven as a user drives it: keys and clicks on the
// real grid and editors, the messages of rejected frequencies, the save
// question, and files that come back byte for byte.

#include "GuiTestSupport.h"

#include "app/ProgramApp.h"
#include "base/ContextHelp.h"
#include "base/Globals.h"
#include "channels/MSFlexGrid.h"
#include "channels/ProgramView.h"
#include "core/document/DataFile.h"
#include "document/ProgramDoc.h"
#include "frame/ChildFrame.h"
#include "frame/MainFrame.h"

#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPointer>
#include <QtTest>

#include <random>

namespace {

// A data file whose image is random bytes: patterns no cell text carries.
QByteArray RandomDataFile(unsigned seed)
{
    std::mt19937 random(seed);
    QByteArray bytes("T593", 4);
    bytes.append(QByteArray(12, '\0'));
    for (int i = 0; i < 1024; ++i)
        bytes.append(static_cast<char>(random() & 0xFF));
    return bytes;
}

} // namespace

class ChannelViewTest : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void enterTypesAChannel();
    void editorLiesOverItsCell();
    void clickingAnotherCellCommitsWithTheLeaveRules();
    void enterInTheLastCellWraps();
    void rejectedFrequencyKeepsTheRow();
    void chineseLists();
    void f1GivesTheHelpOfTheFocusedControl();
    void modeZeroTakesNoEdits();
    void exitAsksAboutUnsavedChanges_data();
    void exitAsksAboutUnsavedChanges();
    void newAsksAboutUnsavedChanges();
    void languageRestartAsksAboutUnsavedChanges();
    void openAndSaveKeepEveryByte_data();
    void openAndSaveKeepEveryByte();
    void savedChannelsComeBack();

private:
    void Start(const QStringList& arguments = {}, const char* language = "English");
    void SetMode(int mode);
    QWidget* Focused() const { return QApplication::focusWidget(); }
    void ClickCell(int row, int col);
    QString Cell(int row, int col) const { return m_grid->GetTextMatrix(row, col); }

    std::unique_ptr<CTestInstall> m_install;
    CProgramView* m_view = nullptr;
    CMSFlexGrid* m_grid = nullptr;
};

void ChannelViewTest::init() {}

void ChannelViewTest::cleanup()
{
    m_install.reset();
    m_view = nullptr;
    m_grid = nullptr;
}

void ChannelViewTest::Start(const QStringList& arguments, const char* language)
{
    m_install = std::make_unique<CTestInstall>(kEverything, ShippedIniWith("Setup", "Language", language).constData());
    QVERIFY(m_install->Start(arguments));
    CMainFrame* frame = m_install->App()->MainFrame();
    frame->show();
    QVERIFY(QTest::qWaitForWindowExposed(frame));
    frame->activateWindow();
    m_view = frame->MDIGetActive()->GetActiveView();
    m_grid = m_view->Grid();
}

void ChannelViewTest::SetMode(int mode)
{
    g_nDeviceMode = mode;
    m_view->ImageToGrid();
}

void ChannelViewTest::ClickCell(int row, int col)
{
    const QRect rect = m_grid->visualRect(m_grid->model()->index(row - 1, col - 1));
    QTest::mouseClick(m_grid->viewport(), Qt::LeftButton, {}, rect.center());
}

void ChannelViewTest::enterTypesAChannel()
{
    Start();
    // Start-up shows the transmit side (device mode 2); the grid has the
    // keyboard at row 1, column 1 (the hidden Rx column).
    QCOMPARE(Focused(), static_cast<QWidget*>(m_grid));
    QCOMPARE(m_grid->GetRow(), 1);
    QCOMPARE(m_grid->GetCol(), 1);
    QCOMPARE(m_grid->GetColWidth(1), 0);

    QTest::keyClick(Focused(), Qt::Key_Return);
    QCOMPARE(m_grid->GetCol(), 2);
    auto* tx = qobject_cast<QLineEdit*>(Focused());
    QVERIFY(tx);
    QCOMPARE(tx, m_view->EditorForColumn(2));
    QTest::keyClicks(tx, "145.5");
    QVERIFY(!m_view->GetDocument()->IsModified());
    QTest::keyClick(tx, Qt::Key_Return);

    QCOMPARE(Cell(1, 2), QStringLiteral("145.50000"));
    QCOMPARE(Cell(1, 1), QString());
    QCOMPARE(Cell(1, 3), QString()); // not touched by a Tx frequency
    const QStringList defaults = {"None", "Wide", "No", "Off", "High"};
    for (int col = 4; col <= 8; ++col)
        QCOMPARE(Cell(1, col), defaults.at(col - 4));
    // The move passes over the hidden decode tone column.
    QCOMPARE(m_grid->GetCol(), 4);
    QCOMPARE(Focused(), m_view->EditorForColumn(4));
    QVERIFY(m_view->GetDocument()->IsModified());
    QVERIFY(m_view->parentWidget()->isWindowModified());
    QVERIFY(m_install->prompter.messages.isEmpty());
}

void ChannelViewTest::editorLiesOverItsCell()
{
    Start();
    SetMode(1);
    for (const QPoint cell : {QPoint(1, 1), QPoint(3, 5), QPoint(16, 3)}) {
        ClickCell(cell.x(), cell.y());
        QWidget* editor = m_view->EditorForColumn(cell.y());
        QVERIFY(editor->isVisible());
        const QRect rect = m_grid->visualRect(m_grid->model()->index(cell.x() - 1, cell.y() - 1));
        const QPoint topLeft = m_grid->viewport()->mapTo(m_grid, rect.topLeft());
        QCOMPARE(editor->geometry().topLeft(), topLeft);
        QCOMPARE(editor->width(), m_grid->columnWidth(cell.y() - 1));
        QCOMPARE(editor->height(), m_grid->rowHeight(cell.x() - 1));
    }
}

void ChannelViewTest::clickingAnotherCellCommitsWithTheLeaveRules()
{
    Start();
    SetMode(1);
    ClickCell(2, 1);
    QTest::keyClicks(Focused(), "146.52");
    ClickCell(5, 1);
    // Leaving a new channel's Rx cell fills neither its Tx frequency nor its
    // encode tone; the editor of the clicked cell is open.
    QCOMPARE(Cell(2, 1), QStringLiteral("146.52000"));
    QCOMPARE(m_view->GridTexts()[2][2], std::string());
    QCOMPARE(m_view->GridTexts()[2][4], std::string());
    QCOMPARE(Cell(2, 3), QStringLiteral("None"));
    QCOMPARE(Cell(2, 6), QStringLiteral("No"));
    QCOMPARE(m_grid->GetRow(), 5);
    QCOMPARE(Focused(), m_view->EditorForColumn(1));
}

void ChannelViewTest::enterInTheLastCellWraps()
{
    Start();
    // The last shown cell in device mode 2 is channel 16's W/N.
    m_grid->SetRow(16);
    m_grid->SetCol(5);
    QCOMPARE(Focused(), m_view->EditorForColumn(5));
    QTest::keyClick(Focused(), Qt::Key_N);
    QTest::keyClick(Focused(), Qt::Key_Return);
    QCOMPARE(m_grid->GetRow(), 1);
    QCOMPARE(m_grid->GetCol(), 2); // the first shown cell
    QCOMPARE(Focused(), m_view->EditorForColumn(2));
    QCOMPARE(Cell(16, 5), QString()); // an empty channel takes no setting
}

void ChannelViewTest::rejectedFrequencyKeepsTheRow()
{
    Start();
    SetMode(1);
    ClickCell(4, 1);
    QTest::keyClicks(Focused(), "146.52");
    QTest::keyClick(Focused(), Qt::Key_Return);
    QTest::keyClick(Focused(), Qt::Key_Escape); // the decode tone list closes
    const QString tone = Cell(4, 3);
    ClickCell(4, 1);
    QTest::keyClick(Focused(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(Focused(), "500");
    QTest::keyClick(Focused(), Qt::Key_Return);

    QCOMPARE(m_install->prompter.messages.size(), 1);
    QCOMPARE(m_install->prompter.messages[0].caption, QStringLiteral("Caution"));
    QCOMPARE(m_install->prompter.messages[0].text, QStringLiteral("Out of range,please input again."));
    QCOMPARE(Cell(4, 1), QStringLiteral("146.52000"));
    QCOMPARE(Cell(4, 3), tone);
    QCOMPARE(m_grid->GetRow(), 4);
    QCOMPARE(m_grid->GetCol(), 1);
    QVERIFY(!m_view->EditorForColumn(1)->isVisible());

    // The step check, on leaving the cell this time: the move goes ahead.
    ClickCell(4, 1);
    QTest::keyClick(Focused(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(Focused(), "145.0025");
    ClickCell(7, 1);
    QCOMPARE(m_install->prompter.messages.size(), 2);
    QCOMPARE(m_install->prompter.messages[1].text,
             QStringLiteral("Error data Value, please input according the step value(6.25K/5k)."));
    QCOMPARE(Cell(4, 1), QStringLiteral("146.52000"));
    QCOMPARE(m_grid->GetRow(), 7);
}

void ChannelViewTest::chineseLists()
{
    Start({}, "Chinese");
    SetMode(1);
    QCOMPARE(m_grid->GetTextMatrix(0, 1), QStringLiteral("接收频率"));
    ClickCell(1, 1);
    QTest::keyClicks(Focused(), "150");
    QTest::keyClick(Focused(), Qt::Key_Return);
    QCOMPARE(Cell(1, 5), QStringLiteral("宽"));
    QCOMPARE(Cell(1, 8), QStringLiteral("高"));
    auto* list = qobject_cast<QComboBox*>(m_view->EditorForColumn(7));
    QCOMPARE(list->itemText(1), QStringLiteral("载波"));
    QVERIFY(m_install->App()->MainWindow()->windowTitle().contains(QStringLiteral("  [ 类型:")));
}

void ChannelViewTest::f1GivesTheHelpOfTheFocusedControl()
{
    Start();
    QTest::keyClick(Focused(), Qt::Key_F1);
    QVERIFY(HelpViewer());
    QCOMPARE(HelpViewer()->CurrentSource().fragment(), QStringLiteral("grid"));
    QTest::keyClick(m_grid, Qt::Key_Return); // opens the Tx editor
    QTest::keyClick(Focused(), Qt::Key_F1);
    QCOMPARE(HelpViewer()->CurrentSource().fragment(), QStringLiteral("tx"));
}

void ChannelViewTest::modeZeroTakesNoEdits()
{
    Start();
    SetMode(0);
    QVERIFY(!m_grid->isEnabled());
    for (int col = 0; col <= 6; ++col)
        QVERIFY(m_grid->GetColWidth(col) > 0);
    QCOMPARE(m_grid->GetColWidth(7), 0);
    ClickCell(2, 1);
    m_grid->SetRow(3);
    for (int col = 1; col <= 8; ++col)
        QVERIFY(!m_view->EditorForColumn(col)->isVisible());
    SetMode(2);
    QVERIFY(m_grid->isEnabled());
}

void ChannelViewTest::exitAsksAboutUnsavedChanges_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("closed");
    QTest::addColumn<bool>("saved");
    QTest::newRow("Cancel") << int(PromptAnswer::Cancel) << false << false;
    QTest::newRow("Discard") << int(PromptAnswer::Discard) << true << false;
    QTest::newRow("Save") << int(PromptAnswer::Save) << true << true;
}

void ChannelViewTest::exitAsksAboutUnsavedChanges()
{
    QFETCH(int, answer);
    QFETCH(bool, closed);
    QFETCH(bool, saved);
    Start();
    CMainFrame* frame = m_install->App()->MainFrame();
    // An unchanged document leaves without a question.
    QTest::keyClick(Focused(), Qt::Key_Return);
    QTest::keyClicks(Focused(), "150");
    QTest::keyClick(Focused(), Qt::Key_Return);
    // A hidden window is asked about too.
    frame->MDIGetActive()->close();
    QVERIFY(frame->MDIGetActive()->isHidden());

    const QString path = m_install->File("exit.dat");
    m_install->prompter.answers = {PromptAnswer(answer)};
    m_install->prompter.fileNames = {path};
    QCOMPARE(frame->close(), closed);
    QCOMPARE(m_install->prompter.messages.size(), 1);
    QCOMPARE(m_install->prompter.messages[0].text, QStringLiteral("Save changes to Channel Information?"));
    QCOMPARE(m_install->prompter.messages[0].buttons, PromptButtons::SaveDiscardCancel);
    QCOMPARE(QFile::exists(path), saved);
    if (saved) {
        RadioImage image{};
        QCOMPARE(LoadDataFile(QFile::encodeName(path).toStdString(), image), DataFileResult::Ok);
        QCOMPARE(image[ImageMap::ChannelOffset(1) + 7], std::uint8_t(0x15)); // 150 MHz, BCD high byte
    }
}

void ChannelViewTest::newAsksAboutUnsavedChanges()
{
    Start();
    CMainFrame* frame = m_install->App()->MainFrame();
    CProgramDoc* first = frame->MDIGetActive()->GetDocument();
    // The new document may be made where the old one was: watch the old one.
    const QPointer<CProgramDoc> firstAlive = first;
    // Unchanged: the clear-all question of old.
    m_install->prompter.answers = {PromptAnswer::Cancel};
    frame->OnCommand(57600);
    QCOMPARE(m_install->prompter.messages.last().text, QStringLiteral("All data will be Cleared!"));
    QCOMPARE(frame->MDIGetActive()->GetDocument(), first);

    first->SetModifiedFlag();
    m_install->prompter.answers = {PromptAnswer::Cancel};
    frame->OnCommand(57600);
    QCOMPARE(m_install->prompter.messages.last().text, QStringLiteral("Save changes to Channel Information?"));
    QCOMPARE(frame->MDIGetActive()->GetDocument(), first);

    m_install->prompter.answers = {PromptAnswer::Discard};
    frame->OnCommand(57600);
    QCOMPARE(frame->ChildFrames().size(), 1);
    QVERIFY(firstAlive.isNull());
    QVERIFY(!frame->MDIGetActive()->GetDocument()->IsModified());
}

void ChannelViewTest::languageRestartAsksAboutUnsavedChanges()
{
    Start();
    // The restart starts the Program beside the configuration.
    m_install->WriteFile(QFileInfo(m_install->ExecutablePath()).fileName(), "#!/bin/sh\n");
    QFile::setPermissions(m_install->ExecutablePath(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    CProgramApp* app = m_install->App();
    QStringList started;
    app->m_startProgram = [&started](const QString& program, const QStringList&) {
        started.append(program);
        return true;
    };
    m_view->GetDocument()->SetModifiedFlag();
    m_install->prompter.answers = {PromptAnswer::Cancel};
    app->CloseAndRestart();
    QVERIFY(started.isEmpty());
    QVERIFY(app->MainFrame()->isVisible());

    m_install->prompter.answers = {PromptAnswer::Discard};
    app->CloseAndRestart();
    QCOMPARE(started.size(), 1);
    QCOMPARE(m_install->prompter.messages.size(), 2);
}

void ChannelViewTest::openAndSaveKeepEveryByte_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<unsigned>("seed");
    for (int mode : {0, 1, 2}) {
        for (unsigned seed : {1u, 2u, 3u})
            QTest::newRow(qPrintable(QStringLiteral("mode %1 seed %2").arg(mode).arg(seed))) << mode << seed;
    }
}

void ChannelViewTest::openAndSaveKeepEveryByte()
{
    QFETCH(int, mode);
    QFETCH(unsigned, seed);
    Start();
    const QByteArray original = RandomDataFile(seed);
    const QString path = m_install->File("radio.dat");
    m_install->WriteFile("radio.dat", original);
    g_nDeviceMode = mode;
    CProgramDoc* document = m_install->App()->OpenDocumentFile(path);
    QVERIFY(document);
    QVERIFY(!document->IsModified());
    QCOMPARE(m_install->App()->MainFrame()->MDIGetActive()->GetActiveView()->Grid()->isEnabled(), mode != 0);
    m_install->App()->MainFrame()->OnCommand(57603); // Save
    QCOMPARE(ReadBytes(path), original);
}

void ChannelViewTest::savedChannelsComeBack()
{
    Start();
    SetMode(1);
    ClickCell(3, 1);
    QTest::keyClicks(Focused(), "438.5"); // outside the first band: refused
    QTest::keyClick(Focused(), Qt::Key_Return);
    ClickCell(3, 1);
    QTest::keyClicks(Focused(), "146.52");
    QTest::keyClick(Focused(), Qt::Key_Return);
    QCOMPARE(Cell(3, 2), QStringLiteral("146.52000")); // Enter filled the hidden Tx cell

    const QString path = m_install->File("typed.dat");
    m_install->prompter.fileNames = {path};
    m_install->App()->MainFrame()->OnCommand(57603); // Save of a new document asks for a name
    QVERIFY(QFile::exists(path));
    // The side mode 1 hides is not written: the grid drops it as the image does.
    QCOMPARE(Cell(3, 2), QString());
    const ChannelTable typed = m_view->GridTexts();
    QCOMPARE(typed[3][1], std::string("146.52000"));
    QVERIFY(!m_view->GetDocument()->IsModified());
    QCOMPARE(ReadBytes(path).size(), 1040);

    CProgramDoc* reopened = nullptr;
    m_install->Stop();
    m_install->prompter.messages.clear();
    QVERIFY(m_install->Start({path}));
    g_nDeviceMode = 1;
    reopened = m_install->App()->MainFrame()->MDIGetActive()->GetDocument();
    QVERIFY(reopened);
    auto* reopenedView = m_install->App()->MainFrame()->MDIGetActive()->GetActiveView();
    reopenedView->ImageToGrid();
    const ChannelTable shown = reopenedView->GridTexts();
    for (int row = 0; row < kTableRows; ++row) {
        for (int col = 0; col < kTableCols; ++col)
            QVERIFY2(shown[row][col] == typed[row][col], qPrintable(QStringLiteral("%1,%2: %3 / %4")
                                                                        .arg(row)
                                                                        .arg(col)
                                                                        .arg(QString::fromStdString(shown[row][col]),
                                                                             QString::fromStdString(typed[row][col]))));
    }
}

QTEST_MAIN(ChannelViewTest)
#include "channel_view_test.moc"
