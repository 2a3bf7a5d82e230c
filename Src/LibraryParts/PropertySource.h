// PropertySource: a library part of host type 7 (property).
#pragma once

#include <memory>

#include "LibraryParts/ParametricSource.h"

namespace tarnwick {

// Made by the Library's source creator for type 7; owned by the caller.
class PropertySource : public ParametricSource {
public:
    using ParametricSource::ParametricSource;
    PropertySource(const PropertySource&) = default;
    ~PropertySource() override;

    std::unique_ptr<ComponentSource> clone() const override;
};

}   // namespace tarnwick
