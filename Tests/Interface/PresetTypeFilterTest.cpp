#include "Styles/PresetTypeFilter.h"

#include <set>

#include "DialogFixture.h"
#include "Interface/PopupMenu.h"
#include "Styles/TestPresets.h"

using namespace tarnwick;

namespace {
constexpr std::uint16_t kPopup = 6;
}   // namespace

class PresetTypeFilterTest : public DialogFixture {
protected:
    void TearDown() override {
        PresetDatabase::clearTypes();
        DialogFixture::TearDown();
    }
};

TEST_F(PresetTypeFilterTest, ListsDisplayNamesSortedAndPassesTheChosenTypeOnly) {
    // Display names sort the other way round from the type names.
    PresetDatabase::registerType(std::make_unique<TestPreset>("aStyle"), "Zeta", "", 1);
    PresetDatabase::registerType(std::make_unique<TestPreset>("zStyle"), "Alpha", "", 1);
    TestDialog dialog(100);
    dialog.onOpened = [](TestDialog& d) {
        auto& popup = DialogControl::make<PopupMenu>(ControlLink(kPopup, &d));
        popup.appendItem("stale");
        const PresetTypeFilter filter(popup);
        ASSERT_EQ(popup.getRowCount(), 2);
        EXPECT_EQ(popup.getText(0), String("Alpha"));
        EXPECT_EQ(popup.getText(1), String("Zeta"));
        EXPECT_EQ(popup.getSelectedText(), String("Zeta"));   // the first type by type name
        EXPECT_EQ(PresetDatabase::getCurrentType(), String("aStyle"));
        EXPECT_TRUE(filter.passes(Guid(), *preset("A", "aStyle")));
        EXPECT_FALSE(filter.passes(Guid(), *preset("Z", "zStyle")));
        popup.selectText("Alpha", 0);
        EXPECT_TRUE(filter.passes(Guid(), *preset("Z", "zStyle")));

        const std::set<String> none{String("roofStyle")};   // nothing admitted is left
        const PresetTypeFilter empty(popup, &none);
        EXPECT_EQ(popup.getRowCount(), 0);
        EXPECT_FALSE(empty.passes(Guid(), *preset("A", "aStyle")));
    };
    dialog.open();
}
