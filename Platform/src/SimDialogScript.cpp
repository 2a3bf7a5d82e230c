// The headless dialog library: the user's actions that the script plays in a dialog, each through the
// host callbacks a real user's action raises.
#include "SimDialogState.h"

#include "HostText.h"

namespace host::dialogs {
namespace {

// --- Text in characters ----------------------------------------------------------------------------
// The bytes of the UTF-8 character at `i` (a lead byte cut short at the end takes what is left). The
// text is walked in place: a long one costs no copy of a string for each of its characters.
std::size_t characterLength(std::string_view text, std::size_t i) {
    std::size_t length = 1;
    const auto lead = static_cast<unsigned char>(text[i]);
    if (lead >= 0xF0)
        length = 4;
    else if (lead >= 0xE0)
        length = 3;
    else if (lead >= 0xC0)
        length = 2;
    return std::min(length, text.size() - i);
}

char32_t codePoint(std::string_view character) {
    const auto byte = [&](std::size_t i) {
        return static_cast<char32_t>(static_cast<unsigned char>(character[i]));
    };
    switch (character.size()) {
        case 2:
            return ((byte(0) & 0x1F) << 6) | (byte(1) & 0x3F);
        case 3:
            return ((byte(0) & 0x0F) << 12) | ((byte(1) & 0x3F) << 6) | (byte(2) & 0x3F);
        case 4:
            return ((byte(0) & 0x07) << 18) | ((byte(1) & 0x3F) << 12) | ((byte(2) & 0x3F) << 6) |
                   (byte(3) & 0x3F);
        default:
            return byte(0);
    }
}

std::size_t countCharacters(std::string_view text) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < text.size(); i += characterLength(text, i)) ++count;
    return count;
}

std::string effectName(std::int16_t effect) {
    if (effect == 0) return "none";
    std::string name;
    static const std::pair<std::int16_t, const char*> kEffects[] = {
        {kDGDragCopy, "copy"}, {kDGDragMove, "move"}, {kDGDragLink, "link"}};
    for (const auto& [bit, word] : kEffects)
        if (effect & bit) name += (name.empty() ? "" : "+") + std::string(word);
    return name.empty() ? std::to_string(effect) : name;
}

std::string keysHeld(const DialogAction& a) {
    return std::string(a.command ? " command" : "") + (a.option ? " option" : "") + (a.shift ? " shift" : "");
}

// Where a click on a list row lands, as the transcript and the stop message say it.
std::string rowClicked(const DialogAction& a) {
    return (a.rows[0] == 0 ? std::string(" below the last row") : " row " + std::to_string(a.rows[0])) +
           (a.column ? " column " + std::to_string(a.column) : "") + keysHeld(a);
}

std::string rightDrag(const DialogAction& a) {
    return std::string(a.rightButton ? " with the right button" : "") +
           (a.choose ? " choosing " + effectName(static_cast<std::int16_t>(a.choose)) : "");
}

}   // namespace

std::string cutToLength(std::string_view text, std::int32_t maxLength) {
    if (maxLength <= 0) return std::string(text);
    std::size_t end = 0;
    for (std::int32_t count = 0; end < text.size() && count < maxLength; ++count)
        end += characterLength(text, end);
    return std::string(text.substr(0, end));
}

