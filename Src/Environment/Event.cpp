#include "Environment/Event.h"

#include <FourCC.h>

namespace tarnwick {

Event::Event(std::uint32_t source, std::uint32_t type) : key_{source, type} {}

Event::~Event() = default;

String Event::describe() const {
    String text(host::fourccText(key_.source));
    text += "/";
    text.append(host::fourccText(key_.type));
    return text;
}

}   // namespace tarnwick
