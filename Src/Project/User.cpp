#include "Project/User.h"

#include <string_view>

namespace tarnwick {
namespace {

// A host text field of 256 16-bit characters, zero-terminated only when shorter.
String fieldText(const char16_t (&field)[256]) {
    std::u16string_view text(field, 256);
    return String(text.substr(0, text.find(u'\0')));
}

}   // namespace

User::User(const host::MemberRecord& record)
    : guid_(record.guid),
      name_(fieldText(record.name)),
      secondName_(fieldText(record.loginName)),
      memberId_(record.memberId),
      secondValue_(record.value) {}

User::User(const String& name, std::int16_t memberId) : name_(name), memberId_(memberId) {}

User::~User() = default;

}   // namespace tarnwick
