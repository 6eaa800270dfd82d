// Channels through the clipboard: the binary form byte for byte, text from
// a spreadsheet in either layout, where pasted rows land, and the pastes
// that are refused without touching the image.

#include "ChannelRecordFixture.h"
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/channels/ChannelClipboard.h"
#include "core/channels/ChannelTable.h"

namespace {

using Row = ChannelTable::value_type;

const FrequencyBand kBand{13600000, 17400000};

RadioImage SampleImage()
{
    RadioImage image = MakeNewImage();
    SetRecord(image, 1, {0x00, 0x20, 0x65, 0x14, 0x00, 0x20, 0x65, 0x14, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x30}, true);
    SetRecord(image, 2, {0x00, 0x50, 0x45, 0x14, 0xFF, 0xFF, 0xFF, 0xFF, 0x9E, 0x02, 0xFF, 0xFF, 0x00, 0x10}, false);
    SetRecord(image, 3,
              {0x00, 0x00, 0x45, 0x14, 0x00, 0x00, 0x45, 0x14, 0xFF, 0xFF, 0xB6, 0x02, 0x18, 0x00, 0x12, 0x34}, true);
    return image;
}

Row RowOf(const RadioImage& image, int channel)
{
    ChannelTable table = NewChannelTable(false);
    ImageToTable(image, 0, false, table);
    Row row = table[static_cast<std::size_t>(channel)];
    row[0].clear();
    return row;
}

std::string FirstError(const std::vector<CsvError>& errors)
{
    return errors.empty() ? "" : FormatCsvError(errors.front());
}

TEST(ChannelClipboard, BinaryFormPastesRecordsByteExact)
{
    const RadioImage sample = SampleImage();
    const std::string bytes = ChannelRecordsBytes(sample, {2, 3, 1});
    ASSERT_EQ(bytes.size(), 6u + 3 * 18);
    EXPECT_EQ(bytes.substr(0, 6), std::string("RPCH\x01\x03", 6));

    const RadioImage base = MakeNewImage();
    RadioImage result = base;
    std::vector<int> written;
    std::vector<CsvError> errors;
    ASSERT_TRUE(PasteChannels({bytes, "ignored"}, base, kBand, {}, 10, result, written, errors)) << FirstError(errors);
    EXPECT_EQ(written, (std::vector<int>{10, 11, 12}));
    EXPECT_EQ(ReadChannelRecord(result, 10), ReadChannelRecord(sample, 2));
    EXPECT_EQ(ReadChannelRecord(result, 11), ReadChannelRecord(sample, 3));
    EXPECT_EQ(ReadChannelRecord(result, 12), ReadChannelRecord(sample, 1));
    for (int channel : {1, 9, 13, 16})
        EXPECT_EQ(ReadChannelRecord(result, channel), ReadChannelRecord(base, channel));
}

TEST(ChannelClipboard, MalformedBinaryFormIsNotTaken)
{
    const std::string good = ChannelRecordsBytes(SampleImage(), {1, 2});
    std::string badVersion = good, badCount = good, badFlags = good, badChannel = good;
    badVersion[4] = 2;
    badCount[5] = 3;
    badFlags[7] = 0x02;
    badChannel[6] = 17;
    for (const std::string& bytes : {std::string(), good.substr(0, good.size() - 1), good + "x", badVersion, badCount,
                                     badFlags, badChannel, std::string("XPCH") + good.substr(4)}) {
        EXPECT_FALSE(ParseChannelRecordsBytes(bytes).has_value());
    }
    EXPECT_EQ(ChannelRecordsBytes(SampleImage(), {0, 17}), "");
}

struct TextPasteCase
{
    const char* name;
    std::string text;
    std::vector<int> selected;
    int current;
    std::vector<std::pair<int, Row>> rows; // channel and its texts afterwards
};

TEST(ChannelClipboard, TextPastesInEitherLayoutWithOrWithoutHeading)
{
    const Row full = {"", "146.52000", "147.10000", "67.0", "D023N", "Narrow", "Yes", "Carrier", "Low"};
    const TextPasteCase cases[] = {
        {"own layout, tabs",
         "CH\tRx Frequency\tTx Frequency\tQT/DQT Dec\tQT/DQT Enc\tW/N\tScan\tBusy Lock\tPower\n"
         "3\t146.52\t147.1\t67.0\tD023N\tNarrow\tYes\tCarrier\tLow\n",
         {},
         8,
         {{8, full}}},
        {"Chinese headings, semicolons, decimal commas",
         "信道;接收频率;发射频率;QT/DQT解码;QT/DQT编码;宽/窄;扫描;繁忙锁定;功率\r\n"
         "1;146,52;147,1;67,0;D023N;窄;是;载波;低\r\n",
         {},
         8,
         {{8, full}}},
        {"eight columns, commas", "146.52,147.1,67.0,D023N,Narrow,Yes,Carrier,Low\n", {8}, 1, {{8, full}}},
        {"CH and eight, tabs, CH not used",
         "99\t146.52\t147.1\t67.0\tD023N\tNarrow\tYes\tCarrier\tLow\n",
         {},
         8,
         {{8, full}}},
        {"some columns onto an empty channel",
         "Tx Frequency,W/N\n145.5,Narrow\n",
         {},
         8,
         {{8, {"", "", "145.50000", "None", "None", "Narrow", "No", "Off", "High"}}}},
        {"some columns onto a programmed channel",
         "Tx Frequency\tW/N\n145.5\tNarrow\n",
         {},
         1,
         {{1, {"", "146.52000", "145.50000", "None", "None", "Narrow", "Yes", "Off", "High"}}}},
        {"interchange layout",
         "Location,Frequency,Duplex,Offset,Tone,rToneFreq,Mode\n5,146.52,+,0.6,Tone,100.0,NFM\n",
         {},
         8,
         {{8, {"", "146.52000", "147.12000", "None", "100.0", "Narrow", "No", "Off", "High"}}}},
        {"onto selected channels in order",
         "146.52,147.1,67.0,D023N,Narrow,Yes,Carrier,Low\n145,145,None,None,Wide,No,Off,High\n",
         {2, 9},
         16,
         {{2, full}, {9, {"", "145.00000", "145.00000", "None", "None", "Wide", "No", "Off", "High"}}}},
        {"last rows of the table",
         "145,145,,,,,,\n146,146,,,,,,\n",
         {},
         15,
         {{15, {"", "145.00000", "145.00000", "None", "None", "Wide", "No", "Off", "High"}},
          {16, {"", "146.00000", "146.00000", "None", "None", "Wide", "No", "Off", "High"}}}},
        {"a row without frequencies empties its channel",
         ",,,,,,,\n",
         {},
         1,
         {{1, {"", "", "", "", "", "", "", "", ""}}}},
    };
    const RadioImage sample = SampleImage();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RadioImage result{};
        std::vector<int> written;
        std::vector<CsvError> errors;
        ASSERT_TRUE(PasteChannels({"", c.text}, sample, kBand, c.selected, c.current, result, written, errors))
            << FirstError(errors);
        ASSERT_EQ(written.size(), c.rows.size());
        for (std::size_t k = 0; k < c.rows.size(); ++k) {
            EXPECT_EQ(written[k], c.rows[k].first);
            EXPECT_EQ(RowOf(result, c.rows[k].first), c.rows[k].second);
        }
        for (int channel = 1; channel <= 16; ++channel) {
            if (std::find(written.begin(), written.end(), channel) == written.end()) {
                EXPECT_EQ(ReadChannelRecord(result, channel), ReadChannelRecord(sample, channel));
            }
        }
    }
    // An emptied channel is an empty record, not a re-encoded empty row.
    RadioImage result{};
    std::vector<int> written;
    std::vector<CsvError> errors;
    ASSERT_TRUE(PasteChannels({"", ",,,,,,,\n"}, sample, kBand, {}, 3, result, written, errors));
    EXPECT_EQ(ReadChannelRecord(result, 3), EmptyChannelRecord());
}

