#include "SimElementKinds.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <set>
#include <span>

#include "HostDialogs.h"
#include "HostGuid.h"
#include "HostText.h"
#include "SimBytes.h"

namespace host {

namespace {

using Json = nlohmann::ordered_json;

constexpr RecordField kFields[] = {
    // The head.
    {"variation", 4, RecordField::int32, kAnyType, true},
    {"storey", 72, RecordField::int16, kAnyType, true},
    {"layer", 74, RecordField::int16, kAnyType, true},
    {"writeNeedsMemo", 76, RecordField::int8u, kAnyType, false},
    {"drawOrder", 77, RecordField::int8u, kAnyType, false},
    {"owner", 78, RecordField::int16, kAnyType, false},
    {"locked", 80, RecordField::int16, kAnyType, false},
    {"headWord", 82, RecordField::int16, kAnyType, false},
    {"phase", 88, RecordField::int32, kAnyType, false},
    {"headValue", 32, RecordField::uint64, kAnyType, false},
    {"firstIdentifier", 40, RecordField::guid, kAnyType, false},
    {"secondIdentifier", 56, RecordField::guid, kAnyType, false},
    {"thirdIdentifier", 92, RecordField::guid, kAnyType, false},
    // Doors and windows: the opening in its wall.
    {"libraryIndex", kOpeningLibraryIndexOffset, RecordField::int32, kElementWindow, false},
    {"libraryIndex", kOpeningLibraryIndexOffset, RecordField::int32, kElementDoor, false},
    {"width", kOpeningWidthOffset, RecordField::real, kElementWindow, false},
    {"width", kOpeningWidthOffset, RecordField::real, kElementDoor, false},
    {"height", kOpeningHeightOffset, RecordField::real, kElementWindow, false},
    {"height", kOpeningHeightOffset, RecordField::real, kElementDoor, false},
    {"wallPosition", kOpeningPositionOffset, RecordField::real, kElementWindow, false},
    {"wallPosition", kOpeningPositionOffset, RecordField::real, kElementDoor, false},
    {"wallElevation", kOpeningElevationOffset, RecordField::real, kElementWindow, false},
    {"wallElevation", kOpeningElevationOffset, RecordField::real, kElementDoor, false},
    {"mirrored", kOpeningMirroredOffset, RecordField::int8u, kElementWindow, false},
    {"mirrored", kOpeningMirroredOffset, RecordField::int8u, kElementDoor, false},
    {"wall", kOpeningWallGuidOffset, RecordField::guid, kElementWindow, false},
    {"wall", kOpeningWallGuidOffset, RecordField::guid, kElementDoor, false},
    // Objects and lamps.
    {"libraryIndex", kObjectLibraryIndexOffset, RecordField::int32, kElementObject, false},
    {"libraryIndex", kObjectLibraryIndexOffset, RecordField::int32, kElementLamp, false},
    {"position", kObjectPositionOffset, RecordField::point, kElementObject, false},
    {"position", kObjectPositionOffset, RecordField::point, kElementLamp, false},
    {"angle", kObjectAngleOffset, RecordField::real, kElementObject, false},
    {"angle", kObjectAngleOffset, RecordField::real, kElementLamp, false},
    {"elevation", kObjectElevationOffset, RecordField::real, kElementObject, false},
    {"elevation", kObjectElevationOffset, RecordField::real, kElementLamp, false},
    {"size", kObjectSizeOffset, RecordField::point, kElementObject, false},
    {"size", kObjectSizeOffset, RecordField::point, kElementLamp, false},
    {"mirrored", kObjectMirroredOffset, RecordField::int8u, kElementObject, false},
    {"mirrored", kObjectMirroredOffset, RecordField::int8u, kElementLamp, false},
    {"fixedSize", kObjectFixedSizeOffset, RecordField::int8u, kElementObject, false},
    {"fixedSize", kObjectFixedSizeOffset, RecordField::int8u, kElementLamp, false},
    // Zones: the polygon is the memo's.
    {"libraryIndex", kZoneStampIndexOffset, RecordField::int32, kElementZone, false},
    {"category", kZoneCategoryOffset, RecordField::int16, kElementZone, false},
    {"elevation", kZoneElevationOffset, RecordField::real, kElementZone, false},
    {"height", kZoneHeightOffset, RecordField::real, kElementZone, false},
    {"upperStoreys", kZoneUpperStoreyOffset, RecordField::int16, kElementZone, false},
    {"pen", kZonePenOffset, RecordField::int16, kElementZone, false},
    {"finish", kZoneFinishOffset, RecordField::int16, kElementZone, false},
    {"valueA", kZoneValueAOffset, RecordField::real, kElementZone, false},
    {"valueB", kZoneValueBOffset, RecordField::real, kElementZone, false},
    {"pointA", kZonePointAOffset, RecordField::point, kElementZone, false},
    {"pointB", kZonePointBOffset, RecordField::point, kElementZone, false},
    // Section and elevation markers.
    {"lower", kMarkerLowerOffset, RecordField::real, kElementSectionMarker, false},
    {"upper", kMarkerUpperOffset, RecordField::real, kElementSectionMarker, false},
    {"lower", kMarkerLowerOffset, RecordField::real, kElementElevationMarker, false},
    {"upper", kMarkerUpperOffset, RecordField::real, kElementElevationMarker, false},
    // Section elements: the model element they show.
    {"parentType", kSectionParentTypeOffset, RecordField::int8u, kElementSectionElement, false},
    {"parentGuid", kSectionParentGuidOffset, RecordField::guid, kElementSectionElement, false},
};

std::int32_t typeOf(const SimElement& element) { return element.head().type; }

double storeyLevel(const SimProject& project, std::int16_t index) {
    for (const SimStorey& storey : project.state.storeys)
        if (storey.index == index) return storey.level;
    return 0.0;
}

// The plan point where an element stands, for the zone relations: objects and lamps their position,
// doors and windows the middle of the opening on their wall (the x axis, as in elementBox).
bool standPoint(const SimElement& element, ModelPoint& point) {
    const std::int32_t type = typeOf(element);
    if (type == kElementObject || type == kElementLamp) {
        point = {readAt<double>(element.record, kObjectPositionOffset),
                 readAt<double>(element.record, kObjectPositionOffset + 8)};
        return true;
    }
    if (type == kElementDoor || type == kElementWindow) {
        point = {readAt<double>(element.record, kOpeningPositionOffset) +
                     readAt<double>(element.record, kOpeningWidthOffset) / 2,
                 0.0};
        return true;
    }
    return false;
}

// Even-odd test against one contour.
bool inContour(const std::vector<ModelPoint>& contour, const ModelPoint& p) {
    bool inside = false;
    for (std::size_t i = 0, j = contour.size() - 1; i < contour.size(); j = i++) {
        const ModelPoint& a = contour[i];
        const ModelPoint& b = contour[j];
        if ((a.y > p.y) != (b.y > p.y) && p.x < (b.x - a.x) * (p.y - a.y) / (b.y - a.y) + a.x)
            inside = !inside;
    }
    return inside;
}

bool inZone(const std::vector<std::vector<ModelPoint>>& polygon, const ModelPoint& p) {
    if (polygon.empty() || polygon.front().size() < 3 || !inContour(polygon.front(), p)) return false;
    for (std::size_t h = 1; h < polygon.size(); ++h)
        if (polygon[h].size() >= 3 && inContour(polygon[h], p)) return false;
    return true;
}

double contourArea(const std::vector<ModelPoint>& contour) {
    double twice = 0;
    for (std::size_t i = 0, j = contour.size() - 1; i < contour.size(); j = i++)
        twice += contour[j].x * contour[i].y - contour[i].x * contour[j].y;
    return std::abs(twice) / 2;
}

double contourPerimeter(const std::vector<ModelPoint>& contour) {
    double length = 0;
    for (std::size_t i = 0, j = contour.size() - 1; i < contour.size(); j = i++)
        length += std::hypot(contour[i].x - contour[j].x, contour[i].y - contour[j].y);
    return length;
}

// Whether the zone's storeys (its home storey and the ones above it that it reaches) hold the storey.
bool zoneCovers(const SimElement& zone, std::int16_t storey) {
    const std::int16_t home = zone.head().storey;
    const auto up = std::max<std::int16_t>(readAt<std::int16_t>(zone.record, kZoneUpperStoreyOffset), 0);
    return storey >= home && storey <= home + up;
}

// The list of a zone relation that an element goes in (host's choice): one standing on a storey above
// the zone's own goes in 7, a lamp in 0 (both lists of part entries), the others by their kind.
std::size_t relationList(std::int32_t type, bool aboveZone) {
    if (aboveZone) return 7;
    switch (type) {
        case kElementLamp:
            return 0;
        case kElementObject:
            return 1;
        case kElementDoor:
            return 3;
        case kElementWindow:
            return 4;
        default:
            return 5;
    }
}

std::string guidText(const GuidBytes& guid) { return guidToText(toGuidRecord(guid)); }

// Whether the settings dialog may change the field: the caller's mask marks every byte of it.
bool underMask(const ElementRecord& mask, std::size_t offset, std::size_t size) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(&mask) + offset;
    return std::all_of(bytes, bytes + size, [](unsigned char b) { return b == 0xFF; });
}

}   // namespace

