// A fresh simulated host with a temporary home that has loaded the interface test add-on
// (Tests/Interface/Module), with what the tests read back: the add-on's debug lines, alerts, progress.
#pragma once

#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <HostDebug.h>
#include <HostDialogs.h>
#include <HostFiles.h>
#include <SimulatedHost.h>

class InterfaceHostFixture : public ::testing::Test {
protected:
    void SetUp() override {
        static std::atomic<int> counter{0};
        home_ = std::filesystem::temp_directory_path() /
                ("tarnwick-interface-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
        std::filesystem::remove_all(home_);
        std::filesystem::create_directories(home_);
        host::setHomeDirectory(home_.string());
        host::clearUserActions();
        host_ = std::make_unique<host::SimulatedHost>();
        std::string error;
        ASSERT_TRUE(host_->startAddon(INTERFACE_TEST_ADDON_PATH, error)) << error;
        host::clearDebugLines();
        host::clearRecordedAlerts();
    }

    void TearDown() override {
        host_.reset();
        host::clearUserActions();
        host::setHomeDirectory("");
        std::error_code ignored;
        std::filesystem::remove_all(home_, ignored);
    }

    // Runs the add-on's command; false when the host did not find or could not run it.
    bool run(const std::string& command) {
        const auto choice = host_->findMenuItem(command);
        return choice && host_->selectMenuItem(*choice) == host::kNoError;
    }

    void script(const std::string& json) {
        std::string error;
        ASSERT_TRUE(host::parseUserActions(json, home_.string(), error)) << error;
    }

    // What the add-on said, without its prefix; the framework's own log lines are left out.
    static std::vector<std::string> said() {
        static const std::string kPrefix = "InterfaceTestAddon: ";
        std::vector<std::string> lines;
        for (const std::string& line : host::debugLines())
            if (line.rfind(kPrefix, 0) == 0) lines.push_back(line.substr(kPrefix.size()));
        return lines;
    }

    std::filesystem::path home_;
    std::unique_ptr<host::SimulatedHost> host_;
};
