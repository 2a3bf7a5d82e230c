// The simulated host's open project: its name, its state that commands change, the module data of
// the add-ons and the undo stack. Loaded from and saved to JSON (format in Platform/README.md); load,
// save, load gives the same project. For the host, its program and tests.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "HostElementRecords.h"
#include "HostFiles.h"
#include "HostGuid.h"
#include "HostRecords.h"
#include "HostResult.h"
#include "SimElementTable.h"
#include "SimIFCState.h"

// The state compares exactly, reals included: a project saved and loaded again must be the same to
// the bit, and an undo must give back exactly what was there.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wfloat-equal"

namespace host {

struct ModuleDataEntry {
    std::int32_t version = 0;
    std::uint16_t platformSign = 0;
    std::vector<unsigned char> bytes;
    bool operator==(const ModuleDataEntry&) const = default;
};

// A guid as the project keeps it: the 16 bytes of a GuidRecord, comparable and ordered.
using GuidBytes = std::array<unsigned char, 16>;
GuidBytes toGuidBytes(const GuidRecord& guid);
GuidRecord toGuidRecord(const GuidBytes& guid);
bool isNullGuid(const GuidBytes& guid);
// Whether the bytes are well-formed UTF-8 without NUL bytes (so they round-trip through the project file).
bool isPlainUtf8(std::string_view bytes);
GuidBytes newGuidBytes();   // a generated guid

// A layout's or master layout's own settings ('GLAY', 'CLAY'); paper and margins in millimetres.
struct SimLayout {
    double paperWidth = 420;
    double paperHeight = 297;
    std::array<double, 4> margins{10, 10, 10, 10};   // left, top, right, bottom
    std::string layoutName;                          // at most 255 bytes of UTF-8
    std::int16_t flag = 0;                           // the rest is carried for the add-on
    std::int16_t value = 0;
    std::int32_t valueA = 0;
    std::int32_t valueB = 0;
    std::string textA;
    std::string textB;
    std::uint8_t byteA = 0;
    std::uint8_t byteB = 0;
    bool operator==(const SimLayout&) const = default;
};

// A database that holds elements. The floor plan and the 3D window are always there, first, with an
// empty guid; the others are addressed by their guid.
struct SimDatabase {
    std::int32_t type = kDatabaseNone;   // DatabaseType
    GuidBytes guid{};
    GuidBytes master{};   // a layout's master layout
    std::string title;
    std::string name;
    std::string reference;
    SimLayout layout;   // layouts and master layouts only
    bool operator==(const SimDatabase&) const = default;
};

struct SimStorey {
    std::int16_t index = 0;
    std::int16_t number = 0;   // carried
    std::uint8_t flag = 0;     // carried
    double level = 0;
    double height = 0;   // up to the storey above (for the top storey: up to the roof)
    std::string name;
    bool operator==(const SimStorey&) const = default;
};

struct SimUserData {
    std::uint16_t version = 0;
    std::uint16_t platformSign = 0;
    std::uint32_t flags = 0;
    std::vector<unsigned char> bytes;
    bool operator==(const SimUserData&) const = default;
};

// A parameter record's bytes as the project keeps them. Most of a record's 1600 bytes are the zeros of
// its unused text room, and a large project holds several records an element: only the stretches that
// are not zero are kept, each after the count of zeros before it (the zeros after the last are implied).
class ParameterBytes {
public:
    using Bytes = std::array<unsigned char, sizeof(ParameterRecord)>;
    ParameterBytes() = default;        // all zero
    void assign(const void* record);   // sizeof(ParameterRecord) bytes
    void copyTo(void* record) const;   // sizeof(ParameterRecord) bytes
    Bytes bytes() const;
    static constexpr std::size_t size() { return sizeof(ParameterRecord); }
    bool operator==(const ParameterBytes&) const = default;   // one form for one record

private:
    std::vector<unsigned char> runs_;   // (zeros, length: two bytes each) then the length's bytes, again
};

// One parameter of a library part or a zone category: the host record with its value field zeroed for
// an array, whose values are kept as the bytes of the array's handle.
struct SimParameter {
    ParameterBytes record;
    std::vector<unsigned char> arrayBytes;
    ParameterRecord head() const;   // the record (an array's handle null)
    bool operator==(const SimParameter&) const = default;
};

// Parameters to a new handle of ParameterRecords (arrays as new handles; null when there are none),
// and back. kErrMemFull when an allocation fails (nothing is then left allocated); from a handle:
// kErrBadParameters for a size that is not whole records, a modifier other than scalar or array, an
// array whose handle is unknown or does not hold rows * columns values.
Result parametersToHandle(const std::vector<SimParameter>& parameters, Handle& handle);
Result parametersFromHandle(Handle handle, std::vector<SimParameter>& parameters);
// Releases the array handles of the records, then the handle. kErrBadHandle for an unknown one.
Result disposeParameterHandle(Handle handle);

// An element memo's parts as the project owns them: by the part's offset in ElementMemo, the bytes
// of its handle (present = a handle, maybe empty), of its pointer block, or of an inline block (present
// only when not all zero). The info text is kept as its UTF-16 bytes. The parameter part is kept apart
// as parameters when its handle holds parameter records (their arrays are handles); other bytes there
// stay a plain part.
struct SimMemo {
    std::map<std::uint16_t, std::vector<unsigned char>> parts;
    std::optional<std::vector<SimParameter>> parameters;
    bool operator==(const SimMemo&) const = default;
};

// One memo part: its name in the project file and in ElementMemo, its offset and its mask bit.
struct MemoPartInfo {
    const char* name;
    std::uint16_t offset;
    enum Kind { handle, pointer, inlineBlock } kind;
    std::uint16_t size;   // pointer and inline blocks: their fixed size
    MemoMask bit;
};
const std::vector<MemoPartInfo>& memoParts();

// Hands the masked parts of a memo out as new handles and blocks in `memo`, which is zeroed first.
// kErrMemFull when an allocation fails; then nothing is left allocated and the record is zeroed.
Result memoToRecord(const SimMemo& parts, MemoMask mask, ElementMemo& memo);
// Takes the masked parts of a caller's memo into `parts`: a part with a handle (or block) replaces the
// kept one; a null one removes it when `removeMissing`, else leaves it. kErrBadHandle for a handle or
// block the memory manager does not know; `parts` is then unchanged.
Result memoFromRecord(const ElementMemo& memo, MemoMask mask, bool removeMissing, SimMemo& parts);
// Releases every handle and block of the record, then zeroes it. kErrBadHandle when one was unknown
// (the others are released all the same).
Result disposeMemoRecord(ElementMemo& memo);
// The parameter part of memoToRecord and memoFromRecord (SimParameter.cpp).
Result parametersToMemo(const SimMemo& parts, MemoMask mask, ElementMemo& memo);
Result parametersFromMemo(const ElementMemo& memo, MemoMask mask, bool removeMissing, SimMemo& parts);

// An element record's bytes, kept in the element itself: a lookup then reaches the record without a
// further pointer to follow, which counts when a project's elements no longer fit the caches.
using ElementBytes = std::array<unsigned char, kElementRecordSize>;

struct SimElement {
    std::int32_t databaseType = kDatabasePlan;   // kDatabasePlan for the floor plan (and the 3D window)
    GuidBytes databaseGuid{};                    // empty for the floor plan
    ElementBytes record{};
    SimMemo memo;
    std::optional<SimUserData> userData;
    // What the host puts before the element's ID ('GCIS'); the ID is the memo's info.
    std::string infoPrefix;
    // What the host reports of an element's skins and of its parts; set by tests, not in project files.
    std::vector<CompositeQuantity> skins;
    std::vector<PartQuantity> partQuantities;

