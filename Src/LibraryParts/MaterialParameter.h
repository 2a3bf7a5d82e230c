// MaterialParameter: a library-part parameter of type code 16: a building material index.
#pragma once

#include <memory>

#include "LibraryParts/IntegerParameter.h"
#include "Project/Material.h"

namespace tarnwick {

class Attribute;
class Specification;

// Owned by its ParameterList or by the caller; copied through clone().
class MaterialParameter : public IntegerParameter {
public:
    using IntegerParameter::IntegerParameter;
    // Holds the attribute's index in every cell of rows x columns (see IntegerParameter).
    MaterialParameter(const String& name, const String& description, const Attribute& attribute,
                      std::uint16_t flags, std::uint64_t rows, std::uint64_t columns, bool array);
    MaterialParameter(const MaterialParameter& other) = default;
    ~MaterialParameter() override;

    std::unique_ptr<Parameter> clone() const override;
    ParameterType getType() const override { return ParameterType::material; }
    CommandParameterKind getCommandKind() const override { return CommandParameterKind::integer; }

    // The attribute of the index in cell (0, 0), in the given Specification (null: the project's);
    // owned by the caller.
    std::unique_ptr<Material> getAttribute(Specification* specification = nullptr) const;
};

}   // namespace tarnwick
