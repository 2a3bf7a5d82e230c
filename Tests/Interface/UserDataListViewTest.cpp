// The list of a user-data dialog: which records it shows under the status popup and its other filters, in
// what order, which row it selects after a refill, and how deleted rows look.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <HostDialogLibrary.h>

#include "Interface/DialogFixture.h"
#include "Interface/HostFontStyle.h"
#include "Interface/ItemSubscriber.h"
#include "Styles/TestStyles.h"
#include "Styles/UserDataListView.h"
#include "Styles/UserDataStatusFilter.h"
#include "Styles/UserDataStatusMenu.h"

using tarnwick::ControlLink;
using tarnwick::DialogControl;
using tarnwick::Guid;
using View = tarnwick::UserDataListView<TestStyleDatabase>;
using StatusFilter = tarnwick::UserDataStatusFilter<TestStyleDatabase>;
using tarnwick::UserDataStatusMenu;

namespace {

// A style whose row shows its name.
class NamedStyle : public TestStyle {
public:
    NamedStyle() : TestStyle("wallStyle") {}
    tarnwick::String getListName() const override { return name; }
    std::shared_ptr<UserRecord> cloneRecord() const override { return std::make_shared<NamedStyle>(*this); }
};

constexpr std::uint16_t kPopupItem = 6;   // items of the probe's dialog 100
constexpr std::uint16_t kListItem = 9;

// Alpha and beta current, gamma deleted; their keys in `keys`.
TestStyleDatabase makeDatabase(std::vector<Guid>& keys) {
    TestStyleDatabase database;
    for (const char* name : {"beta", "Alpha", "gamma"}) {
        auto record = std::make_shared<NamedStyle>();
        record->name = name;
        record->deleted = std::string(name) == "gamma";
        keys.push_back(Guid::generate());
        database.insert({keys.back(), record});
    }
    return database;
}

std::vector<std::string> rows(const View& view) {
    std::vector<std::string> names;
    for (std::int16_t row = 0; row < view.getRowCount(); ++row)
        names.push_back(std::string(view.getCellText(row, 0).getView()));
    return names;
}

std::vector<int> selectedRows(const View& view) {
    std::vector<int> selected;
    for (std::int16_t row = 0; row < view.getRowCount(); ++row)
        if (view.isSelected(row)) selected.push_back(row);
    return selected;
}

}   // namespace

class UserDataListViewTest : public DialogFixture {};

TEST_F(UserDataListViewTest, ListsTheRecordsOfTheChosenStatusInNameOrder) {
    std::vector<Guid> keys;
    TestStyleDatabase database = makeDatabase(keys);
    TestDialog dialog(100);
    std::vector<std::vector<std::string>> listed;
    std::int16_t deletedStyle = 0, currentStyle = 0;
    std::int64_t secondUserData = 0;
    dialog.onInitialise = [&](TestDialog& d) {
        DialogControl::make<View>(ControlLink(kListItem, &d), 0, 1);
        DialogControl::make<UserDataStatusMenu>(ControlLink(kPopupItem, &d));
    };
    dialog.onOpened = [&](TestDialog& d) {
        auto& view = static_cast<View&>(*d.findControl(kListItem));
        auto& status = static_cast<UserDataStatusMenu&>(*d.findControl(kPopupItem));
        view.fill(database, Guid(), view.end());
        listed.push_back(rows(view));   // no filter: every record
        view.addFilter(std::make_shared<StatusFilter>(&status));
        for (std::uint16_t choice :
             {UserDataStatusMenu::kCurrent, UserDataStatusMenu::kDeleted, UserDataStatusMenu::kAll}) {
            status.fill(choice);
            view.fill(database, Guid(), view.end());
            listed.push_back(rows(view));
        }
        deletedStyle = host::DGListGetItemStyle(d.getPanel(), kListItem, 3);
        currentStyle = host::DGListGetItemStyle(d.getPanel(), kListItem, 1);
        secondUserData = view.getUserData(1);
        EXPECT_EQ(view.keyOfRow(view.begin(0)), keys[1]);
    };
    ASSERT_EQ(dialog.open(), tarnwick::kDialogAccepted);
    const std::vector<std::vector<std::string>> expected = {
        {"Alpha", "beta", "gamma"}, {"Alpha", "beta"}, {"gamma"}, {"Alpha", "beta", "gamma"}};
    EXPECT_EQ(listed, expected);
    // A deleted row has a style of its own: the text style code 2, as the host's list style.
    EXPECT_EQ(deletedStyle, tarnwick::hostStyleOf(2));
    EXPECT_EQ(currentStyle, tarnwick::hostStyleOf(0));
    EXPECT_EQ(secondUserData, 2);
}