    ElementHead head() const;
    void setHead(const ElementHead& head);
    GuidBytes guid() const;
    bool operator==(const SimElement&) const = default;
};

// A tool default: what a new element of a type and variation starts from.
struct SimToolDefault {
    ElementBytes record{};
    SimMemo memo;
    std::optional<SimUserData> userData;
    bool operator==(const SimToolDefault&) const = default;
};

struct SimLink {
    GuidBytes from{};
    GuidBytes to{};
    std::uint32_t flags = 0;
    bool operator==(const SimLink&) const = default;
};

// A relation the add-on made between two elements, with its two values.
struct SimRelation {
    GuidBytes from{};
    GuidBytes to{};
    std::int32_t valueA = 0;
    std::int32_t valueB = 0;
    bool operator==(const SimRelation&) const = default;
};

struct SimMember {
    std::int16_t id = 0;
    std::int16_t value = 0;   // carried
    std::string name;
    std::string loginName;
    GuidBytes guid{};
    bool operator==(const SimMember&) const = default;
};

// A teamwork lockable object (the layer settings, ...): held by nobody (0) or by one member.
struct SimLockable {
    std::string name;
    GuidBytes guid{};
    std::int16_t holder = 0;
    bool operator==(const SimLockable&) const = default;
};

struct SimTeamwork {
    bool shared = false;
    bool connected = true;
    bool available = true;       // the server takes requests now (isTeamworkAvailable)
    std::int16_t memberId = 0;   // the current member
    std::vector<SimMember> members;
    std::vector<SimLockable> lockables;
    bool operator==(const SimTeamwork&) const = default;
};

// The project's settings that the add-on reads ('GPRF', 'GPLA', 'GPRN') and changes ('CPLA').
struct SimLocation {
    double longitude = 0;                // degrees east, -180..180
    double latitude = 0;                 // degrees north, -90..90
    double north = 1.5707963267948966;   // radians from the x axis: the y axis points north
    std::int16_t timeZone = 0;           // minutes east of UTC
    bool operator==(const SimLocation&) const = default;
};
bool isValidLocation(const SimLocation& location);   // finite, and the angles within their ranges
struct SimSettings {
    std::int32_t lengthUnit = kLengthUnitMetre;   // LengthUnit
    SimLocation location;
    // The project notes, each at most kProjectNoteBytes of UTF-8.
    std::string projectName;
    std::string city;
    std::string postcode;
    std::string architect;
    bool operator==(const SimSettings&) const = default;
};

struct SimRenovationFilter {
    GuidBytes guid{};
    std::string name;
    std::vector<std::int32_t> shownStatuses;   // renovation status indices (head field `phase`) it shows
    bool operator==(const SimRenovationFilter&) const = default;
};

// An attribute. The body is the definition's bytes after the header, as written (a layer's group is
// its first four); the extension's parts by their offset in AttributeExtension (present = a handle,
// maybe empty), the parameters apart because their arrays are handles.
struct SimAttribute {
    std::int32_t type = kAttributeNone;   // AttributeTypeCode
    std::int16_t index = 0;
    std::uint16_t flags = 0;
    std::string name;
    std::vector<unsigned char> body = std::vector<unsigned char>(sizeof(AttributeDefinition::body), 0);
    std::map<std::uint16_t, std::vector<unsigned char>> extension;
    std::optional<std::vector<SimParameter>> parameters;
    std::optional<SimUserData> userData;
    std::string textureFile;   // a surface material's texture file ("": none); handed out as a kept location

