#include "ByteText.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace host {
namespace {

constexpr char kBase64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

}   // namespace

bool plainUtf8(std::span<const unsigned char> bytes) {
    std::size_t i = 0;
    while (i < bytes.size()) {
        const unsigned char c = bytes[i];
        int more = 0;
        std::uint32_t code = 0;
        if (c == 0) return false;
        if (c < 0x80) {
            ++i;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            more = 1, code = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            more = 2, code = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            more = 3, code = c & 0x07;
        } else {
            return false;
        }
        if (i + static_cast<std::size_t>(more) >= bytes.size()) return false;   // cut short
        for (int k = 1; k <= more; ++k) {
            if ((bytes[i + k] & 0xC0) != 0x80) return false;
            code = (code << 6) | (bytes[i + k] & 0x3F);
        }
        // Overlong forms, surrogates and values past U+10FFFF would not come back byte for byte.
        static constexpr std::uint32_t kLowest[] = {0, 0x80, 0x800, 0x10000};
        if (code < kLowest[more] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
        i += static_cast<std::size_t>(more) + 1;
    }
    return true;
}

std::string toBase64(const std::vector<unsigned char>& bytes) {
    std::string out;
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        const std::uint32_t n = (std::uint32_t(bytes[i]) << 16) |
                                (i + 1 < bytes.size() ? std::uint32_t(bytes[i + 1]) << 8 : 0) |
                                (i + 2 < bytes.size() ? std::uint32_t(bytes[i + 2]) : 0);
        out += kBase64[(n >> 18) & 63];
        out += kBase64[(n >> 12) & 63];
        out += i + 1 < bytes.size() ? kBase64[(n >> 6) & 63] : '=';
        out += i + 2 < bytes.size() ? kBase64[n & 63] : '=';
    }
    return out;
}

bool decodeBase64(const std::string& text, std::vector<unsigned char>& out, std::string& why) {
    out.clear();
    if (text.size() % 4 != 0) {
        why = "\"base64\" is not base64 (length)";
        return false;
    }
    for (std::size_t i = 0; i < text.size(); i += 4) {
        std::uint32_t n = 0;
        int pad = 0;
        for (std::size_t k = 0; k < 4; ++k) {
            const char c = text[i + k];
            std::uint32_t v = 0;
            if (c == '=' && i + 4 == text.size() && k >= 2) {
                ++pad;
            } else {
                const char* at = pad ? nullptr : std::char_traits<char>::find(kBase64, 64, c);
                if (!at) {
                    why = "\"base64\" is not base64";
                    return false;
                }
                v = static_cast<std::uint32_t>(at - kBase64);
            }
            n = (n << 6) | v;
        }
        out.push_back(static_cast<unsigned char>(n >> 16));
        if (pad < 2) out.push_back(static_cast<unsigned char>(n >> 8));
        if (pad < 1) out.push_back(static_cast<unsigned char>(n));
    }
    return true;
}

}   // namespace host
