#include "core/channels/InterchangeCsv.h"

#include "core/channels/ChannelCodec.h"
#include "core/channels/ChannelCsvCells.h"

#include <algorithm>
#include <array>
#include <cstdlib>

using namespace csvcells;

namespace {

enum Field {
    kLocation,
    kName,
    kFrequency,
    kDuplex,
    kOffset,
    kTone,
    kRToneFreq,
    kCToneFreq,
    kDtcsCode,
    kDtcsPolarity,
    kRxDtcsCode,
    kCrossMode,
    kMode,
    kTStep,
    kSkip,
    kPower,
    kComment,
    kUrCall,
    kRpt1Call,
    kRpt2Call,
    kDvCode,
    kFieldCount
};

constexpr std::array<const char*, kFieldCount> kHeadings = {
    "Location",  "Name",     "Frequency",    "Duplex",     "Offset",    "Tone",     "rToneFreq",
    "cToneFreq", "DtcsCode", "DtcsPolarity", "RxDtcsCode", "CrossMode", "Mode",     "TStep",
    "Skip",      "Power",    "Comment",      "URCALL",     "RPT1CALL",  "RPT2CALL", "DVCODE"};

// What a field holds in a mode that does not use it.
constexpr const char* kUnusedCtcss = "88.5";
constexpr const char* kUnusedDcs = "023";
constexpr const char* kUnusedPolarity = "NN";
constexpr const char* kUnusedCrossMode = "Tone->Tone";

// Offsets up to this (10 Hz units, 10 MHz) are written as "+" or "-",
// larger ones as "split", the way repeater and cross-band channels are
// usually written.
constexpr std::int64_t kLargestOffset = 1000000;

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c + 32 : c); });
    return text;
}

// ---- Tones of a row as the interchange layout sees them.

enum class ToneKind { None, Ctcss, Dcs };

struct ToneValue
{
    ToneKind kind = ToneKind::None;
    std::string ctcss;   // "67.0"
    std::string code;    // "023"
    char polarity = 'N'; // 'N' or 'R'
};

ToneValue ToneOfText(const std::string& text)
{
    const std::string english = InEnglish(text);
    ToneValue tone;
    if (english.empty() || english == "None")
        return tone;
    if (english.size() == 5 && english[0] == 'D') {
        tone.kind = ToneKind::Dcs;
        tone.code = english.substr(1, 3);
        tone.polarity = english[4] == 'I' ? 'R' : 'N';
        return tone;
    }
    tone.kind = ToneKind::Ctcss;
    tone.ctcss = english;
    return tone;
}

std::string TextOfTone(const ToneValue& tone)
{
    switch (tone.kind) {
    case ToneKind::Ctcss: return tone.ctcss;
    case ToneKind::Dcs: return "D" + tone.code + (tone.polarity == 'R' ? "I" : "N");
    case ToneKind::None: break;
    }
    return "None";
}

// The tone fields of one exported row.
struct ToneFields
{
    std::string mode, rTone = kUnusedCtcss, cTone = kUnusedCtcss, dtcs = kUnusedDcs, polarity = kUnusedPolarity,
                      rxDtcs = kUnusedDcs, crossMode = kUnusedCrossMode;
};

