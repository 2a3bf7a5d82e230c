// ListControl::Observer: turns a host list box's callbacks into framework events on the list's panel.
#pragma once

#include <cstdint>

#include "Interface/ControlObserver.h"
#include "Interface/ListControl.h"

namespace tarnwick {

// One per panel, shared by its lists. Selection changes become ItemEvents without a value; clicks and
// double clicks ActionEvents of method 4 and 5 carrying a ListClickRecord; header clicks, drags and
// resizes the list header events; an owner-drawn cell a ListCellUpdateEvent; each step of a drag and drop
// with the list as source or target a DropEvent, whose record and receiver then answer the host. A
// callback for a panel that is not registered raises nothing.
class ListControl::Observer : public ControlObserver {
public:
    void attach(std::int16_t hostPanel, DialogControl& control) override;

    void listSelectionChanged(std::int16_t panel, std::int16_t item) override;
    void listClicked(std::int16_t panel, std::int16_t item, const host::DGListClick& click) override;
    void listDoubleClicked(std::int16_t panel, std::int16_t item, const host::DGListClick& click) override;
    void listHeaderItemClicked(std::int16_t panel, std::int16_t item, std::int16_t headerItem) override;
    void listHeaderItemResized(std::int16_t panel, std::int16_t item, std::int16_t headerItem,
                               std::int16_t phase, std::int16_t change) override;
    void listHeaderItemDragged(std::int16_t panel, std::int16_t item, std::int16_t from,
                               std::int16_t to) override;
    void listTabItemUpdate(std::int16_t panel, std::int16_t item, std::int16_t row, std::int16_t tab,
                           std::int16_t width, std::int16_t height, host::PictureContext* context) override;
    void listDragStarting(std::int16_t panel, std::int16_t item, bool& mayStart) override;
    void listDragStarted(std::int16_t panel, std::int16_t item, std::int16_t& effect,
                         bool& rightDragMenu) override;
    void listDragEnded(std::int16_t panel, std::int16_t item, std::int16_t effect) override;
    void listDragEntered(std::int16_t panel, std::int16_t item, const host::DGListDropPlace& place,
                         std::int16_t& effect, bool& defaultBehaviour, bool* rightDragMenu) override;
    void listDragMoved(std::int16_t panel, std::int16_t item, const host::DGListDropPlace& place,
                       std::int16_t& effect, bool& deny) override;
    void listDragLeft(std::int16_t panel, std::int16_t item, const host::DGListDropPlace& place,
                      std::int16_t& effect) override;
    void listDropped(std::int16_t panel, std::int16_t item, const host::DGListDropPlace& place,
                     std::int16_t& effect) override;
};

}   // namespace tarnwick
