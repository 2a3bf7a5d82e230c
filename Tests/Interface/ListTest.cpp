#include <functional>
#include <set>
#include <stdexcept>

#include "DialogFixture.h"
#include "Environment/DropEvent.h"
#include "Environment/EventKeyList.h"
#include "Environment/ItemEvent.h"
#include "Environment/ItemMessage.h"
#include "Environment/ListCellUpdateEvent.h"
#include "Environment/ListHeaderClickEvent.h"
#include "Environment/ListHeaderDragEvent.h"
#include "Environment/ListHeaderResizeEvent.h"
#include "Environment/ResizeEvent.h"
#include "Environment/Subscriber.h"
#include "Foundation/Int32Setting.h"
#include "Foundation/LengthSetting.h"
#include "Foundation/RealSetting.h"
#include "Foundation/StringSetting.h"
#include "Foundation/TracedException.h"
#include "Interface/ActionSubscriber.h"
#include "Interface/Button.h"
#include "Interface/EditText.h"
#include "Interface/FieldProxy.h"
#include "Interface/Image.h"
#include "Interface/ItemSubscriber.h"
#include "Interface/ListClickRecord.h"
#include "Interface/ListControl.h"
#include "Interface/ListProxyList.h"
#include "Interface/MenuSetting.h"
#include "Interface/NativeContext.h"
#include "Interface/PopupMenu.h"
#include "Interface/ResizeSubscriber.h"
#include "Project/TextStyle.h"

using namespace tarnwick;

namespace {

constexpr std::uint16_t kList = 9;     // dialog 100's multiple-selection list
constexpr std::uint16_t kEditor = 7;   // an edit field laid onto the list's first column

ListControl& makeList(TestDialog& dialog, std::uint16_t rows) {
    auto& list = DialogControl::make<ListControl>(ControlLink(kList, &dialog), rows, 2);
    for (std::int16_t r = 0; r < static_cast<std::int16_t>(rows); ++r)
        list.setCellText(String("r" + std::to_string(r)), r, 0);
    return list;
}

std::vector<std::string> cells(const ListControl& list) {
    std::vector<std::string> texts;
    for (std::int16_t r = 0; r < list.getRowCount(); ++r)
        texts.emplace_back(list.getCellText(r, 0).getView());
    return texts;
}

// Opens dialog 100 with a list of `rows` rows ("r0", ...) whose first column an edit field of the kind
// edits (0: the default editor), and runs `body` on them.
void withEditedList(std::uint16_t rows, const std::function<void(ListControl&, EditText&)>& body,
                    std::uint32_t kind = 0) {
    TestDialog dialog(100);
    dialog.onOpened = [&](TestDialog& d) {
        auto& editor = DialogControl::make<EditText>(ControlLink(kEditor, &d));
        ListControl& list = makeList(d, rows);
        list.setFieldEditor(&editor, 0, kind);
        body(list, editor);
    };
    dialog.open();
}

std::vector<int> hostSelection(const ListControl& list) {
    std::vector<int> rows;
    for (std::int16_t r = host::DGListGetSelected(list.getDialogId(), kList, 1); r != 0;
         r = host::DGListGetSelected(list.getDialogId(), kList, static_cast<std::int16_t>(r + 1)))
        rows.push_back(r);
    return rows;
}

// Writes down the list events a list is offered, one line each.
class ListEvents : public Subscriber {
public:
    void subscribe(EventKeyList& keys) const override {
        for (std::uint32_t type :
             {ActionEvent::kType, ListHeaderClickEvent::kType, ListHeaderDragEvent::kType,
              ListHeaderResizeEvent::kType, ListCellUpdateEvent::kType})
            keys.append(InterfaceEvent::kSource, type);
    }
    bool receive(const Event& event) override {
        const auto& e = dynamic_cast<const InterfaceEvent&>(event);
        std::string line = std::to_string(e.getMethod());
        if (dynamic_cast<const ActionEvent*>(&event)) {
            const ListClickRecord click = ListClickRecord::unpack(e.getValue());
            line += " row " + std::to_string(click.hostRow) + " key " + std::to_string(click.modifier);
        } else if (const auto* cell = dynamic_cast<const ListCellUpdateEvent*>(&event)) {
            line += " cell " + std::to_string(cell->getRow()) + "," + std::to_string(cell->getColumn()) +
                    " " + std::to_string(cell->getWidth()) + "x" + std::to_string(cell->getHeight());
        } else {
            const ListHeaderRecord h = ListHeaderRecord::unpack(e.getValue());
            line += " " + std::to_string(h.phase) + ":" + std::to_string(h.firstItem) + ":" +
                    std::to_string(h.secondItem) + ":" + std::to_string(h.change);
        }
        lines.push_back(line);
        return true;
    }
    std::vector<std::string> lines;
};

// Writes down each drag-and-drop step ("phase:effect"); takes the phases in `takes`, answering with
// `effect` and, as a target, the row the drop goes before.
class Drops : public Subscriber {
public:
    Drops(std::set<int> takes, std::int16_t effect) : takes_(std::move(takes)), effect_(effect) {}
    void subscribe(EventKeyList& keys) const override {
        keys.append(InterfaceEvent::kSource, DropEvent::kType);
    }
    bool receive(const Event& event) override {
        const auto& drop = dynamic_cast<const DropEvent&>(event);
        DropRecord& record = drop.getRecord();
        steps.push_back(std::to_string(record.phase) + ":" + std::to_string(record.effect));
        if (record.phase == DropRecord::kDropped) insertedAt = record.insertPosition;
        if (!takes_.count(record.phase)) return false;
        if (record.phase != DropRecord::kDragEnded) record.effect = effect_;
        return true;
    }
    std::vector<std::string> steps;
    int insertedAt = 0;

private:
    std::set<int> takes_;
    std::int16_t effect_;
};

// Hears at the host how each drag enters a list: with the right-drag menu's flag or in the form without.
struct DragEntries : host::ItemObserver {
    void listDragEntered(std::int16_t, std::int16_t item, const host::DGListDropPlace&, std::int16_t&, bool&,
                         bool* rightDragMenu) override {
        entries.push_back(std::to_string(item) + (rightDragMenu ? " menu flag" : " no flag"));
    }
    std::vector<std::string> entries;
};

}   // namespace

using ListTest = DialogFixture;

