// UserDataStatusFilter: passes the records of the status the dialog's status popup shows: all, the
// current ones or the deleted ones.
#pragma once

#include <cstdint>

#include "Styles/UserDataStatusMenu.h"

namespace tarnwick {

class Guid;

// The popup is borrowed (its dialog outlives the filter's use) and may be null: then the fixed status
// holds.
template <typename Database>
class UserDataStatusFilter : public Database::Filter {
public:
    using Record = typename Database::RecordPtr::element_type;

    explicit UserDataStatusFilter(const UserDataStatusMenu* popup,
                                  std::uint32_t status = UserDataStatusMenu::kAll)
        : popup_(popup), status_(status) {}

    bool passes(const Guid& /*key*/, const Record& record) const override {
        const std::uint32_t status = popup_ != nullptr ? popup_->status() : status_;
        if (record.isDeleted()) return status != UserDataStatusMenu::kCurrent;
        return status != UserDataStatusMenu::kDeleted;
    }

private:
    const UserDataStatusMenu* popup_;
    std::uint32_t status_;
};

}   // namespace tarnwick
