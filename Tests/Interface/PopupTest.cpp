#include "DialogFixture.h"
#include "Environment/ItemEvent.h"
#include "Foundation/StringSetting.h"
#include "Foundation/TracedException.h"
#include "Interface/ItemSubscriber.h"
#include "Interface/MenuSetting.h"
#include "Interface/NameRequest.h"
#include "Interface/PopupMenu.h"

using namespace tarnwick;

namespace {

constexpr std::uint16_t kPopup = 6;

PopupMenu& makePopup(TestDialog& dialog, std::initializer_list<const char*> texts) {
    auto& popup = DialogControl::make<PopupMenu>(ControlLink(kPopup, &dialog));
    for (const char* text : texts) popup.appendItem(text);
    return popup;
}

std::vector<std::string> items(const PopupMenu& popup) {
    std::vector<std::string> texts;
    for (std::int16_t i = 0; i < popup.getRowCount(); ++i)
        texts.emplace_back(
            host::DGPopUpIsSeparator(popup.getDialogId(), kPopup, static_cast<std::int16_t>(i + 1))
                ? "---"
                : std::string(popup.getText(i).getView()));
    return texts;
}

}   // namespace

using PopupTest = DialogFixture;

TEST_F(PopupTest, FillsSelectsAndReportsItsItems) {
    TestDialog dialog(100);
    dialog.onOpened = [](TestDialog& d) {
        PopupMenu& popup = makePopup(d, {"Default", "A", "B", "A", "C"});
        EXPECT_EQ(popup.findItem("A"), 3);   // the last of equal texts
        EXPECT_EQ(popup.selectText("missing", 99), String("C"));
        EXPECT_EQ(popup.getSelected(), 4);
        popup.setCell(MenuSetting(9, "C"));   // out of range: the choice stays
        EXPECT_EQ(popup.getSelected(), 4);
        popup.setCell(StringSetting(String("A")));
        EXPECT_EQ(popup.getSelected(), 3);
        const std::unique_ptr<Setting> chosen = popup.getSetting();
        EXPECT_EQ(chosen->getKind(), SettingKind::int32);
        EXPECT_EQ(chosen->getInt32(), 3);
        EXPECT_EQ(chosen->getText(), String("A"));
        EXPECT_EQ(popup.getSelected(4), PopupMenu::kNone);   // below the minimum
        ASSERT_TRUE(popup.deleteItems(3, 10));
        EXPECT_EQ(items(popup), (std::vector<std::string>{"Default", "A", "B"}));
        popup.insertSeparator(1);
        EXPECT_EQ(items(popup), (std::vector<std::string>{"Default", "---", "A", "B"}));
        popup.setEnabled(false, 2);
        EXPECT_EQ(host::DGPopUpGetItemStatus(d.getPanelId(), kPopup, 3), 2);
        EXPECT_TRUE(host::DGIsItemEnabled(d.getPanelId(), kPopup));   // one item, not the popup
        popup.setEnabled(false);
        EXPECT_FALSE(host::DGIsItemEnabled(d.getPanelId(), kPopup));
        // A copy shares the host popup.
        const std::unique_ptr<DialogControl> copy = popup.clone();
        EXPECT_EQ(copy->getText(3), String("B"));
        std::vector<std::string> walked;
        for (auto it = popup.begin(0); it != popup.end(); ++it) walked.emplace_back(it->getText().getView());
        EXPECT_EQ(walked, (std::vector<std::string>{"Default", "", "A", "B"}));
        popup.select(true, 0);
        auto third = popup.begin(0);
        ++(++third);   // a node reports its own item, not the one chosen
        EXPECT_EQ(third->getSetting()->getText(), String("A"));
        EXPECT_EQ(third->getSetting()->getInt32(), 2);
        auto end = popup.end();
        try {
            --end;
            ADD_FAILURE() << "stepping the end must throw";
        } catch (const TracedException& e) {
            EXPECT_EQ(e.getPlace(), String("PopupMenu::iterator::isValid"));
        }
    };
    dialog.open();
}

TEST_F(PopupTest, AChoiceOpensANameRequestInsideTheDialog) {
    script(R"([{"do":"selectPopup","item":6,"text":"New..."},
               {"do":"setText","dialog":32600,"item":4,"text":"Kitchen"},{"do":"click","dialog":32600,"item":1},
               {"do":"click","item":1}])");
    TestDialog dialog(100);
    struct Adder : ItemSubscriber {
        PopupMenu* popup = nullptr;
        String made;
        bool handle(const ItemEvent&) override {
            if (popup->getSelectedText() != String("New...")) return false;
            NameRequest request(nullptr, "", "", "Configuration");
            made = request.request();
            popup->appendItem(made);
            popup->selectText(made, 0);
            return true;
        }
    } adder;
    String chosen;
    dialog.onInitialise = [&](TestDialog& d) {
        adder.popup = &makePopup(d, {"Default", "New..."});
        adder.popup->subscribe(adder);
    };
    dialog.onClose = [&](TestDialog& d, const ActionEvent&) {
        chosen = dynamic_cast<PopupMenu&>(*d.findControl(kPopup)).getSelectedText();
    };
    EXPECT_EQ(dialog.open(), kDialogAccepted);
    EXPECT_EQ(host::scriptStopMessage(), "");
    EXPECT_EQ(adder.made, String("Kitchen"));
    EXPECT_EQ(chosen, String("Kitchen"));
    EXPECT_TRUE(transcribed("Dialog 32600 \"New Name Entry\" opens (320 x 104)"));
}

