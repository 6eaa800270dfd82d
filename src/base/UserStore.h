#pragma once
// Per-user values kept between runs: on Windows in the registry under
// HKEY_CURRENT_USER\<key path>; elsewhere, in place of a registry, a small INI
// file under the user's configuration directory ($XDG_CONFIG_HOME, else
// ~/.config). Each key path ("Software\" + AppName) is a section, each value
// a 32-bit number stored in decimal or a text; key paths and value names are matched
// without regard to case. Every access reads the file afresh and a change
// is written at once (atomically), so two running instances never undo each
// other's choices.

#include "core/app/UserValues.h"

#include <QString>
#include <cstdint>
#include <optional>
#include <string>

class CUserStore
{
public:
    explicit CUserStore(std::string keyPath);

    // "Software\" followed by AppName of section Setup of Program.ini.
    static CUserStore ForApplication();
    // The INI file of the store off Windows.
    static QString FilePath();

    const std::string& KeyPath() const { return m_keyPath; }

    // The value, or nothing when it is missing or not a 32-bit number.
    std::optional<std::uint32_t> QueryDword(const std::string& name) const;
    std::uint32_t QueryDword(const std::string& name, std::uint32_t missing) const;
    // Stores the value; false when the file could not be written.
    bool SetDword(const std::string& name, std::uint32_t value);

    // A text value (a language name, a file or device path); empty when
    // missing. Storing an empty text leaves the value empty, which reads as
    // missing.
    std::string QueryString(const std::string& name) const;
    bool SetString(const std::string& name, const std::string& value);

    // The same values as the core reads and writes them.
    UserValues Values() const;

private:
    std::string m_keyPath;
};
