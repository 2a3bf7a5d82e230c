// XMLByteClass: what each byte means to the XML reader and writer. One table load a byte lets the inner
// loops skip runs of ordinary bytes and stop only on the few that need a decision; long runs are skipped
// eight bytes at a time, and the table decides on the byte where that stops.
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace tarnwick {

class XMLByteClass {
public:
    enum : std::uint8_t {
        kSpace = 0x01,       // space, tab, LF, CR
        kNameStart = 0x02,   // may begin a name: letters, '_', ':' and every byte of a multi-byte character
        kName = 0x04,        // may continue a name: kNameStart, digits, '-', '.'
        kTextStop = 0x08,    // ends a run of plain text: '<', '&', CR, NUL, other control characters,
                             // 0xEF (the lead byte of U+FFFE and U+FFFF)
        kAttributeStop = 0x10,     // ends a run of an attribute value: kTextStop, both quotes, tab, LF
        kEscapeText = 0x20,        // the writer must not copy it into text: '<', '&', '>', both quotes,
                                   // CR, controls, 0xEF (the lead byte of U+FFFE and U+FFFF)
        kEscapeAttribute = 0x40,   // ... nor into a quoted attribute value: kEscapeText, tab, LF
        kControl = 0x80,           // a control character XML cannot carry: 0x00-0x1F but tab, LF and CR
    };

    static constexpr bool is(char byte, std::uint8_t classes) {
        return (kTable[static_cast<std::uint8_t>(byte)] & classes) != 0;
    }
    // Whether the character at p, whose lead byte is 0xEF, is U+FFFE or U+FFFF: UTF-8 carries them, XML
    // does not. (A String's text never holds a surrogate, the other code points XML leaves out.)
    static constexpr bool outsideXml(const char* p, const char* end) {
        return end - p >= 3 && static_cast<unsigned char>(p[1]) == 0xBF &&
               static_cast<unsigned char>(p[2]) >= 0xBE;
    }

    // The first byte of the class stop at or after p, where listed are the bytes of stop that are not
    // control bytes (0x00-0x1F). Eight bytes a time: every control byte and the listed ones stop the
    // word scan, and the table decides on the one found (tab and LF may not be of the class). The text
    // must hold a byte of the class (a '\0' sentinel) with eight readable bytes from any earlier one.
    template <std::uint8_t stop, char... listed>
    static char* findInText(char* p) {
        if constexpr (kEightAtOnce) {
            for (;;) {
                const std::uint64_t candidates = candidatesIn<listed...>(loadEight(p));
                if (!candidates) {
                    p += 8;
                    continue;
                }
                p += firstMarked(candidates);
                if (is(*p, stop)) return p;
                ++p;
            }
        }
        while (!is(*p, stop)) ++p;
        return p;
    }
    // The first byte at or after p that is byte or '\0', with eight readable bytes from every earlier one.
    static char* findByteOrNul(char* p, char byte) {
        if constexpr (kEightAtOnce) {
            for (;; p += 8) {
                const std::uint64_t eight = loadEight(p);
                if (const std::uint64_t found =
                        zeroBytes(eight) | zeroBytes(eight ^ (kOnes * static_cast<std::uint8_t>(byte))))
                    return p + firstMarked(found);
            }
        }
        while (*p != byte && *p != '\0') ++p;
        return p;
    }
    // The same as findInText in [p, end) with no sentinel: end when no byte there is of the class.
    template <std::uint8_t stop, char... listed>
    static const char* findInRun(const char* p, const char* end) {
        if constexpr (kEightAtOnce) {
            while (end - p >= 8) {
                const std::uint64_t candidates = candidatesIn<listed...>(loadEight(p));
                if (!candidates) {
                    p += 8;
                    continue;
                }
                p += firstMarked(candidates);
                if (is(*p, stop)) return p;
                ++p;
            }
        }
        while (p != end && !is(*p, stop)) ++p;
        return p;
    }

    // Do two runs of count bytes match? For names: shorter than a memcmp call costs for most, eight
    // bytes at a time, the last eight overlapping. Reads no byte outside either run.
    static bool sameBytes(const char* a, const char* b, std::size_t count) {
        if (count < 8) {
            for (std::size_t i = 0; i < count; ++i) {
                if (a[i] != b[i]) return false;
            }
            return true;
        }
        const auto differ = [](const char* x, const char* y) {
            std::uint64_t first, second;
            std::memcpy(&first, x, 8);
            std::memcpy(&second, y, 8);
            return first != second;
        };
        for (std::size_t i = 0; i + 8 < count; i += 8) {
            if (differ(a + i, b + i)) return false;
        }
        return !differ(a + count - 8, b + count - 8);
    }

private:
    // Each mask marks bytes by their top bit. Only the lowest marked byte is sure, as a borrow may mark
    // bytes above it; the scans look at that one alone.
    static constexpr std::uint64_t kOnes = 0x0101010101010101u;
    static constexpr std::uint64_t kTopBits = 0x8080808080808080u;
    static constexpr bool kEightAtOnce = std::endian::native == std::endian::little;

    static std::uint64_t loadEight(const char* p) {
        std::uint64_t eight;
        std::memcpy(&eight, p, sizeof eight);
        return eight;
    }
    static constexpr std::uint64_t zeroBytes(std::uint64_t eight) {
        return (eight - kOnes) & ~eight & kTopBits;
    }
    static constexpr std::uint64_t controlBytes(std::uint64_t eight) {   // below 0x20
        return (eight - kOnes * 0x20) & ~eight & kTopBits;
    }
    template <char... listed>
    static constexpr std::uint64_t candidatesIn(std::uint64_t eight) {
        return (controlBytes(eight) | ... | zeroBytes(eight ^ (kOnes * static_cast<std::uint8_t>(listed))));
    }
    static std::size_t firstMarked(std::uint64_t marks) {   // little-endian: the lowest byte comes first
        return static_cast<std::size_t>(std::countr_zero(marks)) / 8;
    }

    static constexpr std::array<std::uint8_t, 256> build();
    static const std::array<std::uint8_t, 256> kTable;
};

constexpr std::array<std::uint8_t, 256> XMLByteClass::build() {
    std::array<std::uint8_t, 256> table{};
    auto add = [&table](unsigned byte, std::uint8_t classes) {
        table[byte] = static_cast<std::uint8_t>(table[byte] | classes);
    };
    for (unsigned c = 0; c < 0x20; ++c) {
        if (c != '\t' && c != '\n' && c != '\r')
            add(c, kControl | kTextStop | kAttributeStop | kEscapeText | kEscapeAttribute);
    }
    for (const char c : {' ', '\t', '\n', '\r'}) add(static_cast<unsigned char>(c), kSpace);
    for (unsigned c = 'A'; c <= 'Z'; ++c) add(c, kNameStart | kName);
    for (unsigned c = 'a'; c <= 'z'; ++c) add(c, kNameStart | kName);
    for (unsigned c = 0x80; c < 0x100; ++c) add(c, kNameStart | kName);
    for (const char c : {'_', ':'}) add(static_cast<unsigned char>(c), kNameStart | kName);
    for (unsigned c = '0'; c <= '9'; ++c) add(c, kName);
    for (const char c : {'-', '.'}) add(static_cast<unsigned char>(c), kName);
    for (const char c : {'<', '&', '\r'}) add(static_cast<unsigned char>(c), kTextStop | kAttributeStop);
    for (const char c : {'"', '\'', '\t', '\n'}) add(static_cast<unsigned char>(c), kAttributeStop);
    for (const char c : {'<', '&', '>', '"', '\'', '\r'})
        add(static_cast<unsigned char>(c), kEscapeText | kEscapeAttribute);
    for (const char c : {'\t', '\n'}) add(static_cast<unsigned char>(c), kEscapeAttribute);
    add(0xEF, kTextStop | kAttributeStop | kEscapeText | kEscapeAttribute);
    return table;
}

inline constexpr std::array<std::uint8_t, 256> XMLByteClass::kTable = XMLByteClass::build();

static_assert(XMLByteClass::is('<', XMLByteClass::kTextStop) &&
              !XMLByteClass::is('a', XMLByteClass::kTextStop));
static_assert(XMLByteClass::is('\0', XMLByteClass::kTextStop) &&
              XMLByteClass::is('\x7F', XMLByteClass::kName) == false);

}   // namespace tarnwick
