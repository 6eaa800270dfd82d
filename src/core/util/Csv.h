#pragma once
// Comma-separated values as RFC 4180 describes them: fields separated by
// commas, records by CR LF, LF or a lone CR, fields quoted with '"' when they hold a
// comma, a quote or a line break, quotes doubled inside quoted fields.
//
// Reading is lenient the way spreadsheets need: a UTF-8 byte-order mark is
// skipped, blanks and tabs around a field (and around its quotes) are
// dropped (tabs only when they do not separate the fields), and a file whose heading line holds more ';' than ',' outside
// quotes is read with ';' as the delimiter, as spreadsheets write it in
// locales with a decimal comma. Writing always uses ',' and LF.

#include <functional>
#include <string>
#include <vector>

struct CsvRecord
{
    int line = 0; // line of the file on which the record starts, from 1
    std::vector<std::string> fields;
};

struct CsvError
{
    int line = 0;
    int column = 0; // field number, from 1
    std::string reason;
};

// A cell's text fit to be echoed in a message on a terminal: control
// characters, a backslash and bytes that are not UTF-8 are written as
// escapes ("\x1b", "\\"), and a text longer than 40 characters is cut
// after the 40th with "…". QuotedCell puts it in double quotes.
std::string EchoedCell(const std::string& text);
std::string QuotedCell(const std::string& text);

// "LINE:COLUMN: reason", the form every tool shows an error in.
std::string FormatCsvError(const CsvError& error);

// ';' when the first non-empty line holds more semicolons than commas
// outside quotes, else ','.
char DetectCsvDelimiter(const std::string& text);

// The delimiter of a table copied as text: a tab, as spreadsheets put rows
// on the clipboard, when the first non-empty line holds at least as many
// tabs as commas and semicolons; else as DetectCsvDelimiter.
char DetectTableDelimiter(const std::string& text);

// Parses text into records, with the delimiter DetectCsvDelimiter finds.
// Lines that are completely empty are dropped. Malformed quoting is reported
// in errors (parsing goes on at the next line); the records read so far are
// returned either way.
std::vector<CsvRecord> ParseCsv(const std::string& text, std::vector<CsvError>& errors);
std::vector<CsvRecord> ParseCsv(const std::string& text, char delimiter, std::vector<CsvError>& errors);

// Quotes a field when it needs it.
std::string CsvField(const std::string& text);

// For each of `count` known columns, the field (from 0) of the header that
// names it, -1 when no field does. lookup gives the column a heading names,
// -1 for none; an unknown heading and a column named twice are errors.
std::vector<int> MapCsvHeader(const CsvRecord& header, const std::function<int(const std::string&)>& lookup,
                              std::size_t count, std::vector<CsvError>& errors);

// Whether a record has as many fields as the header; when not, an error
// naming the first missing or extra field is added.
bool CheckCsvFieldCount(const CsvRecord& record, const CsvRecord& header, std::vector<CsvError>& errors);
// Joins fields into one record ending in "\n".
std::string CsvLine(const std::vector<std::string>& fields);
