// ListClickRecord: where a click on a list landed: the host row, the mouse offset and the keys held.
#pragma once

#include <cstdint>

namespace tarnwick {

// Travels in an ActionEvent's 64-bit value, packed as ListHeaderRecord is: field n in bits 16n to 16n+15.
struct ListClickRecord {
    enum Modifier : std::int16_t {
        kNoKey = 0,
        kCommandKey = 1,   // wins over the others
        kOptionKey = 2,    // wins over shift
        kShiftKey = 4,
    };

    std::int16_t hostRow = 0;   // as the host gives it: 1-based, 0 outside the rows
    std::int16_t x = 0;
    std::int16_t y = 0;
    std::int16_t modifier = kNoKey;

    static std::int16_t modifierOf(bool command, bool option, bool shift);
    std::int64_t pack() const;
    static ListClickRecord unpack(std::int64_t value);

    bool operator==(const ListClickRecord&) const = default;
};

}   // namespace tarnwick
