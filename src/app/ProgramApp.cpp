#include "app/ProgramApp.h"

#include "app/AboutDlg.h"
#include "app/ProgramStyle.h"
#include "base/Globals.h"
#include "base/LanguageResources.h"
#include "base/Prompter.h"
#include "base/Remembered.h"
#include "base/ResourceIds.h"
#include "base/UserStore.h"
#include "core/app/LanguageChoice.h"
#include "core/channels/DecimalArithmetic.h"
#include "document/ProgramDoc.h"
#include "frame/ChildFrame.h"
#include "frame/FrameBars.h"
#include "frame/MainFrame.h"
#include "link/TransferBusy.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QIcon>
#include <QPageSetupDialog>
#include <QPointer>
#include <QPrinter>
#include <QProcess>
#include <QTimer>

#include <iostream>

CProgramApp* theApp = nullptr;

namespace {

// The bundle file of a language in dir. The name is matched exactly first,
// then without regard to case, as file names are found on systems whose
// file names ignore case.
QString BundlePath(const QString& dir, const QString& fileName)
{
    if (fileName.contains('/'))
        return QString();
    const QString exact = dir + '/' + fileName;
    if (QFileInfo(exact).isFile())
        return exact;
    const QStringList entries = QDir(dir).entryList(QDir::Files | QDir::Hidden);
    for (const QString& entry : entries) {
        if (entry.compare(fileName, Qt::CaseInsensitive) == 0)
            return dir + '/' + entry;
    }
    return QString();
}

} // namespace

CProgramApp::CProgramApp(QStringList arguments, QString executablePath)
    : m_arguments(std::move(arguments))
    , m_executablePath(std::move(executablePath))
{
    theApp = this;
    SetAppMessageBoxOwner(this);
    m_startProgram = [](const QString& program, const QStringList& arguments) {
        return QProcess::startDetached(program, arguments);
    };
}

CProgramApp::~CProgramApp()
{
    m_pMainFrame.reset();
    if (g_pResources == m_pResources.get())
        g_pResources = nullptr;
    if (theApp == this)
        theApp = nullptr;
    SetAppMessageBoxOwner(nullptr);
}

QWidget* CProgramApp::MainWindow() const
{
    return m_pMainFrame.get();
}

QWidget* CProgramApp::ActiveChannelWindow() const
{
    return m_pMainFrame ? m_pMainFrame->MDIGetActive() : nullptr;
}

bool CProgramApp::LoadLanguageBundle()
{
    const QString dir = g_strAppDir.chopped(1);
    const QString fileName = ConfigText(g_strLanguage) + QStringLiteral(".rcc");
    const QString path = BundlePath(dir, fileName);
    auto resources = std::make_unique<CLanguageResources>();
    if (path.isEmpty() || !resources->Load(path)) {
        // The box says only that it failed; the terminal says what was tried.
        std::cerr << "Program: cannot load the language bundle "
                  << QFile::encodeName(path.isEmpty() ? dir + '/' + fileName : path).toStdString()
                  << " (Language=" << g_strLanguage << " in section Setup of " << g_iniFile.FilePath() << ")\n";
        return false;
    }
    m_pResources = std::move(resources);
    g_pResources = m_pResources.get();
    return true;
}

