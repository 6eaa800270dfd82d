// Start-up from the configuration: failures, the language settled from
// Program.ini, the menus dressed from it, and the command line.

#include "GuiTestSupport.h"

#include "app/ProgramApp.h"
#include "base/Globals.h"
#include "base/UserStore.h"
#include "core/document/DataFile.h"
#include "core/util/AtomicFile.h"
#include "document/ProgramDoc.h"
#include "frame/ChildFrame.h"
#include "frame/FrameBars.h"
#include "frame/MainFrame.h"
#include "frame/NavigationBar.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QPointer>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <iostream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QAction* FindCommand(const QList<QMenu*>& menu, int index, int id)
{
    if (index >= menu.size())
        return nullptr;
    for (QAction* action : menu.at(index)->actions()) {
        if (action->property("commandId").toInt() == id)
            return action;
    }
    return nullptr;
}

} // namespace

class StartupTest : public QObject
{
    Q_OBJECT
private slots:
    void failures_data();
    void failures();
    void language_data();
    void language();
    void showLang_data();
    void showLang();
    void menusFoundByCommand_data();
    void menusFoundByCommand();
    void aboutTitleMissingLeavesAnEmptyWorkingItem();
    void appNameMissingPutsValuesUnderSoftware();
    void newDocumentTakesTypeAndBandFromTheUserStore();
    void commandLineOpensADataFile();
    void commandLineFailures_data();
    void commandLineFailures();
    void commandLineRefusesWhatIsNotAFileAtOnce();
    void bundleFailureSaysWhatWasTried();
    void nameThatIsNotUtf8OpensAndSaves();
    void failedSaveNamesTheSystemsReason();
    void startedByNameThroughALink();
    void languageRestartsTheProgramOfTheApplicationDirectory();
};

void StartupTest::failures_data()
{
    QTest::addColumn<int>("parts");
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<QString>("message");

    const int all = kEverything;
    QTest::newRow("Program.ini missing") << (all & ~kIni) << QByteArray() << "Load language DLL fail";
    QTest::newRow("English bundle missing") << (all & ~kEnglishBundle) << QByteArray() << "Load language DLL fail";
    QTest::newRow("Chinese bundle missing")
        << (all & ~kChineseBundle) << ShippedIniWith("Setup", "Language", "Chinese") << "加载语言链接库失败";
    QTest::newRow("trailing comment keeps a blank")
        << all << ShippedIniWith("Setup", "Language", "Chinese //default") << "Load language DLL fail";
    QTest::newRow("Language missing") << all << ShippedIniWith("Setup", "Language", nullptr)
                                      << "Load language DLL fail";
}

void StartupTest::failures()
{
    QFETCH(int, parts);
    QFETCH(QByteArray, ini);
    QFETCH(QString, message);

    CTestInstall install(parts, ini.isEmpty() ? nullptr : ini.constData());
    QVERIFY(!install.Start());
    QCOMPARE(install.prompter.messages.size(), 1);
    QCOMPARE(install.prompter.messages[0].text, message);
    QCOMPARE(install.prompter.messages[0].caption, QStringLiteral("Program"));
    QVERIFY(install.App()->MainFrame() == nullptr);
    if (!(parts & kIni)) {
        QVERIFY(QFile::exists(install.File("Program.ini")));
        QCOMPARE(QFile(install.File("Program.ini")).size(), 0);
    }
}

void StartupTest::language_data()
{
    QTest::addColumn<QByteArray>("language");
    QTest::addColumn<int>("flag");
    QTest::addColumn<QString>("helpFile");
    QTest::addColumn<QString>("fileMenu");
    QTest::addColumn<QString>("company");
    QTest::addColumn<QString>("treeItem");

    QTest::newRow("English") << QByteArray("English") << 0 << "enHelp"
                             << "&File"
                             << "Quillmark Radio"
                             << "Product Information";
    QTest::newRow("Chinese") << QByteArray("Chinese") << 1 << "chHelp"
                             << "文件(&F)"
                             << "奎尔马克电台"
                             << "类型设置";
    // Lower case: built-in texts stay English, but the bundle and the
    // per-language section are found without regard to case.
    QTest::newRow("chinese in lower case") << QByteArray("chinese") << 0 << "enHelp"
                                           << "文件(&F)"
                                           << "奎尔马克电台"
                                           << "Product Information";
}

