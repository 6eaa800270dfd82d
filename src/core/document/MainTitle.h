#pragma once
// The main window's title while a channel window shows a document:
// "<AppName>  [ Type:<type>  Fre:<band> ]" (Chinese labels "  [ 类型:" and
// "  频率:"), with the radio type and band the image's bytes 0x32E and 0x32F
// choose from the configuration's lists ("Type<k>", "Field<k>" of [Setup],
// k the type byte plus one; the band the entry of the "|" list, the last
// one when the list is shorter).

#include "core/app/IniFile.h"
#include "core/document/RadioImage.h"

#include <string>

// The configuration texts an image's type and band bytes name, as the
// configuration file holds them.
struct ProductTexts
{
    std::string typeName;
    std::string bandText; // "136-174": also the band limits of typed frequencies
};
ProductTexts ProductTextsOfImage(const CIniFile& ini, const RadioImage& image);

// The title from its parts, all UTF-8.
std::string MainWindowTitle(const std::string& appName, const std::string& typeName, const std::string& bandText,
                            bool chinese);
