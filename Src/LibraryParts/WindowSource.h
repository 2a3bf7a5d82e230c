// WindowSource: a library part of host type 2 (window).
#pragma once

#include <memory>

#include "LibraryParts/OpeningSource.h"

namespace tarnwick {

// Made by the Library's source creator for type 2; owned by the caller.
class WindowSource : public OpeningSource {
public:
    using OpeningSource::OpeningSource;
    WindowSource(const WindowSource&) = default;
    ~WindowSource() override;

    std::unique_ptr<ComponentSource> clone() const override;
};

}   // namespace tarnwick
