// Subscriber: a receiver of published events, with a 16-bit priority and three stage hooks that run
// once each while the add-on starts.
#pragma once

#include <cstdint>
#include <vector>

namespace tarnwick {

class Event;
class EventKeyList;
class Publisher;

// The add-on's start-up stages, in the order the entry points reach them.
enum class Stage : std::uint8_t {
    checkEnvironment = 0,    // the add-on object and its tools exist
    registerInterface = 1,   // menus and command services are registered with the host
    initialize = 2,          // their handlers are installed
};

// Not owned by the publishers it joins (they keep borrowed pointers); its owner deletes it. Not
// copyable. A subscriber that is destroyed while still subscribed leaves every publisher first, so a
// publisher never holds a dangling subscriber.
class Subscriber {
public:
    explicit Subscriber(std::uint16_t priority = 0);   // higher priorities are offered events first
    virtual ~Subscriber();

    Subscriber(const Subscriber&) = delete;
    Subscriber& operator=(const Subscriber&) = delete;

    std::uint16_t getPriority() const { return priority_; }

    // Runs the stage's hook the first time the stage reaches this subscriber, through any publisher;
    // later calls for the same stage run nothing and answer 0. The hook's result otherwise (0 = success,
    // else a host error code).
    std::uint32_t runStage(Stage stage);

    // Appends the keys of the events this subscriber wants (EventKeyList::append); the base wants none.
    virtual void subscribe(EventKeyList& keys) const;
    // Offered an event of one of its keys: true when it handled it, which ends the offering.
    virtual bool receive(const Event& event) = 0;

protected:
    // The stage hooks; each answers 0 in the base.
    virtual std::uint32_t checkEnvironment();
    virtual std::uint32_t registerInterface();
    virtual std::uint32_t initialize();

private:
    friend class Publisher;

    const std::uint16_t priority_;
    std::uint8_t stagesRun_ = 0;           // one bit per Stage
    std::vector<Publisher*> publishers_;   // those it is subscribed to; kept by Publisher
};

}   // namespace tarnwick
