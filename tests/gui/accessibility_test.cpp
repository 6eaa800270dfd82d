// The program as assistive technology meets it, through Qt's accessibility
// interfaces (what AT-SPI and UI Automation are fed from): every control
// that takes the focus has a name in the running language; the channel
// grid announces the framed cell as "Channel N, HEADING: TEXT" wherever the
// keyboard or the mouse moves it, names an open editor and hides the hidden
// columns; F6, the navigation tree's keys and Ctrl+Tab reach every pane;
// every dialog opens with a visible focus and closes on Escape.

#include "../ChannelRecordFixture.h"
#include "GuiTestSupport.h"

#include "app/AboutDlg.h"
#include "app/ProgramApp.h"
#include "base/Globals.h"
#include "channels/CsvErrorsDlg.h"
#include "channels/MSFlexGrid.h"
#include "channels/ProgramView.h"
#include "document/ProgramDoc.h"
#include "frame/ChildFrame.h"
#include "frame/MainFrame.h"
#include "link/PortSettingDlg.h"
#include "link/ProgressDlg.h"
#include "link/RadioLink.h"
#include "settings/LanguageDlg.h"
#include "settings/OptionalFeaturesDlg.h"
#include "settings/ProductInfoDlg.h"

#include <QAccessible>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMdiArea>
#include <QMessageBox>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QtGui/private/qguiapplication_p.h>
#include <QtGui/qpa/qplatformaccessibility.h>
#include <QtGui/qpa/qplatformintegration.h>
#include <QtTest>

#include <functional>

namespace {

QByteArray TestFile()
{
    const RadioImage image = GridSafetyImage();
    QByteArray bytes("T593", 4);
    bytes.append(QByteArray(12, '\0'));
    bytes.append(reinterpret_cast<const char*>(image.data()), static_cast<int>(image.size()));
    return bytes;
}

// What a screen reader reads as an interface's name: its name and, as on
// AT-SPI, the names of the labels it is labelled by.
QStringList NamesOf(QAccessibleInterface* iface)
{
    QStringList names{iface->text(QAccessible::Name).trimmed()};
    for (const auto& [label, relation] : iface->relations(QAccessible::Label))
        names << label->text(QAccessible::Name).trimmed();
    names.removeAll(QString());
    return names;
}

// The names of the interfaces that got the accessibility focus, in order,
// and the widgets they stand for (null for a cell).
QStringList g_focusNames;
QList<QObject*> g_focusObjects;

void RecordFocus(QAccessibleEvent* event)
{
    if (event->type() != QAccessible::Focus)
        return;
    QAccessibleInterface* iface = event->accessibleInterface();
    g_focusNames << (iface ? NamesOf(iface).join('|') : QStringLiteral("<none>"));
    g_focusObjects << (iface ? iface->object() : nullptr);
}

// Closes the next modal dialog by Escape once it is up, and notes its class.
void EscapeNextModal(QString& opened)
{
    auto* timer = new QTimer;
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, [timer, &opened] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (!dialog)
            return;
        timer->stop();
        timer->deleteLater();
        opened = QString::fromLatin1(dialog->metaObject()->className());
        QWidget* target = QApplication::focusWidget() && dialog->isAncestorOf(QApplication::focusWidget())
                              ? QApplication::focusWidget()
                              : dialog;
        QTest::keyClick(target, Qt::Key_Escape);
    });
    timer->start();
}

QString Describe(QAccessibleInterface* iface)
{
    QObject* object = iface->object();
    return QStringLiteral("role %1 %2 '%3'")
        .arg(static_cast<int>(iface->role()))
        .arg(QString::fromLatin1(object ? object->metaObject()->className() : "(no object)"))
        .arg(object ? object->objectName() : QString());
}

