// A fixture for the tests of the simulated project: the raw test add-on is started on a project
// loaded from JSON text, and the host's element and database calls are made as that add-on.
#pragma once

#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include <HostRecords.h>
#include <HostTable.h>

#include "Host/HostTestSupport.h"

class SimProjectFixture : public RawAddonFixture {
protected:
    // Loads the project and starts the add-on on it.
    void open(const std::string& json) {
        std::string error;
        ASSERT_TRUE(host_->project().loadText(json, error)) << error;
        start();
    }

    const host::HostFunctionTable& table() const { return *controls_->table; }
    host::HostContext* context() const { return controls_->context; }
    host::SimProject& project() { return host_->project(); }

    // Runs `body` as the body of an undoable command; its result is the command's.
    template <typename Body>
    host::Result inCommand(Body body) {
        const auto run = [](void* data) -> std::uint32_t { return (*static_cast<Body*>(data))(); };
        return table().undoableCommand(context(), u"Test", run, &body);
    }

    // A code given as text (a table of cases) must be four characters.
    host::Result database(std::string_view code, void* p1 = nullptr, void* p2 = nullptr) {
        const auto value = host::fourccFromText(code);
        EXPECT_TRUE(value) << code;
        return table().database(context(), value.value_or(0), p1, p2, nullptr);
    }
    host::Result environment(const char (&code)[5], void* p1 = nullptr, void* p2 = nullptr) {
        return table().environment(context(), host::fourcc(code), p1, p2, nullptr);
    }
    host::Result automation(const char (&code)[5], void* p1 = nullptr) {
        return table().automation(context(), host::fourcc(code), p1, nullptr, nullptr);
    }

    // Makes the database current ('CDAT').
    host::Result makeCurrent(std::int32_t type, const std::string& guid = "") {
        host::DatabaseRecord record{};
        record.type = type;
        if (!guid.empty()) host::guidFromText(guid, record.guid);
        return database("CDAT", &record);
    }

    static host::GuidRecord guid(const std::string& text) {
        host::GuidRecord g;
        EXPECT_TRUE(host::guidFromText(text, g)) << text;
        return g;
    }

    static host::ElementHead headOf(const std::string& text) {
        host::ElementHead head{};
        head.guid = guid(text);
        return head;
    }

    // The guids in a handle of guids, as text; the handle is disposed.
    static std::vector<std::string> guidTexts(host::Handle handle) {
        std::vector<std::string> texts;
        const std::size_t count = host::getHandleSize(handle) / sizeof(host::GuidRecord);
        for (std::size_t i = 0; i < count; ++i) {
            host::GuidRecord g;
            std::memcpy(&g, *handle + i * sizeof g, sizeof g);
            texts.push_back(host::guidToText(g));
        }
        host::disposeHandle(handle);
        return texts;
    }

    // A handle holding the records; the caller disposes it.
    template <typename Record>
    static host::Handle handleOf(const std::vector<Record>& records) {
        host::Handle handle = host::newHandle(records.size() * sizeof(Record), false);
        if (!records.empty()) std::memcpy(*handle, records.data(), records.size() * sizeof(Record));
        return handle;
    }

    std::vector<std::string> elementList(std::int32_t type, std::uint32_t flags = 0,
                                         std::int32_t variation = 0,
                                         const host::GuidRecord* renovation = nullptr) {
        host::Handle guids = nullptr;
        EXPECT_EQ(table().getElementList(context(), type, &guids, flags, variation, renovation),
                  host::kNoError);
        return guidTexts(guids);
    }
};