TEST_F(ListTest, ClicksHeadersAndOwnerDrawnCellsReachTheListAsItsEvents) {
    script(R"([{"do":"clickRow","item":9,"row":2,"command":true,"shift":true},
               {"do":"clickHeader","item":9,"header":2},
               {"do":"resizeHeader","item":9,"header":1,"change":15},
               {"do":"dragHeader","item":9,"header":1,"to":2},
               {"do":"click","item":5}])");
    struct Redraw : ActionSubscriber {
        ListControl* list = nullptr;
        bool handle(const ActionEvent&) override {
            list->redraw(1, 1);   // owner-drawn: the host asks for the cell
            list->redraw(1, 0);   // not owner-drawn: nothing asked
            return true;
        }
    } redraw;
    ListEvents events;
    TestDialog dialog(100);
    std::int16_t widthAfter = 0;
    std::uint16_t columnAt50 = 0;
    dialog.onInitialise = [&](TestDialog& d) {
        ListControl& list = makeList(d, 3);
        list.setHeaderItemCount(2);
        list.setHeaderText(String("Name"), 0);
        list.setHeaderSize(60, 0);
        list.setOwnerDraw(true, 0);   // the list has no host item yet: this reaches nothing
        list.subscribe(events);
        redraw.list = &list;
        DialogControl::make<Button>(ControlLink(5, &d)).subscribe(redraw);
    };
    dialog.onOpened = [](TestDialog& d) {
        dynamic_cast<ListControl&>(*d.findControl(kList)).setOwnerDraw(true, 1);
    };
    dialog.onClose = [&](TestDialog& d, const ActionEvent&) {
        auto& list = dynamic_cast<ListControl&>(*d.findControl(kList));
        widthAfter = list.getHeaderSize(1);
        columnAt50 = list.columnAt(ScreenPoint(50, 0), /*inList=*/true);
    };
    EXPECT_EQ(dialog.open(), kDialogAccepted);
    EXPECT_EQ(host::scriptStopMessage(), "");
    // The columns of a new list have no width until its first redraw lays them out, which draws every
    // owner-drawn cell again at its width.
    EXPECT_EQ(events.lines,
              (std::vector<std::string>{"16 cell 0,1 0x20", "16 cell 1,1 0x20", "16 cell 2,1 0x20",
                                        "4 row 2 key 1", "23 0:2:2:0", "25 0:1:1:0", "25 1:1:1:15",
                                        "25 2:1:1:15", "24 0:1:2:0", "16 cell 0,1 179x20",
                                        "16 cell 1,1 179x20", "16 cell 2,1 179x20", "16 cell 1,1 179x20"}));
    EXPECT_EQ(columnAt50, 0);
    EXPECT_EQ(widthAfter, 75);   // resized by 15, then dragged to the second place
}

TEST_F(ListTest, DragsRowsThroughEveryPhaseAndAnswersTheHostWhatTheHandlersDecided) {
    // Rows of list 9 onto list 10, which takes them as a move; then back, where nobody takes the drop.
    Drops source({0, 1, 2}, host::kDGDragMove | host::kDGDragCopy), target({4, 5, 7}, host::kDGDragMove);
    script(R"([{"do":"dragRows","item":9,"rows":[1,2],"to":10,"row":1},
               {"do":"dragRows","item":10,"rows":[1],"to":9},
               {"do":"drop","item":10,"row":2},
               {"do":"click","item":1}])");
    DragEntries entries;
    TestDialog dialog(100);
    dialog.onInitialise = [&](TestDialog& d) {
        makeList(d, 3).subscribe(source);
        DialogControl::make<ListControl>(ControlLink(10, &d), 2, 1).subscribe(target);
        for (const std::int16_t list : {9, 10}) host::DGAttachItemObserver(d.getPanelId(), list, &entries);
    };
    EXPECT_EQ(dialog.open(), kDialogAccepted);
    // Dragged and dropped with the left button: the host has no menu to offer.
    EXPECT_EQ(entries.entries, (std::vector<std::string>{"10 no flag", "9 no flag", "10 no flag"}));
    EXPECT_EQ(host::scriptStopMessage(), "");
    // Source: may start, offers copy and move, ends with the move taken; then, as a target nobody
    // handles, answers no effect, so the drag leaves and ends with none.
    EXPECT_EQ(source.steps, (std::vector<std::string>{"0:0", "1:7", "2:2", "4:7", "6:7"}));
    EXPECT_EQ(target.steps,
              (std::vector<std::string>{"4:7", "5:3", "7:7", "0:0", "1:7", "2:0", "4:7", "5:7", "7:7"}));
    EXPECT_EQ(target.insertedAt, 2);
    EXPECT_TRUE(transcribed("    dropped before row 1 (move)"));
    EXPECT_TRUE(transcribed("    the list refused the drop"));
}

TEST_F(ListTest, InsertsAndDeletesRowsKeepingTheSelectionAndTheEditRow) {
    TestDialog dialog(100);
    dialog.onOpened = [](TestDialog& d) {
        ListControl& list = makeList(d, 5);
        EXPECT_EQ(host::DGListGetItemCount(d.getPanelId(), kList), 5);   // a list made with rows has them
        list.select(true, 1);
        list.select(true, 3);
        list.select(true, 4);
        // Rows 0 and 1 go: the selection stays on the rows left, shifted up by two.
        ASSERT_TRUE(list.deleteRows(0, 2));
        EXPECT_EQ(cells(list), (std::vector<std::string>{"r2", "r3", "r4"}));
        EXPECT_EQ(hostSelection(list), (std::vector<int>{2, 3}));
        // Past the end: the gap is inserted too, all at the end.
        ASSERT_TRUE(list.insertRows(5, 2));
        EXPECT_EQ(list.getRowCount(), 7);
        EXPECT_EQ(host::DGListGetItemCount(d.getPanelId(), kList), 7);
        EXPECT_EQ(list.getCellText(0, 0), String("r2"));
        // The limit counts what would really be inserted: refused, nothing changed.
        EXPECT_FALSE(list.insertRows(30000, 30000));
        EXPECT_FALSE(list.insertRows(static_cast<std::int16_t>(32767), 32767));
        EXPECT_FALSE(list.insertRows(static_cast<std::int16_t>(32767), 1));   // one asked, the gap too
        EXPECT_EQ(list.getRowCount(), 7);
        ListControl& other = DialogControl::make<ListControl>(ControlLink(10, &d), 40000, 1);
        EXPECT_EQ(other.getRowCount(), 0);
        // A full list refuses any count asked, even one that a negative start takes back to none.
        ASSERT_TRUE(other.appendRows(ListControl::kMaxRows));
        EXPECT_FALSE(other.insertRows(-3, 3));
        EXPECT_EQ(other.getRowCount(), ListControl::kMaxRows);
        // 65535 is the end, not a negative start.
        ASSERT_TRUE(list.insertRows(static_cast<std::int16_t>(65535), 1));
        EXPECT_EQ(list.getCellText(0, 0), String("r2"));
        EXPECT_EQ(list.getRowCount(), 8);
        // Deleting the edit row's run at the end of the list takes the editors to the row before it.
        list.deselectAll();
        list.select(true, 7);
        ASSERT_TRUE(list.deleteRows(6, 5));
        EXPECT_EQ(list.getRowCount(), 6);
        EXPECT_EQ(list.getEditRow(), 5);
        ASSERT_TRUE(list.deleteRows(0, 100));
        EXPECT_EQ(host::DGListGetItemCount(d.getPanelId(), kList), 0);
        EXPECT_EQ(list.getEditRow(), ListControl::kNone);
        EXPECT_TRUE(host::DGListIsDrawEnabled(d.getPanelId(), kList));
    };
    dialog.open();
}

