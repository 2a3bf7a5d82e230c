// SkellowingFixture: a fresh simulated host with a temporary home, the product's texts and its add-on
// object in this process, so that tests drive the product's classes directly.
#pragma once

#include <dlfcn.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <utility>

#include <gtest/gtest.h>

#include <HostDialogs.h>
#include <HostFiles.h>
#include <HostResult.h>
#include <HostTable.h>
#include <SimulatedHost.h>

#include "Environment/Addon.h"
#include "Environment/HostApi.h"
#include "Project/HostProject.h"
#include "Skellowing/SkellowingAddon.h"
#include "Support/MemoryCheck.h"

// A table as a user's tables look: two configurations of one kind, a door, entities, parameters.
inline constexpr const char* kUserTable =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\n"
    "<objectMap>\n"
    "\t<specificationList sourceName=\"Default\" objectType=\"IFC\">\n"
    "\t\t<objectSpecification>\n"
    "\t\t\t<originalName>Office Chair</originalName>\n"
    "\t\t\t<mappedName>Chair 22</mappedName>\n"
    "\t\t\t<mappedObjectGuid></mappedObjectGuid>\n"
    "\t\t\t<customParameters>\n"
    "\t\t\t\t<parameter name=\"A\" type=\"length\">\n"
    "\t\t\t\t\t<value>0.6</value>\n"
    "\t\t\t\t</parameter>\n"
    "\t\t\t\t<parameter name=\"seatMat\" type=\"material\" columnCount=\"2\">\n"
    "\t\t\t\t\t<value>12</value>\n"
    "\t\t\t\t\t<value>13</value>\n"
    "\t\t\t\t\t<value>14</value>\n"
    "\t\t\t\t\t<value>15</value>\n"
    "\t\t\t\t</parameter>\n"
    "\t\t\t</customParameters>\n"
    "\t\t</objectSpecification>\n"
    "\t\t<objectSpecification mappedType=\"door\">\n"
    "\t\t\t<originalName>IfcDoor D1 &amp; frame &lt;x&gt;</originalName>\n"
    "\t\t\t<mappedName>Door 22</mappedName>\n"
    "\t\t\t<mappedObjectGuid></mappedObjectGuid>\n"
    "\t\t</objectSpecification>\n"
    "\t</specificationList>\n"
    "\t<specificationList sourceName=\"Site &quot;B&quot;\" objectType=\"IFC\"/>\n"
    "\t<specificationList sourceName=\"Default\" objectType=\"DWG\"/>\n"
    "\t<specificationList sourceName=\"Default\" objectType=\"GSM\"/>\n"
    "\t<specificationList sourceName=\"Default\" objectType=\"missing\"/>\n"
    "\t<specificationList sourceName=\"Default\" objectType=\"legacy\"/>\n"
    "</objectMap>\n";

class SkellowingFixture : public MemoryCheck {
protected:
    void SetUp() override {
        MemoryCheck::SetUp();
        static std::atomic<int> counter{0};
        home_ = std::filesystem::temp_directory_path() /
                ("skellow-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
        std::filesystem::remove_all(home_);
        std::filesystem::create_directories(home_);
        host::setHomeDirectory(home_.string());
        host::clearUserActions();
        host_ = std::make_unique<host::SimulatedHost>();
        std::string error;
        ASSERT_TRUE(host_->startAddon(SKELLOW_PROBE_PATH, error)) << error;
        void* module = ::dlopen(SKELLOW_PROBE_PATH, RTLD_NOW | RTLD_NOLOAD);
        ASSERT_NE(module, nullptr);
        const auto contextOf =
            reinterpret_cast<host::HostContext* (*)()>(::dlsym(module, "DrawingProbeContext"));
        ::dlclose(module);
        ASSERT_NE(contextOf, nullptr);
        tarnwick::hostApi().bind(&host_->table(), contextOf());
        tarnwick::Addon::setInstance(std::make_unique<skellow::SkellowingAddon>());
        host::clearRecordedAlerts();
    }

    void TearDown() override {
        tarnwick::Addon::destroyInstance();
        tarnwick::HostProject::destroy();
        tarnwick::hostApi().unbind();
        host_.reset();
        host::clearUserActions();
        host::clearRecordedAlerts();
        host::setHomeDirectory("");
        std::error_code ignored;
        std::filesystem::remove_all(home_, ignored);
        MemoryCheck::TearDown();
    }

    void script(const std::string& json) {
        std::string error;
        ASSERT_TRUE(host::parseUserActions(json, home_.string(), error)) << error;
    }

    // From now the host refuses to give this one string and gives every other as before: a test finds
    // the read by what it reads, not by how many reads come before it. Every test starts with none refused.
    void refuseString(std::int16_t list, std::int32_t item) {
        refusedString_ = {list, item};
        givenString_ = host_->table().getString;
        host::HostFunctionTable table = host_->table();
        table.getString = &refusingGetString;
        tarnwick::hostApi().bind(&table, tarnwick::hostApi().getContext());
    }
    void giveEveryString() { tarnwick::hostApi().bind(&host_->table(), tarnwick::hostApi().getContext()); }

    std::filesystem::path dataFolder() const { return home_ / "Application Data" / "Skellowing"; }
    std::filesystem::path tableFile() const { return dataFolder() / "ObjectMap.xml"; }

    static std::string readFile(const std::filesystem::path& path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
    static void writeFile(const std::filesystem::path& path, const std::string& text) {
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << text;
    }

    std::filesystem::path home_;
    std::unique_ptr<host::SimulatedHost> host_;

private:
    static std::uint32_t refusingGetString(host::HostContext* context, std::int16_t list, std::int32_t item,
                                           host::Handle* text) {
        if (list != refusedString_.first || item != refusedString_.second)
            return givenString_(context, list, item, text);
        if (text) *text = nullptr;
        return host::kErrBadIndex;
    }
    inline static std::pair<std::int16_t, std::int32_t> refusedString_;
    inline static decltype(host::HostFunctionTable::getString) givenString_ = nullptr;
};
