#pragma once
// The per-user values of a key under HKEY_CURRENT_USER of the Windows
// registry (Win32RegistryValues.cpp; Windows only). The key path is
// relative to HKEY_CURRENT_USER ("Software\QM-350"), names and key paths
// are UTF-8; the registry itself matches them without regard to case.

#ifdef _WIN32

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// A REG_DWORD value; nothing when it is missing or of another type.
std::optional<std::uint32_t> RegistryQueryDword(const std::string& keyPath, const std::string& name);
// A REG_SZ value; nothing when it is missing, empty or of another type.
std::optional<std::string> RegistryQueryString(const std::string& keyPath, const std::string& name);

// Create the key when needed and store the values; false when the key
// cannot be made or a value cannot be written.
bool RegistrySetDword(const std::string& keyPath, const std::string& name, std::uint32_t value);
bool RegistrySetStrings(const std::string& keyPath, const std::vector<std::pair<std::string, std::string>>& values);

#endif
