#include "Interface/ControlObserver.h"

#include <algorithm>

namespace tarnwick {

ControlObserver::~ControlObserver() {
    for (const auto& [panel, item] : watched_) host::DGDetachItemObserver(panel, item, this);
}

void ControlObserver::watch(std::int16_t hostPanel, std::int16_t item) {
    if (host::DGGetItemType(hostPanel, item) == host::kDGNoItem) return;
    host::DGAttachItemObserver(hostPanel, item, this);
    if (std::find(watched_.begin(), watched_.end(), std::pair{hostPanel, item}) == watched_.end())
        watched_.emplace_back(hostPanel, item);
}

}   // namespace tarnwick
