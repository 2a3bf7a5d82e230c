// The project's settings as the Project reads them from the host: units, north, notes, the layer
// combination, the shared layer settings and the tool default's layer.
#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <FourCC.h>
#include <HostDialogs.h>
#include <HostRecords.h>

#include "AttributeFixture.h"
#include "Project/ElementLink.h"
#include "Project/LayerCombination.h"
#include "Project/LayerMap.h"
#include "Project/Project.h"

namespace {

using tarnwick::AttributeType;
using tarnwick::ElementLink;
using tarnwick::Layer;

constexpr double kNorthUp = 1.5707963267948966;

class ProjectSettings : public AttributeFixture {
protected:
    static constexpr std::int16_t kRemote = 8;   // a layer outside the member's workspace
    static constexpr std::int16_t kPlot = 1;     // a layer combination
    static constexpr std::int32_t kToolVariation = 42;

    void SetUp() override {
        AttributeFixture::SetUp();
        host_->project().state.attributes.push_back(layer(kRemote, "Remote", host::kLayerOutsideWorkspace));
        host::sortAttributes(host_->project().state.attributes);
        host::clearUserActions();
        host::clearRecordedAlerts();
    }
    void TearDown() override {
        EXPECT_TRUE(host::scriptErrors().empty()) << host::scriptErrors().front();
        host::clearUserActions();
        host::clearRecordedAlerts();
        AttributeFixture::TearDown();
    }

    host::SimSettings& settings() { return host_->project().state.settings; }

    void script(const char* json) {
        std::string error;
        ASSERT_TRUE(host::parseUserActions(json, "", error)) << error;
    }
    // Each alert as "title|message|button 1|button 2|button 3".
    static std::vector<std::string> shownAlerts() {
        std::vector<std::string> shown;
        for (const host::AlertRecord& a : host::recordedAlerts())
            shown.push_back(a.title + "|" + a.largeText + "|" + a.buttons[0] + "|" + a.buttons[1] + "|" +
                            a.buttons[2]);
        return shown;
    }

    // The object tool's default (variation kToolVariation) lies on this layer.
    void setToolLayer(std::int16_t layerIndex) {
        host::SimToolDefault tool;
        host::ElementHead head{};
        head.type = host::kElementObject;
        head.variation = kToolVariation;
        head.layer = layerIndex;
        std::memcpy(tool.record.data(), &head, sizeof head);
        host_->project().state.defaults[{host::kElementObject, kToolVariation}] = tool;
    }
    bool check(bool silent) {
        ElementLink link(host::kElementObject, kToolVariation);
        return project().checkDefaultLayer(link, silent);
    }
    bool checkInCommand() {
        bool usable = false;
        EXPECT_EQ(inCommand([&] {
                      usable = check(/*silent=*/false);
                      return true;
                  }),
                  0u);
        return usable;
    }

    void share(bool shared, std::int16_t holder, bool connected = true, bool available = true) {
        host::SimTeamwork& teamwork = host_->project().state.teamwork;
        teamwork.shared = shared;
        teamwork.connected = connected;
        teamwork.available = available;
        teamwork.memberId = 1;
        teamwork.members = {{1, 0, "Ann", "ann", host::newGuidBytes()},
                            {2, 0, "Bob", "bob", host::newGuidBytes()}};
        teamwork.lockables.at(0).holder = holder;
    }

