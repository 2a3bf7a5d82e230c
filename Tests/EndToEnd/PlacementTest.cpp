// Replaced objects keep their place, and their size ratios between parts sized by ratio or else their size
// in metres, also when mapped to the part they stand on; doors keep their opening unless the mapping sets
// it; elements no part can be placed for are left as they were, also when the mapping names such a part
// only by its guid.
#include <algorithm>

#include <nlohmann/json.hpp>

#include <HostRefusals.h>

#include "EndToEndFixture.h"
#include "PlacementCheck.h"

namespace {

using nlohmann::json;

// The fixture's elements (sizes.json), by guid.
constexpr const char* kFixedDesk = "5E000000-0000-4000-8000-000000000101";       // 2.5 by 1.0, turned, raised
constexpr const char* kRatioChair = "5E000000-0000-4000-8000-000000000102";      // 1.2 of its part's width
constexpr const char* kMirroredChair = "5E000000-0000-4000-8000-000000000103";   // on a locked layer
constexpr const char* kFixedStool = "5E000000-0000-4000-8000-000000000104";
constexpr const char* kRatioTable = "5E000000-0000-4000-8000-000000000105";   // mirrored; "A", "B" mapped
constexpr const char* kDoor = "5E000000-0000-4000-8000-000000000106";         // mapped with its own height
constexpr const char* kRatioBench = "5E000000-0000-4000-8000-00000000010A";
constexpr const char* kRatioDeskOnItsPart = "5E000000-0000-4000-8000-00000000010C";    // each mapped to
constexpr const char* kFixedChairOnItsPart = "5E000000-0000-4000-8000-00000000010D";   // its own part
constexpr int kDeskRatio = 2, kChairFixed = 4, kTableRatio = 6, kDoorWide = 8;

class Placement : public EndToEndFixture {
protected:
    json current() const { return json::parse(host_->project().saveText()); }
};

TEST_F(Placement, ReplacedElementsKeepPlaceAndSizeAndPartsThatCannotBePlacedAreRefused) {
    start("sizes.json", "sizes-table.xml");
    const json before = current();
    ASSERT_EQ(run("Skellow From ArchiCAD"), host::kNoError);
    // The cabinet mapped to a door part, the stand mapped to one by its guid alone and the shelf mapped to
    // a part that is not placeable stay.
    placement::expectKept(before, current(),
                          {{kFixedDesk, {kDeskRatio}},
                           {kRatioChair, {kChairFixed}},
                           {kMirroredChair, {kChairFixed}},
                           {kFixedStool, {kChairFixed}},
                           {kRatioTable, {kDeskRatio, 1.2, 0.7}},
                           {kDoor, {kDoorWide, std::nullopt, 2.2}},
                           {kRatioBench, {kTableRatio}},
                           {kRatioDeskOnItsPart, {kDeskRatio}},
                           {kFixedChairOnItsPart, {kChairFixed}}},
                          alertTexts().back(), {.refused = 3});
}

// Without a part's details nobody can tell whether it sizes its objects by ratio: every object is left
// as it was and counted, and the host's refusal makes the command one that did not do all it was asked.
TEST_F(Placement, ObjectsWhosePartsDetailsTheHostRefusesAreLeftAsTheyWereAndCounted) {
    start("sizes.json", "sizes-table.xml");
    const json before = current();
    host_->clearCalls();
    host_->injectFault({host::HostSlot::getLibraryPartDetails, std::nullopt}, 0, host::kErrGeneral);
    run("Skellow From ArchiCAD");
    host_->clearFaults();
    placement::expectKept(before, current(), {{kDoor, {kDoorWide, std::nullopt, 2.2}}}, alertTexts().back(),
                          {.failed = 8, .refused = 3});
    const auto& calls = host_->calls();
    EXPECT_TRUE(std::any_of(calls.begin(), calls.end(), host::refusedWork));
}

TEST_F(Placement, AnElementWhosePartHasNoNameIsReportedForThatAndLeftAlone) {
    start("sizes.json", "sizes-table.xml");
    const json before = current();
    run("Skellow Missing Parts");
    placement::expectKept(before, current(), {}, alertTexts().back(), {.unnamed = 1});
}

}   // namespace
