#include "core/util/Csv.h"

#include <algorithm>

namespace {

constexpr const char* kByteOrderMark = "\xEF\xBB\xBF";

// Blanks around a field are dropped; a tab is a blank unless it separates
// the fields.
bool IsBlank(char c, char delimiter)
{
    return c == ' ' || (c == '\t' && delimiter != '\t');
}

std::size_t SkipByteOrderMark(const std::string& text)
{
    return text.compare(0, 3, kByteOrderMark) == 0 ? 3 : 0;
}

void TrimBlanks(std::string& field, char delimiter)
{
    std::size_t end = field.size();
    while (end > 0 && IsBlank(field[end - 1], delimiter))
        --end;
    std::size_t begin = 0;
    while (begin < end && IsBlank(field[begin], delimiter))
        ++begin;
    field = field.substr(begin, end - begin);
}

// The length of the valid UTF-8 sequence at text[i], 0 when there is none.
std::size_t Utf8SequenceLength(const std::string& text, std::size_t i)
{
    const auto c = static_cast<unsigned char>(text[i]);
    if (c < 0x80)
        return 1;
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (c >= 0xC2 && c <= 0xDF) {
        length = 2;
    } else if (c >= 0xE0 && c <= 0xEF) {
        length = 3;
        low = c == 0xE0 ? 0xA0 : 0x80;  // no overlong forms
        high = c == 0xED ? 0x9F : 0xBF; // no surrogates
    } else if (c >= 0xF0 && c <= 0xF4) {
        length = 4;
        low = c == 0xF0 ? 0x90 : 0x80;
        high = c == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (i + length > text.size())
        return 0;
    for (std::size_t k = 1; k < length; ++k) {
        const auto b = static_cast<unsigned char>(text[i + k]);
        if (k == 1 ? (b < low || b > high) : (b < 0x80 || b > 0xBF))
            return 0;
    }
    return length;
}

} // namespace

std::string EchoedCell(const std::string& text)
{
    constexpr std::size_t kMaxCharacters = 40;
    const auto hex = [](unsigned char c) {
        static const char digits[] = "0123456789abcdef";
        return std::string("\\x") + digits[c >> 4] + digits[c & 0xF];
    };
    std::string out;
    std::size_t characters = 0;
    for (std::size_t i = 0; i < text.size(); ++characters) {
        if (characters == kMaxCharacters)
            return out + "\u2026";
        const auto c = static_cast<unsigned char>(text[i]);
        const std::size_t length = Utf8SequenceLength(text, i);
        if (c == '\\') {
            out += "\\\\";
            ++i;
        } else if (c < 0x20 || c == 0x7F || length == 0) { // a control, or a byte that is not UTF-8
            out += hex(c);
            ++i;
        } else if (length == 2 && c == 0xC2 && static_cast<unsigned char>(text[i + 1]) < 0xA0) {
            // U+0080..U+009F: control characters a terminal obeys too.
            out += hex(c) + hex(static_cast<unsigned char>(text[i + 1]));
            i += 2;
        } else {
            out.append(text, i, length);
            i += length;
        }
    }
    return out;
}

std::string QuotedCell(const std::string& text)
{
    return "\"" + EchoedCell(text) + "\"";
}

std::string FormatCsvError(const CsvError& error)
{
    return std::to_string(error.line) + ":" + std::to_string(error.column) + ": " + error.reason;
}

namespace {

// How often each of the delimiters occurs outside quotes in the first
// non-empty line.
struct DelimiterCounts
{
    int commas = 0;
    int semicolons = 0;
    int tabs = 0;
};

DelimiterCounts CountDelimiters(const std::string& text)
{
    std::size_t i = SkipByteOrderMark(text);
    while (i < text.size() && (text[i] == '\r' || text[i] == '\n'))
        ++i;
    DelimiterCounts counts;
    bool quoted = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"')
            quoted = !quoted;
        else if (!quoted && (c == '\n' || c == '\r'))
            break;
        else if (!quoted && c == ',')
            ++counts.commas;
        else if (!quoted && c == ';')
            ++counts.semicolons;
        else if (!quoted && c == '\t')
            ++counts.tabs;
    }
    return counts;
}

} // namespace

char DetectCsvDelimiter(const std::string& text)
{
    const DelimiterCounts counts = CountDelimiters(text);
    return counts.semicolons > counts.commas ? ';' : ',';
}

char DetectTableDelimiter(const std::string& text)
{
    const DelimiterCounts counts = CountDelimiters(text);
    if (counts.tabs > 0 && counts.tabs >= counts.commas && counts.tabs >= counts.semicolons)
        return '\t';
    return counts.semicolons > counts.commas ? ';' : ',';
}

