#include "LibraryParts/FillParameter.h"

#include "Project/Attribute.h"
#include "Project/AttributeLink.h"

namespace tarnwick {

FillParameter::FillParameter(const String& name, const String& description, const Attribute& attribute,
                             std::uint16_t flags, std::uint64_t rows, std::uint64_t columns, bool array)
    : IntegerParameter(name, description, static_cast<std::int16_t>(attribute.getIndex() & 0xFFFF), flags,
                       rows, columns, array) {}

FillParameter::~FillParameter() = default;

std::unique_ptr<Fill> FillParameter::getAttribute(Specification* specification) const {
    return std::make_unique<Fill>(AttributeLink(get(0, 0), AttributeType::fill, specification));
}

std::unique_ptr<Parameter> FillParameter::clone() const { return std::make_unique<FillParameter>(*this); }

}   // namespace tarnwick
