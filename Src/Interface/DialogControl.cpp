#include "Interface/DialogControl.h"

#include <algorithm>

#include <HostDialogLibrary.h>

#include "Foundation/Setting.h"
#include "Foundation/TracedException.h"
#include "Interface/ControlObserver.h"
#include "Interface/HostFontStyle.h"
#include "Interface/Image.h"
#include "Project/TextStyle.h"

namespace tarnwick {

void DialogControl::throwWithoutPanel() { throw TracedException("bad_access", "DialogControl::make"); }

DialogControl::DialogControl(const ControlLink& link, std::int16_t rows, std::uint16_t columns)
    : link_(link), rows_(rows), columns_(columns) {
    sizeCaches();
}

DialogControl::DialogControl(const DialogControl& other)
    : Publisher(),
      link_(other.link_),
      rows_(other.rows_),
      columns_(other.columns_),
      flag_(other.flag_),
      sizes_(other.sizes_),
      positions_(other.positions_),
      sizeKnown_(other.sizeKnown_),
      positionKnown_(other.positionKnown_) {}

DialogControl::~DialogControl() {
    if (joined_) link_.getPanel()->leaveControl(*this);
}

void DialogControl::sizeCaches() {
    const std::size_t count = static_cast<std::size_t>(std::max<std::int16_t>(rows_, 1));
    sizes_.resize(count);
    positions_.resize(count);
    sizeKnown_.resize(count, false);
    positionKnown_.resize(count, false);
}

bool DialogControl::cached(const std::vector<bool>& bits, std::int16_t row) const {
    return row >= 0 && static_cast<std::size_t>(row) < bits.size() && bits[static_cast<std::size_t>(row)];
}

ControlLink DialogControl::getLink() const { return link_; }

std::int16_t DialogControl::getDialogId() const {
    return link_.getPanel() ? link_.getPanel()->getPanelId() : 0;
}

std::uint16_t DialogControl::getItemId(std::int16_t) const { return link_.getItemId(); }

bool DialogControl::ownsItem(std::uint16_t itemId) const { return itemId == link_.getItemId(); }

ScreenRect DialogControl::getRect(std::int16_t row) {
    std::int16_t left = 0, top = 0, right = 0, bottom = 0;
    host::DGGetItemRect(getDialogId(), static_cast<std::int16_t>(getItemId(row)), left, top, right, bottom);
    ScreenRect rect(ScreenPoint(left, top), ScreenPoint(right, bottom));
    const bool inCache = row >= 0 && static_cast<std::size_t>(row) < positions_.size();
    const auto r = static_cast<std::size_t>(inCache ? row : 0);
    if (cached(positionKnown_, row))
        rect.moveTo(positions_[r]);
    else if (inCache)
        positions_[r] = rect.first;
    if (cached(sizeKnown_, row)) {
        rect.second = rect.first;
        rect.second += sizes_[r];
    } else if (inCache) {
        ScreenPoint size = rect.second;
        size -= rect.first;
        sizes_[r] = size;
    }
    return rect;
}

ScreenPoint DialogControl::getPosition(std::int16_t row) { return getRect(row).first; }

ScreenPoint DialogControl::getSize(std::int16_t row) {
    const ScreenRect rect = getRect(row);
    return ScreenPoint(rect.width(), rect.height());
}

std::int16_t DialogControl::getWidth(std::int16_t row) { return getRect(row).width(); }

std::int16_t DialogControl::getHeight(std::int16_t row) { return getRect(row).height(); }

bool DialogControl::isEnabled(std::int16_t row) const {
    return host::DGIsItemEnabled(getDialogId(), static_cast<std::int16_t>(getItemId(row)));
}

bool DialogControl::isVisible(std::int16_t row) const {
    return host::DGIsItemVisible(getDialogId(), static_cast<std::int16_t>(getItemId(row)));
}

std::uint16_t DialogControl::getSelected(std::int16_t) const { return 0; }

bool DialogControl::isSelected(std::int16_t) const { return false; }

bool DialogControl::isValidCell(std::int16_t row, std::int16_t column) const {
    return row >= 0 && row < rows_ && column >= 0 && column < static_cast<std::int32_t>(columns_);
}

String DialogControl::getText(std::int16_t, std::int16_t) const { return {}; }

Image DialogControl::getImage(std::int16_t, std::int16_t) const { return Image(); }

void DialogControl::redraw(std::int16_t row) {
    host::DGRedrawItem(getDialogId(), static_cast<std::int16_t>(getItemId(row)));
}

void DialogControl::bind(const ControlLink& link) {
    if (!link_.getPanel()) {
        link_ = ControlLink(kNoItem, link.getPanel());
        setItemId(link.getItemId());
    } else if (link_.getItemId() == kNoItem) {
        setItemId(link.getItemId());
    }
}

void DialogControl::setItemId(std::uint16_t itemId) {
    if (link_.getItemId() != kNoItem) return;
    link_ = ControlLink(itemId, link_.getPanel());
    // One made by make() belongs to its panel already; joinControl knows it and does nothing.
    if (link_.getPanel() && itemId != kNoItem) link_.getPanel()->joinControl(*this);
}

void DialogControl::moveAndResize(const ScreenRect& rect, std::int16_t row) {
    const ScreenRect current = getRect(row);
    ScreenPoint size = rect.second;
    size -= rect.first;
    setPosition(rect.first, row);
    setSize(size, row);
    host::DGMoveGrowItem(getDialogId(), static_cast<std::int16_t>(getItemId(row)),
                         rect.first.x - current.first.x, rect.first.y - current.first.y,
                         rect.width() - current.width(), rect.height() - current.height());
}

void DialogControl::move(const ScreenPoint& point, std::int16_t row) {
    const ScreenRect current = getRect(row);
    setPosition(point, row);
    host::DGMoveItem(getDialogId(), static_cast<std::int16_t>(getItemId(row)), point.x - current.first.x,
                     point.y - current.first.y);
}

void DialogControl::resize(const ScreenPoint& size, std::int16_t row) {
    const ScreenRect current = getRect(row);
    setSize(size, row);
    host::DGGrowItem(getDialogId(), static_cast<std::int16_t>(getItemId(row)), size.x - current.width(),
                     size.y - current.height());
}

void DialogControl::setWidth(std::int16_t width, std::int16_t row) {
    resize(ScreenPoint(width, getHeight(row)), row);
}

void DialogControl::setHeight(std::int16_t height, std::int16_t row) {
    resize(ScreenPoint(getWidth(row), height), row);
}

void DialogControl::setVisible(bool visible, std::int16_t row) {
    const auto item = static_cast<std::int16_t>(getItemId(row));
    if (visible)
        host::DGShowItem(getDialogId(), item);
    else
        host::DGHideItem(getDialogId(), item);
}

void DialogControl::setEnabled(bool enabled, std::int16_t row) {
    const auto item = static_cast<std::int16_t>(getItemId(row));
    if (enabled)
        host::DGEnableItem(getDialogId(), item);
    else
        host::DGDisableItem(getDialogId(), item);
}

void DialogControl::setFlag(std::uint8_t flag) { flag_ = flag; }

void DialogControl::setFocus() { host::DGSetFocus(getDialogId(), static_cast<std::int16_t>(getItemId(0))); }

void DialogControl::moveBy(const ScreenPoint& delta, std::int16_t row) {
    ScreenPoint position = getRect(row).first;
    position += delta;
    setPosition(position, row);
    host::DGMoveItem(getDialogId(), static_cast<std::int16_t>(getItemId(row)), delta.x, delta.y);
}

void DialogControl::growBy(const ScreenPoint& delta, std::int16_t row) {
    const ScreenRect current = getRect(row);
    ScreenPoint size(current.width(), current.height());
    size += delta;
    setSize(size, row);
    host::DGGrowItem(getDialogId(), static_cast<std::int16_t>(getItemId(row)), delta.x, delta.y);
}

void DialogControl::moveGrowBy(const ScreenPoint& grow, const ScreenPoint& move, std::int16_t row) {
    const ScreenRect current = getRect(row);
    ScreenPoint position = current.first;
    position += move;
    ScreenPoint size(current.width(), current.height());
    size += grow;
    setPosition(position, row);
    setSize(size, row);
    host::DGMoveGrowItem(getDialogId(), static_cast<std::int16_t>(getItemId(row)), move.x, move.y, grow.x,
                         grow.y);
}

void DialogControl::setFontStyle(std::int16_t hostFont) {
    host::DGSetItemFont(getDialogId(), static_cast<std::int16_t>(getItemId(0)), hostFont);
}

bool DialogControl::setDimensions(std::int16_t rows, std::int16_t columns) {
    rows_ = rows;
    columns_ = static_cast<std::uint16_t>(columns);
    sizeCaches();
    return true;
}

void DialogControl::setText(const String&, std::int16_t, std::int16_t) {}

void DialogControl::setImage(const Image&, std::int16_t, std::int16_t) {}

void DialogControl::setFont(const TextStyle& style, std::int16_t, std::int16_t) {
    setFontStyle(hostFontOf(style));
}

TextStyle DialogControl::getFont() const {
    const std::int16_t value = host::DGGetItemFont(getDialogId(), static_cast<std::int16_t>(getItemId(0)));
    const int points = (value & 12) == 4 ? 11 : (value & 12) == 8 ? 9 : 12;
    return TextStyle(textStyleOf(value), points * TextStyle::kMillimetresPerPoint);
}

std::unique_ptr<ControlObserver> DialogControl::makeObserver() const { return nullptr; }

void DialogControl::createItem(std::int16_t) {}

void DialogControl::releaseItem() {}

bool DialogControl::hasPosition(std::int16_t row) const { return cached(positionKnown_, row); }

bool DialogControl::hasSize(std::int16_t row) const { return cached(sizeKnown_, row); }

void DialogControl::setPosition(const ScreenPoint& point, std::int16_t row) {
    if (row < 0 || static_cast<std::size_t>(row) >= positions_.size()) return;
    positions_[static_cast<std::size_t>(row)] = point;
    positionKnown_[static_cast<std::size_t>(row)] = true;
}

void DialogControl::setSize(const ScreenPoint& size, std::int16_t row) {
    if (row < 0 || static_cast<std::size_t>(row) >= sizes_.size()) return;
    sizes_[static_cast<std::size_t>(row)] = size;
    sizeKnown_[static_cast<std::size_t>(row)] = true;
}

}   // namespace tarnwick