bool CProgramApp::InitInstance()
{
    // The application directory is settled first and once: the real
    // executable's directory, whether the program was started through a
    // link or by a bare name found on PATH. Program.ini, the bundles, the
    // help sets, the pictures and the restart all come from it, so the
    // Program.ini that the Language command writes is the one read after
    // the restart.
#ifdef Q_OS_WIN
    // File names are UTF-8 inside the program, whatever the code page; Qt
    // takes them with '/'.
    const std::string programPath = m_executablePath.toStdString();
    g_strAppDir = QDir::fromNativeSeparators(QString::fromStdString(ProgramDirectory(programPath))) + '/';
#else
    const std::string programPath = m_executablePath.toLocal8Bit().toStdString();
    g_strAppDir = QString::fromLocal8Bit(ProgramDirectory(programPath)) + '/';
#endif

    // 1. Configuration; a file that cannot be read leaves the store empty.
    g_iniFile.LoadBesideProgram(programPath, "Program.ini", true, true);

    // 2, 3. Language name, flag and help set.
    // A per-user choice (made where Program.ini cannot be written) takes the
    // place of Program.ini's Language.
    g_strLanguage = StartupLanguageName(g_iniFile, CUserStore::ForApplication().Values());
    g_byLanguage = IsChineseLanguageName(g_strLanguage) ? 1 : 0;
    g_strHelpFile = g_byLanguage ? "chHelp" : "enHelp";

    // 4, 5. The language bundle becomes the source of every resource.
    if (!LoadLanguageBundle()) {
        AppMessageBox(Lang("Load language DLL fail", "加载语言链接库失败"), PromptButtons::Ok);
        return false;
    }

    // 8. Framework set-up: the program's look, and fonts. Chinese texts need
    // a CJK face: the simplified-Chinese one is named, or the font matcher
    // may pick Japanese shapes under some locales.
    if (!dynamic_cast<CProgramStyle*>(QApplication::style()))
        QApplication::setStyle(new CProgramStyle);
    QFont font = QApplication::font();
    if (!font.families().contains(QStringLiteral("Noto Sans CJK SC"))) {
        font.setFamilies({font.family(), QStringLiteral("Noto Sans CJK SC")});
        QApplication::setFont(font);
    }

    // 10. Main frame.
    m_pMainFrame = std::make_unique<CMainFrame>(*this, this);
    if (!m_pMainFrame->Create()) {
        m_pMainFrame.reset();
        return false;
    }

    // 11. Command line: nothing makes a new document, a name opens that file.
    // Several names (a restart after a language change hands over the open
    // documents) open in their order, the last one in front.
    if (m_arguments.size() < 2) {
        m_pMainFrame->OnCommand(Ids::ID_FILE_NEW);
        if (m_pMainFrame->ChildFrames().isEmpty()) {
            m_pMainFrame.reset();
            return false;
        }
    } else {
        bool opened = false;
        for (const QString& path : m_arguments.mid(1))
            opened = OpenDocumentFile(path) != nullptr || opened;
        // A file that cannot be opened has been reported; the program goes
        // on with a new document, as a file manager that offered it one of
        // its *.dat files expects.
        if (!opened && !OpenDocumentFile(QString())) {
            m_pMainFrame.reset();
            return false;
        }
    }

    // 12. Show the main window: as the user left it, else maximised.
    if (!m_pMainFrame->RestoreWindowState())
        m_pMainFrame->showMaximized();
    // Take the keyboard at once, so menus and accelerators answer from the
    // first key even where no window manager hands out the focus; the same
    // is done whenever a dialog or message box closes (eventFilter).
    m_pMainFrame->activateWindow();
    qApp->installEventFilter(this);

    // 13. Its large icon from the picture file, when there is one.
    const QIcon icon(g_strAppDir + QStringLiteral("title.ico"));
    if (!icon.isNull() && !icon.availableSizes().isEmpty())
        m_pMainFrame->setWindowIcon(icon);

    // 14. The company names the application in every message box.
    m_strAppName = LanguageText("Company");

    // 15, 16. The document menu, shared by every channel window for the
    // run: its About item shows the configured About title, and without
    // ShowLang the Language command is removed.
    CFrameBars* bars = m_pMainFrame->Bars();
    if (QAction* about = bars->MenuCommand(Ids::IDR_PROGRAMTYPE, Ids::ID_APP_ABOUT))
        about->setText(LanguageText("About Title"));
    if (ParseLeadingInteger(g_iniFile.GetValue("Setup", "ShowLang", "")) == 0)
        delete bars->MenuCommand(Ids::IDR_PROGRAMTYPE, Ids::ID_LANGUAGE);
    return true;
}

