// The headless dialog library: user controls made popup menus, with their items, choice, check marks
// and button.
#include "SimDialogState.h"

namespace host {

using namespace dialogs;

// --- User-control popups -------------------------------------------------------------------------------
void UCPopupSetControlKind(std::int16_t panel, std::int16_t item, std::int32_t kind) {
    Item* i = findItem(panel, item);
    if (i && i->type == kDGUserControl && kind >= 0) i->controlKind = kind;
}

std::int32_t UCPopupGetControlKind(std::int16_t panel, std::int16_t item) {
    const Item* i = findUserPopup(panel, item);
    return i ? i->controlKind : -1;
}

std::int16_t UCPopupGetItemCount(std::int16_t panel, std::int16_t item) {
    const Item* i = findUserPopup(panel, item);
    return i ? static_cast<std::int16_t>(i->popup.size()) : 0;
}

std::int16_t UCPopupGetSelectedItem(std::int16_t panel, std::int16_t item) {
    const Item* i = findUserPopup(panel, item);
    return i ? i->popupSelected : 0;
}

void UCPopupSelectItem(std::int16_t panel, std::int16_t item, std::int16_t position) {
    if (findUserPopupEntry(panel, item, position)) findUserPopup(panel, item)->popupSelected = position;
}

namespace {

void insertUserPopupEntry(std::int16_t panel, std::int16_t item, std::int16_t position, bool separator) {
    Item* i = findUserPopup(panel, item);
    if (!i) return;
    PopupEntry entry;
    entry.separator = separator;
    const std::size_t at = position < 1 || static_cast<std::size_t>(position) > i->popup.size()
                               ? i->popup.size()
                               : static_cast<std::size_t>(position) - 1;
    i->popup.insert(i->popup.begin() + static_cast<std::ptrdiff_t>(at), entry);
    if (i->popupSelected >= static_cast<std::int16_t>(at + 1)) ++i->popupSelected;
}

}   // namespace

void UCPopupInsertItem(std::int16_t panel, std::int16_t item, std::int16_t position) {
    insertUserPopupEntry(panel, item, position, false);
}

void UCPopupAppendItem(std::int16_t panel, std::int16_t item) {
    insertUserPopupEntry(panel, item, -1, false);
}

void UCPopupInsertSeparator(std::int16_t panel, std::int16_t item, std::int16_t position) {
    insertUserPopupEntry(panel, item, position, true);
}

void UCPopupDeleteItem(std::int16_t panel, std::int16_t item, std::int16_t position) {
    if (!findUserPopupEntry(panel, item, position)) return;
    Item* i = findUserPopup(panel, item);
    i->popup.erase(i->popup.begin() + (position - 1));
    if (i->popupSelected == position)
        i->popupSelected = 0;
    else if (i->popupSelected > position)
        --i->popupSelected;
}

std::string UCPopupGetItemText(std::int16_t panel, std::int16_t item, std::int16_t position) {
    const PopupEntry* e = findUserPopupEntry(panel, item, position);
    return e ? e->text : std::string();
}

void UCPopupSetItemText(std::int16_t panel, std::int16_t item, std::int16_t position, std::string_view text) {
    if (PopupEntry* e = findUserPopupEntry(panel, item, position); e && !e->separator) e->text = text;
}

bool UCPopupGetItemIcon(std::int16_t panel, std::int16_t item, std::int16_t position, DGImage& icon) {
    const PopupEntry* e = findUserPopupEntry(panel, item, position);
    icon = e ? e->icon : DGImage{};
    return !icon.isEmpty();
}

void UCPopupSetItemIcon(std::int16_t panel, std::int16_t item, std::int16_t position, const DGImage* icon) {
    if (PopupEntry* e = findUserPopupEntry(panel, item, position)) e->icon = icon ? *icon : DGImage{};
}

void UCPopupSetItemStatus(std::int16_t panel, std::int16_t item, std::int16_t index, bool disabled) {
    if (PopupEntry* e = findUserPopupEntry(panel, item, static_cast<std::int16_t>(index + 1)))
        e->status = disabled ? 2 : 0;
}

bool UCPopupIsItemEnabled(std::int16_t panel, std::int16_t item, std::int16_t position) {
    const PopupEntry* e = findUserPopupEntry(panel, item, position);
    return e && e->status == 0;
}

void UCPopupSetItemTextStyle(std::int16_t panel, std::int16_t item, std::int16_t position,
                             std::int16_t style) {
    if (PopupEntry* e = findUserPopupEntry(panel, item, position)) e->style = style;
}

std::int16_t UCPopupGetItemTextStyle(std::int16_t panel, std::int16_t item, std::int16_t position) {
    const PopupEntry* e = findUserPopupEntry(panel, item, position);
    return e ? e->style : 0;
}

std::int64_t UCPopupGetItemData(std::int16_t panel, std::int16_t item, std::int16_t position) {
    const PopupEntry* e = findUserPopupEntry(panel, item, position);
    return e ? e->userData : 0;
}

void UCPopupSetItemData(std::int16_t panel, std::int16_t item, std::int16_t position, std::int64_t value) {
    if (PopupEntry* e = findUserPopupEntry(panel, item, position)) e->userData = value;
}

void UCPopupCheckItem(std::int16_t panel, std::int16_t item, std::int16_t position) {
    if (PopupEntry* e = findUserPopupEntry(panel, item, position)) e->checked = true;
}

void UCPopupUncheckItem(std::int16_t panel, std::int16_t item, std::int16_t position) {
    if (PopupEntry* e = findUserPopupEntry(panel, item, position)) e->checked = false;
}

bool UCPopupIsItemChecked(std::int16_t panel, std::int16_t item, std::int16_t position) {
    const PopupEntry* e = findUserPopupEntry(panel, item, position);
    return e && e->checked;
}

void UCPopupSetButtonText(std::int16_t panel, std::int16_t item, std::string_view text) {
    if (Item* i = findUserPopup(panel, item)) i->buttonText = text;
}

std::string UCPopupGetButtonText(std::int16_t panel, std::int16_t item) {
    const Item* i = findUserPopup(panel, item);
    return i ? i->buttonText : std::string();
}

void UCPopupSetButtonIcon(std::int16_t panel, std::int16_t item, const DGImage& icon) {
    if (Item* i = findUserPopup(panel, item)) i->buttonIcon = icon;
}

DGImage UCPopupGetButtonIcon(std::int16_t panel, std::int16_t item) {
    const Item* i = findUserPopup(panel, item);
    return i ? i->buttonIcon : DGImage{};
}

}   // namespace host
