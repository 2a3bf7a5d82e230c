// ErrorAlert: an error message.
#pragma once

#include "Interface/Alert.h"

namespace tarnwick {

// Kind kError; an empty title becomes "Error" from the framework's string list.
class ErrorAlert : public Alert {
public:
    explicit ErrorAlert(const String& title = String());
};

}   // namespace tarnwick