TEST_F(ListTest, EditsCellsInPlaceAndKeepsTheEditorOnEveryRow) {
    script(R"([{"do":"selectRows","item":9,"rows":[1]},{"do":"setText","item":7,"text":"first"},
               {"do":"selectRows","item":9,"rows":[2]},{"do":"setText","item":7,"text":"second"},
               {"do":"selectRows","item":9,"rows":[1]},{"do":"setText","item":7,"text":"again"},
               {"do":"click","item":1}])");
    TestDialog dialog(100);
    std::vector<std::string> closing, laid;
    dialog.onInitialise = [](TestDialog& d) {
        auto& editor = DialogControl::make<EditText>(ControlLink(kEditor, &d));
        ListControl& list = makeList(d, 0);
        list.appendRows(3);
        EXPECT_TRUE(list.setFieldEditor(&editor, 0));
        EXPECT_FALSE(list.setFieldEditor(d.findControl(1), 5));   // no such column
    };
    dialog.onClose = [&](TestDialog& d, const ActionEvent&) {
        auto& list = dynamic_cast<ListControl&>(*d.findControl(kList));
        // Row 0 is still being edited: its value is the editor's, though the cell shows the old text.
        for (std::int16_t r = 0; r < 3; ++r) closing.emplace_back(list.getSetting(r, 0)->getText().getView());
        closing.emplace_back(list.getCellText(0, 0).getView());
        laid.push_back(std::to_string(host::DGListGetDialItemOnTabField(d.getPanelId(), kList, 1)));
        list.attachEditor(ListControl::kNone);   // leaving writes the value back
        closing.emplace_back(list.getCellText(0, 0).getView());
        laid.push_back(std::to_string(host::DGListGetDialItemOnTabField(d.getPanelId(), kList, 1)));
    };
    EXPECT_EQ(dialog.open(), kDialogAccepted);
    EXPECT_EQ(host::scriptStopMessage(), "");
    EXPECT_EQ(closing, (std::vector<std::string>{"again", "second", "", "first", "again"}));
    EXPECT_EQ(laid, (std::vector<std::string>{"7", "0"}));
}

TEST_F(ListTest, DeselectingTheEditedRowTakesTheEditorsToTheFirstRowStillSelected) {
    TestDialog dialog(100);
    std::vector<std::uint16_t> editRows;
    dialog.onOpened = [&](TestDialog& d) {
        auto& editor = DialogControl::make<EditText>(ControlLink(kEditor, &d));
        ListControl& list = makeList(d, 4);
        list.setFieldEditor(&editor, 0);
        list.select(true, 1);
        list.select(true, 3);
        editRows.push_back(list.getEditRow());
        list.select(false, 1);
        editRows.push_back(list.getEditRow());
        list.select(false, 3);
        editRows.push_back(list.getEditRow());
    };
    dialog.open();
    EXPECT_EQ(editRows, (std::vector<std::uint16_t>{1, 3, ListControl::kNone}));
}

TEST_F(ListTest, ParsingACellNeverLosesWhatTheUserTypes) {
    script(R"([{"do":"selectRows","item":9,"rows":[1]},{"do":"setText","item":7,"text":"typed"},
               {"do":"click","item":1}])");
    TestDialog dialog(100);
    String read, kept;
    dialog.onInitialise = [](TestDialog& d) {
        auto& editor = DialogControl::make<EditText>(ControlLink(kEditor, &d));
        ListControl& list = makeList(d, 0);
        list.appendRows(2);
        list.setCellText(String("other"), 1, 0);
        list.setFieldEditor(&editor, 0);
    };
    dialog.onClose = [&](TestDialog& d, const ActionEvent&) {
        auto& list = dynamic_cast<ListControl&>(*d.findControl(kList));
        read = list.getSetting(1, 0)->getText();   // parsed from the cell through the editor
        kept = dynamic_cast<EditText&>(*d.findControl(kEditor)).getText();
    };
    dialog.open();
    EXPECT_EQ(read, String("other"));
    EXPECT_EQ(kept, String("typed"));
}

TEST_F(ListTest, LaysItsColumnsOutByWeightAndWidth) {
    TestDialog dialog(100);
    std::vector<host::DGTabData> tabs;
    std::vector<int> hits;
    dialog.onOpened = [&](TestDialog& d) {
        auto& list = DialogControl::make<ListControl>(ControlLink(kList, &d), 0, 3);   // 380 wide
        list.setColumnProperties(ListControl::ColumnProperty(100, 0.0), 1);            // fixed
        list.setColumnProperties(ListControl::ColumnProperty(0, 3.0), 2);
        list.applyColumns();
        tabs = host::DGListGetTabData(d.getPanelId(), kList);
        hits = {list.columnAt(ScreenPoint(0, 0), true), list.columnAt(ScreenPoint(70, 0), true),
                list.columnAt(ScreenPoint(200, 0), true), list.columnAt(ScreenPoint(379, 0), true)};
        EXPECT_THROW(list.setColumnProperties(ListControl::ColumnProperty(), 3), TracedException);
    };
    dialog.open();
    // available 380 - 17 - 2 x 4 = 355; flexible 255 shared 1 : 3.
    ASSERT_EQ(tabs.size(), 3u);
    EXPECT_EQ(tabs[0].begin, 0);
    EXPECT_EQ(tabs[0].end, 63);
    EXPECT_EQ(tabs[1].begin, 67);
    EXPECT_EQ(tabs[1].end, 167);
    EXPECT_EQ(tabs[2].begin, 171);
    EXPECT_EQ(tabs[2].end, 171 + 191);
    EXPECT_EQ(hits, (std::vector<int>{0, 1, 2, 65535}));
}

