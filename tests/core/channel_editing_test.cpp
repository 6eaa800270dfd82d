#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "core/channels/ChannelCodec.h"
#include "core/channels/ChannelEditing.h"
#include "core/channels/ChannelTable.h"

namespace {

using Row = ChannelTable::value_type;

constexpr std::int32_t kLow = 13600000;  // 136 MHz
constexpr std::int32_t kHigh = 17400000; // 174 MHz

const Row kProgrammed = {" 3", "146.52500", "146.52500", "67.0", "D023N", "Narrow", "Yes", "Carrier", "Low"};
const Row kEmpty = {" 3", "", "", "", "", "", "", "", ""};
const Row kRxOnly = {" 3", "146.52500", "", "67.0", "", "Wide", "No", "Off", "High"};

enum class Key { Enter, Leave };

struct EditCase
{
    const char* name;
    Row before;
    int column;
    std::string typed;
    Key key;
    Row after;
    EditMessage message;
    bool moved; // Enter only: the cursor went on to the next cell
};

// Opens the editor on row 3, column c of a table whose row 3 is `before`,
// types, then presses Enter or moves to row 5 (leaving the cell).
void RunCase(const EditCase& c, bool chinese = false)
{
    ChannelEditSession session(chinese);
    session.SetBand(kLow, kHigh);
    session.Table()[3] = c.before;
    session.EnterCell(3, c.column);
    ASSERT_TRUE(session.EditorOpen()) << c.name;
    session.SetEditorText(c.typed);
    if (c.key == Key::Enter) {
        const auto outcome = session.PressEnter();
        EXPECT_EQ(outcome.message, c.message) << c.name;
        EXPECT_EQ(outcome.moved, c.moved) << c.name;
        if (c.moved) {
            EXPECT_EQ(session.Col(), c.column + 1) << c.name;
            EXPECT_EQ(session.EditorColumn(), c.column + 1) << c.name;
        } else {
            EXPECT_EQ(session.Col(), c.column) << c.name;
            EXPECT_FALSE(session.EditorOpen()) << c.name;
        }
    } else {
        EXPECT_EQ(session.MoveTo(5, c.column), c.message) << c.name;
        EXPECT_EQ(session.Row(), 5) << c.name; // the move goes ahead after a message
    }
    EXPECT_EQ(session.Table()[3], c.after) << c.name;
}

TEST(ChannelEditing, EnterAndLeaveRules)
{
    const EditCase cases[] = {
        // Enter on the Rx frequency.
        {"E1 new channel",
         kEmpty,
         1,
         "145.5",
         Key::Enter,
         {" 3", "145.50000", "145.50000", "None", "None", "Wide", "No", "Off", "High"},
         EditMessage::None,
         true},
        {"E1 existing channel",
         kProgrammed,
         1,
         "145.5",
         Key::Enter,
         {" 3", "145.50000", "146.52500", "67.0", "D023N", "Narrow", "Yes", "Carrier", "Low"},
         EditMessage::None,
         true},
        {"E1 cleared", kProgrammed, 1, "", Key::Enter, kEmpty, EditMessage::None, true},
        {"E1 range keeps the row", kProgrammed, 1, "135.99375", Key::Enter, kProgrammed, EditMessage::OutOfRange,
         false},
        {"E1 step keeps the row", kProgrammed, 1, "145.0025", Key::Enter, kProgrammed, EditMessage::BadStep, false},
        {"E1 range on an empty row", kEmpty, 1, "500", Key::Enter, kEmpty, EditMessage::OutOfRange, false},
        {"E1 digits past the fifth decimal are dropped", kEmpty, 1, "145.123456", Key::Enter, kEmpty,
         EditMessage::BadStep, false},
        {"E1 upper limit",
         kEmpty,
         1,
         "174",
         Key::Enter,
         {" 3", "174.00000", "174.00000", "None", "None", "Wide", "No", "Off", "High"},
         EditMessage::None,
         true},
        // Enter on the Tx frequency.
        {"E2 empty takes the Rx frequency",
         {" 3", "146.52500", "147.00000", "67.0", "D023N", "Narrow", "Yes", "Carrier", "Low"},
         2,
         "",
         Key::Enter,
         kProgrammed,
         EditMessage::None,
         true},
        {"E2 new Tx keeps the decode tone",
         kRxOnly,
         2,
         "145.00625",
         Key::Enter,
         {" 3", "146.52500", "145.00625", "67.0", "None", "Wide", "No", "Off", "High"},
         EditMessage::None,
         true},
        {"E2 existing",
         kProgrammed,
         2,
         "145.005",
         Key::Enter,
         {" 3", "146.52500", "145.00500", "67.0", "D023N", "Narrow", "Yes", "Carrier", "Low"},
         EditMessage::None,
         true},
        {"E2 range keeps the row", kProgrammed, 2, "175", Key::Enter, kProgrammed, EditMessage::OutOfRange, false},
        {"E2 step keeps the cell", kProgrammed, 2, "145.001", Key::Enter, kProgrammed, EditMessage::BadStep, false},
        // Enter on a setting.
        {"E3 setting of a channel",
         kProgrammed,
         3,
         "D754I",
         Key::Enter,
         {" 3", "146.52500", "146.52500", "D754I", "D023N", "Narrow", "Yes", "Carrier", "Low"},
         EditMessage::None,
         true},
        {"E3 empty channel takes no setting", kEmpty, 3, "67.0", Key::Enter, kEmpty, EditMessage::None, true},
        // Leaving the Rx frequency.
        {"L1 new channel",
         kEmpty,
         1,
         "145.5",
         Key::Leave,
         {" 3", "145.50000", "", "None", "", "Wide", "No", "Off", "High"},
         EditMessage::None,
         false},
        {"L1 cleared", kProgrammed, 1, "", Key::Leave, kEmpty, EditMessage::None, false},
        {"L1 range keeps the row", kProgrammed, 1, "100", Key::Leave, kProgrammed, EditMessage::OutOfRange, false},
        {"L1 step keeps the row", kProgrammed, 1, "145.0025", Key::Leave, kProgrammed, EditMessage::BadStep, false},
        // Leaving the Tx frequency.
        {"L2 empty deletes the channel", kProgrammed, 2, "", Key::Leave, kEmpty, EditMessage::None, false},
        {"L2 new Tx",
         kRxOnly,
         2,
         "150",
         Key::Leave,
         {" 3", "146.52500", "150.00000", "67.0", "None", "Wide", "No", "Off", "High"},
         EditMessage::None,
         false},
        {"L2 range keeps the cell", kProgrammed, 2, "180", Key::Leave, kProgrammed, EditMessage::OutOfRange, false},
        {"L2 step keeps the row", kProgrammed, 2, "145.0025", Key::Leave, kProgrammed, EditMessage::BadStep, false},
        // Leaving a setting.
        {"L3 setting of a channel",
         kProgrammed,
         8,
         "High",
         Key::Leave,
         {" 3", "146.52500", "146.52500", "67.0", "D023N", "Narrow", "Yes", "Carrier", "High"},
         EditMessage::None,
         false},
        {"L3 empty channel", kEmpty, 5, "Narrow", Key::Leave, kEmpty, EditMessage::None, false},
    };
    for (const EditCase& c : cases)
        RunCase(c);
}

TEST(ChannelEditing, ChineseDefaults)
{
    const Row empty = {" 3", "", "", "", "", "", "", "", ""};
    RunCase({"Chinese",
             empty,
             1,
             "145.5",
             Key::Enter,
             {" 3", "145.50000", "145.50000", "无", "无", "宽", "否", "关", "高"},
             EditMessage::None,
             true},
            true);
}

TEST(ChannelEditing, BandLimitsOfZeroAcceptOnlyZero)
{
    struct Case
    {
        std::string typed;
        EditMessage message;
        std::string shown;
    };
    const Case cases[] = {
        {"0", EditMessage::None, "0.00000"},
        {"abc", EditMessage::OutOfRange, ""},
        {"145", EditMessage::OutOfRange, ""},
        {"0.005", EditMessage::OutOfRange, ""},
    };
    for (const Case& c : cases) {
        ChannelEditSession session;
        session.SetBand(0, 0);
        session.EnterCell(1, 1);
        session.SetEditorText(c.typed);
        EXPECT_EQ(session.PressEnter().message, c.message) << c.typed;
        EXPECT_EQ(session.Table()[1][1], c.shown) << c.typed;
    }
}

TEST(ChannelEditing, EnterMovesThroughEveryColumnAndWraps)
{
    struct Case
    {
        int row, column, nextRow, nextColumn;
    };
    const Case cases[] = {
        {1, 1, 1, 2}, {1, 6, 1, 7}, {1, 7, 1, 8}, {3, 8, 4, 1}, {16, 7, 16, 8}, {16, 8, 1, 1},
    };
    for (const Case& c : cases) {
        int row = c.row;
        int column = c.column;
        NextCell(row, column);
        EXPECT_EQ(row, c.nextRow) << c.row << "," << c.column;
        EXPECT_EQ(column, c.nextColumn) << c.row << "," << c.column;
    }

    // With every column shown, Enter walks the busy-lock and power lists of
    // a channel, committing them, and goes on to the next row.
    ChannelEditSession session;
    session.SetBand(kLow, kHigh);
    session.Table()[2] = kProgrammed;
    session.EnterCell(2, 6);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(session.PressEnter().moved);
    EXPECT_EQ(session.Row(), 3);
    EXPECT_EQ(session.Col(), 1);
    EXPECT_EQ(session.Table()[2][kColBusyLock], "Carrier");
    EXPECT_EQ(session.Table()[2][kColPower], "Low");
}

TEST(ChannelEditing, EnterWithoutAnEditorOnlyMoves)
{
    ChannelEditSession session;
    session.SetBand(kLow, kHigh);
    session.SetEnabled(false);
    session.EnterCell(1, 1);
    EXPECT_FALSE(session.EditorOpen()); // a disabled grid opens no editor
    const auto outcome = session.PressEnter();
    EXPECT_TRUE(outcome.moved);
    EXPECT_EQ(session.Col(), 2);
    EXPECT_FALSE(session.EditorOpen());
    EXPECT_EQ(session.Table(), NewChannelTable(false));

    // After a rejected value the editor is closed: the next Enter moves on.
    ChannelEditSession enabled;
    enabled.SetBand(kLow, kHigh);
    enabled.EnterCell(1, 1);
    enabled.SetEditorText("999");
    EXPECT_FALSE(enabled.PressEnter().moved);
    EXPECT_TRUE(enabled.PressEnter().moved);
    EXPECT_EQ(enabled.Col(), 2);
}

TEST(ChannelEditing, ListsLoadTheFirstItemThatBeginsWithTheCell)
{
    struct Case
    {
        int column;
        bool chinese;
        std::string cell;
        std::string shown;
    };
    const Case cases[] = {
        {kColBandwidth, false, "narrow", "Narrow"},
        {kColBandwidth, false, "", "Wide"},
        {kColBandwidth, false, "Medium", "Medium"}, // not offered: shown as it is
        {kColScan, true, "否", "否"},
        {kColBusyLock, false, "qt", "QT/DQT"},
        {kColDecodeTone, false, "D023I", "D023I"},
        {kColDecodeTone, false, "67", "67.0"},
        {kColEncodeTone, true, "", "无"},
        {kColPower, false, "low", "Low"},
    };
    for (const Case& c : cases) {
        ChannelEditSession session(c.chinese);
        session.Table()[4][static_cast<std::size_t>(c.column)] = c.cell;
        session.EnterCell(4, c.column);
        EXPECT_EQ(session.EditorText(), c.shown) << c.cell;
    }
    EXPECT_EQ(EditorItems(kColDecodeTone, false).size(), 219u);
    EXPECT_EQ(EditorItems(kColBusyLock, true), (std::vector<std::string>{"关", "载波", "QT/DQT"}));
    EXPECT_TRUE(EditorItems(kColRxFrequency, false).empty());
}

TEST(ChannelEditing, EditorPlacementFromTwips)
{
    struct Case
    {
        int left, top, width, height, dpi;
        bool list;
        EditorRect rect;
    };
    const Case cases[] = {
        {1200, 300, 1200, 300, 96, false, {77, 17, 80, 20}},
        {1200, 300, 1200, 300, 96, true, {77, 17, 80, 120}},
        {0, 0, 0, 300, 120, true, {-3, -3, 0, 125}},
        {1000, 1000, 1000, 1000, 72, false, {47, 47, 50, 50}},
    };
    for (const Case& c : cases) {
        const EditorRect r = EditorPlacement(c.left, c.top, c.width, c.height, c.dpi, c.dpi, c.list);
        EXPECT_EQ(r.x, c.rect.x);
        EXPECT_EQ(r.y, c.rect.y);
        EXPECT_EQ(r.width, c.rect.width);
        EXPECT_EQ(r.height, c.rect.height);
    }
}

// ---- Writing the table back without losing what was not edited.

RadioImage RandomImage(unsigned seed)
{
    std::mt19937 random(seed);
    RadioImage image;
    for (auto& byte : image)
        byte = static_cast<std::uint8_t>(random());
    return image;
}

TEST(ChannelEditing, UnchangedRowsKeepEveryByteInEveryMode)
{
    for (unsigned seed = 1; seed <= 20; ++seed) {
        RadioImage original = RandomImage(seed);
        // Patterns the texts cannot carry: busy lock 0x18, a tone outside
        // the lists, a half-empty channel.
        original[ImageMap::ChannelOffset(1) + ImageMap::kRecBusyLock] = 0x18;
        original[ImageMap::ChannelOffset(2) + ImageMap::kRecDecodeTone] = 0x34;
        original[ImageMap::ChannelOffset(2) + ImageMap::kRecDecodeTone + 1] = 0x12;
        original[ImageMap::ChannelOffset(3) + ImageMap::kRecRxFrequency + 3] = 0xFF;
        for (int mode : {0, 1, 2}) {
            ChannelTable table = NewChannelTable(false);
            ImageToTable(original, mode, false, table);
            const ChannelTable shown = table;
            RadioImage image = original;
            TableToImageKeepingUnchanged(table, shown, mode, image);
            EXPECT_EQ(image, original) << "seed " << seed << " mode " << mode;
        }
    }
}

TEST(ChannelEditing, AnEditedRowKeepsItsHiddenSide)
{
    struct Case
    {
        int mode;
        int column;
        std::string text;
        std::size_t keptFrom[2];
        std::size_t writtenAt;
    };
    const Case cases[] = {
        // Mode 1 shows the receive side: Tx frequency and encode tone stay.
        {1,
         kColRxFrequency,
         "145.50000",
         {ImageMap::kRecTxFrequency, ImageMap::kRecEncodeTone},
         ImageMap::kRecRxFrequency},
        // Mode 2 shows the transmit side: Rx frequency and decode tone stay.
        {2,
         kColTxFrequency,
         "145.50000",
         {ImageMap::kRecRxFrequency, ImageMap::kRecDecodeTone},
         ImageMap::kRecTxFrequency},
    };
    for (const Case& c : cases) {
        RadioImage original = MakeNewImage();
        EncodeFrequency(original, 5, FrequencySide::Receive, "146.52500");
        EncodeFrequency(original, 5, FrequencySide::Transmit, "147.00000");
        EncodeTone(original, 5, ToneSide::Decode, "67.0");
        EncodeTone(original, 5, ToneSide::Encode, "D023N");

        ChannelTable table = NewChannelTable(false);
        ImageToTable(original, c.mode, false, table);
        const ChannelTable shown = table;
        table[5][static_cast<std::size_t>(c.column)] = c.text;
        RadioImage image = original;
        TableToImageKeepingUnchanged(table, shown, c.mode, image);

        const std::size_t record = ImageMap::ChannelOffset(5);
        const std::size_t frequency = record + c.keptFrom[0];
        const std::size_t tone = record + c.keptFrom[1];
        for (std::size_t i = 0; i < 4; ++i)
            EXPECT_EQ(image[frequency + i], original[frequency + i]) << "mode " << c.mode;
        EXPECT_EQ(image[tone], original[tone]) << "mode " << c.mode;
        EXPECT_EQ(image[tone + 1], original[tone + 1]) << "mode " << c.mode;
        const FrequencySide side = c.mode == 1 ? FrequencySide::Receive : FrequencySide::Transmit;
        EXPECT_EQ(DecodeFrequency(image, 5, side), "145.50000") << "mode " << c.mode;
        // Every other channel is untouched.
        for (int channel = 1; channel <= 16; ++channel) {
            if (channel == 5)
                continue;
            const std::size_t at = ImageMap::ChannelOffset(channel);
            for (std::size_t i = 0; i < 16; ++i)
                EXPECT_EQ(image[at + i], original[at + i]);
        }
    }
}

TEST(ChannelEditing, AnEditUndoneAfterAWriteBackIsWrittenAgain)
{
    RadioImage image = MakeNewImage();
    EncodeFrequency(image, 1, FrequencySide::Receive, "146.52500");
    EncodeFrequency(image, 1, FrequencySide::Transmit, "146.52500");
    const RadioImage original = image;

    ChannelTable table = NewChannelTable(false);
    ImageToTable(image, 0, false, table);
    ChannelTable shown = table;
    const Row before = table[1];
    table[1][kColPower] = "Low";
    TableToImageKeepingUnchanged(table, shown, 0, image);
    EXPECT_NE(image, original);
    shown = table;
    table[1] = before;
    TableToImageKeepingUnchanged(table, shown, 0, image);
    EXPECT_EQ(DecodePower(image, 1, false), "High");
}

} // namespace
