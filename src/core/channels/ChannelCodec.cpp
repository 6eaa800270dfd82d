#include "core/channels/ChannelCodec.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "core/channels/DecimalArithmetic.h"

namespace {

using ImageMap::ChannelOffset;

bool IsChannel(int channel)
{
    return channel >= 1 && channel <= ImageMap::kChannelCount;
}

std::size_t FrequencyOffset(int channel, FrequencySide side)
{
    return ChannelOffset(channel) +
           (side == FrequencySide::Receive ? ImageMap::kRecRxFrequency : ImageMap::kRecTxFrequency);
}

std::size_t ToneOffset(int channel, ToneSide side)
{
    return ChannelOffset(channel) + (side == ToneSide::Decode ? ImageMap::kRecDecodeTone : ImageMap::kRecEncodeTone);
}

// The scan bit of a channel: bit (n-1) mod 8 of byte 0x17E + (n-1) div 8.
std::size_t ScanByte(int channel)
{
    return ImageMap::kScanBitmap + static_cast<std::size_t>(channel - 1) / 8;
}

std::uint8_t ScanMask(int channel)
{
    return static_cast<std::uint8_t>(1u << ((channel - 1) % 8));
}

constexpr std::uint8_t kBusyLockMask = 0x18;
constexpr std::uint8_t kBusyCarrier = 0x08;
constexpr std::uint8_t kBusyQtDqt = 0x10;
constexpr std::uint8_t kWideBit = 0x10;
constexpr std::uint8_t kHighPowerBit = 0x20;

// The DCS codes the radio knows, each written with its octal digits.
constexpr std::array<int, 107> kDcsCodes = {
    17,  23,  25,  26,  31,  32,  36,  43,  47,  50,  51,  53,  54,  65,  71,  72,  73,  74,  114, 115, 116, 122,
    125, 131, 132, 134, 143, 145, 152, 155, 156, 162, 165, 172, 174, 205, 212, 223, 225, 226, 243, 244, 245, 246,
    251, 252, 255, 261, 263, 265, 266, 271, 274, 306, 311, 315, 325, 331, 332, 343, 346, 351, 356, 364, 365, 371,
    411, 412, 413, 423, 431, 432, 445, 446, 452, 454, 455, 462, 464, 465, 466, 503, 506, 516, 523, 526, 532, 546,
    565, 606, 612, 624, 627, 631, 632, 645, 654, 662, 664, 703, 712, 723, 731, 732, 734, 743, 754};

// The DCS codes offered for selection, in the order they are listed.
constexpr std::array<int, 84> kSelectableDcsCodes = {
    23,  25,  26,  31,  32,  43,  47,  51,  54,  65,  71,  72,  73,  74,  114, 115, 116, 125, 131, 132, 134,
    143, 152, 155, 156, 162, 165, 172, 174, 205, 223, 226, 243, 244, 245, 251, 261, 263, 265, 271, 306, 311,
    315, 331, 343, 346, 351, 364, 365, 371, 411, 412, 413, 423, 431, 432, 445, 464, 465, 466, 503, 506, 516,
    532, 546, 565, 606, 612, 624, 627, 631, 632, 645, 654, 662, 664, 703, 712, 723, 731, 732, 734, 743, 754};

constexpr std::array<const char*, 50> kCtcssTones = {
    "67.0",  "69.3",  "71.9",  "74.4",  "77.0",  "79.7",  "82.5",  "85.4",  "88.5",  "91.5",  "94.8",  "97.4",  "100.0",
    "103.5", "107.2", "110.9", "114.8", "118.8", "123.0", "127.3", "131.8", "136.5", "141.3", "146.2", "151.4", "156.7",
    "159.8", "162.2", "165.5", "167.9", "171.3", "173.8", "177.3", "179.9", "183.5", "186.2", "189.9", "192.8", "196.6",
    "199.5", "203.5", "206.5", "210.7", "218.1", "225.7", "229.1", "233.6", "241.8", "250.3", "254.1"};

// Code 754 (octal digits) is the value 0754 = 492.
int OctalValue(int code)
{
    return (code / 100) * 64 + (code / 10 % 10) * 8 + code % 10;
}

// The code whose octal value is v, or 0 when v is not a known code.
int CodeOfValue(int value)
{
    const auto* found =
        std::find_if(kDcsCodes.begin(), kDcsCodes.end(), [value](int code) { return OctalValue(code) == value; });
    return found == kDcsCodes.end() ? 0 : *found;
}

std::string DcsText(int code, char polarity)
{
    std::string text = "D000";
    text[1] = static_cast<char>('0' + code / 100 % 10);
    text[2] = static_cast<char>('0' + code / 10 % 10);
    text[3] = static_cast<char>('0' + code % 10);
    text.push_back(polarity);
    return text;
}

void WriteTone(RadioImage& image, std::size_t offset, std::uint8_t low, std::uint8_t high)
{
    image[offset] = low;
    image[offset + 1] = high;
}

} // namespace

