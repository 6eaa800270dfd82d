#include "base/LocalPath.h"

#include <QFile>
#include <QFileInfo>

#include <dirent.h>
#include <sys/stat.h>

namespace {

bool Exists(const std::string& path)
{
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

}  // namespace

std::string LocalPath(const QString& path)
{
    const std::string encoded = QFile::encodeName(path).toStdString();
    const QFileInfo info(path);
    const QString name = info.fileName();
    if (path.isEmpty() || Exists(encoded) || name.isEmpty() || info.path() == path)
        return encoded;
    const std::string folder = LocalPath(info.path());
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    std::string found = QFile::encodeName(name).toStdString();
    if (dir) {
        while (const dirent* entry = ::readdir(dir)) {
            if (QFile::decodeName(entry->d_name) == name) {
                found = entry->d_name;
                break;
            }
        }
        ::closedir(dir);
    }
    if (folder == "." && !path.startsWith(QStringLiteral("./")))
        return found;
    return folder == "/" ? "/" + found : folder + "/" + found;
}
