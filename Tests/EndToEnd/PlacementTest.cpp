// Replaced objects keep their place and their size in metres whatever size flags their old and new parts
// have, doors take their new part's opening, and elements no part can be placed for are left as they were.
#include <nlohmann/json.hpp>

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
constexpr const char* kDoor = "5E000000-0000-4000-8000-000000000106";
constexpr int kDeskRatio = 2, kChairFixed = 4, kDoorWide = 8;

class Placement : public EndToEndFixture {
protected:
    json current() const { return json::parse(host_->project().saveText()); }
};

TEST_F(Placement, ReplacedElementsKeepPlaceAndSizeAndPartsThatCannotBePlacedAreRefused) {
    start("sizes.json", "sizes-table.xml");
    const json before = current();
    ASSERT_EQ(run("Skellow From ArchiCAD"), host::kNoError);
    // The cabinet mapped to a door part and the shelf mapped to a part that is not placeable stay.
    placement::expectKept(before, current(),
                          {{kFixedDesk, {kDeskRatio}},
                           {kRatioChair, {kChairFixed}},
                           {kMirroredChair, {kChairFixed}},
                           {kFixedStool, {kChairFixed}},
                           {kRatioTable, {kDeskRatio, 1.2, 0.7}},
                           {kDoor, {kDoorWide}}},
                          alertTexts().back(), {.refused = 2});
}

TEST_F(Placement, AnElementWhosePartHasNoNameIsReportedForThatAndLeftAlone) {
    start("sizes.json", "sizes-table.xml");
    const json before = current();
    run("Skellow Missing Parts");
    placement::expectKept(before, current(), {}, alertTexts().back(), {.unnamed = 1});
}

}   // namespace
