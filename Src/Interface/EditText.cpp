#include "Interface/EditText.h"

#include <HostDialogLibrary.h>

#include "Environment/ItemEvent.h"

namespace tarnwick {

void EditText::Observer::attach(std::int16_t hostPanel, DialogControl& control) {
    if (host::DGGetItemType(hostPanel, static_cast<std::int16_t>(control.getItemId(0))) == host::kDGEditText)
        watch(hostPanel, static_cast<std::int16_t>(control.getItemId(0)));
}

void EditText::Observer::itemChanged(std::int16_t panel, std::int16_t item) {
    if (InterfacePanel* owner = InterfacePanel::findPanel(panel))
        owner->broadcastEvent(ItemEvent(ControlLink(static_cast<std::uint16_t>(item), owner)));
}

EditText::EditText(const ControlLink& link, std::int16_t rows, std::uint16_t columns)
    : SingleText(link, rows, columns) {}

std::unique_ptr<DialogControl> EditText::clone() const { return std::make_unique<EditText>(*this); }

std::unique_ptr<ControlObserver> EditText::makeObserver() const { return std::make_unique<Observer>(); }

void EditText::createItem(std::int16_t hostPanel) { hostItem_ = hostPanel; }

void EditText::releaseItem() { hostItem_ = 0; }

}   // namespace tarnwick
