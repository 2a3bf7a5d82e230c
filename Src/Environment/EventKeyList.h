// EventKeyList: the event keys a subscriber asks a publisher for, each a pair of four-character codes.
#pragma once

#include <compare>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace tarnwick {

// The key of an event: its source code, then its type code; ordered by source first.
struct EventKey {
    std::uint32_t source = 0;
    std::uint32_t type = 0;

    friend auto operator<=>(const EventKey&, const EventKey&) = default;
};

// Filled by Subscriber::subscribe and read by Publisher::subscribe. Keeps the order of appending and
// each key once: a key appended again is not added a second time.
class EventKeyList {
public:
    void append(std::uint32_t source, std::uint32_t type);

    std::size_t size() const { return keys_.size(); }
    bool empty() const { return keys_.empty(); }
    std::vector<EventKey>::const_iterator begin() const { return keys_.begin(); }
    std::vector<EventKey>::const_iterator end() const { return keys_.end(); }

private:
    std::vector<EventKey> keys_;
};

}   // namespace tarnwick
