#include "Environment/Transaction.h"

#include <string>
#include <vector>

#include "Environment/AddonHostFixture.h"

namespace {

using TransactionTest = AddonHostFixture;

TEST_F(TransactionTest, RunsTheBodyAsOneUndoStepThatTheUserCanUndo) {
    start();
    EXPECT_EQ(choose("Change Data"), host::kNoError);
    EXPECT_EQ(choose("Change Data"), host::kNoError);
    EXPECT_EQ(moduleData("counter"), "2");
    ASSERT_EQ(host_->project().undoSteps().size(), 2u);
    EXPECT_EQ(host_->project().undoSteps().back().name, "Change Data");
    // Each outermost transaction gets the next number.
    const std::string first = "TestAddon: Change Data finished well as number ";
    std::vector<int> numbers;
    for (const std::string& line : texts())
        if (line.rfind(first, 0) == 0) numbers.push_back(std::stoi(line.substr(first.size())));
    ASSERT_EQ(numbers.size(), 2u);
    EXPECT_GT(numbers[0], 0);
    EXPECT_EQ(numbers[1], numbers[0] + 1);
    EXPECT_TRUE(logged("TestAddon: Change Data handled 1"));

    EXPECT_TRUE(host_->undo());
    EXPECT_EQ(moduleData("counter"), "1");
    EXPECT_TRUE(host_->undo());
    EXPECT_EQ(moduleData("counter"), "(none)");
}

TEST_F(TransactionTest, LogsEachRefusalAndFailureWithItsLineAndLeavesTheProjectAsItWas) {
    struct Case {
        const char* command;
        const char* line;      // in the transaction log
        const char* handled;   // what the command saw of the handled flag
        bool finished;         // whether finish ran
        host::Result result;   // what the host sees of the command: a failure is not a success
    };
    const Case cases[] = {
        {"Decline Prepare", "FAILED INIT: Decline Prepare", "TestAddon: Decline Prepare handled 1", false,
         host::kNoError},
        {"Fail Body", "RUN ERROR: 0x81060062 in Fail Body", "TestAddon: Fail Body handled 0", true,
         host::kErrBadIndex},
        {"Throw In Body", "RUN ERROR: 0x8106038C in Throw In Body", "TestAddon: Throw In Body handled 0",
         true, host::kErrCommandException},
    };
    start();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        host::clearDebugLines();
        EXPECT_EQ(choose(c.command), c.result);
        EXPECT_TRUE(logged(c.command)) << "every transaction's name is logged first";
        EXPECT_TRUE(logged(c.line));
        EXPECT_TRUE(logged(c.handled));
        EXPECT_EQ(!loggedStartingWith(std::string("TestAddon: ") + c.command + " finished badly").empty(),
                  c.finished);
        EXPECT_EQ(moduleData("counter"), "(none)");
        EXPECT_TRUE(host_->project().undoSteps().empty());
    }
}

TEST_F(TransactionTest, TurnsAnExceptionInTheBodyIntoAReportFileAndAnAlert) {
    start();
    choose("Change Data");   // something for the report's transaction list
    host::clearRecordedAlerts();
    choose("Throw In Body");
    EXPECT_EQ(moduleData("counter"), "1") << "the failed body is rolled back";

    const auto files = reportFiles();
    ASSERT_EQ(files.size(), 1u);
    const std::string name = files[0].filename().string();
    EXPECT_EQ(name.rfind("TestAddon ", 0), 0u);
    EXPECT_EQ(files[0].extension(), ".txt");
    const std::string report = contents(files[0]);
    for (const char* section : {"EXCEPTION REPORT", "Time: ", "Host: ", "Platform: ", "Type: out_of_range",
                                "Message:", "Stack Trace:", "Recent Transactions:", "Recent Events:"}) {
        EXPECT_NE(report.find(section), std::string::npos) << section;
    }
    EXPECT_NE(report.find("out_of_range in TestAddon::ThrowingTransaction::run"), std::string::npos);
    const std::string transactions = report.substr(report.find("Recent Transactions:"));
    EXPECT_NE(transactions.find("\ttransaction\tChange Data\n"), std::string::npos);
    EXPECT_NE(transactions.find("\ttransaction\tThrow In Body\n"), std::string::npos);
    EXPECT_NE(report.substr(report.find("Recent Events:")).find("HOST/MENU"), std::string::npos);

    const auto alerts = host::recordedAlerts();
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_EQ(alerts[0].kind, host::kAlertError);
    EXPECT_EQ(alerts[0].title, "Error");
    EXPECT_EQ(alerts[0].largeText, "An unexpected problem occurred. A report was saved as \"" + name +
                                       "\" in the folder \"" + (folder5() / "Tarnwick Tools").string() +
                                       "\".");
    EXPECT_EQ(alerts[0].smallText,
              "Please report this to support@tarnwickgroup.com, with the steps that led to it.");
}

