// Feeds arbitrary images and cell texts through the channel conversions,
// looking for crashes and undefined behaviour.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/channels/ChannelCodec.h"
#include "core/channels/ChannelTable.h"
#include "core/channels/DecimalArithmetic.h"
#include "core/channels/FeatureListing.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    RadioImage image{};
    const std::size_t imageBytes = size < image.size() ? size : image.size();
    for (std::size_t i = 0; i < imageBytes; ++i)
        image[i] = data[i];
    const int mode = size > 0 ? data[0] % 4 : 0;

    ChannelTable table = NewChannelTable(mode & 1);
    ImageToTable(image, mode, mode & 1, table);
    TableToImage(table, mode, image);
    OptionsPageLines(image, mode & 1);

    // The rest of the input is cut into cell texts at zero bytes.
    std::string text;
    int cell = 0;
    for (std::size_t i = imageBytes; i <= size; ++i) {
        if (i < size && data[i] != 0) {
            text.push_back(static_cast<char>(data[i]));
            continue;
        }
        const int channel = cell / 8 % 16 + 1;
        table[static_cast<std::size_t>(channel)][static_cast<std::size_t>(cell % 8 + 1)] = text;
        CheckFrequency(ToTenHertz(text), 13600000, 17400000);
        FrequencyDisplayText(text);
        std::int32_t low = 0;
        std::int32_t high = 0;
        BandLimits(BandText(text, cell - 3), low, high);
        DecimalDivide(ParseLeadingNumber(text), static_cast<double>(ParseLeadingInteger(text)));
        text.clear();
        ++cell;
    }
    TableToImage(table, mode, image);
    ImageToTable(image, mode, mode & 1, table);
    return 0;
}
