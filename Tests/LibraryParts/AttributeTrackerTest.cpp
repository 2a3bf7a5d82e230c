#include "LibraryParts/AttributeTracker.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "LibraryParts/FillParameter.h"
#include "LibraryParts/MaterialParameter.h"
#include "LibraryParts/ParameterList.h"
#include "LibraryParts/PenParameter.h"
#include "Project/AttributeLink.h"
#include "Project/Fill.h"
#include "Project/HostProject.h"
#include "Project/Material.h"
#include "Project/Pen.h"

using namespace tarnwick;

namespace {
// Attributes by index only: nothing here reads a host record. The links default to the project's
// Specification, which the fixture drops again.
class AttributeTrackerTest : public testing::Test {
protected:
    void TearDown() override { HostProject::destroy(); }

    static Pen pen(std::int32_t index) { return Pen(AttributeLink(index, AttributeType::pen)); }
    static Fill fill(std::int32_t index) { return Fill(AttributeLink(index, AttributeType::fill)); }

    static std::vector<std::int16_t> column(const Parameter* parameter) {
        std::vector<std::int16_t> values;
        const auto* integer = dynamic_cast<const IntegerParameter*>(parameter);
        if (integer == nullptr) return values;
        for (std::uint64_t row = 0; row < integer->getRowCount(); ++row)
            values.push_back(integer->get(row, 0));
        return values;
    }

    ParameterList list_;
    AttributeTracker tracker_{&list_};
};
}   // namespace

TEST_F(AttributeTrackerTest, AttributeParametersHoldTheIndexInEveryCellAndGiveTheAttributeBack) {
    const struct {
        std::uint64_t rows, columns;
        bool array;
        bool isArray;
        std::uint64_t cells;
    } cases[] = {{1, 1, false, false, 1},
                 {1, 1, true, true, 1},
                 {3, 1, false, true, 3},
                 {2, 3, false, true, 6},
                 {0, 2, false, true, 2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.rows) + "x" + std::to_string(c.columns));
        const FillParameter parameter("fillType", "Fill", fill(7), 0, c.rows, c.columns, c.array);
        EXPECT_EQ(parameter.isArray(), c.isArray);
        EXPECT_EQ(parameter.getValues(), std::vector<std::int16_t>(c.cells, 7));
        const std::unique_ptr<Fill> attribute = parameter.getAttribute();
        EXPECT_EQ(attribute->getIndex(), 7);
        EXPECT_EQ(attribute->getType(), AttributeType::fill);
    }
    const MaterialParameter material("mat", "", Material(AttributeLink(12, AttributeType::material)), 0, 1, 1,
                                     false);
    EXPECT_EQ(material.getAttribute()->getLink().getIndex(), 12);
}

TEST_F(AttributeTrackerTest, StartsWithNothingInForceAndAResetForgetsTheScriptBefore) {
    for (const AttributeType kind :
         {AttributeType::lineStyle, AttributeType::fill, AttributeType::finish, AttributeType::material}) {
        EXPECT_EQ(tracker_.getCurrent(kind), AttributeTracker::kNone);
        EXPECT_FALSE(tracker_.isSet(kind));   // "none yet" is not an attribute in force
        EXPECT_EQ(tracker_.getMode(kind), 0);
    }
    EXPECT_FALSE(tracker_.isSet(AttributeType::pen, 0));
    tracker_.setCurrent(AttributeType::fill, 5);
    tracker_.setCurrent(AttributeType::pen, 3, 2);
    tracker_.setLinearGradientName("tarnwickLinearGradient");
    EXPECT_TRUE(tracker_.isSet(AttributeType::fill));
    EXPECT_TRUE(tracker_.isSet(AttributeType::pen, 2));
    EXPECT_FALSE(tracker_.isSet(AttributeType::pen, 1));
    EXPECT_EQ(tracker_.getCurrent(AttributeType::pen), 3u);

    ParameterList next;
    tracker_.reset(&next);
    EXPECT_EQ(tracker_.getOwner(), &next);
    EXPECT_EQ(tracker_.getCurrent(AttributeType::fill), AttributeTracker::kNone);
    EXPECT_FALSE(tracker_.isSet(AttributeType::pen, 2));
    // The next script must define its gradient again before selecting it.
    EXPECT_TRUE(tracker_.getLinearGradientName().isEmpty());
    // Unknown kinds and pen slots are ignored.
    tracker_.setNames(AttributeType::layer, "layer", "", 0);
    tracker_.setNames(AttributeType::pen, "pen", "", -1, 4);
    EXPECT_EQ(tracker_.getMode(AttributeType::pen, 4), 0);
    tracker_.setCurrent(AttributeType::pen, 9, 7);
    EXPECT_EQ(tracker_.getCurrent(AttributeType::pen), 0u);
}

TEST_F(AttributeTrackerTest, TellsAPenChangeBySlotAndMode) {
    tracker_.setCurrent(AttributeType::pen, 3, 0);
    EXPECT_FALSE(tracker_.isChanged(pen(3), 0));
    EXPECT_TRUE(tracker_.isChanged(pen(4), 0));
    EXPECT_TRUE(tracker_.isChanged(pen(3), 1));   // another slot: the script's pen may be another's
    tracker_.setNames(AttributeType::pen, "", "", -3, 1);
    EXPECT_FALSE(tracker_.isChanged(pen(3), 1));   // by index only: the pen in force is the pen
    tracker_.setNames(AttributeType::pen, "", "", -4, 1);
    EXPECT_FALSE(tracker_.isChanged(pen(8), 1));   // never written, so never changed
    EXPECT_TRUE(tracker_.isChanged(fill(2)));
    tracker_.setCurrent(AttributeType::fill, 2);
    EXPECT_FALSE(tracker_.isChanged(fill(2)));
}

