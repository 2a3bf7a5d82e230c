// PresetSetting: one field of a style tied to a parameter cell of a library part, with an optional
// integer cell that mirrors the field's flag and the older parameter names the field's value was kept
// under (read by the legacy importer). It moves the field between a style and the parameters.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

#include "Foundation/String.h"
#include "Foundation/XMLArray.h"
#include "Styles/PresetParameter.h"

namespace tarnwick {

class ParameterList;
class PresetRecord;

// XML: <presetSetting field="..."><parameter .../><flags .../><legacy .../>...</presetSetting>; the
// flags cell is written only when it names a parameter. Copies are deep.
class PresetSetting : public XMLArray {
public:
    static constexpr std::string_view kTag = "presetSetting";

    explicit PresetSetting(const String& field = String(),
                           const PresetParameter& parameter = PresetParameter());
    PresetSetting(const PresetSetting&) = default;
    ~PresetSetting() override;

    std::unique_ptr<XMLAssembly> clone() const override;
    void clear() override;   // no field and no legacy names; the cells stay
    bool isValid() override { return !field.isEmpty(); }

    std::size_t legacyCount() const { return getItemCount(); }
    // The nth older name; throws TracedException "out_of_range" when n is not below legacyCount().
    const PresetParameter& getLegacyParameter(std::size_t n) const;
    PresetParameter& addLegacyParameter(const PresetParameter& parameter);

    // The field of the record into row i of the cells (its flag into the flags cell); true on a change.
    bool apply(ParameterList& parameters, std::uint64_t i, const PresetRecord& record) const;
    // The cells of row i into the record's field (the flag from bit 0 of the flags cell).
    void store(const ParameterList& parameters, std::uint64_t i, PresetRecord& record) const;

    String field;
    PresetParameter parameter;
    PresetParameter flags;

protected:
    std::span<const std::string_view> getChildTags() const override;
    std::unique_ptr<XMLProxy> makeChildProxy(std::size_t index) override;
    std::unique_ptr<XMLAssembly> makeItem() override;
};

}   // namespace tarnwick
