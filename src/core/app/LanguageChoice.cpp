#include "core/app/LanguageChoice.h"

#include "core/util/Utf8Path.h"

#include <filesystem>
#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

std::string StartupLanguageName(const CIniFile& ini, const UserValues& user)
{
    if (const auto chosen = user.QueryString(kUserLanguageValue))
        return *chosen;
    return ini.GetValue("Setup", "Language", "");
}

bool IsChineseLanguageName(const std::string& name)
{
    return name == "Chinese";
}

#ifdef _WIN32

// Windows keeps no mode bits: a file marked read-only, or a folder in
// which no file may be made, cannot take the new file.
bool IsWritableConfigFile(const std::string& path)
{
    if (path.empty())
        return false;
    const DWORD attributes = GetFileAttributesW(WideFromUtf8(path).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0)
        return false;
    std::filesystem::path folder = PathFromUtf8(path).parent_path();
    if (folder.empty())
        folder = ".";
    const std::wstring probe = (folder / L".rp-write-probe").wstring();
    HANDLE file = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return GetLastError() == ERROR_FILE_EXISTS;
    CloseHandle(file);
    return true;
}

#else

bool IsWritableConfigFile(const std::string& path)
{
    if (path.empty())
        return false;
    struct stat info
    {};
    if (stat(path.c_str(), &info) == 0) {
        if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
            return false;
        if (access(path.c_str(), W_OK) != 0)
            return false;
    }
    // The file is replaced by a rename, which needs the folder.
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    return access(folder.empty() ? "." : folder.c_str(), W_OK) == 0;
}

#endif

LanguageSaved SaveLanguageChoice(CIniFile& ini, UserValues& user, bool runningChinese, bool chinese)
{
    if (chinese == runningChinese)
        return LanguageSaved::Unchanged;
    const std::string value = chinese ? "Chinese" : "English";

    if (!ini.FilePath().empty() && IsWritableConfigFile(ini.FilePath())) {
        const std::string before = ini.GetValue("Setup", "Language", "");
        ini.SetValue("Setup", "Language", value);
        // "chinese" and "Chinese" are the same to the store but not to the
        // program: the choice is written even when only the case differs.
        ini.MarkChanged();
        if (ini.Save()) {
            // A per-user choice would hide Program.ini at the next start.
            if (user.QueryString(kUserLanguageValue) && !user.SetString(kUserLanguageValue, value))
                return LanguageSaved::Nowhere;
            return LanguageSaved::ProgramIni;
        }
        ini.SetValue("Setup", "Language", before);
    }
    return user.SetString(kUserLanguageValue, value) ? LanguageSaved::PerUser : LanguageSaved::Nowhere;
}