TEST_F(ListTest, WalksEveryRowOrTheSelectedOnes) {
    TestDialog dialog(100);
    dialog.onOpened = [](TestDialog& d) {
        ListControl& list = makeList(d, 0);
        EXPECT_EQ(list.begin(2), list.end());
        list.appendRows(4);
        EXPECT_EQ(list.begin(2), list.end());   // nothing selected
        list.select(true, 1);
        list.select(true, 3);
        std::vector<int> selected, backwards, selectedBackwards;
        for (auto it = list.begin(2); it != list.end(); ++it) selected.push_back(it->getRow());
        for (auto it = list.rbegin(0); it != list.end(); --it) backwards.push_back(it->getRow());
        for (auto it = list.rbegin(2); it != list.end(); --it) selectedBackwards.push_back(it->getRow());
        EXPECT_EQ(selected, (std::vector<int>{1, 3}));
        EXPECT_EQ(backwards, (std::vector<int>{3, 2, 1, 0}));
        EXPECT_EQ(selectedBackwards, (std::vector<int>{3, 1}));
        EXPECT_EQ(list.begin(1).getMode(), 0);
        auto end = list.end();
        EXPECT_THROW(++end, TracedException);
        ListControl::const_iterator constant = list.begin(0);
        EXPECT_TRUE(constant < ListControl::const_iterator(list.rbegin(0)));
        TestDialog other(100);
        const ListControl elsewhere(ControlLink(kList, &other), 0, 1);
        EXPECT_TRUE(elsewhere.end() == ListControl::const_iterator(list.end()));   // two ends are equal
    };
    dialog.open();
}

TEST_F(ListTest, SubscribersTakeOnlyTheirEventsAndResizesApplyAtOnce) {
    struct Items : ItemSubscriber {
        int handled = 0;
        bool handle(const ItemEvent&) override { return ++handled, true; }
    } items;
    struct Resizes : ResizeSubscriber {
        bool handle(const ResizeEvent& event) override {
            if (event.getPhase() == ResizeEvent::kResized) throw std::runtime_error("no room");
            return true;
        }
    } resizes;
    EXPECT_FALSE(items.receive(ResizeEvent(ControlLink(), ResizeEvent::kBegin, 0, 0)));
    EXPECT_EQ(items.handled, 0);
    script(R"([{"do":"selectRows","item":9,"rows":[2]},{"do":"resize","width":450,"height":300}])");
    TestDialog dialog(100);
    bool pending = true;
    dialog.onInitialise = [&](TestDialog& d) {
        makeList(d, 0).appendRows(3);
        d.findControl(kList)->subscribe(items);
        d.subscribe(resizes);
    };
    dialog.onClose = [&](TestDialog& d, const ActionEvent&) {
        pending = host::DGIsMoveGrowPending(d.getPanelId());
    };
    dialog.open();
    EXPECT_EQ(items.handled, 1);
    EXPECT_FALSE(pending);   // the failed handler still ended the collected moves
}

TEST_F(ListTest, LeavingARowWritesBackOnlyAChangedValueOfAColumnThatStoresEdits) {
    TestDialog dialog(100);
    std::vector<std::string> seen;
    dialog.onOpened = [&](TestDialog& d) {
        auto& editor = DialogControl::make<EditText>(ControlLink(kEditor, &d));
        ListControl& list = makeList(d, 4);
        list.setFieldEditor(&editor, 0);
        const auto note = [&](const String& text) { seen.emplace_back(text.getView()); };
        const auto choose = [&](std::int16_t row) {   // the user's click on the row
            list.deselectAll();
            list.select(true, row);
        };
        // An unchanged value writes nothing back, not even the cell text.
        list.setCell(StringSetting(String("s0")), 0, 0);
        choose(0);
        host::DGListSetTabItemText(d.getPanelId(), kList, 1, 1, "behind");
        choose(1);
        note(list.getCellText(0, 0));
        // A column that stores no edits keeps the row as it was.
        list.setStoreEdits(false, 0);
        editor.setText("typed");
        choose(2);
        note(list.getCellText(1, 0));
        list.setStoreEdits(true, 0);
        // Clearing the edit row's cell reloads the editor without writing its old value back.
        editor.setText("old");
        list.clearCell(2, 0);
        note(editor.getText());
        note(list.getText(2, 0));
        // The value's text set on a row that is not edited. A text editor's column has no text of its
        // own: the cell's is read with getCellText.
        list.setCell(StringSetting(String("w")), 3, 0);
        list.setText(String("x"), 3, 0);
        note(list.getText(3, 0));
        note(list.getCellText(3, 0));
        // Set on the edit row, the text is also the editor's: leaving the row would write the old back.
        list.setText(String("y"), 2, 0);
        note(editor.getText());
        // A text editor's column has no image either; the cell's own icon is still there.
        list.setImage(Image(5), 2, 0);
        note(String(std::to_string(list.getImage(2, 0).getResourceId())));
        note(String(std::to_string(host::DGListGetTabItemIcon(d.getPanelId(), kList, 3, 1).resourceId)));
        // Deleting the edit row moves the editors to the row after it, which takes its place.
        list.deleteRows(2, 1);
        note(String(std::to_string(list.getEditRow())));
        note(editor.getText());
        // Resizing lays the editors again but keeps a column's own flag.
        list.setFieldEditorsShown(false, 0);
        list.setDimensions(5, 2);
        note(String(list.isFieldEditable(0) ? "editable" : "fixed"));
        // Hit testing counts the rows scrolled out of sight (rows are 20 high, with no header).
        list.setScrollPosition(2);
        note(String(std::to_string(list.rowAt(ScreenPoint(0, 5), /*inList=*/true))));
        // A text the row's value cannot take is refused: the cell would show what the row does not hold,
        // and be written back when the row is left.
        list.setCell(RealSetting(2.5), 4, 0);
        list.setText(String("abc"), 4, 0);
        note(list.getCellText(4, 0));
        choose(4);
        choose(0);
        note(list.getCellText(4, 0));
        list.setText(String("3.5"), 4, 0);
        note(list.getCellText(4, 0) + String(" ") + list.getSetting(4, 0)->getText());
        // With no row selected the editors stay on their row: a value set or cleared there is theirs
        // too, or leaving the row would write their old one back.
        list.deselectAll();
        list.setCell(StringSetting(String("kept")), 0, 0);
        choose(1);
        note(list.getCellText(0, 0));
        list.deselectAll();
        editor.setText("typed");
        list.clearCell(1, 0);
        choose(2);
        note(list.getCellText(1, 0));
    };
    dialog.open();
    EXPECT_EQ(seen, (std::vector<std::string>{"behind", "r1", "", "", "", "x", "y", "-1", "5", "2", "x",
                                              "fixed", "2", "2.5", "2.5", "3.5 3.5", "kept", ""}));
}

