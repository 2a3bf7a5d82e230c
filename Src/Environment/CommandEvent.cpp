#include "Environment/CommandEvent.h"

namespace tarnwick {

CommandEvent::CommandEvent(std::uint32_t commandId, std::int32_t version, host::Handle parameters)
    : Event(kSource, kType), commandId_(commandId), version_(version), parameters_(parameters) {}

String CommandEvent::describe() const {
    return Event::describe() + " " + String(host::fourccText(commandId_)) + " version " + String(version_);
}

}   // namespace tarnwick