int CProgramApp::ExitInstance()
{
    m_pMainFrame.reset();
    if (m_pResources) {
        if (g_pResources == m_pResources.get())
            g_pResources = nullptr;
        m_pResources.reset();
    }
    return 0;
}

bool OpenReplacingFront(CProgramDoc& document, const QString& path, IAppServices& app)
{
    if (!document.OnOpenDocument(path))
        return false;
    // The channel window in front is sent a close request, which hides it.
    // The opened document's own window does not exist yet.
    if (QWidget* front = app.ActiveChannelWindow())
        front->close();
    return true;
}

CProgramDoc* CProgramApp::OpenDocumentFile(const QString& path)
{
    if (!path.isEmpty()) {
        // A file that is open already is brought to the front.
        const QString full = QFileInfo(path).absoluteFilePath();
        for (CChildFrame* frame : m_pMainFrame->ChildFrames()) {
            if (frame->GetDocument()->GetPathName() == full && QFileInfo::exists(full)) {
                m_pMainFrame->ActivateFrame(frame);
                return frame->GetDocument();
            }
        }
    }

    // Opening a file replaces the channel window in front: its unsaved
    // changes are offered for saving first, as New and Exit do.
    if (!path.isEmpty()) {
        if (CChildFrame* active = m_pMainFrame->MDIGetActive(); active && !active->GetDocument()->SaveModified())
            return nullptr;
    }

    auto document = std::make_unique<CProgramDoc>(*this);
    const bool made = path.isEmpty() ? document->OnNewDocument() : OpenReplacingFront(*document, path, *this);
    if (!made)
        return nullptr;
    if (!path.isEmpty())
        Remembered::AddRecentFile(path);
    CProgramDoc* result = document.get();
    CChildFrame* frame = m_pMainFrame->CreateChildFrame(document.release());
    m_pMainFrame->InitialUpdateFrame(frame);
    return result;
}

void CProgramApp::OnFileNew()
{
    if (CChildFrame* active = m_pMainFrame->MDIGetActive()) {
        // New replaces the active channel window: unsaved changes in it are
        // offered for saving, an unchanged one is confirmed as before.
        CProgramDoc* document = active->GetDocument();
        if (document->IsModified()) {
            if (!document->SaveModified())
                return;
        } else {
            const QString text = g_pResources->LoadString(Ids::IDS_CLEAR_ALL_DATA);
            if (AppMessageBox(text, PromptButtons::OkCancel) != PromptAnswer::Ok)
                return;
        }
        m_pMainFrame->DestroyChildFrame(active);
    }
    OpenDocumentFile(QString());
}

void CProgramApp::OnFileOpen()
{
    const QString path =
        Prompter().OpenFileName(m_pMainFrame.get(), Lang("Open", "打开"),
                                Remembered::LastFolder(Remembered::Folder::DataFiles), CProgramDoc::FileFilter());
    if (path.isEmpty())
        return;
    Remembered::SetLastFolderOf(Remembered::Folder::DataFiles, path);
    OpenDocumentFile(path);
}

void CProgramApp::OnOpenRecentFile(int index)
{
    Remembered::OpenRecentFile(index, [this](const QString& path) { return OpenDocumentFile(path) != nullptr; });
}

QPrinter* CProgramApp::Printer()
{
    if (!m_pPrinter)
        m_pPrinter = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return m_pPrinter.get();
}

void CProgramApp::OnFilePrintSetup()
{
    QPageSetupDialog dialog(Printer(), m_pMainFrame.get());
    dialog.exec();
}

void CProgramApp::OnAppAbout()
{
    CAboutDlg about(m_pMainFrame.get());
    about.exec();
}

