#include "core/channels/ChannelTable.h"

#include <algorithm>
#include <charconv>
#include <limits>

#include "core/channels/ChannelCodec.h"
#include "core/channels/ChannelRows.h"
#include "core/channels/DecimalArithmetic.h"

namespace {

bool IsEmptyFrequency(std::uint8_t mostSignificant)
{
    return mostSignificant == 0x00 || mostSignificant == 0xFF;
}

// Whether channel n counts as empty for a device mode: the frequency of the
// shown side is missing (both sides in mode 0).
bool IsEmptyChannel(const RadioImage& image, int channel, int deviceMode)
{
    const std::size_t record = ImageMap::ChannelOffset(channel);
    const bool noRx = IsEmptyFrequency(image[record + ImageMap::kRecRxFrequency + 3]);
    const bool noTx = IsEmptyFrequency(image[record + ImageMap::kRecTxFrequency + 3]);
    switch (deviceMode) {
    case 1: return noRx;
    case 2: return noTx;
    default: return noRx && noTx;
    }
}

// Blanks the cells of the side that the device mode does not show.
void BlankHiddenSide(ChannelTable::value_type& row, int deviceMode)
{
    if (deviceMode == 1) {
        row[kColTxFrequency].clear();
        row[kColEncodeTone].clear();
    } else if (deviceMode == 2) {
        row[kColRxFrequency].clear();
        row[kColDecodeTone].clear();
    }
}

// Encodes one row into channel's record and scan bit, after blanking the
// side the device mode does not show.
void EncodeRow(ChannelTable::value_type& row, int channel, int deviceMode, RadioImage& image)
{
    BlankHiddenSide(row, deviceMode);
    EncodeFrequency(image, channel, FrequencySide::Receive, row[kColRxFrequency]);
    EncodeFrequency(image, channel, FrequencySide::Transmit, row[kColTxFrequency]);
    EncodeTone(image, channel, ToneSide::Decode, row[kColDecodeTone]);
    EncodeTone(image, channel, ToneSide::Encode, row[kColEncodeTone]);
    EncodeBandwidth(image, channel, row[kColBandwidth]);
    EncodeScan(image, channel, row[kColScan]);
    EncodeBusyLock(image, channel, row[kColBusyLock]);
    EncodePower(image, channel, row[kColPower]);
}

std::int32_t SaturatedMegahertz(std::int32_t megahertz)
{
    const std::int64_t tenHertz = std::int64_t{megahertz} * 100000;
    if (tenHertz > std::numeric_limits<std::int32_t>::max())
        return std::numeric_limits<std::int32_t>::max();
    if (tenHertz < std::numeric_limits<std::int32_t>::min())
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(tenHertz);
}

} // namespace

const char* ColumnHeading(int column, bool chinese)
{
    static constexpr const char* kHeadings[kTableCols][2] = {
        {"CH", "信道"},
        {"Rx Frequency", "接收频率"},
        {"Tx Frequency", "发射频率"},
        {"QT/DQT Dec", "QT/DQT解码"},
        {"QT/DQT Enc", "QT/DQT编码"},
        {"W/N", "宽/窄"},
        {"Scan", "扫描"},
        {"Busy Lock", "繁忙锁定"},
        {"Power", "功率"},
    };
    if (column < 0 || column >= kTableCols)
        return "";
    return kHeadings[column][chinese ? 1 : 0];
}

ChannelTable NewChannelTable(bool chinese)
{
    ChannelTable table;
    for (int column = 0; column < kTableCols; ++column)
        table[0][static_cast<std::size_t>(column)] = ColumnHeading(column, chinese);
    for (int channel = 1; channel < kTableRows; ++channel) {
        std::string number = std::to_string(channel);
        if (number.size() < 2)
            number.insert(0, 1, ' ');
        table[static_cast<std::size_t>(channel)][kColChannel] = number;
    }
    return table;
}

std::array<int, kTableCols> ColumnWidths(int deviceMode)
{
    std::array<int, kTableCols> widths = {500, 1200, 1200, 1200, 1200, 1000, 1000, 0, 0};
    if (deviceMode == 1) {
        widths[kColTxFrequency] = 0;
        widths[kColEncodeTone] = 0;
    } else if (deviceMode == 2) {
        widths[kColRxFrequency] = 0;
        widths[kColDecodeTone] = 0;
        widths[kColScan] = 0;
    }
    return widths;
}

bool GridEnabled(int deviceMode)
{
    return deviceMode == 1 || deviceMode == 2;
}

