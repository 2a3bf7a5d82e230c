#include "LibraryParts/TitleParameter.h"

namespace tarnwick {

TitleParameter::~TitleParameter() = default;

std::unique_ptr<Parameter> TitleParameter::clone() const { return std::make_unique<TitleParameter>(*this); }

void TitleParameter::reset() {
    setName(String());
    setDescription(String());
}

}   // namespace tarnwick