void CProgramApp::CloseAndRestart()
{
    CChildFrame* active = m_pMainFrame->MDIGetActive();
    // Closing asks about unsaved documents; a cancel there stops the restart.
    if (!m_pMainFrame->close())
        return;
    // What has a file now, after the save questions, is opened again.
    QStringList reopen;
    QString activePath;
    for (CChildFrame* frame : m_pMainFrame->ChildFrames()) {
        const CProgramDoc* document = frame->GetDocument();
        if (!document->HasFile())
            continue;
        if (frame == active)
            activePath = document->GetPathName();
        else
            reopen.append(document->GetPathName());
    }
    if (!activePath.isEmpty())
        reopen.append(activePath);
    // Once the main window has closed, its documents go with it.
    for (CChildFrame* frame : m_pMainFrame->ChildFrames())
        m_pMainFrame->DestroyChildFrame(frame);
#ifdef Q_OS_WIN
    const QString program = g_strAppDir + QStringLiteral("Program.exe");
#else
    const QString program = g_strAppDir + QStringLiteral("Program");
#endif
    if (QFileInfo(program).isExecutable())
        m_startProgram(program, reopen);
}

bool CProgramApp::eventFilter(QObject* watched, QEvent* event)
{
    // When a dialog, message box or other top-level window goes away, the
    // window below it is activated again. A window manager does this by
    // itself; without one the keyboard would stay with the closed window.
    if (event->type() == QEvent::Hide && watched->isWidgetType()) {
        auto* window = static_cast<QWidget*>(watched);
        const Qt::WindowType type = window->windowType();
        if (window->isWindow() && window != m_pMainFrame.get() && type != Qt::Popup && type != Qt::ToolTip &&
            type != Qt::SplashScreen) {
            QPointer<QWidget> below = window->parentWidget() ? window->parentWidget()->window() : nullptr;
            QTimer::singleShot(0, this, [this, below] {
                QWidget* target = QApplication::activeModalWidget();
                if (!target)
                    target = below && below->isVisible() ? below.data() : m_pMainFrame.get();
                if (target && target->isVisible() && !QApplication::activePopupWidget())
                    target->activateWindow();
            });
        }
    }
    return QObject::eventFilter(watched, event);
}

bool CProgramApp::OnCmdMsg(int id, CCmdUI* ui)
{
    // A radio transfer needs its document, its windows and the program
    // until it has ended; these commands wait for that.
    const bool recentFile = id >= Ids::ID_FILE_MRU_FILE1 && id <= Ids::ID_FILE_MRU_LAST;
    if (IsRadioTransferBusy() && (id == Ids::ID_FILE_NEW || id == Ids::ID_FILE_OPEN || id == Ids::ID_APP_EXIT ||
                                  id == Ids::ID_FILE_PRINT_SETUP || id == Ids::ID_APP_ABOUT || recentFile)) {
        if (ui)
            ui->Enable(false);
        return true;
    }
    switch (id) {
    case Ids::ID_FILE_NEW:
        if (!ui)
            OnFileNew();
        return true;
    case Ids::ID_FILE_OPEN:
        if (!ui)
            OnFileOpen();
        return true;
    case Ids::ID_FILE_PRINT_SETUP:
        if (!ui)
            OnFilePrintSetup();
        return true;
    case Ids::ID_APP_ABOUT:
        if (!ui)
            OnAppAbout();
        return true;
    case Ids::ID_APP_EXIT:
        if (!ui)
            m_pMainFrame->close();
        return true;
    case Ids::ID_FILE_MRU_FILE1:
    case Ids::ID_FILE_MRU_FILE1 + 1:
    case Ids::ID_FILE_MRU_FILE1 + 2:
    case Ids::ID_FILE_MRU_FILE1 + 3:
    case Ids::ID_FILE_MRU_FILE1 + 4:
    case Ids::ID_FILE_MRU_FILE1 + 5:
    case Ids::ID_FILE_MRU_FILE1 + 6:
    case Ids::ID_FILE_MRU_LAST:
        if (ui)
            ui->Enable(id - Ids::ID_FILE_MRU_FILE1 < Remembered::RecentFiles().size());
        else
            OnOpenRecentFile(id - Ids::ID_FILE_MRU_FILE1);
        return true;
    default: return false;
    }
}
