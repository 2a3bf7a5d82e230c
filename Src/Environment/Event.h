// Event: the base of everything the add-on publishes: a source and a type, two four-character codes
// ('HOST' with 'MENU', 'INTF' with 'ITEV'), which together are the key subscribers select it by.
#pragma once

#include <cstdint>

#include "Environment/EventKeyList.h"
#include "Foundation/String.h"

namespace tarnwick {

// Made on the stack by whoever publishes it and offered by const reference; copyable.
class Event {
public:
    Event(std::uint32_t source, std::uint32_t type);
    virtual ~Event();

    std::uint32_t getSource() const { return key_.source; }
    std::uint32_t getType() const { return key_.type; }
    const EventKey& getKey() const { return key_; }

    // One line for the event log: "SOURCE/TYPE", then what the kind carries ("HOST/MENU list 32500 item 2").
    virtual String describe() const;

protected:
    Event(const Event&) = default;
    Event& operator=(const Event&) = default;

private:
    EventKey key_;
};

}   // namespace tarnwick