void StartupTest::language()
{
    QFETCH(QByteArray, language);
    QFETCH(int, flag);
    QFETCH(QString, helpFile);
    QFETCH(QString, fileMenu);
    QFETCH(QString, company);
    QFETCH(QString, treeItem);

    const QByteArray ini = ShippedIniWith("Setup", "Language", language.constData());
    CTestInstall install(kEverything, ini.constData());
    QVERIFY(install.Start());
    QCOMPARE(int(g_byLanguage), flag);
    QCOMPARE(QString::fromStdString(g_strHelpFile), helpFile);
    QCOMPARE(install.App()->MainFrame()->CurrentMenu().first()->title(), fileMenu);
    QCOMPARE(install.App()->AppName(), company);
    QCOMPARE(g_strAppDir, install.Dir() + '/');
    QVERIFY(install.prompter.messages.isEmpty());
    QTreeWidget* tree = install.App()->MainFrame()->NavigationBar()->GetTree();
    QCOMPARE(tree->topLevelItem(0)->text(0), company);
    QCOMPARE(tree->topLevelItem(0)->child(0)->text(0), treeItem);
}

void StartupTest::showLang_data()
{
    QTest::addColumn<QByteArray>("showLang");
    QTest::addColumn<bool>("present");

    QTest::newRow("missing") << QByteArray() << false;
    QTest::newRow("0") << QByteArray("0") << false;
    QTest::newRow("text") << QByteArray("yes") << false;
    QTest::newRow("1") << QByteArray("1") << true;
    QTest::newRow("2") << QByteArray("2") << true;
    QTest::newRow("leading number") << QByteArray(" 3 languages") << true;
}

void StartupTest::showLang()
{
    QFETCH(QByteArray, showLang);
    QFETCH(bool, present);

    const QByteArray ini = ShippedIniWith("Setup", "ShowLang", showLang.isEmpty() ? nullptr : showLang.constData());
    CTestInstall install(kEverything, ini.constData());
    QVERIFY(install.Start());
    const QList<QMenu*> menu = install.App()->MainFrame()->CurrentMenu();
    QCOMPARE(menu.size(), 6);
    QCOMPARE(FindCommand(menu, 4, 32799) != nullptr, present);
    QVERIFY(FindCommand(menu, 4, 32777) != nullptr);
}

void StartupTest::menusFoundByCommand_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<int>("menuId");
    QTest::addColumn<int>("command");
    QTest::addColumn<QString>("holder"); // title of the menu holding the command; empty: none does

    const QByteArray english = ShippedIniWith("Setup", "Language", "English");
    const QByteArray chinese = ShippedIniWith("Setup", "Language", "Chinese");
    QTest::newRow("About") << english << 129 << 57664 << "&Help";
    QTest::newRow("Language") << english << 129 << 32799 << "&Setup";
    QTest::newRow("Optional Features") << english << 129 << 32788 << "&Edit";
    QTest::newRow("Print Setup without a document") << english << 128 << 57606 << "&File";
    QTest::newRow("Optional Features without a document") << english << 128 << 32788 << "";
    QTest::newRow("no such command") << english << 129 << 12345 << "";
    QTest::newRow("Chinese About") << chinese << 129 << 57664 << "帮助(&H)";
    QTest::newRow("Chinese Language") << chinese << 129 << 32799 << "设置(&S)";
    QTest::newRow("Chinese Status Bar without a document") << chinese << 128 << 59393 << "查看(&V)";
    QTest::newRow("Chinese Language without ShowLang")
        << QByteArray(chinese).replace("ShowLang=1", "ShowLang=0") << 129 << 32799 << "";
}

