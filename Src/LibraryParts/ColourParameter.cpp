#include "LibraryParts/ColourParameter.h"

namespace tarnwick {

ColourParameter::~ColourParameter() = default;

std::unique_ptr<Parameter> ColourParameter::clone() const { return std::make_unique<ColourParameter>(*this); }

}   // namespace tarnwick
