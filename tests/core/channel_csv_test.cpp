// Channel lists as CSV: the lenient reading of cells, the interchange layout
// in both directions, and the cells that are still refused.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "core/channels/ChannelCodec.h"
#include "core/channels/ChannelCsv.h"
#include "core/channels/ChannelTable.h"
#include "core/util/Csv.h"

namespace {

using Row = ChannelTable::value_type;

const std::string kInterchangeHeader =
    "Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,RxDtcsCode,CrossMode,"
    "Mode,TStep,Skip,Power,Comment,URCALL,RPT1CALL,RPT2CALL,DVCODE\n";
const FrequencyBand kBand{13600000, 17400000};

ChannelTable TableOf(const RadioImage& image)
{
    ChannelTable table = NewChannelTable(false);
    ImageToTable(image, 0, false, table);
    return table;
}

// The image an own-layout row gives when imported into a new image.
RadioImage ImageWithRow(int channel, const Row& row)
{
    ChannelTable table = NewChannelTable(false);
    table[static_cast<std::size_t>(channel)] = row;
    std::vector<CsvError> errors;
    RadioImage image = MakeNewImage();
    EXPECT_TRUE(ImportChannelsCsv(ChannelTableToCsv(table, ChannelCsvLayout::Own).csv, MakeNewImage(), std::nullopt,
                                  image, errors))
        << (errors.empty() ? "" : FormatCsvError(errors.front()));
    return image;
}

// Imports csv into base; on failure the first error is returned in `error`.
bool Import(const std::string& csv, const RadioImage& base, RadioImage& result, std::string* error = nullptr,
            std::optional<FrequencyBand> band = std::nullopt)
{
    std::vector<CsvError> errors;
    const bool ok = ImportChannelsCsv(csv, base, band, result, errors);
    if (error)
        *error = errors.empty() ? "" : FormatCsvError(errors.front());
    return ok;
}

// A channel row and its interchange line, which each gives the other.
struct BothWaysCase
{
    Row row;          // Rx, Tx, Dec, Enc, W/N, Scan, Busy Lock, Power (column 0 unused)
    std::string line; // the data line after "1,,"
};

const BothWaysCase kBothWays[] = {
    {{"", "146.52000", "146.52000", "None", "None", "Wide", "No", "Off", "High"},
     "146.520000,,0.000000,,88.5,88.5,023,NN,023,Tone->Tone,FM,5.00,S,High,,,,,"},
    {{"", "146.52000", "147.12000", "None", "100.0", "Narrow", "Yes", "Off", "Low"},
     "146.520000,+,0.600000,Tone,100.0,88.5,023,NN,023,Tone->Tone,NFM,5.00,,Low,,,,,"},
    {{"", "442.00000", "437.00000", "67.0", "67.0", "Wide", "Yes", "Off", "High"},
     "442.000000,-,5.000000,TSQL,88.5,67.0,023,NN,023,Tone->Tone,FM,5.00,,High,,,,,"},
    {{"", "146.00625", "446.00000", "D023N", "D023N", "Wide", "Yes", "Off", "High"},
     "146.006250,split,446.000000,DTCS,88.5,88.5,023,NN,023,Tone->Tone,FM,6.25,,High,,,,,"},
    {{"", "145.50000", "", "D754I", "D754N", "Wide", "No", "Off", "High"},
     "145.500000,off,0.000000,DTCS,88.5,88.5,754,NR,023,Tone->Tone,FM,5.00,S,High,,,,,"},
    {{"", "145.50000", "145.50000", "D023N", "D023I", "Wide", "No", "Off", "High"},
     "145.500000,,0.000000,DTCS,88.5,88.5,023,RN,023,Tone->Tone,FM,5.00,S,High,,,,,"},
    {{"", "145.50000", "145.50000", "67.0", "100.0", "Wide", "No", "Off", "High"},
     "145.500000,,0.000000,Cross,100.0,67.0,023,NN,023,Tone->Tone,FM,5.00,S,High,,,,,"},
    {{"", "145.50000", "145.50000", "D023I", "100.0", "Wide", "No", "Off", "High"},
     "145.500000,,0.000000,Cross,100.0,88.5,023,NR,023,Tone->DTCS,FM,5.00,S,High,,,,,"},
    {{"", "145.50000", "145.50000", "71.9", "D025I", "Wide", "No", "Off", "High"},
     "145.500000,,0.000000,Cross,88.5,71.9,025,RN,023,DTCS->Tone,FM,5.00,S,High,,,,,"},
    {{"", "145.50000", "145.50000", "D025N", "D023N", "Wide", "No", "Off", "High"},
     "145.500000,,0.000000,Cross,88.5,88.5,023,NN,025,DTCS->DTCS,FM,5.00,S,High,,,,,"},
    {{"", "145.50000", "145.50000", "88.5", "None", "Wide", "No", "Off", "High"},
     "145.500000,,0.000000,Cross,88.5,88.5,023,NN,023,->Tone,FM,5.00,S,High,,,,,"},
    {{"", "145.50000", "145.50000", "D031N", "None", "Wide", "No", "Off", "High"},
     "145.500000,,0.000000,Cross,88.5,88.5,023,NN,031,->DTCS,FM,5.00,S,High,,,,,"},
    {{"", "145.50000", "145.50000", "None", "D032I", "Wide", "No", "Off", "High"},
     "145.500000,,0.000000,Cross,88.5,88.5,032,RN,023,DTCS->,FM,5.00,S,High,,,,,"},
};

TEST(InterchangeCsv, EveryDuplexAndToneModeBothWays)
{
    for (const BothWaysCase& c : kBothWays) {
        Row row = c.row;
        row[0] = "1";
        const RadioImage image = ImageWithRow(1, row);
        const ChannelCsvText text = ExportChannelsCsv(image, false, ChannelCsvLayout::Interchange);
        EXPECT_EQ(text.csv, kInterchangeHeader + "1,," + c.line + "\n");

        RadioImage imported{};
        std::string error;
        ASSERT_TRUE(Import(kInterchangeHeader + "1,," + c.line + "\n", MakeNewImage(), imported, &error))
            << c.line << ": " << error;
        EXPECT_EQ(imported, image) << c.line;
    }
}

TEST(InterchangeCsv, ImportReadsWordsInAnyCaseAndTheSpellingsExportNeverWrites)
{
    struct Case
    {
        std::string line;
        Row row;
    };
    const Case cases[] = {
        {"146.52,+,0.6,tone,100,88.5,023,NN,023,,nfm,5.00,P,LOW",
         {" 1", "146.52000", "147.12000", "None", "100.0", "Narrow", "Yes", "Off", "Low"}},
        {"146.52,SPLIT,0147.1200,TSQL,100.0,67,023,NN,023,,FM,,s,high",
         {" 1", "146.52000", "147.12000", "67.0", "67.0", "Wide", "No", "Off", "High"}},
        {"146.52,Off,,dtcs,,,23,rr,,,FM,,,", {" 1", "146.52000", "", "D023I", "D023I", "Wide", "Yes", "Off", "High"}},
        {"146.52,,,Cross,67.0,,,,,tone->,FM,,,",
         {" 1", "146.52000", "146.52000", "None", "67.0", "Wide", "Yes", "Off", "High"}},
        {"146.52,,,Cross,67.0,,,,,->,FM,,,",
         {" 1", "146.52000", "146.52000", "None", "None", "Wide", "Yes", "Off", "High"}},
        // An empty Mode or Power gives what a new channel gets.
        {"146.52,,,,,,,,,,,,,", {" 1", "146.52000", "146.52000", "None", "None", "Wide", "Yes", "Off", "High"}},
    };
    const std::string header = "Location,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,"
                               "RxDtcsCode,CrossMode,Mode,TStep,Skip,Power\n";
    for (const Case& c : cases) {
        RadioImage imported{};
        std::string error;
        ASSERT_TRUE(Import(header + "1," + c.line + "\n", MakeNewImage(), imported, &error)) << c.line << ": " << error;
        EXPECT_EQ(TableOf(imported)[1], c.row) << c.line;
    }
}

// An image with channel 2 complete and busy lock Carrier, and odd bits in
// the bytes the table never shows.
RadioImage BaseImage()
{
    Row row = {"2", "145.00000", "144.40000", "D023N", "67.0", "Narrow", "Yes", "Carrier", "Low"};
    RadioImage image = ImageWithRow(2, row);
    image[ImageMap::ChannelOffset(2) + 14] = 0x5A;
    return image;
}

TEST(InterchangeCsv, MissingColumnsKeepExistingChannelsAndGiveNewOnesTheGridDefaults)
{
    RadioImage imported{};
    std::string error;
    ASSERT_TRUE(Import("Location,Frequency\n2,145.5\n3,146.52\n", BaseImage(), imported, &error)) << error;
    const ChannelTable table = TableOf(imported);
    EXPECT_EQ(table[2], (Row{" 2", "145.50000", "144.40000", "D023N", "67.0", "Narrow", "Yes", "Carrier", "Low"}));
    EXPECT_EQ(table[3], (Row{" 3", "146.52000", "146.52000", "None", "None", "Wide", "No", "Off", "High"}));
    EXPECT_EQ(imported[ImageMap::ChannelOffset(2) + 14], 0x5A);

    // A full row keeps the existing channel's busy lock; a listed channel
    // whose texts do not change keeps every byte.
    const RadioImage base = BaseImage();
    const std::string exported = ExportChannelsCsv(base, false, ChannelCsvLayout::Interchange).csv;
    ASSERT_TRUE(Import(exported, base, imported, &error)) << error;
    EXPECT_EQ(imported, base);
    ASSERT_TRUE(Import(kInterchangeHeader + "2,,145.000000,-,0.6,,,,,,,,NFM,,,Low,,,,,\n", base, imported, &error))
        << error;
    EXPECT_EQ(TableOf(imported)[2],
              (Row{" 2", "145.00000", "144.40000", "None", "None", "Narrow", "Yes", "Carrier", "Low"}));

    // An empty Frequency empties the channel.
    ASSERT_TRUE(Import("Location,Frequency\n2,\n", base, imported, &error)) << error;
    EXPECT_EQ(TableOf(imported)[2], (Row{" 2", "", "", "", "", "", "", "", ""}));
}

TEST(InterchangeCsv, TransmitOnlyChannelIsWrittenOnItsTransmitFrequencyWithANote)
{
    ChannelTable table = NewChannelTable(true); // the grid in device mode 2, in Chinese
    table[4] = {" 4", "", "146.52500", "", "D023N", "窄", "否", "关", "低"};
    const ChannelCsvText text = ChannelTableToCsv(table, ChannelCsvLayout::Interchange);
    EXPECT_EQ(text.csv,
              kInterchangeHeader + "4,,146.525000,,0.000000,Cross,88.5,88.5,023,NN,023,DTCS->,NFM,5.00,S,Low,,,,,\n");
    EXPECT_EQ(text.transmitOnlyChannels, std::vector<int>{4});
}

TEST(ChannelCsv, SpreadsheetCellsAreReadInBothLayouts)
{
    const Row expected = {" 1", "146.52000", "146.52500", "67.0", "None", "Wide", "Yes", "QT/DQT", "High"};
    const std::string bom = "\xEF\xBB\xBF";
    const std::string files[] = {
        "CH,Rx Frequency,Tx Frequency,QT/DQT Dec,QT/DQT Enc,W/N,Scan,Busy Lock,Power\n"
        "1, 146.52 ,\t0146.525000,67,None,Wide,Yes,QT/DQT,High\n",
        bom + "CH;Rx Frequency;Tx Frequency;QT/DQT Dec;QT/DQT Enc;W/N;Scan;Busy Lock;Power\r\n"
              "01;146,52;\"146,5250\";67,0;None;Wide;Yes;QT/DQT;High\r\n",
        bom + "Location;Frequency;Duplex;Offset;Tone;rToneFreq;cToneFreq;DtcsCode;DtcsPolarity;RxDtcsCode;CrossMode;"
              "Mode;TStep;Skip;Power\r\n"
              " 1 ; 146,520000 ;+;0,005;Cross;88,5;67,0;023;NN;023;->Tone;FM;5,00;;High\r\n",
    };
    for (const std::string& csv : files) {
        RadioImage base = MakeNewImage();
        EncodeBusyLock(base, 1, "QT/DQT");
        EncodeFrequency(base, 1, FrequencySide::Receive, "150");
        RadioImage imported{};
        std::string error;
        ASSERT_TRUE(Import(csv, base, imported, &error, kBand)) << csv << ": " << error;
        EXPECT_EQ(TableOf(imported)[1], expected) << csv;
    }
}

TEST(ChannelCsv, LayoutIsTakenFromTheHeading)
{
    EXPECT_EQ(DetectChannelCsvLayout(kInterchangeHeader), ChannelCsvLayout::Interchange);
    EXPECT_EQ(DetectChannelCsvLayout("\xEF\xBB\xBFName;Location\r\n"), ChannelCsvLayout::Interchange);
    EXPECT_EQ(DetectChannelCsvLayout("CH,Rx Frequency\n"), ChannelCsvLayout::Own);
    EXPECT_EQ(DetectCsvDelimiter("\"a;b;c\",d\n"), ',');
    EXPECT_EQ(DetectCsvDelimiter("\n\na;b,c;d\n"), ';');
    EXPECT_EQ(ParseChannelCsvLayout("interchange"), ChannelCsvLayout::Interchange);
    EXPECT_EQ(ParseChannelCsvLayout("csv"), std::nullopt);
}

TEST(ChannelCsv, BadCellsAreNamedAndNothingChanges)
{
    const std::string own = "CH,Rx Frequency,Tx Frequency,QT/DQT Dec,W/N\n";
    const std::string ic = "Location,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,DtcsPolarity,"
                           "RxDtcsCode,CrossMode,Mode,Skip,Power\n";
    struct Case
    {
        std::string csv;
        std::string error;
    };
    const Case cases[] = {
        {own + "1,146.123456,,,\n", "2:2: frequency 146.123456 is not a whole number of 10 Hz"},
        {own + "1,146.5,145.0025,,\n", "2:3: frequency 145.00250 is not a multiple of 5 kHz or 6.25 kHz"},
        {own + "1,180,,,\n", "2:2: frequency 180.00000 is outside the band"},
        {own + "1,-146.5,,,\n", "2:2: \"-146.5\" is not a frequency in MHz"},
        {own + "1,146.5,,67.05,\n", "2:4: \"67.05\" is not a tone"},
        {own + "1,146.5,,D024N,\n", "2:4: \"D024N\" is not a DCS code"},
        {own + "1,146.5,,,wide\n", "2:5: \"wide\" is not a value of this column"},
        {own + "17,146.5,,,\n", "2:1: channel \"17\" is not a number from 1 to 16"},
        {own + "1,146.5,,,\n01,146.5,,,\n", "3:1: channel 1 is already given on line 2"},
        {own + "1,146.5,,1030.0,\n", "2:4: \"1030.0\" is not a tone the radio can hold"},
        {own + "1,146.5,,25.5,\n", "2:4: \"25.5\" is not a tone the radio can hold"},
        {own + "1,146.5,,6540.0,\n", "2:4: \"6540.0\" is not a tone the radio can hold"},
        {own + "1,146.5,,,\x1b]0;owned\x07\x1b[2J\n",
         "2:5: \"\\x1b]0;owned\\x07\\x1b[2J\" is not a value of this column"},
        {"Location,Frequency\n0,146.5\n", "2:1: channel \"0\" is not a number from 1 to 16"},
        {"Location,Frequency\n2,146.5\n2,146.5\n", "3:1: channel 2 is already given on line 2"},
        {"Location,Frequency\n2,146.523\n", "2:2: frequency 146.52300 is not a multiple of 5 kHz or 6.25 kHz"},
        {"Location,Frequency,Power\n2,146.5,5.0W\n", "2:3: power \"5.0W\" is not High or Low"},
        {"Location,Name\n2,Home\n", "1:1: no Frequency column"},
        {"Location,Frequency,Colour\n2,146.5,red\n", "1:3: unknown column heading \"Colour\""},
        {ic + "1,146.5,+,0.0000001,,,,,,,,FM,,High\n", "2:4: offset 0.0000001 is not a whole number of 10 Hz"},
        {ic + "1,146.5,+,40,,,,,,,,FM,,High\n", "2:4: transmit frequency 186.50000 is outside the band"},
        {ic + "1,146.5,-,146.5,,,,,,,,FM,,High\n", "2:4: transmit frequency 0.00000 is below 10 MHz"},
        {ic + "1,146.5,x,0,,,,,,,,FM,,High\n", "2:3: duplex \"x\" is not empty, +, -, split or off"},
        {ic + "1,146.5,,0,DCS,,,,,,,FM,,High\n", "2:5: tone mode \"DCS\" is not empty, Tone, TSQL, DTCS or Cross"},
        {ic + "1,146.5,,0,Tone,67.05,,,,,,FM,,High\n", "2:6: \"67.05\" is not a tone"},
        {ic + "1,146.5,,0,DTCS,,,024,NN,,,FM,,High\n", "2:8: \"024\" is not a DCS code"},
        {ic + "1,146.5,,0,DTCS,,,023,NX,,,FM,,High\n", "2:9: polarity \"NX\" is not two letters N or R"},
        {ic + "1,146.5,,0,Cross,,,,,,Tone-DTCS,FM,,High\n", "2:11: cross mode \"Tone-DTCS\" is not TX->RX"},
        {ic + "1,146.5,,0,,,,,,,,AM,,High\n", "2:12: mode \"AM\" is not FM or NFM"},
        {ic + "1,146.5,,0,,,,,,,,FM,X,High\n", "2:13: skip \"X\" is not empty, S or P"},
        {"Location,Frequency,Tone\n1,146.5,TSQL\n", "2:3: \"TSQL\" needs the cToneFreq column"},
        {"Location,Frequency,Duplex\n1,146.5,+\n", "2:3: duplex \"+\" needs the Offset column"},
    };
    for (const Case& c : cases) {
        RadioImage result = BaseImage();
        std::string error;
        EXPECT_FALSE(Import(c.csv, MakeNewImage(), result, &error, kBand)) << c.csv;
        EXPECT_EQ(error.substr(0, c.error.size()), c.error) << c.csv;
        EXPECT_EQ(result, BaseImage()) << c.csv;
    }
}

TEST(ChannelCsv, EchoedCellsCannotSteerATerminal)
{
    const std::string fortyOne(41, 'x');
    struct Case
    {
        std::string cell;
        std::string shown;
    };
    const Case cases[] = {
        {"plain", "\"plain\""},
        {"\x1b[2J", "\"\\x1b[2J\""},
        {"tab\there\x7f", "\"tab\\x09here\\x7f\""},
        {"\xc2\x9b"
         "31m",
         "\"\\xc2\\x9b31m\""},                   // the one-byte CSI of U+009B
        {"bad\xff\xc3(", "\"bad\\xff\\xc3(\""},  // not UTF-8
        {"\xed\xa0\x80", "\"\\xed\\xa0\\x80\""}, // a surrogate
        {"back\\slash", "\"back\\\\slash\""},
        {"无线电", "\"无线电\""},
        {std::string(40, 'x'), "\"" + std::string(40, 'x') + "\""},
        {fortyOne, "\"" + std::string(40, 'x') + "\u2026\""},
        {std::string(39, 'x') + "\x01\x02",
         "\"" + std::string(39, 'x') + "\\x01\u2026\""}, // an escape is one character
    };
    for (const Case& c : cases)
        EXPECT_EQ(QuotedCell(c.cell), c.shown);
    // Each of 45 CJK characters counts once.
    std::string chinese;
    for (int i = 0; i < 45; ++i)
        chinese += "无";
    EXPECT_EQ(QuotedCell(chinese), "\"" + chinese.substr(0, 40 * 3) + "\u2026\"");
}

TEST(ChannelCsv, LongErrorListsEndWithACount)
{
    for (const std::size_t count : {std::size_t{1}, std::size_t{100}, std::size_t{101}, std::size_t{250}}) {
        std::vector<CsvError> errors;
        for (std::size_t i = 0; i < count; ++i)
            errors.push_back({static_cast<int>(i) + 2, 1, "bad"});
        const std::vector<std::string> lines = CsvErrorLines(errors);
        ASSERT_EQ(lines.size(), std::min<std::size_t>(count, 100) + (count > 100 ? 1 : 0)) << count;
        EXPECT_EQ(lines.front(), "2:1: bad");
        if (count > 100) {
            EXPECT_EQ(lines[99], "101:1: bad");
            EXPECT_EQ(lines.back(), "\u2026 and " + std::to_string(count - 100) + " more");
        }
    }
}

TEST(ChannelCsv, OldSpreadsheetLineEndsAndQuoting)
{
    // CR-only line ends read as LF ones, for both layouts and with a
    // quoted field holding a line break.
    const std::string lf = "CH,Rx Frequency,W/N\n1,146.52,Narrow\n3,\"145.5\",Wide\n";
    std::string cr = lf;
    std::replace(cr.begin(), cr.end(), '\n', '\r');
    RadioImage fromLf{};
    RadioImage fromCr{};
    std::string error;
    ASSERT_TRUE(Import(lf, MakeNewImage(), fromLf, &error)) << error;
    ASSERT_TRUE(Import(cr, MakeNewImage(), fromCr, &error)) << error;
    EXPECT_EQ(fromCr, fromLf);
    EXPECT_EQ(TableOf(fromCr)[3][1], "145.50000");
    ASSERT_FALSE(Import("CH,Rx Frequency\r1,146.52\r2,x\r", MakeNewImage(), fromCr, &error));
    EXPECT_EQ(error, "3:2: \"x\" is not a frequency in MHz");

    std::vector<CsvError> errors;
    const auto records = ParseCsv("\"a\"\"b\",c\r\"multi\rline\",d\rnext,e", errors);
    EXPECT_TRUE(errors.empty());
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].fields, (std::vector<std::string>{"a\"b", "c"}));
    EXPECT_EQ(records[1].fields, (std::vector<std::string>{"multi\rline", "d"}));
    EXPECT_EQ(records[2].line, 4);
    EXPECT_EQ(DetectCsvDelimiter("CH;Rx Frequency,Tx Frequency\n"), ',');
}

