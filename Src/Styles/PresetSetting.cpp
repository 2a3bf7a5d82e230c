#include "Styles/PresetSetting.h"

#include <type_traits>

#include "Foundation/TracedException.h"
#include "Foundation/XMLAssemblyProxy.h"
#include "Foundation/XMLTypeProxy.h"
#include "LibraryParts/IntegerParameter.h"
#include "LibraryParts/ParameterList.h"
#include "Styles/PresetField.h"
#include "Styles/PresetRecord.h"

namespace tarnwick {
namespace {

constexpr std::string_view kChildTags[] = {"field", "parameter", "flags"};

// The integer parameter of the cell's name when it has the row; null when there is none.
template <typename List>
auto* flagsCell(List& parameters, const PresetParameter& cell, std::uint64_t row) {
    using Integer = std::conditional_t<std::is_const_v<List>, const IntegerParameter, IntegerParameter>;
    Integer* const flags = cell.name.isEmpty() ? nullptr : dynamic_cast<Integer*>(parameters.find(cell.name));
    return flags && flags->holdsCell(row, 0) ? flags : nullptr;
}

}   // namespace

PresetSetting::PresetSetting(const String& field, const PresetParameter& parameter)
    : XMLArray(kTag, "legacy"), field(field), parameter(parameter) {}

PresetSetting::~PresetSetting() = default;

std::unique_ptr<XMLAssembly> PresetSetting::clone() const { return std::make_unique<PresetSetting>(*this); }

void PresetSetting::clear() {
    field.clear();
    XMLArray::clear();
}

const PresetParameter& PresetSetting::getLegacyParameter(std::size_t n) const {
    if (n >= legacyCount()) throw TracedException("out_of_range", "PresetSetting::getLegacyParameter");
    return static_cast<const PresetParameter&>(getItem(n));
}

PresetParameter& PresetSetting::addLegacyParameter(const PresetParameter& parameter) {
    return static_cast<PresetParameter&>(addItem(std::make_unique<PresetParameter>(parameter)));
}

bool PresetSetting::apply(ParameterList& parameters, std::uint64_t i, const PresetRecord& record) const {
    // 1. The field.
    const PresetField* const value = record.findField(field);
    if (!value) return false;
    bool changed = false;
    // 2. Its flag as 0 or 1.
    const std::uint64_t flagsRow = flags.row + i;
    if (IntegerParameter* const cell = flagsCell(parameters, flags, flagsRow)) {
        const std::int16_t wanted = value->getFlag() ? 1 : 0;
        if (cell->get(flagsRow, 0) != wanted) {
            cell->set(wanted, flagsRow, 0);
            changed = true;
        }
    }
    // 3. Its values, unless flagged.
    const std::uint64_t row = parameter.row + i;
    Parameter* const target = parameters.find(parameter.name);
    if (!value->getFlag() && target && row < target->getRowCount())
        changed = value->applyTo(*target, row, parameter.column) || changed;
    return changed;
}

void PresetSetting::store(const ParameterList& parameters, std::uint64_t i, PresetRecord& record) const {
    PresetField* const value = record.findField(field);
    if (!value) return;
    const std::uint64_t flagsRow = flags.row + i;
    if (const IntegerParameter* cell = flagsCell(parameters, flags, flagsRow))
        value->setFlag((cell->get(flagsRow, 0) & 1) != 0);
    const std::uint64_t row = parameter.row + i;
    const Parameter* const source = parameters.find(parameter.name);
    if (!value->getFlag() && source && row < source->getRowCount())
        value->storeFrom(*source, row, parameter.column);
}

std::span<const std::string_view> PresetSetting::getChildTags() const { return kChildTags; }

std::unique_ptr<XMLProxy> PresetSetting::makeChildProxy(std::size_t index) {
    switch (index) {
        case 0:
            return std::make_unique<XMLTypeProxy<String>>(field, kChildTags[0], /*isAttribute=*/true);
        case 1:
            return std::make_unique<XMLAssemblyProxy>(parameter, kChildTags[1]);
        case 2:
            return std::make_unique<XMLAssemblyProxy>(flags, kChildTags[2], false, std::string_view{},
                                                      /*present=*/!flags.name.isEmpty());
        default:
            return XMLArray::makeChildProxy(index);
    }
}

std::unique_ptr<XMLAssembly> PresetSetting::makeItem() { return std::make_unique<PresetParameter>(); }

}   // namespace tarnwick
