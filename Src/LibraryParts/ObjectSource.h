// ObjectSource: a library part of host type 4 (object).
#pragma once

#include <memory>

#include "LibraryParts/ParametricSource.h"

namespace tarnwick {

// Made by the Library's source creator for type 4; owned by the caller.
class ObjectSource : public ParametricSource {
public:
    using ParametricSource::ParametricSource;
    // A new object part, not yet in the host (type 4, index 0): Library::savePart creates it.
    ObjectSource();
    ObjectSource(const ObjectSource&) = default;
    ~ObjectSource() override;

    std::unique_ptr<ComponentSource> clone() const override;
};

}   // namespace tarnwick
