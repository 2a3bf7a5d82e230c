#include "Skellowing/MessageText.h"

#include <string>

#include "Environment/Host.h"

namespace skellow {

tarnwick::String messageText(std::int16_t list, std::int32_t item) {
    const tarnwick::String text = tarnwick::Host::getString(list, item);
    return text.isEmpty() ? unreadMessage(list, item) : text;
}

// The one text not from the string lists: the host gave none of theirs, and the user still sees that a
// message was meant.
tarnwick::String unreadMessage(std::int16_t list, std::int32_t item) {
    return tarnwick::String("Skellowing: message " + std::to_string(item) + " of string list " +
                            std::to_string(list) + " cannot be read");
}

}   // namespace skellow
