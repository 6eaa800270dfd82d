#include "core/link/ReadCopies.h"

#include "core/document/DataFile.h"
#include "core/util/AtomicFile.h"
#include "core/util/UserDataDir.h"
#include "core/util/Utf8Path.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <tuple>

namespace fs = std::filesystem;

namespace {

// Copies are named in the system's own way, as users see paths there.
#ifdef _WIN32
constexpr const char* kSeparator = "\\";
#else
constexpr const char* kSeparator = "/";
#endif

// "YYYY-MM-DD_HH-MM-SS" is 19 characters: digits except at the separators.
constexpr std::size_t kStampLength = 19;

bool IsStamp(const std::string& text)
{
    if (text.size() != kStampLength)
        return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const bool separator = i == 4 || i == 7 || i == 13 || i == 16;
        if (separator ? c != '-' : (i == 10 ? c != '_' : (c < '0' || c > '9')))
            return false;
    }
    return true;
}

// Stamp and sequence number (1 for the plain name, n for "_n") of a copy's
// file name; false for any other name.
bool ParseCopyName(const std::string& name, std::string& stamp, long& sequence)
{
    if (name.size() < kStampLength + 4 || name.compare(name.size() - 4, 4, ".dat") != 0)
        return false;
    stamp = name.substr(0, kStampLength);
    if (!IsStamp(stamp))
        return false;
    const std::string rest = name.substr(kStampLength, name.size() - 4 - kStampLength);
    if (rest.empty()) {
        sequence = 1;
        return true;
    }
    if (rest.size() < 2 || rest.size() > 7 || rest[0] != '_' ||
        !std::all_of(rest.begin() + 1, rest.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return false;
    sequence = std::stol(rest.substr(1));
    return sequence >= 2;
}

// Only a complete data file is taken for a copy: a file of that name that
// holds anything else is not this program's to remove.
bool IsDataFile(const std::string& path, std::uintmax_t size)
{
    if (size != kDataFileSize)
        return false;
    std::vector<std::uint8_t> bytes;
    RadioImage ignored{};
    return ReadFileBytes(path, bytes, kDataFileSize) && ParseDataFile(bytes, ignored) == DataFileResult::Ok;
}

} // namespace

std::string ReadCopiesDirectory(std::string* note)
{
    return UserDataDirectory("radio-reads", note);
}

std::string ReadCopyName(std::time_t when)
{
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &when);
#else
    localtime_r(&when, &local);
#endif
    char name[32];
    std::strftime(name, sizeof name, "%Y-%m-%d_%H-%M-%S.dat", &local);
    return name;
}

std::vector<std::string> ListReadCopies(const std::string& directory)
{
    // Ordered by the time each was written, not by its name: a name comes
    // from the local clock, which may have been wrong, moved to another
    // zone or repeated an hour when summer time ended.
    using Entry = std::tuple<std::int64_t, std::string, long, std::string>;
    std::vector<Entry> copies;
    std::error_code error;
    for (fs::directory_iterator it(PathFromUtf8(directory), error), end; !error && it != end; it.increment(error)) {
        std::string stamp;
        long sequence = 0;
        const std::string path = directory + kSeparator + Utf8FromPath(it->path().filename());
        std::error_code failed;
        if (!ParseCopyName(Utf8FromPath(it->path().filename()), stamp, sequence) ||
            it->symlink_status(failed).type() != fs::file_type::regular)
            continue;
        const std::uintmax_t size = it->file_size(failed);
        const auto written = it->last_write_time(failed);
        if (failed || !IsDataFile(path, size))
            continue;
        const std::int64_t modified =
            std::chrono::duration_cast<std::chrono::nanoseconds>(written.time_since_epoch()).count();
        copies.emplace_back(modified, stamp, sequence, path);
    }
    std::sort(copies.begin(), copies.end());
    std::vector<std::string> paths;
    for (const auto& copy : copies)
        paths.push_back(std::get<3>(copy));
    return paths;
}

ReadCopyResult StoreReadCopy(const RadioImage& image, const std::string& directory, std::time_t when, std::size_t keep)
{
    ReadCopyResult result;
    if (directory.empty()) {
#ifdef _WIN32
        result.error = "no folder for the copies (LOCALAPPDATA is not set)";
#else
        result.error = "no folder for the copies (neither XDG_DATA_HOME nor HOME is set)";
#endif
        return result;
    }
    std::error_code error;
    fs::create_directories(PathFromUtf8(directory), error);
    if (error) {
        result.error = directory + ": " + error.message();
        return result;
    }

    const std::string name = ReadCopyName(when);
    const std::string stem = name.substr(0, name.size() - 4);
    std::string path = directory + kSeparator + name;
    for (int sequence = 2; fs::exists(fs::symlink_status(PathFromUtf8(path), error)); ++sequence)
        path = directory + kSeparator + stem + "_" + std::to_string(sequence) + ".dat";

    std::string why;
    if (SaveDataFile(path, image, &why) != DataFileResult::Ok) {
        result.error = path + ": " + (why.empty() ? "cannot be written" : why);
        return result;
    }
    result.path = path;

    // The copy just written stays even when its name sorts first (a clock
    // set back): it holds the radio's contents of this very read.
    const std::vector<std::string> copies = ListReadCopies(directory);
    std::size_t surplus = copies.size() > keep ? copies.size() - keep : 0;
    for (const std::string& copy : copies) {
        if (surplus == 0)
            break;
        if (copy == path)
            continue;
        fs::remove(PathFromUtf8(copy), error);
        --surplus;
    }
    return result;
}
