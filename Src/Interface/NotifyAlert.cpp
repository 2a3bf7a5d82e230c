#include "Interface/NotifyAlert.h"

namespace tarnwick {

NotifyAlert::NotifyAlert(const String& title) : Alert(kInformation, titleOrDefault(title, /*item=*/1)) {}

}   // namespace tarnwick
