#include "Project/MacroSource.h"

namespace tarnwick {

MacroSource::~MacroSource() = default;

std::unique_ptr<ComponentSource> MacroSource::clone() const { return std::make_unique<MacroSource>(*this); }

}   // namespace tarnwick
