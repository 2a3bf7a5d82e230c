// The host's dialog library, headless: modal dialogs and palettes made from the dialog resources of a
// module, their items (buttons, texts, edit fields, popups, lists, user controls, icons) with all their
// state, panel and item observers, and the modal loop, which plays the user-action script (HostDialogs.h)
// as the user's clicks, typing and choices. Only what the script plays raises observer callbacks: a
// change the program makes through these functions never does, except a redraw, which asks the program
// to draw the owner-drawn list cells it shows.
//
// Panels are addressed by their 16-bit panel id (never 0 while the dialog exists), items by their 1-based
// item id; popup items, list rows and tab fields are 1-based. Texts are UTF-8. Platform/README.md
// describes what the script's dialog actions do and how a script error stops the run.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "HostGuid.h"

namespace host {

struct PictureContext;   // HostGraphics.h

class ModuleResources;

// --- Resource modules --------------------------------------------------------------------------------
inline constexpr std::int32_t kHostResourceModule = -4;   // the host's own images (ids below 22)

// The host registers a loaded module's resources and gets its module number (1, 2, ...); the module
// asks for it through the table (getResourceModule). Unregistering makes its dialogs unavailable.
std::int32_t DGRegisterResourceModule(const ModuleResources* resources);
void DGUnregisterResourceModule(std::int32_t module);

// --- Images ------------------------------------------------------------------------------------------
// A picture or icon as the dialog library shows it: a resource of a module, or PNG bytes. Empty: none.
struct DGImage {
    std::int32_t module = 0;        // kHostResourceModule, a registered module, or 0 for PNG bytes
    std::int32_t resourceId = -1;   // -1: not a resource
    std::vector<std::uint8_t> png;

