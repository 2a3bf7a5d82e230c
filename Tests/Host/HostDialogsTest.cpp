#include <HostDialogLibrary.h>
#include <HostDialogs.h>

#include <HostFiles.h>

#include "Host/HostTestSupport.h"

namespace {

class HostDialogsTest : public ::testing::Test {
protected:
    void SetUp() override {
        host::clearUserActions();
        host::clearRecordedAlerts();
    }
    void TearDown() override {
        host::clearUserActions();
        host::clearRecordedAlerts();
        host::setAlertObserver(nullptr);
    }
};

TEST_F(HostDialogsTest, AnswersAlertsFromTheScriptAndRecordsWhatTheyShowed) {
    std::string error;
    ASSERT_TRUE(host::parseUserActions(
        R"({"actions": [{"do": "answerAlert", "button": 2}, {"do": "answerAlert", "button": 3}]})", "",
        error))
        << error;
    int observed = 0;
    host::setAlertObserver([&](const host::AlertRecord&) { ++observed; });

    EXPECT_EQ(host::alert(host::kAlertWarning, "Confirmation", "Go on?", "small", "OK", "Cancel", ""), 2);
    // The script names a third button that this alert lacks: the run stops, and the alert takes its
    // last button, here its only one.
    EXPECT_EQ(host::alert(host::kAlertError, "Error", "Bad", "", "OK", "", ""), 1);
    // Nothing more scripted: the default button.
    EXPECT_EQ(host::alert(host::kAlertInformation, "Notification", "Done", "", "OK", "", ""), 1);

    const auto alerts = host::recordedAlerts();
    ASSERT_EQ(alerts.size(), 3u);
    EXPECT_EQ(alerts[0].kind, host::kAlertWarning);
    EXPECT_EQ(alerts[0].title, "Confirmation");
    EXPECT_EQ(alerts[0].largeText, "Go on?");
    EXPECT_EQ(alerts[0].smallText, "small");
    EXPECT_EQ(alerts[0].buttons[1], "Cancel");
    EXPECT_EQ(alerts[0].answer, 2);
    EXPECT_EQ(alerts[1].answer, 1);
    EXPECT_EQ(alerts[2].largeText, "Done");
    EXPECT_EQ(observed, 3);
    ASSERT_EQ(host::scriptErrors().size(), 1u);
    EXPECT_NE(host::scriptErrors()[0].find("answerAlert 3"), std::string::npos);
    EXPECT_EQ(host::scriptStopMessage(), host::scriptErrors()[0]);
}

TEST_F(HostDialogsTest, RejectsMalformedScriptsSayingWhereAndKeepsTheOldOne) {
    std::string error;
    ASSERT_TRUE(host::parseUserActions(R"([{"do": "answerAlert", "button": 2}])", "", error));
    const std::pair<const char*, const char*> cases[] = {
        {"[", "not valid JSON at line 1, column 2: "},
        {"[\n  {\"do\": \"closeBox\"},\n  {\"do\" \"click\"}\n]", "not valid JSON at line 3, column 15: "},
        {"{}", "needs \"actions\": a list of actions"},
        {R"({"actions": [], "action": []})", "unknown key \"action\" (the script holds only \"actions\")"},
        {R"([{"do": "click", "item": 1, "item": 2}])", "duplicate key \"item\" in [0]"},
        {R"({"actions": 3})", "the actions must be a list"},
        {"[3]", "action 1 is not an object"},
        {R"([{"do": "answerAlert"}])", "action 1 needs \"button\""},
        {R"([{"do": "answerAlert", "button": 0}])",
         "action 1 \"button\" must be a whole number from 1 to 32767"},
        {R"([{"do": "closeBox"}, {"do": "fly"}])", "action 2 unknown action \"fly\""},
        {R"([{"do": "selectPopup", "item": 5, "index": 1, "text": "a"}])",
         "action 1 needs either \"index\" or \"text\""},
        {R"([{"do": "selectRows", "item": 4, "rows": 1}])", "action 1 needs \"rows\" as a list"},
        {R"([{"do": "selectRows", "item": 4, "rows": [0]}])",
         "action 1 \"rows\" must hold row numbers from 1"},
        {R"([{"do": "fileDialog"}])", "action 1 needs either \"path\" or \"cancel\": true"},
        {R"([{"do": "settingsDialog", "accept": 1}])", "action 1 needs \"accept\": true or false"},
        {R"([{"do": "setText", "item": 8}])", "action 1 needs \"text\" as a text"},
        {R"([{"do": "click", "item": 1, "dialog": "x"}])",
         "action 1 \"dialog\" must be a whole number from 1 to 32767"},
        {R"([{"do": "closeBox"}, {"do": "click", "item": 1, "itme": 3}])",
         "action 2 (\"click\") has an unknown key \"itme\""},
        {R"([{"do": "setText", "item": 4, "text": "a", "comit": true}])",
         "action 1 (\"setText\") has an unknown key \"comit\""},
        {R"([{"do": "answerAlert", "button": 1, "dialog": 5}])",
         "action 1 (\"answerAlert\") has an unknown key \"dialog\""},
        {R"([{"do": "drop", "item": 9, "x": 3}])",
         "action 1 needs either \"item\" (a list) or \"x\" and \"y\" (the panel)"},
        {R"([{"do": "dragRows", "item": 9, "rows": [1], "row": 2}])",
         "action 1 \"row\" needs the list \"to\""},
        {R"([{"do": "dragRows", "item": 9, "rows": [1], "to": 3, "x": 1, "y": 1}])",
         "action 1 needs either \"to\" (a list) or \"x\" and \"y\" (the dialog)"},
        {R"([{"do": "doubleClick", "item": 9, "shift": true}])", "action 1 keys held need a list \"row\""},
        {R"([{"do": "doubleClick", "item": 9, "column": 2}])", "action 1 \"column\" needs a list \"row\""},
        {R"([{"do": "doubleClick", "item": 9, "row": 0}])",
         "action 1 \"row\" must be a whole number from 1 to 32767"},
        {R"([{"do": "clickRow", "item": 9, "row": 1, "column": 0}])",
         "action 1 \"column\" must be a whole number from 1 to 32767"},
        {R"([{"do": "leaveField", "item": 4, "text": "a"}])",
         "action 1 (\"leaveField\") has an unknown key \"text\""},
        {R"([{"do": "drop", "item": 9, "choose": "copy"}])",
         "action 1 \"choose\" needs \"rightButton\": true"},
        {R"([{"do": "drop", "item": 9, "rightButton": true, "choose": "all"}])",
         "action 1 \"choose\" must be \"copy\", \"move\" or \"link\""},
        {R"([{"do": "scroll", "item": 9}])", "action 1 needs \"row\""},
    };
    for (const auto& [script, message] : cases) {
        SCOPED_TRACE(script);
        EXPECT_FALSE(host::parseUserActions(script, "", error));
        EXPECT_EQ(error.substr(0, std::string_view(message).size()), message);   // JSON errors go on
    }
    // A NUL byte, after the script or between its values, is no end of the text.
    using namespace std::string_literals;
    const std::pair<std::string, std::string> nuls[] = {
        {"[{\"do\": \"closeBox\"}]\0[garbage"s,
         "not valid JSON at line 1, column 21: a NUL byte outside a string"},
        {"[]\n\0"s, "not valid JSON at line 2, column 1: a NUL byte outside a string"},
        {"[{\"do\": \"closeBox\"},\0 {\"do\": \"closeBox\"}]"s,
         "not valid JSON at line 1, column 21: a NUL byte outside a string"},
        {"[{\"do\": \"closeBox\0\"}]"s,
         "not valid JSON at line 1, column 18: syntax error while parsing value - "
         "invalid string: control character U+0000 (NUL) must be escaped"},
        {"[{\"do\": \"close\\\"Box\0\"}]"s,   // after an escaped quote, still in the string
         "not valid JSON at line 1, column 20: syntax error while parsing value - "
         "invalid string: control character U+0000 (NUL) must be escaped"},
    };
    for (const auto& [script, message] : nuls) {
        SCOPED_TRACE(message);
        EXPECT_FALSE(host::parseUserActions(script, "", error));
        EXPECT_EQ(error.substr(0, message.size()), message);
    }
    EXPECT_EQ(host::takeAlertAnswer(), 2);   // the script before the failures is still there
}

TEST_F(HostDialogsTest, RefusesAFileDialogCancelThatIsNotTrueOrFalseInsteadOfThrowing) {
    std::string error;
    ASSERT_TRUE(host::parseUserActions(R"([{"do": "answerAlert", "button": 2}])", "", error));
    for (const char* script :
         {R"([{"do": "fileDialog", "cancel": "yes"}])", R"([{"do": "fileDialog", "cancel": 1}])",
          R"([{"do": "fileDialog", "path": "a.json", "cancel": null}])"}) {
        SCOPED_TRACE(script);
        EXPECT_FALSE(host::parseUserActions(script, "", error));
        EXPECT_EQ(error, "action 1 \"cancel\" must be true or false");
    }
    EXPECT_EQ(host::takeAlertAnswer(), 2);
    // "cancel": false beside a path is the path.
    ASSERT_TRUE(
        host::parseUserActions(R"([{"do": "fileDialog", "path": "/a.json", "cancel": false}])", "", error))
        << error;
    EXPECT_EQ(host::browseForFile(host::FileDialogKind::open, "Open", "json"), "/a.json");
    host::clearFileDialogRequests();
}

TEST_F(HostDialogsTest, KeepsDialogActionsInOrderForTheDialogLibrary) {
    std::string error;
    ASSERT_TRUE(host::parseUserActions(R"([
        {"do": "setText", "item": 8, "text": "Door"},
        {"do": "answerAlert", "button": 1},
        {"do": "selectRows", "item": 4, "rows": [1, 3], "dialog": 32511},
        {"do": "selectPopup", "item": 5, "text": "Default"},
        {"do": "resize", "width": 500, "height": 400},
        {"do": "leaveField", "item": 8},
        {"do": "clickRow", "item": 4, "row": 0, "column": 2, "shift": true},
        {"do": "click", "item": 1}
    ])",
                                       "", error))
        << error;
    EXPECT_EQ(host::pendingDialogActions(), 7u);
    auto action = host::takeDialogAction();
    ASSERT_TRUE(action);
    EXPECT_EQ(action->kind, host::DialogActionKind::setText);
    EXPECT_EQ(action->item, 8);
    EXPECT_EQ(action->text, "Door");
    EXPECT_FALSE(action->dialogId);
    action = host::takeDialogAction();
    EXPECT_EQ(action->kind, host::DialogActionKind::selectRows);
    EXPECT_EQ(action->rows, (std::vector<int>{1, 3}));
    EXPECT_EQ(action->dialogId, 32511);
    action = host::takeDialogAction();
    EXPECT_EQ(action->kind, host::DialogActionKind::selectPopup);
    EXPECT_EQ(action->text, "Default");
    EXPECT_FALSE(action->index);
    action = host::takeDialogAction();
    EXPECT_EQ(action->width, 500);
    EXPECT_EQ(action->height, 400);
    action = host::takeDialogAction();
    EXPECT_EQ(action->kind, host::DialogActionKind::leaveField);
    EXPECT_EQ(action->item, 8);
    action = host::takeDialogAction();
    EXPECT_EQ(action->kind, host::DialogActionKind::clickRow);
    EXPECT_EQ(action->rows, (std::vector<int>{0}));   // below the last row
    EXPECT_EQ(action->column, 2);
    EXPECT_TRUE(action->shift);
    EXPECT_EQ(host::takeDialogAction()->kind, host::DialogActionKind::click);
    EXPECT_FALSE(host::takeDialogAction());
    EXPECT_EQ(host::takeAlertAnswer(), 1);
}