// Every shown interface below iface that takes the focus and has no name,
// or only its class name.
void CollectUnnamed(QAccessibleInterface* iface, QStringList& unnamed, int depth = 0)
{
    if (!iface || depth > 16)
        return;
    const QAccessible::State state = iface->state();
    const QStringList names = NamesOf(iface);
    QObject* object = iface->object();
    const bool bareClassName = object && names.value(0) == QString::fromLatin1(object->metaObject()->className());
    if (state.focusable && !state.invisible && (names.isEmpty() || bareClassName))
        unnamed << Describe(iface);
    for (int i = 0; i < iface->childCount(); ++i)
        CollectUnnamed(iface->child(i), unnamed, depth + 1);
}

QStringList Unnamed(QWidget* window)
{
    QStringList unnamed;
    CollectUnnamed(QAccessible::queryAccessibleInterface(window), unnamed);
    return unnamed;
}

// The name the grid must give a channel's cell, written out here.
QString ExpectedCellName(bool chinese, int channel, const QString& heading, const QString& text)
{
    const QString shown = text.trimmed().isEmpty() ? QString::fromUtf8(chinese ? "空" : "empty") : text;
    return chinese ? QString::fromUtf8("信道%1，%2：%3").arg(channel).arg(heading, shown)
                   : QStringLiteral("Channel %1, %2: %3").arg(channel).arg(heading, shown);
}

QString ExpectedEditorName(bool chinese, int channel, const QString& heading)
{
    return chinese ? QString::fromUtf8("信道%1，%2").arg(channel).arg(heading)
                   : QStringLiteral("Channel %1, %2").arg(channel).arg(heading);
}

} // namespace

class AccessibilityTest : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void everyFocusableControlIsNamed_data();
    void everyFocusableControlIsNamed();
    void dialogsOpenFocusedAndCloseOnEscape_data();
    void dialogsOpenFocusedAndCloseOnEscape();
    void messageBoxesReadTheirText();
    void statusBarReadsItsNote();
    void theFramedCellHasTheFocus_data();
    void theFramedCellHasTheFocus();
    void anOpenEditorIsNamedAndFocused_data();
    void anOpenEditorIsNamedAndFocused();
    void hiddenColumnsAreNotInTheTable_data();
    void hiddenColumnsAreNotInTheTable();
    void columnsShowWholeTexts_data();
    void columnsShowWholeTexts();
    void paneAndTreeKeys();
    void ctrlTabGoesThroughTheChannelWindows();

private:
    void Start(bool chinese, int mode = 2);
    void AddLanguageRows();
    QWidget* Focused() const { return QApplication::focusWidget(); }
    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(Focused(), static_cast<Qt::Key>(key), modifiers);
    }
    // The dialogs of the program, each made ready to show as its command does.
    QList<QPair<QString, std::function<QDialog*()>>> Dialogs();

    std::unique_ptr<CTestInstall> m_install;
    CMainFrame* m_frame = nullptr;
    CProgramView* m_view = nullptr;
    CMSFlexGrid* m_grid = nullptr;
    bool m_bChinese = false;
    RadioImage m_image{};
};

void AccessibilityTest::initTestCase()
{
    // What a screen reader does when it starts: the platform's
    // accessibility goes on, and events flow (here to the recorder).
    QPlatformIntegration* platform = QGuiApplicationPrivate::platformIntegration();
    QVERIFY(platform && platform->accessibility());
    platform->accessibility()->setActive(true);
    QVERIFY(QAccessible::isActive());
    QAccessible::installUpdateHandler(RecordFocus);
}

void AccessibilityTest::init()
{
    g_focusNames.clear();
    g_focusObjects.clear();
}

void AccessibilityTest::cleanup()
{
    m_install.reset();
}

void AccessibilityTest::Start(bool chinese, int mode)
{
    m_bChinese = chinese;
    m_install = std::make_unique<CTestInstall>(
        kEverything, chinese ? ShippedIniWith("Setup", "Language", "Chinese").constData() : nullptr);
    m_install->WriteFile("radio.dat", TestFile());
    QVERIFY(m_install->Start({m_install->File("radio.dat")}));
    QCOMPARE(IsChinese(), chinese);
    m_frame = m_install->App()->MainFrame();
    m_frame->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_frame));
    m_frame->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_frame));
    m_view = m_frame->MDIGetActive()->GetActiveView();
    m_grid = m_view->Grid();
    g_nDeviceMode = mode;
    m_view->ImageToGrid();
    if (mode != 0) {
        m_grid->setFocus();
        QTRY_COMPARE(Focused(), static_cast<QWidget*>(m_grid));
    }
    g_focusNames.clear();
}

