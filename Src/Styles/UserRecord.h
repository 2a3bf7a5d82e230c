// UserRecord: a record of a user database (a style, the record of a deleted style), kept shared under a
// Guid. Its XML element is named by its type; the database adds the "key" attribute around its body.
#pragma once

#include <cstdint>
#include <memory>

#include "Foundation/XMLAssembly.h"

namespace tarnwick {

class DateTime;
class Setting;
class String;

// Made by the database's record factory and shared by the database, its copies and the dialogs. A
// record reads its own children through its child table (findChild), not through value children, so
// that the database can wrap its element with the key.
class UserRecord : public XMLAssembly {
public:
    explicit UserRecord(std::string_view tag) : XMLAssembly(tag) {}
    ~UserRecord() override;

    // Virtual operations, in the order the database calls them.
    virtual String getName() const = 0;
    virtual String getListName() const = 0;   // what a list shows when the record has no name
    virtual bool differs(const UserRecord& other) const = 0;   // true: a put replaces us by other
    virtual bool isDeleted() const = 0;
    virtual bool isHighlighted() const = 0;
    virtual void setName(const String& name) = 0;
    virtual void setDeleted(bool deleted) = 0;
    virtual void setModified(const DateTime& time) = 0;
    virtual void beforePackageChange() = 0;
    virtual std::shared_ptr<UserRecord> cloneRecord() const = 0;   // a deep copy, never null
    virtual String getTypeName() const = 0;                        // also the XML tag
    // A typed value under a parameter name at an index; false when the record has no such parameter.
    virtual bool setSetting(const String& name, const Setting& value, std::uint32_t index) = 0;
    virtual void setImporting(bool importing) = 0;   // brackets a legacy import's filling

protected:
    UserRecord(const UserRecord&) = default;
    UserRecord& operator=(const UserRecord&) = default;
};

}   // namespace tarnwick
