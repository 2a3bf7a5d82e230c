#include "LibraryParts/ZoneSource.h"

namespace tarnwick {

ZoneSource::~ZoneSource() = default;

std::unique_ptr<ComponentSource> ZoneSource::clone() const { return std::make_unique<ZoneSource>(*this); }

}   // namespace tarnwick
