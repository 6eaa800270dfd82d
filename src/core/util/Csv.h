#pragma once
// Comma-separated values as RFC 4180 describes them: fields separated by
// commas, records by CR LF or LF, fields quoted with '"' when they hold a
// comma, a quote or a line break, quotes doubled inside quoted fields.

#include <string>
#include <vector>

struct CsvRecord
{
    int line = 0;  // line of the file on which the record starts, from 1
    std::vector<std::string> fields;
};

struct CsvError
{
    int line = 0;
    int column = 0;  // field number, from 1
    std::string reason;
};

// Parses text into records. A UTF-8 byte-order mark is skipped and lines
// that are completely empty are dropped. Malformed quoting is reported in
// errors (parsing goes on at the next line); the records read so far are
// returned either way.
std::vector<CsvRecord> ParseCsv(const std::string& text, std::vector<CsvError>& errors);

// Quotes a field when it needs it.
std::string CsvField(const std::string& text);
// Joins fields into one record ending in "\n".
std::string CsvLine(const std::vector<std::string>& fields);
