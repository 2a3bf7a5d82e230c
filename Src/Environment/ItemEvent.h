// ItemEvent: the value of a dialog item changed (an edit field's text, a popup's choice, a list's
// selection).
#pragma once

#include <cstdint>
#include <optional>

#include <FourCC.h>

#include "Environment/InterfaceEvent.h"

namespace tarnwick {

// Type 'ITEV', method 6 unless one is given. A list raises it without a value on every change of
// its selection; what the value means otherwise is the control's.
class ItemEvent : public InterfaceEvent {
public:
    static constexpr std::uint32_t kType = host::fourcc("ITEV");
    static constexpr std::uint32_t kMethod = 6;

    explicit ItemEvent(const ControlLink& link, std::optional<std::int64_t> value = std::nullopt,
                       ItemReceiver* receiver = nullptr);
    ItemEvent(std::uint32_t method, const ControlLink& link, std::optional<std::int64_t> value = std::nullopt,
              ItemReceiver* receiver = nullptr);
};

}   // namespace tarnwick
