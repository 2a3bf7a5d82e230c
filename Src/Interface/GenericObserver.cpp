#include "Interface/GenericObserver.h"

#include "Environment/FocusEvent.h"
#include "Environment/ItemReceiver.h"
#include "Environment/KeyEvent.h"
#include "Interface/DialogControl.h"
#include "Interface/InterfacePanel.h"

namespace tarnwick {

void GenericObserver::attach(std::int16_t hostPanel, DialogControl& control) {
    watch(hostPanel, static_cast<std::int16_t>(control.getItemId(0)));
}

void GenericObserver::itemCharEntered(std::int16_t panel, std::int16_t item, char32_t character, bool& deny) {
    InterfacePanel* owner = InterfacePanel::findPanel(panel);
    if (!owner) return;
    ItemReceiver receiver(item);
    const KeyEvent event(ControlLink(static_cast<std::uint16_t>(item), owner), character, &receiver);
    owner->broadcastEvent(event);
    if (receiver.getValue() == 0) deny = true;
}

void GenericObserver::itemFocusLost(std::int16_t panel, std::int16_t item) {
    InterfacePanel* owner = InterfacePanel::findPanel(panel);
    if (!owner) return;
    const FocusEvent event(ControlLink(static_cast<std::uint16_t>(item), owner), 0);
    owner->broadcastEvent(event);
}

}   // namespace tarnwick
