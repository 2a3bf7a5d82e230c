// String: the framework's owned, zero-terminated UTF-8 text. Positions and lengths count characters
// (Unicode code points), not bytes. Short texts live inside the object; only longer ones take a heap block.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "Foundation/BlockPool.h"

namespace tarnwick {

// Copyable and movable; derived text types (styled text, names) extend the virtual operations.
// The buffer always holds valid UTF-8: malformed input becomes U+FFFD on the way in.
// Every position or count is 32-bit; String::npos (all ones) means "not found" on output and
// "to the end" or "up to the terminator" on input.
class String {
public:
    static constexpr std::uint32_t npos = 0xFFFFFFFF;   // all ones: not found / to the end
    static constexpr std::int32_t kUtf8 = 99;           // character-set code of UTF-8 bytes
    // Any other character-set code reads the bytes as Latin-1 (ISO 8859-1): one character a byte.

    // Flags of trim: which end to strip.
    static constexpr std::uint32_t kTrimLeading = 1;
    static constexpr std::uint32_t kTrimTrailing = 2;
    static constexpr std::uint32_t kTrimBoth = kTrimLeading | kTrimTrailing;

    struct Line {   // one line of splitLines, in characters, without its line break
        std::uint32_t start = 0;
        std::uint32_t length = 0;
    };
    struct LineBreak {               // result of findLineBreak
        std::uint32_t at = npos;     // first CR or LF; npos when the range holds none
        std::uint32_t next = npos;   // just after the break (CR LF and LF CR count as one);
                                     // npos when there is no break or nothing follows it
    };

    // --- Construction ----------------------------------------------------------------------------
    String() = default;
    String(const char* utf8);   // NOLINT: implicit on purpose; null or "" gives an empty String
    explicit String(std::string_view utf8);
    // Bytes in a character set; length npos reads up to the terminator. A NUL byte ends the text.
    String(const char* bytes, std::uint32_t length, std::int32_t charset = kUtf8);
    String(const char16_t* chars, std::uint32_t count);   // 16-bit units; count npos: up to the 0
    // Host Unicode text, cut to at most maxLength characters.
    explicit String(std::u16string_view text, std::uint32_t maxLength = npos);
    explicit String(std::int16_t value);    // decimal text
    explicit String(std::int32_t value);    // decimal text
    explicit String(std::int64_t value);    // decimal text
    explicit String(std::uint32_t value);   // decimal text
    explicit String(std::uint64_t value);   // decimal text
    // The value rounded to the nearest multiple of step (none when step is 0), written as the shortest
    // text that reads back as the rounded value, with no more decimals than the step has.
    String(double value, double step);
    String(std::uint32_t count, char character);   // count copies of an ASCII character

    String(const String& other);
    String(String&& other) noexcept;
    String& operator=(const String& other);
    String& operator=(String&& other) noexcept;
    String& operator=(const char* utf8);
    virtual ~String() {
        if (!isInline()) BlockPool::release(heap_, capacity_ + std::size_t{1});
    }

    // --- Virtual operations ----------------------------------------------------------------------
    virtual std::unique_ptr<String> clone() const;      // a new String of the same kind and text
    virtual void setLength(std::uint32_t characters);   // cuts to that many; a longer length: no change
    virtual void assign(const char* bytes, std::uint32_t length = npos, std::int32_t charset = kUtf8);
    virtual void clear();   // empty; frees a heap block
    // Replaces count characters at position by source's characters (sourceStart, sourceCount);
    // a position of npos or past the end appends; counts are cut to the texts' ends.
    virtual void replace(std::uint32_t position, std::uint32_t count, const String& source,
                         std::uint32_t sourceStart = 0, std::uint32_t sourceCount = npos);

    // --- Access ----------------------------------------------------------------------------------
    const char* getText() const { return isInline() ? inline_ : heap_; }   // never null
    std::string_view getView() const { return {getText(), bytes_}; }
    std::uint32_t getByteLength() const { return bytes_; }    // UTF-8 bytes, without the terminator
    bool isEmpty() const { return bytes_ == 0; }              // an empty String holds no heap block
    std::uint32_t getLength() const;                          // characters
    std::uint32_t getByteOffset(std::uint32_t index) const;   // past the end: the byte length

    // Copies cut to fit and always terminated; size 0 writes nothing. Returns the units written
    // without the terminator. A UTF-8 character or a surrogate pair is never split.
    std::uint32_t copyTo(char* buffer, std::uint32_t size) const;               // size in bytes
    std::uint32_t copyToUniChars(char16_t* buffer, std::uint32_t size) const;   // size in 16-bit units
    std::u16string toUniString() const;

