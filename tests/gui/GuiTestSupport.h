#pragma once
// Shared pieces of the widget tests: a prompter that answers from a script
// and records every message, and a temporary program directory with its own
// Program.ini, bundles, help sets and pictures, plus a private per-user
// configuration directory and data directory.

#include "base/Prompter.h"
#include "core/document/RadioImage.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QtGlobal>

#include <functional>
#include <memory>

class CProgramApp;

struct PromptRecord
{
    QString caption;
    QString text;
    PromptButtons buttons;
};

class CScriptedPrompter : public IPrompter
{
public:
    CScriptedPrompter();
    ~CScriptedPrompter() override;

    PromptAnswer Message(QWidget* parent, const QString& caption, const QString& text, PromptButtons buttons,
                         PromptIcon icon) override;
    QString OpenFileName(QWidget* parent, const QString& caption, const QString& directory,
                         const QString& filter) override;
    QString SaveFileName(QWidget* parent, const QString& caption, const QString& initialName,
                         const QString& filter) override;
    QString SaveFileNameWithFilter(QWidget* parent, const QString& caption, const QString& initialName,
                                   const QString& filters, QString& selectedFilter) override;
    bool PrintDialog(QWidget* parent, QPrinter& printer, int lastPage, const QString& pdfFile) override;
    void PrintPreview(QPrintPreviewDialog& preview) override;

    QList<PromptAnswer> answers; // taken in order; Ok when the list is empty
    QStringList fileNames;       // taken in order; "" (cancel) when empty
    QStringList dialogStarts;    // where each file dialog started: its directory or initial name,
                                 // or the print dialog's PDF file
    QList<int> filterChoices;    // index of the filter chosen, in order; 0 when empty
    QList<PromptRecord> messages;
    // The print dialog (cancelled unless set) and the preview window (closed
    // at once unless set).
    std::function<bool(QPrinter& printer, int lastPage)> printDialog;
    std::function<void(QPrintPreviewDialog& preview)> printPreview;
    int printDialogs = 0;
    int printPreviews = 0;
};

#ifdef Q_OS_WIN
// A temporary folder, removed with everything in it when it goes. Under
// wine, Qt's QTemporaryDir of the static mingw-w64 build crashes in its
// random name generator; this one is named after the process and a count.
class CTestTempDir
{
public:
    CTestTempDir();
    ~CTestTempDir();
    CTestTempDir(const CTestTempDir&) = delete;
    CTestTempDir& operator=(const CTestTempDir&) = delete;
    QString path() const { return m_path; }
    QString filePath(const QString& name) const { return m_path + '/' + name; }
    bool isValid() const { return !m_path.isEmpty(); }

private:
    QString m_path;
};
using TestTempDir = CTestTempDir;
#else
using TestTempDir = QTemporaryDir;
#endif

// Which files the temporary program directory gets.
enum InstallPart {
    kIni = 1,
    kEnglishBundle = 2,
    kChineseBundle = 4,
    kHelp = 8,
    kPictures = 16,
    kEverything = kIni | kEnglishBundle | kChineseBundle | kHelp | kPictures,
};

class CTestInstall
{
public:
    // iniText replaces the shipped Program.ini when not null.
    explicit CTestInstall(int parts = kEverything, const char* iniText = nullptr);
    ~CTestInstall();

    QString Dir() const { return m_dir.path(); }
#ifdef Q_OS_WIN
    QString ExecutablePath() const
    {
        return m_dir.path() + "/Program.exe";
    }
#else
    QString ExecutablePath() const
    {
        return m_dir.path() + "/Program";
    }
#endif
    QString File(const QString& name) const
    {
        return m_dir.path() + '/' + name;
    }
    QString ReadFile(const QString& name) const;
    void WriteFile(const QString& name, const QByteArray& bytes) const;
    QString UserStoreText() const;
#ifdef Q_OS_WIN
    // Lets the per-user store read but not make keys, as a registry with
    // restricted rights does; false puts the install's own key back.
    void SetUserStoreReadOnly(bool readOnly) const;
#endif
    // The folder where this install's reads leave their copies.
    QString ReadCopiesDir() const
    {
        return m_data.path() + "/radio-programmer/radio-reads";
    }

    // Starts the application (globals reset first); the result of start-up
    // is returned, the application stays alive until Stop or destruction.
    bool Start(const QStringList& arguments = {});
    // Starts as a program invoked by invocationPath (argv[0]) whose
    // executable the system reports as executablePath.
    bool StartAs(const QString& invocationPath, const QString& executablePath, const QStringList& arguments = {});
    // Programs the application asked to start (the restart), in order, and
    // the arguments of each.
    QStringList started;
    QList<QStringList> startedArguments;
    void Stop();
    CProgramApp* App() const
    {
        return m_app.get();
    }

    CScriptedPrompter prompter;

private:
    TestTempDir m_dir;
    TestTempDir m_config;
    TestTempDir m_data;
    QByteArray m_oldConfigHome;
    QByteArray m_oldDataHome;
#ifdef Q_OS_WIN
    // The registry key that stands in for HKEY_CURRENT_USER (its handle is
    // the GuiTestSupport's) and the one it replaced.
    QByteArray m_oldLocalAppData;
    QString m_userKeyPath;
    void* m_oldUserKey = nullptr;
#endif
    std::unique_ptr<CProgramApp> m_app;
};

// The shipped Program.ini with one line of a section replaced, added (when
// the key is missing) or removed (when value is null).
QByteArray ShippedIniWith(const char* section, const char* key, const char* value);

// A file's whole contents; empty when it cannot be read.
QByteArray ReadBytes(const QString& path);
// The data file a save of image writes: "T593", twelve zero bytes, the image.
QByteArray FileOf(const RadioImage& image);
