#include "core/channels/ChannelTable.h"
#include "core/settings/ProductInfo.h"

#include "../TestSystem.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

using Strings = std::vector<std::string>;

// A configuration store loaded from the given Program.ini text.
class ProductInfoTest : public ::testing::Test
{
protected:
    void TearDown() override
    {
        if (!path.empty())
            fs::remove(path);
    }

    const CIniFile& Ini(const std::string& text)
    {
        path =
            (fs::temp_directory_path() / ("product_info_" + std::to_string(testsystem::ProcessId()) + ".ini")).string();
        std::ofstream(path, std::ios::binary) << text;
        ini.Clear();
        ini.Load(path, false, true);
        return ini;
    }

    std::string path;
    CIniFile ini;
};

const char* const kShippedLike =
    "[Setup]\r\nType1=QM-350\r\nType2=QM-350S\r\nType3=QM-360\r\n"
    "Field1=130 - 160MHz|400 - 470MHz\r\nField2=136MHz\r\nField3=144 - 148MHz|430 - 440MHz|420 - 450MHz\r\n";

TEST_F(ProductInfoTest, TypeListStopsAtTheFirstMissingOrEmptyType)
{
    struct Case
    {
        std::string ini;
        Strings types;
    };
    std::string twenty = "[Setup]\r\n";
    for (int n = 1; n <= 20; ++n)
        twenty += "Type" + std::to_string(n) + "=T" + std::to_string(n) + "\r\n";
    const Case cases[] = {
        {"[Setup]\r\nType1=QM-350\r\nType3=QM-360\r\n", {"QM-350"}},
        {"[Setup]\r\nType1=QM-350\r\nType2=\r\nType3=QM-360\r\n", {"QM-350"}},
        {"[setup]\r\ntype1=A\r\nTYPE2=B\r\n", {"A", "B"}},
        {"[Setup]\r\nType2=B\r\n", {}},
        {"", {}},
        {kShippedLike, {"QM-350", "QM-350S", "QM-360"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ProductTypes(Ini(c.ini)), c.types) << c.ini;
    EXPECT_EQ(ProductTypes(Ini(twenty)).size(), 19u);
}

TEST(BandList, SplitsAtEveryBarKeepingTheRemainder)
{
    const std::pair<const char*, Strings> cases[] = {
        {"130 - 160MHz|400 - 470MHz", {"130 - 160MHz", "400 - 470MHz"}},
        {"136MHz", {"136MHz"}},
        {"", {""}},
        {"a|", {"a", ""}},
        {"|a", {"", "a"}},
        {"a||b", {"a", "", "b"}},
    };
    for (const auto& [list, bands] : cases)
        EXPECT_EQ(SplitBandList(list), bands) << list;
}

TEST_F(ProductInfoTest, DialogOpensOnThePerUserTypeAndBand)
{
    struct Case
    {
        std::uint32_t userType, userBand;
        int type, band;
        Strings bands;
    };
    const Case cases[] = {
        {0, 0, 0, 0, {"130 - 160MHz", "400 - 470MHz"}}, // values absent: the first type and band
        {0, 1, 0, 1, {"130 - 160MHz", "400 - 470MHz"}},
        {2, 2, 2, 2, {"144 - 148MHz", "430 - 440MHz", "420 - 450MHz"}},
        {1, 3, 1, -1, {"136MHz"}},                // band beyond the list
        {5, 0, -1, 0, {""}},                      // type beyond the list: Field6
        {0xFFFFFFFFu, 0xFFFFFFFFu, -1, -1, {""}}, // -1: Field0
    };
    const CIniFile& config = Ini(kShippedLike);
    for (const Case& c : cases) {
        const ProductChoice choice = InitialProductChoice(config, 3, c.userType, c.userBand);
        EXPECT_EQ(choice.type, c.type) << c.userType;
        EXPECT_EQ(choice.band, c.band) << c.userType;
        EXPECT_EQ(choice.bands, c.bands) << c.userType;
    }
}

TEST_F(ProductInfoTest, TypeChangeSelectsItsFirstBand)
{
    const CIniFile& config = Ini(kShippedLike);
    const ProductChoice choice = ChoiceForType(config, 2);
    EXPECT_EQ(choice.type, 2);
    EXPECT_EQ(choice.band, 0);
    EXPECT_EQ(choice.bands.size(), 3u);
    EXPECT_EQ(ChoiceForType(config, 1).bands, Strings{"136MHz"});
}

TEST(ProductChoiceBytes, StoredAtTheTypeAndBandOffsets)
{
    struct Case
    {
        int type, band;
        std::uint8_t typeByte, bandByte;
        bool changed;
    };
    const Case cases[] = {
        {0, 2, 0x00, 0x02, false}, // the new image's own choice
        {0, 1, 0x00, 0x01, true},    {2, 0, 0x02, 0x00, true},
        {-1, -1, 0x00, 0x02, false}, // nothing chosen: nothing stored
        {1, -1, 0x00, 0x02, false},  {-1, 0, 0x00, 0x02, false},
    };
    for (const Case& c : cases) {
        RadioImage image = MakeNewImage();
        RadioImage expected = image;
        EXPECT_EQ(StoreProductChoice(c.type, c.band, image), c.changed) << c.type << " " << c.band;
        expected[ImageMap::kRadioType] = c.typeByte;
        expected[ImageMap::kBandIndex] = c.bandByte;
        EXPECT_EQ(image, expected);
    }
}

TEST_F(ProductInfoTest, OnlyIndexesInTheListsAreTakenForThePerUserValues)
{
    struct Case
    {
        std::uint8_t type, band;
        bool inLists;
    };
    const Case cases[] = {
        {0, 0, true},        {0, 1, true},        {0, 2, false},                // the first type has two bands
        {1, 0, true},        {1, 1, false},       {2, 2, true},  {3, 0, false}, // three types
        {0xFF, 0xFF, false}, {0x12, 0x00, false},
    };
    const CIniFile& config = Ini(kShippedLike);
    for (const Case& c : cases) {
        RadioImage image = MakeNewImage();
        image[ImageMap::kRadioType] = c.type;
        image[ImageMap::kBandIndex] = c.band;
        EXPECT_EQ(ImageChoiceInLists(config, image), c.inLists) << int(c.type) << " " << int(c.band);
    }
}

TEST_F(ProductInfoTest, BandTextsGiveTheirLimits)
{
    struct Case
    {
        int type, band;
        std::int32_t low, high;
    };
    const Case cases[] = {
        {0, 1, 40000000, 47000000}, // the second band of the first type
        {0, 0, 13000000, 16000000},
        {1, 0, 13600000, 13600000}, // no hyphen: one frequency
        {4, 0, 0, 0},               // no list: an empty band
    };
    const CIniFile& config = Ini(kShippedLike);
    for (const Case& c : cases) {
        std::int32_t low = -1;
        std::int32_t high = -1;
        BandLimits(ProductBands(config, c.type)[static_cast<std::size_t>(c.band)], low, high);
        EXPECT_EQ(low, c.low) << c.type << " " << c.band;
        EXPECT_EQ(high, c.high) << c.type << " " << c.band;
    }
}

} // namespace
