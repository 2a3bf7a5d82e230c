#include "Project/FinishLookup.h"

#include <cstring>

#include <HostModeler.h>

#include "Environment/HostApi.h"
#include "Project/Finish.h"

namespace tarnwick {

Finish FinishLookup::getFinish(std::int32_t materialIndex) {
    host::Component3DRecord component{};   // zeroed: the host fills the material part
    component.kind = host::kComponentMaterial;
    component.index = static_cast<std::int16_t>(materialIndex);
    if (hostApi().call<host::HostSlot::get3DComponent>(&component) != 0) return Finish();
    FinishRecord record;
    std::memcpy(&record, component.material, sizeof(record));
    return Finish(record);
}

}   // namespace tarnwick
