// ActionSubscriber: the base of dialog handlers for clicks and close requests ('INTF', 'ACEV').
#pragma once

#include <cstdint>

#include "Environment/Subscriber.h"

namespace tarnwick {

class ActionEvent;

// Subscribes to a control or a panel; every ActionEvent it is offered goes to handle(), whose result is
// the subscriber's. Owned by whoever made it (see Subscriber).
class ActionSubscriber : public Subscriber {
public:
    explicit ActionSubscriber(std::uint16_t priority = 0);

    void subscribe(EventKeyList& keys) const override;
    bool receive(const Event& event) override;           // false for any other event
    virtual bool handle(const ActionEvent& event) = 0;   // true: handled
};

}   // namespace tarnwick
