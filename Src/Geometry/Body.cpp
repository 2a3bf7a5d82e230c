#include "Geometry/Body.h"

namespace tarnwick {

Body::Body(std::shared_ptr<const host::Model3DElement> model, std::size_t index)
    : model_(std::move(model)), index_(index) {}

const host::Model3DBody* Body::body() const {
    return model_ && index_ < model_->bodies.size() ? &model_->bodies[index_] : nullptr;
}

std::size_t Body::getVertexCount() const { return body() ? body()->vertices.size() : 0; }
std::size_t Body::getEdgeCount() const { return body() ? body()->edges.size() : 0; }
std::size_t Body::getPolygonCount() const { return body() ? body()->polygons.size() : 0; }

std::optional<CadPoint> Body::getVertex(std::size_t index) const {
    if (index >= getVertexCount()) return std::nullopt;
    const host::Model3DVertex& v = body()->vertices[index];
    return CadPoint(v.x, v.y, v.z);
}

std::optional<Edge::Data> Body::getEdge(std::size_t index) const {
    if (index >= getEdgeCount()) return std::nullopt;
    const host::Model3DEdge& e = body()->edges[index];
    return Edge::Data{e.vertex1, e.vertex2, e.polygon1, e.polygon2, e.status, e.pen};
}

std::optional<Face::Data> Body::getFace(std::size_t index) const {
    if (index >= getPolygonCount()) return std::nullopt;
    const host::Model3DPolygon& p = body()->polygons[index];
    return Face::Data{p.edges, p.status, p.material, Vector3(p.normal[0], p.normal[1], p.normal[2])};
}

std::uint32_t Body::getStatus() const { return body() ? body()->status : 0; }

bool Body::isEmpty() const { return getVertexCount() == 0 || getPolygonCount() == 0; }

std::optional<Cube> Body::getBounds() const {
    if (getVertexCount() == 0) return std::nullopt;
    const CadPoint first = *getVertex(0);
    Cube bounds(first, first);
    for (const host::Model3DVertex& v : body()->vertices) bounds.include({v.x, v.y, v.z});
    return bounds;
}

}   // namespace tarnwick
