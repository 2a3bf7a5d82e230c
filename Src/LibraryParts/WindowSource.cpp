#include "LibraryParts/WindowSource.h"

namespace tarnwick {

WindowSource::~WindowSource() = default;

std::unique_ptr<ComponentSource> WindowSource::clone() const { return std::make_unique<WindowSource>(*this); }

}   // namespace tarnwick
