#include "Environment/ProjectEvent.h"

namespace tarnwick {

ProjectEvent::ProjectEvent(std::uint32_t code) : Event(kSource, kType), code_(code) {}

String ProjectEvent::describe() const { return Event::describe() + " code " + String(code_); }

}   // namespace tarnwick
