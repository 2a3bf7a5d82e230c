#include <algorithm>
#include <stdexcept>

#include "DialogFixture.h"
#include "Environment/DropEvent.h"
#include "Environment/EventKeyList.h"
#include "Environment/FocusEvent.h"
#include "Environment/ItemEvent.h"
#include "Environment/ItemMessage.h"
#include "Environment/KeyEvent.h"
#include "Environment/ResizeEvent.h"
#include "Environment/Subscriber.h"
#include "Foundation/StringSetting.h"
#include "Interface/Button.h"
#include "Interface/DialogEvent.h"
#include "Interface/EditText.h"
#include "Interface/ScreenPoint.h"
#include "Interface/StaticText.h"

using namespace tarnwick;

namespace {

// Takes events of one key; its function says whether it handled them.
class Catch : public Subscriber {
public:
    Catch(std::uint32_t type, std::function<bool(const Event&)> handle)
        : type_(type), handle_(std::move(handle)) {}
    void subscribe(EventKeyList& keys) const override { keys.append(InterfaceEvent::kSource, type_); }
    bool receive(const Event& event) override { return handle_(event); }

private:
    std::uint32_t type_;
    std::function<bool(const Event&)> handle_;
};

// The usual controls of dialog 100: the label (3), the name field (4) and the button "Other" (5).
void makeControls(TestDialog& dialog) {
    DialogControl::make<StaticText>(ControlLink(3, &dialog));
    DialogControl::make<EditText>(ControlLink(4, &dialog));
    DialogControl::make<Button>(ControlLink(5, &dialog));
}

String fieldText(TestDialog& dialog) { return dynamic_cast<EditText*>(dialog.findControl(4))->getText(); }

}   // namespace

using DialogTest = DialogFixture;

TEST_F(DialogTest, OpensFromItsResourceAndEndsAsTheUserClosesIt) {
    struct Case {
        const char* script;
        DialogResult result;
        const char* closeHook;
        const char* name;   // the field's text when the close hook ran
    };
    const Case cases[] = {
        {"[]", kDialogAccepted, "close", ""},   // nothing scripted: the default button
        {R"([{"do":"setText","item":4,"text":"Door 12"},{"do":"click","item":1}])", kDialogAccepted, "close",
         "Door 12"},
        {R"([{"do":"setText","item":4,"text":"Door 12"},{"do":"click","item":2}])", kDialogCancelled,
         "cancel", "Door 12"},
        {R"([{"do":"closeBox"}])", kDialogCancelled, "cancel", ""},
        {R"([{"do":"setText","item":4,"text":"A long name indeed"},{"do":"click","item":1}])",
         kDialogAccepted, "close", "A long nam"},   // cut to the field's 10 characters
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        script(c.script);
        TestDialog dialog(100);
        String name("?");
        dialog.onInitialise = makeControls;
        const auto readName = [&](TestDialog& d, const ActionEvent&) { name = fieldText(d); };
        dialog.onClose = readName;
        dialog.onCancel = readName;
        EXPECT_EQ(dialog.open(), c.result);
        EXPECT_EQ((std::vector<std::string>{"initialise", "opened", c.closeHook, "closed"}), dialog.hooks);
        EXPECT_EQ(name, String(c.name));
        EXPECT_FALSE(dialog.isOpen());
        EXPECT_EQ(dialog.getControlCount(), 0u);   // the controls go with the closed dialog
        EXPECT_EQ(host::scriptStopMessage(), "");
    }
}

TEST_F(DialogTest, ACloseThatTheDialogRefusesLeavesItOpenForAnotherTry) {
    script(R"([{"do":"setText","item":4,"text":"bad"},{"do":"click","item":1},
               {"do":"setText","item":4,"text":"good"},{"do":"click","item":1}])");
    TestDialog dialog(100);
    dialog.onInitialise = makeControls;
    std::vector<String> tried;
    dialog.onClose = [&](TestDialog& d, const ActionEvent& event) {
        tried.push_back(fieldText(d));
        if (fieldText(d) == String("bad")) sendItemMessage(event, std::make_shared<ItemMessage>(0));
    };
    EXPECT_EQ(dialog.open(), kDialogAccepted);
    EXPECT_EQ(tried, (std::vector<String>{String("bad"), String("good")}));
}

