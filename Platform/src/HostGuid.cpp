#include "HostGuid.h"

#include <cstdio>
#include <random>

namespace host {
namespace {

constexpr std::size_t kTextLength = 36;              // "XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX"
constexpr std::size_t kDashes[] = {8, 13, 18, 23};   // positions of the dashes in that text

std::mt19937_64& engine() {
    static std::mt19937_64 instance{[] {
        std::random_device device;
        return (std::uint64_t{device()} << 32) ^ device();
    }()};
    return instance;
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

template <typename T>
int threeWay(T a, T b) {
    return a < b ? -1 : (b < a ? 1 : 0);
}

}   // namespace

GuidRecord generateGuid() {
    const std::uint64_t high = engine()();
    const std::uint64_t low = engine()();
    GuidRecord guid;
    guid.data1 = static_cast<std::uint32_t>(high >> 32);
    guid.data2 = static_cast<std::uint16_t>(high >> 16);
    guid.data3 = static_cast<std::uint16_t>((high & 0x0FFF) | 0x4000);   // version 4: random
    for (int i = 0; i < 8; ++i) guid.data4[i] = static_cast<std::uint8_t>(low >> (8 * i));
    guid.data4[0] = static_cast<std::uint8_t>((guid.data4[0] & 0x3F) | 0x80);   // the RFC 4122 variant
    return guid;   // never all zero: the version bits are set
}

int compareGuids(const GuidRecord& a, const GuidRecord& b) {
    if (const int order = threeWay(a.data1, b.data1)) return order;
    if (const int order = threeWay(a.data2, b.data2)) return order;
    if (const int order = threeWay(a.data3, b.data3)) return order;
    for (int i = 0; i < 8; ++i)
        if (const int order = threeWay(a.data4[i], b.data4[i])) return order;
    return 0;
}

std::string guidToText(const GuidRecord& guid) {
    char text[kTextLength + 1];
    std::snprintf(text, sizeof text, "%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X",
                  static_cast<unsigned>(guid.data1), static_cast<unsigned>(guid.data2),
                  static_cast<unsigned>(guid.data3), guid.data4[0], guid.data4[1], guid.data4[2],
                  guid.data4[3], guid.data4[4], guid.data4[5], guid.data4[6], guid.data4[7]);
    return std::string(text, kTextLength);
}

// Exactly the text form, in either case, optionally inside one pair of braces; nothing around it.
bool guidFromText(std::string_view text, GuidRecord& guid) {
    guid = GuidRecord{};
    if (!text.empty() && text.front() == '{') {
        if (text.back() != '}' || text.size() < 2) return false;
        text = text.substr(1, text.size() - 2);
    }
    if (text.size() != kTextLength) return false;
    std::uint8_t bytes[16] = {};
    std::size_t byte = 0, dash = 0;
    for (std::size_t at = 0; at < kTextLength;) {
        if (dash < std::size(kDashes) && at == kDashes[dash]) {
            if (text[at] != '-') return false;
            ++dash, ++at;
            continue;
        }
        const int high = hexValue(text[at]);
        const int low = hexValue(text[at + 1]);   // groups have even lengths: at + 1 is in this one
        if (high < 0 || low < 0) return false;
        bytes[byte++] = static_cast<std::uint8_t>(high << 4 | low);
        at += 2;
    }
    GuidRecord parsed;
    parsed.data1 = std::uint32_t{bytes[0]} << 24 | std::uint32_t{bytes[1]} << 16 |
                   std::uint32_t{bytes[2]} << 8 | bytes[3];
    parsed.data2 = static_cast<std::uint16_t>(bytes[4] << 8 | bytes[5]);
    parsed.data3 = static_cast<std::uint16_t>(bytes[6] << 8 | bytes[7]);
    for (int i = 0; i < 8; ++i) parsed.data4[i] = bytes[8 + i];
    guid = parsed;
    return true;
}

}   // namespace host
