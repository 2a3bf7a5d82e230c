#include "Interface/ErrorAlert.h"

namespace tarnwick {

ErrorAlert::ErrorAlert(const String& title) : Alert(kError, titleOrDefault(title, /*item=*/3)) {}

}   // namespace tarnwick
