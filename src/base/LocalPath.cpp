#include "base/LocalPath.h"

#include <QFile>
#include <QFileInfo>

#include <filesystem>
#include <system_error>

#ifndef Q_OS_WIN
namespace {

// Anything under that name, a dangling link included.
bool Exists(const std::string& path)
{
    std::error_code ec;
    return std::filesystem::exists(std::filesystem::symlink_status(path, ec));
}

} // namespace
#endif

std::string LocalPath(const QString& path)
{
#ifdef Q_OS_WIN
    // Windows keeps names as UTF-16 text, which UTF-8 holds exactly; the
    // core turns them back at every system call.
    return path.toStdString();
#else
    const std::string encoded = QFile::encodeName(path).toStdString();
    const QFileInfo info(path);
    const QString name = info.fileName();
    if (path.isEmpty() || Exists(encoded) || name.isEmpty() || info.path() == path)
        return encoded;
    const std::string folder = LocalPath(info.path());
    std::string found = QFile::encodeName(name).toStdString();
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder.empty() ? "." : folder, ec), end; !ec && it != end;
         it.increment(ec)) {
        const std::string entry = it->path().filename().string();
        if (QFile::decodeName(entry.c_str()) == name) {
            found = entry;
            break;
        }
    }
    if (folder == "." && !path.startsWith(QStringLiteral("./")))
        return found;
    return folder == "/" ? "/" + found : folder + "/" + found;
#endif
}
