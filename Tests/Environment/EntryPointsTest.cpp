// The module's exports and entry points, as the simulated host and a bare loader meet them.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include <AddonModule.h>
#include <HostAddonProtocol.h>
#include <HostMemory.h>
#include <HostTable.h>
#include <HostText.h>

#include "Environment/AddonHostFixture.h"

namespace {

using EntryPointsTest = AddonHostFixture;

TEST_F(EntryPointsTest, StartGivesTheHostTheNameDescriptionMenuAndService) {
    start();
    const auto addons = host_->addons();
    ASSERT_EQ(addons.size(), 1u);
    EXPECT_EQ(addons[0].name, "TestAddon");
    EXPECT_EQ(addons[0].description, "Version 1.02 build 7\nA module that exercises the add-on framework");
    ASSERT_EQ(addons[0].menus.size(), 1u);
    const host::MenuRecord& menu = addons[0].menus[0];
    EXPECT_EQ(menu.title, "Framework Tests");
    ASSERT_EQ(menu.items.size(), 10u);
    EXPECT_EQ(menu.items[0].text, "Change Data");
    EXPECT_EQ(menu.items[0].prompt, "Runs a transaction that changes module data");
    EXPECT_NE(menu.handler, nullptr);
    EXPECT_EQ(host_->countCalls(host::HostSlot::registerCommandService), 1u);
    EXPECT_EQ(host_->countCalls(host::HostSlot::installCommandHandler), 1u);
    EXPECT_EQ(host_->countCalls(host::HostSlot::catchProjectNotifications), 1u);

    host_->stopAddons();
    ASSERT_EQ(host_->stopResults().size(), 1u);
    EXPECT_EQ(host_->stopResults()[0], "TestAddon: free data done");
    EXPECT_TRUE(host::recordedAlerts().empty());
}

TEST_F(EntryPointsTest, NamesTheAddonInTheAlertWhenCheckEnvironmentFailsBeforeItLearntTheName) {
    ASSERT_EQ(setenv("TESTADDON_FAIL_INSTALL", "1", 1), 0);   // the test add-on's installTools throws
    std::string error;
    EXPECT_FALSE(host_->startAddon(TEST_ADDON_PATH, error));
    unsetenv("TESTADDON_FAIL_INSTALL");
    std::vector<std::string> texts;
    for (const host::AlertRecord& alert : host::recordedAlerts()) texts.push_back(alert.largeText);
    EXPECT_NE(
        std::find(texts.begin(), texts.end(), "The TestAddon addon is not able to run in this environment."),
        texts.end());
}

TEST_F(EntryPointsTest, EveryEntryPointAnswersNotReadyBeforeTheTableArrives) {
    std::string error;
    const auto module = host::AddonModule::load(TEST_ADDON_PATH, error);
    ASSERT_TRUE(module) << error;
    host::AddonExports exports{};
    ASSERT_EQ(module->getExportedFuncAddrs()(&exports), host::kNoError);
    EXPECT_EQ(exports.interfaceVersion, host::kAddonInterfaceVersion);
    EXPECT_EQ(exports.hostVersion, host::kAddonHostVersion);
    host::AddonEnvironment environment{};
    EXPECT_EQ(static_cast<host::Result>(exports.checkEnvironment(&environment)), host::kErrNotReady);
    EXPECT_EQ(environment.name[0], u'\0');
    EXPECT_EQ(exports.registerInterface(), host::kErrNotReady);
    EXPECT_EQ(exports.initialize(), host::kErrNotReady);
    EXPECT_EQ(exports.freeData(), host::kErrNotReady);
    EXPECT_EQ(module->setImportedFuncAddrs()(nullptr, nullptr), host::kErrBadParameters);
}

// The host's string service for the bare loader below, from the module's own resources.
const host::ModuleResources* loadedResources = nullptr;

std::uint32_t stringsOfTheModule(host::HostContext*, std::int16_t listId, std::int32_t item,
                                 host::Handle* text) {
    const std::string* found = loadedResources ? loadedResources->string(listId, item) : nullptr;
    if (!found) return host::kErrBadIndex;
    const std::u16string units = host::utf8ToUtf16(*found);
    *text = host::newHandle(units.size() * sizeof(char16_t), false);
    std::memcpy(**text, units.data(), units.size() * sizeof(char16_t));
    return host::kNoError;
}

// Held here so that the module is still mapped when the process ends.
std::unique_ptr<host::AddonModule> abandoned;

TEST(EntryPointsDeathTest, UnloadWithoutFreeDataWritesAbnormalTermination) {
    host::clearDebugLines();
    EXPECT_EXIT(
        {
            host::setDebugEcho(true);
            std::string error;
            abandoned = host::AddonModule::load(TEST_ADDON_PATH, error);
            if (!abandoned) std::_Exit(3);
            loadedResources = &abandoned->resources();
            host::AddonExports exports{};
            abandoned->getExportedFuncAddrs()(&exports);
            host::HostFunctionTable table{};   // only strings: check environment needs no more
            table.size = sizeof table;
            table.getString = &stringsOfTheModule;
            abandoned->setImportedFuncAddrs()(&table, nullptr);
            auto environment = std::make_unique<host::AddonEnvironment>();
            if (exports.checkEnvironment(environment.get()) != host::kAddonNormal) std::_Exit(4);
            std::exit(0);   // the host goes away without free data
        },
        ::testing::ExitedWithCode(0), "Abnormal add-on termination: TestAddon");
}

TEST_F(EntryPointsTest, FreeDataLeavesNoAbnormalTermination) {
    start();
    host_.reset();
    for (const std::string& line : texts())
        EXPECT_EQ(line.find("Abnormal add-on termination"), std::string::npos);
}

}   // namespace
