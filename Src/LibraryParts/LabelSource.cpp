#include "LibraryParts/LabelSource.h"

namespace tarnwick {

LabelSource::~LabelSource() = default;

std::unique_ptr<ComponentSource> LabelSource::clone() const { return std::make_unique<LabelSource>(*this); }

}   // namespace tarnwick
