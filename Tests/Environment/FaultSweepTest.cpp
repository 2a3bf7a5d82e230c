// Every host call of each of the test add-on's commands fails in turn (Support/FaultSweep.h).
#include "Support/FaultSweep.h"

#include <string>

#include <gtest/gtest-spi.h>

#include "Environment/AddonHostFixture.h"

namespace {

using FaultSweepTest = AddonHostFixture;

TEST_F(FaultSweepTest, NoHostCallOfATestCommandCanFailUnseenOrLeaveTheProjectHalfChanged) {
    start();
    // "Decline Prepare" and "Say Note" make no host call: nothing to sweep.
    for (const char* command : {"Change Data", "Throw In Body", "Fail Body", "Publish Event",
                                "Nested Transactions", "Suspend Groups", "Save Note", "Save File Note"}) {
        const auto choice = host_->findMenuItem(command);
        ASSERT_TRUE(choice) << command;
        FaultSweep sweep(*host_);
        EXPECT_GT(sweep.run(command, [&] { return host_->selectMenuItem(*choice); }), 0u) << command;
    }
}

// The sweep itself: a command that swallows its transaction's failure is caught, with the call named.
TEST_F(FaultSweepTest, FindsACommandThatPassesAFailureOffAsSuccess) {
    start();
    const auto choice = host_->findMenuItem("Change Data");
    ASSERT_TRUE(choice);
    FaultSweep sweep(*host_);
    ::testing::TestPartResultArray findings;
    {
        const ::testing::ScopedFakeTestPartResultReporter intercept(
            ::testing::ScopedFakeTestPartResultReporter::INTERCEPT_ONLY_CURRENT_THREAD, &findings);
        sweep.run("Change Data, result dropped", [&] {
            host_->selectMenuItem(*choice);
            host::clearRecordedAlerts();
            return host::kNoError;
        });
    }
    std::string messages;
    for (int i = 0; i < findings.size(); ++i) messages += findings.GetTestPartResult(i).message();
    EXPECT_NE(messages.find("reported as success"), std::string::npos) << messages;
    EXPECT_NE(messages.find("putModuleData"), std::string::npos) << messages;
}

}   // namespace
