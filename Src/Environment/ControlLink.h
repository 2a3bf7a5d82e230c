// ControlLink: a reference to one dialog item: its 16-bit item id and the panel that holds it.
#pragma once

#include <cstdint>

namespace tarnwick {

class InterfacePanel;

// A plain value, copied freely. The panel is borrowed and may be null; the link never owns it.
class ControlLink {
public:
    static constexpr std::uint16_t kNoItem = 65535;

    ControlLink() = default;   // no item, no panel
    ControlLink(std::uint16_t itemId, InterfacePanel* panel);

    std::uint16_t getItemId() const { return itemId_; }   // kNoItem: none
    InterfacePanel* getPanel() const { return panel_; }
    std::int16_t getDialogId() const;   // the panel's host panel id; 0 without a panel or while it is closed

    bool operator==(const ControlLink&) const = default;   // both the item and the panel

private:
    std::uint16_t itemId_ = kNoItem;
    InterfacePanel* panel_ = nullptr;
};

}   // namespace tarnwick
