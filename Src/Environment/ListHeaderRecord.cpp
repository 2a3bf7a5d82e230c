#include "Environment/ListHeaderRecord.h"

namespace tarnwick {
namespace {

std::uint64_t field(std::int16_t value, unsigned shift) {
    return std::uint64_t(static_cast<std::uint16_t>(value)) << shift;
}

std::int16_t fieldAt(std::uint64_t bits, unsigned shift) {
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(bits >> shift));
}

}   // namespace

std::int64_t ListHeaderRecord::pack() const {
    return static_cast<std::int64_t>(field(phase, 0) | field(firstItem, 16) | field(secondItem, 32) |
                                     field(change, 48));
}

ListHeaderRecord ListHeaderRecord::unpack(std::int64_t value) {
    const auto bits = static_cast<std::uint64_t>(value);
    return {fieldAt(bits, 0), fieldAt(bits, 16), fieldAt(bits, 32), fieldAt(bits, 48)};
}

}   // namespace tarnwick