TEST_F(UserDataListViewTest, RefillSelectsTheRequestedRowOrAFallback) {
    std::vector<Guid> keys;
    TestStyleDatabase database = makeDatabase(keys);
    const std::size_t records = database.size();
    TestDialog dialog(100);
    std::vector<std::vector<int>> selections;
    std::vector<std::string> results;
    dialog.onInitialise = [&](TestDialog& d) { DialogControl::make<View>(ControlLink(kListItem, &d), 0, 1); };
    dialog.onOpened = [&](TestDialog& d) {
        auto& view = static_cast<View&>(*d.findControl(kListItem));
        view.addFilter(std::make_shared<StatusFilter>(nullptr, UserDataStatusMenu::kCurrent));
        const auto fill = [&](const Guid& key, const View::iterator& at) {
            const auto result = view.fill(database, key, at);
            selections.push_back(selectedRows(view));
            results.push_back(
                result == view.end() ? "end" : std::string(view.getCellText(result->getRow(), 0).getView()));
        };
        fill(Guid(), view.end());             // nothing asked, nowhere: nothing selected
        fill(keys[0], view.end());            // beta's row
        fill(keys[2], view.end());            // gamma is filtered out: the last row
        fill(keys[2], view.begin(0));         // ... or the row the iterator stood on
        fill(Guid::generate(), view.end());   // a key without a record makes none
        view.setFilterBypass(true);
        fill(keys[2], view.end());   // shown all the same
        EXPECT_EQ(view.getCellText(view.findRow(Guid(), keys[0])->getRow(), 0), tarnwick::String("beta"));
        EXPECT_TRUE(view.findRow(Guid(), Guid()) == view.end());
    };
    ASSERT_EQ(dialog.open(), tarnwick::kDialogAccepted);
    const std::vector<std::vector<int>> expectedSelections = {{}, {1}, {1}, {0}, {1}, {2}};
    EXPECT_EQ(selections, expectedSelections);
    const std::vector<std::string> expectedResults = {"end", "beta", "end", "end", "end", "gamma"};
    EXPECT_EQ(results, expectedResults);
    EXPECT_EQ(database.size(), records);
}

TEST_F(UserDataListViewTest, StatusMenuShowsAndReadsTheUsersChoice) {
    script(R"([{"do": "selectPopup", "item": 6, "text": "Current"}, {"do": "click", "item": 1}])");
    TestDialog dialog(100);
    std::string shown;
    std::uint16_t picked = 99;
    dialog.onInitialise = [&](TestDialog& d) {
        auto& status = DialogControl::make<UserDataStatusMenu>(ControlLink(kPopupItem, &d));
        status.fill(UserDataStatusMenu::kDeleted);
        shown = std::string(status.getSelectedText().getView());
    };
    dialog.onClose = [&](TestDialog& d, const tarnwick::ActionEvent&) {
        picked = static_cast<UserDataStatusMenu&>(*d.findControl(kPopupItem)).status();
    };
    ASSERT_EQ(dialog.open(), tarnwick::kDialogAccepted);
    EXPECT_EQ(shown, "Deleted");
    EXPECT_EQ(picked, UserDataStatusMenu::kCurrent);
}
