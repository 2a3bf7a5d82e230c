// NotifyAlert: a notification: a report or a plain message.
#pragma once

#include "Interface/Alert.h"

namespace tarnwick {

// Kind kInformation; an empty title becomes "Notification" from the framework's string list.
class NotifyAlert : public Alert {
public:
    explicit NotifyAlert(const String& title = String());
};

}   // namespace tarnwick
