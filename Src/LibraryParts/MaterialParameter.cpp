#include "LibraryParts/MaterialParameter.h"

#include "Project/Attribute.h"
#include "Project/AttributeLink.h"

namespace tarnwick {

MaterialParameter::MaterialParameter(const String& name, const String& description,
                                     const Attribute& attribute, std::uint16_t flags, std::uint64_t rows,
                                     std::uint64_t columns, bool array)
    : IntegerParameter(name, description, static_cast<std::int16_t>(attribute.getIndex() & 0xFFFF), flags,
                       rows, columns, array) {}

MaterialParameter::~MaterialParameter() = default;

std::unique_ptr<Material> MaterialParameter::getAttribute(Specification* specification) const {
    return std::make_unique<Material>(AttributeLink(get(0, 0), AttributeType::material, specification));
}

std::unique_ptr<Parameter> MaterialParameter::clone() const {
    return std::make_unique<MaterialParameter>(*this);
}

}   // namespace tarnwick
