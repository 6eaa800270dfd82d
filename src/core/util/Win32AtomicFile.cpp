// The atomic write and the safe read on Windows: names are UTF-8 inside the
// program and UTF-16 at every call; the replacement is MoveFileExW, which,
// unlike the C runtime's rename, replaces an existing file. Windows has no
// mode bits to keep, and a symbolic link is replaced, not followed.

#include "core/util/AtomicFile.h"
#include "core/util/AtomicFileParts.h"
#include "core/util/Utf8Path.h"

#include <cerrno>
#include <fcntl.h>
#include <io.h>
#include <system_error>
#include <windows.h>

using namespace atomicfile;

namespace {

// The system's text for a Win32 error code, without its closing full stop
// and line break.
std::string SystemText(DWORD code)
{
    std::string text = std::system_category().message(static_cast<int>(code));
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' || text.back() == '.'))
        text.pop_back();
    return text.empty() ? "error " + std::to_string(code) : text;
}

bool IsDirectoryOrDevice(const std::wstring& wide)
{
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) != 0;
}

bool IsDeviceName(const std::string& path)
{
    return path.rfind("\\\\.\\", 0) == 0 || path.rfind("//./", 0) == 0;
}

// Writes the whole buffer and flushes it to the disk; the reason on failure.
bool WriteAndFlush(HANDLE file, const void* data, std::size_t size, std::string& reason)
{
    if (Injected(AtomicWriteStep::Write)) {
        reason = ErrnoText(errno);
        return false;
    }
    const auto* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const DWORD chunk = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
        DWORD written = 0;
        if (!WriteFile(file, bytes, chunk, &written, nullptr)) {
            reason = SystemText(GetLastError());
            return false;
        }
        bytes += written;
        size -= written;
    }
    if (Injected(AtomicWriteStep::Sync)) {
        reason = ErrnoText(errno);
        return false;
    }
    if (!FlushFileBuffers(file)) {
        reason = SystemText(GetLastError());
        return false;
    }
    Flushed();
    return true;
}

} // namespace

bool WriteFileAtomically(const std::string& path, const void* data, std::size_t size, std::string* error)
{
    const std::wstring target = WideFromUtf8(path);
    if (IsDeviceName(path) || IsDirectoryOrDevice(target)) {
        if (error)
            *error = NotRegular(path);
        return false;
    }
    const std::string dir = DirectoryOf(path);
    RemoveStaleTemporaryFiles(dir, std::time(nullptr));
    const std::string prefix = TemporaryPrefix(dir, path);

    std::wstring temporary;
    HANDLE file = INVALID_HANDLE_VALUE;
    DWORD openError = ERROR_FILE_EXISTS;
    for (int attempt = 0; attempt < 100 && file == INVALID_HANDLE_VALUE && openError == ERROR_FILE_EXISTS; ++attempt) {
        temporary = WideFromUtf8(prefix + RandomPart());
        file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            openError = GetLastError();
    }
    if (file == INVALID_HANDLE_VALUE) {
        SetError(error, "cannot write " + path, SystemText(openError));
        return false;
    }
    std::string reason;
    bool ok = WriteAndFlush(file, data, size, reason);
    if (!CloseHandle(file) && ok) {
        ok = false;
        reason = SystemText(GetLastError());
    }
    if (ok && Injected(AtomicWriteStep::Rename)) {
        ok = false;
        reason = ErrnoText(errno);
    } else if (ok &&
               !MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        ok = false;
        reason = SystemText(GetLastError());
    }
    if (!ok) {
        DeleteFileW(temporary.c_str());
        SetError(error, "cannot write " + path, reason);
        return false;
    }
    // The new file is an ordinary one, whatever the temporary file was.
    SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL);
    return true;
}

int OpenRegularFileForReading(const std::string& path, std::string* error)
{
    const std::wstring wide = WideFromUtf8(path);
    if (IsDeviceName(path) || IsDirectoryOrDevice(wide)) {
        if (error)
            *error = NotRegular(path);
        return -1;
    }
    HANDLE file = CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        SetError(error, "cannot open " + path, SystemText(GetLastError()));
        return -1;
    }
    // A name such as CON or COM1 opens a device, not a file.
    if (GetFileType(file) != FILE_TYPE_DISK) {
        CloseHandle(file);
        if (error)
            *error = NotRegular(path);
        return -1;
    }
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(file), _O_RDONLY | _O_BINARY);
    if (fd < 0) {
        CloseHandle(file);
        SetError(error, "cannot open " + path, ErrnoText(errno));
    }
    return fd;
}

bool IsSameFile(const std::string& a, const std::string& b)
{
    auto identify = [](const std::string& path, BY_HANDLE_FILE_INFORMATION& info) {
        HANDLE file = CreateFileW(WideFromUtf8(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return false;
        const bool ok = GetFileInformationByHandle(file, &info) != 0;
        CloseHandle(file);
        return ok;
    };
    BY_HANDLE_FILE_INFORMATION first{};
    BY_HANDLE_FILE_INFORMATION second{};
    return identify(a, first) && identify(b, second) && first.dwVolumeSerialNumber == second.dwVolumeSerialNumber &&
           first.nFileIndexHigh == second.nFileIndexHigh && first.nFileIndexLow == second.nFileIndexLow;
}

int RemoveStaleTemporaryFiles(const std::string& directory, std::time_t now)
{
    WIN32_FIND_DATAW entry{};
    HANDLE find = FindFirstFileW(WideFromUtf8(directory + "/.*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE)
        return 0;
    // FILETIME counts 100 ns steps from 1601; time_t seconds from 1970.
    constexpr long long kEpochDifference = 11644473600LL;
    int removed = 0;
    do {
        const std::string name = Utf8FromWide(entry.cFileName);
        if (!IsOurTemporaryName(name) ||
            (entry.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0)
            continue;
        const long long ticks =
            (static_cast<long long>(entry.ftLastWriteTime.dwHighDateTime) << 32) | entry.ftLastWriteTime.dwLowDateTime;
        const long long modified = ticks / 10000000 - kEpochDifference;
        if (modified > static_cast<long long>(now) - kStaleAge)
            continue;
        if (DeleteFileW(WideFromUtf8(directory + "/" + name).c_str()))
            ++removed;
    } while (FindNextFileW(find, &entry));
    FindClose(find);
    return removed;
}
