#include "Geometry/TransformList.h"

namespace tarnwick {

TransformList::TransformList(const TransformList& other) {
    list_.reserve(other.list_.size());
    for (const auto& transform : other.list_) list_.push_back(std::make_unique<Transformation>(*transform));
}

TransformList& TransformList::operator=(const TransformList& other) {
    if (this != &other) *this = TransformList(other);
    return *this;
}

void TransformList::append(std::unique_ptr<Transformation> transform) {
    if (transform) list_.push_back(std::move(transform));
}

std::unique_ptr<Transformation> TransformList::takeFirst() {
    if (list_.empty()) return nullptr;
    std::unique_ptr<Transformation> first = std::move(list_.front());
    list_.erase(list_.begin());
    return first;
}

void TransformList::eraseFirst() {
    if (!list_.empty()) list_.erase(list_.begin());
}

const Transformation* TransformList::getAt(std::size_t index) const {
    return index < list_.size() ? list_[index].get() : nullptr;
}

}   // namespace tarnwick
