#include "Environment/ItemEvent.h"

namespace tarnwick {

ItemEvent::ItemEvent(const ControlLink& link, std::optional<std::int64_t> value, ItemReceiver* receiver)
    : InterfaceEvent(kType, kMethod, link, value, receiver) {}

ItemEvent::ItemEvent(std::uint32_t method, const ControlLink& link, std::optional<std::int64_t> value,
                     ItemReceiver* receiver)
    : InterfaceEvent(kType, method, link, value, receiver) {}

}   // namespace tarnwick