TEST_F(ListTest, ProxiesGrowToWhatIsAskedAndALengthIsEditedByTheRealEditor) {
    FieldProxy proxy;
    EXPECT_EQ(proxy.getSetting(300), nullptr);
    EXPECT_EQ(proxy.getRowCount(), 301u);
    ListControl::ProxyList columns(2, 3);
    columns.insertColumns(5, 2);   // past the end: the gap up to 5 and the two asked for
    EXPECT_EQ(columns.size(), 7u);
    TestDialog dialog(100);
    dialog.onOpened = [](TestDialog& d) {
        auto& text = DialogControl::make<EditText>(ControlLink(kEditor, &d));
        auto& real = DialogControl::make<EditText>(ControlLink(4, &d));
        ListControl& list = makeList(d, 2);
        list.setFieldEditor(&text, 0);
        list.setFieldEditor(&real, 0, static_cast<std::uint32_t>(SettingKind::real));
        list.setCell(LengthSetting(2.5), 1, 0);
        EXPECT_EQ(list.findEditor(0, 1), &real);   // no editor for lengths: the one for reals
        EXPECT_EQ(list.findEditor(0, 0), &text);
    };
    dialog.open();
}

namespace {

// Writes down each click on a list: the cell the list's own hit test finds there, the host row, the keys
// held, and the rows selected when it came.
struct Clicks : ActionSubscriber {
    ListControl* list = nullptr;
    std::vector<std::string> found;
    bool handle(const ActionEvent& event) override {
        const ListClickRecord click = ListClickRecord::unpack(event.getValue());
        std::string line = std::to_string(list->rowAt(list->getLastClick(), /*inList=*/true)) + "," +
                           std::to_string(list->columnAt(list->getLastClick(), /*inList=*/true)) + " row " +
                           std::to_string(click.hostRow) + " key " + std::to_string(click.modifier) +
                           (event.isDoubleClick() ? " double" : "") + " selected";
        for (const int row : hostSelection(*list)) line += " " + std::to_string(row);
        found.push_back(line);
        return true;
    }
};

// Opens a dialog with a list of rows (under a header when asked) and plays the script's clicks on it:
// what each click found.
std::vector<std::string> clicksOnAList(std::uint16_t rows, bool header) {
    Clicks clicks;
    TestDialog dialog(100);
    dialog.onInitialise = [&](TestDialog& d) {
        ListControl& list = makeList(d, rows);
        if (header) list.setHeaderItemCount(2);
        list.applyColumns();
        clicks.list = &list;
        list.subscribe(clicks);
    };
    EXPECT_EQ(dialog.open(), kDialogAccepted);
    EXPECT_EQ(host::scriptStopMessage(), "");
    return clicks.found;
}

}   // namespace

TEST_F(ListTest, AScriptedClickFindsTheCellBelowTheHeaderAfterScrollingAndSelectsAsItsKeysSay) {
    // Rows 20 high under a header, then scrolled by two: the list's own hit test finds each cell.
    script(R"([{"do":"clickRow","item":9,"row":3},{"do":"scroll","item":9,"row":3},
               {"do":"clickRow","item":9,"row":5,"column":2},
               {"do":"doubleClick","item":9,"row":6,"column":2,"command":true},
               {"do":"click","item":1}])");
    EXPECT_EQ(clicksOnAList(10, /*header=*/true),
              (std::vector<std::string>{"2,0 row 3 key 0 selected 3", "4,1 row 5 key 0 selected 5",
                                        "5,1 row 6 key 1 double selected 5 6"}));
    EXPECT_TRUE(transcribed("  > doubleClick item 9 row 6 column 2 command"));
    // A double click with keys held selects as a click with them does: command adds the row, shift the rows
    // from the first selected one; without keys a row already selected keeps the others.
    script(R"([{"do":"clickRow","item":9,"row":2},{"do":"doubleClick","item":9,"row":4,"command":true},
               {"do":"doubleClick","item":9,"row":6,"shift":true},{"do":"doubleClick","item":9,"row":3},
               {"do":"click","item":1}])");
    EXPECT_EQ(clicksOnAList(6, /*header=*/false),
              (std::vector<std::string>{"1,0 row 2 key 0 selected 2", "3,0 row 4 key 1 double selected 2 4",
                                        "5,0 row 6 key 4 double selected 2 3 4 5 6",
                                        "2,0 row 3 key 0 double selected 2 3 4 5 6"}));
    // A point in the header finds no row, scrolled or not: the rows scrolled out of sight are not there.
    TestDialog dialog(100);
    std::vector<std::uint16_t> found;
    dialog.onOpened = [&](TestDialog& d) {
        ListControl& list = makeList(d, 10);
        list.setHeaderItemCount(2);
        for (const std::int16_t scroll : {0, 3}) {
            list.setScrollPosition(scroll);
            for (const std::int16_t y : {0, 5, 25}) found.push_back(list.rowAt(ScreenPoint(0, y), true));
        }
    };
    dialog.open();
    EXPECT_EQ(found, (std::vector<std::uint16_t>{ListControl::kNone, ListControl::kNone, 0,
                                                 ListControl::kNone, ListControl::kNone, 3}));
}

TEST_F(ListTest, AClickBelowTheLastRowFindsNoRowAndLeavesTheSelection) {
    script(R"([{"do":"selectRows","item":9,"rows":[2]},{"do":"clickRow","item":9,"row":0,"column":2},
               {"do":"click","item":1}])");
    EXPECT_EQ(clicksOnAList(3, /*header=*/true),
              (std::vector<std::string>{"65535,1 row 0 key 0 selected 2"}));
    EXPECT_TRUE(transcribed("  > clickRow item 9 below the last row column 2"));
    // A full list shows no room below its rows, and a list has only its own columns.
    const std::pair<int, const char*> cases[] = {
        {7, R"([{"do":"clickRow","item":9,"row":0}])"},   // 7 rows of 20 under the header fill 150
        {3, R"([{"do":"doubleClick","item":9,"row":1,"column":3}])"}};
    std::vector<std::string> stops;
    for (const auto& [rows, actions] : cases) {
        script(actions);
        TestDialog full(100);
        full.onInitialise = [rows = rows](TestDialog& d) {
            ListControl& list = makeList(d, static_cast<std::uint16_t>(rows));
            list.setHeaderItemCount(2);
            list.applyColumns();
        };
        EXPECT_EQ(full.open(), kDialogCancelled);
        stops.push_back(host::scriptStopMessage());
    }
    EXPECT_EQ(stops,
              (std::vector<std::string>{
                  "clickRow item 9 below the last row in dialog 100 \"Controls\": the list shows no room "
                  "below its last row",
                  "doubleClick item 9 row 1 column 3 in dialog 100 \"Controls\": the list has no column 3 "
                  "(it has 2)"}));
}