std::string actionName(const DialogAction& a) {
    switch (a.kind) {
        case DialogActionKind::click:
            return "click item " + std::to_string(a.item);
        case DialogActionKind::doubleClick:
            return "doubleClick item " + std::to_string(a.item) + (a.rows.empty() ? "" : rowClicked(a));
        case DialogActionKind::setText:
            return "setText item " + std::to_string(a.item) + " " + quotedInput(a.text) +
                   (a.commit ? " commit" : "");
        case DialogActionKind::leaveField:
            return "leaveField item " + std::to_string(a.item);
        case DialogActionKind::selectPopup:
            return "selectPopup item " + std::to_string(a.item) + " " +
                   (a.index ? "index " + std::to_string(*a.index) : quotedInput(a.text));
        case DialogActionKind::selectRows: {
            std::string rows;
            for (int r : a.rows) rows += (rows.empty() ? "" : ", ") + std::to_string(r);
            return "selectRows item " + std::to_string(a.item) + " rows [" + rows + "]";
        }
        case DialogActionKind::resize:
            return "resize to " + std::to_string(a.width) + " x " + std::to_string(a.height);
        case DialogActionKind::closeBox:
            return "closeBox";
        case DialogActionKind::clickRow:
            return "clickRow item " + std::to_string(a.item) + rowClicked(a);
        case DialogActionKind::clickHeader:
            return "clickHeader item " + std::to_string(a.item) + " header " + std::to_string(a.header);
        case DialogActionKind::resizeHeader:
            return "resizeHeader item " + std::to_string(a.item) + " header " + std::to_string(a.header) +
                   " by " + std::to_string(a.change);
        case DialogActionKind::dragHeader:
            return "dragHeader item " + std::to_string(a.item) + " header " + std::to_string(a.header) +
                   " to " + std::to_string(a.to);
        case DialogActionKind::hotKey:
            return "hotKey " + std::to_string(a.key);
        case DialogActionKind::drop:
            return (a.item ? "drop on item " + std::to_string(a.item) +
                                 (a.row ? " before row " + std::to_string(a.row) : " at the end")
                           : "drop at " + std::to_string(a.x) + ", " + std::to_string(a.y)) +
                   rightDrag(a);
        case DialogActionKind::dragRows: {
            std::string rows;
            for (int r : a.rows) rows += (rows.empty() ? "" : ", ") + std::to_string(r);
            std::string onto = " to nowhere";
            if (a.to)
                onto = " onto item " + std::to_string(a.to) +
                       (a.row ? " before row " + std::to_string(a.row) : " at the end");
            else if (a.onPanel)
                onto = " onto the dialog at " + std::to_string(a.x) + ", " + std::to_string(a.y);
            return "dragRows item " + std::to_string(a.item) + " rows [" + rows + "]" + onto + rightDrag(a);
        }
        case DialogActionKind::scroll:
            return "scroll item " + std::to_string(a.item) + " to row " + std::to_string(a.rows[0]);
    }
    return "?";
}