TEST_F(DialogTest, DispatchGoesToTheOwningControlFirstAndAlwaysUpdates) {
    script(R"([{"do":"click","item":5},{"do":"click","item":3},{"do":"doubleClick","item":3},
               {"do":"setText","item":4,"text":"x"},{"do":"resize","width":500,"height":320},{"do":"click","item":2}])");
    TestDialog dialog(100);
    std::vector<std::string> seen;
    Catch buttonTaker(ActionEvent::kType, [&](const Event&) { return seen.push_back("button 5"), true; });
    Catch opening(DialogEvent::kType, [&](const Event&) { return seen.push_back("control opened"), true; });
    Catch panelActions(ActionEvent::kType, [&](const Event& e) {
        const auto& action = dynamic_cast<const ActionEvent&>(e);
        seen.push_back("panel action " + std::to_string(action.getItemId()) + " method " +
                       std::to_string(action.getMethod()));
        return false;
    });
    Catch panelOpening(DialogEvent::kType,
                       [&](const Event&) { return seen.push_back("panel opened"), false; });
    Catch panelItems(ItemEvent::kType, [&](const Event&) { return seen.push_back("panel item"), false; });
    Catch panelResize(ResizeEvent::kType, [&](const Event& e) {
        const auto& resize = dynamic_cast<const ResizeEvent&>(e);
        seen.push_back("resize " + std::to_string(resize.getPhase()) + " " +
                       std::to_string(resize.getHorizontalChange()));
        return false;
    });
    dialog.onInitialise = [&](TestDialog& d) {
        makeControls(d);
        d.findControl(5)->subscribe(buttonTaker);
        d.findControl(5)->subscribe(opening);   // the opening event reaches every control
        d.findControl(3)->subscribe(opening);
        d.subscribe(panelActions);
        d.subscribe(panelOpening);
        d.subscribe(panelItems);
        d.subscribe(panelResize);
    };
    EXPECT_EQ(dialog.open(), kDialogCancelled);
    const std::vector<std::string> expected = {
        "control opened",
        "control opened",   // both controls, though the first handled it; not the panel
        "button 5",         // handled by the button's subscriber: the panel never sees it
        "panel action 3 method 0",
        "panel action 3 method 5",
        "panel item",
        "resize 0 0",
        "resize 1 100",
        "resize 2 0",
        "panel action 2 method 0"};
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(dialog.updates, 5);   // every action and item event, handled or not
}

TEST_F(DialogTest, AnExceptionInAHandlerIsReportedOnceAndTheDialogGoesOn) {
    script(
        R"([{"do":"click","item":5},{"do":"setText","item":4,"text":"still here"},{"do":"click","item":1}])");
    TestDialog dialog(100);
    Catch thrower(ActionEvent::kType, [](const Event&) -> bool { throw std::runtime_error("boom"); });
    dialog.onInitialise = [&](TestDialog& d) {
        makeControls(d);
        d.findControl(5)->subscribe(thrower);
    };
    String name;
    dialog.onClose = [&](TestDialog& d, const ActionEvent&) { name = fieldText(d); };
    EXPECT_EQ(dialog.open(), kDialogAccepted);
    EXPECT_EQ(name, String("still here"));
    EXPECT_TRUE(debugLineContains("unknown in InterfacePanel::broadcastEvent (fall-through to last catch)"));
}

