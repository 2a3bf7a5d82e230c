// LinkRecord: the compact id of a database (its host type code and guid), with a storey index: a
// Drawing's id and the location of an element.
#pragma once

#include <cstdint>

#include <HostRecords.h>

#include "Foundation/Guid.h"

namespace tarnwick {

class Attribute;
class Storey;

// A value. Kinds are the host's database type codes (0 = none, 1 floor plan, 2 section, 3 detail,
// 4 3D model, 5 layout, 9 master layout, 10 elevation, 11 interior elevation, 12 worksheet,
// 13 3D document). A record is storey-addressed when its kind is 0, 1 or 4 or its guid is empty, and is
// then told apart by its storey index (a signed 16-bit value kept in 32 bits; the upper half is carried
// along but takes no part in ordering); otherwise it is guid-addressed.
//
// Comparisons are symmetric: two records are compared by storey only when both are storey-addressed,
// else by guid, so operator< is a strict weak ordering fit for sorting and map keys.
class LinkRecord {
public:
    LinkRecord() = default;   // kind 0, empty guid, index 0
    LinkRecord(std::int32_t kind, const Guid& guid, std::int32_t index = 0);
    // Kind from the record's type code, guid from its database guid.
    LinkRecord(const host::DatabaseRecord& record, std::int32_t index);

    // Same kind; then equal when both are storey-addressed (the index is not compared), or when
    // both are guid-addressed with equal guids.
    bool operator==(const LinkRecord& other) const;
    bool operator!=(const LinkRecord& other) const { return !(*this == other); }
    // By kind (signed); then storey-addressed before guid-addressed; then by signed 16-bit index or by
    // guid (the host's order). Equal guids are not less, whatever the indices.
    bool operator<(const LinkRecord& other) const;

    bool isIndexKind() const;   // storey-addressed
    bool isValid() const;       // kind 0: false; kinds 1 and 4: true; else a guid is needed
    // The same database: equal kinds, or both the plan or the 3D model (kinds 1 and 4 count as one);
    // then this record storey-addressed, or equal guids.
    bool isSameDatabase(const LinkRecord& other) const;
    void clear(bool alsoIndex = false);   // kind 0 and empty guid; the index only when asked

    std::int32_t getKind() const { return kind_; }
    const Guid& getGuid() const { return guid_; }
    std::int32_t getIndex() const { return index_; }
    std::int16_t getStoreyIndex() const { return static_cast<std::int16_t>(index_); }
    void setKind(std::int32_t kind) { kind_ = kind; }
    void setGuid(const Guid& guid) { guid_ = guid; }
    void setIndex(std::int32_t index) { index_ = index; }   // a storey's index
    void setIndex(const Attribute& attribute);              // the attribute's 32-bit index
    // The current project's storey of the index, for a storey-addressed record; null for a
    // guid-addressed one, without a project, or when the plan has no such storey. Owned by the Plan.
    Storey* getStorey() const;

private:
    std::int32_t kind_ = 0;
    Guid guid_;
    std::int32_t index_ = 0;
};

}   // namespace tarnwick
