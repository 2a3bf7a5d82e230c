#include "Foundation/String.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <ostream>
#include <string>
#include <system_error>

#include <HostText.h>

namespace tarnwick {
namespace {

bool isContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// Bytes of the UTF-8 sequence that starts with this byte (1 for a stray byte: it is skipped alone).
std::uint32_t sequenceLength(unsigned char lead) {
    if (lead < 0xC0) return 1;
    if (lead < 0xE0) return 2;
    if (lead < 0xF0) return 3;
    return 4;
}

// The code point at p (valid UTF-8 assumed, as every String holds); p moves past it.
char32_t decode(const char*& p) {
    const auto lead = static_cast<unsigned char>(*p++);
    if (lead < 0x80) return lead;
    const std::uint32_t length = sequenceLength(lead);
    char32_t c = lead & (0x7F >> length);
    for (std::uint32_t i = 1; i < length; ++i) c = (c << 6) | (static_cast<unsigned char>(*p++) & 0x3F);
    return c;
}

// Strict check: shortest forms only, no surrogates, nothing above U+10FFFF, no NUL inside.
bool isValidUtf8(std::string_view bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const auto* const end = p + bytes.size();
    while (p < end) {
        // Most text is ASCII: eight bytes at a time until one has its top bit set.
        constexpr std::uint64_t kTopBits = 0x8080808080808080u;
        std::uint64_t eight;
        while (end - p >= 8 && (std::memcpy(&eight, p, 8), (eight & kTopBits) == 0)) p += 8;
        if (p == end) break;
        const unsigned char lead = *p;
        if (lead < 0x80) {
            ++p;
            continue;
        }
        std::uint32_t length;
        char32_t c;
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2, c = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3, c = lead & 0x0F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4, c = lead & 0x07;
        } else {
            return false;
        }
        if (static_cast<std::size_t>(end - p) < length) return false;
        for (std::uint32_t i = 1; i < length; ++i) {
            if (!isContinuation(p[i])) return false;
            c = (c << 6) | (p[i] & 0x3F);
        }
        if ((length == 3 && (c < 0x800 || (c >= 0xD800 && c <= 0xDFFF))) ||
            (length == 4 && (c < 0x10000 || c > 0x10FFFF)))
            return false;
        p += length;
    }
    return true;
}

// Are all bytes ASCII other than NUL (0x01-0x7F)? Such text needs neither a check of its sequences nor
// a cut at a NUL. Eight bytes at a time: a byte outside the range sets its top bit in (b - 1) | b, and a
// borrow into the next byte comes only from a 0 already caught. A text of eight bytes or more ends with
// the eight bytes before its end, which may overlap the last round.
bool isPlainAscii(std::string_view bytes) {
    constexpr std::uint64_t kOnes = 0x0101010101010101u;
    constexpr std::uint64_t kTopBits = 0x8080808080808080u;
    const auto outside = [](const char* p) {
        std::uint64_t eight;
        std::memcpy(&eight, p, 8);
        return (((eight - kOnes) | eight) & kTopBits) != 0;
    };
    const char* p = bytes.data();
    const char* const end = p + bytes.size();
    if (bytes.size() < 8) {
        for (; p != end; ++p) {
            if (static_cast<unsigned char>(*p - 1) >= 0x7F) return false;
        }
        return true;
    }
    for (; end - p > 8; p += 8) {
        if (outside(p)) return false;
    }
    return !outside(end - 8);
}

// Valid UTF-8 as it stands; anything else through the host's conversion, which marks bad bytes U+FFFD.
std::string_view sanitized(std::string_view bytes, std::string& storage) {
    if (isValidUtf8(bytes)) return bytes;
    storage = host::utf16ToUtf8(host::utf8ToUtf16(bytes));
    return storage;
}

std::string latin1ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() * 2);
    for (const char byte : bytes) {
        const auto c = static_cast<unsigned char>(byte);
        if (c < 0x80) {
            out += byte;
        } else {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

// Byte offset of character index within bytes (bytes.size() when past the end).
std::size_t offsetOf(std::string_view bytes, std::uint32_t index) {
    std::size_t at = 0;
    for (; index > 0 && at < bytes.size(); --index) {
        at += sequenceLength(static_cast<unsigned char>(bytes[at]));
    }
    return std::min(at, bytes.size());
}

std::uint32_t countCharacters(std::string_view bytes) {
    std::uint32_t count = 0;
    for (const char byte : bytes) count += !isContinuation(static_cast<unsigned char>(byte));
    return count;
}

// The characters of a set: ASCII in a table (the usual case), the rest in a short list.
class CharacterSet {
public:
    explicit CharacterSet(std::string_view set) {
        const char* p = set.data();
        const char* const end = p + set.size();
        while (p < end) {
            const char32_t c = decode(p);
            if (c < 128) {
                ascii_[c] = true;
            } else {
                others_.push_back(c);
            }
        }
    }
    bool contains(char32_t c) const {
        if (c < 128) return ascii_[c];
        return std::find(others_.begin(), others_.end(), c) != others_.end();
    }

private:
    bool ascii_[128] = {};
    std::u32string others_;
};

// The first character at or after start whose membership in set equals wanted.
std::uint32_t findFirst(std::string_view text, const String& set, std::uint32_t start, bool wanted) {
    const CharacterSet characters(set.getView());
    const char* p = text.data() + offsetOf(text, start);
    const char* const end = text.data() + text.size();
    for (std::uint32_t index = start; p < end; ++index) {
        if (characters.contains(decode(p)) == wanted) return index;
    }
    return String::npos;
}

// The last character at or before start (npos: the last one) whose membership in set equals wanted.
std::uint32_t findLast(std::string_view text, const String& set, std::uint32_t start, bool wanted) {
    const CharacterSet characters(set.getView());
    const char* p = text.data();
    const char* const end = p + text.size();
    std::uint32_t found = String::npos;
    for (std::uint32_t index = 0; p < end && index <= start; ++index) {
        if (characters.contains(decode(p)) == wanted) found = index;
    }
    return found;
}

bool isLineBreak(char c) { return c == '\r' || c == '\n'; }

bool isZero(double value) { return std::fpclassify(value) == FP_ZERO; }

// Decimals in the shortest text of step ("0.25" has 2, "5" and "1e+20" none, "1e-07" has 7).
int decimalsOf(double step) {
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, std::abs(step));
    const std::string_view digits(text, static_cast<std::size_t>(result.ptr - text));
    int decimals = 0;
    std::string_view mantissa = digits;
    if (const auto e = digits.find('e'); e != std::string_view::npos) {
        int exponent = 0;
        std::from_chars(digits.data() + e + 1 + (digits[e + 1] == '+'), digits.data() + digits.size(),
                        exponent);
        decimals = -exponent;
        mantissa = digits.substr(0, e);
    }
    if (const auto point = mantissa.find('.'); point != std::string_view::npos) {
        decimals += static_cast<int>(mantissa.size() - point - 1);
    }
    return std::max(decimals, 0);
}

std::string realText(double value, double step) {
    char text[1024];   // fixed notation of the largest doubles with the most decimals
    value += 0.0;      // -0 prints as 0
    if (isZero(step) || !std::isfinite(value) || !std::isfinite(step)) {
        const auto result = std::to_chars(text, text + sizeof text, value);
        return std::string(text, result.ptr);
    }
    const double rounded = std::floor(value / step + 0.5) * step + 0.0;
    const int decimals = decimalsOf(step);
    // Shortest round-trip text, unless that shows more decimals than the step has (1.3000000000000003).
    const auto shortest = std::to_chars(text, text + sizeof text, rounded);
    std::string out(text, shortest.ptr);
    const auto e = out.find('e');
    const auto point = out.find('.');
    const int shown = e != std::string::npos       ? std::numeric_limits<int>::max()
                      : point == std::string::npos ? 0
                                                   : static_cast<int>(out.size() - point - 1);
    if (shown <= decimals) return out;
    const auto fixed = std::to_chars(text, text + sizeof text, rounded, std::chars_format::fixed, decimals);
    out.assign(text, fixed.ptr);
    if (out.find('.') != std::string::npos) {   // "1.30" -> "1.3", "2.00" -> "2"
        out.erase(out.find_last_not_of('0') + 1);
        if (out.back() == '.') out.pop_back();
    }
    if (out == "-0") out = "0";
    return out;
}

template <typename Integer>
std::string decimalText(Integer value) {
    char text[24];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

// The text without surrounding blanks (space, tab, CR, LF).
std::string_view withoutBlanks(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

template <typename Number>
bool parseNumber(const String& text, Number& value, bool allowMinus) {
    value = 0;
    std::string_view digits = withoutBlanks(text.getView());
    const bool plus = !digits.empty() && digits.front() == '+';
    if (plus) digits.remove_prefix(1);   // from_chars refuses '+'
    if (digits.empty() || digits.front() == '+' || (digits.front() == '-' && (plus || !allowMinus)))
        return false;
    Number parsed{};
    const auto result = std::from_chars(digits.data(), digits.data() + digits.size(), parsed);
    if (result.ec != std::errc() || result.ptr != digits.data() + digits.size()) return false;
    value = parsed;
    return true;
}

}   // namespace

// --- Construction ------------------------------------------------------------------------------
String::String(const char* utf8) {
    if (utf8) String::assign(utf8, npos, kUtf8);
}

String::String(std::string_view utf8) {
    String::assign(utf8.data(), static_cast<std::uint32_t>(utf8.size()), kUtf8);
}

String::String(const char* bytes, std::uint32_t length, std::int32_t charset) {
    String::assign(bytes, length, charset);
}

String::String(const char16_t* chars, std::uint32_t count) {
    if (!chars) return;
    std::size_t units = 0;
    if (count == npos) {
        while (chars[units] != 0) ++units;
    } else {
        units = count;
    }
    std::u16string_view text(chars, units);
    text = text.substr(0, text.find(u'\0'));   // a 0 ends the text as it would any host text
    setBytes(host::utf16ToUtf8(text));
}

String::String(std::u16string_view text, std::uint32_t maxLength) {
    text = text.substr(0, text.find(u'\0'));
    const std::string utf8 = host::utf16ToUtf8(text);
    setBytes(std::string_view(utf8).substr(0, offsetOf(utf8, maxLength)));
}

String::String(std::int16_t value) { setBytes(decimalText(value)); }
String::String(std::int32_t value) { setBytes(decimalText(value)); }
String::String(std::int64_t value) { setBytes(decimalText(value)); }
String::String(std::uint32_t value) { setBytes(decimalText(value)); }
String::String(std::uint64_t value) { setBytes(decimalText(value)); }
String::String(double value, double step) { setBytes(realText(value, step)); }

String::String(std::uint32_t count, char character) {
    if (count == 0 || static_cast<unsigned char>(character) >= 0x80 || character == '\0') return;
    reserveBytes(count);
    std::memset(data(), character, count);
    bytes_ = count;
    data()[bytes_] = '\0';
}

String::String(const String& other) { setBytes(other.getView()); }

String::String(String&& other) noexcept { takeFrom(other); }

String& String::operator=(const String& other) {
    if (this != &other) setBytes(other.getView());
    return *this;
}

String& String::operator=(String&& other) noexcept {
    if (this != &other) {
        freeHeap();
        takeFrom(other);
    }
    return *this;
}

String& String::operator=(const char* utf8) {
    String copy(utf8);   // utf8 may point into this String
    return *this = std::move(copy);
}

// --- Virtual operations ------------------------------------------------------------------------
std::unique_ptr<String> String::clone() const { return std::make_unique<String>(*this); }

void String::setLength(std::uint32_t characters) {
    const std::size_t cut = offsetOf(getView(), characters);
    if (cut >= bytes_) return;
    if (cut == 0) return clear();
    bytes_ = static_cast<std::uint32_t>(cut);
    data()[bytes_] = '\0';
}

void String::assign(const char* bytes, std::uint32_t length, std::int32_t charset) {
    if (!bytes) return clear();
    std::string_view view = length == npos ? std::string_view(bytes) : std::string_view(bytes, length);
    if (isPlainAscii(view)) return setBytes(view);   // the same in every charset
    view = view.substr(0, view.find('\0'));
    std::string storage;
    if (charset == kUtf8) {
        setBytes(sanitized(view, storage));
    } else {
        storage = latin1ToUtf8(view);
        setBytes(storage);
    }
}

void String::clear() { freeHeap(); }

void String::replace(std::uint32_t position, std::uint32_t count, const String& source,
                     std::uint32_t sourceStart, std::uint32_t sourceCount) {
    const std::string_view from = source.getView();
    const std::size_t pieceBegin = offsetOf(from, sourceStart);
    const std::size_t pieceEnd =
        sourceCount == npos ? from.size() : pieceBegin + offsetOf(from.substr(pieceBegin), sourceCount);
    const std::string_view piece = from.substr(pieceBegin, pieceEnd - pieceBegin);
    const std::string_view text = getView();
    const std::size_t begin = offsetOf(text, position);
    const std::size_t end = count == npos ? text.size() : begin + offsetOf(text.substr(begin), count);
    std::string joined;   // built apart: source may be this String
    joined.reserve(text.size() - (end - begin) + piece.size());
    joined.append(text.substr(0, begin)).append(piece).append(text.substr(end));
    setBytes(joined);
}

// --- Access ------------------------------------------------------------------------------------
std::uint32_t String::getLength() const { return countCharacters(getView()); }

std::uint32_t String::getByteOffset(std::uint32_t index) const {
    return static_cast<std::uint32_t>(offsetOf(getView(), index));
}

std::uint32_t String::copyTo(char* buffer, std::uint32_t size) const {
    if (!buffer || size == 0) return 0;
    std::uint32_t n = std::min(bytes_, size - 1);
    const char* const text = getText();
    while (n > 0 && n < bytes_ && isContinuation(static_cast<unsigned char>(text[n]))) --n;
    if (n > 0) std::memcpy(buffer, text, n);
    buffer[n] = '\0';
    return n;
}

std::uint32_t String::copyToUniChars(char16_t* buffer, std::uint32_t size) const {
    if (!buffer || size == 0) return 0;
    const std::u16string text = toUniString();
    std::size_t n = std::min<std::size_t>(text.size(), size - 1);
    if (n > 0 && n < text.size() && text[n] >= 0xDC00 && text[n] <= 0xDFFF) --n;   // keep pairs whole
    std::copy_n(text.data(), n, buffer);
    buffer[n] = u'\0';
    return static_cast<std::uint32_t>(n);
}

std::u16string String::toUniString() const {
    return isEmpty() ? std::u16string() : host::utf8ToUtf16(getView());
}

// --- Comparison --------------------------------------------------------------------------------
int String::compare(const String& other) const { return compare(other.getView()); }

int String::compare(std::string_view utf8) const {
    if (isEmpty() || utf8.empty()) return utf8.empty() ? (isEmpty() ? 0 : 1) : -1;
    return host::compareText(getView(), utf8);
}

bool String::operator==(const char* utf8) const { return getView() == std::string_view(utf8 ? utf8 : ""); }

// --- Joining -----------------------------------------------------------------------------------
String& String::operator+=(const char* utf8) { return append(std::string_view(utf8 ? utf8 : "")); }

String& String::append(const String& other) {
    if (this == &other) {
        const String copy(other);
        return append(copy.getView());
    }
    return append(other.getView());
}

String& String::append(std::string_view utf8) {
    if (utf8.empty()) return *this;
    std::string storage;
    const std::string_view bytes =
        isPlainAscii(utf8) ? utf8 : sanitized(utf8.substr(0, utf8.find('\0')), storage);
    if (bytes.empty()) return *this;
    if (bytes.data() >= getText() && bytes.data() < getText() + bytes_) {   // a piece of ourselves
        const std::string copy(bytes);
        return append(copy);
    }
    const std::uint32_t total = bytes_ + static_cast<std::uint32_t>(bytes.size());
    if (total > capacity_) reserveBytes(std::max<std::uint32_t>(total, capacity_ + capacity_ / 2));
    std::memcpy(data() + bytes_, bytes.data(), bytes.size());
    bytes_ = total;
    data()[bytes_] = '\0';
    return *this;
}

String operator+(const String& a, const String& b) {
    String joined(a);
    joined += b;
    return joined;
}

// --- Searching ---------------------------------------------------------------------------------
std::uint32_t String::find(const String& text, std::uint32_t start) const {
    const std::string_view self = getView();
    const std::size_t from = offsetOf(self, start);
    if (start != 0 && from == self.size() && start > getLength()) return npos;   // start past the end
    const std::size_t found = self.find(text.getView(), from);
    return found == std::string_view::npos ? npos : indexOfByte(static_cast<std::uint32_t>(found));
}

std::uint32_t String::findFirstOf(const String& set, std::uint32_t start) const {
    return findFirst(getView(), set, start, true);
}

std::uint32_t String::findFirstNotOf(const String& set, std::uint32_t start) const {
    return findFirst(getView(), set, start, false);
}

std::uint32_t String::findLastOf(const String& set, std::uint32_t start) const {
    return findLast(getView(), set, start, true);
}

std::uint32_t String::findLastNotOf(const String& set, std::uint32_t start) const {
    return findLast(getView(), set, start, false);
}

bool String::findDelimited(std::uint32_t& position, std::uint32_t& end, const String& delimiters) const {
    const std::uint32_t open = findFirstOf(delimiters, position);
    if (open == npos) return false;
    const std::string_view text = getView();
    const std::size_t openByte = offsetOf(text, open);
    const std::size_t width = sequenceLength(static_cast<unsigned char>(text[openByte]));
    const std::size_t closeByte = text.find(text.substr(openByte, width), openByte + width);
    if (closeByte == std::string_view::npos) return false;
    position = open + 1;
    end = indexOfByte(static_cast<std::uint32_t>(closeByte));
    return true;
}

String::LineBreak String::findLineBreak(std::uint32_t start, std::uint32_t end) const {
    const std::string_view text = getView();
    const std::size_t stop = end == npos ? text.size() : offsetOf(text, end);
    std::size_t at = offsetOf(text, start);
    std::uint32_t index = start;
    while (at < stop && !isLineBreak(text[at])) {
        at += sequenceLength(static_cast<unsigned char>(text[at]));
        ++index;
    }
    LineBreak found;
    if (at >= stop) return found;
    found.at = index;
    const bool pair = at + 1 < stop && isLineBreak(text[at + 1]) && text[at + 1] != text[at];
    const std::size_t after = at + (pair ? 2 : 1);
    if (after < stop) found.next = index + (pair ? 2 : 1);
    return found;
}

std::uint32_t String::splitLines(std::uint32_t start, std::uint32_t end, std::vector<Line>& lines) const {
    const std::uint32_t length = getLength();
    const std::uint32_t stop = std::min(end, length);
    std::uint32_t added = 0;
    std::uint32_t lineStart = start;
    while (lineStart < stop) {
        const LineBreak found = findLineBreak(lineStart, stop);
        const std::uint32_t lineEnd = found.at == npos ? stop : found.at;
        lines.push_back({lineStart, lineEnd - lineStart});
        ++added;
        if (found.next == npos) break;   // no break, or the range ends with it
        lineStart = found.next;
    }
    return added;
}

// --- Changing and deriving ---------------------------------------------------------------------
String String::substring(std::uint32_t start, std::uint32_t count) const {
    const std::string_view text = getView();
    const std::size_t begin = offsetOf(text, start);
    const std::size_t end = count == npos ? text.size() : begin + offsetOf(text.substr(begin), count);
    String part;
    part.setBytes(text.substr(begin, end - begin));
    return part;
}

bool String::pad(std::uint32_t width, const String& fill) {
    const std::uint32_t length = getLength();
    if (length == width) return true;
    if (fill.isEmpty() || length > width) return false;
    const std::uint32_t fillLength = fill.getLength();
    const std::uint32_t repeats = (width - length + fillLength - 1) / fillLength;
    String padded;
    padded.reserveBytes(repeats * fill.getByteLength() + bytes_);
    for (std::uint32_t i = 0; i < repeats; ++i) padded.append(fill.getView());
    padded.append(getView());
    *this = padded.substring(padded.getLength() - width);
    return true;
}

std::uint32_t String::replaceAll(const String& text, const String& replacement) {
    if (text.isEmpty() || isEmpty()) return 0;
    const std::string_view self = getView();
    const std::string_view pattern = text.getView();
    std::string out;
    std::uint32_t replaced = 0;
    std::size_t from = 0;
    for (std::size_t at; (at = self.find(pattern, from)) != std::string_view::npos;
         from = at + pattern.size()) {
        out.append(self.substr(from, at - from)).append(replacement.getView());
        ++replaced;
    }
    if (replaced == 0) return 0;
    out.append(self.substr(from));
    setBytes(out);
    return replaced;
}

String& String::trim(const String& set, std::uint32_t ends) {
    const std::uint32_t first = (ends & kTrimLeading) ? findFirstNotOf(set) : 0;
    const std::uint32_t last = (ends & kTrimTrailing) ? findLastNotOf(set) : getLength() - 1;
    if (first == npos || last == npos || isEmpty()) {   // every character is in the set
        clear();
    } else {
        *this = substring(first, last - first + 1);
    }
    return *this;
}

String String::toUpper() const {
    return isEmpty() ? String() : String(std::string_view(host::toUpperText(getView())));
}

String String::toLower() const {
    return isEmpty() ? String() : String(std::string_view(host::toLowerText(getView())));
}

// --- Internals ---------------------------------------------------------------------------------
void String::setBytes(std::string_view utf8) {
    if (utf8.empty()) return clear();
    if (utf8.size() >= npos) utf8 = utf8.substr(0, offsetOf(utf8, npos - 4));   // 32-bit byte counts
    const auto size = static_cast<std::uint32_t>(utf8.size());
    // utf8 may lie in our own text: it is moved before an old block goes.
    if (size <= capacity_ && (isInline() || capacity_ <= 2 * size + 64)) {
        std::memmove(data(), utf8.data(), size);
    } else if (size <= kInlineBytes) {   // a far too large block gives way to the inline form
        char* const old = heap_;
        const std::uint32_t oldCapacity = capacity_;
        std::memcpy(inline_, utf8.data(), size);
        capacity_ = kInlineBytes;
        BlockPool::release(old, oldCapacity + std::size_t{1});
    } else {
        char* const block = static_cast<char*>(BlockPool::allocate(size + std::size_t{1}));
        std::memcpy(block, utf8.data(), size);
        if (!isInline()) BlockPool::release(heap_, capacity_ + std::size_t{1});
        heap_ = block;
        capacity_ = size;
    }
    bytes_ = size;
    data()[bytes_] = '\0';
}

void String::reserveBytes(std::uint32_t bytes) {
    if (bytes <= capacity_) return;
    if (isInline()) {
        char* const block = static_cast<char*>(BlockPool::allocate(bytes + std::size_t{1}));
        std::memcpy(block, inline_, bytes_ + 1);   // the text and its terminator
        heap_ = block;
    } else {   // a long text that keeps growing (a String sink) often grows in place
        heap_ = static_cast<char*>(
            BlockPool::reallocate(heap_, capacity_ + std::size_t{1}, bytes + std::size_t{1}));
    }
    capacity_ = bytes;
}

void String::freeHeap() {
    if (!isInline()) BlockPool::release(heap_, capacity_ + std::size_t{1});
    inline_[0] = '\0';
    bytes_ = 0;
    capacity_ = kInlineBytes;
}

void String::takeFrom(String& other) noexcept {
    if (other.isInline()) {
        std::memcpy(inline_, other.inline_, other.bytes_ + 1);
    } else {
        heap_ = other.heap_;
    }
    bytes_ = other.bytes_;
    capacity_ = other.capacity_;
    other.inline_[0] = '\0';
    other.bytes_ = 0;
    other.capacity_ = kInlineBytes;
}

std::uint32_t String::indexOfByte(std::uint32_t byteOffset) const {
    return countCharacters(getView().substr(0, byteOffset));
}

std::ostream& operator<<(std::ostream& out, const String& text) {
    if (!text.isEmpty()) out.write(text.getText(), static_cast<std::streamsize>(text.getByteLength()));
    return out;
}

// --- Numbers -----------------------------------------------------------------------------------
bool parseInt32(const String& text, std::int32_t& value) { return parseNumber(text, value, true); }

bool parseUInt32(const String& text, std::uint32_t& value) { return parseNumber(text, value, false); }

bool parseDouble(const String& text, double& value) {
    if (!parseNumber(text, value, true)) return false;
    if (!std::isfinite(value)) {   // "inf", "nan" are no measures
        value = 0;
        return false;
    }
    return true;
}

String formatReal(double value, int formatCode) {
    return String(std::string_view(host::formatReal(value, formatCode)));
}

bool parseReal(const String& text, int formatCode, double& value) {
    value = 0;
    double parsed = 0;
    if (!host::parseReal(text.getView(), formatCode, parsed)) return false;
    value = parsed;
    return true;
}

}   // namespace tarnwick
