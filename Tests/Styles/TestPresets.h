// Style types for the style-database suites: "wallStyle" and "doorStyle" records with a name, a deleted
// mark and one number, registered in the style-type registry for one test and forgotten after it.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

#include "Foundation/DateTime.h"
#include "Foundation/Setting.h"
#include "Foundation/XMLTypeProxy.h"
#include "Styles/PresetDatabase.h"
#include "Styles/PresetFieldType.h"

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

// A style with fields: "thickness" (a real), "pen" (an integer), "finish" (a text) and the link field
// "frame", whose own sub-record is a style of the type "frameStyle" with the field "depth".
class FieldStyle : public TestPreset {
public:
    explicit FieldStyle(std::string_view type) : TestPreset(type) {
        if (type == "frameStyle") {
            fields.push_back(
                std::make_unique<tarnwick::PresetFieldType<tarnwick::RealSetting, double>>("depth"));
            fields.push_back(std::make_unique<tarnwick::PresetLinkField>("back"));
            return;
        }
        fields.push_back(
            std::make_unique<tarnwick::PresetFieldType<tarnwick::RealSetting, double>>("thickness"));
        fields.push_back(
            std::make_unique<tarnwick::PresetFieldType<tarnwick::Int32Setting, std::int32_t>>("pen"));
        fields.push_back(
            std::make_unique<tarnwick::PresetFieldType<tarnwick::StringSetting, tarnwick::String>>(
                "finish", std::vector<tarnwick::String>{tarnwick::String()}));
        fields.push_back(std::make_unique<tarnwick::PresetLinkField>("frame"));
        frame = std::make_shared<FieldStyle>("frameStyle");
    }
    FieldStyle(const FieldStyle& other) : TestPreset(other) {
        for (const auto& field : other.fields) fields.push_back(field->clone());
        if (other.frame) frame = std::static_pointer_cast<FieldStyle>(other.frame->clonePreset());
    }
    std::shared_ptr<UserRecord> cloneRecord() const override { return std::make_shared<FieldStyle>(*this); }
    std::unique_ptr<XMLAssembly> clone() const override { return std::make_unique<FieldStyle>(*this); }
    bool setSetting(const tarnwick::String& name, const tarnwick::Setting& value,
                    std::uint32_t index) override {
        return PresetRecord::setSetting(name, value, index);
    }
    std::size_t getFieldCount() const override { return fields.size(); }
    tarnwick::PresetField* getField(std::size_t index) override {
        return index < fields.size() ? fields[index].get() : nullptr;
    }
    std::shared_ptr<tarnwick::PresetRecord> getSubRecord(std::size_t index) const override {
        return index == 3 ? frame : nullptr;
    }

    template <typename Field>
    Field& field(const char* name) {
        return dynamic_cast<Field&>(*findField(name));
    }
    double real(const char* name) {
        return field<tarnwick::PresetFieldType<tarnwick::RealSetting, double>>(name).getValue();
    }

    std::vector<std::unique_ptr<tarnwick::PresetField>> fields;
    std::shared_ptr<FieldStyle> frame;

protected:
    // A wall style's thickness is written with it, as the records of a real style type write their fields.
    std::span<const std::string_view> getChildTags() const override {
        static constexpr std::string_view tags[] = {"name", "number", "deleted", "thickness"};
        return tags;
    }
    std::unique_ptr<tarnwick::XMLProxy> makeChildProxy(std::size_t index) override {
        if (index != 3) return TestPreset::makeChildProxy(index);
        auto* const thickness =
            dynamic_cast<tarnwick::PresetFieldType<tarnwick::RealSetting, double>*>(findField("thickness"));
        if (!thickness || thickness->values().empty()) return nullptr;
        return std::make_unique<tarnwick::XMLTypeProxy<double>>(thickness->values()[0], "thickness");
    }
};
