// One change for many channels in the real window: Ctrl+D, Ctrl+Enter in an
// open editor, Sort Channels by Frequency and Channel Plan, each one undo
// step, and the files they save byte for byte.

#include "../ChannelRecordFixture.h"
#include "GuiTestSupport.h"

#include "app/ProgramApp.h"
#include "base/Globals.h"
#include "base/ResourceIds.h"
#include "channels/ChannelPlanDlg.h"
#include "channels/CsvErrorsDlg.h"
#include "channels/MSFlexGrid.h"
#include "channels/ProgramView.h"
#include "core/channels/ChannelBulkEdit.h"
#include "core/channels/ChannelRows.h"
#include "core/document/DataFile.h"
#include "document/ProgramDoc.h"
#include "frame/ChildFrame.h"
#include "frame/MainFrame.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QTimer>
#include <QtTest>

namespace {

constexpr FrequencyBand kVhf{13600000, 17400000};

// Band 136-174 MHz. 1: receive side 144.55 that mode 2 hides, transmit
// 146.52, busy lock 0x18, an encode tone no list offers, bytes 14-15 used,
// scan on. 2: 144.5, DCS D754I, busy lock 0x08. 3: 145 MHz. 4: transmit
// only, 144 MHz.
RadioImage SampleImage()
{
    RadioImage image = MakeNewImage();
    image[ImageMap::kBandIndex] = 0;
    SetRecord(image, 1,
              {0x00, 0x50, 0x45, 0x14, 0x00, 0x20, 0x65, 0x14, 0x9E, 0x02, 0xB6, 0x02, 0x18, 0x31, 0x12, 0x34}, true);
    SetRecord(image, 2, {0x00, 0x00, 0x45, 0x14, 0x00, 0x00, 0x45, 0x14, 0xFF, 0xFF, 0xEC, 0xA9, 0x08, 0x00}, false);
    SetRecord(image, 3, {0x00, 0x00, 0x50, 0x14, 0x00, 0x00, 0x50, 0x14, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x30}, true);
    SetRecord(image, 4, {0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x40, 0x14, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x10}, true);
    return image;
}

} // namespace

class ChannelBulkTest : public QObject
{
    Q_OBJECT
private slots:
    void cleanup();
    void fillDownCommitAndSortAreOneStepEach();
    void refusalsChangeNothing();
    void channelPlanLaysPmr446();
    void contextMenuOffersTheCommands();
    void ctrlEnterInAList();

private:
    void Open(const RadioImage& image);
    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(m_grid, Qt::Key(key), modifiers);
    }
    void Run(int command) { m_install->App()->MainFrame()->OnCommand(command); }
    // Frames (row, column) without an open editor and selects first..last.
    void Select(int first, int last, int column);
    void SaveAndCompare(const RadioImage& expected);
    CProgramDoc* Document() const { return m_view->GetDocument(); }

    std::unique_ptr<CTestInstall> m_install;
    CProgramView* m_view = nullptr;
    CMSFlexGrid* m_grid = nullptr;
    QString m_path;
};

void ChannelBulkTest::cleanup()
{
    m_install.reset();
    m_view = nullptr;
    m_grid = nullptr;
}

void ChannelBulkTest::Open(const RadioImage& image)
{
    m_install = std::make_unique<CTestInstall>();
    m_path = m_install->File("radio.dat");
    m_install->WriteFile("radio.dat", FileOf(image));
    // The shipped plans beside the program.
    QVERIFY(QDir(m_install->Dir()).mkpath(QStringLiteral("plans")));
    for (const char* plan : {"PMR446.csv", "FRS.csv"})
        QVERIFY(QFile::copy(QStringLiteral(PROGRAM_SOURCE_DIR "/src/resources/plans/") + plan,
                            m_install->File(QStringLiteral("plans/") + plan)));
    g_nDeviceMode = 2;
    QVERIFY(m_install->Start({m_path}));
    CMainFrame* frame = m_install->App()->MainFrame();
    frame->show();
    QVERIFY(QTest::qWaitForWindowExposed(frame));
    frame->activateWindow();
    m_view = frame->MDIGetActive()->GetActiveView();
    m_grid = m_view->Grid();
    QVERIFY(!Document()->IsModified());
}

void ChannelBulkTest::Select(int first, int last, int column)
{
    m_grid->SetRow(first);
    m_grid->SetCol(column);
    m_view->DropPendingEdit();
    m_grid->setFocus();
    Key(Qt::Key_Space, Qt::ShiftModifier);
    for (int channel = first; channel < last; ++channel)
        Key(Qt::Key_Down, Qt::ShiftModifier);
    std::vector<int> expected;
    for (int channel = first; channel <= last; ++channel)
        expected.push_back(channel);
    QCOMPARE(m_view->SelectedChannels(), expected);
}

