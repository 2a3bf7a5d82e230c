#include "LibraryParts/ObjectSource.h"

#include <HostRecords.h>

namespace tarnwick {

ObjectSource::ObjectSource() : ParametricSource(ComponentLink(0, host::kLibraryObject, nullptr)) {}

ObjectSource::~ObjectSource() = default;

std::unique_ptr<ComponentSource> ObjectSource::clone() const { return std::make_unique<ObjectSource>(*this); }

}   // namespace tarnwick
