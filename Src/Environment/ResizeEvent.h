// ResizeEvent: the user resizes a dialog: once as the resize begins, after each change of size, and
// once as it ends.
#pragma once

#include <cstdint>

#include <FourCC.h>

#include "Environment/InterfaceEvent.h"

namespace tarnwick {

// Type 'RSEV', method 13, raised for the panel itself (item 0). The value is the phase; the changes
// are in pixels since the resize began, positive when the dialog grew.
class ResizeEvent : public InterfaceEvent {
public:
    static constexpr std::uint32_t kType = host::fourcc("RSEV");
    static constexpr std::uint32_t kMethod = 13;

    enum Phase : std::int16_t {
        kBegin = 0,     // the resize starts
        kResized = 1,   // the panel has a new size
        kEnd = 2,       // the resize is over
    };

    ResizeEvent(const ControlLink& link, Phase phase, std::int32_t horizontalChange,
                std::int32_t verticalChange);

    Phase getPhase() const { return static_cast<Phase>(getValue()); }
    std::int32_t getHorizontalChange() const { return horizontalChange_; }
    std::int32_t getVerticalChange() const { return verticalChange_; }

private:
    std::int32_t horizontalChange_;
    std::int32_t verticalChange_;
};

}   // namespace tarnwick
