// MenuSubscriber: one menu of the add-on: registers it with the host and hands its commands to the
// subclass's handler.
#pragma once

#include <cstdint>

#include "Environment/Subscriber.h"

namespace tarnwick {

class MenuEvent;

// Asks for the key 'HOST', 'MENU'. At the register-interface stage it registers its menu (the host's
// 'registerMenu' with the menu's string list, the prompt list, position code and flags, passed on
// unchanged); at the initialize stage it installs the add-on's menu callback for the list. Each
// MenuEvent of its list goes to doCommand. Owned by whoever made it (see Subscriber).
class MenuSubscriber : public Subscriber {
public:
    // The menu's string list (item 1 the title, items 2... the commands) and the list of their
    // status-line prompts; the position and flags mean what they mean to the host.
    MenuSubscriber(std::uint16_t menuListId, std::uint16_t promptListId, std::uint32_t position,
                   std::uint32_t flags, std::uint16_t priority = 0);

    std::uint16_t getMenuListId() const { return menuListId_; }

    void subscribe(EventKeyList& keys) const override;
    // A MenuEvent of this menu's list: doCommand's answer. False for other lists and other events.
    bool receive(const Event& event) override;

protected:
    // The command handler: true when the command was handled.
    virtual bool doCommand(const MenuEvent& event) = 0;

    std::uint32_t registerInterface() override;   // the host's result of 'registerMenu'
    std::uint32_t initialize() override;          // the host's result of 'installMenuHandler'

private:
    std::uint16_t menuListId_;
    std::uint16_t promptListId_;
    std::uint32_t position_;
    std::uint32_t flags_;
};

}   // namespace tarnwick