void StartupTest::menusFoundByCommand()
{
    QFETCH(QByteArray, ini);
    QFETCH(int, menuId);
    QFETCH(int, command);
    QFETCH(QString, holder);

    CTestInstall install(kEverything, ini.constData());
    QVERIFY(install.Start());
    const CFrameBars* bars = install.App()->MainFrame()->Bars();
    QMenu* menu = bars->MenuHolding(menuId, command);
    QAction* action = bars->MenuCommand(menuId, command);
    QCOMPARE(menu ? menu->title() : QString(), holder);
    QCOMPARE(action != nullptr, menu != nullptr);
    if (action) {
        QCOMPARE(action->property("commandId").toInt(), command);
        QVERIFY(menu->actions().contains(action));
    }
    // Start-up found the About item of the document menu by its command.
    QCOMPARE(bars->MenuCommand(129, 57664)->text(), LanguageText("About Title"));
}

void StartupTest::aboutTitleMissingLeavesAnEmptyWorkingItem()
{
    const QByteArray ini = ShippedIniWith("English", "About Title", nullptr);
    CTestInstall install(kEverything, ini.constData());
    QVERIFY(install.Start());
    const QList<QMenu*> menu = install.App()->MainFrame()->CurrentMenu();
    QAction* about = menu.at(5)->actions().value(1);
    QVERIFY(about);
    QCOMPARE(about->property("commandId").toInt(), 57664);
    QCOMPARE(about->text(), QString());

    QString caption = QStringLiteral("not opened");
    QTimer::singleShot(0, [&caption] {
        if (QWidget* box = QApplication::activeModalWidget()) {
            caption = box->windowTitle();
            box->close();
        }
    });
    about->trigger();
    QCOMPARE(caption, QString());
}

void StartupTest::appNameMissingPutsValuesUnderSoftware()
{
    const QByteArray ini = ShippedIniWith("Setup", "AppName", nullptr);
    CTestInstall install(kEverything, ini.constData());
    RadioImage image = MakeNewImage();
    image[ImageMap::kRadioType] = 2;
    image[ImageMap::kBandIndex] = 1;
    QCOMPARE(SaveDataFile(install.File("radio.dat").toStdString(), image), DataFileResult::Ok);

    QVERIFY(install.Start({install.File("radio.dat")}));
    QCOMPARE(CUserStore::ForApplication().KeyPath(), std::string("Software\\"));
    QVERIFY(install.UserStoreText().contains("[Software\\]"));
    QCOMPARE(CUserStore("software\\").QueryDword("TYPE", 99), 2u);
    QCOMPARE(CUserStore("Software\\").QueryDword("field", 99), 1u);
}

void StartupTest::newDocumentTakesTypeAndBandFromTheUserStore()
{
    CTestInstall install;
    QVERIFY(install.Start());
    QCOMPARE(g_strMainTitle, QStringLiteral("QM-350 Programmer  [ Type:QM-350  Fre:136 - 174MHz ]"));
    QCOMPARE(install.App()->MainWindow()->windowTitle(), g_strMainTitle);
    CProgramDoc* document = install.App()->MainFrame()->MDIGetActive()->GetDocument();
    QCOMPARE(int(document->Image()[ImageMap::kRadioType]), 0);
    QCOMPARE(int(document->Image()[ImageMap::kBandIndex]), 0);
    QCOMPARE(document->GetTitle(), QStringLiteral("Channel Information"));
    QCOMPARE(int(g_byNewDocument), 1);
    install.Stop();

    CUserStore("Software\\QM-350").SetDword("Type", 1);
    CUserStore("Software\\QM-350").SetDword("Field", 5); // past the list: its last band
    const QByteArray ini = ShippedIniWith("Setup", "Language", "Chinese");
    install.WriteFile("Program.ini", ini);
    QVERIFY(install.Start());
    QCOMPARE(g_strMainTitle, QStringLiteral("QM-350 写频软件  [ 类型:QM-350S  频率:400 - 470MHz ]"));
    QCOMPARE(install.App()->MainFrame()->MDIGetActive()->GetDocument()->GetTitle(), QStringLiteral("信道信息"));
}

