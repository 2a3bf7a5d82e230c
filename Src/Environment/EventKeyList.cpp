#include "Environment/EventKeyList.h"

#include <algorithm>

namespace tarnwick {

void EventKeyList::append(std::uint32_t source, std::uint32_t type) {
    const EventKey key{source, type};
    // A key listed twice would put the subscriber into the publisher twice and offer it each event twice.
    if (std::find(keys_.begin(), keys_.end(), key) == keys_.end()) keys_.push_back(key);
}

}   // namespace tarnwick
