#include "Environment/MenuSubscriber.h"

#include <HostAddonProtocol.h>
#include <HostResult.h>
#include <HostTable.h>

#include "Environment/Addon.h"
#include "Environment/EventKeyList.h"
#include "Environment/Host.h"
#include "Environment/HostApi.h"
#include "Environment/MenuEvent.h"

namespace tarnwick {
namespace {

// The host calls this for a command of any of the add-on's menus: the add-on publishes it as a
// MenuEvent, which reaches the MenuSubscriber of the list. A transaction of the command that failed
// (and was rolled back) gives the command its result, so the host sees the failure. Nothing may be
// thrown back at the host.
std::uint32_t menuCallback(const host::HostMenuParams* params) {
    if (!params) return host::kErrBadParameters;
    try {
        Addon* const addon = Addon::getInstance();
        if (!addon) return host::kErrNotReady;
        Host::takeFailure();   // one from before this command is not its own
        addon->publishExternalEvent(MenuEvent(params->listId, params->item));
        return Host::takeFailure();
    } catch (...) {   // publishExternalEvent reports its own; this is only a last guard
        return host::kErrGeneral;
    }
}

}   // namespace

MenuSubscriber::MenuSubscriber(std::uint16_t menuListId, std::uint16_t promptListId, std::uint32_t position,
                               std::uint32_t flags, std::uint16_t priority)
    : Subscriber(priority),
      menuListId_(menuListId),
      promptListId_(promptListId),
      position_(position),
      flags_(flags) {}

void MenuSubscriber::subscribe(EventKeyList& keys) const {
    keys.append(MenuEvent::kSource, MenuEvent::kType);
}

bool MenuSubscriber::receive(const Event& event) {
    const auto* menu = dynamic_cast<const MenuEvent*>(&event);
    if (!menu || static_cast<std::uint16_t>(menu->getListId()) != menuListId_) return false;
    return doCommand(*menu);
}

std::uint32_t MenuSubscriber::registerInterface() {
    return hostApi().call<host::HostSlot::registerMenu>(
        static_cast<std::int16_t>(menuListId_), static_cast<std::int16_t>(promptListId_),
        static_cast<std::int32_t>(position_), static_cast<std::int32_t>(flags_));
}

std::uint32_t MenuSubscriber::initialize() {
    return hostApi().call<host::HostSlot::installMenuHandler>(static_cast<std::int16_t>(menuListId_),
                                                              &menuCallback);
}

}   // namespace tarnwick
