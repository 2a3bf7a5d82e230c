#include <HostModel3D.h>

#include <array>
#include <cmath>
#include <map>
#include <mutex>
#include <tuple>

namespace host {
namespace {

struct GuidLess {
    bool operator()(const GuidRecord& a, const GuidRecord& b) const { return compareGuids(a, b) < 0; }
};

struct Registry {
    std::mutex lock;
    std::map<GuidRecord, std::shared_ptr<const Model3DElement>, GuidLess> elements;
    Model3DProvider provider;
};

Registry& registry() {
    static Registry instance;
    return instance;
}

}   // namespace

void setElementModel3D(const GuidRecord& element, Model3DElement model) {
    Registry& r = registry();
    std::lock_guard guard(r.lock);
    r.elements[element] = std::make_shared<const Model3DElement>(std::move(model));
}

std::shared_ptr<const Model3DElement> findElementModel3D(const GuidRecord& element) {
    Registry& r = registry();
    Model3DProvider provider;
    {
        std::lock_guard guard(r.lock);
        const auto found = r.elements.find(element);
        if (found != r.elements.end()) return found->second;
        provider = r.provider;
    }
    return provider ? provider(element) : nullptr;   // outside the lock: the provider may read the registry
}

void setModel3DProvider(Model3DProvider provider) {
    Registry& r = registry();
    std::lock_guard guard(r.lock);
    r.provider = std::move(provider);
}

void removeElementModel3D(const GuidRecord& element) {
    Registry& r = registry();
    std::lock_guard guard(r.lock);
    r.elements.erase(element);
}

void clearModel3D() {
    Registry& r = registry();
    std::lock_guard guard(r.lock);
    r.elements.clear();
}

// Corners are numbered by bits: 1 = +x, 2 = +y, 4 = +z. Each face lists its corners counter-clockwise
// seen from outside; an edge is made when first met and referred to backwards by the second face.
Model3DBody makeBoxBody(double sizeX, double sizeY, double sizeZ, double originX, double originY,
                        double originZ, double angle, std::int32_t material, std::int32_t pen) {
    Model3DBody body;
    body.vertices.reserve(8);
    body.edges.reserve(12);
    body.polygons.reserve(6);
    const double c = std::cos(angle), s = std::sin(angle);
    for (int corner = 0; corner < 8; ++corner) {
        const double x = (corner & 1) ? sizeX : 0.0, y = (corner & 2) ? sizeY : 0.0,
                     z = (corner & 4) ? sizeZ : 0.0;
        body.vertices.push_back({originX + x * c - y * s, originY + x * s + y * c, originZ + z});
    }
    struct Face {
        std::array<int, 4> corners;
        std::array<double, 3> normal;
    };
    const Face faces[6] = {{{0, 2, 3, 1}, {0, 0, -1}}, {{4, 5, 7, 6}, {0, 0, 1}},  {{0, 1, 5, 4}, {0, -1, 0}},
                           {{2, 6, 7, 3}, {0, 1, 0}},  {{0, 4, 6, 2}, {-1, 0, 0}}, {{1, 3, 7, 5}, {1, 0, 0}}};
    // (from, to) of the first run -> edge index, or -1 while not made. Boxes are asked for on every
    // bounds request, so this takes no allocation.
    std::array<std::array<std::int32_t, 8>, 8> made;
    for (auto& row : made) row.fill(-1);
    for (std::int32_t f = 0; f < 6; ++f) {
        Model3DPolygon polygon;
        polygon.edges.reserve(4);
        polygon.material = material;
        const double nx = faces[f].normal[0], ny = faces[f].normal[1];
        polygon.normal[0] = nx * c - ny * s;
        polygon.normal[1] = nx * s + ny * c;
        polygon.normal[2] = faces[f].normal[2];
        for (int k = 0; k < 4; ++k) {
            const int from = faces[f].corners[k], to = faces[f].corners[(k + 1) % 4];
            if (const std::int32_t back = made[to][from]; back >= 0) {
                body.edges[static_cast<std::size_t>(back)].polygon2 = f;
                polygon.edges.push_back(~back);
            } else {
                const auto index = static_cast<std::int32_t>(body.edges.size());
                body.edges.push_back({from, to, f, kNoPolygon, 0, pen});
                made[from][to] = index;
                polygon.edges.push_back(index);
            }
        }
        body.polygons.push_back(std::move(polygon));
    }
    return body;
}

std::shared_ptr<const Model3DElement> makeBoxModel(const Model3DVertex& min, const Model3DVertex& max) {
    auto model = std::make_shared<Model3DElement>();
    model->bodies.push_back(
        makeBoxBody(max.x - min.x, max.y - min.y, max.z - min.z, min.x, min.y, min.z, /*angle=*/0.0));
    return model;
}

}   // namespace host
