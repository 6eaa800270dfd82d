#include "core/util/Csv.h"

std::vector<CsvRecord> ParseCsv(const std::string& text, std::vector<CsvError>& errors)
{
    std::vector<CsvRecord> records;
    std::size_t i = 0;
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0)
        i = 3;
    int line = 1;

    const auto atLineEnd = [&](std::size_t at) {
        return at >= text.size() || text[at] == '\n' || (text[at] == '\r' && at + 1 < text.size() && text[at + 1] == '\n') ||
               (text[at] == '\r' && at + 1 == text.size());
    };
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

    while (i < text.size()) {
        if (atLineEnd(i)) {  // an empty line
            skipLineEnd();
            continue;
        }
        CsvRecord record;
        record.line = line;
        bool recordOk = true;
        for (;;) {
            std::string field;
            const int column = static_cast<int>(record.fields.size()) + 1;
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
                    if (text[i] == '\n')
                        ++line;
                    field += text[i++];
                }
                if (!closed) {
                    errors.push_back({line, column, "quoted field is not closed"});
                    recordOk = false;
                    break;
                }
                if (!atLineEnd(i) && text[i] != ',') {
                    errors.push_back({line, column, "unexpected text after a closing quote"});
                    recordOk = false;
                    skipRestOfLine();
                    break;
                }
            } else {
                while (!atLineEnd(i) && text[i] != ',') {
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
            record.fields.push_back(std::move(field));
            if (i < text.size() && text[i] == ',') {
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
    if (text.find_first_of(",\"\r\n") == std::string::npos)
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