    void addPlotCombination() {
        host::SimAttribute plot = attribute(host::kAttributeLayerCombination, kPlot, "Plot");
        const host::LayerStatusRecord records[] = {{kWalls, host::kLayerLocked, 7}, {kDoors, 0, 3}};
        const auto* bytes = reinterpret_cast<const unsigned char*>(records);
        plot.extension[offsetof(host::AttributeExtension, layerStatuses)].assign(bytes,
                                                                                 bytes + sizeof records);
        plot.body[0] = 2;   // the status count
        host_->project().state.attributes.push_back(plot);
        host::sortAttributes(host_->project().state.attributes);
    }
};

TEST_F(ProjectSettings, TellsMetricFromTheWorkingLengthUnit) {
    const std::pair<std::int32_t, bool> cases[] = {
        {host::kLengthUnitMetre, true},         {host::kLengthUnitCentimetre, true},
        {host::kLengthUnitMillimetre, true},    {host::kLengthUnitDecimetre, true},
        {host::kLengthUnitFeetInches, false},   {host::kLengthUnitDecimalFeet, false},
        {host::kLengthUnitDecimalInches, false}};
    for (const auto& [unit, metric] : cases) {
        SCOPED_TRACE(unit);
        settings().lengthUnit = unit;
        EXPECT_EQ(project().isMetric(), metric);
    }
    settings().lengthUnit = host::kLengthUnitMetre;
    host_->injectFault({host::HostSlot::environment, host::fourcc("GPRF")}, 1, host::kErrGeneral);
    EXPECT_FALSE(project().isMetric()) << "a host that cannot say is not taken for metric";
}

TEST_F(ProjectSettings, ChangesTheNorthAngleOnlyInsideACommandAndKeepsTheRestOfTheLocation) {
    tarnwick::Project& p = project();
    settings().location = {19.04, 47.5, 0.25, 60};
    EXPECT_DOUBLE_EQ(p.getNorthAngle(), 0.25);

    EXPECT_FALSE(p.setNorthAngle(1.0)) << "the location is part of the project";
    EXPECT_DOUBLE_EQ(settings().location.north, 0.25);

    ASSERT_EQ(inCommand([&] { return p.setNorthAngle(-0.5); }), 0u);
    EXPECT_EQ(settings().location, (host::SimLocation{19.04, 47.5, -0.5, 60}));
    EXPECT_DOUBLE_EQ(p.getNorthAngle(), -0.5);
    ASSERT_TRUE(host_->undo());
    EXPECT_DOUBLE_EQ(p.getNorthAngle(), 0.25);

    EXPECT_EQ(inCommand([&] { return p.setNorthAngle(std::numeric_limits<double>::quiet_NaN()); }), 1u);
    EXPECT_DOUBLE_EQ(settings().location.north, 0.25);

    host_->injectFault({host::HostSlot::environment, host::fourcc("GPLA")}, 0, host::kErrGeneral);
    EXPECT_DOUBLE_EQ(p.getNorthAngle(), kNorthUp);
    host_->clearCalls();
    EXPECT_EQ(inCommand([&] { return p.setNorthAngle(1.0); }), 1u);
    EXPECT_EQ(host_->countCalls(host::HostSlot::environment, host::fourcc("CPLA")), 0u)
        << "nothing is written over a location that could not be read";
}

TEST_F(ProjectSettings, ReadsEachProjectNoteNoFurtherThanItsField) {
    tarnwick::Project& p = project();
    EXPECT_EQ(p.getProjectCity(), "");
    // A full field has no terminator; the next field follows at once.
    std::string full;
    while (full.size() < host::kProjectNoteBytes) full += "\xC3\xA9";   // é, two bytes
    settings().projectName = "Tower";
    settings().city = "K\xC3\xB6ln";
    settings().postcode = full;
    settings().architect = "Ada";
    EXPECT_EQ(p.getProjectName(), "Tower");
    EXPECT_EQ(p.getProjectCity(), "K\xC3\xB6ln");
    EXPECT_EQ(std::string(p.getProjectPostcode().getView()), full);
    EXPECT_EQ(p.getProjectArchitect(), "Ada");

    host_->injectFault({host::HostSlot::environment, host::fourcc("GPRN")}, 1, host::kErrGeneral);
    EXPECT_EQ(p.getProjectName(), "");
}

TEST_F(ProjectSettings, TakesAndGivesBackTheLayerSettingsOnlyWhenTheLockAllows) {
    struct Case {
        const char* what;
        bool shared;
        std::int16_t holder;
        bool connected;
        bool available;
        bool reserves;   // from this state
        bool releases;   // from this state
    };
    const Case cases[] = {
        {"not shared", false, 0, true, true, false, false},
        {"free", true, 0, true, true, true, false},
        {"mine", true, 1, true, true, false, true},
        {"another member's", true, 2, true, true, false, false},
        {"mine, not connected", true, 1, false, true, false, false},
        {"free, server busy", true, 0, true, false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        host::SimTeamwork& teamwork = host_->project().state.teamwork;
        share(c.shared, c.holder, c.connected, c.available);
        const host::SimTeamwork before = teamwork;
        EXPECT_EQ(project().reserveAttributeSettings(AttributeType::layer), c.reserves);
        EXPECT_EQ(teamwork.lockables[0].holder, c.reserves ? 1 : before.lockables[0].holder);
        teamwork = before;
        EXPECT_EQ(project().releaseAttributeSettings(AttributeType::layer), c.releases);
        EXPECT_EQ(teamwork.lockables[0].holder, c.releases ? 0 : before.lockables[0].holder);
    }

    share(true, 0);
    host_->clearCalls();
    EXPECT_FALSE(project().reserveAttributeSettings(AttributeType::pen))
        << "only layers have shared settings";
    EXPECT_EQ(host_->countCalls(host::HostSlot::findLockable), 0u);
    host_->project().state.teamwork.lockables.clear();
    EXPECT_FALSE(project().reserveAttributeSettings(AttributeType::layer)) << "no such lockable";
}

TEST_F(ProjectSettings, GivesTheCurrentLayerCombinationsMapOrElseEveryLayer) {
    tarnwick::Project& p = project();
    EXPECT_EQ(p.getLayerCombination(), nullptr);
    std::unique_ptr<tarnwick::LayerMap> all = p.getLayerMap();
    ASSERT_NE(all, nullptr);
    EXPECT_EQ(all->getCount(), 7u) << "layers 1 to 5, 7 and 8";
    EXPECT_EQ(all->getStatus(kDoors).isHidden(), true);
    EXPECT_EQ(all->getStatus(kRoof).isLocked(), true);

    addPlotCombination();
    host_->project().state.currentLayerCombination = kPlot;
    std::unique_ptr<tarnwick::LayerCombination> combination = p.getLayerCombination();
    ASSERT_NE(combination, nullptr);
    EXPECT_EQ(combination->getName(), "Plot");
    std::unique_ptr<tarnwick::LayerMap> map = p.getLayerMap();
    ASSERT_NE(map, nullptr);
    EXPECT_EQ(map->getCount(), 2u);
    EXPECT_EQ(map->getStatus(kWalls), Layer::Status(host::kLayerLocked, 7));
    EXPECT_EQ(map->getStatus(kDoors), Layer::Status(0, 3));

    host_->injectFault({host::HostSlot::getAttributeExtension, std::nullopt}, 1, host::kErrGeneral);
    EXPECT_EQ(p.getLayerMap(), nullptr) << "not every layer when the combination's own map cannot be read";

    host_->project().state.currentLayerCombination = 9;   // gone meanwhile
    EXPECT_EQ(p.getLayerCombination(), nullptr);
    host_->injectFault({host::HostSlot::environment, host::fourcc("GCLC")}, 1, host::kErrGeneral);
    EXPECT_EQ(p.getLayerCombination(), nullptr);
}

TEST_F(ProjectSettings, AsksAboutAnUnusableToolLayerAndShowsOrUnlocksItOnRequest) {
    struct Case {
        const char* what;
        std::int16_t layer;
        const char* answers;
        bool usable;
        const char* alert;          // "" when none is shown
        std::uint16_t flagsAfter;   // of the layer, when it is there
    };
    const Case cases[] = {
        {"usable", kWalls, "[]", true, "", 0},
        {"hidden, shown", kDoors, R"([{"do": "answerAlert", "button": 3}])", true,
         "Editing|The layer named \"Doors\" is hidden. Please show it or choose another layer for this "
         "tool.|Choose Layer|Cancel|Show Layer",
         0},
        {"locked, unlocked", kRoof, R"([{"do": "answerAlert", "button": 3}])", true,
         "Editing|The layer named \"Roof\" is locked. Please unlock it or choose another layer for this "
         "tool.|Choose Layer|Cancel|Unlock Layer",
         0x10},
        {"hidden and locked: both undone", kSite, R"([{"do": "answerAlert", "button": 3}])", true,
         "Editing|The layer named \"Site\" is locked. Please unlock it or choose another layer for this "
         "tool.|Choose Layer|Cancel|Unlock Layer",
         0},
        {"locked, cancelled", kRoof, R"([{"do": "answerAlert", "button": 2}])", false,
         "Editing|The layer named \"Roof\" is locked. Please unlock it or choose another layer for this "
         "tool.|Choose Layer|Cancel|Unlock Layer",
         host::kLayerLocked | 0x10},
        {"outside the workspace", kRemote, R"([{"do": "answerAlert", "button": 2}])", false,
         "Editing|The layer named \"Remote\" is not in your workspace. Please choose another layer for "
         "this tool.|Choose Layer|Cancel|",
         host::kLayerOutsideWorkspace},
        {"missing", kGone, R"([{"do": "answerAlert", "button": 2}])", false,
         "Editing|The layer previously selected for this tool is missing. Please choose another layer for "
         "this tool.|Choose Layer|Cancel|",
         0},
    };
    std::vector<host::SimAttribute>& attributes = host_->project().state.attributes;
    const std::vector<host::SimAttribute> original = attributes;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        attributes = original;
        host::clearRecordedAlerts();
        setToolLayer(c.layer);
        script(c.answers);
        EXPECT_EQ(checkInCommand(), c.usable);
        const std::vector<std::string> expected =
            *c.alert ? std::vector<std::string>{c.alert} : std::vector<std::string>{};
        EXPECT_EQ(shownAlerts(), expected);
        if (!c.usable) {
            EXPECT_EQ(attributes, original) << "no layer is changed or made";
        }
        if (simLayer(c.layer) != nullptr) {
            EXPECT_EQ(layerFlags(c.layer), c.flagsAfter);
        }
    }
}

TEST_F(ProjectSettings, ChecksTheToolLayerAgainAfterTheUserChoseOne) {
    setToolLayer(kDoors);
    script(R"([{"do": "answerAlert", "button": 1}, {"do": "settingsDialog", "accept": true},
               {"do": "answerAlert", "button": 2}])");
    host_->clearCalls();
    EXPECT_FALSE(checkInCommand());
    EXPECT_EQ(host::recordedAlerts().size(), 2u);
    EXPECT_EQ(host_->countCalls(host::HostSlot::interface, host::fourcc("SETD")), 1u);
    EXPECT_EQ(host_->countCalls(host::HostSlot::getElementDefaults), 2u) << "read again after the dialog";

