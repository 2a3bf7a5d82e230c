// The replacement run on a fixture project (run.json): grouped objects switched to their mapped parts
// in one undoable command, placement kept, and the counts the report shows.
#include <cmath>
#include <cstring>
#include <fstream>
#include <functional>
#include <numbers>
#include <sstream>

#include <FourCC.h>
#include <HostElementRecords.h>
#include <HostRecords.h>
#include <HostResult.h>
#include <SimProject.h>

#include "Elements/Element.h"
#include "Environment/HostApi.h"
#include "Project/Drawing.h"
#include "Project/Library.h"
#include "Project/Plan.h"
#include "Project/Project.h"
#include "Project/Specification.h"
#include "Skellowing/ObjectMap.h"
#include "Skellowing/SkellowRun.h"
#include "SkellowingFixture.h"

namespace {

using skellow::ObjectMapType;
using skellow::SkellowReport;
using skellow::SourceGroupMap;
using tarnwick::String;

constexpr int kTurnedChair = 0, kLockedChair = 1, kLampOne = 2, kLampTwo = 3, kGhost = 4;
constexpr std::int32_t kTable = 2;   // library index
constexpr std::int16_t kFurniture = 2;

class SkellowRunTest : public SkellowingFixture {
protected:
    void SetUp() override {
        SkellowingFixture::SetUp();
        std::ifstream file(std::string(TEST_SOURCE_DIR) + "/run.json");
        std::stringstream text;
        text << file.rdbuf();
        std::string error;
        ASSERT_TRUE(host_->project().loadText(text.str(), error)) << error;
        tarnwick::Library::registerCreators();
        tarnwick::Specification::registerCreators();
        tarnwick::Drawing::unregisterCreators();
        tarnwick::Drawing::registerCreators();
        tarnwick::Addon::getInstance()->installTools();   // the door, window, object and lamp kinds
    }
    void TearDown() override {
        tarnwick::Drawing::unregisterCreators();
        tarnwick::Specification::unregisterCreators();
        tarnwick::Library::unregisterCreators();
        SkellowingFixture::TearDown();
    }

    tarnwick::Plan& plan() { return tarnwick::HostProject::getProject()->getPlan(); }
    const host::SimElement& sim(int index) const {
        return std::as_const(host_->project()).state.elements[static_cast<std::size_t>(index)];
    }
    tarnwick::ElementLink link(int index) {
        return tarnwick::ElementLink(tarnwick::Guid(host::toGuidRecord(sim(index).guid())), &plan());
    }
    template <typename T>
    T field(int index, std::size_t offset) const {
        T value;
        std::memcpy(&value, sim(index).record.data() + offset, sizeof value);
        return value;
    }

    // Chairs become tables, the element without a part becomes a table, lamps map to a part that is
    // not loaded; all in the "Default" configuration of the library-part kind.
    void map(skellow::ObjectMap& table) {
        table.ensureDefaults();
        const auto mapTo = [&](const skellow::SourceKey& key, const char* part) {
            String name("Default");
            skellow::ObjectSpecification* made = table.findSpecification(key, name, ObjectMapType::gsm, true);
            ASSERT_NE(made, nullptr);
            made->setTypedName(String(part));
        };
        mapTo({host::kLibraryObject, String("Chair")}, "Table");
        mapTo({host::kLibraryObject, String("Ghost")}, "Table");
        mapTo({host::kLibraryLamp, String("Lamp A")}, "Lamp Z");
    }
    skellow::SourceSearch groups() {
        skellow::SourceSearch found;
        SourceGroupMap& made = found.groups;
        made[{host::kLibraryObject, String("Chair")}] = {link(kTurnedChair), link(kLockedChair)};
        made[{host::kLibraryObject, String("Ghost")}] = {link(kGhost)};
        made[{host::kLibraryLamp, String("Lamp A")}] = {link(kLampOne), link(kLampTwo)};
        made[{host::kLibraryObject, String("Unmapped")}] = {link(kLampOne)};
        return found;
    }

