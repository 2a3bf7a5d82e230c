#include "Skellowing/XMLParameter.h"

#include "Foundation/XMLTypeProxy.h"
#include "LibraryParts/AngleParameter.h"
#include "LibraryParts/BooleanParameter.h"
#include "LibraryParts/ColourParameter.h"
#include "LibraryParts/FillParameter.h"
#include "LibraryParts/FinishParameter.h"
#include "LibraryParts/IntegerParameter.h"
#include "LibraryParts/IntensityParameter.h"
#include "LibraryParts/LengthParameter.h"
#include "LibraryParts/LineStyleParameter.h"
#include "LibraryParts/LongParameter.h"
#include "LibraryParts/MaterialParameter.h"
#include "LibraryParts/PenParameter.h"
#include "LibraryParts/RealParameter.h"
#include "LibraryParts/StringParameter.h"
#include "LibraryParts/SwitchParameter.h"

namespace skellow {
namespace {

using tarnwick::Parameter;
using tarnwick::ParameterType;
using tarnwick::String;

constexpr std::string_view kTags[] = {"name", "type", "columnCount"};
constexpr std::size_t kFixedChildren = 3;
constexpr std::string_view kValueTag = "value";

// The names of the types, each with how the reader builds its kind. The order is the reader's lookup
// order; "long" is read but never written, and "buildingmaterial" (a building material's index) comes
// last, so that the older names keep their places.
using Make = std::unique_ptr<Parameter> (*)(const String& name, std::uint64_t columns, bool array);
template <typename Kind>
std::unique_ptr<Parameter> make(const String& name, std::uint64_t columns, bool array) {
    return std::make_unique<Kind>(name, String(), /*flags=*/0, columns, /*index=*/0, array);
}
struct TypeName {
    std::string_view name;
    ParameterType type;
    Make make;
};
constexpr TypeName kTypeNames[] = {
    {"angle", ParameterType::angle, &make<tarnwick::AngleParameter>},
    {"boolean", ParameterType::boolean, &make<tarnwick::BooleanParameter>},
    {"colour", ParameterType::colour, &make<tarnwick::ColourParameter>},
    {"float", ParameterType::real, &make<tarnwick::RealParameter>},
    {"fill", ParameterType::fill, &make<tarnwick::FillParameter>},
    {"intensity", ParameterType::intensity, &make<tarnwick::IntensityParameter>},
    {"length", ParameterType::length, &make<tarnwick::LengthParameter>},
    {"long", ParameterType::integer, &make<tarnwick::LongParameter>},
    {"linestyle", ParameterType::lineStyle, &make<tarnwick::LineStyleParameter>},
    {"material", ParameterType::finish, &make<tarnwick::FinishParameter>},
    {"pen", ParameterType::pen, &make<tarnwick::PenParameter>},
    {"short", ParameterType::integer, &make<tarnwick::IntegerParameter>},
    {"string", ParameterType::string, &make<tarnwick::StringParameter>},
    {"switch", ParameterType::lightSwitch, &make<tarnwick::SwitchParameter>},
    {"buildingmaterial", ParameterType::material, &make<tarnwick::MaterialParameter>},
};

}   // namespace

XMLParameter::XMLParameter() : XMLAssembly(kTag) {}

XMLParameter::XMLParameter(const Parameter& parameter)
    : XMLAssembly(kTag),
      name_(parameter.getName()),
      typeName_(String(getTypeName(parameter.getType()).value_or(std::string_view{}))),
      columnCount_(static_cast<std::int32_t>(parameter.getColumnCount())) {
    for (std::uint64_t row = 0; row < parameter.getRowCount(); ++row)
        for (std::uint64_t column = 0; column < parameter.getColumnCount(); ++column)
            values_.push_back(parameter.getText(row, column));
}

XMLParameter::XMLParameter(const XMLParameter& other) = default;
XMLParameter::~XMLParameter() = default;

std::unique_ptr<tarnwick::XMLAssembly> XMLParameter::clone() const {
    return std::make_unique<XMLParameter>(*this);
}

void XMLParameter::clear() {
    XMLAssembly::clear();
    name_.clear();
    typeName_.clear();
    columnCount_ = 1;
    values_.clear();
}

std::size_t XMLParameter::getChildCount() const { return kFixedChildren + values_.size(); }

std::unique_ptr<tarnwick::XMLProxy> XMLParameter::findChild(std::string_view name, bool attribute) {
    if (!attribute && name == kValueTag) {
        values_.emplace_back();
        return std::make_unique<tarnwick::XMLTypeProxy<String>>(values_.back(), kValueTag);
    }
    return XMLAssembly::findChild(name, attribute);
}

namespace {
const TypeName* findKind(const String& name) {
    for (const TypeName& entry : kTypeNames)
        if (entry.name == name.getView()) return &entry;
    return nullptr;
}
}   // namespace

XMLParameter::Fault XMLParameter::check() const {
    // 1. The counts; 3. the kind.
    if (name_.isEmpty()) return Fault::noName;
    if (columnCount_ < 1) return Fault::badColumns;
    if (values_.empty()) return Fault::noValue;
    if (values_.size() % static_cast<std::uint64_t>(columnCount_) != 0) return Fault::rowsUnfilled;
    if (!findKind(typeName_)) return Fault::unknownType;
    return Fault::none;
}

std::unique_ptr<Parameter> XMLParameter::toParameter() const {
    if (check() != Fault::none) return nullptr;
    // 2. The rows; 4. the parameter, an array when it has more than one cell.
    const auto columns = static_cast<std::uint64_t>(columnCount_);
    const std::uint64_t rows = values_.size() / columns;
    std::unique_ptr<Parameter> parameter = findKind(typeName_)->make(name_, columns, rows > 1 || columns > 1);
    if (rows > 1) parameter->setRowCount(rows);
    // 5. The cells, row by row.
    for (std::uint64_t cell = 0; cell < values_.size(); ++cell)
        parameter->setText(values_[cell], cell / columns, cell % columns);
    return parameter;
}

std::optional<std::string_view> XMLParameter::getTypeName(ParameterType type) {
    // "short" comes after "long" in the table: the written name of an integer.
    std::optional<std::string_view> name;
    for (const TypeName& entry : kTypeNames)
        if (entry.type == type) name = entry.name;
    return name;
}

std::span<const std::string_view> XMLParameter::getChildTags() const { return kTags; }

std::unique_ptr<tarnwick::XMLProxy> XMLParameter::makeChildProxy(std::size_t index) {
    switch (index) {
        case 0:
            return std::make_unique<tarnwick::XMLTypeProxy<String>>(name_, kTags[0], /*isAttribute=*/true);
        case 1:
            return std::make_unique<tarnwick::XMLTypeProxy<String>>(typeName_, kTags[1],
                                                                    /*isAttribute=*/true);
        case 2:
            return std::make_unique<tarnwick::XMLTypeProxy<int>>(columnCount_, kTags[2], /*isAttribute=*/true,
                                                                 std::string_view{}, columnCount_ != 1);
        default:
            if (index - kFixedChildren >= values_.size()) return nullptr;
            return std::make_unique<tarnwick::XMLTypeProxy<String>>(values_[index - kFixedChildren],
                                                                    kValueTag);
    }
}

}   // namespace skellow