TEST_F(ListTest, OwnerDrawnCellsAreDrawnByTheirHandlerWhenTheListShowsThem) {
    // The list shows 8 of its 20 rows. Those in sight are drawn, each into a fresh picture of the cell, when
    // it opens, when it is scrolled to its tenth row, twice when it is first redrawn whole (its columns are
    // laid out before the redraw) and when its dialog is.
    script(R"([{"do":"scroll","item":9,"row":10},{"do":"click","item":5},{"do":"click","item":5},
               {"do":"click","item":1}])");
    struct Painter : Subscriber {
        std::map<int, int> draws;   // row: times drawn
        std::set<std::string> sizes;
        void subscribe(EventKeyList& keys) const override {
            keys.append(InterfaceEvent::kSource, ListCellUpdateEvent::kType);
        }
        bool receive(const Event& event) override {
            const auto& cell = dynamic_cast<const ListCellUpdateEvent&>(event);
            ++draws[cell.getRow()];
            sizes.insert(std::to_string(cell.getWidth()) + "x" + std::to_string(cell.getHeight()));
            NativeContext context(cell.getDrawContext());
            context.frameRect({0, 0, cell.getWidth(), cell.getHeight()}, Colour(0.0, 0.0, 0.0, 1.0));
            context.fillRect({0, 0, cell.getRow() + 1, 1},
                             Colour(0.0, 1.0, 0.0, 1.0));   // as wide as the row
            return true;
        }
    } painter;
    struct Redraw : ActionSubscriber {   // the list first, then its whole dialog
        ListControl* list = nullptr;
        int clicks = 0;
        bool handle(const ActionEvent&) override {
            if (++clicks == 1)
                list->redraw(static_cast<std::int16_t>(ListControl::kNone));
            else
                list->getLink().getPanel()->redraw();
            return true;
        }
    } redraw;
    TestDialog dialog(100);
    std::int16_t width = 0;
    std::vector<std::string> pixels;
    dialog.onInitialise = [&](TestDialog& d) {
        ListControl& list = makeList(d, 20);
        list.applyColumns();
        list.subscribe(painter);
        width = static_cast<std::int16_t>(list.getColumnStyle(0).width);
        redraw.list = &list;
        DialogControl::make<Button>(ControlLink(5, &d)).subscribe(redraw);
    };
    dialog.onOpened = [](TestDialog& d) {
        dynamic_cast<ListControl&>(*d.findControl(kList)).setOwnerDraw(true, 0);
    };
    dialog.onClose = [&](TestDialog& d, const ActionEvent&) {
        for (const std::int16_t row : {1, 12, 18}) {
            const host::PictureContext* picture =
                host::DGListGetTabItemPicture(d.getPanelId(), kList, row, 1);
            if (!picture) {
                pixels.push_back("none");
                continue;
            }
            const std::int32_t w = host::pictureWidth(picture);
            std::int32_t green = 0;   // the run the handler filled along the top
            while (green < w && host::pixelAt(picture, green, 0) == host::Rgba{0, 255, 0, 255}) ++green;
            std::string line = std::to_string(w) + "x" + std::to_string(host::pictureHeight(picture)) +
                               " green " + std::to_string(green);
            if (host::pixelAt(picture, 0, 5) == host::Rgba{0, 0, 0, 255}) line += " framed";
            if (host::pixelAt(picture, 5, 5) == host::Rgba{255, 255, 255, 255}) line += " white inside";
            pixels.push_back(line);
        }
    };
    EXPECT_EQ(dialog.open(), kDialogAccepted);
    EXPECT_EQ(host::scriptStopMessage(), "");
    ASSERT_GT(width, 0);
    EXPECT_EQ(painter.sizes, (std::set<std::string>{std::to_string(width) + "x20"}));
    std::map<int, int> draws;   // once for the rows in sight on opening, four times for those scrolled to
    for (int row = 0; row < 8; ++row) draws[row] = 1;
    for (int row = 9; row < 17; ++row) draws[row] = 4;
    EXPECT_EQ(painter.draws, draws);
    const std::string size = std::to_string(width) + "x20";
    EXPECT_EQ(pixels, (std::vector<std::string>{size + " green 1 framed white inside",
                                                size + " green 12 framed white inside", "none"}));
}

TEST_F(ListTest, AListNarrowerThanItsFixedColumnsLeavesTheOthersNoWidthRatherThanAWrappedOne) {
    // A column of no width has no room for a click: the click would land in its neighbour.
    script(R"([{"do":"clickRow","item":10,"row":1,"column":2}])");
    TestDialog dialog(100);
    std::vector<std::string> widths;
    int gap = -1;
    dialog.onOpened = [&](TestDialog& d) {
        // List 10 is 170 wide: a fixed column of 200 leaves the weighted one nothing, even at 10 wide.
        auto& list =
            DialogControl::make<ListControl>(ControlLink(10, &d), 2, 2, ListControl::ColumnProperty(200));
        list.setColumnProperties(ListControl::ColumnProperty(), 1);
        for (const std::int16_t shrink : {0, -160}) {
            list.growBy(ScreenPoint(shrink, 0));
            list.applyColumns();
            std::string line;
            for (const host::DGTabData& tab : host::DGListGetTabData(d.getPanelId(), 10))
                line += std::to_string(tab.begin) + "-" + std::to_string(tab.end) + " ";
            widths.push_back(line);
        }
        EXPECT_EQ(list.getColumnStyle(1).width, 0);
        gap = list.getColumnGap();
    };
    EXPECT_EQ(dialog.open(), kDialogCancelled);
    const std::string second = std::to_string(200 + gap) + "-" + std::to_string(200 + gap) + " ";
    EXPECT_EQ(widths, (std::vector<std::string>{"0-200 " + second, "0-200 " + second}));
    EXPECT_EQ(host::scriptStopMessage(),
              "clickRow item 10 row 1 column 2 in dialog 100 \"Controls\": the "
              "list's column 2 is too narrow to click (it is 0 wide)");
}

