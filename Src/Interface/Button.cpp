#include "Interface/Button.h"

#include <HostDialogLibrary.h>

#include "Foundation/Setting.h"
#include "Interface/ActionEvent.h"
#include "Interface/Image.h"

namespace tarnwick {

void Button::Observer::attach(std::int16_t hostPanel, DialogControl& control) {
    if (host::DGGetItemType(hostPanel, static_cast<std::int16_t>(control.getItemId(0))) == host::kDGButton)
        watch(hostPanel, static_cast<std::int16_t>(control.getItemId(0)));
}

void Button::Observer::itemClicked(std::int16_t panel, std::int16_t item) {
    if (InterfacePanel* owner = InterfacePanel::findPanel(panel))
        owner->broadcastEvent(ActionEvent(ControlLink(static_cast<std::uint16_t>(item), owner)));
}

Button::Button(const ControlLink& link, std::int16_t rows, std::uint16_t columns)
    : DialogControl(link, rows, columns) {}

std::unique_ptr<DialogControl> Button::clone() const { return std::make_unique<Button>(*this); }

std::unique_ptr<Setting> Button::getSetting(std::int16_t, std::int16_t) const { return nullptr; }

String Button::getText(std::int16_t row, std::int16_t column) const {
    if (!isValidCell(row, column)) return {};
    return String(host::DGGetItemText(getDialogId(), static_cast<std::int16_t>(getItemId(0))));
}

Image Button::getImage(std::int16_t row, std::int16_t column) const {
    if (!isValidCell(row, column)) return Image();
    return Image(host::DGGetItemImage(getDialogId(), static_cast<std::int16_t>(getItemId(0))));
}

void Button::setCell(const Setting&, std::int16_t, std::int16_t) {}

void Button::setText(const String& text, std::int16_t row, std::int16_t column) {
    if (isValidCell(row, column))
        host::DGSetItemText(getDialogId(), static_cast<std::int16_t>(getItemId(0)), text.getView());
}

void Button::setImage(const Image& image, std::int16_t row, std::int16_t column) {
    if (isValidCell(row, column) && !image.isEmpty())
        host::DGSetItemImage(getDialogId(), static_cast<std::int16_t>(getItemId(0)), image.toDGImage());
}

std::unique_ptr<ControlObserver> Button::makeObserver() const { return std::make_unique<Observer>(); }

void Button::createItem(std::int16_t hostPanel) { hostItem_ = hostPanel; }

void Button::releaseItem() { hostItem_ = 0; }

}   // namespace tarnwick
