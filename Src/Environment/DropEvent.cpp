#include "Environment/DropEvent.h"

namespace tarnwick {

DropEvent::DropEvent(const ControlLink& link, DropRecord& record, ItemReceiver* receiver)
    : InterfaceEvent(kType, kMethod, link, std::nullopt, receiver), record_(record) {}

String DropEvent::describe() const {
    return InterfaceEvent::describe() + " phase " + String(record_.phase) + " effect " +
           String(record_.effect);
}

}   // namespace tarnwick
