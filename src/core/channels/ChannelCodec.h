#pragma once
// Conversions between a channel's bytes in the radio image and the texts of
// the channel table. Every text encodes to some bytes and every byte pattern
// decodes to some text; nothing here reports an error. Each operation reads
// or changes only the bytes of its own field, and a channel number outside
// 1..16 reads as an empty field and writes nothing.
//
// Words are accepted in English and Chinese whatever the display language,
// compared exactly and case-sensitively, so a table filled in one language
// writes back correctly after the language was switched.

#include <optional>
#include <string>
#include <vector>

#include "core/document/RadioImage.h"

// ---- Frequencies: four BCD bytes of 10 Hz units, lowest digit pair first.

enum class FrequencySide { Receive, Transmit };

// "146.52500" for bytes 00 25 65 14; "" when the most significant byte is
// 0x00 or 0xFF. Nibbles above 9 count at their value (0x1A reads as 20).
std::string DecodeFrequency(const RadioImage& image, int channel, FrequencySide side);

// The text scaled with ToTenHertz. 0 and negative values are written as no
// frequency (four 0xFF). Positive values are written digit pair by digit
// pair; a value of 10^8 or more keeps the low eight bits of each pair's
// byte, which writes a non-decimal top byte read from a radio back as it was.
void EncodeFrequency(RadioImage& image, int channel, FrequencySide side, const std::string& text);

// ---- Tones: a word of two bytes, low byte first.

enum class ToneSide { Decode, Encode };

// nullopt when the word holds no tone (high byte 0x00 or 0xFF); otherwise
// "D023N"/"D754I" for a DCS code (a value outside the code set reads as
// D000N/D000I) or "67.0" for a CTCSS tone in 0.1 Hz units.
std::optional<std::string> DecodeTone(const RadioImage& image, int channel, ToneSide side);

// A text containing 'D' is a DCS code: the number after the first character,
// normal polarity when the text also holds 'N' after it, inverted otherwise.
// Any other text is a CTCSS frequency in Hz. Texts without a number ("None",
// "无", "") and negative frequencies are written as no tone (FF FF); a
// frequency above 6553.5 Hz keeps the low 16 bits of its 0.1 Hz count.
void EncodeTone(RadioImage& image, int channel, ToneSide side, const std::string& text);

// Whether a code number written with its octal digits (23 for code 023) is
// one of the 107 DCS codes the radio knows.
bool IsDcsCode(int code);

// The tones offered for selection: the no-tone word, the 50 CTCSS tones,
// then 84 DCS codes of normal and 84 of inverted polarity; 219 entries.
const std::vector<std::string>& ToneList(bool chinese);

// ---- Settings of a channel.

std::string DecodeBandwidth(const RadioImage& image, int channel, bool chinese);
void EncodeBandwidth(RadioImage& image, int channel, const std::string& text);

std::string DecodePower(const RadioImage& image, int channel, bool chinese);
void EncodePower(RadioImage& image, int channel, const std::string& text);

std::string DecodeBusyLock(const RadioImage& image, int channel, bool chinese);
void EncodeBusyLock(RadioImage& image, int channel, const std::string& text);

std::string DecodeScan(const RadioImage& image, int channel, bool chinese);
void EncodeScan(RadioImage& image, int channel, const std::string& text);

// ---- The words of the cells, by display language.

const char* NoToneText(bool chinese);  // "None" / "无"
const char* WideText(bool chinese);    // "Wide" / "宽"
const char* NarrowText(bool chinese);  // "Narrow" / "窄"
const char* YesText(bool chinese);     // "Yes" / "是"
const char* NoText(bool chinese);      // "No" / "否"
const char* OffText(bool chinese);     // "Off" / "关"
const char* CarrierText(bool chinese); // "Carrier" / "载波"
const char* QtDqtText(bool chinese);   // "QT/DQT" in both languages
const char* HighText(bool chinese);    // "High" / "高"
const char* LowText(bool chinese);     // "Low" / "低"
