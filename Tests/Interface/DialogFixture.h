// DialogFixture: a fresh simulated host that has started the interface probe module, with the framework
// in this process bound to the probe's context, so that dialogs open from the probe's resources
// (Tests/Interface/Probe/TestDialogs.strings and the framework's own) and play the test's script.
// TestDialog is a Dialog whose hooks run the functions a test gives it.
#pragma once

#include <dlfcn.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <HostDebug.h>
#include <HostDialogLibrary.h>
#include <HostDialogs.h>
#include <SimulatedHost.h>

#include "Environment/HostApi.h"
#include "Interface/ActionEvent.h"
#include "Interface/Dialog.h"
#include "Interface/InterfacePanel.h"

class TestDialog : public tarnwick::Dialog {
public:
    explicit TestDialog(std::uint16_t resourceId, bool modal = true)
        : Dialog(resourceId, modal, false, false) {}
    ~TestDialog() override = default;

    std::function<void(TestDialog&)> onInitialise;
    std::function<void(TestDialog&)> onOpened;
    std::function<void(TestDialog&, const tarnwick::ActionEvent&)> onClose;
    std::function<void(TestDialog&, const tarnwick::ActionEvent&)> onCancel;
    std::function<void(TestDialog&)> onClosed;
    int updates = 0;
    std::vector<std::string> hooks;   // the hooks in the order they ran

    void initialise() override {
        hooks.push_back("initialise");
        if (onInitialise) onInitialise(*this);
    }
    void opened() override {
        hooks.push_back("opened");
        if (onOpened) onOpened(*this);
    }
    void update() override { ++updates; }
    void close(const tarnwick::ActionEvent& event) override {
        hooks.push_back("close");
        if (onClose) onClose(*this, event);
    }
    void cancel(const tarnwick::ActionEvent& event) override {
        hooks.push_back("cancel");
        if (onCancel) onCancel(*this, event);
    }
    void closed() override {
        hooks.push_back("closed");
        if (onClosed) onClosed(*this);
    }
};

class DialogFixture : public ::testing::Test {
protected:
    void SetUp() override {
        host::clearUserActions();
        host::clearDebugLines();
        host::clearRecordedAlerts();
        host_ = std::make_unique<host::SimulatedHost>();
        std::string error;
        ASSERT_TRUE(host_->startAddon(INTERFACE_PROBE_PATH, error)) << error;
        void* module = ::dlopen(INTERFACE_PROBE_PATH, RTLD_NOW | RTLD_NOLOAD);
        ASSERT_NE(module, nullptr);
        const auto contextOf =
            reinterpret_cast<host::HostContext* (*)()>(::dlsym(module, "DrawingProbeContext"));
        ASSERT_NE(contextOf, nullptr);
        host::HostContext* context = contextOf();
        ::dlclose(module);
        tarnwick::hostApi().bind(&host_->table(), context);
        tarnwick::InterfacePanel::createRegistry();
        host::setDialogTranscript([this](const std::string& line) { transcript_.push_back(line); });
    }

    void TearDown() override {
        host::setDialogTranscript(nullptr);
        tarnwick::InterfacePanel::destroyRegistry();
        tarnwick::hostApi().unbind();
        host_.reset();
        host::clearUserActions();
    }

    void script(const std::string& json) {   // also ends any stop of the last run
        host::clearUserActions();
        std::string error;
        ASSERT_TRUE(host::parseUserActions(json, "", error)) << error;
    }

    bool transcribed(const std::string& line) const {
        for (const std::string& written : transcript_)
            if (written == line) return true;
        return false;
    }

    static bool debugLineContains(const std::string& text) {
        for (const std::string& line : host::debugLines())
            if (line.find(text) != std::string::npos) return true;
        return false;
    }

    std::unique_ptr<host::SimulatedHost> host_;
    std::vector<std::string> transcript_;
};
