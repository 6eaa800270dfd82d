#include "core/document/MainTitle.h"

#include "core/channels/ChannelTable.h"

ProductTexts ProductTextsOfImage(const CIniFile& ini, const RadioImage& image)
{
    const int k = image[ImageMap::kRadioType] + 1;
    const int band = image[ImageMap::kBandIndex];
    ProductTexts texts;
    texts.typeName = ini.GetValue("Setup", "Type" + std::to_string(k), "");
    texts.bandText = BandText(ini.GetValue("Setup", "Field" + std::to_string(k), ""), band);
    return texts;
}

std::string MainWindowTitle(const std::string& appName, const std::string& typeName, const std::string& bandText,
                            bool chinese)
{
    return appName + (chinese ? "  [ 类型:" : "  [ Type:") + typeName + (chinese ? "  频率:" : "  Fre:") + bandText +
           " ]";
}