void AccessibilityTest::AddLanguageRows()
{
    QTest::addColumn<bool>("chinese");
    QTest::newRow("English") << false;
    QTest::newRow("Chinese") << true;
}

QList<QPair<QString, std::function<QDialog*()>>> AccessibilityTest::Dialogs()
{
    m_image = GridSafetyImage();
    CRadioLink* link = m_view->RadioLink();
    return {
        {"Port Setting",
         [link] {
             link->PortSettingDialog()->OnInitDialog();
             link->PortSettingDialog()->show();
             return link->PortSettingDialog();
         }},
        {"Read/Write progress",
         [link] {
             link->ProgressDialog()->Create();
             return link->ProgressDialog();
         }},
        {"Optional Features",
         [this] {
             auto* dialog = new COptionalFeaturesDlg(m_frame);
             dialog->setAttribute(Qt::WA_DeleteOnClose);
             dialog->Prepare(m_image, 0, IsChinese()); // mode 0 shows every control
             dialog->OnInitDialog();
             dialog->show();
             return dialog;
         }},
        {"Product Information",
         [this] {
             auto* dialog = new CProductInfoDlg(m_frame);
             dialog->setAttribute(Qt::WA_DeleteOnClose);
             dialog->Prepare(g_iniFile, m_image, 0, 0);
             dialog->OnInitDialog();
             dialog->show();
             return dialog;
         }},
        {"Language",
         [this] {
             m_view->LanguageDialog()->OnInitDialog();
             m_view->LanguageDialog()->show();
             return m_view->LanguageDialog();
         }},
        {"About",
         [this] {
             auto* dialog = new CAboutDlg(m_frame);
             dialog->setAttribute(Qt::WA_DeleteOnClose);
             dialog->show();
             return dialog;
         }},
        {"CSV errors",
         [this] {
             auto* dialog =
                 new CCsvErrorsDlg(QStringLiteral("plan.csv"), {QStringLiteral("2:3: not a frequency")}, m_frame);
             dialog->setAttribute(Qt::WA_DeleteOnClose);
             dialog->show();
             return dialog;
         }},
    };
}

void AccessibilityTest::everyFocusableControlIsNamed_data()
{
    AddLanguageRows();
}

void AccessibilityTest::everyFocusableControlIsNamed()
{
    QFETCH(bool, chinese);
    Start(chinese);

    QStringList unnamed = Unnamed(m_frame);
    QVERIFY2(unnamed.isEmpty(), qPrintable("main window: " + unnamed.join("; ")));
    // Picture-only toolbar buttons read as their command.
    const auto* toolbar = m_frame->findChild<QToolBar*>(QStringLiteral("toolbar"));
    QVERIFY(toolbar);
    int pictures = 0;
    for (QAction* action : toolbar->actions()) {
        auto* button = qobject_cast<QToolButton*>(toolbar->widgetForAction(action));
        if (!button || action->isSeparator())
            continue;
        ++pictures;
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(button);
        QVERIFY(!action->toolTip().isEmpty());
        QCOMPARE(iface->text(QAccessible::Name), action->toolTip());
    }
    QVERIFY(pictures > 5);

    for (const auto& [title, open] : Dialogs()) {
        QDialog* dialog = open();
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        unnamed = Unnamed(dialog);
        QVERIFY2(unnamed.isEmpty(), qPrintable(title + ": " + unnamed.join("; ")));
        // The names are the running language's: the window title is.
        QVERIFY2(!dialog->windowTitle().isEmpty() || title == "Read/Write progress", qPrintable(title));
        dialog->close();
    }
}

