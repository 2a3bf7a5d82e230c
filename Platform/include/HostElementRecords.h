// The records of the element kinds beyond the head (HostRecords.h): where each kind keeps its fields in
// the 4856-byte element record, the polygon counts, the quantity request, the relation records and the
// IFC arrays' companions. Both the add-on and the host compile this header. Offsets are into the whole
// element record; where the layout is this host's own choice the comment says so.
#pragma once

#include <cstddef>
#include <cstdint>

#include "HostGuid.h"
#include "HostMemory.h"
#include "HostRecords.h"

namespace host {

extern "C" {

// --- The leading bytes each kind keeps ------------------------------------------------------------------

inline constexpr std::size_t kObjectRecordSize = 328;    // objects and lamps
inline constexpr std::size_t kJoineryRecordSize = 376;   // doors and windows
inline constexpr std::size_t kZoneRecordSize = 920;
inline constexpr std::size_t kProxyRecordSize = 176;     // section elements
inline constexpr std::size_t kMarkerRecordSize = 1600;   // section and elevation markers

// Objects and lamps (besides kObject... of HostRecords.h).
inline constexpr std::size_t kObjectPenOffset = 112;          // 16-bit pens at 112, 120, 122, 124
inline constexpr std::size_t kObjectFlagsOffset = 128;        // six flag bytes; 131 is the mirror flag
inline constexpr std::size_t kObjectMirroredOffset = 131;     // 1: mirrored
inline constexpr std::size_t kObjectFixedSizeOffset = 132;    // 1: the sizes at 152 are lengths, not ratios
inline constexpr std::size_t kObjectPointOffset = 168;        // two doubles
inline constexpr std::size_t kObjectColourOffset = 200;       // three doubles
inline constexpr std::size_t kObjectOwnerGuidOffset = 252;    // 16 bytes
inline constexpr std::size_t kObjectPenPairOffset = 224;      // StoreyShowRecord
inline constexpr std::size_t kObjectLineRecordOffset = 232;   // StoreyOffsetRecord

// Doors and windows (besides kOpening... of HostRecords.h).
inline constexpr std::size_t kOpeningMirroredOffset = 196;
inline constexpr std::size_t kOpeningWallGuidOffset = 304;   // the wall the opening sits in

// Zones.
inline constexpr std::size_t kZoneCategoryOffset = 114;   // 16-bit zone category index
inline constexpr std::size_t kZoneNameOffset = 136;       // 256 UTF-16 units, zero-terminated when shorter
inline constexpr std::size_t kZoneNameChars = 256;
inline constexpr std::size_t kZoneNumberOffset = 648;   // 32 UTF-16 units
inline constexpr std::size_t kZoneNumberChars = 32;
inline constexpr std::size_t kZoneElevationOffset = 712;     // double, above the home storey
inline constexpr std::size_t kZoneHeightOffset = 720;        // double
inline constexpr std::size_t kZoneStampIndexOffset = 784;    // 32-bit library index of the stamp
inline constexpr std::size_t kZoneUpperStoreyOffset = 792;   // 16-bit: storeys up from the home storey
inline constexpr std::size_t kZoneCountsOffset = 800;        // PolygonCounts
inline constexpr std::size_t kZonePointAOffset = 824;
inline constexpr std::size_t kZonePointBOffset = 840;

// Zones: attributes, flags, values and points beside the fields above.
inline constexpr std::size_t kZonePenOffset = 112;     // 16-bit pen of parts 0 and 1
inline constexpr std::size_t kZoneFlagAOffset = 116;   // bytes
inline constexpr std::size_t kZoneFlagBOffset = 117;
inline constexpr std::size_t kZoneFlagCOffset = 753;
inline constexpr std::size_t kZoneValueAOffset = 736;   // doubles
inline constexpr std::size_t kZoneValueBOffset = 760;
inline constexpr std::size_t kZoneFinishOffset = 754;   // 16-bit surface of parts 0 and 1
inline constexpr std::size_t kZonePen6Offset = 770;     // 16-bit pens of parts 6, 8 and 2
inline constexpr std::size_t kZonePen8Offset = 772;
inline constexpr std::size_t kZonePen2Offset = 776;

// Which storeys an element shows on, in two records beside its pens (objects and lamps at
// kObjectPenPairOffset and kObjectLineRecordOffset).
struct StoreyShowRecord {
    std::uint8_t allStoreys;   // flags
    std::uint8_t flagB;
    std::uint8_t flagC;
    std::uint8_t reserved3;
    std::int16_t countA;   // storeys shown below and above, as the flags say
    std::int16_t countB;
};
static_assert(sizeof(StoreyShowRecord) == 8);
static_assert(offsetof(StoreyShowRecord, countA) == 4);
struct StoreyOffsetRecord {
    std::int16_t offset;   // storey offset
    std::uint8_t extra;
    std::uint8_t reserved3;
};
static_assert(sizeof(StoreyOffsetRecord) == 4);
static_assert(offsetof(StoreyOffsetRecord, extra) == 2);

// Section and elevation markers: the marker's lower and upper limit.
inline constexpr std::size_t kMarkerLowerOffset = 168;
inline constexpr std::size_t kMarkerUpperOffset = 176;

// A polygon's counts, in a zone record and in a shape primitive.
struct PolygonCounts {
    std::int32_t coordinates;   // vertices of every contour plus one closing entry per contour
    std::int32_t contours;      // holes + 1
    std::int32_t arcs;          // curved edges
    std::uint8_t reserved12[12];
};
static_assert(sizeof(PolygonCounts) == 24);

// The polygon parts of an element memo (coords, pends, parcs, vertexIDs, meshPolyZ), 1-based: entry 0
// of coords is a placeholder, of pends 0, of vertexIDs the id counter, of meshPolyZ 0.
struct PolygonCoord {
    double x;
    double y;
};
static_assert(sizeof(PolygonCoord) == 16);
struct PolygonArc {
    std::int32_t begin;   // coords index where the curved edge starts
    std::int32_t end;     // and where it ends
    double angle;         // signed sweep, radians
};
static_assert(sizeof(PolygonArc) == 16);

// --- Quantities -----------------------------------------------------------------------------------------

inline constexpr std::size_t kQuantityRecordSize = 1160;
inline constexpr std::size_t kQuantityMaskSize = 6696;
inline constexpr std::size_t kCompositeMaskOffset = 6648;   // in the mask: the composite fields (48)

// Where each kind's part of the quantity mask starts; the field offsets are those of the quantity record.
inline constexpr std::size_t kQuantityMaskDoor = 656;
inline constexpr std::size_t kQuantityMaskWindow = 904;
inline constexpr std::size_t kQuantityMaskObject = 1216;   // objects and lamps
inline constexpr std::size_t kQuantityMaskZone = 2360;

// The records compare exactly, reals included, as the project state holding them does.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wfloat-equal"

// One skin of a composite element's quantities.
struct CompositeQuantity {
    std::uint8_t reserved0[24];
    double volume;
    double projectedArea;
    std::int16_t material;   // the skin's building material index
    std::uint8_t reserved42[6];
    bool operator==(const CompositeQuantity&) const = default;
};
static_assert(sizeof(CompositeQuantity) == 48);
static_assert(offsetof(CompositeQuantity, volume) == 24);
static_assert(offsetof(CompositeQuantity, projectedArea) == 32);
static_assert(offsetof(CompositeQuantity, material) == 40);

// One part of an element that the host reports by parts (host's choice of form).
struct PartQuantity {
    std::uint8_t reserved0[48];
    double values[3];
    std::uint8_t reserved72[8];
    bool operator==(const PartQuantity&) const = default;
};
static_assert(sizeof(PartQuantity) == 80);

#pragma GCC diagnostic pop

// The request: where the host writes. `composites` and `parts` are handles the host fills with new
// handles of the records above (null when none); the caller disposes them.
struct QuantityTargets {
    std::uint8_t* quantity;   // kQuantityRecordSize bytes
    Handle* composites;       // CompositeQuantity records
    Handle* parts;            // PartQuantity records; null when not asked
    void* reserved;
};
static_assert(sizeof(QuantityTargets) == 32);

struct QuantityParameters {
    double tolerance;
    std::uint8_t reserved8[56];
};
static_assert(sizeof(QuantityParameters) == 64);

// --- Relations --------------------------------------------------------------------------------------

// An opening's zones (related type 17): the zone on each side; empty guids when none.
struct OpeningRelation {
    GuidRecord firstZone;
    GuidRecord secondZone;
    std::uint8_t reserved32[64];
};
static_assert(sizeof(OpeningRelation) == 96);

// A zone's related elements. Each list is a pointer block of records (null when none) with its count;
// the host makes them, and the relation-record release disposes them. Lists 0 and 7 hold 40-byte part
// entries (an element guid first), the others guids. Which kinds sit in which list is the host's:
// this host puts an element standing on a storey above the zone's own in 7, lamps in 0, objects in 1,
// doors in 3, windows in 4 and other kinds in 5.
inline constexpr std::size_t kZoneRelationLists = 19;
struct ZoneRelation {
    Ptr lists[kZoneRelationLists];
    std::uint8_t reserved152[152];
    std::int32_t counts[kZoneRelationLists];
    std::uint8_t reserved380[76];
};
static_assert(sizeof(ZoneRelation) == 456);
static_assert(offsetof(ZoneRelation, counts) == 304);
inline constexpr std::size_t kZoneRelationPartEntry = 40;

// Relation values between two elements (the element-relation family).
struct RelationValues {
    std::int32_t valueA;
    std::int32_t valueB;
};
static_assert(sizeof(RelationValues) == 8);

}   // extern "C"

}   // namespace host
