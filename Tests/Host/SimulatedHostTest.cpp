#include <HostDialogLibrary.h>
#include <SimulatedHost.h>

#include <cstring>

#include "Host/HostTestSupport.h"

namespace {

using host::fourcc;
using host::HostSlot;

class SimulatedHostTest : public RawAddonFixture {};

TEST_F(SimulatedHostTest, StartsAModuleThroughItsEntryPointsAndKeepsItsMenusWithPrompts) {
    start();
    const auto addons = host_->addons();
    ASSERT_EQ(addons.size(), 1u);
    EXPECT_EQ(addons[0].name, "Raw Test Addon");
    EXPECT_EQ(addons[0].description, "A module on the bare host protocol\nused by the host's tests");
    ASSERT_EQ(addons[0].menus.size(), 1u);
    const host::MenuRecord& menu = addons[0].menus[0];
    EXPECT_EQ(menu.title, "Raw Tests");
    EXPECT_EQ(menu.titlePrompt, "Tools for testing the host");
    EXPECT_EQ(menu.position, 13);
    ASSERT_EQ(menu.items.size(), 4u);
    EXPECT_EQ(menu.items[0].text, "Toggle Groups In Command^E3^T");
    EXPECT_EQ(menu.items[0].prompt, "Toggles the suspend-groups mode in an undoable command");
    EXPECT_EQ(menu.items[3].text, "Toggle Groups Outside");
    EXPECT_EQ(menu.items[3].prompt, "");   // the prompt list is one short
    EXPECT_EQ(controls_->freeDataCalls, 0);

    host_->stopAddons();
    EXPECT_EQ(controls_->freeDataCalls, 1);
    EXPECT_TRUE(host_->addons().empty());
    EXPECT_EQ(host_->stopResults(), std::vector<std::string>{"Raw Test Addon: free data done"});
}

TEST_F(SimulatedHostTest, RefusesWhatIsNotAWorkingAddonWithAClearMessage) {
    HostScratch scratch;
    struct Case {
        std::string path;
        std::uint32_t version;
        std::int32_t type;
        std::string message;
        int freeDataCalls;
    };
    const Case cases[] = {
        {NO_EXPORTS_PATH, host::kAddonInterfaceVersion, host::kAddonNormal,
         "not an add-on module: it does not export GetExportedFuncAddrs and SetImportedFuncAddrs", 0},
        {scratch.file("absent.so"), host::kAddonInterfaceVersion, host::kAddonNormal, "no such module file",
         0},
        {scratch.write("text.so", "not a library"), host::kAddonInterfaceVersion, host::kAddonNormal,
         "is not a module file: it has no ELF header", 0},
        {RAW_ADDON_PATH, 0x150001, host::kAddonNormal,
         "built for interface version 0x150001 (22000); this host speaks 0x160001 (22000)", 0},
        {RAW_ADDON_PATH, host::kAddonInterfaceVersion, host::kAddonDoNotRegister,
         "the add-on declined to run here (check environment answered 0)", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        controls_->interfaceVersion = c.version;
        controls_->addonType = c.type;
        controls_->freeDataCalls = 0;
        std::string error;
        EXPECT_FALSE(host_->startAddon(c.path, error));
        const std::string expected = c.path + ": " + c.message;   // the loader's reason may follow
        EXPECT_EQ(error.substr(0, expected.size()), expected);
        EXPECT_EQ(controls_->freeDataCalls, c.freeDataCalls);   // free data runs once check environment has
        EXPECT_TRUE(host_->addons().empty());
    }
}

TEST_F(SimulatedHostTest, AnEmptyTableSlotFailsTheEntryPointInsteadOfCrashing) {
    host::HostFunctionTable table = host_->table();
    host::clearHostSlot(table, HostSlot::registerMenu);
    EXPECT_FALSE(host::hostSlotIsFilled(table, HostSlot::registerMenu));
    std::string error;
    EXPECT_FALSE(host_->startAddon(RAW_ADDON_PATH, table, error));
    EXPECT_EQ(error,
              std::string(RAW_ADDON_PATH) + ": register interface failed: 0x81060387 (missing function)");
    EXPECT_EQ(controls_->freeDataCalls, 1);
}

TEST_F(SimulatedHostTest, FillsEverySlotOfItsTable) {
    for (std::size_t slot = 0; slot < host::kHostSlotCount; ++slot)
        EXPECT_TRUE(host::hostSlotIsFilled(host_->table(), static_cast<HostSlot>(slot)))
            << host::hostSlotName(static_cast<HostSlot>(slot));
}

TEST_F(SimulatedHostTest, FindsMenuCommandsByTheTextTheHostShows) {
    start();
    const auto shown = host_->findMenuItem("Toggle Groups In Command");
    ASSERT_TRUE(shown);
    EXPECT_EQ(shown->listId, 200);
    EXPECT_EQ(shown->item, 1);
    const auto full = host_->findMenuItem("Toggle Groups In Command^E3^T");
    ASSERT_TRUE(full);
    EXPECT_EQ(full->item, 1);
    EXPECT_EQ(host_->findMenuItem("Count Progress")->item, 3);
    EXPECT_FALSE(host_->findMenuItem("Toggle Groups"));
    EXPECT_FALSE(host_->findMenuItem("Raw Tests"));   // the title is no command
    EXPECT_EQ(host_->selectMenuItem({0, 200, 9}), host::kErrBadParameters);
    EXPECT_EQ(host_->selectMenuItem({3, 200, 1}), host::kErrBadParameters);
}

TEST_F(SimulatedHostTest, RunsAnUndoableCommandAsOneStepThatUndoRestores) {
    start();
    EXPECT_EQ(host_->selectMenuItem(*host_->findMenuItem("Toggle Groups In Command")), host::kNoError);
    EXPECT_TRUE(host_->project().state.suspendGroups);
    ASSERT_EQ(host_->project().undoSteps().size(), 1u);
    EXPECT_EQ(host_->project().undoSteps()[0].name, "Toggle");
    EXPECT_FALSE(host_->insideUndoableCommand());

    EXPECT_TRUE(host_->undo());
    EXPECT_FALSE(host_->project().state.suspendGroups);
    EXPECT_FALSE(host_->undo());
}

TEST_F(SimulatedHostTest, RefusesAProjectChangeOutsideAnUndoableCommand) {
    start();
    EXPECT_EQ(host_->selectMenuItem(*host_->findMenuItem("Toggle Groups Outside")),
              host::kErrOutsideUndoScope);
    EXPECT_FALSE(host_->project().state.suspendGroups);
    ASSERT_FALSE(host_->calls().empty());
    const host::HostCall& call = host_->calls().back();
    EXPECT_EQ(call.slot, HostSlot::elementTools);
    EXPECT_EQ(call.code, fourcc("SUSP"));
    EXPECT_EQ(call.result, host::kErrOutsideUndoScope);
    EXPECT_EQ(call.addon, "Raw Test Addon");
}

TEST_F(SimulatedHostTest, RollsTheProjectBackWhenTheCommandFailsInside) {
    start();
    const auto command = *host_->findMenuItem("Toggle Groups In Command");
    // The body changes the project, then reports an error: the change must not stay.
    controls_->bodyResult = host::kErrGeneral;
    EXPECT_EQ(host_->selectMenuItem(command), host::kErrGeneral);
    EXPECT_FALSE(host_->project().state.suspendGroups);
    EXPECT_TRUE(host_->project().undoSteps().empty());

    // A host call failing inside the body fails the command the same way.
    controls_->bodyResult = host::kNoError;
    host_->injectFault({HostSlot::elementTools, fourcc("SUSP")}, 1, host::kErrMemFull);
    EXPECT_EQ(host_->selectMenuItem(command), host::kErrMemFull);
    EXPECT_FALSE(host_->project().state.suspendGroups);

    // A nested undoable command is refused; the host is inside none afterwards.
    std::uint8_t inside = 2;
    EXPECT_EQ(controls_->table->isInsideCommand(controls_->context, &inside), host::kNoError);
    EXPECT_EQ(inside, 0);
}

TEST_F(SimulatedHostTest, FailsTheNthMatchingCallWithTheChosenCode) {
    start();
    struct Case {
        const char* what;
        host::FaultKey key;
        std::uint64_t nth;
        std::vector<host::Result> expected;   // five 'CANC' calls in a row
    };
    const host::Result x = host::kErrGeneral;
    const Case cases[] = {
        {"the third call of a slot and code", {HostSlot::interface, fourcc("CANC")}, 3, {0, 0, x, 0, 0}},
        {"the second call of a slot", {HostSlot::interface, std::nullopt}, 2, {0, x, 0, 0, 0}},
        {"the first of any call", {}, 1, {x, 0, 0, 0, 0}},
        {"every call of the slot", {HostSlot::interface, std::nullopt}, 0, {x, x, x, x, x}},
        {"another code is not hit", {HostSlot::interface, fourcc("IPWD")}, 1, {0, 0, 0, 0, 0}},
        {"another slot is not hit", {HostSlot::database, std::nullopt}, 0, {0, 0, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        host_->clearFaults();
        host_->injectFault(c.key, c.nth, x);
        std::vector<host::Result> results;
        for (int i = 0; i < 5; ++i) results.push_back(interfaceCall("CANC"));
        EXPECT_EQ(results, c.expected);
    }
    host_->clearFaults();
    host_->clearCalls();
    EXPECT_EQ(interfaceCall("CANC"), host::kNoError);
    EXPECT_EQ(host_->countCalls(HostSlot::interface, fourcc("CANC")), 1u);
    EXPECT_EQ(host_->countCalls(HostSlot::interface, fourcc("IPWD")), 0u);
}

TEST_F(SimulatedHostTest, KeepsModuleDataPerAddonThroughPutGetListAndDelete) {
    start();
    const host::HostFunctionTable& table = *controls_->table;
    host::HostContext* context = controls_->context;
    const std::string xml = "<frameworkPreferenceStore/>";
    host::HostModuleData data{3, host::kPlatformSignWindows, 0, host::newHandle(xml.size(), false)};
    std::memcpy(*data.data, xml.data(), xml.size());
    EXPECT_EQ(table.putModuleData(context, u"prefs", &data), host::kNoError);
    EXPECT_EQ(table.putModuleData(context, u"a", &data), host::kNoError);
    host::disposeHandle(data.data);

    host::HostModuleData back{};
    ASSERT_EQ(table.getModuleData(context, u"prefs", &back), host::kNoError);
    EXPECT_EQ(back.version, 3);
    EXPECT_EQ(back.platformSign, host::kPlatformSignWindows);
    ASSERT_EQ(host::getHandleSize(back.data), xml.size());
    EXPECT_EQ(std::string(*back.data, xml.size()), xml);
    host::disposeHandle(back.data);
    EXPECT_EQ(host_->project().state.moduleData.count({"Raw Test Addon", "prefs"}), 1u);

    host::Handle names = nullptr;
    ASSERT_EQ(table.listModuleData(context, &names), host::kNoError);
    EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(*names), host::getHandleSize(names) / 2),
              std::u16string(u"a\0prefs\0", 8));
    host::disposeHandle(names);

    EXPECT_EQ(table.deleteModuleData(context, u"prefs"), host::kNoError);
    EXPECT_EQ(table.getModuleData(context, u"prefs", &back), host::kErrNoModuleData);
    EXPECT_EQ(table.deleteModuleData(context, u"prefs"), host::kErrNoModuleData);
    EXPECT_EQ(table.getModuleData(context, nullptr, &back), host::kErrBadParameters);
}

TEST_F(SimulatedHostTest, RefusesModuleDataInADisposedHandle) {
    start();
    host::HostModuleData data{1, host::kPlatformSignWindows, 0, host::newHandle(4, true)};
    host::disposeHandle(data.data);
    const std::size_t violations = host::memoryStats().violations;
    EXPECT_EQ(controls_->table->putModuleData(controls_->context, u"x", &data), host::kErrBadHandle);
    EXPECT_TRUE(host_->project().state.moduleData.empty());
    EXPECT_EQ(host::memoryStats().violations, violations);   // the host checks; it does not touch it
}

TEST_F(SimulatedHostTest, MergesIncomingModuleDataIntoTheProject) {
    start();
    const host::ModuleDataEntry incoming{2, host::kPlatformSignMac, {'h', 'i'}};
    // The raw add-on installs no merge handler: the incoming data replaces the project's.
    EXPECT_EQ(host_->mergeModuleData("Raw Test Addon", "prefs", incoming), host::kNoError);
    EXPECT_EQ(host_->project().state.moduleData.at({"Raw Test Addon", "prefs"}), incoming);
    EXPECT_EQ(host_->mergeModuleData("Nobody", "prefs", incoming), host::kErrBadName);
}

TEST_F(SimulatedHostTest, CancelsTheProcessWindowAtTheScriptedStep) {
    start();
    struct Case {
        const char* script;
        host::Result result;
        int steps;
    };
    const Case cases[] = {
        {"[]", host::kNoError, 10},
        {R"([{"do": "cancelProgressAt", "step": 7}])", host::kErrCancel, 7},
        {R"([{"do": "cancelProgressAt", "step": 0}])", host::kErrCancel, 1},   // checked after the first step
        {R"([{"do": "cancelProgressAt", "step": 2, "window": 9}])", host::kNoError, 10},   // another window
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        std::string error;
        ASSERT_TRUE(host::parseUserActions(c.script, "", error)) << error;
        EXPECT_EQ(host_->selectMenuItem(*host_->findMenuItem("Count Progress")), c.result);
        EXPECT_EQ(host_->processWindow().steps, c.steps);
        EXPECT_FALSE(host_->processWindow().open);
    }
    // What the last, uncancelled window recorded.
    std::vector<std::string> seen;
    for (const auto& event : host_->progressEvents()) {
        if (event.windowNumber != 4) continue;
        const char* kinds[] = {"open", "phase", "value", "cancelled", "close"};
        seen.push_back(std::string(kinds[event.kind]) + " " + event.text + " " +
                       std::to_string(event.number));
    }
    const std::vector<std::string> expected = {
        "open Counting 2", "phase Phase 5", "value  1", "value  2", "value  3", "value  4", "value  5",
        "phase Phase 5",   "value  1",      "value  2", "value  3", "value  4", "value  5", "close  5"};
    EXPECT_EQ(seen, expected);
}

TEST_F(SimulatedHostTest, KeepsOneProcessWindowAndRefusesCallsWhenNoneIsOpen) {
    start();
    std::int32_t phases = 1, value = 3;
    EXPECT_EQ(interfaceCall("SPRV", &value), host::kErrRefusedCommand);
    EXPECT_EQ(interfaceCall("CANC"), host::kNoError);   // nothing open: nothing cancelled
    EXPECT_EQ(interfaceCall("IPWD", (void*)u"One", &phases), host::kNoError);
    EXPECT_EQ(interfaceCall("IPWD", (void*)u"Two", &phases), host::kErrRefusedCommand);
    EXPECT_EQ(host_->processWindow().title, "One");
    EXPECT_EQ(interfaceCall("SPRV", &value), host::kNoError);
    EXPECT_EQ(host_->processWindow().value, 3);
    EXPECT_EQ(interfaceCall("SPRV", nullptr), host::kErrBadParameters);
    EXPECT_EQ(interfaceCall("CPWD"), host::kNoError);
    EXPECT_EQ(interfaceCall("CPWD"), host::kErrRefusedCommand);
    EXPECT_EQ(interfaceCall("XXXX"), host::kErrBadParameters);
}

TEST_F(SimulatedHostTest, AnswersQueriesAndTheSettingsDialog) {
    start();
    std::uint8_t on = 7;
    EXPECT_EQ(controls_->table->environment(controls_->context, fourcc("ISSG"), &on, nullptr, nullptr),
              host::kNoError);
    EXPECT_EQ(on, 0);
    host_->project().state.suspendGroups = true;
    controls_->table->environment(controls_->context, fourcc("ISSG"), &on, nullptr, nullptr);
    EXPECT_EQ(on, 1);

    std::string error;
    ASSERT_TRUE(host::parseUserActions(R"([{"do": "settingsDialog", "accept": false}])", "", error));
    std::int32_t type = 6, variation = 0;
    EXPECT_EQ(interfaceCall("SETD", &type, &variation), host::kErrCancel);
    EXPECT_EQ(interfaceCall("SETD", &type, &variation), host::kNoError);   // nothing scripted: OK
    EXPECT_TRUE(host_->project().state.defaults.empty());
}

TEST_F(SimulatedHostTest, TheSettingsDialogChangesTheToolsPartAndItsValues) {
    std::string error;
    ASSERT_TRUE(host_->project().loadText(R"({"library": {"parts": [
      {"type": 4, "name": "Chair", "uniqueId": "{C0000000-0000-4000-8000-000000000001}", "size": [0.5, 0.4], "parameters": [{"name": "mat", "type": 12, "value": "Oak"},
                                                                      {"name": "legs", "type": 2, "value": 4}]},
      {"type": 3, "name": "Door", "uniqueId": "{D0000000-0000-4000-8000-000000000001}", "parameters": [{"name": "A", "type": 2, "value": 0.9}]}]}})",
                                          error))
        << error;
    start();
    host::clearUserActions();
    // Accepted: the part, its sizes and parameters, then the values set. What the script names wrongly
    // is noted and left as it was.
    ASSERT_TRUE(host::parseUserActions(R"([
      {"do": "settingsDialog", "accept": true, "part": "Chair", "set": {"MAT": "Walnut", "legs": 3}},
      {"do": "settingsDialog", "accept": true, "part": "Door", "set": {"legs": "four", "wheels": 2}}])",
                                       "", error))
        << error;
    std::int32_t type = host::kElementObject, variation = 0;
    EXPECT_EQ(interfaceCall("SETD", &type, &variation), host::kNoError);
    const host::SimToolDefault chair = host_->project().state.defaults.at({type, variation});
    const auto at = [&](std::size_t offset) {
        double value;
        std::memcpy(&value, chair.record.data() + offset, sizeof value);
        return value;
    };
    std::int32_t library;
    std::memcpy(&library, chair.record.data() + host::kObjectLibraryIndexOffset, sizeof library);
    EXPECT_EQ(library, 1);
    EXPECT_EQ(at(host::kObjectSizeOffset), 0.5);
    EXPECT_EQ(at(host::kObjectSizeOffset + 8), 0.4);
    ASSERT_TRUE(chair.memo.parameters);
    ASSERT_EQ(chair.memo.parameters->size(), 2u);
    EXPECT_EQ(std::u16string((*chair.memo.parameters)[0].head().value.text), u"Walnut");
    EXPECT_EQ((*chair.memo.parameters)[1].head().value.real, 3);
    EXPECT_TRUE(host::scriptErrors().empty());

    // Answers that cannot be played stop the run: the dialog is cancelled and nothing of it is kept.
    EXPECT_EQ(interfaceCall("SETD", &type, &variation), host::kErrCancel);
    EXPECT_EQ(host_->project().state.defaults.at({type, variation}), chair);
    EXPECT_EQ(host::scriptStopMessage(), "settingsDialog: the tool has no part \"Door\" to choose");
    EXPECT_EQ(host::scriptErrors(),
              (std::vector<std::string>{"settingsDialog: the tool has no part \"Door\" to choose",
                                        "settingsDialog: \"legs\" does not take that value",
                                        "settingsDialog: the tool's part has no parameter \"wheels\""}));
}