void StartupTest::commandLineOpensADataFile()
{
    CTestInstall install;
    RadioImage image = MakeNewImage();
    image[ImageMap::kRadioType] = 2;
    image[ImageMap::kBandIndex] = 1;
    image[0x3F0] = 0x5A;
    QCOMPARE(SaveDataFile(install.File("radio.dat").toStdString(), image), DataFileResult::Ok);

    QVERIFY(install.Start({install.File("radio.dat")}));
    CMainFrame* frame = install.App()->MainFrame();
    QCOMPARE(frame->ChildFrames().size(), 1);
    QCOMPARE(frame->MDIGetActive()->GetDocument()->Image(), image);
    QCOMPARE(int(g_byNewDocument), 0);
    QCOMPARE(g_strMainTitle, QStringLiteral("QM-350 Programmer  [ Type:QM-360  Fre:430 - 440MHz ]"));
    QCOMPARE(CUserStore::ForApplication().QueryDword("Type", 99), 2u);
}

void StartupTest::commandLineFailures_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("chinese");
    QTest::addColumn<QString>("message"); // %1: the file's path

    QByteArray wrongMagic = QByteArray(1040, '\xFF');
    wrongMagic.replace(0, 16, QByteArray("T594", 4) + QByteArray(12, '\0'));
    const QByteArray header = QByteArray("T593", 4) + QByteArray(12, '\0');
    QTest::newRow("wrong magic") << wrongMagic << false << "Data Format Error\n%1";
    QTest::newRow("wrong magic, Chinese") << wrongMagic << true << QString::fromUtf8("数据格式不正确\n%1");
    QTest::newRow("header only") << header << false << "%1 is not a complete data file (shorter than 1040 bytes).";
    QTest::newRow("one byte short, Chinese")
        << (header + QByteArray(1023, '\xFF')) << true << QString::fromUtf8("%1 不是完整的数据文件(不足 1040 字节)。");
    QTest::newRow("missing file") << QByteArray() << false
                                  << "Failed to open the document.\ncannot open %1: No such file or directory";
}

void StartupTest::commandLineFailures()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, chinese);
    QFETCH(QString, message);

    CTestInstall install;
    if (chinese)
        install.WriteFile("Program.ini", ShippedIniWith("Setup", "Language", "Chinese"));
    if (!content.isEmpty())
        install.WriteFile("radio.dat", content);
    // The failure is reported and the program goes on with a new document.
    QVERIFY(install.Start({install.File("radio.dat")}));
    CMainFrame* frame = install.App()->MainFrame();
    QCOMPARE(frame->ChildFrames().size(), 1);
    QVERIFY(frame->MDIGetActive()->GetDocument()->GetPathName() != install.File("radio.dat"));
    QCOMPARE(int(g_byNewDocument), 1);
    QCOMPARE(install.prompter.messages.size(), 1);
    QCOMPARE(install.prompter.messages[0].text, message.arg(install.File("radio.dat")));
}

void StartupTest::commandLineRefusesWhatIsNotAFileAtOnce()
{
    // A FIFO would block an open() for ever: the alarm ends this test (and
    // fails it) instead of hanging the suite.
    CTestInstall install;
    const QString fifo = install.File("fifo.dat");
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0644), 0);
    QDir().mkpath(install.File("folder.dat"));
    for (const QString& path : {fifo, install.File("folder.dat")}) {
        ::alarm(30);
        QVERIFY(install.Start({path}));
        ::alarm(0);
        QCOMPARE(install.prompter.messages.size(), 1);
        QCOMPARE(install.prompter.messages[0].text,
                 QStringLiteral("Failed to open the document.\n%1: not a regular file").arg(path));
        QCOMPARE(int(g_byNewDocument), 1);
        install.Stop();
        install.prompter.messages.clear();
    }
}

