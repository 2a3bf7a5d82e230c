#include "HostText.h"

#include <limits.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <system_error>

namespace host {
namespace {

constexpr char32_t kReplacement = 0xFFFD;
constexpr const char* kEllipsis = "\xE2\x80\xA6";   // U+2026, where a quoted input is cut

bool isContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// Decodes one code point at text[at] and advances `at`. A malformed sequence gives U+FFFD and
// consumes its longest valid-looking start (at least one byte), so each broken sequence yields one
// U+FFFD and the next good character is kept. Overlong forms, surrogates and values above U+10FFFF
// are refused by the range of the second byte.
char32_t decodeUtf8(std::string_view text, std::size_t& at) {
    const auto lead = static_cast<unsigned char>(text[at++]);
    if (lead < 0x80) return lead;
    int length = 0;
    unsigned char low = 0x80, high = 0xBF;   // the allowed range of the second byte
    char32_t value = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, value = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, value = lead & 0x0F;
        if (lead == 0xE0) low = 0xA0;    // below: overlong
        if (lead == 0xED) high = 0x9F;   // above: UTF-16 surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, value = lead & 0x07;
        if (lead == 0xF0) low = 0x90;    // below: overlong
        if (lead == 0xF4) high = 0x8F;   // above: beyond U+10FFFF
    } else {
        return kReplacement;   // a stray continuation byte, C0, C1 or F5..FF
    }
    for (int i = 1; i < length; ++i) {
        if (at >= text.size()) return kReplacement;   // truncated at the end of the text
        const auto byte = static_cast<unsigned char>(text[at]);
        if (i == 1 ? (byte < low || byte > high) : !isContinuation(byte)) return kReplacement;
        value = (value << 6) | (byte & 0x3F);
        ++at;
    }
    return value;
}

void encodeUtf8(char32_t c, std::string& out) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

bool isHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool isLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// The bytes of text's first `characters` characters, each read as decodeUtf8 reads it: a malformed
// sequence, a stray continuation byte among them, is one character.
std::size_t bytesOfCharacters(std::string_view text, std::size_t characters) {
    std::size_t at = 0;
    for (std::size_t seen = 0; seen < characters && at < text.size(); ++seen) decodeUtf8(text, at);
    return at;
}

std::size_t countCharacters(std::string_view text) {
    std::size_t characters = 0;
    for (std::size_t at = 0; at < text.size(); ++characters) decodeUtf8(text, at);
    return characters;
}

// The input between the quotes (none when empty), cut after kQuotedCharacters characters with "…" and
// followed by its length.
std::string cutInput(std::string_view utf8, std::string_view quote) {
    const std::size_t shown = bytesOfCharacters(utf8, kQuotedCharacters);
    std::string text = std::string(quote) + std::string(utf8.substr(0, shown));
    if (shown == utf8.size()) return text + std::string(quote);
    return text + kEllipsis + std::string(quote) + " (" + std::to_string(countCharacters(utf8)) +
           " characters)";
}

// --- Case mapping ----------------------------------------------------------------------------------
// Simple one-to-one mappings only, so every code point keeps its place: 'ß' and the Greek letters with
// dialytika and tonos have no single capital and stay as they are.

// In ranges where capital and small letters alternate: is c the capital of its pair?
bool capitalFirstInPair(char32_t c, char32_t first) { return (c - first) % 2 == 0; }

char32_t toUpper(char32_t c) {
    if (c < 0x80) return (c >= 'a' && c <= 'z') ? c - 0x20 : c;
    // Latin-1 supplement
    if (c == 0xB5) return 0x039C;                                 // micro sign -> capital mu
    if ((c >= 0xE0 && c <= 0xFE) && c != 0xF7) return c - 0x20;   // not the division sign
    if (c == 0xFF) return 0x0178;
    // Latin Extended-A
    if (c == 0x0131) return 'I';   // dotless i
    if (c == 0x017F) return 'S';   // long s
    if ((c >= 0x0100 && c <= 0x012F) || (c >= 0x0132 && c <= 0x0137) || (c >= 0x014A && c <= 0x0177))
        return capitalFirstInPair(c, 0x0100) ? c : c - 1;
    if ((c >= 0x0139 && c <= 0x0148) || (c >= 0x0179 && c <= 0x017E))
        return capitalFirstInPair(c, 0x0139) ? c : c - 1;
    // Greek
    if (c >= 0x03B1 && c <= 0x03CB && c != 0x03C2) return c - 0x20;
    if (c == 0x03C2) return 0x03A3;   // final sigma
    if (c == 0x03AC) return 0x0386;
    if (c >= 0x03AD && c <= 0x03AF) return c - 0x25;
    if (c == 0x03CC) return 0x038C;
    if (c == 0x03CD || c == 0x03CE) return c - 0x3F;
    if (c >= 0x03D8 && c <= 0x03EF) return capitalFirstInPair(c, 0x03D8) ? c : c - 1;
    // Cyrillic
    if (c >= 0x0430 && c <= 0x044F) return c - 0x20;
    if (c >= 0x0450 && c <= 0x045F) return c - 0x50;
    if ((c >= 0x0460 && c <= 0x0481) || (c >= 0x048A && c <= 0x04BF) || (c >= 0x04D0 && c <= 0x04FF))
        return capitalFirstInPair(c, 0x0460) ? c : c - 1;
    if (c >= 0x04C1 && c <= 0x04CE) return capitalFirstInPair(c, 0x04C1) ? c : c - 1;
    if (c == 0x04CF) return 0x04C0;
    return c;
}

char32_t toLower(char32_t c) {
    if (c < 0x80) return (c >= 'A' && c <= 'Z') ? c + 0x20 : c;
    // Latin-1 supplement
    if ((c >= 0xC0 && c <= 0xDE) && c != 0xD7) return c + 0x20;   // not the multiplication sign
    // Latin Extended-A
    if (c == 0x0130) return 'i';   // capital I with dot above
    if (c == 0x0178) return 0xFF;
    if ((c >= 0x0100 && c <= 0x012F) || (c >= 0x0132 && c <= 0x0137) || (c >= 0x014A && c <= 0x0177))
        return capitalFirstInPair(c, 0x0100) ? c + 1 : c;
    if ((c >= 0x0139 && c <= 0x0148) || (c >= 0x0179 && c <= 0x017E))
        return capitalFirstInPair(c, 0x0139) ? c + 1 : c;
    // Greek
    if (c >= 0x0391 && c <= 0x03AB && c != 0x03A2) return c + 0x20;   // 0x03A2 is unassigned
    if (c == 0x0386) return 0x03AC;
    if (c >= 0x0388 && c <= 0x038A) return c + 0x25;
    if (c == 0x038C) return 0x03CC;
    if (c == 0x038E || c == 0x038F) return c + 0x3F;
    if (c >= 0x03D8 && c <= 0x03EF) return capitalFirstInPair(c, 0x03D8) ? c + 1 : c;
    // Cyrillic
    if (c >= 0x0410 && c <= 0x042F) return c + 0x20;
    if (c >= 0x0400 && c <= 0x040F) return c + 0x50;
    if ((c >= 0x0460 && c <= 0x0481) || (c >= 0x048A && c <= 0x04BF) || (c >= 0x04D0 && c <= 0x04FF))
        return capitalFirstInPair(c, 0x0460) ? c + 1 : c;
    if (c >= 0x04C1 && c <= 0x04CE) return capitalFirstInPair(c, 0x04C1) ? c + 1 : c;
    if (c == 0x04C0) return 0x04CF;
    return c;
}

template <typename Map>
std::string mapText(std::string_view utf8, Map map) {
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t at = 0; at < utf8.size();) encodeUtf8(map(decodeUtf8(utf8, at)), out);
    return out;
}

