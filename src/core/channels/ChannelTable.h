#pragma once
// The channel table as plain texts: row 0 the headings, rows 1..16 the
// channels, column 0 the channel numbers and columns 1..8 the fields (Rx
// frequency, Tx frequency, decode tone, encode tone, bandwidth, scan, busy
// lock, power). The grid of the channel window, the printed listing and the
// command-line tool share these rules, so they agree on every cell.
//
// The device mode chooses which side of each channel is shown: 1 the
// receive side only, 2 the transmit side only, 0 both with editing disabled.
// Any other mode is treated like 0.

#include <array>
#include <cstdint>
#include <string>

#include "core/document/RadioImage.h"

inline constexpr int kTableRows = 17;
inline constexpr int kTableCols = 9;
using ChannelTable = std::array<std::array<std::string, kTableCols>, kTableRows>;

// Columns of the table.
inline constexpr int kColChannel = 0;
inline constexpr int kColRxFrequency = 1;
inline constexpr int kColTxFrequency = 2;
inline constexpr int kColDecodeTone = 3;
inline constexpr int kColEncodeTone = 4;
inline constexpr int kColBandwidth = 5;
inline constexpr int kColScan = 6;
inline constexpr int kColBusyLock = 7;
inline constexpr int kColPower = 8;

// "CH"/"信道", "Rx Frequency"/"接收频率", ...; "" for a column outside 0..8.
const char* ColumnHeading(int column, bool chinese);

// Headings in row 0, " 1".."16" in column 0, every other cell empty.
ChannelTable NewChannelTable(bool chinese);

// Column widths in twips for a device mode; a hidden column has width 0.
// Busy lock and power are always hidden, yet filled and written back.
std::array<int, kTableCols> ColumnWidths(int deviceMode);

// Whether the cells can be edited in a device mode (modes 1 and 2).
bool GridEnabled(int deviceMode);

// Fills columns 1..8 of rows 1..16 from the image. A channel whose shown
// frequency is missing is empty: its settings cells are "", and its tone
// cells are "" unless the tone word holds a tone. The side the device mode
// does not show is blanked.
void ImageToTable(const RadioImage& image, int deviceMode, bool chinese, ChannelTable& table);

// Writes rows 1..16 back into the image. The side the device mode does not
// show is first blanked in the table, then every column is encoded; an empty
// row becomes no frequencies, no tones, wide, high power, busy lock QT/DQT
// and scan off.
void TableToImage(ChannelTable& table, int deviceMode, RadioImage& image);

// Writes back only what the user changed. shown holds the texts the table
// had when it last matched the image (after ImageToTable, or the previous
// write-back). A row whose data cells still equal shown's keeps its sixteen
// bytes and its scan bit exactly. A changed row is encoded as TableToImage
// does, except that in modes 1 and 2 the frequency and tone bytes of the
// hidden side keep their values (mode 1: bytes 4-7 and 10-11, mode 2: bytes
// 0-3 and 8-9). Opening and saving without edits thus changes no byte, in
// every device mode.
//
// A channel flagged in deleted (the user emptied its shown frequency) first
// becomes an empty record, sixteen 0xFF bytes with its scan bit clear, the
// hidden side included; a row typed into it again is then encoded on that
// empty record.
using ChannelRowFlags = std::array<bool, kTableRows>;
void TableToImageKeepingUnchanged(ChannelTable& table, const ChannelTable& shown, int deviceMode, RadioImage& image,
                                  const ChannelRowFlags& deleted = {});

// ---- Checking a typed frequency against the band and the channel step.

enum class FrequencyCheck { Accepted, OutOfRange, BadStep };

// Range first (limits inclusive), then the step: a multiple of 500 (5 kHz)
// or of 625 (6.25 kHz) in 10 Hz units.
FrequencyCheck CheckFrequency(std::int32_t tenHertz, std::int32_t bandLow, std::int32_t bandHigh);

// The typed number in MHz with five decimals, rounded ("145.123456" shows
// as "145.12346").
std::string FrequencyDisplayText(const std::string& typed);

// ---- Frequency bands, written like "136-174|400-470".

// Entry index (from 0) of a list split at "|"; the last entry when the list
// has fewer; the first when the index is negative.
std::string BandText(const std::string& bandList, int index);

// Limits of a band text in 10 Hz units: "136-174" gives 13600000 and
// 17400000; a text without "-" gives both from its first number, a text
// without a number 0. Limits saturate at the 32-bit range.
void BandLimits(const std::string& bandText, std::int32_t& low, std::int32_t& high);
