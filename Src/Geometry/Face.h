// Face: a polygon of a Body of an Element3D, read as Face::Data.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "Geometry/Vector3.h"

namespace tarnwick {

class Face {
public:
    // Edge references are signed and 0-based: edge e run forwards (vertex1 to vertex2) is e, run
    // backwards ~e, that is -(e + 1). They go round counter-clockwise seen from the normal's side.
    struct Data {
        std::vector<std::int32_t> edges;
        std::uint32_t status = 0;    // the host's flags, as they are
        std::int32_t material = 0;   // surface material index
        Vector3 normal;

        std::size_t getEdgeCount() const { return edges.size(); }
        std::int32_t getEdge(std::size_t position) const;   // signed; wraps; ~0 (-1) when there are none
        static std::int32_t edgeIndex(std::int32_t reference) {
            return reference < 0 ? ~reference : reference;
        }
        static bool isReversed(std::int32_t reference) { return reference < 0; }
    };
};

inline std::int32_t Face::Data::getEdge(std::size_t position) const {
    return edges.empty() ? ~0 : edges[position % edges.size()];
}

}   // namespace tarnwick
