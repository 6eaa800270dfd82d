// The navigation bar on a frame of its own: painting sets up its geometry,
// synthetic mouse events drive the resize guide, the width clamps and the
// close button, and the tree turns clicks into the three commands.

#include "GuiTestSupport.h"

#include "base/AppServices.h"
#include "base/Globals.h"
#include "base/LanguageResources.h"
#include "core/app/LanguageChoice.h"
#include "frame/MainFrame.h"
#include "frame/NavigationBar.h"

#include <QMouseEvent>
#include <QTreeWidget>
#include <QtTest>

namespace {

// The frame is made without an application: nothing here asks for one.
class CNoAppServices : public IAppServices
{
public:
    QWidget* MainWindow() const override { return nullptr; }
    QString AppName() const override { return QStringLiteral("Program"); }
    QPrinter* Printer() override { return nullptr; }
    QWidget* ActiveChannelWindow() const override { return nullptr; }
    void CloseAndRestart() override {}
};
CNoAppServices g_noApp;

class CTestFrame : public CMainFrame
{
public:
    CTestFrame()
        : CMainFrame(g_noApp, nullptr)
    {}
    void OnProductInformation() override { calls.append(32786); }
    void OnOptionalFeatures() override { calls.append(32788); }
    void OnChannelInformation() override { calls.append(32787); }
    QList<int> calls;
};

void Send(QWidget* widget, QEvent::Type type, QPoint point, Qt::MouseButtons buttons)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, point, widget->mapToGlobal(point), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

void Press(QWidget* w, QPoint p)
{
    Send(w, QEvent::MouseButtonPress, p, Qt::LeftButton);
}
void Drag(QWidget* w, QPoint p)
{
    Send(w, QEvent::MouseMove, p, Qt::LeftButton);
}
void Hover(QWidget* w, QPoint p)
{
    Send(w, QEvent::MouseMove, p, Qt::NoButton);
}
void Release(QWidget* w, QPoint p)
{
    Send(w, QEvent::MouseButtonRelease, p, Qt::NoButton);
}

} // namespace

class NavigationBarTest : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void geometryAfterPaint();
    void nothingHappensBeforeTheFirstPaint();
    void resizeClamps_data();
    void resizeClamps();
    void closeButton_data();
    void closeButton();
    void doubleClickDoesNothing();
    void cursorOverTheResizeStrip();
    void treeClicksRouteAndReturnToRoot_data();
    void treeClicksRouteAndReturnToRoot();
    void treeRunsNothingButALeftClick_data();
    void treeRunsNothingButALeftClick();

private:
    CNavigationBar* Bar() const { return m_frame->NavigationBar(); }
    // A new frame with the texts of language ("English" or "Chinese").
    void MakeFrame(const char* language);
    void ShowAndPaint();

    std::unique_ptr<CTestInstall> m_install;
    CLanguageResources m_resources;
    std::unique_ptr<CTestFrame> m_frame;
};

void NavigationBarTest::init()
{
    m_install = std::make_unique<CTestInstall>();
    MakeFrame("English");
}

void NavigationBarTest::MakeFrame(const char* language)
{
    m_frame.reset();
    m_resources.Unload();
    ResetGlobals();
    g_iniFile.Load(m_install->File("Program.ini").toStdString(), false, true);
    g_strLanguage = language;
    g_byLanguage = IsChineseLanguageName(g_strLanguage) ? 1 : 0;
    QVERIFY(m_resources.Load(m_install->File(QString::fromLatin1(language) + ".rcc")));
    g_pResources = &m_resources;
    m_frame = std::make_unique<CTestFrame>();
    QVERIFY(m_frame->Create());
    m_frame->resize(900, 550);
}

void NavigationBarTest::cleanup()
{
    m_frame.reset();
    m_resources.Unload();
    ResetGlobals();
    m_install.reset();
}

void NavigationBarTest::ShowAndPaint()
{
    m_frame->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_frame.get()));
    Bar()->grab(); // paints, which lays out the frame and the close button
}

void NavigationBarTest::geometryAfterPaint()
{
    ShowAndPaint();
    CNavigationBar* bar = Bar();
    const int h = bar->height();
    QCOMPARE(bar->width(), 220);
    const BarRect& frame = bar->FrameRect();
    QCOMPARE(frame.left, 4);
    QCOMPARE(frame.top, 7);
    QCOMPARE(frame.right, 214);
    QCOMPARE(frame.bottom, h - 49);
    const BarRect& close = bar->CloseRect();
    QCOMPARE(close.ToQRect(), QRect(194, 11, 16, 15));
    QCOMPARE(bar->GetTree()->geometry(), QRect(5, 31, 220 - 8 - 5, h - 51 - 31));
    QCOMPARE(bar->windowTitle(), QStringLiteral("IE Control Bar"));
}