TEST_F(DialogTest, AFailingCloseTurnsIntoCancelAndAFailingOpenEndsTheDialog) {
    {
        script(R"([{"do":"click","item":1}])");
        TestDialog dialog(100);
        dialog.onClose = [](TestDialog&, const ActionEvent&) { throw std::runtime_error("disk full"); };
        EXPECT_EQ(dialog.open(), kDialogCancelled);
        EXPECT_EQ((std::vector<std::string>{"initialise", "opened", "close", "cancel", "closed"}),
                  dialog.hooks);
    }
    {
        TestDialog dialog(100);
        dialog.onInitialise = [](TestDialog&) { throw std::runtime_error("no memory"); };
        EXPECT_EQ(dialog.open(), kDialogCancelled);
        EXPECT_EQ((std::vector<std::string>{"initialise", "cancel", "closed"}), dialog.hooks);
    }
    EXPECT_TRUE(debugLineContains("DialogObserver::PanelCloseRequested-A"));
    EXPECT_TRUE(debugLineContains("DialogObserver::PanelOpened"));
}

TEST_F(DialogTest, ADialogOpensInsideAnotherOneAndTheScriptFollows) {
    script(R"([{"do":"click","item":5},
               {"do":"setText","dialog":100,"item":4,"text":"inner"},{"do":"click","item":1},
               {"do":"setText","item":4,"text":"outer"},{"do":"click","item":1}])");
    TestDialog outer(100);
    String innerName, outerName;
    DialogResult innerResult = kDialogNoResult;
    Catch opener(ActionEvent::kType, [&](const Event&) {
        TestDialog inner(100);
        inner.onInitialise = makeControls;
        inner.onClose = [&](TestDialog& d, const ActionEvent&) { innerName = fieldText(d); };
        innerResult = inner.open();
        return true;
    });
    outer.onInitialise = [&](TestDialog& d) {
        makeControls(d);
        d.findControl(5)->subscribe(opener);
    };
    outer.onClose = [&](TestDialog& d, const ActionEvent&) { outerName = fieldText(d); };
    EXPECT_EQ(outer.open(), kDialogAccepted);
    EXPECT_EQ(innerResult, kDialogAccepted);
    EXPECT_EQ(innerName, String("inner"));
    EXPECT_EQ(outerName, String("outer"));
}

