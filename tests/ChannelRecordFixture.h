#pragma once
// Writing a channel record byte by byte, for tests that need records no
// cell text can produce (busy lock 0x18, a tone no list offers, bytes 14-15).

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
