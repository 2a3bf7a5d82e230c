// SkellowingPrefs: the product's project package: the active configuration of the object mapping table
// for each source kind.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

#include <FourCC.h>

#include "Environment/Package.h"
#include "Foundation/String.h"
#include "Skellowing/ObjectMapType.h"

namespace skellow {

// Filed at the project location (0), so it travels in the project's module data as
// <skellowingPrefs><ifcSource>...</ifcSource>...<legaceSource>...</legaceSource></skellowingPrefs>. The
// tag "legaceSource" is spelled as projects store it. Copyable through clone.
class SkellowingPrefs : public tarnwick::Package {
public:
    static constexpr std::uint32_t kCode = host::fourcc("SKPP");

    SkellowingPrefs();   // every source "Default"
    SkellowingPrefs(const SkellowingPrefs& other);
    ~SkellowingPrefs() override;

    std::unique_ptr<tarnwick::XMLAssembly> clone() const override;
    std::uint32_t getPackageCode() const override { return kCode; }
    void clear() override;   // back to "Default" for every kind

    // The active configuration's name of a kind. Throws std::out_of_range for ObjectMapType::none.
    const tarnwick::String& getSource(ObjectMapType kind) const;
    void setSource(const tarnwick::String& name, ObjectMapType kind);   // throws as getSource
    void reset();                                                       // "Default" everywhere

protected:
    std::span<const std::string_view> getChildTags() const override;
    std::unique_ptr<tarnwick::XMLProxy> makeChildProxy(std::size_t index) override;

private:
    tarnwick::String sources_[kSourceKinds];   // in kind order
};

}   // namespace skellow
