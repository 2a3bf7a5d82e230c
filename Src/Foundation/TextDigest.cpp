#include "Foundation/TextDigest.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace tarnwick {
namespace {

// Up to eight bytes as a little-endian number on every machine: digests are kept in records on files,
// which another machine may read.
std::uint64_t wordAt(const char* bytes, std::size_t count) {
    std::uint64_t value = 0;
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(&value, bytes, count);
    } else {
        for (std::size_t n = 0; n < count; ++n)
            value |= std::uint64_t{static_cast<unsigned char>(bytes[n])} << (8 * n);
    }
    return value;
}

constexpr std::size_t kMostBlocks = 16;
constexpr std::size_t kLeastBlock = 64;

std::uint64_t mix(std::uint64_t lane, std::uint64_t word) {
    constexpr std::uint64_t kOdd = 0x9E3779B97F4A7C15u;
    return std::rotl((lane ^ word) * kOdd, 31);
}

}   // namespace

std::uint64_t digestOf(std::string_view text) {
    const char* const bytes = text.data();
    std::uint64_t lanes[4] = {text.size(), 1, 2, 3};
    std::size_t at = 0;
    for (; at + 32 <= text.size(); at += 32) {
        lanes[0] = mix(lanes[0], wordAt(bytes + at, 8));
        lanes[1] = mix(lanes[1], wordAt(bytes + at + 8, 8));
        lanes[2] = mix(lanes[2], wordAt(bytes + at + 16, 8));
        lanes[3] = mix(lanes[3], wordAt(bytes + at + 24, 8));
    }
    for (int lane = 0; at < text.size(); at += 8, lane = (lane + 1) % 4)
        lanes[lane] = mix(lanes[lane], wordAt(bytes + at, std::min<std::size_t>(8, text.size() - at)));
    std::uint64_t digest = 0;
    for (const std::uint64_t lane : lanes) digest = mix(digest, lane);
    return digest;
}

std::size_t digestBlockFor(std::uint64_t size) {
    return std::max<std::size_t>(kLeastBlock,
                                 static_cast<std::size_t>((size + kMostBlocks - 1) / kMostBlocks));
}

std::vector<std::uint64_t> blockDigestsOf(std::string_view text) {
    std::vector<std::uint64_t> blocks;
    const std::size_t block = digestBlockFor(text.size());
    for (std::size_t at = 0; at < text.size() || blocks.empty(); at += block)
        blocks.push_back(digestOf(text.substr(at, block)));
    return blocks;
}

std::uint64_t foldedDigest(std::uint64_t size, std::span<const std::uint64_t> blocks) {
    std::uint64_t digest = mix(0, size);
    for (const std::uint64_t block : blocks) digest = mix(digest, block);
    return digest;
}

std::uint64_t wholeDigestOf(std::string_view text) {
    const std::vector<std::uint64_t> blocks = blockDigestsOf(text);
    return foldedDigest(text.size(), blocks);
}

}   // namespace tarnwick
