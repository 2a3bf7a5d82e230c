// ItemSubscriber: the base of dialog handlers for item events ('INTF', 'ITEV'): a field's text, a popup's
// choice or a list's selection changed.
#pragma once

#include <cstdint>

#include "Environment/Subscriber.h"

namespace tarnwick {

class ItemEvent;

// Every ItemEvent it is offered goes to handle(); any other event is left unhandled and handle() is not
// called. Owned by whoever made it (see Subscriber).
class ItemSubscriber : public Subscriber {
public:
    explicit ItemSubscriber(std::uint16_t priority = 0);

    void subscribe(EventKeyList& keys) const override;
    bool receive(const Event& event) override;
    virtual bool handle(const ItemEvent& event) = 0;   // true: handled
};

}   // namespace tarnwick
