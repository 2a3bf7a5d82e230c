#include "LibraryParts/LampSource.h"

namespace tarnwick {

LampSource::~LampSource() = default;

std::unique_ptr<ComponentSource> LampSource::clone() const { return std::make_unique<LampSource>(*this); }

}   // namespace tarnwick
