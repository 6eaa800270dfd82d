#include "core/document/DataFile.h"
#include "core/util/AtomicFile.h"

#include "../TestSystem.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

namespace fs = std::filesystem;

namespace {

RadioImage PatternImage()
{
    RadioImage image{};
    for (std::size_t i = 0; i < image.size(); ++i)
        image[i] = static_cast<std::uint8_t>(i * 7 + 3);
    return image;
}

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(RadioImage, NewImageIsErasedExceptTheDefaults)
{
    const RadioImage image = MakeNewImage();
    const std::map<std::size_t, std::uint8_t> defaults = {{0x11D, 0x00}, {0x12F, 0x00}, {0x130, 0x28}, {0x134, 0x04},
                                                          {0x135, 0x00}, {0x136, 0x00}, {0x139, 0x00}, {0x13A, 0x05},
                                                          {0x13B, 0x00}, {0x13C, 0x00}, {0x13D, 0x00}, {0x161, 0x00},
                                                          {0x32E, 0x00}, {0x32F, 0x02}, {0x3F1, 0x03}};
    for (std::size_t i = 0; i < image.size(); ++i) {
        auto it = defaults.find(i);
        EXPECT_EQ(image[i], it == defaults.end() ? 0xFF : it->second) << "offset " << i;
    }
}

TEST(DataFile, SerializesHeaderThenImage)
{
    const RadioImage image = MakeNewImage();
    const auto bytes = SerializeDataFile(image);
    ASSERT_EQ(bytes.size(), 1040u);
    EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "T593");
    for (int i = 4; i < 16; ++i)
        EXPECT_EQ(bytes[static_cast<std::size_t>(i)], 0) << i;
    EXPECT_TRUE(std::equal(image.begin(), image.end(), bytes.begin() + 16));
}

struct ParseCase
{
    const char* name;
    std::size_t size;
    int corruptAt; // -1: none
    DataFileResult expected;
};

class DataFileParse : public ::testing::TestWithParam<ParseCase>
{};

TEST_P(DataFileParse, ResultAndImageUntouchedOnFailure)
{
    const ParseCase& c = GetParam();
    const RadioImage source = PatternImage();
    std::vector<std::uint8_t> bytes = SerializeDataFile(source);
    // Reserved bytes are ignored on reading.
    for (int i = 4; i < 16; ++i)
        bytes[static_cast<std::size_t>(i)] = 0xAA;
    bytes.resize(c.size, 0x55);
    if (c.corruptAt >= 0)
        bytes[static_cast<std::size_t>(c.corruptAt)] ^= 0x01;

    RadioImage image = MakeNewImage();
    EXPECT_EQ(ParseDataFile(bytes, image), c.expected);
    EXPECT_EQ(image, c.expected == DataFileResult::Ok ? source : MakeNewImage());
}

INSTANTIATE_TEST_SUITE_P(Layouts, DataFileParse,
                         ::testing::Values(ParseCase{"Exact", 1040, -1, DataFileResult::Ok},
                                           ParseCase{"LongerIgnoresTail", 5000, -1, DataFileResult::Ok},
                                           ParseCase{"MagicOffByOneByte", 1040, 3, DataFileResult::BadFormat},
                                           ParseCase{"MagicFirstByte", 1040, 0, DataFileResult::BadFormat},
                                           ParseCase{"HeaderOnly", 16, -1, DataFileResult::Truncated},
                                           ParseCase{"OneByteShort", 1039, -1, DataFileResult::Truncated},
                                           ParseCase{"ShortWrongMagic", 100, 0, DataFileResult::BadFormat},
                                           ParseCase{"ShorterThanHeader", 10, 0, DataFileResult::Truncated},
                                           ParseCase{"Empty", 0, -1, DataFileResult::Truncated}),
                         [](const auto& info) { return info.param.name; });

class DataFileDisk : public ::testing::Test
{
protected:
    void SetUp() override
    {
        dir = fs::temp_directory_path() / ("datafile_" + std::to_string(testsystem::ProcessId()));
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }
    fs::path dir;
};

TEST_F(DataFileDisk, SaveThenLoadKeepsEveryByte)
{
    const std::string path = (dir / "a.dat").string();
    const RadioImage source = PatternImage();
    ASSERT_EQ(SaveDataFile(path, source), DataFileResult::Ok);
    EXPECT_EQ(fs::file_size(path), 1040u);
    RadioImage loaded = MakeNewImage();
    ASSERT_EQ(LoadDataFile(path, loaded), DataFileResult::Ok);
    EXPECT_EQ(loaded, source);
}

TEST_F(DataFileDisk, MissingFileCannotOpen)
{
    RadioImage image = MakeNewImage();
    std::string error;
    EXPECT_EQ(LoadDataFile((dir / "none.dat").string(), image, &error), DataFileResult::CannotOpen);
    EXPECT_NE(error, "");
    EXPECT_EQ(image, MakeNewImage());
}

TEST_F(DataFileDisk, FailedSaveLeavesPreviousFile)
{
    const std::string path = (dir / "keep.dat").string();
    ASSERT_EQ(SaveDataFile(path, MakeNewImage()), DataFileResult::Ok);
    const std::string before = ReadAll(path);

    // The save of the very same file fails while writing, then while
    // putting the new file in place; either way the old one stays, byte
    // for byte, and nothing else is left in its directory.
    for (AtomicWriteStep step : {AtomicWriteStep::Write, AtomicWriteStep::Rename}) {
        SCOPED_TRACE(step == AtomicWriteStep::Write ? "write" : "rename");
        std::string error;
        {
            ScopedAtomicWriteFailure failure(step, ENOSPC);
            EXPECT_EQ(SaveDataFile(path, PatternImage(), &error), DataFileResult::CannotWrite);
        }
        EXPECT_NE(error.find("keep.dat"), std::string::npos) << error;
        EXPECT_EQ(ReadAll(path), before);
        EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
    }
    // A target whose directory is a file cannot be written at all.
    EXPECT_EQ(SaveDataFile((dir / "keep.dat" / "x.dat").string(), PatternImage()), DataFileResult::CannotWrite);
    EXPECT_EQ(ReadAll(path), before);

    // Once the disk behaves again the same save goes through.
    ASSERT_EQ(SaveDataFile(path, PatternImage()), DataFileResult::Ok);
    RadioImage image{};
    ASSERT_EQ(LoadDataFile(path, image), DataFileResult::Ok);
    EXPECT_EQ(image, PatternImage());
}

TEST(DataFileText, MessagesInBothLanguages)
{
    EXPECT_EQ(DataFileResultText(DataFileResult::BadFormat, false), "Data Format Error");
    EXPECT_EQ(DataFileResultText(DataFileResult::BadFormat, true), "数据格式不正确");
    EXPECT_EQ(DataFileResultText(DataFileResult::Truncated, false), "");
}

} // namespace
