// Saving and reading by name the same way on every system: a save over an
// existing file (twice, as every second save used to fail on Windows), names
// that are not ASCII, failed replacements, leftovers and things that are not
// files.

#include "core/channels/ChannelCsv.h"
#include "core/document/DataFile.h"
#include "core/util/AtomicFile.h"
#include "core/util/Utf8Path.h"

#include "../TestSystem.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

class FileNames : public ::testing::Test
{
protected:
    void SetUp() override
    {
        dir_ = Utf8FromPath(fs::temp_directory_path() / ("file-names-" + std::to_string(testsystem::ProcessId())));
        fs::remove_all(PathFromUtf8(dir_));
        fs::create_directories(PathFromUtf8(dir_));
    }
    void TearDown() override { fs::remove_all(PathFromUtf8(dir_)); }
    std::string Path(const std::string& name) const { return dir_ + "/" + name; }
    std::vector<std::string> Names() const
    {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(PathFromUtf8(dir_)))
            names.push_back(Utf8FromPath(entry.path().filename()));
        std::sort(names.begin(), names.end());
        return names;
    }
    static RadioImage Image(std::uint8_t fill)
    {
        RadioImage image{};
        image.fill(fill);
        return image;
    }

    std::string dir_;
};

// Each save replaces the file before it, under plain and non-ASCII names.
TEST_F(FileNames, SavesReplaceTheFileEveryTime)
{
    for (const std::string name : {"plain.dat", "\xE4\xBF\xA1\xE9\x81\x93.dat", "Kan\xC3\xA4le mit Leerzeichen.dat"}) {
        SCOPED_TRACE(name);
        const std::string path = Path(name);
        for (std::uint8_t fill : {0x11, 0x22, 0x33}) {
            std::string error;
            ASSERT_EQ(SaveDataFile(path, Image(fill), &error), DataFileResult::Ok) << error;
            RadioImage loaded{};
            ASSERT_EQ(LoadDataFile(path, loaded, &error), DataFileResult::Ok) << error;
            EXPECT_EQ(loaded, Image(fill));
        }
        // One file under exactly that name, no temporary file left beside it.
        EXPECT_EQ(Names(), std::vector<std::string>{name});
        fs::remove(PathFromUtf8(path));
    }
}

TEST_F(FileNames, NonAsciiNamesReachTheSystemAsTheirCharacters)
{
    const std::string name = "\xE4\xBF\xA1\xE9\x81\x93.csv"; // the two characters for "channel"
    ASSERT_TRUE(WriteFileAtomically(Path(name), std::string("a;b\n")));
#ifdef _WIN32
    // The wide name the system holds is the two characters, not their bytes.
    const std::wstring expected = L"\u4FE1\u9053.csv";
    EXPECT_EQ(fs::directory_iterator(PathFromUtf8(dir_))->path().filename().wstring(), expected);
#else
    EXPECT_TRUE(fs::exists(fs::path(dir_) / name));
#endif
    std::vector<std::uint8_t> bytes;
    ASSERT_TRUE(ReadFileBytes(Path(name), bytes, 100));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "a;b\n");
    EXPECT_TRUE(IsSameFile(Path(name), dir_ + "/./" + name));
    EXPECT_FALSE(IsSameFile(Path(name), Path("other.csv")));
}

// A replacement that fails leaves the old file as it was and nothing else.
TEST_F(FileNames, FailedSaveKeepsThePreviousFile)
{
    const std::string path = Path("keep.dat");
    ASSERT_EQ(SaveDataFile(path, Image(0x5A)), DataFileResult::Ok);
    for (AtomicWriteStep step : {AtomicWriteStep::Write, AtomicWriteStep::Sync, AtomicWriteStep::Rename}) {
        SCOPED_TRACE(static_cast<int>(step));
        ScopedAtomicWriteFailure failure(step, ENOSPC);
        std::string error;
        EXPECT_NE(SaveDataFile(path, Image(0xA5), &error), DataFileResult::Ok);
        EXPECT_NE(error.find("keep.dat"), std::string::npos) << error;
        RadioImage loaded{};
        ASSERT_EQ(LoadDataFile(path, loaded), DataFileResult::Ok);
        EXPECT_EQ(loaded, Image(0x5A));
        EXPECT_EQ(Names(), std::vector<std::string>{"keep.dat"});
    }
}

// Our own temporary files older than a day go; younger ones, and anybody
// else's, stay.
TEST_F(FileNames, StaleTemporaryFilesAreRemoved)
{
    const std::time_t now = std::time(nullptr);
    struct Case
    {
        const char* name;
        std::time_t age;
        bool removed;
    };
    const Case cases[] = {
        {".a.dat.rpsave-Ab3dE9", 2 * 86400, true},
        {".b.dat.rpsave-Xy7zQ1", 3600, false},
        {".c.csv.Q1w2E3", 2 * 86400, true},
        {".notes.txt.Q1w2E3", 2 * 86400, false},
        {"a.dat", 2 * 86400, false},
    };
    for (const Case& c : cases) {
        std::ofstream(PathFromUtf8(Path(c.name))) << "x";
        testsystem::SetModifiedTime(PathFromUtf8(Path(c.name)), now - c.age);
    }
    int expected = 0;
    for (const Case& c : cases)
        expected += c.removed ? 1 : 0;
    EXPECT_EQ(RemoveStaleTemporaryFiles(dir_, now), expected);
    for (const Case& c : cases)
        EXPECT_EQ(fs::exists(PathFromUtf8(Path(c.name))), !c.removed) << c.name;
}

// A folder is neither read nor replaced; on Windows neither is a device
// that a reserved name opens.
TEST_F(FileNames, WhatIsNotAFileIsRefusedByName)
{
    fs::create_directory(PathFromUtf8(Path("folder.dat")));
    std::vector<std::string> paths = {Path("folder.dat")};
#ifdef _WIN32
    paths.push_back("NUL");
    paths.push_back("\\\\.\\NUL");
#endif
    for (const std::string& path : paths) {
        SCOPED_TRACE(path);
        std::vector<std::uint8_t> bytes;
        std::string error;
        EXPECT_FALSE(ReadFileBytes(path, bytes, 100, &error));
        EXPECT_EQ(error, path + ": not a regular file");
        if (path == Path("folder.dat")) {
            EXPECT_FALSE(WriteFileAtomically(path, std::string("x"), &error));
            EXPECT_EQ(error, path + ": not a regular file");
        }
    }
    std::string error;
    std::vector<std::uint8_t> bytes;
    EXPECT_FALSE(ReadFileBytes(Path("missing.dat"), bytes, 100, &error));
    EXPECT_EQ(error.rfind("cannot open " + Path("missing.dat") + ": ", 0), 0u) << error;
}

} // namespace
