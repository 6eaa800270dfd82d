#include "core/app/IniFile.h"
#include "core/util/AtomicFile.h"

#include "../TestSystem.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

class IniFileTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        dir = fs::temp_directory_path() / ("ini_test_" + std::to_string(testsystem::ProcessId()) + "_" +
                                           ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
        path = (dir / "Program.ini").string();
    }
    void TearDown() override { fs::remove_all(dir); }

    void Write(const std::string& text) { std::ofstream(path, std::ios::binary) << text; }
    std::string Read() const
    {
        std::ifstream in(path, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }

    fs::path dir;
    std::string path;
};

struct LookupCase
{
    const char* name;
    const char* file;
    const char* section;
    const char* key;
    const char* expected;
};

class IniLookup : public IniFileTest, public ::testing::WithParamInterface<LookupCase>
{};

TEST_P(IniLookup, ReadsValue)
{
    const LookupCase& c = GetParam();
    Write(c.file);
    CIniFile ini;
    ASSERT_TRUE(ini.Load(path, false, true));
    EXPECT_EQ(ini.GetValue(c.section, c.key, "dflt"), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Syntax, IniLookup,
    ::testing::Values(
        LookupCase{"KeysBeforeFirstHeaderAreSectionZero", "a=1\n[S]\nb=2\n", "", "a", "1"},
        LookupCase{"HeaderBlanksDoNotMatch", "[ Setup ]\nLanguage=English\n", "Setup", "Language", "dflt"},
        LookupCase{"HeaderBlanksKeptInName", "[ Setup ]\nLanguage=English\n", " Setup ", "Language", "English"},
        LookupCase{"CapitalHeaderMatches", "[SETUP]\nLanguage=English\n", "Setup", "language", "English"},
        LookupCase{"KeyWithoutEquals", "[S]\nLanguage\n", "S", "Language", ""},
        LookupCase{"SpacesAroundEqualsTrimmed", "[S]\n  key  =   value  \n", "S", "key", "value"},
        LookupCase{"CrLfLines", "[S]\r\nkey=value\r\n", "S", "key", "value"},
        LookupCase{"TabsTrimmed", "\t[S]\t\n\tkey\t=\tv\t\n", "S", "key", "v"},
        LookupCase{"ValueCutAtDoubleSlash", "[S]\nurl=http://example.org\n", "S", "url", "http:"},
        LookupCase{"TabSemicolonCut", "[S]\nk=value\t; note\n", "S", "k", "value"},
        LookupCase{"BlankSemicolonKept", "[S]\nk=value ; note\n", "S", "k", "value ; note"},
        LookupCase{"BlankSlashesKeepsTrailingBlank", "[S]\nk=Chinese // note\n", "S", "k", "Chinese "},
        LookupCase{"SlashStarCut", "[S]\nk=a/*b*/\n", "S", "k", "a"},
        LookupCase{"CommentLinesDropped", "[S]\n;k=1\n//k=2\n/*k=3\n\\k=4\n*k=5\n", "S", "k", "dflt"},
        LookupCase{"HashIsAKey", "[S]\n#k=1\n", "S", "#k", "1"},
        LookupCase{"LaterKeyWins", "[S]\nk=1\nk=2\n", "S", "k", "2"},
        LookupCase{"FirstOfDuplicateSectionsWins", "[S]\na=1\n[S]\nb=2\n", "S", "b", "dflt"},
        LookupCase{"FirstOfDuplicatesWhateverTheirCase", "[s]\na=1\n[S]\nb=2\n", "S", "a", "1"},
        LookupCase{"GbkNameFoldsItsLettersOnly", "[Ab\x81\x61]\nk=1\n", "aB\x81\x61", "k", "1"},
        LookupCase{"EmptyBracketsNameEmptySection", "x=0\n[]\nk=1\n", "", "k", "dflt"},
        LookupCase{"UnclosedHeaderIsKey", "[S\n", "", "[S", ""},
        LookupCase{"LineStartingWithEqualsDropped", "[S]\n=v\n", "S", "", "dflt"},
        LookupCase{"MissingSectionGivesDefaultUntrimmed", "", "Nope", "k", "dflt"},
        LookupCase{"Utf8Passes", "[Chinese]\nCompany=无线电\n", "chinese", "company", "无线电"},
        LookupCase{"GbkPasses", "[Chinese]\nCompany=\xCE\xDE\xCF\xDF\n", "Chinese", "Company", "\xCE\xDE\xCF\xDF"},
        LookupCase{"LastLineWithoutNewline", "[S]\nk=v", "S", "k", "v"}),
    [](const auto& info) { return info.param.name; });

TEST_F(IniFileTest, MissingKeyGivesTrimmedDefault)
{
    Write("[S]\n");
    CIniFile ini;
    ASSERT_TRUE(ini.Load(path, false, true));
    EXPECT_EQ(ini.GetValue("S", "k", "  d  "), "d");
    EXPECT_EQ(ini.GetValue("T", "k", "  d  "), "  d  ");
}

TEST_F(IniFileTest, DoubleByteCharactersAreNotFolded)
{
    // In GBK the second byte of a character may be an ASCII letter; folding
    // it would make two different characters equal.
    Write("[\x81\x61]\nk=1\n");
    CIniFile ini;
    ASSERT_TRUE(ini.Load(path, false, true));
    EXPECT_EQ(ini.GetValue("\x81\x61", "k", ""), "1");
    EXPECT_EQ(ini.GetValue("\x81\x41", "k", "none"), "none");
}

TEST_F(IniFileTest, CaseSensitiveStoreComparesBytes)
{
    Write("[Setup]\nKey=1\n");
    CIniFile ini;
    ASSERT_TRUE(ini.Load(path, false, false));
    EXPECT_EQ(ini.GetValue("setup", "Key", "d"), "d");
    EXPECT_EQ(ini.GetValue("Setup", "key", "d"), "d");
    EXPECT_EQ(ini.GetValue("Setup", "Key", "d"), "1");
}

TEST_F(IniFileTest, WriteBackDropsCommentsAndNormalisesLines)
{
    Write("top=1\n; comment\n[Setup]\n  Language = English  \nLanguage\n#hash\n[Setup\nurl=http://x//y\n");
    {
        CIniFile ini;
        ASSERT_TRUE(ini.Load(path, true, true));
        ini.SetValue("Setup", "New", "v");
    }
    EXPECT_EQ(Read(), "top=1\r\n[Setup]\r\nLanguage=English\r\nLanguage=\r\n#hash=\r\n[Setup=\r\n"
                      "url=http://x//y\r\nNew=v\r\n");
}

TEST_F(IniFileTest, EmptyNamedSectionKeepsItsHeaderOnWriteBack)
{
    // Written without its header, the "[]" section's keys would join [S]
    // and its k=2 would win over k=1.
    Write("[S]\nk=1\n[]\nk=2\n");
    {
        CIniFile ini;
        ASSERT_TRUE(ini.Load(path, true, true));
        ini.SetValue("T", "a", "b");
    }
    EXPECT_EQ(Read(), "[S]\r\nk=1\r\n[]\r\nk=2\r\n[T]\r\na=b\r\n");
    CIniFile again;
    ASSERT_TRUE(again.Load(path, false, true));
    EXPECT_EQ(again.GetValue("S", "k", ""), "1");
}

TEST_F(IniFileTest, NothingWrittenWithoutChange)
{
    Write("; keep me\n[S]\nk=v\n");
    {
        CIniFile ini;
        ASSERT_TRUE(ini.Load(path, true, true));
        ini.SetValue("S", "k", "v");
        EXPECT_FALSE(ini.IsChanged());
    }
    EXPECT_EQ(Read(), "; keep me\n[S]\nk=v\n");
}

TEST_F(IniFileTest, CaseOnlyChangeUpdatesMemoryButNotChangedFlag)
{
    Write("[Setup]\nLanguage=English\n");
    CIniFile ini;
    ASSERT_TRUE(ini.Load(path, false, true));
    ini.SetValue("Setup", "Language", "ENGLISH");
    EXPECT_FALSE(ini.IsChanged());
    EXPECT_EQ(ini.GetValue("Setup", "Language", ""), "ENGLISH");
    EXPECT_TRUE(ini.Save());
    EXPECT_EQ(Read(), "[Setup]\nLanguage=English\n");
}

TEST_F(IniFileTest, SetValueTargetsFirstSectionAndLastKey)
{
    Write("[S]\nk=1\nk=2\n[S]\nk=3\n");
    CIniFile ini;
    ASSERT_TRUE(ini.Load(path, false, true));
    ini.SetValue("s", "K", "9");
    ini.SetValue("New", "a", "b");
    EXPECT_TRUE(ini.IsChanged());
    ASSERT_TRUE(ini.Save());
    EXPECT_TRUE(ini.IsChanged()) << "a save never clears the changed flag";
    EXPECT_EQ(Read(), "[S]\r\nk=1\r\nk=9\r\n[S]\r\nk=3\r\n[New]\r\na=b\r\n");
}

TEST_F(IniFileTest, MissingFileIsCreatedEmpty)
{
    CIniFile ini;
    ASSERT_TRUE(ini.Load(path, false, true));
    EXPECT_TRUE(fs::exists(path));
    EXPECT_EQ(fs::file_size(path), 0u);
    EXPECT_EQ(ini.GetValue("Setup", "Language", ""), "");
}

TEST_F(IniFileTest, UnopenableFileLeavesStoreEmptyAndInert)
{
    CIniFile ini;
    EXPECT_FALSE(ini.Load((dir / "no" / "such" / "dir.ini").string(), true, true));
    EXPECT_EQ(ini.FilePath(), "");
    ini.SetValue("S", "k", "v");
    EXPECT_FALSE(ini.IsChanged());
    EXPECT_EQ(ini.GetValue("S", "k", "d"), "d");
}

TEST_F(IniFileTest, LoadBesideProgramUsesInvocationDirectory)
{
    Write("[S]\nk=beside\n");
    CIniFile ini;
    ASSERT_TRUE(ini.LoadBesideProgram((dir / "Program").string(), "Program.ini", false, true));
    EXPECT_EQ(ini.FilePath(), path);
    EXPECT_EQ(ini.GetValue("S", "k", ""), "beside");

    // A bare program name means the current directory.
    const fs::path old = fs::current_path();
    fs::current_path(dir);
    CIniFile bare;
    EXPECT_TRUE(bare.LoadBesideProgram("Program", "Program.ini", false, true));
    fs::current_path(old);
    EXPECT_EQ(bare.GetValue("S", "k", ""), "beside");
}

TEST_F(IniFileTest, ProgramDirectoryIsThatOfTheRealExecutable)
{
#ifdef _WIN32
    GTEST_SKIP() << "symbolic links need a privilege on Windows; the program is started by its own path there";
#endif
    // <dir>/lib/Program is the program; <dir>/bin/radio-programmer links to it.
    fs::create_directories(dir / "lib");
    fs::create_directories(dir / "bin");
    std::ofstream(dir / "lib" / "Program") << "";
    std::ofstream(dir / "lib" / "Program.ini") << "[S]\nk=lib\n";
    std::ofstream(dir / "bin" / "Program.ini") << "[S]\nk=bin\n";
    fs::create_symlink("../lib/Program", dir / "bin" / "radio-programmer");
    const std::string lib = fs::canonical(dir / "lib").string();

    EXPECT_EQ(ProgramDirectory((dir / "bin" / "radio-programmer").string()), lib);
    EXPECT_EQ(ProgramDirectory((dir / "lib" / "Program").string()), lib);
    const fs::path old = fs::current_path();
    fs::current_path(dir / "bin");
    EXPECT_EQ(ProgramDirectory("./radio-programmer"), lib);
    EXPECT_EQ(ProgramDirectory("radio-programmer"), fs::current_path().string()); // a bare name
    fs::current_path(old);

    CIniFile ini;
    ASSERT_TRUE(ini.LoadBesideProgram((dir / "bin" / "radio-programmer").string(), "Program.ini", false, true));
    EXPECT_EQ(ini.GetValue("S", "k", ""), "lib");
}

TEST_F(IniFileTest, FailedSaveKeepsPreviousFile)
{
    const std::string before = "; the user's notes\r\n[S]\r\nk=1\r\n";
    Write(before);
    CIniFile ini;
    ASSERT_TRUE(ini.Load(path, false, true));
    ini.SetValue("S", "k", "2");
    for (AtomicWriteStep step : {AtomicWriteStep::Write, AtomicWriteStep::Rename}) {
        SCOPED_TRACE(step == AtomicWriteStep::Write ? "write" : "rename");
        {
            ScopedAtomicWriteFailure failure(step);
            EXPECT_FALSE(ini.Save());
        }
        EXPECT_EQ(Read(), before);
        // No temporary file is left behind.
        EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
        EXPECT_EQ(ini.GetValue("S", "k", ""), "2") << "the change stays in memory";
    }
    EXPECT_TRUE(ini.Save());
    EXPECT_EQ(Read(), "[S]\r\nk=2\r\n");
}

TEST_F(IniFileTest, ZeroBytesAndByteOrderMarkAreNotKeys)
{
    // A file padded with zeros after shorter text, and one that an editor
    // saved with a byte-order mark.
    const std::string padded = "[Setup]\r\nLanguage=Chinese\r\n" + std::string(7, '\0') + "\r\n" +
                               std::string(5, '\0') + "\r\nk=v\0\0\r\n" + std::string(12, '\0');
    const std::string bom = "\xEF\xBB\xBF[Setup]\r\nLanguage=Chinese\r\nk=v\r\n";
    for (const std::string& text : {padded, bom}) {
        Write(text);
        {
            CIniFile ini;
            ASSERT_TRUE(ini.Load(path, true, true));
            EXPECT_EQ(ini.GetValue("Setup", "Language", ""), "Chinese");
            EXPECT_EQ(ini.GetValue("Setup", "k", ""), "v");
            ini.SetValue("Setup", "Language", "English");
        }
        EXPECT_EQ(Read(), "[Setup]\r\nLanguage=English\r\nk=v\r\n");
    }
}

TEST_F(IniFileTest, AKeyBeginningWithAByteOrderMarkSurvivesWriteBack)
{
    // Only a mark at the very start of the file is skipped; once the comment
    // above this key is dropped on write-back, the key comes first.
    Write("; comment\n\xEF\xBB\xBFShowLang=1\n[Setup]\nk=4\n");
    {
        CIniFile ini;
        ASSERT_TRUE(ini.Load(path, true, true));
        EXPECT_EQ(ini.GetValue("", "ShowLang", "-"), "-");
        ini.SetValue("Setup", "k", "5");
    }
    CIniFile again;
    ASSERT_TRUE(again.Load(path, false, true));
    EXPECT_EQ(again.GetValue("", "ShowLang", "-"), "-");
    EXPECT_EQ(again.GetValue("", "\xEF\xBB\xBFShowLang", "-"), "1");
    EXPECT_EQ(again.GetValue("Setup", "k", ""), "5");
}

TEST_F(IniFileTest, HugeFileLoadsAndAnswersQuickly)
{
    // 200,000 sections, each name twice in different case: loading and a
    // look-up of every name stay linear (a quadratic store takes minutes;
    // a linear one well under a second, so the bound leaves room for a
    // busy machine), and the first of two sections of one name still
    // answers. Speed itself is the benchmark's business.
    constexpr int kSections = 100000;
    std::string text;
    for (int i = 0; i < kSections; ++i)
        text += "[Section" + std::to_string(i) + "]\nk=first\n";
    for (int i = 0; i < kSections; ++i)
        text += "[SECTION" + std::to_string(i) + "]\nk=second\nonly=second\n";
    Write(text);
    // The best of three runs, so that a busy machine does not decide.
    auto elapsed = std::chrono::steady_clock::duration::max();
    for (int run = 0; run < 3; ++run) {
        const auto start = std::chrono::steady_clock::now();
        CIniFile ini;
        ASSERT_TRUE(ini.Load(path, false, true));
        int found = 0;
        for (int i = 0; i < kSections; ++i)
            found += ini.GetValue("section" + std::to_string(i), "k", "") == "first";
        elapsed = std::min(elapsed, std::chrono::steady_clock::now() - start);
        EXPECT_EQ(found, kSections);
        EXPECT_EQ(ini.GetValue("Section7", "only", "none"), "none");
    }
#if defined(__SANITIZE_ADDRESS__) || defined(_WIN32)
    EXPECT_LT(elapsed, std::chrono::seconds(30)) << "instrumented build, or Windows under an emulator";
#else
    EXPECT_LT(elapsed, std::chrono::seconds(10));
#endif
}

TEST_F(IniFileTest, ReloadSavesPendingChangesFirst)
{
    Write("[S]\nk=1\n");
    const std::string other = (dir / "other.ini").string();
    std::ofstream(other) << "[T]\n";
    CIniFile ini;
    ASSERT_TRUE(ini.Load(path, false, true));
    ini.SetValue("S", "k", "2");
    ASSERT_TRUE(ini.Load(other, false, true));
    EXPECT_EQ(Read(), "[S]\r\nk=2\r\n");
    EXPECT_EQ(ini.GetValue("S", "k", "gone"), "gone");
}

} // namespace
