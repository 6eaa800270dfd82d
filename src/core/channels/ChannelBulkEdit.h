#pragma once
// One change for many channels: Fill Down, the commit of one value into a
// column of every selected channel, and the sort by frequency.
//
// Fill Down and the commit work on what the channel window shows: the
// image is read into the table texts of the device mode, each channel's
// cell is committed exactly as a value typed into it and confirmed with
// Enter (checked against the band and the channel step; a new channel
// receives the default settings), and the table is written back keeping
// the bytes of unchanged channels and of the side the mode hides. Any
// refused channel refuses the whole change: the image stays as it was.
//
// The sort moves whole channel records with their scan bits, as Move Up
// and Move Down do, so the hidden side and every unused byte travel along.

#include "core/channels/ChannelCsvTypes.h"
#include "core/channels/ChannelEditing.h"
#include "core/document/RadioImage.h"

#include <string>
#include <vector>

// Why a change for many channels was refused.
enum class BulkRefusal {
    None,
    // Fill Down from a first channel without a frequency on the shown side.
    EmptySource,
    // Fewer than two channels, or a column the device mode does not show.
    NotApplicable,
    // A channel refused the value as a typed one: see channel and message.
    Channel,
};

struct BulkEditOutcome
{
    BulkRefusal refusal = BulkRefusal::None;
    int channel = 0;                         // the first channel that refused
    EditMessage message = EditMessage::None; // what that channel's commit reported
    bool changed = false;                    // whether a byte of the image changed

    bool Ok() const { return refusal == BulkRefusal::None; }
};

// Whether a data column (1..8) is shown, and so edited, in a device mode.
bool BulkColumnShown(int deviceMode, int column);

// Commits value into column of each listed channel (ascending, 1..16) as if
// typed there and confirmed with Enter: a frequency is read as a typed
// number and checked against band and step, an empty frequency deletes its
// channel, and a setting given to an empty channel leaves it empty.
BulkEditOutcome CommitToChannels(RadioImage& image, int deviceMode, bool chinese, const FrequencyBand& band,
                                 const std::vector<int>& channels, int column, const std::string& value);

// Gives column of every listed channel after the first the value that column
// shows in the first. Needs two channels or more; refused with EmptySource
// when the first has no frequency on the shown side (there is nothing to
// fill, and an empty frequency would delete the others).
BulkEditOutcome FillDown(RadioImage& image, int deviceMode, bool chinese, const FrequencyBand& band,
                         const std::vector<int>& channels, int column);

// The channels a sort orders: the selected ones when two or more are, else
// all sixteen.
std::vector<int> SortTargets(const std::vector<int>& selected);

// Orders the records of the listed channels among themselves by the
// frequency the device mode shows (receive in mode 1, transmit otherwise),
// lowest first; equal frequencies keep their order, and channels without
// that frequency follow all others in their order. Returns whether any
// record moved.
bool SortChannelsByFrequency(RadioImage& image, int deviceMode, const std::vector<int>& channels);
