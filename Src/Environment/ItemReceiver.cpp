#include "Environment/ItemReceiver.h"

#include "Environment/ItemMessage.h"

namespace tarnwick {

ItemReceiver::ItemReceiver(std::int16_t value) : value_(value) {}

ItemReceiver::~ItemReceiver() = default;

void ItemReceiver::receive(const std::shared_ptr<ItemMessage>& message) {
    if (!message || !message->hasValue()) return;
    value_ = static_cast<std::int16_t>(message->getValue());   // the host's answers are 16-bit
}

}   // namespace tarnwick