    // --- Comparison ------------------------------------------------------------------------------
    // Three-way (< 0, 0, > 0) by code point through the host's text comparison, which for UTF-8 is
    // byte order; an empty text sorts first and equals another empty one. Exact and case-sensitive.
    int compare(const String& other) const;
    int compare(std::string_view utf8) const;
    bool operator<(const String& other) const { return compare(other) < 0; }
    bool operator==(const String& other) const { return getView() == other.getView(); }
    bool operator==(const char* utf8) const;   // null counts as empty; != follows from ==

    // --- Joining ---------------------------------------------------------------------------------
    String& operator+=(const String& other) { return append(other); }
    String& operator+=(const char* utf8);
    String& append(const String& other);
    String& append(std::string_view utf8);   // must be valid UTF-8 (malformed bytes become U+FFFD)

    // --- Searching (results are character indexes, npos when not found) --------------------------
    std::uint32_t find(const String& text, std::uint32_t start = 0) const;   // empty text: start
    std::uint32_t findFirstOf(const String& set, std::uint32_t start = 0) const;
    std::uint32_t findFirstNotOf(const String& set, std::uint32_t start = 0) const;
    std::uint32_t findLastOf(const String& set, std::uint32_t start = npos) const;      // at or before start
    std::uint32_t findLastNotOf(const String& set, std::uint32_t start = npos) const;   // at or before start
    // From position, the next character of delimiters and the next occurrence of that same character
    // after it. On success position is just after the opening one and end is the closing one's index;
    // false (both unchanged) when either is missing.
    bool findDelimited(std::uint32_t& position, std::uint32_t& end, const String& delimiters) const;
    // The first CR or LF in [start, end); end npos means the end of the text.
    LineBreak findLineBreak(std::uint32_t start = 0, std::uint32_t end = npos) const;
    // Appends one Line per line of [start, end) and returns how many. A break at the very end of the
    // range does not start another line; an empty range has no lines.
    std::uint32_t splitLines(std::uint32_t start, std::uint32_t end, std::vector<Line>& lines) const;

    // --- Changing and deriving -------------------------------------------------------------------
    String substring(std::uint32_t start, std::uint32_t count = npos) const;   // cut to the end
    // Left-pads with repeats of fill, keeping the last width characters. True and unchanged when the
    // length is already width; false and unchanged when fill is empty or the text is longer.
    bool pad(std::uint32_t width, const String& fill);
    std::uint32_t replaceAll(const String& text, const String& replacement);   // how many replaced
    String& trim(const String& set, std::uint32_t ends = kTrimBoth);   // strips runs of set's characters
    String toUpper() const;                                            // through the host's case conversion
    String toLower() const;
    // Room for that many bytes and a terminator, keeping the text: a text that then grows to them is not
    // moved again (a long text made piece by piece).
    void reserveBytes(std::uint32_t bytes);

private:
    // Texts of up to this many bytes need no heap block: names, numbers, short values and GUIDs in
    // their 38-byte text form, which most records hold, are then copied rather than allocated. With the
    // vtable pointer and the two counts a String is 56 bytes.
    static constexpr std::uint32_t kInlineBytes = 39;

    bool isInline() const { return capacity_ <= kInlineBytes; }
    char* data() { return isInline() ? inline_ : heap_; }
    void setBytes(std::string_view utf8);    // exactly these (valid UTF-8) bytes
    void freeHeap();                         // back to the empty inline form
    void takeFrom(String& other) noexcept;   // other's text, leaving other empty; this holds no heap block
    std::uint32_t indexOfByte(std::uint32_t byteOffset) const;   // characters before that byte

    // The text and its terminator: inside the object while capacity_ is kInlineBytes, else in a
    // BlockPool block of capacity_ + 1 bytes owned through heap_ (a union member cannot be a unique_ptr).
    union {
        char inline_[kInlineBytes + 1] = {};
        char* heap_;
    };
    std::uint32_t bytes_ = 0;
    std::uint32_t capacity_ = kInlineBytes;   // bytes the buffer holds before its terminator slot
};

String operator+(const String& a, const String& b);

std::ostream& operator<<(std::ostream& out, const String& text);   // writes nothing for an empty text

// --- Numbers ------------------------------------------------------------------------------------
// Decimal texts with an optional sign ('-' only for signed), surrounded by blanks at most. Each gives
// false and a value of 0 on an empty text, trailing junk or overflow.
bool parseInt32(const String& text, std::int32_t& value);
bool parseUInt32(const String& text, std::uint32_t& value);
bool parseDouble(const String& text, double& value);   // finite values only; decimal point '.'

// Through the host's user-interface number formatting (host::NumberFormat codes; 3 area, 4 angle).
String formatReal(double value, int formatCode);
bool parseReal(const String& text, int formatCode, double& value);   // false and 0 when not a number

}   // namespace tarnwick
