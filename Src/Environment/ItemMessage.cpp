#include "Environment/ItemMessage.h"

#include "Environment/InterfaceEvent.h"
#include "Environment/ItemReceiver.h"

namespace tarnwick {

ItemMessage::ItemMessage(std::int64_t value) : value_(value), hasValue_(true) {}

void ItemMessage::setValue(std::int64_t value) {
    value_ = value;
    hasValue_ = true;
}

bool sendItemMessage(const InterfaceEvent& event, const std::shared_ptr<ItemMessage>& message) {
    ItemReceiver* const receiver = event.getReceiver();
    if (!receiver || !message) return false;
    receiver->receive(message);
    return true;
}

}   // namespace tarnwick