TEST_F(DialogTest, AnActionThatCannotBePlayedStopsTheRun) {
    struct Case {
        const char* script;
        const char* message;
    };
    const Case cases[] = {
        {R"([{"do":"click","item":42}])", "click item 42 in dialog 100 \"Controls\": there is no item 42"},
        {R"([{"do":"click","item":5}])", "click item 5 in dialog 100 \"Controls\": item 5 is disabled"},
        {R"([{"do":"setText","item":7,"text":"x"}])",
         "setText item 7 \"x\" in dialog 100 \"Controls\": item 7 is hidden"},
        {R"([{"do":"setText","item":3,"text":"x"}])",
         "setText item 3 \"x\" in dialog 100 \"Controls\": a text takes no typing"},
        {R"([{"do":"leaveField","item":3}])",
         "leaveField item 3 in dialog 100 \"Controls\": a text is not an edit field"},
        {R"([{"do":"leaveField","item":4}])",
         "leaveField item 4 in dialog 100 \"Controls\": item 4 does not have the focus"},
        {R"([{"do":"setText","item":4,"text":"x","commit":true},{"do":"leaveField","item":4}])",
         "leaveField item 4 in dialog 100 \"Controls\": item 4 does not have the focus"},
        {R"([{"do":"doubleClick","item":3,"row":2,"column":1,"command":true}])",
         "doubleClick item 3 row 2 column 1 command in dialog 100 \"Controls\": a text has no rows"},
        {R"([{"do":"selectRows","item":9,"rows":[3]}])",
         "selectRows item 9 rows [3] in dialog 100 \"Controls\": the list has no row 3 (it has 0)"},
        {R"([{"do":"click","dialog":555,"item":1}])",
         "1 dialog action was never played: the first, click item 1, waits for dialog 555, which never "
         "opened"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        script(c.script);
        TestDialog dialog(100);
        dialog.onInitialise = [](TestDialog& d) {
            makeControls(d);
            d.findControl(5)->setEnabled(false);
            DialogControl::make<EditText>(ControlLink(7, &d)).setVisible(false);
        };
        dialog.open();
        host::stopOnUnplayedDialogActions();
        EXPECT_EQ(host::scriptStopMessage(), c.message);
        // The dialog the action was for ends as cancelled; one the script never reached closes as usual.
        const bool closedAsOk =
            std::find(dialog.hooks.begin(), dialog.hooks.end(), "close") != dialog.hooks.end();
        EXPECT_EQ(closedAsOk, &c == &cases[std::size(cases) - 1]);
        // Once stopped, a later dialog cancels at once and an alert takes its way out.
        TestDialog later(100);
        EXPECT_EQ(later.open(), kDialogCancelled);
        EXPECT_EQ(host::alert(host::kAlertWarning, "t", "Go on?", "", "OK", "Cancel", ""), 2);
    }
}

TEST_F(DialogTest, TwoControlsOfOneItemGiveItOneHostObserverAndTheFirstTakesItsEvents) {
    script(R"([{"do":"click","item":5},{"do":"click","item":1}])");
    TestDialog dialog(100);
    int first = 0, second = 0;
    Catch one(ActionEvent::kType, [&](const Event&) { return ++first, true; });
    Catch two(ActionEvent::kType, [&](const Event&) { return ++second, true; });
    dialog.onInitialise = [&](TestDialog& d) {
        DialogControl::make<Button>(ControlLink(5, &d)).subscribe(one);
        DialogControl::make<Button>(ControlLink(5, &d)).subscribe(two);
    };
    EXPECT_EQ(dialog.open(), kDialogAccepted);
    EXPECT_EQ(first, 1);   // one click, heard once
    EXPECT_EQ(second, 0);
}

TEST_F(DialogTest, PanelsSharingAHostIdAreFoundByTheFirstMade) {
    TestDialog first(100), second(100);   // neither is open: both have host panel 0
    EXPECT_EQ(InterfacePanel::findPanel(0), &first);
    EXPECT_EQ(InterfacePanel::findBySerial(second.getSerial()), &second);
}

TEST_F(DialogTest, AResourceWithoutButtonsStillGetsOkAndCancelControls) {
    TestDialog dialog(101);
    bool buttons = false;
    dialog.onOpened = [&](TestDialog& d) {
        buttons = dynamic_cast<Button*>(d.findControl(1)) && dynamic_cast<Button*>(d.findControl(2));
    };
    // Nothing to press: Enter does nothing, and Escape leaves the dialog without accepting it.
    EXPECT_EQ(dialog.open(), kDialogCancelled);
    EXPECT_TRUE(buttons);
    EXPECT_TRUE(
        transcribed("  > the dialog has no default button (item 1): Escape cancels the dialog (the "
                    "script has nothing more for it)"));
}

TEST_F(DialogTest, TheTranscriptShowsTheDialogAsItOpensAndEachAction) {
    script(R"([{"do":"setText","item":4,"text":"Wall"},{"do":"click","item":1}])");
    TestDialog dialog(100);
    dialog.onInitialise = makeControls;
    dialog.onOpened = [](TestDialog& d) {
        d.setTitle("Edit Name");
        dynamic_cast<EditText*>(d.findControl(4))->setText("Door");
    };
    dialog.open();
    EXPECT_TRUE(transcribed("Dialog 100 \"Edit Name\" opens (400 x 300)"))
        << ::testing::PrintToString(transcript_);
    EXPECT_TRUE(transcribed("  4 edit \"Door\""));
    EXPECT_TRUE(transcribed("  > setText item 4 \"Wall\""));
    EXPECT_TRUE(transcribed("dialog 100 \"Edit Name\" closes (OK)"));
}

TEST_F(DialogTest, APaletteOpensShowsAgainAndClosesWithItsWindow) {
    TestDialog palette(102, /*modal=*/false);
    EXPECT_EQ(palette.open(), kDialogNoResult);
    EXPECT_TRUE(palette.isOpen());
    EXPECT_TRUE(palette.isVisible());
    palette.hide();
    EXPECT_FALSE(palette.isVisible());
    EXPECT_EQ(palette.open(), kDialogNoResult);   // already open: shown again
    EXPECT_TRUE(palette.isVisible());
    palette.closeWindow();
    EXPECT_FALSE(palette.isOpen());
    EXPECT_EQ((std::vector<std::string>{"initialise", "opened", "closed"}), palette.hooks);
    EXPECT_EQ(palette.open(), kDialogNoResult);   // and it opens again
    EXPECT_TRUE(palette.isOpen());
}

TEST_F(DialogTest, ASilentScriptPressesTheDefaultButtonThroughItsClickButNeverADisabledOne) {
    // OK enabled; OK disabled, so Escape clicks Cancel; both disabled, so Escape closes the window.
    for (const int disabled : {0, 1, 2}) {
        SCOPED_TRACE(disabled);
        script("[]");
        transcript_.clear();
        TestDialog dialog(100);
        std::vector<int> clicks;
        // Handled here, OK and Cancel still post their close requests.
        Catch okClick(ActionEvent::kType, [&](const Event&) { return clicks.push_back(1), true; });
        Catch cancelClick(ActionEvent::kType, [&](const Event&) { return clicks.push_back(2), true; });
        dialog.onOpened = [&](TestDialog& d) {
            d.findControl(1)->subscribe(okClick);
            d.findControl(2)->subscribe(cancelClick);
            d.findControl(1)->setEnabled(disabled < 1);
            d.findControl(2)->setEnabled(disabled < 2);
        };
        EXPECT_EQ(dialog.open(), disabled ? kDialogCancelled : kDialogAccepted);
        EXPECT_EQ(clicks, disabled == 0   ? std::vector<int>{1}
                          : disabled == 1 ? std::vector<int>{2}
                                          : std::vector<int>{});
        const std::string escape = disabled == 1
                                       ? "Escape clicks item 2 (the script has nothing more for this dialog)"
                                       : "Escape cancels the dialog (the script has nothing more for it)";
        EXPECT_TRUE(transcribed(disabled
                                    ? "  > the default button (item 1) is disabled: " + escape
                                    : "  > default button: click item 1 (the script has nothing more for "
                                      "this dialog)"))
            << ::testing::PrintToString(transcript_);
        EXPECT_EQ(host::scriptStopMessage(), "");
    }
}

TEST_F(DialogTest, HotKeysAndDropsReachThePanelAndItsAnswerGoesBackToTheHost) {
    script(R"([{"do":"hotKey","key":7},{"do":"hotKey","key":8},{"do":"drop","x":30,"y":40},
               {"do":"drop","x":1,"y":1},{"do":"click","item":1}])");
    TestDialog dialog(100);
    std::vector<std::string> drops;
    Catch keys(DialogEvent::kType, [&](const Event& event) {
        const auto& e = dynamic_cast<const DialogEvent&>(event);
        if (e.getMethod() != DialogEvent::kHotKey || e.getValue() != 7) return false;
        sendItemMessage(e, std::make_shared<ItemMessage>(1));
        return true;
    });
    Catch dropped(DropEvent::kType, [&](const Event& event) {
        DropRecord& record = dynamic_cast<const DropEvent&>(event).getRecord();
        drops.push_back(std::to_string(record.phase) + "@" + std::to_string(record.x) + "," +
                        std::to_string(record.y));
        if (record.x != 30) return false;   // only drops at x 30 are taken, as a copy
        record.effect = host::kDGDragCopy;
        return true;
    });
    dialog.onInitialise = [&](TestDialog& d) {
        d.enableDragAndDrop();
        d.subscribe(keys);
        d.subscribe(dropped);
    };
    EXPECT_EQ(dialog.open(), kDialogAccepted);
    EXPECT_EQ(host::scriptStopMessage(), "");
    EXPECT_EQ(drops, (std::vector<std::string>{"4@30,40", "5@30,40", "7@30,40", "4@1,1"}));
    for (const char* line : {"  > hotKey 8", "    nobody took the hot key", "    dropped (copy)",
                             "    the dialog refused the drop"})
        EXPECT_TRUE(transcribed(line)) << line;
    EXPECT_EQ(std::count(transcript_.begin(), transcript_.end(), "    nobody took the hot key"), 1);
}

