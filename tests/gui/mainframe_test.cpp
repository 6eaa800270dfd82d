// The main frame after start-up: menus, accelerators, toolbar, the Control
// Bar toggle, File New, hidden channel windows and the navigation tree.

#include "GuiTestSupport.h"

#include "app/ProgramApp.h"
#include "base/Globals.h"
#include "document/ProgramDoc.h"
#include "frame/ChildFrame.h"
#include "frame/MainFrame.h"
#include "frame/MdiClientWnd.h"
#include "frame/NavigationBar.h"

#include <QAction>
#include <QMdiArea>
#include <QMenu>
#include <QShortcut>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>
#include <QtTest>

namespace {

struct MenuShape
{
    QString title;
    QList<int> commands; // 0 for a separator
};

QList<MenuShape> Shape(const QList<QMenu*>& menu)
{
    QList<MenuShape> shape;
    for (QMenu* popup : menu) {
        MenuShape entry{popup->title(), {}};
        for (QAction* action : popup->actions())
            entry.commands.append(action->isSeparator() ? 0 : action->property("commandId").toInt());
        shape.append(entry);
    }
    return shape;
}

// Clicks an item of the tree with the left button, the pointer over it.
void ClickTreeItem(QTreeWidget* tree, QTreeWidgetItem* item)
{
    const QPoint centre = tree->visualItemRect(item).center();
    QCursor::setPos(tree->viewport()->mapToGlobal(centre));
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, centre);
    QCoreApplication::processEvents();
}

} // namespace

class MainFrameTest : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void documentMenuAfterStartup();
    void menuWithoutDocument();
    void acceleratorsAndToolbar_data();
    void acceleratorsAndToolbar();
    void toolbar();
    void controlBarToggleAndCheckMark();
    void fileNew_data();
    void fileNew();
    void closeHidesAndChannelInformationBringsBack();
    void treeRouting_data();
    void treeRouting();
    void keyboardSelectionOutsideItemsReturnsToRoot();

private:
    std::unique_ptr<CTestInstall> m_install;
    CMainFrame* m_frame = nullptr;
};

void MainFrameTest::init()
{
    m_install = std::make_unique<CTestInstall>();
    QVERIFY(m_install->Start());
    m_frame = m_install->App()->MainFrame();
    m_frame->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_frame));
}

void MainFrameTest::cleanup()
{
    m_install.reset();
}

void MainFrameTest::documentMenuAfterStartup()
{
    QCOMPARE(m_frame->CurrentMenuId(), 129);
    const QList<MenuShape> shape = Shape(m_frame->CurrentMenu());
    const QList<MenuShape> expected = {
        // Recent Files (a submenu, 0 like a separator) between separators.
        {"&File", {57600, 57601, 57602, 57603, 57604, 32810, 32811, 0, 57607, 57609, 57606, 0, 0, 0, 57665}},
        {"&Edit",
         {57643, 57644, 0, 57635, 57634, 57637, 57632, 32840, 32841, 32842, 32861, 32862, 32860, 57642, 0, 32786, 32787,
          32788}},
        {"&Program", {32773, 32774, 32845}},
        {"&View", {59392, 59393, 32780}},
        {"&Setup", {32777, 32799}},
        {"&Help", {57667, 57664}},
    };
    QCOMPARE(shape.size(), expected.size());
    for (int i = 0; i < shape.size(); ++i) {
        QCOMPARE(shape[i].title, expected[i].title);
        QCOMPARE(shape[i].commands, expected[i].commands);
    }
    QCOMPARE(m_frame->CurrentMenu().at(0)->actions().at(12)->text(), QStringLiteral("Recent &Files"));
    QCOMPARE(m_frame->CurrentMenu().at(5)->actions().at(0)->text(), QStringLiteral("&Help Topics\tF1"));
    QCOMPARE(m_frame->CurrentMenu().at(5)->actions().at(1)->text(), QStringLiteral("About QM-350 Programmer"));
    QCOMPARE(m_frame->CurrentMenu().at(2)->actions().at(0)->text(), QStringLiteral("&Read    Ctrl+R"));
    QCOMPARE(m_frame->windowTitle(), QStringLiteral("QM-350 Programmer  [ Type:QM-350  Fre:136 - 174MHz ]"));
}

void MainFrameTest::menuWithoutDocument()
{
    m_frame->DestroyChildFrame(m_frame->MDIGetActive());
    QVERIFY(m_frame->MDIGetActive() == nullptr);
    QCOMPARE(m_frame->CurrentMenuId(), 128);
    const QList<MenuShape> shape = Shape(m_frame->CurrentMenu());
    QCOMPARE(shape.size(), 3);
    QCOMPARE(shape[0].commands, (QList<int>{57600, 57601, 0, 57606, 0, 0, 0, 57665}));
    QCOMPARE(shape[1].commands, (QList<int>{59392, 59393}));
    QCOMPARE(shape[2].commands, (QList<int>{57667, 57664}));

    // New again: the document menu comes back, without a question.
    m_frame->OnCommand(57600);
    QVERIFY(m_install->prompter.messages.isEmpty());
    QCOMPARE(m_frame->CurrentMenuId(), 129);
}

