// ElementLink: a value naming one placed element of the host project without holding it: its type,
// identifiers, the Drawing that holds it and its storey.
#pragma once

#include <cstdint>
#include <memory>
#include <utility>

#include <HostRecords.h>

#include "Foundation/Guid.h"
#include "Project/LinkRecord.h"

namespace tarnwick {

class Database;
class Drawing;
class FamilyGuid;
class Library;
class Specification;

// A value; copy freely. Type ids are 16-bit: low byte the host element type, high byte a sub-type byte
// (0 for every type the add-on names; as a pattern 0 matches every sub-type); a type byte of 0 means
// not yet known. Links without a guid are compared by type (equal types with different variations are
// equal). Drawings are looked up in the current project (HostProject::getProject) when asked for.
class ElementLink {
public:
    static constexpr std::uint16_t kSectionElementType = 29;   // an element as drawn in another view

    ElementLink() = default;
    ElementLink(std::uint16_t typeId, std::int32_t variation);
    ElementLink(std::uint16_t typeId, const Drawing* drawing, std::int32_t variation);   // located there
    // With a Drawing: located there, then type, variation and storey read from the element's head by
    // guid (Drawing::loadElementHead); when the head cannot be read the link is empty (no guid), so
    // callers can drop it.
    ElementLink(const Guid& guid, Drawing* drawing);
    // From a host part reference (flag set): id, guid, part index and sub-index copied; the type
    // resolved by 'NTOE' when the id is known; with a Drawing, located there and the head read by guid.
    explicit ElementLink(const host::PartReference& reference, Drawing* drawing = nullptr);
    // From a host element head, located in the Drawing: type (sub-type 0), variation, guid, storey.
    ElementLink(const host::ElementHead& head, const Drawing* drawing);
    virtual ~ElementLink();
    ElementLink(const ElementLink&) = default;
    ElementLink& operator=(const ElementLink&) = default;   // copies every field

    // Refreshed from a host element record's head: type (sub-type 0), guid and storey taken; the
    // variation stays; the part-reference data, the second type and guid are zeroed (part index 0),
    // and both records lose kind and guid.
    void refresh(const host::ElementRecord& record);

    std::unique_ptr<ElementLink> clone() const;   // a heap copy

    // --- Queries ----------------------------------------------------------------------------------
    // The type id; a type byte 0 with a known part-reference id is first resolved by 'NTOE' and kept.
    std::uint16_t getTypeId();
    std::uint16_t getTypeId() const;   // resolves without keeping it
    std::uint8_t getTypeByte() const { return static_cast<std::uint8_t>(typeId_ & 0xFF); }
    std::int32_t getVariation() const { return variation_; }
    std::uint16_t getSecondTypeId() const { return secondTypeId_; }
    // The cached part-reference id; else (type known) the host's id for the type, cached. 0 unknown.
    std::uint32_t getPartReferenceId();
    const Guid& getGuid() const { return guid_; }
    bool hasGuid() const { return guid_.isValid(); }
    const Guid& getSecondGuid() const { return secondGuid_; }
    bool isPartReference() const { return partReference_; }
    std::int32_t getPartIndex() const { return partIndex_; }
    std::int32_t getPartSubIndex() const { return partSubIndex_; }
    const LinkRecord& getLocation() const { return location_; }
    const LinkRecord& getSource() const { return source_; }

    // The current project's database for the location (or the source) record; null when none.
    Drawing* getDrawing() const;
    Drawing* getSourceDatabase() const;
    Library* getLibrary() const;               // the current project's; null without a project
    Specification* getSpecification() const;   // the current project's; null without a project