std::span<const RecordField> recordFields() { return kFields; }

std::size_t fieldSize(RecordField::Kind kind) {
    switch (kind) {
        case RecordField::int8u:
            return 1;
        case RecordField::int16:
            return 2;
        case RecordField::int32:
            return 4;
        case RecordField::uint64:
        case RecordField::real:
            return 8;
        case RecordField::guid:
        case RecordField::point:
            return 16;
    }
    return 0;
}

// --- Relations in the project file --------------------------------------------------------------------

bool readRelations(const Json& root, ProjectState& state, std::string& error) {
    if (!root.contains("relations")) return true;
    const Json& list = root["relations"];
    if (!list.is_array()) {
        error = "project: \"relations\" must be a list";
        return false;
    }
    std::vector<SimRelation> relations;
    for (std::size_t i = 0; i < list.size(); ++i) {
        const std::string where = "relations[" + std::to_string(i) + "]";
        const Json& entry = list[i];
        SimRelation relation;
        GuidRecord from{}, to{};
        if (!entry.is_object() || !entry.contains("from") || !entry.contains("to") ||
            !entry["from"].is_string() || !entry["to"].is_string() ||
            !guidFromText(entry["from"].get<std::string>(), from) ||
            !guidFromText(entry["to"].get<std::string>(), to)) {
            error = where + ": needs \"from\" and \"to\" element guids";
            return false;
        }
        for (const auto& [key, value] : entry.items()) {
            if (key == "from" || key == "to") continue;
            if ((key != "valueA" && key != "valueB") || !value.is_number_integer()) {
                error = where + ": " + quotedInput(key) +
                        " is not a relation value (\"valueA\", \"valueB\": whole numbers)";
                return false;
            }
            const auto number = value.get<std::int64_t>();
            if (number < INT32_MIN || number > INT32_MAX) {
                error = where + ": \"" + key + "\" is out of range";
                return false;
            }
            (key == "valueA" ? relation.valueA : relation.valueB) = static_cast<std::int32_t>(number);
        }
        relation.from = toGuidBytes(from);
        relation.to = toGuidBytes(to);
        const auto known = [&](const GuidBytes& guid) {
            return std::any_of(state.elements.begin(), state.elements.end(),
                               [&](const SimElement& e) { return e.guid() == guid; });
        };
        if (!known(relation.from) || !known(relation.to)) {
            error = where + ": names an element the project does not have";
            return false;
        }
        relations.push_back(relation);
    }
    state.relations = std::move(relations);
    return true;
}

