// Channel rows in the real window: selecting with keys and clicks, the
// clipboard, the row commands, undo and redo, and the files they save.

#include "../ChannelRecordFixture.h"
#include "GuiTestSupport.h"

#include "app/ProgramApp.h"
#include "base/Globals.h"
#include "base/ResourceIds.h"
#include "channels/CsvErrorsDlg.h"
#include "channels/MSFlexGrid.h"
#include "channels/ProgramView.h"
#include "core/channels/ChannelRows.h"
#include "core/document/DataFile.h"
#include "document/ProgramDoc.h"
#include "frame/ChildFrame.h"
#include "frame/MainFrame.h"

#include <QClipboard>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QTimer>
#include <QtTest>

namespace {

// Channels whose bytes the window cannot show in full: a receive side that
// mode 2 hides, busy lock 0x18, a tone no list offers, bits and bytes no
// cell holds. Band 136-174 MHz.
RadioImage SampleImage()
{
    RadioImage image = MakeNewImage();
    image[ImageMap::kBandIndex] = 0;
    SetRecord(image, 1,
              {0x00, 0x50, 0x45, 0x14, 0x00, 0x20, 0x65, 0x14, 0x9E, 0x02, 0xB6, 0x02, 0x18, 0x31, 0x12, 0x34}, true);
    SetRecord(image, 2, {0x00, 0x00, 0x45, 0x14, 0x00, 0x00, 0x45, 0x14, 0xFF, 0xFF, 0xEC, 0xA9, 0x08, 0x00}, false);
    SetRecord(image, 3, {0x00, 0x00, 0x50, 0x14, 0x00, 0x00, 0x50, 0x14, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x30}, true);
    return image;
}

RadioImage Copied(RadioImage image, int from, int to)
{
    WriteChannelRecord(image, to, ReadChannelRecord(image, from));
    return image;
}

} // namespace

class ChannelRowsTest : public QObject
{
    Q_OBJECT
private slots:
    void cleanup();
    void copiedChannelPastesByteExact();
    void undoGivesBackTheOpenedFileAndRedoTheEdit();
    void rowCommandsSaveWholeRecords_data();
    void rowCommandsSaveWholeRecords();
    void insertIsRefusedWhileChannelSixteenIsInUse();
    void channelNumbersSelectRows();
    void contextMenuListsTheCommands();
    void badTextPasteShowsTheListAndChangesNothing();

private:
    void Open(const RadioImage& image);
    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(m_grid, Qt::Key(key), modifiers);
    }
    void Run(int command) { m_install->App()->MainFrame()->OnCommand(command); }
    CProgramDoc* Document() const { return m_view->GetDocument(); }

    std::unique_ptr<CTestInstall> m_install;
    CProgramView* m_view = nullptr;
    CMSFlexGrid* m_grid = nullptr;
    QString m_path;
};

void ChannelRowsTest::cleanup()
{
    m_install.reset();
    m_view = nullptr;
    m_grid = nullptr;
}

