#include "IFC/PropertyName.h"

namespace tarnwick {

PropertyName::PropertyName(const String& name, const String& groupName)
    : String(name), groupName_(groupName) {}

PropertyName::~PropertyName() = default;

std::unique_ptr<String> PropertyName::clone() const { return std::make_unique<PropertyName>(*this); }

void PropertyName::clear() {
    String::clear();
    groupName_.clear();
}

}   // namespace tarnwick
