// Row commands on an image: deleted, inserted and moved channels keep every
// byte of their record and their scan bit, whatever the grid could show.

#include "ChannelRecordFixture.h"
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "core/channels/ChannelRows.h"

namespace {

// Channels 1-5 are set, the rest are as a new image leaves them (all 0xFF,
// scan bits set).
RadioImage SampleImage()
{
    RadioImage image = MakeNewImage();
    // Rx and Tx 146.52, no tones, wide, high power.
    SetRecord(image, 1, {0x00, 0x20, 0x65, 0x14, 0x00, 0x20, 0x65, 0x14, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x30}, true);
    // Receive only: mode 2 shows nothing of it; decode tone 67.0.
    SetRecord(image, 2, {0x00, 0x50, 0x45, 0x14, 0xFF, 0xFF, 0xFF, 0xFF, 0x9E, 0x02, 0xFF, 0xFF, 0x00, 0x10}, false);
    // Busy lock 0x18, an encode tone no list offers (69.4), bytes 14-15 used.
    SetRecord(image, 3,
              {0x00, 0x00, 0x45, 0x14, 0x00, 0x00, 0x45, 0x14, 0xFF, 0xFF, 0xB6, 0x02, 0x18, 0x00, 0x12, 0x34}, true);
    // Transmit only, DCS D754I.
    SetRecord(image, 4, {0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x46, 0x14, 0xEC, 0xA9, 0xEC, 0xA9, 0x08, 0x20}, false);
    SetRecord(image, 5, {0x00, 0x00, 0x44, 0x14, 0x00, 0x00, 0x44, 0x14}, true);
    return image;
}

struct RowCommandCase
{
    const char* name;
    std::function<bool(RadioImage&)> command;
    bool done;
    // For channels 1..16: the channel of the sample whose record it holds
    // afterwards, 0 for an empty record.
    std::vector<int> from;
};

std::vector<int> Identity()
{
    std::vector<int> from;
    for (int channel = 1; channel <= 16; ++channel)
        from.push_back(channel);
    return from;
}

std::vector<int> With(std::vector<int> from, std::initializer_list<std::pair<int, int>> changes)
{
    for (const auto& [channel, source] : changes)
        from[static_cast<std::size_t>(channel - 1)] = source;
    return from;
}

bool Move(RadioImage& image, std::vector<int> channels, MoveDirection direction,
          const std::vector<int>& expectedAfter = {})
{
    const bool moved = MoveChannels(image, channels, direction);
    if (moved) {
        EXPECT_EQ(channels, expectedAfter);
    }
    return moved;
}

TEST(ChannelRows, CommandsMoveWholeRecordsByteExact)
{
    const RowCommandCase cases[] = {
        {"delete two",
         [](RadioImage& i) {
             DeleteChannels(i, {2, 3});
             return true;
         },
         true, With(Identity(), {{2, 0}, {3, 0}})},
        {"insert at 2",
         [](RadioImage& i) { return InsertEmptyChannel(i, 2); },
         true,
         {1, 0, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}},
        {"insert at 16", [](RadioImage& i) { return InsertEmptyChannel(i, 16); }, true, With(Identity(), {{16, 0}})},
        {"block up",
         [](RadioImage& i) {
             return Move(i, {3, 4}, MoveDirection::Up, {2, 3});
         },
         true, With(Identity(), {{2, 3}, {3, 4}, {4, 2}})},
        {"block down",
         [](RadioImage& i) {
             return Move(i, {1, 2, 3}, MoveDirection::Down, {2, 3, 4});
         },
         true, With(Identity(), {{1, 4}, {2, 1}, {3, 2}, {4, 3}})},
        {"apart up",
         [](RadioImage& i) {
             return Move(i, {2, 4}, MoveDirection::Up, {1, 3});
         },
         true, With(Identity(), {{1, 2}, {2, 1}, {3, 4}, {4, 3}})},
        {"one down", [](RadioImage& i) { return Move(i, {5}, MoveDirection::Down, {6}); }, true,
         With(Identity(), {{5, 6}, {6, 5}})},
        {"up from the top",
         [](RadioImage& i) {
             return Move(i, {1, 3}, MoveDirection::Up);
         },
         false, Identity()},
        {"down from the bottom", [](RadioImage& i) { return Move(i, {16}, MoveDirection::Down); }, false, Identity()},
        {"nothing to move", [](RadioImage& i) { return Move(i, {}, MoveDirection::Down); }, false, Identity()},
    };
    const RadioImage sample = SampleImage();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RadioImage image = sample;
        EXPECT_EQ(c.command(image), c.done);
        for (int channel = 1; channel <= 16; ++channel) {
            const int source = c.from[static_cast<std::size_t>(channel - 1)];
            const ChannelRecord expected = source == 0 ? EmptyChannelRecord() : ReadChannelRecord(sample, source);
            EXPECT_EQ(ReadChannelRecord(image, channel), expected) << "channel " << channel;
        }
        // Nothing outside the records and the scan bitmap moves.
        for (std::size_t offset = 0; offset < image.size(); ++offset) {
            const bool record = offset >= 0x10 && offset < 0x110;
            const bool scan = offset == ImageMap::kScanBitmap || offset == ImageMap::kScanBitmap + 1;
            if (!record && !scan) {
                EXPECT_EQ(image[offset], sample[offset]) << "offset " << offset;
            }
        }
    }
}

