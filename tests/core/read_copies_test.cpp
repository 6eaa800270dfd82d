// The copies of complete reads: folder, names, retention, failures.

#include "core/document/DataFile.h"
#include "core/link/ReadCopies.h"

#include "../TestSystem.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

class ReadCopies : public ::testing::Test
{
protected:
    void SetUp() override
    {
        root_ = fs::temp_directory_path() / ("read-copies-" + std::to_string(testsystem::ProcessId()));
        fs::remove_all(root_);
        fs::create_directories(root_);
        // Names come from local time: pin the zone so that they are known.
        testsystem::UseUtcAsLocalTime();
    }
    void TearDown() override { fs::remove_all(root_); }

    std::string Dir() const { return (root_ / "reads").string(); }
    // The folder as the start of a copy's path, with the system's separator.
    static std::string In(const std::string& folder)
    {
#ifdef _WIN32
        return folder + "\\";
#else
        return folder + "/";
#endif
    }

    static RadioImage Image(std::uint8_t fill)
    {
        RadioImage image{};
        image.fill(fill);
        return image;
    }

    fs::path root_;
};

// 2026-12-08 14:03:22 UTC.
constexpr std::time_t kMoment = 1796738602;

#ifdef _WIN32
TEST_F(ReadCopies, FolderIsUnderLocalAppData)
{
    const std::string saved = std::getenv("LOCALAPPDATA") ? std::getenv("LOCALAPPDATA") : "";
    testsystem::SetEnv("LOCALAPPDATA", "C:\\Users\\u\\AppData\\Local");
    EXPECT_EQ(ReadCopiesDirectory(), "C:\\Users\\u\\AppData\\Local\\radio-programmer\\radio-reads");
    testsystem::UnsetEnv("LOCALAPPDATA");
    EXPECT_EQ(ReadCopiesDirectory(), "");
    testsystem::SetEnv("LOCALAPPDATA", saved.c_str());
}
#else
TEST_F(ReadCopies, FolderFollowsXdgDataHomeThenHome)
{
    const std::string savedData = std::getenv("XDG_DATA_HOME") ? std::getenv("XDG_DATA_HOME") : "";
    const std::string savedHome = std::getenv("HOME") ? std::getenv("HOME") : "";
    struct Case
    {
        const char* data; // null: unset
        const char* home;
        std::string folder;
    };
    const Case cases[] = {
        {"/x/data", "/home/u", "/x/data/radio-programmer/radio-reads"},
        {nullptr, "/home/u", "/home/u/.local/share/radio-programmer/radio-reads"},
        {"", "/home/u", "/home/u/.local/share/radio-programmer/radio-reads"},
        {"relative/path", "/home/u", "/home/u/.local/share/radio-programmer/radio-reads"},
        {"./data", "/home/u", "/home/u/.local/share/radio-programmer/radio-reads"},
        {nullptr, nullptr, ""},
    };
    for (const auto& c : cases) {
        c.data ? testsystem::SetEnv("XDG_DATA_HOME", c.data) : testsystem::UnsetEnv("XDG_DATA_HOME");
        c.home ? testsystem::SetEnv("HOME", c.home) : testsystem::UnsetEnv("HOME");
        std::string note;
        EXPECT_EQ(ReadCopiesDirectory(&note), c.folder) << (c.data ? c.data : "(unset)");
        const bool relative = c.data && c.data[0] != '\0' && c.data[0] != '/';
        EXPECT_EQ(note,
                  relative ? "XDG_DATA_HOME is a relative path (" + std::string(c.data) + "); it is ignored" : "");
    }
    savedData.empty() ? testsystem::UnsetEnv("XDG_DATA_HOME") : testsystem::SetEnv("XDG_DATA_HOME", savedData.c_str());
    testsystem::SetEnv("HOME", savedHome.c_str());
}
#endif

