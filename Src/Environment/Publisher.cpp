#include "Environment/Publisher.h"

#include <algorithm>

#include "Environment/Event.h"

namespace tarnwick {

Publisher::Publisher() = default;

Publisher::~Publisher() {
    // Our subscribers outlive us; they must not call back into a publisher that is gone.
    for (const Entry& member : members_) std::erase(member.subscriber->publishers_, this);
}

// --- Stages ------------------------------------------------------------------------------------
std::uint32_t Publisher::checkEnvironment() {
    return broadcast(Stage::checkEnvironment, /*stopAtFailure=*/false);
}

std::uint32_t Publisher::registerInterface() {
    return broadcast(Stage::registerInterface, /*stopAtFailure=*/true);
}

std::uint32_t Publisher::initialize() { return broadcast(Stage::initialize, /*stopAtFailure=*/false); }

std::uint32_t Publisher::broadcast(Stage stage, bool stopAtFailure) {
    const auto bit = static_cast<std::uint8_t>(1u << static_cast<unsigned>(stage));
    if (stagesBroadcast_ & bit) return 0;
    stagesBroadcast_ |= bit;
    const std::vector<Entry> members = members_;   // a hook may subscribe or unsubscribe others
    std::uint32_t firstFailure = 0;
    for (const Entry& member : members) {
        if (!isMemberLive(member.serial)) continue;
        const std::uint32_t result = member.subscriber->runStage(stage);
        if (result == 0 || firstFailure != 0) continue;
        firstFailure = result;
        if (stopAtFailure) break;
    }
    return firstFailure;
}

// --- Subscriptions -----------------------------------------------------------------------------
bool Publisher::subscribe(Subscriber& subscriber) {
    if (isSubscribed(subscriber)) return false;
    EventKeyList keys;
    subscriber.subscribe(keys);
    const Entry entry{&subscriber, nextSerial_++};
    for (const EventKey& key : keys) entries_.emplace(key, entry);
    members_.push_back(entry);
    subscriber.publishers_.push_back(this);
    return true;
}

bool Publisher::unsubscribe(Subscriber& subscriber) {
    if (!isSubscribed(subscriber)) return false;
    forget(subscriber);
    return true;
}

void Publisher::clearSubscribers() {
    while (!members_.empty()) forget(*members_.back().subscriber);
}

void Publisher::forget(Subscriber& subscriber) {
    std::erase_if(entries_, [&](const auto& item) { return item.second.subscriber == &subscriber; });
    std::erase_if(members_, [&](const Entry& member) { return member.subscriber == &subscriber; });
    std::erase(subscriber.publishers_, this);
}

bool Publisher::isSubscribed(const Subscriber& subscriber) const {
    return std::any_of(members_.begin(), members_.end(),
                       [&](const Entry& member) { return member.subscriber == &subscriber; });
}

bool Publisher::isEntryLive(const EventKey& key, std::uint64_t serial) const {
    const auto [first, last] = entries_.equal_range(key);
    return std::any_of(first, last, [&](const auto& item) { return item.second.serial == serial; });
}

bool Publisher::isMemberLive(std::uint64_t serial) const {
    return std::any_of(members_.begin(), members_.end(),
                       [&](const Entry& member) { return member.serial == serial; });
}

// --- Publication -------------------------------------------------------------------------------
bool Publisher::publish(const Event& event) {
    const EventKey key = event.getKey();
    struct Offer {
        Entry entry;
        std::uint16_t priority;
    };
    std::vector<Offer> offers;
    const auto [first, last] = entries_.equal_range(key);
    for (auto it = first; it != last; ++it)
        offers.push_back({it->second, it->second.subscriber->getPriority()});
    std::stable_sort(offers.begin(), offers.end(),
                     [](const Offer& a, const Offer& b) { return a.priority > b.priority; });
    for (const Offer& offer : offers) {
        // A handler may have unsubscribed (or deleted) a later subscriber; its entry is gone then.
        if (!isEntryLive(key, offer.entry.serial)) continue;
        if (offer.entry.subscriber->receive(event)) return true;
    }
    return false;
}

}   // namespace tarnwick
