#include "Project/PictureSource.h"

namespace tarnwick {

PictureSource::~PictureSource() = default;

std::unique_ptr<ComponentSource> PictureSource::clone() const {
    return std::make_unique<PictureSource>(*this);
}

}   // namespace tarnwick
