// ListHeaderRecord: what a list header event carries, packed into the event's 64-bit value.
#pragma once

#include <cstdint>

namespace tarnwick {

// Four 16-bit fields. Header item numbers are the host's, as it gives them. Packed low to high:
// phase in bits 0-15, first item 16-31, second item 32-47, change 48-63, each as its 16 bits.
struct ListHeaderRecord {
    std::int16_t phase = 0;        // 0; for resizes 0 entered, 1 resizing, 2 exited
    std::int16_t firstItem = 0;    // click and resize: the header item; drag: its old position
    std::int16_t secondItem = 0;   // click and resize: the header item again; drag: its new position
    std::int16_t change = 0;       // resize: the change of width

    std::int64_t pack() const;
    static ListHeaderRecord unpack(std::int64_t value);

    bool operator==(const ListHeaderRecord&) const = default;
};

}   // namespace tarnwick