    host::clearRecordedAlerts();
    script(R"([{"do": "answerAlert", "button": 1}, {"do": "settingsDialog", "accept": false}])");
    EXPECT_FALSE(checkInCommand()) << "the user cancelled the tool's settings";
    EXPECT_EQ(host::recordedAlerts().size(), 1u);
}

// A batch run presses the first button of every alert and accepts every settings dialog: the check
// must end all the same.
TEST_F(ProjectSettings, EndsWhenTheUserKeepsChoosingTheSameLayer) {
    setToolLayer(kDoors);
    host_->clearCalls();
    EXPECT_FALSE(checkInCommand());
    EXPECT_EQ(host::recordedAlerts().size(), 2u);
    EXPECT_EQ(host_->countCalls(host::HostSlot::interface, host::fourcc("SETD")), 2u);
}

TEST_F(ProjectSettings, ReportsAnUnusableToolLayerWhenItCannotBeChangedOrAsked) {
    setToolLayer(kDoors);
    EXPECT_FALSE(check(/*silent=*/true));
    EXPECT_TRUE(host::recordedAlerts().empty()) << "silent: nobody is asked";

    // Outside an undoable command the host refuses to show the layer: that is no success.
    script(R"([{"do": "answerAlert", "button": 3}])");
    EXPECT_FALSE(check(/*silent=*/false));
    EXPECT_EQ(layerFlags(kDoors), host::kLayerHidden);

    host::clearRecordedAlerts();
    host_->injectFault({host::HostSlot::getElementDefaults, std::nullopt}, 1, host::kErrGeneral);
    EXPECT_FALSE(check(/*silent=*/false));
    EXPECT_TRUE(host::recordedAlerts().empty());
}

}   // namespace