struct RefusedCase
{
    const char* name;
    ClipboardChannels clipboard;
    std::vector<int> selected;
    int current;
    std::string firstError;
};

TEST(ChannelClipboard, RefusedPasteChangesNothing)
{
    const std::string records = ChannelRecordsBytes(SampleImage(), {2, 1});
    const RefusedCase cases[] = {
        {"outside the band", {"", "146.52,180,,,,,,\n"}, {}, 1, "1:2: frequency 180.00000 is outside the band"},
        {"wrong number of fields",
         {"", "x\ny\n146.5225,,,,,,,\n"},
         {},
         1,
         "1:2: expected 8 fields, or 9 with CH first, found 1"},
        {"off the step",
         {"", "146.5225\t146.52\t\t\t\t\t\t\n"},
         {},
         1,
         "1:1: frequency 146.52250 is not a multiple of 5 kHz or 6.25 kHz"},
        {"unknown word", {"", "Scan,W/N\nYes,Medium\n"}, {}, 1, "2:2: \"Medium\" is not a value of this column"},
        {"too many rows for the table",
         {"", "145,145,,,,,,\n146,146,,,,,,\n147,147,,,,,,\n"},
         {},
         15,
         "3:1: 3 rows do not fit from channel 15 down to channel 16"},
        {"too many rows for the selection",
         {"", "145,145,,,,,,\n146,146,,,,,,\n147,147,,,,,,\n"},
         {2, 5},
         1,
         "3:1: 3 rows do not fit onto the 2 selected channels"},
        {"nothing", {"", " \n\t\n"}, {}, 1, "1:1: the text holds no channels"},
        {"heading only", {"", "CH,Rx Frequency\n"}, {}, 1, "1:1: no channels below the heading line"},
        {"records too many", {records, ""}, {}, 16, "2:1: 2 rows do not fit from channel 16 down to channel 16"},
    };
    const RadioImage sample = SampleImage();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RadioImage result;
        result.fill(0x55);
        const RadioImage untouched = result;
        std::vector<int> written;
        std::vector<CsvError> errors;
        EXPECT_FALSE(PasteChannels(c.clipboard, sample, kBand, c.selected, c.current, result, written, errors));
        EXPECT_EQ(FirstError(errors), c.firstError);
        EXPECT_EQ(result, untouched);
        EXPECT_TRUE(written.empty());
    }
    // Records are checked against this document's band like typed values.
    RadioImage result{};
    std::vector<int> written;
    std::vector<CsvError> errors;
    EXPECT_FALSE(
        PasteChannels({records, ""}, sample, FrequencyBand{40000000, 47000000}, {}, 1, result, written, errors));
    EXPECT_EQ(FirstError(errors), "1:2: frequency 144.55000 is outside the band");
}

