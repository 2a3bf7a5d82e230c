// WarnAlert: a warning.
#pragma once

#include "Interface/Alert.h"

namespace tarnwick {

// Kind kWarning; an empty title becomes "Warning" from the framework's string list.
class WarnAlert : public Alert {
public:
    explicit WarnAlert(const String& title = String());
};

}   // namespace tarnwick
