#pragma once
// Channels on the clipboard. Copy puts them there in two forms: as text,
// tab-separated lines of the program's own CSV layout under its heading
// line, which a spreadsheet receives as a table; and in the program's own
// binary form, the exact records with their scan bits, which a channel
// window pastes byte for byte.
//
// Paste takes the binary form when the clipboard holds it, else the text:
// tab-, comma- or semicolon-separated, with or without the heading line, in
// the own or the interchange layout, read with the cell rules of Import
// Channels. The pasted rows land on channels chosen by their order, never
// by a channel number in the text. Each row writes a whole channel: both
// sides and every setting; a setting the text lacks keeps its value on a
// channel that has a frequency and takes the new-channel default (None,
// None, Wide, No, Off, High) on one that has none; a row without any
// frequency empties its channel. Every frequency, in either form, must lie
// in the band and on the 5 kHz / 6.25 kHz step. A paste is all or nothing:
// on any bad cell, or rows that do not fit, the image stays as it was and
// every problem is reported as LINE:COLUMN. Reading the clipboard and
// showing the errors are the window's part.

#include <optional>
#include <string>
#include <vector>

#include "core/channels/ChannelCsv.h"
#include "core/channels/ChannelRows.h"
#include "core/document/RadioImage.h"
#include "core/util/Csv.h"

// The clipboard format of the binary form.
inline constexpr const char* kChannelsMimeType = "application/x-radio-programmer-channels";

// The binary form, all values single bytes:
//   0     "RPCH"
//   4     format version, 1
//   5     n, the number of channels, 1..16
//   6     n entries of 18 bytes each:
//           +0  the channel the record was copied from, 1..16 (informative,
//               not used for placing)
//           +1  flags: bit 0 the channel's scan bit; the other bits 0
//           +2  the sixteen bytes of the channel record as the image holds
//               them
// Channels outside 1..16 are left out; "" when none is left.
std::string ChannelRecordsBytes(const RadioImage& image, const std::vector<int>& channels);

// The records of the binary form; nullopt unless bytes is exactly that form
// (signature, version, count, length, channel numbers and flags).
std::optional<std::vector<ChannelRecord>> ParseChannelRecordsBytes(const std::string& bytes);

// The channels as tab-separated lines: the heading line (CH and the eight
// column headings), then per channel its number and the texts the table
// shows with both sides visible, in the chosen language.
std::string ChannelsText(const RadioImage& image, const std::vector<int>& channels, bool chinese);

// Where `rows` pasted rows go: onto the selected channels in order when more
// than one is selected, else from the one selected channel (or, with none,
// the current channel) down. Fewer channels than rows when they do not fit.
std::vector<int> PasteTargets(std::size_t rows, const std::vector<int>& selected, int current);

// What the clipboard offers; records empty when it has no binary form.
struct ClipboardChannels
{
    std::string records;
    std::string text;
};

// Pastes onto a copy of base and stores it in result, with the channels
// written (in the order of the pasted rows) in written. Returns false, with
// every problem in errors and result untouched, when anything is refused.
// Errors of the binary form name the entry (from 1) as the line and the
// field the text form would give the frequency as the column.
bool PasteChannels(const ClipboardChannels& clipboard, const RadioImage& base, const std::optional<FrequencyBand>& band,
                   const std::vector<int>& selected, int current, RadioImage& result, std::vector<int>& written,
                   std::vector<CsvError>& errors);
