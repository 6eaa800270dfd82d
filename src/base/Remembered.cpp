#include "base/Remembered.h"

#include "base/UserStore.h"
#include "core/app/RecentFiles.h"

#include <QDir>
#include <QFileInfo>

namespace Remembered {
namespace {

const char* FolderValue(Folder kind)
{
    return kind == Folder::DataFiles ? "Data Folder" : "Channel List Folder";
}

// Paths are kept in one spelling per file: absolute and cleaned.
std::string StoredPath(const QString& path)
{
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath()).toStdString();
}

} // namespace

QStringList RecentFiles()
{
    const RecentFileList list = RecentFileList::Load(CUserStore::ForApplication().Values());
    QStringList files;
    for (const std::string& path : list.Files())
        files.append(QString::fromStdString(path));
    return files;
}

void AddRecentFile(const QString& path)
{
    if (path.isEmpty())
        return;
    UserValues values = CUserStore::ForApplication().Values();
    RecentFileList list = RecentFileList::Load(values);
    list.Add(StoredPath(path));
    list.Save(values);
}

bool OpenRecentFile(int index, const std::function<bool(const QString&)>& open)
{
    if (index < 0)
        return false;
    UserValues values = CUserStore::ForApplication().Values();
    RecentFileList list = RecentFileList::Load(values);
    const bool opened = list.OpenEntry(static_cast<std::size_t>(index),
                                       [&open](const std::string& path) { return open(QString::fromStdString(path)); });
    list.Save(values);
    return opened;
}

QString LastFolder(Folder kind)
{
    const QString folder = QString::fromStdString(CUserStore::ForApplication().QueryString(FolderValue(kind)));
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return {};
    return folder;
}

void SetLastFolderOf(Folder kind, const QString& filePath)
{
    if (filePath.isEmpty())
        return;
    const QString folder = QFileInfo(QString::fromStdString(StoredPath(filePath))).absolutePath();
    CUserStore::ForApplication().SetString(FolderValue(kind), folder.toStdString());
}

} // namespace Remembered
