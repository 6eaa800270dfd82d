// The per-user values in the Windows registry, against a scratch key under
// HKEY_CURRENT_USER that the test removes again.

#include "core/app/RecentFiles.h"
#include "core/app/UserValues.h"
#include "core/util/Utf8Path.h"

#include "../TestSystem.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

namespace {

class RegistryValues : public ::testing::Test
{
protected:
    void SetUp() override { RegDeleteTreeW(HKEY_CURRENT_USER, WideFromUtf8(keyPath).c_str()); }
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, WideFromUtf8(keyPath).c_str()); }

    // The type and size of a value as the registry holds it; type 0 when missing.
    std::pair<DWORD, DWORD> Stored(const std::string& path, const std::string& name) const
    {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_CURRENT_USER, WideFromUtf8(path).c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
            return {0, 0};
        DWORD type = 0;
        DWORD size = 0;
        const LSTATUS status = RegQueryValueExW(key, WideFromUtf8(name).c_str(), nullptr, &type, nullptr, &size);
        RegCloseKey(key);
        return status == ERROR_SUCCESS ? std::pair<DWORD, DWORD>{type, size} : std::pair<DWORD, DWORD>{0, 0};
    }

    // Values the program did not write: another type under a known name.
    void SetRaw(const std::string& name, DWORD type, const void* data, DWORD size) const
    {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, WideFromUtf8(keyPath).c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                                  nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExW(key, WideFromUtf8(name).c_str(), 0, type, static_cast<const BYTE*>(data), size);
        RegCloseKey(key);
    }

    const std::string keyPath = "Software\\radio-programmer-test-" + std::to_string(testsystem::ProcessId());
    UserValues values = UserValues::InRegistry(keyPath);
};

} // namespace

TEST_F(RegistryValues, NumbersAreThirtyTwoBitValuesFoundWithoutCase)
{
    struct Case
    {
        const char* stored;
        const char* asked;
        std::uint32_t value;
    };
    const Case cases[] = {
        {"com", "COM", 12},
        {"Type", "type", 0},
        {"Field", "FIELD", 4294967295u},
        {"Ports\\COM", "ports\\com", 7}, // a name is taken whole, backslash and all
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        ASSERT_TRUE(values.SetDword(c.stored, c.value));
        EXPECT_EQ(Stored(keyPath, c.stored), (std::pair<DWORD, DWORD>{REG_DWORD, 4}));
        EXPECT_EQ(values.QueryDword(c.asked), std::optional<std::uint32_t>(c.value));
        // The key path is matched without case too.
        EXPECT_EQ(UserValues::InRegistry("SOFTWARE\\" + keyPath.substr(9)).QueryDword(c.asked), c.value);
    }
    // Stored again under another case, the value is replaced, not doubled.
    ASSERT_TRUE(values.SetDword("COM", 3));
    EXPECT_EQ(values.QueryDword("com"), 3u);
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, WideFromUtf8(keyPath).c_str(), 0, KEY_QUERY_VALUE, &key), ERROR_SUCCESS);
    DWORD count = 0;
    RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr,
                     nullptr);
    RegCloseKey(key);
    EXPECT_EQ(count, 4u);
}

TEST_F(RegistryValues, AbsentOrForeignValuesReadAsNothing)
{
    EXPECT_FALSE(values.QueryDword("com").has_value()); // no key at all
    EXPECT_FALSE(values.QueryString("Language").has_value());
    ASSERT_TRUE(values.SetDword("Type", 1));
    const std::wstring text = L"12";
    SetRaw("Text", REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    const std::uint64_t wide = 5;
    SetRaw("Wide", REG_QWORD, &wide, sizeof(wide));
    SetRaw("Empty", REG_SZ, L"", sizeof(wchar_t));
    struct Case
    {
        const char* name;
        bool number;
        bool text;
    };
    const Case cases[] = {
        {"Field", false, false}, // absent beside others
        {"Text", false, true},   // a number written as text is no 32-bit value
        {"Wide", false, false},  // nor is a 64-bit one
        {"Type", true, false},   // a number is no text
        {"Empty", false, false}, // an empty text reads as missing
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(values.QueryDword(c.name).has_value(), c.number);
        EXPECT_EQ(values.QueryString(c.name).has_value(), c.text);
    }
}

TEST_F(RegistryValues, TextsComeBackAsStored)
{
    const std::string texts[] = {
        "Chinese",
        "C:\\Users\\ann\\新建 2026\\信道.dat",
        " leading and trailing \t",
        "100% /* not a comment */ // nor this;[section]=x",
        std::string(3000, 'x'),
    };
    for (const std::string& text : texts) {
        SCOPED_TRACE(text.substr(0, 40));
        ASSERT_TRUE(values.SetString("Folder", text));
        EXPECT_EQ(Stored(keyPath, "Folder").first, static_cast<DWORD>(REG_SZ));
        EXPECT_EQ(values.QueryString("FOLDER"), text);
    }
    ASSERT_TRUE(values.SetStrings({{"A", "one"}, {"b", "two"}}));
    EXPECT_EQ(values.QueryString("a"), "one");
    EXPECT_EQ(values.QueryString("B"), "two");
}

TEST_F(RegistryValues, RecentFilesKeepTheirOrderInTheRegistry)
{
    RecentFileList list;
    list.Add("C:\\radios\\a.dat");
    list.Add("C:\\radios\\信道.dat");
    ASSERT_TRUE(list.Save(values));
    const RecentFileList loaded = RecentFileList::Load(UserValues::InRegistry(keyPath));
    EXPECT_EQ(loaded.Files(), list.Files());
    EXPECT_EQ(loaded.Files().front(), "C:\\radios\\信道.dat");
}
