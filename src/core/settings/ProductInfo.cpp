#include "core/settings/ProductInfo.h"

#include "core/channels/ChannelTable.h"

namespace {

const char* const kSetup = "Setup";

} // namespace

std::vector<std::string> ProductTypes(const CIniFile& ini)
{
    std::vector<std::string> types;
    for (int n = 1; n <= kMaxProductTypes; ++n) {
        std::string name = ini.GetValue(kSetup, "Type" + std::to_string(n), "");
        if (name.empty())
            break;
        types.push_back(std::move(name));
    }
    return types;
}

std::vector<std::string> SplitBandList(const std::string& bandList)
{
    std::vector<std::string> bands;
    std::size_t begin = 0;
    for (std::size_t bar = bandList.find('|'); bar != std::string::npos; bar = bandList.find('|', begin)) {
        bands.push_back(bandList.substr(begin, bar - begin));
        begin = bar + 1;
    }
    bands.push_back(bandList.substr(begin));
    return bands;
}

std::vector<std::string> ProductBands(const CIniFile& ini, std::int64_t typeIndex)
{
    return SplitBandList(ini.GetValue(kSetup, "Field" + std::to_string(typeIndex + 1), ""));
}

ProductChoice InitialProductChoice(const CIniFile& ini, std::size_t typeCount, std::uint32_t userType,
                                   std::uint32_t userBand)
{
    const auto type = static_cast<std::int32_t>(userType);
    const auto band = static_cast<std::int32_t>(userBand);
    ProductChoice choice;
    choice.type = type >= 0 && static_cast<std::size_t>(type) < typeCount ? type : -1;
    choice.bands = ProductBands(ini, type);
    choice.band = band >= 0 && static_cast<std::size_t>(band) < choice.bands.size() ? band : -1;
    return choice;
}

ProductChoice ChoiceForType(const CIniFile& ini, int type)
{
    ProductChoice choice;
    choice.type = type;
    choice.bands = ProductBands(ini, type);
    choice.band = 0;
    return choice;
}

bool StoreProductChoice(int type, int band, RadioImage& image)
{
    if (!IsCompleteProductChoice(type, band))
        return false;
    const auto typeByte = static_cast<std::uint8_t>(type & 0xFF);
    const auto bandByte = static_cast<std::uint8_t>(band & 0xFF);
    const bool changed = image[ImageMap::kRadioType] != typeByte || image[ImageMap::kBandIndex] != bandByte;
    image[ImageMap::kRadioType] = typeByte;
    image[ImageMap::kBandIndex] = bandByte;
    return changed;
}

bool ImageChoiceInLists(const CIniFile& ini, const RadioImage& image)
{
    const std::size_t type = image[ImageMap::kRadioType];
    const std::size_t band = image[ImageMap::kBandIndex];
    return type < ProductTypes(ini).size() && band < ProductBands(ini, static_cast<std::int64_t>(type)).size();
}

ImageProduct ProductOfImage(const CIniFile& ini, const RadioImage& image)
{
    ImageProduct product;
    product.typeIndex = image[ImageMap::kRadioType];
    product.bandIndex = image[ImageMap::kBandIndex];
    const std::string k = std::to_string(product.typeIndex + 1);
    product.typeName = ini.GetValue("Setup", "Type" + k, "");
    const std::string bandList = ini.GetValue("Setup", "Field" + k, "");
    if (!bandList.empty())
        product.bandText = BandText(bandList, product.bandIndex);
    return product;
}
