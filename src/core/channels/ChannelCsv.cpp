#include "core/channels/ChannelCsv.h"

#include "core/channels/ChannelCodec.h"
#include "core/channels/ChannelCsvCells.h"
#include "core/channels/InterchangeCsv.h"
#include "core/util/AtomicFile.h"

#include <algorithm>
#include <array>

using namespace csvcells;

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

std::string ReadTone(const std::string& text, std::string& value)
{
    value = InEnglish(text);
    if (text.empty() || OneOf(text, {"None", "无"}))
        return "";
    if (text.size() == 5 && text[0] == 'D' && IsAllDigits(text.substr(1, 3)) && (text[4] == 'N' || text[4] == 'I')) {
        const int code = std::stoi(text.substr(1, 3));
        if (code == 0 || IsDcsCode(code))
            return "";
        return QuotedCell(text) + " is not a DCS code";
    }
    return ReadCtcss(text, value);
}

std::string ReadWord(int column, const std::string& text)
{
    bool ok = text.empty();
    switch (column) {
    case kColBandwidth: ok = ok || OneOf(text, {"Wide", "Narrow", "宽", "窄"}); break;
    case kColScan: ok = ok || OneOf(text, {"Yes", "No", "是", "否"}); break;
    case kColBusyLock: ok = ok || OneOf(text, {"Off", "Carrier", "QT/DQT", "关", "载波"}); break;
    case kColPower: ok = ok || OneOf(text, {"High", "Low", "高", "低"}); break;
    default: break;
    }
    return ok ? "" : QuotedCell(text) + " is not a value of this column";
}

// Checks one data cell and gives the text the table takes for it: the
// frequency with five decimals, the tone as the table writes it, the word
// in English.
std::string ReadCell(int column, const std::string& text, const std::optional<FrequencyBand>& band, std::string& value)
{
    switch (column) {
    case kColRxFrequency:
    case kColTxFrequency: {
        value.clear();
        if (text.empty())
            return "";
        std::int64_t units = 0;
        const std::string reason = ReadFrequency(text, band, units);
        if (reason.empty())
            value = MegahertzText(units, 5);
        return reason;
    }
    case kColDecodeTone:
    case kColEncodeTone: return ReadTone(text, value);
    default: value = InEnglish(text); return ReadWord(column, text);
    }
}

// The text a new channel shows in a column other than the channel and the
// frequencies.
std::string NewChannelText(int column)
{
    switch (column) {
    case kColBandwidth: return "Wide";
    case kColScan: return "No";
    case kColBusyLock: return "Off";
    case kColPower: return "High";
    default: return "None";
    }
}

int ColumnForHeading(const std::string& heading)
{
    for (int c = 0; c < kTableCols; ++c)
        if (heading == ColumnHeading(c, false) || heading == ColumnHeading(c, true))
            return c;
    return -1;
}

bool ImportOwnLayout(const std::vector<CsvRecord>& records, const RadioImage& base,
                     const std::optional<FrequencyBand>& band, RadioImage& result, std::vector<CsvError>& errors,
                     std::size_t errorsBefore)
{
    const CsvRecord& header = records.front();
    const std::vector<int> fieldOf = MapOwnCsvHeader(header, errors);
    if (fieldOf[kColChannel] < 0)
        errors.push_back({header.line, 1, "no CH column"});

    // Start every row from what the base image shows, so that a missing
    // column keeps the base's value.
    const ChannelTable baseTable = TableOfImage(base);
    ChannelTable table = baseTable;
    ListedLines listed{};

    for (std::size_t r = 1; r < records.size(); ++r) {
        const CsvRecord& record = records[r];
        if (!CheckCsvFieldCount(record, header, errors))
            continue;
        int channel = 0;
        if (const int f = fieldOf[kColChannel]; f >= 0) {
            const std::string reason =
                ReadChannel(record.fields[static_cast<std::size_t>(f)], record.line, listed, channel);
            if (!reason.empty())
                errors.push_back({record.line, f + 1, reason});
        }
        ChannelRow row = table[static_cast<std::size_t>(channel)];
        if (ReadOwnCsvCells(record, fieldOf, band, row, errors) && channel != 0)
            table[static_cast<std::size_t>(channel)] = row;
    }
    if (errors.size() != errorsBefore) {
        SortErrors(errors, errorsBefore);
        return false;
    }
    // A channel the file creates gets what the grid gives a new channel in
    // every column the file lacks, not what the base's erased bytes say.
    for (int row = 1; row < kTableRows; ++row) {
        const auto& before = baseTable[static_cast<std::size_t>(row)];
        auto& after = table[static_cast<std::size_t>(row)];
        const bool created = before[kColRxFrequency].empty() && before[kColTxFrequency].empty() &&
                             (!after[kColRxFrequency].empty() || !after[kColTxFrequency].empty());
        if (!listed[static_cast<std::size_t>(row)] || !created)
            continue;
        for (int c = kColDecodeTone; c < kTableCols; ++c) {
            if (fieldOf[static_cast<std::size_t>(c)] < 0)
                after[static_cast<std::size_t>(c)] = NewChannelText(c);
        }
    }
    result = ApplyChangedRows(table, baseTable, listed, base);
    return true;
}

} // namespace

