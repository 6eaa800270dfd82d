#include "GuiTestSupport.h"

#include "app/ProgramApp.h"
#include "base/Globals.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#ifdef Q_OS_WIN
#include "core/app/UserValues.h"

#include <windows.h>
#endif

namespace {

const QString kBin = QStringLiteral(PROGRAM_BIN_DIR);

void CopyTree(const QString& from, const QString& to)
{
    QDir().mkpath(to);
    const QDir source(from);
    for (const QString& name : source.entryList(QDir::Files))
        QFile::copy(from + '/' + name, to + '/' + name);
    for (const QString& name : source.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        CopyTree(from + '/' + name, to + '/' + name);
}

#ifdef Q_OS_WIN
// Each install has a registry key of its own that stands in for
// HKEY_CURRENT_USER in this process, as a private configuration folder does
// on Linux: suites running side by side under one user see only their own
// values.
HKEY g_userKey = nullptr;
int g_userKeys = 0;

QString UserKeyPath(int number)
{
    return QStringLiteral("Software\\radio-programmer-tests\\%1-%2").arg(GetCurrentProcessId()).arg(number);
}

// The values under key as the INI store on Linux would hold them: a section
// for each key path below the user's key, numbers in decimal.
void AppendKeyText(HKEY key, const QString& path, QString& text)
{
    QString values;
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD nameLength = 256;
        DWORD type = 0;
        BYTE data[8192];
        DWORD size = sizeof(data);
        if (RegEnumValueW(key, i, name, &nameLength, nullptr, &type, data, &size) != ERROR_SUCCESS)
            break;
        const QString valueName = QString::fromWCharArray(name, static_cast<int>(nameLength));
        if (type == REG_DWORD && size == 4)
            values += valueName + '=' + QString::number(*reinterpret_cast<const DWORD*>(data)) + "\r\n";
        else if (type == REG_SZ) {
            const QString stored = QString::fromWCharArray(reinterpret_cast<const wchar_t*>(data),
                                                           static_cast<int>(size / sizeof(wchar_t)))
                                       .section(QChar(0), 0, 0);
            values += valueName + '=' + QString::fromStdString(EscapeStoredText(stored.toStdString())) + "\r\n";
        }
    }
    if (!values.isEmpty())
        text += '[' + path + "]\r\n" + values;
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD nameLength = 256;
        if (RegEnumKeyExW(key, i, name, &nameLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        HKEY sub = nullptr;
        if (RegOpenKeyExW(key, name, 0, KEY_READ, &sub) != ERROR_SUCCESS)
            continue;
        const QString subName = QString::fromWCharArray(name, static_cast<int>(nameLength));
        AppendKeyText(sub, path.isEmpty() ? subName : path + '\\' + subName, text);
        RegCloseKey(sub);
    }
}
#endif

} // namespace

#ifdef Q_OS_WIN
CTestTempDir::CTestTempDir()
{
    static int count = 0;
    m_path = QDir::tempPath() + QStringLiteral("/guitest-%1-%2").arg(GetCurrentProcessId()).arg(++count);
    QDir(m_path).removeRecursively();
    QDir().mkpath(m_path);
}

CTestTempDir::~CTestTempDir()
{
    QDir(m_path).removeRecursively();
}
#endif

CScriptedPrompter::CScriptedPrompter()
{
    SetPrompter(this);
}

CScriptedPrompter::~CScriptedPrompter()
{
    SetPrompter(nullptr);
}

PromptAnswer CScriptedPrompter::Message(QWidget*, const QString& caption, const QString& text, PromptButtons buttons,
                                        PromptIcon)
{
    messages.append({caption, text, buttons});
    return answers.isEmpty() ? PromptAnswer::Ok : answers.takeFirst();
}

QString CScriptedPrompter::OpenFileName(QWidget*, const QString&, const QString& directory, const QString&)
{
    dialogStarts.append(directory);
    return fileNames.isEmpty() ? QString() : fileNames.takeFirst();
}

QString CScriptedPrompter::SaveFileName(QWidget*, const QString&, const QString& initialName, const QString&)
{
    dialogStarts.append(initialName);
    return fileNames.isEmpty() ? QString() : fileNames.takeFirst();
}

bool CScriptedPrompter::PrintDialog(QWidget*, QPrinter& printer, int lastPage, const QString& pdfFile)
{
    dialogStarts.append(pdfFile);
    ++printDialogs;
    return printDialog ? printDialog(printer, lastPage) : false;
}

void CScriptedPrompter::PrintPreview(QPrintPreviewDialog& preview)
{
    ++printPreviews;
    if (printPreview)
        printPreview(preview);
}

QString CScriptedPrompter::SaveFileNameWithFilter(QWidget* parent, const QString& caption, const QString& initialName,
                                                  const QString& filters, QString& selectedFilter)
{
    const int choice = filterChoices.isEmpty() ? 0 : filterChoices.takeFirst();
    selectedFilter = filters.section(QStringLiteral(";;"), choice, choice);
    return SaveFileName(parent, caption, initialName, selectedFilter);
}

CTestInstall::CTestInstall(int parts, const char* iniText)
{
    m_oldConfigHome = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", m_config.path().toLocal8Bit());
    m_oldDataHome = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", m_data.path().toLocal8Bit());
#ifdef Q_OS_WIN
    m_oldLocalAppData = qgetenv("LOCALAPPDATA");
    qputenv("LOCALAPPDATA", QDir::toNativeSeparators(m_data.path()).toUtf8());
    m_oldUserKey = g_userKey;
    m_userKeyPath = UserKeyPath(++g_userKeys);
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    RegDeleteTreeW(HKEY_CURRENT_USER, reinterpret_cast<const wchar_t*>(m_userKeyPath.utf16()));
    RegCreateKeyExW(HKEY_CURRENT_USER, reinterpret_cast<const wchar_t*>(m_userKeyPath.utf16()), 0, nullptr, 0,
                    KEY_ALL_ACCESS, nullptr, &g_userKey, nullptr);
    RegOverridePredefKey(HKEY_CURRENT_USER, g_userKey);
#endif
    if (parts & kIni) {
        if (iniText)
            WriteFile(QStringLiteral("Program.ini"), iniText);
        else
            QFile::copy(QStringLiteral(PROGRAM_SHIPPED_INI), File("Program.ini"));
    }
    if (parts & kEnglishBundle)
        QFile::copy(kBin + "/English.rcc", File("English.rcc"));
    if (parts & kChineseBundle)
        QFile::copy(kBin + "/Chinese.rcc", File("Chinese.rcc"));
    if (parts & kPictures) {
        QFile::copy(kBin + "/title.ico", File("title.ico"));
        QFile::copy(kBin + "/background.bmp", File("background.bmp"));
    }
    if (parts & kHelp) {
        CopyTree(kBin + "/enHelp", File("enHelp"));
        CopyTree(kBin + "/chHelp", File("chHelp"));
    }
}

CTestInstall::~CTestInstall()
{
    Stop();
    qputenv("XDG_CONFIG_HOME", m_oldConfigHome);
    qputenv("XDG_DATA_HOME", m_oldDataHome);
#ifdef Q_OS_WIN
    qputenv("LOCALAPPDATA", m_oldLocalAppData);
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    RegCloseKey(g_userKey);
    RegDeleteTreeW(HKEY_CURRENT_USER, reinterpret_cast<const wchar_t*>(m_userKeyPath.utf16()));
    g_userKey = static_cast<HKEY>(m_oldUserKey);
    RegOverridePredefKey(HKEY_CURRENT_USER, g_userKey);
#endif
}

QString CTestInstall::ReadFile(const QString& name) const
{
    QFile file(File(name));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

void CTestInstall::WriteFile(const QString& name, const QByteArray& bytes) const
{
    QFile file(File(name));
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(bytes);
}

QString CTestInstall::UserStoreText() const
{
#ifdef Q_OS_WIN
    QString text;
    AppendKeyText(g_userKey, QString(), text);
    return text;
#endif
    QFile file(m_config.path() + "/radio-programmer/HKEY_CURRENT_USER.ini");
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

#ifdef Q_OS_WIN
void CTestInstall::SetUserStoreReadOnly(bool readOnly) const
{
    static HKEY readOnlyKey = nullptr;
    RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
    if (readOnlyKey != nullptr) {
        RegCloseKey(readOnlyKey);
        readOnlyKey = nullptr;
    }
    if (readOnly)
        RegOpenKeyExW(HKEY_CURRENT_USER, reinterpret_cast<const wchar_t*>(m_userKeyPath.utf16()), 0, KEY_READ,
                      &readOnlyKey);
    RegOverridePredefKey(HKEY_CURRENT_USER, readOnly ? readOnlyKey : g_userKey);
}
#endif

bool CTestInstall::Start(const QStringList& arguments)
{
    return StartAs(ExecutablePath(), ExecutablePath(), arguments);
}

bool CTestInstall::StartAs(const QString& invocationPath, const QString& executablePath, const QStringList& arguments)
{
    Stop();
    ResetGlobals();
    m_app = std::make_unique<CProgramApp>(QStringList{invocationPath} + arguments, executablePath);
    m_app->m_startProgram = [this](const QString& program, const QStringList& arguments) {
        started.append(program);
        startedArguments.append(arguments);
        return true;
    };
    return m_app->InitInstance();
}

void CTestInstall::Stop()
{
    if (!m_app)
        return;
    m_app->ExitInstance();
    m_app.reset();
    ResetGlobals();
}

QByteArray ShippedIniWith(const char* section, const char* key, const char* value)
{
    QFile file(QStringLiteral(PROGRAM_SHIPPED_INI));
    file.open(QIODevice::ReadOnly);
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QStringLiteral("\r\n"));
    QStringList out;
    QString current;
    bool done = false;
    const QString wanted = QString::fromUtf8(section);
    const QString name = QString::fromUtf8(key);
    for (const QString& line : lines) {
        if (line.startsWith('[')) {
            if (!done && current.compare(wanted, Qt::CaseInsensitive) == 0 && value) {
                out.append(name + '=' + QString::fromUtf8(value));
                done = true;
            }
            current = line.mid(1, line.size() - 2);
        } else if (current.compare(wanted, Qt::CaseInsensitive) == 0 &&
                   line.section('=', 0, 0).trimmed().compare(name, Qt::CaseInsensitive) == 0) {
            if (value)
                out.append(name + '=' + QString::fromUtf8(value));
            done = true;
            continue;
        }
        out.append(line);
    }
    if (!done && value)
        out.append(QStringLiteral("[%1]\r\n%2=%3").arg(wanted, name, QString::fromUtf8(value)));
    return out.join(QStringLiteral("\r\n")).toUtf8();
}

QByteArray ReadBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray FileOf(const RadioImage& image)
{
    QByteArray bytes("T593", 4);
    bytes.append(QByteArray(12, '\0'));
    bytes.append(reinterpret_cast<const char*>(image.data()), static_cast<int>(image.size()));
    return bytes;
}
