#include "core/util/AtomicFile.h"

#include <algorithm>
#include <cerrno>
#include <cctype>
#include <climits>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The failure a test has asked for, if any.
struct InjectedFailure
{
    bool active = false;
    AtomicWriteStep step = AtomicWriteStep::Write;
    int error = 0;
};
InjectedFailure g_injected;

// True (with errno set) when the step is to fail by request.
bool Injected(AtomicWriteStep step)
{
    if (!g_injected.active || g_injected.step != step)
        return false;
    errno = g_injected.error;
    return true;
}

void SetError(std::string* error, const std::string& what, int err)
{
    if (error)
        *error = what + ": " + std::strerror(err);
}

std::string NotRegular(const std::string& path)
{
    return path + ": not a regular file";
}

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

// Every temporary file this program names carries this marker before its
// six random characters, so that stale ones can be told from anybody else's.
constexpr const char* kTempMarker = ".rpsave-";
constexpr std::size_t kRandomLength = 6;
// Room left in a file name for the dot, the marker and the random part.
constexpr std::size_t kMaxNameInTemp = 200;
constexpr std::time_t kStaleAge = 24 * 60 * 60;

bool IsAlnum(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool EndsWithRandomPart(const std::string& name, std::size_t prefixEnd)
{
    return name.size() == prefixEnd + kRandomLength
           && std::all_of(name.begin() + static_cast<long>(prefixEnd), name.end(), IsAlnum);
}

bool EndsWithNoCase(const std::string& text, const std::string& suffix)
{
    if (text.size() < suffix.size())
        return false;
    return std::equal(suffix.begin(), suffix.end(), text.end() - static_cast<long>(suffix.size()),
                      [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == b; });
}

// ".NAME.rpsave-XXXXXX" as named now, or ".NAME.XXXXXX" as earlier versions
// named them, the latter only for the kinds of file this program writes.
bool IsOurTemporaryName(const std::string& name)
{
    if (name.size() < 2 + kRandomLength || name[0] != '.')
        return false;
    const std::size_t marker = name.rfind(kTempMarker);
    if (marker != std::string::npos && marker > 1 && EndsWithRandomPart(name, marker + std::strlen(kTempMarker)))
        return true;
    const std::size_t dot = name.size() - kRandomLength - 1;
    if (dot <= 1 || name[dot] != '.' || !EndsWithRandomPart(name, dot + 1))
        return false;
    const std::string original = name.substr(1, dot - 1);
    for (const char* kind : {".dat", ".csv", ".pdf", ".ini"})
        if (EndsWithNoCase(original, kind))
            return true;
    return false;
}

std::string RandomPart()
{
    static const char kChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::mt19937 generator{std::random_device{}()};
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kChars - 2);
    std::string part;
    for (std::size_t i = 0; i < kRandomLength; ++i)
        part += kChars[pick(generator)];
    return part;
}

std::string DirectoryOf(const std::string& path)
{
    const std::string dir = std::filesystem::path(path).parent_path().string();
    return dir.empty() ? "." : dir;
}

// Follows path through every symbolic link to the file it ends in (which
// need not exist yet). False with errno ELOOP for a chain that never ends.
bool FollowLinks(const std::string& path, std::string& final)
{
    namespace fs = std::filesystem;
    final = path;
    for (int hop = 0; hop < 40; ++hop) {
        struct stat st {};
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
    struct stat st {};
    if (::stat(final.c_str(), &st) == 0)
        return st.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// Writes and flushes the data; false with errno on failure.
bool WriteAndSync(int fd, const void* data, std::size_t size)
{
    if (Injected(AtomicWriteStep::Write) || !WriteAll(fd, static_cast<const char*>(data), size))
        return false;
    return !Injected(AtomicWriteStep::Sync) && ::fsync(fd) == 0;
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

}  // namespace

bool WriteFileAtomically(const std::string& requestedPath, const void* data, std::size_t size,
                         std::string* error)
{
    namespace fs = std::filesystem;
    // Saving through symbolic links updates the file they end in rather
    // than replacing a link with a plain file.
    std::string path;
    if (!FollowLinks(requestedPath, path)) {
        SetError(error, "cannot write " + requestedPath, errno);
        return false;
    }
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        if (error)
            *error = NotRegular(requestedPath);
        return false;
    }

    const std::string dir = DirectoryOf(path);
    RemoveStaleTemporaryFiles(dir, std::time(nullptr));
    std::string name = fs::path(path).filename().string();
    if (name.size() > kMaxNameInTemp)
        name.resize(kMaxNameInTemp);
    const std::string tempPrefix = dir + "/." + name + kTempMarker;
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
        SetError(error, "cannot write " + requestedPath, err);
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
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        if (error)
            *error = NotRegular(path);
        return -1;
    }
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        SetError(error, "cannot open " + path, errno);
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

bool ReadFileBytes(const std::string& path, std::vector<std::uint8_t>& out, std::size_t maxBytes,
                   std::string* error)
{
    out.clear();
    const int fd = OpenRegularFileForReading(path, error);
    if (fd < 0)
        return false;
    std::uint8_t chunk[65536];
    while (out.size() < maxBytes) {
        const std::size_t want = std::min(sizeof chunk, maxBytes - out.size());
        const ssize_t n = ::read(fd, chunk, want);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            SetError(error, "cannot read " + path, errno);
            out.clear();
            ::close(fd);
            return false;
        }
        if (n == 0)
            break;
        out.insert(out.end(), chunk, chunk + n);
    }
    ::close(fd);
    return true;
}

bool IsSameFile(const std::string& a, const std::string& b)
{
    struct stat sa {};
    struct stat sb {};
    return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev
           && sa.st_ino == sb.st_ino;
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
        struct stat st {};
        if (::fstatat(::dirfd(dir), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode)
            || st.st_uid != ::geteuid() || st.st_mtime > now - kStaleAge)
            continue;
        if (::unlinkat(::dirfd(dir), name.c_str(), 0) == 0)
            ++removed;
    }
    ::closedir(dir);
    return removed;
}

ScopedAtomicWriteFailure::ScopedAtomicWriteFailure(AtomicWriteStep step, int error)
{
    g_injected = {true, step, error};
}

ScopedAtomicWriteFailure::~ScopedAtomicWriteFailure()
{
    g_injected = {};
}
