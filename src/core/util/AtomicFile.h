#pragma once
// Whole-file reads and atomic whole-file writes.

#include <cstdint>
#include <cerrno>
#include <string>
#include <vector>

// Writes data to a temporary file in the same directory as path, flushes it
// to the disk and renames it over path, so a crash or a failed write never
// leaves a truncated file behind. On failure the previous file is untouched,
// the temporary file is removed and error (when given) says why.
bool WriteFileAtomically(const std::string& path, const void* data, std::size_t size,
                         std::string* error = nullptr);
inline bool WriteFileAtomically(const std::string& path, const std::string& data,
                                std::string* error = nullptr)
{
    return WriteFileAtomically(path, data.data(), data.size(), error);
}

// Reads at most maxBytes of a file. Returns false (with error) when the file
// cannot be opened or read.
bool ReadFileBytes(const std::string& path, std::vector<std::uint8_t>& out, std::size_t maxBytes,
                   std::string* error = nullptr);

// The steps of an atomic write that can fail on their own.
enum class AtomicWriteStep
{
    Write,   // writing and flushing the temporary file
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
