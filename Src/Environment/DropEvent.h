// DropEvent: one step of a drag and drop over a dialog item or panel, as source or as target.
#pragma once

#include <cstdint>

#include <FourCC.h>

#include "Environment/InterfaceEvent.h"

namespace tarnwick {

// The drop record: 56 bytes, all zero but the fields the step fills. Handlers may change the effect
// (and the receiver's value) to accept or refuse the drop; the dialog layer hands both back to the host.
struct DropRecord {
    enum Phase : std::int16_t {
        kDragStarting = 0,
        kDragStarted = 1,
        kDragEnded = 2,
        kDragEntered = 4,
        kDragMoved = 5,
        kDragLeft = 6,
        kDropped = 7,
    };

    std::int16_t phase = 0;    // a Phase
    std::int16_t effect = 0;   // the host's drop effects, one bit each (7: copy, move and link)
    std::int16_t x = 0;        // target position, relative to the panel (target phases only)
    std::int16_t y = 0;
    std::int16_t insertPosition = 0;     // list targets: the row the drop goes before (signed)
    std::int16_t relativePosition = 0;   // list targets: the host's position relative to that row
    std::uint8_t rightDragMenu = 0;      // 1: the host shows its right-drag menu
    std::uint8_t reserved[43] = {};      // zero
};
static_assert(sizeof(DropRecord) == 56);

// Type 'DEVT', method 17. The record is borrowed from the code that raised the event, which reads it
// back afterwards; it is changed through the const event on purpose.
class DropEvent : public InterfaceEvent {
public:
    static constexpr std::uint32_t kType = host::fourcc("DEVT");
    static constexpr std::uint32_t kMethod = 17;

    DropEvent(const ControlLink& link, DropRecord& record, ItemReceiver* receiver);

    DropRecord& getRecord() const { return record_; }

    String describe() const override;   // adds "phase 7 effect 7"

private:
    DropRecord& record_;
};

}   // namespace tarnwick
