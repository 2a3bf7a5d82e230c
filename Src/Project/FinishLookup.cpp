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
    // The material's texture location is ours now: the finish takes a copy, this one goes.
    struct Filled {
        FinishRecord record;
        ~Filled() { RecordParts<FinishRecord>::dispose(record); }
    } filled;
    std::memcpy(&filled.record, component.material, sizeof(filled.record));
    return Finish(filled.record);
}

}   // namespace tarnwick