    std::int32_t layerGroup() const;
    void setLayerGroup(std::int32_t group);
    bool operator==(const SimAttribute&) const = default;
};

// Puts attributes in the project's order: by type, then index.
void sortAttributes(std::vector<SimAttribute>& attributes);

// One section of a library part.
struct SimSection {
    std::uint32_t type = 0;   // four-character code
    std::int16_t subIdent = 0;
    std::vector<unsigned char> bytes;
    bool operator==(const SimSection&) const = default;
};

// A loaded library part; its library index is its place in the project's list plus 1. A deleted part
// keeps its place (so the other indices stay) and answers no more.
struct SimLibraryPart {
    std::int32_t type = kLibraryObject;   // LibraryPartType
    std::string name;                     // the document name
    std::string fileName;
    std::optional<std::string> location;   // the part file; none for a part the project embeds
    bool deleted = false;
    bool placeable = true;
    std::uint8_t option = 0;
    std::uint32_t owner = 0;
    std::int16_t savedCode = 1;
    std::string uniqueId;                 // "{main}-{revision}"
    std::string parentId;                 // the unique id of the part it is a subtype of; "" for a root
    std::vector<SimSection> sections;     // in the part's order
    std::vector<unsigned char> details;   // the 3200-byte details block; empty: all zero
    double a = 1;                         // the default sizes
    double b = 1;
    std::vector<SimParameter> parameters;
    bool operator==(const SimLibraryPart&) const = default;
};

// Everything an undoable command can change and the undo step restores.
struct ProjectState {
    bool suspendGroups = false;   // the host's suspend-groups mode (element-tools 'SUSP')
    // Module data by (add-on name, data name); part of the project, so an undo step covers it.
    std::map<std::pair<std::string, std::string>, ModuleDataEntry> moduleData;
    std::vector<SimDatabase> databases;   // the floor plan, the 3D window, then the others in project order
    std::vector<SimStorey> storeys;       // bottom up; at least one
    SimElementTable elements;             // in host order (the order of the element lists), by GUID
    std::vector<SimLink> links;
    std::vector<SimRelation> relations;
    std::map<std::pair<std::int32_t, std::int32_t>, SimToolDefault> defaults;   // by (type, variation)
    SimTeamwork teamwork;
    std::vector<SimRenovationFilter> renovationFilters;
    GuidBytes activeRenovationFilter{};
    // Attributes of every type, ordered by type and index; an index absent below the highest of its
    // type is a deleted one. Layers (type 2) carry the hidden and locked flags the host honours.
    std::vector<SimAttribute> attributes;
    std::int16_t currentLayerCombination = 0;   // 'GCLC'; 0 when none
    SimSettings settings;                       // units, location, notes
    std::vector<SimLibraryPart> libraryParts;   // library index = place + 1
    std::vector<std::string> libraryFolders;    // the project's library folders ('GLIB')
    std::int32_t currentLibrary = -1;           // its position in libraryFolders, -1 when none
    SimIFCState ifc;                            // IFC data, properties and classifications
    bool operator==(const ProjectState&) const = default;
};

// A database's view as the user sees it. Not part of an undo step: the host's Undo does not move the
// user's view or selection (elements that an undo removes simply drop out of the selection).
struct SimSelection {
    std::int32_t kind = kSelectionNone;   // SelectionKind
    std::vector<GuidBytes> elements;
    bool operator==(const SimSelection&) const = default;
};
struct SimView {
    std::array<double, 4> zoom{0, 0, 20, 20};          // xMin, yMin, xMax, yMax
    std::vector<std::array<double, 4>> earlierZooms;   // 'DOOM' goes back through them; not saved
    std::array<double, 4> extent{0, 0, 20, 20};
    double scale = 100;
    SimSelection selection;
    // The add-on's highlight ('HGEL'): colours (red, green, blue, alpha) by element, and whether the
    // rest is drawn as wireframe. Shown only; not kept in the project file.
    std::map<GuidBytes, std::array<double, 4>> highlight;
    bool highlightWireframe = false;
    bool operator==(const SimView&) const = default;
};
// The 3D window's projection ('GP3D', 'CP3D'): a perspective camera, or a parallel view by its matrix.
// Both groups are kept, so switching the kind back finds the other's values as they were.
struct SimProjection {
    bool perspective = true;
    // camera x, y, z, target x, y, z (metres), the view cone's full angle and the roll (radians)
    std::array<double, 8> camera{-10, -10, 6, 0, 0, 0, 1.0471975511965976, 0};
    // rows x (right), y (up), z (into the view), each three factors and a translation: a front view
    std::array<double, 12> matrix{1, 0, 0, 0, 0, 0, 1, 0, 0, 1, 0, 0};
    bool operator==(const SimProjection&) const = default;
};
// (kDatabasePlan or kDatabaseModel, empty) or (0, guid).
using DatabaseKey = std::pair<std::int32_t, GuidBytes>;
struct ViewState {
    DatabaseKey currentDatabase{kDatabasePlan, {}};
    DatabaseKey frontWindow{kDatabasePlan, {}};
    std::int16_t currentStorey = 0;
    std::int32_t toolType = 0;   // the toolbox's current tool ('GTBX')
    std::int32_t toolVariation = 0;
    std::map<DatabaseKey, SimView> views;
    SimProjection projection3D;   // the 3D window's
    bool operator==(const ViewState&) const = default;
};

class SimProject {
public:
    // The JSON form. False with a message (what is missing or malformed, where) in `error`; the project
    // is then unchanged.
    bool loadFile(const std::string& path, std::string& error);
    bool loadText(const std::string& json, std::string& error);
    std::string saveText() const;
    // Writes a temporary, then renames it. False, with "<path>: " and the reason in error, when the file
    // is not written. A project larger than readLimit, the most loadFile reads, is written all the same:
    // then tooLarge says so and names its size (else it is empty).
    bool saveFile(const std::string& path, std::string& error, std::string& tooLarge,
                  std::uintmax_t readLimit = kMaxInputFileBytes) const;
    bool saveFile(const std::string& path, std::string& error) const;   // the size left unchecked

