#include <stdexcept>

#include "DialogFixture.h"
#include "Environment/ItemEvent.h"
#include "Environment/ResizeEvent.h"
#include "Foundation/Int32Setting.h"
#include "Foundation/StringSetting.h"
#include "Foundation/TracedException.h"
#include "Interface/EditText.h"
#include "Interface/FieldProxy.h"
#include "Interface/ItemSubscriber.h"
#include "Interface/ListControl.h"
#include "Interface/ResizeSubscriber.h"

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

std::vector<int> hostSelection(const ListControl& list) {
    std::vector<int> rows;
    for (std::int16_t r = host::DGListGetSelected(list.getDialogId(), kList, 1); r != 0;
         r = host::DGListGetSelected(list.getDialogId(), kList, static_cast<std::int16_t>(r + 1)))
        rows.push_back(r);
    return rows;
}

}   // namespace

using ListTest = DialogFixture;

TEST_F(ListTest, InsertsAndDeletesRowsKeepingTheSelectionAndTheEditRow) {
    TestDialog dialog(100);
    dialog.onOpened = [](TestDialog& d) {
        ListControl& list = makeList(d, 5);
        EXPECT_EQ(host::DGListGetItemCount(d.getPanelId(), kList),
                  0);   // rows go to the host through insertRows
        list.deleteRows(0, 5);
        ASSERT_TRUE(list.appendRows(5));
        for (std::int16_t r = 0; r < 5; ++r) list.setCellText(String("r" + std::to_string(r)), r, 0);
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
        EXPECT_EQ(list.getRowCount(), 7);
        // 65535 is the end, not a negative start.
        ASSERT_TRUE(list.insertRows(static_cast<std::int16_t>(65535), 1));
        EXPECT_EQ(list.getCellText(0, 0), String("r2"));
        EXPECT_EQ(list.getRowCount(), 8);
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
        std::vector<int> selected, backwards;
        for (auto it = list.begin(2); it != list.end(); ++it) selected.push_back(it->getRow());
        for (auto it = list.rbegin(0); it != list.end(); --it) backwards.push_back(it->getRow());
        EXPECT_EQ(selected, (std::vector<int>{1, 3}));
        EXPECT_EQ(backwards, (std::vector<int>{3, 2, 1, 0}));
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
