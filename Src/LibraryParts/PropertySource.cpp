#include "LibraryParts/PropertySource.h"

namespace tarnwick {

PropertySource::~PropertySource() = default;

std::unique_ptr<ComponentSource> PropertySource::clone() const {
    return std::make_unique<PropertySource>(*this);
}

}   // namespace tarnwick