bool isSpace(char c) { return c == ' ' || c == '\t'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

}   // namespace

// --- Unicode conversion ----------------------------------------------------------------------------
std::u16string utf8ToUtf16(std::string_view utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    for (std::size_t at = 0; at < utf8.size();) {
        const char32_t c = decodeUtf8(utf8, at);
        if (c < 0x10000) {
            out += static_cast<char16_t>(c);
        } else {
            out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        }
    }
    return out;
}

std::string utf16ToUtf8(std::u16string_view utf16) {
    std::string out;
    out.reserve(utf16.size());
    for (std::size_t at = 0; at < utf16.size(); ++at) {
        const char16_t unit = utf16[at];
        char32_t c = unit;
        if (isHighSurrogate(unit) && at + 1 < utf16.size() && isLowSurrogate(utf16[at + 1])) {
            c = 0x10000 + ((char32_t{unit} - 0xD800) << 10) + (char32_t{utf16[++at]} - 0xDC00);
        } else if (isHighSurrogate(unit) || isLowSurrogate(unit)) {
            c = kReplacement;   // a surrogate without its partner
        }
        encodeUtf8(c, out);
    }
    return out;
}

std::string visibleText(std::string_view utf8) {
    constexpr char kDigits[] = "0123456789abcdef";
    std::string shown;
    shown.reserve(utf8.size());
    const auto escape = [&](std::string_view mark, unsigned value) {
        shown += mark;
        shown += kDigits[value >> 4];
        shown += kDigits[value & 0x0F];
    };
    for (std::size_t at = 0; at < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[at]);
        if (lead >= 0x20 && lead < 0x7F) {
            shown += utf8[at++];
            continue;
        }
        const std::size_t start = at;
        const char32_t c = decodeUtf8(utf8, at);
        const std::string_view bytes = utf8.substr(start, at - start);
        if (c < 0x20 || c == 0x7F) {
            escape("\\x", lead);
        } else if (c <= 0x9F) {   // C1, read by some terminals as ESC and a letter
            escape("\\u00", static_cast<unsigned>(c));
        } else if (c == kReplacement && bytes != "\xEF\xBF\xBD") {   // bytes that are not UTF-8, each shown
            for (const char byte : bytes) escape("\\x", static_cast<unsigned char>(byte));
        } else {
            shown += bytes;
        }
    }
    return shown;
}

