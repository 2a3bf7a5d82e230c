#include "LibraryParts/LengthParameter.h"

#include "Foundation/LengthSetting.h"
namespace tarnwick {

LengthParameter::~LengthParameter() = default;

std::unique_ptr<Parameter> LengthParameter::clone() const { return std::make_unique<LengthParameter>(*this); }

std::unique_ptr<Setting> LengthParameter::makeValueObject() const {
    return std::make_unique<LengthSetting>();
}

}   // namespace tarnwick
