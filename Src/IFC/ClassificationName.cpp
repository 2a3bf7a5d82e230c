#include "IFC/ClassificationName.h"

#include "IFC/Classification.h"

namespace tarnwick {

ClassificationName::ClassificationName(const String& name, const String& systemName)
    : String(name), systemName_(systemName) {}

ClassificationName::ClassificationName(const Classification& item)
    : String(item.getName()), systemName_(item.getSystemName()) {}

std::unique_ptr<String> ClassificationName::clone() const { return std::make_unique<String>(*this); }

bool ClassificationName::operator==(const ClassificationName& other) const {
    return String::operator==(other) && systemName_ == other.systemName_;
}

}   // namespace tarnwick
