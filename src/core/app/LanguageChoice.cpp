#include "core/app/LanguageChoice.h"

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

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

bool IsWritableConfigFile(const std::string& path)
{
    if (path.empty())
        return false;
    struct stat info {};
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
