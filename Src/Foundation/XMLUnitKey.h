// XMLUnitKey<K>: the key of a map item: one value with its own tag, read and written as a value child.
#pragma once

#include <memory>
#include <string_view>

#include "Foundation/XMLTypeProxy.h"

namespace tarnwick {

// A value; the tag is borrowed (a literal). Needs an XMLTypeProxy<K> text form (Guid has one).
template <typename K>
class XMLUnitKey {
public:
    explicit XMLUnitKey(std::string_view tag, K value = K{}, bool isAttribute = true)
        : value_(value), tag_(tag), isAttribute_(isAttribute) {}

    const K& getValue() const { return value_; }
    void setValue(const K& value) { value_ = value; }
    std::string_view getTag() const { return tag_; }
    bool isAttribute() const { return isAttribute_; }

    std::unique_ptr<XMLProxy> makeProxy() {   // over our value; must not outlive the key
        return std::make_unique<XMLTypeProxy<K>>(value_, tag_, isAttribute_);
    }

private:
    K value_;
    std::string_view tag_;
    bool isAttribute_;
};

}   // namespace tarnwick
