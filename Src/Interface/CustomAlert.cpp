#include "Interface/CustomAlert.h"

#include "Environment/Host.h"

namespace tarnwick {

CustomAlert::CustomAlert(const String& title, const String& first, const String& second, const String& third)
    : Alert(kWarning, title), first_(first), second_(second), third_(third) {}

std::int16_t CustomAlert::show(const String& message, const String& secondText) {
    // Without a first label the alert would have no button at all.
    const String first = first_.isEmpty() ? Host::getString(kFrameworkStrings, kOkItem) : first_;
    return showAlert(message, secondText, first, second_, third_);
}

}   // namespace tarnwick
