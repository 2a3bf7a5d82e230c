// Style types for the style-database suites: "wallStyle" and "doorStyle" records with a name, a deleted
// mark and one number, registered in the style-type registry for one test and forgotten after it.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

#include "Foundation/DateTime.h"
#include "Foundation/Setting.h"
#include "Foundation/XMLTypeProxy.h"
#include "Styles/PresetDatabase.h"

class TestPreset : public tarnwick::PresetRecord {
public:
    explicit TestPreset(std::string_view type) : PresetRecord(type) {}
    TestPreset(const TestPreset&) = default;

    tarnwick::String getName() const override { return name; }
    tarnwick::String getListName() const override { return "(unnamed)"; }
    bool differs(const UserRecord& other) const override {
        const auto& style = static_cast<const TestPreset&>(other);
        return style.name != name || style.number != number || style.deleted != deleted;
    }
    bool isDeleted() const override { return deleted; }
    bool isHighlighted() const override { return false; }
    void setName(const tarnwick::String& text) override { name = text; }
    void setDeleted(bool value) override { deleted = value; }
    void setModified(const tarnwick::DateTime&) override {}
    void beforePackageChange() override {}
    std::shared_ptr<UserRecord> cloneRecord() const override { return std::make_shared<TestPreset>(*this); }
    std::unique_ptr<XMLAssembly> clone() const override { return std::make_unique<TestPreset>(*this); }
    bool setSetting(const tarnwick::String&, const tarnwick::Setting&, std::uint32_t) override {
        return false;
    }
    void setImporting(bool) override {}
    void clear() override {
        name.clear();
        number = 0;
        deleted = false;
        PresetRecord::clear();
    }

    tarnwick::String name;
    int number = 0;
    bool deleted = false;

protected:
    std::span<const std::string_view> getChildTags() const override {
        static constexpr std::string_view tags[] = {"name", "number", "deleted"};
        return tags;
    }
    std::unique_ptr<tarnwick::XMLProxy> makeChildProxy(std::size_t index) override {
        switch (index) {
            case 0:
                return std::make_unique<tarnwick::XMLTypeProxy<tarnwick::String>>(name, "name", true);
            case 1:
                return std::make_unique<tarnwick::XMLTypeProxy<int>>(number, "number");
            case 2:
                return std::make_unique<tarnwick::XMLTypeProxy<bool>>(deleted, "deleted");
            default:
                return nullptr;
        }
    }
};

inline std::shared_ptr<TestPreset> preset(const char* name, std::string_view type = "wallStyle",
                                          bool deleted = false, int number = 0) {
    auto record = std::make_shared<TestPreset>(type);
    record->name = name;
    record->deleted = deleted;
    record->number = number;
    return record;
}

// Registers the two types (walls under the legacy key "WL", doors under "DR") with the flags given.
inline void registerTestTypes(std::uint32_t wallFlags = tarnwick::PresetDatabase::kUniqueInType,
                              std::uint32_t doorFlags = tarnwick::PresetDatabase::kUniqueInType) {
    tarnwick::PresetDatabase::registerType(std::make_unique<TestPreset>("wallStyle"), "Wall", "WL",
                                           wallFlags);
    tarnwick::PresetDatabase::registerType(std::make_unique<TestPreset>("doorStyle"), "Door", "DR",
                                           doorFlags);
}
