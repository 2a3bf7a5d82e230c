#include "Interface/ActionEvent.h"

namespace tarnwick {

ActionEvent::ActionEvent(const ControlLink& link, std::uint32_t method, std::optional<std::int64_t> value,
                         ItemReceiver* receiver)
    : InterfaceEvent(kType, method, link, value, receiver) {}

}   // namespace tarnwick
