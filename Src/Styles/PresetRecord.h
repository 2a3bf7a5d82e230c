// PresetRecord: a style, the record of the style database. What a style holds is defined by the style
// type a product registers: the type's template record is a class derived from this one.
#pragma once

#include <memory>
#include <string_view>

#include "Foundation/String.h"
#include "Styles/UserRecord.h"

namespace tarnwick {

// Shared by the style database, its copies and the dialogs. Its type name is its XML tag.
class PresetRecord : public UserRecord {
public:
    explicit PresetRecord(std::string_view typeName) : UserRecord(typeName) {}
    ~PresetRecord() override;

    String getTypeName() const override { return String(getTag()); }
    std::shared_ptr<PresetRecord> clonePreset() const;   // cloneRecord as a style

protected:
    PresetRecord(const PresetRecord&) = default;
    PresetRecord& operator=(const PresetRecord&) = default;
};

}   // namespace tarnwick
