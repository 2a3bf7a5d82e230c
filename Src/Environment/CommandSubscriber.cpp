#include "Environment/CommandSubscriber.h"

#include <HostAddonProtocol.h>
#include <HostResult.h>
#include <HostTable.h>

#include "Environment/Addon.h"
#include "Environment/CommandEvent.h"
#include "Environment/EventKeyList.h"
#include "Environment/Host.h"
#include "Environment/HostApi.h"

namespace tarnwick {
namespace {

// The host calls this for a command of any of the add-on's services: the add-on publishes it as a
// CommandEvent. A call no subscriber handled, or whose parameters could not be read, is refused.
// Nothing may be thrown back at the host.
std::uint32_t commandCallback(host::Handle parameters, void* resultData) {
    try {
        Addon* const addon = Addon::getInstance();
        if (!addon) return host::kErrNotReady;
        const CommandEvent event(parameters, resultData);
        if (!event.isRead()) return host::kErrBadParameters;
        Host::takeFailure();   // one from before this call is not its own
        if (!addon->publishExternalEvent(event)) return host::kErrRefusedCommand;
        return Host::takeFailure();
    } catch (...) {
        return host::kErrGeneral;
    }
}

}   // namespace

CommandSubscriber::CommandSubscriber(std::uint32_t commandId, std::int32_t version, std::uint16_t priority)
    : Subscriber(priority), commandId_(commandId), version_(version) {}

void CommandSubscriber::subscribe(EventKeyList& keys) const {
    keys.append(CommandEvent::kSource, CommandEvent::kType);
}

bool CommandSubscriber::receive(const Event& event) {
    const auto* command = dynamic_cast<const CommandEvent*>(&event);
    if (!command || (command->getCommandId() != 0 && command->getCommandId() != commandId_)) return false;
    return doCommand(*command);
}

std::uint32_t CommandSubscriber::registerInterface() {
    return hostApi().call<host::HostSlot::registerCommandService>(commandId_, version_);
}

std::uint32_t CommandSubscriber::initialize() {
    return hostApi().call<host::HostSlot::installCommandHandler>(commandId_, version_, &commandCallback);
}

}   // namespace tarnwick