    bool isEmpty() const { return resourceId < 0 && png.empty(); }
    bool operator==(const DGImage&) const = default;
};

// --- Observers ---------------------------------------------------------------------------------------
// Callbacks of a panel; each does nothing unless overridden. An observer may detach itself, or be
// destroyed after detaching, inside any callback.
class PanelObserver {
public:
    virtual ~PanelObserver();
    virtual void panelOpened(std::int16_t panel);
    // `accepted`: OK (true) or Cancel and the close box (false). Leave `allow` true to let it close.
    virtual void panelCloseRequested(std::int16_t panel, bool accepted, bool& allow);
    virtual void panelClosed(std::int16_t panel);
    virtual void panelResizeEntered(std::int16_t panel);
    virtual void panelResizing(std::int16_t panel, std::int32_t dx, std::int32_t dy);   // before the change
    virtual void panelResized(std::int16_t panel, std::int32_t dx, std::int32_t dy);    // after it
    virtual void panelResizeExited(std::int16_t panel);
    virtual void panelHotKey(std::int16_t panel, std::int32_t keyId, bool& handled);
    // Drops on a panel that enabled them: position in screen coordinates, effect in and out.
    virtual void panelDragEntered(std::int16_t panel, std::int32_t x, std::int32_t y, std::int16_t& effect,
                                  bool& handled);
    virtual void panelDragMoved(std::int16_t panel, std::int32_t x, std::int32_t y, std::int16_t& effect,
                                bool& handled);
    virtual void panelDropped(std::int16_t panel, std::int32_t x, std::int32_t y, std::int16_t& effect,
                              bool& handled);
};

// A click on a list: the list row (1-based, 0 outside the rows), the mouse offset in the list and the
// keys held down.
struct DGListClick {
    std::int16_t row = 0;
    std::int16_t x = 0;
    std::int16_t y = 0;
    bool command = false;
    bool option = false;
    bool shift = false;
};

// Where a drag over a list is: the position in the list, the 1-based row the drop would go before
// (the row count + 1 past the last row) and the place relative to that row (0: just before it).
struct DGListDropPlace {
    std::int16_t x = 0;
    std::int16_t y = 0;
    std::int16_t insertRow = 0;
    std::int16_t relative = 0;
};

// Drop effects, one bit each; a drag offers them all (7) and a target answers the one it takes.
inline constexpr std::int16_t kDGDragCopy = 1;
inline constexpr std::int16_t kDGDragMove = 2;
inline constexpr std::int16_t kDGDragLink = 4;

// Callbacks of an item; several observers may watch one item, each gets every callback of it.
class ItemObserver {
public:
    virtual ~ItemObserver();
    virtual void itemClicked(std::int16_t panel, std::int16_t item);         // button, static text
    virtual void itemDoubleClicked(std::int16_t panel, std::int16_t item);   // static text
    virtual void itemChanged(std::int16_t panel, std::int16_t item);         // edit text, popup, user control
    // One call per typed character, before it goes in; set `deny` to keep it out.
    virtual void itemCharEntered(std::int16_t panel, std::int16_t item, char32_t character, bool& deny);
    virtual void itemFocusLost(std::int16_t panel, std::int16_t item);
    virtual void listSelectionChanged(std::int16_t panel, std::int16_t item);
    virtual void listClicked(std::int16_t panel, std::int16_t item, const DGListClick& click);
    virtual void listDoubleClicked(std::int16_t panel, std::int16_t item, const DGListClick& click);
    virtual void listHeaderItemClicked(std::int16_t panel, std::int16_t item, std::int16_t headerItem);
    virtual void listHeaderItemResized(std::int16_t panel, std::int16_t item, std::int16_t headerItem,
                                       std::int16_t phase, std::int16_t change);
    virtual void listHeaderItemDragged(std::int16_t panel, std::int16_t item, std::int16_t from,
                                       std::int16_t to);
    // An owner-drawn cell (DGListSetTabFieldOwnerDrawFlag) is to be drawn: its 1-based row and tab field,
    // its size in pixels and the picture of the cell to draw into, (0, 0) its top left corner (null when
    // the cell has no width).
    virtual void listTabItemUpdate(std::int16_t panel, std::int16_t item, std::int16_t row, std::int16_t tab,
                                   std::int16_t width, std::int16_t height, PictureContext* context);
    // Dragging the list's selected rows. Clear `mayStart` to refuse the drag; started: the effects allowed
    // in and out, and whether the host shows its right-drag menu; ended: the effect the drop took (0: none).
    virtual void listDragStarting(std::int16_t panel, std::int16_t item, bool& mayStart);
    virtual void listDragStarted(std::int16_t panel, std::int16_t item, std::int16_t& effect,
                                 bool& rightDragMenu);
    virtual void listDragEnded(std::int16_t panel, std::int16_t item, std::int16_t effect);
    // Something dragged over the list. Entered: the effect taken out, `defaultBehaviour` (in true) left
    // true lets the host show its own feedback, `rightDragMenu` null in the host form without it. Moved:
    // `deny` set refuses the drop here. Left and dropped: the effect, in and out.
    virtual void listDragEntered(std::int16_t panel, std::int16_t item, const DGListDropPlace& place,
                                 std::int16_t& effect, bool& defaultBehaviour, bool* rightDragMenu);
    virtual void listDragMoved(std::int16_t panel, std::int16_t item, const DGListDropPlace& place,
                               std::int16_t& effect, bool& deny);
    virtual void listDragLeft(std::int16_t panel, std::int16_t item, const DGListDropPlace& place,
                              std::int16_t& effect);
    virtual void listDropped(std::int16_t panel, std::int16_t item, const DGListDropPlace& place,
                             std::int16_t& effect);
};

// --- Dialogs -------------------------------------------------------------------------------------------
// Makes the dialog of the module's resource: 0 when the module or resource is missing, or when the
// resource is a palette (modal) or a modal dialog (palette). The dialog exists until DGDestroyDialog.
std::int16_t DGCreateModalDialog(std::int32_t module, std::int32_t resourceId);
std::int16_t DGCreatePalette(std::int32_t module, std::int32_t resourceId, const GuidRecord* guid);
void DGDestroyDialog(std::int16_t panel);   // a running modal loop ends first (as Abort)
bool DGIsModalDialog(std::int16_t panel);
bool DGIsPalette(std::int16_t panel);
std::int32_t DGGetResourceId(std::int16_t panel);   // 0 for no such panel

// The modal loop: opens the dialog (panelOpened), plays the script's actions for it, and returns true
// when it closed through an accepted OK request, false for Cancel, the close box or an abort.
bool DGInvokeModal(std::int16_t panel);
// Asks to close after the current callback: 1 OK, 2 Cancel; observers may refuse.
void DGPostCloseRequest(std::int16_t panel, std::int32_t code);
void DGAbortModal(std::int16_t panel);   // closes after the current callback, as cancelled

// Palettes (modeless): shown, hidden and activated by the program. When one opens or is shown, the
// script's actions that name it ("dialog") and come next are played in it.
void DGBeginEventProcessing(std::int16_t panel);   // opens the palette (panelOpened)
void DGEndEventProcessing(std::int16_t panel);     // closes it (panelClosed)
void DGShowPalette(std::int16_t panel, std::int16_t zPosition);
void DGHidePalette(std::int16_t panel);
void DGActivatePalette(std::int16_t panel);
bool DGIsPaletteVisible(std::int16_t panel);

void DGAttachPanelObserver(std::int16_t panel, PanelObserver* observer);
void DGDetachPanelObserver(std::int16_t panel, PanelObserver* observer);
void DGEnableDragAndDrop(std::int16_t panel);
double DGGetScaleFactor(std::int16_t panel);   // 1.0

std::string DGGetTitle(std::int16_t panel);
void DGSetTitle(std::int16_t panel, std::string_view title);
// Positions in screen units; the frame lies 8 units left of and 30 above the client area.
void DGGetClientPosition(std::int16_t panel, std::int32_t& x, std::int32_t& y);
void DGSetClientPosition(std::int16_t panel, std::int32_t x, std::int32_t y);
void DGGetFramePosition(std::int16_t panel, std::int32_t& x, std::int32_t& y);
void DGSetFramePosition(std::int16_t panel, std::int32_t x, std::int32_t y);
// Sizes; size type 2 (and any other) is the current size. The frame adds 16 by 38 to the client.
void DGGetDialogClientSize(std::int16_t panel, std::int16_t sizeType, std::int32_t& width,
                           std::int32_t& height);
void DGSetDialogClientSize(std::int16_t panel, std::int32_t width, std::int32_t height, std::int16_t anchor,
                           std::int32_t flags);
void DGSetDialogFrameSize(std::int16_t panel, std::int32_t width, std::int32_t height, std::int16_t anchor);
void DGGetDialogClientMinSize(std::int16_t panel, std::int32_t& width, std::int32_t& height);
void DGGetDialogFrameMinSize(std::int16_t panel, std::int32_t& width, std::int32_t& height);
void DGSetDialogClientMinSize(std::int16_t panel, std::int32_t width, std::int32_t height);
void DGSetDialogFrameMinSize(std::int16_t panel, std::int32_t width, std::int32_t height);
// The monitor holding the rectangle: always the one 1920 by 1080 screen.
void DGGetMonitorRectFromRect(const std::int32_t rect[4], std::int32_t monitor[4]);
void DGRedrawDialog(std::int16_t panel);
void DGSetFocus(std::int16_t panel, std::int16_t item);   // -1: the panel itself
std::int16_t DGGetFocus(std::int16_t panel);
void DGSetDialogZPosition(std::int16_t panel, std::int16_t position);
// While begun, item moves and resizes are collected and applied together at the end.
void DGBeginMoveGrowItems(std::int16_t panel);
void DGEndMoveGrowItems(std::int16_t panel);
bool DGIsMoveGrowPending(std::int16_t panel);

// --- Items ---------------------------------------------------------------------------------------------
// What kind of item it is (the resource's kind); -1 for no such item.
enum DGItemType : std::int32_t {
    kDGNoItem = -1,
    kDGButton = 0,
    kDGLeftText,
    kDGCenterText,
    kDGRightText,
    kDGEditText,
    kDGPopUp,
    kDGSingleList,
    kDGMultiList,
    kDGUserControl,
    kDGIcon,
    kDGSeparator,
};
DGItemType DGGetItemType(std::int16_t panel, std::int16_t item);

void DGAttachItemObserver(std::int16_t panel, std::int16_t item, ItemObserver* observer);
void DGDetachItemObserver(std::int16_t panel, std::int16_t item, ItemObserver* observer);

bool DGIsItemEnabled(std::int16_t panel, std::int16_t item);
bool DGIsItemVisible(std::int16_t panel, std::int16_t item);
void DGEnableItem(std::int16_t panel, std::int16_t item);
void DGDisableItem(std::int16_t panel, std::int16_t item);
void DGShowItem(std::int16_t panel, std::int16_t item);
void DGHideItem(std::int16_t panel, std::int16_t item);
void DGRedrawItem(std::int16_t panel, std::int16_t item);
std::int16_t DGGetItemFont(std::int16_t panel, std::int16_t item);   // style bits 240, size bits 12
void DGSetItemFont(std::int16_t panel, std::int16_t item, std::int16_t font);
// Rectangle in dialog units (left, top, right, bottom); moves and grows are deltas.
void DGGetItemRect(std::int16_t panel, std::int16_t item, std::int16_t& left, std::int16_t& top,
                   std::int16_t& right, std::int16_t& bottom);
void DGMoveItem(std::int16_t panel, std::int16_t item, std::int32_t dx, std::int32_t dy);
void DGGrowItem(std::int16_t panel, std::int16_t item, std::int32_t dw, std::int32_t dh);
void DGMoveGrowItem(std::int16_t panel, std::int16_t item, std::int32_t dx, std::int32_t dy, std::int32_t dw,
                    std::int32_t dh);
std::string DGGetItemText(std::int16_t panel, std::int16_t item);
void DGSetItemText(std::int16_t panel, std::int16_t item, std::string_view text);   // an edit field keeps
                                                                                    // its maximum length
std::int32_t DGGetItemMaxLength(std::int16_t panel, std::int16_t item);             // 0: no limit
DGImage DGGetItemImage(std::int16_t panel, std::int16_t item);
void DGSetItemImage(std::int16_t panel, std::int16_t item, const DGImage& image);
void DGSetItemTextColor(std::int16_t panel, std::int16_t item, std::uint16_t red, std::uint16_t green,
                        std::uint16_t blue);
void DGSetItemBackgroundColor(std::int16_t panel, std::int16_t item, std::uint16_t red, std::uint16_t green,
                              std::uint16_t blue);
// Text colour, then background colour (each red, green, blue); all zero until set.
std::vector<std::uint16_t> DGGetItemColors(std::int16_t panel, std::int16_t item);

// --- Popups (1-based positions; 0 from DGPopUpGetSelected: none) -----------------------------------------
inline constexpr std::int16_t kDGPopUpEnd = -1;
std::int16_t DGPopUpGetItemCount(std::int16_t panel, std::int16_t item);
std::int16_t DGPopUpGetSelected(std::int16_t panel, std::int16_t item);
void DGPopUpSelectItem(std::int16_t panel, std::int16_t item, std::int16_t position);
// A new empty item or separator takes `position` (kDGPopUpEnd or past the end: the end).
void DGPopUpInsertItem(std::int16_t panel, std::int16_t item, std::int16_t position);
void DGPopUpInsertSeparator(std::int16_t panel, std::int16_t item, std::int16_t position);
void DGPopUpDeleteItem(std::int16_t panel, std::int16_t item, std::int16_t position);
bool DGPopUpIsSeparator(std::int16_t panel, std::int16_t item, std::int16_t position);
std::string DGPopUpGetItemText(std::int16_t panel, std::int16_t item, std::int16_t position);   // "" for a
                                                                                                // separator
void DGPopUpSetItemText(std::int16_t panel, std::int16_t item, std::int16_t position, std::string_view text);
DGImage DGPopUpGetItemIcon(std::int16_t panel, std::int16_t item, std::int16_t position);
void DGPopUpSetItemIcon(std::int16_t panel, std::int16_t item, std::int16_t position, const DGImage& icon);
std::int16_t DGPopUpGetItemStatus(std::int16_t panel, std::int16_t item, std::int16_t position);
void DGPopUpSetItemStatus(std::int16_t panel, std::int16_t item, std::int16_t position,
                          std::int16_t status);   // 0 enabled, 2 disabled
std::int16_t DGPopUpGetItemStyle(std::int16_t panel, std::int16_t item, std::int16_t position);
void DGPopUpSetItemStyle(std::int16_t panel, std::int16_t item, std::int16_t position,
                         std::int16_t style);   // 0, 16 bold, 32 italic, 48 underlined
std::int64_t DGPopUpGetItemUserData(std::int16_t panel, std::int16_t item, std::int16_t position);
void DGPopUpSetItemUserData(std::int16_t panel, std::int16_t item, std::int16_t position, std::int64_t value);

// --- User-control popups -------------------------------------------------------------------------------
// A user control item becomes a popup menu when it is given its control kind; the kind says what its
// button shows of the chosen item (0 text and icon, 1 icon, 2 text). Its items are as a popup's: 1-based
// positions (0 from UCPopupGetSelectedItem: none), except UCPopupSetItemStatus, which takes the 0-based
// index. The check marks and the button's text and icon are the program's to set.
void UCPopupSetControlKind(std::int16_t panel, std::int16_t item, std::int32_t kind);
std::int32_t UCPopupGetControlKind(std::int16_t panel, std::int16_t item);   // -1: not a popup
std::int16_t UCPopupGetItemCount(std::int16_t panel, std::int16_t item);
std::int16_t UCPopupGetSelectedItem(std::int16_t panel, std::int16_t item);
void UCPopupSelectItem(std::int16_t panel, std::int16_t item, std::int16_t position);
void UCPopupInsertItem(std::int16_t panel, std::int16_t item, std::int16_t position);   // takes `position`
void UCPopupAppendItem(std::int16_t panel, std::int16_t item);
void UCPopupInsertSeparator(std::int16_t panel, std::int16_t item, std::int16_t position);   // -1: the end
void UCPopupDeleteItem(std::int16_t panel, std::int16_t item, std::int16_t position);
std::string UCPopupGetItemText(std::int16_t panel, std::int16_t item, std::int16_t position);
void UCPopupSetItemText(std::int16_t panel, std::int16_t item, std::int16_t position, std::string_view text);
// False when the item has no icon (the DGImage is then empty).
bool UCPopupGetItemIcon(std::int16_t panel, std::int16_t item, std::int16_t position, DGImage& icon);
void UCPopupSetItemIcon(std::int16_t panel, std::int16_t item, std::int16_t position,
                        const DGImage* icon);   // null: none
void UCPopupSetItemStatus(std::int16_t panel, std::int16_t item, std::int16_t index, bool disabled);
bool UCPopupIsItemEnabled(std::int16_t panel, std::int16_t item, std::int16_t position);
void UCPopupSetItemTextStyle(std::int16_t panel, std::int16_t item, std::int16_t position,
                             std::int16_t style);   // 0, 16 bold, 32 italic, 48 underlined
std::int16_t UCPopupGetItemTextStyle(std::int16_t panel, std::int16_t item, std::int16_t position);
std::int64_t UCPopupGetItemData(std::int16_t panel, std::int16_t item, std::int16_t position);
void UCPopupSetItemData(std::int16_t panel, std::int16_t item, std::int16_t position, std::int64_t value);
void UCPopupCheckItem(std::int16_t panel, std::int16_t item, std::int16_t position);
void UCPopupUncheckItem(std::int16_t panel, std::int16_t item, std::int16_t position);
bool UCPopupIsItemChecked(std::int16_t panel, std::int16_t item, std::int16_t position);
void UCPopupSetButtonText(std::int16_t panel, std::int16_t item, std::string_view text);
std::string UCPopupGetButtonText(std::int16_t panel, std::int16_t item);
void UCPopupSetButtonIcon(std::int16_t panel, std::int16_t item, const DGImage& icon);
DGImage UCPopupGetButtonIcon(std::int16_t panel, std::int16_t item);

// --- Lists (1-based rows and tab fields; 0 selects or deletes all) -------------------------------------
inline constexpr std::int16_t kDGListBottom = -1;
std::int16_t DGListGetItemCount(std::int16_t panel, std::int16_t item);
// The first selected row at or after `start`; 0 when none.
std::int16_t DGListGetSelected(std::int16_t panel, std::int16_t item, std::int16_t start);
// In a single-selection list selecting a row replaces the selection.
void DGListSelectItem(std::int16_t panel, std::int16_t item, std::int16_t row);
void DGListDeselectItem(std::int16_t panel, std::int16_t item, std::int16_t row);
void DGListInsertItem(std::int16_t panel, std::int16_t item, std::int16_t row);   // the new row takes `row`
void DGListDeleteItem(std::int16_t panel, std::int16_t item, std::int16_t row);
std::string DGListGetTabItemText(std::int16_t panel, std::int16_t item, std::int16_t row, std::int16_t tab);
void DGListSetTabItemText(std::int16_t panel, std::int16_t item, std::int16_t row, std::int16_t tab,
                          std::string_view text);
DGImage DGListGetTabItemIcon(std::int16_t panel, std::int16_t item, std::int16_t row, std::int16_t tab);
void DGListSetTabItemIcon(std::int16_t panel, std::int16_t item, std::int16_t row, std::int16_t tab,
                          const DGImage& icon);
void DGListGetItemColor(std::int16_t panel, std::int16_t item, std::int16_t row, std::uint16_t& red,
                        std::uint16_t& green, std::uint16_t& blue);
void DGListSetItemColor(std::int16_t panel, std::int16_t item, std::int16_t row, std::uint16_t red,
                        std::uint16_t green, std::uint16_t blue);
void DGListGetItemBackgroundColor(std::int16_t panel, std::int16_t item, std::int16_t row, std::uint16_t& red,
                                  std::uint16_t& green, std::uint16_t& blue);
void DGListSetItemBackgroundColor(std::int16_t panel, std::int16_t item, std::int16_t row, std::uint16_t red,
                                  std::uint16_t green, std::uint16_t blue);
std::int16_t DGListGetItemStatus(std::int16_t panel, std::int16_t item, std::int16_t row);
void DGListSetItemStatus(std::int16_t panel, std::int16_t item, std::int16_t row, std::int16_t status);
std::int64_t DGListGetItemUserData(std::int16_t panel, std::int16_t item, std::int16_t row);
void DGListSetItemUserData(std::int16_t panel, std::int16_t item, std::int16_t row, std::int64_t value);
std::int16_t DGListGetItemStyle(std::int16_t panel, std::int16_t item, std::int16_t row);
void DGListSetItemStyle(std::int16_t panel, std::int16_t item, std::int16_t row, std::int16_t style);
// In an open dialog with drawing enabled, each owner-drawn cell redrawn is asked for (listTabItemUpdate):
// those of the row or cell here, those of the rows in sight when the dialog opens, when the whole list is
// redrawn (DGRedrawItem) and when the user scrolls it.
void DGListRedrawItem(std::int16_t panel, std::int16_t item, std::int16_t row);
void DGListRedrawTabItem(std::int16_t panel, std::int16_t item, std::int16_t row, std::int16_t tab);
// What the program last drew into an owner-drawn cell; null when it was never asked to draw it.
const PictureContext* DGListGetTabItemPicture(std::int16_t panel, std::int16_t item, std::int16_t row,
                                              std::int16_t tab);
void DGListEnableDraw(std::int16_t panel, std::int16_t item);
void DGListDisableDraw(std::int16_t panel, std::int16_t item);
bool DGListIsDrawEnabled(std::int16_t panel, std::int16_t item);
std::int16_t DGListGetScrollPosition(std::int16_t panel, std::int16_t item);
void DGListSetScrollPosition(std::int16_t panel, std::int16_t item, std::int16_t position);
std::int16_t DGListGetHScrollPosition(std::int16_t panel, std::int16_t item);
void DGListSetHScrollPosition(std::int16_t panel, std::int16_t item, std::int16_t position);
std::int16_t DGListGetItemHeight(std::int16_t panel, std::int16_t item);

// One column of the tab data: begin and end in pixels, justification, truncation, separator, disabled.
struct DGTabData {
    std::uint16_t begin = 0;
    std::uint16_t end = 0;
    std::uint16_t justification = 0;
    std::uint16_t truncation = 0;
    std::uint8_t separator = 0;
    std::uint8_t disabled = 0;
};
static_assert(sizeof(DGTabData) == 10);
void DGListSetTabData(std::int16_t panel, std::int16_t item, std::int16_t count, const DGTabData* tabs);
std::vector<DGTabData> DGListGetTabData(std::int16_t panel, std::int16_t item);
// Lays a dialog item over the tab field of the selected row (0: takes any away). An item laid there
// counts as shown, whatever DGHideItem said.
void DGListSetDialItemOnTabField(std::int16_t panel, std::int16_t item, std::int16_t tab,
                                 std::int16_t dialogItem);
std::int16_t DGListGetDialItemOnTabField(std::int16_t panel, std::int16_t item, std::int16_t tab);
void DGListSetTabFieldOwnerDrawFlag(std::int16_t panel, std::int16_t item, std::int16_t tab, bool ownerDraw);

void DGListGetHeaderFlags(std::int16_t panel, std::int16_t item, bool& a, bool& b, bool& c);
void DGListSetHeaderFlags(std::int16_t panel, std::int16_t item, bool a, bool b, bool c);
std::int16_t DGListGetHeaderHeight(std::int16_t panel, std::int16_t item);   // 0 without a header
std::int16_t DGListGetHeaderItemCount(std::int16_t panel, std::int16_t item);
void DGListSetHeaderItemCount(std::int16_t panel, std::int16_t item, std::int16_t count);
std::string DGListGetHeaderItemText(std::int16_t panel, std::int16_t item, std::int16_t header);
void DGListSetHeaderItemText(std::int16_t panel, std::int16_t item, std::int16_t header,
                             std::string_view text);
std::int16_t DGListGetHeaderItemSize(std::int16_t panel, std::int16_t item, std::int16_t header);
bool DGListSetHeaderItemSize(std::int16_t panel, std::int16_t item, std::int16_t header, std::int16_t size);
void DGListSetHeaderItemMinSize(std::int16_t panel, std::int16_t item, std::int16_t header,
                                std::int16_t size);
std::int16_t DGListGetHeaderItemArrowType(std::int16_t panel, std::int16_t item, std::int16_t header);
void DGListSetHeaderItemArrowType(std::int16_t panel, std::int16_t item, std::int16_t header,
                                  std::int16_t arrow);
void DGListSetHeaderItemFont(std::int16_t panel, std::int16_t item, std::int16_t header, std::int16_t font);
void DGListSetHeaderItemFlags(std::int16_t panel, std::int16_t item, std::int16_t header, std::int32_t flags,
                              bool on);

// --- Transcript and script stops ---------------------------------------------------------------------------
// Called with each line of what the dialogs showed and what the script did in them (the command-line host
// prints them); empty: none.
void setDialogTranscript(std::function<void(const std::string&)> writer);
void writeDialogTranscript(const std::string& line);   // the host's own dialogs write theirs here
// A script action that cannot be played (a missing dialog, item or row, a disabled or hidden item, an
// action the item does not take) stops the run: the message is kept, every open modal dialog ends as
// cancelled, later dialogs cancel as soon as they open, alerts press their last button and the process
// window reports a cancel. The first message is kept; empty while the run goes on.
void stopScriptRun(const std::string& message);
std::string scriptStopMessage();
bool scriptRunStopped();
// Dialog actions still waiting when the command is over. Those next in the script that name an open
// palette are played there first (the user turns to it after the command); any left then name a dialog
// that never opened: stops the run with a message that says so and answers true; false when none were.
bool stopOnUnplayedDialogActions();
void resetDialogLibrary();   // every dialog gone, no stop message (tests, a new run)
// Whether a modal dialog's loop runs now: an alert shown now is answered inside that dialog.
bool modalDialogRunning();

}   // namespace host