std::string DecodeFrequency(const RadioImage& image, int channel, FrequencySide side)
{
    if (!IsChannel(channel))
        return {};
    const std::size_t offset = FrequencyOffset(channel, side);
    if (image[offset + 3] == 0x00 || image[offset + 3] == 0xFF)
        return {};
    std::int64_t v = 0;
    for (std::size_t i = 4; i-- > 0;) {
        const int byte = image[offset + i];
        v = v * 100 + (byte / 16) * 10 + byte % 16;
    }
    // Five decimals of v / 100000, formed from the integer so that no binary
    // rounding can show.
    std::string fraction = std::to_string(v % 100000);
    fraction.insert(0, 5 - fraction.size(), '0');
    return std::to_string(v / 100000) + "." + fraction;
}

void EncodeFrequency(RadioImage& image, int channel, FrequencySide side, const std::string& text)
{
    if (!IsChannel(channel))
        return;
    const std::size_t offset = FrequencyOffset(channel, side);
    std::int32_t u = ToTenHertz(text);
    if (u <= 0) {
        std::fill_n(image.begin() + static_cast<std::ptrdiff_t>(offset), 4, std::uint8_t{0xFF});
        return;
    }
    std::int32_t d = 1000000;
    for (std::size_t i = 4; i-- > 0;) {
        const std::int32_t q = u / d;
        u %= d;
        image[offset + i] = static_cast<std::uint8_t>((q / 10) * 16 + q % 10);
        d /= 100;
    }
}

std::optional<std::string> DecodeTone(const RadioImage& image, int channel, ToneSide side)
{
    if (!IsChannel(channel))
        return std::nullopt;
    const std::size_t offset = ToneOffset(channel, side);
    const int low = image[offset];
    const int high = image[offset + 1];
    switch (high) {
    case 0x00:
    case 0xFF: return std::nullopt;
    case 0x28:
    case 0x29: return DcsText(CodeOfValue(low + 256 * (high % 2)), 'N');
    case 0xA8:
    case 0xA9: return DcsText(CodeOfValue(low + 256 * (high % 2)), 'I');
    default: {
        const int tenths = high * 256 + low;
        return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10);
    }
    }
}

void EncodeTone(RadioImage& image, int channel, ToneSide side, const std::string& text)
{
    if (!IsChannel(channel))
        return;
    const std::size_t offset = ToneOffset(channel, side);
    if (text.find('D') != std::string::npos) {
        const std::string rest = text.substr(1);
        const std::int32_t code = ParseLeadingInteger(rest);
        const bool normal = rest.find('N') != std::string::npos;
        // Codes up to 371 have bit 8 of their value clear, those from 411 on set.
        const bool upper = code >= 372;
        const std::uint8_t high = normal ? (upper ? 0x29 : 0x28) : (upper ? 0xA9 : 0xA8);
        const std::uint8_t low = IsDcsCode(code) ? static_cast<std::uint8_t>(OctalValue(code) & 0xFF) : 0;
        WriteTone(image, offset, low, high);
        return;
    }
    const std::int32_t tenths = SaturateToInt32(DecimalMultiply(ParseLeadingNumber(text), 10.0));
    if (tenths <= 0) {
        WriteTone(image, offset, 0xFF, 0xFF);
        return;
    }
    WriteTone(image, offset, static_cast<std::uint8_t>(tenths % 256), static_cast<std::uint8_t>(tenths / 256 % 256));
}

bool IsDcsCode(int code)
{
    return std::find(kDcsCodes.begin(), kDcsCodes.end(), code) != kDcsCodes.end();
}

