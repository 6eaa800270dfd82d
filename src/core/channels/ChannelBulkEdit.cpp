#include "core/channels/ChannelBulkEdit.h"

#include "core/channels/ChannelCodec.h"
#include "core/channels/ChannelRows.h"
#include "core/channels/ChannelTable.h"
#include "core/channels/DecimalArithmetic.h"

#include <algorithm>
#include <optional>

namespace {

bool IsChannel(int channel)
{
    return channel >= 1 && channel <= ImageMap::kChannelCount;
}

FrequencySide ShownSide(int deviceMode)
{
    return deviceMode == 1 ? FrequencySide::Receive : FrequencySide::Transmit;
}

// The commit of one value into many cells: each one is typed into the
// channel's editor and confirmed with Enter, on a session over the table
// the image shows.
BulkEditOutcome CommitCells(RadioImage& image, int deviceMode, bool chinese, const FrequencyBand& band,
                            const std::vector<int>& channels, int column, const std::string& value)
{
    BulkEditOutcome outcome;
    if (!BulkColumnShown(deviceMode, column)) {
        outcome.refusal = BulkRefusal::NotApplicable;
        return outcome;
    }
    ChannelEditSession session(chinese);
    session.SetDeviceMode(deviceMode);
    session.SetBand(band.low, band.high);
    ImageToTable(image, deviceMode, chinese, session.Table());
    const ChannelTable shown = session.Table();
    for (int channel : channels) {
        if (!IsChannel(channel))
            continue;
        session.EnterCell(channel, column);
        session.SetEditorText(value);
        bool rejected = false;
        const EditMessage message = session.CommitOnEnter(rejected);
        if (rejected) {
            outcome.refusal = BulkRefusal::Channel;
            outcome.channel = channel;
            outcome.message = message;
            return outcome;
        }
    }
    RadioImage result = image;
    TableToImageKeepingUnchanged(session.Table(), shown, deviceMode, result, session.DeletedRows());
    outcome.changed = result != image;
    image = result;
    return outcome;
}

} // namespace

bool BulkColumnShown(int deviceMode, int column)
{
    return column >= kColRxFrequency && column < kTableCols &&
           ColumnWidths(deviceMode)[static_cast<std::size_t>(column)] != 0;
}

BulkEditOutcome CommitToChannels(RadioImage& image, int deviceMode, bool chinese, const FrequencyBand& band,
                                 const std::vector<int>& channels, int column, const std::string& value)
{
    return CommitCells(image, deviceMode, chinese, band, channels, column, value);
}

BulkEditOutcome FillDown(RadioImage& image, int deviceMode, bool chinese, const FrequencyBand& band,
                         const std::vector<int>& channels, int column)
{
    BulkEditOutcome outcome;
    if (channels.size() < 2 || !IsChannel(channels.front()) || !BulkColumnShown(deviceMode, column)) {
        outcome.refusal = BulkRefusal::NotApplicable;
        return outcome;
    }
    const int source = channels.front();
    ChannelTable table = NewChannelTable(chinese);
    ImageToTable(image, deviceMode, chinese, table);
    // The table blanks the side the mode hides: an empty frequency cell here
    // is a channel the user sees as empty, or (mode 0) a missing side.
    const auto& sourceRow = table[static_cast<std::size_t>(source)];
    const std::string value = sourceRow[static_cast<std::size_t>(column)];
    const bool noFrequency = sourceRow[kColRxFrequency].empty() && sourceRow[kColTxFrequency].empty();
    if (noFrequency || (value.empty() && (column == kColRxFrequency || column == kColTxFrequency))) {
        outcome.refusal = BulkRefusal::EmptySource;
        return outcome;
    }
    const std::vector<int> targets(channels.begin() + 1, channels.end());
    return CommitCells(image, deviceMode, chinese, band, targets, column, value);
}

std::vector<int> SortTargets(const std::vector<int>& selected)
{
    if (selected.size() >= 2)
        return selected;
    std::vector<int> all;
    for (int channel = 1; channel <= ImageMap::kChannelCount; ++channel)
        all.push_back(channel);
    return all;
}

bool SortChannelsByFrequency(RadioImage& image, int deviceMode, const std::vector<int>& channels)
{
    std::vector<int> places;
    for (int channel : channels)
        if (IsChannel(channel) && std::find(places.begin(), places.end(), channel) == places.end())
            places.push_back(channel);
    std::sort(places.begin(), places.end());

    struct Entry
    {
        std::optional<std::int32_t> frequency; // none: sorted after all others
        ChannelRecord record;
    };
    std::vector<Entry> entries;
    for (int channel : places) {
        const std::string text = DecodeFrequency(image, channel, ShownSide(deviceMode));
        Entry entry;
        if (!text.empty())
            entry.frequency = ToTenHertz(text);
        entry.record = ReadChannelRecord(image, channel);
        entries.push_back(entry);
    }
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        if (a.frequency && b.frequency)
            return *a.frequency < *b.frequency;
        return a.frequency.has_value() && !b.frequency.has_value();
    });
    const RadioImage before = image;
    for (std::size_t k = 0; k < places.size(); ++k)
        WriteChannelRecord(image, places[k], entries[k].record);
    return image != before;
}
