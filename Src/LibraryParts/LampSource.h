// LampSource: a library part of host type 5 (lamp).
#pragma once

#include <memory>

#include "LibraryParts/ObjectSource.h"

namespace tarnwick {

// Made by the Library's source creator for type 5; owned by the caller.
class LampSource : public ObjectSource {
public:
    using ObjectSource::ObjectSource;
    LampSource(const LampSource&) = default;
    ~LampSource() override;

    std::unique_ptr<ComponentSource> clone() const override;
};

}   // namespace tarnwick
