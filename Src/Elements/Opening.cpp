#include "Elements/Opening.h"

#include <HostElementRecords.h>
#include <HostResult.h>

#include "Environment/HostApi.h"

namespace tarnwick {

Opening::~Opening() = default;

double Opening::getHeight() { return getOpeningHeight(); }

ElementLink Opening::zone(bool second) const {
    host::OpeningRelation relation{};
    const host::GuidRecord guid = getGuid().getRecord();
    if (hostApi().call<host::HostSlot::getElementRelations>(&guid, std::int32_t{host::kElementZone},
                                                            static_cast<void*>(&relation),
                                                            std::int32_t{0}) != host::kNoError)
        return ElementLink();
    return ElementLink(Guid(second ? relation.secondZone : relation.firstZone), nullptr);
}

ElementLink Opening::getFirstZone() const { return zone(false); }
ElementLink Opening::getSecondZone() const { return zone(true); }
double Opening::getOpeningQuantityA() { return getQuantityA(); }
double Opening::getOpeningQuantityB() { return 0.0; }
double Opening::getOpeningQuantityC() { return 0.0; }

}   // namespace tarnwick
