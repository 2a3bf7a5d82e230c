// Edge: an edge of a Body of an Element3D, read as Edge::Data.
#pragma once

#include <cstdint>

namespace tarnwick {

class Edge {
public:
    static constexpr std::int32_t kNoPolygon = 0x7FFFFFFF;   // no polygon on that side

    // Indices are 0-based within the body.
    struct Data {
        std::int32_t vertex1 = 0;
        std::int32_t vertex2 = 0;
        std::int32_t polygon1 = kNoPolygon;   // runs the edge from vertex1 to vertex2
        std::int32_t polygon2 = kNoPolygon;   // runs it the other way
        std::uint32_t status = 0;             // the host's flags, as they are
        std::int32_t pen = 0;
    };
};

}   // namespace tarnwick
