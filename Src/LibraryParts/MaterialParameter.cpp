#include "LibraryParts/MaterialParameter.h"

namespace tarnwick {

MaterialParameter::~MaterialParameter() = default;

std::unique_ptr<Parameter> MaterialParameter::clone() const {
    return std::make_unique<MaterialParameter>(*this);
}

}   // namespace tarnwick