void NavigationBarTest::nothingHappensBeforeTheFirstPaint()
{
    CNavigationBar* bar = Bar();
    QVERIFY(bar->FrameRect().IsEmpty());
    const QCursor before = bar->cursor();
    Hover(bar, QPoint(216, 100));
    Press(bar, QPoint(216, 100));
    QVERIFY(!bar->IsButtonDown());
    QVERIFY(!bar->IsSizing());
    QVERIFY(!bar->IsPressed());
    QCOMPARE(bar->cursor().shape(), before.shape());
    Release(bar, QPoint(216, 100));
}

void NavigationBarTest::resizeClamps_data()
{
    QTest::addColumn<int>("releaseX");
    QTest::addColumn<int>("guideX");
    QTest::addColumn<int>("width");
    QTest::newRow("far left: guide at 80, bar 11 wide") << 5 << 80 << 11;
    QTest::newRow("between the limits") << 60 << 80 << 60;
    QTest::newRow("inside the limits") << 300 << 300 << 300;
    QTest::newRow("beyond half the frame") << 700 << 450 << 450;
}

void NavigationBarTest::resizeClamps()
{
    QFETCH(int, releaseX);
    QFETCH(int, guideX);
    QFETCH(int, width);

    ShowAndPaint();
    CNavigationBar* bar = Bar();
    const QPoint start(bar->FrameRect().right + 2, 120);
    Press(bar, start);
    QVERIFY(bar->IsSizing());
    Drag(bar, QPoint(releaseX, 130));
    QVERIFY(!bar->GuidePoint().isNull());
    QCOMPARE(bar->mapFromGlobal(bar->GuidePoint()).x(), guideX);
    QVERIFY(bar->GuideLine()->isVisible());
    QCOMPARE(bar->GuideLine()->height(), bar->height() - 43);

    Release(bar, QPoint(releaseX, 130));
    QVERIFY(!bar->IsSizing());
    QVERIFY(bar->GuidePoint().isNull());
    QVERIFY(!bar->GuideLine()->isVisible());
    QCOMPARE(bar->BarWidth(), width);
    QCOMPARE(bar->width(), width);
    QVERIFY(!bar->isHidden());
}

void NavigationBarTest::closeButton_data()
{
    QTest::addColumn<QPoint>("press");
    QTest::addColumn<QPoint>("release");
    QTest::addColumn<bool>("hidden");
    const QPoint inside(200, 15);
    const QPoint outside(100, 200);
    QTest::newRow("press and release on the button") << inside << inside << true;
    QTest::newRow("press on it, release elsewhere") << inside << outside << false;
    QTest::newRow("press elsewhere, release on it") << outside << inside << true;
}

void NavigationBarTest::closeButton()
{
    QFETCH(QPoint, press);
    QFETCH(QPoint, release);
    QFETCH(bool, hidden);

    ShowAndPaint();
    CNavigationBar* bar = Bar();
    Hover(bar, QPoint(200, 15));
    QVERIFY(bar->IsHover());
    Hover(bar, QPoint(100, 200));
    QVERIFY(!bar->IsHover());

    Press(bar, press);
    QVERIFY(bar->IsButtonDown());
    Drag(bar, release);
    QCOMPARE(bar->IsPressed(), bar->CloseRect().Contains(release));
    Release(bar, release);
    QVERIFY(!bar->IsButtonDown() && !bar->IsPressed() && !bar->IsHover());
    QCOMPARE(bar->isHidden(), hidden);
}

void NavigationBarTest::doubleClickDoesNothing()
{
    ShowAndPaint();
    CNavigationBar* bar = Bar();
    Send(bar, QEvent::MouseButtonDblClick, QPoint(216, 100), Qt::LeftButton);
    QVERIFY(!bar->IsSizing());
    QVERIFY(!bar->IsButtonDown());
    QVERIFY(!bar->isHidden());
    QCOMPARE(bar->BarWidth(), 220);
}

void NavigationBarTest::cursorOverTheResizeStrip()
{
    ShowAndPaint();
    CNavigationBar* bar = Bar();
    Hover(bar, QPoint(bar->FrameRect().right + 1, 100));
    QCOMPARE(bar->cursor().shape(), Qt::BitmapCursor);
    Hover(bar, QPoint(bar->FrameRect().right - 1, 100));
    QCOMPARE(bar->cursor().shape(), Qt::ArrowCursor);
}

