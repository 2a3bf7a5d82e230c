// ItemReceiver: where the answers to one interface event arrive. A host observer makes one on the
// stack, seeds its value, publishes the event with its address, and afterwards turns the value into
// the host's out-value (deny a character, accept a drop).
#pragma once

#include <cstdint>
#include <memory>

namespace tarnwick {

class ItemMessage;

// Owned by the code that raised the event; events only borrow it. Copyable.
class ItemReceiver {
public:
    explicit ItemReceiver(std::int16_t value = 0);

    // Virtual operations, in this order.
    // A message carrying a value sets ours to it, cut to 16 bits; a null message or one without a value
    // changes nothing.
    virtual void receive(const std::shared_ptr<ItemMessage>& message);
    virtual ~ItemReceiver();

    ItemReceiver(const ItemReceiver&) = default;
    ItemReceiver& operator=(const ItemReceiver&) = default;

    std::int16_t getValue() const { return value_; }
    void setValue(std::int16_t value) { value_ = value; }

private:
    std::int16_t value_;
};

}   // namespace tarnwick
