// The text of a message the product shows in an alert: never empty, so that no alert is shown blank.
#pragma once

#include <cstdint>

#include "Foundation/String.h"

namespace skellow {

// The item of a string list as the host gives it; when the host gives none, a fixed text
// that names the message ("Skellowing: message 15 of string list 32522 cannot be read").
tarnwick::String messageText(std::int16_t list, std::int32_t item);
// That fixed text alone.
tarnwick::String unreadMessage(std::int16_t list, std::int32_t item);

}   // namespace skellow