TEST_F(DialogTest, APaletteTakesTheActionsThatNameItWhenItShows) {
    script(R"([{"do":"click","item":1,"dialog":102},{"do":"closeBox","dialog":102}])");
    TestDialog palette(102, /*modal=*/false);
    int clicks = 0;
    Catch go(ActionEvent::kType, [&](const Event&) { return ++clicks, true; });
    palette.onInitialise = [&](TestDialog& d) {
        DialogControl::make<Button>(ControlLink(1, &d)).subscribe(go);
    };
    palette.open();
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(palette.isOpen());   // the close box closed it
    EXPECT_EQ(palette.hooks.back(), "closed");
    EXPECT_EQ(host::pendingDialogActions(), 0u);
    EXPECT_EQ(host::scriptStopMessage(), "");
}

TEST_F(DialogTest, AnOpenPaletteTakesTheActionsThatNameItWhileADialogWaitsAndAfterTheCommand) {
    TestDialog palette(102, /*modal=*/false);
    int clicks = 0;
    Catch go(ActionEvent::kType, [&](const Event&) { return ++clicks, true; });
    palette.onInitialise = [&](TestDialog& d) {
        DialogControl::make<Button>(ControlLink(1, &d)).subscribe(go);
    };
    script("[]");
    palette.open();
    std::string error;   // the palette stays open: the library is not reset
    ASSERT_TRUE(host::parseUserActions(R"([{"do":"click","item":1,"dialog":102},{"do":"click","item":1},
                                           {"do":"click","item":1,"dialog":102}])",
                                       "", error));
    TestDialog dialog(100);
    int clicksWhileOpen = -1;
    dialog.onClose = [&](TestDialog&, const ActionEvent&) { clicksWhileOpen = clicks; };
    EXPECT_EQ(dialog.open(), kDialogAccepted);
    EXPECT_EQ(clicksWhileOpen, 1);
    EXPECT_FALSE(host::stopOnUnplayedDialogActions());   // the command is over: the user turns to it
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(host::scriptStopMessage(), "");
    palette.closeWindow();
}

