// ResizeSubscriber: the base of dialog handlers for resize events ('INTF', 'RSEV').
#pragma once

#include <cstdint>

#include "Environment/Subscriber.h"

namespace tarnwick {

class ResizeEvent;

// handle() runs between the host's begin and end of collected item moves on the event's dialog, so that
// every move and resize it makes is applied at once; the end comes also when handle() throws.
class ResizeSubscriber : public Subscriber {
public:
    explicit ResizeSubscriber(std::uint16_t priority = 0);

    void subscribe(EventKeyList& keys) const override;
    bool receive(const Event& event) override;   // false for any other event
    virtual bool handle(const ResizeEvent& event) = 0;
};

}   // namespace tarnwick
