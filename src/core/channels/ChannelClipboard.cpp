#include "core/channels/ChannelClipboard.h"

#include <algorithm>

#include "core/channels/ChannelCodec.h"
#include "core/channels/ChannelCsvCells.h"
#include "core/channels/ChannelEditing.h"
#include "core/channels/ChannelTable.h"
#include "core/channels/InterchangeCsv.h"

using namespace csvcells;

namespace {

constexpr char kSignature[] = {'R', 'P', 'C', 'H'};
constexpr std::uint8_t kVersion = 1;
constexpr std::size_t kHeaderSize = 6;
constexpr std::size_t kEntrySize = 2 + ImageMap::kChannelRecordSize;
constexpr std::uint8_t kScanFlag = 0x01;

// Both sides of every channel are shown.
constexpr int kAllColumnsMode = 0;

// Text fields of the own layout: CH is field 1, so table column c is
// field c + 1.
int OwnLayoutField(int column)
{
    return column + 1;
}

bool HasFrequency(const ChannelRow& row)
{
    return !row[kColRxFrequency].empty() || !row[kColTxFrequency].empty();
}

// The texts a paste starts a channel from: what it shows when it has a
// frequency, else the settings a new channel receives.
ChannelRow StartingRow(const ChannelRow& baseRow)
{
    if (HasFrequency(baseRow))
        return baseRow;
    ChannelRow row = baseRow;
    row[kColRxFrequency].clear();
    row[kColTxFrequency].clear();
    for (int c = kColDecodeTone; c < kTableCols; ++c)
        row[static_cast<std::size_t>(c)] = DefaultCellText(c, false);
    return row;
}

std::string OverflowReason(std::size_t rows, const std::vector<int>& selected, int current)
{
    const std::string count = std::to_string(rows) + (rows == 1 ? " row" : " rows");
    if (selected.size() > 1)
        return count + " do not fit onto the " + std::to_string(selected.size()) + " selected channels";
    const int first = selected.empty() ? current : selected.front();
    return count + " do not fit from channel " + std::to_string(first) + " down to channel 16";
}

// The frequencies of a binary record, checked like typed ones.
void CheckRecordFrequencies(const ChannelRecord& record, int entry, const std::optional<FrequencyBand>& band,
                            std::vector<CsvError>& errors)
{
    RadioImage image{};
    WriteChannelRecord(image, 1, record);
    const std::pair<FrequencySide, int> sides[] = {{FrequencySide::Receive, kColRxFrequency},
                                                   {FrequencySide::Transmit, kColTxFrequency}};
    for (const auto& [side, column] : sides) {
        const std::string text = DecodeFrequency(image, 1, side);
        if (text.empty())
            continue;
        std::int64_t units = 0;
        std::string reason = ReadFrequency(text, band, units);
        if (!reason.empty())
            errors.push_back({entry, OwnLayoutField(column), reason});
    }
}

bool PasteRecords(const std::vector<ChannelRecord>& records, const RadioImage& base,
                  const std::optional<FrequencyBand>& band, const std::vector<int>& selected, int current,
                  RadioImage& result, std::vector<int>& written, std::vector<CsvError>& errors)
{
    const std::size_t errorsBefore = errors.size();
    const std::vector<int> targets = PasteTargets(records.size(), selected, current);
    if (targets.size() < records.size())
        errors.push_back({static_cast<int>(targets.size()) + 1, 1, OverflowReason(records.size(), selected, current)});
    for (std::size_t k = 0; k < records.size(); ++k)
        CheckRecordFrequencies(records[k], static_cast<int>(k) + 1, band, errors);
    if (errors.size() != errorsBefore) {
        SortErrors(errors, errorsBefore);
        return false;
    }
    result = base;
    for (std::size_t k = 0; k < records.size(); ++k)
        WriteChannelRecord(result, targets[k], records[k]);
    written = targets;
    return true;
}

enum class TextLayout { Own, OwnWithoutHeading, Interchange };

bool PasteText(const std::string& text, const RadioImage& base, const std::optional<FrequencyBand>& band,
               const std::vector<int>& selected, int current, RadioImage& result, std::vector<int>& written,
               std::vector<CsvError>& errors)
{
    const std::size_t errorsBefore = errors.size();
    std::vector<CsvRecord> records = ParseCsv(text, DetectTableDelimiter(text), errors);
    if (errors.size() != errorsBefore)
        return false;
    // A line of blanks is no row.
    std::erase_if(records, [](const CsvRecord& r) { return r.fields.size() == 1 && r.fields.front().empty(); });
    if (records.empty()) {
        errors.push_back({1, 1, "the text holds no channels"});
        return false;
    }

    const CsvRecord& first = records.front();
    TextLayout layout = TextLayout::OwnWithoutHeading;
    std::vector<int> fieldOf;
    if (IsInterchangeHeader(first)) {
        layout = TextLayout::Interchange;
        fieldOf = MapInterchangeHeader(first, errors);
    } else if (std::any_of(first.fields.begin(), first.fields.end(), IsOwnCsvHeading)) {
        layout = TextLayout::Own;
        fieldOf = MapOwnCsvHeader(first, errors);
    }
    const auto rowsBegin = records.begin() + (layout == TextLayout::OwnWithoutHeading ? 0 : 1);
    const std::vector<CsvRecord> rows(rowsBegin, records.end());
    if (rows.empty())
        errors.push_back({first.line, 1, "no channels below the heading line"});

    const std::vector<int> targets = PasteTargets(rows.size(), selected, current);
    if (targets.size() < rows.size())
        errors.push_back({rows[targets.size()].line, 1, OverflowReason(rows.size(), selected, current)});

    const ChannelTable baseTable = TableOfImage(base);
    ChannelTable table = baseTable;
    for (std::size_t k = 0; k < rows.size(); ++k) {
        const CsvRecord& record = rows[k];
        // A row with no channel left for it is still checked, against an
        // empty channel.
        const std::size_t target = k < targets.size() ? static_cast<std::size_t>(targets[k]) : 0;
        const ChannelRow baseRow = target != 0 ? baseTable[target] : ChannelRow{};
        ChannelRow row;
        bool ok = false;
        switch (layout) {
        case TextLayout::Interchange:
            ok = CheckCsvFieldCount(record, first, errors) &&
                 ReadInterchangeChannel(record, fieldOf, baseRow, band, row, errors);
            break;
        case TextLayout::Own:
            row = StartingRow(baseRow);
            ok = CheckCsvFieldCount(record, first, errors) && ReadOwnCsvCells(record, fieldOf, band, row, errors, true);
            break;
        case TextLayout::OwnWithoutHeading: {
            // The eight data columns in grid order, or CH and the eight.
            const std::size_t count = record.fields.size();
            if (count != kTableCols - 1 && count != kTableCols) {
                errors.push_back({record.line, static_cast<int>(std::min<std::size_t>(count, kTableCols)) + 1,
                                  "expected 8 fields, or 9 with CH first, found " + std::to_string(count)});
                break;
            }
            std::vector<int> columns(kTableCols, -1);
            for (int c = kColRxFrequency; c < kTableCols; ++c)
                columns[static_cast<std::size_t>(c)] = count == kTableCols ? c : c - 1;
            row = StartingRow(baseRow);
            ok = ReadOwnCsvCells(record, columns, band, row, errors, true);
            break;
        }
        }
        if (ok && target != 0)
            table[target] = row;
    }
    if (errors.size() != errorsBefore) {
        SortErrors(errors, errorsBefore);
        return false;
    }

    ListedLines listed{};
    for (std::size_t k = 0; k < targets.size(); ++k)
        listed[static_cast<std::size_t>(targets[k])] = rows[k].line;
    result = ApplyChangedRows(table, baseTable, listed, base);
    // A row without a frequency deletes its channel.
    for (int channel : targets)
        if (!HasFrequency(table[static_cast<std::size_t>(channel)]))
            WriteChannelRecord(result, channel, EmptyChannelRecord());
    written = targets;
    return true;
}

} // namespace

