// ListControl::Observer: turns a host list box's callbacks into framework events on the list's panel.
#pragma once

#include <cstdint>

#include "Interface/ControlObserver.h"
#include "Interface/ListControl.h"

namespace tarnwick {

// One per panel, shared by its lists. Selection changes become ItemEvents without a value; clicks and
// double clicks ActionEvents of method 4 and 5 carrying a ListClickRecord; header clicks and resizes the
// list header events. A callback for a panel that is not registered raises nothing.
class ListControl::Observer : public ControlObserver {
public:
    void attach(std::int16_t hostPanel, DialogControl& control) override;

    void listSelectionChanged(std::int16_t panel, std::int16_t item) override;
    void listClicked(std::int16_t panel, std::int16_t item, const host::DGListClick& click) override;
    void listDoubleClicked(std::int16_t panel, std::int16_t item, const host::DGListClick& click) override;
    void listHeaderItemClicked(std::int16_t panel, std::int16_t item, std::int16_t headerItem) override;
    void listHeaderItemResized(std::int16_t panel, std::int16_t item, std::int16_t headerItem,
                               std::int16_t phase, std::int16_t change) override;
};

}   // namespace tarnwick
