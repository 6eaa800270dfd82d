// A document's channels: the image, the texts the window shows and edits,
// the baseline the lossless save compares with and the deleted channels,
// written back in every device mode.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/channels/ChannelCodec.h"
#include "core/channels/ChannelEditing.h"
#include "core/channels/ChannelRows.h"
#include "core/document/DocumentChannels.h"

#include "ChannelRecordFixture.h"

namespace {

constexpr std::int32_t kLow = 13600000;
constexpr std::int32_t kHigh = 17400000;

// A document opened from an image in a device mode, with the window's
// editing session on its channels.
struct OpenDocument
{
    OpenDocument(const RadioImage& image, int mode)
        : mode(mode)
        , session(channels, false)
    {
        channels.Image() = image;
        channels.ImageToGrid(mode);
        session.SetBand(kLow, kHigh);
        session.SetDeviceMode(mode);
    }
    // What a save writes.
    RadioImage Saved()
    {
        channels.GridToImage(mode);
        return channels.Image();
    }
    void Type(int row, int column, const std::string& text)
    {
        session.EnterCell(row, column);
        session.SetEditorText(text);
        session.PressEnter();
    }

    int mode;
    DocumentChannels channels;
    ChannelEditSession session;
};

// The frequency column a device mode shows (both in mode 0).
int ShownFrequency(int mode)
{
    return mode == 2 ? kColTxFrequency : kColRxFrequency;
}

RadioImage Emptied(RadioImage image, int channel)
{
    WriteChannelRecord(image, channel, EmptyChannelRecord());
    return image;
}

} // namespace

TEST(DocumentChannels, ImageToGridShowsWhatTheTableRulesShow)
{
    for (int mode : {0, 1, 2}) {
        for (bool chinese : {false, true}) {
            DocumentChannels channels(chinese);
            channels.Image() = GridSafetyImage();
            channels.ImageToGrid(mode);
            ChannelTable expected = NewChannelTable(chinese);
            ImageToTable(GridSafetyImage(), mode, chinese, expected);
            EXPECT_EQ(channels.Cells(), expected) << "mode " << mode;
            EXPECT_EQ(channels.Shown(), expected) << "mode " << mode;
        }
    }
}

TEST(DocumentChannels, OpenAndSaveWithoutEditsKeepsEveryByte)
{
    RadioImage odd = GridSafetyImage();
    odd[ImageMap::ChannelOffset(5) + 14] = 0x5A; // bytes no field uses
    SetRecord(odd, 6, {0x00, 0x50, 0x52, 0x14, 0x00, 0x00, 0x00, 0x00}, true);
    for (const RadioImage& image : {GridSafetyImage(), odd, MakeNewImage()}) {
        for (int mode : {0, 1, 2}) {
            OpenDocument document(image, mode);
            EXPECT_EQ(document.Saved(), image) << "mode " << mode;
            // A second save after the first changes nothing either.
            EXPECT_EQ(document.Saved(), image) << "mode " << mode;
        }
    }
}

TEST(DocumentChannels, EditsChangeOnlyTheirRowAndKeepTheHiddenSide)
{
    struct Case
    {
        int mode;
        int row;
        int column;
        const char* text;
    };
    const Case cases[] = {
        {1, 1, kColBandwidth, "Wide"},  {2, 1, kColBandwidth, "Wide"}, {1, 2, kColRxFrequency, "150"},
        {2, 3, kColTxFrequency, "150"}, {1, 4, kColScan, "No"},        {2, 4, kColBandwidth, "Wide"},
    };
    for (const Case& c : cases) {
        OpenDocument document(GridSafetyImage(), c.mode);
        document.Type(c.row, c.column, c.text);
        const RadioImage saved = document.Saved();
        const RadioImage before = GridSafetyImage();
        // The side the mode hides keeps its frequency and tone bytes.
        const FrequencySide hidden = c.mode == 1 ? FrequencySide::Transmit : FrequencySide::Receive;
        EXPECT_EQ(DecodeFrequency(saved, c.row, hidden), DecodeFrequency(before, c.row, hidden))
            << "mode " << c.mode << " row " << c.row;
        for (int channel = 1; channel <= ImageMap::kChannelCount; ++channel) {
            if (channel == c.row)
                continue;
            EXPECT_EQ(ReadChannelRecord(saved, channel), ReadChannelRecord(before, channel))
                << "mode " << c.mode << " channel " << channel;
        }
        EXPECT_NE(ReadChannelRecord(saved, c.row), ReadChannelRecord(before, c.row)) << "mode " << c.mode;
    }
}