TEST_F(DialogTest, TypingStopsWhenTheFieldIsFullAndALongTextIsEchoedByItsStart) {
    // Field 4 takes 10 characters; its handler refuses "b", which then takes no room.
    const std::string text = "b" + std::string(2000, 'a');
    script(R"([{"do":"setText","item":4,"text":")" + text + R"("},{"do":"setText","item":5,"text":")" + text +
           R"("}])");
    TestDialog dialog(100);
    int heard = 0;
    Catch keys(KeyEvent::kType, [&](const Event& event) {
        ++heard;
        const auto& key = dynamic_cast<const KeyEvent&>(event);
        if (key.getCharacter() == 'b') sendItemMessage(key, std::make_shared<ItemMessage>(0));
        return true;
    });
    String typed;
    dialog.onInitialise = [&](TestDialog& d) {
        makeControls(d);
        d.findControl(4)->subscribe(keys);
    };
    dialog.onClosed = [&](TestDialog& d) { typed = fieldText(d); };
    EXPECT_EQ(dialog.open(), kDialogCancelled);   // typing into a button stops the run
    EXPECT_EQ(heard, 11);
    EXPECT_EQ(typed, String(std::string(10, 'a')));
    const std::string echo = "\"b" + std::string(59, 'a') + "\xE2\x80\xA6\" (2001 characters)";
    EXPECT_TRUE(transcribed("  > setText item 4 " + echo)) << ::testing::PrintToString(transcript_);
    EXPECT_TRUE(transcribed("    the field is full: 1990 more characters were not typed"));
    EXPECT_EQ(host::scriptStopMessage(),
              "setText item 5 " + echo + " in dialog 100 \"Controls\": a button takes no typing");
}

