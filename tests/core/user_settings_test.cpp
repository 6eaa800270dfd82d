#include "core/app/LanguageChoice.h"
#include "core/app/RecentFiles.h"
#include "core/app/UserValues.h"
#include "core/util/AtomicFile.h"

#include "../TestSystem.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// A folder with a Program.ini and a per-user store beside it.
class UserSettings : public ::testing::Test
{
protected:
    void SetUp() override
    {
        dir = fs::temp_directory_path() / ("user_settings_" + std::to_string(testsystem::ProcessId()));
        fs::remove_all(dir);
        fs::create_directories(dir / "program");
    }
    void TearDown() override
    {
        fs::permissions(dir / "program", fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(dir);
    }

    std::string IniPath() const { return (dir / "program" / "Program.ini").string(); }
    UserValues User() const { return UserValues((dir / "config" / "store.ini").string(), "Software\\QM-350"); }

    void LoadIni(const std::string& text)
    {
        std::ofstream(IniPath(), std::ios::binary) << text;
        ini.Clear();
        ASSERT_TRUE(ini.Load(IniPath(), true, true));
    }

    fs::path dir;
    CIniFile ini;
};

} // namespace

TEST(StoredText, EveryPathComesBackAsStored)
{
    const std::string paths[] = {
        "/home/ann/radio.dat",
        "/home/ann/my radios/新建 2026.dat",
        "/srv//share/*/x;y.dat",
        " leading and trailing \t",
        "100% /* not a comment */ // nor this\t;nor this",
        "line\r\nbreak",
        "",
    };
    for (const std::string& path : paths) {
        EXPECT_EQ(UnescapeStoredText(EscapeStoredText(path)), path) << path;
        const std::string stored = EscapeStoredText(path);
        EXPECT_EQ(stored.find_first_of("\t\r\n*"), std::string::npos) << stored;
        EXPECT_EQ(stored.find("//"), std::string::npos) << stored;
        if (!stored.empty()) {
            EXPECT_NE(stored.front(), ' ');
            EXPECT_NE(stored.back(), ' ');
        }
    }
    EXPECT_EQ(EscapeStoredText("/home/ann/my radios/a;b.dat"), "/home/ann/my radios/a;b.dat");
    EXPECT_EQ(EscapeStoredText(" a//b "), "%20a%2F/b%20");
    // A lone or malformed % is kept as it is.
    EXPECT_EQ(UnescapeStoredText("50%"), "50%");
    EXPECT_EQ(UnescapeStoredText("%zz%4"), "%zz%4");
}

TEST_F(UserSettings, ValuesSurviveInTheStoreFile)
{
    UserValues user = User();
    EXPECT_FALSE(user.QueryString("Language"));
    EXPECT_FALSE(user.QueryDword("Type"));
    ASSERT_TRUE(user.SetDword("Type", 2));
    ASSERT_TRUE(user.SetString("Language", "Chinese"));
    ASSERT_TRUE(user.SetStrings({{"Recent File1", "/a b/c.dat"}, {"Data Folder", "/a b"}}));
    // Another instance reads them, with value names in any case.
    const UserValues other = User();
    EXPECT_EQ(other.QueryDword("TYPE"), 2u);
    EXPECT_EQ(other.QueryString("language"), "Chinese");
    EXPECT_EQ(other.QueryString("Recent File1"), "/a b/c.dat");
    EXPECT_EQ(other.QueryString("Data Folder"), "/a b");
    EXPECT_FALSE(other.QueryDword("Language")); // not a number
    // A value set empty reads as missing.
    ASSERT_TRUE(user.SetString("Data Folder", ""));
    EXPECT_FALSE(other.QueryString("Data Folder"));
}

