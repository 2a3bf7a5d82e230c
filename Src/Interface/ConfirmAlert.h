// ConfirmAlert: a question with two answers.
#pragma once

#include <cstdint>

#include "Interface/Alert.h"

namespace tarnwick {

// A warning; an empty title becomes "Confirmation" from the framework's string list.
class ConfirmAlert : public Alert {
public:
    explicit ConfirmAlert(const String& title = String());

    // The message with two buttons; empty labels become "OK" and "Cancel" from the framework's string
    // list. 1 for the first button, 2 for the second.
    std::int16_t ask(const String& message, const String& first = String(), const String& second = String());
};

}   // namespace tarnwick
