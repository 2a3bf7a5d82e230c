#include "LibraryParts/FinishParameter.h"

#include "Project/Attribute.h"
#include "Project/AttributeLink.h"

namespace tarnwick {

FinishParameter::FinishParameter(const String& name, const String& description, const Attribute& attribute,
                                 std::uint16_t flags, std::uint64_t rows, std::uint64_t columns, bool array)
    : IntegerParameter(name, description, static_cast<std::int16_t>(attribute.getIndex() & 0xFFFF), flags,
                       rows, columns, array) {}

FinishParameter::~FinishParameter() = default;

std::unique_ptr<Finish> FinishParameter::getAttribute(Specification* specification) const {
    return std::make_unique<Finish>(AttributeLink(get(0, 0), AttributeType::finish, specification));
}

std::unique_ptr<Parameter> FinishParameter::clone() const { return std::make_unique<FinishParameter>(*this); }

}   // namespace tarnwick
