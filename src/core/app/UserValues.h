#pragma once
// The per-user values of one key path ("Software\" + AppName), kept in a
// small INI file: the key path is the section, each value a key. Value names
// and key paths are matched without regard to case. Every query reads the
// file afresh and every change writes it at once (atomically), so two
// running instances never undo each other's choices.
//
// Numbers are stored in decimal. Texts (a language name, a file path) are
// stored with the characters the INI reader would cut or trim escaped as
// %XX, so any path comes back exactly as it was stored.

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class UserValues
{
public:
    UserValues(std::string filePath, std::string keyPath);
#ifdef _WIN32
    // The values of the registry key HKEY_CURRENT_USER\keyPath instead of a
    // file: numbers as REG_DWORD, texts as REG_SZ, stored as they are.
    static UserValues InRegistry(std::string keyPath);
    bool IsRegistry() const
    {
        return m_registry;
    }
#endif

    const std::string& FilePath() const
    {
        return m_filePath;
    }
    const std::string& KeyPath() const
    {
        return m_keyPath;
    }

    // The value, or nothing when it is missing or not a 32-bit number.
    std::optional<std::uint32_t> QueryDword(const std::string& name) const;
    // The text, or nothing when the value is missing or empty.
    std::optional<std::string> QueryString(const std::string& name) const;

    // Store a value, creating the file and its folder when needed; false
    // when the file could not be written.
    bool SetDword(const std::string& name, std::uint32_t value);
    bool SetString(const std::string& name, const std::string& value);
    // Several texts in one write.
    bool SetStrings(const std::vector<std::pair<std::string, std::string>>& values);

private:
    std::optional<std::string> QueryRaw(const std::string& name) const;
    bool SetRaw(const std::vector<std::pair<std::string, std::string>>& stored);

    std::string m_filePath;
    std::string m_keyPath;
    bool m_registry = false;
};

// The escaping of stored texts: '%', '*', control characters, a '/' before
// another '/' and a blank at either end become %XX; everything else, UTF-8
// included, stays as it is, so a stored path stays readable.
std::string EscapeStoredText(const std::string& text);
std::string UnescapeStoredText(const std::string& stored);
