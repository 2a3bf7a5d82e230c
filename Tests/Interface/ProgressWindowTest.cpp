#include "Interface/ProgressWindow.h"

#include <string>
#include <vector>

#include <FourCC.h>

#include "Interface/InterfaceHostFixture.h"

namespace {

// The host's process window as a list of what happened to it, one text per event.
std::vector<std::string> progress(const host::SimulatedHost& simulated) {
    std::vector<std::string> texts;
    for (const host::ProgressEvent& event : simulated.progressEvents()) {
        const std::string window = "#" + std::to_string(event.windowNumber) + " ";
        switch (event.kind) {
            case host::ProgressEvent::open:
                texts.push_back(window + "open " + event.text + " " + std::to_string(event.number));
                break;
            case host::ProgressEvent::phase:
                texts.push_back(window + "phase '" + event.text + "' " + std::to_string(event.number));
                break;
            case host::ProgressEvent::value:
                texts.push_back(window + "value " + std::to_string(event.number));
                break;
            case host::ProgressEvent::cancelled:
                texts.push_back(window + "cancelled");
                break;
            case host::ProgressEvent::close:
                texts.push_back(window + "close");
                break;
        }
    }
    return texts;
}

using ProgressWindow = InterfaceHostFixture;

TEST_F(ProgressWindow, LetsOnlyTheFirstOpenDriveTheHostWindowUntilItsOwnerIsGone) {
    ASSERT_TRUE(run("Nested Progress"));
    EXPECT_EQ(said(), (std::vector<std::string>{"outer owner 1", "inner owner 0", "inner still shared",
                                                "inner released", "outer released", "again owner 1"}));
    EXPECT_EQ(progress(*host_),
              (std::vector<std::string>{
                  "#1 open Outer 2", "#1 phase 'Phase A' 10", "#1 value 1", "#1 value 5",
                  "#1 value 7",   // nothing from the silent window, which left it open
                  "#1 phase '' 1", "#1 phase '' 1", "#1 close",   // two skipped, none for 0 or -1
                  "#2 open Again 1", "#2 close"}));
}

TEST_F(ProgressWindow, ReportsTheUsersCancelAlsoToNestedWork) {
    script(R"([{"do": "cancelProgressAt", "step": 3}])");
    ASSERT_TRUE(run("Cancelled Progress"));
    EXPECT_EQ(said(), (std::vector<std::string>{"cancelled after 3", "nested owner 0 sees cancel 1"}));
    EXPECT_FALSE(host_->processWindow().open);
}

TEST_F(ProgressWindow, StaysSilentAndUncancelledWhenTheHostRefusesToOpen) {
    host_->injectFault({host::HostSlot::interface, host::fourcc("IPWD")}, 0, host::kErrGeneral);
    ASSERT_TRUE(run("Refused Progress"));
    EXPECT_EQ(said(), std::vector<std::string>{"owner 0 cancelled 0"});
    EXPECT_EQ(host_->countCalls(host::HostSlot::interface), 1u);   // only the refused 'IPWD'
    host_->clearFaults();
    ASSERT_TRUE(run("Refused Progress"));   // the refusal left no window marked open
    EXPECT_EQ(said().back(), "owner 1 cancelled 0");
}

TEST_F(ProgressWindow, OpensAgainAfterTheHostOnceRefusedToCloseIt) {
    host_->injectFault({host::HostSlot::interface, host::fourcc("CPWD")}, 1, host::kErrGeneral);
    ASSERT_TRUE(run("Refused Progress"));
    ASSERT_TRUE(host_->processWindow().open);   // the refused close left the host's window standing
    script(R"([{"do": "cancelProgressAt", "step": 1}])");
    ASSERT_TRUE(run("Refused Progress"));
    EXPECT_EQ(said().back(), "owner 1 cancelled 1");
    EXPECT_FALSE(host_->processWindow().open);
}

}   // namespace
