#pragma once
// The few system calls the file tests make, the same on Linux and Windows.

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace testsystem {

inline long ProcessId()
{
#ifdef _WIN32
    return static_cast<long>(GetCurrentProcessId());
#else
    return static_cast<long>(getpid());
#endif
}

inline void SetEnv(const char* name, const char* value)
{
#ifdef _WIN32
    _putenv_s(name, value);
#else
    setenv(name, value, 1);
#endif
}

inline void UnsetEnv(const char* name)
{
#ifdef _WIN32
    _putenv_s(name, ""); // removes the variable
#else
    unsetenv(name);
#endif
}

// Local time as UTC, so that names made from it are known.
inline void UseUtcAsLocalTime()
{
    SetEnv("TZ", "UTC");
#ifdef _WIN32
    _tzset();
#else
    tzset();
#endif
}

// True where taking away a folder's write permission keeps this process
// out of it: not for root, and not on Windows, whose permissions are not
// mode bits.
inline bool PermissionsLockOut()
{
#ifdef _WIN32
    return false;
#else
    return geteuid() != 0;
#endif
}

// Sets a file's modification time (seconds since 1970).
inline void SetModifiedTime(const std::filesystem::path& path, std::time_t when)
{
    using namespace std::chrono;
    std::error_code ignored;
    std::filesystem::last_write_time(path, file_clock::from_sys(system_clock::from_time_t(when)), ignored);
}

} // namespace testsystem
