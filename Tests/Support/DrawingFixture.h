// DrawingFixture: a fresh simulated host whose project holds a small floor plan (objects, a door, a
// lamp on two storeys, with user data and memo parameters), a few views, and the framework bound to it
// in this process. RecordElement is an element kind that keeps the whole host record and the memo's
// parameter part, so that tests can read and write both.
#pragma once

#include <dlfcn.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <HostMemory.h>
#include <HostRecords.h>
#include <SimulatedHost.h>

#include "Elements/Element.h"
#include "Environment/HostApi.h"
#include "Foundation/Memory.h"
#include "Project/Drawing.h"
#include "Project/ElementMemoStore.h"
#include "Project/HostProject.h"
#include "Project/Plan.h"
#include "Project/Project.h"
#include "Support/MemoryCheck.h"

// Keeps the whole record and the memo's parameter bytes. Its position is the object position field.
class RecordElement : public tarnwick::Element {
public:
    RecordElement(const host::ElementRecord& record, const tarnwick::ElementLink& link)
        : Element(link), record_(std::make_unique<host::ElementRecord>(record)) {}
    RecordElement(const RecordElement& other)
        : Element(other),
          record_(std::make_unique<host::ElementRecord>(*other.record_)),
          parameters_(other.parameters_),
          memoLoaded_(other.memoLoaded_) {}

    static std::unique_ptr<tarnwick::Element> create(const host::ElementRecord& record,
                                                     tarnwick::ElementLink& link) {
        return std::make_unique<RecordElement>(record, link);
    }

    std::unique_ptr<tarnwick::Element> clone() const override {
        return std::make_unique<RecordElement>(*this);
    }
    std::unique_ptr<host::ElementRecord> getHostElement() const override {
        return std::make_unique<host::ElementRecord>(*record_);
    }
    // The parameter part, when it was loaded; nothing else.
    std::unique_ptr<tarnwick::ElementMemoStore> getMemo(std::uint64_t& mask) const override {
        mask = 0;
        if (!memoLoaded_) return nullptr;
        auto store = std::make_unique<tarnwick::ElementMemoStore>();
        if (!parameters_.empty())
            *store->parameters() = tarnwick::ptrToHandle(parameters_.data(), parameters_.size());
        mask = host::kMemoParameters;
        return store;
    }
    void loadMemo(std::uint64_t mask, std::unique_ptr<tarnwick::ElementMemoStore>& store) override {
        Element::loadMemo(mask, store);
        if (!store) {
            if (memoLoadingSuspended != 0) return;
            tarnwick::Drawing* drawing = getDrawing();
            if (drawing == nullptr) return;
            store = drawing->loadMemo(getLink(), host::kMemoParameters);
            if (!store) return;
        }
        const host::Handle handle = store->getMemo()->parameters;
        const std::size_t size = tarnwick::getHandleSize(handle);
        parameters_.assign(size == 0 ? nullptr : *handle, size == 0 ? nullptr : *handle + size);
        memoLoaded_ = true;
        ++memoLoads;
    }
    const host::ElementHead& getTypeRecord() const override { return record_->head; }
    host::ElementHead& getMutableTypeRecord() override { return record_->head; }

    double x() const { return read<double>(host::kObjectPositionOffset); }
    void setX(double x) { write(host::kObjectPositionOffset, x); }
    const std::string& parameters() const { return parameters_; }
    void setParameters(const std::string& bytes) {
        parameters_ = bytes;
        memoLoaded_ = true;
    }
    bool memoLoaded() const { return memoLoaded_; }

    static inline int memoLoads = 0;   // memo loads since the count was zeroed

private:
    template <typename T>
    T read(std::size_t offset) const {
        T value;
        std::memcpy(&value, reinterpret_cast<const char*>(record_.get()) + offset, sizeof(T));
        return value;
    }
    template <typename T>
    void write(std::size_t offset, T value) {
        std::memcpy(reinterpret_cast<char*>(record_.get()) + offset, &value, sizeof(T));
    }

    std::unique_ptr<host::ElementRecord> record_;
    std::string parameters_;
    bool memoLoaded_ = false;
};

// TearDown fails the test on host memory left alive or misused (MemoryCheck).
class DrawingFixture : public MemoryCheck {
protected:
    // The fixture project's elements, in host order.
    static constexpr int kObjects = 3;   // objects 0, 1 (storey 0) and 2 (storey 1)
    static constexpr int kDoorIndex = 3;
    static constexpr int kLampIndex = 4;
    static constexpr int kSectionElementIndex = 5;   // in the section: shows object 0

