// The host's text records: a text's appearance as elements carry it, and the request to measure a text
// (the utilities call 'GTLL').
#pragma once

#include <cstddef>
#include <cstdint>

namespace host {

// A text size record: pen and font indices (the low 16 bits are used) and the size in millimetres.
struct TextSizeRecord {
    std::int32_t pen;
    std::int32_t font;
    double size;
};
static_assert(sizeof(TextSizeRecord) == 16);
static_assert(offsetof(TextSizeRecord, size) == 8);

// A text record of an element.
struct TextRecord {
    std::int32_t word0;   // carried
    std::int32_t word1;   // carried
    std::int16_t pen;
    std::uint16_t style;   // kTextBold, kTextItalic, kTextUnderline
    std::int16_t font;
    std::int16_t extra;   // carried
    double size;          // millimetres
    std::uint8_t reserved24[24];
};
static_assert(sizeof(TextRecord) == 48);
static_assert(offsetof(TextRecord, pen) == 8);
static_assert(offsetof(TextRecord, extra) == 14);
static_assert(offsetof(TextRecord, size) == 16);

inline constexpr std::uint16_t kTextBold = 0x1;
inline constexpr std::uint16_t kTextItalic = 0x2;
inline constexpr std::uint16_t kTextUnderline = 0x4;

// 'GTLL': the length of a text set in a font (its 16-bit index in the project's fonts; one the project
// does not have is set in the host's default sans-serif font) at a size, in millimetres, the size being
// the font's em. The answer goes to the double the second parameter points to.
struct TextLengthRecord {
    std::int16_t mode;      // carried
    std::uint8_t modeSet;   // 1 when mode is not 0
    std::uint8_t reserved3;
    std::int16_t font;
    std::uint16_t style;   // kTextBold, kTextItalic (underlining does not change the length)
    double spacing;        // carried
    double size;           // millimetres
    std::uint8_t reserved24[8];
    const char16_t* text;   // zero-terminated; borrowed for the call
};
static_assert(sizeof(TextLengthRecord) == 40);
static_assert(offsetof(TextLengthRecord, font) == 4);
static_assert(offsetof(TextLengthRecord, style) == 6);
static_assert(offsetof(TextLengthRecord, spacing) == 8);
static_assert(offsetof(TextLengthRecord, size) == 16);
static_assert(offsetof(TextLengthRecord, text) == 32);

}   // namespace host