namespace {

bool isListType(DGItemType t) { return t == kDGSingleList || t == kDGMultiList; }

std::int16_t headerHeight(const Item& list) { return list.header.empty() ? 0 : kHeaderHeight; }

// A click's record for a list row (0: below the last row): the mouse a few units into the row where
// the list shows it, below its header and moved up by the rows scrolled out of sight, and a few units
// into the tab field of its column (a list without tab data is one column). Nothing when the list has
// no such column, the column is too narrow to click inside (its edges belong to its neighbours), or
// the list shows no room below its last row.
std::optional<DGListClick> clickOn(const Item& list, std::int16_t row, const DialogAction& action) {
    std::int32_t x = 4;
    const std::size_t column = static_cast<std::size_t>(std::max(action.column, 1));
    if (column > std::max<std::size_t>(list.tabs.size(), 1)) return std::nullopt;
    if (!list.tabs.empty()) {
        const DGTabData& tab = list.tabs[column - 1];
        if (tab.end - tab.begin < 2) return std::nullopt;
        x = tab.begin + std::min<std::int32_t>(4, (tab.end - tab.begin) / 2);
    }
    const std::int32_t shown = row == 0 ? static_cast<std::int32_t>(list.rows.size()) + 1 : row;
    const std::int32_t into = std::min<std::int32_t>(4, list.rowHeight / 2);
    const std::int32_t y = headerHeight(list) + (shown - 1 - list.scroll) * list.rowHeight + into;
    if (row == 0 && y >= list.bottom - list.top) return std::nullopt;
    return DGListClick{row,
                       static_cast<std::int16_t>(std::clamp(x, -32768, 32767)),
                       static_cast<std::int16_t>(std::clamp(y, -32768, 32767)),
                       action.command,
                       action.option,
                       action.shift};
}

// Why a click cannot land where the script says (clickOn gave nothing).
std::string noPlaceFor(const Item& list, const DialogAction& action) {
    const std::size_t columns = std::max<std::size_t>(list.tabs.size(), 1);
    if (static_cast<std::size_t>(action.column) > columns)
        return "the list has no column " + std::to_string(action.column) + " (it has " +
               std::to_string(columns) + ")";
    const int column = std::max(action.column, 1);
    if (!list.tabs.empty()) {
        const DGTabData& tab = list.tabs[static_cast<std::size_t>(column) - 1];
        if (tab.end - tab.begin < 2)
            return "the list's column " + std::to_string(column) + " is too narrow to click (it is " +
                   std::to_string(std::max(tab.end - tab.begin, 0)) + " wide)";
    }
    return "the list shows no room below its last row";
}

// Why a row number is refused: it is past the list's last row.
std::string noRow(const Item& list, int row) {
    return "the list has no row " + std::to_string(row) + " (it has " + std::to_string(list.rows.size()) +
           ")";
}

// The selection a click on the row at `at` (0-based) makes: command toggles the row, shift reaches it
// from the first selected row (in a multiple-selection list), a plain click selects it alone. The list
// hears of a change.
void selectAsClicked(std::int16_t id, std::int16_t itemId, Item& list, std::size_t at,
                     const DialogAction& action) {
    std::vector<bool> selection;
    for (const ListRow& r : list.rows) selection.push_back(r.isSelected());
    const bool multi = list.type == kDGMultiList;
    if (multi && action.command) {
        selection[at] = !selection[at];
    } else if (multi && action.shift) {
        std::size_t first = at;
        for (std::size_t r = 0; r < selection.size(); ++r)
            if (selection[r]) {
                first = r;
                break;
            }
        for (std::size_t r = std::min(first, at); r <= std::max(first, at); ++r) selection[r] = true;
    } else {
        selection.assign(selection.size(), false);
        selection[at] = true;
    }
    bool changed = false;
    for (std::size_t r = 0; r < selection.size(); ++r) {
        changed = changed || list.rows[r].isSelected() != selection[r];
        list.selectRow(r, selection[r]);
    }
    if (changed) notifyItem(id, itemId, [&](ItemObserver& o) { o.listSelectionChanged(id, itemId); });
}

// The user leaves an edit field (Tab, Enter or a click elsewhere): the focus moves off it.
void leaveField(std::int16_t id, std::int16_t itemId) {
    if (Panel* p = findPanel(id); p && p->focus == itemId) p->focus = -1;
    notifyItem(id, itemId, [&](ItemObserver& o) { o.itemFocusLost(id, itemId); });
}

// Where a drop before `row` (0: the end) lands in a list.
DGListDropPlace placeIn(const Item& list, int row) {
    const auto insertRow = static_cast<std::int16_t>(row == 0 ? list.rows.size() + 1 : row);
    const std::int32_t y = headerHeight(list) + (insertRow - 1 - list.scroll) * list.rowHeight;
    return {4, static_cast<std::int16_t>(std::clamp(y, -32768, 32767)), insertRow, 0};
}

// The host's right-drag menu, offered when a right-button drag is let go and nothing turned it off:
// it lists the effects the target takes, and the user picks one. Nothing when the script picks one not
// offered: the run stops.
std::optional<std::int16_t> chooseInMenu(std::int16_t taken, const DialogAction& action) {
    write("    the right-drag menu offers " + effectName(taken));
    if (action.choose == 0) return taken;
    if ((action.choose & taken) == 0) {
        stopScriptRun(actionName(action) + ": the right-drag menu offers only " + effectName(taken));
        return std::nullopt;
    }
    return static_cast<std::int16_t>(action.choose);
}

// Something carrying `offered` effects is dragged over the list and let go there, as the host does it:
// entered, moved (each told what the drag offers), then dropped when the list takes an effect it was
// offered, else left. A list that denies the feedback only shows no place for the drop; the drop still
// goes where the user lets go. `menu`: the source leaves the right-drag menu on. Returns the effect the
// drop took (0: none).
std::int16_t dragOverList(std::int16_t id, std::int16_t list, const DialogAction& action,
                          std::int16_t offered, bool menu) {
    const Item* target = findItem(id, list);
    if (!target) return 0;
    const DGListDropPlace place = placeIn(*target, action.row);
    std::int16_t effect = offered;
    bool defaultBehaviour = true, rightDragMenu = action.rightButton && menu, deny = false;
    // A drag with the left button enters through the host's form without the right-drag-menu flag: it
    // has no menu to keep or turn off.
    notifyItem(id, list, [&](ItemObserver& o) {
        o.listDragEntered(id, list, place, effect, defaultBehaviour,
                          action.rightButton ? &rightDragMenu : nullptr);
    });
    if ((effect & offered) != 0) {
        effect = offered;
        notifyItem(id, list, [&](ItemObserver& o) { o.listDragMoved(id, list, place, effect, deny); });
    }
    effect = static_cast<std::int16_t>(effect & offered);
    const auto leave = [&] {
        std::int16_t left = offered;
        notifyItem(id, list, [&](ItemObserver& o) { o.listDragLeft(id, list, place, left); });
        return std::int16_t{0};
    };
    if (effect == 0) {
        write("    the list refused the drop");
        return leave();
    }
    if (deny) write("    the list shows no place for the drop");
    std::int16_t allowed = offered;   // what the drop may end as: the effect chosen in the menu
    if (action.rightButton && rightDragMenu) {
        const std::optional<std::int16_t> chosen = chooseInMenu(effect, action);
        if (!chosen) return leave();
        effect = allowed = *chosen;
    }
    notifyItem(id, list, [&](ItemObserver& o) { o.listDropped(id, list, place, effect); });
    effect = static_cast<std::int16_t>(effect & allowed);
    write("    dropped before row " + std::to_string(place.insertRow) + " (" + effectName(effect) + ")");
    return effect;
}

// The same over the dialog itself, at x, y in its client coordinates. Returns the effect taken (0: none).
std::int16_t dragOverPanel(std::int16_t id, const DialogAction& action, std::int16_t offered, bool menu) {
    const Panel* p = findPanel(id);
    const std::int32_t x = p->x + action.x, y = p->y + action.y;   // the host reports screen points
    std::int16_t effect = offered;
    bool handled = false;
    notifyPanel(id, [&](PanelObserver& o) { o.panelDragEntered(id, x, y, effect, handled); });
    if (handled && effect != 0) {
        handled = false;
        notifyPanel(id, [&](PanelObserver& o) { o.panelDragMoved(id, x, y, effect, handled); });
    }
    effect = static_cast<std::int16_t>(effect & offered);
    if (!handled || effect == 0) {
        write("    the dialog refused the drop");
        return 0;
    }
    std::int16_t allowed = offered;
    if (action.rightButton && menu) {
        const std::optional<std::int16_t> chosen = chooseInMenu(effect, action);
        if (!chosen) return 0;
        effect = allowed = *chosen;
    }
    handled = false;
    notifyPanel(id, [&](PanelObserver& o) { o.panelDropped(id, x, y, effect, handled); });
    effect = static_cast<std::int16_t>(handled ? effect & allowed : 0);
    write(effect != 0 ? "    dropped (" + effectName(effect) + ")" : "    the dialog refused the drop");
    return effect;
}

}   // namespace