    void SetUp() override {
        MemoryCheck::SetUp();
        static std::atomic<int> counter{0};
        folder_ = std::filesystem::temp_directory_path() /
                  ("tarnwick-drawing-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
        std::filesystem::create_directories(folder_);
        host_ = std::make_unique<host::SimulatedHost>();
        buildProject(host_->project());
        // The probe module lends its context, so that the framework in this process talks to the host.
        const std::string probe = std::string(TEST_BINARY_DIR) + "/Tests/Probe/libdrawingProbe.so";
        std::string error;
        ASSERT_TRUE(host_->startAddon(probe, error)) << error;
        void* module = ::dlopen(probe.c_str(), RTLD_NOW | RTLD_NOLOAD);
        ASSERT_NE(module, nullptr);
        const auto contextOf =
            reinterpret_cast<host::HostContext* (*)()>(::dlsym(module, "DrawingProbeContext"));
        ASSERT_NE(contextOf, nullptr);
        host::HostContext* context = contextOf();
        ::dlclose(module);
        ASSERT_NE(context, nullptr);
        tarnwick::hostApi().bind(&host_->table(), context);
        tarnwick::HostProject::getProject();   // as an add-on's start does: the open project is known
        RecordElement::memoLoads = 0;
        tarnwick::Element::memoLoadingSuspended = 0;
    }

    void TearDown() override {
        tarnwick::Drawing::unregisterCreators();
        tarnwick::HostProject::destroy();
        tarnwick::hostApi().unbind();
        host_.reset();
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
        MemoryCheck::TearDown();
    }

    static void registerRecordElements() {
        for (std::uint16_t type :
             {host::kElementObject, host::kElementDoor, host::kElementLamp, host::kElementSectionElement})
            tarnwick::Drawing::registerCreator(type, &RecordElement::create, false);
    }

    tarnwick::Project& project() { return *tarnwick::HostProject::getProject(); }
    tarnwick::Plan& plan() { return project().getPlan(); }

    // Runs the body inside one undoable command, as the add-on's transactions do.
    template <typename Body>
    std::uint32_t inCommand(Body body) {
        struct Call {
            Body* body;
            static std::uint32_t run(void* data) { return (*static_cast<Call*>(data)->body)() ? 0 : 1; }
        } call{&body};
        return tarnwick::hostApi().call<host::HostSlot::undoableCommand>(u"Test", &Call::run,
                                                                         static_cast<void*>(&call));
    }

    host::GuidBytes guidOf(int index) const { return guids_.at(static_cast<std::size_t>(index)); }
    tarnwick::Guid tarnwickGuid(int index) const { return tarnwick::Guid(host::toGuidRecord(guidOf(index))); }
    const host::SimElement& simElement(int index) const {
        return *host_->project().findElement(guidOf(index));
    }
    void select(std::initializer_list<int> indices, std::int32_t kind = host::kSelectionElements) {
        host::SimSelection& selection = host_->project().viewOf({host::kDatabasePlan, {}}).selection;
        selection.kind = kind;
        selection.elements.clear();
        for (int index : indices) selection.elements.push_back(guidOf(index));
    }

    static double positionX(const host::SimElement& element) {
        double x;
        std::memcpy(&x, element.record.data() + host::kObjectPositionOffset, sizeof(x));
        return x;
    }

    std::filesystem::path folder_;
    std::unique_ptr<host::SimulatedHost> host_;
    std::vector<host::GuidBytes> guids_;
    host::GuidBytes sectionGuid_{};

private:
    void addElement(host::SimProject& project, std::int32_t type, std::int16_t storey, double x,
                    std::int32_t databaseType = host::kDatabasePlan, host::GuidBytes database = {}) {
        host::SimElement element;
        element.databaseType = databaseType;
        element.databaseGuid = database;
        host::ElementHead head{};
        head.type = type;
        head.variation = 100 + type;
        head.guid = host::toGuidRecord(host::newGuidBytes());
        head.storey = storey;
        head.layer = 1;
        element.setHead(head);
        std::memcpy(element.record.data() + host::kObjectPositionOffset, &x, sizeof(x));
        guids_.push_back(element.guid());
        project.state.elements.push_back(element);
    }

    void buildProject(host::SimProject& project) {
        project.name = "Fixture";
        project.state.storeys = {{0, 0, 0, 0.0, 3.0, "Ground"}, {1, 1, 0, 3.0, 3.0, "First"}};
        addElement(project, host::kElementObject, 0, 1.0);
        addElement(project, host::kElementObject, 0, 2.0);
        addElement(project, host::kElementObject, 1, 3.0);
        addElement(project, host::kElementDoor, 0, 4.0);
        addElement(project, host::kElementLamp, 1, 5.0);
        // Object 0 carries user data and a parameter memo part.
        host::SimElement& first = project.state.elements[0];
        first.userData = host::SimUserData{3, host::kPlatformSignWindows, 12, {'a', 'b', 'c'}};
        first.memo.parts[offsetof(host::ElementMemo, parameters)] = {'p', '1'};
        first.memo.parts[offsetof(host::ElementMemo, coords)] = {1, 2, 3, 4};   // a part no test kind loads
        // The views: a section showing object 0, a detail, a worksheet, a layout and its master.
        const auto addView = [&](std::int32_t type, const char* name) {
            host::SimDatabase database;
            database.type = type;
            database.guid = host::newGuidBytes();
            database.name = name;
            project.state.databases.push_back(database);
            return database.guid;
        };
        sectionGuid_ = addView(host::kDatabaseSection, "Section A");
        addView(host::kDatabaseDetail, "Detail 1");
        addView(host::kDatabaseWorksheet, "Sheet");
        addView(host::kDatabaseMasterLayout, "Master");
        addView(host::kDatabaseLayout, "Sheet 01");
        addElement(project, host::kElementSectionElement, 0, 0.0, host::kDatabaseSection, sectionGuid_);
        host::SimElement& shown = project.state.elements.back();
        shown.record[host::kSectionParentTypeOffset] = static_cast<unsigned char>(host::kElementObject);
        const host::GuidRecord parent = host::toGuidRecord(guids_[0]);
        std::memcpy(shown.record.data() + host::kSectionParentGuidOffset, &parent, sizeof(parent));
    }
};
