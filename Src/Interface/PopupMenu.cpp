#include "Interface/PopupMenu.h"

#include <HostDialogLibrary.h>

#include "Environment/ItemEvent.h"
#include "Foundation/TracedException.h"
#include "Interface/HostFontStyle.h"
#include "Interface/MenuSetting.h"
#include "Project/TextStyle.h"

namespace tarnwick {

// --- Nodes ---------------------------------------------------------------------------------------------
bool PopupMenu::Node::isValid() const { return popup_ && index_ >= 0 && index_ < popup_->getRowCount(); }

String PopupMenu::Node::getText() const { return isValid() ? popup_->getText(index_) : String(); }

Image PopupMenu::Node::getImage() const { return isValid() ? popup_->getImage(index_) : Image(); }

std::unique_ptr<Setting> PopupMenu::Node::getSetting() const {
    return isValid() ? std::make_unique<MenuSetting>(index_, popup_->getText(index_)) : nullptr;
}

Colour PopupMenu::Node::getColor() const {
    return isValid() ? popup_->getItemColor(index_)
                     : Colour(std::uint16_t{0}, std::uint16_t{0}, std::uint16_t{0}, std::uint16_t{65535});
}

void PopupMenu::Node::setImage(const Image& image) {
    if (isValid()) popup_->setImage(image, index_);
}

bool PopupMenu::Node::moveForward(std::int32_t mode) {
    if (!isValid()) throw TracedException("out_of_range", "PopupMenu::Node::moveForward");
    ++index_;
    if (mode == 2) index_ = static_cast<std::int16_t>(popup_->getSelected(index_));
    return isValid();
}

bool PopupMenu::Node::moveBackward(std::int32_t mode) {
    if (!isValid()) throw TracedException("out_of_range", "PopupMenu::Node::moveBackward");
    --index_;
    if (mode == 2)
        while (isValid() && !popup_->isSelected(index_)) --index_;
    return isValid();
}

// --- Observer ------------------------------------------------------------------------------------------
void PopupMenu::DGObserver::attach(std::int16_t hostPanel, DialogControl& control) {
    if (host::DGGetItemType(hostPanel, static_cast<std::int16_t>(control.getItemId())) == host::kDGPopUp)
        watch(hostPanel, static_cast<std::int16_t>(control.getItemId()));
}

void PopupMenu::DGObserver::itemChanged(std::int16_t panel, std::int16_t item) {
    if (InterfacePanel* owner = InterfacePanel::findPanel(panel))
        owner->broadcastEvent(ItemEvent(ControlLink(static_cast<std::uint16_t>(item), owner)));
}

void PopupMenu::UCObserver::attach(std::int16_t hostPanel, DialogControl& control) {
    if (host::DGGetItemType(hostPanel, static_cast<std::int16_t>(control.getItemId())) ==
        host::kDGUserControl)
        watch(hostPanel, static_cast<std::int16_t>(control.getItemId()));
}

void PopupMenu::UCObserver::itemChanged(std::int16_t panel, std::int16_t item) {
    if (InterfacePanel* owner = InterfacePanel::findPanel(panel))
        owner->broadcastEvent(ItemEvent(ControlLink(static_cast<std::uint16_t>(item), owner)));
}

// --- Construction --------------------------------------------------------------------------------------
std::int16_t PopupMenu::hostCount(const ControlLink& link, std::int32_t style) {
    const std::int16_t dialog = link.getDialogId();
    const auto item = static_cast<std::int16_t>(link.getItemId());
    return style == kDialogStyle ? host::DGPopUpGetItemCount(dialog, item)
                                 : host::UCPopupGetItemCount(dialog, item);
}

PopupMenu::PopupMenu(const ControlLink& link, std::int16_t itemCount, std::int32_t style)
    : DialogControl(link, hostCount(link, style), 1), style_(style) {
    if (itemCount >= 1 && itemCount != getRowCount()) {
        if (itemCount > getRowCount())
            appendItems(static_cast<std::int16_t>(itemCount - getRowCount()));
        else
            deleteItems(itemCount, static_cast<std::int16_t>(getRowCount() - itemCount));
    }
}

PopupMenu::PopupMenu(const PopupMenu& other)
    : DialogControl(other),
      hostItem_(other.hostItem_),
      style_(other.style_),
      remembered_(other.remembered_) {}

std::unique_ptr<DialogControl> PopupMenu::clone() const { return std::make_unique<PopupMenu>(*this); }

bool PopupMenu::publish(const Event& event) {
    if (dynamic_cast<const ItemEvent*>(&event)) {
        remembered_ = kNone;   // the user chose at the host: its choice is the one to show
        const std::uint16_t selected = getSelected(0);
        if (selected != kNone) select(true, selected);
    }
    return Publisher::publish(event);
}

// --- Items ---------------------------------------------------------------------------------------------
std::uint16_t PopupMenu::getSelected(std::int16_t minimum) const {
    std::int32_t index = 0;
    if (!isUC())
        index = host::DGPopUpGetSelected(dialog(), item()) - 1;
    else if (validItem(remembered_))
        index = remembered_;
    else
        index = host::UCPopupGetSelectedItem(dialog(), item()) - 1;
    return index < minimum || index < 0 ? kNone : static_cast<std::uint16_t>(index);
}

bool PopupMenu::isSelected(std::int16_t index) const {
    const std::int32_t chosen =
        isUC() ? host::UCPopupGetSelectedItem(dialog(), item()) : host::DGPopUpGetSelected(dialog(), item());
    return chosen - 1 == index;
}

std::unique_ptr<Setting> PopupMenu::getSetting(std::int16_t, std::int16_t) const {
    const std::uint16_t selected = getSelected(0);
    const std::int32_t index = selected == kNone ? -1 : selected;
    return std::make_unique<MenuSetting>(index, getText(static_cast<std::int16_t>(index)));
}

String PopupMenu::getText(std::int16_t index, std::int16_t) const {
    if (!validItem(index)) return {};
    const auto position = static_cast<std::int16_t>(index + 1);
    return String(isUC() ? host::UCPopupGetItemText(dialog(), item(), position)
                         : host::DGPopUpGetItemText(dialog(), item(), position));
}

Image PopupMenu::getImage(std::int16_t index, std::int16_t) const {
    if (!validItem(index)) return Image();
    const auto position = static_cast<std::int16_t>(index + 1);
    if (!isUC()) return Image(host::DGPopUpGetItemIcon(dialog(), item(), position));
    host::DGImage icon;
    return host::UCPopupGetItemIcon(dialog(), item(), position, icon) ? Image(icon) : Image();
}

void PopupMenu::setEnabled(bool enabled, std::int16_t index) {
    if (index == -1) {
        DialogControl::setEnabled(enabled, 0);
        return;
    }
    if (!validItem(index)) return;
    if (isUC())
        host::UCPopupSetItemStatus(dialog(), item(), index, !enabled);   // the host's one 0-based call
    else
        host::DGPopUpSetItemStatus(dialog(), item(), static_cast<std::int16_t>(index + 1), enabled ? 0 : 2);
}

bool PopupMenu::setDimensions(std::int16_t items, std::int16_t) {
    if (items > getRowCount()) return appendItems(static_cast<std::int16_t>(items - getRowCount()));
    if (items < getRowCount()) return deleteItems(items, static_cast<std::int16_t>(getRowCount() - items));
    return true;
}

void PopupMenu::setCell(const Setting& setting, std::int16_t, std::int16_t) {
    if (const auto* menu = dynamic_cast<const MenuSetting*>(&setting)) {
        select(true, validItem(menu->getIndex()) ? static_cast<std::uint16_t>(menu->getIndex()) : kNone);
        return;
    }
    select(true, findItem(setting.getText()));
}

void PopupMenu::setText(const String& text, std::int16_t index, std::int16_t) {
    if (!validItem(index)) return;
    const auto position = static_cast<std::int16_t>(index + 1);
    if (isUC())
        host::UCPopupSetItemText(dialog(), item(), position, text.getView());
    else
        host::DGPopUpSetItemText(dialog(), item(), position, text.getView());
}

void PopupMenu::setImage(const Image& image, std::int16_t index, std::int16_t) {
    if (!validItem(index)) return;
    const auto position = static_cast<std::int16_t>(index + 1);
    const host::DGImage icon = image.toDGIcon();
    if (!isUC())
        host::DGPopUpSetItemIcon(dialog(), item(), position, icon);
    else
        host::UCPopupSetItemIcon(dialog(), item(), position, icon.isEmpty() ? nullptr : &icon);
}

void PopupMenu::setFont(const TextStyle& style, std::int16_t index, std::int16_t column) {
    if (static_cast<std::uint16_t>(index) == kNone) {
        DialogControl::setFont(style, index, column);
        return;
    }
    if (!validItem(index)) return;
    const auto position = static_cast<std::int16_t>(index + 1);
    const std::int16_t itemStyle = hostStyleOf(style.getStyleFlags());
    if (isUC())
        host::UCPopupSetItemTextStyle(dialog(), item(), position, itemStyle);
    else
        host::DGPopUpSetItemStyle(dialog(), item(), position, itemStyle);
}

std::unique_ptr<ControlObserver> PopupMenu::makeObserver() const {
    if (isUC()) return std::make_unique<UCObserver>();
    return std::make_unique<DGObserver>();
}

void PopupMenu::createItem(std::int16_t hostPanel) {
    hostItem_ = hostPanel;
    if (isUC()) host::UCPopupSetControlKind(hostPanel, item(), style_);
}

void PopupMenu::releaseItem() { hostItem_ = 0; }

// --- Walks ---------------------------------------------------------------------------------------------
namespace {

template <typename Iterator>
Iterator startOf(const PopupMenu& popup, std::int32_t mode) {
    using Node = PopupMenu::Node;
    if (popup.getRowCount() == 0 || mode < 0) return Iterator(std::make_unique<Node>(&popup, -1), mode);
    if (mode == 2) {
        const std::uint16_t selected = popup.getSelected(0);
        return Iterator(std::make_unique<Node>(
                            &popup, selected == PopupMenu::kNone ? -1 : static_cast<std::int16_t>(selected)),
                        2);
    }
    if (mode == 0 || mode == 1 || mode == 3) return Iterator(std::make_unique<Node>(&popup, 0), 0);
    return Iterator(std::make_unique<Node>(&popup, -1), mode);
}

template <typename Iterator>
Iterator reverseStartOf(const PopupMenu& popup, std::int32_t mode) {
    using Node = PopupMenu::Node;
    if (popup.getRowCount() == 0 || mode < 0) return Iterator(std::make_unique<Node>(&popup, -1), 0);
    if (mode == 0 || mode == 1 || mode == 3)
        return Iterator(std::make_unique<Node>(&popup, static_cast<std::int16_t>(popup.getRowCount() - 1)),
                        0);
    if (mode == 2) {
        std::int16_t index = static_cast<std::int16_t>(popup.getRowCount() - 1);
        while (index >= 0 && !popup.isSelected(index)) --index;
        return Iterator(std::make_unique<Node>(&popup, index), 2);
    }
    return Iterator(std::make_unique<Node>(&popup, -1), 0);
}

}   // namespace

PopupMenu::const_iterator PopupMenu::begin(std::int32_t mode) const {
    return startOf<const_iterator>(*this, mode);
}
PopupMenu::iterator PopupMenu::begin(std::int32_t mode) { return startOf<iterator>(*this, mode); }
PopupMenu::const_iterator PopupMenu::end() const {
    return const_iterator(std::make_unique<Node>(this, -1), 0);
}
PopupMenu::iterator PopupMenu::end() { return iterator(std::make_unique<Node>(this, -1), 0); }
PopupMenu::const_iterator PopupMenu::rbegin(std::int32_t mode) const {
    return reverseStartOf<const_iterator>(*this, mode);
}
PopupMenu::iterator PopupMenu::rbegin(std::int32_t mode) { return reverseStartOf<iterator>(*this, mode); }

// --- Own operations ------------------------------------------------------------------------------------
std::int32_t PopupMenu::getStyle() const { return style_; }

bool PopupMenu::isDGPopup() const { return style_ == kDialogStyle; }

String PopupMenu::getSelectedText() const { return getText(static_cast<std::int16_t>(getSelected(0))); }

Colour PopupMenu::getItemColor(std::int16_t) const {
    return Colour(std::uint16_t{0}, std::uint16_t{0}, std::uint16_t{0}, std::uint16_t{65535});
}

std::int64_t PopupMenu::getItemData(std::int16_t index) const {
    if (!validItem(index)) return 0;
    const auto position = static_cast<std::int16_t>(index + 1);
    return isUC() ? host::UCPopupGetItemData(dialog(), item(), position)
                  : host::DGPopUpGetItemUserData(dialog(), item(), position);
}

// 3.
String PopupMenu::selectText(const String& text, std::uint16_t fallback) {
    std::uint16_t index = findItem(text);
    if (index == kNone && getRowCount() > 0)
        index = static_cast<std::uint16_t>(std::min<std::int32_t>(fallback, getRowCount() - 1));
    select(true, index);
    return getSelectedText();
}

// 1.
void PopupMenu::select(bool, std::uint16_t index) {
    if (!validItem(index)) return;
    const auto position = static_cast<std::int16_t>(index + 1);
    if (!isUC()) {
        host::DGPopUpSelectItem(dialog(), item(), position);
        return;
    }
    remembered_ = index;
    host::UCPopupSelectItem(dialog(), item(), position);
    for (std::int16_t p = 1; p <= getRowCount(); ++p) host::UCPopupUncheckItem(dialog(), item(), p);
    host::UCPopupCheckItem(dialog(), item(), position);
    if (style_ == 0 || style_ == 2) host::UCPopupSetButtonText(dialog(), item(), getText(index).getView());
    if (style_ == 0 || style_ == 1) host::UCPopupSetButtonIcon(dialog(), item(), getImage(index).toDGIcon());
}

void PopupMenu::setItemData(std::int64_t value, std::int16_t index) {
    if (!validItem(index)) return;
    const auto position = static_cast<std::int16_t>(index + 1);
    if (isUC())
        host::UCPopupSetItemData(dialog(), item(), position, value);
    else
        host::DGPopUpSetItemUserData(dialog(), item(), position, value);
}

bool PopupMenu::appendItem(const String& text, std::int16_t iconResourceId, std::int64_t userValue) {
    if (!insertItems(kNone, 1)) return false;
    const auto last = static_cast<std::int16_t>(getRowCount() - 1);
    setText(text, last);
    if (iconResourceId > 0) setImage(Image(iconResourceId), last);
    if (userValue != 0) setItemData(userValue, last);
    return true;
}

bool PopupMenu::appendItems(std::int16_t count) { return insertItems(kNone, count); }

bool PopupMenu::deleteItems(std::int16_t start, std::int16_t count) {
    if (start < 0) return false;
    count = static_cast<std::int16_t>(std::min<std::int32_t>(count, getRowCount() - start));
    if (count < 0) return false;
    if (count == 0) return true;
    DialogControl::setDimensions(static_cast<std::int16_t>(getRowCount() - count), 1);
    for (std::int16_t i = 0; i < count; ++i) {
        if (isUC())
            host::UCPopupDeleteItem(dialog(), item(), static_cast<std::int16_t>(start + 1));
        else
            host::DGPopUpDeleteItem(dialog(), item(), static_cast<std::int16_t>(start + 1));
    }
    return true;
}

bool PopupMenu::insertItems(std::uint16_t after, std::int16_t count) {
    if (count < 0) return false;
    if (count == 0) return true;
    DialogControl::setDimensions(static_cast<std::int16_t>(getRowCount() + count), 1);
    if (isUC()) {
        for (std::int16_t i = 0; i < count; ++i) {
            if (after < kNone - 1)
                host::UCPopupInsertItem(dialog(), item(), static_cast<std::int16_t>(after + 1));
            else
                host::UCPopupAppendItem(dialog(), item());
        }
        return true;
    }
    const std::int16_t position = after == kNone ? host::kDGPopUpEnd : static_cast<std::int16_t>(after + 1);
    for (std::int16_t i = 0; i < count; ++i) host::DGPopUpInsertItem(dialog(), item(), position);
    return true;
}

std::uint16_t PopupMenu::findItem(const String& text) const {
    for (std::int16_t i = static_cast<std::int16_t>(getRowCount() - 1); i >= 0; --i)
        if (getText(i) == text) return static_cast<std::uint16_t>(i);
    return kNone;
}

void PopupMenu::insertSeparator(std::uint16_t index) {
    const std::int16_t position = index >= static_cast<std::uint16_t>(getRowCount())
                                      ? host::kDGPopUpEnd
                                      : static_cast<std::int16_t>(index + 1);
    DialogControl::setDimensions(static_cast<std::int16_t>(getRowCount() + 1), 1);
    if (isUC())
        host::UCPopupInsertSeparator(dialog(), item(), position);
    else
        host::DGPopUpInsertSeparator(dialog(), item(), position);
}

}   // namespace tarnwick
