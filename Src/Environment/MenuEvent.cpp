#include "Environment/MenuEvent.h"

namespace tarnwick {

MenuEvent::MenuEvent(std::int16_t listId, std::int16_t item)
    : Event(kSource, kType), listId_(listId), item_(item) {}

String MenuEvent::describe() const {
    return Event::describe() + " list " + String(listId_) + " item " + String(item_);
}

}   // namespace tarnwick
