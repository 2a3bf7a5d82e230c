#include "Interface/ItemSubscriber.h"

#include "Environment/EventKeyList.h"
#include "Environment/ItemEvent.h"

namespace tarnwick {

ItemSubscriber::ItemSubscriber(std::uint16_t priority) : Subscriber(priority) {}

void ItemSubscriber::subscribe(EventKeyList& keys) const {
    keys.append(InterfaceEvent::kSource, ItemEvent::kType);
}

bool ItemSubscriber::receive(const Event& event) {
    const auto* item = dynamic_cast<const ItemEvent*>(&event);
    return item != nullptr && handle(*item);
}

}   // namespace tarnwick
