#include "core/channels/ChannelRows.h"

#include <algorithm>

namespace {

bool IsChannel(int channel)
{
    return channel >= 1 && channel <= ImageMap::kChannelCount;
}

std::size_t ScanByte(int channel)
{
    return ImageMap::kScanBitmap + static_cast<std::size_t>(channel - 1) / 8;
}

std::uint8_t ScanBit(int channel)
{
    return static_cast<std::uint8_t>(1u << ((channel - 1) % 8));
}

bool NoFrequency(std::uint8_t mostSignificant)
{
    return mostSignificant == 0x00 || mostSignificant == 0xFF;
}

void SwapChannels(RadioImage& image, int a, int b)
{
    const ChannelRecord first = ReadChannelRecord(image, a);
    WriteChannelRecord(image, a, ReadChannelRecord(image, b));
    WriteChannelRecord(image, b, first);
}

} // namespace

ChannelRecord EmptyChannelRecord()
{
    ChannelRecord record;
    record.bytes.fill(0xFF);
    return record;
}

ChannelRecord ReadChannelRecord(const RadioImage& image, int channel)
{
    ChannelRecord record;
    const std::size_t offset = ImageMap::ChannelOffset(channel);
    std::copy_n(image.begin() + static_cast<std::ptrdiff_t>(offset), record.bytes.size(), record.bytes.begin());
    record.scan = (image[ScanByte(channel)] & ScanBit(channel)) != 0;
    return record;
}

void WriteChannelRecord(RadioImage& image, int channel, const ChannelRecord& record)
{
    const std::size_t offset = ImageMap::ChannelOffset(channel);
    std::copy(record.bytes.begin(), record.bytes.end(), image.begin() + static_cast<std::ptrdiff_t>(offset));
    std::uint8_t& scan = image[ScanByte(channel)];
    scan = static_cast<std::uint8_t>(record.scan ? scan | ScanBit(channel) : scan & ~ScanBit(channel));
}

bool IsChannelUnused(const RadioImage& image, int channel)
{
    const std::size_t offset = ImageMap::ChannelOffset(channel);
    return NoFrequency(image[offset + ImageMap::kRecRxFrequency + 3]) &&
           NoFrequency(image[offset + ImageMap::kRecTxFrequency + 3]);
}

void DeleteChannels(RadioImage& image, const std::vector<int>& channels)
{
    for (int channel : channels)
        if (IsChannel(channel))
            WriteChannelRecord(image, channel, EmptyChannelRecord());
}

bool InsertEmptyChannel(RadioImage& image, int at)
{
    if (!IsChannel(at) || !IsChannelUnused(image, ImageMap::kChannelCount))
        return false;
    for (int channel = ImageMap::kChannelCount; channel > at; --channel)
        WriteChannelRecord(image, channel, ReadChannelRecord(image, channel - 1));
    WriteChannelRecord(image, at, EmptyChannelRecord());
    return true;
}

bool CanMoveChannels(const std::vector<int>& channels, MoveDirection direction)
{
    if (channels.empty() || !std::all_of(channels.begin(), channels.end(), IsChannel))
        return false;
    if (direction == MoveDirection::Up)
        return *std::min_element(channels.begin(), channels.end()) > 1;
    return *std::max_element(channels.begin(), channels.end()) < ImageMap::kChannelCount;
}

bool MoveChannels(RadioImage& image, std::vector<int>& channels, MoveDirection direction)
{
    if (!CanMoveChannels(channels, direction))
        return false;
    std::sort(channels.begin(), channels.end());
    channels.erase(std::unique(channels.begin(), channels.end()), channels.end());
    // Moving up, the topmost channel goes first, so each one swaps with the
    // unselected channel that the ones before it have pushed below them; a
    // move down runs from the bottom.
    if (direction == MoveDirection::Up) {
        for (int& channel : channels) {
            SwapChannels(image, channel, channel - 1);
            --channel;
        }
    } else {
        for (auto it = channels.rbegin(); it != channels.rend(); ++it) {
            SwapChannels(image, *it, *it + 1);
            ++*it;
        }
    }
    return true;
}

std::vector<int> CommandChannels(const std::vector<int>& selected, int current)
{
    if (!selected.empty())
        return selected;
    if (IsChannel(current))
        return {current};
    return {};
}

bool ChannelSelection::Empty() const
{
    return std::none_of(m_selected.begin(), m_selected.end(), [](bool s) { return s; });
}

bool ChannelSelection::Contains(int channel) const
{
    return IsChannel(channel) && m_selected[static_cast<std::size_t>(channel)];
}

std::vector<int> ChannelSelection::Channels() const
{
    std::vector<int> channels;
    for (int channel = 1; channel <= ImageMap::kChannelCount; ++channel)
        if (m_selected[static_cast<std::size_t>(channel)])
            channels.push_back(channel);
    return channels;
}

void ChannelSelection::Clear()
{
    m_selected.fill(false);
    m_anchor = 0;
}

void ChannelSelection::SelectOnly(int channel)
{
    Clear();
    if (!IsChannel(channel))
        return;
    m_selected[static_cast<std::size_t>(channel)] = true;
    m_anchor = channel;
}

void ChannelSelection::ExtendTo(int channel)
{
    if (!IsChannel(channel))
        return;
    const int anchor = m_anchor != 0 ? m_anchor : channel;
    m_selected.fill(false);
    for (int c = std::min(anchor, channel); c <= std::max(anchor, channel); ++c)
        m_selected[static_cast<std::size_t>(c)] = true;
    m_anchor = anchor;
}

void ChannelSelection::Toggle(int channel)
{
    if (!IsChannel(channel))
        return;
    bool& selected = m_selected[static_cast<std::size_t>(channel)];
    selected = !selected;
    m_anchor = channel;
}

void ChannelSelection::SelectAll()
{
    m_selected.fill(true);
    m_selected[0] = false;
    if (m_anchor == 0)
        m_anchor = 1;
}

void ChannelSelection::Set(const std::vector<int>& channels)
{
    Clear();
    for (int channel : channels)
        if (IsChannel(channel))
            m_selected[static_cast<std::size_t>(channel)] = true;
    const std::vector<int> now = Channels();
    m_anchor = now.empty() ? 0 : now.front();
}
