#include "core/document/ImageComparison.h"

#include "core/channels/ChannelTable.h"
#include "core/settings/OptionalFeatures.h"

#include <algorithm>
#include <cstdio>
#include <set>

namespace {

constexpr std::size_t kFrameSize = 8;

// The text of a list's selected entry; "" when nothing is selected.
std::string ListText(FeatureList list, int index)
{
    const std::vector<std::string> items = FeatureListItems(list, false);
    return index >= 0 && static_cast<std::size_t>(index) < items.size() ? items[static_cast<std::size_t>(index)] : "";
}

struct FeatureField
{
    const char* label; // as the Optional Features dialog labels it
    std::vector<std::size_t> bytes;
    std::string (*text)(const FeatureSettings&);
};

const std::vector<FeatureField>& FeatureFields()
{
    static const std::vector<FeatureField> fields = {
        {"Time Out Time (s)",
         {ImageMap::kTimeOutTimer},
         [](const FeatureSettings& s) { return ListText(FeatureList::TimeOutTime, s.timeOutTime); }},
        {"Squelch Level",
         {ImageMap::kSquelchLevel},
         [](const FeatureSettings& s) { return ListText(FeatureList::SquelchLevel, s.squelchLevel); }},
        {"Transmit Delay (s)",
         {ImageMap::kTransmitDelayLow, ImageMap::kTransmitDelayHigh},
         [](const FeatureSettings& s) { return s.transmitDelay; }},
        {"Side Key",
         {ImageMap::kSideKey},
         [](const FeatureSettings& s) { return ListText(FeatureList::SideKey, s.sideKey); }},
        {"Priority Channel",
         {ImageMap::kPriorityChannel},
         [](const FeatureSettings& s) { return ListText(FeatureList::PriorityChannel, s.priorityChannel); }},
        {"VOX", {ImageMap::kVox}, [](const FeatureSettings& s) { return ListText(FeatureList::Vox, s.vox); }},
        {"Vox Gain Level",
         {ImageMap::kVoxGain},
         [](const FeatureSettings& s) { return ListText(FeatureList::VoxGainLevel, s.voxGainLevel); }},
        {"Voice Annunciation",
         {ImageMap::kVoicePrompt},
         [](const FeatureSettings& s) { return ListText(FeatureList::VoiceAnnunciation, s.voiceAnnunciation); }},
        {"Vox Delay Time (s)",
         {ImageMap::kVoxDelay},
         [](const FeatureSettings& s) { return ListText(FeatureList::VoxDelayTime, s.voxDelayTime); }},
        {"Beep", {ImageMap::kBeep}, [](const FeatureSettings& s) { return std::string(s.beep ? "On" : "Off"); }},
        {"Battery Saver",
         {ImageMap::kBatterySaver},
         [](const FeatureSettings& s) { return std::string(s.batterySaver ? "On" : "Off"); }},
    };
    return fields;
}

std::string Hex(std::size_t value, int digits)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%0*zX", digits, value);
    return buffer;
}

std::string Shown(const std::string& text)
{
    return text.empty() ? "(empty)" : text;
}

} // namespace

ImageComparison CompareImages(const RadioImage& a, const RadioImage& b)
{
    ImageComparison result;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i])
            result.differingBytes.push_back({i, a[i], b[i]});
    if (result.Equal())
        return result;
    std::set<std::size_t> explained;

    // Both sides of every channel, as for a radio of unknown kind.
    ChannelTable before = NewChannelTable(false);
    ChannelTable after = NewChannelTable(false);
    ImageToTable(a, 0, false, before);
    ImageToTable(b, 0, false, after);
    for (int row = 1; row < kTableRows; ++row) {
        const auto r = static_cast<std::size_t>(row);
        for (int col = kColRxFrequency; col < kTableCols; ++col) {
            const auto c = static_cast<std::size_t>(col);
            if (before[r][c] == after[r][c])
                continue;
            result.changes.push_back({row, ColumnHeading(col, false), before[r][c], after[r][c]});
            const std::size_t record = ImageMap::ChannelOffset(row);
            for (std::size_t i = 0; i < ImageMap::kChannelRecordSize; ++i)
                explained.insert(record + i);
            if (col == kColScan)
                explained.insert(ImageMap::kScanBitmap + static_cast<std::size_t>(row - 1) / 8);
        }
    }

    const FeatureSettings featuresBefore = LoadFeatureSettings(a, false);
    const FeatureSettings featuresAfter = LoadFeatureSettings(b, false);
    for (const FeatureField& field : FeatureFields()) {
        const std::string old = field.text(featuresBefore);
        const std::string now = field.text(featuresAfter);
        if (old == now)
            continue;
        result.changes.push_back({0, field.label, old, now});
        explained.insert(field.bytes.begin(), field.bytes.end());
    }

    const std::pair<const char*, std::size_t> indexes[] = {{"Radio Type Index", ImageMap::kRadioType},
                                                           {"Band Index", ImageMap::kBandIndex}};
    for (const auto& [label, offset] : indexes) {
        if (a[offset] == b[offset])
            continue;
        result.changes.push_back({0, label, std::to_string(a[offset]), std::to_string(b[offset])});
        explained.insert(offset);
    }

    result.otherBytes =
        static_cast<int>(std::count_if(result.differingBytes.begin(), result.differingBytes.end(),
                                       [&](const ByteChange& c) { return !explained.count(c.offset); }));
    return result;
}

std::string FormatComparison(const ImageComparison& comparison, bool bytes)
{
    std::string text;
    for (const ImageChange& change : comparison.changes) {
        if (change.channel > 0)
            text += "CH " + std::to_string(change.channel) + " ";
        text += change.field + ": " + Shown(change.before) + " -> " + Shown(change.after) + "\n";
    }
    if (comparison.otherBytes > 0)
        text += std::to_string(comparison.otherBytes) +
                (comparison.otherBytes == 1 ? " other byte differs\n" : " other bytes differ\n");
    if (bytes) {
        for (const ByteChange& c : comparison.differingBytes)
            text += "0x" + Hex(c.offset, 4) + ": " + Hex(c.before, 2) + " -> " + Hex(c.after, 2) + "\n";
    }
    return text;
}

std::vector<std::uint16_t> DifferingFrames(const RadioImage& sent, const RadioImage& readBack)
{
    std::vector<std::uint16_t> frames;
    for (std::size_t address = ImageMap::kTransferBegin; address < ImageMap::kTransferEnd; address += kFrameSize) {
        if (!std::equal(sent.begin() + static_cast<long>(address),
                        sent.begin() + static_cast<long>(address + kFrameSize),
                        readBack.begin() + static_cast<long>(address)))
            frames.push_back(static_cast<std::uint16_t>(address));
    }
    return frames;
}
