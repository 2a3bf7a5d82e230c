// XMLByteClass: what each byte means to the XML reader and writer. One table load a byte lets the inner
// loops skip runs of ordinary bytes and stop only on the few that need a decision.
#pragma once

#include <array>
#include <cstdint>

namespace tarnwick {

class XMLByteClass {
public:
    enum : std::uint8_t {
        kSpace = 0x01,       // space, tab, LF, CR
        kNameStart = 0x02,   // may begin a name: letters, '_', ':' and every byte of a multi-byte character
        kName = 0x04,        // may continue a name: kNameStart, digits, '-', '.'
        kTextStop = 0x08,    // ends a run of plain text: '<', '&', CR, NUL, other control characters
        kAttributeStop = 0x10,     // ends a run of an attribute value: kTextStop, both quotes, tab, LF
        kEscapeText = 0x20,        // the writer must not copy it into text: '<', '&', '>', CR, controls
        kEscapeAttribute = 0x40,   // ... nor into a quoted attribute value: kEscapeText, '"', tab, LF
        kControl = 0x80,           // a control character XML cannot carry: 0x00-0x1F but tab, LF and CR
    };

    static constexpr bool is(char byte, std::uint8_t classes) {
        return (kTable[static_cast<std::uint8_t>(byte)] & classes) != 0;
    }

private:
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
    for (const char c : {'<', '&', '>', '\r'})
        add(static_cast<unsigned char>(c), kEscapeText | kEscapeAttribute);
    for (const char c : {'"', '\t', '\n'}) add(static_cast<unsigned char>(c), kEscapeAttribute);
    return table;
}

inline constexpr std::array<std::uint8_t, 256> XMLByteClass::kTable = XMLByteClass::build();

static_assert(XMLByteClass::is('<', XMLByteClass::kTextStop) &&
              !XMLByteClass::is('a', XMLByteClass::kTextStop));
static_assert(XMLByteClass::is('\0', XMLByteClass::kTextStop) &&
              XMLByteClass::is('\x7F', XMLByteClass::kName) == false);

}   // namespace tarnwick
