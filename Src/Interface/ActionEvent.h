// ActionEvent: a dialog item was acted on: a button or static text clicked, a list clicked or
// double-clicked, or a close request.
#pragma once

#include <cstdint>
#include <optional>

#include <FourCC.h>

#include "Environment/InterfaceEvent.h"

namespace tarnwick {

// Type 'ACEV'. Method 0: a click or a close request (which carries a receiver); 4: a click on a list;
// 5: a double click (static text or list). A list's click carries its ListClickRecord packed in the value.
class ActionEvent : public InterfaceEvent {
public:
    static constexpr std::uint32_t kType = host::fourcc("ACEV");
    enum Method : std::uint32_t {
        kClick = 0,
        kListClick = 4,
        kDoubleClick = 5,
    };

    explicit ActionEvent(const ControlLink& link, std::uint32_t method = kClick,
                         std::optional<std::int64_t> value = std::nullopt, ItemReceiver* receiver = nullptr);

    bool isDoubleClick() const { return getMethod() == kDoubleClick; }
};

}   // namespace tarnwick