void writeRelations(Json& root, const ProjectState& state) {
    if (state.relations.empty()) return;
    Json list = Json::array();
    for (const SimRelation& relation : state.relations) {
        Json entry = Json::object();
        entry["from"] = guidText(relation.from);
        entry["to"] = guidText(relation.to);
        if (relation.valueA != 0) entry["valueA"] = relation.valueA;
        if (relation.valueB != 0) entry["valueB"] = relation.valueB;
        list.push_back(std::move(entry));
    }
    root["relations"] = std::move(list);
}

// --- Boxes, points, polygons --------------------------------------------------------------------------

std::size_t SimElementKinds::libraryIndexOffset(std::int32_t type) {
    switch (type) {
        case kElementObject:
        case kElementLamp:
            return kObjectLibraryIndexOffset;
        case kElementDoor:
        case kElementWindow:
            return kOpeningLibraryIndexOffset;
        case kElementZone:
            return kZoneStampIndexOffset;
        default:
            return 0;
    }
}

std::int32_t SimElementKinds::libraryIndexOf(std::span<const unsigned char> record) {
    const std::size_t offset = libraryIndexOffset(readAt<std::int32_t>(record, 0));
    return offset == 0 ? 0 : readAt<std::int32_t>(record, offset);
}

std::vector<std::vector<ModelPoint>> SimElementKinds::zonePolygon(const SimElement& zone) {
    std::vector<std::vector<ModelPoint>> contours;
    const auto coordsPart = zone.memo.parts.find(offsetof(ElementMemo, coords));
    const auto pendsPart = zone.memo.parts.find(offsetof(ElementMemo, pends));
    if (coordsPart == zone.memo.parts.end() || pendsPart == zone.memo.parts.end()) return contours;
    const std::size_t coordCount = coordsPart->second.size() / sizeof(PolygonCoord);
    const std::size_t endCount = pendsPart->second.size() / sizeof(std::int32_t);
    std::vector<PolygonCoord> coords(coordCount);
    std::vector<std::int32_t> ends(endCount);
    if (coordCount > 0)
        std::memcpy(coords.data(), coordsPart->second.data(), coordCount * sizeof(PolygonCoord));
    if (endCount > 0) std::memcpy(ends.data(), pendsPart->second.data(), endCount * sizeof(std::int32_t));
    // Contour c runs from entry ends[c] + 1 to ends[c + 1], the last repeating the first.
    for (std::size_t c = 0; c + 1 < endCount; ++c) {
        const std::int64_t first = std::int64_t{ends[c]} + 1, last = ends[c + 1];
        if (first < 1 || last <= first || static_cast<std::size_t>(last) >= coordCount) return {};
        std::vector<ModelPoint> contour;
        for (std::int64_t i = first; i < last; ++i) contour.push_back({coords[i].x, coords[i].y});
        contours.push_back(std::move(contour));
    }
    return contours;
}

