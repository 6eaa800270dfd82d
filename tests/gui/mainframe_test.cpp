// The main frame after start-up: menus, accelerators, toolbar, the Control
// Bar toggle, File New, hidden channel windows and the navigation tree.

#include "GuiTestSupport.h"

#include "app/Globals.h"
#include "app/ProgramApp.h"
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
    QList<int> commands;  // 0 for a separator
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

// Puts the pointer over an item of the tree and makes it the current one,
// as a click does.
void ClickTreeItem(QTreeWidget* tree, QTreeWidgetItem* item)
{
    const QRect rect = tree->visualItemRect(item);
    QCursor::setPos(tree->viewport()->mapToGlobal(rect.center()));
    tree->setCurrentItem(item);
    QCoreApplication::processEvents();
}

}  // namespace

class MainFrameTest : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void documentMenuAfterStartup();
    void menuWithoutDocument();
    void acceleratorsAndToolbar();
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
        {"&File", {57600, 57601, 57602, 57603, 57604, 0, 57607, 57609, 57606, 0, 57665}},
        {"&Edit", {32786, 32787, 32788}},
        {"&Program", {32773, 32774}},
        {"&View", {59392, 59393, 32780}},
        {"&Setup", {32777, 32799}},
        {"&Help", {57664}},
    };
    QCOMPARE(shape.size(), expected.size());
    for (int i = 0; i < shape.size(); ++i) {
        QCOMPARE(shape[i].title, expected[i].title);
        QCOMPARE(shape[i].commands, expected[i].commands);
    }
    QCOMPARE(m_frame->CurrentMenu().at(5)->actions().at(0)->text(), QStringLiteral("About QM-350 Programmer"));
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
    QCOMPARE(shape[0].commands, (QList<int>{57600, 57601, 0, 57606, 0, 57665}));
    QCOMPARE(shape[1].commands, (QList<int>{59392, 59393}));
    QCOMPARE(shape[2].commands, (QList<int>{57664}));

    // New again: the document menu comes back, without a question.
    m_frame->OnCommand(57600);
    QVERIFY(m_install->prompter.messages.isEmpty());
    QCOMPARE(m_frame->CurrentMenuId(), 129);
}

void MainFrameTest::acceleratorsAndToolbar()
{
    QMap<QString, int> accelerators;
    for (QShortcut* shortcut : m_frame->findChildren<QShortcut*>(Qt::FindDirectChildrenOnly))
        accelerators.insert(shortcut->key().toString(), shortcut->property("commandId").toInt());
    const QMap<QString, int> expected = {{"Ctrl+N", 57600}, {"Ctrl+O", 57601}, {"Ctrl+P", 57607},
                                         {"Ctrl+R", 32773}, {"Ctrl+S", 57603}, {"Ctrl+W", 32774},
                                         {"F6", 57680},     {"Shift+F6", 57681}};
    QCOMPARE(accelerators, expected);

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
    before->m_image[0x20] = 0x42;  // an edit
    m_install->prompter.answers = {answer};
    m_frame->OnCommand(57600);

    QCOMPARE(m_install->prompter.messages.size(), 1);
    QCOMPARE(m_install->prompter.messages[0].text, QStringLiteral("All data will be Cleared!"));
    QCOMPARE(m_install->prompter.messages[0].caption, QStringLiteral("Quillmark Radio"));
    QCOMPARE(m_install->prompter.messages[0].buttons, PromptButtons::OkCancel);
    QCOMPARE(m_frame->ChildFrames().size(), 1);
    CProgramDoc* after = m_frame->MDIGetActive()->GetDocument();
    QCOMPARE(int(after->m_image[0x20]), replaced ? 0xFF : 0x42);
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

    m_frame->OnCommand(57602);  // File Close hides as well
    QVERIFY(child->isHidden());

    child->showMaximized();
    child->close();
    m_frame->OnCommand(32787);
    QVERIFY(!child->isHidden());
    QVERIFY(!child->isMaximized());
    QCOMPARE(m_frame->MdiClient()->activeSubWindow(), child);
}

void MainFrameTest::treeRouting_data()
{
    QTest::addColumn<int>("item");  // -1: the root
    QTest::addColumn<bool>("showsChannelWindow");
    QTest::addColumn<QString>("dialogTitle");  // the modal dialog it opens, "" for none
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
    QTest::keyClick(tree, Qt::Key_Down);  // onto Channel Information if the root did not come back
    QCoreApplication::processEvents();
    QTRY_COMPARE(tree->currentItem(), root);
    QVERIFY(child->isHidden());
}

QTEST_MAIN(MainFrameTest)
#include "mainframe_test.moc"
