#include "Environment/InterfaceEvent.h"

namespace tarnwick {

InterfaceEvent::InterfaceEvent(std::uint32_t type, std::uint32_t method, const ControlLink& link,
                               std::optional<std::int64_t> value, ItemReceiver* receiver)
    : Event(kSource, type), method_(method), link_(link), value_(value), receiver_(receiver) {}

String InterfaceEvent::describe() const {
    String text = Event::describe() + " item " + String(getItemId()) + " method " + String(method_);
    if (value_) text += " value " + String(*value_);
    return text;
}

}   // namespace tarnwick