std::string ChannelRecordsBytes(const RadioImage& image, const std::vector<int>& channels)
{
    std::string bytes(std::begin(kSignature), std::end(kSignature));
    bytes += static_cast<char>(kVersion);
    bytes += '\0';
    std::uint8_t count = 0;
    for (int channel : channels) {
        if (channel < 1 || channel > ImageMap::kChannelCount || count == ImageMap::kChannelCount)
            continue;
        const ChannelRecord record = ReadChannelRecord(image, channel);
        bytes += static_cast<char>(channel);
        bytes += static_cast<char>(record.scan ? kScanFlag : 0);
        bytes.append(record.bytes.begin(), record.bytes.end());
        ++count;
    }
    if (count == 0)
        return "";
    bytes[5] = static_cast<char>(count);
    return bytes;
}

std::optional<std::vector<ChannelRecord>> ParseChannelRecordsBytes(const std::string& bytes)
{
    if (bytes.size() < kHeaderSize || !std::equal(std::begin(kSignature), std::end(kSignature), bytes.begin()) ||
        static_cast<std::uint8_t>(bytes[4]) != kVersion)
        return std::nullopt;
    const auto count = static_cast<std::uint8_t>(bytes[5]);
    if (count < 1 || count > ImageMap::kChannelCount || bytes.size() != kHeaderSize + count * kEntrySize)
        return std::nullopt;
    std::vector<ChannelRecord> records;
    for (std::size_t k = 0; k < count; ++k) {
        const std::size_t at = kHeaderSize + k * kEntrySize;
        const auto channel = static_cast<std::uint8_t>(bytes[at]);
        const auto flags = static_cast<std::uint8_t>(bytes[at + 1]);
        if (channel < 1 || channel > ImageMap::kChannelCount || (flags & ~kScanFlag) != 0)
            return std::nullopt;
        ChannelRecord record;
        record.scan = (flags & kScanFlag) != 0;
        for (std::size_t b = 0; b < record.bytes.size(); ++b)
            record.bytes[b] = static_cast<std::uint8_t>(bytes[at + 2 + b]);
        records.push_back(record);
    }
    return records;
}

