// Four-character codes: the 32-bit identifiers that the host and the add-on store and compare
// ('MDAT', 'HOST', 'PRJT'). The first character is the most significant byte, so 'MDAT' is
// 0x4D444154 on every platform and compiler; multi-character literals are not used for them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace host {

constexpr std::uint32_t fourcc(const char (&code)[5]) {
    return (std::uint32_t(static_cast<unsigned char>(code[0])) << 24) |
           (std::uint32_t(static_cast<unsigned char>(code[1])) << 16) |
           (std::uint32_t(static_cast<unsigned char>(code[2])) << 8) |
           std::uint32_t(static_cast<unsigned char>(code[3]));
}

// Text of exactly four characters (a script or a file) to its code; nullopt for any other length.
constexpr std::optional<std::uint32_t> fourccFromText(std::string_view text) {
    if (text.size() != 4) return std::nullopt;
    std::uint32_t code = 0;
    for (char c : text) code = (code << 8) | static_cast<unsigned char>(c);
    return code;
}

// The code as its four characters, for messages; a byte outside printable ASCII is written as \xNN.
inline std::string fourccText(std::uint32_t code) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8) {
        const auto byte = static_cast<unsigned char>(code >> shift);
        if (byte >= 0x20 && byte < 0x7F) {
            text += static_cast<char>(byte);
        } else {
            text += "\\x";
            text += kHex[byte >> 4];
            text += kHex[byte & 0xF];
        }
    }
    return text;
}

}   // namespace host
