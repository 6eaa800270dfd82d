// Any bytes as what the clipboard offers a channel window. Byte 0 picks the
// selection (bits 0-3 the current channel, bit 4 a selection of three
// channels from it, bit 5 the band of 136-174 MHz); bytes 1-2 (low byte
// first) are the length of the binary form that follows, and the text
// takes the rest. A paste is all or nothing: refused, it names at least one
// problem and leaves the result as it was; accepted, it names none, writes
// distinct channels 1..16, and changes no channel it did not write.
#include "core/channels/ChannelClipboard.h"

#include <algorithm>
#include <cstdlib>
#include <set>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 3)
        return 0;
    const int current = (data[0] & 0x0F) + 1;
    std::vector<int> selected;
    if (data[0] & 0x10)
        for (int channel = current; channel < current + 3 && channel <= 16; ++channel)
            selected.push_back(channel);
    std::optional<FrequencyBand> band;
    if (data[0] & 0x20)
        band = ParseFrequencyBand("136-174");
    const std::string rest(reinterpret_cast<const char*>(data) + 3, size - 3);
    const std::size_t binary = std::min<std::size_t>(data[1] | data[2] << 8, rest.size());
    ClipboardChannels clipboard;
    clipboard.records = rest.substr(0, binary);
    clipboard.text = rest.substr(binary);

    const RadioImage base = MakeNewImage();
    RadioImage result{};
    const RadioImage untouched = result;
    std::vector<int> written;
    std::vector<CsvError> errors;
    if (!PasteChannels(clipboard, base, band, selected, current, result, written, errors)) {
        if (errors.empty() || result != untouched)
            std::abort();
        return 0;
    }
    if (!errors.empty() || std::set<int>(written.begin(), written.end()).size() != written.size())
        std::abort();
    for (int channel : written)
        if (channel < 1 || channel > 16)
            std::abort();
    for (int channel = 1; channel <= 16; ++channel)
        if (std::find(written.begin(), written.end(), channel) == written.end() &&
            ReadChannelRecord(result, channel) != ReadChannelRecord(base, channel))
            std::abort();
    return 0;
}
