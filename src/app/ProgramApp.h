#pragma once
// The application object: start-up (configuration, language, main frame,
// first document, menus dressed from the configuration), the commands of the
// application (New, Open, Print Setup, About, Exit) and shutdown.

#include "base/AppServices.h"
#include "base/CmdTarget.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class CLanguageResources;
class CMainFrame;
class CProgramDoc;
class QPrinter;
class QWidget;

class CProgramApp : public QObject, public CCmdTarget, public IAppServices
{
    Q_OBJECT
public:
    // arguments: the command line as given, the invocation path first.
    // executablePath: the executable's full file name; its real directory
    // (links resolved) is the application directory, where Program.ini, the
    // language bundles, help sets and pictures are found.
    CProgramApp(QStringList arguments, QString executablePath);
    ~CProgramApp() override;

    // Start-up; false when the program is to end at once.
    bool InitInstance();
    // Shutdown; returns the exit status.
    int ExitInstance();

    CMainFrame* MainFrame() const { return m_pMainFrame.get(); }
    QWidget* MainWindow() const override;
    QString AppName() const override { return m_strAppName; }
    QWidget* ActiveChannelWindow() const override;

    // A new document (empty path) or the data file at path, in a new channel
    // window; null when it could not be made or opened (already reported).
    // An opened file goes to the front of the recent files.
    CProgramDoc* OpenDocumentFile(const QString& path);

    void OnFileNew();
    void OnFileOpen();
    void OnFilePrintSetup();
    void OnAppAbout();
    // Opens entry index (from 0) of File > Recent Files.
    void OnOpenRecentFile(int index);

    // Closes the main window and starts the program again, which then reads
    // the language just chosen. The documents that have a file (after the
    // save question) are handed to the new instance in their order, the
    // active one last, so it opens them again with that one in front.
    void CloseAndRestart() override;
    // Starts a program detached with arguments; tests replace it.
    std::function<bool(const QString& program, const QStringList& arguments)> m_startProgram;

    bool OnCmdMsg(int id, CCmdUI* ui) override;

    QPrinter* Printer() override;

protected:
    // Gives the keyboard back to the window below a dialog that closes.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool LoadLanguageBundle();

    QStringList m_arguments;
    QString m_executablePath;
    QString m_strAppName = QStringLiteral("Program");
    std::unique_ptr<CLanguageResources> m_pResources;
    std::unique_ptr<CMainFrame> m_pMainFrame;
    std::unique_ptr<QPrinter> m_pPrinter;
};

// The one application object of the process, null outside its lifetime; for
// main() and the application's own files only; everything else is handed
// the services it needs.
extern CProgramApp* theApp;

// The open step of a document: reads the data file into it and, when that
// succeeds, replaces the channel window in front of the workspace.
bool OpenReplacingFront(CProgramDoc& document, const QString& path, IAppServices& app);