TEST(ChannelClipboard, CopiedTextPastesBackAsTheSameChannels)
{
    const RadioImage sample = SampleImage();
    const std::string text = ChannelsText(sample, {1, 3}, true);
    EXPECT_EQ(text.substr(0, text.find('\n', text.find('\n') + 1) + 1),
              "信道\t接收频率\t发射频率\tQT/DQT解码\tQT/DQT编码\t宽/窄\t扫描\t繁忙锁定\t功率\n"
              "1\t146.52000\t146.52000\t无\t无\t宽\t是\t关\t高\n");

    RadioImage result{};
    std::vector<int> written;
    std::vector<CsvError> errors;
    ASSERT_TRUE(PasteChannels({"", text}, MakeNewImage(), kBand, {}, 10, result, written, errors))
        << FirstError(errors);
    EXPECT_EQ(RowOf(result, 10), RowOf(sample, 1));
    EXPECT_EQ(RowOf(result, 11), RowOf(sample, 3));
}

// Pasted text is held to the radio's eight digits as an imported list is:
// 999.99375 MHz is the highest frequency taken, 1000 MHz is refused.
TEST(ChannelClipboard, PastedFrequenciesStopBelow1000MHz)
{
    const std::optional<FrequencyBand> topBand = FrequencyBand{90000000, 99999375};
    const std::string tooHigh = "frequency 1000.00000 is 1000 MHz or more, which the radio cannot store";
    struct Case
    {
        std::string text;
        std::optional<FrequencyBand> band;
        std::string firstError; // empty: pasted onto channel 1
    };
    const Case cases[] = {
        {"999.99375,999.99375,,,,,,\n", std::nullopt, ""},
        {"999.99375\t999.99375\t\t\t\t\t\t\n", topBand, ""},
        {"Location,Frequency\n1,999.99375\n", topBand, ""},
        {"1000,999.99375,,,,,,\n", std::nullopt, "1:1: " + tooHigh},
        {"999.99375,1000.00000,,,,,,\n", topBand, "1:2: " + tooHigh},
        {"Location,Frequency\n1,1000\n", std::nullopt, "2:2: " + tooHigh},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const RadioImage base = MakeNewImage();
        RadioImage result = base;
        std::vector<int> written;
        std::vector<CsvError> errors;
        const bool pasted = PasteChannels({"", c.text}, base, c.band, {}, 1, result, written, errors);
        EXPECT_EQ(FirstError(errors), c.firstError);
        EXPECT_EQ(pasted, c.firstError.empty());
        if (pasted) {
            EXPECT_EQ(written, std::vector<int>{1});
            EXPECT_EQ(RowOf(result, 1)[kColRxFrequency], "999.99375");
        } else {
            EXPECT_EQ(result, base);
        }
    }
}

} // namespace
