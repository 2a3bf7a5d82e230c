// ItemMessage: a handler's reply to an interface event, carrying one 64-bit value back to whoever
// raised the event (a host observer that turns it into the host's answer).
#pragma once

#include <cstdint>
#include <memory>

namespace tarnwick {

class InterfaceEvent;

// Shared between the handler that makes it and the receiver it is sent to. The value is 0 and absent
// when new; setValue makes it present. The dialog layer sends 16-bit item values in it.
class ItemMessage {
public:
    ItemMessage() = default;
    explicit ItemMessage(std::int64_t value);

    std::int64_t getValue() const { return value_; }
    bool hasValue() const { return hasValue_; }
    void setValue(std::int64_t value);

private:
    std::int64_t value_ = 0;
    bool hasValue_ = false;
};

// Hands the message to the event's ItemReceiver (ItemReceiver::receive). False, and nothing happens,
// when the event has no receiver or the message is null.
bool sendItemMessage(const InterfaceEvent& event, const std::shared_ptr<ItemMessage>& message);

}   // namespace tarnwick
