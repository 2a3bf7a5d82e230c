// A fresh simulated host with a temporary home for the tests that load the framework's test add-ons
// (Tests/AddonModule), and what they read back: log lines, module data, report files.
#pragma once

#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <HostDebug.h>
#include <HostDialogs.h>
#include <HostFiles.h>
#include <SimulatedHost.h>

class AddonHostFixture : public ::testing::Test {
protected:
    void SetUp() override {
        static std::atomic<int> counter{0};
        home_ = std::filesystem::temp_directory_path() /
                ("tarnwick-addon-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
        std::filesystem::remove_all(home_);
        std::filesystem::create_directories(home_);
        host::setHomeDirectory(home_.string());
        host::clearDebugLines();
        host::clearRecordedAlerts();
        host::clearUserActions();
        host_ = std::make_unique<host::SimulatedHost>();
    }

    void TearDown() override {
        host_.reset();   // free data of every add-on, then unloads them
        host::setHomeDirectory("");
        std::error_code ignored;
        std::filesystem::remove_all(home_, ignored);
    }

    void start(const char* path = TEST_ADDON_PATH) {
        std::string error;
        ASSERT_TRUE(host_->startAddon(path, error)) << error;
    }

    // The command of the first add-on that has it; kErrBadParameters when none has.
    host::Result choose(const std::string& command) {
        const auto choice = host_->findMenuItem(command);
        if (!choice) return host::kErrBadParameters;
        return host_->selectMenuItem(*choice);
    }

    // Debug lines without the time that activity-log lines start with.
    static std::vector<std::string> texts() {
        std::vector<std::string> lines;
        for (const std::string& line : host::debugLines()) {
            const std::size_t tab = line.find('\t');
            lines.push_back(tab == std::string::npos ? line : line.substr(tab + 1));
        }
        return lines;
    }
    static bool logged(const std::string& text) {
        for (const std::string& line : texts())
            if (line == text) return true;
        return false;
    }

    // The first line that starts with the text; "" when none does.
    static std::string loggedStartingWith(const std::string& prefix) {
        for (const std::string& line : texts())
            if (line.rfind(prefix, 0) == 0) return line;
        return "";
    }

    std::string moduleData(const std::string& name, const std::string& addon = "TestAddon") const {
        const auto& data = host_->project().state.moduleData;
        const auto found = data.find({addon, name});
        if (found == data.end()) return "(none)";
        return std::string(found->second.bytes.begin(), found->second.bytes.end());
    }

    std::filesystem::path folder5() const { return *host::specialFolder(host::kFolderApplicationData); }

    std::vector<std::filesystem::path> reportFiles() const {
        std::vector<std::filesystem::path> files;
        const auto folder = folder5() / "Tarnwick Tools";
        if (!std::filesystem::exists(folder)) return files;
        for (const auto& entry : std::filesystem::directory_iterator(folder)) files.push_back(entry.path());
        return files;
    }

    static std::string contents(const std::filesystem::path& path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

    std::filesystem::path home_;
    std::unique_ptr<host::SimulatedHost> host_;
};
