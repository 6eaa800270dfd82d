#include "core/util/AtomicFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
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

}  // namespace

bool WriteFileAtomically(const std::string& requestedPath, const void* data, std::size_t size,
                         std::string* error)
{
    namespace fs = std::filesystem;
    // Saving through a symbolic link updates the file it points to rather
    // than replacing the link with a plain file.
    std::string path = requestedPath;
    std::error_code ec;
    if (fs::is_symlink(path, ec)) {
        fs::path target = fs::read_symlink(path, ec);
        if (!ec)
            path = (target.is_absolute() ? target : fs::path(path).parent_path() / target).string();
    }

    fs::path dir = fs::path(path).parent_path();
    std::string tmpl = (dir.empty() ? fs::path(".") : dir).string() + "/." +
                       fs::path(path).filename().string() + ".XXXXXX";
    int fd = ::mkstemp(tmpl.data());
    if (fd < 0) {
        SetError(error, "cannot write " + requestedPath, errno);
        return false;
    }

    // Keep the permissions of the file being replaced; a new file gets the
    // usual 0666 less the umask rather than mkstemp's 0600.
    struct stat st {};
    mode_t mode;
    if (::stat(path.c_str(), &st) == 0) {
        mode = st.st_mode & 07777;
    } else {
        mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    ::fchmod(fd, mode);

    bool ok = !Injected(AtomicWriteStep::Write) && WriteAll(fd, static_cast<const char*>(data), size)
              && ::fsync(fd) == 0;
    int err = errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        err = errno;
    }
    if (ok && (Injected(AtomicWriteStep::Rename) || ::rename(tmpl.c_str(), path.c_str()) != 0)) {
        ok = false;
        err = errno;
    }
    if (!ok) {
        ::unlink(tmpl.c_str());
        SetError(error, "cannot write " + requestedPath, err);
        return false;
    }
    // Make the rename itself durable.
    int dirFd = ::open((dir.empty() ? std::string(".") : dir.string()).c_str(), O_RDONLY | O_DIRECTORY);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return true;
}

bool ReadFileBytes(const std::string& path, std::vector<std::uint8_t>& out, std::size_t maxBytes,
                   std::string* error)
{
    out.clear();
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        SetError(error, "cannot open " + path, errno);
        return false;
    }
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        SetError(error, "cannot open " + path, EISDIR);
        return false;
    }
    char chunk[65536];
    while (out.size() < maxBytes && in) {
        std::size_t want = std::min(sizeof chunk, maxBytes - out.size());
        in.read(chunk, static_cast<std::streamsize>(want));
        out.insert(out.end(), chunk, chunk + in.gcount());
    }
    if (in.bad()) {
        SetError(error, "cannot read " + path, errno);
        out.clear();
        return false;
    }
    return true;
}

ScopedAtomicWriteFailure::ScopedAtomicWriteFailure(AtomicWriteStep step, int error)
{
    g_injected = {true, step, error};
}

ScopedAtomicWriteFailure::~ScopedAtomicWriteFailure()
{
    g_injected = {};
}
