// PropertyLink: the GUID of a property definition, by which everything names a definition; with the
// operations on lists of links.
#pragma once

#include <vector>

#include "Foundation/Guid.h"

namespace tarnwick {

// A value. The null GUID names no definition. Links compare by GUID only.
class PropertyLink : public Guid {
public:
    PropertyLink() = default;
    explicit PropertyLink(const Guid& guid) : Guid(guid) {}
    ~PropertyLink() override;
    PropertyLink(const PropertyLink&) = default;
    PropertyLink& operator=(const PropertyLink&) = default;
};

using PropertyLinks = std::vector<PropertyLink>;

bool contains(const PropertyLinks& links, const PropertyLink& link);
void appendUnique(PropertyLinks& links, const PropertyLink& link);
// An empty target becomes a copy of the source; otherwise the source's links it lacks are appended. With
// `changes`, that list receives the target's old links the source lacks, then the links appended.
void merge(PropertyLinks& target, const PropertyLinks& source, PropertyLinks* changes = nullptr);
// Keeps, in order, only the links that are also in `kept`.
void filter(PropertyLinks& links, const PropertyLinks& kept);
// The links of the first list missing from the second, and of the second missing from the first; true
// when either is not empty.
bool difference(const PropertyLinks& first, const PropertyLinks& second, PropertyLinks& onlyInFirst,
                PropertyLinks& onlyInSecond);

}   // namespace tarnwick
