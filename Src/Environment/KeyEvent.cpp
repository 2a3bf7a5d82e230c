#include "Environment/KeyEvent.h"

namespace tarnwick {

KeyEvent::KeyEvent(const ControlLink& link, std::uint32_t character, ItemReceiver* receiver)
    : InterfaceEvent(kType, kMethod, link, character, receiver) {}

}   // namespace tarnwick
