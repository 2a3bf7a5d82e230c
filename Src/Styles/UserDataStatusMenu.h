// UserDataStatusMenu: the record-status popup of the user-data dialogs: all records, the current ones, or
// the deleted ones.
#pragma once

#include <cstdint>
#include <memory>

#include "Interface/PopupMenu.h"

namespace tarnwick {

// Owned by its panel like every control; copies share the host popup.
class UserDataStatusMenu : public PopupMenu {
public:
    enum Status : std::uint16_t {
        kAll = 0,       // every record
        kCurrent = 1,   // records not deleted
        kDeleted = 2,   // deleted records
    };

    explicit UserDataStatusMenu(const ControlLink& link);   // three items, the dialog library's popup

    std::unique_ptr<DialogControl> clone() const override;
    // Writes "All", "Current" and "Deleted" and selects the item of status.
    void fill(std::uint16_t status);
    std::uint16_t status() const;   // the selected item; kAll when none of the three is
};

}   // namespace tarnwick