void StartupTest::bundleFailureSaysWhatWasTried()
{
    CTestInstall install;
    install.WriteFile("Program.ini", ShippedIniWith("Setup", "Language", "Klingon"));
    // Standard error goes to a file while the program starts.
    const QString log = install.File("stderr.txt");
    std::fflush(stderr);
    const int saved = ::dup(2);
    const int file = ::open(QFile::encodeName(log).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ::dup2(file, 2);
    const bool started = install.Start();
    std::cerr.flush();
    ::dup2(saved, 2);
    ::close(saved);
    ::close(file);
    QVERIFY(!started);
    QCOMPARE(install.prompter.messages.size(), 1);
    QCOMPARE(install.prompter.messages[0].text, QStringLiteral("Load language DLL fail"));
    const QString said = install.ReadFile("stderr.txt");
    QVERIFY2(said.contains(install.File("Klingon.rcc")), qPrintable(said));
    QVERIFY2(said.contains("Language=Klingon"), qPrintable(said));
    QCOMPARE(said.count('\n'), 1);
}

void StartupTest::nameThatIsNotUtf8OpensAndSaves()
{
    // The system's name has a byte that is not UTF-8; Qt hands the program
    // the name with U+FFFD in its place.
    CTestInstall install;
    const QByteArray raw = QFile::encodeName(install.Dir()) + "/radio-\xff\xfe.dat";
    RadioImage image = MakeNewImage();
    image[0x3F0] = 0x5A;
    QCOMPARE(SaveDataFile(raw.toStdString(), image), DataFileResult::Ok);
    const QString name = QFile::decodeName(raw);
    QVERIFY(QFile::encodeName(name) != raw);

    QVERIFY(install.Start({name}));
    QVERIFY(install.prompter.messages.isEmpty());
    CProgramDoc* document = install.App()->MainFrame()->MDIGetActive()->GetDocument();
    QCOMPARE(document->Image(), image);
    QCOMPARE(int(g_byNewDocument), 0);

    document->Apply(QStringLiteral("Edit"), CProgramDoc::Change::Bytes, [](DocumentChannels& channels) {
        channels.Image()[0x3F0] = 0xA5;
        return true;
    });
    QVERIFY(document->OnSaveDocument(document->GetPathName()));
    RadioImage saved{};
    QCOMPARE(LoadDataFile(raw.toStdString(), saved), DataFileResult::Ok);
    QCOMPARE(saved[0x3F0], std::uint8_t(0xA5));
    // Nothing else was written beside it (no file under the U+FFFD name).
    int entries = 0;
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(install.Dir().toStdString(), ignored))
        entries += entry.path().filename().string().rfind("radio-", 0) == 0;
    QCOMPARE(entries, 1);
}

void StartupTest::failedSaveNamesTheSystemsReason()
{
    CTestInstall install;
    QVERIFY(install.Start());
    CProgramDoc* document = install.App()->MainFrame()->MDIGetActive()->GetDocument();
    const QString path = install.File("radio.dat");
    install.WriteFile("radio.dat", "old");
    struct Case
    {
        int error;
        const char* reason;
    };
    for (const Case c : {Case{ENOSPC, "No space left on device"}, Case{EROFS, "Read-only file system"},
                         Case{EACCES, "Permission denied"}}) {
        install.prompter.messages.clear();
        {
            ScopedAtomicWriteFailure failure(AtomicWriteStep::Sync, c.error);
            QVERIFY(!document->OnSaveDocument(path));
        }
        QCOMPARE(install.prompter.messages.size(), 1);
        QCOMPARE(install.prompter.messages[0].text,
                 QStringLiteral("Failed to save the document.\ncannot write %1: %2").arg(path, c.reason));
        QCOMPARE(install.ReadFile("radio.dat"), QStringLiteral("old"));
    }
    // A target that is not a regular file is never replaced.
    const QString fifo = install.File("fifo.dat");
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0644), 0);
    install.prompter.messages.clear();
    QVERIFY(!document->OnSaveDocument(fifo));
    QCOMPARE(install.prompter.messages.value(0).text,
             QStringLiteral("Failed to save the document.\n%1: not a regular file").arg(fifo));
    QVERIFY(QFileInfo(fifo).exists() && !QFileInfo(fifo).isFile());
}