void MainFrameTest::acceleratorsAndToolbar_data()
{
    QTest::addColumn<QKeySequence>("key");
    QTest::addColumn<int>("command"); // 0: no command at all
    QTest::newRow("Ctrl+N") << QKeySequence("Ctrl+N") << 57600;
    QTest::newRow("Ctrl+O") << QKeySequence("Ctrl+O") << 57601;
    QTest::newRow("Ctrl+P") << QKeySequence("Ctrl+P") << 57607;
    QTest::newRow("Ctrl+R") << QKeySequence("Ctrl+R") << 32773;
    QTest::newRow("Ctrl+S") << QKeySequence("Ctrl+S") << 57603;
    QTest::newRow("Ctrl+W") << QKeySequence("Ctrl+W") << 32774;
    QTest::newRow("F6") << QKeySequence("F6") << 57680;
    QTest::newRow("Shift+F6") << QKeySequence("Shift+F6") << 57681;
    QTest::newRow("Ctrl+Q") << QKeySequence("Ctrl+Q") << 57665;
    QTest::newRow("Ctrl+Shift+S") << QKeySequence("Ctrl+Shift+S") << 57604;
    QTest::newRow("Ctrl+F4") << QKeySequence("Ctrl+F4") << 0;
}

void MainFrameTest::acceleratorsAndToolbar()
{
    QFETCH(QKeySequence, key);
    QFETCH(int, command);

    // The key is pressed in the channel window, as a user would.
    CChildFrame* child = m_frame->MDIGetActive();
    QWidget* view = child->widget();
    view->setFocus();
    QTRY_VERIFY(view == QApplication::focusWidget() || view->isAncestorOf(QApplication::focusWidget()));
    QList<int> asked;
    bool ambiguous = false;
    for (QShortcut* shortcut : m_frame->findChildren<QShortcut*>()) {
        const int id = shortcut->property("commandId").toInt();
        connect(shortcut, &QShortcut::activated, this, [&asked, id] { asked.append(id); });
        connect(shortcut, &QShortcut::activatedAmbiguously, this, [&ambiguous] { ambiguous = true; });
    }
    m_install->prompter.answers = {PromptAnswer::Cancel}; // New asks before clearing
    QTest::keySequence(QApplication::focusWidget(), key);
    QCoreApplication::processEvents();

    QVERIFY(!ambiguous);
    QCOMPARE(asked, command ? QList<int>{command} : QList<int>{});
    // Only Ctrl+F4 closes the channel window, which hides it.
    QCOMPARE(child->isHidden(), command == 0);
    QCOMPARE(m_frame->ChildFrames().size(), 1);
    if (command == 57600)
        QCOMPARE(m_install->prompter.messages.last().text, QStringLiteral("All data will be Cleared!"));
    if (command == 0) {
        // The system menu labels its Close with that key, and no item there has Ctrl+W.
        QStringList keys;
        for (QAction* action : child->systemMenu()->actions())
            keys.append(action->shortcut().toString());
        QVERIFY(keys.contains("Ctrl+F4"));
        QVERIFY(!keys.contains("Ctrl+W"));
    }
    if (command == 57680 || command == 57681)
        QCOMPARE(QApplication::focusWidget(), m_frame->NavigationBar()->GetTree());
}

void MainFrameTest::toolbar()
{
    QList<int> buttons;
    for (QAction* action : m_frame->ToolBar()->actions())
        buttons.append(action->isSeparator() ? 0 : action->property("commandId").toInt());
    QCOMPARE(buttons, (QList<int>{57600, 57601, 57603, 0, 32773, 32774, 0, 57607, 0, 57664}));
    QCOMPARE(m_frame->ToolBar()->iconSize(), QSize(18, 19));
    QAction* read = m_frame->ToolBarAction(32773);
    QCOMPARE(read->toolTip(), QStringLiteral("Read"));
    QCOMPARE(read->statusTip(), QStringLiteral("Read Data From Radio"));
    // Commands without a string have no prompt.
    QAction* language = m_frame->CurrentMenu().at(4)->actions().at(1);
    QCOMPARE(language->statusTip(), QString());
}

void MainFrameTest::controlBarToggleAndCheckMark()
{
    QMenu* view = m_frame->CurrentMenu().at(3);
    QAction* controlBar = view->actions().at(2);
    CNavigationBar* bar = m_frame->NavigationBar();

    emit view->aboutToShow();
    QVERIFY(controlBar->isChecked());
    controlBar->trigger();
    QVERIFY(bar->isHidden());
    emit view->aboutToShow();
    QVERIFY(!controlBar->isChecked());
    controlBar->trigger();
    QVERIFY(!bar->isHidden());
    emit view->aboutToShow();
    QVERIFY(controlBar->isChecked());
}

