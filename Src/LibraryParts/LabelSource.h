// LabelSource: a library part of host type 9 (label).
#pragma once

#include <memory>

#include "LibraryParts/ObjectSource.h"

namespace tarnwick {

// Made by the Library's source creator for type 9; owned by the caller.
class LabelSource : public ObjectSource {
public:
    using ObjectSource::ObjectSource;
    LabelSource(const LabelSource&) = default;
    ~LabelSource() override;

    std::unique_ptr<ComponentSource> clone() const override;
};

}   // namespace tarnwick
