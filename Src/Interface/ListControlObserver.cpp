#include "Interface/ListControlObserver.h"

#include <HostDialogLibrary.h>

#include "Environment/ItemEvent.h"
#include "Environment/ListHeaderClickEvent.h"
#include "Environment/ListHeaderResizeEvent.h"
#include "Interface/ActionEvent.h"
#include "Interface/ListClickRecord.h"

namespace tarnwick {
namespace {

ListClickRecord recordOf(const host::DGListClick& click) {
    return {click.row, click.x, click.y,
            ListClickRecord::modifierOf(click.command, click.option, click.shift)};
}

}   // namespace

void ListControl::Observer::attach(std::int16_t hostPanel, DialogControl& control) {
    const host::DGItemType type =
        host::DGGetItemType(hostPanel, static_cast<std::int16_t>(control.getItemId()));
    if (dynamic_cast<ListControl*>(&control) && (type == host::kDGSingleList || type == host::kDGMultiList))
        watch(hostPanel, static_cast<std::int16_t>(control.getItemId()));
}

void ListControl::Observer::listSelectionChanged(std::int16_t panel, std::int16_t item) {
    if (InterfacePanel* owner = InterfacePanel::findPanel(panel))
        owner->broadcastEvent(ItemEvent(ControlLink(static_cast<std::uint16_t>(item), owner)));
}

void ListControl::Observer::listClicked(std::int16_t panel, std::int16_t item,
                                        const host::DGListClick& click) {
    if (InterfacePanel* owner = InterfacePanel::findPanel(panel))
        owner->broadcastEvent(ActionEvent(ControlLink(static_cast<std::uint16_t>(item), owner),
                                          ActionEvent::kListClick, recordOf(click).pack()));
}

void ListControl::Observer::listDoubleClicked(std::int16_t panel, std::int16_t item,
                                              const host::DGListClick& click) {
    if (InterfacePanel* owner = InterfacePanel::findPanel(panel))
        owner->broadcastEvent(ActionEvent(ControlLink(static_cast<std::uint16_t>(item), owner),
                                          ActionEvent::kDoubleClick, recordOf(click).pack()));
}

void ListControl::Observer::listHeaderItemClicked(std::int16_t panel, std::int16_t item,
                                                  std::int16_t headerItem) {
    if (InterfacePanel* owner = InterfacePanel::findPanel(panel))
        owner->broadcastEvent(ListHeaderClickEvent(ControlLink(static_cast<std::uint16_t>(item), owner),
                                                   ListHeaderRecord{0, headerItem, headerItem, 0}));
}

void ListControl::Observer::listHeaderItemResized(std::int16_t panel, std::int16_t item,
                                                  std::int16_t headerItem, std::int16_t phase,
                                                  std::int16_t change) {
    if (InterfacePanel* owner = InterfacePanel::findPanel(panel))
        owner->broadcastEvent(ListHeaderResizeEvent(ControlLink(static_cast<std::uint16_t>(item), owner),
                                                    ListHeaderRecord{phase, headerItem, headerItem, change}));
}

}   // namespace tarnwick
