#pragma once
// The first page of the printed listing: the optional features read from the
// radio image, one label and value a line.

#include <string>
#include <vector>

#include "core/document/RadioImage.h"

struct FeatureLine
{
    std::string label;
    std::string value;
};

// Time-out timer, squelch level, voice prompts, VOX delay, VOX gain, battery
// saver and beep, in that order.
std::vector<FeatureLine> OptionsPageLines(const RadioImage& image, bool chinese);

const char* OptionsPageTitle(bool chinese);    // "Option" / "可选功能"
const char* OptionsPageSubtitle(bool chinese); // "Function" / "功能"
