#include "Project/ElementLinkList.h"

#include <algorithm>

#include "Foundation/Memory.h"

namespace tarnwick {
namespace {

// A new handle of one record per non-null link, filled by `fill`; null for no links.
template <typename Record, typename Fill>
host::Handle makeRecords(const ElementLinkList& list, Fill fill) {
    std::size_t count = 0;
    for (const auto& link : list)
        if (link) ++count;
    if (count == 0) return nullptr;
    host::Handle handle = allocateHandle(count * sizeof(Record));
    auto* records = reinterpret_cast<Record*>(*handle);
    std::size_t at = 0;
    for (const auto& link : list)
        if (link) fill(*link, records[at++]);
    return handle;
}

}   // namespace

ElementLinkList::~ElementLinkList() = default;

std::unique_ptr<ElementLinkList> ElementLinkList::clone() const {
    auto copy = std::make_unique<ElementLinkList>(size());
    for (const auto& link : *this) copy->push_back(link ? link->clone() : nullptr);
    copy->sorted_ = sorted_;
    return copy;
}

ElementLink* ElementLinkList::append(const ElementLink& link) { return push_back(link.clone()); }

std::size_t ElementLinkList::append(const host::GuidRecord* guids, std::size_t count, Drawing& drawing) {
    if (guids == nullptr || count == 0) return 0;
    reserve(size() + count);
    std::size_t added = 0;
    for (std::size_t i = 0; i < count; ++i) {
        auto link = std::make_unique<ElementLink>(Guid(guids[i]), &drawing);
        if (!link->hasGuid()) continue;   // the host could not read the element
        push_back(std::move(link));
        ++added;
    }
    return added;
}

std::size_t ElementLinkList::appendCopies(const ElementLinkList& other) {
    if (&other == this) return appendCopies(*other.clone());
    std::size_t added = 0;
    for (const auto& link : other) {
        if (!link) continue;
        append(*link);
        ++added;
    }
    return added;
}

std::size_t ElementLinkList::find(const ElementLink& link) const {
    for (std::size_t i = 0; i < size(); ++i)
        if ((*this)[i] != nullptr && *(*this)[i] == link) return i;
    return npos;
}

void ElementLinkList::sort() {
    if (sorted_) return;
    std::stable_sort(begin(), end(),
                     [](const std::unique_ptr<ElementLink>& a, const std::unique_ptr<ElementLink>& b) {
                         if (!a || !b) return a != nullptr && b == nullptr;   // nulls last
                         return *a < *b;
                     });
    sorted_ = true;
}

host::Handle ElementLinkList::makeHeads(bool resolve) const {
    return makeRecords<host::ElementHead>(
        *this, [resolve](ElementLink& link, host::ElementHead& head) { link.getHead(head, resolve); });
}

host::Handle ElementLinkList::makePartReferences(bool resolve) const {
    return makeRecords<host::PartReference>(
        *this, [resolve](ElementLink& link, host::PartReference& reference) {
            link.getPartReference(reference, resolve, /*recompute=*/false);
        });
}

}   // namespace tarnwick
