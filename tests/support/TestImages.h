#pragma once
// Radio images the tests build their cases from, shared by the core, link
// and widget tests (standard library only).

#include "core/document/RadioImage.h"

#include <algorithm>
#include <cstdint>

// A recognisable image: every byte differs from its neighbours and from an
// erased radio; the part the radio never holds (0x330 on) carries tail.
inline RadioImage PatternImage(std::uint8_t seed, std::uint8_t tail)
{
    RadioImage image{};
    for (std::size_t i = 0; i < image.size(); ++i)
        image[i] = static_cast<std::uint8_t>((i * 7 + seed) & 0xFF);
    std::fill(image.begin() + ImageMap::kTransferEnd, image.end(), tail);
    return image;
}
