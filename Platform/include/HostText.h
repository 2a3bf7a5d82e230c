// The host's text services: Unicode conversion, text comparison, case conversion and the
// user-interface number formatting. Text crosses this boundary as UTF-8 or UTF-16.
#pragma once

#include <string>
#include <string_view>

namespace host {

// Malformed input (a bad UTF-8 sequence, a lone surrogate) becomes U+FFFD; nothing is dropped silently.
std::u16string utf8ToUtf16(std::string_view utf8);
std::string utf16ToUtf8(std::u16string_view utf16);

// Three-way comparison by code point: < 0, 0 or > 0. Empty texts sort first.
int compareText(std::string_view a, std::string_view b);

// Case conversion of UTF-8 text (ASCII, Latin-1 supplement, Latin Extended-A, Greek and Cyrillic),
// one code point for one: letters without a single-letter counterpart ('ß') stay as they are.
std::string toUpperText(std::string_view utf8);
std::string toLowerText(std::string_view utf8);

// User-interface number formats: the host's working units for lengths, areas and angles.
enum NumberFormat : int {
    kFormatLength = 1,   // metres
    kFormatReal = 2,     // plain real
    kFormatArea = 3,     // square metres (also volumes)
    kFormatAngle = 4,    // degrees
};
// The shortest text that reads back as the same double, without a unit: "1.5", "-0.25", "1e+21".
// An unknown code formats as kFormatReal; infinities and NaN give "inf" and "nan", which parseReal refuses.
std::string formatReal(double value, int formatCode);
// Optional spaces or tabs around, an optional sign, '.' as the decimal point, an optional exponent.
// False (value 0) when not a finite number or when anything else follows.
bool parseReal(std::string_view text, int formatCode, double& value);

}   // namespace host