Result SimElementKinds::elementBox(const SimProject& p, const SimElement& element, ElementBoxRecord& box) {
    const ElementHead head = element.head();
    const auto real = [&](std::size_t offset) { return readAt<double>(element.record, offset); };
    const double level = element.databaseType == kDatabasePlan ? storeyLevel(p, head.storey) : 0.0;
    ElementBoxRecord result{};
    if (head.type == kElementObject || head.type == kElementLamp) {
        // Objects and lamps: the rectangle of their width and depth from their position, turned by their
        // angle, flat at their elevation above the storey. The sizes are lengths when the record says so
        // (fixedSize), else ratios of their library part's A and B.
        const double x = real(kObjectPositionOffset), y = real(kObjectPositionOffset + 8);
        double width = real(kObjectSizeOffset), depth = real(kObjectSizeOffset + 8);
        if (element.record[kObjectFixedSizeOffset] == 0) {
            if (const SimLibraryPart* part = p.findLibraryPart(libraryIndexOf(element.record))) {
                width *= part->a;
                depth *= part->b;
            }
        }
        const double angle = real(kObjectAngleOffset);
        const double c = std::cos(angle), s = std::sin(angle);
        const std::pair<double, double> corners[] = {{0, 0}, {width, 0}, {width, depth}, {0, depth}};
        result = {x, y, 0, x, y, 0};
        for (const auto& [u, v] : corners) {
            const double cx = x + u * c - v * s, cy = y + u * s + v * c;
            result.xMin = std::min(result.xMin, cx);
            result.xMax = std::max(result.xMax, cx);
            result.yMin = std::min(result.yMin, cy);
            result.yMax = std::max(result.yMax, cy);
        }
        result.zMin = result.zMax = level + real(kObjectElevationOffset);
    } else if (head.type == kElementDoor || head.type == kElementWindow) {
        // The project keeps no walls: an opening's wall runs along the x axis from the origin; the box
        // spans the opening's width from its place along the wall and its height from its elevation.
        const double along = real(kOpeningPositionOffset), width = real(kOpeningWidthOffset);
        const double bottom = level + real(kOpeningElevationOffset), height = real(kOpeningHeightOffset);
        result = {std::min(along, along + width), 0, std::min(bottom, bottom + height),
                  std::max(along, along + width), 0, std::max(bottom, bottom + height)};
    } else if (head.type == kElementZone) {
        // Zones: their polygon's extent, from their elevation up by their height.
        const auto polygon = zonePolygon(element);
        if (polygon.empty() || polygon.front().empty()) return kErrBadParameters;
        const double bottom = level + real(kZoneElevationOffset), height = real(kZoneHeightOffset);
        result = {polygon.front()[0].x, polygon.front()[0].y, std::min(bottom, bottom + height),
                  polygon.front()[0].x, polygon.front()[0].y, std::max(bottom, bottom + height)};
        for (const ModelPoint& point : polygon.front()) {
            result.xMin = std::min(result.xMin, point.x);
            result.xMax = std::max(result.xMax, point.x);
            result.yMin = std::min(result.yMin, point.y);
            result.yMax = std::max(result.yMax, point.y);
        }
    } else {
        return kErrBadParameters;
    }
    for (double value : {result.xMin, result.yMin, result.zMin, result.xMax, result.yMax, result.zMax})
        if (!std::isfinite(value)) return kErrBadParameters;
    box = result;
    return kNoError;
}