TEST_F(AttributeTrackerTest, ExposesAttributesByTheirNamingMode) {
    std::uint64_t row = 99;
    // The same fill twice, only when changed: a parameter the first time, nothing the second.
    tracker_.setNames(AttributeType::fill, "fillType", "Fill", -1);
    EXPECT_NE(tracker_.apply(fill(5), row, true), nullptr);
    EXPECT_EQ(tracker_.apply(fill(5), row, true), nullptr);
    EXPECT_EQ(tracker_.getCurrent(AttributeType::fill), 5u);

    // Mode 0: one array parameter, a row per fill.
    ParameterList arrays;
    tracker_.reset(&arrays);
    tracker_.setNames(AttributeType::fill, "fills", "Fills", 0);
    std::vector<std::uint64_t> rows;
    for (const int index : {5, 7, 5}) {
        ASSERT_NE(tracker_.apply(fill(index), row, false), nullptr);
        rows.push_back(row);
    }
    EXPECT_EQ(rows, (std::vector<std::uint64_t>{0, 1, 0}));
    ASSERT_EQ(arrays.size(), 1u);
    EXPECT_EQ(column(arrays.at(0)), (std::vector<std::int16_t>{5, 7}));

    // Numbered: past the highest number of the base name.
    ParameterList numbered;
    numbered.push_back(std::make_unique<PenParameter>("B1", "", pen(3), 0, 1, 1, false));
    numbered.push_back(std::make_unique<PenParameter>("B2", "", pen(4), 0, 1, 1, false));
    tracker_.reset(&numbered);
    tracker_.setNames(AttributeType::pen, "B", "Pen", 1, 0);
    const Parameter* made = tracker_.apply(pen(9), row, false, 0);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->getName(), "B3");
    EXPECT_FALSE(made->isArray());
    EXPECT_EQ(column(made), (std::vector<std::int16_t>{9}));
    EXPECT_EQ(tracker_.apply(pen(4), row, false, 0), numbered.at(1));   // the one holding it already

    // Mode -2 uses only a parameter that is there.
    ParameterList existing;
    tracker_.reset(&existing);
    tracker_.setNames(AttributeType::fill, "fillType", "Fill", -2);
    EXPECT_EQ(tracker_.apply(fill(5), row, false), nullptr);
    EXPECT_EQ(existing.size(), 0u);

    // Modes -3 and -4 never make one, and neither does a missing list or name.
    for (const std::int32_t mode : {-3, -4}) {
        tracker_.setNames(AttributeType::fill, "fillType", "Fill", mode);
        EXPECT_EQ(tracker_.apply(fill(5), row, false), nullptr);
    }
    tracker_.setNames(AttributeType::fill, "", "Fill", -1);
    EXPECT_EQ(tracker_.apply(fill(5), row, false), nullptr);
    EXPECT_EQ(existing.size(), 0u);
}

TEST_F(AttributeTrackerTest, NeverBreaksOrDuplicatesAParameterTheListHolds) {
    std::uint64_t row = 0;
    // A scalar of the array name that holds another fill grows into an array instead of throwing.
    list_.push_back(std::make_unique<FillParameter>("fills", "", fill(3), 0, 1, 1, false));
    tracker_.setNames(AttributeType::fill, "fills", "", 0);
    EXPECT_EQ(tracker_.apply(fill(6), row, false), list_.at(0));
    EXPECT_EQ(row, 1u);
    EXPECT_TRUE(list_.at(0)->isArray());
    EXPECT_EQ(column(list_.at(0)), (std::vector<std::int16_t>{3, 6}));

    // A name held by another kind, or in another case, is not made a second time: script names
    // ignore case.
    list_.push_back(std::make_unique<PenParameter>("hatchPen", "", pen(1), 0, 1, 1, false));
    list_.push_back(std::make_unique<FillParameter>("SHADE", "", fill(1), 0, 1, 1, false));
    tracker_.setNames(AttributeType::fill, "hatchPen", "", 0);
    EXPECT_EQ(tracker_.apply(fill(6), row, false), nullptr);
    tracker_.setNames(AttributeType::fill, "shade", "", -1);
    EXPECT_EQ(tracker_.apply(fill(6), row, false), nullptr);
    tracker_.setNames(AttributeType::fill, "hatchPen", "", -1);
    EXPECT_EQ(tracker_.apply(fill(6), row, false), nullptr);
    // A numbered name that another kind took is skipped.
    list_.push_back(std::make_unique<PenParameter>("fill1", "", pen(1), 0, 1, 1, false));
    tracker_.setNames(AttributeType::fill, "fill", "", 1);
    const Parameter* numbered = tracker_.apply(fill(6), row, false);
    ASSERT_NE(numbered, nullptr);
    EXPECT_EQ(numbered->getName(), "fill2");
    EXPECT_EQ(list_.size(), 5u);
}
