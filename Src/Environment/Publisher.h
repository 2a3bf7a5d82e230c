// Publisher: the message bus. Subscribers are filed under the event keys they ask for; an event is
// offered to the subscribers of its key, highest priority first, until one handles it.
#pragma once

#include <cstdint>
#include <map>
#include <vector>

#include "Environment/EventKeyList.h"
#include "Environment/Subscriber.h"

namespace tarnwick {

class Event;

// A publisher never owns its subscribers: it keeps borrowed pointers, and neither unsubscribing nor
// clearing nor its own destruction deletes one (a static subscriber may join the add-on, and the add-on
// deletes the tools it owns itself). A subscriber destroyed while subscribed leaves on its own. Not
// copyable. Exceptions from subscribers pass through; the callers that face the host catch them.
class Publisher {
public:
    Publisher();
    virtual ~Publisher();

    Publisher(const Publisher&) = delete;
    Publisher& operator=(const Publisher&) = delete;

    // Virtual operations, in this order.
    // The three stage broadcasts. Each runs once in the publisher's life (a second call runs nothing and
    // answers 0) and offers the stage to every subscriber in the order they subscribed (each subscriber
    // runs a stage's hook once, see Subscriber::runStage). The first non-zero hook result is answered;
    // registerInterface stops at it, the other two go on with the remaining subscribers.
    virtual std::uint32_t checkEnvironment();
    virtual std::uint32_t registerInterface();
    virtual std::uint32_t initialize();
    // Files the subscriber under every key it asks for (one entry per key). A subscriber that is already
    // subscribed is left as it is; false then.
    virtual bool subscribe(Subscriber& subscriber);
    virtual bool unsubscribe(Subscriber& subscriber);   // false when it was not subscribed
    virtual void clearSubscribers();                    // every subscriber leaves; none is deleted
    // Offers the event to the subscribers of its key by descending priority (equal priorities in the
    // order they subscribed) until one reports it handled; true then. The subscribers are taken when the
    // publication starts: one that subscribes meanwhile is not offered this event, and one that leaves
    // (or is destroyed) meanwhile is skipped.
    virtual bool publish(const Event& event);

    bool isSubscribed(const Subscriber& subscriber) const;
    std::size_t getSubscriberCount() const { return members_.size(); }

private:
    friend class Subscriber;

    struct Entry {
        Subscriber* subscriber;
        std::uint64_t serial;   // one per subscription, never reused: tells a new one from a gone one
    };

    std::uint32_t broadcast(Stage stage, bool stopAtFailure);
    bool isEntryLive(const EventKey& key, std::uint64_t serial) const;
    bool isMemberLive(std::uint64_t serial) const;
    void forget(Subscriber& subscriber);   // drops every entry of it, without calling it

    std::multimap<EventKey, Entry> entries_;   // equal keys keep the order they were filed in
    std::vector<Entry> members_;               // every subscriber once, in the order they subscribed
    std::uint64_t nextSerial_ = 1;
    std::uint8_t stagesBroadcast_ = 0;   // one bit per Stage
};

}   // namespace tarnwick
