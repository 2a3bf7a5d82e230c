// Body: one body of an Element3D: vertices, edges and polygons of the host's 3D model.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>

#include <HostModel3D.h>

#include "Geometry/CadPoint.h"
#include "Geometry/Cube.h"
#include "Geometry/Edge.h"
#include "Geometry/Face.h"

namespace tarnwick {

// A light view that shares the host model it reads; a body made from no model or a missing index is
// empty. Indices are 0-based; out of range gives no value.
class Body {
public:
    Body() = default;
    Body(std::shared_ptr<const host::Model3DElement> model, std::size_t index);

    std::size_t getVertexCount() const;
    std::size_t getEdgeCount() const;
    std::size_t getPolygonCount() const;
    std::optional<CadPoint> getVertex(std::size_t index) const;
    std::optional<Edge::Data> getEdge(std::size_t index) const;
    std::optional<Face::Data> getFace(std::size_t index) const;
    std::uint32_t getStatus() const;         // 0 for an empty body
    bool isEmpty() const;                    // no vertices or no polygons
    std::optional<Cube> getBounds() const;   // of the vertices; none when there are none

private:
    const host::Model3DBody* body() const;   // null when empty

    std::shared_ptr<const host::Model3DElement> model_;
    std::size_t index_ = 0;
};

}   // namespace tarnwick
