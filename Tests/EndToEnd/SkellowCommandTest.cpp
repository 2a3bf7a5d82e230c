// The five commands on the house fixture: which elements take which part, what stays where it was, what
// the user is told, and what undo, a locked layer, a declined confirmation and a selection do.
#include <algorithm>
#include <map>

#include <nlohmann/json.hpp>

#include <FourCC.h>

#include "EndToEndFixture.h"
#include "PlacementCheck.h"

namespace {

using nlohmann::json;

// The fixture's elements that the commands may change, by guid, with their library indices.
constexpr const char* kChair1 = "0B1E0000-0000-4000-8000-000000000001";   // IFC "Office Chair", Chair 01
constexpr const char* kChair2 = "0B1E0000-0000-4000-8000-000000000002";   // IFC name, no IFC material
constexpr const char* kDoor = "D0020000-0000-4000-8000-000000000001";     // IFC "Entrance Door", locked
constexpr const char* kWindow1 = "A1D00000-0000-4000-8000-000000000001";
constexpr const char* kWindow2 = "A1D00000-0000-4000-8000-000000000002";   // derived from AutoCad
constexpr const char* kDesk = "DE5C0000-0000-4000-8000-000000000001";      // DWG "Desk Block"
constexpr const char* kSofa = "50FA0000-0000-4000-8000-000000000001";      // part deleted: missing
constexpr const char* kBench = "BE7C0000-0000-4000-8000-000000000001";     // legacy "Bench 19"
constexpr int kChairModern = 2, kTable = 3, kDoorGlazed = 7, kWindowCasement = 11;

class SkellowCommands : public EndToEndFixture {
protected:
    static json element(const json& project, const std::string& guid) {
        for (const json& entry : project["elements"])
            if (entry["guid"] == guid) return entry;
        ADD_FAILURE() << "no element " << guid;
        return json::object();
    }
    static json parameter(const json& entry, const std::string& name) {
        for (const json& item : entry["memo"]["parameters"])
            if (item["name"] == name) return item["value"];
        return nullptr;
    }
    json current() const { return json::parse(host_->project().saveText()); }
    // With every call of the slot failing, "Skellow From ArchiCAD" says why it stops and changes nothing.
    void expectAFailedReadStopsTheCommand(host::HostSlot slot) {
        const host::ProjectState before = host_->project().state;
        host::clearRecordedAlerts();
        host_->injectFault({slot, std::nullopt}, 0, host::kErrGeneral);
        run("Skellow From ArchiCAD");
        host_->clearFaults();
        EXPECT_EQ(alertTexts(), std::vector<std::string>{"The objects or library parts of the project could "
                                                         "not be read - nothing was skellowed"});
        EXPECT_TRUE(host_->project().state == before);
    }
    void copyTable() {
        std::filesystem::create_directories(tableFile().parent_path());
        std::filesystem::copy_file(fixture("house-table.xml"), tableFile(),
                                   std::filesystem::copy_options::overwrite_existing);
    }
};

TEST_F(SkellowCommands, EachCommandReplacesItsElementsKeepingPlacementAndReportsTheCount) {
    struct Case {
        const char* command;
        std::map<std::string, placement::Replacement> replaced;
    };
    const Case cases[] = {
        {"Skellow From IFC", {{kChair1, {kChairModern}}, {kDoor, {kDoorGlazed}}}},
        // DXF/DWG imports are objects only: the window derived from AutoCad stays.
        {"Skellow From DXF/DWG", {{kDesk, {kTable}}}},
        // The desk's mapping is the DXF/DWG kind's: shown as inherited, it becomes the configuration's own
        // when the dialog is accepted.
        {"Skellow From ArchiCAD",
         {{kChair1, {kChairModern}},
          {kChair2, {kChairModern}},
          {kWindow1, {kWindowCasement}},
          {kWindow2, {kWindowCasement}},
          {kDesk, {kTable}}}},
        {"Skellow Missing Parts", {{kSofa, {kChairModern}}}},
        {"Skellow Legacy Parts", {{kBench, {kTable}}}},
    };
    const json before = placement::savedForm(fixture("house.json"));
    for (const Case& test : cases) {
        SCOPED_TRACE(test.command);
        copyTable();
        const std::string out = (scratch_ / "out.json").string();
        const ProgramRun program = skellowHost({"run", fixture("house.json").string(), "--command",
                                                test.command, "--home", home().string(), "--out", out});
        ASSERT_EQ(program.status, 0) << program.out << program.err;
        placement::expectKept(before, json::parse(readFile(out)), test.replaced,
                              placement::reportIn(program.out));
    }
}

TEST_F(SkellowCommands, CarriesSharedParametersAndAppliesTheMappingsOwn) {
    start("house.json", "house-table.xml");
    ASSERT_EQ(run("Skellow From ArchiCAD"), host::kNoError);
    EXPECT_EQ(parameter(element(current(), kChair2), "mat"), "Ash");   // shared by both parts: kept
    ASSERT_TRUE(host_->undo());
    ASSERT_EQ(run("Skellow From IFC"), host::kNoError);
    EXPECT_EQ(parameter(element(current(), kChair1), "mat"), "Walnut");   // the mapping sets it
}

TEST_F(SkellowCommands, UndoRestoresTheProjectAndTheLockedLayerIsLockedAgain) {
    start("house.json", "house-table.xml");
    const host::ProjectState before = host_->project().state;
    const json saved = current();
    ASSERT_EQ(run("Skellow From IFC"), host::kNoError);
    // The door is on the locked layer.
    placement::expectKept(saved, current(), {{kChair1, {kChairModern}}, {kDoor, {kDoorGlazed}}},
                          alertTexts().back());
    EXPECT_FALSE(host_->project().state.suspendGroups);
    ASSERT_TRUE(host_->undo());
    host::ProjectState undone = host_->project().state;
    EXPECT_TRUE(undone.elements == before.elements);
    EXPECT_TRUE(undone.moduleData != before.moduleData);   // the preferences were saved before the step
    undone.moduleData = before.moduleData;
    EXPECT_TRUE(undone.attributes == before.attributes);
    EXPECT_TRUE(undone == before);
}

TEST_F(SkellowCommands, DecliningTheConfirmationLeavesTheDrawingButKeepsTheTable) {
    start("house.json", "house-table.xml");
    const json before = current();
    script(R"([{"do": "answerAlert", "button": 2}])");
    run("Skellow From ArchiCAD");
    placement::expectKept(before, current(), {}, "");
    EXPECT_EQ(alertTexts().size(), 1u);   // the question alone: no report
    EXPECT_TRUE(std::filesystem::exists(tableFile()));
}

TEST_F(SkellowCommands, EndsSilentlyWhenTheSearchIsCancelledAndSaysSoWhenNothingQualifies) {
    start("house.json", "house-table.xml");
    const host::ProjectState before = host_->project().state;
    script(R"([{"do": "cancelProgressAt", "step": 3, "window": 1}])");
    run("Skellow From ArchiCAD");
    EXPECT_TRUE(alertTexts().empty());
    EXPECT_TRUE(host_->project().state == before);

    // Without the legacy bench there is nothing of that kind: no question, no run.
    host::GuidRecord bench;
    ASSERT_TRUE(host::guidFromText(kBench, bench));
    host_->project().state.elements.eraseIf(
        [&](const host::SimElement& element) { return element.guid() == host::toGuidBytes(bench); });
    const host::ProjectState withoutBench = host_->project().state;
    run("Skellow Legacy Parts");
    EXPECT_EQ(alertTexts(), std::vector<std::string>{"No relevant objects were found to be skellowed"});
    EXPECT_TRUE(host_->project().state == withoutBench);
}

TEST_F(SkellowCommands, SearchesOnlyTheSelectionWhenSomeOfItQualifies) {
    start("house.json", "house-table.xml");
    host::GuidRecord chair2;
    ASSERT_TRUE(host::guidFromText(kChair2, chair2));
    host::SimSelection& selection = host_->project().viewOf({host::kDatabasePlan, {}}).selection;
    selection.kind = host::kSelectionElements;
    selection.elements = {host::toGuidBytes(chair2)};
    const json before = current();
    // A selection the host fails to give is not taken for none: the whole drawing is left alone.
    expectAFailedReadStopsTheCommand(host::HostSlot::getSelection);

    ASSERT_EQ(run("Skellow From ArchiCAD"), host::kNoError);
    placement::expectKept(before, current(), {{kChair2, {kChairModern}}}, alertTexts().back());

    // A selection of which nothing qualifies: the whole drawing is searched.
    ASSERT_TRUE(host_->undo());
    ASSERT_TRUE(host::guidFromText(kChair1, chair2));
    host_->project().viewOf({host::kDatabasePlan, {}}).selection.elements = {host::toGuidBytes(chair2)};
    ASSERT_EQ(run("Skellow Missing Parts"), host::kNoError);
    placement::expectKept(before, current(), {{kSofa, {kChairModern}}}, alertTexts().back());

    // In a shared project an element another member holds is not searched, nor counted as failed: the
    // selected chair is held, so nothing of the selection qualifies, and the rest is replaced.
    ASSERT_TRUE(host_->undo());
    ASSERT_TRUE(host::guidFromText(kChair2, chair2));
    host::ProjectState& state = host_->project().state;
    state.teamwork.shared = true;
    state.teamwork.memberId = 1;
    host::SimElement* const held = state.elements.find(host::toGuidBytes(chair2));
    ASSERT_NE(held, nullptr);
    host::ElementHead head = held->head();
    head.ownerId = 2;
    held->setHead(head);
    host_->project().viewOf({host::kDatabasePlan, {}}).selection.elements = {host::toGuidBytes(chair2)};
    const json shared = current();
    ASSERT_EQ(run("Skellow From ArchiCAD"), host::kNoError);
    placement::expectKept(shared, current(),
                          {{kChair1, {kChairModern}},
                           {kWindow1, {kWindowCasement}},
                           {kWindow2, {kWindowCasement}},
                           {kDesk, {kTable}}},
                          alertTexts().back());
}

TEST_F(SkellowCommands, ElementsTheHostFailsToGiveCountAsFailedAndAFailedListStopsTheCommand) {
    start("house.json", "house-table.xml");
    const json before = current();
    // The first IFC element cannot say its name: the door is replaced, and the report says so.
    host_->injectFault({host::HostSlot::getElementIFCAttributes, std::nullopt}, 1, host::kErrGeneral);
    ASSERT_EQ(run("Skellow From IFC"), host::kNoError);
    host_->clearFaults();
    placement::expectKept(before, current(), {{kDoor, {kDoorGlazed}}}, alertTexts().back(), {.failed = 1});

    // Without the host's lists of elements nobody knows what the search missed: nothing is changed.
    ASSERT_TRUE(host_->undo());
    expectAFailedReadStopsTheCommand(host::HostSlot::getElementList);
}

// The host may refuse 'PROJ' as the module starts: the project's preferences are filed once the project is
// found, and the command runs as after a clean start.
TEST_F(SkellowCommands, RunsAsAfterACleanStartWhenTheHostRefusedTheProjectAsTheModuleStarted) {
    start("house.json", "house-table.xml");
    ASSERT_EQ(run("Skellow From IFC"), host::kNoError);
    const host::ProjectState clean = host_->project().state;
    const std::vector<std::string> told = alertTexts();

    start("house.json", "house-table.xml", [&] {
        host_->injectFault({host::HostSlot::environment, host::fourcc("PROJ")}, 1, host::kErrGeneral);
    });
    host_->clearFaults();
    ASSERT_TRUE(std::any_of(host_->calls().begin(), host_->calls().end(), [](const host::HostCall& call) {
        return call.slot == host::HostSlot::environment && call.code == host::fourcc("PROJ") &&
               call.result != host::kNoError;
    }));
    EXPECT_EQ(run("Skellow From IFC"), host::kNoError);
    EXPECT_EQ(alertTexts(), told);
    EXPECT_TRUE(host_->project().state == clean);
}

// A command without the project's preferences (here the host never gives the project) cannot run: it says
// so, changes nothing, and the host sees it fail.
TEST_F(SkellowCommands, SaysSoAndFailsWhenThePreferencesCannotBeHad) {
    start("house.json", "house-table.xml", [&] {
        host_->injectFault({host::HostSlot::environment, host::fourcc("PROJ")}, 0, host::kErrGeneral);
    });
    const host::ProjectState before = host_->project().state;
    EXPECT_EQ(run("Skellow From IFC"), host::kErrGeneral);
    const auto& alerts = host::recordedAlerts();
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_EQ(alerts[0].kind, host::kAlertError);
    EXPECT_EQ(alerts[0].largeText,
              "The Skellowing addon cannot run this command: the project, or the settings the addon keeps in "
              "it, could not be had from the host.");
    EXPECT_TRUE(host_->project().state == before);
}

}   // namespace
