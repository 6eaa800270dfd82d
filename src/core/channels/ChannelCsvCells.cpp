#include "core/channels/ChannelCsvCells.h"

#include "core/channels/ChannelCodec.h"
#include "core/channels/ChannelRows.h"

#include <algorithm>

namespace csvcells {
namespace {

// Both sides of every channel are shown, as for a radio of unknown kind.
constexpr int kAllColumnsMode = 0;

constexpr std::int64_t kLowestFrequency = 1000000;   // 10 MHz: the top BCD byte must not be 0
constexpr std::int64_t kBeyondFrequency = 100000000; // 1000 MHz: eight BCD digits
constexpr int kMaxWholeDigits = 12;

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

DecimalRead ReadScaledDecimal(const std::string& text, int decimals, std::int64_t& value)
{
    const std::size_t point = text.find_first_of(".,");
    const std::string whole = text.substr(0, point);
    const std::string fraction = point == std::string::npos ? "" : text.substr(point + 1);
    const auto allDigits = [](const std::string& s) { return std::all_of(s.begin(), s.end(), IsDigit); };
    if (whole.empty() && fraction.empty())
        return DecimalRead::NotANumber;
    if (!allDigits(whole) || !allDigits(fraction))
        return DecimalRead::NotANumber;
    const std::size_t firstSignificant = std::min(whole.find_first_not_of('0'), whole.size());
    if (whole.size() - firstSignificant > static_cast<std::size_t>(kMaxWholeDigits))
        return DecimalRead::NotANumber;
    std::int64_t v = 0;
    for (char c : whole)
        v = v * 10 + (c - '0');
    for (int k = 0; k < decimals; ++k)
        v = v * 10 + (static_cast<std::size_t>(k) < fraction.size() ? fraction[static_cast<std::size_t>(k)] - '0' : 0);
    if (fraction.size() > static_cast<std::size_t>(decimals) &&
        fraction.find_first_not_of('0', static_cast<std::size_t>(decimals)) != std::string::npos)
        return DecimalRead::Inexact;
    value = v;
    return DecimalRead::Ok;
}

std::string MegahertzText(std::int64_t units, int decimals)
{
    std::string fraction = std::to_string(units % 100000);
    fraction.insert(0, 5 - fraction.size(), '0');
    fraction.resize(static_cast<std::size_t>(decimals), '0');
    return std::to_string(units / 100000) + "." + fraction;
}

std::string CheckFrequency(std::int64_t units, const std::optional<FrequencyBand>& band)
{
    const std::string text = MegahertzText(units, 5);
    if (units < kLowestFrequency)
        return "frequency " + text + " is below 10 MHz, which the radio cannot store";
    if (units >= kBeyondFrequency)
        return "frequency " + text + " is 1000 MHz or more, which the radio cannot store";
    if (band && (units < band->low || units > band->high))
        return "frequency " + text + " is outside the band";
    if (units % 500 != 0 && units % 625 != 0)
        return "frequency " + text + " is not a multiple of 5 kHz or 6.25 kHz";
    return "";
}

std::string ReadFrequency(const std::string& text, const std::optional<FrequencyBand>& band, std::int64_t& units)
{
    switch (ReadScaledDecimal(text, 5, units)) {
    case DecimalRead::NotANumber: return QuotedCell(text) + " is not a frequency in MHz";
    case DecimalRead::Inexact: return "frequency " + EchoedCell(text) + " is not a whole number of 10 Hz";
    case DecimalRead::Ok: break;
    }
    return CheckFrequency(units, band);
}

std::string ReadCtcss(const std::string& text, std::string& toneText)
{
    std::int64_t tenths = 0;
    if (ReadScaledDecimal(text, 1, tenths) != DecimalRead::Ok)
        return QuotedCell(text) + " is not a tone";
    // The high byte must not be one of the markers of "no tone" or DCS, or
    // the radio would read the word as those.
    const std::int64_t high = tenths / 256;
    if (tenths > 0xFFFF || high == 0x00 || high == 0xFF || high == 0x28 || high == 0x29 || high == 0xA8 || high == 0xA9)
        return QuotedCell(text) + " is not a tone the radio can hold";
    toneText = std::to_string(tenths / 10) + "." + std::to_string(tenths % 10);
    return "";
}

std::string ReadChannel(const std::string& text, int line, ListedLines& listed, int& channel)
{
    std::int64_t number = 0;
    channel = 0;
    if (ReadScaledDecimal(text, 0, number) != DecimalRead::Ok || text.find_first_of(".,") != std::string::npos ||
        number < 1 || number > ImageMap::kChannelCount)
        return "channel " + QuotedCell(text) + " is not a number from 1 to 16";
    const auto n = static_cast<std::size_t>(number);
    if (listed[n] != 0)
        return "channel " + std::to_string(number) + " is already given on line " + std::to_string(listed[n]);
    listed[n] = line;
    channel = static_cast<int>(number);
    return "";
}

std::string InEnglish(const std::string& text)
{
    static const std::pair<const char*, const char*> kWords[] = {{"无", "None"},      {"宽", "Wide"}, {"窄", "Narrow"},
                                                                 {"是", "Yes"},       {"否", "No"},   {"关", "Off"},
                                                                 {"载波", "Carrier"}, {"高", "High"}, {"低", "Low"}};
    for (const auto& [chinese, english] : kWords)
        if (text == chinese)
            return english;
    return text;
}

ChannelTable TableOfImage(const RadioImage& image)
{
    ChannelTable table = NewChannelTable(false);
    ImageToTable(image, kAllColumnsMode, false, table);
    return table;
}

void SortErrors(std::vector<CsvError>& errors, std::size_t from)
{
    std::stable_sort(errors.begin() + static_cast<long>(from), errors.end(), [](const CsvError& a, const CsvError& b) {
        return a.line != b.line ? a.line < b.line : a.column < b.column;
    });
    // A cell that two rules refuse for the same reason is named once.
    const auto same = [](const CsvError& a, const CsvError& b) {
        return a.line == b.line && a.column == b.column && a.reason == b.reason;
    };
    errors.erase(std::unique(errors.begin() + static_cast<long>(from), errors.end(), same), errors.end());
}

RadioImage ApplyChangedRows(const ChannelTable& table, const ChannelTable& baseTable, const ListedLines& listed,
                            const RadioImage& base)
{
    ChannelTable toEncode = table;
    RadioImage encoded = base;
    TableToImage(toEncode, kAllColumnsMode, encoded);
    RadioImage merged = base;
    for (int channel = 1; channel <= ImageMap::kChannelCount; ++channel) {
        const auto row = static_cast<std::size_t>(channel);
        if (listed[row] != 0 && table[row] != baseTable[row])
            WriteChannelRecord(merged, channel, ReadChannelRecord(encoded, channel));
    }
    return merged;
}

} // namespace csvcells
