// The Language dialog (what OK writes to Program.ini, and when) and the
// About box (texts from the running language's section).

#include "GuiTestSupport.h"

#include "app/AboutDlg.h"
#include "base/ContextHelp.h"
#include "base/Globals.h"
#include "base/LanguageResources.h"
#include "base/UserStore.h"
#include "core/app/IniFile.h"
#include "settings/LanguageDlg.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QRadioButton>
#include <QtTest>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {

QRadioButton* Radio(QWidget* dialog, int id)
{
    for (QRadioButton* button : dialog->findChildren<QRadioButton*>()) {
        if (button->property("ctrlId").toInt() == id)
            return button;
    }
    return nullptr;
}

} // namespace

class DialogsTest : public QObject
{
    Q_OBJECT
private slots:
    void cleanup();
    void languageDialog_data();
    void languageDialog();
    void languageDialogHelp();
    void languageNotSavedIsReported_data();
    void languageNotSavedIsReported();
    void aboutBox_data();
    void aboutBox();

private:
    // Loads the install's Program.ini as the configuration store and sets
    // the running language as start-up would.
    void Configure(CTestInstall& install, const char* language, int bundleLanguage);
    CLanguageResources m_resources;
};

void DialogsTest::Configure(CTestInstall& install, const char* language, int bundleLanguage)
{
    ResetGlobals();
    g_iniFile.Load(install.File("Program.ini").toStdString(), true, true);
    g_strLanguage = language;
    g_byLanguage = g_strLanguage == "Chinese" ? 1 : 0;
    g_strHelpFile = g_byLanguage ? "chHelp" : "enHelp";
    g_strAppDir = install.Dir() + '/';
    QVERIFY(m_resources.Load(install.File(bundleLanguage == kChineseBundle ? "Chinese.rcc" : "English.rcc")));
    g_pResources = &m_resources;
}

void DialogsTest::cleanup()
{
    if (CHelpViewer* viewer = HelpViewer())
        delete viewer;
    m_resources.Unload();
    ResetGlobals();
}

void DialogsTest::languageDialog_data()
{
    QTest::addColumn<QByteArray>("running");
    QTest::addColumn<int>("initialSelection");
    QTest::addColumn<int>("choose"); // 1006 English, 1007 Chinese
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("written"); // "" when Program.ini must stay as it was

    QTest::newRow("English, same again") << QByteArray("English") << 0 << 1006 << true << QString();
    QTest::newRow("English to Chinese") << QByteArray("English") << 0 << 1007 << true << "Chinese";
    QTest::newRow("Chinese to English") << QByteArray("Chinese") << 1 << 1006 << true << "English";
    QTest::newRow("Chinese, same again") << QByteArray("Chinese") << 1 << 1007 << true << QString();
    QTest::newRow("Cancel after a change") << QByteArray("English") << 0 << 1007 << false << QString();
    QTest::newRow("third language to Chinese") << QByteArray("French") << 0 << 1007 << true << "Chinese";
    QTest::newRow("third language, English") << QByteArray("French") << 0 << 1006 << true << QString();
}

void DialogsTest::languageDialog()
{
    QFETCH(QByteArray, running);
    QFETCH(int, initialSelection);
    QFETCH(int, choose);
    QFETCH(bool, ok);
    QFETCH(QString, written);

    CTestInstall install;
    Configure(install, running.constData(), running == "Chinese" ? kChineseBundle : kEnglishBundle);
    const QString before = install.ReadFile("Program.ini");

    CLanguageDlg dialog;
    dialog.OnInitDialog();
    QCOMPARE(dialog.m_nSelection, initialSelection);
    QVERIFY(Radio(&dialog, initialSelection == 1 ? 1007 : 1006)->isChecked());
    QCOMPARE(dialog.windowTitle(), running == "Chinese" ? QStringLiteral("语言") : QStringLiteral("Language"));

    Radio(&dialog, choose)->setChecked(true);
    if (ok)
        dialog.accept();
    else
        dialog.reject();

    QCOMPARE(dialog.m_bChanged != 0, !written.isEmpty());
    const QString after = install.ReadFile("Program.ini");
    if (written.isEmpty()) {
        QCOMPARE(after, before);
    } else {
        QVERIFY(after.contains("Language=" + written + "\r\n"));
        QCOMPARE(QString::fromStdString(g_iniFile.GetValue("Setup", "Language", "")), written);
    }
}

void DialogsTest::languageDialogHelp()
{
    CTestInstall install;
    Configure(install, "English", kEnglishBundle);
    CLanguageDlg dialog;
    dialog.OnInitDialog();
    QTest::keyClick(Radio(&dialog, 1006), Qt::Key_F1);
    QVERIFY(HelpViewer());
    QCOMPARE(HelpViewer()->CurrentSource().fileName(), QStringLiteral("setup.html"));
    QCOMPARE(HelpViewer()->CurrentSource().fragment(), QStringLiteral("language"));
}

