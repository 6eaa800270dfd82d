#pragma once
// Writing a channel record byte by byte, for tests that need records no
// cell text can produce (busy lock 0x18, a tone no list offers, bytes 14-15).

#include "core/channels/ChannelCodec.h"
#include "core/channels/ChannelRows.h"

#include <algorithm>
#include <cstdint>
#include <vector>

// Channel 1..16 gets bytes (the rest of its 16 stay 0xFF) and the scan bit.
inline void SetRecord(RadioImage& image, int channel, std::vector<std::uint8_t> bytes, bool scan)
{
    ChannelRecord record = EmptyChannelRecord();
    std::copy(bytes.begin(), bytes.end(), record.bytes.begin());
    record.scan = scan;
    WriteChannelRecord(image, channel, record);
}

// What the grid cannot show exactly: channel 1 programmed on both sides with
// busy lock 0x18 and scan on, 2 receive-only, 3 transmit-only, 4 with a DCS
// code no list offers, the rest empty; radio type and band 0 (136-174 MHz
// in the shipped Program.ini).
inline RadioImage GridSafetyImage()
{
    RadioImage image = MakeNewImage();
    for (int channel = 1; channel <= 4; ++channel) {
        if (channel != 3)
            EncodeFrequency(image, channel, FrequencySide::Receive, "146.52500");
        if (channel != 2)
            EncodeFrequency(image, channel, FrequencySide::Transmit, "147.00000");
        EncodeTone(image, channel, ToneSide::Decode, channel == 4 ? "D017I" : "67.0");
        EncodeTone(image, channel, ToneSide::Encode, channel == 4 ? "D017I" : "D023N");
        image[ImageMap::ChannelOffset(channel) + ImageMap::kRecWidthPower] = 0x00;
    }
    image[ImageMap::ChannelOffset(1) + ImageMap::kRecBusyLock] = 0x18;
    EncodeScan(image, 1, "Yes");
    image[ImageMap::kRadioType] = 0;
    image[ImageMap::kBandIndex] = 0;
    return image;
}
