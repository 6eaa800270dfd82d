#include "core/channels/FeatureListing.h"

#include <array>

namespace {

const char* Pick(bool chinese, const char* english, const char* inChinese)
{
    return chinese ? inChinese : english;
}

std::string OnOff(bool on, bool chinese)
{
    return on ? Pick(chinese, "On", "开") : Pick(chinese, "Off", "关");
}

std::string VoicePromptText(int value, bool chinese)
{
    switch (value) {
    case 0: return Pick(chinese, "Off", "关");
    case 1: return Pick(chinese, "Chinese", "中文");
    default: return Pick(chinese, "English", "英文");
    }
}

std::string VoxDelayText(int value)
{
    static constexpr std::array<const char*, 6> kDelays = {"0.3s", "0.5s", "1.0s", "1.5s", "2.0s", "3.0s"};
    return kDelays[value >= 0 && value < 5 ? static_cast<std::size_t>(value) : 5];
}

} // namespace

std::vector<FeatureLine> OptionsPageLines(const RadioImage& image, bool chinese)
{
    using namespace ImageMap;
    const int timeOut = image[kTimeOutTimer];
    const int voxGain = image[kVoxGain];
    return {
        {Pick(chinese, "Time Out Time:", "超时定时器:"), std::to_string(timeOut * 15) + "s"},
        {Pick(chinese, "Squelch Level:", "静噪电平:"), std::to_string(image[kSquelchLevel])},
        {Pick(chinese, "Voice Annunication:", "语音报号:"), VoicePromptText(image[kVoicePrompt], chinese)},
        {Pick(chinese, "Vox Delay Time:", "声控延迟时间:"), VoxDelayText(image[kVoxDelay])},
        {Pick(chinese, "Vox Gain Level:", "声控增益电平:"),
         voxGain == 0 ? std::string(Pick(chinese, "Off", "关")) : std::to_string(voxGain)},
        {Pick(chinese, "Battery Saver:", "电池省电:"), OnOff(image[kBatterySaver] & 0x01, chinese)},
        {Pick(chinese, "Beep:", "哔音:"), OnOff(image[kBeep] & 0x01, chinese)},
    };
}

const char* OptionsPageTitle(bool chinese)
{
    return Pick(chinese, "Option", "可选功能");
}

const char* OptionsPageSubtitle(bool chinese)
{
    return Pick(chinese, "Function", "功能");
}
