// TarnwickLibrary: the add-on's companion library package: the style templates (PresetList) read from
// the starter data that ships with the add-on's library, "<add-on name> Starter Presets-<language>".
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

#include <FourCC.h>

#include "Environment/Package.h"
#include "Foundation/String.h"
#include "Styles/PresetList.h"

namespace tarnwick {

// Owned by the add-on (Addon::getTarnwickLibrary), made empty on first use. XML:
// <tarnwickLibrary><presetList>...</presetList></tarnwickLibrary>.
class TarnwickLibrary : public Package {
public:
    static constexpr std::uint32_t kCode = host::fourcc("TLIB");
    static constexpr std::string_view kTag = "tarnwickLibrary";

    TarnwickLibrary();
    TarnwickLibrary(const TarnwickLibrary&) = default;
    ~TarnwickLibrary() override;

    std::unique_ptr<XMLAssembly> clone() const override;
    std::uint32_t getPackageCode() const override { return kCode; }
    void clear() override;

    PresetList& getPresets() { return presets_; }
    const PresetList& getPresets() const { return presets_; }

    // Reads the starter data of the add-on named: the library part "<name> Starter Presets-<language>",
    // else "<name> Starter Presets-INT", a file whose root "tarnwickPresets" holds this package and a
    // style database. The templates replace ours; the starter styles are put into the project's style
    // database when it has one. A missing part is no error (true, nothing read); a file that cannot be
    // read is refused whole (false, error says where) and changes nothing.
    bool readStarterData(const String& addonName, String& error);

protected:
    std::span<const std::string_view> getChildTags() const override;
    std::unique_ptr<XMLProxy> makeChildProxy(std::size_t index) override;

private:
    PresetList presets_;
};

}   // namespace tarnwick