const std::vector<std::string>& ToneList(bool chinese)
{
    static const auto build = [](bool inChinese) {
        std::vector<std::string> list;
        list.reserve(1 + kCtcssTones.size() + 2 * kSelectableDcsCodes.size());
        list.emplace_back(NoToneText(inChinese));
        list.insert(list.end(), kCtcssTones.begin(), kCtcssTones.end());
        for (char polarity : {'N', 'I'}) {
            for (int code : kSelectableDcsCodes)
                list.push_back(DcsText(code, polarity));
        }
        return list;
    };
    static const std::vector<std::string> english = build(false);
    static const std::vector<std::string> chineseList = build(true);
    return chinese ? chineseList : english;
}

std::string DecodeBandwidth(const RadioImage& image, int channel, bool chinese)
{
    if (!IsChannel(channel))
        return {};
    const bool wide = image[ChannelOffset(channel) + ImageMap::kRecWidthPower] & kWideBit;
    return wide ? WideText(chinese) : NarrowText(chinese);
}

void EncodeBandwidth(RadioImage& image, int channel, const std::string& text)
{
    if (!IsChannel(channel))
        return;
    std::uint8_t& byte = image[ChannelOffset(channel) + ImageMap::kRecWidthPower];
    if (text == NarrowText(false) || text == NarrowText(true))
        byte &= static_cast<std::uint8_t>(~kWideBit);
    else
        byte |= kWideBit;
}

std::string DecodePower(const RadioImage& image, int channel, bool chinese)
{
    if (!IsChannel(channel))
        return {};
    const bool high = image[ChannelOffset(channel) + ImageMap::kRecWidthPower] & kHighPowerBit;
    return high ? HighText(chinese) : LowText(chinese);
}

void EncodePower(RadioImage& image, int channel, const std::string& text)
{
    if (!IsChannel(channel))
        return;
    std::uint8_t& byte = image[ChannelOffset(channel) + ImageMap::kRecWidthPower];
    if (text == LowText(false) || text == LowText(true))
        byte &= static_cast<std::uint8_t>(~kHighPowerBit);
    else
        byte |= kHighPowerBit;
}

std::string DecodeBusyLock(const RadioImage& image, int channel, bool chinese)
{
    if (!IsChannel(channel))
        return {};
    switch (image[ChannelOffset(channel) + ImageMap::kRecBusyLock] & kBusyLockMask) {
    case 0x00: return OffText(chinese);
    case kBusyCarrier: return CarrierText(chinese);
    default: return QtDqtText(chinese);
    }
}

void EncodeBusyLock(RadioImage& image, int channel, const std::string& text)
{
    if (!IsChannel(channel))
        return;
    std::uint8_t& byte = image[ChannelOffset(channel) + ImageMap::kRecBusyLock];
    byte &= static_cast<std::uint8_t>(~kBusyLockMask);
    if (text == OffText(false) || text == OffText(true))
        return;
    byte |= (text == CarrierText(false) || text == CarrierText(true)) ? kBusyCarrier : kBusyQtDqt;
}

std::string DecodeScan(const RadioImage& image, int channel, bool chinese)
{
    if (!IsChannel(channel))
        return {};
    return (image[ScanByte(channel)] & ScanMask(channel)) ? YesText(chinese) : NoText(chinese);
}

void EncodeScan(RadioImage& image, int channel, const std::string& text)
{
    if (!IsChannel(channel))
        return;
    std::uint8_t& byte = image[ScanByte(channel)];
    if (text == YesText(false) || text == YesText(true))
        byte |= ScanMask(channel);
    else
        byte &= static_cast<std::uint8_t>(~ScanMask(channel));
}

const char* NoToneText(bool chinese)
{
    return chinese ? "无" : "None";
}
const char* WideText(bool chinese)
{
    return chinese ? "宽" : "Wide";
}
const char* NarrowText(bool chinese)
{
    return chinese ? "窄" : "Narrow";
}
const char* YesText(bool chinese)
{
    return chinese ? "是" : "Yes";
}
const char* NoText(bool chinese)
{
    return chinese ? "否" : "No";
}
const char* OffText(bool chinese)
{
    return chinese ? "关" : "Off";
}
const char* CarrierText(bool chinese)
{
    return chinese ? "载波" : "Carrier";
}
const char* QtDqtText(bool)
{
    return "QT/DQT";
}
const char* HighText(bool chinese)
{
    return chinese ? "高" : "High";
}
const char* LowText(bool chinese)
{
    return chinese ? "低" : "Low";
}