    // Fills a zeroed 112-byte head. resolveSection: a section-element link (second type 29) whose source
    // resolves gives type 29 and the second guid; otherwise type byte, variation and guid. The storey
    // index of a storey-addressed location goes into the head's storey field.
    void getHead(host::ElementHead& head, bool resolveSection);
    void getHead(host::ElementHead& head);   // never resolves section elements
    // The unique id of the element's library part ('GELU'); empty when the host has none for it.
    FamilyGuid getLibPartUniqueId() const;
    // Type byte, variation and guid; with withStorey the storey index as getHead gives it.
    void getElemType(host::ElementHead& head, bool withStorey);
    // Fills a zeroed 52-byte part reference; resolveSection as in getHead (the section element's table
    // id, the second guid); recompute takes the id from the type table instead of the cache.
    void getPartReference(host::PartReference& reference, bool resolveSection, bool recompute);
    void getPartReference(host::PartReference& reference);   // resolves, uses the cache

    // Reads the element's head by guid: (layer index, 0); (32767, 0) when the head cannot be read.
    std::pair<std::int16_t, std::int16_t> getLayerIndex() const;
    std::uint64_t getHeadValue() const;   // the head's 64-bit field at byte 32 by the same read; 0 on failure

    // --- Updates ----------------------------------------------------------------------------------
    // Stores the guid; with a Drawing, setDrawing; without, the current Plan becomes the location only
    // when the location is still empty.
    void setGuid(const Guid& guid, const Drawing* drawing);
    // The location's kind and guid become the Drawing's id; null clears them. The storey index stays.
    void setDrawing(const Drawing* drawing);
    void setSourceDatabase(const Drawing* drawing);   // the Drawing's whole id; null clears it
    // When the current source does not resolve in the project, the second type becomes 29 first.
    void setSectionSource(const Drawing* drawing);
    void copyPartReference(const ElementLink& other);   // flag, id, part index and sub-index
    // Views that show section elements: the link becomes a section-element link (type 29, variation 0,
    // part-reference id 0); false when it already is one.
    bool makeSectionElement();
    // A link seen in `view` as a section element (source the view, a second type and a valid second
    // guid) gives a link of that second type located in the view; any other link an unchanged copy.
    ElementLink resolveSectionElement(const Drawing& view) const;
    void setTypeId(std::uint16_t typeId) { typeId_ = typeId; }
    void setVariation(std::int32_t variation) { variation_ = variation; }
    void setSecondTypeId(std::uint16_t typeId) { secondTypeId_ = typeId; }
    void setSecondGuid(const Guid& guid) { secondGuid_ = guid; }
    void setPartReferenceId(std::uint32_t id) { partReferenceId_ = id; }
    void setLocation(const LinkRecord& location) { location_ = location; }
    void setSource(const LinkRecord& source) { source_ = source; }
    void setStoreyIndex(std::int16_t index) { location_.setIndex(index); }

    // Equality: by the guids alone when the other has one; a link without a guid never equals one with;
    // two links without guids compare their part references (both flagged) or their types, then the
    // second type, second guid, location and source. The variation and part sub-index take no part.
    bool operator==(const ElementLink& other) const;
    bool operator!=(const ElementLink& other) const { return !(*this == other); }
    // Order: by type byte, then sub-type byte, then guid (the host's order): a strict weak ordering.
    bool operator<(const ElementLink& other) const;
    bool operator>(const ElementLink& other) const { return other < *this; }

    // The host's part-reference id of an element type byte; 0 for types without one.
    static std::uint32_t partReferenceIdOf(std::uint8_t typeByte);
    // Two type ids match when the type bytes are equal and, when both sub-types are non-zero, those too.
    static bool typesMatch(std::uint16_t a, std::uint16_t b);

private:
    bool partReference_ = false;          // made from a host part reference
    std::uint16_t typeId_ = 0;            // low byte type, high byte sub-type
    std::int32_t variation_ = 0;          // the host's element variation id
    std::uint16_t secondTypeId_ = 0;      // 29 for an element as drawn in another view
    std::uint32_t partReferenceId_ = 0;   // 0 = not computed
    Guid guid_;
    Guid secondGuid_;   // the element as drawn in that other view
    std::int32_t partIndex_ = 1;
    std::int32_t partSubIndex_ = 0;
    LinkRecord location_;   // the Drawing that holds the element, and its storey
    LinkRecord source_;     // the view where it was seen as a section element
};

}   // namespace tarnwick
