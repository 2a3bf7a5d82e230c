#include "Project/AttrRefList.h"

namespace tarnwick {

AttrRefList::~AttrRefList() = default;

std::unique_ptr<AttrRefList> AttrRefList::clone() const {
    auto copy = std::make_unique<AttrRefList>();
    copy->reserve(size());
    for (const auto& link : *this) copy->push_back(link ? link->clone() : nullptr);
    return copy;
}

AttributeLink* AttrRefList::append(const AttributeLink& link) { return push_back(link.clone()); }

}   // namespace tarnwick
