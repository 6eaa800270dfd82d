#pragma once
// Whole channels as rows: the commands that delete, insert and reorder
// channels in a radio image, and the selection of channels they work on.
//
// A channel is its sixteen-byte record plus its bit of the scan bitmap, and
// these commands move both together and byte for byte: the side a device
// mode hides, busy lock 0x18, a tone no list offers and the bytes no field
// uses travel with their channel unchanged. Nothing here looks at the grid;
// the window writes its cells into the image first and refills them after.

#include <array>
#include <cstdint>
#include <vector>

#include "core/document/RadioImage.h"

// One channel lifted out of an image.
struct ChannelRecord
{
    std::array<std::uint8_t, ImageMap::kChannelRecordSize> bytes{};
    bool scan = false;

    bool operator==(const ChannelRecord&) const = default;
};

// 16 x 0xFF with the scan bit clear: what a deleted channel becomes.
ChannelRecord EmptyChannelRecord();

// Channel n's record and scan bit; n must be 1..16.
ChannelRecord ReadChannelRecord(const RadioImage& image, int channel);
void WriteChannelRecord(RadioImage& image, int channel, const ChannelRecord& record);

// Whether a channel holds no frequency on either side (the top byte of both
// frequencies is 0x00 or 0xFF), whatever its other bytes hold.
bool IsChannelUnused(const RadioImage& image, int channel);

// Each listed channel becomes an empty record with its scan bit clear.
void DeleteChannels(RadioImage& image, const std::vector<int>& channels);

// Channels from `at` to 15 move one place down and `at` becomes an empty
// record. Refused (false, image untouched) when channel 16 is in use, since
// it would fall off the end, or when `at` is not a channel.
bool InsertEmptyChannel(RadioImage& image, int at);

enum class MoveDirection { Up, Down };

// Whether the channels (ascending, 1..16, none twice) can move one place:
// not up when channel 1 is among them, not down when channel 16 is, and not
// at all when there are none.
bool CanMoveChannels(const std::vector<int>& channels, MoveDirection direction);

// Each selected channel swaps places with the unselected neighbour in the
// direction of the move, so a block of channels swaps with the channel next
// to it. channels (ascending) is updated to where the channels went. False,
// with nothing changed, when CanMoveChannels says no.
bool MoveChannels(RadioImage& image, std::vector<int>& channels, MoveDirection direction);

// The channels a row command works on: the selected ones, or the current
// channel when none is selected.
std::vector<int> CommandChannels(const std::vector<int>& selected, int current);

// The channels selected in the grid, as a user selects rows in a table: a
// click selects one channel and sets the anchor, Shift extends from the
// anchor, Ctrl adds or removes one channel.
class ChannelSelection
{
public:
    bool Empty() const;
    bool Contains(int channel) const;
    // The selected channels, ascending.
    std::vector<int> Channels() const;
    int Anchor() const { return m_anchor; }

    void Clear();
    void SelectOnly(int channel);
    // From the anchor (the channel itself when there is none) to channel.
    void ExtendTo(int channel);
    void Toggle(int channel);
    void SelectAll();
    // Exactly these channels; the anchor becomes the first of them.
    void Set(const std::vector<int>& channels);

private:
    std::array<bool, ImageMap::kChannelCount + 1> m_selected{};
    int m_anchor = 0;
};
