// The headless dialog library: dialogs and their items as plain state, observers, and the modal loop
// that plays the user-action script (the actions themselves: SimDialogScript.cpp).
#include "HostDialogLibrary.h"

#include <cstdio>

#include "SimDialogState.h"

namespace host {
namespace dialogs {

// Never destroyed: modules that outlive the program's statics still unregister their resources here.
Library& library() {
    static Library* instance = new Library;
    return *instance;
}

Panel* findPanel(std::int16_t id) {
    const auto found = library().panels.find(id);
    return found == library().panels.end() ? nullptr : found->second.get();
}

Item* findItem(std::int16_t panel, std::int16_t item) {
    Panel* p = findPanel(panel);
    if (!p || item < 1 || static_cast<std::size_t>(item) > p->items.size()) return nullptr;
    return &p->items[static_cast<std::size_t>(item) - 1];
}

Item* findPopup(std::int16_t panel, std::int16_t item) {
    Item* i = findItem(panel, item);
    return i && i->type == kDGPopUp ? i : nullptr;
}

PopupEntry* findPopupEntry(std::int16_t panel, std::int16_t item, std::int16_t position) {
    Item* i = findPopup(panel, item);
    if (!i || position < 1 || static_cast<std::size_t>(position) > i->popup.size()) return nullptr;
    return &i->popup[static_cast<std::size_t>(position) - 1];
}

// Any user control holds popup items; one given its control kind is a popup the user can choose from.
Item* findUserPopup(std::int16_t panel, std::int16_t item) {
    Item* i = findItem(panel, item);
    return i && i->type == kDGUserControl ? i : nullptr;
}

PopupEntry* findUserPopupEntry(std::int16_t panel, std::int16_t item, std::int16_t position) {
    Item* i = findUserPopup(panel, item);
    if (!i || position < 1 || static_cast<std::size_t>(position) > i->popup.size()) return nullptr;
    return &i->popup[static_cast<std::size_t>(position) - 1];
}

bool isPopupItem(const Item& item) {
    return item.type == kDGPopUp || (item.type == kDGUserControl && item.controlKind >= 0);
}

Item* findList(std::int16_t panel, std::int16_t item) {
    Item* i = findItem(panel, item);
    return i && (i->type == kDGSingleList || i->type == kDGMultiList) ? i : nullptr;
}

ListRow* findRow(std::int16_t panel, std::int16_t item, std::int16_t row) {
    Item* i = findList(panel, item);
    if (!i || row < 1 || static_cast<std::size_t>(row) > i->rows.size()) return nullptr;
    return &i->rows[static_cast<std::size_t>(row) - 1];
}

void write(const std::string& line) {
    if (library().transcript) library().transcript(line);
}

std::string quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

// --- What the transcript shows ---------------------------------------------------------------------
const char* typeName(DGItemType type) {
    switch (type) {
        case kDGButton:
            return "button";
        case kDGLeftText:
        case kDGCenterText:
        case kDGRightText:
            return "text";
        case kDGEditText:
            return "edit";
        case kDGPopUp:
            return "popup";
        case kDGSingleList:
            return "list";
        case kDGMultiList:
            return "multi-selection list";
        case kDGUserControl:
            return "user control";
        case kDGIcon:
            return "icon";
        case kDGSeparator:
            return "separator";
        default:
            return "item";
    }
}

bool isShown(const Panel& p, std::int16_t id) {
    const Item& item = p.items[static_cast<std::size_t>(id) - 1];
    if (item.visible) return true;
    for (const Item& other : p.items)
        for (const auto& [tab, laid] : other.tabItems)
            if (laid == id) return true;
    return false;
}

// The tab texts, and the text colour as #rrggbb when it is not black.
std::string rowText(const ListRow& row) {
    std::string text;
    for (std::size_t t = 0; t < row.tabs.size(); ++t) text += (t ? " | " : "") + row.tabs[t];
    if (row.color[0] != 0 || row.color[1] != 0 || row.color[2] != 0) {
        char colour[8];
        std::snprintf(colour, sizeof colour, "#%02x%02x%02x", row.color[0] / 257, row.color[1] / 257,
                      row.color[2] / 257);
        text += std::string("  (") + colour + ")";
    }
    return text;
}

std::string dialogName(const Panel& p) {
    return "dialog " + std::to_string(p.resourceId) + " " + quoted(p.title);
}

void showDialog(const Panel& p) {
    if (!library().transcript) return;
    write("Dialog " + std::to_string(p.resourceId) + " " + quoted(p.title) + " opens (" +
          std::to_string(p.width) + " x " + std::to_string(p.height) + ")");
    for (std::size_t n = 1; n <= p.items.size(); ++n) {
        const Item& item = p.items[n - 1];
        if (item.type == kDGSeparator || !isShown(p, static_cast<std::int16_t>(n))) continue;
        std::string line = "  " + std::to_string(n) + " " + typeName(item.type);
        if (!item.enabled) line += " (disabled)";
        if (isPopupItem(item)) {
            line += item.type == kDGPopUp ? ":" : " popup:";
            for (std::size_t k = 0; k < item.popup.size(); ++k) {
                const PopupEntry& e = item.popup[k];
                line += k ? " |" : "";
                line += " ";
                if (static_cast<std::int16_t>(k + 1) == item.popupSelected) line += "*";
                line += e.separator ? "---" : quoted(e.text);
            }
        } else if (item.type == kDGSingleList || item.type == kDGMultiList) {
            line += ", " + std::to_string(item.rows.size()) + " rows";
            write(line);
            std::string header;
            for (const HeaderEntry& h : item.header) header += (header.empty() ? "" : " | ") + h.text;
            if (!header.empty()) write("        " + header);
            for (std::size_t r = 0; r < item.rows.size(); ++r)
                write(std::string("    ") + (item.rows[r].isSelected() ? "* " : "  ") +
                      std::to_string(r + 1) + "  " + rowText(item.rows[r]));
            continue;
        } else if (item.type != kDGIcon && item.type != kDGUserControl) {
            line += " " + quoted(item.text);
        }
        write(line);
    }
}

// --- Stops ---------------------------------------------------------------------------------------------
void stopAllModal() {
    for (auto& [id, panel] : library().panels)
        if (panel->running) panel->abort = true;
}

// --- The modal loop ------------------------------------------------------------------------------------
void closePanel(std::int16_t id, bool accepted) {
    notifyPanel(id, [&](PanelObserver& o) { o.panelClosed(id); });
    if (Panel* p = findPanel(id)) {
        p->open = false;
        p->accepted = accepted;
        p->closeRequest.reset();
        write(dialogName(*p) + " closes " + (accepted ? "(OK)" : "(cancelled)"));
    }
}

// Handles what the last callback asked for: an abort or a close request. True when the dialog closed.
bool settle(std::int16_t id) {
    for (;;) {
        Panel* p = findPanel(id);
        if (!p || !p->open) return true;
        if (p->abort) {
            p->abort = false;
            closePanel(id, false);
            return true;
        }
        if (!p->closeRequest) return false;
        const std::int32_t code = *p->closeRequest;
        p->closeRequest.reset();
        bool allow = true;
        notifyPanel(id, [&](PanelObserver& o) { o.panelCloseRequested(id, code == 1, allow); });
        p = findPanel(id);
        if (!p || !p->open) return true;   // a palette's observer closes it itself
        if (allow) {
            closePanel(id, code == 1);
            return true;
        }
    }
}

bool isFor(const DialogAction& action, const Panel& p) {
    return !action.dialogId || *action.dialogId == p.resourceId;
}

// --- Owner-drawn cells ---------------------------------------------------------------------------------
std::int16_t rowsInSight(const Item& list) {
    const std::int32_t header = list.header.empty() ? 0 : kHeaderHeight;
    const std::int32_t height = list.bottom - list.top - header;
    if (list.rowHeight <= 0 || height <= 0) return 1;
    return static_cast<std::int16_t>(std::clamp((height + list.rowHeight - 1) / list.rowHeight, 1, 32767));
}

void drawOwnerCells(std::int16_t panel, std::int16_t item, std::int16_t row, std::int16_t onlyTab) {
    const Panel* p = findPanel(panel);
    const Item* list = findList(panel, item);
    if (!p || !p->open || !list || list->drawDisabled > 0 || !findRow(panel, item, row)) return;
    std::vector<std::pair<std::int16_t, std::int16_t>> cells;   // tab, width
    for (const std::int16_t tab : list->ownerDrawTabs) {
        if (onlyTab != 0 && tab != onlyTab) continue;
        const std::size_t t = static_cast<std::size_t>(tab) - 1;
        std::int32_t width = 0;
        if (t < list->tabs.size())
            width = list->tabs[t].end - list->tabs[t].begin;
        else if (list->tabs.empty() && tab == 1)   // without tab data one field spans the list
            width = list->right - list->left;
        cells.emplace_back(tab, static_cast<std::int16_t>(std::clamp(width, 0, 4096)));
    }
    const std::int16_t height = list->rowHeight;
    for (const auto& cell : cells) {
        const std::int16_t tab = cell.first, width = cell.second;
        // Each drawing starts on a fresh cell, as the host erases it before asking.
        std::shared_ptr<PictureContext> picture(newPictureContext(width, height), disposePictureContext);
        notifyItem(panel, item, [&](ItemObserver& o) {
            o.listTabItemUpdate(panel, item, row, tab, width, height, picture.get());
        });
        if (ListRow* r = findRow(panel, item, row); r && picture) r->drawn[tab] = std::move(picture);
    }
}

void drawListInSight(std::int16_t panel, std::int16_t item) {
    const Item* list = findList(panel, item);
    if (!list || list->ownerDrawTabs.empty()) return;
    const std::int32_t first = std::max<std::int32_t>(list->scroll, 0) + 1;
    const std::int32_t last = first + rowsInSight(*list) - 1;
    for (std::int32_t r = first; r <= last; ++r) {
        list = findList(panel, item);
        if (!list || static_cast<std::size_t>(r) > list->rows.size()) return;
        drawOwnerCells(panel, item, static_cast<std::int16_t>(r), 0);
    }
}

// The lists of a dialog that has just opened, or is redrawn whole, draw their cells in sight.
void drawListsOf(std::int16_t panel) {
    const Panel* p = findPanel(panel);
    for (std::size_t n = 1; p && n <= p->items.size(); ++n) {
        if (!p->items[n - 1].ownerDrawTabs.empty()) drawListInSight(panel, static_cast<std::int16_t>(n));
        p = findPanel(panel);
    }
}

}   // namespace dialogs

using namespace dialogs;

PanelObserver::~PanelObserver() = default;
void PanelObserver::panelOpened(std::int16_t) {}
void PanelObserver::panelCloseRequested(std::int16_t, bool, bool&) {}
void PanelObserver::panelClosed(std::int16_t) {}
void PanelObserver::panelResizeEntered(std::int16_t) {}
void PanelObserver::panelResizing(std::int16_t, std::int32_t, std::int32_t) {}
void PanelObserver::panelResized(std::int16_t, std::int32_t, std::int32_t) {}
void PanelObserver::panelResizeExited(std::int16_t) {}
void PanelObserver::panelHotKey(std::int16_t, std::int32_t, bool&) {}
void PanelObserver::panelDragEntered(std::int16_t, std::int32_t, std::int32_t, std::int16_t&, bool&) {}
void PanelObserver::panelDragMoved(std::int16_t, std::int32_t, std::int32_t, std::int16_t&, bool&) {}
void PanelObserver::panelDropped(std::int16_t, std::int32_t, std::int32_t, std::int16_t&, bool&) {}

ItemObserver::~ItemObserver() = default;
void ItemObserver::itemClicked(std::int16_t, std::int16_t) {}
void ItemObserver::itemDoubleClicked(std::int16_t, std::int16_t) {}
void ItemObserver::itemChanged(std::int16_t, std::int16_t) {}
void ItemObserver::itemCharEntered(std::int16_t, std::int16_t, char32_t, bool&) {}
void ItemObserver::itemFocusLost(std::int16_t, std::int16_t) {}
void ItemObserver::listSelectionChanged(std::int16_t, std::int16_t) {}
void ItemObserver::listClicked(std::int16_t, std::int16_t, const DGListClick&) {}
void ItemObserver::listDoubleClicked(std::int16_t, std::int16_t, const DGListClick&) {}
void ItemObserver::listHeaderItemClicked(std::int16_t, std::int16_t, std::int16_t) {}
void ItemObserver::listHeaderItemResized(std::int16_t, std::int16_t, std::int16_t, std::int16_t,
                                         std::int16_t) {}
void ItemObserver::listHeaderItemDragged(std::int16_t, std::int16_t, std::int16_t, std::int16_t) {}
void ItemObserver::listTabItemUpdate(std::int16_t, std::int16_t, std::int16_t, std::int16_t, std::int16_t,
                                     std::int16_t, PictureContext*) {}
void ItemObserver::listDragStarting(std::int16_t, std::int16_t, bool&) {}
void ItemObserver::listDragStarted(std::int16_t, std::int16_t, std::int16_t&, bool&) {}
void ItemObserver::listDragEnded(std::int16_t, std::int16_t, std::int16_t) {}
void ItemObserver::listDragEntered(std::int16_t, std::int16_t, const DGListDropPlace&, std::int16_t&, bool&,
                                   bool*) {}
void ItemObserver::listDragMoved(std::int16_t, std::int16_t, const DGListDropPlace&, std::int16_t&, bool&) {}
void ItemObserver::listDragLeft(std::int16_t, std::int16_t, const DGListDropPlace&, std::int16_t&) {}
void ItemObserver::listDropped(std::int16_t, std::int16_t, const DGListDropPlace&, std::int16_t&) {}

// --- Resource modules ----------------------------------------------------------------------------------
std::int32_t DGRegisterResourceModule(const ModuleResources* resources) {
    const std::int32_t module = library().nextModule++;
    library().modules[module] = resources;
    return module;
}

void DGUnregisterResourceModule(std::int32_t module) { library().modules.erase(module); }

// --- Dialogs -------------------------------------------------------------------------------------------
namespace {

std::int16_t createDialog(std::int32_t module, std::int32_t resourceId, bool modal, const GuidRecord* guid) {
    Library& lib = library();
    const auto found = lib.modules.find(module);
    if (found == lib.modules.end() || !found->second) return 0;
    const DialogResource* resource = found->second->dialog(resourceId);
    if (!resource || resource->palette == modal) return 0;
    auto panel = std::make_unique<Panel>();
    do {
        lib.nextPanel = static_cast<std::int16_t>(lib.nextPanel >= 32000 ? 1000 : lib.nextPanel + 1);
    } while (lib.panels.count(lib.nextPanel));
    panel->id = lib.nextPanel;
    panel->module = module;
    panel->resourceId = resourceId;
    panel->modal = modal;
    if (guid) panel->guid = *guid;
    panel->title = resource->title;
    panel->grow = resource->grow;
    panel->width = resource->width;
    panel->height = resource->height;
    for (const DialogItemResource& r : resource->items) {
        Item item;
        item.type = static_cast<DGItemType>(r.kind);
        item.left = r.x;
        item.top = r.y;
        item.right = r.x + r.width;
        item.bottom = r.y + r.height;
        item.text = r.text;
        item.maxLength = r.maxLength;
        if (r.rowHeight > 0) item.rowHeight = static_cast<std::int16_t>(r.rowHeight);
        panel->items.push_back(std::move(item));
    }
    const std::int16_t id = panel->id;
    lib.panels.emplace(id, std::move(panel));
    return id;
}

}   // namespace

std::int16_t DGCreateModalDialog(std::int32_t module, std::int32_t resourceId) {
    return createDialog(module, resourceId, true, nullptr);
}

std::int16_t DGCreatePalette(std::int32_t module, std::int32_t resourceId, const GuidRecord* guid) {
    return createDialog(module, resourceId, false, guid);
}

void DGDestroyDialog(std::int16_t panel) {
    Panel* p = findPanel(panel);
    if (!p) return;
    if (p->running) {   // its modal loop is on the stack: it finds the panel gone and returns
        p->observers.clear();
    }
    library().panels.erase(panel);
}

bool DGIsModalDialog(std::int16_t panel) {
    const Panel* p = findPanel(panel);
    return p && p->modal;
}

bool DGIsPalette(std::int16_t panel) {
    const Panel* p = findPanel(panel);
    return p && !p->modal;
}

std::int32_t DGGetResourceId(std::int16_t panel) {
    const Panel* p = findPanel(panel);
    return p ? p->resourceId : 0;
}

namespace {

// Escape clicks the Cancel button (item 2) as the user's click would, so its own handlers hear it; a
// dialog without one that can be pressed gets the window's cancelling close request.
void pressEscape(std::int16_t id, const std::string& why) {
    const Panel* p = findPanel(id);
    const Item* cancel = findItem(id, 2);
    if (cancel && cancel->type == kDGButton && cancel->enabled && isShown(*p, 2)) {
        write("  > " + why + ": Escape clicks item 2 (the script has nothing more for this dialog)");
        notifyItem(id, 2, [&](ItemObserver& o) { o.itemClicked(id, 2); });
        return;
    }
    write("  > " + why + ": Escape cancels the dialog (the script has nothing more for it)");
    findPanel(id)->closeRequest = 2;
}

// The open palette that a script action names; 0: none.
std::int16_t openPaletteFor(const DialogAction& action) {
    if (!action.dialogId) return 0;
    for (const auto& [id, panel] : library().panels)
        if (!panel->modal && panel->open && panel->resourceId == *action.dialogId) return id;
    return 0;
}

}   // namespace

bool DGInvokeModal(std::int16_t id) {
    Panel* p = findPanel(id);
    if (!p || !p->modal || p->running) return false;
    p->running = true;
    p->open = true;
    p->accepted = false;
    p->abort = scriptRunStopped();
    p->closeRequest.reset();
    notifyPanel(id, [&](PanelObserver& o) { o.panelOpened(id); });
    if ((p = findPanel(id)) == nullptr) return false;
    showDialog(*p);
    drawListsOf(id);
    bool defaultPressed = false;
    while (!settle(id)) {
        p = findPanel(id);
        if (scriptRunStopped()) {
            p->abort = true;
            continue;
        }
        const std::optional<DialogAction> next = peekDialogAction();
        if (next && isFor(*next, *p)) {
            play(id, *takeDialogAction());
            continue;
        }
        // The user may turn to an open palette while the dialog waits.
        if (const std::int16_t palette = next ? openPaletteFor(*next) : 0) {
            play(palette, *takeDialogAction());
            settle(palette);
            continue;
        }
        if (defaultPressed) {
            stopScriptRun(dialogName(*p) +
                          " stayed open after its default button; the script has nothing more for it");
            continue;
        }
        defaultPressed = true;
        // The script is silent: the user presses Enter, which clicks the default button (item 1). With
        // none that can be pressed (disabled, hidden, or no button at all) the user leaves with Escape.
        const Item* ok = findItem(id, 1);
        if (ok && ok->type == kDGButton && ok->enabled && isShown(*p, 1)) {
            write("  > default button: click item 1 (the script has nothing more for this dialog)");
            notifyItem(id, 1, [&](ItemObserver& o) { o.itemClicked(id, 1); });
            continue;
        }
        const std::string why =
            !ok || ok->type != kDGButton
                ? "the dialog has no default button (item 1)"
                : "the default button (item 1) is " + std::string(ok->enabled ? "hidden" : "disabled");
        pressEscape(id, why);
    }
    p = findPanel(id);
    if (!p) return false;
    p->running = false;
    return p->accepted;
}

void DGPostCloseRequest(std::int16_t panel, std::int32_t code) {
    if (Panel* p = findPanel(panel); p && p->open) p->closeRequest = code;
}

void DGAbortModal(std::int16_t panel) {
    if (Panel* p = findPanel(panel); p && p->open) p->abort = true;
}

namespace {

// The user turns to the palette: the script's next actions that name it are played there.
void playPaletteActions(std::int16_t id) {
    for (;;) {
        const Panel* p = findPanel(id);
        if (!p || !p->open || p->modal || scriptRunStopped()) return;
        const std::optional<DialogAction> next = peekDialogAction();
        if (!next || !next->dialogId || *next->dialogId != p->resourceId) return;
        play(id, *takeDialogAction());
        settle(id);
    }
}

}   // namespace

void DGBeginEventProcessing(std::int16_t panel) {
    Panel* p = findPanel(panel);
    if (!p || p->modal || p->open) return;
    p->open = true;
    notifyPanel(panel, [&](PanelObserver& o) { o.panelOpened(panel); });
    if ((p = findPanel(panel)) == nullptr) return;
    showDialog(*p);
    drawListsOf(panel);
}

void DGEndEventProcessing(std::int16_t panel) {
    Panel* p = findPanel(panel);
    if (!p || p->modal || !p->open) return;
    p->visible = false;
    closePanel(panel, false);
}

void DGShowPalette(std::int16_t panel, std::int16_t zPosition) {
    if (Panel* p = findPanel(panel); p && !p->modal) {
        p->visible = true;
        p->z = zPosition;
        playPaletteActions(panel);
    }
}

void DGHidePalette(std::int16_t panel) {
    if (Panel* p = findPanel(panel); p && !p->modal) p->visible = false;
}

void DGActivatePalette(std::int16_t panel) {
    if (Panel* p = findPanel(panel); p && !p->modal) p->z = -32768;
}

bool DGIsPaletteVisible(std::int16_t panel) {
    const Panel* p = findPanel(panel);
    return p && !p->modal && p->visible;
}

void DGAttachPanelObserver(std::int16_t panel, PanelObserver* observer) {
    Panel* p = findPanel(panel);
    if (p && observer && std::find(p->observers.begin(), p->observers.end(), observer) == p->observers.end())
        p->observers.push_back(observer);
}

void DGDetachPanelObserver(std::int16_t panel, PanelObserver* observer) {
    if (Panel* p = findPanel(panel)) std::erase(p->observers, observer);
}

void DGEnableDragAndDrop(std::int16_t panel) {
    if (Panel* p = findPanel(panel)) p->dragAndDrop = true;
}

double DGGetScaleFactor(std::int16_t) { return 1.0; }

std::string DGGetTitle(std::int16_t panel) {
    const Panel* p = findPanel(panel);
    return p ? p->title : std::string();
}

void DGSetTitle(std::int16_t panel, std::string_view title) {
    if (Panel* p = findPanel(panel)) p->title = title;
}

void DGGetClientPosition(std::int16_t panel, std::int32_t& x, std::int32_t& y) {
    const Panel* p = findPanel(panel);
    x = p ? p->x : 0;
    y = p ? p->y : 0;
}

void DGSetClientPosition(std::int16_t panel, std::int32_t x, std::int32_t y) {
    if (Panel* p = findPanel(panel)) {
        p->x = x;
        p->y = y;
    }
}

void DGGetFramePosition(std::int16_t panel, std::int32_t& x, std::int32_t& y) {
    DGGetClientPosition(panel, x, y);
    if (findPanel(panel)) {
        x -= kFrameLeft;
        y -= kFrameTop;
    }
}

void DGSetFramePosition(std::int16_t panel, std::int32_t x, std::int32_t y) {
    DGSetClientPosition(panel, x + kFrameLeft, y + kFrameTop);
}

void DGGetDialogClientSize(std::int16_t panel, std::int16_t, std::int32_t& width, std::int32_t& height) {
    const Panel* p = findPanel(panel);
    width = p ? p->width : 0;
    height = p ? p->height : 0;
}

void DGSetDialogClientSize(std::int16_t panel, std::int32_t width, std::int32_t height, std::int16_t,
                           std::int32_t) {
    if (Panel* p = findPanel(panel)) {
        p->width = std::max(width, p->minWidth);
        p->height = std::max(height, p->minHeight);
    }
}

void DGSetDialogFrameSize(std::int16_t panel, std::int32_t width, std::int32_t height, std::int16_t anchor) {
    DGSetDialogClientSize(panel, width - kFrameExtraWidth, height - kFrameExtraHeight, anchor, 0);
}

void DGGetDialogClientMinSize(std::int16_t panel, std::int32_t& width, std::int32_t& height) {
    const Panel* p = findPanel(panel);
    width = p ? p->minWidth : 0;
    height = p ? p->minHeight : 0;
}

void DGGetDialogFrameMinSize(std::int16_t panel, std::int32_t& width, std::int32_t& height) {
    DGGetDialogClientMinSize(panel, width, height);
    if (findPanel(panel)) {
        width += kFrameExtraWidth;
        height += kFrameExtraHeight;
    }
}

void DGSetDialogClientMinSize(std::int16_t panel, std::int32_t width, std::int32_t height) {
    if (Panel* p = findPanel(panel)) {
        p->minWidth = std::max(width, 0);
        p->minHeight = std::max(height, 0);
    }
}

void DGSetDialogFrameMinSize(std::int16_t panel, std::int32_t width, std::int32_t height) {
    DGSetDialogClientMinSize(panel, width - kFrameExtraWidth, height - kFrameExtraHeight);
}

void DGGetMonitorRectFromRect(const std::int32_t[4], std::int32_t monitor[4]) {
    monitor[0] = 0;
    monitor[1] = 0;
    monitor[2] = 1920;
    monitor[3] = 1080;
}

void DGRedrawDialog(std::int16_t panel) { drawListsOf(panel); }

void DGSetFocus(std::int16_t panel, std::int16_t item) {
    if (Panel* p = findPanel(panel)) p->focus = item;
}

std::int16_t DGGetFocus(std::int16_t panel) {
    const Panel* p = findPanel(panel);
    return p ? p->focus : -1;
}

void DGSetDialogZPosition(std::int16_t panel, std::int16_t position) {
    if (Panel* p = findPanel(panel)) p->z = position;
}

void DGBeginMoveGrowItems(std::int16_t panel) {
    if (Panel* p = findPanel(panel)) ++p->moveGrowDepth;
}

void DGEndMoveGrowItems(std::int16_t panel) {
    Panel* p = findPanel(panel);
    if (!p || p->moveGrowDepth == 0 || --p->moveGrowDepth > 0) return;
    for (Item& item : p->items) {
        item.left += item.pendingMove[0];
        item.top += item.pendingMove[1];
        item.right += item.pendingMove[0] + item.pendingMove[2];
        item.bottom += item.pendingMove[1] + item.pendingMove[3];
        std::fill(std::begin(item.pendingMove), std::end(item.pendingMove), 0);
    }
}

bool DGIsMoveGrowPending(std::int16_t panel) {
    const Panel* p = findPanel(panel);
    return p && p->moveGrowDepth > 0;
}

// --- Items ---------------------------------------------------------------------------------------------
DGItemType DGGetItemType(std::int16_t panel, std::int16_t item) {
    const Item* i = findItem(panel, item);
    return i ? i->type : kDGNoItem;
}

void DGAttachItemObserver(std::int16_t panel, std::int16_t item, ItemObserver* observer) {
    Item* i = findItem(panel, item);
    if (i && observer && std::find(i->observers.begin(), i->observers.end(), observer) == i->observers.end())
        i->observers.push_back(observer);
}

void DGDetachItemObserver(std::int16_t panel, std::int16_t item, ItemObserver* observer) {
    if (Item* i = findItem(panel, item)) std::erase(i->observers, observer);
}

bool DGIsItemEnabled(std::int16_t panel, std::int16_t item) {
    const Item* i = findItem(panel, item);
    return i && i->enabled;
}

bool DGIsItemVisible(std::int16_t panel, std::int16_t item) {
    const Panel* p = findPanel(panel);
    return findItem(panel, item) && isShown(*p, item);
}

void DGEnableItem(std::int16_t panel, std::int16_t item) {
    if (Item* i = findItem(panel, item)) i->enabled = true;
}

void DGDisableItem(std::int16_t panel, std::int16_t item) {
    if (Item* i = findItem(panel, item)) i->enabled = false;
}

void DGShowItem(std::int16_t panel, std::int16_t item) {
    if (Item* i = findItem(panel, item)) i->visible = true;
}

void DGHideItem(std::int16_t panel, std::int16_t item) {
    if (Item* i = findItem(panel, item)) i->visible = false;
}

void DGRedrawItem(std::int16_t panel, std::int16_t item) { drawListInSight(panel, item); }

std::int16_t DGGetItemFont(std::int16_t panel, std::int16_t item) {
    const Item* i = findItem(panel, item);
    return i ? i->font : 0;
}

void DGSetItemFont(std::int16_t panel, std::int16_t item, std::int16_t font) {
    if (Item* i = findItem(panel, item)) i->font = font;
}

void DGGetItemRect(std::int16_t panel, std::int16_t item, std::int16_t& left, std::int16_t& top,
                   std::int16_t& right, std::int16_t& bottom) {
    const Item* i = findItem(panel, item);
    left = static_cast<std::int16_t>(i ? i->left : 0);
    top = static_cast<std::int16_t>(i ? i->top : 0);
    right = static_cast<std::int16_t>(i ? i->right : 0);
    bottom = static_cast<std::int16_t>(i ? i->bottom : 0);
}

void DGMoveGrowItem(std::int16_t panel, std::int16_t item, std::int32_t dx, std::int32_t dy, std::int32_t dw,
                    std::int32_t dh) {
    Item* i = findItem(panel, item);
    if (!i) return;
    if (findPanel(panel)->moveGrowDepth > 0) {
        i->pendingMove[0] += dx;
        i->pendingMove[1] += dy;
        i->pendingMove[2] += dw;
        i->pendingMove[3] += dh;
        return;
    }
    i->left += dx;
    i->top += dy;
    i->right += dx + dw;
    i->bottom += dy + dh;
}

void DGMoveItem(std::int16_t panel, std::int16_t item, std::int32_t dx, std::int32_t dy) {
    DGMoveGrowItem(panel, item, dx, dy, 0, 0);
}

void DGGrowItem(std::int16_t panel, std::int16_t item, std::int32_t dw, std::int32_t dh) {
    DGMoveGrowItem(panel, item, 0, 0, dw, dh);
}

std::string DGGetItemText(std::int16_t panel, std::int16_t item) {
    const Item* i = findItem(panel, item);
    return i ? i->text : std::string();
}

void DGSetItemText(std::int16_t panel, std::int16_t item, std::string_view text) {
    if (Item* i = findItem(panel, item))
        i->text = i->type == kDGEditText ? cutToLength(text, i->maxLength) : std::string(text);
}

std::int32_t DGGetItemMaxLength(std::int16_t panel, std::int16_t item) {
    const Item* i = findItem(panel, item);
    return i ? i->maxLength : 0;
}

DGImage DGGetItemImage(std::int16_t panel, std::int16_t item) {
    const Item* i = findItem(panel, item);
    return i ? i->image : DGImage{};
}

void DGSetItemImage(std::int16_t panel, std::int16_t item, const DGImage& image) {
    if (Item* i = findItem(panel, item)) i->image = image;
}

void DGSetItemTextColor(std::int16_t panel, std::int16_t item, std::uint16_t red, std::uint16_t green,
                        std::uint16_t blue) {
    if (Item* i = findItem(panel, item)) {
        i->colors[0] = red;
        i->colors[1] = green;
        i->colors[2] = blue;
    }
}

void DGSetItemBackgroundColor(std::int16_t panel, std::int16_t item, std::uint16_t red, std::uint16_t green,
                              std::uint16_t blue) {
    if (Item* i = findItem(panel, item)) {
        i->colors[3] = red;
        i->colors[4] = green;
        i->colors[5] = blue;
    }
}

std::vector<std::uint16_t> DGGetItemColors(std::int16_t panel, std::int16_t item) {
    const Item* i = findItem(panel, item);
    return i ? std::vector<std::uint16_t>(std::begin(i->colors), std::end(i->colors))
             : std::vector<std::uint16_t>{};
}

// --- Popups --------------------------------------------------------------------------------------------
std::int16_t DGPopUpGetItemCount(std::int16_t panel, std::int16_t item) {
    const Item* i = findPopup(panel, item);
    return i ? static_cast<std::int16_t>(i->popup.size()) : 0;
}

std::int16_t DGPopUpGetSelected(std::int16_t panel, std::int16_t item) {
    const Item* i = findPopup(panel, item);
    return i ? i->popupSelected : 0;
}

void DGPopUpSelectItem(std::int16_t panel, std::int16_t item, std::int16_t position) {
    Item* i = findPopup(panel, item);
    if (i && position >= 1 && static_cast<std::size_t>(position) <= i->popup.size())
        i->popupSelected = position;
}

namespace {

void insertPopupEntry(std::int16_t panel, std::int16_t item, std::int16_t position, bool separator) {
    Item* i = findPopup(panel, item);
    if (!i) return;
    std::size_t at = i->popup.size();
    if (position >= 1 && static_cast<std::size_t>(position) <= i->popup.size())
        at = static_cast<std::size_t>(position) - 1;
    PopupEntry entry;
    entry.separator = separator;
    i->popup.insert(i->popup.begin() + static_cast<std::ptrdiff_t>(at), entry);
    if (i->popupSelected > static_cast<std::int16_t>(at)) ++i->popupSelected;
    if (i->popupSelected == 0 && !separator) i->popupSelected = static_cast<std::int16_t>(at + 1);
}

}   // namespace

void DGPopUpInsertItem(std::int16_t panel, std::int16_t item, std::int16_t position) {
    insertPopupEntry(panel, item, position, false);
}

void DGPopUpInsertSeparator(std::int16_t panel, std::int16_t item, std::int16_t position) {
    insertPopupEntry(panel, item, position, true);
}

void DGPopUpDeleteItem(std::int16_t panel, std::int16_t item, std::int16_t position) {
    Item* i = findPopup(panel, item);
    if (!i || position < 1 || static_cast<std::size_t>(position) > i->popup.size()) return;
    i->popup.erase(i->popup.begin() + (position - 1));
    if (i->popupSelected == position)
        i->popupSelected = i->popup.empty()
                               ? 0
                               : std::min<std::int16_t>(position, static_cast<std::int16_t>(i->popup.size()));
    else if (i->popupSelected > position)
        --i->popupSelected;
}

bool DGPopUpIsSeparator(std::int16_t panel, std::int16_t item, std::int16_t position) {
    const PopupEntry* e = findPopupEntry(panel, item, position);
    return e && e->separator;
}

std::string DGPopUpGetItemText(std::int16_t panel, std::int16_t item, std::int16_t position) {
    const PopupEntry* e = findPopupEntry(panel, item, position);
    return e && !e->separator ? e->text : std::string();
}

void DGPopUpSetItemText(std::int16_t panel, std::int16_t item, std::int16_t position, std::string_view text) {
    if (PopupEntry* e = findPopupEntry(panel, item, position); e && !e->separator) e->text = text;
}

DGImage DGPopUpGetItemIcon(std::int16_t panel, std::int16_t item, std::int16_t position) {
    const PopupEntry* e = findPopupEntry(panel, item, position);
    return e ? e->icon : DGImage{};
}

void DGPopUpSetItemIcon(std::int16_t panel, std::int16_t item, std::int16_t position, const DGImage& icon) {
    if (PopupEntry* e = findPopupEntry(panel, item, position)) e->icon = icon;
}

std::int16_t DGPopUpGetItemStatus(std::int16_t panel, std::int16_t item, std::int16_t position) {
    const PopupEntry* e = findPopupEntry(panel, item, position);
    return e ? e->status : 0;
}

void DGPopUpSetItemStatus(std::int16_t panel, std::int16_t item, std::int16_t position, std::int16_t status) {
    if (PopupEntry* e = findPopupEntry(panel, item, position)) e->status = status;
}

std::int16_t DGPopUpGetItemStyle(std::int16_t panel, std::int16_t item, std::int16_t position) {
    const PopupEntry* e = findPopupEntry(panel, item, position);
    return e ? e->style : 0;
}

void DGPopUpSetItemStyle(std::int16_t panel, std::int16_t item, std::int16_t position, std::int16_t style) {
    if (PopupEntry* e = findPopupEntry(panel, item, position)) e->style = style;
}

std::int64_t DGPopUpGetItemUserData(std::int16_t panel, std::int16_t item, std::int16_t position) {
    const PopupEntry* e = findPopupEntry(panel, item, position);
    return e ? e->userData : 0;
}

void DGPopUpSetItemUserData(std::int16_t panel, std::int16_t item, std::int16_t position,
                            std::int64_t value) {
    if (PopupEntry* e = findPopupEntry(panel, item, position)) e->userData = value;
}

// --- Lists ---------------------------------------------------------------------------------------------
std::int16_t DGListGetItemCount(std::int16_t panel, std::int16_t item) {
    const Item* i = findList(panel, item);
    return i ? static_cast<std::int16_t>(i->rows.size()) : 0;
}

std::int16_t DGListGetSelected(std::int16_t panel, std::int16_t item, std::int16_t start) {
    const Item* i = findList(panel, item);
    if (!i || i->selectedRows == 0) return 0;
    for (std::size_t r = static_cast<std::size_t>(std::max<std::int16_t>(start, 1)); r <= i->rows.size(); ++r)
        if (i->rows[r - 1].isSelected()) return static_cast<std::int16_t>(r);
    return 0;
}

void DGListSelectItem(std::int16_t panel, std::int16_t item, std::int16_t row) {
    Item* i = findList(panel, item);
    if (!i) return;
    if (row == 0) {
        if (i->type == kDGMultiList) i->selectAllRows(true);
        return;
    }
    if (row < 1 || static_cast<std::size_t>(row) > i->rows.size()) return;
    if (i->type == kDGSingleList) i->selectAllRows(false);
    i->selectRow(static_cast<std::size_t>(row) - 1, true);
}

void DGListDeselectItem(std::int16_t panel, std::int16_t item, std::int16_t row) {
    Item* i = findList(panel, item);
    if (!i) return;
    if (row == 0)
        i->selectAllRows(false);
    else if (row >= 1 && static_cast<std::size_t>(row) <= i->rows.size())
        i->selectRow(static_cast<std::size_t>(row) - 1, false);
}

void DGListInsertItem(std::int16_t panel, std::int16_t item, std::int16_t row) {
    Item* i = findList(panel, item);
    if (!i) return;
    std::size_t at = i->rows.size();
    if (row >= 1 && static_cast<std::size_t>(row) <= i->rows.size()) at = static_cast<std::size_t>(row) - 1;
    i->rows.insert(i->rows.begin() + static_cast<std::ptrdiff_t>(at), ListRow{});
}

void DGListDeleteItem(std::int16_t panel, std::int16_t item, std::int16_t row) {
    Item* i = findList(panel, item);
    if (!i) return;
    if (row == 0) {
        i->rows.clear();
        i->selectedRows = 0;
    } else if (row >= 1 && static_cast<std::size_t>(row) <= i->rows.size()) {
        i->eraseRow(static_cast<std::size_t>(row) - 1);
    }
}

std::string DGListGetTabItemText(std::int16_t panel, std::int16_t item, std::int16_t row, std::int16_t tab) {
    const ListRow* r = findRow(panel, item, row);
    if (!r || tab < 1 || static_cast<std::size_t>(tab) > r->tabs.size()) return {};
    return r->tabs[static_cast<std::size_t>(tab) - 1];
}

void DGListSetTabItemText(std::int16_t panel, std::int16_t item, std::int16_t row, std::int16_t tab,
                          std::string_view text) {
    ListRow* r = findRow(panel, item, row);
    if (!r || tab < 1) return;
    if (r->tabs.size() < static_cast<std::size_t>(tab)) r->tabs.resize(static_cast<std::size_t>(tab));
    r->tabs[static_cast<std::size_t>(tab) - 1] = text;
}

DGImage DGListGetTabItemIcon(std::int16_t panel, std::int16_t item, std::int16_t row, std::int16_t tab) {
    const ListRow* r = findRow(panel, item, row);
    if (!r) return {};
    const auto found = r->icons.find(tab);
    return found == r->icons.end() ? DGImage{} : found->second;
}

void DGListSetTabItemIcon(std::int16_t panel, std::int16_t item, std::int16_t row, std::int16_t tab,
                          const DGImage& icon) {
    if (ListRow* r = findRow(panel, item, row); r && tab >= 1) r->icons[tab] = icon;
}

void DGListGetItemColor(std::int16_t panel, std::int16_t item, std::int16_t row, std::uint16_t& red,
                        std::uint16_t& green, std::uint16_t& blue) {
    const ListRow* r = findRow(panel, item, row);
    red = r ? r->color[0] : 0;
    green = r ? r->color[1] : 0;
    blue = r ? r->color[2] : 0;
}

void DGListSetItemColor(std::int16_t panel, std::int16_t item, std::int16_t row, std::uint16_t red,
                        std::uint16_t green, std::uint16_t blue) {
    if (ListRow* r = findRow(panel, item, row)) {
        r->color[0] = red;
        r->color[1] = green;
        r->color[2] = blue;
    }
}

void DGListGetItemBackgroundColor(std::int16_t panel, std::int16_t item, std::int16_t row, std::uint16_t& red,
                                  std::uint16_t& green, std::uint16_t& blue) {
    const ListRow* r = findRow(panel, item, row);
    red = r ? r->background[0] : 0;
    green = r ? r->background[1] : 0;
    blue = r ? r->background[2] : 0;
}

void DGListSetItemBackgroundColor(std::int16_t panel, std::int16_t item, std::int16_t row, std::uint16_t red,
                                  std::uint16_t green, std::uint16_t blue) {
    if (ListRow* r = findRow(panel, item, row)) {
        r->background[0] = red;
        r->background[1] = green;
        r->background[2] = blue;
    }
}

std::int16_t DGListGetItemStatus(std::int16_t panel, std::int16_t item, std::int16_t row) {
    const ListRow* r = findRow(panel, item, row);
    return r ? r->status : 0;
}

void DGListSetItemStatus(std::int16_t panel, std::int16_t item, std::int16_t row, std::int16_t status) {
    if (ListRow* r = findRow(panel, item, row)) r->status = status;
}

std::int64_t DGListGetItemUserData(std::int16_t panel, std::int16_t item, std::int16_t row) {
    const ListRow* r = findRow(panel, item, row);
    return r ? r->userData : 0;
}

void DGListSetItemUserData(std::int16_t panel, std::int16_t item, std::int16_t row, std::int64_t value) {
    if (ListRow* r = findRow(panel, item, row)) r->userData = value;
}

std::int16_t DGListGetItemStyle(std::int16_t panel, std::int16_t item, std::int16_t row) {
    const ListRow* r = findRow(panel, item, row);
    return r ? r->style : 0;
}

void DGListSetItemStyle(std::int16_t panel, std::int16_t item, std::int16_t row, std::int16_t style) {
    if (ListRow* r = findRow(panel, item, row)) r->style = style;
}

void DGListRedrawItem(std::int16_t panel, std::int16_t item, std::int16_t row) {
    drawOwnerCells(panel, item, row, 0);
}

void DGListRedrawTabItem(std::int16_t panel, std::int16_t item, std::int16_t row, std::int16_t tab) {
    if (tab >= 1) drawOwnerCells(panel, item, row, tab);
}

const PictureContext* DGListGetTabItemPicture(std::int16_t panel, std::int16_t item, std::int16_t row,
                                              std::int16_t tab) {
    const ListRow* r = findRow(panel, item, row);
    if (!r) return nullptr;
    const auto found = r->drawn.find(tab);
    return found == r->drawn.end() ? nullptr : found->second.get();
}

void DGListEnableDraw(std::int16_t panel, std::int16_t item) {
    if (Item* i = findList(panel, item); i && i->drawDisabled > 0) --i->drawDisabled;
}

void DGListDisableDraw(std::int16_t panel, std::int16_t item) {
    if (Item* i = findList(panel, item)) ++i->drawDisabled;
}

bool DGListIsDrawEnabled(std::int16_t panel, std::int16_t item) {
    const Item* i = findList(panel, item);
    return i && i->drawDisabled == 0;
}

std::int16_t DGListGetScrollPosition(std::int16_t panel, std::int16_t item) {
    const Item* i = findList(panel, item);
    return i ? i->scroll : 0;
}

void DGListSetScrollPosition(std::int16_t panel, std::int16_t item, std::int16_t position) {
    if (Item* i = findList(panel, item)) i->scroll = position;
}

std::int16_t DGListGetHScrollPosition(std::int16_t panel, std::int16_t item) {
    const Item* i = findList(panel, item);
    return i ? i->hscroll : 0;
}

void DGListSetHScrollPosition(std::int16_t panel, std::int16_t item, std::int16_t position) {
    if (Item* i = findList(panel, item)) i->hscroll = position;
}

std::int16_t DGListGetItemHeight(std::int16_t panel, std::int16_t item) {
    const Item* i = findList(panel, item);
    return i ? i->rowHeight : 0;
}

void DGListSetTabData(std::int16_t panel, std::int16_t item, std::int16_t count, const DGTabData* tabs) {
    Item* i = findList(panel, item);
    if (!i || count < 0 || (count > 0 && !tabs)) return;
    i->tabs.assign(tabs, tabs + count);
}

std::vector<DGTabData> DGListGetTabData(std::int16_t panel, std::int16_t item) {
    const Item* i = findList(panel, item);
    return i ? i->tabs : std::vector<DGTabData>{};
}

void DGListSetDialItemOnTabField(std::int16_t panel, std::int16_t item, std::int16_t tab,
                                 std::int16_t dialogItem) {
    Item* i = findList(panel, item);
    if (!i || tab < 1) return;
    if (dialogItem == 0)
        i->tabItems.erase(tab);
    else
        i->tabItems[tab] = dialogItem;
}

std::int16_t DGListGetDialItemOnTabField(std::int16_t panel, std::int16_t item, std::int16_t tab) {
    const Item* i = findList(panel, item);
    if (!i) return 0;
    const auto found = i->tabItems.find(tab);
    return found == i->tabItems.end() ? 0 : found->second;
}

void DGListSetTabFieldOwnerDrawFlag(std::int16_t panel, std::int16_t item, std::int16_t tab, bool ownerDraw) {
    Item* i = findList(panel, item);
    if (!i) return;
    if (ownerDraw)
        i->ownerDrawTabs.insert(tab);
    else
        i->ownerDrawTabs.erase(tab);
}

void DGListGetHeaderFlags(std::int16_t panel, std::int16_t item, bool& a, bool& b, bool& c) {
    const Item* i = findList(panel, item);
    a = i && i->headerFlags[0];
    b = i && i->headerFlags[1];
    c = i && i->headerFlags[2];
}

void DGListSetHeaderFlags(std::int16_t panel, std::int16_t item, bool a, bool b, bool c) {
    if (Item* i = findList(panel, item)) {
        i->headerFlags[0] = a;
        i->headerFlags[1] = b;
        i->headerFlags[2] = c;
    }
}

std::int16_t DGListGetHeaderHeight(std::int16_t panel, std::int16_t item) {
    const Item* i = findList(panel, item);
    return i && !i->header.empty() ? kHeaderHeight : 0;
}

std::int16_t DGListGetHeaderItemCount(std::int16_t panel, std::int16_t item) {
    const Item* i = findList(panel, item);
    return i ? static_cast<std::int16_t>(i->header.size()) : 0;
}

void DGListSetHeaderItemCount(std::int16_t panel, std::int16_t item, std::int16_t count) {
    if (Item* i = findList(panel, item); i && count >= 0) i->header.resize(static_cast<std::size_t>(count));
}

namespace {

HeaderEntry* findHeader(std::int16_t panel, std::int16_t item, std::int16_t header) {
    Item* i = findList(panel, item);
    if (!i || header < 1 || static_cast<std::size_t>(header) > i->header.size()) return nullptr;
    return &i->header[static_cast<std::size_t>(header) - 1];
}

}   // namespace

std::string DGListGetHeaderItemText(std::int16_t panel, std::int16_t item, std::int16_t header) {
    const HeaderEntry* h = findHeader(panel, item, header);
    return h ? h->text : std::string();
}

void DGListSetHeaderItemText(std::int16_t panel, std::int16_t item, std::int16_t header,
                             std::string_view text) {
    if (HeaderEntry* h = findHeader(panel, item, header)) h->text = text;
}

std::int16_t DGListGetHeaderItemSize(std::int16_t panel, std::int16_t item, std::int16_t header) {
    const HeaderEntry* h = findHeader(panel, item, header);
    return h ? h->size : 0;
}

bool DGListSetHeaderItemSize(std::int16_t panel, std::int16_t item, std::int16_t header, std::int16_t size) {
    HeaderEntry* h = findHeader(panel, item, header);
    if (!h) return false;
    h->size = std::max(size, h->minSize);
    return true;
}

void DGListSetHeaderItemMinSize(std::int16_t panel, std::int16_t item, std::int16_t header,
                                std::int16_t size) {
    if (HeaderEntry* h = findHeader(panel, item, header)) h->minSize = size;
}

std::int16_t DGListGetHeaderItemArrowType(std::int16_t panel, std::int16_t item, std::int16_t header) {
    const HeaderEntry* h = findHeader(panel, item, header);
    return h ? h->arrow : 0;
}

void DGListSetHeaderItemArrowType(std::int16_t panel, std::int16_t item, std::int16_t header,
                                  std::int16_t arrow) {
    if (HeaderEntry* h = findHeader(panel, item, header)) h->arrow = arrow;
}

void DGListSetHeaderItemFont(std::int16_t panel, std::int16_t item, std::int16_t header, std::int16_t font) {
    if (HeaderEntry* h = findHeader(panel, item, header)) h->font = font;
}

void DGListSetHeaderItemFlags(std::int16_t panel, std::int16_t item, std::int16_t header, std::int32_t flags,
                              bool on) {
    if (HeaderEntry* h = findHeader(panel, item, header))
        h->flags = on ? (h->flags | flags) : (h->flags & ~flags);
}

// --- Transcript and script stops ---------------------------------------------------------------------------
void setDialogTranscript(std::function<void(const std::string&)> writer) {
    library().transcript = std::move(writer);
}

void writeDialogTranscript(const std::string& line) { write(line); }

void stopScriptRun(const std::string& message) {
    if (library().stopMessage.empty()) {
        library().stopMessage = message;
        write("  ! script stopped: " + message);
    }
    stopAllModal();
}

std::string scriptStopMessage() { return library().stopMessage; }

bool scriptRunStopped() { return !library().stopMessage.empty(); }

bool stopOnUnplayedDialogActions() {
    // The command is over and the user turns to the open palettes the next actions name.
    for (std::optional<DialogAction> next = peekDialogAction(); next && !scriptRunStopped();
         next = peekDialogAction()) {
        const std::int16_t palette = openPaletteFor(*next);
        if (palette == 0) break;
        play(palette, *takeDialogAction());
        settle(palette);
    }
    const std::optional<DialogAction> next = peekDialogAction();
    if (!next) return false;
    const std::size_t count = pendingDialogActions();
    std::string message = std::to_string(count) +
                          (count == 1 ? " dialog action was" : " dialog actions were") +
                          " never played: the first, " + actionName(*next) + ", waits for ";
    message += next->dialogId ? "dialog " + std::to_string(*next->dialogId) + ", which never opened"
                              : "a dialog, and none was open";
    stopScriptRun(message);
    return true;
}

bool modalDialogRunning() {
    for (const auto& [id, panel] : library().panels)
        if (panel->running) return true;
    return false;
}

void resetDialogLibrary() {
    Library& lib = library();
    lib.panels.clear();
    lib.stopMessage.clear();
}

}   // namespace host
