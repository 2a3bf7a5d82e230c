// ElementLinkList: an owning list of element links with a deep clone and a sorted flag.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include <HostGuid.h>
#include <HostMemory.h>

#include "Foundation/Vector.h"
#include "Project/ElementLink.h"

namespace tarnwick {

class Drawing;

// Owns its links (items may be null). Move-only; clone() is the deep copy. The sorted flag is false
// when a list is made, copied by clone(), set by sort(); appending does not clear it (a list sorted
// once is not sorted again).
class ElementLinkList : public Vector<ElementLink> {
public:
    static constexpr std::size_t npos = static_cast<std::size_t>(-1);   // find(): not there

    ElementLinkList() = default;
    explicit ElementLinkList(std::size_t capacity) { reserve(capacity); }
    virtual ~ElementLinkList();
    ElementLinkList(ElementLinkList&&) noexcept = default;
    ElementLinkList& operator=(ElementLinkList&&) noexcept = default;

    // A deep copy: every non-null link copied, null items stay null; the sorted flag too.
    virtual std::unique_ptr<ElementLinkList> clone() const;

    ElementLink* append(const ElementLink& link);   // appends a copy; gives it (owned by the list)
    // A link made from each guid within the Drawing, appended when its guid is valid (an element the
    // host no longer has is dropped). Capacity grows once first. Gives the number appended.
    std::size_t append(const host::GuidRecord* guids, std::size_t count, Drawing& drawing);
    std::size_t appendCopies(const ElementLinkList& other);   // copies of other's non-null links

    std::size_t find(const ElementLink& link) const;   // position of the first equal link, or npos
    bool contains(const ElementLink& link) const { return find(link) != npos; }

    // When not yet sorted: sorts by the link order (nulls last) and sets the flag.
    void sort();
    bool isSorted() const { return sorted_; }

    // New host handles of 112-byte heads / 52-byte part references, one per non-null link in list order
    // (null for an empty list); resolve marks section elements as in ElementLink::getHead. The caller
    // disposes the handle. Throws TracedException "bad_alloc" when the memory manager fails.
    host::Handle makeHeads(bool resolve) const;
    host::Handle makePartReferences(bool resolve) const;

private:
    bool sorted_ = false;
};

}   // namespace tarnwick
