#include "LibraryParts/LineStyleParameter.h"

#include "Project/Attribute.h"
#include "Project/AttributeLink.h"

namespace tarnwick {

LineStyleParameter::LineStyleParameter(const String& name, const String& description,
                                       const Attribute& attribute, std::uint16_t flags, std::uint64_t rows,
                                       std::uint64_t columns, bool array)
    : IntegerParameter(name, description, static_cast<std::int16_t>(attribute.getIndex() & 0xFFFF), flags,
                       rows, columns, array) {}

LineStyleParameter::~LineStyleParameter() = default;

std::unique_ptr<LineStyle> LineStyleParameter::getAttribute(Specification* specification) const {
    return std::make_unique<LineStyle>(AttributeLink(get(0, 0), AttributeType::lineStyle, specification));
}

std::unique_ptr<Parameter> LineStyleParameter::clone() const {
    return std::make_unique<LineStyleParameter>(*this);
}

}   // namespace tarnwick
