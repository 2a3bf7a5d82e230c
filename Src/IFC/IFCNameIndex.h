// IFCNameIndex: names of IFC data by a key (a property-set name, or the empty text for attributes and
// references), each key's names in list order; a name may stand more than once.
#pragma once

#include <map>
#include <vector>

#include "Foundation/String.h"

namespace tarnwick {

class IFCNameIndex : public std::map<String, std::vector<String>> {
public:
    void add(const String& key, const String& name);   // makes the key when missing
    // Removes the first equal name under the key and the key when it empties; false when not there.
    bool remove(const String& key, const String& name);
    const std::vector<String>* find(const String& key) const;   // null when the key is absent
};

}   // namespace tarnwick
