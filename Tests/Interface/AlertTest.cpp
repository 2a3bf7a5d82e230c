#include "Interface/Alert.h"

#include <string>
#include <vector>

#include "Interface/InterfaceHostFixture.h"

namespace {

// One alert as the host showed it: kind, title, large text, small text and the three buttons.
std::string shown(const host::AlertRecord& alert) {
    return std::to_string(alert.kind) + "|" + alert.title + "|" + alert.largeText + "|" + alert.smallText +
           "|" + alert.buttons[0] + "|" + alert.buttons[1] + "|" + alert.buttons[2];
}

std::vector<std::string> shownAlerts() {
    std::vector<std::string> texts;
    for (const host::AlertRecord& alert : host::recordedAlerts()) texts.push_back(shown(alert));
    return texts;
}

using Alert = InterfaceHostFixture;

TEST_F(Alert, TakesEachKindsDefaultTitleFromTheFrameworkStringsAndShowsOneOkButton) {
    ASSERT_TRUE(run("Default Titles"));
    EXPECT_EQ(shownAlerts(), (std::vector<std::string>{"-3|Notification|n||OK||", "-2|Warning|w||OK||",
                                                       "-1|Error|e||OK||", "-2|Confirmation|c||OK||"}));
}

TEST_F(Alert, KeepsAGivenTitle) {
    ASSERT_TRUE(run("Given Titles"));
    EXPECT_EQ(shownAlerts(),
              (std::vector<std::string>{"-3|Mine 1|n||OK||", "-2|Mine 2|w||OK||", "-1|Mine 3|e||OK||",
                                        "-2|Mine 4|c||OK||", "-1|Raw|r||OK||"}));
}

TEST_F(Alert, AsksWithOkAndCancelUnlessGivenLabelsAndAnswersTheButtonPressed) {
    struct Case {
        const char* command;
        const char* answers;   // the user's script
        const char* alert;
        const char* said;
    };
    const Case cases[] = {
        {"Ask", "[]", "-2|Confirmation|Go on?||OK|Cancel|", "ask answered 1"},
        {"Ask", R"([{"do": "answerAlert", "button": 2}])", "-2|Confirmation|Go on?||OK|Cancel|",
         "ask answered 2"},
        {"Ask With Labels", R"([{"do": "answerAlert", "button": 2}])", "-2|Q|Replace?||Replace|Keep|",
         "ask answered 2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        host::clearRecordedAlerts();
        host::clearDebugLines();
        script(c.answers);
        ASSERT_TRUE(run(c.command));
        EXPECT_EQ(shownAlerts(), std::vector<std::string>{c.alert});
        EXPECT_EQ(said(), std::vector<std::string>{c.said});
    }
}

TEST_F(Alert, GivesACustomAlertWithoutAFirstLabelAnOkButton) {
    script(R"([{"do": "answerAlert", "button": 2}, {"do": "answerAlert", "button": 3}])");
    ASSERT_TRUE(run("Custom Alerts"));
    EXPECT_EQ(shownAlerts(), (std::vector<std::string>{"-2|Custom|message|details|OK|Two|",
                                                       "-2|Custom|m||A|B|C", "-2|Custom|plain||OK||"}));
    EXPECT_EQ(said(),
              (std::vector<std::string>{"custom answered 2", "custom answered 3", "plain answered 1"}));
}

}   // namespace
