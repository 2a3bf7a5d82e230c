// MenuEvent: the user chose a command of one of the add-on's menus.
#pragma once

#include <cstdint>

#include <FourCC.h>

#include "Environment/Event.h"

namespace tarnwick {

// Key 'HOST', 'MENU'. Carries what the host reported: the menu's string-list id and the command's
// 1-based number (1 for the list's second item; the first is the menu title).
class MenuEvent : public Event {
public:
    static constexpr std::uint32_t kSource = host::fourcc("HOST");
    static constexpr std::uint32_t kType = host::fourcc("MENU");

    MenuEvent(std::int16_t listId, std::int16_t item);

    std::int16_t getListId() const { return listId_; }
    std::int16_t getItem() const { return item_; }

    String describe() const override;   // "HOST/MENU list 32500 item 2"

private:
    std::int16_t listId_;
    std::int16_t item_;
};

}   // namespace tarnwick
