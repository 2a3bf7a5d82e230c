#include "Styles/DeletedDatabase.h"

#include <algorithm>

#include "Environment/Host.h"

namespace tarnwick {
namespace {
constexpr std::int32_t kDeletedItem = 23;
}   // namespace

DeletedDatabase::DeletedDatabase() : UserDatabase(kTag) {}

DeletedDatabase::DeletedDatabase(const DeletedDatabase& other) = default;

DeletedDatabase::~DeletedDatabase() = default;

Guid DeletedDatabase::createDeletedRecord(const Guid& sourceKey, const Guid& wantedKey) {
    const String name = Host::getString(kUserDataStrings, kDeletedItem);
    const Guid key = createRecord(sourceKey, name, wantedKey);
    const RecordPtr record = findRecord(key);
    if (record && record->getName() != name) {   // a clone was named after its source
        record->setName(name);
        ensureUniqueName(record);
    }
    return key;
}

std::vector<DeletedDatabase::Entry> DeletedDatabase::recordsOfPackage(std::uint32_t code) const {
    std::vector<Entry> found = entries();   // every record, sorted by name ignoring case
    std::erase_if(found, [code](const Entry& entry) { return entry.second->getPackageCode() != code; });
    return found;
}

DeletedDatabase::RecordPtr DeletedDatabase::makeRecordOfType(std::string_view typeName) const {
    if (!typeName.empty() && typeName != DeletedRecord::kTag) return nullptr;
    return std::make_shared<DeletedRecord>();
}

DeletedDatabase::RecordPtr DeletedDatabase::newTemplateRecord() const {
    return std::make_shared<DeletedRecord>();
}

}   // namespace tarnwick