ToneFields ToneFieldsOf(const ToneValue& encode, const ToneValue& decode)
{
    ToneFields f;
    if (encode.kind == ToneKind::None && decode.kind == ToneKind::None)
        return f;
    if (encode.kind == ToneKind::Ctcss && decode.kind == ToneKind::None) {
        f.mode = "Tone";
        f.rTone = encode.ctcss;
        return f;
    }
    if (encode.kind == ToneKind::Ctcss && decode.kind == ToneKind::Ctcss && encode.ctcss == decode.ctcss) {
        f.mode = "TSQL";
        f.cTone = decode.ctcss;
        return f;
    }
    if (encode.kind == ToneKind::Dcs && decode.kind == ToneKind::Dcs && encode.code == decode.code) {
        f.mode = "DTCS";
        f.dtcs = encode.code;
        f.polarity = {encode.polarity, decode.polarity};
        return f;
    }
    f.mode = "Cross";
    f.polarity = {encode.kind == ToneKind::Dcs ? encode.polarity : 'N',
                  decode.kind == ToneKind::Dcs ? decode.polarity : 'N'};
    std::string transmit, receive;
    if (encode.kind == ToneKind::Ctcss) {
        transmit = "Tone";
        f.rTone = encode.ctcss;
    } else if (encode.kind == ToneKind::Dcs) {
        transmit = "DTCS";
        f.dtcs = encode.code;
    }
    if (decode.kind == ToneKind::Ctcss) {
        receive = "Tone";
        f.cTone = decode.ctcss;
    } else if (decode.kind == ToneKind::Dcs) {
        receive = "DTCS";
        f.rxDtcs = decode.code;
    }
    f.crossMode = transmit + "->" + receive;
    return f;
}

std::optional<std::int64_t> UnitsOfText(const std::string& text)
{
    std::int64_t units = 0;
    if (text.empty() || ReadScaledDecimal(text, 5, units) != DecimalRead::Ok || units == 0)
        return std::nullopt;
    return units;
}

// ---- Reading one row.

class RowReader
{
public:
    RowReader(const CsvRecord& record, const std::array<int, kFieldCount>& columnOf, std::vector<CsvError>& errors)
        : m_record(record)
        , m_columnOf(columnOf)
        , m_errors(errors)
    {}

    bool Has(Field k) const { return m_columnOf[k] >= 0; }
    const std::string& Text(Field k) const { return m_record.fields[static_cast<std::size_t>(m_columnOf[k])]; }
    void Fail(Field k, const std::string& reason)
    {
        m_errors.push_back({m_record.line, m_columnOf[k] + 1, reason});
        m_ok = false;
    }
    bool Ok() const { return m_ok; }

    // A CTCSS tone from column k, which the tone mode in column `by` needs.
    std::optional<ToneValue> Ctcss(Field k, Field by)
    {
        if (!Needs(k, by))
            return std::nullopt;
        ToneValue tone;
        tone.kind = ToneKind::Ctcss;
        const std::string reason = ReadCtcss(Text(k), tone.ctcss);
        if (!reason.empty()) {
            Fail(k, reason);
            return std::nullopt;
        }
        return tone;
    }

    // A DCS code from column k with the polarity letter `which` (0 transmit,
    // 1 receive) of DtcsPolarity.
    std::optional<ToneValue> Dcs(Field k, int which, Field by)
    {
        if (!Needs(k, by))
            return std::nullopt;
        const std::string& text = Text(k);
        std::int64_t code = 0;
        if (ReadScaledDecimal(text, 0, code) != DecimalRead::Ok || text.find_first_of(".,") != std::string::npos ||
            (code != 0 && !IsDcsCode(static_cast<int>(code)))) {
            Fail(k, QuotedCell(text) + " is not a DCS code");
            return std::nullopt;
        }
        ToneValue tone;
        tone.kind = ToneKind::Dcs;
        tone.code = std::to_string(code);
        tone.code.insert(0, 3 - tone.code.size(), '0');
        if (Has(kDtcsPolarity)) {
            std::string letters = Text(kDtcsPolarity);
            std::transform(letters.begin(), letters.end(), letters.begin(),
                           [](unsigned char c) { return static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c); });
            if (letters.size() != 2 || letters.find_first_not_of("NR") != std::string::npos) {
                Fail(kDtcsPolarity, "polarity " + QuotedCell(Text(kDtcsPolarity)) + " is not two letters N or R");
                return std::nullopt;
            }
            tone.polarity = letters[static_cast<std::size_t>(which)];
        }
        return tone;
    }

private:
    bool Needs(Field k, Field by)
    {
        if (Has(k))
            return true;
        Fail(by, QuotedCell(Text(by)) + " needs the " + kHeadings[k] + " column");
        return false;
    }

    const CsvRecord& m_record;
    const std::array<int, kFieldCount>& m_columnOf;
    std::vector<CsvError>& m_errors;
    bool m_ok = true;
};

