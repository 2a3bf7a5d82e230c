// Support for the host's tests: a scratch folder, and a fixture that loads the raw test module
// (RawAddon/) so a test can set its controls and call the host as that add-on.
#pragma once

#include <dlfcn.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include <HostDialogs.h>
#include <HostFiles.h>
#include <SimulatedHost.h>

#include "Host/RawAddon/RawAddon.h"
#include "Support/MemoryCheck.h"

class HostScratch {
public:
    HostScratch() {
        static std::atomic<int> counter{0};
        path_ = std::filesystem::temp_directory_path() /
                ("skellow-host-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~HostScratch() {
        std::error_code error;
        std::filesystem::remove_all(path_, error);
    }
    HostScratch(const HostScratch&) = delete;
    HostScratch& operator=(const HostScratch&) = delete;

    std::string file(const std::string& name) const { return (path_ / name).string(); }
    std::string write(const std::string& name, std::string_view bytes) const {
        std::ofstream(path_ / name, std::ios::binary) << bytes;
        return file(name);
    }

private:
    std::filesystem::path path_;
};

inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class RawAddonFixture : public MemoryCheck {
protected:
    void SetUp() override {
        MemoryCheck::SetUp();
        library_ = dlopen(RAW_ADDON_PATH, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(library_, nullptr) << dlerror();
        const auto controlsOf = reinterpret_cast<RawAddonControlsProc>(dlsym(library_, "RawAddonControlsOf"));
        ASSERT_NE(controlsOf, nullptr);
        controls_ = controlsOf();
        *controls_ = {host::kAddonInterfaceVersion, host::kAddonNormal, 0, 0, 0, 0, nullptr, nullptr};
        host::clearUserActions();
        host::clearRecordedAlerts();
        host_ = std::make_unique<host::SimulatedHost>();
    }
    void TearDown() override {
        host_.reset();   // free data and unload, before the memory check
        host::clearUserActions();
        if (library_) dlclose(library_);
        MemoryCheck::TearDown();
    }

    void start() {
        std::string error;
        ASSERT_TRUE(host_->startAddon(RAW_ADDON_PATH, error)) << error;
    }
    // Calls a dispatcher as the raw add-on.
    host::Result interfaceCall(const char (&code)[5], void* p1 = nullptr, void* p2 = nullptr) {
        return controls_->table->interface(controls_->context, host::fourcc(code), p1, p2, nullptr, nullptr,
                                           nullptr);
    }

    void* library_ = nullptr;
    RawAddonControls* controls_ = nullptr;
    std::unique_ptr<host::SimulatedHost> host_;
};