TEST_F(ListTest, TextsOfCellsAndRowsAreTheEditorsAndAWholeListTakesItsFontAsOne) {
    TestDialog dialog(100);
    dialog.onOpened = [](TestDialog& d) {
        auto& popup = DialogControl::make<PopupMenu>(ControlLink(8, &d));
        std::int16_t icon = 23;
        for (const char* text : {"a", "b", "c"}) popup.appendItem(String(text), icon++);
        ListControl& list = makeList(d, 3);
        list.setFieldEditor(&popup, 0);
        // A popup column's text is the value the cell holds, not the popup's item of the row's number;
        // its image is the cell's own, not that of the popup's first item.
        list.setCell(MenuSetting(2, String("c")), 1, 0);
        EXPECT_EQ(list.getText(1, 0), String("c"));
        EXPECT_EQ(popup.getText(1), String("b"));
        list.setText(String("a"), 1, 0);   // the cell's, not the popup item's of the row's number
        EXPECT_EQ(popup.getText(1), String("b"));
        list.setImage(Image(6), 1, 0);
        EXPECT_EQ(list.getImage(1, 0).getResourceId(), 6);
        EXPECT_EQ(popup.getImage(0).getResourceId(), 23);
        EXPECT_THROW(list.getImage(1, 2), TracedException);   // no such column
        EXPECT_EQ(list.getText(1, 1), String());              // no editor: no text of its own
        EXPECT_EQ(list.getCellText(1, 1), String());
        // Nothing selected: no row at or after any.
        list.deselectAll();
        EXPECT_EQ(list.getSelected(0), ListControl::kNone);
        EXPECT_EQ(list.getSelected(2), ListControl::kNone);
        // Row 65535: the font of the whole list, no row's style.
        list.setFont(TextStyle(1, 8.0 * 0.3527777777778), static_cast<std::int16_t>(ListControl::kNone));
        EXPECT_EQ(host::DGGetItemFont(d.getPanelId(), kList), 8 | 16);
        for (std::int16_t row = 1; row <= 3; ++row)
            EXPECT_EQ(host::DGListGetItemStyle(d.getPanelId(), kList, row), 0);
        list.setFont(TextStyle(1, 3.0), 0);
        EXPECT_EQ(host::DGListGetItemStyle(d.getPanelId(), kList, 1), 16);
    };
    dialog.open();
}

TEST_F(ListTest, APopupColumnTakesOnlyItsItemsAsTextsAndKeepsEachWithItsChoiceThroughTheEditors) {
    TestDialog dialog(100);
    std::vector<std::string> seen;
    dialog.onOpened = [&](TestDialog& d) {
        auto& popup = DialogControl::make<PopupMenu>(ControlLink(8, &d));
        for (const char* text : {"a", "b", "c"}) popup.appendItem(String(text));
        ListControl& list = makeList(d, 3);
        list.setFieldEditor(&popup, 0);
        const auto note = [&](std::int16_t row) {   // the cell's text and the value the row gives
            seen.push_back(std::string(list.getCellText(row, 0).getView()) + " " +
                           std::string(list.getSetting(row, 0)->getText().getView()));
        };
        const auto choose = [&](std::int16_t row) {
            list.deselectAll();
            list.select(true, row);
        };
        list.setCell(MenuSetting(1, String("b")), 1, 0);
        list.setCell(MenuSetting(1, String("b")), 2, 0);
        choose(1);
        // A text the popup has no item for is refused, on the edit row and on any other: the popup
        // would keep its old choice and write it back over the text when the row is left.
        list.setText(String("z"), 1, 0);
        note(1);
        list.setText(String("z"), 2, 0);
        note(2);
        // An item's text takes the popup's choice with it, so the row keeps it when the editors come back.
        list.setText(String("c"), 1, 0);
        list.setText(String("a"), 2, 0);
        choose(2);
        note(1);
        note(2);
        choose(1);
        note(1);
        note(2);
        // So is a value whose text is not an item.
        list.setCell(StringSetting(String("z")), 1, 0);
        note(1);
        list.setCell(StringSetting(String("z")), 2, 0);
        note(2);
        // A cleared row stays empty when left: the popup's choice is another row's until one is chosen.
        choose(2);
        list.clearCell(2, 0);
        note(2);
        choose(0);
        note(2);
        // A cell text that is not an item is the row's value; the popup's choice is another row's, and is
        // neither stored for it nor written over it.
        note(0);
        choose(1);
        note(0);
        EXPECT_EQ(list.getProxy(0)->getSetting(0), nullptr);
        EXPECT_EQ(list.getProxy(0)->getSetting(2), nullptr);
        // An item chosen there is the row's.
        choose(2);
        popup.select(true, 1);
        choose(0);
        note(2);
    };
    dialog.open();
    EXPECT_EQ(seen, (std::vector<std::string>{"b b", "b b", "c c", "a a", "c c", "a a", "c c", "a a", " ",
                                              " ", "r0 r0", "r0 r0", "b b"}));
}

TEST_F(ListTest, ADeniedFeedbackStillDropsAndARightDragOffersTheMenuUnlessTurnedOff) {
    // List 9 drags as copy or move and asks for the right-drag menu; list 10 takes both, denies the
    // feedback of drops before its first row and turns the menu off for drops at its end.
    struct Handler : Subscriber {
        std::vector<std::string> steps;
        void subscribe(EventKeyList& keys) const override {
            keys.append(InterfaceEvent::kSource, DropEvent::kType);
        }
        bool receive(const Event& event) override {
            const auto& drop = dynamic_cast<const DropEvent&>(event);
            DropRecord& record = drop.getRecord();
            steps.push_back(std::to_string(record.phase) + ":" + std::to_string(record.effect) +
                            (record.rightDragMenu ? " menu" : ""));
            if (record.phase == DropRecord::kDragStarted) record.rightDragMenu = 1;
            if (record.phase == DropRecord::kDragEntered && record.insertPosition == 3)
                record.rightDragMenu = 0;
            if (record.phase == DropRecord::kDragMoved && record.insertPosition == 1)
                sendItemMessage(drop, std::make_shared<ItemMessage>(1));   // deny the feedback
            if (record.phase != DropRecord::kDragEnded && record.phase != DropRecord::kDragStarting)
                record.effect = host::kDGDragCopy | host::kDGDragMove;
            return true;
        }
    } source, target;
    // The first drop, with the left button, enters through the host's form without the menu's flag.
    script(R"([{"do":"drop","item":10,"row":1},
               {"do":"dragRows","item":9,"rows":[1],"to":10,"row":2,"rightButton":true,"choose":"copy"},
               {"do":"drop","item":10,"rightButton":true},
               {"do":"drop","item":10,"row":2,"rightButton":true,"choose":"link"}])");
    DragEntries entries;
    TestDialog dialog(100);
    dialog.onInitialise = [&](TestDialog& d) {
        makeList(d, 3).subscribe(source);
        DialogControl::make<ListControl>(ControlLink(10, &d), 2, 1).subscribe(target);
        host::DGAttachItemObserver(d.getPanelId(), 10, &entries);
    };
    EXPECT_EQ(dialog.open(), kDialogCancelled);
    EXPECT_EQ(entries.entries,
              (std::vector<std::string>{"10 no flag", "10 menu flag", "10 menu flag", "10 menu flag"}));
    EXPECT_EQ(source.steps, (std::vector<std::string>{"0:0", "1:7", "2:1"}));   // ended as the copy chosen
    EXPECT_EQ(target.steps, (std::vector<std::string>{"4:7", "5:7", "7:7", "4:7 menu", "5:3", "7:7",
                                                      "4:7 menu", "5:7", "7:7", "4:7 menu", "5:7", "6:7"}));
    std::vector<std::string> said;
    for (const std::string& line : transcript_)
        if (line.rfind("    ", 0) == 0 && line[4] != ' ') said.push_back(line);   // not the rows shown
    EXPECT_EQ(said, (std::vector<std::string>{
                        "    the list shows no place for the drop", "    dropped before row 1 (copy+move)",
                        "    the right-drag menu offers copy+move", "    dropped before row 2 (copy)",
                        "    dropped before row 3 (copy+move)", "    the right-drag menu offers copy+move"}));
    EXPECT_EQ(
        host::scriptStopMessage(),
        "drop on item 10 before row 2 with the right button choosing link: the right-drag menu offers only "
        "copy+move");
}

