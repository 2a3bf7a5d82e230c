// PresetRecord: a style, the record of the style database. What a style holds is defined by the style
// type a product registers: the type's template record is a class derived from this one, which gives
// its fields (values by name, each with a flag) and, for link fields, the sub-records it owns.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include "Foundation/String.h"
#include "Styles/UserRecord.h"

namespace tarnwick {

class PresetField;

// Shared by the style database, its copies and the dialogs. Its type name is its XML tag.
class PresetRecord : public UserRecord {
public:
    explicit PresetRecord(std::string_view typeName) : UserRecord(typeName) {}
    ~PresetRecord() override;

    String getTypeName() const override { return String(getTag()); }
    std::shared_ptr<PresetRecord> clonePreset() const;   // cloneRecord as a style

    // --- Fields (none in the base) --------------------------------------------------------------
    virtual std::size_t getFieldCount() const { return 0; }
    virtual PresetField* getField(std::size_t index);   // null past the end
    const PresetField* getField(std::size_t index) const;
    PresetField* findField(const String& name);   // the first of the name; null when none
    const PresetField* findField(const String& name) const;
    // The record a link field's style stands in for when the field names no stored style (the style's
    // own sub-record); null when the field has none.
    virtual std::shared_ptr<PresetRecord> getSubRecord(std::size_t index) const;

    // A legacy value goes into the field of that name; false when there is none or it refuses the value.
    bool setSetting(const String& name, const Setting& value, std::uint32_t index) override;

protected:
    PresetRecord(const PresetRecord&) = default;
    PresetRecord& operator=(const PresetRecord&) = default;
};

}   // namespace tarnwick
