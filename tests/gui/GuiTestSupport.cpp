#include "GuiTestSupport.h"

#include "base/Globals.h"
#include "app/ProgramApp.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

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

}  // namespace

CScriptedPrompter::CScriptedPrompter()
{
    SetPrompter(this);
}

CScriptedPrompter::~CScriptedPrompter()
{
    SetPrompter(nullptr);
}

PromptAnswer CScriptedPrompter::Message(QWidget*, const QString& caption, const QString& text,
                                        PromptButtons buttons, PromptIcon)
{
    messages.append({caption, text, buttons});
    return answers.isEmpty() ? PromptAnswer::Ok : answers.takeFirst();
}

QString CScriptedPrompter::OpenFileName(QWidget*, const QString&, const QString&)
{
    return fileNames.isEmpty() ? QString() : fileNames.takeFirst();
}

QString CScriptedPrompter::SaveFileName(QWidget*, const QString&, const QString&, const QString&)
{
    return fileNames.isEmpty() ? QString() : fileNames.takeFirst();
}

bool CScriptedPrompter::PrintDialog(QWidget*, QPrinter& printer, int lastPage)
{
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
    QFile file(m_config.path() + "/radio-programmer/HKEY_CURRENT_USER.ini");
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

bool CTestInstall::Start(const QStringList& arguments)
{
    return StartAs(ExecutablePath(), ExecutablePath(), arguments);
}

bool CTestInstall::StartAs(const QString& invocationPath, const QString& executablePath, const QStringList& arguments)
{
    Stop();
    ResetGlobals();
    m_app = std::make_unique<CProgramApp>(QStringList{invocationPath} + arguments, executablePath);
    m_app->m_startProgram = [this](const QString& program) {
        started.append(program);
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
        } else if (current.compare(wanted, Qt::CaseInsensitive) == 0
                   && line.section('=', 0, 0).trimmed().compare(name, Qt::CaseInsensitive) == 0) {
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