TEST_F(DialogTest, TypingFocusesAFieldAndOneLeftWithOrWithoutTypingLosesTheFocusAndKeepsWhatItHolds) {
    // Left without typing, then typed into after the focus went elsewhere: the typing takes the focus
    // back to the field, so each leaving leaves a field that had it.
    script(R"([{"do":"leaveField","item":4},{"do":"setText","item":4,"text":"ab"},
               {"do":"leaveField","item":4},{"do":"setText","item":4,"text":"cd","commit":true}])");
    TestDialog dialog(100);
    std::vector<std::string> left;   // the field's text each time it lost the focus
    Catch focus(FocusEvent::kType, [&](const Event& event) {
        left.push_back(std::to_string(dynamic_cast<const FocusEvent&>(event).getItemId()) + " " +
                       std::string(fieldText(dialog).getView()));
        return true;
    });
    std::vector<std::int16_t> focusTyping;   // the dialog's focus as each character is typed
    Catch keys(KeyEvent::kType, [&](const Event&) {
        return focusTyping.push_back(host::DGGetFocus(dialog.getPanelId())), true;
    });
    std::int16_t focusAfter = 0;
    dialog.onInitialise = [&](TestDialog& d) {
        makeControls(d);
        d.findControl(4)->subscribe(focus);
        d.findControl(4)->subscribe(keys);
    };
    dialog.onOpened = [](TestDialog& d) {
        dynamic_cast<EditText&>(*d.findControl(4)).setText("start");
        host::DGSetFocus(d.getPanelId(), 4);
    };
    dialog.onClose = [&](TestDialog& d, const ActionEvent&) {
        focusAfter = host::DGGetFocus(d.getPanelId());
    };
    EXPECT_EQ(dialog.open(), kDialogAccepted);
    EXPECT_EQ(host::scriptStopMessage(), "");
    EXPECT_EQ(left, (std::vector<std::string>{"4 start", "4 ab", "4 cd"}));
    EXPECT_EQ(focusTyping, (std::vector<std::int16_t>{4, 4, 4, 4}));
    EXPECT_EQ(focusAfter, -1);   // the dialog itself
    EXPECT_TRUE(transcribed("  > leaveField item 4"));
}

TEST_F(DialogTest, PositionsOfKindsItDoesNotKnowAreNoneAndTwoOpenPanelsAreFoundApart) {
    TestDialog dialog(100), palette(102, /*modal=*/false);
    std::vector<std::string> seen;
    const auto note = [&](const ScreenPoint& p) {
        seen.push_back(std::to_string(p.x) + "," + std::to_string(p.y));
    };
    dialog.onOpened = [&](TestDialog& d) {
        d.setPosition(ScreenPoint(50, 60, 0));
        d.setPosition(ScreenPoint(5, 5, 6));   // no such kind: nothing moves
        note(d.getPosition(0));
        note(d.getPosition(6));
        note(d.getPosition(7));
        palette.open();
        EXPECT_NE(palette.getPanelId(), d.getPanelId());
        EXPECT_EQ(InterfacePanel::findPanel(d.getPanelId()), &d);
        EXPECT_EQ(InterfacePanel::findPanel(palette.getPanelId()), &palette);
        palette.closeWindow();
    };
    EXPECT_EQ(dialog.open(), kDialogAccepted);
    note(dialog.getPosition(0));   // closed
    EXPECT_EQ(seen, (std::vector<std::string>{"50,60", "0,0", "0,0", "0,0"}));
}

TEST_F(DialogTest, AStaticTextOfAnAlignmentItDoesNotKnowHearsNoClicks) {
    for (const std::int32_t alignment :
         {std::int32_t{StaticText::kCentre}, std::int32_t{StaticText::kRight}, std::int32_t{128}}) {
        SCOPED_TRACE(alignment);
        script(R"([{"do":"click","item":3},{"do":"click","item":1}])");
        TestDialog dialog(100);
        int clicks = 0;
        Catch click(ActionEvent::kType, [&](const Event&) { return ++clicks, true; });
        dialog.onInitialise = [&](TestDialog& d) {
            DialogControl::make<StaticText>(ControlLink(3, &d), alignment).subscribe(click);
        };
        EXPECT_EQ(dialog.open(), kDialogAccepted);
        EXPECT_EQ(clicks, alignment == 128 ? 0 : 1);
    }
}
