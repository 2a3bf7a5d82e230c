// PresetList: the style templates of the add-on's companion library, in the order of its starter data.
#pragma once

#include <cstddef>
#include <memory>
#include <string_view>

#include "Foundation/XMLArray.h"
#include "Styles/Preset.h"

namespace tarnwick {

class PresetDatabase;
class PresetRecord;
class String;

// Owns its templates; copies are deep. XML: <presetList><preset .../>...</presetList>.
class PresetList : public XMLArray {
public:
    static constexpr std::string_view kTag = "presetList";

    PresetList() : XMLArray(kTag, Preset::kTag) {}
    PresetList(const PresetList&) = default;
    ~PresetList() override;

    std::unique_ptr<XMLAssembly> clone() const override;
    std::size_t size() const { return getItemCount(); }
    const Preset& at(std::size_t index) const { return static_cast<const Preset&>(getItem(index)); }
    Preset& add(std::unique_ptr<Preset> preset);

    // The first template of the type whose key parameter has the name; null when none.
    const Preset* findByKey(const String& type, const String& keyParameterName) const;
    // The first template of the record's type that takes the parameter name for it; null when none.
    const Preset* findOwner(const PresetRecord& record, const String& parameterName,
                            const PresetDatabase& database) const;

    // The templates of the running add-on's companion library; null without an add-on.
    static const PresetList* ofAddon();

protected:
    std::unique_ptr<XMLAssembly> makeItem() override { return std::make_unique<Preset>(); }
};

}   // namespace tarnwick
