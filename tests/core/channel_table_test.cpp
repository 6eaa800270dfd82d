#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/channels/ChannelCodec.h"
#include "core/channels/ChannelTable.h"
#include "core/channels/DecimalArithmetic.h"
#include "core/channels/FeatureListing.h"

namespace {

using Row = ChannelTable::value_type;

// An image of 0xFF with channel 1 complete, channel 2 holding only a receive
// frequency (with a tone) and channel 3 only a transmit frequency.
RadioImage SampleImage()
{
    RadioImage image;
    image.fill(0xFF);
    auto set = [&image](int channel, std::size_t at, std::initializer_list<std::uint8_t> bytes) {
        std::size_t offset = ImageMap::ChannelOffset(channel) + at;
        for (std::uint8_t b : bytes)
            image[offset++] = b;
    };
    set(1, 0, {0x00, 0x25, 0x65, 0x14, 0x00, 0x50, 0x00, 0x14, 0x9E, 0x02, 0xFF, 0xFF, 0x08, 0x00});
    set(2, 0, {0x00, 0x00, 0x50, 0x14});
    set(2, 8, {0x13, 0x28, 0xEC, 0xA9});
    set(3, 4, {0x00, 0x00, 0x00, 0x15});
    image[ImageMap::kScanBitmap] = 0x01;
    return image;
}

TEST(ChannelTable, ImageFillsTheTablePerDeviceMode)
{
    struct Case
    {
        int mode;
        bool chinese;
        int channel;
        Row row;
    };
    const Case cases[] = {
        {0, false, 1, {" 1", "146.52500", "140.05000", "67.0", "None", "Narrow", "Yes", "Carrier", "Low"}},
        {0, false, 2, {" 2", "145.00000", "", "D023N", "D754I", "Wide", "No", "QT/DQT", "High"}},
        {0, false, 4, {" 4", "", "", "", "", "", "", "", ""}},
        {1, true, 1, {" 1", "146.52500", "", "67.0", "", "窄", "是", "载波", "低"}},
        {1, false, 3, {" 3", "", "", "", "", "", "", "", ""}},
        {2, false, 2, {" 2", "", "", "", "D754I", "", "", "", ""}},
        {2, true, 3, {" 3", "", "150.00000", "", "无", "宽", "否", "QT/DQT", "高"}},
    };
    for (const Case& c : cases) {
        ChannelTable table = NewChannelTable(c.chinese);
        ImageToTable(SampleImage(), c.mode, c.chinese, table);
        EXPECT_EQ(table[static_cast<std::size_t>(c.channel)], c.row) << "mode " << c.mode << " channel " << c.channel;
        EXPECT_EQ(table[0][3], c.chinese ? "QT/DQT解码" : "QT/DQT Dec");
    }
}

TEST(ChannelTable, TableRoundTripKeepsTheShownSideAndUnrelatedBits)
{
    for (int mode : {0, 1, 2}) {
        const RadioImage original = SampleImage();
        ChannelTable table = NewChannelTable(false);
        ImageToTable(original, mode, false, table);
        RadioImage image = original;
        TableToImage(table, mode, image);
        for (int channel = 1; channel <= 3; ++channel) {
            const std::size_t record = ImageMap::ChannelOffset(channel);
            for (std::size_t i = 0; i < 4; ++i) {
                const std::size_t rx = record + i;
                const std::size_t tx = record + 4 + i;
                EXPECT_EQ(image[rx], mode == 2 ? 0xFF : original[rx]) << mode << " " << channel;
                EXPECT_EQ(image[tx], mode == 1 ? 0xFF : original[tx]) << mode << " " << channel;
            }
            EXPECT_EQ(image[record + 14], 0xFF);
            EXPECT_EQ(image[record + 15], 0xFF);
            EXPECT_EQ(image[record + 12] & 0xE7, original[record + 12] & 0xE7);
            EXPECT_EQ(image[record + 13] & 0xCF, original[record + 13] & 0xCF);
        }
    }
}

TEST(ChannelTable, EmptyRowsAreWrittenBackWithFixedSettings)
{
    RadioImage image;
    image.fill(0x00);
    image[ImageMap::ChannelOffset(6) + 12] = 0xE7;
    image[ImageMap::ChannelOffset(6) + 13] = 0xCF;
    image[ImageMap::kScanBitmap] = 0xFF;
    ChannelTable table = NewChannelTable(true);
    TableToImage(table, 0, image);
    const std::size_t record = ImageMap::ChannelOffset(6);
    const std::vector<std::uint8_t> expected = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                                0xFF, 0xFF, 0xFF, 0xFF, 0xF7, 0xFF, 0x00, 0x00};
    EXPECT_EQ(std::vector<std::uint8_t>(image.begin() + record, image.begin() + record + 16), expected);
    EXPECT_EQ(image[ImageMap::kScanBitmap], 0x00);
    EXPECT_EQ(table[1][0], " 1");
}

TEST(ChannelTable, HiddenSideIsBlankedInTheTableBeforeWriting)
{
    ChannelTable table = NewChannelTable(false);
    table[1] = {" 1", "146.525", "147.525", "D023N", "67.0", "Wide", "Yes", "Off", "High"};
    RadioImage image = SampleImage();
    TableToImage(table, 1, image);
    EXPECT_EQ(table[1][2], "");
    EXPECT_EQ(table[1][4], "");
    EXPECT_EQ(DecodeFrequency(image, 1, FrequencySide::Transmit), "");
    EXPECT_EQ(DecodeTone(image, 1, ToneSide::Decode), "D023N");

    table[1] = {" 1", "146.525", "147.525", "D023N", "67.0", "Wide", "Yes", "Off", "High"};
    TableToImage(table, 2, image);
    EXPECT_EQ(DecodeFrequency(image, 1, FrequencySide::Receive), "");
    EXPECT_EQ(DecodeTone(image, 1, ToneSide::Decode), std::nullopt);
    EXPECT_EQ(DecodeTone(image, 1, ToneSide::Encode), "67.0");
}

