// InterfaceEvent: an event raised by a dialog item or panel: its kind (type code), a method code that
// says what happened, the item it concerns, a 64-bit value and where answers go.
#pragma once

#include <cstdint>
#include <optional>

#include <FourCC.h>

#include "Environment/ControlLink.h"
#include "Environment/Event.h"

namespace tarnwick {

class ItemReceiver;

// Source 'INTF'. Made on the stack by the dialog layer; the receiver is borrowed and may be null.
// An event made without a value reads 0 and says it has none.
class InterfaceEvent : public Event {
public:
    static constexpr std::uint32_t kSource = host::fourcc("INTF");

    InterfaceEvent(std::uint32_t type, std::uint32_t method, const ControlLink& link,
                   std::optional<std::int64_t> value = std::nullopt, ItemReceiver* receiver = nullptr);

    // The link's item id read as signed 16 bits: "no item" (65535) reads as -1, so tests for an item
    // (id >= 1) and for none (id < 1) need no special case.
    std::int16_t getItemId() const { return static_cast<std::int16_t>(link_.getItemId()); }
    const ControlLink& getLink() const { return link_; }
    std::uint32_t getMethod() const { return method_; }
    std::int64_t getValue() const { return value_.value_or(0); }
    bool hasValue() const { return value_.has_value(); }
    ItemReceiver* getReceiver() const { return receiver_; }

    String describe() const override;   // "INTF/ITEV item 3 method 6 value 1"

private:
    std::uint32_t method_;
    ControlLink link_;
    std::optional<std::int64_t> value_;
    ItemReceiver* receiver_;
};

}   // namespace tarnwick