void DialogsTest::languageNotSavedIsReported_data()
{
    QTest::addColumn<bool>("iniWritable");
    QTest::addColumn<bool>("storeWritable");
    QTest::addColumn<QString>("iniLanguage");  // Language in Program.ini afterwards
    QTest::addColumn<QString>("userLanguage"); // Language in the per-user store afterwards
    QTest::newRow("Program.ini") << true << true << "Chinese"
                                 << "";
    QTest::newRow("system install: for the user") << false << true << "English"
                                                  << "Chinese";
    QTest::newRow("neither") << false << false << "English"
                             << "";
}

void DialogsTest::languageNotSavedIsReported()
{
    QFETCH(bool, iniWritable);
    QFETCH(bool, storeWritable);
    QFETCH(QString, iniLanguage);
    QFETCH(QString, userLanguage);
    CTestInstall install;
    Configure(install, "English", kEnglishBundle);
    const QByteArray configHome = qgetenv("XDG_CONFIG_HOME");
#ifdef Q_OS_WIN
    // Wine lets a key opened for reading make and write keys below it.
    if (!storeWritable && GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version"))
        QSKIP("wine does not enforce the access rights of registry keys");
    install.SetUserStoreReadOnly(!storeWritable);
#else
    if (!storeWritable)
        qputenv("XDG_CONFIG_HOME", "/dev/null/config"); // no folder can be made there, for root either
#endif
    CScriptedPrompter prompter;
    // With its directory moved away Program.ini cannot be written, for root
    // as for anyone.
    const QString moved = install.Dir() + "-moved";
    if (!iniWritable)
        QVERIFY(QDir().rename(install.Dir(), moved));

    CLanguageDlg dialog;
    dialog.OnInitDialog();
    Radio(&dialog, 1007)->setChecked(true);
    dialog.accept();
    if (!iniWritable)
        QVERIFY(QDir().rename(moved, install.Dir()));
    qputenv("XDG_CONFIG_HOME", configHome);
#ifdef Q_OS_WIN
    install.SetUserStoreReadOnly(false);
#endif

    const bool saved = iniWritable || storeWritable;
    QCOMPARE(dialog.m_bChanged, saved ? 1 : 0); // no restart into the same language
    QCOMPARE(prompter.messages.size(), saved ? 0 : 1);
    if (!saved)
        QVERIFY(prompter.messages[0].text.contains("The language could not be saved"));
    CIniFile ini;
    QVERIFY(ini.Load(install.File("Program.ini").toStdString(), false, true));
    QCOMPARE(QString::fromStdString(ini.GetValue("Setup", "Language", "")), iniLanguage);
    QCOMPARE(QString::fromStdString(CUserStore::ForApplication().QueryString("Language")), userLanguage);
}

void DialogsTest::aboutBox_data()
{
    QTest::addColumn<QByteArray>("language");
    QTest::addColumn<bool>("removeSection");
    QTest::addColumn<bool>("titleIcon");
    QTest::addColumn<QStringList>("texts"); // caption, version, copyrights, owner

    QTest::newRow("English") << QByteArray("English") << false << true
                             << QStringList{"About QM-350 Programmer", "QM-350 Programmer Version 1.0",
                                            "Copyright (C) 2024-2026", "Quillmark Radio Communications"};
    QTest::newRow("Chinese") << QByteArray("Chinese") << false << true
                             << QStringList{"关于 QM-350 写频软件", "QM-350 写频软件 1.0 版", "版权所有 (C) 2024-2026",
                                            "奎尔马克无线电通信"};
    QTest::newRow("section missing, no title.ico")
        << QByteArray("English") << true << false << QStringList{"", "", "", ""};
}

void DialogsTest::aboutBox()
{
    QFETCH(QByteArray, language);
    QFETCH(bool, removeSection);
    QFETCH(bool, titleIcon);
    QFETCH(QStringList, texts);

    CTestInstall install(titleIcon ? kEverything : (kEverything & ~kPictures));
    if (removeSection)
        install.WriteFile("Program.ini", "[Setup]\r\nLanguage=English\r\n");
    Configure(install, language.constData(), language == "Chinese" ? kChineseBundle : kEnglishBundle);

    CAboutDlg about;
    QCOMPARE(about.windowTitle(), texts[0]);
    QCOMPARE(about.Line(1002)->text(), texts[1]);
    QCOMPARE(about.Line(1003)->text(), texts[2]);
    QCOMPARE(about.Line(1004)->text(), texts[3]);
    QCOMPARE(about.HasFileIcon(), titleIcon);
    QVERIFY(!about.Icon()->pixmap().isNull()); // the bundle's icon 128 otherwise
}

QTEST_MAIN(DialogsTest)
#include "dialogs_test.moc"
