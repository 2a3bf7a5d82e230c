#include "Interface/ListControlObserver.h"

#include <HostDialogLibrary.h>

#include "Environment/DropEvent.h"
#include "Environment/ItemEvent.h"
#include "Environment/ItemReceiver.h"
#include "Environment/ListCellUpdateEvent.h"
#include "Environment/ListHeaderClickEvent.h"
#include "Environment/ListHeaderDragEvent.h"
#include "Environment/ListHeaderResizeEvent.h"
#include "Interface/ActionEvent.h"
#include "Interface/ListClickRecord.h"

namespace tarnwick {
namespace {

ListClickRecord recordOf(const host::DGListClick& click) {
    return {click.row, click.x, click.y,
            ListClickRecord::modifierOf(click.command, click.option, click.shift)};
}

// One step of a drag and drop, broadcast on the list's panel with the record and the receiver. False
// when the panel is not registered (nothing was raised) or no handler took the event.
bool raiseDrop(std::int16_t panel, std::int16_t item, DropRecord& record, ItemReceiver& receiver) {
    InterfacePanel* owner = InterfacePanel::findPanel(panel);
    if (!owner) return false;
    return owner->broadcastEvent(
        DropEvent(ControlLink(static_cast<std::uint16_t>(item), owner), record, &receiver));
}

DropRecord targetRecord(std::int16_t phase, const host::DGListDropPlace& place, std::int16_t effect) {
    DropRecord record;
    record.phase = phase;
    record.effect = effect;
    record.x = place.x;
    record.y = place.y;
    record.insertPosition = place.insertRow;
    record.relativePosition = place.relative;
    return record;
}

constexpr std::int16_t kAllEffects = 7;

// Leaving or dropping, which ask nothing more of the handlers: the effect they decided, none when no
// handler took the step.
std::int16_t lastTargetStep(std::int16_t panel, std::int16_t item, std::int16_t phase,
                            const host::DGListDropPlace& place) {
    DropRecord record = targetRecord(phase, place, kAllEffects);
    ItemReceiver receiver(0);
    return raiseDrop(panel, item, record, receiver) ? record.effect : 0;
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

void ListControl::Observer::listHeaderItemDragged(std::int16_t panel, std::int16_t item, std::int16_t from,
                                                  std::int16_t to) {
    if (InterfacePanel* owner = InterfacePanel::findPanel(panel))
        owner->broadcastEvent(ListHeaderDragEvent(ControlLink(static_cast<std::uint16_t>(item), owner),
                                                  ListHeaderRecord{0, from, to, 0}));
}

void ListControl::Observer::listTabItemUpdate(std::int16_t panel, std::int16_t item, std::int16_t row,
                                              std::int16_t tab, std::int16_t width, std::int16_t height,
                                              host::PictureContext* context) {
    if (InterfacePanel* owner = InterfacePanel::findPanel(panel))
        owner->broadcastEvent(ListCellUpdateEvent(ControlLink(static_cast<std::uint16_t>(item), owner), row,
                                                  tab, width, height, context));
}

// --- Drag and drop: the list as source -----------------------------------------------------------------
void ListControl::Observer::listDragStarting(std::int16_t panel, std::int16_t item, bool& mayStart) {
    if (!InterfacePanel::findPanel(panel)) return;
    DropRecord record;
    record.phase = DropRecord::kDragStarting;
    ItemReceiver receiver(1);
    raiseDrop(panel, item, record, receiver);
    mayStart = receiver.getValue() != 0;
}

void ListControl::Observer::listDragStarted(std::int16_t panel, std::int16_t item, std::int16_t& effect,
                                            bool& rightDragMenu) {
    if (!InterfacePanel::findPanel(panel)) return;
    DropRecord record;
    record.phase = DropRecord::kDragStarted;
    record.effect = effect;
    ItemReceiver receiver(0);
    raiseDrop(panel, item, record, receiver);
    effect = record.effect;
    rightDragMenu = record.rightDragMenu != 0;
}

void ListControl::Observer::listDragEnded(std::int16_t panel, std::int16_t item, std::int16_t effect) {
    DropRecord record;
    record.phase = DropRecord::kDragEnded;
    record.effect = effect;
    ItemReceiver receiver(0);
    raiseDrop(panel, item, record, receiver);
}

// --- Drag and drop: the list as target -----------------------------------------------------------------
// A target step no handler takes answers no effect: the source must not read an unhandled drop as a
// copy or a move and, say, delete what it thinks was moved.
void ListControl::Observer::listDragEntered(std::int16_t panel, std::int16_t item,
                                            const host::DGListDropPlace& place, std::int16_t& effect,
                                            bool& defaultBehaviour, bool* rightDragMenu) {
    if (!InterfacePanel::findPanel(panel)) return;
    DropRecord record = targetRecord(DropRecord::kDragEntered, place, kAllEffects);
    if (rightDragMenu) record.rightDragMenu = *rightDragMenu ? 1 : 0;
    ItemReceiver receiver(defaultBehaviour ? 1 : 0);
    const bool taken = raiseDrop(panel, item, record, receiver);
    effect = taken ? record.effect : 0;
    defaultBehaviour = receiver.getValue() != 0;
    if (rightDragMenu) *rightDragMenu = record.rightDragMenu != 0;
}

void ListControl::Observer::listDragMoved(std::int16_t panel, std::int16_t item,
                                          const host::DGListDropPlace& place, std::int16_t& effect,
                                          bool& deny) {
    if (!InterfacePanel::findPanel(panel)) return;
    DropRecord record = targetRecord(DropRecord::kDragMoved, place, effect);
    ItemReceiver receiver(0);
    const bool taken = raiseDrop(panel, item, record, receiver);
    effect = taken ? record.effect : 0;
    deny = receiver.getValue() != 0;
}

void ListControl::Observer::listDragLeft(std::int16_t panel, std::int16_t item,
                                         const host::DGListDropPlace& place, std::int16_t& effect) {
    if (InterfacePanel::findPanel(panel)) effect = lastTargetStep(panel, item, DropRecord::kDragLeft, place);
}

void ListControl::Observer::listDropped(std::int16_t panel, std::int16_t item,
                                        const host::DGListDropPlace& place, std::int16_t& effect) {
    if (InterfacePanel::findPanel(panel)) effect = lastTargetStep(panel, item, DropRecord::kDropped, place);
}

}   // namespace tarnwick
