#include "Environment/FocusEvent.h"

namespace tarnwick {

FocusEvent::FocusEvent(const ControlLink& link, std::int64_t value)
    : InterfaceEvent(kType, kMethod, link, value) {}

}   // namespace tarnwick
