// OpeningSource: the base of the parametric parts that are openings: doors, windows and skylights.
#pragma once

#include <memory>

#include "LibraryParts/ParametricSource.h"

namespace tarnwick {

// The base of the opening kinds; no creator makes it. Owned by the caller.
class OpeningSource : public ParametricSource {
public:
    using ParametricSource::ParametricSource;
    OpeningSource(const OpeningSource&) = default;
    ~OpeningSource() override;

    std::unique_ptr<ComponentSource> clone() const override;
};

}   // namespace tarnwick
