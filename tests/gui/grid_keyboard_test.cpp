// The channel grid driven from the keyboard in the real window, in the two
// editable device modes: no key that only moves, opens or closes an editor
// changes a byte of the file; the value being typed is saved; a tone no
// list offers survives Enter and a click; Open asks about unsaved changes.

#include "../ChannelRecordFixture.h"
#include "GuiTestSupport.h"

#include "app/ProgramApp.h"
#include "base/Globals.h"
#include "channels/MSFlexGrid.h"
#include "channels/ProgramView.h"
#include "core/channels/ChannelCodec.h"
#include "core/document/DataFile.h"
#include "document/ProgramDoc.h"
#include "frame/ChildFrame.h"
#include "frame/MainFrame.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <QtTest>

namespace {

// The grid-safety image as a data file.
QByteArray TestFile()
{
    const RadioImage image = GridSafetyImage();
    QByteArray bytes("T593", 4);
    bytes.append(QByteArray(12, '\0'));
    bytes.append(reinterpret_cast<const char*>(image.data()), static_cast<int>(image.size()));
    return bytes;
}

} // namespace

class GridKeyboardTest : public QObject
{
    Q_OBJECT
private slots:
    void cleanup();
    void navigationAndSaveKeepTheFile_data();
    void navigationAndSaveKeepTheFile();
    void theCurrentCellIsHighlighted();
    void saveTakesTheValueBeingTyped();
    void unlistedToneSurvivesEnterAndAClick();
    void escapeDropsTheValue();
    void typingOpensTheEditor();
    void deletingAChannelEmptiesItsRecord();
    void openAsksAboutUnsavedChanges();
    void readOnlyModeSaysWhy();

private:
    void Start(int mode);
    QWidget* Focused() const { return QApplication::focusWidget(); }
    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(Focused(), static_cast<Qt::Key>(key), modifiers);
    }
    void Save() { QTest::keySequence(Focused(), QKeySequence(Qt::CTRL | Qt::Key_S)); }
    QString Path() const { return m_install->File("radio.dat"); }

    std::unique_ptr<CTestInstall> m_install;
    CMainFrame* m_frame = nullptr;
    CProgramView* m_view = nullptr;
    CMSFlexGrid* m_grid = nullptr;
};

void GridKeyboardTest::Start(int mode)
{
    m_install = std::make_unique<CTestInstall>();
    m_install->WriteFile("radio.dat", TestFile());
    QVERIFY(m_install->Start({Path()}));
    m_frame = m_install->App()->MainFrame();
    m_frame->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_frame));
    m_frame->activateWindow();
    m_view = m_frame->MDIGetActive()->GetActiveView();
    m_grid = m_view->Grid();
    g_nDeviceMode = mode;
    m_view->ImageToGrid();
    if (mode != 0) {
        m_grid->setFocus();
        QTRY_COMPARE(Focused(), static_cast<QWidget*>(m_grid));
    }
}

void GridKeyboardTest::cleanup()
{
    m_install.reset();
}

