// AddonFactory: how the product module makes and frees its add-on object. The module registers one
// with a static object; the framework's entry points call it.
#pragma once

#include <cstdint>
#include <memory>

#include "Environment/Addon.h"
#include "Environment/Framework.h"

namespace tarnwick {

// The product defines, at namespace scope of one of its sources:
//   const tarnwick::AddonFactory registration(&product::createAddon, &product::destroyAddon);
// createAddon runs startFramework, makes the add-on, hands it to Addon::setInstance and calls its
// installTools; destroyAddon destroys the instance and runs stopFramework. Both answer 0 or a host
// error code. Registering pulls the module's exports (GetExportedFuncAddrs, SetImportedFuncAddrs) and
// the entry points into the module, which is why they are defined with it.
class AddonFactory {
public:
    using Create = std::uint32_t (*)();
    using Destroy = std::uint32_t (*)();

    AddonFactory(Create create, Destroy destroy);   // the last one made is used
    AddonFactory(const AddonFactory&) = delete;
    AddonFactory& operator=(const AddonFactory&) = delete;

    // The usual pair, for a module whose add-on needs nothing more:
    //   const tarnwick::AddonFactory registration(&AddonFactory::create<MyAddon>, &AddonFactory::destroy);
    template <typename AddonType>
    static std::uint32_t create() {
        if (const std::uint32_t result = startFramework(); result != 0) return result;
        Addon::setInstance(std::make_unique<AddonType>());
        Addon::getInstance()->installTools();
        return 0;
    }
    static std::uint32_t destroy() {
        Addon::destroyInstance();
        return stopFramework();
    }
};

}   // namespace tarnwick