TEST(ChannelTable, ColumnWidthsAndEnabledStatePerMode)
{
    using Widths = std::array<int, kTableCols>;
    EXPECT_EQ(ColumnWidths(0), (Widths{500, 1200, 1200, 1200, 1200, 1000, 1000, 0, 0}));
    EXPECT_EQ(ColumnWidths(1), (Widths{500, 1200, 0, 1200, 0, 1000, 1000, 0, 0}));
    EXPECT_EQ(ColumnWidths(2), (Widths{500, 0, 1200, 0, 1200, 1000, 0, 0, 0}));
    EXPECT_FALSE(GridEnabled(0));
    EXPECT_TRUE(GridEnabled(1));
    EXPECT_TRUE(GridEnabled(2));
    EXPECT_FALSE(GridEnabled(3));
    EXPECT_STREQ(ColumnHeading(8, true), "功率");
    EXPECT_STREQ(ColumnHeading(9, false), "");
}

TEST(ChannelTable, FrequencyCheckTestsRangeThenStep)
{
    struct Case
    {
        const char* typed;
        FrequencyCheck result;
        const char* shown;
    };
    const Case cases[] = {
        {"136", FrequencyCheck::Accepted, "136.00000"},         {"174", FrequencyCheck::Accepted, "174.00000"},
        {"135.99375", FrequencyCheck::OutOfRange, "135.99375"}, {"174.00001", FrequencyCheck::OutOfRange, "174.00001"},
        {"145.00625", FrequencyCheck::Accepted, "145.00625"},   {"145.005", FrequencyCheck::Accepted, "145.00500"},
        {"145.0025", FrequencyCheck::BadStep, "145.00250"},     {"145.123456", FrequencyCheck::BadStep, "145.12346"},
        {"abc", FrequencyCheck::OutOfRange, "0.00000"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CheckFrequency(ToTenHertz(c.typed), 13600000, 17400000), c.result) << c.typed;
        EXPECT_EQ(FrequencyDisplayText(c.typed), c.shown);
    }
    EXPECT_EQ(CheckFrequency(0, 0, 0), FrequencyCheck::Accepted);
    EXPECT_EQ(CheckFrequency(500, 0, 0), FrequencyCheck::OutOfRange);
}

TEST(ChannelTable, BandListsGiveTextAndLimits)
{
    struct Case
    {
        const char* list;
        int index;
        const char* text;
        std::int32_t low;
        std::int32_t high;
    };
    const Case cases[] = {
        {"136-174|400-470", 1, "400-470", 40000000, 47000000},
        {"136-174|400-470", 5, "400-470", 40000000, 47000000},
        {"136-174|400-470", -1, "136-174", 13600000, 17400000},
        {"136-174", 0, "136-174", 13600000, 17400000},
        {"446", 2, "446", 44600000, 44600000},
        {"", 0, "", 0, 0},
        {"a|b|", 2, "", 0, 0},
        {"99999-3000000", 0, "99999-3000000", 2147483647, 2147483647},
    };
    for (const Case& c : cases) {
        const std::string text = BandText(c.list, c.index);
        EXPECT_EQ(text, c.text) << c.list << " " << c.index;
        std::int32_t low = -1;
        std::int32_t high = -1;
        BandLimits(text, low, high);
        EXPECT_EQ(low, c.low) << text;
        EXPECT_EQ(high, c.high) << text;
    }
}

TEST(FeatureListing, OptionsPageShowsTheFeatureBytes)
{
    using Lines = std::vector<std::pair<std::string, std::string>>;
    auto lines = [](const RadioImage& image, bool chinese) {
        Lines result;
        for (const FeatureLine& line : OptionsPageLines(image, chinese))
            result.emplace_back(line.label, line.value);
        return result;
    };
    EXPECT_EQ(lines(MakeNewImage(), false), (Lines{{"Time Out Time:", "600s"},
                                                   {"Squelch Level:", "4"},
                                                   {"Voice Annunication:", "Off"},
                                                   {"Vox Delay Time:", "0.3s"},
                                                   {"Vox Gain Level:", "5"},
                                                   {"Battery Saver:", "Off"},
                                                   {"Beep:", "Off"}}));
    RadioImage erased;
    erased.fill(0xFF);
    EXPECT_EQ(lines(erased, true), (Lines{{"超时定时器:", "3825s"},
                                          {"静噪电平:", "255"},
                                          {"语音报号:", "英文"},
                                          {"声控延迟时间:", "3.0s"},
                                          {"声控增益电平:", "255"},
                                          {"电池省电:", "开"},
                                          {"哔音:", "开"}}));
    RadioImage edge = MakeNewImage();
    edge[ImageMap::kVoicePrompt] = 1;
    edge[ImageMap::kVoxDelay] = 4;
    edge[ImageMap::kVoxGain] = 0;
    edge[ImageMap::kBatterySaver] = 0xFE;
    const Lines edgeLines = lines(edge, true);
    EXPECT_EQ(edgeLines[2].second, "中文");
    EXPECT_EQ(edgeLines[3].second, "2.0s");
    EXPECT_EQ(edgeLines[4].second, "关");
    EXPECT_EQ(edgeLines[5].second, "关");
    EXPECT_STREQ(OptionsPageTitle(true), "可选功能");
    EXPECT_STREQ(OptionsPageSubtitle(false), "Function");
}

} // namespace