void GridKeyboardTest::navigationAndSaveKeepTheFile_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QList<int>>("keys");
    const QList<int> arrows = {Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Right,    Qt::Key_Right, Qt::Key_Up,
                               Qt::Key_Left, Qt::Key_End,  Qt::Key_Home, Qt::Key_PageDown, Qt::Key_PageUp};
    // Enter opens editors and walks through every shown cell of four
    // channels; Tab, Shift+Tab, Up and Down leave them; Escape closes one.
    QList<int> enter;
    for (int i = 0; i < 20; ++i)
        enter << Qt::Key_Return;
    // (Up and Down in a list choose another item: a change, so not here.)
    const QList<QList<int>> editing = {
        {},
        {Qt::Key_Return, Qt::Key_Tab, Qt::Key_Backtab, Qt::Key_Escape, Qt::Key_Home, Qt::Key_F2, Qt::Key_Down,
         Qt::Key_Down, Qt::Key_Up, Qt::Key_Tab, Qt::Key_Escape, Qt::Key_Right, Qt::Key_Return, Qt::Key_Tab, Qt::Key_Tab,
         Qt::Key_Tab, Qt::Key_Backtab, Qt::Key_Escape},
        {Qt::Key_Return, Qt::Key_Down, Qt::Key_Down, Qt::Key_Up, Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Backtab,
         Qt::Key_Escape, Qt::Key_Down, Qt::Key_F2, Qt::Key_Tab, Qt::Key_Escape, Qt::Key_Right, Qt::Key_Return,
         Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Escape},
    };
    for (int mode : {1, 2}) {
        QTest::addRow("mode %d arrows", mode) << mode << arrows;
        QTest::addRow("mode %d Enter", mode) << mode << enter;
        QTest::addRow("mode %d editors", mode) << mode << editing[mode];
        QTest::addRow("mode %d everything", mode) << mode << (editing[mode] + arrows + enter + arrows);
    }
}

void GridKeyboardTest::navigationAndSaveKeepTheFile()
{
    QFETCH(int, mode);
    QFETCH(QList<int>, keys);
    Start(mode);
    const QByteArray before = ReadBytes(Path());
    for (int key : keys) {
        Key(key);
        // Wherever the keyboard is, it is on a shown column.
        QVERIFY2(m_grid->GetColWidth(m_grid->HighlightCol()) > 0, qPrintable(QString::number(key)));
        for (int column = 1; column <= 8; ++column) {
            if (m_grid->GetColWidth(column) == 0)
                QVERIFY(!m_view->EditorForColumn(column)->isVisible());
        }
    }
    Save();
    QVERIFY(m_install->prompter.messages.isEmpty());
    QCOMPARE(ReadBytes(Path()), before);
    QVERIFY(!m_view->GetDocument()->IsModified());
    QVERIFY(!m_view->parentWidget()->isWindowModified());
}

void GridKeyboardTest::theCurrentCellIsHighlighted()
{
    Start(2);
    // The start cell is the hidden Rx column: the Tx cell beside it shows.
    QCOMPARE(m_grid->GetCol(), 1);
    QCOMPARE(m_grid->HighlightRow(), 1);
    QCOMPARE(m_grid->HighlightCol(), 2);
    Key(Qt::Key_Down);
    QCOMPARE(m_grid->HighlightRow(), 2);
    QCOMPARE(m_grid->HighlightCol(), 2);
    QCOMPARE(m_grid->GetCol(), 2);
    QCOMPARE(Focused(), static_cast<QWidget*>(m_grid)); // no editor opened
    Key(Qt::Key_Right);
    QCOMPARE(m_grid->HighlightCol(), 4);
    // The highlight is drawn: the cell's pixels differ from its neighbour's.
    const QImage shot = m_grid->viewport()->grab().toImage();
    const QRect cell = m_grid->visualRect(m_grid->model()->index(1, 3));
    QVERIFY(shot.pixelColor(cell.left() + 3, cell.center().y()) != QColor(Qt::white));
}

void GridKeyboardTest::saveTakesTheValueBeingTyped()
{
    for (int mode : {1, 2}) {
        Start(mode);
        Key(Qt::Key_PageDown);
        Key(Qt::Key_F2);
        const int column = mode == 1 ? kColRxFrequency : kColTxFrequency;
        QCOMPARE(Focused(), m_view->EditorForColumn(column));
        QTest::keyClicks(Focused(), "146.5");
        Save();
        QVERIFY2(m_install->prompter.messages.isEmpty(), qPrintable(m_install->prompter.messages.value(0).text));
        RadioImage image{};
        QVERIFY(LoadDataFile(Path().toStdString(), image) == DataFileResult::Ok);
        const FrequencySide side = mode == 1 ? FrequencySide::Receive : FrequencySide::Transmit;
        QCOMPARE(QString::fromStdString(DecodeFrequency(image, 16, side)), QStringLiteral("146.50000"));
        QVERIFY(!m_view->GetDocument()->IsModified());
        cleanup();
    }
}

