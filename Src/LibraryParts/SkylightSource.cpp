#include "LibraryParts/SkylightSource.h"

namespace tarnwick {

SkylightSource::~SkylightSource() = default;

std::unique_ptr<ComponentSource> SkylightSource::clone() const {
    return std::make_unique<SkylightSource>(*this);
}

}   // namespace tarnwick
