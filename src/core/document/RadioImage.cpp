#include "core/document/RadioImage.h"

#include <utility>

RadioImage MakeNewImage()
{
    RadioImage image;
    image.fill(0xFF);
    using namespace ImageMap;
    static constexpr std::pair<std::size_t, std::uint8_t> kDefaults[] = {
        {kSideKey, 0x00},
        {kVoicePrompt, 0x00},
        {kTimeOutTimer, 0x28},
        {kSquelchLevel, 0x04},
        {kBatterySaver, 0x00},
        {kBeep, 0x00},
        {kVox, 0x00},
        {kVoxGain, 0x05},
        {kVoxDelay, 0x00},
        {kTransmitDelayLow, 0x00},
        {kTransmitDelayHigh, 0x00},
        {kPriorityChannel, 0x00},
        {kRadioType, 0x00},
        {kBandIndex, 0x02},
        {kNewImageMarker, 0x03},
    };
    for (const auto& [offset, value] : kDefaults)
        image[offset] = value;
    return image;
}
