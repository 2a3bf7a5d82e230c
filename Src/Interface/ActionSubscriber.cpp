#include "Interface/ActionSubscriber.h"

#include "Environment/EventKeyList.h"
#include "Interface/ActionEvent.h"

namespace tarnwick {

ActionSubscriber::ActionSubscriber(std::uint16_t priority) : Subscriber(priority) {}

void ActionSubscriber::subscribe(EventKeyList& keys) const {
    keys.append(InterfaceEvent::kSource, ActionEvent::kType);
}

bool ActionSubscriber::receive(const Event& event) {
    const auto* action = dynamic_cast<const ActionEvent*>(&event);
    return action != nullptr && handle(*action);
}

}   // namespace tarnwick
