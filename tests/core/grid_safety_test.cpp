// The channel grid's keyboard and commits on images that hold what the
// texts cannot say exactly (busy lock 0x18, a tone no list offers, a
// receive-only and a transmit-only channel): nothing the user did not
// change may change a byte, the keyboard never rests on a hidden column,
// and an emptied frequency deletes the whole channel.

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "core/channels/ChannelCodec.h"
#include "core/channels/ChannelEditing.h"
#include "core/channels/ChannelRows.h"

#include "ChannelRecordFixture.h"
#include "core/channels/ChannelTable.h"

namespace {

constexpr std::int32_t kLow = 13600000;
constexpr std::int32_t kHigh = 17400000;

std::size_t Record(int channel)
{
    return ImageMap::ChannelOffset(channel);
}

bool ScanBit(const RadioImage& image, int channel)
{
    return (image[ImageMap::kScanBitmap + static_cast<std::size_t>(channel - 1) / 8] >> ((channel - 1) % 8)) & 1;
}

struct Grid
{
    explicit Grid(int mode)
        : image(GridSafetyImage())
        , mode(mode)
    {
        ImageToTable(image, mode, false, session.Table());
        shown = session.Table();
        session.SetBand(kLow, kHigh);
        session.SetDeviceMode(mode);
    }
    RadioImage Saved()
    {
        RadioImage out = image;
        ChannelTable table = session.Table();
        TableToImageKeepingUnchanged(table, shown, mode, out, session.DeletedRows());
        return out;
    }
    RadioImage image;
    int mode;
    ChannelEditSession session;
    ChannelTable shown;
};

// What a user can do in an open editor without changing its text.
enum class Commit { Enter, Leave, Tab, BackTab, Up, Down, Escape };

void Press(ChannelEditSession& session, Commit commit)
{
    int row = 0;
    int column = 0;
    switch (commit) {
    case Commit::Enter: session.PressEnter(); return;
    case Commit::Escape: session.HideEditor(); return;
    case Commit::Leave: session.MoveTo(session.Row() == 16 ? 1 : session.Row() + 1, session.Col()); return;
    case Commit::Tab:
    case Commit::BackTab:
    case Commit::Up:
    case Commit::Down:
        session.Destination(commit == Commit::Tab       ? GridMove::Next
                            : commit == Commit::BackTab ? GridMove::Previous
                            : commit == Commit::Up      ? GridMove::Up
                                                        : GridMove::Down,
                            row, column);
        session.MoveTo(row, column);
        return;
    }
}

} // namespace

TEST(GridSafety, UnchangedCommitsChangeNothingInAnyMode)
{
    const Commit commits[] = {Commit::Enter, Commit::Leave, Commit::Tab,   Commit::BackTab,
                              Commit::Up,    Commit::Down,  Commit::Escape};
    for (int mode : {1, 2}) {
        for (int row = 1; row <= 16; ++row) {
            for (int column = 1; column <= 8; ++column) {
                for (Commit commit : commits) {
                    Grid grid(mode);
                    grid.session.SetCurrentCell(row, column);
                    const bool opened = grid.session.OpenEditor();
                    int shownRow = 0;
                    int shownColumn = 0;
                    grid.session.ShownCell(shownRow, shownColumn);
                    ASSERT_TRUE(opened);
                    ASSERT_TRUE(grid.session.ColumnShown(grid.session.EditorColumn()));
                    Press(grid.session, commit);
                    EXPECT_EQ(grid.session.Table(), grid.shown)
                        << "mode " << mode << " cell " << row << "," << column << " commit " << int(commit);
                    EXPECT_EQ(grid.Saved(), grid.image) << "mode " << mode << " cell " << row << "," << column;
                    EXPECT_TRUE(grid.session.ColumnShown(grid.session.Col()));
                }
            }
        }
    }
}

TEST(GridSafety, EnterThroughTheWholeTableVisitsOnlyShownColumns)
{
    const std::vector<std::vector<int>> visited = {{}, {1, 3, 5, 6}, {2, 4, 5}};
    for (int mode : {1, 2}) {
        Grid grid(mode);
        // From the start cell (row 1, column 1) twice round the table.
        std::set<int> columns;
        for (int i = 0; i < 2 * 16 * static_cast<int>(visited[mode].size()); ++i) {
            grid.session.PressEnter();
            ASSERT_TRUE(grid.session.EditorOpen());
            columns.insert(grid.session.Col());
            ASSERT_TRUE(grid.session.ColumnShown(grid.session.Col())) << "mode " << mode;
        }
        EXPECT_EQ(std::vector<int>(columns.begin(), columns.end()), visited[mode]) << "mode " << mode;
        EXPECT_EQ(grid.session.Table(), grid.shown);
        EXPECT_EQ(grid.Saved(), grid.image);
    }
}

