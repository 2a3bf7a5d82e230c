// The headless dialog library: the user's actions that the script plays in a dialog, each through the
// host callbacks a real user's action raises.
#include "SimDialogState.h"

namespace host::dialogs {
namespace {

// --- Text in characters ----------------------------------------------------------------------------
std::vector<std::string> characters(std::string_view text) {
    std::vector<std::string> result;
    for (std::size_t i = 0; i < text.size();) {
        std::size_t length = 1;
        const auto lead = static_cast<unsigned char>(text[i]);
        if (lead >= 0xF0)
            length = 4;
        else if (lead >= 0xE0)
            length = 3;
        else if (lead >= 0xC0)
            length = 2;
        length = std::min(length, text.size() - i);
        result.emplace_back(text.substr(i, length));
        i += length;
    }
    return result;
}

char32_t codePoint(const std::string& character) {
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

}   // namespace

std::string cutToLength(std::string_view text, std::int32_t maxLength) {
    if (maxLength <= 0) return std::string(text);
    std::string result;
    std::int32_t count = 0;
    for (const std::string& c : characters(text)) {
        if (count++ == maxLength) break;
        result += c;
    }
    return result;
}

std::string actionName(const DialogAction& a) {
    switch (a.kind) {
        case DialogActionKind::click:
            return "click item " + std::to_string(a.item);
        case DialogActionKind::doubleClick:
            return "doubleClick item " + std::to_string(a.item) +
                   (a.rows.empty() ? "" : " row " + std::to_string(a.rows[0]));
        case DialogActionKind::setText:
            return "setText item " + std::to_string(a.item) + " " + quoted(a.text) +
                   (a.commit ? " commit" : "");
        case DialogActionKind::selectPopup:
            return "selectPopup item " + std::to_string(a.item) + " " +
                   (a.index ? "index " + std::to_string(*a.index) : quoted(a.text));
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
            return "clickRow item " + std::to_string(a.item) + " row " + std::to_string(a.rows[0]) +
                   (a.command ? " command" : "") + (a.option ? " option" : "") + (a.shift ? " shift" : "");
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
            return a.item ? "drop on item " + std::to_string(a.item) +
                                (a.row ? " before row " + std::to_string(a.row) : " at the end")
                          : "drop at " + std::to_string(a.x) + ", " + std::to_string(a.y);
        case DialogActionKind::dragRows: {
            std::string rows;
            for (int r : a.rows) rows += (rows.empty() ? "" : ", ") + std::to_string(r);
            return "dragRows item " + std::to_string(a.item) + " rows [" + rows + "]" +
                   (a.to ? " onto item " + std::to_string(a.to) +
                               (a.row ? " before row " + std::to_string(a.row) : " at the end")
                         : " to nowhere");
        }
    }
    return "?";
}

namespace {

bool isListType(DGItemType t) { return t == kDGSingleList || t == kDGMultiList; }

// A click's record for a list row: the mouse a few units into the row.
DGListClick clickOn(const Item& list, std::int16_t row) {
    return {row, 4, static_cast<std::int16_t>((row - 1) * list.rowHeight + 4)};
}

// Where a drop before `row` (0: the end) lands in a list.
DGListDropPlace placeIn(const Item& list, int row) {
    const auto insertRow = static_cast<std::int16_t>(row == 0 ? list.rows.size() + 1 : row);
    return {4, static_cast<std::int16_t>((insertRow - 1) * list.rowHeight), insertRow, 0};
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

// Something carrying `offered` effects is dragged over the list and let go there, as the host does it:
// entered, moved (each told what the drag offers), then dropped when the list takes an effect it was
// offered and does not deny the drop, else left. Returns the effect the drop took (0: none).
std::int16_t dragOverList(std::int16_t id, std::int16_t list, int row, std::int16_t offered) {
    const Item* target = findItem(id, list);
    if (!target) return 0;
    const DGListDropPlace place = placeIn(*target, row);
    std::int16_t effect = offered;
    bool defaultBehaviour = true, rightDragMenu = false, deny = false;
    notifyItem(id, list, [&](ItemObserver& o) {
        o.listDragEntered(id, list, place, effect, defaultBehaviour, &rightDragMenu);
    });
    if ((effect & offered) != 0) {
        effect = offered;
        notifyItem(id, list, [&](ItemObserver& o) { o.listDragMoved(id, list, place, effect, deny); });
    }
    effect = static_cast<std::int16_t>(effect & offered);
    if (effect == 0 || deny) {
        std::int16_t left = offered;
        notifyItem(id, list, [&](ItemObserver& o) { o.listDragLeft(id, list, place, left); });
        write("    the list refused the drop");
        return 0;
    }
    notifyItem(id, list, [&](ItemObserver& o) { o.listDropped(id, list, place, effect); });
    effect = static_cast<std::int16_t>(effect & offered);
    write("    dropped before row " + std::to_string(place.insertRow) + " (" + effectName(effect) + ")");
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
                notifyItem(id, itemId, [&](ItemObserver& o) { o.itemDoubleClicked(id, itemId); });
                return true;
            }
            if (!isList(item->type))
                return refuse(std::string("a ") + typeName(item->type) + " is not double-clicked");
            if (action.rows.empty()) return refuse("a double click on a list needs its \"row\"");
            if (static_cast<std::size_t>(action.rows[0]) > item->rows.size())
                return refuse("the list has no row " + std::to_string(action.rows[0]));
            {
                const auto row = static_cast<std::int16_t>(action.rows[0]);
                if (!item->rows[static_cast<std::size_t>(row) - 1].isSelected()) {
                    item->selectAllRows(false);
                    item->selectRow(static_cast<std::size_t>(row) - 1, true);
                    notifyItem(id, itemId, [&](ItemObserver& o) { o.listSelectionChanged(id, itemId); });
                }
                if (!settle(id)) {
                    const DGListClick click{row, 4,
                                            static_cast<std::int16_t>((row - 1) * kDefaultRowHeight + 4)};
                    notifyItem(id, itemId, [&](ItemObserver& o) { o.listDoubleClicked(id, itemId, click); });
                }
            }
            return true;
        case DialogActionKind::setText: {
            if (item->type != kDGEditText)
                return refuse(std::string("a ") + typeName(item->type) + " takes no typing");
            std::string typed;
            for (const std::string& c : characters(action.text)) {
                bool deny = false;
                notifyItem(id, itemId,
                           [&](ItemObserver& o) { o.itemCharEntered(id, itemId, codePoint(c), deny); });
                if (!deny) typed += c;
            }
            item = findItem(id, itemId);
            if (!item) return true;
            item->text = cutToLength(typed, item->maxLength);
            notifyItem(id, itemId, [&](ItemObserver& o) { o.itemChanged(id, itemId); });
            if (action.commit && findItem(id, itemId))
                notifyItem(id, itemId, [&](ItemObserver& o) { o.itemFocusLost(id, itemId); });
            return true;
        }
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
                if (position == 0) return refuse("the popup has no item " + quoted(action.text));
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
                if (static_cast<std::size_t>(row) > item->rows.size())
                    return refuse("the list has no row " + std::to_string(row) + " (it has " +
                                  std::to_string(item->rows.size()) + ")");
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
            if (static_cast<std::size_t>(row) > item->rows.size())
                return refuse("the list has no row " + std::to_string(row));
            // The selection a click makes: command toggles the row, shift reaches it from the first
            // selected row (in a multiple-selection list), a plain click selects it alone.
            std::vector<bool> selection;
            for (const ListRow& r : item->rows) selection.push_back(r.isSelected());
            const std::size_t at = static_cast<std::size_t>(row) - 1;
            const bool multi = item->type == kDGMultiList;
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
                changed = changed || item->rows[r].isSelected() != selection[r];
                item->selectRow(r, selection[r]);
            }
            if (changed) notifyItem(id, itemId, [&](ItemObserver& o) { o.listSelectionChanged(id, itemId); });
            if (settle(id)) return true;
            if ((item = findItem(id, itemId)) == nullptr) return true;
            DGListClick click = clickOn(*item, row);
            click.command = action.command;
            click.option = action.option;
            click.shift = action.shift;
            notifyItem(id, itemId, [&](ItemObserver& o) { o.listClicked(id, itemId, click); });
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
                    return refuse("the list has no row " + std::to_string(action.row));
                dragOverList(id, itemId, action.row, kDGDragCopy | kDGDragMove | kDGDragLink);
                return true;
            }
            if (!p->dragAndDrop) return refuse("the dialog takes no drops");
            const std::int32_t x = p->x + action.x, y = p->y + action.y;   // the host reports screen points
            std::int16_t effect = kDGDragCopy | kDGDragMove | kDGDragLink;
            bool handled = false;
            notifyPanel(id, [&](PanelObserver& o) { o.panelDragEntered(id, x, y, effect, handled); });
            if (handled && effect != 0) {
                handled = false;
                notifyPanel(id, [&](PanelObserver& o) { o.panelDragMoved(id, x, y, effect, handled); });
            }
            if (!handled || effect == 0) {
                write("    the dialog refused the drop");
                return true;
            }
            handled = false;
            notifyPanel(id, [&](PanelObserver& o) { o.panelDropped(id, x, y, effect, handled); });
            write(handled && effect != 0 ? "    dropped (" + effectName(effect) + ")"
                                         : "    the dialog refused the drop");
            return true;
        }
        case DialogActionKind::dragRows: {
            if (!isList(item->type)) return refuse(std::string("a ") + typeName(item->type) + " has no rows");
            for (int row : action.rows)
                if (static_cast<std::size_t>(row) > item->rows.size())
                    return refuse("the list has no row " + std::to_string(row));
            if (item->type == kDGSingleList && action.rows.size() > 1)
                return refuse("the list lets one row at a time be selected");
            if (action.to) {
                const auto to = static_cast<std::int16_t>(action.to);
                const Item* target = findItem(id, to);
                if (!target || !isList(target->type)) return refuse("there is no list " + std::to_string(to));
                if (!isShown(*p, to) || !target->enabled)
                    return refuse("list " + std::to_string(to) + " is hidden or disabled");
                if (static_cast<std::size_t>(action.row) > target->rows.size())
                    return refuse("list " + std::to_string(to) + " has no row " + std::to_string(action.row));
            }
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
                taken = dragOverList(id, static_cast<std::int16_t>(action.to), action.row, effect);
            else if (!action.to)
                write("    let go outside any list");
            notifyItem(id, itemId, [&](ItemObserver& o) { o.listDragEnded(id, itemId, taken); });
            return true;
        }
    }
    return true;
}

}   // namespace host::dialogs