void AccessibilityTest::dialogsOpenFocusedAndCloseOnEscape_data()
{
    AddLanguageRows();
}

void AccessibilityTest::dialogsOpenFocusedAndCloseOnEscape()
{
    QFETCH(bool, chinese);
    Start(chinese);
    for (const auto& [title, open] : Dialogs()) {
        QDialog* dialog = open();
        const QPointer<QDialog> guard(dialog);
        // As a window manager does with a new window.
        QApplication::setActiveWindow(dialog);
        QVERIFY2(QTest::qWaitForWindowActive(dialog), qPrintable(title));
        // The keyboard is in the dialog, on a control that shows it.
        QTRY_VERIFY2(dialog->isAncestorOf(Focused()),
                     qPrintable(title + ": " + (Focused() ? Focused()->metaObject()->className() : "none")));
        QVERIFY2(Focused()->focusPolicy() & Qt::TabFocus, qPrintable(title));
        QVERIFY2(dialog->testAttribute(Qt::WA_KeyboardFocusChange), qPrintable(title));
        Key(Qt::Key_Escape);
        QTRY_VERIFY2(!guard || !guard->isVisible(), qPrintable(title));
        if (guard)
            QCOMPARE(guard->result(), static_cast<int>(QDialog::Rejected));
    }
}

void AccessibilityTest::messageBoxesReadTheirText()
{
    Start(false);
    // The real boxes, not the test's scripted answers.
    SetPrompter(nullptr);
    QString role;
    QString text;
    QTimer::singleShot(0, m_frame, [&] {
        QWidget* box = QApplication::activeModalWidget();
        QVERIFY(box);
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(box);
        role = QString::number(static_cast<int>(iface->role()));
        // Its text is in the box's tree: the box itself or a label in it.
        QStringList texts{iface->text(QAccessible::Name), iface->text(QAccessible::Description)};
        for (int i = 0; i < iface->childCount(); ++i)
            texts << iface->child(i)->text(QAccessible::Name);
        text = texts.join('|');
        QVERIFY(Unnamed(box).isEmpty());
        QTest::keyClick(box, Qt::Key_Escape);
    });
    Prompter().Message(m_frame, QStringLiteral("Caution"), QStringLiteral("Out of range,please input again."),
                       PromptButtons::Ok, PromptIcon::Exclamation);
    SetPrompter(&m_install->prompter);
    QVERIFY2(text.contains(QStringLiteral("Out of range,please input again.")), qPrintable(text));
    QCOMPARE(role.toInt(), static_cast<int>(QAccessible::AlertMessage));
}

void AccessibilityTest::statusBarReadsItsNote()
{
    Start(false);
    QStatusBar* bar = m_frame->statusBar();
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(bar);
    const QString idle = iface->text(QAccessible::Name);
    QVERIFY(!idle.isEmpty());
    bar->showMessage(QStringLiteral("Reading 4 of 16"));
    QCOMPARE(iface->text(QAccessible::Name), QStringLiteral("Reading 4 of 16"));
    bar->clearMessage();
    QCOMPARE(iface->text(QAccessible::Name), idle);
}

void AccessibilityTest::theFramedCellHasTheFocus_data()
{
    QTest::addColumn<bool>("chinese");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QList<int>>("keys");
    const QList<int> keys = {Qt::Key_Down,   Qt::Key_Right, Qt::Key_Right, Qt::Key_Left,
                             Qt::Key_Up,     Qt::Key_End,   Qt::Key_Home,  Qt::Key_PageDown,
                             Qt::Key_PageUp, Qt::Key_Tab,   Qt::Key_Tab,   Qt::Key_Backtab};
    for (bool chinese : {false, true}) {
        for (int mode : {1, 2})
            QTest::addRow("%s mode %d", chinese ? "Chinese" : "English", mode) << chinese << mode << keys;
    }
}

