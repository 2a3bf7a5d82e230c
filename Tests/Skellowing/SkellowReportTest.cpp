// The run's report and the placement correction of a replaced object.
#include <cmath>
#include <numbers>
#include <string>

#include <gtest/gtest.h>

#include "Skellowing/SkellowReport.h"
#include "SkellowingFixture.h"

namespace {

using skellow::SkellowReport;
using tarnwick::CadPoint;
using tarnwick::Cube;

using SkellowReportText = SkellowingFixture;

TEST_F(SkellowReportText, ListsTheCountsThatAreNotZeroInOrder) {
    const std::string replaced = "3 objects were successfully skellowed\n";
    const std::string missing =
        "2 objects named a library part that could not be found in the loaded libraries. Please check that "
        "the "
        "appropriate libraries are selected in the Library Manager.\n";
    const std::string failed =
        "1 objects could not be skellowed. Please ensure all objects are unlocked and that you have the "
        "right to "
        "edit them (for TeameWork files).\n";
    const struct {
        SkellowReport report;
        std::string text;
    } cases[] = {
        {{0, 0, 0, 0}, "No relevant objects were found to be skellowed"},
        {{4, 3, 3, 0}, replaced},
        {{6, 4, 3, 2}, replaced + missing + failed},
        {{3, 1, 0, 2}, missing + failed},
        {{1, 1, 0, 0}, failed},
    };
    for (const auto& c : cases) EXPECT_EQ(std::string(c.report.getText().getView()), c.text);
}

// A line whose text the host does not give is left out, but what was not replaced is always told, and
// with no text at all the counts are still told: never a blank report, nor one that reads as a success.
TEST_F(SkellowReportText, LeavesOutALineWhoseTextCannotBeReadButNeverWhatWasNotReplaced) {
    const std::string replaced = "2 objects were successfully skellowed\n";
    const struct {
        SkellowReport report;
        std::int32_t unread;   // the line of string list 32522 the host does not give
        std::string text;
    } cases[] = {
        {{5, 2, 2, 3},
         2,
         "3 objects named a library part that could not be found in the loaded libraries. Please check that "
         "the appropriate libraries are selected in the Library Manager.\n"},
        {{5, 2, 2, 3}, 3, replaced + "Skellowing: 2 replaced, 3 missing, 0 failed"},
        {{3, 3, 2, 0}, 4, replaced + "Skellowing: 2 replaced, 0 missing, 1 failed"},
        {{4, 3, 2, 0, 1, 0}, 18, replaced + "Skellowing: 2 replaced, 0 missing, 1 failed"},
        {{4, 3, 2, 0, 0, 1}, 19, replaced + "Skellowing: 2 replaced, 0 missing, 1 failed"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.unread);
        refuseString(32522, c.unread);
        EXPECT_EQ(std::string(c.report.getText().getView()), c.text);
    }
    giveEveryString();
    host_->injectFault({host::HostSlot::getString, {}}, 0, host::kErrGeneral);
    EXPECT_EQ(std::string(cases[0].report.getText().getView()),
              "Skellowing: 2 replaced, 3 missing, 0 failed");
    EXPECT_EQ(std::string(SkellowReport().getText().getView()),
              "Skellowing: 0 replaced, 0 missing, 0 failed");
    host_->clearFaults();
}

TEST(FrontEdgeOffset, KeepsTheFrontEdgeMidpointOfATurnedObject) {
    const struct {
        Cube before;
        Cube after;
        double angle;
        CadPoint offset;
    } cases[] = {
        {{{0, 0, 0}, {1, 1, 1}}, {{0, 0, 0}, {2, 1, 1}}, std::numbers::pi / 2, {0, -0.5, 0}},
        {{{0, 0, 0}, {1, 1, 1}}, {{0, 0, 0}, {2, 1, 1}}, 0.0, {-0.5, 0, 0}},
        {{{1, 2, 0}, {2, 3, 1}}, {{0, 0, 0}, {1, 2, 3}}, std::numbers::pi, {-1, -2, 0}},
    };
    for (const auto& c : cases) {
        const CadPoint offset = skellow::frontEdgeOffset(c.before, c.after, c.angle);
        EXPECT_NEAR(offset.getX(), c.offset.getX(), 1e-9);
        EXPECT_NEAR(offset.getY(), c.offset.getY(), 1e-9);
        EXPECT_NEAR(offset.getZ(), c.offset.getZ(), 1e-9);
    }
}

}   // namespace
