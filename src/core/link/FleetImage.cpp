#include "core/link/FleetImage.h"

#include <algorithm>
#include <cstdio>

namespace {

void CopyRange(const RadioImage& from, RadioImage& to, std::size_t begin, std::size_t end)
{
    std::copy(from.begin() + static_cast<std::ptrdiff_t>(begin), from.begin() + static_cast<std::ptrdiff_t>(end),
              to.begin() + static_cast<std::ptrdiff_t>(begin));
}

} // namespace

RadioImage MergeForRadio(const RadioImage& radio, const RadioImage& document)
{
    RadioImage merged = radio;
    const std::size_t channelsEnd =
        ImageMap::kFirstChannelOffset + ImageMap::kChannelCount * ImageMap::kChannelRecordSize;
    CopyRange(document, merged, ImageMap::kFirstChannelOffset, channelsEnd);
    CopyRange(document, merged, ImageMap::kScanBitmap, ImageMap::kScanBitmap + 2);
    for (const std::size_t offset : ImageMap::kFeatureBytes)
        merged[offset] = document[offset];
    return merged;
}

RadioImage WholeImageForRadio(const RadioImage& radio, const RadioImage& document)
{
    RadioImage image = radio;
    CopyRange(document, image, ImageMap::kTransferBegin, ImageMap::kTransferEnd);
    return image;
}

std::string ModelText(std::optional<std::uint8_t> model)
{
    if (!model)
        return {};
    char text[4];
    std::snprintf(text, sizeof text, "%02X", static_cast<unsigned>(*model));
    return text;
}

std::string RadioLabel(const std::string& identity, std::optional<std::uint8_t> model)
{
    std::string label;
    for (const char c : identity)
        label += c >= 0x20 && c < 0x7F ? c : '?';
    return label + " " + (model ? ModelText(model) : "--");
}

FleetSkip CheckRadio(const RadioIdentity& radio, const std::optional<RadioIdentity>& first,
                     const RadioImage& radioImage, const RadioImage& document)
{
    if (first && !(radio == *first))
        return FleetSkip::OtherModel;
    if (radioImage[ImageMap::kRadioType] != document[ImageMap::kRadioType] ||
        radioImage[ImageMap::kBandIndex] != document[ImageMap::kBandIndex])
        return FleetSkip::OtherTypeOrBand;
    return FleetSkip::None;
}
