#include "core/app/RegistryValues.h"

#include "core/util/Utf8Path.h"

#include <windows.h>

namespace {

// An open key, closed when it goes.
class Key
{
public:
    Key() = default;
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    ~Key()
    {
        if (m_key != nullptr)
            RegCloseKey(m_key);
    }
    HKEY* Out() { return &m_key; }
    HKEY Get() const { return m_key; }

private:
    HKEY m_key = nullptr;
};

bool OpenForWriting(const std::string& keyPath, Key& key)
{
    return RegCreateKeyExW(HKEY_CURRENT_USER, WideFromUtf8(keyPath).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                           KEY_SET_VALUE, nullptr, key.Out(), nullptr) == ERROR_SUCCESS;
}

} // namespace

std::optional<std::uint32_t> RegistryQueryDword(const std::string& keyPath, const std::string& name)
{
    DWORD value = 0;
    DWORD size = sizeof(value);
    if (RegGetValueW(HKEY_CURRENT_USER, WideFromUtf8(keyPath).c_str(), WideFromUtf8(name).c_str(), RRF_RT_REG_DWORD,
                     nullptr, &value, &size) != ERROR_SUCCESS)
        return std::nullopt;
    return static_cast<std::uint32_t>(value);
}

std::optional<std::string> RegistryQueryString(const std::string& keyPath, const std::string& name)
{
    const std::wstring key = WideFromUtf8(keyPath);
    const std::wstring value = WideFromUtf8(name);
    // The size asked first may grow before the second call: ask again then.
    for (int attempt = 0; attempt < 4; ++attempt) {
        DWORD size = 0;
        LSTATUS status =
            RegGetValueW(HKEY_CURRENT_USER, key.c_str(), value.c_str(), RRF_RT_REG_SZ, nullptr, nullptr, &size);
        if (status != ERROR_SUCCESS)
            return std::nullopt;
        std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
        size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
        status =
            RegGetValueW(HKEY_CURRENT_USER, key.c_str(), value.c_str(), RRF_RT_REG_SZ, nullptr, text.data(), &size);
        if (status == ERROR_MORE_DATA)
            continue;
        if (status != ERROR_SUCCESS)
            return std::nullopt;
        // RegGetValueW counts the terminating null in size.
        text.resize(size / sizeof(wchar_t));
        while (!text.empty() && text.back() == L'\0')
            text.pop_back();
        if (text.empty())
            return std::nullopt;
        return Utf8FromWide(text);
    }
    return std::nullopt;
}

bool RegistrySetDword(const std::string& keyPath, const std::string& name, std::uint32_t value)
{
    Key key;
    if (!OpenForWriting(keyPath, key))
        return false;
    const DWORD data = value;
    return RegSetValueExW(key.Get(), WideFromUtf8(name).c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                          sizeof(data)) == ERROR_SUCCESS;
}

bool RegistrySetStrings(const std::string& keyPath, const std::vector<std::pair<std::string, std::string>>& values)
{
    Key key;
    if (!OpenForWriting(keyPath, key))
        return false;
    bool written = true;
    for (const auto& [name, text] : values) {
        const std::wstring wide = WideFromUtf8(text);
        const auto bytes = static_cast<DWORD>((wide.size() + 1) * sizeof(wchar_t));
        written = RegSetValueExW(key.Get(), WideFromUtf8(name).c_str(), 0, REG_SZ,
                                 reinterpret_cast<const BYTE*>(wide.c_str()), bytes) == ERROR_SUCCESS &&
                  written;
    }
    return written;
}