bool play(std::int16_t id, const DialogAction& action) {
    Panel* p = findPanel(id);
    const std::string where = dialogName(*p);
    const auto refuse = [&](const std::string& why) {
        stopScriptRun(actionName(action) + " in " + where + ": " + why);
        return false;
    };
    write("  > " + actionName(action));
    const auto itemId = static_cast<std::int16_t>(action.item);
    Item* item = nullptr;
    const bool onPanel = action.kind == DialogActionKind::resize ||
                         action.kind == DialogActionKind::closeBox ||
                         action.kind == DialogActionKind::hotKey ||
                         (action.kind == DialogActionKind::drop && action.item == 0);
    if (!onPanel) {
        item = findItem(id, itemId);
        if (!item || item->type == kDGSeparator)
            return refuse("there is no item " + std::to_string(action.item));
        if (!isShown(*p, itemId)) return refuse("item " + std::to_string(action.item) + " is hidden");
        if (!item->enabled) return refuse("item " + std::to_string(action.item) + " is disabled");
    }
    const auto isText = [](DGItemType t) {
        return t == kDGLeftText || t == kDGCenterText || t == kDGRightText;
    };
    const auto isList = isListType;
    const auto header = static_cast<std::int16_t>(action.header);
    if (action.kind == DialogActionKind::clickHeader || action.kind == DialogActionKind::resizeHeader ||
        action.kind == DialogActionKind::dragHeader) {
        if (!isList(item->type)) return refuse(std::string("a ") + typeName(item->type) + " has no header");
        if (static_cast<std::size_t>(action.header) > item->header.size())
            return refuse("the list has no header item " + std::to_string(action.header));
    }
    switch (action.kind) {
        case DialogActionKind::click:
            if (item->type != kDGButton && !isText(item->type))
                return refuse(std::string("a ") + typeName(item->type) +
                              " is not clicked; use its own action");
            notifyItem(id, itemId, [&](ItemObserver& o) { o.itemClicked(id, itemId); });
            return true;
        case DialogActionKind::doubleClick:
            if (isText(item->type)) {
                if (!action.rows.empty())
                    return refuse(std::string("a ") + typeName(item->type) + " has no rows");
                notifyItem(id, itemId, [&](ItemObserver& o) { o.itemDoubleClicked(id, itemId); });
                return true;
            }
            if (!isList(item->type))
                return refuse(std::string("a ") + typeName(item->type) + " is not double-clicked");
            if (action.rows.empty()) return refuse("a double click on a list needs its \"row\"");
            if (action.rows[0] < 1 || static_cast<std::size_t>(action.rows[0]) > item->rows.size())
                return refuse(noRow(*item, action.rows[0]));
            if (!clickOn(*item, static_cast<std::int16_t>(action.rows[0]), action))
                return refuse(noPlaceFor(*item, action));
            {
                const auto row = static_cast<std::int16_t>(action.rows[0]);
                const std::size_t at = static_cast<std::size_t>(row) - 1;
                // Its first click selects as a click does; without keys a row already selected keeps
                // the rows selected with it.
                if (action.command || action.shift) {
                    selectAsClicked(id, itemId, *item, at, action);
                } else if (!item->rows[at].isSelected()) {
                    item->selectAllRows(false);
                    item->selectRow(at, true);
                    notifyItem(id, itemId, [&](ItemObserver& o) { o.listSelectionChanged(id, itemId); });
                }
                if (settle(id) || (item = findItem(id, itemId)) == nullptr) return true;
                if (const std::optional<DGListClick> click = clickOn(*item, row, action))
                    notifyItem(id, itemId, [&](ItemObserver& o) { o.listDoubleClicked(id, itemId, *click); });
            }
            return true;
        case DialogActionKind::setText: {
            if (item->type != kDGEditText)
                return refuse(std::string("a ") + typeName(item->type) + " takes no typing");
            p->focus = itemId;   // a person types into the field that has the focus
            // A full field takes no more characters: what is typed costs at most the field's length.
            const std::int32_t limit = item->maxLength;
            const std::string_view text = action.text;
            std::string typed;
            std::int32_t count = 0;
            std::size_t i = 0;
            while (i < text.size() && (limit <= 0 || count < limit)) {
                const std::string_view c = text.substr(i, characterLength(text, i));
                i += c.size();
                bool deny = false;
                notifyItem(id, itemId,
                           [&](ItemObserver& o) { o.itemCharEntered(id, itemId, codePoint(c), deny); });
                if (!deny) {
                    typed += c;
                    ++count;
                }
            }
            if (i < text.size())
                write("    the field is full: " + std::to_string(countCharacters(text.substr(i))) +
                      " more characters were not typed");
            item = findItem(id, itemId);
            if (!item) return true;
            item->text = cutToLength(typed, item->maxLength);
            notifyItem(id, itemId, [&](ItemObserver& o) { o.itemChanged(id, itemId); });
            if (action.commit && findItem(id, itemId)) leaveField(id, itemId);
            return true;
        }
        case DialogActionKind::leaveField:
            if (item->type != kDGEditText)
                return refuse(std::string("a ") + typeName(item->type) + " is not an edit field");
            // A person can only leave the field they are in: one without the focus has nothing to lose.
            if (p->focus != itemId)
                return refuse("item " + std::to_string(action.item) + " does not have the focus");
            leaveField(id, itemId);
            return true;
        case DialogActionKind::selectPopup: {
            if (!isPopupItem(*item))
                return refuse(std::string("a ") + typeName(item->type) + " is not a popup");
            std::size_t position = 0;
            if (action.index) {
                position = static_cast<std::size_t>(*action.index);
                if (position > item->popup.size())
                    return refuse("the popup has " + std::to_string(item->popup.size()) + " items, not " +
                                  std::to_string(position));
            } else {
                for (std::size_t k = 0; k < item->popup.size() && position == 0; ++k)
                    if (!item->popup[k].separator && item->popup[k].text == action.text) position = k + 1;
                if (position == 0) return refuse("the popup has no item " + quotedInput(action.text));
            }
            const PopupEntry& entry = item->popup[position - 1];
            if (entry.separator) return refuse("popup item " + std::to_string(position) + " is a separator");
            if (entry.status != 0) return refuse("popup item " + quoted(entry.text) + " is disabled");
            item->popupSelected = static_cast<std::int16_t>(position);
            notifyItem(id, itemId, [&](ItemObserver& o) { o.itemChanged(id, itemId); });
            return true;
        }
        case DialogActionKind::selectRows: {
            if (!isList(item->type)) return refuse(std::string("a ") + typeName(item->type) + " has no rows");
            for (int row : action.rows)
                if (static_cast<std::size_t>(row) > item->rows.size()) return refuse(noRow(*item, row));
            if (item->type == kDGSingleList && action.rows.size() > 1)
                return refuse("the list lets one row at a time be selected");
            item->selectAllRows(false);
            for (int row : action.rows) item->selectRow(static_cast<std::size_t>(row) - 1, true);
            notifyItem(id, itemId, [&](ItemObserver& o) { o.listSelectionChanged(id, itemId); });
            return true;
        }
        case DialogActionKind::resize: {
            if (p->grow == DialogGrow::none) return refuse("the dialog cannot be resized");
            std::int32_t width = std::max(action.width, p->minWidth);
            std::int32_t height = std::max(action.height, p->minHeight);
            if (p->grow == DialogGrow::vertical) width = p->width;
            if (p->grow == DialogGrow::horizontal) height = p->height;
            const std::int32_t dx = width - p->width, dy = height - p->height;
            notifyPanel(id, [&](PanelObserver& o) { o.panelResizeEntered(id); });
            notifyPanel(id, [&](PanelObserver& o) { o.panelResizing(id, dx, dy); });
            if ((p = findPanel(id)) == nullptr) return true;
            p->width = width;
            p->height = height;
            notifyPanel(id, [&](PanelObserver& o) { o.panelResized(id, dx, dy); });
            notifyPanel(id, [&](PanelObserver& o) { o.panelResizeExited(id); });
            return true;
        }
        case DialogActionKind::closeBox:
            p->closeRequest = 2;
            return true;
        case DialogActionKind::clickRow: {
            if (!isList(item->type)) return refuse(std::string("a ") + typeName(item->type) + " has no rows");
            const auto row = static_cast<std::int16_t>(action.rows[0]);
            if (static_cast<std::size_t>(row) > item->rows.size()) return refuse(noRow(*item, row));
            if (!clickOn(*item, row, action)) return refuse(noPlaceFor(*item, action));
            // Below the last row the click leaves the selection as it is.
            if (row != 0) {
                selectAsClicked(id, itemId, *item, static_cast<std::size_t>(row) - 1, action);
                if (settle(id) || (item = findItem(id, itemId)) == nullptr) return true;
            }
            if (const std::optional<DGListClick> click = clickOn(*item, row, action))
                notifyItem(id, itemId, [&](ItemObserver& o) { o.listClicked(id, itemId, *click); });
            return true;
        }
        case DialogActionKind::clickHeader:
            notifyItem(id, itemId, [&](ItemObserver& o) { o.listHeaderItemClicked(id, itemId, header); });
            return true;
        case DialogActionKind::resizeHeader: {
            const auto change = static_cast<std::int16_t>(action.change);
            notifyItem(id, itemId,
                       [&](ItemObserver& o) { o.listHeaderItemResized(id, itemId, header, 0, 0); });
            notifyItem(id, itemId,
                       [&](ItemObserver& o) { o.listHeaderItemResized(id, itemId, header, 1, change); });
            if ((item = findItem(id, itemId)) == nullptr) return true;
            HeaderEntry& entry = item->header[static_cast<std::size_t>(header) - 1];
            entry.size =
                static_cast<std::int16_t>(std::max(entry.size + change, static_cast<int>(entry.minSize)));
            notifyItem(id, itemId,
                       [&](ItemObserver& o) { o.listHeaderItemResized(id, itemId, header, 2, change); });
            return true;
        }
        case DialogActionKind::dragHeader: {
            if (static_cast<std::size_t>(action.to) > item->header.size())
                return refuse("the list has no header position " + std::to_string(action.to));
            const auto from = item->header.begin() + (header - 1);
            HeaderEntry moved = *from;
            item->header.erase(from);
            item->header.insert(item->header.begin() + (action.to - 1), moved);
            const auto to = static_cast<std::int16_t>(action.to);
            notifyItem(id, itemId, [&](ItemObserver& o) { o.listHeaderItemDragged(id, itemId, header, to); });
            return true;
        }
        case DialogActionKind::hotKey: {
            bool handled = false;
            notifyPanel(id, [&](PanelObserver& o) { o.panelHotKey(id, action.key, handled); });
            if (!handled) write("    nobody took the hot key");
            return true;
        }
        case DialogActionKind::drop: {
            if (item) {
                if (!isList(item->type))
                    return refuse(std::string("a ") + typeName(item->type) + " takes no drops");
                if (static_cast<std::size_t>(action.row) > item->rows.size())
                    return refuse(noRow(*item, action.row));
                dragOverList(id, itemId, action, kDGDragCopy | kDGDragMove | kDGDragLink, true);
                return true;
            }
            if (!p->dragAndDrop) return refuse("the dialog takes no drops");
            dragOverPanel(id, action, kDGDragCopy | kDGDragMove | kDGDragLink, true);
            return true;
        }
        case DialogActionKind::dragRows: {
            if (!isList(item->type)) return refuse(std::string("a ") + typeName(item->type) + " has no rows");
            for (int row : action.rows)
                if (static_cast<std::size_t>(row) > item->rows.size()) return refuse(noRow(*item, row));
            if (item->type == kDGSingleList && action.rows.size() > 1)
                return refuse("the list lets one row at a time be selected");
            if (action.to) {
                const auto to = static_cast<std::int16_t>(action.to);
                const Item* target = findItem(id, to);
                if (!target || !isList(target->type)) return refuse("there is no list " + std::to_string(to));
                if (!isShown(*p, to) || !target->enabled)
                    return refuse("list " + std::to_string(to) + " is hidden or disabled");
                if (static_cast<std::size_t>(action.row) > target->rows.size())
                    return refuse("list " + std::to_string(to) + " has no row " + std::to_string(action.row) +
                                  " (it has " + std::to_string(target->rows.size()) + ")");
            }
            if (action.onPanel && !p->dragAndDrop) return refuse("the dialog takes no drops");
            // The user drags the rows selected: they are selected first, as the press on them does.
            bool changed = false;
            for (std::size_t r = 0; r < item->rows.size(); ++r) {
                const bool on = std::find(action.rows.begin(), action.rows.end(), static_cast<int>(r + 1)) !=
                                action.rows.end();
                changed = changed || item->rows[r].isSelected() != on;
                item->selectRow(r, on);
            }
            if (changed) notifyItem(id, itemId, [&](ItemObserver& o) { o.listSelectionChanged(id, itemId); });
            if (settle(id)) return true;
            bool mayStart = true;
            notifyItem(id, itemId, [&](ItemObserver& o) { o.listDragStarting(id, itemId, mayStart); });
            if (!mayStart) {
                write("    the list did not let the drag start");
                return true;
            }
            std::int16_t effect = kDGDragCopy | kDGDragMove | kDGDragLink;
            bool rightDragMenu = false;
            notifyItem(id, itemId,
                       [&](ItemObserver& o) { o.listDragStarted(id, itemId, effect, rightDragMenu); });
            std::int16_t taken = 0;
            if (action.to && findItem(id, static_cast<std::int16_t>(action.to)))
                taken = dragOverList(id, static_cast<std::int16_t>(action.to), action, effect, rightDragMenu);
            else if (action.onPanel && findPanel(id))
                taken = dragOverPanel(id, action, effect, rightDragMenu);
            else if (!action.to && !action.onPanel)
                write("    let go outside any list");
            notifyItem(id, itemId, [&](ItemObserver& o) { o.listDragEnded(id, itemId, taken); });
            return true;
        }
        case DialogActionKind::scroll: {
            if (!isList(item->type)) return refuse(std::string("a ") + typeName(item->type) + " has no rows");
            const int row = action.rows[0];
            if (static_cast<std::size_t>(row) > item->rows.size()) return refuse(noRow(*item, row));
            item->scroll = static_cast<std::int16_t>(row - 1);
            drawListInSight(id, itemId);   // the rows that come into sight
            return true;
        }
    }
    return true;
}

}   // namespace host::dialogs
