#include "LibraryParts/PenParameter.h"

#include "Project/Attribute.h"
#include "Project/AttributeLink.h"

namespace tarnwick {

PenParameter::PenParameter(const String& name, const String& description, const Attribute& attribute,
                           std::uint16_t flags, std::uint64_t rows, std::uint64_t columns, bool array)
    : IntegerParameter(name, description, static_cast<std::int16_t>(attribute.getIndex() & 0xFFFF), flags,
                       rows, columns, array) {}

PenParameter::~PenParameter() = default;

std::unique_ptr<Pen> PenParameter::getAttribute(Specification* specification) const {
    return std::make_unique<Pen>(AttributeLink(get(0, 0), AttributeType::pen, specification));
}

std::unique_ptr<Parameter> PenParameter::clone() const { return std::make_unique<PenParameter>(*this); }

}   // namespace tarnwick
