// One change for many channels, in every device mode: Fill Down and the
// commit of one value into a column of the selection go through the rules
// of a typed value and keep the side the mode hides; the sort moves whole
// records with their scan bits; a refusal changes no byte.

#include <gtest/gtest.h>

#include "ChannelRecordFixture.h"
#include "core/channels/ChannelBulkEdit.h"
#include "core/channels/ChannelCodec.h"
#include "core/channels/ChannelRows.h"
#include "core/channels/ChannelTable.h"

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr FrequencyBand kVhf{13600000, 17400000};
constexpr FrequencyBand kUhf{40000000, 47000000};

// 1: both sides, tones, narrow, scan on, busy lock 0x18 (no list offers it).
// 2: both sides, apart. 3: receive only (empty in mode 2). 4: transmit only
// (empty in mode 1). 5-16: empty records, scan bits as a new image has them.
RadioImage SampleImage()
{
    RadioImage image = MakeNewImage();
    EncodeFrequency(image, 1, FrequencySide::Receive, "146.52500");
    EncodeFrequency(image, 1, FrequencySide::Transmit, "147.00000");
    EncodeTone(image, 1, ToneSide::Decode, "67.0");
    EncodeTone(image, 1, ToneSide::Encode, "D023N");
    EncodeBandwidth(image, 1, "Narrow");
    EncodePower(image, 1, "Low");
    EncodeScan(image, 1, "Yes");
    image[ImageMap::ChannelOffset(1) + ImageMap::kRecBusyLock] = 0x18;
    EncodeFrequency(image, 2, FrequencySide::Receive, "145.00000");
    EncodeFrequency(image, 2, FrequencySide::Transmit, "145.60000");
    EncodeTone(image, 2, ToneSide::Decode, "None");
    EncodeTone(image, 2, ToneSide::Encode, "None");
    EncodeBandwidth(image, 2, "Wide");
    EncodePower(image, 2, "High");
    EncodeScan(image, 2, "No");
    EncodeBusyLock(image, 2, "Off");
    EncodeFrequency(image, 3, FrequencySide::Receive, "144.80000");
    EncodeScan(image, 3, "Yes");
    EncodeFrequency(image, 4, FrequencySide::Transmit, "145.50000");
    EncodeScan(image, 4, "No");
    return image;
}

// Cells expected afterwards, as the mode's table shows them.
using Cells = std::map<std::pair<int, int>, std::string>;

struct BulkCase
{
    const char* name;
    int mode;
    std::function<BulkEditOutcome(RadioImage&)> run;
    BulkRefusal refusal;
    int refusedChannel;
    EditMessage message;
    Cells cells;
    // Channels whose sixteen bytes and scan bit must not change.
    std::vector<int> untouched;
    // Hidden-side frequencies that must survive: channel, side, text.
    std::vector<std::tuple<int, FrequencySide, std::string>> frequencies;
};

std::function<BulkEditOutcome(RadioImage&)> Fill(int mode, std::vector<int> channels, int column,
                                                 FrequencyBand band = kVhf)
{
    return [=](RadioImage& image) { return FillDown(image, mode, false, band, channels, column); };
}

std::function<BulkEditOutcome(RadioImage&)> Commit(int mode, std::vector<int> channels, int column, std::string value,
                                                   FrequencyBand band = kVhf)
{
    return [=](RadioImage& image) { return CommitToChannels(image, mode, false, band, channels, column, value); };
}

std::vector<int> From(int first)
{
    std::vector<int> channels;
    for (int channel = first; channel <= 16; ++channel)
        channels.push_back(channel);
    return channels;
}