TEST_F(ReadCopies, CopyIsADataFileNamedFromTheLocalTime)
{
    EXPECT_EQ(ReadCopyName(kMoment), "2026-12-08_14-03-22.dat");
    const RadioImage image = Image(0x5A);
    const ReadCopyResult first = StoreReadCopy(image, Dir(), kMoment);
    ASSERT_TRUE(first.Stored()) << first.error;
    EXPECT_EQ(first.path, In(Dir()) + "2026-12-08_14-03-22.dat");
    RadioImage loaded{};
    ASSERT_EQ(LoadDataFile(first.path, loaded), DataFileResult::Ok);
    EXPECT_EQ(loaded, image);

    // Reads within one second keep each other: the later ones get a number.
    const ReadCopyResult second = StoreReadCopy(Image(0x01), Dir(), kMoment);
    const ReadCopyResult third = StoreReadCopy(Image(0x02), Dir(), kMoment);
    EXPECT_EQ(second.path, In(Dir()) + "2026-12-08_14-03-22_2.dat");
    EXPECT_EQ(third.path, In(Dir()) + "2026-12-08_14-03-22_3.dat");
    ASSERT_EQ(LoadDataFile(first.path, loaded), DataFileResult::Ok);
    EXPECT_EQ(loaded, image);
}

TEST_F(ReadCopies, NewestHundredAreKeptAndOtherFilesAreLeftAlone)
{
    fs::create_directories(Dir());
    for (const char* other : {"notes.txt", "2026-12-08_14-03-22.dat.tmp", "backup.dat", "2026-12-08_14-03-22_1.dat"})
        std::ofstream(In(Dir()) + "" + other) << "x";
    for (int i = 0; i < 105; ++i)
        ASSERT_TRUE(StoreReadCopy(Image(static_cast<std::uint8_t>(i)), Dir(), kMoment + i * 60).Stored());
    // Two in the last second: numbered copies count and sort after the plain name.
    for (int i = 0; i < 11; ++i)
        ASSERT_TRUE(StoreReadCopy(Image(0xEE), Dir(), kMoment + 104 * 60).Stored());

    const std::vector<std::string> copies = ListReadCopies(Dir());
    ASSERT_EQ(copies.size(), kReadCopiesKept);
    // 116 stored, 100 kept: the first 16 minutes are gone.
    EXPECT_EQ(fs::path(copies.front()).filename(), ReadCopyName(kMoment + 16 * 60));
    EXPECT_EQ(fs::path(copies[copies.size() - 12]).filename(), ReadCopyName(kMoment + 104 * 60));
    EXPECT_EQ(fs::path(copies[copies.size() - 11]).filename(), "2026-12-08_15-47-22_2.dat");
    EXPECT_EQ(fs::path(copies.back()).filename(), "2026-12-08_15-47-22_12.dat");
    for (const char* other : {"notes.txt", "2026-12-08_14-03-22.dat.tmp", "backup.dat", "2026-12-08_14-03-22_1.dat"})
        EXPECT_TRUE(fs::exists(In(Dir()) + "" + other)) << other;
}

TEST_F(ReadCopies, CopyOfAClockSetBackIsNotPrunedAtOnce)
{
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(StoreReadCopy(Image(1), Dir(), kMoment + i, 3).Stored());
    const ReadCopyResult early = StoreReadCopy(Image(2), Dir(), kMoment - 86400, 3);
    ASSERT_TRUE(early.Stored());
    EXPECT_TRUE(fs::exists(early.path));
    EXPECT_EQ(ListReadCopies(Dir()).size(), 3u);
    EXPECT_FALSE(fs::exists(In(Dir()) + "" + ReadCopyName(kMoment)));
}

// With the clock set back, the copies already there were written "later"
// than the one a read stores now; that one still stays, and the oldest of the
// others goes.
TEST_F(ReadCopies, CopyJustWrittenStaysWhenTheOthersCarryFutureTimes)
{
    const std::time_t now = std::time(nullptr);
    std::vector<std::string> earlier;
    for (int i = 0; i < 3; ++i) {
        const ReadCopyResult r = StoreReadCopy(Image(1), Dir(), kMoment + i, 3);
        ASSERT_TRUE(r.Stored());
        testsystem::SetModifiedTime(r.path, now + 86400 + i);
        earlier.push_back(r.path);
    }
    const ReadCopyResult latest = StoreReadCopy(Image(2), Dir(), kMoment - 3600, 3);
    ASSERT_TRUE(latest.Stored()) << latest.error;
    EXPECT_TRUE(fs::exists(latest.path));
    EXPECT_EQ(ListReadCopies(Dir()), (std::vector<std::string>{latest.path, earlier[1], earlier[2]}));
    EXPECT_FALSE(fs::exists(earlier[0]));
}

