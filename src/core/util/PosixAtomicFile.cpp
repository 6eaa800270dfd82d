#include "core/util/AtomicFile.h"
#include "core/util/AtomicFileParts.h"

#include <cerrno>
#include <climits>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

using namespace atomicfile;

namespace {

bool WriteAll(int fd, const char* data, std::size_t size)
{
    while (size > 0) {
        ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

// Follows path through every symbolic link to the file it ends in (which
// need not exist yet). False with errno ELOOP for a chain that never ends.
bool FollowLinks(const std::string& path, std::string& final)
{
    namespace fs = std::filesystem;
    final = path;
    for (int hop = 0; hop < 40; ++hop) {
        struct stat st
        {};
        if (::lstat(final.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
            return true;
        std::string target(PATH_MAX, '\0');
        const ssize_t n = ::readlink(final.c_str(), target.data(), target.size());
        if (n < 0)
            return false;
        target.resize(static_cast<std::size_t>(n));
        final = target[0] == '/' ? target : (fs::path(final).parent_path() / target).string();
    }
    errno = ELOOP;
    return false;
}

// A new file gets the usual 0666 less the umask; a replaced one keeps its mode.
mode_t ModeFor(const std::string& final)
{
    struct stat st
    {};
    if (::stat(final.c_str(), &st) == 0)
        return st.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

bool FlushToDisk(int fd)
{
    if (::fsync(fd) != 0)
        return false;
    Flushed();
    return true;
}

// Writes and flushes the data; false with errno on failure.
bool WriteAndSync(int fd, const void* data, std::size_t size)
{
    if (Injected(AtomicWriteStep::Write) || !WriteAll(fd, static_cast<const char*>(data), size))
        return false;
    return !Injected(AtomicWriteStep::Sync) && FlushToDisk(fd);
}

enum class Outcome { Done, Failed, Unsupported };

// The file is created without a name, written, and linked under a
// temporary name only once complete: a kill before that leaves nothing.
Outcome WriteUnnamed(const std::string& dir, const std::string& tempPrefix, mode_t mode, const void* data,
                     std::size_t size, std::string& named, int& err)
{
#ifdef O_TMPFILE
    if (Injected(AtomicWriteStep::Unnamed))
        return Outcome::Unsupported;
    const int fd = ::open(dir.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
    if (fd < 0)
        return Outcome::Unsupported;
    ::fchmod(fd, mode);
    if (!WriteAndSync(fd, data, size)) {
        err = errno;
        ::close(fd);
        return Outcome::Failed;
    }
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    Outcome outcome = Outcome::Unsupported;
    for (int attempt = 0; attempt < 100; ++attempt) {
        named = tempPrefix + RandomPart();
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, named.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            outcome = Outcome::Done;
            break;
        }
        if (errno != EEXIST)
            break;
    }
    if (::close(fd) != 0 && outcome == Outcome::Done) {
        err = errno;
        ::unlink(named.c_str());
        return Outcome::Failed;
    }
    return outcome;
#else
    (void)dir, (void)tempPrefix, (void)mode, (void)data, (void)size, (void)named, (void)err;
    return Outcome::Unsupported;
#endif
}

// The way for file systems without unnamed files: a named file from the start.
bool WriteNamed(const std::string& tempPrefix, mode_t mode, const void* data, std::size_t size, std::string& named,
                int& err)
{
    named = tempPrefix + "XXXXXX";
    const int fd = ::mkstemp(named.data());
    if (fd < 0) {
        err = errno;
        return false;
    }
    ::fchmod(fd, mode);
    bool ok = WriteAndSync(fd, data, size);
    err = errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        err = errno;
    }
    if (!ok)
        ::unlink(named.c_str());
    return ok;
}

} // namespace

bool WriteFileAtomically(const std::string& requestedPath, const void* data, std::size_t size, std::string* error)
{
    // Saving through symbolic links updates the file they end in rather
    // than replacing a link with a plain file.
    std::string path;
    if (!FollowLinks(requestedPath, path)) {
        SetError(error, "cannot write " + requestedPath, ErrnoText(errno));
        return false;
    }
    struct stat st
    {};
    if (::lstat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        if (error)
            *error = NotRegular(requestedPath);
        return false;
    }

    const std::string dir = DirectoryOf(path);
    RemoveStaleTemporaryFiles(dir, std::time(nullptr));
    const std::string tempPrefix = TemporaryPrefix(dir, path);
    const mode_t mode = ModeFor(path);

    std::string named;
    int err = 0;
    Outcome outcome = WriteUnnamed(dir, tempPrefix, mode, data, size, named, err);
    if (outcome == Outcome::Unsupported)
        outcome = WriteNamed(tempPrefix, mode, data, size, named, err) ? Outcome::Done : Outcome::Failed;
    if (outcome == Outcome::Done && (Injected(AtomicWriteStep::Rename) || ::rename(named.c_str(), path.c_str()) != 0)) {
        err = errno;
        ::unlink(named.c_str());
        outcome = Outcome::Failed;
    }
    if (outcome != Outcome::Done) {
        SetError(error, "cannot write " + requestedPath, ErrnoText(err));
        return false;
    }
    // Make the rename itself durable.
    const int dirFd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return true;
}

int OpenRegularFileForReading(const std::string& path, std::string* error)
{
    // A look first, so that a device is not even opened (opening some has
    // effects); the descriptor is checked again since the path may change.
    struct stat st
    {};
    if (::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        if (error)
            *error = NotRegular(path);
        return -1;
    }
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        SetError(error, "cannot open " + path, ErrnoText(errno));
        return -1;
    }
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        if (error)
            *error = NotRegular(path);
        return -1;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

bool IsSameFile(const std::string& a, const std::string& b)
{
    struct stat sa
    {};
    struct stat sb
    {};
    return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

int RemoveStaleTemporaryFiles(const std::string& directory, std::time_t now)
{
    DIR* dir = ::opendir(directory.c_str());
    if (!dir)
        return 0;
    int removed = 0;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (!IsOurTemporaryName(name))
            continue;
        struct stat st
        {};
        if (::fstatat(::dirfd(dir), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode) ||
            st.st_uid != ::geteuid() || st.st_mtime > now - kStaleAge)
            continue;
        if (::unlinkat(::dirfd(dir), name.c_str(), 0) == 0)
            ++removed;
    }
    ::closedir(dir);
    return removed;
}
