#include "Environment/Addon.h"

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "Environment/AddonHostFixture.h"

namespace {

using AddonTest = AddonHostFixture;

TEST_F(AddonTest, OffersAnEventNoSubscriberHandledToTheOtherAddonsOfTheSupervisor) {
    start(TEST_ADDON_PATH);
    start(TEST_ADDON2_PATH);
    const auto marker = folder5() / "Tarnwick" / "com.tarnwickgroup.supervisor.txt";
    EXPECT_EQ(contents(marker), "TestAddon") << "the first add-on supervises";

    host::clearDebugLines();
    choose("Publish Event");   // the first add-on's menu
    EXPECT_TRUE(logged("TestAddon: TestAddon offered TEST/PING"));
    EXPECT_TRUE(logged("TestAddon: TestAddon2 offered TEST/PING"));
    EXPECT_TRUE(logged("TestAddon: ping handled"));
    EXPECT_EQ(host_->countCalls(host::HostSlot::callAddonCommand), 2u) << "the list, then the event";
}

TEST_F(AddonTest, KeepsAnEventToItselfWhenNoOtherAddonShares) {
    start(TEST_ADDON_PATH);
    host::clearDebugLines();
    choose("Publish Event");
    EXPECT_TRUE(logged("TestAddon: TestAddon offered TEST/PING"));
    EXPECT_TRUE(logged("TestAddon: ping not handled"));
    EXPECT_TRUE(logged("TEST/PING")) << "the event log has it";
    EXPECT_EQ(host_->countCalls(host::HostSlot::callAddonCommand), 0u);
}

TEST_F(AddonTest, TakesOverFromASupervisorThatNoLongerAnswers) {
    std::filesystem::create_directories(folder5() / "Tarnwick");
    std::ofstream(folder5() / "Tarnwick" / "com.tarnwickgroup.supervisor.txt") << "Gone Addon";
    start(TEST_ADDON_PATH);
    EXPECT_EQ(contents(folder5() / "Tarnwick" / "com.tarnwickgroup.supervisor.txt"), "TestAddon");
    host_->stopAddons();
    EXPECT_FALSE(std::filesystem::exists(folder5() / "Tarnwick" / "com.tarnwickgroup.supervisor.txt"))
        << "a supervisor that stops leaves no name behind";
}

TEST_F(AddonTest, KeepsTheProjectsPackagesAsModuleDataAndReadsThemAtTheNextStart) {
    start();
    choose("Say Note");
    EXPECT_TRUE(logged("TestAddon: note Default"));
    EXPECT_EQ(moduleData("frameworkPreferenceStore"), "(none)")
        << "nothing is written before it is asked for";

    choose("Save Note");
    EXPECT_TRUE(logged("TestAddon: note saved"));
    const std::string stored = moduleData("frameworkPreferenceStore");
    EXPECT_NE(stored.find("<frameworkPreferenceStore>"), std::string::npos) << stored;
    EXPECT_NE(stored.find("<text>Saved</text>"), std::string::npos) << stored;

    host_->stopAddons();
    host::clearDebugLines();
    start();
    choose("Say Note");
    EXPECT_TRUE(logged("TestAddon: note Saved"));

    // A new project has none of them: the package is back at its defaults.
    host_->project().state.moduleData.clear();
    host_->notifyProject(host::kProjectNew);
    host::clearDebugLines();
    choose("Say Note");
    EXPECT_TRUE(logged("TestAddon: note Default"));
}

TEST_F(AddonTest, SavesTheProjectsPackagesBeforeTheProjectIsSaved) {
    start();
    choose("Save Note");
    host_->project().state.moduleData.clear();
    host_->notifyProject(host::kProjectPreSave);
    EXPECT_NE(moduleData("frameworkPreferenceStore").find("<text>Saved</text>"), std::string::npos);
}

// An add-on made in the test itself, with no host behind its table.
class BareAddon : public tarnwick::Addon {
public:
    BareAddon() : Addon(32528) {}
};

TEST_F(AddonTest, WritesEachReportToItsOwnFileAndAsksForAnEmailWhenNoneCanBeWritten) {
    BareAddon addon;
    const tarnwick::String first = addon.reportException("first report");
    const tarnwick::String second = addon.reportException("second report");
    ASSERT_FALSE(first.isEmpty());
    ASSERT_FALSE(second.isEmpty());
    EXPECT_NE(first, second);
    EXPECT_EQ(contents(std::string(first.getView())), "first report");
    EXPECT_EQ(contents(std::string(second.getView())), "second report");
    EXPECT_EQ(std::filesystem::path(std::string(first.getView())).parent_path(),
              folder5() / "Tarnwick Tools");
    EXPECT_EQ(host::recordedAlerts().size(), 2u);

    // A home under a plain file: no special folder, so no report file.
    const auto blocker = home_ / "blocker";
    std::ofstream(blocker) << "x";
    host::setHomeDirectory((blocker / "home").string());
    host::clearRecordedAlerts();
    EXPECT_TRUE(addon.reportException("third report").isEmpty());
    EXPECT_EQ(host::recordedAlerts().size(), 1u);
}

}   // namespace
