// UniqueSource: the filter of the name asked for a new or renamed configuration: a name that the
// configuration popup already shows is refused.
#pragma once

#include <cstdint>

#include "Foundation/String.h"
#include "Interface/NameRequest.h"
#include "Interface/PopupMenu.h"

namespace skellow {

// Reads the popup's items through its own copy of the control (the same host item). Names compare
// exactly, letter case included, against every item, the command items too.
class UniqueSource : public tarnwick::NameRequest::Filter {
public:
    // index: the popup item of the configuration being renamed, or PopupMenu::kNone for a new name.
    UniqueSource(const tarnwick::PopupMenu& popup, std::uint16_t index);

    // False, with the message "This name has already been used - please enter a unique name", for a
    // name the popup shows, unless it is the renamed configuration's own; false with its reason for a
    // name holding a control character or another character XML cannot carry (U+FFFE, U+FFFF, bytes
    // that are not UTF-8), which the table file cannot keep.
    bool accept(const tarnwick::String& name, tarnwick::String& message) override;

private:
    tarnwick::PopupMenu popup_;
    std::uint16_t index_;
};

// Asks for the name of a new configuration (index PopupMenu::kNone) or the new name of the one at the
// popup's index. The accepted name; empty when the user cancelled.
tarnwick::String requestSourceName(const tarnwick::PopupMenu& popup, std::uint16_t index);

}   // namespace skellow