void ChannelBulkTest::SaveAndCompare(const RadioImage& expected)
{
    Run(Ids::ID_FILE_SAVE);
    QCOMPARE(ReadBytes(m_path), FileOf(expected));
}

void ChannelBulkTest::fillDownCommitAndSortAreOneStepEach()
{
    const RadioImage sample = SampleImage();
    Open(sample);
    const QByteArray opened = ReadBytes(m_path);

    // Ctrl+D on the W/N column of channels 1-4: all take channel 1's Wide.
    Select(1, 4, kColBandwidth);
    RadioImage filled = sample;
    QVERIFY(FillDown(filled, 2, false, kVhf, {1, 2, 3, 4}, kColBandwidth).changed);
    Key(Qt::Key_D, Qt::ControlModifier);
    for (int row = 1; row <= 4; ++row)
        QCOMPARE(m_grid->GetTextMatrix(row, kColBandwidth), QStringLiteral("Wide"));
    QCOMPARE(m_view->SelectedChannels(), (std::vector<int>{1, 2, 3, 4}));
    QVERIFY(Document()->IsModified());
    SaveAndCompare(filled);
    QCOMPARE(Document()->UndoLabel(), QStringLiteral("Fill Down"));
    Key(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(m_grid->GetTextMatrix(2, kColBandwidth), QStringLiteral("Narrow"));
    QVERIFY(!Document()->CanUndo());
    SaveAndCompare(sample);

    // Ctrl+Enter in the Tx editor of channel 4: 145.5 MHz into all four,
    // the hidden receive side of channel 1 kept.
    Select(1, 4, kColTxFrequency);
    m_grid->SetCol(kColBandwidth);
    m_grid->SetCol(kColTxFrequency);
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    QVERIFY(editor);
    editor->selectAll();
    QTest::keyClicks(editor, "145.5");
    QTest::keyClick(editor, Qt::Key_Return, Qt::ControlModifier);
    RadioImage committed = sample;
    QVERIFY(CommitToChannels(committed, 2, false, kVhf, {1, 2, 3, 4}, kColTxFrequency, "145.5").changed);
    for (int row = 1; row <= 4; ++row)
        QCOMPARE(m_grid->GetTextMatrix(row, kColTxFrequency), QStringLiteral("145.50000"));
    QVERIFY(!editor->isVisible());
    QVERIFY(m_install->prompter.messages.isEmpty());
    SaveAndCompare(committed);
    QCOMPARE(DecodeFrequency(committed, 1, FrequencySide::Receive), DecodeFrequency(sample, 1, FrequencySide::Receive));
    QCOMPARE(DecodeFrequency(committed, 4, FrequencySide::Receive), std::string());
    Run(Ids::ID_EDIT_UNDO);
    QVERIFY(!Document()->CanUndo());
    SaveAndCompare(sample);

    // Sort all sixteen by the transmit frequency: 4 (144), 2 (144.5), 3
    // (145), 1 (146.52), whole records moved.
    m_view->SelectChannels({});
    Run(Ids::ID_EDIT_SORT_BY_FREQUENCY);
    RadioImage sorted = sample;
    for (const auto& [channel, from] : {std::pair{1, 4}, {2, 2}, {3, 3}, {4, 1}})
        WriteChannelRecord(sorted, channel, ReadChannelRecord(sample, from));
    SaveAndCompare(sorted);
    QCOMPARE(Document()->UndoLabel(), QStringLiteral("Sort Channels by Frequency"));
    Key(Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(Document()->IsModified()); // the sorted channels were saved
    Run(Ids::ID_FILE_SAVE);
    QCOMPARE(ReadBytes(m_path), opened);
    Key(Qt::Key_Y, Qt::ControlModifier);
    SaveAndCompare(sorted);
}

void ChannelBulkTest::refusalsChangeNothing()
{
    const RadioImage sample = SampleImage();
    Open(sample);

    // Off the step: the message names the first channel, nothing changes.
    Select(2, 3, kColTxFrequency);
    m_grid->SetCol(kColBandwidth);
    m_grid->SetCol(kColTxFrequency);
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    QVERIFY(editor);
    editor->selectAll();
    QTest::keyClicks(editor, "145.0025");
    QTest::keyClick(editor, Qt::Key_Enter, Qt::ControlModifier | Qt::KeypadModifier);
    QCOMPARE(m_install->prompter.messages.size(), 1);
    QCOMPARE(m_install->prompter.messages[0].text,
             QStringLiteral("Channel 2: Error data Value, please input according the step value(6.25K/5k)."));
    QCOMPARE(m_grid->GetTextMatrix(3, kColTxFrequency), QStringLiteral("145.00000"));

    // Fill Down from a channel without a frequency.
    Select(5, 7, kColTxFrequency);
    Key(Qt::Key_D, Qt::ControlModifier);
    QCOMPARE(m_install->prompter.messages.size(), 2);
    QCOMPARE(m_install->prompter.messages[1].text,
             QStringLiteral("The first selected channel has no frequency to fill down."));

    QVERIFY(Document()->Image() == sample);
    QVERIFY(!Document()->IsModified());
    QVERIFY(!Document()->CanUndo());
}

void ChannelBulkTest::channelPlanLaysPmr446()
{
    RadioImage sample = SampleImage();
    Open(sample);
    // In 136-174 MHz the plan is refused: its file's cells are listed.
    QString list;
    QString intro;
    QStringList offered;
    const auto choose = [&](const QString& name) {
        QTimer::singleShot(0, this, [&, name] {
            auto* dialog = qobject_cast<CChannelPlanDlg*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            offered.clear();
            for (int row = 0; row < dialog->List()->count(); ++row)
                offered << dialog->List()->item(row)->text();
            dialog->List()->setCurrentRow(static_cast<int>(offered.indexOf(name + " (16 channels)")));
            QTimer::singleShot(0, this, [&] {
                if (auto* errors = qobject_cast<CCsvErrorsDlg*>(QApplication::activeModalWidget())) {
                    list = errors->ListText();
                    intro = errors->findChild<QLabel*>()->text();
                    errors->accept();
                }
            });
            dialog->accept();
        });
        Run(Ids::ID_EDIT_CHANNEL_PLAN);
    };
    choose(QStringLiteral("PMR446"));
    QCOMPARE(offered, (QStringList{"FRS (16 channels)", "PMR446 (16 channels)"}));
    QVERIFY(list.startsWith(QStringLiteral("2:2: frequency 446.00625 is outside the band\n")));
    QVERIFY(intro.contains(QDir::toNativeSeparators(m_install->File("plans/PMR446.csv"))));
    QVERIFY(Document()->Image() == sample);
    QVERIFY(!Document()->CanUndo());

    // On a 400-480 MHz radio, from channel 1 with none selected: sixteen
    // channels in one step.
    m_install.reset();
    sample[ImageMap::kBandIndex] = 2;
    Open(sample);
    list.clear();
    choose(QStringLiteral("PMR446"));
    QVERIFY(list.isEmpty());
    const RadioImage& image = Document()->Image();
    QCOMPARE(DecodeFrequency(image, 1, FrequencySide::Transmit), std::string("446.00625"));
    QCOMPARE(DecodeFrequency(image, 16, FrequencySide::Receive), std::string("446.19375"));
    QCOMPARE(DecodePower(image, 9, false), std::string("Low"));
    QCOMPARE(m_grid->GetTextMatrix(16, kColTxFrequency), QStringLiteral("446.19375"));
    QCOMPARE(Document()->UndoLabel(), QStringLiteral("Channel Plan"));
    Run(Ids::ID_EDIT_UNDO);
    QVERIFY(Document()->Image() == sample);
    QVERIFY(!Document()->CanUndo());
}

void ChannelBulkTest::contextMenuOffersTheCommands()
{
    Open(SampleImage());
    Select(1, 3, kColBandwidth);
    QStringList enabled;
    QTimer::singleShot(0, this, [&] {
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            for (QAction* action : menu->actions())
                if (action->isEnabled() && !action->isSeparator())
                    enabled << action->text();
            menu->close();
        }
    });
    Key(Qt::Key_Menu);
    QVERIFY(enabled.contains(QStringLiteral("&Fill Down\tCtrl+D")));
    QVERIFY(enabled.contains(QStringLiteral("&Sort Channels by Frequency")));
    QVERIFY(enabled.contains(QStringLiteral("Channel Pla&n...")));
}

void ChannelBulkTest::ctrlEnterInAList()
{
    const RadioImage sample = SampleImage();
    Open(sample);
    Select(1, 3, kColBandwidth);
    Key(Qt::Key_N); // opens the W/N list on Narrow
    auto* list = qobject_cast<QComboBox*>(QApplication::focusWidget());
    QVERIFY(list);
    QCOMPARE(list->currentText(), QStringLiteral("Narrow"));
    QTest::keyClick(list, Qt::Key_Return, Qt::ControlModifier);
    for (int row = 1; row <= 3; ++row)
        QCOMPARE(m_grid->GetTextMatrix(row, kColBandwidth), QStringLiteral("Narrow"));
    RadioImage committed = sample;
    QVERIFY(CommitToChannels(committed, 2, false, kVhf, {1, 2, 3}, kColBandwidth, "Narrow").changed);
    SaveAndCompare(committed);
}

QTEST_MAIN(ChannelBulkTest)
#include "channel_bulk_test.moc"
