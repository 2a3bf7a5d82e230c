#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <numbers>

#include "Geometry/OrthogonalProjection.h"
#include "Geometry/PerspectiveProjection.h"
#include "Geometry/Tolerance.h"

using namespace tarnwick;

namespace {
host::ProjectionCamera camera() {
    host::ProjectionCamera c;
    c.cameraX = 0, c.cameraY = -10, c.cameraZ = 2;   // south of the origin, looking north
    c.targetX = 0, c.targetY = 0, c.targetZ = 2;
    c.viewAngle = std::numbers::pi / 2;
    return c;
}
}   // namespace

TEST(PerspectiveProjection, ProjectsThroughTheViewConeAndRefusesPointsBehind) {
    const PerspectiveProjection projection(camera());
    EXPECT_TRUE(projection.getViewDirection().isSameSense(Vector3(0, 1, 0), Tolerance::angle));
    const CadPoint view = projection.toViewPoint(CadPoint(3, 0, 4));
    EXPECT_NEAR(view.getX(), 3.0, 1e-12);   // east is right
    EXPECT_NEAR(view.getY(), 2.0, 1e-12);   // up is up
    EXPECT_NEAR(view.getZ(), 10.0, 1e-12);
    const auto edge = projection.project(CadPoint(10, 0, 2));   // on the cone's edge at 45 degrees
    ASSERT_TRUE(edge);
    EXPECT_NEAR(edge->getX(), 1.0, 1e-12);
    EXPECT_NEAR(edge->getY(), 0.0, 1e-12);
    EXPECT_FALSE(projection.project(CadPoint(0, -10, 2)));   // the camera itself
    EXPECT_FALSE(projection.project(CadPoint(0, -20, 2)));   // behind
}

TEST(PerspectiveProjection, AlignsAndWritesTheHostRecordUnchanged) {
    host::ProjectionRecord in{};
    in.isPerspective = 7;
    in.camera = camera();
    in.camera.rollAngle = 0.25;
    PerspectiveProjection projection(in);
    host::ProjectionRecord out;
    out.reserved1[0] = 0xA5;   // toHost starts from a zeroed record
    projection.toHost(out);
    EXPECT_EQ(out.isPerspective, 1);
    EXPECT_EQ(std::memcmp(&out.camera, &in.camera, sizeof in.camera), 0);
    EXPECT_EQ(out.reserved1[0], 0);

    projection.alignToVector(Vector3(1, 0, 0));
    EXPECT_NEAR(projection.getCamera().targetX, 10.0, 1e-12);   // same distance, now east
    EXPECT_NEAR(projection.getCamera().targetY, -10.0, 1e-12);
    projection.alignToVector(Vector3());
    EXPECT_NEAR(projection.getCamera().targetX, 10.0, 1e-12);

    // Looking straight down still gives a frame.
    host::ProjectionCamera down = camera();
    down.targetX = 0, down.targetY = -10, down.targetZ = 0;
    const CadPoint below = PerspectiveProjection(down).toViewPoint(CadPoint(0, -10, -3));
    EXPECT_NEAR(below.getZ(), 5.0, 1e-12);
    EXPECT_TRUE(std::isfinite(below.getX()) && std::isfinite(below.getY()));
}

TEST(OrthogonalProjection, MapsThroughItsMatrixAndScale) {
    host::ProjectionMatrix m;   // a view from the south: x right, z up, y into the view; moved by (1, 2, 3)
    const double rows[3][4] = {{1, 0, 0, 1}, {0, 0, 1, 2}, {0, 1, 0, 3}};
    std::memcpy(m.rows, rows, sizeof rows);
    host::ProjectionRecord in{};
    in.matrix = m;
    OrthogonalProjection projection(in);
    EXPECT_DOUBLE_EQ(projection.getScale(), 1.0);
    EXPECT_TRUE(projection.getViewDirection().isSameSense(Vector3(0, 1, 0), Tolerance::angle));
    const CadPoint origin = projection.getCameraPosition();
    const CadPoint back = projection.toViewPoint(origin);
    EXPECT_NEAR(back.getX(), 0.0, 1e-12);
    EXPECT_NEAR(back.getY(), 0.0, 1e-12);
    EXPECT_NEAR(back.getZ(), 0.0, 1e-12);
    projection.setScale(2.0);
    const auto p = projection.project(CadPoint(1, 5, 1));
    ASSERT_TRUE(p);
    EXPECT_NEAR(p->getX(), 4.0, 1e-12);
    EXPECT_NEAR(p->getY(), 6.0, 1e-12);
    EXPECT_NEAR(p->getZ(), 8.0, 1e-12);
    host::ProjectionRecord out;
    projection.toHost(out);
    EXPECT_EQ(out.isPerspective, 0);
    EXPECT_EQ(std::memcmp(&out.matrix, &m, sizeof m), 0);
}
