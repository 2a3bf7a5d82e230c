#include "Environment/ModuleEvent.h"

namespace tarnwick {

ModuleEvent::ModuleEvent(const String& name, std::string_view data)
    : Event(kSource, kType), name_(name), data_(data) {}

String ModuleEvent::describe() const {
    return Event::describe() + " " + name_ + " (" + String(static_cast<std::uint64_t>(data_.size())) +
           " bytes)";
}

}   // namespace tarnwick