void GridKeyboardTest::unlistedToneSurvivesEnterAndAClick()
{
    for (int mode : {1, 2}) {
        Start(mode);
        const int column = mode == 1 ? kColDecodeTone : kColEncodeTone;
        const QRect cell = m_grid->visualRect(m_grid->model()->index(3, column - 1));
        QTest::mouseClick(m_grid->viewport(), Qt::LeftButton, {}, cell.center());
        auto* list = qobject_cast<QComboBox*>(Focused());
        QVERIFY(list);
        QCOMPARE(list->currentText(), QStringLiteral("D017I"));
        Key(Qt::Key_Return);
        QCOMPARE(m_grid->GetTextMatrix(4, column), QStringLiteral("D017I"));
        QTest::mouseClick(m_grid->viewport(), Qt::LeftButton, {}, cell.center());
        const QRect other = m_grid->visualRect(m_grid->model()->index(8, column - 1));
        QTest::mouseClick(m_grid->viewport(), Qt::LeftButton, {}, other.center());
        QCOMPARE(m_grid->GetTextMatrix(4, column), QStringLiteral("D017I"));
        const QByteArray before = ReadBytes(Path());
        Save();
        QCOMPARE(ReadBytes(Path()), before);
        // The extra item is gone once the list closes.
        QCOMPARE(qobject_cast<QComboBox*>(m_view->EditorForColumn(column))->findText("D017I"), -1);
        cleanup();
    }
}

void GridKeyboardTest::escapeDropsTheValue()
{
    Start(2);
    Key(Qt::Key_Return);
    QTest::keyClicks(Focused(), "150");
    Key(Qt::Key_Escape);
    QCOMPARE(Focused(), static_cast<QWidget*>(m_grid));
    QCOMPARE(m_grid->GetTextMatrix(1, kColTxFrequency), QStringLiteral("147.00000"));
    QVERIFY(!m_view->GetDocument()->IsModified());
}

