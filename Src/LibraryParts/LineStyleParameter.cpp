#include "LibraryParts/LineStyleParameter.h"

namespace tarnwick {

LineStyleParameter::~LineStyleParameter() = default;

std::unique_ptr<Parameter> LineStyleParameter::clone() const {
    return std::make_unique<LineStyleParameter>(*this);
}

}   // namespace tarnwick
