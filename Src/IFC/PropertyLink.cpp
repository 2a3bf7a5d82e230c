#include "IFC/PropertyLink.h"

#include <algorithm>

namespace tarnwick {

PropertyLink::~PropertyLink() = default;

bool contains(const PropertyLinks& links, const PropertyLink& link) {
    return std::find(links.begin(), links.end(), link) != links.end();
}

void appendUnique(PropertyLinks& links, const PropertyLink& link) {
    if (!contains(links, link)) links.push_back(link);
}

void merge(PropertyLinks& target, const PropertyLinks& source, PropertyLinks* changes) {
    if (changes != nullptr)
        for (const PropertyLink& link : target)
            if (!contains(source, link)) changes->push_back(link);
    if (target.empty()) {
        target = source;
        if (changes != nullptr) changes->insert(changes->end(), source.begin(), source.end());
        return;
    }
    for (const PropertyLink& link : source) {
        if (contains(target, link)) continue;
        target.push_back(link);
        if (changes != nullptr) changes->push_back(link);
    }
}

void filter(PropertyLinks& links, const PropertyLinks& kept) {
    std::erase_if(links, [&](const PropertyLink& link) { return !contains(kept, link); });
}

bool difference(const PropertyLinks& first, const PropertyLinks& second, PropertyLinks& onlyInFirst,
                PropertyLinks& onlyInSecond) {
    for (const PropertyLink& link : first)
        if (!contains(second, link)) onlyInFirst.push_back(link);
    for (const PropertyLink& link : second)
        if (!contains(first, link)) onlyInSecond.push_back(link);
    return !onlyInFirst.empty() || !onlyInSecond.empty();
}

}   // namespace tarnwick