void GridKeyboardTest::typingOpensTheEditor()
{
    Start(2);
    Key(Qt::Key_Down);
    Key(Qt::Key_Down);
    Key(Qt::Key_Down);
    Key(Qt::Key_Down);                // channel 5, empty
    QTest::keyClicks(Focused(), "1"); // the grid opens the editor with it
    QCOMPARE(Focused(), m_view->EditorForColumn(kColTxFrequency));
    QTest::keyClicks(Focused(), "45.5");
    QCOMPARE(qobject_cast<QLineEdit*>(Focused())->text(), QStringLiteral("145.5"));
    Key(Qt::Key_Tab);
    QCOMPARE(m_grid->GetTextMatrix(5, kColTxFrequency), QStringLiteral("145.50000"));
    QCOMPARE(Focused(), m_view->EditorForColumn(kColEncodeTone));
    QVERIFY(m_view->GetDocument()->IsModified());
    // In a list, Up and Down choose items, as in any drop-down list.
    Key(Qt::Key_Down);
    QCOMPARE(Focused(), m_view->EditorForColumn(kColEncodeTone));
    QCOMPARE(m_grid->GetRow(), 5);
    // A decimal comma, as in CSV import.
    Key(Qt::Key_Escape);
    Key(Qt::Key_Down);
    Key(Qt::Key_Left);
    QTest::keyClicks(Focused(), "446,5");
    Key(Qt::Key_Return);
    QCOMPARE(m_install->prompter.messages.size(), 1); // outside 136-174
    QTest::keyClicks(m_view->EditorForColumn(kColTxFrequency), "");
    Key(Qt::Key_F2);
    QTest::keyClick(Focused(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(Focused(), "146,5");
    Key(Qt::Key_Return);
    QCOMPARE(m_grid->GetTextMatrix(6, kColTxFrequency), QStringLiteral("146.50000"));
}

void GridKeyboardTest::deletingAChannelEmptiesItsRecord()
{
    for (int mode : {1, 2}) {
        Start(mode);
        Key(Qt::Key_F2); // channel 1's shown frequency
        QTest::keyClick(Focused(), Qt::Key_A, Qt::ControlModifier);
        Key(Qt::Key_Delete);
        Key(Qt::Key_Return);
        for (int column = 1; column <= 8; ++column)
            QCOMPARE(m_grid->GetTextMatrix(1, column), QString());
        Save();
        const QByteArray saved = ReadBytes(Path());
        QCOMPARE(saved.mid(16 + static_cast<int>(ImageMap::ChannelOffset(1)), 16), QByteArray(16, '\xFF'));
        QCOMPARE(static_cast<unsigned char>(saved.at(16 + static_cast<int>(ImageMap::kScanBitmap))) & 1, 0);
        // The other channels kept their bytes.
        QByteArray expected = TestFile();
        expected.replace(16 + static_cast<int>(ImageMap::ChannelOffset(1)), 16, QByteArray(16, '\xFF'));
        expected[16 + static_cast<int>(ImageMap::kScanBitmap)] = static_cast<char>(
            static_cast<unsigned char>(expected.at(16 + static_cast<int>(ImageMap::kScanBitmap))) & ~1);
        QCOMPARE(saved, expected);
        cleanup();
    }
}

void GridKeyboardTest::openAsksAboutUnsavedChanges()
{
    Start(2);
    m_install->WriteFile("other.dat", TestFile());
    Key(Qt::Key_F2);
    QTest::keyClick(Focused(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(Focused(), "150");
    Key(Qt::Key_Return);
    QCOMPARE(m_grid->GetTextMatrix(1, kColTxFrequency), QStringLiteral("150.00000"));
    QVERIFY(m_view->GetDocument()->IsModified());

    m_install->prompter.fileNames = {m_install->File("other.dat")};
    m_install->prompter.answers = {PromptAnswer::Cancel};
    QTest::keySequence(Focused(), QKeySequence(Qt::CTRL | Qt::Key_O));
    QCoreApplication::processEvents();
    QCOMPARE(m_install->prompter.messages.size(), 1);
    QCOMPARE(m_install->prompter.messages[0].text, QStringLiteral("Save changes to radio.dat?"));
    QCOMPARE(m_frame->MDIGetActive()->GetDocument()->GetTitle(), QStringLiteral("radio.dat"));

    // Save, then the file opens.
    m_install->prompter.fileNames = {m_install->File("other.dat")};
    m_install->prompter.answers = {PromptAnswer::Save};
    QTest::keySequence(QApplication::focusWidget() ? QApplication::focusWidget() : m_frame,
                       QKeySequence(Qt::CTRL | Qt::Key_O));
    QCoreApplication::processEvents();
    QCOMPARE(m_frame->MDIGetActive()->GetDocument()->GetTitle(), QStringLiteral("other.dat"));
    RadioImage image{};
    QVERIFY(LoadDataFile(Path().toStdString(), image) == DataFileResult::Ok);
    QCOMPARE(QString::fromStdString(DecodeFrequency(image, 1, FrequencySide::Transmit)), QStringLiteral("150.00000"));
}

void GridKeyboardTest::readOnlyModeSaysWhy()
{
    Start(0);
    QCoreApplication::processEvents();

    QTRY_VERIFY(m_frame->statusBar()->findChild<QLabel*>(QStringLiteral("idleText"))->text() ==
                QStringLiteral("The channels of this radio model can be viewed but not changed."));
    g_nDeviceMode = 2;
    m_view->ImageToGrid();
    QTRY_VERIFY(m_frame->statusBar()->findChild<QLabel*>(QStringLiteral("idleText"))->text() ==
                QStringLiteral("Ready"));
}

QTEST_MAIN(GridKeyboardTest)
#include "grid_keyboard_test.moc"