std::string shortenedInput(std::string_view utf8) { return cutInput(utf8, ""); }

std::string shownPath(std::string_view path) {
    return path.size() < PATH_MAX ? std::string(path) : shortenedInput(path);
}

std::string quotedInput(std::string_view utf8, char quote) {
    return cutInput(utf8, std::string_view(&quote, 1));
}

// Decoded rather than compared bytewise, so malformed bytes sort as the U+FFFD they stand for.
int compareText(std::string_view a, std::string_view b) {
    std::size_t atA = 0, atB = 0;
    while (atA < a.size() && atB < b.size()) {
        const char32_t ca = decodeUtf8(a, atA);
        const char32_t cb = decodeUtf8(b, atB);
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    if (atA < a.size()) return 1;
    if (atB < b.size()) return -1;
    return 0;
}

std::string toUpperText(std::string_view utf8) { return mapText(utf8, toUpper); }
std::string toLowerText(std::string_view utf8) { return mapText(utf8, toLower); }

// --- Number formats --------------------------------------------------------------------------------
// Every format writes the plain number in its working unit, without the unit's name, in the shortest
// text that reads back as the same double.
std::string formatReal(double value, int /*formatCode*/) {
    char buffer[64];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
    if (error != std::errc()) return "0";   // cannot happen: 64 bytes hold any double
    return std::string(buffer, end);
}

bool parseReal(std::string_view text, int /*formatCode*/, double& value) {
    value = 0;
    std::size_t begin = 0, end = text.size();
    while (begin < end && isSpace(text[begin])) ++begin;
    while (end > begin && isSpace(text[end - 1])) --end;
    bool negative = false;
    if (begin < end && (text[begin] == '+' || text[begin] == '-')) negative = text[begin++] == '-';
    // A digit or a point must follow: refuses "inf", "nan" and a second sign, which from_chars takes.
    if (begin == end || !(isDigit(text[begin]) || text[begin] == '.')) return false;
    double parsed = 0;
    const char* const last = text.data() + end;
    const auto [stop, error] = std::from_chars(text.data() + begin, last, parsed);
    if (error != std::errc() || stop != last || !std::isfinite(parsed)) return false;
    value = negative ? -parsed : parsed;
    return true;
}

}   // namespace host