TEST(GridSafety, MovesStayOnShownCells)
{
    struct Case
    {
        int mode;
        int row, column;
        GridMove move;
        int toRow, toColumn;
    };
    const Case cases[] = {
        // The start cell in mode 2 is the hidden Rx column: the keyboard is
        // seen on the Tx cell beside it, and moves from there.
        {2, 1, 1, GridMove::Right, 1, 4},    {2, 1, 1, GridMove::Down, 2, 2},      {2, 1, 1, GridMove::Left, 1, 2},
        {2, 1, 1, GridMove::Next, 1, 4},     {2, 3, 5, GridMove::Right, 3, 5},     {2, 3, 5, GridMove::Next, 4, 2},
        {2, 4, 2, GridMove::Previous, 3, 5}, {2, 1, 2, GridMove::Previous, 16, 5}, {2, 16, 5, GridMove::Next, 1, 2},
        {2, 7, 4, GridMove::Home, 7, 2},     {2, 7, 2, GridMove::End, 7, 5},       {2, 7, 4, GridMove::PageDown, 16, 4},
        {2, 7, 4, GridMove::PageUp, 1, 4},   {2, 1, 4, GridMove::Up, 1, 4},        {2, 16, 4, GridMove::Down, 16, 4},
        {1, 1, 1, GridMove::Right, 1, 3},    {1, 1, 3, GridMove::Right, 1, 5},     {1, 1, 6, GridMove::Right, 1, 6},
        {1, 1, 6, GridMove::Next, 2, 1},     {1, 5, 1, GridMove::Previous, 4, 6},  {1, 5, 3, GridMove::Left, 5, 1},
        {1, 5, 3, GridMove::End, 5, 6},
    };
    for (const Case& c : cases) {
        ChannelEditSession session;
        session.SetDeviceMode(c.mode);
        session.SetCurrentCell(c.row, c.column);
        int row = 0;
        int column = 0;
        session.Destination(c.move, row, column);
        EXPECT_EQ(row, c.toRow) << c.mode << ": " << c.row << "," << c.column << " move " << int(c.move);
        EXPECT_EQ(column, c.toColumn) << c.mode << ": " << c.row << "," << c.column << " move " << int(c.move);
    }
}

TEST(GridSafety, NoEditorOpensOnAHiddenColumn)
{
    ChannelEditSession session;
    session.SetDeviceMode(2);
    session.EnterCell(1, kColBusyLock);
    EXPECT_FALSE(session.EditorOpen());
    // The grid's start cell is hidden in mode 2: F2 and typing open the
    // editor of the Tx cell the user sees.
    session.SetCurrentCell(1, 1);
    ASSERT_TRUE(session.OpenEditorTyping("1"));
    EXPECT_EQ(session.Col(), kColTxFrequency);
    EXPECT_EQ(session.EditorText(), "1");
    EXPECT_EQ(session.LoadedText(), "");
    session.HideEditor();
    session.SetCurrentCell(2, kColBandwidth);
    ASSERT_TRUE(session.OpenEditorTyping("n"));
    EXPECT_EQ(session.EditorText(), "Narrow");
    session.SetEnabled(false);
    EXPECT_FALSE(session.OpenEditor());
}

TEST(GridSafety, AnUnlistedToneIsShownAndKept)
{
    for (int mode : {1, 2}) {
        Grid grid(mode);
        const int column = mode == 1 ? kColDecodeTone : kColEncodeTone;
        ASSERT_EQ(grid.session.Table()[4][static_cast<std::size_t>(column)], "D017I");
        grid.session.EnterCell(4, column);
        EXPECT_TRUE(grid.session.EditorShowsUnlistedText());
        EXPECT_EQ(grid.session.EditorText(), "D017I");
        grid.session.PressEnter();
        grid.session.MoveTo(4, column); // a click back on it, then away
        grid.session.MoveTo(5, column);
        EXPECT_EQ(grid.Saved(), grid.image);
        // Choosing a listed tone does change it.
        grid.session.EnterCell(4, column);
        grid.session.SetEditorText("67.0");
        grid.session.PressEnter();
        EXPECT_EQ(grid.session.Table()[4][static_cast<std::size_t>(column)], "67.0");
    }
}

