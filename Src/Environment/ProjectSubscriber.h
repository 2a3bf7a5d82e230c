// ProjectSubscriber: a subscriber to the host's project notifications.
#pragma once

#include <cstdint>

#include "Environment/Subscriber.h"

namespace tarnwick {

class ProjectEvent;

// Asks for the key 'HOST', 'PRJT' and hands each ProjectEvent to receive(const ProjectEvent&). Owned by
// whoever made it (see Subscriber).
class ProjectSubscriber : public Subscriber {
public:
    explicit ProjectSubscriber(std::uint16_t priority = 0);

    void subscribe(EventKeyList& keys) const override;
    bool receive(const Event& event) override;             // false for any other event
    virtual bool receive(const ProjectEvent& event) = 0;   // true: handled, later subscribers miss it
};

}   // namespace tarnwick
