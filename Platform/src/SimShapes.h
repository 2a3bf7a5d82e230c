// The plan shapes of the simulated host: what it draws, piece by piece into the add-on's shape callback,
// for an element of the project and for a library part. It draws from what the project holds:
//   objects and lamps: their outline (a rectangle of their width and depth, turned by their angle) and a
//                      hotspot at their position;
//   doors: their leaf along the wall (the x axis) and its swing as a quarter arc; windows: a two-point
//          polyline along the wall;
//   zones: their polygon as a hatch (border between the hatch codes, one hatch line across it) and
//          their name as a text at their first point;
//   a library part: the rectangle of its A and B sizes (the placed element's when one is named) as a
//                   polyline, with hotspots at two opposite corners.
// Other kinds draw nothing. The undo-scope rule is the dispatch point's.
#pragma once

#include <cstdint>

#include "HostRecords.h"
#include "HostResult.h"
#include "HostShapes.h"
#include "SimProject.h"

namespace host {

class SimShapes {
public:
    explicit SimShapes(const SimProject& project) : project_(project) {}

    // kErrBadIndex when the current database has no such element (or the library no such part); else
    // the first non-zero answer of the callback, or 0.
    Result drawElement(const ElementHead& head, HostShapeCallback callback) const;
    Result drawLibraryPart(std::int32_t libraryIndex, const GuidRecord* element, std::int16_t partIndex,
                           HostShapeCallback callback) const;

private:
    const SimProject& project_;
};

}   // namespace host
