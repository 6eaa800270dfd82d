#include "core/channels/ChannelCsv.h"

#include "core/channels/ChannelCodec.h"
#include "core/channels/ChannelTable.h"
#include "core/channels/DecimalArithmetic.h"

#include <algorithm>
#include <array>

namespace {

// Both sides of every channel are shown, as for a radio of unknown kind.
constexpr int kAllColumnsMode = 0;

bool OneOf(const std::string& text, std::initializer_list<const char*> words)
{
    return std::any_of(words.begin(), words.end(), [&](const char* w) { return text == w; });
}

bool IsAllDigits(const std::string& text)
{
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// True when text is 1 to maxWhole digits, then, when maxFraction is not 0,
// optionally (or, with fractionRequired, necessarily) a point and 1 to
// maxFraction digits.
bool IsPlainDecimal(const std::string& text, std::size_t maxWhole, std::size_t maxFraction,
                    bool fractionRequired = false)
{
    const auto point = text.find('.');
    const std::string whole = text.substr(0, point);
    if (!IsAllDigits(whole) || whole.size() > maxWhole)
        return false;
    if (point == std::string::npos)
        return !fractionRequired;
    const std::string fraction = text.substr(point + 1);
    return maxFraction > 0 && IsAllDigits(fraction) && fraction.size() <= maxFraction;
}

bool IsFrequencyText(const std::string& text)
{
    return IsPlainDecimal(text, 3, 5);
}

// The reason a frequency text cannot be imported, or "" when it can.
std::string CheckFrequencyText(const std::string& text, const std::optional<FrequencyBand>& band)
{
    if (text.empty())
        return "";
    if (!IsFrequencyText(text))
        return "\"" + text + "\" is not a frequency in MHz with at most five decimals";
    const std::int32_t u = ToTenHertz(text);
    if (u < 1000000)
        return "frequency " + text + " is below 10 MHz, which the radio cannot store";
    if (band && (u < band->low || u > band->high))
        return "frequency " + text + " is outside the band";
    if (u % 500 != 0 && u % 625 != 0)
        return "frequency " + text + " is not a multiple of 5 kHz or 6.25 kHz";
    return "";
}

std::string CheckToneText(const std::string& text)
{
    if (text.empty() || OneOf(text, {"None", "无"}))
        return "";
    if (text.size() == 5 && text[0] == 'D' && IsAllDigits(text.substr(1, 3)) &&
        (text[4] == 'N' || text[4] == 'I')) {
        const int code = std::stoi(text.substr(1, 3));
        if (code == 0 || IsDcsCode(code))
            return "";
        return "\"" + text + "\" is not a DCS code";
    }
    if (IsPlainDecimal(text, 4, 1, true)) {
        // Tenths of a hertz; the high byte must not be one of the markers of
        // "no tone" or DCS, or the radio would read the word as those.
        const std::int32_t t = SaturateToInt32(DecimalMultiply(ParseLeadingNumber(text), 10));
        const int high = t / 256;
        if (t <= 0xFFFF && high != 0x00 && high != 0xFF && high != 0x28 && high != 0x29 && high != 0xA8 &&
            high != 0xA9)
            return "";
    }
    return "\"" + text + "\" is not a tone";
}

std::string CheckWordText(int column, const std::string& text)
{
    bool ok = text.empty();
    switch (column) {
    case kColBandwidth:
        ok = ok || OneOf(text, {"Wide", "Narrow", "宽", "窄"});
        break;
    case kColScan:
        ok = ok || OneOf(text, {"Yes", "No", "是", "否"});
        break;
    case kColBusyLock:
        ok = ok || OneOf(text, {"Off", "Carrier", "QT/DQT", "关", "载波"});
        break;
    case kColPower:
        ok = ok || OneOf(text, {"High", "Low", "高", "低"});
        break;
    default:
        break;
    }
    return ok ? "" : "\"" + text + "\" is not a value of this column";
}

std::string CheckCell(int column, const std::string& text, const std::optional<FrequencyBand>& band)
{
    switch (column) {
    case kColRxFrequency:
    case kColTxFrequency:
        return CheckFrequencyText(text, band);
    case kColDecodeTone:
    case kColEncodeTone:
        return CheckToneText(text);
    default:
        return CheckWordText(column, text);
    }
}

int ColumnForHeading(const std::string& heading)
{
    for (int c = 0; c < kTableCols; ++c)
        if (heading == ColumnHeading(c, false) || heading == ColumnHeading(c, true))
            return c;
    return -1;
}

// The English word for a Chinese cell word, so that a row can be compared
// with the base's texts whatever the language of the file.
std::string InEnglish(const std::string& text)
{
    static const std::pair<const char*, const char*> kWords[] = {
        {"无", "None"}, {"宽", "Wide"}, {"窄", "Narrow"}, {"是", "Yes"}, {"否", "No"},
        {"关", "Off"},  {"载波", "Carrier"}, {"高", "High"}, {"低", "Low"}};
    for (const auto& [chinese, english] : kWords)
        if (text == chinese)
            return english;
    return text;
}

void CopyChannel(const RadioImage& from, int channel, RadioImage& to)
{
    const std::size_t offset = ImageMap::ChannelOffset(channel);
    std::copy_n(from.begin() + static_cast<long>(offset), ImageMap::kChannelRecordSize,
                to.begin() + static_cast<long>(offset));
    const std::size_t byte = ImageMap::kScanBitmap + static_cast<std::size_t>(channel - 1) / 8;
    const auto bit = static_cast<std::uint8_t>(1u << ((channel - 1) % 8));
    to[byte] = static_cast<std::uint8_t>((to[byte] & ~bit) | (from[byte] & bit));
}

}  // namespace

std::string ExportChannelsCsv(const RadioImage& image, bool chinese)
{
    ChannelTable table = NewChannelTable(chinese);
    ImageToTable(image, kAllColumnsMode, chinese, table);
    std::string csv;
    for (int row = 0; row < kTableRows; ++row) {
        std::vector<std::string> fields(table[row].begin(), table[row].end());
        fields[0] = row == 0 ? ColumnHeading(0, chinese) : std::to_string(row);
        csv += CsvLine(fields);
    }
    return csv;
}

std::optional<FrequencyBand> ParseFrequencyBand(const std::string& text)
{
    const auto dash = text.find('-');
    if (dash == std::string::npos || !IsFrequencyText(text.substr(0, dash)) || !IsFrequencyText(text.substr(dash + 1)))
        return std::nullopt;
    FrequencyBand band{ToTenHertz(text.substr(0, dash)), ToTenHertz(text.substr(dash + 1))};
    if (band.low > band.high)
        return std::nullopt;
    return band;
}

bool ImportChannelsCsv(const std::string& csv, const RadioImage& base, const std::optional<FrequencyBand>& band,
                       RadioImage& result, std::vector<CsvError>& errors)
{
    const std::size_t errorsBefore = errors.size();
    const std::vector<CsvRecord> records = ParseCsv(csv, errors);
    if (records.empty()) {
        if (errors.size() == errorsBefore)
            errors.push_back({1, 1, "the file holds no heading line"});
        return false;
    }

    // Which table column each CSV field feeds.
    const CsvRecord& header = records.front();
    std::vector<int> columnOf(header.fields.size(), -1);
    std::array<bool, kTableCols> seen{};
    for (std::size_t f = 0; f < header.fields.size(); ++f) {
        const int c = ColumnForHeading(header.fields[f]);
        const int field = static_cast<int>(f) + 1;
        if (c < 0) {
            errors.push_back({header.line, field, "unknown column heading \"" + header.fields[f] + "\""});
        } else if (seen[static_cast<std::size_t>(c)]) {
            errors.push_back({header.line, field, "column \"" + header.fields[f] + "\" given twice"});
        } else {
            seen[static_cast<std::size_t>(c)] = true;
            columnOf[f] = c;
        }
    }
    if (!seen[kColChannel])
        errors.push_back({header.line, 1, "no CH column"});

    // Start every row from what the base image shows, so that a missing
    // column keeps the base's value.
    const ChannelTable baseTable = [&] {
        ChannelTable t = NewChannelTable(false);
        ImageToTable(base, kAllColumnsMode, false, t);
        return t;
    }();
    ChannelTable table = baseTable;
    std::array<int, kTableRows> listedOnLine{};

    for (std::size_t r = 1; r < records.size(); ++r) {
        const CsvRecord& record = records[r];
        if (record.fields.size() != header.fields.size()) {
            errors.push_back({record.line, static_cast<int>(std::min(record.fields.size(), header.fields.size())) + 1,
                              "expected " + std::to_string(header.fields.size()) + " fields, found " +
                                  std::to_string(record.fields.size())});
            continue;
        }
        int channel = 0;
        for (std::size_t f = 0; f < record.fields.size(); ++f) {
            if (columnOf[f] != kColChannel)
                continue;
            const std::string& text = record.fields[f];
            if (IsAllDigits(text) && text.size() <= 2)
                channel = std::stoi(text);
            if (channel < 1 || channel > ImageMap::kChannelCount) {
                errors.push_back({record.line, static_cast<int>(f) + 1,
                                  "channel \"" + text + "\" is not a number from 1 to 16"});
                channel = 0;
            } else if (listedOnLine[static_cast<std::size_t>(channel)] != 0) {
                errors.push_back({record.line, static_cast<int>(f) + 1,
                                  "channel " + text + " is already given on line " +
                                      std::to_string(listedOnLine[static_cast<std::size_t>(channel)])});
                channel = 0;
            } else {
                listedOnLine[static_cast<std::size_t>(channel)] = record.line;
            }
        }
        for (std::size_t f = 0; f < record.fields.size(); ++f) {
            const int c = columnOf[f];
            if (c <= kColChannel)
                continue;
            const std::string reason = CheckCell(c, record.fields[f], band);
            if (!reason.empty())
                errors.push_back({record.line, static_cast<int>(f) + 1, reason});
            else if (channel != 0)
                table[static_cast<std::size_t>(channel)][static_cast<std::size_t>(c)] = InEnglish(record.fields[f]);
        }
    }
    if (errors.size() != errorsBefore) {
        std::stable_sort(errors.begin() + static_cast<long>(errorsBefore), errors.end(),
                         [](const CsvError& a, const CsvError& b) {
                             return a.line != b.line ? a.line < b.line : a.column < b.column;
                         });
        return false;
    }

    RadioImage encoded = base;
    TableToImage(table, kAllColumnsMode, encoded);
    RadioImage merged = base;
    for (int channel = 1; channel <= ImageMap::kChannelCount; ++channel) {
        if (listedOnLine[static_cast<std::size_t>(channel)] != 0 &&
            table[static_cast<std::size_t>(channel)] != baseTable[static_cast<std::size_t>(channel)])
            CopyChannel(encoded, channel, merged);
    }
    result = merged;
    return true;
}
