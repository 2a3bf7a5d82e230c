#include "Environment/Addon.h"

#include <chrono>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include <FourCC.h>

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

// An add-on the host could not give its name to (a text refused) cannot be reached by the others: it
// writes no supervisor marker, which would name nobody.
TEST_F(AddonTest, WritesNoSupervisorMarkerWithoutItsName) {
    const auto marker = folder5() / "Tarnwick" / "com.tarnwickgroup.supervisor.txt";
    host_->clearCalls();
    start();
    const std::size_t texts = host_->countCalls(host::HostSlot::getString);
    host_->stopAddons();
    bool nameless = false;
    for (std::size_t n = 1; n <= texts; ++n) {
        SCOPED_TRACE(n);
        host_->injectFault({host::HostSlot::getString, std::nullopt}, n, host::kErrGeneral);
        std::string error;
        const bool started = host_->startAddon(TEST_ADDON_PATH, error);   // not without a name to show
        host_->clearFaults();
        if (std::filesystem::exists(marker)) {
            EXPECT_EQ(contents(marker), "TestAddon");
        } else if (started) {
            nameless = true;
        }
        host_->stopAddons();
        EXPECT_FALSE(std::filesystem::exists(marker));
    }
    EXPECT_TRUE(nameless) << "no refused text was the name the add-on links with";
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

TEST_F(AddonTest, KeepsStoredSettingsItCannotReadUntilTheUserChangesOne) {
    const std::string broken = "<frameworkPreferenceStore><testNote><text>x</txt></testNote>";
    host_->project().state.moduleData[{"TestAddon", "frameworkPreferenceStore"}] = {
        1, host::kPlatformSignWindows, std::vector<unsigned char>(broken.begin(), broken.end())};
    start();
    const auto alerts = host::recordedAlerts();
    ASSERT_EQ(alerts.size(), 1u);
    EXPECT_EQ(alerts[0].kind, host::kAlertWarning);
    EXPECT_EQ(
        alerts[0].largeText,
        "The settings that the TestAddon addon keeps in this project cannot be read. The addon uses its "
        "defaults and leaves the stored settings as they are until you change a setting.");
    EXPECT_EQ(alerts[0].smallText,
              "Line 1, column 46 of the stored settings: mismatched end tag: expected </text>.");
    choose("Say Note");
    EXPECT_TRUE(logged("TestAddon: note Default"));
    host_->notifyProject(host::kProjectPreSave);
    EXPECT_EQ(moduleData("frameworkPreferenceStore"), broken) << "not written over with the defaults";

    choose("Save Note");   // the user changed a setting: now it is stored
    EXPECT_NE(moduleData("frameworkPreferenceStore").find("<text>Saved</text>"), std::string::npos);
    host_->notifyProject(host::kProjectPreSave);
    EXPECT_NE(moduleData("frameworkPreferenceStore").find("<text>Saved</text>"), std::string::npos);
}

TEST_F(AddonTest, CarriesPackagesOfKindsItDoesNotKnowThroughASave) {
    const std::string stored =
        "<frameworkPreferenceStore><laterKind version=\"2\"><item>a &amp; b</item></laterKind>"
        "<testNote><text>Old</text></testNote></frameworkPreferenceStore>";
    host_->project().state.moduleData[{"TestAddon", "frameworkPreferenceStore"}] = {
        1, host::kPlatformSignWindows, std::vector<unsigned char>(stored.begin(), stored.end())};
    start();
    choose("Save Note");
    const std::string saved = moduleData("frameworkPreferenceStore");
    EXPECT_NE(saved.find("<text>Saved</text>"), std::string::npos) << saved;
    EXPECT_NE(saved.find("<laterKind version=\"2\"><item>a &amp; b</item></laterKind>"), std::string::npos)
        << saved;
}

TEST_F(AddonTest, WritesThePreferenceFileWhenAskedAndAsItLeaves) {
    const auto file = folder5() / "Tarnwick" / "com.tarnwickgroup.TestAddon.xml";
    start();
    choose("Save File Note");
    EXPECT_TRUE(logged("TestAddon: file note saved"));
    EXPECT_NE(contents(file).find("<text>In File</text>"), std::string::npos) << contents(file);
    host_->stopAddons();
    start();
    choose("Say Note");
    EXPECT_TRUE(logged("TestAddon: file note In File"));

    std::filesystem::remove(file);
    host_->stopAddons();
    EXPECT_NE(contents(file).find("<text>In File</text>"), std::string::npos) << "written at free data";

    // A file that cannot be read is left as it is.
    std::ofstream(file) << "<frameworkPreferenceStore><testNote>";
    start();
    host_->stopAddons();
    EXPECT_EQ(contents(file), "<frameworkPreferenceStore><testNote>");
}

TEST_F(AddonTest, ForgetsTheProjectBeforeTheSubscribersHearThatAnotherIsOpened) {
    start();
    choose("Change Data");
    host::clearDebugLines();
    host_->notifyProject(host::kProjectOpen);
    EXPECT_TRUE(logged("TestAddon: open finds 0 transactions"));
}

TEST_F(AddonTest, HasNoProjectOnceTheHostClosedItAndFindsItAgainWhenOpened) {
    start();
    choose("Save Note");
    host::clearDebugLines();
    host_->closeProject();
    EXPECT_TRUE(logged("TestAddon: close finds the project")) << "still there while closing";
    choose("Say Note");
    EXPECT_TRUE(logged("TestAddon: note none"));
    host_->openProject();
    host::clearDebugLines();
    choose("Say Note");
    EXPECT_TRUE(logged("TestAddon: note Saved")) << "read from the project opened";
}

TEST_F(AddonTest, StartedWithNoProjectOpenGivesTheProjectOpenedLaterItsPackages) {
    host_->closeProject();
    start();
    host_->openProject();
    host::clearDebugLines();
    choose("Say Note");
    EXPECT_TRUE(logged("TestAddon: note Default"));
}

// The host may refuse 'PROJ' as the add-on starts (once, or until the start is over): the project's
// packages wait, and are filed, with what the project stores read over them once, when the project is found.
TEST_F(AddonTest, FilesThePackagesWhenTheProjectIsFoundAfterTheHostRefusedItAtTheStart) {
    const host::FaultKey project{host::HostSlot::environment, host::fourcc("PROJ")};
    start();
    choose("Save Note");
    host_->stopAddons();
    host_->clearCalls();
    start();
    const std::size_t asked = host_->countCalls(host::HostSlot::environment, host::fourcc("PROJ"));
    const std::size_t reads = host_->countCalls(host::HostSlot::getModuleData);
    ASSERT_GT(asked, 0u);
    host_->stopAddons();
    for (std::size_t n = 0; n <= asked; ++n) {   // 0: every 'PROJ' of the start
        SCOPED_TRACE(n);
        host_->clearCalls();
        host_->injectFault(project, n, host::kErrGeneral);
        start();
        host_->clearFaults();
        if (n > 0) {
            EXPECT_EQ(host_->countCalls(host::HostSlot::getModuleData), reads) << "read once";
        }
        host::clearDebugLines();
        choose("Say Note");
        EXPECT_TRUE(logged("TestAddon: note Saved"));
        host_->stopAddons();
    }
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

// Each file the framework writes in the data folders replaces a link planted at its name, and neither
// writes the file the link names nor makes one where a dangling link points.
TEST_F(AddonTest, NeverWritesTheMarkerPreferencesOrAReportThroughALink) {
    namespace fs = std::filesystem;
    const fs::path victim = home_ / "outside" / "victim.txt";
    const fs::path nowhere = home_ / "outside" / "nowhere.txt";
    fs::create_directories(victim.parent_path());
    std::ofstream(victim) << "victim";
    const auto untouched = [&] {
        EXPECT_EQ(contents(victim), "victim");
        EXPECT_FALSE(fs::exists(fs::symlink_status(nowhere)));
    };
    const fs::path marker = folder5() / "Tarnwick" / "com.tarnwickgroup.supervisor.txt";
    const fs::path preferences = folder5() / "Tarnwick" / "com.tarnwickgroup.TestAddon.xml";
    fs::create_directories(marker.parent_path());
    for (const fs::path& target : {victim, nowhere}) {
        SCOPED_TRACE(target.string());
        fs::remove(marker);
        fs::create_symlink(target, marker);
        start();
        EXPECT_EQ(fs::symlink_status(marker).type(), fs::file_type::regular);
        EXPECT_EQ(contents(marker), "TestAddon");
        fs::remove(preferences);
        fs::create_symlink(target, preferences);
        choose("Save File Note");
        EXPECT_EQ(fs::symlink_status(preferences).type(), fs::file_type::regular);
        EXPECT_NE(contents(preferences).find("<text>In File</text>"), std::string::npos);
        host_->stopAddons();
        untouched();
    }

    // A report takes a name no entry has: links planted at the names of the next seconds are passed over.
    // A report made after them (the machine stalled that long) shows nothing, so another is made.
    BareAddon addon;
    const fs::path first(std::string(addon.reportException("first report").getView()));
    const std::string firstName = first.filename().string();
    const std::size_t stemLength = firstName.size() - std::string(".txt").size();
    const std::string prefix = firstName.substr(0, stemLength - std::string(" 2000-01-01 00.00.00").size());
    std::set<std::string> planted;   // the stems of the seconds planted
    bool told = false;
    for (int attempt = 0; !told && attempt < 20; ++attempt) {
        const auto now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
        for (std::time_t t = now; t <= now + 3; ++t) {
            char when[32];
            std::strftime(when, sizeof when, "%Y-%m-%d %H.%M.%S", std::localtime(&t));
            const std::string stem = prefix + " " + when;
            if (!planted.insert(stem).second) continue;
            const fs::path base = first.parent_path() / stem;
            if (!fs::exists(fs::symlink_status(base.string() + ".txt")))
                fs::create_symlink(victim, base.string() + ".txt");
            fs::create_symlink(nowhere, base.string() + " (2).txt");
        }
        const fs::path second(std::string(addon.reportException("second report").getView()));
        ASSERT_FALSE(second.empty());
        EXPECT_EQ(fs::symlink_status(second).type(), fs::file_type::regular);
        EXPECT_EQ(contents(second), "second report");
        const std::string name = second.filename().string();
        told = planted.count(name.substr(0, stemLength)) != 0;
        if (told) {
            EXPECT_EQ(name, name.substr(0, stemLength) + " (3).txt");
        }
    }
    EXPECT_TRUE(told) << "no report was made in a second whose names were planted";
    untouched();
}

}   // namespace
