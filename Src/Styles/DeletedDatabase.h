// DeletedDatabase: the user database of records removed for good from another database (styles deleted
// permanently), kept in the project's module data as the package 'DLDB' so that a later import can
// tell them from new records.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include <FourCC.h>

#include "Styles/DeletedRecord.h"
#include "Styles/UserDatabase.h"

namespace tarnwick {

// Owned by its package store, a collection or a dialog; copies share the records. Its records are
// always DeletedRecords, whatever style types are registered.
class DeletedDatabase : public UserDatabase<DeletedRecord, DeletedDatabase> {
public:
    static constexpr std::uint32_t kCode = host::fourcc("DLDB");
    static constexpr std::string_view kTag = "deletedDatabase";
    static constexpr std::string_view kFileRootTag = "deletedRecords";

    DeletedDatabase();
    DeletedDatabase(const DeletedDatabase& other);   // shares the records
    ~DeletedDatabase() override;

    std::uint32_t getPackageCode() const override { return kCode; }
    std::string_view getFileRootTag() const override { return kFileRootTag; }
    void dispatchTo(Visitor& visitor) override { visitor.visit(*this); }

    // createRecord, but the new record is always named "Deleted" (made unique). Its key.
    Guid createDeletedRecord(const Guid& sourceKey, const Guid& wantedKey);
    // The records that stand for records of the package, sorted by name ignoring case.
    std::vector<Entry> recordsOfPackage(std::uint32_t code) const;

protected:
    RecordPtr makeRecordOfType(std::string_view typeName) const override;
    RecordPtr newTemplateRecord() const override;
};

}   // namespace tarnwick
