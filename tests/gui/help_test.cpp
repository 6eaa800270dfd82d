// Context help: every context number the program raises has a topic in both
// help sets, unknown numbers open the contents, and F1 reaches the viewer
// from a menu item, the main frame and the channel view.

#include "GuiTestSupport.h"

#include "app/ProgramApp.h"
#include "base/ContextHelp.h"
#include "base/Globals.h"
#include "frame/MainFrame.h"

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QTextBrowser>
#include <QtTest>

namespace {

// Commands of the menus, the Language dialog, and the controls of the
// channel view, the Optional Features and the Product Information dialogs.
const QList<int> kContextNumbers = {
    57600, 57601, 57602, 57603, 57604, 57606, 57607, 57609, 57665, 57664, 59392, 59393, 32786, 32787, 32788,
    32773, 32774, 32845, 32780, 32777, 32799, 57643, 57644, 57635, 57634, 57637, 57632, 32840, 32841, 32842,
    57642, 32860, 32861, 32862, 1000,  2127,  2128,  2132,  2133,  2134,  2135,  1130,  1129,  1118,  1116,
    1008,  1009,  1120,  1006,  1007,  1121,  1119,  1140,  1017,  1016,  1013,  1014,
};

} // namespace

class HelpTest : public QObject
{
    Q_OBJECT
private slots:
    void everyContextHasATopic_data();
    void everyContextHasATopic();
    void unknownNumberOpensContents();
    void missingHelpSetDoesNothing();
    void f1Routing_data();
    void f1Routing();
};

void HelpTest::everyContextHasATopic_data()
{
    QTest::addColumn<QString>("helpSet");
    QTest::newRow("English") << "enHelp";
    QTest::newRow("Chinese") << "chHelp";
}

void HelpTest::everyContextHasATopic()
{
    QFETCH(QString, helpSet);
    const QString dir = QStringLiteral(PROGRAM_BIN_DIR "/") + helpSet;
    for (int number : kContextNumbers) {
        const QString topic = CHelpViewer::TopicFor(dir, number);
        QVERIFY2(topic != "index.html", qPrintable(QString::number(number)));
        QFile page(dir + '/' + topic.section('#', 0, 0));
        QVERIFY2(page.open(QIODevice::ReadOnly), qPrintable(topic));
        const QString anchor = topic.section('#', 1);
        if (!anchor.isEmpty())
            QVERIFY2(page.readAll().contains(("name=\"" + anchor + "\"").toUtf8()), qPrintable(topic));
    }
}

void HelpTest::unknownNumberOpensContents()
{
    const QString dir = QStringLiteral(PROGRAM_BIN_DIR "/enHelp");
    QCOMPARE(CHelpViewer::TopicFor(dir, 65664), QStringLiteral("index.html"));
    QCOMPARE(CHelpViewer::TopicFor(dir, 1), QStringLiteral("index.html"));
}

void HelpTest::missingHelpSetDoesNothing()
{
    CTestInstall install(kEverything & ~kHelp);
    QVERIFY(install.Start());
    ContextHelp(32799);
    QVERIFY(HelpViewer() == nullptr);
}

void HelpTest::f1Routing_data()
{
    QTest::addColumn<QByteArray>("language");
    QTest::addColumn<QString>("where");
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("title");

    QTest::newRow("menu item, English") << QByteArray("English") << "menu1"
                                        << "setup.html#language"
                                        << "Setup menu";
    QTest::newRow("menu item, Chinese") << QByteArray("Chinese") << "menu1"
                                        << "setup.html#language"
                                        << "设置菜单";
    QTest::newRow("disabled menu item") << QByteArray("English") << "menu0"
                                        << "setup.html#com"
                                        << "Setup menu";
    QTest::newRow("main frame") << QByteArray("English") << "frame"
                                << "index.html"
                                << "Radio Programmer Help";
}

void HelpTest::f1Routing()
{
    QFETCH(QByteArray, language);
    QFETCH(QString, where);
    QFETCH(QString, page);
    QFETCH(QString, title);

    CTestInstall install(kEverything, ShippedIniWith("Setup", "Language", language.constData()).constData());
    QVERIFY(install.Start());
    CMainFrame* frame = install.App()->MainFrame();
    frame->show();
    QVERIFY(QTest::qWaitForWindowExposed(frame));

    if (where.startsWith("menu")) {
        QMenu* setup = frame->CurrentMenu().at(4);
        setup->popup(frame->mapToGlobal(QPoint(10, 10)));
        QVERIFY(QTest::qWaitForWindowExposed(setup));
        emit setup->aboutToShow();
        setup->setActiveAction(setup->actions().at(where.back().digitValue()));
        QTest::keyClick(setup, Qt::Key_F1);
        QVERIFY(!setup->isVisible());
    } else {
        QTest::keyClick(frame, Qt::Key_F1);
    }
    QVERIFY(HelpViewer());
    const QUrl source = HelpViewer()->CurrentSource();
    const QString shown = source.fileName() + (source.hasFragment() ? '#' + source.fragment() : QString());
    QCOMPARE(shown, page);
    QVERIFY(source.toLocalFile().contains(language == "Chinese" ? "/chHelp/" : "/enHelp/"));
    QCOMPARE(HelpViewer()->Browser()->documentTitle(), title);
}

QTEST_MAIN(HelpTest)
#include "help_test.moc"
