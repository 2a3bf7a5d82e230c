// FocusEvent: a dialog item lost the keyboard focus.
#pragma once

#include <cstdint>
#include <optional>

#include <FourCC.h>

#include "Environment/InterfaceEvent.h"

namespace tarnwick {

// Type 'FOEV', method 9; the dialog layer sends value 0.
class FocusEvent : public InterfaceEvent {
public:
    static constexpr std::uint32_t kType = host::fourcc("FOEV");
    static constexpr std::uint32_t kMethod = 9;

    FocusEvent(const ControlLink& link, std::int64_t value);
};

}   // namespace tarnwick
