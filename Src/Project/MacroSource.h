// MacroSource: a library part of host type 10 (macro); a ComponentSource with nothing of its own.
#pragma once

#include <memory>

#include "Project/ComponentSource.h"

namespace tarnwick {

// Made by the Library's source creator for type 10; owned by the caller.
class MacroSource : public ComponentSource {
public:
    using ComponentSource::ComponentSource;
    MacroSource(const MacroSource&) = default;
    ~MacroSource() override;

    std::unique_ptr<ComponentSource> clone() const override;
};

}   // namespace tarnwick
