#pragma once
// The cell rules both channel list layouts share: numbers read exactly in
// decimal (so "146.52", "0146.525000" and "146,525" are the same frequency
// and "146.123456" is refused rather than cut), the checks a frequency must
// pass before the radio can hold it, and the step from a table of texts to
// image bytes that touches only the channels a file listed and changed.
//
// Readers return the reason a cell is refused, or "" when it is accepted;
// the caller names the cell. Used by ChannelCsv and InterchangeCsv only.

#include "core/channels/ChannelCsvTypes.h"
#include "core/channels/ChannelTable.h"
#include "core/document/RadioImage.h"
#include "core/util/Csv.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace csvcells {

// Rows 1..16: the line a channel was listed on, 0 when it was not.
using ListedLines = std::array<int, kTableRows>;

enum class DecimalRead { Ok, NotANumber, Inexact };

// Digits with at most one '.' or ',' as decimal separator (leading zeros
// and any number of decimals allowed), scaled by 10^decimals into value.
// Inexact when a digit past the given decimals is not zero; NotANumber for
// anything else, including signs, blanks and values of 10^12 or more.
DecimalRead ReadScaledDecimal(const std::string& text, int decimals, std::int64_t& value);

// units in 10 Hz as MHz with the given number of decimals: "146.52500".
std::string MegahertzText(std::int64_t units, int decimals);

// Reads a frequency cell in MHz into 10 Hz units and checks it: exact in
// 10 Hz, from 10 MHz to below 1000 MHz (what the radio's eight digits hold),
// inside the band when one is given, on the 5 kHz or 6.25 kHz step.
std::string ReadFrequency(const std::string& text, const std::optional<FrequencyBand>& band, std::int64_t& units);
// The same checks for a frequency computed from other cells.
std::string CheckFrequency(std::int64_t units, const std::optional<FrequencyBand>& band);

// A CTCSS tone in Hz ("67", "67.0", "067.00") as the table writes it
// ("67.0"), checked to be a tone the tone word can hold.
std::string ReadCtcss(const std::string& text, std::string& toneText);

// A channel number from 1 to 16, not listed before.
std::string ReadChannel(const std::string& text, int line, ListedLines& listed, int& channel);

// The table's words in English, whatever the language they are written in.
std::string InEnglish(const std::string& text);

// The channel texts an image shows with both sides visible, in English.
ChannelTable TableOfImage(const RadioImage& image);

// Orders errors by line and column and drops repeats.
void SortErrors(std::vector<CsvError>& errors, std::size_t from);

// base with every listed channel whose row differs from baseTable encoded
// from table; other channels keep their bytes.
RadioImage ApplyChangedRows(const ChannelTable& table, const ChannelTable& baseTable, const ListedLines& listed,
                            const RadioImage& base);

} // namespace csvcells