TEST(GridSafety, EmptyingTheShownFrequencyDeletesTheWholeChannel)
{
    struct Case
    {
        int mode;
        int column;
        bool enter;
        int channel;
    };
    const Case cases[] = {
        {1, kColRxFrequency, true, 1}, {1, kColRxFrequency, false, 1}, {1, kColRxFrequency, true, 2},
        {2, kColTxFrequency, true, 1}, {2, kColTxFrequency, false, 1}, {2, kColTxFrequency, true, 3},
    };
    for (const Case& c : cases) {
        Grid grid(c.mode);
        grid.session.EnterCell(c.channel, c.column);
        grid.session.SetEditorText("");
        if (c.enter)
            grid.session.PressEnter();
        else
            grid.session.MoveTo(9, c.column);
        for (int column = 1; column <= 8; ++column)
            EXPECT_EQ(grid.session.Table()[static_cast<std::size_t>(c.channel)][static_cast<std::size_t>(column)], "");
        const RadioImage saved = grid.Saved();
        for (std::size_t i = 0; i < ImageMap::kChannelRecordSize; ++i)
            EXPECT_EQ(saved[Record(c.channel) + i], 0xFF) << "mode " << c.mode << " byte " << i;
        EXPECT_FALSE(ScanBit(saved, c.channel));
        // Nothing else changed.
        RadioImage expected = grid.image;
        WriteChannelRecord(expected, c.channel, EmptyChannelRecord());
        EXPECT_EQ(saved, expected) << "mode " << c.mode << " channel " << c.channel;
    }

    // A channel typed again after its deletion starts from an empty record:
    // the hidden side it had is gone.
    Grid grid(2);
    grid.session.EnterCell(1, kColTxFrequency);
    grid.session.SetEditorText("");
    grid.session.PressEnter();
    grid.session.EnterCell(1, kColTxFrequency);
    grid.session.SetEditorText("150");
    grid.session.PressEnter();
    const RadioImage saved = grid.Saved();
    EXPECT_EQ(DecodeFrequency(saved, 1, FrequencySide::Receive), "");
    EXPECT_EQ(DecodeFrequency(saved, 1, FrequencySide::Transmit), "150.00000");
}

TEST(GridSafety, EnterOnAnEmptyTxFillsFromRxOnlyWhereRxIsShown)
{
    // Every column shown (as in the receive-and-transmit view): the fill.
    ChannelEditSession all;
    all.SetBand(kLow, kHigh);
    all.Table()[2] = {" 2", "146.52500", "", "67.0", "", "Wide", "No", "Off", "High"};
    all.EnterCell(2, kColTxFrequency);
    all.PressEnter();
    EXPECT_EQ(all.Table()[2][kColTxFrequency], "146.52500");
    // Rx hidden: Enter on an empty Tx leaves the row as it is.
    Grid grid(2);
    grid.session.EnterCell(2, kColTxFrequency);
    grid.session.PressEnter();
    EXPECT_EQ(grid.session.Table(), grid.shown);
    EXPECT_EQ(grid.Saved(), grid.image);
}

TEST(GridSafety, TypedFrequencies)
{
    struct Case
    {
        const char* typed;
        bool accepted;
        const char* number;
    };
    const Case cases[] = {
        {"446,5", true, "446.5"},
        {" 146.5 ", true, "146.5"},
        {"4.4e2", true, "4.4e2"},
        {"146", true, "146"},
        {"+146.5", true, "+146.5"},
        {".5", true, ".5"},
        {"146.", true, "146."},
        {"\t145.0125", true, "145.0125"},
        {"1E+2", true, "1e+2"},
        {"146.5x", false, ""},
        {"14 6.5", false, ""},
        {"abc", false, ""},
        {"", false, ""},
        {"   ", false, ""},
        {"1,2.3", false, ""},
        {"0x10", false, ""},
        {"inf", false, ""},
        {"4.4e", false, ""},
        {"--1", false, ""},
        {"146.5.", false, ""},
        {",", false, ""},
    };
    for (const Case& c : cases) {
        std::string number;
        EXPECT_EQ(ReadTypedFrequency(c.typed, number), c.accepted) << c.typed;
        if (c.accepted) {
            EXPECT_EQ(number, c.number) << c.typed;
        }
    }

    // Typed into a cell: a comma is a decimal separator, anything that is
    // not a number is refused with the range message and changes nothing.
    struct Typed
    {
        const char* typed;
        EditMessage message;
        const char* cell;
    };
    const Typed typed[] = {
        {"146,5", EditMessage::None, "146.50000"},
        {"146.5x", EditMessage::OutOfRange, "147.00000"},
        {"14 6.5", EditMessage::OutOfRange, "147.00000"},
        {" 1.465e2 ", EditMessage::None, "146.50000"},
    };
    for (const Typed& t : typed) {
        Grid grid(2);
        grid.session.EnterCell(1, kColTxFrequency);
        grid.session.SetEditorText(t.typed);
        EXPECT_EQ(grid.session.PressEnter().message, t.message) << t.typed;
        EXPECT_EQ(grid.session.Table()[1][kColTxFrequency], t.cell) << t.typed;
    }
}