Result SimElementKinds::nextCoordinate(const GuidRecord& guid, ModelPoint& point, std::int32_t& index) const {
    const SimElement* element = project_.findElement(toGuidBytes(guid));
    if (!element || index < 0) return kErrBadIndex;
    std::vector<ModelPoint> points;
    const std::int32_t type = typeOf(*element);
    if (type == kElementZone) {
        const auto polygon = zonePolygon(*element);
        if (!polygon.empty()) points = polygon.front();
    } else if (ElementBoxRecord box{}; elementBox(project_, *element, box) == kNoError) {
        points = {{box.xMin, box.yMin}, {box.xMax, box.yMin}, {box.xMax, box.yMax}, {box.xMin, box.yMax}};
    }
    if (static_cast<std::size_t>(index) >= points.size()) return kErrBadIndex;
    point = points[static_cast<std::size_t>(index)];
    ++index;
    return kNoError;
}

// --- Quantities -------------------------------------------------------------------------------------

Result SimElementKinds::quantities(const GuidRecord& guid, QuantityTargets& targets,
                                   const std::uint8_t* mask) const {
    const SimElement* element = project_.findElement(toGuidBytes(guid));
    if (!element) return kErrBadIndex;
    if (!targets.quantity || !mask) return kErrBadParameters;
    // What this host computes, by kind: (its part of the mask, field offset, value).
    std::vector<std::pair<std::size_t, double>> fields;
    std::size_t base = 0;
    const std::int32_t type = typeOf(*element);
    ElementBoxRecord box{};
    if (type == kElementObject || type == kElementLamp) {
        base = kQuantityMaskObject;
        if (elementBox(project_, *element, box) == kNoError) {
            const double w = box.xMax - box.xMin, d = box.yMax - box.yMin;
            fields = {{0, w * d}, {8, 2 * (w + d)}};   // plan area, plan perimeter
        }
    } else if (type == kElementDoor || type == kElementWindow) {
        base = type == kElementDoor ? kQuantityMaskDoor : kQuantityMaskWindow;
        const double w = readAt<double>(element->record, kOpeningWidthOffset);
        const double h = readAt<double>(element->record, kOpeningHeightOffset);
        fields = {{0, w * h}, {16, 2 * (w + h)}, {32, w}, {40, h}};   // area, perimeter, width, height
    } else if (type == kElementZone) {
        base = kQuantityMaskZone;
        const auto polygon = zonePolygon(*element);
        if (!polygon.empty()) {
            double area = contourArea(polygon.front());
            for (std::size_t h = 1; h < polygon.size(); ++h) area -= contourArea(polygon[h]);
            const double height = readAt<double>(element->record, kZoneHeightOffset);
            // area, perimeter, area again (the zone's calculated area), volume
            fields = {{0, area}, {16, contourPerimeter(polygon.front())}, {24, area}, {120, area * height}};
        }
    } else if (element->skins.empty() && element->partQuantities.empty()) {
        return kErrBadParameters;
    }
    for (const auto& [offset, value] : fields)
        if (mask[base + offset] != 0) std::memcpy(targets.quantity + offset, &value, sizeof value);
    // The skins with the fields their part of the mask asks for; every part whole.
    if (targets.composites) *targets.composites = nullptr;
    if (targets.parts) *targets.parts = nullptr;
    if (targets.composites && !element->skins.empty()) {
        const std::uint8_t* asked = mask + kCompositeMaskOffset;
        std::vector<CompositeQuantity> skins(element->skins.size());
        for (std::size_t i = 0; i < skins.size(); ++i) {
            const CompositeQuantity& held = element->skins[i];
            if (asked[offsetof(CompositeQuantity, volume)] != 0) skins[i].volume = held.volume;
            if (asked[offsetof(CompositeQuantity, projectedArea)] != 0)
                skins[i].projectedArea = held.projectedArea;
            if (asked[offsetof(CompositeQuantity, material)] != 0) skins[i].material = held.material;
        }
        if (!(*targets.composites = newHandle(skins.size() * sizeof(CompositeQuantity), /*clear=*/false)))
            return kErrMemFull;
        std::memcpy(**targets.composites, skins.data(), skins.size() * sizeof(CompositeQuantity));
    }
    if (targets.parts && !element->partQuantities.empty()) {
        const std::size_t size = element->partQuantities.size() * sizeof(PartQuantity);
        if (!(*targets.parts = newHandle(size, /*clear=*/false))) {
            if (targets.composites) {
                disposeHandle(*targets.composites);
                *targets.composites = nullptr;
            }
            return kErrMemFull;
        }
        std::memcpy(**targets.parts, element->partQuantities.data(), size);
    }
    return kNoError;
}

