#include "Environment/CommandEvent.h"

#include "Foundation/Setting.h"

namespace tarnwick {

CommandEvent::CommandEvent(host::Handle parameters, void* resultData)
    : Event(kSource, kType), parameters_(parameters), resultData_(resultData) {
    read_ = readCommandParameters(parameters);
    if (const auto id = getValue("command_id", 0, 0)) commandId_ = static_cast<std::uint32_t>(id->getInt32());
    if (const auto version = getValue("command_version", 0, 0)) version_ = version->getInt32();
}

CommandEvent::CommandEvent(std::uint32_t commandId, std::int32_t version, host::Handle parameters)
    : Event(kSource, kType), commandId_(commandId), version_(version), parameters_(parameters) {
    read_ = readCommandParameters(parameters);
}

String CommandEvent::describe() const {
    return Event::describe() + " " + String(host::fourccText(commandId_)) + " version " + String(version_);
}

}   // namespace tarnwick
