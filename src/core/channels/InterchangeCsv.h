#pragma once
// The interchange layout of multi-radio programmers: one row per channel
// under the heading line
//   Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq,cToneFreq,DtcsCode,
//   DtcsPolarity,RxDtcsCode,CrossMode,Mode,TStep,Skip,Power,Comment,URCALL,
//   RPT1CALL,RPT2CALL,DVCODE
// A file may carry only some columns, in any order; Location and Frequency
// are required.
//
// Location is the channel number. Frequency is the receive frequency in MHz;
// Duplex "" transmits on it, "+"/"-" at Frequency plus/minus Offset, "split"
// on Offset itself, "off" not at all. Tone picks the tone mode: "" none,
// "Tone" encodes rToneFreq, "TSQL" encodes and decodes cToneFreq, "DTCS"
// encodes and decodes DCS DtcsCode, "Cross" follows CrossMode "TX->RX"
// (each side "Tone", "DTCS" or empty; transmit Tone uses rToneFreq and DTCS
// DtcsCode, receive Tone cToneFreq and DTCS RxDtcsCode). DtcsPolarity is two
// letters, transmit then receive, N normal and R inverted. Mode FM is wide,
// NFM narrow. Skip "" or "P" scans, "S" does not. Power High or Low. Name,
// Comment, TStep and the call-sign columns are not read. Words are matched
// without regard to case.
//
// On import a column the file lacks (or an empty Mode or Power cell) keeps
// that field of a channel the base already has, and gives a new channel
// what the grid gives one: transmit on the receive frequency, no tones,
// wide, no scan, busy lock off, high power. Busy lock is not in the layout:
// existing channels keep theirs. An empty Frequency empties the channel.
//
// Export writes one row per channel with a frequency, in channel order, with
// the simplest tone mode that says exactly what the channel holds and the
// fixed values 88.5, 023, NN and Tone->Tone in the fields that mode does not
// use.

#include "core/channels/ChannelCsvTypes.h"
#include "core/channels/ChannelTable.h"
#include "core/document/RadioImage.h"
#include "core/util/Csv.h"

#include <optional>

#include <string>
#include <vector>

// Whether a heading line is in the interchange layout (it has "Location").
bool IsInterchangeHeader(const CsvRecord& header);

ChannelCsvText ExportInterchangeCsv(const ChannelTable& table);

// records[0] is the heading line. Errors are appended after errorsBefore
// (problems the caller found already count as failures).
bool ImportInterchangeCsv(const std::vector<CsvRecord>& records, const RadioImage& base,
                          const std::optional<FrequencyBand>& band, RadioImage& result, std::vector<CsvError>& errors,
                          std::size_t errorsBefore);

// ---- The pieces of the import that pasting channels shares.

// For each interchange column (Location, Name, Frequency, ... in the order
// of the heading line above), the field of header that holds it, -1 when
// none does. Unknown or repeated headings and a missing Frequency column are
// errors.
std::vector<int> MapInterchangeHeader(const CsvRecord& header, std::vector<CsvError>& errors);

// The channel one data line gives (Location is not read), starting from
// baseRow, the texts the channel it lands on shows with both sides visible.
// An empty Frequency gives a row whose data cells are all empty. False, with
// the refused cells in errors, when a cell is bad.
bool ReadInterchangeChannel(const CsvRecord& record, const std::vector<int>& fieldOf,
                            const ChannelTable::value_type& baseRow, const std::optional<FrequencyBand>& band,
                            ChannelTable::value_type& row, std::vector<CsvError>& errors);
