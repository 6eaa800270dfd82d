#pragma once
// What a radio of a row receives and whether it may receive it at all.
//
// Writing one document to many radios must not carry one radio's own bytes
// into the others: block 0 and the uninterpreted range 0x180-0x32D may
// belong to a single radio. So each radio gets its own image, as just read
// from it, with only the document's channels, scan bitmap and the twelve
// feature bytes laid over it.

#include "core/document/RadioImage.h"

#include <cstdint>
#include <optional>
#include <string>

// The radio's image with the document's channel records (0x010-0x10F), scan
// bitmap (0x17E-0x17F) and twelve feature bytes laid over it; every other
// byte is the radio's.
RadioImage MergeForRadio(const RadioImage& radio, const RadioImage& document);

// The document's transferred range (0x000-0x32F) over the radio's image, as
// a plain Write sends it: for radios known to be alike.
RadioImage WholeImageForRadio(const RadioImage& radio, const RadioImage& document);

// How a radio is named in lines and logs: its identity text and model code,
// "P3207 F5" ("--" for a model code that did not arrive).
std::string RadioLabel(const std::string& identity, std::optional<std::uint8_t> model);
// The model code as two hex digits, "" when it did not arrive.
std::string ModelText(std::optional<std::uint8_t> model);

enum class FleetSkip {
    None,
    OtherModel,      // identity or model code differs from the first radio's
    OtherTypeOrBand, // radio type or band index differs from the document's
};

struct RadioIdentity
{
    std::string identity;
    std::optional<std::uint8_t> model;
    bool operator==(const RadioIdentity&) const = default;
};

// Whether a radio just read may be written: first is the first radio of
// the run (none while this is the first).
FleetSkip CheckRadio(const RadioIdentity& radio, const std::optional<RadioIdentity>& first,
                     const RadioImage& radioImage, const RadioImage& document);
