#pragma once
// The types both channel list layouts share: which layout, a written list,
// and the band a read frequency must lie in. Kept apart from ChannelCsv.h,
// which chooses between the layouts, so that the layouts and their cell
// rules do not include the file that includes them.

#include <cstdint>
#include <string>
#include <vector>

enum class ChannelCsvLayout { Own, Interchange };

// A written channel list and the channels the layout could not say exactly:
// the interchange layout has no channel with a transmit but no receive
// frequency, so such a channel is written with the transmit frequency as
// its frequency, and the user should be told.
struct ChannelCsvText
{
    std::string csv;
    std::vector<int> transmitOnlyChannels;
};

// Band limits in units of 10 Hz, both inclusive.
struct FrequencyBand
{
    std::int32_t low = 0;
    std::int32_t high = 0;
};
