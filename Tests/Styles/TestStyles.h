// A small style database for the styles suite: two style types ("wallStyle", "doorStyle"), records with
// a name, a deleted mark and one number, and the first registered type as the current one.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "Foundation/DateTime.h"
#include "Foundation/Setting.h"
#include "Foundation/String.h"
#include "Foundation/XMLTypeProxy.h"
#include "Styles/UserDatabase.h"

class TestStyle : public tarnwick::UserRecord {
public:
    explicit TestStyle(std::string_view type) : UserRecord(type) {}

    tarnwick::String getName() const override { return name; }
    tarnwick::String getListName() const override { return "(unnamed)"; }
    bool differs(const UserRecord& other) const override {
        const auto& style = static_cast<const TestStyle&>(other);
        return style.name != name || style.number != number || style.deleted != deleted;
    }
    bool isDeleted() const override { return deleted; }
    bool isHighlighted() const override { return false; }
    void setName(const tarnwick::String& text) override { name = text; }
    void setDeleted(bool value) override { deleted = value; }
    void setModified(const tarnwick::DateTime&) override { modifiedSet = true; }
    void beforePackageChange() override {}
    std::shared_ptr<UserRecord> cloneRecord() const override { return std::make_shared<TestStyle>(*this); }
    std::unique_ptr<XMLAssembly> clone() const override { return std::make_unique<TestStyle>(*this); }
    tarnwick::String getTypeName() const override { return tarnwick::String(getTag()); }
    // Values kept as text: "name[index]=value".
    bool setSetting(const tarnwick::String& parameter, const tarnwick::Setting& value,
                    std::uint32_t index) override {
        settings[std::string(parameter.getView()) + "[" + std::to_string(index) + "]"] =
            std::string(value.getText().getView());
        return true;
    }
    void setImporting(bool value) override { importing = value; }
    void clear() override {
        name.clear();
        number = 0;
        deleted = false;
        UserRecord::clear();
    }
    bool isValid() override { return !importing || !name.isEmpty(); }

    tarnwick::String name;
    int number = 0;
    bool deleted = false;
    bool modifiedSet = false;
    bool importing = false;
    std::map<std::string, std::string> settings;

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

class TestStyleDatabase : public tarnwick::UserDatabase<TestStyle, TestStyleDatabase> {
public:
    TestStyleDatabase() : UserDatabase("presetDatabase") {}
    TestStyleDatabase(const TestStyleDatabase&) = default;
    std::uint32_t getPackageCode() const override { return 0x50534554; }
    std::string_view getFileRootTag() const override { return "tarnwickPresets"; }
    void dispatchTo(Visitor& visitor) override { visitor.visit(*this); }

    static inline bool typesRegistered = true;   // false: no style type is known

protected:
    RecordPtr makeRecordOfType(std::string_view type) const override {
        if (!typesRegistered || (type != "wallStyle" && type != "doorStyle")) return nullptr;
        return std::make_shared<TestStyle>(type == "wallStyle" ? "wallStyle" : "doorStyle");
    }
    RecordPtr newTemplateRecord() const override { return makeRecordOfType("wallStyle"); }
};
