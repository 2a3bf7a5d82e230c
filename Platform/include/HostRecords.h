// The fixed-layout records that cross the host function table for databases, elements, their memos
// and user data, the selection, storeys, teamwork members and the view commands. Both the add-on and
// the host compile this header; every record is declared once, with its size and the offsets the
// add-on relies on checked below. Fields the add-on does not name are reserved: the host keeps them
// as bytes and hands them back unchanged. Where the layout is this host's own choice, the comment
// at the field says so ("host's choice").
#pragma once

#include <cstddef>
#include <cstdint>

#include "HostGuid.h"
#include "HostMemory.h"

namespace host {

extern "C" {

// --- Databases -------------------------------------------------------------------------------------

// The host's database kinds: the first field of a database record.
enum DatabaseType : std::int32_t {
    kDatabaseNone = 0,
    kDatabasePlan = 1,   // the floor plan; one per project, addressed by storey (its guid is empty)
    kDatabaseSection = 2,
    kDatabaseDetail = 3,
    kDatabaseModel = 4,   // the 3D window; one per project, shows the floor plan's elements
    kDatabaseLayout = 5,
    kDatabaseMasterLayout = 9,
    kDatabaseElevation = 10,
    kDatabaseInteriorElevation = 11,
    kDatabaseWorksheet = 12,
    kDatabaseDocument3D = 13,
};

inline constexpr std::size_t kDatabaseTextChars = 256;   // 16-bit characters, zero-terminated when shorter

// One database ('GDBI', 'MDAT', 'GDAT', 'GWIN', 'CDAT', 'NDAT', 'DDAT', 'CHWD').
struct DatabaseRecord {
    std::int32_t type;   // DatabaseType
    std::uint8_t reserved4[4];
    GuidRecord guid;         // empty for the floor plan and the 3D window
    GuidRecord masterGuid;   // a layout's master layout; empty when none
    char16_t title[kDatabaseTextChars];
    char16_t name[kDatabaseTextChars];
    char16_t reference[kDatabaseTextChars];
    std::uint8_t reserved1576[48];
};
static_assert(sizeof(DatabaseRecord) == 1624);
static_assert(offsetof(DatabaseRecord, guid) == 8);
static_assert(offsetof(DatabaseRecord, masterGuid) == 24);
static_assert(offsetof(DatabaseRecord, title) == 40);
static_assert(offsetof(DatabaseRecord, name) == 552);
static_assert(offsetof(DatabaseRecord, reference) == 1064);

// A box in model coordinates ('GZOM', 'GEX2', 'ZOOM').
struct BoxRecord {
    double xMin;
    double yMin;
    double xMax;
    double yMax;
};
static_assert(sizeof(BoxRecord) == 32);

// An element's box in model coordinates ('CABO'), metres.
struct ElementBoxRecord {
    double xMin;
    double yMin;
    double zMin;
    double xMax;
    double yMax;
    double zMax;
};
static_assert(sizeof(ElementBoxRecord) == 48);

// A point of the current database's window in pixels from its top left, v downwards ('PTOC', 'CTOP').
struct PixelPoint {
    std::int16_t h;
    std::int16_t v;
};
static_assert(sizeof(PixelPoint) == 4);

// A point of the plan in model coordinates, metres ('PTOC', 'CTOP').
struct ModelPoint {
    double x;
    double y;
};
static_assert(sizeof(ModelPoint) == 16);

// --- Elements --------------------------------------------------------------------------------------

// Element type codes the host knows by name (the head's type field).
enum ElementType : std::int32_t {
    kElementNone = 0,
    kElementWindow = 4,
    kElementDoor = 5,
    kElementObject = 6,
    kElementLamp = 7,
    kElementZone = 17,
    kElementSectionMarker = 25,
    kElementSectionElement = 29,   // a model element as a section or elevation shows it
    kElementElevationMarker = 33,
};

// The head of every element record: what identifies and places an element.
struct ElementHead {
    std::int32_t type;        // ElementType
    std::int32_t variation;   // the tool variation; with the type it names a tool default
    std::uint8_t reserved8[8];
    GuidRecord guid;               // empty in a tool default and in a record not yet created
    std::uint64_t headValue;       // carried as a whole
    GuidRecord firstIdentifier;    // group identifier
    GuidRecord secondIdentifier;   // a non-empty one makes the element not editable
    std::int16_t storey;           // storey index of the element
    std::int16_t layer;            // layer attribute index
    std::uint8_t writeNeedsMemo;   // 1: the element cannot be written without its memo
    std::uint8_t drawOrder;        // drawing-order byte
    std::int16_t ownerId;          // shared project: the member that holds the element, 0 = nobody
    std::int16_t locked;           // 0 unlocked
    std::int16_t headWord;         // carried as a whole
    std::uint8_t reserved84[4];
    std::int32_t phase;   // renovation status attribute index
    GuidRecord thirdIdentifier;
    std::uint8_t reserved108[4];
};
static_assert(sizeof(ElementHead) == 112);
static_assert(offsetof(ElementHead, variation) == 4);
static_assert(offsetof(ElementHead, guid) == 16);
static_assert(offsetof(ElementHead, headValue) == 32);
static_assert(offsetof(ElementHead, firstIdentifier) == 40);
static_assert(offsetof(ElementHead, secondIdentifier) == 56);
static_assert(offsetof(ElementHead, storey) == 72);
static_assert(offsetof(ElementHead, layer) == 74);
static_assert(offsetof(ElementHead, writeNeedsMemo) == 76);
static_assert(offsetof(ElementHead, drawOrder) == 77);
static_assert(offsetof(ElementHead, ownerId) == 78);
static_assert(offsetof(ElementHead, locked) == 80);
static_assert(offsetof(ElementHead, headWord) == 82);
static_assert(offsetof(ElementHead, phase) == 88);
static_assert(offsetof(ElementHead, thirdIdentifier) == 92);

inline constexpr std::size_t kElementRecordSize = 4856;
inline constexpr std::size_t kElementBodySize = kElementRecordSize - sizeof(ElementHead);

// A whole element: the head and the type's own fields. The body is a union of the element types'
// layouts; a type uses its leading bytes and the host keeps the rest as it was written.
struct ElementRecord {
    ElementHead head;
    std::uint8_t body[kElementBodySize];
};
static_assert(sizeof(ElementRecord) == kElementRecordSize);
static_assert(offsetof(ElementRecord, body) == 112);

// Offsets into the whole record of the type fields the host itself reads (for the project file, the
// element boxes and the section elements it shows). Lengths in metres, angles in radians.
inline constexpr std::size_t kOpeningWidthOffset = 144;          // doors and windows: double
inline constexpr std::size_t kOpeningHeightOffset = 152;         // doors and windows: double
inline constexpr std::size_t kOpeningLibraryIndexOffset = 184;   // doors and windows: 32-bit library index
inline constexpr std::size_t kOpeningPositionOffset = 320;       // doors and windows: double, along the wall
inline constexpr std::size_t kOpeningElevationOffset = 328;   // doors, windows: double, over the wall's base
inline constexpr std::size_t kObjectAngleOffset = 136;        // objects and lamps: double, about the position
inline constexpr std::size_t kObjectElevationOffset = 144;    // objects and lamps: double, above the storey
inline constexpr std::size_t kObjectSizeOffset = 152;         // objects and lamps: width, depth (two doubles)
inline constexpr std::size_t kObjectLibraryIndexOffset = 268;   // objects and lamps: 32-bit library index
inline constexpr std::size_t kObjectPositionOffset = 280;       // objects and lamps: x, y (two doubles)
inline constexpr std::size_t kSectionParentTypeOffset = 112;    // section element: shown element's type byte
inline constexpr std::size_t kSectionParentGuidOffset = 120;    // section element: the shown element's guid

// --- Element edits -----------------------------------------------------------------------------------

// What an element edit does with its three points (host's choice of codes and layout):
enum EditKind : std::int32_t {
    kEditMove = 1,      // by end - begin (plan position and elevation)
    kEditRotate = 2,    // about origin, by the plan angle from (begin - origin) to (end - origin)
    kEditMirror = 3,    // across the plan line from begin to end
    kEditElevate = 4,   // by end.z - begin.z
};

struct EditPoint {
    double x;
    double y;
    double z;
};
static_assert(sizeof(EditPoint) == 24);

// The edit parameters of the element edit call, model metres.
struct EditParameters {
    std::int32_t kind;   // EditKind
    std::uint8_t reserved4[4];
    EditPoint origin;
    EditPoint begin;
    EditPoint end;
};
static_assert(sizeof(EditParameters) == 80);
static_assert(offsetof(EditParameters, origin) == 8);
static_assert(offsetof(EditParameters, begin) == 32);
static_assert(offsetof(EditParameters, end) == 56);

// One entry of a highlight table (interface 'HGEL'): an element and its colour, channels 0..1. A
// table is a handle of these, one per element (host's choice of form).
struct HighlightEntry {
    GuidRecord guid;
    double red;
    double green;
    double blue;
    double alpha;
};
static_assert(sizeof(HighlightEntry) == 48);
static_assert(offsetof(HighlightEntry, red) == 16);

// --- Element memos -----------------------------------------------------------------------------------

// The variable-length parts of an element, as host handles. A null handle holds nothing. A memo
// handed to the add-on holds new handles that the add-on releases with the memo disposal.
struct ElementMemo {
    Handle coords;      // polygon: points
    Handle pends;       // polygon: contour ends
    Handle parcs;       // polygon: arcs
    Handle vertexIDs;   // polygon: vertex ids
    std::uint8_t reserved32[16];
    Handle parameters;   // library-part parameters
    Handle gables;
    Handle roofSides;
    Handle meshPolyZ;
    Handle meshLevelCoords;
    Handle meshLevelEnds;
    Handle dimElems;
    Handle bezierDirs;
    Handle textContent;
    Handle textLineStarts;
    Handle beamHoles;
    Handle linkList;
    Handle pictHdl;
    Handle paragraphs;
    Handle drawingData;
    std::uint8_t reserved168[32];
    Handle sectionLineCoords;
    Handle sectionDistanceCoords;
    Handle sectionDepthCoords;
    std::uint8_t reserved224[16];
    Handle cWSegGridMesh;
    Ptr cWSegContour;   // a 56-byte pointer block (newPtr), not a handle
    std::uint8_t cWSegPrimaryPattern[48];
    std::uint8_t cWSegSecondaryPattern[48];
    Handle cWSegPatternCells;
    Handle cWallSegments;
    Handle cWallFrames;
    std::uint8_t reserved376[8];
    Handle cWallPanels;
    std::uint8_t reserved392[8];
    Handle cWallPanelDefaults;
    Handle cWallJunctions;
    Handle cWallAccessories;
    std::uint8_t reserved424[568];
    Handle roofEdgeTypes;
    Handle sideMaterials;
    Handle additionalPolyCoords;
    Handle additionalPolyPends;
    Handle additionalPolyParcs;
    Handle additionalPolyVertexIDs;
    std::uint8_t reserved1040[16];
    Handle additionalPolyEdges;
    std::uint8_t shellShapes[96];
    Handle shellContours;
    Handle morphBody;
    Handle morphMaterialMapTable;
    Handle elementInfo;   // the element's info text: UTF-16 code units without a terminator (host's choice)
};
static_assert(sizeof(ElementMemo) == 1192);
static_assert(offsetof(ElementMemo, coords) == 0);
static_assert(offsetof(ElementMemo, pends) == 8);
static_assert(offsetof(ElementMemo, parcs) == 16);
static_assert(offsetof(ElementMemo, vertexIDs) == 24);
static_assert(offsetof(ElementMemo, parameters) == 48);
static_assert(offsetof(ElementMemo, gables) == 56);
static_assert(offsetof(ElementMemo, roofSides) == 64);
static_assert(offsetof(ElementMemo, meshPolyZ) == 72);
static_assert(offsetof(ElementMemo, drawingData) == 160);
static_assert(offsetof(ElementMemo, sectionLineCoords) == 200);
static_assert(offsetof(ElementMemo, sectionDepthCoords) == 216);
static_assert(offsetof(ElementMemo, cWSegGridMesh) == 240);
static_assert(offsetof(ElementMemo, cWSegContour) == 248);
static_assert(offsetof(ElementMemo, cWSegPrimaryPattern) == 256);
static_assert(offsetof(ElementMemo, cWSegSecondaryPattern) == 304);
static_assert(offsetof(ElementMemo, cWSegPatternCells) == 352);
static_assert(offsetof(ElementMemo, cWallSegments) == 360);
static_assert(offsetof(ElementMemo, cWallFrames) == 368);
static_assert(offsetof(ElementMemo, cWallPanels) == 384);
static_assert(offsetof(ElementMemo, cWallPanelDefaults) == 400);
static_assert(offsetof(ElementMemo, cWallJunctions) == 408);
static_assert(offsetof(ElementMemo, cWallAccessories) == 416);
static_assert(offsetof(ElementMemo, roofEdgeTypes) == 992);
static_assert(offsetof(ElementMemo, sideMaterials) == 1000);
static_assert(offsetof(ElementMemo, additionalPolyVertexIDs) == 1032);
static_assert(offsetof(ElementMemo, additionalPolyEdges) == 1056);
static_assert(offsetof(ElementMemo, shellShapes) == 1064);
static_assert(offsetof(ElementMemo, shellContours) == 1160);
static_assert(offsetof(ElementMemo, morphMaterialMapTable) == 1176);
static_assert(offsetof(ElementMemo, elementInfo) == 1184);

// Which memo parts a get, create or change works on: one bit per part (host's choice, except the
// gable and parameter bits, which the add-on's element kinds name). 0 in a memo get means every part.
using MemoMask = std::uint64_t;
inline constexpr MemoMask kMemoPolygon = 0x1;                // coords, pends, parcs, vertexIDs
inline constexpr MemoMask kMemoGables = 0x2;                 // gables
inline constexpr MemoMask kMemoParameters = 0x4;             // parameters
inline constexpr MemoMask kMemoRoof = 0x8;                   // roofSides, roofEdgeTypes, sideMaterials
inline constexpr MemoMask kMemoMesh = 0x10;                  // meshPolyZ, meshLevelCoords, meshLevelEnds
inline constexpr MemoMask kMemoDimensions = 0x20;            // dimElems
inline constexpr MemoMask kMemoBezier = 0x40;                // bezierDirs
inline constexpr MemoMask kMemoText = 0x80;                  // textContent, textLineStarts, paragraphs
inline constexpr MemoMask kMemoBeamHoles = 0x100;            // beamHoles
inline constexpr MemoMask kMemoLinks = 0x200;                // linkList
inline constexpr MemoMask kMemoPicture = 0x400;              // pictHdl
inline constexpr MemoMask kMemoDrawing = 0x800;              // drawingData
inline constexpr MemoMask kMemoCurtainWall = 0x1000;         // the cW... fields
inline constexpr MemoMask kMemoAdditionalPolygon = 0x2000;   // additionalPoly...
inline constexpr MemoMask kMemoSectionDistances = 0x4000;    // sectionDistanceCoords, sectionDepthCoords
inline constexpr MemoMask kMemoSectionLine = 0x8000;         // sectionLineCoords
inline constexpr MemoMask kMemoShell = 0x10000;              // shellShapes, shellContours
inline constexpr MemoMask kMemoMorph = 0x20000;              // morphBody, morphMaterialMapTable
inline constexpr MemoMask kMemoInfo = 0x40000;               // elementInfo
// Every memo part: bits 0 to 58 except bit 30. The bits above 0x40000 name parts this host does not
// keep; asking for them is allowed and gives nothing.
inline constexpr MemoMask kMemoFullMask = 0x07FFFFFFBFFFFFFFull;

// --- Selection, part references, user data ----------------------------------------------------------

// One selected element (or a part of it) as the host names it.
struct PartReference {
    std::int32_t id;   // part-reference id of the element's type (NTOE gives the type back)
    std::uint8_t reserved4[4];
    GuidRecord guid;
    std::int32_t index;      // part index; 1 = the element as a whole (host's choice)
    std::int32_t subIndex;   // 0
    std::uint8_t reserved32[20];
};
static_assert(sizeof(PartReference) == 52);
static_assert(offsetof(PartReference, guid) == 8);
static_assert(offsetof(PartReference, index) == 24);
static_assert(offsetof(PartReference, subIndex) == 28);

enum SelectionKind : std::int32_t {
    kSelectionNone = 0,
    kSelectionElements = 1,         // elements picked one by one
    kSelectionMarqueePolygon = 2,   // the marquee kinds (host's choice of which is which)
    kSelectionMarqueeRectangle = 3,
    kSelectionMarqueeRotated = 4,
};

struct SelectionRecord {
    std::int32_t kind;    // SelectionKind
    std::int32_t count;   // number of part references handed back (host's choice)
    std::uint8_t reserved8[88];
};
static_assert(sizeof(SelectionRecord) == 96);

// An add-on's block of bytes stored with an element or a tool default.
struct UserDataRecord {
    std::uint16_t version;
    std::uint16_t platformSign;   // kPlatformSignWindows or kPlatformSignMac (HostAddonProtocol.h)
    std::uint32_t flags;
    std::uint8_t reserved8[8];   // zero
    Handle data;                 // the bytes; a get hands back a new handle (may be null: no bytes)
};
static_assert(sizeof(UserDataRecord) == 24);
static_assert(offsetof(UserDataRecord, platformSign) == 2);
static_assert(offsetof(UserDataRecord, flags) == 4);
static_assert(offsetof(UserDataRecord, data) == 16);

// One element another member holds, from a reservation that could not take it.
struct ReservationConflict {
    GuidRecord guid;
    std::int16_t memberId;
    std::uint8_t reserved18[2];
};
static_assert(sizeof(ReservationConflict) == 20);

// The state of a teamwork lockable object (getLockableStatus).
inline constexpr std::int32_t kLockableFree = 1;        // nobody holds it: the member may take it
inline constexpr std::int32_t kLockableMine = 2;        // the current member holds it
inline constexpr std::int32_t kLockableOthers = 3;      // another member holds it
inline constexpr std::int32_t kLockableNotShared = 0;   // the project is not shared

// --- Environment -----------------------------------------------------------------------------------

// 'PROJ': the open project.
struct ProjectInfoRecord {
    std::uint8_t untitled;   // 1 while the project has no file
    std::uint8_t shared;     // 1 for a shared project
    // The current member's id in a shared project; 0 otherwise (host's choice of place).
    std::int16_t memberId;
    std::uint8_t reserved4[4];
    Handle location;   // the project file's path in UTF-16 without a terminator, a new handle the caller
                       // disposes; null when untitled (host's choice of form)
    std::uint8_t reserved16[32];
};
static_assert(sizeof(ProjectInfoRecord) == 48);
static_assert(offsetof(ProjectInfoRecord, memberId) == 2);
static_assert(offsetof(ProjectInfoRecord, location) == 8);

// 'SHAR': the members of a shared project.
struct SharingRecord {
    std::int32_t count;
    std::uint8_t reserved4[4];
    Handle users;   // `count` MemberRecords, a new handle the caller disposes
    std::uint8_t reserved16[32];
};
static_assert(sizeof(SharingRecord) == 48);
static_assert(offsetof(SharingRecord, users) == 8);

struct MemberRecord {
    char16_t loginName[256];   // the member's second name
    char16_t name[256];
    GuidRecord guid;
    std::int16_t memberId;
    std::int16_t value;   // carried
    std::uint8_t reserved1044[28];
};
static_assert(sizeof(MemberRecord) == 1072);
static_assert(offsetof(MemberRecord, name) == 512);
static_assert(offsetof(MemberRecord, guid) == 1024);
static_assert(offsetof(MemberRecord, memberId) == 1040);
static_assert(offsetof(MemberRecord, value) == 1042);

inline constexpr std::int32_t kStoreyInfoAll = 0x10000000;   // the second parameter of 'GSTO'

// 'GSTO': the storeys. The handle holds one StoreyRecord per storey, bottom up, and one more above
// the top storey whose level closes the top storey's height.
struct StoreyInfoRecord {
    std::int16_t firstIndex;   // host's choice
    std::int16_t lastIndex;    // host's choice
    std::int16_t currentIndex;
    std::uint8_t reserved6[2];
    Handle storeys;   // a new handle the caller disposes
    std::uint8_t reserved16[136];
};
static_assert(sizeof(StoreyInfoRecord) == 152);
static_assert(offsetof(StoreyInfoRecord, currentIndex) == 4);
static_assert(offsetof(StoreyInfoRecord, storeys) == 8);

struct StoreyRecord {
    std::int16_t index;
    std::int16_t number;   // a second number, carried
    std::uint8_t flag;     // carried
    std::uint8_t reserved5[3];
    double level;
    char16_t name[256];
    std::uint8_t reserved528[16];
};
static_assert(sizeof(StoreyRecord) == 544);
static_assert(offsetof(StoreyRecord, number) == 2);
static_assert(offsetof(StoreyRecord, flag) == 4);
static_assert(offsetof(StoreyRecord, level) == 8);
static_assert(offsetof(StoreyRecord, name) == 16);

// 'CSTO': go to a storey.
struct StoreyCommandRecord {
    std::int32_t command;   // 0: go to the storey
    std::int16_t index;
    std::uint8_t reserved6;
    std::uint8_t noRebuild;   // 1: change without rebuilding the views
    std::uint8_t reserved8[544];
};
static_assert(sizeof(StoreyCommandRecord) == 552);
static_assert(offsetof(StoreyCommandRecord, index) == 4);
static_assert(offsetof(StoreyCommandRecord, noRebuild) == 7);

// 'GTBX': the toolbox's current tool.
struct ToolboxRecord {
    std::int32_t type;   // ElementType; 0 when the arrow (no tool) is chosen
    std::int32_t variation;
};
static_assert(sizeof(ToolboxRecord) == 8);

// 'GPRF': a part of the preferences; the second parameter is the part's number cast to a pointer. This
// host has part 0 only, the working units.
inline constexpr std::uintptr_t kPreferencesUnits = 0;

// Working length units (host's choice of codes): the metric ones come first, below kLengthUnitFeetInches.
enum LengthUnit : std::int32_t {
    kLengthUnitMetre = 0,
    kLengthUnitCentimetre = 1,
    kLengthUnitMillimetre = 2,
    kLengthUnitDecimetre = 3,
    kLengthUnitFeetInches = 4,   // feet and fractional inches
    kLengthUnitFeetDecimalInches = 5,
    kLengthUnitDecimalFeet = 6,
    kLengthUnitFractionalInches = 7,
    kLengthUnitDecimalInches = 8,
};

struct UnitPreferencesRecord {
    std::int32_t lengthUnit;   // LengthUnit
    std::uint8_t reserved4[72];
};
static_assert(sizeof(UnitPreferencesRecord) == 76);

// 'GPLA' (out) and 'CPLA' (in): where the project stands. Degrees east and north; the north direction in
// radians counterclockwise from the x axis; the time zone in minutes east of UTC (units host's choice).
// This host gives the reserved bytes as zero and ignores them in a 'CPLA'.
struct LocationRecord {
    std::uint8_t reserved0[16];
    double longitude;
    double latitude;
    std::uint8_t reserved32[8];
    double north;
    std::uint8_t reserved48[28];
    std::int16_t timeZone;
    std::uint8_t reserved78[10];
};
static_assert(sizeof(LocationRecord) == 88);
static_assert(offsetof(LocationRecord, longitude) == 16);
static_assert(offsetof(LocationRecord, latitude) == 24);
static_assert(offsetof(LocationRecord, north) == 40);
static_assert(offsetof(LocationRecord, timeZone) == 76);

// 'GPRN': the project notes. Each text is UTF-8 in a 256-byte field, zero-terminated when shorter; a
// full field has no terminator. Which note sits in which field is this host's choice, but for the city.
inline constexpr std::size_t kProjectNoteBytes = 256;
struct ProjectNotesRecord {
    char reserved0[256];
    char projectName[kProjectNoteBytes];
    char reserved512[512];
    char city[kProjectNoteBytes];
    char reserved1280[256];
    char postcode[kProjectNoteBytes];
    char architect[kProjectNoteBytes];
    char reserved2048[2048];
};
static_assert(sizeof(ProjectNotesRecord) == 4096);
static_assert(offsetof(ProjectNotesRecord, projectName) == 256);
static_assert(offsetof(ProjectNotesRecord, city) == 1024);
static_assert(offsetof(ProjectNotesRecord, postcode) == 1536);
static_assert(offsetof(ProjectNotesRecord, architect) == 1792);

// One entry of a layout's guid-to-text table: a handle of these back to back (the count is the handle
// size / sizeof(LayoutTextEntry)). Each 'GLAY' makes a new table that belongs to the caller, who frees
// it with disposeHandle; 'CLAY' does not read it.
struct LayoutTextEntry {
    GuidRecord guid;
    char16_t text[256];   // zero-terminated when shorter
};
static_assert(sizeof(LayoutTextEntry) == 528);

// A layout's or master layout's own settings ('GLAY', 'CLAY'; the second parameter is the database
// guid). Paper and margins in millimetres. The flag, value, the two values, texts and bytes are
// carried for the add-on: the host keeps and gives them back unchanged.
struct LayoutRecord {
    std::uint8_t reserved0[256];
    double paperWidth;
    double paperHeight;
    double leftMargin;
    double topMargin;
    double rightMargin;
    double bottomMargin;
    char layoutName[256];   // UTF-8, zero-terminated when shorter
    std::int16_t flag;
    std::int16_t value;
    std::uint8_t reserved564[4];
    std::int32_t valueA;
    std::int32_t valueB;
    std::uint8_t reserved576[16];
    Handle customTexts;   // of LayoutTextEntry, owned with the record (see above)
    char16_t textA[256];
    char16_t textB[256];
    std::uint8_t byteA;
    std::uint8_t byteB;
    std::uint8_t reserved1626[6];
};
static_assert(sizeof(LayoutRecord) == 1632);
static_assert(offsetof(LayoutRecord, paperWidth) == 256);
static_assert(offsetof(LayoutRecord, paperHeight) == 264);
static_assert(offsetof(LayoutRecord, leftMargin) == 272);
static_assert(offsetof(LayoutRecord, topMargin) == 280);
static_assert(offsetof(LayoutRecord, rightMargin) == 288);
static_assert(offsetof(LayoutRecord, bottomMargin) == 296);
static_assert(offsetof(LayoutRecord, layoutName) == 304);
static_assert(offsetof(LayoutRecord, flag) == 560);
static_assert(offsetof(LayoutRecord, value) == 562);
static_assert(offsetof(LayoutRecord, valueA) == 568);
static_assert(offsetof(LayoutRecord, valueB) == 572);
static_assert(offsetof(LayoutRecord, customTexts) == 592);
static_assert(offsetof(LayoutRecord, textA) == 600);
static_assert(offsetof(LayoutRecord, textB) == 1112);
static_assert(offsetof(LayoutRecord, byteA) == 1624);
static_assert(offsetof(LayoutRecord, byteB) == 1625);

// --- Attributes ------------------------------------------------------------------------------------

// The host's attribute tables (the header's type). Types 1 to 18 exist; those without a name here
// hold no attributes in this host unless a project file gives them some.
enum AttributeTypeCode : std::int32_t {
    kAttributeNone = 0,
    kAttributePen = 1,
    kAttributeLayer = 2,
    kAttributeLineType = 3,
    kAttributeFill = 4,
    kAttributeComposite = 5,
    kAttributeSurface = 6,
    kAttributeCity = 7,
    kAttributeLayerCombination = 8,
    kAttributeZoneCategory = 9,
    kAttributeFont = 10,
    kAttributeProfile = 11,
    kAttributeBuildingMaterial = 17,
    kAttributeLastType = 18,
};

inline constexpr std::size_t kAttributeNameBytes = 256;   // UTF-8, zero-terminated when shorter

// The start of every attribute record: which attribute, its flags and its name.
struct AttributeHeader {
    std::int32_t type;     // AttributeTypeCode
    std::int16_t index;    // 1-based within the type
    std::uint16_t flags;   // layers: kLayer... below; other kinds carry them
    char name[kAttributeNameBytes];
    std::uint8_t reserved264[32];
};
static_assert(sizeof(AttributeHeader) == 296);
static_assert(offsetof(AttributeHeader, index) == 4);
static_assert(offsetof(AttributeHeader, flags) == 6);
static_assert(offsetof(AttributeHeader, name) == 8);

// Layer flags (the header's flags of a type-2 attribute and of a layer-status record). 0x10 and the
// other bits are carried.
inline constexpr std::uint16_t kLayerHidden = 0x1;
inline constexpr std::uint16_t kLayerLocked = 0x2;
// Shared project: the layer is not in the member's workspace.
inline constexpr std::uint16_t kLayerOutsideWorkspace = 0x4;

inline constexpr std::size_t kAttributeDefinitionSize = 1376;

// A whole attribute: the header and the kind's own fields. The host reads only the fields named at
// the offsets below and keeps every other byte as written.
struct AttributeDefinition {
    AttributeHeader header;
    std::uint8_t body[kAttributeDefinitionSize - sizeof(AttributeHeader)];
};
static_assert(sizeof(AttributeDefinition) == kAttributeDefinitionSize);
static_assert(offsetof(AttributeDefinition, body) == 296);

// A surface material (type 6): the fields the host and a finish read; the other bytes are carried.
inline constexpr std::uint16_t kSurfaceHasTexture = 0x1000;
inline constexpr std::uint16_t kSurfaceMirrorX = 0x400;
inline constexpr std::uint16_t kSurfaceMirrorY = 0x800;
struct SurfaceMaterialRecord {
    AttributeHeader header;
    std::uint8_t reserved296[4];
    std::int32_t materialType;   // 0 to 9, carried
    std::uint16_t ambient;       // reflections and transparency in hundredths
    std::uint16_t diffuse;
    std::uint16_t specular;
    std::uint16_t transparency;
    std::uint16_t shining;                   // / 10000
    std::uint16_t transparencyAttenuation;   // / 400
    std::uint16_t emissionAttenuation;       // / 65535
    std::uint8_t reserved318[2];
    double surfaceColour[3];   // red, green, blue 0..1
    double specularColour[3];
    double emissionColour[3];
    std::uint8_t reserved392[8];
    std::uint16_t textureFlags;   // kSurfaceHasTexture, kSurfaceMirrorX, kSurfaceMirrorY
    std::uint8_t textureMissing;
    std::uint8_t reserved403[5];
    double textureXSize;
    double textureYSize;
    double textureAngle;   // radians
    std::uint8_t reserved432[8];
    char16_t textureName[256];
    void* textureLocation;   // the texture file: a location block (zero-terminated UTF-8 path) or null
    std::uint8_t reserved960[8];
};
static_assert(sizeof(SurfaceMaterialRecord) == 968);
static_assert(offsetof(SurfaceMaterialRecord, materialType) == 300);
static_assert(offsetof(SurfaceMaterialRecord, ambient) == 304);
static_assert(offsetof(SurfaceMaterialRecord, emissionAttenuation) == 316);
static_assert(offsetof(SurfaceMaterialRecord, surfaceColour) == 320);
static_assert(offsetof(SurfaceMaterialRecord, specularColour) == 344);
static_assert(offsetof(SurfaceMaterialRecord, emissionColour) == 368);
static_assert(offsetof(SurfaceMaterialRecord, textureFlags) == 400);
static_assert(offsetof(SurfaceMaterialRecord, textureMissing) == 402);
static_assert(offsetof(SurfaceMaterialRecord, textureXSize) == 408);
static_assert(offsetof(SurfaceMaterialRecord, textureAngle) == 424);
static_assert(offsetof(SurfaceMaterialRecord, textureName) == 440);
static_assert(offsetof(SurfaceMaterialRecord, textureLocation) == 952);

inline constexpr std::size_t kLayerGroupOffset = 296;   // layer: 32-bit group number, carried
// Combination: its 16-bit status count, carried.
inline constexpr std::size_t kLayerCombinationCountOffset = 296;

// The variable-length parts of an attribute, as host handles (a null handle holds nothing). A get hands
// out new handles, which the caller releases with the extended-definition disposal.
struct AttributeExtension {
    Handle lineTypeDashes;   // line types
    Handle lineTypeLines;
    Handle fillLines;   // fills
    Handle fillLineLengths;
    std::uint8_t reserved32[56];
    Handle compositeSkins;   // composites
    Handle compositeLines;
    Handle layerStatuses;   // layer combinations: LayerStatusRecords
    Handle parameters;      // zone categories: ParameterRecords, as a library part's (arrays as handles)
    std::uint8_t reserved120[104];
};
static_assert(sizeof(AttributeExtension) == 224);
static_assert(offsetof(AttributeExtension, fillLineLengths) == 24);
static_assert(offsetof(AttributeExtension, compositeSkins) == 88);
static_assert(offsetof(AttributeExtension, compositeLines) == 96);
static_assert(offsetof(AttributeExtension, layerStatuses) == 104);
static_assert(offsetof(AttributeExtension, parameters) == 112);

// A composite's skin and the line between two skins, in the extended definition's compositeSkins and
// compositeLines (one line before each skin and one after the last). Beyond the thickness the fields are
// this host's choice.
struct CompositeSkin {
    std::int16_t fill;       // fill attribute index
    std::int16_t fillPen;    // pen of the fill's pattern
    std::int16_t framePen;   // pen of the skin's contour
    std::uint16_t flags;
    double thickness;   // metres
};
static_assert(sizeof(CompositeSkin) == 16);
static_assert(offsetof(CompositeSkin, thickness) == 8);
struct CompositeLine {
    std::int16_t pen;
    std::int16_t lineType;
    std::uint8_t reserved4[28];
};
static_assert(sizeof(CompositeLine) == 32);

// One layer's state in a layer combination.
struct LayerStatusRecord {
    std::int16_t layer;    // the layer's index
    std::uint16_t flags;   // kLayer...
    std::int32_t group;
};
static_assert(sizeof(LayerStatusRecord) == 8);

// --- Library parts ---------------------------------------------------------------------------------

// The host's library-part types (the record's type).
enum LibraryPartType : std::int32_t {
    kLibraryNone = 0,
    kLibrarySpecification = 1,
    kLibraryWindow = 2,
    kLibraryDoor = 3,
    kLibraryObject = 4,
    kLibraryLamp = 5,
    kLibraryZone = 6,
    kLibraryProperty = 7,
    kLibraryPlanSign = 8,
    kLibraryLabel = 9,
    kLibraryMacro = 10,
    kLibraryPicture = 11,
    kLibraryListScheme = 12,
    kLibrarySkylight = 13,
    kLibraryLastType = 13,
};

inline constexpr std::size_t kLibraryNameChars = 256;   // 16-bit characters, zero-terminated when shorter
inline constexpr std::size_t kUniqueIdBytes = 128;      // "{main guid}-{revision guid}", zero-terminated

// One loaded library part. A location is a pointer block (newPtr) holding the part file's path as
// zero-terminated UTF-8: a location the host hands out is new and the caller disposes it (disposePtr);
// a location the caller hands in stays the caller's.
struct LibraryPartRecord {
    std::int32_t type;                          // LibraryPartType
    std::int32_t index;                         // 1-based; 0: none
    char16_t documentName[kLibraryNameChars];   // the name users see
    char16_t fileName[kLibraryNameChars];
    std::uint8_t missing;   // 1: the part's file is not loaded
    std::uint8_t reserved1033;
    std::uint8_t option;       // carried
    std::uint8_t placeable;    // 1: the part can be placed as an element
    std::uint32_t ownerCode;   // the four-character code given when a file is registered
    std::int16_t savedCode;    // host's choice: how often the part was written (1 when made)
    std::uint8_t reserved1042[30];
    char* location;   // null for a part the project embeds (made by an add-on without a file)
    std::uint8_t reserved1080[4];
    char uniqueId[kUniqueIdBytes];
    char parentUniqueId[kUniqueIdBytes];   // the part it is a subtype of; empty for a root
    std::uint8_t reserved1340[4];
};
static_assert(sizeof(LibraryPartRecord) == 1344);
static_assert(offsetof(LibraryPartRecord, documentName) == 8);
static_assert(offsetof(LibraryPartRecord, fileName) == 520);
static_assert(offsetof(LibraryPartRecord, missing) == 1032);
static_assert(offsetof(LibraryPartRecord, option) == 1034);
static_assert(offsetof(LibraryPartRecord, placeable) == 1035);
static_assert(offsetof(LibraryPartRecord, ownerCode) == 1036);
static_assert(offsetof(LibraryPartRecord, savedCode) == 1040);
static_assert(offsetof(LibraryPartRecord, location) == 1072);
static_assert(offsetof(LibraryPartRecord, uniqueId) == 1084);
static_assert(offsetof(LibraryPartRecord, parentUniqueId) == 1212);

// One section of a library part: zero but for the type (and, in a section list, the length).
struct LibrarySectionHeader {
    std::uint32_t type;      // four-character code ('1DSC', 'PARD', ...)
    std::int16_t subIdent;   // host's choice: carried, 0
    std::uint8_t reserved6[2];
    std::int32_t length;   // host's choice: the section's bytes, in a section list; ignored going in
};
static_assert(sizeof(LibrarySectionHeader) == 12);

// A library part's details: bytes 0 and 2 are flags the add-on uses, the rest is carried.
struct LibraryPartDetails {
    std::uint8_t bytes[3200];
};
static_assert(sizeof(LibraryPartDetails) == 3200);

// One library folder of the project ('GLIB', 'SLIB', 'LLIB').
struct LibraryInfoRecord {
    char* location;   // the folder's path (see LibraryPartRecord)
    std::uint8_t reserved8[120];
};
static_assert(sizeof(LibraryInfoRecord) == 128);

// Results of the library calls besides those of HostResult.h.
inline constexpr std::uint32_t kErrSectionUnreadable = 0x810600CD;   // the section is listed, not readable
inline constexpr std::uint32_t kErrOlderRevision = 0x810600D1;       // 'COMP': the first is an older revision
inline constexpr std::uint32_t kErrNewerRevision = 0x810600D2;       // 'COMP': the first is a newer revision

// Parameter types and the type modifier of a library part's parameters.
inline constexpr std::int16_t kParameterScalar = 0;
inline constexpr std::int16_t kParameterArray = 2;
inline constexpr std::int32_t kParameterString = 12;   // the type whose values are texts
inline constexpr std::size_t kParameterNameBytes = 32;

// One parameter of a library part. A parameter handle holds these back to back.
struct ParameterRecord {
    std::int32_t type;                // 1 to 16
    std::int16_t index;               // carried
    std::int16_t modifier;            // kParameterScalar or kParameterArray
    char name[kParameterNameBytes];   // UTF-8, zero-terminated
    char16_t description[256];
    std::uint8_t reserved552[512];
    std::int32_t rows;      // an array's first dimension
    std::int32_t columns;   // an array's second dimension
    std::uint16_t flags;    // carried
    std::uint8_t reserved1074[14];
    // A scalar number: one double. A scalar text: up to 256 16-bit characters. An array: a host handle
    // of rows * columns doubles, or of the texts zero-terminated one after another, row by row.
    union {
        double real;
        char16_t text[256];
        Handle array;
    } value;
};
static_assert(sizeof(ParameterRecord) == 1600);
static_assert(offsetof(ParameterRecord, modifier) == 6);
static_assert(offsetof(ParameterRecord, name) == 8);
static_assert(offsetof(ParameterRecord, description) == 40);
static_assert(offsetof(ParameterRecord, rows) == 1064);
static_assert(offsetof(ParameterRecord, columns) == 1068);
static_assert(offsetof(ParameterRecord, flags) == 1072);
static_assert(offsetof(ParameterRecord, value) == 1088);

}   // extern "C"

// Element list and filter flags (host's choice of meaning; 0 = no filtering). An element passes
// when it meets every condition whose bit is set; other bits are ignored.
inline constexpr std::uint32_t kFilterInWorkspace = 0x2;     // shared project: not held by another member
inline constexpr std::uint32_t kFilterNotHotlinked = 0x10;   // no second identifier (not from a module)
inline constexpr std::uint32_t kFilterShownLayer = 0x200;    // its layer is not hidden
inline constexpr std::uint32_t kFilterRenovation = 0x400;    // its renovation status is shown by the filter

}   // namespace host
