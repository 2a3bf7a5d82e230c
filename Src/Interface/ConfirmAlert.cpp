#include "Interface/ConfirmAlert.h"

#include "Environment/Host.h"

namespace tarnwick {

ConfirmAlert::ConfirmAlert(const String& title) : Alert(kWarning, titleOrDefault(title, /*item=*/4)) {}

std::int16_t ConfirmAlert::ask(const String& message, const String& first, const String& second) {
    const String firstLabel = first.isEmpty() ? Host::getString(kFrameworkStrings, kOkItem) : first;
    const String secondLabel = second.isEmpty() ? Host::getString(kFrameworkStrings, kCancelItem) : second;
    return showAlert(message, String(), firstLabel, secondLabel, String());
}

}   // namespace tarnwick
