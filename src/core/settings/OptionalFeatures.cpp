#include "core/settings/OptionalFeatures.h"

#include "core/settings/RangeFormatting.h"

#include <cstdint>

namespace {

std::vector<std::string> Numbers(int first, int last, const std::string& suffix = "")
{
    std::vector<std::string> items;
    for (int n = first; n <= last; ++n)
        items.push_back(std::to_string(n) + suffix);
    return items;
}

int ListSize(FeatureList list)
{
    return static_cast<int>(FeatureListItems(list, false).size());
}

// The entry selected for an index, or none when the list has no such entry.
int Select(FeatureList list, int index)
{
    return index >= 0 && index < ListSize(list) ? index : -1;
}

std::uint8_t LowByte(int value)
{
    return static_cast<std::uint8_t>(value & 0xFF);
}

} // namespace

std::vector<std::string> FeatureListItems(FeatureList list, bool chinese)
{
    switch (list) {
    case FeatureList::TimeOutTime: {
        std::vector<std::string> items;
        for (int seconds = 15; seconds <= 600; seconds += 15)
            items.push_back(std::to_string(seconds) + "s");
        return items;
    }
    case FeatureList::SquelchLevel: return Numbers(0, 9);
    case FeatureList::PriorityChannel: {
        std::vector<std::string> items{chinese ? "关" : "Off"};
        for (std::string& number : Numbers(1, 16))
            items.push_back(std::move(number));
        return items;
    }
    case FeatureList::VoiceAnnunciation:
        if (chinese)
            return {"关", "中文", "英文"};
        return {"Off", "Chinese", "English"};
    case FeatureList::VoxGainLevel: return Numbers(1, 8);
    case FeatureList::VoxDelayTime: return {"0.3s", "0.5s", "1.0s", "1.5s", "2.0s", "3.0s"};
    case FeatureList::SideKey:
        if (chinese)
            return {"无", "监听", "监听瞬时", "功率选择"};
        return {"None", "Monitor", "Monitor Momentary", "Power select"};
    case FeatureList::Vox: return {"On", "Off"};
    }
    return {};
}

FeatureSettings LoadFeatureSettings(const RadioImage& image, bool chinese)
{
    using namespace ImageMap;
    FeatureSettings settings;
    settings.sideKey = Select(FeatureList::SideKey, image[kSideKey]);
    if (settings.sideKey < 0)
        settings.sideKey = 2; // Monitor Momentary
    settings.squelchLevel = Select(FeatureList::SquelchLevel, image[kSquelchLevel]);
    settings.timeOutTime = Select(FeatureList::TimeOutTime, image[kTimeOutTimer] - 1);
    settings.voiceAnnunciation = Select(FeatureList::VoiceAnnunciation, image[kVoicePrompt]);
    settings.voxGainLevel = Select(FeatureList::VoxGainLevel, image[kVoxGain] - 1);
    settings.voxDelayTime = Select(FeatureList::VoxDelayTime, image[kVoxDelay]);
    settings.vox = Select(FeatureList::Vox, 1 - image[kVox]);
    settings.priorityChannel = Select(FeatureList::PriorityChannel, image[kPriorityChannel]);
    settings.batterySaver = (image[kBatterySaver] & 0x01) != 0;
    settings.beep = (image[kBeep] & 0x01) != 0;

    const RangeFormat format = TransmitDelayFormat(chinese);
    const int tenths = image[kTransmitDelayLow] + 256 * image[kTransmitDelayHigh];
    const bool inRange = tenths >= 1 && tenths <= format.maximum;
    settings.transmitDelay = CRangeEditFormatter(format).Text(inRange ? tenths : format.specialValue);
    return settings;
}

bool StoreFeatureSettings(const FeatureSettings& settings, bool chinese, RadioImage& image)
{
    using namespace ImageMap;
    const RadioImage before = image;
    image[kSideKey] = LowByte(settings.sideKey < 0 ? 2 : settings.sideKey);
    image[kVoicePrompt] = LowByte(settings.voiceAnnunciation);
    image[kTimeOutTimer] = LowByte(settings.timeOutTime + 1);
    image[kSquelchLevel] = LowByte(settings.squelchLevel);
    image[kBatterySaver] = settings.batterySaver ? 1 : 0;
    image[kBeep] = settings.beep ? 1 : 0;
    image[kVox] = settings.vox == 0 ? 1 : 0;
    image[kVoxGain] = LowByte(settings.voxGainLevel + 1);
    image[kVoxDelay] = LowByte(settings.voxDelayTime);
    image[kPriorityChannel] = LowByte(settings.priorityChannel);

    // What the edit would show after losing the focus, never a value the
    // radio cannot take.
    const int tenths = CRangeEditFormatter(TransmitDelayFormat(chinese)).Value(settings.transmitDelay);
    image[kTransmitDelayLow] = LowByte(tenths);
    image[kTransmitDelayHigh] = LowByte(tenths >> 8);
    return image != before;
}
