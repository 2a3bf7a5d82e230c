// KeyEvent: the user typed a character into a dialog item.
#pragma once

#include <cstdint>
#include <optional>

#include <FourCC.h>

#include "Environment/InterfaceEvent.h"

namespace tarnwick {

// Type 'KEEV', method 10; the value is the character code. The receiver starts as the item id; a
// handler that refuses the character sends it 0 (sendItemMessage).
class KeyEvent : public InterfaceEvent {
public:
    static constexpr std::uint32_t kType = host::fourcc("KEEV");
    static constexpr std::uint32_t kMethod = 10;

    KeyEvent(const ControlLink& link, std::uint32_t character, ItemReceiver* receiver);

    std::uint32_t getCharacter() const { return static_cast<std::uint32_t>(getValue()); }
};

}   // namespace tarnwick