TEST(ChannelCsv, ChannelsAnOwnListCreatesGetTheNewChannelDefaults)
{
    // Only the frequencies are given: the new channel is None / Wide / No /
    // Off / High, while a channel the base has keeps its own values.
    RadioImage base = MakeNewImage();
    ASSERT_TRUE(Import("CH,Rx Frequency,Tx Frequency,QT/DQT Dec,QT/DQT Enc,W/N,Scan,Busy Lock,Power\n"
                       "2,146.5,146.5,67.0,D023N,Narrow,Yes,Carrier,Low\n",
                       MakeNewImage(), base));
    RadioImage result{};
    std::string error;
    ASSERT_TRUE(Import("CH,Rx Frequency,Tx Frequency\n1,145.5,145.5\n2,147,147\n", base, result, &error)) << error;
    EXPECT_EQ(TableOf(result)[1], (Row{" 1", "145.50000", "145.50000", "None", "None", "Wide", "No", "Off", "High"}));
    EXPECT_EQ(TableOf(result)[2],
              (Row{" 2", "147.00000", "147.00000", "67.0", "D023N", "Narrow", "Yes", "Carrier", "Low"}));
    // A column the file has is taken as it stands.
    ASSERT_TRUE(Import("CH,Rx Frequency,Power\n5,145.5,Low\n", MakeNewImage(), result, &error)) << error;
    EXPECT_EQ(TableOf(result)[5], (Row{" 5", "145.50000", "", "None", "None", "Wide", "No", "Off", "Low"}));
}

