// AttrRefList: an owning list of attribute links (the layers an edit changed, attributes to delete).
#pragma once

#include <memory>

#include "Foundation/Vector.h"
#include "Project/AttributeLink.h"

namespace tarnwick {

// Owns its links (items may be null). Move-only; clone() is the deep copy.
class AttrRefList : public Vector<AttributeLink> {
public:
    AttrRefList() = default;
    virtual ~AttrRefList();
    AttrRefList(AttrRefList&&) noexcept = default;
    AttrRefList& operator=(AttrRefList&&) noexcept = default;

    virtual std::unique_ptr<AttrRefList> clone() const;   // every link copied, null items stay null
    AttributeLink* append(const AttributeLink& link);     // appends a copy; gives it (owned by the list)
};

}   // namespace tarnwick
