// TransformList: an owned list of Transformations, applied first to last.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "Geometry/Transformation.h"

namespace tarnwick {

// Copying copies every transformation.
class TransformList {
public:
    TransformList() = default;
    TransformList(const TransformList& other);
    TransformList& operator=(const TransformList& other);
    TransformList(TransformList&&) noexcept = default;
    TransformList& operator=(TransformList&&) noexcept = default;

    void append(std::unique_ptr<Transformation> transform);   // a null one is not kept
    std::unique_ptr<Transformation> takeFirst();              // owned by the caller; null when empty
    void eraseFirst();                                        // nothing when empty
    std::size_t getSize() const { return list_.size(); }
    bool isEmpty() const { return list_.empty(); }
    const Transformation* getAt(std::size_t index) const;   // null past the end
    void clear() { list_.clear(); }

private:
    std::vector<std::unique_ptr<Transformation>> list_;
};

}   // namespace tarnwick