TEST(InterchangeCsv, SplitAboveIsAPlusOffset)
{
    ChannelTable table = NewChannelTable(false);
    table[1] = {" 1", "435.00000", "445.00000", "None", "None", "Wide", "No", "Off", "High"};
    const std::string csv = ChannelTableToCsv(table, ChannelCsvLayout::Interchange).csv;
    EXPECT_NE(csv.find("\n1,,435.000000,+,10.000000,"), std::string::npos) << csv;
}

// Random channels that both layouts can say: receive frequency present,
// busy lock Off (the interchange layout has none).
ChannelTable RandomTable(std::mt19937& random)
{
    const auto pick = [&random](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    const auto frequency = [&] {
        const int step = pick(2) ? 500 : 625;
        const int units = 1000000 + step * pick((99999999 - 1000000) / step);
        char text[16];
        std::snprintf(text, sizeof text, "%d.%05d", units / 100000, units % 100000);
        return std::string(text);
    };
    const std::vector<std::string>& tones = ToneList(false);
    ChannelTable table = NewChannelTable(false);
    for (int channel = 1; channel <= 16; ++channel) {
        if (pick(4) == 0)
            continue;
        Row& row = table[static_cast<std::size_t>(channel)];
        row[1] = frequency();
        switch (pick(4)) {
        case 0: row[2] = row[1]; break;
        case 1: row[2] = ""; break;
        default: row[2] = frequency(); break;
        }
        row[3] = tones[static_cast<std::size_t>(pick(static_cast<int>(tones.size())))];
        row[4] = pick(3) == 0 ? row[3] : tones[static_cast<std::size_t>(pick(static_cast<int>(tones.size())))];
        row[5] = pick(2) ? "Wide" : "Narrow";
        row[6] = pick(2) ? "Yes" : "No";
        row[7] = "Off";
        row[8] = pick(2) ? "High" : "Low";
    }
    return table;
}

TEST(ChannelCsv, RandomListsGoOwnToInterchangeToOwnUnchanged)
{
    std::mt19937 random(20261208);
    for (int round = 0; round < 200; ++round) {
        const std::string own = ChannelTableToCsv(RandomTable(random), ChannelCsvLayout::Own).csv;
        RadioImage fromOwn{};
        std::string error;
        ASSERT_TRUE(Import(own, MakeNewImage(), fromOwn, &error)) << own << error;
        const ChannelCsvText interchange = ExportChannelsCsv(fromOwn, false, ChannelCsvLayout::Interchange);
        EXPECT_TRUE(interchange.transmitOnlyChannels.empty());
        RadioImage fromInterchange{};
        ASSERT_TRUE(Import(interchange.csv, MakeNewImage(), fromInterchange, &error)) << interchange.csv << error;
        EXPECT_EQ(ExportChannelsCsv(fromInterchange, false), ExportChannelsCsv(fromOwn, false)) << interchange.csv;
        EXPECT_EQ(fromInterchange, fromOwn);
    }
}

// A field is quoted when a reader could take it apart otherwise: a comma, a
// semicolon (a reader may take that for the delimiter), a quote (doubled)
// or a line break. Every such line reads back as the fields written.
TEST(Csv, FieldsAreQuotedWhereAReaderWouldSplitThem)
{
    struct Case
    {
        std::string text;
        std::string field;
    };
    const Case cases[] = {
        {"plain", "plain"},         {"", ""},
        {"146.52000", "146.52000"}, {"a,b", "\"a,b\""},
        {"a;b;c", "\"a;b;c\""},     {"say \"hi\"", "\"say \"\"hi\"\"\""},
        {"\"", "\"\"\"\""},         {"two\nlines", "\"two\nlines\""},
        {"cr\rend", "\"cr\rend\""}, {"tab\there", "tab\there"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(CsvField(c.text), c.field);
        const std::vector<std::string> fields = {c.text, "x", c.text + "y"};
        std::vector<CsvError> errors;
        const std::vector<CsvRecord> records = ParseCsv(CsvLine(fields), errors);
        EXPECT_TRUE(errors.empty());
        ASSERT_EQ(records.size(), 1u);
        EXPECT_EQ(records[0].fields, fields);
    }
}

// The radio stores eight digits of 10 Hz, the first not 0: from 10 MHz up to
// 999.99375 MHz is taken, within the band when there is one; 1000 MHz and
// anything below 10 MHz are refused, in either layout.
TEST(ChannelCsv, FrequenciesStayWithinWhatTheRadioStores)
{
    const std::string own = "CH,Rx Frequency,Tx Frequency,QT/DQT Dec,W/N\n";
    const std::string ic = "Location,Frequency\n";
    const std::optional<FrequencyBand> topBand = FrequencyBand{90000000, 99999375};
    const std::string tooHigh = "frequency 1000.00000 is 1000 MHz or more, which the radio cannot store";
    const std::string tooLow = "frequency 9.99500 is below 10 MHz, which the radio cannot store";
    struct Case
    {
        std::string csv;
        std::optional<FrequencyBand> band;
        std::string error; // empty: imported, channel 1 receiving on rx
        std::string rx;
    };
    const Case cases[] = {
        {own + "1,999.99375,,,\n", std::nullopt, "", "999.99375"},
        {own + "1,999.99375,,,\n", topBand, "", "999.99375"},
        {ic + "1,999.99375\n", std::nullopt, "", "999.99375"},
        {ic + "1,999.99375\n", topBand, "", "999.99375"},
        {own + "1,10,,,\n", std::nullopt, "", "10.00000"},
        {own + "1,174,,,\n", kBand, "", "174.00000"},
        {ic + "1,136\n", kBand, "", "136.00000"},
        {own + "1,174.005,,,\n", kBand, "2:2: frequency 174.00500 is outside the band", ""},
        {ic + "1,135.99375\n", kBand, "2:2: frequency 135.99375 is outside the band", ""},
        {ic + "1,10.00000\n", std::nullopt, "", "10.00000"},
        {own + "1,999.99375,,,\n", kBand, "2:2: frequency 999.99375 is outside the band", ""},
        {own + "1,1000,,,\n", std::nullopt, "2:2: " + tooHigh, ""},
        {own + "1,1000.00000,,,\n", topBand, "2:2: " + tooHigh, ""},
        {own + "1,999.99375,1000,,\n", std::nullopt, "2:3: " + tooHigh, ""},
        {ic + "1,1000.00000\n", std::nullopt, "2:2: " + tooHigh, ""},
        {ic + "1,1000\n", topBand, "2:2: " + tooHigh, ""},
        {own + "1,9.995,,,\n", std::nullopt, "2:2: " + tooLow, ""},
        {ic + "1,9.99500\n", std::nullopt, "2:2: " + tooLow, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.csv);
        RadioImage result = MakeNewImage();
        std::string error;
        const bool imported = Import(c.csv, MakeNewImage(), result, &error, c.band);
        EXPECT_EQ(error, c.error);
        EXPECT_EQ(imported, c.error.empty());
        if (imported) {
            EXPECT_EQ(TableOf(result)[1][kColRxFrequency], c.rx);
        } else {
            EXPECT_EQ(result, MakeNewImage());
        }
    }
}

} // namespace
