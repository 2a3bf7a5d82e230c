#include "Interface/ListClickRecord.h"

namespace tarnwick {
namespace {

std::uint64_t field(std::int16_t value, unsigned shift) {
    return std::uint64_t(static_cast<std::uint16_t>(value)) << shift;
}

std::int16_t fieldAt(std::uint64_t bits, unsigned shift) {
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(bits >> shift));
}

}   // namespace

std::int16_t ListClickRecord::modifierOf(bool command, bool option, bool shift) {
    return command ? kCommandKey : option ? kOptionKey : shift ? kShiftKey : kNoKey;
}

std::int64_t ListClickRecord::pack() const {
    return static_cast<std::int64_t>(field(hostRow, 0) | field(x, 16) | field(y, 32) | field(modifier, 48));
}

ListClickRecord ListClickRecord::unpack(std::int64_t value) {
    const auto bits = static_cast<std::uint64_t>(value);
    return {fieldAt(bits, 0), fieldAt(bits, 16), fieldAt(bits, 32), fieldAt(bits, 48)};
}

}   // namespace tarnwick
