#pragma once
// The channel list as CSV, in two layouts: the program's own (a row holds
// the channel number and the eight texts the channel table shows with both
// sides visible) and the interchange layout of multi-radio programmers (see
// InterchangeCsv.h). `program-cli` and the desktop program read and write
// both through these functions.
//
// Export is lenient in the way the table is: it shows whatever the image or
// the grid holds. Import reads what spreadsheets write (see Csv.h; numbers
// with leading zeros, fewer or more decimals, a decimal comma) but is strict
// about meaning: a value that is not exact in 10 Hz, off the channel step or
// outside the band, an unknown tone or word, a channel outside 1..16 or
// listed twice is an error, and every bad cell of the file is reported as
// LINE:COLUMN before anything is changed.

#include "core/channels/ChannelCsvTypes.h"
#include "core/channels/ChannelTable.h"
#include "core/document/RadioImage.h"
#include "core/util/Csv.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// A channel list is a few kilobytes; a file over 1 MiB is not one and is
// refused before it is parsed.
inline constexpr std::size_t kMaxChannelCsvBytes = 1024 * 1024;
// At most this many errors are listed; a line then tells how many more.
inline constexpr std::size_t kMaxCsvErrorsListed = 100;

enum class ChannelCsvRead { Ok, CannotRead, TooLarge };

// Reads a channel list file into text. CannotRead (with error naming the
// file and the reason, "not a regular file" included) or TooLarge when it is
// over kMaxChannelCsvBytes.
ChannelCsvRead ReadChannelCsvFile(const std::string& path, std::string& text, std::string& error);

// The errors as "LINE:COLUMN: reason" lines: the first kMaxCsvErrorsListed,
// then "… and N more" when there are more.
std::vector<std::string> CsvErrorLines(const std::vector<CsvError>& errors);

// "own" or "interchange"; nullopt for anything else.
std::optional<ChannelCsvLayout> ParseChannelCsvLayout(const std::string& name);

// The channels of an image, both sides shown; the own layout's headings and
// words are in the chosen language.
std::string ExportChannelsCsv(const RadioImage& image, bool chinese);
ChannelCsvText ExportChannelsCsv(const RadioImage& image, bool chinese, ChannelCsvLayout layout);

// A table of texts as shown (row 0 headings, rows 1..16 the channels, words
// in either language) in the chosen layout. The own layout writes the table
// as it stands, with its own headings.
ChannelCsvText ChannelTableToCsv(const ChannelTable& table, ChannelCsvLayout layout);

// Reads "LOW-HIGH" in MHz ("136-174", "400-470.5"); nullopt when malformed.
std::optional<FrequencyBand> ParseFrequencyBand(const std::string& text);

// The layout a file is written in, from its heading line: the interchange
// layout when a heading is "Location", else the own layout.
ChannelCsvLayout DetectChannelCsvLayout(const std::string& csv);

// Writes the channels listed in csv, in either layout, into a copy of base
// and stores it in result. Own layout: columns are found by their English or
// Chinese heading; the CH column is required, a missing data column keeps
// the base's value for it, and gives a channel the file creates (one the
// base has no frequency for) None / Wide / No / Off / High. Channels that are not listed, and listed channels
// whose texts are those the base already shows, keep the base's bytes.
// Returns false, with every problem in errors and result untouched, when the
// file has any bad cell.
bool ImportChannelsCsv(const std::string& csv, const RadioImage& base, const std::optional<FrequencyBand>& band,
                       RadioImage& result, std::vector<CsvError>& errors);

// ---- The pieces of the import that pasting channels shares.

using ChannelRow = ChannelTable::value_type;

// Whether a text is the heading of an own-layout column, in either language.
bool IsOwnCsvHeading(const std::string& heading);

// For each table column 0..8, the field (from 0) of an own-layout heading
// line that holds it, -1 when none does; unknown and repeated headings are
// errors.
std::vector<int> MapOwnCsvHeader(const CsvRecord& header, std::vector<CsvError>& errors);

// Reads the data columns 1..8 that fieldOf places in record into row, as
// the table holds them (frequencies with five decimals, words in English),
// with the import's cell rules. A column the record lacks keeps row's text,
// and so does an empty settings cell (columns 3..8) when emptySettingKeeps
// is set. False, with every refused cell in errors, when a cell is bad.
bool ReadOwnCsvCells(const CsvRecord& record, const std::vector<int>& fieldOf, const std::optional<FrequencyBand>& band,
                     ChannelRow& row, std::vector<CsvError>& errors, bool emptySettingKeeps = false);
