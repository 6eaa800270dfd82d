#pragma once
// What a screen reader says for the channel grid: the name of a channel's
// cell and of the editor open over it, in the running language. The
// heading is the column heading as the grid shows it; the channel number
// is the row (row n = channel n).
//
//   English: "Channel 3, Rx Frequency: 145.00000", "Channel 3, Scan: empty"
//   Chinese: "信道3，接收频率：145.00000", "信道3，扫描：空"
//
// A cell whose text is empty or only blanks reads as empty, so a cell that
// looks empty never reads as nothing at all.

#include <string>
#include <string_view>

// The name of the cell of a channel under a heading holding text.
std::string ChannelCellName(int channel, std::string_view heading, std::string_view text, bool chinese);

// The name of an editor open over a channel's cell: the cell's name
// without its text ("Channel 3, Rx Frequency" / "信道3，接收频率").
std::string ChannelEditorName(int channel, std::string_view heading, bool chinese);