void ImageToTable(const RadioImage& image, int deviceMode, bool chinese, ChannelTable& table)
{
    for (int channel = 1; channel <= ImageMap::kChannelCount; ++channel) {
        auto& row = table[static_cast<std::size_t>(channel)];
        row[kColRxFrequency] = DecodeFrequency(image, channel, FrequencySide::Receive);
        row[kColTxFrequency] = DecodeFrequency(image, channel, FrequencySide::Transmit);
        const bool empty = IsEmptyChannel(image, channel, deviceMode);
        const std::string noTone = empty ? "" : NoToneText(chinese);
        row[kColDecodeTone] = DecodeTone(image, channel, ToneSide::Decode).value_or(noTone);
        row[kColEncodeTone] = DecodeTone(image, channel, ToneSide::Encode).value_or(noTone);
        if (empty) {
            row[kColBandwidth].clear();
            row[kColScan].clear();
            row[kColBusyLock].clear();
            row[kColPower].clear();
        } else {
            row[kColBandwidth] = DecodeBandwidth(image, channel, chinese);
            row[kColScan] = DecodeScan(image, channel, chinese);
            row[kColBusyLock] = DecodeBusyLock(image, channel, chinese);
            row[kColPower] = DecodePower(image, channel, chinese);
        }
        BlankHiddenSide(row, deviceMode);
    }
}

void TableToImage(ChannelTable& table, int deviceMode, RadioImage& image)
{
    for (int channel = 1; channel <= ImageMap::kChannelCount; ++channel)
        EncodeRow(table[static_cast<std::size_t>(channel)], channel, deviceMode, image);
}

void TableToImageKeepingUnchanged(ChannelTable& table, const ChannelTable& shown, int deviceMode, RadioImage& image,
                                  const ChannelRowFlags& deleted)
{
    for (int channel = 1; channel <= ImageMap::kChannelCount; ++channel) {
        auto& row = table[static_cast<std::size_t>(channel)];
        const auto& before = shown[static_cast<std::size_t>(channel)];
        if (std::equal(row.begin() + 1, row.end(), before.begin() + 1))
            continue;

        const std::size_t record = ImageMap::ChannelOffset(channel);
        if (deleted[static_cast<std::size_t>(channel)]) {
            WriteChannelRecord(image, channel, EmptyChannelRecord());
            if (std::all_of(row.begin() + 1, row.end(), [](const std::string& cell) { return cell.empty(); }))
                continue;
        }

        // The hidden side's frequency and tone bytes survive the encoding.
        std::size_t frequency = 0;
        std::size_t tone = 0;
        const bool keepSide = deviceMode == 1 || deviceMode == 2;
        if (deviceMode == 1) {
            frequency = record + ImageMap::kRecTxFrequency;
            tone = record + ImageMap::kRecEncodeTone;
        } else if (deviceMode == 2) {
            frequency = record + ImageMap::kRecRxFrequency;
            tone = record + ImageMap::kRecDecodeTone;
        }
        std::array<std::uint8_t, 6> kept{};
        if (keepSide) {
            std::copy_n(image.begin() + static_cast<std::ptrdiff_t>(frequency), 4, kept.begin());
            std::copy_n(image.begin() + static_cast<std::ptrdiff_t>(tone), 2, kept.begin() + 4);
        }
        EncodeRow(row, channel, deviceMode, image);
        if (keepSide) {
            std::copy_n(kept.begin(), 4, image.begin() + static_cast<std::ptrdiff_t>(frequency));
            std::copy_n(kept.begin() + 4, 2, image.begin() + static_cast<std::ptrdiff_t>(tone));
        }
    }
}

FrequencyCheck CheckFrequency(std::int32_t tenHertz, std::int32_t bandLow, std::int32_t bandHigh)
{
    if (tenHertz < bandLow || tenHertz > bandHigh)
        return FrequencyCheck::OutOfRange;
    if (tenHertz % 500 != 0 && tenHertz % 625 != 0)
        return FrequencyCheck::BadStep;
    return FrequencyCheck::Accepted;
}

std::string FrequencyDisplayText(const std::string& typed)
{
    // Fixed notation with five decimals, the same digits as "%3.5f" gives in
    // the C locale, whatever locale the process runs in.
    char text[400];
    const auto result =
        std::to_chars(std::begin(text), std::end(text), ParseLeadingNumber(typed), std::chars_format::fixed, 5);
    return std::string(text, result.ptr);
}

std::string BandText(const std::string& bandList, int index)
{
    std::size_t begin = 0;
    for (int i = 0; i < index; ++i) {
        const std::size_t bar = bandList.find('|', begin);
        if (bar == std::string::npos)
            break;
        begin = bar + 1;
    }
    const std::size_t end = bandList.find('|', begin);
    return bandList.substr(begin, end == std::string::npos ? std::string::npos : end - begin);
}

void BandLimits(const std::string& bandText, std::int32_t& low, std::int32_t& high)
{
    low = SaturatedMegahertz(ParseLeadingInteger(bandText));
    const std::size_t dash = bandText.find('-');
    high = dash == std::string::npos ? low : SaturatedMegahertz(ParseLeadingInteger(bandText.substr(dash + 1)));
}
