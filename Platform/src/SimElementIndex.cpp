// SimProject's element lookup by guid: through a map of places that is only a hint (the element list is
// changed in many places), so a project of 100 000 elements does not scan its list for every call.
#include "SimProject.h"

namespace host {

SimElement* SimProject::findElement(const GuidBytes& guid) {
    if (isNullGuid(guid)) return nullptr;
    std::vector<SimElement>& elements = state.elements;
    const auto hinted = elementPlaces_.find(guid);
    if (hinted != elementPlaces_.end() && hinted->second < elements.size() &&
        elements[hinted->second].guid() == guid)
        return &elements[hinted->second];
    // Not where the hint says (or not hinted): scan, and note every place on the way.
    SimElement* found = nullptr;
    for (std::size_t i = 0; i < elements.size(); ++i) {
        const GuidBytes each = elements[i].guid();
        elementPlaces_[each] = i;
        if (found == nullptr && each == guid) found = &elements[i];
    }
    return found;
}

const SimElement* SimProject::findElement(const GuidBytes& guid) const {
    return const_cast<SimProject*>(this)->findElement(guid);
}

}   // namespace host