TEST_F(UserSettings, StartupLanguageComesFromTheUserBeforeProgramIni)
{
    struct Case
    {
        const char* what;
        const char* ini;
        const char* user; // nullptr: no per-user choice
        const char* name;
        bool chinese;
    };
    const Case cases[] = {
        {"Program.ini only", "[Setup]\r\nLanguage=Chinese\r\n", nullptr, "Chinese", true},
        {"lower case runs in English", "[Setup]\r\nLanguage=chinese\r\n", nullptr, "chinese", false},
        {"per-user choice wins", "[Setup]\r\nLanguage=English\r\n", "Chinese", "Chinese", true},
        {"per-user English over Chinese", "[Setup]\r\nLanguage=Chinese\r\n", "English", "English", false},
        {"no Language anywhere", "[Setup]\r\n", nullptr, "", false},
    };
    for (const Case& c : cases) {
        LoadIni(c.ini);
        fs::remove_all(dir / "config");
        UserValues user = User();
        if (c.user) {
            ASSERT_TRUE(user.SetString(kUserLanguageValue, c.user));
        }
        const std::string name = StartupLanguageName(ini, user);
        EXPECT_EQ(name, c.name) << c.what;
        EXPECT_EQ(IsChineseLanguageName(name), c.chinese) << c.what;
    }
}

