// The element kinds of the simulated host: the named fields of each kind's record in the project file,
// the box and the plan points each kind places, its quantities, the zones and their related elements,
// the add-on's relations between elements, link flags, the object settings dialog ('OBJS') and the
// library part an element names. The undo-scope rule is the dispatch point's.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "HostElementRecords.h"
#include "HostMemory.h"
#include "HostRecords.h"
#include "HostResult.h"
#include "SimProject.h"

namespace host {

// One named field of an element record in the project file.
struct RecordField {
    const char* name;
    std::size_t offset;
    enum Kind { int8u, int16, int32, uint64, guid, real, point } kind;
    std::int32_t forType;   // 0: every type; else only records of that type
    bool always;            // written even when zero
};
inline constexpr std::int32_t kAnyType = 0;
std::span<const RecordField> recordFields();     // the head's fields, then each kind's
std::size_t fieldSize(RecordField::Kind kind);   // the bytes a field of the kind takes

// The project file's "relations": [{"from", "to", "valueA", "valueB"}]. False with a message naming the
// entry when malformed or when an element is missing; `state` is then unchanged.
bool readRelations(const nlohmann::ordered_json& root, ProjectState& state, std::string& error);
void writeRelations(nlohmann::ordered_json& root, const ProjectState& state);

class SimElementKinds {
public:
    explicit SimElementKinds(SimProject& project) : project_(project) {}

    // 'CABO': the box of what the record places, at the level of its storey; kErrBadParameters for a
    // kind that places nothing here or numbers that give no finite box.
    static Result elementBox(const SimProject& project, const SimElement& element, ElementBoxRecord& box);

    Result quantities(const GuidRecord& guid, QuantityTargets& targets, const std::uint8_t* mask) const;
    Result relations(const GuidRecord& guid, std::int32_t relatedType, void* relation) const;
    static Result disposeZoneRelation(ZoneRelation& relation);
    Result relatedElements(const GuidRecord& guid, Handle& guids, std::int32_t& count) const;
    Result relationValues(const GuidRecord& first, const GuidRecord& second, RelationValues& values) const;
    Result createRelation(const GuidRecord& first, const GuidRecord& second, std::int32_t a, std::int32_t b);
    Result removeRelation(const GuidRecord& first, const GuidRecord& second);
    Result linkFlags(const GuidRecord& first, const GuidRecord& second, std::uint32_t& flags) const;

    Result nextCoordinate(const GuidRecord& guid, ModelPoint& point, std::int32_t& index) const;   // 'NTOC'
    Result libraryPartName(const GuidRecord& guid, Handle& name) const;                            // 'GULN'
    Result libraryPartUniqueId(const ElementHead& head, char* text) const;                         // 'GELU'
    // 'OBJS': the scripted answer changes the record's named fields; kErrCancel when not accepted.
    Result objectSettings(ElementRecord& record, const ElementRecord& mask) const;

    // The plan polygon of a zone (outline then holes, each without its closing entry); empty when none.
    static std::vector<std::vector<ModelPoint>> zonePolygon(const SimElement& zone);
    // The library index a record names (objects, lamps, doors, windows, zones); 0 for other kinds.
    static std::int32_t libraryIndexOf(std::span<const unsigned char> record);
    static std::size_t libraryIndexOffset(std::int32_t type);   // 0 for kinds that name no part

private:
    SimProject& project_;
};

}   // namespace host
