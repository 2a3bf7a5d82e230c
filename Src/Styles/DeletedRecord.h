// DeletedRecord: the record that stands for a record removed for good from another user database (a
// style deleted permanently): its name and the code of the package it came from.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

#include "Foundation/DateTime.h"
#include "Foundation/String.h"
#include "Styles/UserRecord.h"

namespace tarnwick {

// Shared by the deleted-records database and the dialogs. Its XML: <deletedRecord name="..."
// package="PSET"><deleted>true</deleted></deletedRecord>; the time stamp is not kept in files.
class DeletedRecord : public UserRecord {
public:
    static constexpr std::string_view kTag = "deletedRecord";

    DeletedRecord() : UserRecord(kTag) {}
    DeletedRecord(const DeletedRecord&) = default;
    ~DeletedRecord() override;

    String getName() const override { return name_; }
    String getListName() const override;   // "Deleted"
    bool differs(const UserRecord& other) const override;
    bool isDeleted() const override { return deleted_; }
    bool isHighlighted() const override { return false; }
    void setName(const String& name) override { name_ = name; }
    void setDeleted(bool deleted) override { deleted_ = deleted; }
    void setModified(const DateTime& time) override { modified_ = time; }
    void beforePackageChange() override {}
    std::shared_ptr<UserRecord> cloneRecord() const override;
    String getTypeName() const override { return String(kTag); }
    bool setSetting(const String&, const Setting&, std::uint32_t) override { return false; }   // no values
    void setImporting(bool) override {}

    std::unique_ptr<XMLAssembly> clone() const override;
    void clear() override;

    std::uint32_t getPackageCode() const { return packageCode_; }
    void setPackageCode(std::uint32_t code) { packageCode_ = code; }
    const DateTime& getModified() const { return modified_; }

protected:
    std::span<const std::string_view> getChildTags() const override;
    std::unique_ptr<XMLProxy> makeChildProxy(std::size_t index) override;

private:
    String name_;
    std::uint32_t packageCode_ = 0;   // four characters, 'PSET' for a style
    bool deleted_ = false;
    DateTime modified_;
};

}   // namespace tarnwick
