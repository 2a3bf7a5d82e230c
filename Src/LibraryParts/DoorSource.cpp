#include "LibraryParts/DoorSource.h"

namespace tarnwick {

DoorSource::~DoorSource() = default;

std::unique_ptr<ComponentSource> DoorSource::clone() const { return std::make_unique<DoorSource>(*this); }

}   // namespace tarnwick
