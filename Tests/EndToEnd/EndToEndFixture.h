// EndToEndFixture: the Skellowing module started in a fresh simulated host with a fixture project and a
// temporary home, and the command-line host run as a program on the same files.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <HostDialogs.h>
#include <HostFiles.h>
#include <SimulatedHost.h>

// A user's choices in the mapping dialog: another configuration, a part typed, a part chosen among several.
inline constexpr const char* kUsersMapping = R"([
    {"do": "selectPopup", "item": 4, "text": "Showroom"},
    {"do": "selectRows", "item": 9, "rows": [2]}, {"do": "setText", "item": 8, "text": "glaz", "commit": true},
    {"do": "selectRows", "item": 9, "rows": [6]}, {"do": "setText", "item": 8, "text": "chair", "commit": true},
    {"do": "selectRows", "item": 4, "rows": [2], "dialog": 32511}, {"do": "click", "item": 1, "dialog": 32511},
    {"do": "click", "item": 1}])";

class EndToEndFixture : public ::testing::Test {
protected:
    struct ProgramRun {
        int status = -1;
        std::string out;
        std::string err;
    };

    void SetUp() override {
        static std::atomic<int> counter{0};
        scratch_ = std::filesystem::temp_directory_path() /
                   ("skellow-e2e-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
        std::filesystem::remove_all(scratch_);
        std::filesystem::create_directories(home());
        host::setHomeDirectory(home().string());
        host::clearUserActions();
        host::clearRecordedAlerts();
    }

    void TearDown() override {
        host_.reset();
        host::clearUserActions();
        host::clearRecordedAlerts();
        host::setHomeDirectory("");
        std::error_code ignored;
        std::filesystem::remove_all(scratch_, ignored);
    }

    std::filesystem::path home() const { return scratch_ / "home"; }
    std::filesystem::path tableFile() const { return tableIn(home()); }
    static std::filesystem::path tableIn(const std::filesystem::path& home) {
        return home / "Application Data" / "Skellowing" / "ObjectMap.xml";
    }
    static std::filesystem::path fixture(const std::string& name) {
        return std::filesystem::path(TEST_SOURCE_DIR) / "Projects" / name;
    }

    // The module started in a host holding the fixture project, with the mapping table given (none: the
    // command makes the default one). `beforeStart` runs in the new host just before the module starts
    // (to arm a fault).
    void start(const std::string& project, const std::string& table = "",
               const std::function<void()>& beforeStart = {}) {
        if (!table.empty()) {
            std::filesystem::create_directories(tableFile().parent_path());
            std::filesystem::copy_file(fixture(table), tableFile(),
                                       std::filesystem::copy_options::overwrite_existing);
        }
        host_ = std::make_unique<host::SimulatedHost>();
        std::string error;
        ASSERT_TRUE(host_->project().loadFile(fixture(project).string(), error)) << error;
        if (beforeStart) beforeStart();
        ASSERT_TRUE(host_->startAddon(SKELLOWING_MODULE_PATH, error)) << error;
        host::clearRecordedAlerts();
    }

    void script(const std::string& json) {
        std::string error;
        ASSERT_TRUE(host::parseUserActions(json, scratch_.string(), error)) << error;
    }

    // Picks the menu command; the host's result.
    host::Result run(const std::string& command) {
        const auto choice = host_->findMenuItem(command);
        EXPECT_TRUE(choice.has_value()) << command;
        return choice ? host_->selectMenuItem(*choice) : host::kErrBadParameters;
    }

    static std::vector<std::string> alertTexts() {
        std::vector<std::string> texts;
        for (const host::AlertRecord& alert : host::recordedAlerts()) texts.push_back(alert.largeText);
        return texts;
    }

    // Whether an alert tells of a failure: errors and warnings do, and so do the report's lines of elements
    // that could not be replaced; the confirmation question (shown as a warning) does not.
    static bool toldAsFailure(const host::AlertRecord& alert) {
        if (alert.largeText.starts_with("Please note")) return false;
        return alert.kind == host::kAlertError || alert.kind == host::kAlertWarning ||
               alert.largeText.find("could not be") != std::string::npos;
    }

    // The command-line host, run on files of the scratch folder.
    ProgramRun skellowHost(const std::vector<std::string>& arguments) const {
        std::string command = quoted(SKELLOW_HOST_PATH);
        for (const auto& argument : arguments) command += " " + quoted(argument);
        command += " --module " + quoted(SKELLOWING_MODULE_PATH);
        command +=
            " >" + quoted((scratch_ / "stdout").string()) + " 2>" + quoted((scratch_ / "stderr").string());
        const int raw = std::system(command.c_str());
        ProgramRun result;
        result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        result.out = readFile(scratch_ / "stdout");
        result.err = readFile(scratch_ / "stderr");
        return result;
    }

    static std::string readFile(const std::filesystem::path& path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

    std::filesystem::path scratch_;
    std::unique_ptr<host::SimulatedHost> host_;

private:
    static std::string quoted(const std::string& word) {
        std::string text = "'";
        for (char c : word) text += c == '\'' ? std::string("'\\''") : std::string(1, c);
        return text + "'";
    }
};