void NavigationBarTest::treeClicksRouteAndReturnToRoot_data()
{
    QTest::addColumn<QByteArray>("language");
    QTest::addColumn<int>("child");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("command");
    QTest::newRow("Product Information") << QByteArray("English") << 0 << "Product Information" << 32786;
    QTest::newRow("Channel Information") << QByteArray("English") << 1 << "Channel Information" << 32787;
    QTest::newRow("Optional Features") << QByteArray("English") << 2 << "Optional Features" << 32788;
    // The items are told by the command they carry, not by their texts.
    QTest::newRow("Chinese Product Information") << QByteArray("Chinese") << 0 << "类型设置" << 32786;
    QTest::newRow("Chinese Channel Information") << QByteArray("Chinese") << 1 << "信道信息" << 32787;
    QTest::newRow("Chinese Optional Features") << QByteArray("Chinese") << 2 << "可选功能" << 32788;
}

void NavigationBarTest::treeClicksRouteAndReturnToRoot()
{
    QFETCH(QByteArray, language);
    QFETCH(int, child);
    QFETCH(QString, text);
    QFETCH(int, command);

    if (language != "English")
        MakeFrame(language.constData());
    ShowAndPaint();
    QTreeWidget* tree = Bar()->GetTree();
    QTreeWidgetItem* root = tree->topLevelItem(0);
    QTreeWidgetItem* item = root->child(child);
    QCOMPARE(item->text(0), text);
    const QPoint centre = tree->visualItemRect(item).center();
    for (int click = 0; click < 2; ++click) {
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, centre);
        QCursor::setPos(tree->viewport()->mapToGlobal(centre));
        QTRY_COMPARE(m_frame->calls.size(), click + 1);
        QCOMPARE(tree->currentItem(), root);
    }
    QCOMPARE(m_frame->calls, (QList<int>{command, command}));
}

void NavigationBarTest::treeRunsNothingButALeftClick_data()
{
    QTest::addColumn<QString>("gesture");
    QTest::newRow("right click") << "right";
    QTest::newRow("middle click") << "middle";
    QTest::newRow("left press dragged to another item") << "drag";
    QTest::newRow("left press dragged off and back") << "drag back";
    QTest::newRow("keyboard") << "keyboard";
}

void NavigationBarTest::treeRunsNothingButALeftClick()
{
    QFETCH(QString, gesture);

    ShowAndPaint();
    QTreeWidget* tree = Bar()->GetTree();
    QTreeWidgetItem* root = tree->topLevelItem(0);
    QWidget* viewport = tree->viewport();
    const QPoint channels = tree->visualItemRect(root->child(1)).center();
    const QPoint features = tree->visualItemRect(root->child(2)).center();
    // The pointer rests over Channel Information whatever the gesture.
    QCursor::setPos(viewport->mapToGlobal(channels));

    auto send = [viewport](QEvent::Type type, QPoint point, Qt::MouseButton button, Qt::MouseButtons buttons) {
        QMouseEvent event(type, point, viewport->mapToGlobal(point), button, buttons, Qt::NoModifier);
        QApplication::sendEvent(viewport, &event);
    };
    if (gesture == "right" || gesture == "middle") {
        const Qt::MouseButton button = gesture == "right" ? Qt::RightButton : Qt::MiddleButton;
        send(QEvent::MouseButtonPress, channels, button, button);
        send(QEvent::MouseButtonRelease, channels, button, Qt::NoButton);
    } else if (gesture.startsWith("drag")) {
        const QPoint end = gesture == "drag" ? channels : features;
        send(QEvent::MouseButtonPress, gesture == "drag" ? features : channels, Qt::LeftButton, Qt::LeftButton);
        send(QEvent::MouseMove, channels + QPoint(0, 30), Qt::NoButton, Qt::LeftButton);
        send(QEvent::MouseMove, end, Qt::NoButton, Qt::LeftButton);
        send(QEvent::MouseButtonRelease, end, Qt::LeftButton, Qt::NoButton);
    } else {
        tree->setFocus();
        QTest::keyClick(tree, Qt::Key_Down);
        QTest::keyClick(tree, Qt::Key_Down);
    }
    QCoreApplication::processEvents();
    QTRY_COMPARE(tree->currentItem(), root);
    QTest::qWait(20);
    QCOMPARE(m_frame->calls, QList<int>{});

    // A left click afterwards still runs its command.
    QTest::mouseClick(viewport, Qt::LeftButton, {}, channels);
    QTRY_COMPARE(m_frame->calls, QList<int>{32787});
    QCOMPARE(tree->currentItem(), root);
}

QTEST_MAIN(NavigationBarTest)
#include "navigationbar_test.moc"
