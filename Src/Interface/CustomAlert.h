// CustomAlert: a message box with a title and up to three buttons of the caller's choice.
#pragma once

#include <cstdint>

#include "Interface/Alert.h"

namespace tarnwick {

// A warning. The title and the labels are kept as given; an empty second or third label means no such
// button.
class CustomAlert : public Alert {
public:
    CustomAlert(const String& title, const String& first, const String& second, const String& third);

    using Alert::show;
    // The message as the large text and the second text as the small text; the first button is "OK" from
    // the framework's string list when its label is empty. The 1-based number of the button pressed.
    std::int16_t show(const String& message, const String& secondText);

private:
    String first_;
    String second_;
    String third_;
};

}   // namespace tarnwick