void AccessibilityTest::theFramedCellHasTheFocus()
{
    QFETCH(bool, chinese);
    QFETCH(int, mode);
    QFETCH(QList<int>, keys);
    Start(chinese, mode);
    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(m_grid);
    QVERIFY(table && table->tableInterface());

    // The view's current index is the framed cell from the start, and so
    // is the accessibility focus.
    QCOMPARE(m_grid->currentIndex(), m_grid->model()->index(m_grid->HighlightRow() - 1, m_grid->HighlightCol() - 1));
    QVERIFY(table->focusChild());
    QCOMPARE(table->focusChild()->text(QAccessible::Name),
             ExpectedCellName(chinese, m_grid->HighlightRow(), m_grid->GetTextMatrix(0, m_grid->HighlightCol()),
                              m_grid->GetTextMatrix(m_grid->HighlightRow(), m_grid->HighlightCol())));

    QSet<QString> visited;
    for (int key : keys) {
        g_focusNames.clear();
        const int rowBefore = m_grid->HighlightRow();
        const int colBefore = m_grid->HighlightCol();
        Key(key, key == Qt::Key_Backtab ? Qt::ShiftModifier : Qt::NoModifier);
        const QString what = QStringLiteral("key %1").arg(key, 0, 16);
        const int row = m_grid->HighlightRow();
        const int column = m_grid->HighlightCol();
        QVERIFY2(row != rowBefore || column != colBefore, qPrintable(what));
        QCOMPARE(m_grid->currentIndex(), m_grid->model()->index(row - 1, column - 1));
        const QString expected =
            ExpectedCellName(chinese, row, m_grid->GetTextMatrix(0, column), m_grid->GetTextMatrix(row, column));
        QVERIFY2(!g_focusNames.isEmpty(), qPrintable(what));
        QCOMPARE(g_focusNames.last(), expected);
        QAccessibleInterface* focused = table->focusChild();
        QVERIFY2(focused, qPrintable(what));
        QCOMPARE(focused->text(QAccessible::Name), expected);
        QVERIFY(focused->state().focused);
        visited.insert(expected);
    }
    // Empty and filled cells were among them (the fixture has both).
    const QString empty = QString::fromUtf8(chinese ? "空" : "empty");
    QVERIFY(std::any_of(visited.cbegin(), visited.cend(), [&](const QString& n) { return n.endsWith(empty); }));
    QVERIFY(std::any_of(visited.cbegin(), visited.cend(), [&](const QString& n) { return !n.endsWith(empty); }));

    // A click moves the frame too, and opens the cell's editor.
    const QModelIndex target = m_grid->model()->index(5, m_grid->HighlightCol() - 1);
    QTest::mouseClick(m_grid->viewport(), Qt::LeftButton, {}, m_grid->visualRect(target).center());
    QCOMPARE(m_grid->HighlightRow(), 6);
    QCOMPARE(m_grid->currentIndex(), target);
}

void AccessibilityTest::anOpenEditorIsNamedAndFocused_data()
{
    AddLanguageRows();
}

void AccessibilityTest::anOpenEditorIsNamedAndFocused()
{
    QFETCH(bool, chinese);
    Start(chinese, 1);
    for (int key : {Qt::Key_Down, Qt::Key_Right}) {
        Key(key);
        const int row = m_grid->HighlightRow();
        const int column = m_grid->HighlightCol();
        const QString cellName =
            ExpectedCellName(chinese, row, m_grid->GetTextMatrix(0, column), m_grid->GetTextMatrix(row, column));
        g_focusNames.clear();
        Key(Qt::Key_F2);
        QWidget* editor = m_view->EditorForColumn(column);
        QCOMPARE(Focused(), editor);
        const QString editorName = ExpectedEditorName(chinese, row, m_grid->GetTextMatrix(0, column));
        QVERIFY2(NamesOf(QAccessible::queryAccessibleInterface(editor)).contains(editorName),
                 qPrintable(NamesOf(QAccessible::queryAccessibleInterface(editor)).join('|')));
        QVERIFY(g_focusObjects.contains(editor));
        // Escape closes it: the focus is back on the cell.
        g_focusNames.clear();
        Key(Qt::Key_Escape);
        QCOMPARE(Focused(), static_cast<QWidget*>(m_grid));
        QTRY_VERIFY(!g_focusNames.isEmpty() && g_focusNames.last() == cellName);
    }
    // Enter moves on and opens the next shown cell's editor, named for it.
    Key(Qt::Key_Return);
    const int column = m_grid->HighlightCol();
    QCOMPARE(Focused(), m_view->EditorForColumn(column));
    QVERIFY(NamesOf(QAccessible::queryAccessibleInterface(Focused()))
                .contains(ExpectedEditorName(chinese, m_grid->HighlightRow(), m_grid->GetTextMatrix(0, column))));
}

