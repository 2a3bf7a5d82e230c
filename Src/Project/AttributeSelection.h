// AttributeSelection: attributes of one kind gathered from a walk, owned together, linked to and
// written back together.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "Project/AttrRefList.h"
#include "Project/Attribute.h"
#include "Project/Specification.h"

namespace tarnwick {

// Owns what it keeps; not copyable. Kind is an Attribute class (Layer, ...).
template <class Kind>
class AttributeSelection {
public:
    AttributeSelection() = default;
    AttributeSelection(const AttributeSelection&) = delete;
    AttributeSelection& operator=(const AttributeSelection&) = delete;
    virtual ~AttributeSelection() = default;

    // Keeps the attribute and answers true when it is a Kind; anything else is deleted here (false).
    bool add(std::unique_ptr<Attribute> attribute) {
        auto* kind = dynamic_cast<Kind*>(attribute.get());
        if (kind == nullptr) return false;
        static_cast<void>(attribute.release());
        items_.emplace_back(kind);
        return true;
    }

    std::size_t size() const { return items_.size(); }
    Kind& operator[](std::size_t index) const { return *items_.at(index); }

    // A copy of each kept attribute's link, in order; owned by the caller.
    std::unique_ptr<AttrRefList> makeLinks() const {
        auto links = std::make_unique<AttrRefList>();
        for (const auto& item : items_) links->append(item->getLink());
        return links;
    }

    // Writes every kept attribute back through the Specification given, else through its own link's
    // owner. True when every write succeeded; false when one failed or an attribute has no owner (the
    // others are written all the same).
    bool writeAll(Specification* specification = nullptr) {
        bool all = true;
        for (const auto& item : items_) {
            Specification* owner = specification != nullptr ? specification : item->getLink().getOwner();
            all = owner != nullptr && owner->write(*item) && all;
        }
        return all;
    }

private:
    std::vector<std::unique_ptr<Kind>> items_;
};

}   // namespace tarnwick