using TableRow = ChannelTable::value_type;

// The transmit frequency text of a row, from Duplex and Offset.
void ReadTransmit(RowReader& in, std::int64_t rx, const std::optional<FrequencyBand>& band, TableRow& row)
{
    if (!in.Has(kDuplex))
        return;
    const std::string duplex = Lower(in.Text(kDuplex));
    if (duplex.empty()) {
        row[kColTxFrequency] = row[kColRxFrequency];
        return;
    }
    if (duplex == "off") {
        row[kColTxFrequency].clear();
        return;
    }
    if (duplex != "+" && duplex != "-" && duplex != "split") {
        in.Fail(kDuplex, "duplex " + QuotedCell(in.Text(kDuplex)) + " is not empty, +, -, split or off");
        return;
    }
    if (!in.Has(kOffset)) {
        in.Fail(kDuplex, "duplex " + QuotedCell(in.Text(kDuplex)) + " needs the Offset column");
        return;
    }
    std::int64_t tx = 0;
    if (duplex == "split") {
        const std::string reason = ReadFrequency(in.Text(kOffset), band, tx);
        if (!reason.empty())
            return in.Fail(kOffset, "transmit " + reason);
    } else {
        std::int64_t offset = 0;
        switch (ReadScaledDecimal(in.Text(kOffset), 5, offset)) {
        case DecimalRead::NotANumber:
            return in.Fail(kOffset, QuotedCell(in.Text(kOffset)) + " is not an offset in MHz");
        case DecimalRead::Inexact:
            return in.Fail(kOffset, "offset " + EchoedCell(in.Text(kOffset)) + " is not a whole number of 10 Hz");
        case DecimalRead::Ok: break;
        }
        tx = duplex == "+" ? rx + offset : rx - offset;
        const std::string reason = CheckFrequency(std::max<std::int64_t>(tx, 0), band);
        if (!reason.empty())
            return in.Fail(kOffset, "transmit " + reason);
    }
    row[kColTxFrequency] = MegahertzText(tx, 5);
}

void ReadTones(RowReader& in, TableRow& row)
{
    if (!in.Has(kTone))
        return;
    const std::string mode = Lower(in.Text(kTone));
    std::optional<ToneValue> encode = ToneValue{};
    std::optional<ToneValue> decode = ToneValue{};
    if (mode == "tone") {
        encode = in.Ctcss(kRToneFreq, kTone);
    } else if (mode == "tsql") {
        encode = decode = in.Ctcss(kCToneFreq, kTone);
    } else if (mode == "dtcs") {
        encode = in.Dcs(kDtcsCode, 0, kTone);
        decode = encode ? in.Dcs(kDtcsCode, 1, kTone) : std::nullopt;
    } else if (mode == "cross") {
        if (!in.Has(kCrossMode)) {
            in.Fail(kTone, QuotedCell(in.Text(kTone)) + " needs the CrossMode column");
            return;
        }
        const std::string cross = Lower(in.Text(kCrossMode));
        const std::size_t arrow = cross.find("->");
        const std::string transmit = cross.substr(0, arrow);
        const std::string receive = arrow == std::string::npos ? "" : cross.substr(arrow + 2);
        const auto isSide = [](const std::string& s) { return s.empty() || s == "tone" || s == "dtcs"; };
        if (arrow == std::string::npos || !isSide(transmit) || !isSide(receive)) {
            in.Fail(kCrossMode, "cross mode " + QuotedCell(in.Text(kCrossMode)) +
                                    " is not TX->RX with each side Tone, DTCS or empty");
            return;
        }
        if (transmit == "tone")
            encode = in.Ctcss(kRToneFreq, kCrossMode);
        else if (transmit == "dtcs")
            encode = in.Dcs(kDtcsCode, 0, kCrossMode);
        if (receive == "tone")
            decode = in.Ctcss(kCToneFreq, kCrossMode);
        else if (receive == "dtcs")
            decode = in.Dcs(kRxDtcsCode, 1, kCrossMode);
    } else if (!mode.empty()) {
        in.Fail(kTone, "tone mode " + QuotedCell(in.Text(kTone)) + " is not empty, Tone, TSQL, DTCS or Cross");
        return;
    }
    if (encode && decode) {
        row[kColEncodeTone] = TextOfTone(*encode);
        row[kColDecodeTone] = TextOfTone(*decode);
    }
}

