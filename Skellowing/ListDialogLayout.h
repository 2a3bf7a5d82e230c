// The layout shared by the product's two list dialogs when the user resizes them: the list grows with
// the dialog in whole rows, and the buttons keep to the bottom edge.
#pragma once

#include <cstdint>
#include <span>

namespace tarnwick {
class DialogControl;
class InterfacePanel;
class ListControl;
}   // namespace tarnwick

namespace skellow {

// The height of a list dialog for the asked one: the list area (height - 171) in whole rows of 17, cut
// down to a row, and never below the dialog's minimum (then the first whole row at or above it).
std::int16_t snapListDialogHeight(std::int16_t height, std::int16_t minimum);

// Fits the open dialog after a resize: no wider than maxWidth, the height snapped (the client size is set
// again, anchored at the top left, when either changed), the list (width - 40, height - 171), and the
// buttons moved down together so that the first one's top is 40 above the bottom.
void fitListDialog(tarnwick::InterfacePanel& dialog, std::int16_t maxWidth, tarnwick::ListControl& list,
                   std::span<tarnwick::DialogControl* const> buttons);

}   // namespace skellow
