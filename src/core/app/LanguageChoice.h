#pragma once
// Which language a run uses and where a new choice is kept.
//
// Program.ini's Language (section Setup) names the language; a per-user
// "Language" value, when present, takes its place, so a user who cannot
// write Program.ini (a system-wide install) can still choose. The running
// language is Chinese only when that name is "Chinese" exactly; any other
// name (also "chinese") runs in English.
//
// A choice that differs from the running language is always written, in the
// spelling "English" or "Chinese": to Program.ini when it can be written,
// else to the per-user store. Left to the caller: the dialog, the message
// when neither can be written, and the restart.

#include "core/app/IniFile.h"
#include "core/app/UserValues.h"

#include <string>

// Name of the per-user value that overrides Program.ini's Language.
inline constexpr const char* kUserLanguageValue = "Language";

// The language name a run starts with: the per-user choice when there is
// one, else Language of section Setup of the configuration file.
std::string StartupLanguageName(const CIniFile& ini, const UserValues& user);

// The language flag of a language name: true for "Chinese" exactly.
bool IsChineseLanguageName(const std::string& name);

// False when the file exists and cannot be written by this process: no
// write permission bit at all (honoured even for the superuser), or no
// access to the file or its folder.
bool IsWritableConfigFile(const std::string& path);

enum class LanguageSaved {
    Unchanged,  // the choice is the running language: nothing was written
    ProgramIni, // written to Program.ini (and to a per-user value that would hide it)
    PerUser,    // Program.ini cannot be written; kept in the per-user store
    Nowhere,    // neither could be written
};

// Keeps the choice (chinese: the Chinese button) made while running in the
// language given by runningChinese.
LanguageSaved SaveLanguageChoice(CIniFile& ini, UserValues& user, bool runningChinese, bool chinese);
