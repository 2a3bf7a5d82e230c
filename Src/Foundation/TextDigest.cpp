#include "Foundation/TextDigest.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace tarnwick {

std::uint64_t digestOf(std::string_view text) {
    constexpr std::uint64_t kOdd = 0x9E3779B97F4A7C15u;
    const auto mix = [](std::uint64_t lane, std::uint64_t word) {
        return std::rotl((lane ^ word) * kOdd, 31);
    };
    const char* const bytes = text.data();
    const auto word = [bytes](std::size_t at) {
        std::uint64_t value;
        std::memcpy(&value, bytes + at, sizeof value);
        return value;
    };
    std::uint64_t lanes[4] = {text.size(), 1, 2, 3};
    std::size_t at = 0;
    for (; at + 32 <= text.size(); at += 32) {
        lanes[0] = mix(lanes[0], word(at));
        lanes[1] = mix(lanes[1], word(at + 8));
        lanes[2] = mix(lanes[2], word(at + 16));
        lanes[3] = mix(lanes[3], word(at + 24));
    }
    for (int lane = 0; at < text.size(); at += 8, lane = (lane + 1) % 4) {
        std::uint64_t rest = 0;
        std::memcpy(&rest, bytes + at, std::min<std::size_t>(8, text.size() - at));
        lanes[lane] = mix(lanes[lane], rest);
    }
    std::uint64_t digest = 0;
    for (const std::uint64_t lane : lanes) digest = mix(digest, lane);
    return digest;
}

}   // namespace tarnwick
