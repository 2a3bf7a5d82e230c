// SkellowingMenu: the "Object Skellowing" menu and its five commands.
#pragma once

#include "Environment/MenuSubscriber.h"

namespace skellow {

// Registered from string list 32500 (the title, then one command per source kind) with the prompts of
// list 32510. Owned by the add-on's tool list.
class SkellowingMenu : public tarnwick::MenuSubscriber {
public:
    SkellowingMenu();

protected:
    // Runs the command as one ObjectMapTransaction; the handled flag of Host::makeTransaction.
    bool doCommand(const tarnwick::MenuEvent& event) override;
};

}   // namespace skellow