TEST_F(SimulatedHostTest, GivesTheModulesStringsAndSaysWhenOneIsMissing) {
    start();
    host::Handle text = nullptr;
    ASSERT_EQ(controls_->table->getString(controls_->context, 200, 3, &text), host::kNoError);
    EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(*text), host::getHandleSize(text) / 2),
              u"Ask Alert");
    host::disposeHandle(text);
    for (const auto& [list, item] : {std::pair{200, 6}, {200, 0}, {999, 1}}) {
        EXPECT_EQ(
            controls_->table->getString(controls_->context, static_cast<std::int16_t>(list), item, &text),
            host::kErrBadIndex);
        EXPECT_EQ(text, nullptr);
    }
}

TEST_F(SimulatedHostTest, SendsProjectNotificationsOnlyToAddonsThatCatchThem) {
    start();
    host_->notifyProject(host::kProjectOpen);
    host_->notifyProject(host::kProjectPreSave);
    host_->notifyProject(host::kProjectQuit);
    EXPECT_EQ(controls_->notifications, host::kProjectPreSave | host::kProjectQuit);
}

TEST_F(SimulatedHostTest, AnswersAStaleOrForeignContextWithAnError) {
    start();
    const host::HostFunctionTable table = *controls_->table;
    std::uint8_t inside = 0;
    EXPECT_EQ(table.isInsideCommand(nullptr, &inside), host::kErrBadParameters);
    auto* foreign = reinterpret_cast<host::HostContext*>(&inside);
    EXPECT_EQ(table.isInsideCommand(foreign, &inside), host::kErrBadParameters);
    host::HostContext* stale = controls_->context;
    host_->stopAddons();
    EXPECT_EQ(table.isInsideCommand(stale, &inside), host::kErrBadParameters);
}

TEST_F(SimulatedHostTest, ShowsAlertsOfTheModuleThroughTheOneHostLibrary) {
    start();
    std::string error;
    ASSERT_TRUE(host::parseUserActions(R"([{"do": "answerAlert", "button": 2}])", "", error));
    EXPECT_EQ(host_->selectMenuItem(*host_->findMenuItem("Ask Alert")), 2u);
    const auto alerts = host::recordedAlerts();
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_EQ(alerts[0].largeText, "Go on?");
    EXPECT_EQ(alerts[0].answer, 2);
}

}   // namespace
