// A document and its view made without the application: a small fake hands
// them the main window, the caption, the printer, the channel window in
// front and the restart, and the tests check that they use what they were
// given.

#include "GuiTestSupport.h"

#include "app/ProgramApp.h"
#include "base/AppServices.h"
#include "base/ControlId.h"
#include "base/Globals.h"
#include "base/LanguageResources.h"
#include "base/ResourceIds.h"
#include "channels/ProgramView.h"
#include "core/document/DataFile.h"
#include "document/ProgramDoc.h"
#include "settings/LanguageDlg.h"

#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QRadioButton>
#include <QTimer>
#include <QtTest>

namespace {

class CFakeAppServices : public IAppServices
{
public:
    QWidget* MainWindow() const override { return m_main.get(); }
    QString AppName() const override { return QStringLiteral("Fake Radio Company"); }
    QPrinter* Printer() override { return &m_printer; }
    QWidget* ActiveChannelWindow() const override { return m_front; }
    void CloseAndRestart() override { ++restarts; }

    std::unique_ptr<QWidget> m_main = std::make_unique<QWidget>();
    QPrinter m_printer{QPrinter::HighResolution};
    QWidget* m_front = nullptr;
    int restarts = 0;
};

} // namespace

class AppServicesTest : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void saveQuestionUsesTheGivenCaption();
    void openClosesTheChannelWindowInFront();
    void viewPrintsOnTheGivenPrinter();
    void languageChangeRestartsThroughTheServices();

private:
    std::unique_ptr<CTestInstall> m_install;
    CLanguageResources m_resources;
    CFakeAppServices m_app;
};

void AppServicesTest::init()
{
    // The globals start-up would set, without an application object.
    m_install = std::make_unique<CTestInstall>();
    ResetGlobals();
    g_iniFile.Load(m_install->File("Program.ini").toStdString(), true, true);
    g_strLanguage = "English";
    g_byLanguage = 0;
    g_strAppDir = m_install->Dir() + '/';
    QVERIFY(m_resources.Load(m_install->File("English.rcc")));
    g_pResources = &m_resources;
    SetPrompter(&m_install->prompter);
}

void AppServicesTest::cleanup()
{
    SetPrompter(nullptr);
    m_resources.Unload();
    ResetGlobals();
    m_install.reset();
}

void AppServicesTest::saveQuestionUsesTheGivenCaption()
{
    CProgramDoc document(m_app);
    QVERIFY(document.OnNewDocument());
    document.SetModifiedFlag();
    m_install->prompter.answers = {PromptAnswer::Discard};
    QVERIFY(document.SaveModified());
    QCOMPARE(m_install->prompter.messages.size(), 1);
    QCOMPARE(m_install->prompter.messages.first().caption, QStringLiteral("Fake Radio Company"));
    QCOMPARE(m_install->prompter.messages.first().text, QStringLiteral("Save changes to Channel Information?"));

    m_install->prompter.answers = {PromptAnswer::Cancel};
    QVERIFY(!document.SaveModified());
    QVERIFY(document.IsModified());
}

void AppServicesTest::openClosesTheChannelWindowInFront()
{
    RadioImage image = MakeNewImage();
    QVERIFY(SaveDataFile(m_install->File("a.dat").toStdString(), image) == DataFileResult::Ok);
    QWidget front;
    front.show();
    m_app.m_front = &front;

    CProgramDoc document(m_app);
    QVERIFY(OpenReplacingFront(document, m_install->File("a.dat"), m_app));
    QVERIFY(!front.isVisible());
    QCOMPARE(document.GetTitle(), QStringLiteral("a.dat"));

    // A file that cannot be read leaves the window in front alone.
    front.show();
    CProgramDoc other(m_app);
    QVERIFY(!OpenReplacingFront(other, m_install->File("missing.dat"), m_app));
    QVERIFY(front.isVisible());
    m_app.m_front = nullptr;
}

void AppServicesTest::viewPrintsOnTheGivenPrinter()
{
    CProgramDoc document(m_app);
    QVERIFY(document.OnNewDocument());
    CProgramView view(&document, m_app);
    view.OnInitialUpdate();
    QPrinter* used = nullptr;
    m_install->prompter.printPreview = [&](QPrintPreviewDialog& preview) { used = preview.printer(); };
    view.OnCmdMsg(Ids::ID_FILE_PRINT_PREVIEW, nullptr);
    QCOMPARE(used, &m_app.m_printer);
}

void AppServicesTest::languageChangeRestartsThroughTheServices()
{
    CProgramDoc document(m_app);
    QVERIFY(document.OnNewDocument());
    CProgramView view(&document, m_app);
    view.OnInitialUpdate();
    // The modal Language dialog is answered once it is up: Chinese, OK.
    QTimer::singleShot(0, this, [&view] {
        CLanguageDlg* dialog = view.LanguageDialog();
        for (QRadioButton* button : dialog->findChildren<QRadioButton*>())
            if (ControlId(button) == 1007)
                button->setChecked(true);
        dialog->accept();
    });
    view.OnCmdMsg(Ids::ID_LANGUAGE, nullptr);
    QCOMPARE(m_app.restarts, 1);
    QVERIFY(m_install->ReadFile("Program.ini").contains("Language=Chinese\r\n"));
}

QTEST_MAIN(AppServicesTest)
#include "app_services_test.moc"
