// The workspace background and the per-user store.

#include "GuiTestSupport.h"

#include "base/Globals.h"
#include "base/LanguageResources.h"
#include "base/UserStore.h"
#include "frame/MdiClientWnd.h"

#include <QFile>
#include <QtTest>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

class WorkspaceTest : public QObject
{
    Q_OBJECT
private slots:
    void tiles_data();
    void tiles();
    void backgroundFallsBackToTheBuiltInPicture();
    void userStore();
};

void WorkspaceTest::tiles_data()
{
    QTest::addColumn<QSize>("area");
    QTest::addColumn<int>("columns");
    QTest::addColumn<int>("rows");
    QTest::newRow("exactly two pictures wide: a third, clipped column") << QSize(128, 100) << 3 << 2;
    QTest::newRow("smaller than the picture") << QSize(10, 10) << 1 << 1;
    QTest::newRow("partial tiles") << QSize(200, 130) << 4 << 3;
}

void WorkspaceTest::tiles()
{
    QFETCH(QSize, area);
    QFETCH(int, columns);
    QFETCH(int, rows);
    const QList<QPoint> origins = CMdiClientWnd::TileOrigins(area, QSize(64, 64));
    QCOMPARE(origins.size(), columns * rows);
    QCOMPARE(origins.first(), QPoint(0, 0));
    QCOMPARE(origins.last(), QPoint((columns - 1) * 64, (rows - 1) * 64));
}

void WorkspaceTest::backgroundFallsBackToTheBuiltInPicture()
{
    CTestInstall install;
    CLanguageResources resources;
    QVERIFY(resources.Load(install.File("English.rcc")));
    g_pResources = &resources;
    g_strAppDir = install.Dir() + '/';

    QCOMPARE(CMdiClientWnd::LoadBackground().size(), QSize(64, 64));
    QVERIFY(QFile::remove(install.File("background.bmp")));
    QCOMPARE(CMdiClientWnd::LoadBackground().size(), QSize(238, 157));
    install.WriteFile("background.bmp", "not a picture");
    QCOMPARE(CMdiClientWnd::LoadBackground().size(), QSize(238, 157));
    ResetGlobals();
}

void WorkspaceTest::userStore()
{
    CTestInstall install;
    CUserStore store("Software\\QM-350");
    QVERIFY(!store.QueryDword("com").has_value());
    QCOMPARE(store.QueryDword("com", 1), 1u);
    QVERIFY(store.SetDword("com", 12));
    QCOMPARE(CUserStore("software\\qm-350").QueryDword("COM", 1), 12u);
    QVERIFY(store.SetDword("Type", 4294967295u));
    QCOMPARE(store.QueryDword("type", 0), 4294967295u);
    QVERIFY(install.UserStoreText().contains("[Software\\QM-350]"));
#ifdef Q_OS_WIN
    // In the registry, as 32-bit values.
    DWORD type = 0;
    DWORD value = 0;
    DWORD size = sizeof(value);
    QCOMPARE(RegGetValueW(HKEY_CURRENT_USER, L"Software\\QM-350", L"COM", RRF_RT_ANY, &type, &value, &size),
             ERROR_SUCCESS);
    QCOMPARE(type, static_cast<DWORD>(REG_DWORD));
    QCOMPARE(value, 12u);
#else
    QVERIFY(CUserStore::FilePath().startsWith(QString::fromLocal8Bit(qgetenv("XDG_CONFIG_HOME"))));
#endif

    // Another key path does not see these values; a text is no number.
    QVERIFY(!CUserStore("Software\\").QueryDword("com").has_value());
#ifdef Q_OS_WIN
    QCOMPARE(RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Other", L"Field", REG_SZ, L"abc", 4 * sizeof(wchar_t)),
             ERROR_SUCCESS);
#else
    install.WriteFile("dummy", "");
    QFile file(CUserStore::FilePath());
    QVERIFY(file.open(QIODevice::Append));
    file.write("[Software\\Other]\r\nField=abc\r\n");
    file.close();
#endif
    QVERIFY(!CUserStore("Software\\Other").QueryDword("Field").has_value());
}

QTEST_MAIN(WorkspaceTest)
#include "workspace_test.moc"