    SkellowReport run(const skellow::ObjectMap& table, const skellow::SourceSearch& found,
                      ObjectMapType kind) {
        SkellowReport report;
        struct Call {
            std::function<void()> body;
            static std::uint32_t run(void* data) {
                static_cast<Call*>(data)->body();
                return 0;
            }
        } call{[&] {
            report = skellow::skellowElements(kind, plan(),
                                              *tarnwick::HostProject::getProject()->getSpecification(), found,
                                              table, String("Default"));
        }};
        tarnwick::hostApi().call<host::HostSlot::undoableCommand>(u"Skellowing", &Call::run,
                                                                  static_cast<void*>(&call));
        return report;
    }
};

TEST_F(SkellowRunTest, SwitchesGroupedPartsKeepingPlacementAndCountsWhatFailed) {
    skellow::ObjectMap table;
    map(table);
    // The locked chair cannot be unlocked.
    host_->injectFault({host::HostSlot::elementTools, host::fourcc("ULCK")}, 0, host::kErrRefusedCommand);
    tarnwick::Element::memoLoadingSuspended = 1;
    const SkellowReport report = run(table, groups(), ObjectMapType::gsm);
    EXPECT_EQ(tarnwick::Element::memoLoadingSuspended, 1);
    tarnwick::Element::memoLoadingSuspended = 0;

    EXPECT_EQ(report.total, 5u);   // the unmapped group does not count
    EXPECT_EQ(report.success, 2u);
    EXPECT_EQ(report.missing, 2u);   // both lamps, one group
    EXPECT_EQ(report.getFailures(), 1u);

    // The turned chair is a table turned and raised as before, at the chair's ratios (1 of the table's 1.2
    // by 0.8, where the chair was 0.5 by 0.6), with its front edge's midpoint where it was: moved by half
    // the change of width, turned with it.
    EXPECT_EQ(field<std::int32_t>(kTurnedChair, host::kObjectLibraryIndexOffset), kTable);
    EXPECT_NEAR(field<double>(kTurnedChair, host::kObjectAngleOffset), std::numbers::pi / 2, 1e-9);
    EXPECT_NEAR(field<double>(kTurnedChair, host::kObjectElevationOffset), 0.25, 1e-9);
    EXPECT_NEAR(field<double>(kTurnedChair, host::kObjectSizeOffset), 1.0, 1e-9);
    EXPECT_NEAR(field<double>(kTurnedChair, host::kObjectSizeOffset + 8), 1.0, 1e-9);
    EXPECT_NEAR(field<double>(kTurnedChair, host::kObjectPositionOffset), 2.0, 1e-9);
    EXPECT_NEAR(field<double>(kTurnedChair, host::kObjectPositionOffset + 8), 3.0 - (1.2 - 0.5) / 2, 1e-9);
    EXPECT_TRUE(host_->project().findAttribute(host::kAttributeLayer, kFurniture)->flags &
                host::kLayerLocked);
    // The element without a part took the table; the locked chair and the lamps kept theirs.
    EXPECT_EQ(field<std::int32_t>(kGhost, host::kObjectLibraryIndexOffset), kTable);
    EXPECT_EQ(field<std::int32_t>(kLockedChair, host::kObjectLibraryIndexOffset), 1);
    EXPECT_NEAR(field<double>(kLockedChair, host::kObjectPositionOffset), 4.0, 1e-9);
    EXPECT_EQ(field<std::int32_t>(kLampOne, host::kObjectLibraryIndexOffset), 3);

    const auto alerts = host::recordedAlerts();
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_EQ(
        alerts[0].largeText,
        "2 objects were successfully skellowed\n"
        "2 objects named a library part that could not be found in the loaded libraries. Please check "
        "that the appropriate libraries are selected in the Library Manager.\n"
        "1 objects could not be skellowed. Please ensure all objects are unlocked and that you have the "
        "right to edit them (for TeameWork files).\n");
}

TEST_F(SkellowRunTest, MappingsOfOtherConfigurationsAreNotApplied) {
    // The mappings live in the library-part kind's "Default"; an IFC run finds them only there.
    skellow::ObjectMap table;
    map(table);
    const SkellowReport report = run(table, groups(), ObjectMapType::ifc);
    EXPECT_EQ(report.total, 0u);
    EXPECT_EQ(report.attempted, 0u);
    EXPECT_EQ(field<std::int32_t>(kTurnedChair, host::kObjectLibraryIndexOffset), 1);
    const auto alerts = host::recordedAlerts();
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_EQ(alerts[0].largeText, "No relevant objects were found to be skellowed");
}

}   // namespace
