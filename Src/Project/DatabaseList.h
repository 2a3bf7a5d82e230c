// DatabaseList<T>: the views of one kind, filed under their database guids.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <map>
#include <memory>

#include "Foundation/Guid.h"

namespace tarnwick {

// Owns its views; ordered by the host's guid order, which index access follows.
template <typename T>
class DatabaseList {
public:
    std::size_t size() const { return views_.size(); }
    T* find(const Guid& guid) const {   // null when nothing is filed under the guid
        const auto found = views_.find(guid);
        return found == views_.end() ? nullptr : found->second.get();
    }
    T* at(std::int32_t index) const {   // null for a negative index or one at or past the size
        if (index < 0 || static_cast<std::size_t>(index) >= views_.size()) return nullptr;
        return std::next(views_.begin(), index)->second.get();
    }
    // Files the view under the guid; a view filed there before is deleted.
    T* file(const Guid& guid, std::unique_ptr<T> view) {
        auto& slot = views_[guid];
        slot = std::move(view);
        return slot.get();
    }
    bool remove(const Guid& guid) { return views_.erase(guid) != 0; }   // deletes the view

private:
    std::map<Guid, std::unique_ptr<T>> views_;
};

}   // namespace tarnwick