// The install's layout: Program with its files in one directory, and
// bin/radio-programmer, a link to it, found on PATH.
struct LinkedInstall
{
    CTestInstall install;
    QTemporaryDir outside; // holds bin/ and the current directory
    QString link;
    QString cwd;

    LinkedInstall()
    {
        install.WriteFile("Program", "#!/bin/sh\n");
        QFile::setPermissions(install.ExecutablePath(), QFile::permissions(install.ExecutablePath()) |
                                                            QFileDevice::ExeOwner | QFileDevice::ExeUser);
        QDir(outside.path()).mkpath("bin");
        QDir(outside.path()).mkpath("work");
        link = outside.path() + "/bin/radio-programmer";
        QFile::link(install.ExecutablePath(), link);
        // A Program.ini in the current directory that must not be read.
        cwd = outside.path() + "/work";
        QFile decoy(cwd + "/Program.ini");
        decoy.open(QIODevice::WriteOnly);
        decoy.write("[Setup]\r\nLanguage=Chinese\r\nShowLang=1\r\n");
    }
};

void StartupTest::startedByNameThroughALink()
{
    LinkedInstall linked;
    const QString old = QDir::currentPath();
    QDir::setCurrent(linked.cwd);
    // argv[0] is the bare name; the executable is reported through the link.
    const bool started = linked.install.StartAs("radio-programmer", linked.link);
    QDir::setCurrent(old);
    QVERIFY(started);
    const QString dir = QFileInfo(linked.install.Dir()).canonicalFilePath();
    QCOMPARE(g_strAppDir, dir + '/');
    QCOMPARE(QString::fromStdString(g_iniFile.FilePath()), dir + "/Program.ini");
    QCOMPARE(QString::fromStdString(g_strLanguage), QStringLiteral("English"));
    QCOMPARE(QFile(linked.cwd + "/Program.ini").size(), qint64(39));
}

void StartupTest::languageRestartsTheProgramOfTheApplicationDirectory()
{
    LinkedInstall linked;
    linked.install.WriteFile("Program.ini", ShippedIniWith("Setup", "ShowLang", "1"));
    const QString old = QDir::currentPath();
    QDir::setCurrent(linked.cwd);
    const bool started = linked.install.StartAs("radio-programmer", linked.link);
    QDir::setCurrent(old);
    QVERIFY(started);
    CMainFrame* frame = linked.install.App()->MainFrame();
    frame->show();
    QVERIFY(QTest::qWaitForWindowExposed(frame));
    QPointer<CProgramDoc> document = frame->MDIGetActive()->GetDocument();

    // The Language command through the menu route; its dialog gets Chinese and OK.
    bool answered = false;
    QTimer::singleShot(0, [&answered] {
        QWidget* dialog = QApplication::activeModalWidget();
        for (QRadioButton* button : dialog ? dialog->findChildren<QRadioButton*>() : QList<QRadioButton*>()) {
            if (button->property("ctrlId").toInt() == 1007)
                button->setChecked(true);
        }
        if (auto* language = qobject_cast<QDialog*>(dialog)) {
            answered = true;
            language->accept();
        }
    });
    frame->OnCommand(32799);
    QVERIFY(answered);

    const QString dir = QFileInfo(linked.install.Dir()).canonicalFilePath();
    QCOMPARE(linked.install.started, QStringList{dir + "/Program"});
    QVERIFY(linked.install.ReadFile("Program.ini").contains("Language=Chinese\r\n"));
    QVERIFY(!frame->isVisible());
    QVERIFY(frame->ChildFrames().isEmpty());
    QVERIFY(!document);
    QCOMPARE(QFile(linked.cwd + "/Program.ini").size(), qint64(39));
}

QTEST_MAIN(StartupTest)
#include "startup_test.moc"
