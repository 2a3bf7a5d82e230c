// SkellowingAddon: the product's add-on object: its version, its data folder and its tools (the
// "Object Skellowing" menu and the preference package).
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "Environment/Addon.h"
#include "Environment/Subscriber.h"
#include "Foundation/Directory.h"
#include "Foundation/String.h"

namespace skellow {

// The one add-on object while the module is loaded (Addon::getInstance). Owns its tools.
class SkellowingAddon : public tarnwick::Addon {
public:
    using ToolList = std::vector<std::unique_ptr<tarnwick::Subscriber>>;

    SkellowingAddon();   // registers the attribute creators; no tools yet
    ~SkellowingAddon() override;

    tarnwick::String getVersion() const override;   // "1.14"
    tarnwick::String getBuild() const override;     // "18"
    // "Skellowing" under the host's special folder 5, made when missing; null when there is none and it
    // cannot be made. It holds the mapping table file, and any preference file.
    std::unique_ptr<tarnwick::Directory> getPreferencesFolder() const override;
    std::unique_ptr<tarnwick::Directory> getDataFolder() const { return getPreferencesFolder(); }
    // Where that folder is or would be made, for a message when it cannot be: its name alone when the
    // host has no special folder 5.
    tarnwick::String getDataFolderPath() const;
    // The element creators for doors, lamps, objects and windows, the preference package, the menu.
    void installTools() override;

private:
    ToolList tools_;
};

// The factory pair the module registers: createAddon starts the framework, makes the add-on and installs
// its tools; destroyAddon deletes it and stops the framework. Both answer 0 or the host's error.
std::uint32_t createAddon();
std::uint32_t destroyAddon();

}   // namespace skellow
