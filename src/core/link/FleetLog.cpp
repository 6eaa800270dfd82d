#include "core/link/FleetLog.h"

#include "core/link/ReadCopies.h"
#include "core/util/AtomicFile.h"
#include "core/util/Csv.h"
#include "core/util/Utf8Path.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

namespace {

#ifdef _WIN32
constexpr char kSeparator = '\\';
#else
constexpr char kSeparator = '/';
#endif

std::tm LocalTime(std::time_t when)
{
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &when);
#else
    localtime_r(&when, &local);
#endif
    return local;
}

// Seconds east of UTC of local time at when.
long UtcOffset(std::time_t when)
{
    std::tm utc{};
#ifdef _WIN32
    gmtime_s(&utc, &when);
#else
    gmtime_r(&when, &utc);
#endif
    std::tm local = LocalTime(when);
    // Both broken-down times read as if they were UTC; their difference is
    // the offset, summer time included.
    utc.tm_isdst = 0;
    local.tm_isdst = 0;
#ifdef _WIN32
    return static_cast<long>(_mkgmtime(&local) - _mkgmtime(&utc));
#else
    return static_cast<long>(timegm(&local) - timegm(&utc));
#endif
}

} // namespace

std::string IsoLocalTime(std::time_t when)
{
    const std::tm local = LocalTime(when);
    char text[40];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
    const long offset = UtcOffset(when);
    const long minutes = (offset < 0 ? -offset : offset) / 60;
    char zone[40];
    std::snprintf(zone, sizeof zone, "%c%02ld:%02ld", offset < 0 ? '-' : '+', minutes / 60, minutes % 60);
    return std::string(text) + zone;
}

std::string FleetLogDirectory()
{
    // Beside the read copies, in the same per-user data folder.
    std::string directory = ReadCopiesDirectory();
    const std::size_t cut = directory.find_last_of(kSeparator);
    if (directory.empty() || cut == std::string::npos)
        return {};
    return directory.substr(0, cut + 1) + "fleet-logs";
}

std::string FleetLogName(std::time_t start)
{
    const std::tm local = LocalTime(start);
    char name[48];
    std::strftime(name, sizeof name, "fleet-%Y-%m-%d_%H-%M-%S.csv", &local);
    return name;
}

std::string DefaultFleetLogPath(std::time_t start)
{
    const std::string directory = FleetLogDirectory();
    return directory.empty() ? std::string() : directory + kSeparator + FleetLogName(start);
}

std::string FleetLog::Text() const
{
    std::string text = std::string(kFleetLogHeading) + "\n";
    for (const std::string& line : lines_)
        text += line;
    return text;
}

bool FleetLog::Add(const FleetRecord& record, std::string* error)
{
    lines_.push_back(CsvLine({std::to_string(record.radio), IsoLocalTime(record.time), record.port, record.identity,
                              ModelText(record.model), FleetResultWord(record.result), FleetDetailText(record, false),
                              record.backup}));
    if (path_.empty()) {
        if (error)
            *error = "no folder for the log (neither XDG_DATA_HOME nor HOME is set)";
        return false;
    }
    const std::filesystem::path parent = PathFromUtf8(path_).parent_path();
    std::error_code made;
    if (!parent.empty())
        std::filesystem::create_directories(parent, made);
    return WriteFileAtomically(path_, Text(), error);
}
