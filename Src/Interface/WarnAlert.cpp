#include "Interface/WarnAlert.h"

namespace tarnwick {

WarnAlert::WarnAlert(const String& title) : Alert(kWarning, titleOrDefault(title, /*item=*/2)) {}

}   // namespace tarnwick