// Names come from a clock that may be wrong; the age of a copy is the time
// it was written. Files that only look like copies are never removed.
TEST_F(ReadCopies, PrunedByTheTimeTheyWereWrittenAndOnlyRealCopies)
{
    fs::create_directories(Dir());
    const auto stampAt = [&](const std::string& path, std::time_t when) { testsystem::SetModifiedTime(path, when); };
    const std::time_t now = std::time(nullptr);
    // A batch written a week ago under names a year in the future.
    std::vector<std::string> future;
    for (int i = 0; i < 3; ++i) {
        const ReadCopyResult r = StoreReadCopy(Image(9), Dir(), kMoment + 365 * 86400 + i, 100);
        ASSERT_TRUE(r.Stored());
        stampAt(r.path, now - 7 * 86400 + i);
        future.push_back(r.path);
    }
    // Files with a copy's name that are no copy: wrong size, wrong magic.
    const std::string shortFile = In(Dir()) + "" + ReadCopyName(kMoment - 10);
    const std::string notData = In(Dir()) + "" + ReadCopyName(kMoment - 20);
    // And a data file with more after it.
    const std::string longer = In(Dir()) + "" + ReadCopyName(kMoment - 30);
    ASSERT_EQ(SaveDataFile(longer, Image(4)), DataFileResult::Ok);
    std::ofstream(longer, std::ios::app) << "more";
    std::ofstream(shortFile) << "x";
    std::ofstream(notData) << std::string(kDataFileSize, 'z');
    stampAt(shortFile, now - 30 * 86400);
    stampAt(notData, now - 30 * 86400);
    stampAt(longer, now - 30 * 86400);

    // Today's reads, under today's names: the week-old batch goes first.
    std::vector<std::string> today;
    for (int i = 0; i < 3; ++i) {
        const ReadCopyResult r = StoreReadCopy(Image(static_cast<std::uint8_t>(i)), Dir(), kMoment + i, 3);
        ASSERT_TRUE(r.Stored());
        stampAt(r.path, now - 60 + i);
        today.push_back(r.path);
    }
    EXPECT_EQ(ListReadCopies(Dir()), today);
    for (const std::string& path : future)
        EXPECT_FALSE(fs::exists(path)) << path;
    EXPECT_TRUE(fs::exists(shortFile));
    EXPECT_TRUE(fs::exists(notData));
    EXPECT_TRUE(fs::exists(longer));
}

TEST_F(ReadCopies, FailuresAreReportedWithTheirReason)
{
    // A file where the folder should be, a folder without write permission,
    // and no folder at all.
    std::ofstream((root_ / "plain").string()) << "x";
    fs::create_directories(root_ / "locked");
    fs::permissions(root_ / "locked", fs::perms::owner_read | fs::perms::owner_exec);
    struct Case
    {
        std::string folder;
        std::string mentions;
    };
    std::vector<Case> cases = {
        {(root_ / "plain" / "reads").string(), "plain"},
#ifdef _WIN32
        {"", "LOCALAPPDATA"},
#else
        {"", "XDG_DATA_HOME"},
#endif
    };
    if (testsystem::PermissionsLockOut())
        cases.push_back({(root_ / "locked").string(), "locked"});
    for (const auto& c : cases) {
        const ReadCopyResult result = StoreReadCopy(Image(3), c.folder, kMoment);
        EXPECT_FALSE(result.Stored()) << c.folder;
        EXPECT_TRUE(result.path.empty());
        EXPECT_NE(result.error.find(c.mentions), std::string::npos) << result.error;
        EXPECT_EQ(result.error.find('\n'), std::string::npos);
    }
    fs::permissions(root_ / "locked", fs::perms::owner_all);
}

} // namespace
