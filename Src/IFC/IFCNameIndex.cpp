#include "IFC/IFCNameIndex.h"

#include <algorithm>

namespace tarnwick {

void IFCNameIndex::add(const String& key, const String& name) { (*this)[key].push_back(name); }

bool IFCNameIndex::remove(const String& key, const String& name) {
    const auto entry = map::find(key);
    if (entry == end()) return false;
    auto& names = entry->second;
    const auto found = std::find(names.begin(), names.end(), name);
    if (found == names.end()) return false;
    names.erase(found);
    if (names.empty()) erase(entry);
    return true;
}

const std::vector<String>* IFCNameIndex::find(const String& key) const {
    const auto entry = map::find(key);
    return entry == end() ? nullptr : &entry->second;
}

}   // namespace tarnwick
