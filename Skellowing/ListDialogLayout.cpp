#include "Skellowing/ListDialogLayout.h"

#include "Interface/DialogControl.h"
#include "Interface/InterfacePanel.h"
#include "Interface/ListControl.h"

namespace skellow {
namespace {

constexpr std::int16_t kListFrame = 171;     // the height around the list: labels above, buttons below
constexpr std::int16_t kRowHeight = 17;      // the lists' row height
constexpr std::int16_t kSideMargins = 40;    // 20 on either side of the list
constexpr std::int16_t kButtonsAbove = 40;   // the buttons' top above the bottom edge
constexpr std::int16_t kTopLeft = 1;         // the anchor of a client size set: the top left stays

}   // namespace

std::int16_t snapListDialogHeight(std::int16_t height, std::int16_t minimum) {
    const auto onGrid = [](int h) { return kListFrame + kRowHeight * ((h - kListFrame) / kRowHeight); };
    int snapped = onGrid(height);
    // Cutting down to a row may fall below the minimum, which the host would answer with another resize.
    if (snapped < minimum) snapped = onGrid(minimum) + (onGrid(minimum) < minimum ? kRowHeight : 0);
    return static_cast<std::int16_t>(snapped);
}

void fitListDialog(tarnwick::InterfacePanel& dialog, std::int16_t maxWidth, tarnwick::ListControl& list,
                   std::span<tarnwick::DialogControl* const> buttons) {
    using tarnwick::ScreenPoint;
    // 1. The size.
    const ScreenPoint asked = dialog.getClientSize(0);
    const std::int16_t width = asked.x > maxWidth ? maxWidth : asked.x;
    const std::int16_t height = snapListDialogHeight(asked.y, dialog.getMinimumSize(0).y);
    if (width != asked.x || height != asked.y) dialog.setClientSize(ScreenPoint(width, height), kTopLeft);
    // 2. The list.
    list.resize(ScreenPoint(static_cast<std::int16_t>(width - kSideMargins),
                            static_cast<std::int16_t>(height - kListFrame)));
    // 3. The buttons, all by the first one's move.
    if (buttons.empty() || !buttons[0]) return;
    const auto dy = static_cast<std::int16_t>(height - kButtonsAbove - buttons[0]->getRect().first.y);
    for (tarnwick::DialogControl* button : buttons)
        if (button) button->moveBy(ScreenPoint(0, dy));
}

}   // namespace skellow