void AccessibilityTest::hiddenColumnsAreNotInTheTable_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QStringList>("headings");
    QTest::newRow("mode 1") << 1 << QStringList{"Rx Frequency", "QT/DQT Dec", "W/N", "Scan"};
    QTest::newRow("mode 2") << 2 << QStringList{"Tx Frequency", "QT/DQT Enc", "W/N"};
    QTest::newRow("mode 0") << 0
                            << QStringList{"Rx Frequency", "Tx Frequency", "QT/DQT Dec", "QT/DQT Enc", "W/N", "Scan"};
}

void AccessibilityTest::hiddenColumnsAreNotInTheTable()
{
    QFETCH(int, mode);
    QFETCH(QStringList, headings);
    Start(false, mode);
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(m_grid);
    QAccessibleTableInterface* table = iface->tableInterface();
    QCOMPARE(table->columnCount(), headings.size());
    QCOMPARE(table->rowCount(), 16);
    for (int column = 0; column < headings.size(); ++column) {
        QCOMPARE(table->cellAt(-1, column)->text(QAccessible::Name), headings[column]);
        QCOMPARE(table->columnDescription(column), headings[column]);
        QAccessibleInterface* cell = table->cellAt(15, column);
        QVERIFY(cell->text(QAccessible::Name).startsWith(QStringLiteral("Channel 16, ") + headings[column] + ": "));
        QCOMPARE(cell->tableCellInterface()->columnIndex(), column);
        QCOMPARE(cell->tableCellInterface()->rowIndex(), 15);
        QCOMPARE(iface->child(iface->indexOfChild(cell)), cell);
    }
    QVERIFY(!table->cellAt(0, headings.size()));
    // Walking the children meets no hidden column.
    QCOMPARE(iface->childCount(), 17 * headings.size());
    for (int i = 0; i < iface->childCount(); ++i) {
        const QString name = iface->child(i)->text(QAccessible::Name);
        for (const char* hidden : {"Busy Lock", "Power"})
            QVERIFY2(!name.contains(QLatin1String(hidden)), qPrintable(name));
    }
}

void AccessibilityTest::columnsShowWholeTexts_data()
{
    AddLanguageRows();
}

// Run at 100 % and again with QT_SCALE_FACTOR 1.5 and 2: the widths come
// from twips at the logical resolution, so headings and values fit at any
// scale.
void AccessibilityTest::columnsShowWholeTexts()
{
    QFETCH(bool, chinese);
    Start(chinese, 0);
    // The widest texts a cell of each column shows, besides the fixture's.
    const QStringList samples = {QStringLiteral("999.99375"), QStringLiteral("D754I"), QStringLiteral("254.1"),
                                 Lang("Narrow", "窄"), Lang("None", "无")};
    const QFontMetrics cellMetrics(m_grid->font());
    const QFontMetrics headingMetrics(m_grid->horizontalHeader()->font());
    const int margins = 2 * (m_grid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, m_grid) + 1);
    int shown = 0;
    for (int column = 1; column < m_grid->GetCols(); ++column) {
        if (m_grid->GetColWidth(column) == 0)
            continue;
        ++shown;
        const int width = m_grid->columnWidth(column - 1);
        // The twips at the grid's logical resolution.
        QCOMPARE(width, m_grid->GetColWidth(column) * m_grid->logicalDpiX() / 1440);
        const QString heading = m_grid->GetTextMatrix(0, column);
        QVERIFY2(headingMetrics.horizontalAdvance(heading) + margins <= width, qPrintable(heading));
        QStringList texts = samples;
        for (int row = 1; row < m_grid->GetRows(); ++row)
            texts << m_grid->GetTextMatrix(row, column);
        for (const QString& text : texts)
            QVERIFY2(cellMetrics.horizontalAdvance(text) + margins <= width, qPrintable(heading + ": " + text));
    }
    QCOMPARE(shown, 6);
    // The channel numbers too.
    QVERIFY(headingMetrics.horizontalAdvance(m_grid->GetTextMatrix(0, 0)) + margins <=
            m_grid->verticalHeader()->width());
}