// --- Relations --------------------------------------------------------------------------------------

Result SimElementKinds::relations(const GuidRecord& guid, std::int32_t relatedType, void* relation) const {
    const SimElement* element = project_.findElement(toGuidBytes(guid));
    if (!element) return kErrBadIndex;
    if (!relation) return kErrBadParameters;
    const std::int32_t type = typeOf(*element);
    const std::int16_t storey = element->head().storey;
    if ((type == kElementDoor || type == kElementWindow) && relatedType == kElementZone) {
        // The zones on the two sides of the opening's wall (the x axis): below it first, above it second.
        ModelPoint middle{};
        standPoint(*element, middle);
        auto& opening = *static_cast<OpeningRelation*>(relation);
        opening = {};
        for (const SimElement& zone : project_.state.elements) {
            if (typeOf(zone) != kElementZone || zone.databaseType != kDatabasePlan ||
                !zoneCovers(zone, storey))
                continue;
            const auto polygon = zonePolygon(zone);
            const GuidRecord zoneGuid = toGuidRecord(zone.guid());
            if (isNullGuid(toGuidBytes(opening.firstZone)) && inZone(polygon, {middle.x, middle.y - 0.01}))
                opening.firstZone = zoneGuid;
            if (isNullGuid(toGuidBytes(opening.secondZone)) && inZone(polygon, {middle.x, middle.y + 0.01}))
                opening.secondZone = zoneGuid;
        }
        return kNoError;
    }
    if (type != kElementZone) return kErrBadParameters;
    // A zone: the plan elements standing in it on the storeys it covers, of the type asked (0: all).
    const auto polygon = zonePolygon(*element);
    std::vector<GuidRecord> lists[kZoneRelationLists];
    for (const SimElement& other : project_.state.elements) {
        ModelPoint point{};
        if (other.databaseType != kDatabasePlan || !standPoint(other, point)) continue;
        if (relatedType != 0 && typeOf(other) != relatedType) continue;
        if (!zoneCovers(*element, other.head().storey) || !inZone(polygon, point)) continue;
        const bool aboveZone = other.head().storey > element->head().storey;
        lists[relationList(typeOf(other), aboveZone)].push_back(toGuidRecord(other.guid()));
    }
    ZoneRelation result{};
    for (std::size_t l = 0; l < kZoneRelationLists; ++l) {
        if (lists[l].empty()) continue;
        const std::size_t entry = l == 0 || l == 7 ? kZoneRelationPartEntry : sizeof(GuidRecord);
        Ptr block = newPtr(lists[l].size() * entry, /*clear=*/true);
        if (!block) {
            disposeZoneRelation(result);
            return kErrMemFull;
        }
        for (std::size_t i = 0; i < lists[l].size(); ++i)   // a part entry begins with its guid
            std::memcpy(block + i * entry, &lists[l][i], sizeof(GuidRecord));
        result.lists[l] = block;
        result.counts[l] = static_cast<std::int32_t>(lists[l].size());
    }
    *static_cast<ZoneRelation*>(relation) = result;
    return kNoError;
}

