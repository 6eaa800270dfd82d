#include "core/app/UserValues.h"

#include "core/app/IniFile.h"
#include "core/app/RegistryValues.h"
#include "core/util/Utf8Path.h"

#include <charconv>
#include <filesystem>

namespace {

// Characters the INI reader treats specially: the comment markers "//",
// "/*" and a tab before ';', the blanks it trims at both ends, and line
// ends. Escaping '*' and control characters leaves only "//" to break up.
bool NeedsEscape(const std::string& text, std::size_t i)
{
    const auto c = static_cast<unsigned char>(text[i]);
    if (c == '%' || c < ' ' || c == 0x7F || c == '*')
        return true;
    if (c == '/')
        return i + 1 < text.size() && text[i + 1] == '/';
    if (c == ' ')
        return i == 0 || i + 1 == text.size();
    return false;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

} // namespace

std::string EscapeStoredText(const std::string& text)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (NeedsEscape(text, i)) {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 0x0F];
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string UnescapeStoredText(const std::string& stored)
{
    std::string out;
    out.reserve(stored.size());
    for (std::size_t i = 0; i < stored.size(); ++i) {
        if (stored[i] == '%' && i + 2 < stored.size() && HexDigit(stored[i + 1]) >= 0 && HexDigit(stored[i + 2]) >= 0) {
            out += static_cast<char>(HexDigit(stored[i + 1]) * 16 + HexDigit(stored[i + 2]));
            i += 2;
        } else {
            out += stored[i];
        }
    }
    return out;
}

UserValues::UserValues(std::string filePath, std::string keyPath)
    : m_filePath(std::move(filePath))
    , m_keyPath(std::move(keyPath))
{}

#ifdef _WIN32
UserValues UserValues::InRegistry(std::string keyPath)
{
    UserValues values({}, std::move(keyPath));
    values.m_registry = true;
    return values;
}
#endif

std::optional<std::string> UserValues::QueryRaw(const std::string& name) const
{
    std::error_code ec;
    if (m_filePath.empty() || !std::filesystem::is_regular_file(PathFromUtf8(m_filePath), ec))
        return std::nullopt;
    CIniFile store(4);
    if (!store.Load(m_filePath, false, true))
        return std::nullopt;
    const std::string text = store.GetValue(m_keyPath, name, "");
    if (text.empty())
        return std::nullopt;
    return text;
}

bool UserValues::SetRaw(const std::vector<std::pair<std::string, std::string>>& stored)
{
    if (m_filePath.empty())
        return false;
    std::error_code ec;
    const std::filesystem::path folder = PathFromUtf8(m_filePath).parent_path();
    if (!folder.empty())
        std::filesystem::create_directories(folder, ec);
    CIniFile store(4);
    if (!store.Load(m_filePath, false, true))
        return false;
    for (const auto& [name, text] : stored)
        store.SetValue(m_keyPath, name, text);
    return store.Save();
}

std::optional<std::uint32_t> UserValues::QueryDword(const std::string& name) const
{
#ifdef _WIN32
    if (m_registry)
        return RegistryQueryDword(m_keyPath, name);
#endif
    const auto text = QueryRaw(name);
    if (!text)
        return std::nullopt;
    std::uint32_t value = 0;
    const char* end = text->data() + text->size();
    const auto [ptr, ec] = std::from_chars(text->data(), end, value);
    if (ec != std::errc() || ptr != end)
        return std::nullopt;
    return value;
}

std::optional<std::string> UserValues::QueryString(const std::string& name) const
{
#ifdef _WIN32
    if (m_registry)
        return RegistryQueryString(m_keyPath, name);
#endif
    const auto text = QueryRaw(name);
    if (!text)
        return std::nullopt;
    return UnescapeStoredText(*text);
}

bool UserValues::SetDword(const std::string& name, std::uint32_t value)
{
#ifdef _WIN32
    if (m_registry)
        return RegistrySetDword(m_keyPath, name, value);
#endif
    return SetRaw({{name, std::to_string(value)}});
}

bool UserValues::SetString(const std::string& name, const std::string& value)
{
#ifdef _WIN32
    if (m_registry)
        return RegistrySetStrings(m_keyPath, {{name, value}});
#endif
    return SetRaw({{name, EscapeStoredText(value)}});
}

bool UserValues::SetStrings(const std::vector<std::pair<std::string, std::string>>& values)
{
#ifdef _WIN32
    if (m_registry)
        return RegistrySetStrings(m_keyPath, values);
#endif
    std::vector<std::pair<std::string, std::string>> stored;
    for (const auto& [name, text] : values)
        stored.emplace_back(name, EscapeStoredText(text));
    return SetRaw(stored);
}
