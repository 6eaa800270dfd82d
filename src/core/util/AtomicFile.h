#pragma once
// Whole-file reads and atomic whole-file writes, both safe against whatever
// a path may name: a read never blocks (a FIFO, a terminal or another device
// is refused before a byte is read) and a write replaces only a regular file,
// the one at the end of any chain of symbolic links.

#include <cerrno>
#include <cstdint>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

// Writes data to a temporary file in the same directory as the final file,
// flushes it to the disk and renames it over that file, so a crash or a
// failed write never leaves a truncated file behind. Symbolic links are
// followed to the file they end in, which is written and keeps its mode; a
// target that exists and is not a regular file is refused with
// "<path>: not a regular file". The temporary file has no name until it is
// complete (where the file system allows it), and this program's own
// temporary files older than a day in that directory are removed. On
// failure the previous file is untouched, the temporary file is removed and
// error (when given) says why, with the system's reason.
bool WriteFileAtomically(const std::string& path, const void* data, std::size_t size, std::string* error = nullptr);
inline bool WriteFileAtomically(const std::string& path, const std::string& data, std::string* error = nullptr)
{
    return WriteFileAtomically(path, data.data(), data.size(), error);
}

// Reads at most maxBytes of a regular file. Returns false (with error) when
// the file cannot be opened or read, or is not a regular file.
bool ReadFileBytes(const std::string& path, std::vector<std::uint8_t>& out, std::size_t maxBytes,
                   std::string* error = nullptr);

// Opens a regular file for reading without ever blocking in open(), and
// gives a descriptor in blocking mode; -1 (with error) for anything else.
int OpenRegularFileForReading(const std::string& path, std::string* error = nullptr);

// True when both paths exist and name the same file (device and inode,
// symbolic links followed).
bool IsSameFile(const std::string& a, const std::string& b);

// Removes, in directory, the temporary files an interrupted atomic write of
// this program left behind that were last changed before now minus a day;
// other files are never touched. Returns how many were removed.
int RemoveStaleTemporaryFiles(const std::string& directory, std::time_t now);

// The steps of an atomic write that can fail on their own.
enum class AtomicWriteStep {
    Unnamed, // creating an unnamed temporary file (a file system without it)
    Write,   // writing the temporary file
    Sync,    // flushing it to the disk
    Rename,  // putting it in place of the old file
};

// While it lives, every atomic write fails at step with error, as a full
// disk or a refused rename would; the failure then takes the same path as a
// real one. For tests: permissions cannot make a write fail for root.
class ScopedAtomicWriteFailure
{
public:
    explicit ScopedAtomicWriteFailure(AtomicWriteStep step, int error = EIO);
    ~ScopedAtomicWriteFailure();
    ScopedAtomicWriteFailure(const ScopedAtomicWriteFailure&) = delete;
    ScopedAtomicWriteFailure& operator=(const ScopedAtomicWriteFailure&) = delete;
};

// While it lives, flushed is called each time an atomic write has flushed
// its temporary file to the disk, which is before the file is put in place.
// For tests: whether data reached the disk cannot be seen from outside.
class ScopedAtomicFlushWatch
{
public:
    explicit ScopedAtomicFlushWatch(std::function<void()> flushed);
    ~ScopedAtomicFlushWatch();
    ScopedAtomicFlushWatch(const ScopedAtomicFlushWatch&) = delete;
    ScopedAtomicFlushWatch& operator=(const ScopedAtomicFlushWatch&) = delete;
};