void ReadSettings(RowReader& in, TableRow& row)
{
    if (in.Has(kMode)) {
        const std::string mode = Lower(in.Text(kMode));
        if (mode == "fm")
            row[kColBandwidth] = "Wide";
        else if (mode == "nfm")
            row[kColBandwidth] = "Narrow";
        else if (!mode.empty())
            in.Fail(kMode, "mode " + QuotedCell(in.Text(kMode)) + " is not FM or NFM");
    }
    if (in.Has(kSkip)) {
        const std::string skip = Lower(in.Text(kSkip));
        if (skip.empty() || skip == "p")
            row[kColScan] = "Yes";
        else if (skip == "s")
            row[kColScan] = "No";
        else
            in.Fail(kSkip, "skip " + QuotedCell(in.Text(kSkip)) + " is not empty, S or P");
    }
    if (in.Has(kPower)) {
        const std::string power = Lower(in.Text(kPower));
        if (power == "high")
            row[kColPower] = "High";
        else if (power == "low")
            row[kColPower] = "Low";
        else if (!power.empty())
            in.Fail(kPower, "power " + QuotedCell(in.Text(kPower)) + " is not High or Low");
    }
}

// The row a listed channel starts from: the base's when it has a frequency,
// else what the grid gives a new channel.
TableRow StartingRow(const TableRow& baseRow, const std::string& rx)
{
    if (!baseRow[kColRxFrequency].empty() || !baseRow[kColTxFrequency].empty())
        return baseRow;
    TableRow row = baseRow;
    row[kColRxFrequency] = rx;
    row[kColTxFrequency] = rx;
    row[kColDecodeTone] = "None";
    row[kColEncodeTone] = "None";
    row[kColBandwidth] = "Wide";
    row[kColScan] = "No";
    row[kColBusyLock] = "Off";
    row[kColPower] = "High";
    return row;
}

} // namespace

bool IsInterchangeHeader(const CsvRecord& header)
{
    return std::find(header.fields.begin(), header.fields.end(), kHeadings[kLocation]) != header.fields.end();
}

ChannelCsvText ExportInterchangeCsv(const ChannelTable& table)
{
    ChannelCsvText out;
    out.csv = CsvLine(std::vector<std::string>(kHeadings.begin(), kHeadings.end()));
    for (int channel = 1; channel <= ImageMap::kChannelCount; ++channel) {
        const TableRow& row = table[static_cast<std::size_t>(channel)];
        const auto rx = UnitsOfText(row[kColRxFrequency]);
        const auto tx = UnitsOfText(row[kColTxFrequency]);
        if (!rx && !tx)
            continue;
        std::vector<std::string> f(kFieldCount);
        f[kLocation] = std::to_string(channel);
        const std::int64_t frequency = rx ? *rx : *tx;
        f[kFrequency] = MegahertzText(frequency, 6);
        std::int64_t offset = 0;
        if (!rx) {
            out.transmitOnlyChannels.push_back(channel);
        } else if (!tx) {
            f[kDuplex] = "off";
        } else if (*tx != *rx) {
            const std::int64_t difference = std::llabs(*tx - *rx);
            f[kDuplex] = difference > kLargestOffset ? "split" : *tx > *rx ? "+" : "-";
            offset = difference > kLargestOffset ? *tx : difference;
        }
        f[kOffset] = MegahertzText(offset, 6);
        const ToneFields tones = ToneFieldsOf(ToneOfText(row[kColEncodeTone]), ToneOfText(row[kColDecodeTone]));
        f[kTone] = tones.mode;
        f[kRToneFreq] = tones.rTone;
        f[kCToneFreq] = tones.cTone;
        f[kDtcsCode] = tones.dtcs;
        f[kDtcsPolarity] = tones.polarity;
        f[kRxDtcsCode] = tones.rxDtcs;
        f[kCrossMode] = tones.crossMode;
        f[kMode] = InEnglish(row[kColBandwidth]) == "Narrow" ? "NFM" : "FM";
        f[kTStep] = frequency % 500 != 0 && frequency % 625 == 0 ? "6.25" : "5.00";
        f[kSkip] = InEnglish(row[kColScan]) == "No" ? "S" : "";
        f[kPower] = InEnglish(row[kColPower]) == "Low" ? "Low" : "High";
        out.csv += CsvLine(f);
    }
    return out;
}

