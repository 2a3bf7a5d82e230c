#include "Interface/StaticText.h"

#include <HostDialogLibrary.h>

#include "Foundation/Colour.h"
#include "Interface/ActionEvent.h"
#include "Project/TextStyle.h"

namespace tarnwick {

void StaticText::Observer::attach(std::int16_t hostPanel, DialogControl& control) {
    const auto* text = dynamic_cast<const StaticText*>(&control);
    if (text && text->hasItem()) watch(hostPanel, static_cast<std::int16_t>(control.getItemId(0)));
}

void StaticText::Observer::itemClicked(std::int16_t panel, std::int16_t item) {
    if (InterfacePanel* owner = InterfacePanel::findPanel(panel))
        owner->broadcastEvent(ActionEvent(ControlLink(static_cast<std::uint16_t>(item), owner)));
}

void StaticText::Observer::itemDoubleClicked(std::int16_t panel, std::int16_t item) {
    if (InterfacePanel* owner = InterfacePanel::findPanel(panel))
        owner->broadcastEvent(
            ActionEvent(ControlLink(static_cast<std::uint16_t>(item), owner), ActionEvent::kDoubleClick));
}

StaticText::StaticText(const ControlLink& link, std::int32_t alignment, std::int16_t rows,
                       std::uint16_t columns)
    : SingleText(link, rows, columns), alignment_(alignment) {}

std::unique_ptr<DialogControl> StaticText::clone() const { return std::make_unique<StaticText>(*this); }

std::unique_ptr<ControlObserver> StaticText::makeObserver() const { return std::make_unique<Observer>(); }

void StaticText::createItem(std::int16_t hostPanel) {
    const host::DGItemType type = host::DGGetItemType(hostPanel, static_cast<std::int16_t>(getItemId(0)));
    const bool isText =
        type == host::kDGLeftText || type == host::kDGCenterText || type == host::kDGRightText;
    if (isText && (alignment_ == kLeft || alignment_ == kCentre || alignment_ == kRight))
        hostItem_ = hostPanel;
}

void StaticText::releaseItem() { hostItem_ = 0; }

void StaticText::setFont(const TextStyle& style, std::int16_t row, std::int16_t column) {
    DialogControl::setFont(style, row, column);
    setTextColor(style.getColour(), 0, 0);
}

void StaticText::setTextColor(const Colour& colour, std::int16_t row, std::int16_t column) {
    if (!isValidCell(row, column)) return;
    const auto words = colour.toWords();
    host::DGSetItemTextColor(getDialogId(), static_cast<std::int16_t>(getItemId(0)), words[0], words[1],
                             words[2]);
}

void StaticText::setBackgroundColor(const Colour& colour, std::int16_t row, std::int16_t column) {
    if (!isValidCell(row, column)) return;
    const auto words = colour.toWords();
    host::DGSetItemBackgroundColor(getDialogId(), static_cast<std::int16_t>(getItemId(0)), words[0], words[1],
                                   words[2]);
}

}   // namespace tarnwick