TEST_F(ListTest, RowsDraggedOntoTheDialogDropThereWithTheEffectsTheListAllows) {
    Drops source({0, 1, 2}, host::kDGDragMove | host::kDGDragCopy), panel({4, 5, 7}, host::kDGDragMove);
    script(R"([{"do":"dragRows","item":9,"rows":[2],"x":30,"y":40},{"do":"click","item":1}])");
    TestDialog dialog(100);
    dialog.onInitialise = [&](TestDialog& d) {
        d.enableDragAndDrop();
        makeList(d, 3).subscribe(source);
        d.subscribe(panel);
    };
    EXPECT_EQ(dialog.open(), kDialogAccepted);
    EXPECT_EQ(host::scriptStopMessage(), "");
    EXPECT_EQ(source.steps, (std::vector<std::string>{"0:0", "1:7", "2:2"}));
    EXPECT_EQ(panel.steps, (std::vector<std::string>{"4:7", "5:7", "7:7"}));
    EXPECT_TRUE(transcribed("    dropped (move)"));
}

TEST_F(ListTest, LeavingTheEditRowWritesWhatIsTypedIntoItsRowWhereverRowsAroundItWent) {
    withEditedList(6, [](ListControl& list, EditText& editor) {   // rows deleted before the edit row
        list.select(true, 4);
        editor.setText("typed");
        ASSERT_TRUE(list.deleteRows(1, 2));   // row 4 is row 2 now
        EXPECT_EQ(list.getEditRow(), 2);
        EXPECT_EQ(hostSelection(list), (std::vector<int>{3}));
        EXPECT_EQ(editor.getText(), String("typed"));
        list.deselectAll();
        list.select(true, 0);   // leaving the row writes what was typed into it, and nowhere else
        EXPECT_EQ(cells(list), (std::vector<std::string>{"r0", "r3", "typed", "r5"}));
    });
    withEditedList(5, [](ListControl& list, EditText& editor) {   // the edit row itself deleted
        list.select(true, 0);
        list.select(true, 3);
        ASSERT_TRUE(list.deleteRows(0, 1));   // row 3 is row 2 now, the only one selected
        EXPECT_EQ(list.getEditRow(), 2);
        EXPECT_EQ(editor.getText(), String("r3"));
        editor.setText("typed");
        list.deselectAll();
        list.select(true, 0);
        EXPECT_EQ(cells(list), (std::vector<std::string>{"r1", "r2", "typed", "r4"}));
    });
    withEditedList(3, [](ListControl& list, EditText& editor) {   // rows inserted at the edit row
        list.select(true, 1);
        editor.setText("typed");
        ASSERT_TRUE(list.insertRows(1, 2));
        EXPECT_EQ(list.getEditRow(), 3);
        list.deselectAll();
        list.select(true, 0);
        EXPECT_EQ(cells(list), (std::vector<std::string>{"r0", "", "", "typed", "r2"}));
    });
    withEditedList(3, [](ListControl& list, EditText& editor) {   // cells with text only, no value yet
        list.select(true, 1);
        EXPECT_EQ(editor.getText(), String("r1"));   // the editor shows the cell
        list.deselectAll();
        list.select(true, 2);   // nothing typed: nothing written over row 1
        EXPECT_EQ(cells(list), (std::vector<std::string>{"r0", "r1", "r2"}));
        editor.setText("new");
        list.deselectAll();
        list.select(true, 0);
        EXPECT_EQ(cells(list), (std::vector<std::string>{"r0", "r1", "new"}));
    });
}

TEST_F(ListTest, TheEditRowsValueIsItsEditorsFollowsItsColumnsWidthAndEmptiesWhenCleared) {
    withEditedList(
        2,
        [](ListControl& list, EditText& editor) {
            list.setCell(StringSetting(String("stored")), 1, 0);
            list.applyColumns();
            list.select(true, 1);
            editor.setText("typed");
            EXPECT_EQ(list.getSetting(1, 0)->getText(), String("typed"));
            EXPECT_EQ(list.getCellText(1, 0), String("stored"));
            const std::uint16_t before = list.getColumnStyle(0).width;
            list.growBy(ScreenPoint(60, 0));
            ASSERT_GT(list.getColumnStyle(0).width, before);
            EXPECT_EQ(editor.getWidth(), list.getColumnStyle(0).width);
        },
        static_cast<std::uint32_t>(SettingKind::string));   // not the column's default editor
    withEditedList(3, [](ListControl& list, EditText& editor) {
        list.setCell(StringSetting(String("v1")), 1, 0);
        list.select(true, 1);
        list.hideEditors();   // as when the dialog opens: the row is selected, the editors are on none
        list.clearCell(1, 0);
        EXPECT_EQ(list.getCellText(1, 0), String());
        const Setting* stored = list.getProxy(0)->getSetting(1);
        EXPECT_EQ(stored ? stored->getText() : String(), String());
        EXPECT_EQ(list.getSetting(1, 0)->getText(), String());
        list.select(true, 0);
        list.select(false, 0);   // the editors come onto the cleared row
        ASSERT_EQ(list.getEditRow(), 1);
        EXPECT_EQ(editor.getText(), String());
        EXPECT_EQ(list.getSetting(1, 0)->getText(), String());
    });
}

TEST_F(ListTest, AnEditorWithoutAValueLeavesTheEditRowTheValueStoredForIt) {
    TestDialog dialog(100);
    dialog.onOpened = [](TestDialog& d) {
        auto& button = DialogControl::make<Button>(ControlLink(5, &d));
        ListControl& list = makeList(d, 2);
        list.setFieldEditor(&button, 0);
        list.setCell(Int32Setting(7), 1, 0);
        list.select(true, 1);
        ASSERT_EQ(list.getEditRow(), 1);
        const std::unique_ptr<Setting> value = list.getSetting(1, 0);
        ASSERT_TRUE(value);
        EXPECT_TRUE(value->isEqual(Int32Setting(7)));
        ASSERT_TRUE(list.getProxy(0)->getSetting(1));
        EXPECT_TRUE(list.getProxy(0)->getSetting(1)->isEqual(Int32Setting(7)));
    };
    dialog.open();
}
