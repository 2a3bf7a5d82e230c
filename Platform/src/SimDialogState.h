// The headless dialog library's own state, shared by the files of its areas (SimDialogs.cpp: dialogs,
// items, popups and lists; SimDialogScript.cpp: the user's actions played from the script;
// SimUserControls.cpp: user-control popups). Not part of the host's interface.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "HostDialogLibrary.h"
#include "HostDialogs.h"
#include "HostGraphics.h"
#include "ModuleResources.h"

namespace host::dialogs {

constexpr std::int32_t kFrameLeft = 8;   // the frame around the client area
constexpr std::int32_t kFrameTop = 30;
constexpr std::int32_t kFrameExtraWidth = 16;
constexpr std::int32_t kFrameExtraHeight = 38;
constexpr std::int16_t kDefaultRowHeight = 18;
constexpr std::int16_t kHeaderHeight = 20;

struct PopupEntry {
    std::string text;
    bool separator = false;
    bool checked = false;   // user-control popups
    std::int16_t status = 0;
    std::int16_t style = 0;
    std::int64_t userData = 0;
    DGImage icon;
};

struct ListRow {
    std::vector<std::string> tabs;
    // What the program drew into its owner-drawn cells, by tab field.
    std::map<std::int16_t, std::shared_ptr<PictureContext>> drawn;
    std::map<std::int16_t, DGImage> icons;
    std::uint16_t color[3] = {};
    std::uint16_t background[3] = {};
    std::int16_t status = 0;
    std::int16_t style = 0;
    std::int64_t userData = 0;
    bool isSelected() const { return selected_; }

private:
    friend struct Item;   // which counts the selected rows
    bool selected_ = false;
};

struct HeaderEntry {
    std::string text;
    std::int16_t size = 0;
    std::int16_t minSize = 0;
    std::int16_t arrow = 0;
    std::int16_t font = 0;
    std::int32_t flags = 0;
};

struct Item {
    DGItemType type = kDGButton;
    std::int32_t left = 0, top = 0, right = 0, bottom = 0;
    std::int32_t pendingMove[4] = {};   // collected while move-grow is begun: dx, dy, dw, dh
    std::string text;
    std::int32_t maxLength = 0;
    bool enabled = true;
    bool visible = true;
    std::int16_t font = 0;
    std::uint16_t colors[6] = {};
    DGImage image;
    std::vector<ItemObserver*> observers;
    // Popups.
    std::vector<PopupEntry> popup;   // also a user-control popup's
    std::int16_t popupSelected = 0;
    std::int32_t controlKind = -1;   // a user control made a popup: its kind
    std::string buttonText;
    DGImage buttonIcon;
    // Lists. The selected rows are counted: asking for the selection of a long list that has none then
    // does not walk its rows. Rows are selected only through selectRow and selectAllRows, so the count is
    // never below the rows that are.
    std::vector<ListRow> rows;
    std::size_t selectedRows = 0;
    void selectRow(std::size_t r, bool on) {
        if (rows[r].selected_ == on) return;
        rows[r].selected_ = on;
        on ? ++selectedRows : --selectedRows;
    }
    void selectAllRows(bool on) {
        for (ListRow& row : rows) row.selected_ = on;
        selectedRows = on ? rows.size() : 0;
    }
    void eraseRow(std::size_t r) {
        if (rows[r].selected_) --selectedRows;
        rows.erase(rows.begin() + static_cast<std::ptrdiff_t>(r));
    }
    std::int16_t rowHeight = kDefaultRowHeight;
    int drawDisabled = 0;
    std::int16_t scroll = 0, hscroll = 0;
    std::vector<DGTabData> tabs;
    std::map<std::int16_t, std::int16_t> tabItems;   // tab field -> dialog item laid on it
    std::set<std::int16_t> ownerDrawTabs;
    bool headerFlags[3] = {};
    std::vector<HeaderEntry> header;
};

struct Panel {
    std::int16_t id = 0;
    std::int32_t module = 0;
    std::int32_t resourceId = 0;
    bool modal = true;
    GuidRecord guid;
    std::string title;
    DialogGrow grow = DialogGrow::none;
    std::int32_t width = 0, height = 0, minWidth = 0, minHeight = 0;
    std::int32_t x = 200, y = 150;
    std::vector<Item> items;   // item n is items[n - 1]
    std::vector<PanelObserver*> observers;
    bool open = false;
    bool running = false;   // its modal loop runs
    std::optional<std::int32_t> closeRequest;
    bool abort = false;
    bool accepted = false;   // how the modal loop ended
    bool visible = false;
    bool dragAndDrop = false;
    std::int16_t focus = -1;
    std::int16_t z = 0;
    int moveGrowDepth = 0;
};

struct Library {
    std::map<std::int32_t, const ModuleResources*> modules;
    std::int32_t nextModule = 1;
    std::map<std::int16_t, std::unique_ptr<Panel>> panels;
    std::int16_t nextPanel = 1000;
    std::function<void(const std::string&)> transcript;
    std::string stopMessage;
};

Library& library();
Panel* findPanel(std::int16_t id);
Item* findItem(std::int16_t panel, std::int16_t item);
Item* findPopup(std::int16_t panel, std::int16_t item);
PopupEntry* findPopupEntry(std::int16_t panel, std::int16_t item, std::int16_t position);
Item* findUserPopup(std::int16_t panel, std::int16_t item);
PopupEntry* findUserPopupEntry(std::int16_t panel, std::int16_t item, std::int16_t position);
bool isPopupItem(const Item& item);   // a popup, or a user control made one
Item* findList(std::int16_t panel, std::int16_t item);
ListRow* findRow(std::int16_t panel, std::int16_t item, std::int16_t row);
void write(const std::string& line);   // a transcript line
std::string quoted(std::string_view text);
std::string cutToLength(std::string_view text, std::int32_t maxLength);   // characters; 0: no limit

// --- Observers: each call walks a copy and skips observers that left meanwhile ------------------------
template <typename Call>
void notifyPanel(std::int16_t id, Call&& call) {
    Panel* p = findPanel(id);
    if (!p) return;
    const std::vector<PanelObserver*> observers = p->observers;
    for (PanelObserver* observer : observers) {
        p = findPanel(id);
        if (!p || std::find(p->observers.begin(), p->observers.end(), observer) == p->observers.end())
            continue;
        call(*observer);
    }
}

template <typename Call>
void notifyItem(std::int16_t panel, std::int16_t item, Call&& call) {
    Item* i = findItem(panel, item);
    if (!i) return;
    const std::vector<ItemObserver*> observers = i->observers;
    for (ItemObserver* observer : observers) {
        i = findItem(panel, item);
        if (!i || std::find(i->observers.begin(), i->observers.end(), observer) == i->observers.end())
            continue;
        call(*observer);
    }
}

// What the transcript shows.
const char* typeName(DGItemType type);
bool isShown(const Panel& p, std::int16_t id);   // shown, or laid on a list's tab field
std::string dialogName(const Panel& p);

// Asks the program to draw the owner-drawn cells of the list's rows in sight (an open dialog, drawing
// enabled), or of one row (and one tab field; 0: all).
void drawOwnerCells(std::int16_t panel, std::int16_t item, std::int16_t row, std::int16_t onlyTab);
void drawListInSight(std::int16_t panel, std::int16_t item);
void drawListsOf(std::int16_t panel);         // every list of a dialog that has just opened
std::int16_t rowsInSight(const Item& list);   // how many rows the list shows at once (at least 1)

// The modal loop.
void closePanel(std::int16_t id, bool accepted);
// Handles what the last callback asked for: an abort or a close request. True when the dialog closed.
bool settle(std::int16_t id);
bool isFor(const DialogAction& action, const Panel& p);

// The script's actions (SimDialogScript.cpp).
std::string actionName(const DialogAction& action);
// Plays one action on the dialog; false after stopping the run because it cannot be played.
bool play(std::int16_t id, const DialogAction& action);

}   // namespace host::dialogs
