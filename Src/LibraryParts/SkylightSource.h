// SkylightSource: a library part of host type 13 (skylight).
#pragma once

#include <memory>

#include "LibraryParts/OpeningSource.h"

namespace tarnwick {

// Made by the Library's source creator for type 13; owned by the caller.
class SkylightSource : public OpeningSource {
public:
    using OpeningSource::OpeningSource;
    SkylightSource(const SkylightSource&) = default;
    ~SkylightSource() override;

    std::unique_ptr<ComponentSource> clone() const override;
};

}   // namespace tarnwick
