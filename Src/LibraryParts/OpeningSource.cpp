#include "LibraryParts/OpeningSource.h"

namespace tarnwick {

OpeningSource::~OpeningSource() = default;

std::unique_ptr<ComponentSource> OpeningSource::clone() const {
    return std::make_unique<OpeningSource>(*this);
}

}   // namespace tarnwick