TEST_F(UserSettings, ALanguageChoiceIsKeptWhereItCanBeWritten)
{
    struct Case
    {
        const char* what;
        const char* ini;
        bool readOnlyFile;
        bool readOnlyFolder; // not honoured for the superuser, who may write anywhere
        bool storeFails;
        const char* userBefore;
        bool chinese;
        LanguageSaved saved;
        const char* iniLanguage;  // Language in Program.ini afterwards
        const char* userLanguage; // per-user Language afterwards ("" none)
    };
    const Case cases[] = {
        {"writable file", "[Setup]\r\nLanguage=English\r\n", false, false, false, nullptr, true,
         LanguageSaved::ProgramIni, "Chinese", ""},
        {"same language again", "[Setup]\r\nLanguage=English\r\n", false, false, false, nullptr, false,
         LanguageSaved::Unchanged, "English", ""},
        {"lower-case value is rewritten", "[Setup]\r\nLanguage=chinese\r\n", false, false, false, nullptr, true,
         LanguageSaved::ProgramIni, "Chinese", ""},
        {"read-only file", "[Setup]\r\nLanguage=English\r\n", true, false, false, nullptr, true, LanguageSaved::PerUser,
         "English", "Chinese"},
        {"read-only file, lower case", "[Setup]\r\nLanguage=chinese\r\n", true, false, false, nullptr, true,
         LanguageSaved::PerUser, "chinese", "Chinese"},
        {"read-only folder, back to English", "[Setup]\r\nLanguage=English\r\n", false, true, false, "Chinese", false,
         LanguageSaved::PerUser, "English", "English"},
        {"writable file under a per-user choice", "[Setup]\r\nLanguage=English\r\n", false, false, false, "English",
         true, LanguageSaved::ProgramIni, "Chinese", "Chinese"},
        {"neither can be written", "[Setup]\r\nLanguage=English\r\n", true, false, true, nullptr, true,
         LanguageSaved::Nowhere, "English", ""},
    };
    for (const Case& c : cases) {
        fs::permissions(dir / "program", fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(dir / "config");
        LoadIni(c.ini);
        UserValues user = User();
        if (c.userBefore) {
            ASSERT_TRUE(user.SetString(kUserLanguageValue, c.userBefore));
        }
        if (c.readOnlyFile)
            fs::permissions(IniPath(), fs::perms::owner_read | fs::perms::group_read);
        if (c.readOnlyFolder) {
            if (!testsystem::PermissionsLockOut())
                continue;
            fs::permissions(dir / "program", fs::perms::owner_read | fs::perms::owner_exec);
        }
        const bool runningChinese = IsChineseLanguageName(StartupLanguageName(ini, user));
        LanguageSaved saved;
        {
            std::optional<ScopedAtomicWriteFailure> failure;
            if (c.storeFails)
                failure.emplace(AtomicWriteStep::Write, ENOSPC);
            saved = SaveLanguageChoice(ini, user, runningChinese, c.chinese);
        }
        EXPECT_EQ(saved, c.saved) << c.what;
        fs::permissions(IniPath(), fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::add);
        CIniFile after;
        ASSERT_TRUE(after.Load(IniPath(), false, true));
        EXPECT_EQ(after.GetValue("Setup", "Language", ""), c.iniLanguage) << c.what;
        EXPECT_EQ(user.QueryString(kUserLanguageValue).value_or(""), c.userLanguage) << c.what;
        // The next start-up runs in the choice, unless it could not be kept.
        const bool next = c.saved == LanguageSaved::Nowhere ? runningChinese : c.chinese;
        EXPECT_EQ(IsChineseLanguageName(StartupLanguageName(after, user)), next) << c.what;
    }
}

TEST(RecentFiles, NewestFirstWithoutDuplicatesUpToEight)
{
    struct Case
    {
        const char* what;
        std::vector<std::string> added;
        std::vector<std::string> list;
    };
    const Case cases[] = {
        {"newest first", {"/a.dat", "/b.dat", "/c.dat"}, {"/c.dat", "/b.dat", "/a.dat"}},
        {"a file again moves to the front", {"/a.dat", "/b.dat", "/a.dat"}, {"/a.dat", "/b.dat"}},
        {"empty paths are ignored", {"/a.dat", ""}, {"/a.dat"}},
        {"the ninth pushes out the oldest",
         {"/1", "/2", "/3", "/4", "/5", "/6", "/7", "/8", "/9"},
         {"/9", "/8", "/7", "/6", "/5", "/4", "/3", "/2"}},
        {"a listed file again keeps all eight",
         {"/1", "/2", "/3", "/4", "/5", "/6", "/7", "/8", "/1"},
         {"/1", "/8", "/7", "/6", "/5", "/4", "/3", "/2"}},
    };
    for (const Case& c : cases) {
        RecentFileList list;
        for (const auto& path : c.added)
            list.Add(path);
        EXPECT_EQ(list.Files(), c.list) << c.what;
    }
}

TEST(RecentFiles, AChosenFileThatDoesNotOpenLeavesTheList)
{
    RecentFileList list({"/new.dat", "/gone.dat", "/old.dat"});
    std::vector<std::string> tried;
    const auto open = [&](const std::string& path) {
        tried.push_back(path);
        return path != "/gone.dat";
    };
    EXPECT_FALSE(list.OpenEntry(1, open));
    EXPECT_EQ(list.Files(), (std::vector<std::string>{"/new.dat", "/old.dat"}));
    EXPECT_TRUE(list.OpenEntry(1, open));
    EXPECT_EQ(list.Files(), (std::vector<std::string>{"/old.dat", "/new.dat"}));
    EXPECT_FALSE(list.OpenEntry(5, open)); // no such entry: nothing is tried
    EXPECT_EQ(tried, (std::vector<std::string>{"/gone.dat", "/old.dat"}));
}

TEST_F(UserSettings, RecentFilesAreStoredPerUser)
{
    UserValues user = User();
    EXPECT_TRUE(RecentFileList::Load(user).Files().empty());
    RecentFileList list;
    for (const char* path : {"/x/a b.dat", "/x/b;c.dat", "/x/a b.dat", "/x/数据.dat"})
        list.Add(path);
    ASSERT_TRUE(list.Save(user));
    EXPECT_EQ(RecentFileList::Load(User()).Files(), list.Files());
    // A shorter list empties the slots it no longer uses.
    ASSERT_TRUE(RecentFileList({"/only.dat"}).Save(user));
    EXPECT_EQ(RecentFileList::Load(User()).Files(), (std::vector<std::string>{"/only.dat"}));
}
