#include "core/util/AtomicFile.h"
#include "core/util/AtomicFileParts.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <random>
#include <unistd.h>
#include <utility>

namespace atomicfile {

namespace {

// The failure a test has asked for, if any.
struct InjectedFailure
{
    bool active = false;
    AtomicWriteStep step = AtomicWriteStep::Write;
    int error = 0;
};
InjectedFailure g_injected;
std::function<void()> g_flushed;

// Every temporary file this program names carries this marker before its
// six random characters, so that stale ones can be told from anybody else's.
constexpr const char* kTempMarker = ".rpsave-";
constexpr std::size_t kRandomLength = 6;
// Room left in a file name for the dot, the marker and the random part.
constexpr std::size_t kMaxNameInTemp = 200;

#ifdef _WIN32
constexpr const char* kSeparators = "/\\";
#else
constexpr const char* kSeparators = "/";
#endif

bool IsAlnum(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool EndsWithRandomPart(const std::string& name, std::size_t prefixEnd)
{
    return name.size() == prefixEnd + kRandomLength &&
           std::all_of(name.begin() + static_cast<long>(prefixEnd), name.end(), IsAlnum);
}

bool EndsWithNoCase(const std::string& text, const std::string& suffix)
{
    if (text.size() < suffix.size())
        return false;
    return std::equal(suffix.begin(), suffix.end(), text.end() - static_cast<long>(suffix.size()),
                      [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == b; });
}

} // namespace

bool Injected(AtomicWriteStep step)
{
    if (!g_injected.active || g_injected.step != step)
        return false;
    errno = g_injected.error;
    return true;
}

void Flushed()
{
    if (g_flushed)
        g_flushed();
}

void SetError(std::string* error, const std::string& what, const std::string& reason)
{
    if (error)
        *error = what + ": " + reason;
}

std::string ErrnoText(int err)
{
    return std::strerror(err);
}

std::string NotRegular(const std::string& path)
{
    return path + ": not a regular file";
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
    // The last separator, not std::filesystem, so that the name's bytes stay
    // as they are on every system.
    const std::size_t slash = path.find_last_of(kSeparators);
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? path.substr(0, 1) : path.substr(0, slash);
}

std::string TemporaryPrefix(const std::string& dir, const std::string& path)
{
    const std::size_t slash = path.find_last_of(kSeparators);
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name.size() > kMaxNameInTemp)
        name.resize(kMaxNameInTemp);
    return dir + "/." + name + kTempMarker;
}

} // namespace atomicfile

bool ReadFileBytes(const std::string& path, std::vector<std::uint8_t>& out, std::size_t maxBytes, std::string* error)
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
            atomicfile::SetError(error, "cannot read " + path, atomicfile::ErrnoText(errno));
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

ScopedAtomicWriteFailure::ScopedAtomicWriteFailure(AtomicWriteStep step, int error)
{
    atomicfile::g_injected = {true, step, error};
}

ScopedAtomicWriteFailure::~ScopedAtomicWriteFailure()
{
    atomicfile::g_injected = {};
}

ScopedAtomicFlushWatch::ScopedAtomicFlushWatch(std::function<void()> flushed)
{
    atomicfile::g_flushed = std::move(flushed);
}

ScopedAtomicFlushWatch::~ScopedAtomicFlushWatch()
{
    atomicfile::g_flushed = nullptr;
}
