#include "Environment/ControlLink.h"

#include "Interface/InterfacePanel.h"

namespace tarnwick {

ControlLink::ControlLink(std::uint16_t itemId, InterfacePanel* panel) : itemId_(itemId), panel_(panel) {}

std::int16_t ControlLink::getDialogId() const { return panel_ ? panel_->getPanelId() : 0; }

}   // namespace tarnwick
