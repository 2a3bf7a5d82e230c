// The one mapping between text styles (bold 1, italic 2, underlined 4) and the style values of the host's
// item fonts, list rows and popup items (16, 32, 48), and the size bits of an item's font value.
#pragma once

#include <cstdint>

namespace tarnwick {

class TextStyle;

std::int16_t hostStyleOf(std::uint16_t textStyle);   // 1 -> 16, 2 -> 32, 4 -> 48, else 0
std::uint16_t textStyleOf(
    std::int16_t hostValue);   // the style bits (mask 240) back: 16 -> 1, 32 -> 2, 48 -> 4
// The host's font value of a text style: the size bits (8 below 10 points, 4 for 10 and 11, 0 from 12 or
// without a size) with the style value.
std::int16_t hostFontOf(const TextStyle& style);

}   // namespace tarnwick