void MainFrameTest::fileNew_data()
{
    QTest::addColumn<PromptAnswer>("answer");
    QTest::addColumn<bool>("replaced");
    QTest::newRow("OK replaces the document") << PromptAnswer::Ok << true;
    QTest::newRow("Cancel keeps it") << PromptAnswer::Cancel << false;
}

void MainFrameTest::fileNew()
{
    QFETCH(PromptAnswer, answer);
    QFETCH(bool, replaced);

    CProgramDoc* before = m_frame->MDIGetActive()->GetDocument();
    before->Apply(QStringLiteral("Edit"), CProgramDoc::Change::Bytes, [](DocumentChannels& channels) {
        channels.Image()[0x20] = 0x42; // an edit
        return true;
    });
    before->SetModifiedFlag(false); // New asks its own question, not the save question
    m_install->prompter.answers = {answer};
    m_frame->OnCommand(57600);

    QCOMPARE(m_install->prompter.messages.size(), 1);
    QCOMPARE(m_install->prompter.messages[0].text, QStringLiteral("All data will be Cleared!"));
    QCOMPARE(m_install->prompter.messages[0].caption, QStringLiteral("Quillmark Radio"));
    QCOMPARE(m_install->prompter.messages[0].buttons, PromptButtons::OkCancel);
    QCOMPARE(m_frame->ChildFrames().size(), 1);
    CProgramDoc* after = m_frame->MDIGetActive()->GetDocument();
    QCOMPARE(int(after->Image()[0x20]), replaced ? 0xFF : 0x42);
    if (!replaced)
        QCOMPARE(after, before);
}

void MainFrameTest::closeHidesAndChannelInformationBringsBack()
{
    CChildFrame* child = m_frame->MDIGetActive();
    QPointer<CProgramDoc> document = child->GetDocument();
    QCOMPARE(child->geometry().topLeft(), QPoint(0, 0));

    child->close();
    QVERIFY(child->isHidden());
    QVERIFY(document);
    QCOMPARE(m_frame->MDIGetActive(), child);
    QCOMPARE(m_frame->CurrentMenuId(), 129);

    child->showNormal();
    QVERIFY(child->isVisible());
    m_frame->OnCommand(57602); // File Close hides as well
    QVERIFY(child->isHidden());
    QVERIFY(document);

    child->showMaximized();
    child->close();
    m_frame->OnCommand(32787);
    QVERIFY(!child->isHidden());
    QVERIFY(!child->isMaximized());
    QCOMPARE(m_frame->MdiClient()->activeSubWindow(), child);
}

void MainFrameTest::treeRouting_data()
{
    QTest::addColumn<int>("item"); // -1: the root
    QTest::addColumn<bool>("showsChannelWindow");
    QTest::addColumn<QString>("dialogTitle"); // the modal dialog it opens, "" for none
    QTest::newRow("Channel Information") << 1 << true << QString();
    QTest::newRow("Product Information") << 0 << false << "Product Information";
    QTest::newRow("Optional Features") << 2 << false << "Optional Features";
    QTest::newRow("root") << -1 << false << QString();
}

void MainFrameTest::treeRouting()
{
    QFETCH(int, item);
    QFETCH(bool, showsChannelWindow);
    QFETCH(QString, dialogTitle);

    QTreeWidget* tree = m_frame->NavigationBar()->GetTree();
    QTreeWidgetItem* root = tree->topLevelItem(0);
    CChildFrame* child = m_frame->MDIGetActive();
    child->close();

    // Dialogs the items open are closed again at once, their titles noted.
    QStringList opened;
    QTimer closer;
    connect(&closer, &QTimer::timeout, this, [&opened] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            opened.append(modal->windowTitle());
            modal->close();
        }
    });
    closer.start(10);

    for (int click = 0; click < 2; ++click) {
        child->hide();
        QTreeWidgetItem* target = item < 0 ? root : root->child(item);
        ClickTreeItem(tree, target);
        QTRY_COMPARE(tree->currentItem(), root);
        QCOMPARE(!child->isHidden(), showsChannelWindow);
        QCOMPARE(opened, dialogTitle.isEmpty() ? QStringList() : QStringList{dialogTitle});
        opened.clear();
    }
}

void MainFrameTest::keyboardSelectionOutsideItemsReturnsToRoot()
{
    QTreeWidget* tree = m_frame->NavigationBar()->GetTree();
    QTreeWidgetItem* root = tree->topLevelItem(0);
    CChildFrame* child = m_frame->MDIGetActive();
    child->close();

    QCursor::setPos(m_frame->mapToGlobal(QPoint(m_frame->width() - 5, m_frame->height() - 5)));
    tree->setFocus();
    QTest::keyClick(tree, Qt::Key_Down);
    QTest::keyClick(tree, Qt::Key_Down); // onto Channel Information if the root did not come back
    QCoreApplication::processEvents();
    QTRY_COMPARE(tree->currentItem(), root);
    QVERIFY(child->isHidden());
}

QTEST_MAIN(MainFrameTest)
#include "mainframe_test.moc"
