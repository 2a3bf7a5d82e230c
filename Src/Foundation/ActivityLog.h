// ActivityLog: a fixed-size ring of recent activity (transactions, events) for exception reports.
#pragma once

#include <chrono>
#include <cstddef>
#include <vector>

#include "Foundation/String.h"

namespace tarnwick {

// Keeps the last `capacity` entries; older ones are overwritten. Every entry added is also written to
// the host's debug output as one line: the time, a tab, and the text.
class ActivityLog {
public:
    using Clock = std::chrono::system_clock;

    struct Entry {
        Clock::time_point time;
        String kind;
        String text;
        String getTimeText() const;   // local time "YYYY-MM-DD HH:MM:SS.mmm"
    };

    explicit ActivityLog(std::size_t capacity);   // capacity 0 keeps nothing but still writes the line

    void add(const String& kind, const String& text);
    std::vector<Entry> getEntries() const;   // oldest first
    std::size_t getCount() const { return count_; }
    std::size_t getCapacity() const { return ring_.size(); }
    void clear();

private:
    std::vector<Entry> ring_;   // fixed size; next_ is the slot the next entry takes
    std::size_t next_ = 0;
    std::size_t count_ = 0;
};

}   // namespace tarnwick
