// The records of the host's library-part parameter services besides the parameter record itself
// (HostRecords.h): the change record of parameter editing, the owner and result records of an editing
// session, and the record of one add-on command parameter. Both the add-on and the host compile this
// header; sizes and the offsets the add-on relies on are checked below.
//
// Parameter editing goes through the utilities dispatcher:
//   'OPAR' (const ParameterOwnerRecord*): opens editing of a placed element's (guid) or a library part's
//          (library index, guid empty) parameters; one session at a time (a new one replaces it)
//   'CHGP' (const ParameterChangeRecord*): sets one cell of the session's parameters
//   'GPAR' (ParameterResultRecord* out): a new handle of the session's ParameterRecords
//   'CPAR' (no parameters): closes the session
// Add-on command parameter lists (a CommandParameterList handle holds CommandParameterRecords back to
// back, each owning its name and string blocks):
//   'NCLP' (Handle list, std::int32_t* count out)      'GCLP' (Handle list, CommandParameterRecord* in:
//   index 1..count; out: a copy with new blocks the caller frees)   'ICLP' (Handle* out: a new empty list)
//   'ACLP' (Handle list, const CommandParameterRecord*: appends a copy)   'FCLP' (Handle*: frees the list
//   with every block and sets it to null)
#pragma once

#include <cstddef>
#include <cstdint>

#include "HostGuid.h"
#include "HostMemory.h"

namespace host {

extern "C" {

inline constexpr std::size_t kParameterTextChars = 256;   // 16-bit units of a parameter text field

// One cell of a parameter change ('CHGP'). Row and column are 1-based for an array parameter.
struct ParameterChangeRecord {
    char name[32];   // UTF-8, zero-terminated; empty: the parameter at `index`
    std::int16_t index;
    std::uint8_t reserved34[2];
    std::int32_t row;
    std::int32_t column;
    std::uint8_t reserved44[4];
    const char16_t* text;   // a text value: kParameterTextChars units, zero-terminated
    double real;            // a number value
    std::uint8_t reserved64[512];
};
static_assert(sizeof(ParameterChangeRecord) == 576);
static_assert(offsetof(ParameterChangeRecord, index) == 32);
static_assert(offsetof(ParameterChangeRecord, row) == 36);
static_assert(offsetof(ParameterChangeRecord, column) == 40);
static_assert(offsetof(ParameterChangeRecord, text) == 48);
static_assert(offsetof(ParameterChangeRecord, real) == 56);

// Whose parameters a session edits ('OPAR'): a placed element by guid, else a library part by index.
struct ParameterOwnerRecord {
    GuidRecord guid;             // the element; empty for a library part
    std::int32_t libraryIndex;   // the library part, when guid is empty
    std::int32_t elementType;    // carried
    std::int32_t variation;      // carried
    std::uint8_t reserved28[4];
};
static_assert(sizeof(ParameterOwnerRecord) == 32);
static_assert(offsetof(ParameterOwnerRecord, libraryIndex) == 16);
static_assert(offsetof(ParameterOwnerRecord, elementType) == 20);
static_assert(offsetof(ParameterOwnerRecord, variation) == 24);

// What a session made of the parameters ('GPAR').
struct ParameterResultRecord {
    double a;            // host's choice: the part's A size
    double b;            // host's choice: the part's B size
    Handle parameters;   // a new handle of ParameterRecords; release it with disposeParameters
    std::uint8_t reserved24[8];
};
static_assert(sizeof(ParameterResultRecord) == 32);
static_assert(offsetof(ParameterResultRecord, parameters) == 16);

// One parameter of an add-on command call.
struct CommandParameterRecord {
    std::int32_t index;   // 1-based position in the list
    std::uint8_t reserved4[4];
    Ptr name;            // a pointer block holding the zero-terminated UTF-8 name
    std::int32_t kind;   // 1 string, 2 integer, 3 real
    std::uint8_t flag;   // 1: the parameter's flag word is not 0
    std::uint8_t reserved21[3];
    std::int32_t integer;
    std::uint8_t reserved28[4];
    double real;
    Ptr text;   // a pointer block holding the zero-terminated UTF-8 text (kind 1)
};
static_assert(sizeof(CommandParameterRecord) == 48);
static_assert(offsetof(CommandParameterRecord, name) == 8);
static_assert(offsetof(CommandParameterRecord, kind) == 16);
static_assert(offsetof(CommandParameterRecord, flag) == 20);
static_assert(offsetof(CommandParameterRecord, integer) == 24);
static_assert(offsetof(CommandParameterRecord, real) == 32);
static_assert(offsetof(CommandParameterRecord, text) == 40);

}   // extern "C"

}   // namespace host
