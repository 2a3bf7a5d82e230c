// The host's text services: Unicode conversion, text comparison, case conversion and the
// user-interface number formatting. Text crosses this boundary as UTF-8 or UTF-16.
#pragma once

#include <cstddef>
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

// Outside input (a key, a value, an argument, a path) as a message quotes it: in quotes, and one longer
// than kQuotedCharacters characters by its first ones, "…" and its length ("kkk…" (1048576 characters)),
// so that no message repeats a whole file or argument. Each malformed UTF-8 sequence counts as the one
// character it reads as. What prints a message shows its control characters with visibleText.
inline constexpr std::size_t kQuotedCharacters = 60;
std::string quotedInput(std::string_view utf8, char quote = '"');
// The same without the quotes (kkk… (1048576 characters)), for a name a message shows bare.
std::string shortenedInput(std::string_view utf8);
// A path as a message names it: whole when the system could open it (shorter than PATH_MAX bytes), so
// that the file is known, else as shortenedInput cuts it.
std::string shownPath(std::string_view path);
// Text as it may go to a terminal: each C0 control character (line breaks and tabs too) and DEL as
// \x1b, each C1 control character (U+0080 to U+009F) as \u009b, and each byte of a sequence that is not
// UTF-8 as \x9b, so that no outside text can move the cursor, clear the screen or set the window's title
// (in a UTF-8 terminal or an 8-bit one), and one name stays on one line. All else is kept as it is; a
// backslash is not doubled.
std::string visibleText(std::string_view utf8);

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
