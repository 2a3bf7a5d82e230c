#include "SimShapes.h"

#include <cmath>
#include <cstddef>
#include <cstring>
#include <numbers>
#include <span>
#include <string>
#include <vector>

#include "HostElementRecords.h"
#include "HostText.h"
#include "SimBytes.h"
#include "SimElementKinds.h"

namespace host {
namespace {
// The record's attributes: pen, drawing order and line type 1 (the host's solid line).
ShapePrimitive primitiveOf(std::int32_t type, const SimElement& element, std::int32_t pen) {
    ShapePrimitive primitive{};
    primitive.type = type;
    primitive.pen = pen;
    primitive.drawOrder = element.head().drawOrder;
    primitive.lineType = 1;
    primitive.axisRatio = 1.0;
    return primitive;
}

// Sends pieces until the callback answers something other than 0.
class Painter {
public:
    explicit Painter(HostShapeCallback callback) : callback_(callback) {}

    bool send(const ShapePrimitive& primitive, const void* data1 = nullptr, const void* data2 = nullptr,
              const void* data3 = nullptr) {
        if (result_ == kNoError) result_ = callback_(&primitive, data1, data2, data3);
        return result_ == kNoError;
    }
    // A closed polyline through the corners (the first point again at the end), 1-based as the host gives it.
    bool polyline(ShapePrimitive primitive, const std::vector<ShapeCoord>& corners) {
        std::vector<PolygonCoord> points(1, PolygonCoord{0, 0});
        for (const ShapeCoord& corner : corners) points.push_back({corner.x, corner.y});
        points.push_back(points[1]);
        primitive.type = kShapePolyline;
        primitive.pointCount = static_cast<std::int32_t>(points.size() - 1);
        return send(primitive, points.data());
    }
    Result result() const { return result_; }

private:
    HostShapeCallback callback_;
    Result result_ = kNoError;
};

// The rectangle of width by depth from the origin, turned by the angle and moved to (x, y).
std::vector<ShapeCoord> rectangle(double x, double y, double width, double depth, double angle) {
    const double c = std::cos(angle), s = std::sin(angle);
    std::vector<ShapeCoord> corners;
    for (const auto& [u, v] : {std::pair{0.0, 0.0}, {width, 0.0}, {width, depth}, {0.0, depth}})
        corners.push_back({x + u * c - v * s, y + u * s + v * c});
    return corners;
}

void drawObject(const SimProject& project, const SimElement& element, Painter& painter) {
    const auto& record = element.record;
    const double x = readAt<double>(record, kObjectPositionOffset),
                 y = readAt<double>(record, kObjectPositionOffset + 8);
    double width = readAt<double>(record, kObjectSizeOffset),
           depth = readAt<double>(record, kObjectSizeOffset + 8);
    if (record[kObjectFixedSizeOffset] == 0)   // ratios of the part's A and B
        if (const SimLibraryPart* part = project.findLibraryPart(SimElementKinds::libraryIndexOf(record))) {
            width *= part->a;
            depth *= part->b;
        }
    const std::int32_t pen = readAt<std::int16_t>(record, kObjectPenOffset);
    // The outline as a polygon of one contour: coords and contour ends 1-based, as an element memo's.
    const std::vector<ShapeCoord> corners =
        rectangle(x, y, width, depth, readAt<double>(record, kObjectAngleOffset));
    std::vector<PolygonCoord> coords(1, PolygonCoord{0, 0});
    for (const ShapeCoord& corner : corners) coords.push_back({corner.x, corner.y});
    coords.push_back(coords[1]);
    const std::int32_t ends[] = {0, static_cast<std::int32_t>(coords.size() - 1)};
    ShapePrimitive outline = primitiveOf(kShapePolygon, element, pen);
    outline.counts.coordinates = static_cast<std::int32_t>(coords.size() - 1);
    outline.counts.contours = 1;
    if (!painter.send(outline, coords.data(), ends, nullptr)) return;
    ShapePrimitive hotspot = primitiveOf(kShapePoint, element, pen);
    hotspot.point = {x, y};
    painter.send(hotspot);
}

void drawOpening(const SimElement& element, Painter& painter) {
    // The project keeps no walls: an opening's wall runs along the x axis from the origin.
    const double along = readAt<double>(element.record, kOpeningPositionOffset);
    const double width = readAt<double>(element.record, kOpeningWidthOffset);
    if (element.head().type == kElementWindow) {
        std::vector<PolygonCoord> points = {{0, 0}, {along, 0}, {along + width, 0}};
        ShapePrimitive sill = primitiveOf(kShapePolyline, element, 1);
        sill.pointCount = 2;
        painter.send(sill, points.data());
        return;
    }
    ShapePrimitive leaf = primitiveOf(kShapeLine, element, 1);
    leaf.point = {along, 0};
    leaf.end = {along, width};
    if (!painter.send(leaf)) return;
    ShapePrimitive swing = primitiveOf(kShapeArc, element, 1);
    swing.point = {along, 0};
    swing.radius = width;
    swing.beginAngle = 0;
    swing.endAngle = std::numbers::pi / 2;
    painter.send(swing);
}

void drawZone(const SimElement& zone, Painter& painter) {
    const auto part = [&](std::size_t offset) -> const std::vector<unsigned char>* {
        const auto found = zone.memo.parts.find(static_cast<std::uint16_t>(offset));
        return found != zone.memo.parts.end() ? &found->second : nullptr;
    };
    const auto* coords = part(offsetof(ElementMemo, coords));
    const auto* ends = part(offsetof(ElementMemo, pends));
    const auto* arcs = part(offsetof(ElementMemo, parcs));
    if (coords == nullptr || ends == nullptr) return;
    // The counts the piece promises are those of the arrays the zone holds (each 1-based but the arcs),
    // so the add-on never reads past them; contour ends past the coordinates draw nothing.
    PolygonCounts counts{};
    counts.coordinates = static_cast<std::int32_t>(coords->size() / sizeof(PolygonCoord)) - 1;
    counts.contours = static_cast<std::int32_t>(ends->size() / sizeof(std::int32_t)) - 1;
    counts.arcs = arcs != nullptr ? static_cast<std::int32_t>(arcs->size() / sizeof(PolygonArc)) : 0;
    if (counts.coordinates < 1 || counts.contours < 1 ||
        readAt<std::int32_t>(*ends, 4 * static_cast<std::size_t>(counts.contours)) > counts.coordinates)
        return;

    HatchRecord hatch{};
    hatch.contour = 1;
    hatch.fillIndex = 1;   // solid
    ShapePrimitive begin = primitiveOf(kShapeHatchBegin, zone, 1);
    if (!painter.send(begin, &hatch)) return;
    ShapePrimitive border = primitiveOf(kShapePolygon, zone, 1);
    border.filled = 1;
    border.counts = counts;
    if (!painter.send(border, coords->data(), ends->data(), counts.arcs > 0 ? arcs->data() : nullptr)) return;
    if (!painter.send(primitiveOf(kShapeHatchEnd, zone, 1))) return;

    // One hatch line across the outline's first two corners' diagonal, as the fill draws them.
    const auto* points = reinterpret_cast<const PolygonCoord*>(coords->data());
    const std::int32_t last = readAt<std::int32_t>(*ends, 4);   // the outline's last entry
    if (last >= 3) {
        if (!painter.send(primitiveOf(kShapeHatchLinesBegin, zone, 1))) return;
        ShapePrimitive line = primitiveOf(kShapeLine, zone, 1);
        line.point = {points[1].x, points[1].y};
        line.end = {points[3].x, points[3].y};
        if (!painter.send(line)) return;
        if (!painter.send(primitiveOf(kShapeHatchLinesEnd, zone, 1))) return;
    }

    std::u16string name;
    for (std::size_t i = 0; i < kZoneNameChars; ++i) {
        const auto unit = readAt<char16_t>(zone.record, kZoneNameOffset + 2 * i);
        if (unit == 0) break;
        name.push_back(unit);
    }
    if (name.empty()) return;
    const std::string plain = utf16ToUtf8(name);
    ShapePrimitive text = primitiveOf(kShapeText, zone, 1);
    text.point = {points[1].x, points[1].y};
    painter.send(text, plain.c_str(), name.c_str());
}
}   // namespace

Result SimShapes::drawElement(const ElementHead& head, HostShapeCallback callback) const {
    const SimElement* element = project_.findElement(toGuidBytes(head.guid));
    if (!element || !SimProject::inDatabase(*element, project_.view.currentDatabase)) return kErrBadIndex;
    if (!callback) return kErrBadParameters;
    Painter painter(callback);
    switch (element->head().type) {
        case kElementObject:
        case kElementLamp:
            drawObject(project_, *element, painter);
            break;
        case kElementDoor:
        case kElementWindow:
            drawOpening(*element, painter);
            break;
        case kElementZone:
            drawZone(*element, painter);
            break;
        default:
            break;
    }
    return painter.result();
}

Result SimShapes::drawLibraryPart(std::int32_t libraryIndex, const GuidRecord* element,
                                  std::int16_t partIndex, HostShapeCallback callback) const {
    const SimLibraryPart* part = project_.findLibraryPart(libraryIndex);
    if (!part || partIndex < 0) return kErrBadIndex;
    if (!callback) return kErrBadParameters;
    double width = part->a, depth = part->b;
    SimElement placed;
    if (element != nullptr && toGuidBytes(*element) != GuidBytes{}) {
        const SimElement* found = project_.findElement(toGuidBytes(*element));
        if (!found) return kErrBadIndex;
        placed = *found;
        const auto& record = found->record;
        if (found->head().type == kElementObject || found->head().type == kElementLamp) {
            width = readAt<double>(record, kObjectSizeOffset);
            depth = readAt<double>(record, kObjectSizeOffset + 8);
            if (record[kObjectFixedSizeOffset] == 0) {
                width *= part->a;
                depth *= part->b;
            }
        }
    }
    // In the part's own frame: from its origin, unturned.
    Painter painter(callback);
    ShapePrimitive outline = primitiveOf(kShapePolyline, placed, 1);
    if (!painter.polyline(outline, rectangle(0, 0, width, depth, 0))) return painter.result();
    for (const ShapeCoord corner : {ShapeCoord{0, 0}, ShapeCoord{width, depth}}) {
        ShapePrimitive hotspot = primitiveOf(kShapePoint, placed, 1);
        hotspot.point = corner;
        if (!painter.send(hotspot)) break;
    }
    return painter.result();
}

}   // namespace host
