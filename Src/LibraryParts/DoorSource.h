// DoorSource: a library part of host type 3 (door).
#pragma once

#include <memory>

#include "LibraryParts/OpeningSource.h"

namespace tarnwick {

// Made by the Library's source creator for type 3; owned by the caller.
class DoorSource : public OpeningSource {
public:
    using OpeningSource::OpeningSource;
    DoorSource(const DoorSource&) = default;
    ~DoorSource() override;

    std::unique_ptr<ComponentSource> clone() const override;
};

}   // namespace tarnwick