std::vector<int> MapInterchangeHeader(const CsvRecord& header, std::vector<CsvError>& errors)
{
    const std::vector<int> fieldOf = MapCsvHeader(
        header,
        [](const std::string& heading) {
            const auto it = std::find(kHeadings.begin(), kHeadings.end(), heading);
            return it == kHeadings.end() ? -1 : static_cast<int>(it - kHeadings.begin());
        },
        kFieldCount, errors);
    if (fieldOf[kFrequency] < 0)
        errors.push_back({header.line, 1, "no Frequency column"});
    return fieldOf;
}

bool ReadInterchangeChannel(const CsvRecord& record, const std::vector<int>& fieldOf, const TableRow& baseRow,
                            const std::optional<FrequencyBand>& band, TableRow& row, std::vector<CsvError>& errors)
{
    std::array<int, kFieldCount> columnOf;
    std::copy_n(fieldOf.begin(), kFieldCount, columnOf.begin());
    RowReader in(record, columnOf, errors);
    if (!in.Has(kFrequency))
        return false;
    if (in.Text(kFrequency).empty()) { // the channel is emptied
        row = baseRow;
        std::fill(row.begin() + 1, row.end(), std::string());
        return true;
    }
    std::int64_t rx = 0;
    if (const std::string reason = ReadFrequency(in.Text(kFrequency), band, rx); !reason.empty()) {
        in.Fail(kFrequency, reason);
        return false;
    }
    TableRow values = StartingRow(baseRow, MegahertzText(rx, 5));
    values[kColRxFrequency] = MegahertzText(rx, 5);
    ReadTransmit(in, rx, band, values);
    ReadTones(in, values);
    ReadSettings(in, values);
    if (!in.Ok())
        return false;
    row = values;
    return true;
}

bool ImportInterchangeCsv(const std::vector<CsvRecord>& records, const RadioImage& base,
                          const std::optional<FrequencyBand>& band, RadioImage& result, std::vector<CsvError>& errors,
                          std::size_t errorsBefore)
{
    const CsvRecord& header = records.front();
    const std::vector<int> fieldOf = MapInterchangeHeader(header, errors);
    const ChannelTable baseTable = TableOfImage(base);
    ChannelTable table = baseTable;
    ListedLines listed{};
    for (std::size_t r = 1; r < records.size(); ++r) {
        const CsvRecord& record = records[r];
        if (!CheckCsvFieldCount(record, header, errors))
            continue;
        int channel = 0;
        const int locationField = fieldOf[kLocation];
        if (const std::string reason =
                ReadChannel(record.fields[static_cast<std::size_t>(locationField)], record.line, listed, channel);
            !reason.empty())
            errors.push_back({record.line, locationField + 1, reason});
        const auto row = static_cast<std::size_t>(channel);
        TableRow values;
        if (ReadInterchangeChannel(record, fieldOf, baseTable[row], band, values, errors) && channel != 0)
            table[row] = values;
    }
    if (errors.size() != errorsBefore) {
        SortErrors(errors, errorsBefore);
        return false;
    }
    result = ApplyChangedRows(table, baseTable, listed, base);
    return true;
}
