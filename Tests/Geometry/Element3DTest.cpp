#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <set>

#include <HostGuid.h>
#include <HostModel3D.h>

#include "Geometry/Element3D.h"
#include "Geometry/Tolerance.h"

using namespace tarnwick;

namespace {
class Element3DTest : public testing::Test {
protected:
    void TearDown() override { host::clearModel3D(); }
};
}   // namespace

TEST_F(Element3DTest, ReadsABoxBodyWithConsistentEdgesAndFaces) {
    const host::GuidRecord guid = host::generateGuid();
    host::Model3DElement model;
    model.bodies.push_back(
        host::makeBoxBody(2, 3, 4, 10, 20, 1, std::numbers::pi / 2, /*material=*/5, /*pen=*/7));
    host::setElementModel3D(guid, std::move(model));

    const Element3D element(guid);
    ASSERT_TRUE(element.hasData());
    ASSERT_EQ(element.getBodyCount(), 1u);
    const Body body = element.getBody(0);
    EXPECT_EQ(body.getVertexCount(), 8u);
    EXPECT_EQ(body.getEdgeCount(), 12u);
    EXPECT_EQ(body.getPolygonCount(), 6u);

    // Turned a quarter about (10, 20): x runs along +y, y along -x.
    const auto bounds = element.getBounds();
    ASSERT_TRUE(bounds);
    EXPECT_NEAR(bounds->getMinimum().getX(), 7.0, 1e-12);
    EXPECT_NEAR(bounds->getMaximum().getX(), 10.0, 1e-12);
    EXPECT_NEAR(bounds->getMinimum().getY(), 20.0, 1e-12);
    EXPECT_NEAR(bounds->getMaximum().getY(), 22.0, 1e-12);
    EXPECT_NEAR(bounds->getHeight(), 4.0, 1e-12);

    // Every edge has a polygon on each side, and each face lists its edges as a closed loop whose
    // normal agrees with the loop's turning direction.
    for (std::size_t e = 0; e < body.getEdgeCount(); ++e) {
        const Edge::Data edge = *body.getEdge(e);
        EXPECT_NE(edge.polygon1, Edge::kNoPolygon);
        EXPECT_NE(edge.polygon2, Edge::kNoPolygon);
        EXPECT_EQ(edge.pen, 7);
    }
    for (std::size_t f = 0; f < body.getPolygonCount(); ++f) {
        SCOPED_TRACE(f);
        const Face::Data face = *body.getFace(f);
        ASSERT_EQ(face.getEdgeCount(), 4u);
        EXPECT_EQ(face.material, 5);
        EXPECT_TRUE(face.normal.isNormalised(Tolerance::plan));
        std::vector<CadPoint> loop;
        for (std::size_t k = 0; k < face.getEdgeCount(); ++k) {
            const std::int32_t reference = face.getEdge(k);
            const Edge::Data edge = *body.getEdge(Face::Data::edgeIndex(reference));
            EXPECT_EQ(Face::Data::isReversed(reference) ? edge.polygon2 : edge.polygon1,
                      static_cast<std::int32_t>(f));
            const std::int32_t from = Face::Data::isReversed(reference) ? edge.vertex2 : edge.vertex1;
            const std::int32_t to = Face::Data::isReversed(reference) ? edge.vertex1 : edge.vertex2;
            if (!loop.empty()) {
                EXPECT_LT(loop.back().distanceTo(*body.getVertex(from)), 1e-12);
            }
            loop.push_back(*body.getVertex(to));
        }
        EXPECT_TRUE(loop.back().distanceTo(*body.getVertex(Face::Data::isReversed(face.getEdge(0))
                                                               ? body.getEdge(~face.getEdge(0))->vertex2
                                                               : body.getEdge(face.getEdge(0))->vertex1)) <
                    1e-12);
        // Newell's normal of the loop points the way of the stored normal.
        Vector3 newell;
        for (std::size_t k = 0; k < loop.size(); ++k) {
            const Vector3 a(loop[k]), b(loop[(k + 1) % loop.size()]);
            newell = newell + a.cross(b);
        }
        EXPECT_TRUE(newell.isSameSense(face.normal, Tolerance::angle));
    }
}

TEST_F(Element3DTest, ElementsWithoutAModelOrWithEmptyBodiesHoldNoData) {
    const host::GuidRecord missing = host::generateGuid();
    const Element3D none(missing);
    EXPECT_FALSE(none.hasData());
    EXPECT_EQ(none.getBodyCount(), 0u);
    EXPECT_FALSE(none.getBounds());
    EXPECT_TRUE(none.getBody(3).isEmpty());

    const host::GuidRecord guid = host::generateGuid();
    host::Model3DElement model;
    model.bodies.emplace_back();   // no vertices, no polygons
    host::setElementModel3D(guid, std::move(model));
    const Element3D empty(guid);
    EXPECT_EQ(empty.getBodyCount(), 1u);
    EXPECT_FALSE(empty.hasData());
    const Body body = empty.getBody(0);
    EXPECT_FALSE(body.getVertex(0));
    EXPECT_FALSE(body.getEdge(0));
    EXPECT_FALSE(body.getFace(0));
    EXPECT_EQ(Face::Data().getEdge(0), ~0);
}

TEST_F(Element3DTest, KeepsTheModelItReadWhenTheHostReplacesIt) {
    const host::GuidRecord guid = host::generateGuid();
    host::Model3DElement model;
    model.bodies.push_back(host::makeBoxBody(1, 1, 1, 0, 0, 0, 0));
    model.bodies.push_back(host::makeBoxBody(1, 1, 1, 5, 0, 0, 0));
    host::setElementModel3D(guid, std::move(model));
    const Element3D element(guid);
    host::removeElementModel3D(guid);
    EXPECT_EQ(element.getBodyCount(), 2u);
    EXPECT_NEAR(element.getBounds()->getWidth(), 6.0, 1e-12);
    EXPECT_FALSE(Element3D(guid).hasData());
}
