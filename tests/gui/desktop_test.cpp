// The program as a desktop program: the language kept for a user who cannot
// write Program.ini, the documents reopened after the language restart, the
// recent files, folders and window state kept between sessions, and the
// Linux shortcuts.

#include "GuiTestSupport.h"

#include "app/ProgramApp.h"
#include "base/ContextHelp.h"
#include "base/Globals.h"
#include "base/ResourceIds.h"
#include "base/UserStore.h"
#include "channels/ProgramView.h"
#include "core/document/DataFile.h"
#include "document/ProgramDoc.h"
#include "frame/ChildFrame.h"
#include "frame/MainFrame.h"
#include "frame/NavigationBar.h"
#include "settings/LanguageDlg.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QPrinter>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>

namespace {

// Writes a data file holding a new image.
QString WriteDataFile(const CTestInstall& install, const QString& name)
{
    const QString path = install.File(name);
    SaveDataFile(QFile::encodeName(path).toStdString(), MakeNewImage());
    return path;
}

// The file names of the open documents, in window order, and of the active one.
QStringList OpenFiles(CMainFrame* frame)
{
    QStringList files;
    for (CChildFrame* child : frame->ChildFrames())
        files.append(QFileInfo(child->GetDocument()->GetPathName()).fileName());
    return files;
}

QString ActiveFile(CMainFrame* frame)
{
    CChildFrame* active = frame->MDIGetActive();
    return active ? QFileInfo(active->GetDocument()->GetPathName()).fileName() : QString();
}

// The entries File > Recent Files shows now.
QStringList RecentMenu(CMainFrame* frame)
{
    QMenu* recent = nullptr;
    for (QAction* action : frame->CurrentMenu().at(0)->actions())
        if (action->menu())
            recent = action->menu();
    if (!recent)
        return {"(no Recent Files menu)"};
    emit recent->aboutToShow();
    QStringList entries;
    for (QAction* action : recent->actions())
        entries.append(action->text() + (action->isEnabled() ? "" : " [disabled]"));
    return entries;
}

// A Program beside the configuration, so that the restart is asked for.
void MakeRestartable(const CTestInstall& install)
{
    install.WriteFile(QFileInfo(install.ExecutablePath()).fileName(), "#!/bin/sh\n");
    QFile::setPermissions(install.ExecutablePath(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

} // namespace

class DesktopTest : public QObject
{
    Q_OBJECT
private slots:
    void languageForAUserWhoCannotWriteProgramIni();
    void restartReopensTheDocumentsWithAFile();
    void recentFilesAfterARestart();
    void dialogsStartInTheLastFolder();
    void printProposesAPdfBesideTheDocument();
    void windowStateIsKeptBetweenSessions();
    void ctrlQWithAnUnsavedEditAsks();
    void helpTopicsOpensTheContents();
};

void DesktopTest::languageForAUserWhoCannotWriteProgramIni()
{
    CTestInstall install;
    MakeRestartable(install);
    // A Program.ini nobody may write, as in a system-wide install.
    QFile::setPermissions(install.File("Program.ini"), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    const QString before = install.ReadFile("Program.ini");
    QVERIFY(install.Start());
    CMainFrame* frame = install.App()->MainFrame();

    // Setup > Language, 中文, OK.
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<CLanguageDlg*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        for (QRadioButton* button : dialog->findChildren<QRadioButton*>())
            button->setChecked(button->property("ctrlId").toInt() == 1007);
        dialog->accept();
    });
    frame->OnCommand(Ids::ID_LANGUAGE);

    QCOMPARE(install.prompter.messages.size(), 0);
    QCOMPARE(install.started.size(), 1);
    QCOMPARE(install.ReadFile("Program.ini"), before);
    QVERIFY(install.UserStoreText().contains("Language=Chinese"));

    // The new instance runs in Chinese, and so does every later one.
    for (int run = 0; run < 2; ++run) {
        QVERIFY(install.Start(install.startedArguments.value(0)));
        QCOMPARE(g_byLanguage, static_cast<unsigned char>(1));
        QCOMPARE(install.App()->MainFrame()->CurrentMenu().at(0)->title(), QStringLiteral("文件(&F)"));
        QCOMPARE(RecentMenu(install.App()->MainFrame()).value(0), QStringLiteral("(无) [disabled]"));
    }
}

void DesktopTest::restartReopensTheDocumentsWithAFile()
{
    CTestInstall install;
    MakeRestartable(install);
    const QString a = WriteDataFile(install, "a.dat");
    const QString b = WriteDataFile(install, "b.dat");
    const QString c = WriteDataFile(install, "c.dat");
    QVERIFY(install.Start({a, b, c}));
    CMainFrame* frame = install.App()->MainFrame();
    QCOMPARE(OpenFiles(frame), (QStringList{"a.dat", "b.dat", "c.dat"}));
    QCOMPARE(ActiveFile(frame), QStringLiteral("c.dat"));

    // b is worked in last; a has an unsaved edit that is saved at the
    // question; a new document that is never saved stays behind.
    frame->ActivateFrame(frame->ChildFrames().at(1));
    frame->ChildFrames().at(0)->GetDocument()->SetModifiedFlag();
    install.App()->OpenDocumentFile(QString());
    frame->ActivateFrame(frame->ChildFrames().at(1));
    install.prompter.answers = {PromptAnswer::Save};
    install.App()->CloseAndRestart();
    QCOMPARE(install.prompter.messages.size(), 1);
    QCOMPARE(install.startedArguments.size(), 1);
    const QStringList arguments = install.startedArguments.at(0);
    QCOMPARE(arguments, (QStringList{QFileInfo(a).absoluteFilePath(), QFileInfo(c).absoluteFilePath(),
                                     QFileInfo(b).absoluteFilePath()}));

    QVERIFY(install.Start(arguments));
    frame = install.App()->MainFrame();
    QCOMPARE(OpenFiles(frame), (QStringList{"a.dat", "c.dat", "b.dat"}));
    QCOMPARE(ActiveFile(frame), QStringLiteral("b.dat"));
}

void DesktopTest::recentFilesAfterARestart()
{
    CTestInstall install;
    const QString a = WriteDataFile(install, "a.dat");
    const QString b = install.File("b&c.dat");
    QVERIFY(install.Start());
    CMainFrame* frame = install.App()->MainFrame();
    QCOMPARE(RecentMenu(frame), (QStringList{"(none) [disabled]"}));
    QVERIFY(install.App()->OpenDocumentFile(a));
    install.prompter.fileNames = {b};
    frame->OnCommand(Ids::ID_FILE_SAVE_AS);
    QVERIFY(QFile::exists(b));

    install.Stop();
    QVERIFY(install.Start());
    frame = install.App()->MainFrame();
    // The menu shows the system's own separators.
    const QStringList listed = {"&1 " + QDir::toNativeSeparators(QFileInfo(b).absoluteFilePath()).replace('&', "&&"),
                                "&2 " + QDir::toNativeSeparators(QFileInfo(a).absoluteFilePath())};
    QCOMPARE(RecentMenu(frame), listed);

    // A file that has gone is reported when chosen and leaves the list; one
    // that is there opens and moves to the front.
    QVERIFY(QFile::remove(b));
    frame->OnCommand(Ids::ID_FILE_MRU_FILE1);
    QCOMPARE(install.prompter.messages.size(), 1);
    QVERIFY(install.prompter.messages[0].text.contains("b&c.dat"));
    QCOMPARE(RecentMenu(frame), (QStringList{"&1 " + QDir::toNativeSeparators(QFileInfo(a).absoluteFilePath())}));
    frame->OnCommand(Ids::ID_FILE_MRU_FILE1);
    QCOMPARE(ActiveFile(frame), QStringLiteral("a.dat"));
    // An entry past the list is not offered.
    CCmdUI ui(Ids::ID_FILE_MRU_FILE1 + 1);
    QVERIFY(frame->RouteCommand(Ids::ID_FILE_MRU_FILE1 + 1, &ui));
    QVERIFY(!ui.m_bEnabled);
}

void DesktopTest::dialogsStartInTheLastFolder()
{
    CTestInstall install;
    QVERIFY(QDir(install.Dir()).mkdir("radios"));
    const QString a = WriteDataFile(install, "radios/a.dat");
    QVERIFY(install.Start());
    CMainFrame* frame = install.App()->MainFrame();
    install.prompter.fileNames = {a};
    frame->OnCommand(Ids::ID_FILE_OPEN);
    QCOMPARE(ActiveFile(frame), QStringLiteral("a.dat"));

    install.Stop();
    QVERIFY(install.Start());
    frame = install.App()->MainFrame();
    frame->OnCommand(Ids::ID_FILE_OPEN); // cancelled
    // Save As of the new document proposes its name in that folder.
    frame->OnCommand(Ids::ID_FILE_SAVE_AS);
    const QString folder = install.Dir() + "/radios";
    QCOMPARE(install.prompter.dialogStarts.size(), 3);
    QCOMPARE(install.prompter.dialogStarts.at(0), QString()); // never used before
    QCOMPARE(install.prompter.dialogStarts.at(1), folder);
    QCOMPARE(QFileInfo(install.prompter.dialogStarts.at(2)).absolutePath(), folder);
}

void DesktopTest::printProposesAPdfBesideTheDocument()
{
    CTestInstall install;
    QVERIFY(QDir(install.Dir()).mkdir("radios"));
    const QString a = WriteDataFile(install, "radios/club.net.dat");
    QVERIFY(install.Start());
    CMainFrame* frame = install.App()->MainFrame();
    frame->OnCommand(Ids::ID_FILE_PRINT); // a new document: no folder of its own
    QVERIFY(install.App()->OpenDocumentFile(a));
    frame->OnCommand(Ids::ID_FILE_PRINT);
    QCOMPARE(install.prompter.printDialogs, 2);
    QCOMPARE(install.prompter.dialogStarts, (QStringList{QString(), QFileInfo(a).absolutePath() + "/club.net.pdf"}));
    QCOMPARE(install.App()->Printer()->docName(), QStringLiteral("club.net"));
}

void DesktopTest::windowStateIsKeptBetweenSessions()
{
    CTestInstall install;
    QVERIFY(install.Start());
    CMainFrame* frame = install.App()->MainFrame();
    QVERIFY(frame->isMaximized()); // the first start
    frame->showNormal();
    frame->setGeometry(40, 50, 700, 420);
    frame->NavigationBar()->SetBarWidth(300);
    frame->OnCommand(Ids::ID_APP_EXIT);
    QVERIFY(!frame->isVisible());

    install.Stop();
    QVERIFY(install.Start());
    frame = install.App()->MainFrame();
    QVERIFY(!frame->isMaximized());
    QCOMPARE(frame->size(), QSize(700, 420));
    QCOMPARE(frame->NavigationBar()->BarWidth(), 300);

    frame->showMaximized();
    frame->OnCommand(Ids::ID_APP_EXIT);
    install.Stop();
    QVERIFY(install.Start());
    QVERIFY(install.App()->MainFrame()->isMaximized());
}

void DesktopTest::ctrlQWithAnUnsavedEditAsks()
{
    CTestInstall install;
    QVERIFY(install.Start());
    CMainFrame* frame = install.App()->MainFrame();
    frame->show();
    QVERIFY(QTest::qWaitForWindowExposed(frame));
    frame->activateWindow();
    CProgramView* view = frame->MDIGetActive()->GetActiveView();
    view->GetDocument()->SetModifiedFlag();
    view->setFocus();
    QTRY_VERIFY(view == QApplication::focusWidget() || view->isAncestorOf(QApplication::focusWidget()));
    install.prompter.answers = {PromptAnswer::Cancel};
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Q, Qt::ControlModifier);
    QCOMPARE(install.prompter.messages.size(), 1);
    QVERIFY(install.prompter.messages[0].text.startsWith("Save changes to"));
    QVERIFY(frame->isVisible());

    install.prompter.answers = {PromptAnswer::Discard};
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Q, Qt::ControlModifier);
    QCOMPARE(install.prompter.messages.size(), 2);
    QVERIFY(!frame->isVisible());
}

void DesktopTest::helpTopicsOpensTheContents()
{
    CTestInstall install;
    QVERIFY(install.Start());
    install.App()->MainFrame()->OnCommand(Ids::ID_HELP_FINDER);
    QVERIFY(HelpViewer());
    QCOMPARE(HelpViewer()->CurrentSource().fileName(), QStringLiteral("index.html"));
}

QTEST_MAIN(DesktopTest)
#include "desktop_test.moc"