void ChannelRowsTest::Open(const RadioImage& image)
{
    m_install = std::make_unique<CTestInstall>();
    m_path = m_install->File("radio.dat");
    m_install->WriteFile("radio.dat", FileOf(image));
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

void ChannelRowsTest::copiedChannelPastesByteExact()
{
    const RadioImage sample = SampleImage();
    Open(sample);
    Key(Qt::Key_Space, Qt::ShiftModifier);
    QCOMPARE(m_view->SelectedChannels(), std::vector<int>{1});
    Key(Qt::Key_C, Qt::ControlModifier);
    QVERIFY(QApplication::clipboard()->text().startsWith(QStringLiteral("CH\tRx Frequency\t")));
    for (int k = 0; k < 9; ++k)
        Key(Qt::Key_Down);
    QCOMPARE(m_grid->GetRow(), 10);
    QVERIFY(m_view->SelectedChannels().empty());
    Key(Qt::Key_V, Qt::ControlModifier);
    QVERIFY(Document()->IsModified());
    Run(Ids::ID_FILE_SAVE);
    QCOMPARE(ReadBytes(m_path), FileOf(Copied(sample, 1, 10)));
    QVERIFY(m_install->prompter.messages.isEmpty());
}

void ChannelRowsTest::undoGivesBackTheOpenedFileAndRedoTheEdit()
{
    const RadioImage sample = SampleImage();
    Open(sample);
    const QByteArray opened = ReadBytes(m_path);
    m_grid->SetRow(3);
    m_grid->SetCol(2);
    m_view->PlaceEditor();
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    QVERIFY(editor);
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(editor, "150");
    // In an open editor the undo keys act on its text, not on the document.
    QTest::keyClick(editor, Qt::Key_Z, Qt::ControlModifier);
    QVERIFY(editor->text() != QStringLiteral("150"));
    QTest::keyClick(editor, Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(editor->text(), QStringLiteral("150"));
    QVERIFY(!Document()->CanUndo());
    QTest::keyClick(editor, Qt::Key_Return);
    QCOMPARE(m_grid->GetTextMatrix(3, 2), QStringLiteral("150.00000"));
    m_view->DropPendingEdit();
    Key(Qt::Key_Delete); // a row command on top of the edit
    QCOMPARE(m_grid->GetTextMatrix(3, 2), QString());

    Key(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(m_grid->GetTextMatrix(3, 2), QStringLiteral("150.00000"));
    Key(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(m_grid->GetTextMatrix(3, 2), QStringLiteral("145.00000"));
    QVERIFY(!Document()->IsModified());
    QVERIFY(!Document()->CanUndo());
    Run(Ids::ID_FILE_SAVE);
    QCOMPARE(ReadBytes(m_path), opened);

    Key(Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(m_grid->GetTextMatrix(3, 2), QStringLiteral("150.00000"));
    QVERIFY(Document()->IsModified());
    Key(Qt::Key_Z, Qt::ShiftModifier | Qt::ControlModifier);
    QCOMPARE(m_grid->GetTextMatrix(3, 2), QString());
    Run(Ids::ID_EDIT_UNDO);
    Run(Ids::ID_EDIT_UNDO);
    QVERIFY(!Document()->IsModified());
}

void ChannelRowsTest::rowCommandsSaveWholeRecords_data()
{
    QTest::addColumn<int>("current");
    QTest::addColumn<QList<int>>("keys"); // key, modifiers, key, modifiers, ...
    QTest::addColumn<QList<int>>("from"); // the sample channel each of 1..4 holds afterwards; 0 empty

    const int shift = int(Qt::ShiftModifier);
    const int ctrl = int(Qt::ControlModifier);
    QTest::newRow("Delete") << 2 << QList<int>{Qt::Key_Delete, 0} << QList<int>{1, 0, 3, 4};
    QTest::newRow("Insert") << 2 << QList<int>{Qt::Key_Insert, 0} << QList<int>{1, 0, 2, 3};
    QTest::newRow("Ctrl+Down") << 1 << QList<int>{Qt::Key_Down, ctrl} << QList<int>{2, 1, 3, 4};
    QTest::newRow("block up") << 2 << QList<int>{Qt::Key_Space, shift, Qt::Key_Down, shift, Qt::Key_Up, ctrl}
                              << QList<int>{2, 3, 1, 4};
    QTest::newRow("Cut, then paste below")
        << 1 << QList<int>{Qt::Key_X, ctrl, Qt::Key_Down, 0, Qt::Key_Down, 0, Qt::Key_Down, 0, Qt::Key_V, ctrl}
        << QList<int>{0, 2, 3, 1};
}

void ChannelRowsTest::rowCommandsSaveWholeRecords()
{
    QFETCH(int, current);
    QFETCH(QList<int>, keys);
    QFETCH(QList<int>, from);
    const RadioImage sample = SampleImage();
    Open(sample);
    m_grid->SetRow(current);
    m_view->DropPendingEdit();
    for (int k = 0; k + 1 < keys.size(); k += 2)
        Key(keys[k], Qt::KeyboardModifiers(keys[k + 1]));
    Run(Ids::ID_FILE_SAVE);
    RadioImage saved{};
    QCOMPARE(LoadDataFile(QFile::encodeName(m_path).toStdString(), saved), DataFileResult::Ok);
    RadioImage expected = sample;
    for (int channel = 1; channel <= 4; ++channel) {
        const int source = from[channel - 1];
        WriteChannelRecord(expected, channel, source ? ReadChannelRecord(sample, source) : EmptyChannelRecord());
    }
    QVERIFY(saved == expected);
    QVERIFY(m_install->prompter.messages.isEmpty());
}

void ChannelRowsTest::insertIsRefusedWhileChannelSixteenIsInUse()
{
    const RadioImage sample = Copied(SampleImage(), 3, 16);
    Open(sample);
    Key(Qt::Key_Insert);
    QCOMPARE(m_install->prompter.messages.size(), 1);
    QVERIFY(m_install->prompter.messages[0].text.contains(QStringLiteral("Channel 16")));
    QVERIFY(!Document()->IsModified());
    QVERIFY(Document()->Image() == sample);
}

void ChannelRowsTest::channelNumbersSelectRows()
{
    Open(SampleImage());
    QHeaderView* numbers = m_grid->verticalHeader();
    const auto click = [&](int channel, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        const int y = numbers->sectionViewportPosition(channel - 1) + numbers->sectionSize(channel - 1) / 2;
        QTest::mouseClick(numbers->viewport(), Qt::LeftButton, modifiers, QPoint(numbers->width() / 2, y));
    };
    click(3);
    click(5, Qt::ShiftModifier);
    click(9, Qt::ControlModifier);
    QCOMPARE(m_view->SelectedChannels(), (std::vector<int>{3, 4, 5, 9}));
    for (int col = 1; col <= 8; ++col)
        QVERIFY(!m_view->EditorForColumn(col)->isVisible());
    QVERIFY(m_grid->item(3, 1)->background() != m_grid->item(5, 1)->background());
    Key(Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(m_view->SelectedChannels().size(), std::size_t(16));
    Key(Qt::Key_Right);
    QVERIFY(m_view->SelectedChannels().empty());
}

void ChannelRowsTest::contextMenuListsTheCommands()
{
    Open(SampleImage());
    QStringList texts;
    QTimer::singleShot(0, this, [&] {
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            for (QAction* action : menu->actions())
                texts << (action->isSeparator() ? QStringLiteral("---") : action->text());
            menu->close();
        }
    });
    Key(Qt::Key_Menu);
    QCOMPARE(texts, (QStringList{"Cu&t", "Cop&y", "Past&e", "---", "&Delete Channels", "&Insert Empty Channel",
                                 "Mo&ve Up", "Move Do&wn", "---", "&Fill Down\tCtrl+D", "&Sort Channels by Frequency",
                                 "Channel Pla&n...", "---", "Select A&ll"}));
}

void ChannelRowsTest::badTextPasteShowsTheListAndChangesNothing()
{
    const RadioImage sample = SampleImage();
    Open(sample);
    const ChannelTable before = m_view->GridTexts();
    QApplication::clipboard()->setText(QStringLiteral("146.52\t146.52\tNone\tNone\tWide\tNo\tOff\tHigh\n"
                                                      "146.52\t180\tNone\tNone\tWide\tNo\tOff\tHigh\n"));
    QString list;
    QTimer::singleShot(0, this, [&] {
        if (auto* dialog = qobject_cast<CCsvErrorsDlg*>(QApplication::activeModalWidget())) {
            list = dialog->ListText();
            dialog->accept();
        }
    });
    Key(Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(list, QStringLiteral("2:2: frequency 180.00000 is outside the band"));
    QCOMPARE(m_view->GridTexts(), before);
    QVERIFY(Document()->Image() == sample);
    QVERIFY(!Document()->IsModified());
    QVERIFY(!Document()->CanUndo());
}

QTEST_MAIN(ChannelRowsTest)
#include "channel_rows_test.moc"
