#pragma once
// The channel list as CSV: what `program-cli export` writes and `import`
// reads. A row holds the channel number and the eight texts the channel
// table shows when both the receive and the transmit side are visible.
//
// Export is lenient in the way the table is: it shows whatever the image
// holds. Import is strict: a text that export could not have produced, or a
// frequency that breaks the channel step or the band, is an error, and every
// bad cell of the file is reported before anything is changed.

#include "core/document/RadioImage.h"
#include "core/util/Csv.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

std::string ExportChannelsCsv(const RadioImage& image, bool chinese);

// Band limits in units of 10 Hz, both inclusive.
struct FrequencyBand
{
    std::int32_t low = 0;
    std::int32_t high = 0;
};

// Reads "LOW-HIGH" in MHz ("136-174", "400-470.5"); nullopt when malformed.
std::optional<FrequencyBand> ParseFrequencyBand(const std::string& text);

// Writes the channels listed in csv into a copy of base and stores it in
// result. Columns are found by their English or Chinese heading; the CH
// column is required, a missing data column keeps the base's value for it.
// Channels that are not listed, and listed channels whose texts are those
// the base already shows, keep the base's bytes. Returns false, with every
// problem in errors and result untouched, when the file has any bad cell.
bool ImportChannelsCsv(const std::string& csv, const RadioImage& base, const std::optional<FrequencyBand>& band,
                       RadioImage& result, std::vector<CsvError>& errors);
