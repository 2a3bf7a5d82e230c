// PictureSource: a library part of host type 11 (picture); a ComponentSource with nothing of its own.
#pragma once

#include <memory>

#include "Project/ComponentSource.h"

namespace tarnwick {

// Made by the Library's source creator for type 11; owned by the caller.
class PictureSource : public ComponentSource {
public:
    using ComponentSource::ComponentSource;
    PictureSource(const PictureSource&) = default;
    ~PictureSource() override;

    std::unique_ptr<ComponentSource> clone() const override;
};

}   // namespace tarnwick