    SimProject();   // an empty project: the floor plan with one storey and the 3D window

    std::string name;       // the project's name ("" for an untitled project)
    std::string filePath;   // the file it was loaded from ("PROJ"); "" while untitled
    ProjectState state;
    ViewState view;

    // --- Lookups -----------------------------------------------------------------------------------
    // The database of a type and guid: the floor plan and the 3D window by type alone; the others by
    // guid, where layout and master layout (5 and 9) name the same lists. Null when there is none.
    const SimDatabase* findDatabase(std::int32_t type, const GuidBytes& guid) const;
    static DatabaseKey keyOf(const SimDatabase& database);
    const SimDatabase* database(const DatabaseKey& key) const;
    SimAttribute* findAttribute(std::int32_t type, std::int32_t index);
    const SimAttribute* findAttribute(std::int32_t type, std::int32_t index) const;
    bool layerHidden(std::int16_t layer) const;   // a layer the project lacks is not hidden
    // The part at a library index (1-based) that is not deleted; null otherwise.
    SimLibraryPart* findLibraryPart(std::int32_t index);
    const SimLibraryPart* findLibraryPart(std::int32_t index) const;
    SimElement* findElement(const GuidBytes& guid);
    const SimElement* findElement(const GuidBytes& guid) const;
    // Whether the element lies in the database: floor-plan elements lie in the plan and the 3D window.
    static bool inDatabase(const SimElement& element, const DatabaseKey& key);
    SimView& viewOf(const DatabaseKey& key) { return view.views[key]; }
    // After the state changed under the view (undo, a rolled-back command): a current database, front
    // window or storey that is gone falls back to the floor plan and the first storey, and selections
    // lose the elements and databases that are gone.
    void settleView();

    // --- Undo: one step per undoable command ----------------------------------------------------
    struct UndoStep {
        std::string name;      // the command's undo name
        ProjectState before;   // the state before the command ran
    };
    const std::vector<UndoStep>& undoSteps() const { return undo_; }
    void pushUndoStep(std::string stepName, ProjectState before);
    bool undo();   // restores the last step's state; false when there is none
    void clearUndo() { undo_.clear(); }

private:
    std::vector<UndoStep> undo_;
};

}   // namespace host

#pragma GCC diagnostic pop
