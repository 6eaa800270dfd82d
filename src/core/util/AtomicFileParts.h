#pragma once
// What the system-specific halves of the atomic write share: the failures a
// test may ask for, the error texts and the names of temporary files.

#include <ctime>
#include <string>

enum class AtomicWriteStep;

namespace atomicfile {

// True, with errno set to the requested error, when a test has asked the
// step to fail.
bool Injected(AtomicWriteStep step);
// Tells a watching test that the temporary file has just been flushed.
void Flushed();

// "<what>: <reason>" into error, when given.
void SetError(std::string* error, const std::string& what, const std::string& reason);
// The system's reason for an errno value.
std::string ErrnoText(int err);
// "<path>: not a regular file".
std::string NotRegular(const std::string& path);

// The folder of path, "." for a bare name.
std::string DirectoryOf(const std::string& path);
// "<dir>/.<name>.rpsave-": a temporary name is this and a random part.
std::string TemporaryPrefix(const std::string& dir, const std::string& path);
// Six random letters and digits.
std::string RandomPart();
// True for the names this program gives its temporary files, now and in
// earlier versions.
bool IsOurTemporaryName(const std::string& name);

// A temporary file older than this is left over from an interrupted write.
inline constexpr std::time_t kStaleAge = 24 * 60 * 60;

} // namespace atomicfile