std::vector<int> Join(std::vector<int> a, const std::vector<int>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST(ChannelBulkEdit, FillDownAndCommitFollowTheTypedRulesInEveryMode)
{
    const std::vector<int> emptyAndAfter = From(5);
    const BulkCase cases[] = {
        // Fill Down of a setting: empty channels take no settings.
        {"fill W/N mode 1",
         1,
         Fill(1, {1, 2, 3, 4}, kColBandwidth),
         BulkRefusal::None,
         0,
         EditMessage::None,
         {{{2, kColBandwidth}, "Narrow"}, {{3, kColBandwidth}, "Narrow"}},
         Join({1, 4}, emptyAndAfter),
         {{2, FrequencySide::Transmit, "145.60000"}}},
        {"fill W/N mode 2",
         2,
         Fill(2, {1, 2, 3, 4}, kColBandwidth),
         BulkRefusal::None,
         0,
         EditMessage::None,
         {{{2, kColBandwidth}, "Narrow"}, {{4, kColBandwidth}, "Narrow"}},
         Join({1, 3}, emptyAndAfter),
         {{2, FrequencySide::Receive, "145.00000"}}},
        {"fill decode tone mode 0",
         0,
         Fill(0, {1, 2}, kColDecodeTone),
         BulkRefusal::None,
         0,
         EditMessage::None,
         {{{2, kColDecodeTone}, "67.0"}, {{2, kColEncodeTone}, "None"}},
         Join({1, 3, 4}, emptyAndAfter),
         {}},
        // Fill Down of the frequency: an empty channel becomes a new one
        // with the defaults, its hidden side kept.
        {"fill Rx mode 1",
         1,
         Fill(1, {1, 4, 5}, kColRxFrequency),
         BulkRefusal::None,
         0,
         EditMessage::None,
         {{{4, kColRxFrequency}, "146.52500"},
          {{4, kColDecodeTone}, "None"},
          {{4, kColBandwidth}, "Wide"},
          {{4, kColScan}, "No"},
          {{4, kColPower}, "High"},
          {{5, kColRxFrequency}, "146.52500"},
          {{5, kColBandwidth}, "Wide"}},
         Join({1, 2, 3}, From(6)),
         {{4, FrequencySide::Transmit, "145.50000"}}},
        {"fill Tx mode 2",
         2,
         Fill(2, {2, 3}, kColTxFrequency),
         BulkRefusal::None,
         0,
         EditMessage::None,
         {{{3, kColTxFrequency}, "145.60000"}, {{3, kColEncodeTone}, "None"}, {{3, kColBandwidth}, "Wide"}},
         Join({1, 2, 4}, emptyAndAfter),
         {{3, FrequencySide::Receive, "144.80000"}}},
        {"fill Rx mode 0",
         0,
         Fill(0, {1, 2}, kColRxFrequency),
         BulkRefusal::None,
         0,
         EditMessage::None,
         {{{2, kColRxFrequency}, "146.52500"}, {{2, kColTxFrequency}, "145.60000"}},
         Join({1, 3, 4}, emptyAndAfter),
         {}},
        // Refusals change nothing.
        {"fill from a channel empty in mode 1",
         1,
         Fill(1, {4, 5, 6}, kColRxFrequency),
         BulkRefusal::EmptySource,
         0,
         EditMessage::None,
         {},
         From(1),
         {}},
        {"fill a setting from a channel empty in mode 2",
         2,
         Fill(2, {3, 4}, kColBandwidth),
         BulkRefusal::EmptySource,
         0,
         EditMessage::None,
         {},
         From(1),
         {}},
        {"fill Tx from a receive-only channel in mode 0",
         0,
         Fill(0, {3, 5}, kColTxFrequency),
         BulkRefusal::EmptySource,
         0,
         EditMessage::None,
         {},
         From(1),
         {}},
        {"fill out of the band",
         1,
         Fill(1, {1, 2, 3}, kColRxFrequency, kUhf),
         BulkRefusal::Channel,
         2,
         EditMessage::OutOfRange,
         {},
         From(1),
         {}},
        {"fill a hidden column",
         1,
         Fill(1, {1, 2}, kColTxFrequency),
         BulkRefusal::NotApplicable,
         0,
         EditMessage::None,
         {},
         From(1),
         {}},
        {"fill the power column",
         0,
         Fill(0, {1, 2}, kColPower),
         BulkRefusal::NotApplicable,
         0,
         EditMessage::None,
         {},
         From(1),
         {}},
        {"fill one channel",
         1,
         Fill(1, {1}, kColBandwidth),
         BulkRefusal::NotApplicable,
         0,
         EditMessage::None,
         {},
         From(1),
         {}},
        // Ctrl+Enter: one typed value into every selected channel.
        {"commit Rx mode 1",
         1,
         Commit(1, {1, 2, 5}, kColRxFrequency, " 145.0125"),
         BulkRefusal::None,
         0,
         EditMessage::None,
         {{{1, kColRxFrequency}, "145.01250"},
          {{2, kColRxFrequency}, "145.01250"},
          {{5, kColRxFrequency}, "145.01250"},
          {{5, kColScan}, "No"}},
         Join({3, 4}, From(6)),
         {{1, FrequencySide::Transmit, "147.00000"}, {2, FrequencySide::Transmit, "145.60000"}}},
        {"commit W/N mode 2",
         2,
         Commit(2, {1, 2, 3, 4}, kColBandwidth, "Wide"),
         BulkRefusal::None,
         0,
         EditMessage::None,
         {{{1, kColBandwidth}, "Wide"}, {{4, kColBandwidth}, "Wide"}},
         Join({2, 3}, emptyAndAfter),
         {}},
        {"commit off the step",
         2,
         Commit(2, {1, 2}, kColTxFrequency, "145.0025"),
         BulkRefusal::Channel,
         1,
         EditMessage::BadStep,
         {},
         From(1),
         {}},
        {"commit out of the band",
         1,
         Commit(1, {2, 3}, kColRxFrequency, "446.00625"),
         BulkRefusal::Channel,
         2,
         EditMessage::OutOfRange,
         {},
         From(1),
         {}},
        {"commit no number",
         1,
         Commit(1, {1, 2}, kColRxFrequency, "146.5x"),
         BulkRefusal::Channel,
         1,
         EditMessage::OutOfRange,
         {},
         From(1),
         {}},
        {"commit into a hidden column",
         2,
         Commit(2, {1, 2}, kColScan, "Yes"),
         BulkRefusal::NotApplicable,
         0,
         EditMessage::None,
         {},
         From(1),
         {}},
    };
    for (const BulkCase& c : cases) {
        SCOPED_TRACE(c.name);
        const RadioImage before = SampleImage();
        RadioImage image = before;
        const BulkEditOutcome outcome = c.run(image);
        EXPECT_EQ(outcome.refusal, c.refusal);
        EXPECT_EQ(outcome.channel, c.refusedChannel);
        EXPECT_EQ(outcome.message, c.message);
        if (!outcome.Ok()) {
            EXPECT_EQ(image, before);
            EXPECT_FALSE(outcome.changed);
            continue;
        }
        EXPECT_TRUE(outcome.changed);
        ChannelTable table = NewChannelTable(false);
        ImageToTable(image, c.mode, false, table);
        for (const auto& [cell, text] : c.cells)
            EXPECT_EQ(table[static_cast<std::size_t>(cell.first)][static_cast<std::size_t>(cell.second)], text)
                << "channel " << cell.first << " column " << cell.second;
        for (int channel : c.untouched)
            EXPECT_EQ(ReadChannelRecord(image, channel), ReadChannelRecord(before, channel)) << "channel " << channel;
        for (const auto& [channel, side, text] : c.frequencies)
            EXPECT_EQ(DecodeFrequency(image, channel, side), text) << "channel " << channel;
        // Only the channels' records and scan bits may change.
        for (std::size_t at = 0; at < before.size(); ++at) {
            const bool channelByte = at >= ImageMap::ChannelOffset(1) && at < ImageMap::ChannelOffset(17);
            const bool scanByte = at == ImageMap::kScanBitmap || at == ImageMap::kScanBitmap + 1;
            if (!channelByte && !scanByte) {
                ASSERT_EQ(image[at], before[at]) << "offset " << at;
            }
        }
    }
}

TEST(ChannelBulkEdit, EmptyFrequencyCommittedToManyDeletesThemWholly)
{
    RadioImage image = SampleImage();
    const BulkEditOutcome outcome = CommitToChannels(image, 1, false, kVhf, {1, 2}, kColRxFrequency, "");
    ASSERT_TRUE(outcome.Ok());
    for (int channel : {1, 2})
        EXPECT_EQ(ReadChannelRecord(image, channel), EmptyChannelRecord()) << channel;
    EXPECT_EQ(ReadChannelRecord(image, 3), ReadChannelRecord(SampleImage(), 3));
}

TEST(ChannelBulkEdit, FillDownInChineseWritesTheSameBytes)
{
    RadioImage english = SampleImage();
    RadioImage chinese = SampleImage();
    ASSERT_TRUE(FillDown(english, 1, false, kVhf, {1, 6, 7}, kColRxFrequency).Ok());
    ASSERT_TRUE(FillDown(chinese, 1, true, kVhf, {1, 6, 7}, kColRxFrequency).Ok());
    EXPECT_EQ(english, chinese);
    EXPECT_EQ(DecodeBandwidth(chinese, 7, true), "宽");
}

TEST(ChannelBulkEdit, SortMovesWholeRecordsByTheShownFrequency)
{
    // Channel 6 receives on channel 2's frequency (stable order in mode 1)
    // and transmits between 2 and 1.
    RadioImage sample = SampleImage();
    EncodeFrequency(sample, 6, FrequencySide::Receive, "145.00000");
    EncodeFrequency(sample, 6, FrequencySide::Transmit, "146.00000");
    EncodeScan(sample, 6, "Yes");
    sample[ImageMap::ChannelOffset(6) + 15] = 0x5A; // a byte no field uses

    struct SortCase
    {
        const char* name;
        int mode;
        std::vector<int> channels;
        bool moved;
        // For channels 1..16: the channel of the sample whose record and
        // scan bit it holds afterwards.
        std::vector<int> from;
    };
    const std::vector<int> rest = From(7);
    const SortCase cases[] = {
        {"mode 1, all", 1, SortTargets({}), true, Join({3, 2, 6, 1, 4, 5}, rest)},
        {"mode 2, all", 2, SortTargets({5}), true, Join({4, 2, 6, 1, 3, 5}, rest)},
        {"mode 0 sorts by transmit", 0, SortTargets({}), true, Join({4, 2, 6, 1, 3, 5}, rest)},
        {"mode 1, a selection", 1, SortTargets({1, 2, 3}), true, Join({3, 2, 1, 4, 5, 6}, rest)},
        {"mode 2, a selection apart", 2, SortTargets({1, 4, 6}), true, Join({4, 2, 3, 6, 5, 1}, rest)},
        {"already in order", 1, SortTargets({3, 5, 9}), false, From(1)},
    };
    for (const SortCase& c : cases) {
        SCOPED_TRACE(c.name);
        RadioImage image = sample;
        EXPECT_EQ(SortChannelsByFrequency(image, c.mode, c.channels), c.moved);
        for (int channel = 1; channel <= 16; ++channel)
            EXPECT_EQ(ReadChannelRecord(image, channel),
                      ReadChannelRecord(sample, c.from[static_cast<std::size_t>(channel - 1)]))
                << "channel " << channel;
        for (std::size_t at = ImageMap::ChannelOffset(17); at < image.size(); ++at)
            if (at != ImageMap::kScanBitmap && at != ImageMap::kScanBitmap + 1) {
                ASSERT_EQ(image[at], sample[at]) << "offset " << at;
            }
    }
}

} // namespace
