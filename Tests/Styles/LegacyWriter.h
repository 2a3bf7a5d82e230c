// Writes a legacy binary style file in either byte order, for the tests of its reader.
#pragma once

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

class LegacyWriter {
public:
    explicit LegacyWriter(bool bigEndian) : big_(bigEndian) {}
    LegacyWriter& str(std::string_view text) {
        bytes.append(text);
        bytes.push_back('\0');
        return *this;
    }
    LegacyWriter& i32(std::int32_t value) { return number(value); }
    LegacyWriter& f64(double value) { return number(value); }
    LegacyWriter& flag(bool value) {
        bytes.push_back(value ? 1 : 0);
        return *this;
    }
    LegacyWriter& header(std::string_view version, std::int32_t groups) {
        str("TarnwickPresetFile").str(big_ ? "Mac" : "Win").str(version);
        return i32(groups);
    }
    std::string bytes;

private:
    template <typename T>
    LegacyWriter& number(T value) {
        char raw[sizeof(T)];
        std::memcpy(raw, &value, sizeof(T));
        if (big_ == (std::endian::native == std::endian::little)) std::reverse(raw, raw + sizeof(T));
        bytes.append(raw, sizeof(T));
        return *this;
    }
    bool big_;
};
