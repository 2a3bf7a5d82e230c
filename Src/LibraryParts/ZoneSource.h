// ZoneSource: a library part of host type 6 (zone stamp).
#pragma once

#include <memory>

#include "LibraryParts/ObjectSource.h"

namespace tarnwick {

// Made by the Library's source creator for type 6; owned by the caller.
class ZoneSource : public ObjectSource {
public:
    using ObjectSource::ObjectSource;
    ZoneSource(const ZoneSource&) = default;
    ~ZoneSource() override;

    std::unique_ptr<ComponentSource> clone() const override;
};

}   // namespace tarnwick