TEST_F(PopupTest, TheNameRequestRefusesABadNameWithItsAlertAndTakesAGoodOne) {
    struct Unused : NameRequest::Filter {
        std::vector<std::string> asked;
        bool silent = false;
        bool accept(const String& name, String& message) override {
            asked.emplace_back(name.getView());
            if (silent) message = String();
            return name != String("Default");
        }
    };
    {
        script(R"([{"do":"setText","item":4,"text":"Default"},{"do":"click","item":1},
                   {"do":"setText","item":4,"text":"Garage"},{"do":"click","item":1}])");
        Unused filter;
        NameRequest request(&filter, "Rename", "Name of the configuration", "Old");
        EXPECT_EQ(request.request(), String("Garage"));
        EXPECT_FALSE(request.isCancelled());
        EXPECT_EQ(filter.asked, (std::vector<std::string>{"Default", "Garage"}));
        const auto alerts = host::recordedAlerts();
        ASSERT_EQ(alerts.size(), 1u);
        EXPECT_EQ(alerts[0].largeText, "Sorry, this name is unsuitable.");
        EXPECT_EQ(alerts[0].title, "Error");
        EXPECT_EQ(request.request(), String("Garage"));   // asked once
        EXPECT_TRUE(transcribed("  3 text \"Name of the configuration\""));
    }
    {
        script(
            R"([{"do":"setText","item":4,"text":"Default"},{"do":"click","item":1},{"do":"click","item":2}])");
        host::clearRecordedAlerts();
        Unused filter;
        filter.silent = true;
        NameRequest request(&filter, "", "", "Old");
        EXPECT_EQ(request.request(), String("Old"));   // cancelled: the name stays
        EXPECT_TRUE(request.isCancelled());
        EXPECT_EQ(filter.asked.size(), 1u);   // Cancel runs no filter
        EXPECT_TRUE(host::recordedAlerts().empty());
    }
}

TEST_F(PopupTest, AUserControlPopupShowsTheChoiceOnItsButtonAndFollowsTheUser) {
    constexpr std::int16_t kUserControl = 11;
    script(R"([{"do":"selectPopup","item":11,"text":"B"},{"do":"click","item":1}])");
    TestDialog dialog(100);
    struct Choice : ItemSubscriber {
        std::vector<std::string> seen;   // the button's text when a subscriber hears of the choice
        bool handle(const ItemEvent& event) override {
            seen.push_back(host::UCPopupGetButtonText(event.getLink().getDialogId(), kUserControl));
            return true;
        }
    } choice;
    std::vector<bool> checks;
    dialog.onInitialise = [&](TestDialog& d) {
        auto& popup = DialogControl::make<PopupMenu>(ControlLink(kUserControl, &d), 0, /*style=*/0);
        for (const char* text : {"A", "B", "C"}) popup.appendItem(text);
        popup.setImage(Image(5), 1);
        popup.select(true, 0);
        ASSERT_TRUE(popup.insertItems(65534, 1));   // appends, as 65535 does
        EXPECT_EQ(host::UCPopupGetItemText(d.getPanelId(), kUserControl, 1), "A");
        popup.setEnabled(false, 3);
        popup.subscribe(choice);
        EXPECT_FALSE(popup.isDGPopup());
        EXPECT_EQ(popup.getControlType(), kUCPopupMenuControl);
    };
    dialog.onOpened = [](TestDialog& d) {   // the control kind reached the host with the item
        EXPECT_EQ(host::UCPopupGetControlKind(d.getPanelId(), kUserControl), 0);
        EXPECT_EQ(host::UCPopupGetButtonText(d.getPanelId(), kUserControl), "A");
    };
    dialog.onClose = [&](TestDialog& d, const ActionEvent&) {
        auto& popup = dynamic_cast<PopupMenu&>(*d.findControl(kUserControl));
        EXPECT_EQ(popup.getSelected(), 1);
        EXPECT_EQ(popup.getSelectedText(), String("B"));
        for (std::int16_t p = 1; p <= 4; ++p)
            checks.push_back(host::UCPopupIsItemChecked(d.getPanelId(), kUserControl, p));
        EXPECT_EQ(host::UCPopupGetButtonIcon(d.getPanelId(), kUserControl).resourceId, 5);
        EXPECT_FALSE(host::UCPopupIsItemEnabled(d.getPanelId(), kUserControl, 4));
    };
    EXPECT_EQ(dialog.open(), kDialogAccepted);
    EXPECT_EQ(host::scriptStopMessage(), "");
    EXPECT_EQ(choice.seen, (std::vector<std::string>{"B"}));
    EXPECT_EQ(checks, (std::vector<bool>{false, true, false, false}));
}
