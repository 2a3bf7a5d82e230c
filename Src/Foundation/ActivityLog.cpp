#include "Foundation/ActivityLog.h"

#include <cstdio>
#include <ctime>
#include <string>

#include <HostDebug.h>

namespace tarnwick {

String ActivityLog::Entry::getTimeText() const {
    const std::time_t seconds = Clock::to_time_t(time);
    const auto millis =
        std::chrono::duration_cast<std::chrono::milliseconds>(time.time_since_epoch()).count() % 1000;
    std::tm local{};
    localtime_r(&seconds, &local);
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d.%03d", local.tm_year + 1900,
                  local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec,
                  static_cast<int>(millis < 0 ? millis + 1000 : millis));
    return String(text);
}

ActivityLog::ActivityLog(std::size_t capacity) : ring_(capacity) {}

void ActivityLog::add(const String& kind, const String& text) {
    Entry entry{Clock::now(), kind, text};
    std::string line(entry.getTimeText().getView());
    line += '\t';
    line += text.getView();
    host::debugOutput(line);
    if (ring_.empty()) return;
    ring_[next_] = std::move(entry);
    next_ = (next_ + 1) % ring_.size();
    if (count_ < ring_.size()) ++count_;
}

std::vector<ActivityLog::Entry> ActivityLog::getEntries() const {
    std::vector<Entry> entries;
    entries.reserve(count_);
    const std::size_t oldest = (next_ + ring_.size() - count_) % (ring_.empty() ? 1 : ring_.size());
    for (std::size_t i = 0; i < count_; ++i) entries.push_back(ring_[(oldest + i) % ring_.size()]);
    return entries;
}

void ActivityLog::clear() {
    for (Entry& entry : ring_) entry = Entry{};
    next_ = count_ = 0;
}

}   // namespace tarnwick
