#include "Styles/UserDataStatusMenu.h"

#include "Environment/Host.h"

namespace tarnwick {
namespace {
constexpr std::int16_t kUserDataStrings = 32703;
constexpr std::int32_t kFirstStatusItem = 3;   // "All", then "Current" and "Deleted"
constexpr std::int16_t kStatusCount = 3;
}   // namespace

UserDataStatusMenu::UserDataStatusMenu(const ControlLink& link)
    : PopupMenu(link, kStatusCount, kDialogStyle) {}

std::unique_ptr<DialogControl> UserDataStatusMenu::clone() const {
    return std::make_unique<UserDataStatusMenu>(*this);
}

void UserDataStatusMenu::fill(std::uint16_t status) {
    for (std::int16_t i = 0; i < kStatusCount; ++i)
        setText(Host::getString(kUserDataStrings, kFirstStatusItem + i), i);
    select(true, status);
}

std::uint16_t UserDataStatusMenu::status() const {
    const std::uint16_t selected = getSelected(0);
    return selected < kStatusCount ? selected : std::uint16_t{kAll};
}

}   // namespace tarnwick