TEST_F(HostDialogsTest, FeedsFileDialogAnswersRelativeToTheScriptsFolder) {
    HostScratch scratch;
    const std::string script = scratch.write(
        "answers.json",
        R"([{"do": "fileDialog", "path": "maps/ObjectMap.xml"}, {"do": "fileDialog", "cancel": true}])");
    std::string error;
    ASSERT_TRUE(host::loadUserActions(script, error)) << error;
    EXPECT_EQ(host::browseForFile(host::FileDialogKind::open, "Open", "xml"),
              scratch.file("maps/ObjectMap.xml"));
    EXPECT_EQ(host::browseForFile(host::FileDialogKind::save, "Save", "xml"), std::nullopt);

    EXPECT_FALSE(host::loadUserActions(scratch.file("absent.json"), error));
    EXPECT_EQ(error, scratch.file("absent.json") + ": cannot be read: No such file or directory");
}

}   // namespace

TEST_F(HostDialogsTest, ReportsEveryAnswerTheProgramNeverAskedFor) {
    std::string error;
    ASSERT_TRUE(host::parseUserActions(R"([
        {"do": "answerAlert", "button": 2}, {"do": "answerAlert", "button": 1},
        {"do": "settingsDialog", "accept": false}, {"do": "objectSettings", "accept": true},
        {"do": "cancelProgressAt", "step": 3, "window": 2}, {"do": "fileDialog", "path": "/a.json"},
        {"do": "fileDialog", "cancel": true}])",
                                       "", error))
        << error;
    EXPECT_EQ(host::alert(host::kAlertWarning, "t", "Go on?", "", "OK", "Cancel", ""), 2);
    EXPECT_EQ(host::browseForFile(host::FileDialogKind::open, "Open", "json"), "/a.json");
    host::clearFileDialogRequests();
    EXPECT_EQ(host::unplayedActions(),
              (std::vector<std::string>{"answerAlert 1", "settingsDialog cancel", "objectSettings accept",
                                        "cancelProgressAt step 3 window 2", "fileDialog cancel"}));
    host::clearUserActions();
    EXPECT_TRUE(host::unplayedActions().empty());
}