TEST(ChannelRows, InsertIsRefusedWhileChannelSixteenIsInUse)
{
    // Only one side needs a frequency for the channel to count as in use.
    for (const std::size_t topByte : {3u, 7u}) {
        RadioImage image = SampleImage();
        image[ImageMap::ChannelOffset(16) + topByte] = 0x14;
        const RadioImage before = image;
        EXPECT_FALSE(InsertEmptyChannel(image, 1));
        EXPECT_EQ(image, before);
    }
    // Other bytes of an otherwise unused channel 16 do not hold it in place.
    RadioImage image = SampleImage();
    image[ImageMap::ChannelOffset(16) + ImageMap::kRecBusyLock] = 0x10;
    EXPECT_TRUE(InsertEmptyChannel(image, 1));
}

TEST(ChannelRows, SelectionFollowsClicksAndKeys)
{
    struct Step
    {
        std::function<void(ChannelSelection&)> act;
        std::vector<int> selected;
    };
    const Step steps[] = {
        {[](ChannelSelection& s) { s.SelectOnly(3); }, {3}},
        {[](ChannelSelection& s) { s.ExtendTo(5); }, {3, 4, 5}},
        {[](ChannelSelection& s) { s.ExtendTo(2); }, {2, 3}},
        {[](ChannelSelection& s) { s.Toggle(7); }, {2, 3, 7}},
        {[](ChannelSelection& s) { s.Toggle(3); }, {2, 7}},
        {[](ChannelSelection& s) { s.ExtendTo(5); }, {3, 4, 5}},
        {[](ChannelSelection& s) { s.SelectAll(); }, Identity()},
        {[](ChannelSelection& s) { s.Clear(); }, {}},
        {[](ChannelSelection& s) { s.ExtendTo(9); }, {9}},
        {[](ChannelSelection& s) { s.SelectOnly(17); }, {}},
    };
    ChannelSelection selection;
    int n = 0;
    for (const auto& step : steps) {
        SCOPED_TRACE(++n);
        step.act(selection);
        EXPECT_EQ(selection.Channels(), step.selected);
        EXPECT_EQ(selection.Empty(), step.selected.empty());
    }
    EXPECT_EQ(CommandChannels({}, 6), std::vector<int>{6});
    EXPECT_EQ(CommandChannels({2, 9}, 6), (std::vector<int>{2, 9}));
}

} // namespace