Result SimElementKinds::disposeZoneRelation(ZoneRelation& relation) {
    Result result = kNoError;
    for (Ptr& list : relation.lists) {
        if (const Result r = disposePtr(list); r != kNoError && result == kNoError) result = r;
        list = nullptr;
    }
    relation = {};
    return result;
}

Result SimElementKinds::relatedElements(const GuidRecord& guid, Handle& guids, std::int32_t& count) const {
    const GuidBytes from = toGuidBytes(guid);
    if (!project_.findElement(from)) return kErrBadIndex;
    std::vector<GuidRecord> related;
    for (const SimRelation& relation : project_.state.relations)
        if (relation.from == from) related.push_back(toGuidRecord(relation.to));
    guids = nullptr;
    count = static_cast<std::int32_t>(related.size());
    if (related.empty()) return kNoError;
    guids = newHandle(related.size() * sizeof(GuidRecord), /*clear=*/false);
    if (!guids) return kErrMemFull;
    std::memcpy(*guids, related.data(), related.size() * sizeof(GuidRecord));
    return kNoError;
}

Result SimElementKinds::relationValues(const GuidRecord& first, const GuidRecord& second,
                                       RelationValues& values) const {
    const GuidBytes from = toGuidBytes(first), to = toGuidBytes(second);
    for (const SimRelation& relation : project_.state.relations) {
        if (relation.from == from && relation.to == to) {
            values = {relation.valueA, relation.valueB};
            return kNoError;
        }
    }
    return kErrBadIndex;
}

Result SimElementKinds::createRelation(const GuidRecord& first, const GuidRecord& second, std::int32_t a,
                                       std::int32_t b) {
    const GuidBytes from = toGuidBytes(first), to = toGuidBytes(second);
    if (!project_.findElement(from) || !project_.findElement(to)) return kErrBadIndex;
    if (from == to) return kErrBadParameters;
    for (SimRelation& relation : project_.state.relations) {
        if (relation.from == from && relation.to == to) {
            relation.valueA = a;
            relation.valueB = b;
            return kNoError;
        }
    }
    project_.state.relations.push_back({from, to, a, b});
    return kNoError;
}

