// DialogEvent: something happened to a whole dialog panel: it has opened, or a hot key was pressed.
#pragma once

#include <cstdint>
#include <optional>

#include <FourCC.h>

#include "Environment/InterfaceEvent.h"

namespace tarnwick {

// Type 'DIVE', for item 0 of the panel. A hot key carries the host's key id as its value and a receiver
// that a handler sets to non-zero when it used the key.
class DialogEvent : public InterfaceEvent {
public:
    static constexpr std::uint32_t kType = host::fourcc("DIVE");
    enum Method : std::uint32_t {
        kOpened = 1,
        kHotKey = 11,
        kDefault = 14,
    };

    explicit DialogEvent(const ControlLink& link, std::uint32_t method = kDefault,
                         std::optional<std::int64_t> value = std::nullopt, ItemReceiver* receiver = nullptr);
};

}   // namespace tarnwick
