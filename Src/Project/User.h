// User: a member of a shared project.
#pragma once

#include <cstdint>

#include <HostRecords.h>

#include "Foundation/Guid.h"
#include "Foundation/String.h"

namespace tarnwick {

// A value. Its 16-bit member id is what the owner id of an element in a shared project is compared with.
class User {
public:
    // Guid, name, second name (each at most 256 characters), member id and second value of the record.
    explicit User(const host::MemberRecord& record);
    User(const String& name, std::int16_t memberId);   // empty guid and second name, second value 0
    virtual ~User();
    User(const User&) = default;
    User& operator=(const User&) = default;

    const Guid& getGuid() const { return guid_; }
    const String& getName() const { return name_; }
    const String& getSecondName() const { return secondName_; }
    std::int16_t getMemberId() const { return memberId_; }
    std::int16_t getSecondValue() const { return secondValue_; }

private:
    Guid guid_;
    String name_;
    String secondName_;
    std::int16_t memberId_ = 0;
    std::int16_t secondValue_ = 0;
};

}   // namespace tarnwick