TEST_F(TransactionTest, ReportsAnExceptionThatEscapedTheUndoableCommand) {
    start();
    host_->injectFault({host::HostSlot::undoableCommand, std::nullopt}, 1, host::kErrCommandException);
    EXPECT_EQ(choose("Change Data"), host::kErrCommandException);
    EXPECT_TRUE(logged("RUN ERROR: 0x8106038C in Change Data"));
    EXPECT_EQ(reportFiles().size(), 1u);
    EXPECT_EQ(host::recordedAlerts().size(), 1u);
}

TEST_F(TransactionTest, IsRefusedInsideAProjectNotification) {
    start();
    host_->notifyProject(host::kProjectSave);
    EXPECT_TRUE(logged("In Notification"));
    EXPECT_TRUE(logged("BLOCKED: In Notification"));
    EXPECT_FALSE(logged("TestAddon: In Notification finished well as number 1"));
    EXPECT_EQ(moduleData("counter"), "(none)");
    // Outside the notification the same add-on changes the project again.
    EXPECT_EQ(choose("Change Data"), host::kNoError);
    EXPECT_EQ(moduleData("counter"), "1");
}

TEST_F(TransactionTest, RunsANestedTransactionInsideTheOuterUndoStepWithoutANumber) {
    start();
    EXPECT_EQ(choose("Nested Transactions"), host::kNoError);
    EXPECT_EQ(moduleData("counter"), "2");
    ASSERT_EQ(host_->project().undoSteps().size(), 1u);
    EXPECT_EQ(host_->project().undoSteps()[0].name, "Nested Transactions");
    EXPECT_TRUE(logged("TestAddon: Inner Step finished well as number 0"));
    const std::string outer = loggedStartingWith("TestAddon: Nested Transactions finished well as number ");
    ASSERT_FALSE(outer.empty());
    EXPECT_GT(std::stoi(outer.substr(outer.rfind(' ') + 1)), 0);
    EXPECT_TRUE(host_->undo());
    EXPECT_EQ(moduleData("counter"), "(none)");
}

TEST_F(TransactionTest, SetsSuspendGroupsOnlyWhenTheHostCouldSayWhereItStands) {
    start();
    EXPECT_EQ(choose("Suspend Groups"), host::kNoError);
    EXPECT_TRUE(host_->project().state.suspendGroups);
    EXPECT_EQ(host_->countCalls(host::HostSlot::elementTools, host::fourcc("SUSP")), 1u);

    // Already on: nothing to toggle.
    EXPECT_EQ(choose("Suspend Groups"), host::kNoError);
    EXPECT_EQ(host_->countCalls(host::HostSlot::elementTools, host::fourcc("SUSP")), 1u);
    EXPECT_TRUE(host_->project().state.suspendGroups);

    // An unanswered query must not be read as "off" and toggle the mode back.
    host_->injectFault({host::HostSlot::environment, host::fourcc("ISSG")}, 0, host::kErrGeneral);
    choose("Suspend Groups");
    EXPECT_TRUE(logged("RUN ERROR: 0x81060001 in Suspend Groups"));
    EXPECT_EQ(host_->countCalls(host::HostSlot::elementTools, host::fourcc("SUSP")), 1u);
    EXPECT_TRUE(host_->project().state.suspendGroups);
}

}   // namespace