std::vector<CsvRecord> ParseCsv(const std::string& text, std::vector<CsvError>& errors)
{
    return ParseCsv(text, DetectCsvDelimiter(text), errors);
}

std::vector<CsvRecord> ParseCsv(const std::string& text, char delimiter, std::vector<CsvError>& errors)
{
    std::vector<CsvRecord> records;
    std::size_t i = SkipByteOrderMark(text);
    int line = 1;

    // A line ends in LF, CR LF or a lone CR (as old spreadsheets write).
    const auto atLineEnd = [&](std::size_t at) { return at >= text.size() || text[at] == '\n' || text[at] == '\r'; };
    const auto skipLineEnd = [&]() {
        if (i < text.size() && text[i] == '\r')
            ++i;
        if (i < text.size() && text[i] == '\n')
            ++i;
        ++line;
    };
    const auto skipRestOfLine = [&]() {
        while (!atLineEnd(i))
            ++i;
        skipLineEnd();
    };
    const auto skipBlanks = [&]() {
        while (i < text.size() && IsBlank(text[i], delimiter))
            ++i;
    };

    while (i < text.size()) {
        if (atLineEnd(i)) { // an empty line
            skipLineEnd();
            continue;
        }
        CsvRecord record;
        record.line = line;
        bool recordOk = true;
        for (;;) {
            std::string field;
            const int column = static_cast<int>(record.fields.size()) + 1;
            skipBlanks();
            if (i < text.size() && text[i] == '"') {
                ++i;
                bool closed = false;
                while (i < text.size()) {
                    if (text[i] == '"') {
                        if (i + 1 < text.size() && text[i + 1] == '"') {
                            field += '"';
                            i += 2;
                            continue;
                        }
                        ++i;
                        closed = true;
                        break;
                    }
                    if (text[i] == '\n' || (text[i] == '\r' && (i + 1 >= text.size() || text[i + 1] != '\n')))
                        ++line;
                    field += text[i++];
                }
                if (!closed) {
                    errors.push_back({line, column, "quoted field is not closed"});
                    recordOk = false;
                    break;
                }
                skipBlanks();
                if (!atLineEnd(i) && text[i] != delimiter) {
                    errors.push_back({line, column, "unexpected text after a closing quote"});
                    recordOk = false;
                    skipRestOfLine();
                    break;
                }
            } else {
                while (!atLineEnd(i) && text[i] != delimiter) {
                    if (text[i] == '"') {
                        errors.push_back({line, column, "quote inside an unquoted field"});
                        recordOk = false;
                        break;
                    }
                    field += text[i++];
                }
                if (!recordOk) {
                    skipRestOfLine();
                    break;
                }
            }
            TrimBlanks(field, delimiter);
            record.fields.push_back(std::move(field));
            if (i < text.size() && text[i] == delimiter) {
                ++i;
                continue;
            }
            skipLineEnd();
            break;
        }
        if (recordOk)
            records.push_back(std::move(record));
    }
    return records;
}

std::string CsvField(const std::string& text)
{
    if (text.find_first_of(",;\"\r\n") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

std::string CsvLine(const std::vector<std::string>& fields)
{
    std::string line;
    for (std::size_t k = 0; k < fields.size(); ++k) {
        if (k)
            line += ',';
        line += CsvField(fields[k]);
    }
    return line + "\n";
}

bool CheckCsvFieldCount(const CsvRecord& record, const CsvRecord& header, std::vector<CsvError>& errors)
{
    if (record.fields.size() == header.fields.size())
        return true;
    errors.push_back({record.line, static_cast<int>(std::min(record.fields.size(), header.fields.size())) + 1,
                      "expected " + std::to_string(header.fields.size()) + " fields, found " +
                          std::to_string(record.fields.size())});
    return false;
}

std::vector<int> MapCsvHeader(const CsvRecord& header, const std::function<int(const std::string&)>& lookup,
                              std::size_t count, std::vector<CsvError>& errors)
{
    std::vector<int> fieldOf(count, -1);
    for (std::size_t f = 0; f < header.fields.size(); ++f) {
        const int column = lookup(header.fields[f]);
        const int field = static_cast<int>(f) + 1;
        if (column < 0 || static_cast<std::size_t>(column) >= count)
            errors.push_back({header.line, field, "unknown column heading " + QuotedCell(header.fields[f])});
        else if (fieldOf[static_cast<std::size_t>(column)] >= 0)
            errors.push_back({header.line, field, "column " + QuotedCell(header.fields[f]) + " given twice"});
        else
            fieldOf[static_cast<std::size_t>(column)] = static_cast<int>(f);
    }
    return fieldOf;
}
