// The style update over a small project of wall panels whose parameters show a style per row: selected
// or all elements, the question before the undoable step, and one undo step for elements and styles.
#include "Styles/PresetUpdater.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include <FourCC.h>
#include <HostDialogs.h>
#include <HostRecords.h>
#include <SimProject.h>

#include "Elements/ComponentElem.h"
#include "Environment/Addon.h"
#include "Environment/Event.h"
#include "Environment/Host.h"
#include "LibraryParts/ParameterList.h"
#include "Project/Specification.h"
#include "Styles/PresetList.h"
#include "Styles/TarnwickLibrary.h"
#include "Support/DrawingFixture.h"
#include "TestPresets.h"

using tarnwick::Guid;
using tarnwick::PresetDatabase;
using tarnwick::String;

namespace {

class TestAddon : public tarnwick::Addon {
public:
    TestAddon() : Addon(32701) {}
};

constexpr const char* kStone = "20000000-0000-4000-8000-000000000001";
constexpr int kPanel = 0, kOtherSubtype = 1, kSelectedPanel = 2, kStoringPanel = 3;

// A wall panel of the subtype (variation) with the style cells of one row and its thickness cells.
std::string panel(int number, int variation, const char* key, int status, const char* name,
                  double thickness) {
    return R"({"type": 6, "guid": "10000000-0000-4000-8000-00000000000)" + std::to_string(number) +
           R"(", "storey": 0, "layer": 1, "variation": )" + std::to_string(variation) +
           R"(, "libraryIndex": 1, "position": [0, 0], "size": [1, 1], "memo": {"parameters": [
             {"name": "wallName", "type": 12, "value": [[")" +
           name + R"("]]},
             {"name": "wallEcho", "type": 12, "value": [[""]]},
             {"name": "wallKey", "type": 12, "value": [[")" +
           key + R"("]]},
             {"name": "wallStatus", "type": 1, "value": [[)" +
           std::to_string(status) + R"(]]},
             {"name": "wallMenu", "type": 12, "value": [[""]]},
             {"name": "wallThickness", "type": 4, "value": [[)" +
           std::to_string(thickness) + R"(]]},
             {"name": "wallOld", "type": 4, "value": [[)" +
           std::to_string(thickness) + R"(]]}]}})";
}

std::unique_ptr<tarnwick::Preset> wallTemplate(const char* thicknessParameter) {
    auto preset = std::make_unique<tarnwick::Preset>("wallStyle", "wallMenu");
    preset->nameParameter.name = "wallName";
    preset->echoParameter.name = "wallEcho";
    preset->keyParameter.name = "wallKey";
    preset->statusParameter.name = "wallStatus";
    tarnwick::PresetSetting thickness{String("thickness"),
                                      tarnwick::PresetParameter(String(thicknessParameter))};
    preset->settingList.add(thickness);
    preset->subtypes = {3};
    return preset;
}

}   // namespace

class PresetUpdaterTest : public DrawingFixture {
protected:
    void SetUp() override {
        DrawingFixture::SetUp();
        ASSERT_NO_FATAL_FAILURE(load(""));
        tarnwick::Drawing::registerCreators();
        tarnwick::Specification::registerCreators();
        tarnwick::registerAttributeCreators();
        tarnwick::Addon::setInstance(std::make_unique<TestAddon>());
        PresetDatabase::registerType(std::make_unique<FieldStyle>("wallStyle"), "Wall", "WL", 1);
        // Two templates share the key parameter: the later one, which writes wallThickness, is used.
        auto& presets = tarnwick::Addon::getInstance()->getTarnwickLibrary().getPresets();
        presets.add(wallTemplate("wallOld"));
        presets.add(wallTemplate("wallThickness"));
        auto stone = std::make_shared<FieldStyle>("wallStyle");
        stone->name = "Stone";
        stone->field<tarnwick::PresetFieldType<tarnwick::RealSetting, double>>("thickness").setValue(0.2);
        styles().put({Guid(String(kStone)), stone});
        host::clearRecordedAlerts();
        host::clearUserActions();
    }
    void TearDown() override {
        tarnwick::Addon::destroyInstance();
        PresetDatabase::clearTypes();
        tarnwick::Specification::unregisterCreators();
        host::clearRecordedAlerts();
        host::clearUserActions();
        DrawingFixture::TearDown();
    }

    // The project of four panels, after the given ones.
    void load(const std::string& before) {
        const std::string json =
            R"({"name": "Panels", "storeys": [{"index": 0, "name": "Ground", "level": 0, "height": 3}],
            "layers": [{"index": 1, "name": "ArchiCAD Layer"}], "library": {"parts": [{"type": 4, "name": "Panel",
            "uniqueId": "{C0000000-0000-4000-8000-000000000001}"}]}, "elements": [)" +
            before + panel(1, 3, kStone, 0, "", 0.1) + "," + panel(2, 5, kStone, 0, "", 0.1) + "," +
            panel(3, 3, kStone, 0, "", 0.1) + "," + panel(4, 3, "", 2, "Granite", 0.4) + "]}";
        std::string error;
        ASSERT_TRUE(host_->project().loadText(json, error)) << error;
    }
    // Makes the element a part of another, so that it cannot be made editable.
    void makePartOf(int index, int owner) {
        host::SimElement& element = host_->project().state.elements[static_cast<std::size_t>(index)];
        host::ElementHead head = element.head();
        head.secondIdentifier =
            host::toGuidRecord(host_->project().state.elements[static_cast<std::size_t>(owner)].guid());
        element.setHead(head);
    }
    PresetDatabase& styles() {
        return dynamic_cast<PresetDatabase&>(*project().getPackage(PresetDatabase::kCode));
    }
    // The names of the project's styles, in order.
    std::vector<std::string> styleNames() {
        std::vector<std::string> names;
        for (const auto& entry : styles().entries()) names.emplace_back(entry.second->getName().getView());
        std::sort(names.begin(), names.end());
        return names;
    }
    void selectPanel(int index) {
        host::SimSelection& selection = host_->project().viewOf({host::kDatabasePlan, {}}).selection;
        selection.kind = host::kSelectionElements;
        selection.elements = {host_->project().state.elements[static_cast<std::size_t>(index)].guid()};
    }
    std::string cell(int index, const char* parameter) {
        const auto& guid = host_->project().state.elements[static_cast<std::size_t>(index)].guid();
        const tarnwick::ElementLink link(Guid(host::toGuidRecord(guid)), &plan());
        const std::unique_ptr<tarnwick::Element> element = plan().getElement(link);
        auto* const component = dynamic_cast<tarnwick::ComponentElem*>(element.get());
        if (!component) return "<no element>";
        const tarnwick::Parameter* found = component->parameters().getParameters().find(parameter);
        return found ? std::string(found->getText(0, 0).getView()) : "<none>";
    }
    bool update() {
        return tarnwick::Addon::getInstance()->publishExternalEvent(
            tarnwick::Event(host::fourcc("HOST"), host::fourcc("UEPR")));
    }
    void answer(int button) {
        std::string error;
        ASSERT_TRUE(host::parseUserActions(
            R"([{"do": "answerAlert", "button": )" + std::to_string(button) + "}]", "", error))
            << error;
    }
    // An update of every element, the question answered yes, that the host does not take back.
    void updateAll() {
        ASSERT_NO_FATAL_FAILURE(answer(1));
        EXPECT_TRUE(update());
        EXPECT_EQ(tarnwick::Host::takeFailure(), 0u);
    }
};

TEST_F(PresetUpdaterTest, UpdatesOnlyTheSelectedElementsWithoutAsking) {
    selectPanel(kSelectedPanel);
    EXPECT_TRUE(update());
    EXPECT_TRUE(host::recordedAlerts().empty());
    EXPECT_EQ(cell(kSelectedPanel, "wallThickness"), "0.2");
    EXPECT_EQ(cell(kSelectedPanel, "wallOld"), "0.1");   // the earlier template of the key is not used
    EXPECT_EQ(cell(kSelectedPanel, "wallName"), "Stone");
    EXPECT_EQ(cell(kPanel, "wallThickness"), "0.1");
    ASSERT_EQ(host_->project().undoSteps().size(), 1u);
    EXPECT_EQ(host_->project().undoSteps().back().name, "Update Styles");
}

TEST_F(PresetUpdaterTest, AsksInsideTheUndoStepAndADeclineChangesNothing) {
    answer(2);
    EXPECT_TRUE(update());
    ASSERT_EQ(host::recordedAlerts().size(), 1u);
    EXPECT_EQ(host::recordedAlerts()[0].largeText,
              "No elements are selected – do you wish to update all elements with the latest styles?");
    EXPECT_EQ(tarnwick::Host::takeFailure(), 0u);   // a decline is no failure
    EXPECT_EQ(cell(kPanel, "wallThickness"), "0.1");
    EXPECT_EQ(cell(kStoringPanel, "wallStatus"), "2");

    updateAll();
    EXPECT_EQ(cell(kPanel, "wallThickness"), "0.2");
    EXPECT_EQ(cell(kSelectedPanel, "wallThickness"), "0.2");
    EXPECT_EQ(cell(kOtherSubtype, "wallThickness"), "0.1");   // no template for its subtype
    EXPECT_EQ(host_->project().undoSteps().back().name, "Update Styles");
}

TEST_F(PresetUpdaterTest, WithoutTemplatesNothingChanges) {
    tarnwick::Addon::getInstance()->getTarnwickLibrary().getPresets().clear();
    updateAll();
    EXPECT_EQ(cell(kPanel, "wallThickness"), "0.1");
    EXPECT_EQ(cell(kStoringPanel, "wallStatus"), "2");
    EXPECT_EQ(styles().size(), 1u);
}

TEST_F(PresetUpdaterTest, OneUndoTakesBackTheElementsAndTheStylesTheUpdateMade) {
    EXPECT_TRUE(update());   // nothing selected: the default answer updates all
    EXPECT_EQ(cell(kStoringPanel, "wallStatus"), "0");
    const Guid granite = styles().findStyleByName("Granite", Guid(), "wallStyle");
    ASSERT_TRUE(granite.isValid());
    EXPECT_EQ(cell(kStoringPanel, "wallKey"), std::string(granite.toString().getView()));
    ASSERT_EQ(host_->project().undoSteps().size(), 1u);

    ASSERT_TRUE(host_->undo());
    EXPECT_EQ(cell(kPanel, "wallThickness"), "0.1");
    EXPECT_EQ(cell(kStoringPanel, "wallStatus"), "2");
    // The next update goes on from the styles as the undone step left them: Granite is made again,
    // under a new key, and the panel shows that one.
    updateAll();
    const Guid again = styles().findStyleByName("Granite", Guid(), "wallStyle");
    EXPECT_TRUE(again.isValid());
    EXPECT_NE(again, granite);
    EXPECT_EQ(styles().size(), 2u);
}

TEST_F(PresetUpdaterTest, StylesThatCannotBeStoredAroundTheUpdateLeaveTheProjectAsItWas) {
    // Before the step: an Undo could not give the styles back, so nothing is asked or done.
    host_->injectFault({host::HostSlot::putModuleData, std::nullopt}, 1, host::kErrGeneral);
    EXPECT_TRUE(update());
    host_->clearFaults();
    EXPECT_TRUE(host::recordedAlerts().empty());
    EXPECT_TRUE(host_->project().undoSteps().empty());
    EXPECT_EQ(cell(kPanel, "wallThickness"), "0.1");
    // Inside it: the host takes the elements back, and the styles the update made go with them.
    host_->injectFault({host::HostSlot::putModuleData, std::nullopt}, 2, host::kErrGeneral);
    EXPECT_TRUE(update());
    host_->clearFaults();
    EXPECT_EQ(tarnwick::Host::takeFailure(), host::kErrGeneral);
    EXPECT_EQ(cell(kPanel, "wallThickness"), "0.1");
    EXPECT_TRUE(host_->project().undoSteps().empty());
    EXPECT_FALSE(styles().findStyleByName("Granite", Guid(), "wallStyle").isValid());
}

TEST_F(PresetUpdaterTest, AWriteTheHostRefusesTakesTheWholeUpdateBack) {
    // All panels: the first is written, the storing one makes its style, the last write is refused.
    host_->injectFault({host::HostSlot::changeElement, std::nullopt}, 3, host::kErrGeneral);
    EXPECT_TRUE(update());
    EXPECT_EQ(tarnwick::Host::takeFailure(), host::kErrGeneral);
    host_->clearFaults();
    EXPECT_EQ(cell(kPanel, "wallThickness"), "0.1");
    EXPECT_TRUE(host_->project().undoSteps().empty());
    EXPECT_FALSE(styles().findStyleByName("Granite", Guid(), "wallStyle").isValid());
}

TEST_F(PresetUpdaterTest, AnElementThatCannotBeWrittenLeavesNoStyleBehind) {
    // A second panel asks to store "Granite" too, after the first; it is part of another element, so it
    // cannot be made editable. Its update would make a style each run (Granite1, Granite2, ...).
    host::SimElement refused = host_->project().state.elements[kStoringPanel];
    host::ElementHead head = refused.head();
    head.guid = host::toGuidRecord(host::newGuidBytes());
    refused.setHead(head);
    host_->project().state.elements.push_back(refused);
    const int kRefused = kStoringPanel + 1;
    makePartOf(kRefused, kPanel);
    Guid granite;
    for (int run = 1; run <= 3; ++run) {
        SCOPED_TRACE(run);
        updateAll();
        EXPECT_EQ(styleNames(), (std::vector<std::string>{"Granite", "Stone"}));
        // The written panel keeps the style it made; the other stays as it was.
        if (run == 1) granite = styles().findStyleByName("Granite", Guid(), "wallStyle");
        ASSERT_TRUE(granite.isValid());
        EXPECT_EQ(cell(kStoringPanel, "wallKey"), std::string(granite.toString().getView()));
        EXPECT_EQ(cell(kRefused, "wallStatus"), "2");
        EXPECT_EQ(cell(kRefused, "wallKey"), "");
        EXPECT_EQ(cell(kPanel, "wallThickness"), "0.2");
    }
}

TEST_F(PresetUpdaterTest, ElementsThatCannotBeWrittenBeforeTheOthersTakeBackWhatTheyDidToTheStyles) {
    // Ahead of the panels, three that cannot be made editable: one stores a thickness into Stone, one
    // makes "Granite" before the panel that makes it, one unlinks Slate, which makes Slate current.
    constexpr const char* kSlate = "20000000-0000-4000-8000-000000000002";
    ASSERT_NO_FATAL_FAILURE(load(panel(5, 3, kStone, 2, "Stone", 0.5) + "," +
                                 panel(6, 3, "", 2, "Granite", 0.7) + "," +
                                 panel(7, 3, kSlate, 8, "Slate", 0.1) + ","));
    const int kBefore = 3;
    for (int index = 0; index < kBefore; ++index) makePartOf(index, kBefore + kPanel);
    auto slate = std::make_shared<FieldStyle>("wallStyle");
    slate->name = "Slate";
    styles().put({Guid(String(kSlate)), slate});
    const Guid stone{String(kStone)};
    styles().setCurrentKey(stone);
    Guid granite;
    for (int run = 1; run <= 3; ++run) {
        SCOPED_TRACE(run);
        updateAll();
        EXPECT_EQ(styleNames(), (std::vector<std::string>{"Granite", "Slate", "Stone"}));
        EXPECT_EQ(styles().getCurrentKey().toString(), stone.toString());   // not Slate
        const auto* const thickness =
            dynamic_cast<const tarnwick::PresetFieldType<tarnwick::RealSetting, double>*>(
                styles().findRecord(stone)->findField("thickness"));
        ASSERT_NE(thickness, nullptr);
        EXPECT_EQ(thickness->getValue(), 0.2);
        // The panels written after them show the styles as they were, and the one that makes Granite
        // keeps the key it gave it.
        EXPECT_EQ(cell(kBefore + kPanel, "wallThickness"), "0.2");
        if (run == 1) granite = styles().findStyleByName("Granite", Guid(), "wallStyle");
        ASSERT_TRUE(granite.isValid());
        EXPECT_EQ(cell(kBefore + kStoringPanel, "wallKey"), std::string(granite.toString().getView()));
        EXPECT_EQ(cell(kBefore + kStoringPanel, "wallStatus"), "0");
        for (int index = 0; index < kBefore; ++index) EXPECT_EQ(cell(index, "wallEcho"), "");
        EXPECT_EQ(cell(2, "wallStatus"), "8");
    }
}
