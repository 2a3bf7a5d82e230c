// The host's 3D model of placed elements: per element GUID, its bodies of vertices, edges and polygons.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include <HostGuid.h>

namespace host {

inline constexpr std::int32_t kNoPolygon = 0x7FFFFFFF;   // an edge with no polygon on that side

struct Model3DVertex {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
};

// Indices are 0-based within the body.
struct Model3DEdge {
    std::int32_t vertex1 = 0;
    std::int32_t vertex2 = 0;
    std::int32_t polygon1 = kNoPolygon;   // the polygon that runs the edge from vertex1 to vertex2
    std::int32_t polygon2 = kNoPolygon;   // the polygon that runs it the other way
    std::uint32_t status = 0;             // host flags (hidden, smooth ...), kept as they are
    std::int32_t pen = 0;
};

// Edge references are signed: an edge index e runs forwards (vertex1 to vertex2) as e and backwards
// as ~e (that is -(e + 1)), since 0 has no sign. The edges go round the polygon counter-clockwise
// seen from the side its normal points to.
struct Model3DPolygon {
    std::vector<std::int32_t> edges;
    std::uint32_t status = 0;
    std::int32_t material = 0;   // index of the surface material
    double normal[3] = {0.0, 0.0, 1.0};
};

struct Model3DBody {
    std::vector<Model3DVertex> vertices;
    std::vector<Model3DEdge> edges;
    std::vector<Model3DPolygon> polygons;
    std::uint32_t status = 0;
};

struct Model3DElement {
    std::vector<Model3DBody> bodies;
};

// The registry the simulated host (or a test) fills. Elements are shared with their readers, so a
// replaced or removed model stays whole for whoever still holds it.
void setElementModel3D(const GuidRecord& element, Model3DElement model);
// A model stored for the element, else the provider's answer; null: none.
std::shared_ptr<const Model3DElement> findElementModel3D(const GuidRecord& element);

// The simulated host derives models of its project's elements on request. An empty provider (the
// default) derives nothing; setting one replaces the former.
using Model3DProvider = std::function<std::shared_ptr<const Model3DElement>(const GuidRecord& element)>;
void setModel3DProvider(Model3DProvider provider);
void removeElementModel3D(const GuidRecord& element);
void clearModel3D();

// A closed box body of the given sizes whose minimum corner sits at the origin point, turned by a plan
// angle (radians) about the vertical through that point: 8 vertices, 12 edges, 6 outward-facing polygons.
Model3DBody makeBoxBody(double sizeX, double sizeY, double sizeZ, double originX, double originY,
                        double originZ, double angle, std::int32_t material = 0, std::int32_t pen = 1);
// An element of one unturned box body between two corners.
std::shared_ptr<const Model3DElement> makeBoxModel(const Model3DVertex& min, const Model3DVertex& max);

}   // namespace host
