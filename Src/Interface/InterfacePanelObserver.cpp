#include "Interface/InterfacePanelObserver.h"

#include "Environment/DropEvent.h"
#include "Environment/ItemReceiver.h"
#include "Environment/ResizeEvent.h"
#include "Interface/DialogEvent.h"
#include "Interface/InterfacePanel.h"

namespace tarnwick {

InterfacePanel* InterfacePanelObserver::findOwner() const { return InterfacePanel::findBySerial(serial_); }

void InterfacePanelObserver::panelResizeEntered(std::int16_t) {
    if (InterfacePanel* owner = findOwner())
        owner->broadcastEvent(ResizeEvent(ControlLink(0, owner), ResizeEvent::kBegin, 0, 0));
}

void InterfacePanelObserver::panelResized(std::int16_t, std::int32_t dx, std::int32_t dy) {
    if (InterfacePanel* owner = findOwner())
        owner->broadcastEvent(ResizeEvent(ControlLink(0, owner), ResizeEvent::kResized, dx, dy));
}

void InterfacePanelObserver::panelResizeExited(std::int16_t) {
    if (InterfacePanel* owner = findOwner())
        owner->broadcastEvent(ResizeEvent(ControlLink(0, owner), ResizeEvent::kEnd, 0, 0));
}

void InterfacePanelObserver::panelHotKey(std::int16_t, std::int32_t keyId, bool& handled) {
    InterfacePanel* owner = findOwner();
    if (!owner) return;
    ItemReceiver receiver(0);
    owner->broadcastEvent(DialogEvent(ControlLink(0, owner), DialogEvent::kHotKey, keyId, &receiver));
    handled = receiver.getValue() != 0;
}

void InterfacePanelObserver::drop(std::int16_t phase, std::int32_t x, std::int32_t y, std::int16_t& effect,
                                  bool& handled) {
    InterfacePanel* owner = findOwner();
    if (!owner) return;
    DropRecord record;
    record.phase = phase;
    record.effect = 7;
    const ScreenPoint origin = owner->getPosition(0);
    record.x = static_cast<std::int16_t>(x - origin.x);
    record.y = static_cast<std::int16_t>(y - origin.y);
    ItemReceiver receiver(1);
    const bool taken = owner->broadcastEvent(DropEvent(ControlLink(0, owner), record, &receiver));
    effect = taken ? record.effect : 0;
    handled = taken && receiver.getValue() != 0;
}

void InterfacePanelObserver::panelDragEntered(std::int16_t, std::int32_t x, std::int32_t y,
                                              std::int16_t& effect, bool& handled) {
    drop(DropRecord::kDragEntered, x, y, effect, handled);
}

void InterfacePanelObserver::panelDragMoved(std::int16_t, std::int32_t x, std::int32_t y,
                                            std::int16_t& effect, bool& handled) {
    drop(DropRecord::kDragMoved, x, y, effect, handled);
}

void InterfacePanelObserver::panelDropped(std::int16_t, std::int32_t x, std::int32_t y, std::int16_t& effect,
                                          bool& handled) {
    drop(DropRecord::kDropped, x, y, effect, handled);
}

}   // namespace tarnwick