Result SimElementKinds::removeRelation(const GuidRecord& first, const GuidRecord& second) {
    const GuidBytes from = toGuidBytes(first), to = toGuidBytes(second);
    const auto removed = std::erase_if(project_.state.relations,
                                       [&](const SimRelation& r) { return r.from == from && r.to == to; });
    return removed ? kNoError : kErrBadIndex;
}

Result SimElementKinds::linkFlags(const GuidRecord& first, const GuidRecord& second,
                                  std::uint32_t& flags) const {
    const GuidBytes from = toGuidBytes(first), to = toGuidBytes(second);
    for (const SimLink& link : project_.state.links) {
        if (link.from == from && link.to == to) {
            flags = link.flags;
            return kNoError;
        }
    }
    return kErrBadIndex;
}

// --- Library part of an element, settings ------------------------------------------------------------

Result SimElementKinds::libraryPartName(const GuidRecord& guid, Handle& name) const {
    const SimElement* element = project_.findElement(toGuidBytes(guid));
    if (!element) return kErrBadIndex;
    // A part taken out of the library is still named: the element names it, the library lacks it.
    const std::int32_t index = libraryIndexOf(element->record);
    const auto& parts = project_.state.libraryParts;
    if (index < 1 || static_cast<std::size_t>(index) > parts.size()) return kErrBadName;
    const SimLibraryPart* part = &parts[static_cast<std::size_t>(index) - 1];
    const std::u16string units = utf8ToUtf16(part->name);
    name = newHandle(units.size() * sizeof(char16_t), /*clear=*/false);
    if (!name) return kErrMemFull;
    if (!units.empty()) std::memcpy(*name, units.data(), units.size() * sizeof(char16_t));
    return kNoError;
}

Result SimElementKinds::libraryPartUniqueId(const ElementHead& head, char* text) const {
    const SimElement* element = project_.findElement(toGuidBytes(head.guid));
    if (!element) return kErrBadIndex;
    const SimLibraryPart* part = project_.findLibraryPart(libraryIndexOf(element->record));
    if (!part) return kErrBadName;
    std::memset(text, 0, kUniqueIdBytes);
    std::memcpy(text, part->uniqueId.data(), std::min(part->uniqueId.size(), kUniqueIdBytes - 1));
    return kNoError;
}

Result SimElementKinds::objectSettings(ElementRecord& record, const ElementRecord& mask) const {
    const std::int32_t type = record.head.type;
    if (type != kElementObject && type != kElementLamp) return kErrBadParameters;
    const std::optional<ObjectSettingsAnswer> answer = takeObjectSettingsAnswer();
    if (!answer) return kNoError;   // nothing scripted: OK with nothing changed
    if (!answer->accept) return kErrCancel;
    std::vector<unsigned char> bytes(sizeof record);
    std::memcpy(bytes.data(), &record, sizeof record);
    for (const auto& [name, value] : answer->changes) {
        const auto field =
            std::find_if(std::begin(kFields), std::end(kFields), [&, &name = name](const RecordField& f) {
                return name == f.name && (f.forType == type || f.forType == kAnyType);
            });
        if (field == std::end(kFields) || field->forType == kAnyType) {
            noteScriptError("objectSettings: " + quotedInput(name) +
                            " is not a field of the object's settings");
            continue;
        }
        if (!underMask(mask, field->offset, fieldSize(field->kind))) continue;   // the caller keeps it
        switch (field->kind) {
            case RecordField::int8u:
                writeAt(bytes, field->offset, static_cast<std::uint8_t>(value));
                break;
            case RecordField::int16:
                writeAt(bytes, field->offset, static_cast<std::int16_t>(value));
                break;
            case RecordField::int32:
                writeAt(bytes, field->offset, static_cast<std::int32_t>(value));
                break;
            case RecordField::real:
                writeAt(bytes, field->offset, value);
                break;
            default:
                noteScriptError("objectSettings: " + quotedInput(name) + " takes more than one number");
                break;
        }
    }
    std::memcpy(&record, bytes.data(), sizeof record);
    return kNoError;
}

}   // namespace host
