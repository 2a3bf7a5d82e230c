// FamilyGuid: a library part's unique-id text, a braced main GUID, a hyphen and a braced revision GUID
// ("{main}-{revision}"), with the host's family tests.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "Foundation/Guid.h"
#include "Foundation/String.h"

namespace tarnwick {

// A String that holds a unique-id text; copy freely. Whether two parts are of one family is the host's
// to say ('CLPS', 'COMP'); the text is never parsed for it here. Note that operator== is that one-way
// family test, not text equality: do not use a FamilyGuid as the key of an ordered or hashed container.
class FamilyGuid : public String {
public:
    // What compare() answers; the host's codes pass through as these values unchanged.
    static constexpr int kCompareSame = 1;        // the host answered 0
    static constexpr int kCompareOlder = 0;       // the host answered kErrOlderRevision
    static constexpr int kCompareNewer = 2;       // the host answered kErrNewerRevision
    static constexpr int kCompareUnrelated = 4;   // any other answer, also a failed call

    FamilyGuid() = default;
    FamilyGuid(const char* text) : String(text) {}   // NOLINT: implicit like String's
    explicit FamilyGuid(const String& text) : String(text) {}
    explicit FamilyGuid(const Guid& guid);   // the Guid's text form
    ~FamilyGuid() override;
    FamilyGuid(const FamilyGuid&) = default;
    FamilyGuid& operator=(const FamilyGuid&) = default;

    std::unique_ptr<String> clone() const override;

    bool isValid() const { return !isEmpty(); }
    // Every GUID in the text (braced or not, any case), left to right, without overlaps; the count added.
    std::size_t findGuids(std::vector<String>& guids) const;
    Guid getMainGuid() const;       // the first GUID; the null Guid when there is none
    Guid getRevisionGuid() const;   // the last GUID when there are at least two; else the null Guid

    // True when the host's family test ('CLPS') says this part belongs to other's family. One-way: a == b
    // need not give b == a. False when the host cannot answer.
    bool operator==(const FamilyGuid& other) const;
    bool operator!=(const FamilyGuid& other) const { return !(*this == other); }
    // The host's comparison ('COMP') as kCompareSame, kCompareOlder, kCompareNewer or kCompareUnrelated.
    int compare(const FamilyGuid& other) const;
};

}   // namespace tarnwick