TEST(DocumentChannels, AnUnlistedToneSurvivesItsRowBeingEdited)
{
    for (int mode : {1, 2}) {
        OpenDocument document(GridSafetyImage(), mode);
        const int tone = mode == 1 ? kColDecodeTone : kColEncodeTone;
        // Enter on the unlisted tone itself, then a change elsewhere in the row.
        document.Type(4, tone, "D017I");
        EXPECT_EQ(document.Saved(), GridSafetyImage()) << "mode " << mode;
        document.Type(4, kColBandwidth, "Narrow");
        const RadioImage saved = document.Saved();
        const ToneSide side = mode == 1 ? ToneSide::Decode : ToneSide::Encode;
        EXPECT_EQ(DecodeTone(saved, 4, side), "D017I") << "mode " << mode;
    }
}

TEST(DocumentChannels, EmptyingTheShownFrequencyEmptiesTheWholeRecord)
{
    for (int mode : {1, 2}) {
        for (int channel : {1, 2, 3}) {
            OpenDocument document(GridSafetyImage(), mode);
            const int column = ShownFrequency(mode);
            if (document.channels.Cells()[static_cast<std::size_t>(channel)][static_cast<std::size_t>(column)].empty())
                continue; // nothing shown to empty
            document.Type(channel, column, "");
            EXPECT_TRUE(document.channels.DeletedRows()[static_cast<std::size_t>(channel)]);
            EXPECT_EQ(document.Saved(), Emptied(GridSafetyImage(), channel)) << "mode " << mode << " ch " << channel;
            EXPECT_FALSE(document.channels.DeletedRows()[static_cast<std::size_t>(channel)]);
        }
    }
}

TEST(DocumentChannels, EnterFillsAnEmptyTxOnlyWhereRxIsShown)
{
    // Mode 1: a new channel typed on the Rx side gets the Tx text too, and
    // the save writes the shown side only (the hidden Tx bytes stay empty).
    OpenDocument rx(MakeNewImage(), 1);
    rx.Type(3, kColRxFrequency, "146.52");
    EXPECT_EQ(rx.channels.Cells()[3][kColRxFrequency], "146.52000");
    const RadioImage saved = rx.Saved();
    EXPECT_EQ(DecodeFrequency(saved, 3, FrequencySide::Receive), "146.52000");
    EXPECT_EQ(DecodeFrequency(saved, 3, FrequencySide::Transmit), "");
    // Mode 2: Enter on an empty Tx cell of a receive-only channel changes nothing.
    OpenDocument tx(GridSafetyImage(), 2);
    tx.session.EnterCell(2, kColTxFrequency);
    tx.session.PressEnter();
    EXPECT_EQ(tx.channels.Cells(), tx.channels.Shown());
    EXPECT_EQ(tx.Saved(), GridSafetyImage());
}

TEST(DocumentChannels, SnapshotsGiveBackTheDeletedChannels)
{
    for (int mode : {1, 2}) {
        const int column = ShownFrequency(mode);
        OpenDocument document(GridSafetyImage(), mode);
        const DocumentSnapshot opened = document.channels.Snapshot();
        document.Type(1, column, "");
        const DocumentSnapshot deleted = document.channels.Snapshot();
        document.Type(4, kColBandwidth, "Narrow");

        // Undo of the later edit: the deletion is still one.
        document.channels.Restore(deleted);
        EXPECT_EQ(document.Saved(), Emptied(GridSafetyImage(), 1)) << "mode " << mode;

        // Undo of the deletion, then an edit of that channel: its hidden
        // side stays.
        OpenDocument again(GridSafetyImage(), mode);
        again.Type(1, column, "");
        again.channels.Restore(opened);
        again.Type(1, kColBandwidth, "Narrow");
        const FrequencySide hidden = mode == 1 ? FrequencySide::Transmit : FrequencySide::Receive;
        EXPECT_EQ(DecodeFrequency(again.Saved(), 1, hidden), DecodeFrequency(GridSafetyImage(), 1, hidden))
            << "mode " << mode;
    }
}

TEST(DocumentChannels, RowCommandsAfterWriteBackWorkOnTheEditedChannels)
{
    // A row command writes the texts into the image first, changes the
    // records and fills the texts anew: an edit made before it moves with
    // its channel.
    for (int mode : {1, 2}) {
        OpenDocument document(GridSafetyImage(), mode);
        document.Type(1, kColBandwidth, "Narrow");
        document.channels.GridToImage(mode);
        std::vector<int> moved = {1};
        ASSERT_TRUE(MoveChannels(document.channels.Image(), moved, MoveDirection::Down));
        document.channels.ImageToGrid(mode);
        EXPECT_EQ(document.channels.Cells()[2][kColBandwidth], "Narrow") << "mode " << mode;
        EXPECT_EQ(document.channels.Cells()[2][static_cast<std::size_t>(ShownFrequency(mode))],
                  mode == 1 ? "146.52500" : "147.00000");
        EXPECT_EQ(document.channels.Shown(), document.channels.Cells());
    }
}
