#include "LibraryParts/SeparatorParameter.h"

namespace tarnwick {

SeparatorParameter::~SeparatorParameter() = default;

std::unique_ptr<Parameter> SeparatorParameter::clone() const {
    return std::make_unique<SeparatorParameter>(*this);
}

}   // namespace tarnwick
