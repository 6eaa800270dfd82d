#pragma once
// What differs between two radio images, as a user reads it: changed
// channel fields by their column headings, changed optional features by
// their dialog labels, radio type and band indexes, and a count of the
// differing bytes none of these explains. Also the frames of the radio
// link that differ, for checking a write against a read-back.

#include "core/document/RadioImage.h"

#include <cstdint>
#include <string>
#include <vector>

struct ImageChange
{
    int channel = 0;    // 1 to 16 for a channel field; 0 for a setting
    std::string field;  // "Rx Frequency", "Squelch Level", "Radio Type Index", ...
    std::string before; // the texts the field shows in each image; "" for an empty cell
    std::string after;
};

struct ByteChange
{
    std::size_t offset = 0;
    std::uint8_t before = 0;
    std::uint8_t after = 0;
    bool operator==(const ByteChange&) const = default;
};

struct ImageComparison
{
    std::vector<ImageChange> changes;       // channels 1 to 16 in column order, then the settings
    int otherBytes = 0;                     // differing bytes outside the changes listed
    std::vector<ByteChange> differingBytes; // every differing byte of the 1024, by offset

    bool Equal() const { return differingBytes.empty(); }
};

// Compares a with b (a the old, b the new), with English texts.
ImageComparison CompareImages(const RadioImage& a, const RadioImage& b);

// One line per change ("CH 3 Rx Frequency: 145.50000 -> 146.52000"), then
// "N other bytes differ" when there are any; with bytes, also every
// differing offset ("0x0130: 03 -> 05").
std::string FormatComparison(const ImageComparison& comparison, bool bytes);

// Addresses of the 8-byte frames of the link (0x000-0x32F) whose bytes differ.
std::vector<std::uint16_t> DifferingFrames(const RadioImage& sent, const RadioImage& readBack);