ChannelCsvRead ReadChannelCsvFile(const std::string& path, std::string& text, std::string& error)
{
    std::vector<std::uint8_t> bytes;
    if (!ReadFileBytes(path, bytes, kMaxChannelCsvBytes + 1, &error))
        return ChannelCsvRead::CannotRead;
    if (bytes.size() > kMaxChannelCsvBytes) {
        error = path + ": file is too large for a channel list (over 1 MiB)";
        return ChannelCsvRead::TooLarge;
    }
    text.assign(bytes.begin(), bytes.end());
    return ChannelCsvRead::Ok;
}

std::vector<std::string> CsvErrorLines(const std::vector<CsvError>& errors)
{
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < errors.size() && i < kMaxCsvErrorsListed; ++i)
        lines.push_back(FormatCsvError(errors[i]));
    if (errors.size() > kMaxCsvErrorsListed)
        lines.push_back("\u2026 and " + std::to_string(errors.size() - kMaxCsvErrorsListed) + " more");
    return lines;
}

std::optional<ChannelCsvLayout> ParseChannelCsvLayout(const std::string& name)
{
    if (name == "own")
        return ChannelCsvLayout::Own;
    if (name == "interchange")
        return ChannelCsvLayout::Interchange;
    return std::nullopt;
}

std::string ExportChannelsCsv(const RadioImage& image, bool chinese)
{
    return ExportChannelsCsv(image, chinese, ChannelCsvLayout::Own).csv;
}

ChannelCsvText ExportChannelsCsv(const RadioImage& image, bool chinese, ChannelCsvLayout layout)
{
    ChannelTable table = NewChannelTable(chinese);
    ImageToTable(image, kAllColumnsMode, chinese, table);
    return ChannelTableToCsv(table, layout);
}

ChannelCsvText ChannelTableToCsv(const ChannelTable& table, ChannelCsvLayout layout)
{
    if (layout == ChannelCsvLayout::Interchange)
        return ExportInterchangeCsv(table);
    ChannelCsvText out;
    for (int row = 0; row < kTableRows; ++row) {
        std::vector<std::string> fields(table[row].begin(), table[row].end());
        if (row > 0)
            fields[0] = std::to_string(row);
        out.csv += CsvLine(fields);
    }
    return out;
}

std::optional<FrequencyBand> ParseFrequencyBand(const std::string& text)
{
    const auto dash = text.find('-');
    if (dash == std::string::npos)
        return std::nullopt;
    std::int64_t low = 0;
    std::int64_t high = 0;
    if (ReadScaledDecimal(text.substr(0, dash), 5, low) != DecimalRead::Ok ||
        ReadScaledDecimal(text.substr(dash + 1), 5, high) != DecimalRead::Ok || low > high || high >= 100000000)
        return std::nullopt;
    return FrequencyBand{static_cast<std::int32_t>(low), static_cast<std::int32_t>(high)};
}

ChannelCsvLayout DetectChannelCsvLayout(const std::string& csv)
{
    std::vector<CsvError> ignored;
    const std::vector<CsvRecord> records = ParseCsv(csv, ignored);
    if (!records.empty() && IsInterchangeHeader(records.front()))
        return ChannelCsvLayout::Interchange;
    return ChannelCsvLayout::Own;
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
    if (IsInterchangeHeader(records.front()))
        return ImportInterchangeCsv(records, base, band, result, errors, errorsBefore);
    return ImportOwnLayout(records, base, band, result, errors, errorsBefore);
}

bool IsOwnCsvHeading(const std::string& heading)
{
    return ColumnForHeading(heading) >= 0;
}

std::vector<int> MapOwnCsvHeader(const CsvRecord& header, std::vector<CsvError>& errors)
{
    return MapCsvHeader(header, ColumnForHeading, kTableCols, errors);
}

bool ReadOwnCsvCells(const CsvRecord& record, const std::vector<int>& fieldOf, const std::optional<FrequencyBand>& band,
                     ChannelRow& row, std::vector<CsvError>& errors, bool emptySettingKeeps)
{
    bool ok = true;
    for (int c = kColRxFrequency; c < kTableCols; ++c) {
        const int f = fieldOf[static_cast<std::size_t>(c)];
        if (f < 0 || static_cast<std::size_t>(f) >= record.fields.size())
            continue;
        const std::string& text = record.fields[static_cast<std::size_t>(f)];
        if (emptySettingKeeps && text.empty() && c >= kColDecodeTone)
            continue;
        std::string value;
        const std::string reason = ReadCell(c, text, band, value);
        if (!reason.empty()) {
            errors.push_back({record.line, f + 1, reason});
            ok = false;
        } else {
            row[static_cast<std::size_t>(c)] = value;
        }
    }
    return ok;
}
