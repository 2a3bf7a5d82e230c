// AddonFactory: how the product module makes and frees its add-on object. The module registers one
// with a static object; the framework's entry points call it.
#pragma once

#include <cstdint>

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
};

}   // namespace tarnwick