void AccessibilityTest::paneAndTreeKeys()
{
    Start(false);
    auto* tree = m_frame->findChild<QTreeWidget*>();
    QVERIFY(tree);
    // F6 and Shift+F6 go between the tree and the channel window.
    Key(Qt::Key_F6);
    QTRY_COMPARE(Focused(), static_cast<QWidget*>(tree));
    Key(Qt::Key_F6);
    QTRY_COMPARE(Focused(), static_cast<QWidget*>(m_grid));
    Key(Qt::Key_F6, Qt::ShiftModifier);
    QTRY_COMPARE(Focused(), static_cast<QWidget*>(tree));

    // Up and Down choose an item, announced by its text; choosing runs nothing.
    g_focusNames.clear();
    const QStringList items = {"Product Information", "Channel Information", "Optional Features"};
    for (const QString& item : items) {
        Key(Qt::Key_Down);
        QVERIFY2(!g_focusNames.isEmpty() && g_focusNames.last() == item, qPrintable(g_focusNames.join('|')));
    }
    Key(Qt::Key_Up);
    QCOMPARE(g_focusNames.last(), items[1]);
    QVERIFY(!QApplication::activeModalWidget());
    Key(Qt::Key_Down);
    QCOMPARE(g_focusNames.last(), items[2]);

    // Enter and Space open the chosen item.
    for (int key : {Qt::Key_Return, Qt::Key_Space}) {
        QString opened;
        EscapeNextModal(opened);
        Key(key);
        QCOMPARE(opened, QStringLiteral("COptionalFeaturesDlg"));
        QTRY_VERIFY(!QApplication::activeModalWidget());
        tree->setFocus();
        QTRY_COMPARE(Focused(), static_cast<QWidget*>(tree));
    }
    // A click after the keyboard's choice still opens the item clicked.
    QTreeWidgetItem* product = tree->findItems(items[0], Qt::MatchRecursive).value(0);
    QVERIFY(product);
    QString opened;
    EscapeNextModal(opened);
    const QPoint at = tree->visualItemRect(product).center();
    QCursor::setPos(tree->viewport()->mapToGlobal(at));
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, at);
    QTRY_COMPARE(opened, QStringLiteral("CProductInfoDlg"));
}

void AccessibilityTest::ctrlTabGoesThroughTheChannelWindows()
{
    Start(false);
    // Opening a file replaces the window in front; a second window is made
    // as the program makes one.
    CChildFrame* first = m_frame->MDIGetActive();
    auto document = std::make_unique<CProgramDoc>(*m_install->App());
    QVERIFY(document->OnNewDocument());
    CChildFrame* second = m_frame->CreateChildFrame(document.release());
    m_frame->InitialUpdateFrame(second);
    QVERIFY(second && second != first);
    second->GetActiveView()->Grid()->setFocus();
    QTRY_VERIFY(second->isAncestorOf(Focused()));
    Key(Qt::Key_Tab, Qt::ControlModifier);
    QTRY_VERIFY(first->isAncestorOf(Focused()));
    QCOMPARE(Focused(), static_cast<QWidget*>(first->GetActiveView()->Grid()));
    Key(Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    QTRY_VERIFY(second->isAncestorOf(Focused()));
}

QTEST_MAIN(AccessibilityTest)
#include "accessibility_test.moc"
