#include "Interface/Alert.h"

#include <HostDialogs.h>

#include "Environment/Host.h"

namespace tarnwick {

Alert::Alert(std::int16_t kind, const String& title) : kind_(kind), title_(title) {}

Alert::~Alert() = default;

std::int16_t Alert::show(const String& message) {
    return showAlert(message, String(), "OK", String(), String());   // a literal: the host's own word
}

std::int16_t Alert::showAlert(const String& largeText, const String& smallText, const String& first,
                              const String& second, const String& third) const {
    const int button = host::alert(kind_, title_.getView(), largeText.getView(), smallText.getView(),
                                   first.getView(), second.getView(), third.getView());
    return static_cast<std::int16_t>(button);
}

String Alert::titleOrDefault(const String& title, std::int32_t item) {
    return title.isEmpty() ? Host::getString(kFrameworkStrings, item) : title;
}

}   // namespace tarnwick
