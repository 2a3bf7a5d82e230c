#include "Skellowing/SkellowingAddon.h"

#include <optional>
#include <string>

#include <HostFiles.h>

#include "Elements/Door.h"
#include "Elements/Lamp.h"
#include "Elements/Object.h"
#include "Elements/Window.h"
#include "Environment/Framework.h"
#include "Environment/Host.h"
#include "Foundation/System.h"
#include "Project/Drawing.h"
#include "Project/Specification.h"
#include "Skellowing/SkellowingMenu.h"
#include "Skellowing/SkellowingPrefs.h"
#include "Skellowing/SkellowingStrings.h"

namespace skellow {
namespace {

constexpr std::int32_t kMajorVersion = 1;
constexpr std::int32_t kMinorVersion = 14;
constexpr std::int32_t kBuild = 18;

}   // namespace

SkellowingAddon::SkellowingAddon() : Addon(strings::kAddon) { tarnwick::registerAttributeCreators(); }

SkellowingAddon::~SkellowingAddon() { tools_.clear(); }

tarnwick::String SkellowingAddon::getVersion() const {
    tarnwick::String minor(kMinorVersion);
    minor.pad(2, "0");
    tarnwick::String version(kMajorVersion);
    (version += ".") += minor;
    return version;
}

tarnwick::String SkellowingAddon::getBuild() const { return tarnwick::String(kBuild); }

std::unique_ptr<tarnwick::Directory> SkellowingAddon::getPreferencesFolder() const {
    // 1. The host's special folder; 2. our child there, when it exists; 3. else made now.
    const std::unique_ptr<tarnwick::Directory> special = tarnwick::System::getSpecialFolder5();
    if (!special) return nullptr;
    const tarnwick::String name = tarnwick::Host::getString(strings::kAddon, strings::kDataFolderName);
    auto folder = std::make_unique<tarnwick::Directory>(*special, name);
    if (folder->exists()) return folder;
    host::Result error = 0;
    std::unique_ptr<tarnwick::Directory> made = special->makeSubdirectory(name, error);
    if (error != 0 || !made || !made->exists()) return nullptr;
    return made;
}

tarnwick::String SkellowingAddon::getDataFolderPath() const {
    const tarnwick::String name = tarnwick::Host::getString(strings::kAddon, strings::kDataFolderName);
    if (const std::unique_ptr<tarnwick::Directory> special = tarnwick::System::getSpecialFolder5())
        return tarnwick::Directory(*special, name).getPath();
    // The host could not give its folder: name where it should have been.
    const std::optional<std::string> where = host::specialFolderPath(host::kFolderApplicationData);
    if (!where) return name;
    return tarnwick::Directory(tarnwick::FileLocation(*where)).getPath() + "/" + name;
}

void SkellowingAddon::installTools() {
    // 1. The element kinds the run replaces parts of. 2. The project's package.
    tarnwick::Drawing::registerCreator(tarnwick::Door::kType, &tarnwick::Door::create, false);
    tarnwick::Drawing::registerCreator(tarnwick::Lamp::kType, &tarnwick::Lamp::create, false);
    tarnwick::Drawing::registerCreator(tarnwick::Object::kType, &tarnwick::Object::create, false);
    tarnwick::Drawing::registerCreator(tarnwick::Window::kType, &tarnwick::Window::create, false);
    registerPackage(SkellowingPrefs(), kProjectLocation);
    // 3. The menu; 4. every tool subscribed, in list order.
    tools_.push_back(std::make_unique<SkellowingMenu>());
    for (const auto& tool : tools_) subscribe(*tool);
}

std::uint32_t createAddon() {
    if (const std::uint32_t result = tarnwick::startFramework(); result != 0) return result;
    tarnwick::Addon::setInstance(std::make_unique<SkellowingAddon>());
    tarnwick::Addon::getInstance()->installTools();
    return 0;
}

std::uint32_t destroyAddon() {
    tarnwick::Addon::destroyInstance();
    return tarnwick::stopFramework();
}

}   // namespace skellow