std::string ChannelsText(const RadioImage& image, const std::vector<int>& channels, bool chinese)
{
    ChannelTable table = NewChannelTable(chinese);
    ImageToTable(image, kAllColumnsMode, chinese, table);
    const auto line = [](std::vector<std::string> fields) {
        std::string text;
        for (std::size_t k = 0; k < fields.size(); ++k)
            text += (k ? "\t" : "") + CsvField(fields[k]);
        return text + "\n";
    };
    std::string text = line({table[0].begin(), table[0].end()});
    for (int channel : channels) {
        if (channel < 1 || channel > ImageMap::kChannelCount)
            continue;
        std::vector<std::string> fields(table[static_cast<std::size_t>(channel)].begin(),
                                        table[static_cast<std::size_t>(channel)].end());
        fields[kColChannel] = std::to_string(channel);
        text += line(fields);
    }
    return text;
}

std::vector<int> PasteTargets(std::size_t rows, const std::vector<int>& selected, int current)
{
    std::vector<int> targets;
    if (selected.size() > 1) {
        targets.assign(selected.begin(),
                       selected.begin() + static_cast<std::ptrdiff_t>(std::min(rows, selected.size())));
        return targets;
    }
    const int first = selected.empty() ? current : selected.front();
    for (int channel = std::max(first, 1); channel <= ImageMap::kChannelCount && targets.size() < rows; ++channel)
        targets.push_back(channel);
    return targets;
}

bool PasteChannels(const ClipboardChannels& clipboard, const RadioImage& base, const std::optional<FrequencyBand>& band,
                   const std::vector<int>& selected, int current, RadioImage& result, std::vector<int>& written,
                   std::vector<CsvError>& errors)
{
    if (const auto records = ParseChannelRecordsBytes(clipboard.records))
        return PasteRecords(*records, base, band, selected, current, result, written, errors);
    return PasteText(clipboard.text, base, band, selected, current, result, written, errors);
}
