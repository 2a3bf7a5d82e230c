#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "Geometry/CadPolygon.h"
#include "Geometry/Tolerance.h"

using namespace tarnwick;

namespace {
constexpr double kPi = std::numbers::pi;
constexpr double kTolerance = Tolerance::plan;

// A contour through plan points; `angles` gives each vertex's arc angle (the edge ending at it).
CadPolygon contour(const std::vector<std::pair<double, double>>& points,
                   const std::vector<double>& angles = {}, bool closed = true) {
    CadPolygon polygon(points.size(), 0, closed);
    for (std::size_t i = 0; i < points.size(); ++i)
        polygon.append(
            PolyPoint(CadPoint(points[i].first, points[i].second), i < angles.size() ? angles[i] : 0.0));
    return polygon;
}

CadPolygon square(double x, double y, double size) {
    return contour({{x, y}, {x + size, y}, {x + size, y + size}, {x, y + size}});
}

// A star of `spikes` spikes between radii 0.5 and 1 about the origin: 2 spikes vertices.
CadPolygon star(std::size_t spikes) {
    CadPolygon polygon(2 * spikes);
    for (std::size_t i = 0; i < 2 * spikes; ++i) {
        const double angle = kPi * static_cast<double>(i) / static_cast<double>(spikes);
        const double radius = i % 2 ? 0.5 : 1.0;
        polygon.append(PolyPoint(CadPoint(radius * std::cos(angle), radius * std::sin(angle))));
    }
    return polygon;
}
}   // namespace

// --- Areas and lengths -------------------------------------------------------------------------
TEST(CadPolygon, AreaCountsArcsExactlyWithEitherOrientation) {
    // A unit square whose right edge bulges out as a half circle (radius 0.5), and its mirror image.
    const CadPolygon bulging = contour({{0, 0}, {1, 0}, {1, 1}, {0, 1}}, {0, 0, kPi, 0});
    const double expected = 1.0 + kPi * 0.25 / 2.0;
    EXPECT_NEAR(bulging.getArea(), expected, 1e-12);
    EXPECT_NEAR(bulging.getArea(false, true), expected, 1e-12);
    // The same shape clockwise: the arc now turns clockwise.
    const CadPolygon clockwise = contour({{0, 0}, {0, 1}, {1, 1}, {1, 0}}, {0, 0, 0, -kPi});
    EXPECT_NEAR(clockwise.getArea(), expected, 1e-12);
    EXPECT_NEAR(clockwise.getArea(false, true), -expected, 1e-12);
    // A bite: the right edge curves into the square.
    const CadPolygon bitten = contour({{0, 0}, {1, 0}, {1, 1}, {0, 1}}, {0, 0, -kPi, 0});
    EXPECT_NEAR(bitten.getArea(), 1.0 - kPi / 8.0, 1e-12);
    // A full circle from two half-circle edges.
    const CadPolygon circle = contour({{1, 0}, {-1, 0}}, {kPi, kPi});
    EXPECT_NEAR(circle.getArea(), kPi, 1e-12);
}

TEST(CadPolygon, AreaSubtractsHolesOnlyWhenAsked) {
    CadPolygon outline = square(0, 0, 10);
    outline.addHole(square(1, 1, 2));
    outline.addHole(contour({{5, 5}, {5, 7}, {7, 7}, {7, 5}}));   // clockwise: its magnitude counts
    EXPECT_NEAR(outline.getArea(), 92.0, 1e-12);
    EXPECT_NEAR(outline.getArea(true, false), 100.0, 1e-12);
    double holes = 0.0;
    for (const CadPolygon& hole : outline.getHoles()) holes += hole.getArea(true, false);
    EXPECT_NEAR(holes, 8.0, 1e-12);
}

TEST(CadPolygon, DegenerateContoursHaveNoAreaAndNoNaN) {
    EXPECT_DOUBLE_EQ(CadPolygon().getArea(), 0.0);
    EXPECT_DOUBLE_EQ(contour({{1, 1}}).getArea(), 0.0);
    EXPECT_DOUBLE_EQ(contour({{0, 0}, {1, 0}, {1, 1}}, {}, false).getArea(), 0.0);   // open
    // An arc between coinciding points and an arc angle of a full turn are taken as straight.
    const CadPolygon odd = contour({{0, 0}, {0, 0}, {1, 0}, {1, 1}}, {0, 1.0, 2 * kPi, 0});
    EXPECT_TRUE(std::isfinite(odd.getArea()));
    EXPECT_TRUE(std::isfinite(odd.getPlanLength()));
    EXPECT_NEAR(odd.getArea(), 0.5, 1e-12);
}

TEST(CadPolygon, PlanLengthRunsAlongArcsAndClosesOnlyClosedContours) {
    EXPECT_NEAR(square(0, 0, 2).getPlanLength(), 8.0, 1e-12);
    EXPECT_NEAR(contour({{0, 0}, {1, 0}, {1, 1}, {0, 1}}, {0, 0, kPi, 0}).getPlanLength(), 3.0 + kPi / 2.0,
                1e-12);
    EXPECT_NEAR(contour({{1, 0}, {-1, 0}}, {kPi, kPi}).getPlanLength(), 2.0 * kPi, 1e-12);
    EXPECT_NEAR(contour({{0, 0}, {3, 0}, {3, 4}}, {}, false).getPlanLength(), 7.0, 1e-12);
    // A quarter circle of radius 2 as one edge: chord 2 sqrt 2, length pi.
    EXPECT_NEAR(contour({{2, 0}, {0, 2}}, {0, kPi / 2}, false).getPlanLength(), kPi, 1e-12);
}

TEST(CadPolygon, BoundsIncludeTheBulgeOfArcs) {
    const auto bounds = contour({{0, 0}, {1, 0}, {1, 1}, {0, 1}}, {0, 0, kPi, 0}).getBounds();
    ASSERT_TRUE(bounds);
    EXPECT_NEAR(bounds->getMaximum().getX(), 1.5, 1e-12);
    EXPECT_NEAR(bounds->getMinimum().getY(), 0.0, 1e-12);
    EXPECT_FALSE(CadPolygon().getBounds());
}

// --- Validity ----------------------------------------------------------------------------------
TEST(CadPolygon, FindsSelfIntersectionsAndAcceptsSimpleShapes) {
    struct Case {
        const char* what;
        CadPolygon polygon;
        bool valid;
    };
    const Case cases[] = {
        {"square", square(0, 0, 1), true},
        {"bow tie", contour({{0, 0}, {2, 2}, {2, 0}, {0, 1}}), false},
        {"star of 50", star(50), true},
        {"concave L", contour({{0, 0}, {2, 0}, {2, 1}, {1, 1}, {1, 2}, {0, 2}}), true},
        {"vertex touching an edge", contour({{0, 0}, {4, 0}, {4, 4}, {2, 0}, {0, 4}}), false},
        {"vertex near an edge within tolerance", contour({{0, 0}, {4, 0}, {4, 4}, {2, 0.000004}, {0, 4}}),
         false},
        {"vertex near an edge beyond tolerance", contour({{0, 0}, {4, 0}, {4, 4}, {2, 0.0001}, {0, 4}}),
         true},
        {"two vertices at one point", contour({{0, 0}, {2, 0}, {1, 1}, {2, 2}, {0, 2}, {1, 1}}), false},
        {"collinear overlap folding back", contour({{0, 0}, {3, 0}, {1, 0}, {1, 2}}), false},
        {"collinear edges overlapping apart",
         contour({{0, 0}, {4, 0}, {4, 1}, {3, 1}, {3, 0}, {1, 0}, {1, 1}, {0, 1}}), false},
        {"arc biting in from a corner", contour({{0, 0}, {2, 0}, {2, 2}, {0, 2}}, {0, -0.75 * kPi, 0, 0}),
         true},
        {"arc bulging in through the opposite edge",
         contour({{0, 0}, {4, 0}, {4, 1.5}, {0, 1.5}}, {0, -kPi, 0, 0}), false},
        {"arc bulging in short of the opposite edge",
         contour({{0, 0}, {4, 0}, {4, 2.5}, {0, 2.5}}, {0, -kPi, 0, 0}), true},
        {"arc bulging out", contour({{0, 0}, {4, 0}, {4, 1}, {0, 1}}, {0, 0, kPi, 0}), true},
        {"major arc bulging out", contour({{0, 0}, {1, 0}, {1, 1}, {0, 1}}, {0, 0, 0, 1.9 * kPi}), true},
        {"circle of two arcs", contour({{1, 0}, {-1, 0}}, {kPi, kPi}), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.polygon.isValid(true, kTolerance), c.valid);
        EXPECT_TRUE(c.polygon.isValid(false, kTolerance));   // each is a well-formed contour
    }
}

TEST(CadPolygon, TwoArcsThatTouchAreFoundEvenWhenTheirEndsAreFarApart) {
    // A wide contour whose top edge dips as an arc to just above the bottom edge's upward arc.
    // An arc of sagitta s over a half chord h sweeps 4 atan(s / h); clockwise ones bulge inwards here.
    const auto sweep = [](double sagitta) { return -4.0 * std::atan(sagitta / 5.0); };
    const CadPolygon touching =
        contour({{0, 0}, {10, 0}, {10, 2}, {0, 2}}, {0, sweep(1.0), 0, sweep(0.999995)});
    EXPECT_FALSE(touching.isValid(true, kTolerance));   // 5e-6 apart at their middles
    const CadPolygon apart = contour({{0, 0}, {10, 0}, {10, 2}, {0, 2}}, {0, sweep(0.99), 0, sweep(0.99)});
    EXPECT_TRUE(apart.isValid(true, kTolerance));
}

TEST(CadPolygon, HolesMustLieInsideTheOutlineAndApart) {
    CadPolygon good = square(0, 0, 10);
    good.addHole(square(1, 1, 2));
    good.addHole(square(5, 5, 2));
    EXPECT_TRUE(good.isValid(true, kTolerance));

    CadPolygon outside = square(0, 0, 10);
    outside.addHole(square(20, 20, 2));
    EXPECT_FALSE(outside.isValid(true, kTolerance));
    EXPECT_TRUE(outside.isValid(false, kTolerance));   // without the check only the contours count

    CadPolygon nested = square(0, 0, 10);
    nested.addHole(square(1, 1, 6));
    nested.addHole(square(2, 2, 1));
    EXPECT_FALSE(nested.isValid(true, kTolerance));

    CadPolygon crossing = square(0, 0, 10);
    crossing.addHole(square(8, 8, 4));
    EXPECT_FALSE(crossing.isValid(true, kTolerance));

    CadPolygon touching = square(0, 0, 10);
    touching.addHole(contour({{0, 5}, {2, 4}, {2, 6}}));   // a hole vertex on the outline
    EXPECT_FALSE(touching.isValid(true, kTolerance));
}

TEST(CadPolygon, RejectsMalformedContoursWithoutTheCheck) {
    const double nan = std::nan("");
    struct Case {
        const char* what;
        CadPolygon polygon;
    };
    const Case cases[] = {
        {"empty", CadPolygon()},
        {"one vertex", contour({{0, 0}})},
        {"two straight edges", contour({{0, 0}, {1, 0}})},
        {"zero-length edge", contour({{0, 0}, {1, 0}, {1, 0.000001}, {0, 1}})},
        {"NaN coordinate", contour({{0, 0}, {1, nan}, {1, 1}})},
        {"arc angle of a full turn", contour({{0, 0}, {1, 0}, {1, 1}}, {0, 2 * kPi, 0})},
        {"NaN arc angle", contour({{0, 0}, {1, 0}, {1, 1}}, {0, nan, 0})},
        {"sliver thinner than the tolerance", contour({{0, 0}, {10, 0}, {10, 0.000002}, {0, 0.000002}})},
        {"collinear closed", contour({{0, 0}, {1, 0}, {2, 0}})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_FALSE(c.polygon.isValid(false, kTolerance));
        EXPECT_FALSE(c.polygon.isValid(true, kTolerance));
    }
    EXPECT_TRUE(contour({{0, 0}, {1, 0}}, {}, false).isValid(true, kTolerance));   // an open line
}

TEST(CadPolygon, LargeStarsAreValidAndOneMovedVertexIsFound) {
    CadPolygon big = star(20000);
    EXPECT_TRUE(big.isValid(true, kTolerance));
    // Pull one inner vertex across to the far side: its two edges cross many spikes.
    PolyPoint moved = big.getPoint(1001);
    moved.point = CadPoint(-0.9, 0.01);
    big.setPoint(1001, moved);
    EXPECT_FALSE(big.isValid(true, kTolerance));
}

// --- Vertices, ids and moves -------------------------------------------------------------------
TEST(CadPolygon, IndicesWrapAroundAndEmptyPolygonsAnswerDefaults) {
    const CadPolygon triangle = contour({{0, 0}, {1, 0}, {0, 1}});
    for (const auto& [index, x, y] :
         {std::tuple{0u, 0.0, 0.0}, {3u, 0.0, 0.0}, {4u, 1.0, 0.0}, {8u, 0.0, 1.0}}) {
        SCOPED_TRACE(index);
        EXPECT_DOUBLE_EQ(triangle.getPoint(index).point.getX(), x);
        EXPECT_DOUBLE_EQ(triangle.getPoint(index).point.getY(), y);
    }
    EXPECT_DOUBLE_EQ(triangle.getEdge(2).getEnd().getX(), 0.0);   // the closing edge ends at vertex 0
    CadPolygon empty;
    EXPECT_DOUBLE_EQ(empty.getPoint(5).point.getX(), 0.0);
    empty.setPoint(3, PolyPoint(CadPoint(1, 1)));
    EXPECT_EQ(empty.getSize(), 0u);
}

TEST(CadPolygon, CountsVerticesAndCurvedEdgesOfOutlineAndHoles) {
    CadPolygon outline = contour({{0, 0}, {10, 0}, {10, 10}, {0, 10}}, {0.5, 0, 0.000001, 0});
    CadPolygon hole = contour({{2, 2}, {4, 2}, {3, 4}}, {0, -0.3, 0});
    outline.addHole(hole);
    EXPECT_EQ(outline.countAllVertices(), 7u);
    EXPECT_EQ(outline.countCurvedEdges(), 2u);   // an angle of 1e-6 is straight
    outline.setClosed(false);                    // the open outline loses the edge ending at vertex 0
    EXPECT_EQ(outline.countCurvedEdges(), 1u);
}

TEST(CadPolygon, NumbersOnlyUnnumberedVerticesAboveTheLargestKeptId) {
    CadPolygon polygon = contour({{0, 0}, {1, 0}, {1, 1}, {0, 1}});
    PolyPoint kept = polygon.getPoint(1);
    kept.id = 7;
    polygon.setPoint(1, kept);
    polygon.addHole(contour({{0.2, 0.2}, {0.4, 0.2}, {0.3, 0.4}}));
    polygon.numberVertices(false);
    std::vector<std::uint32_t> ids;
    for (std::size_t i = 0; i < polygon.getSize(); ++i) ids.push_back(polygon.getPoint(i).id);
    for (std::size_t i = 0; i < 3; ++i) ids.push_back(polygon.getHole(0)->getPoint(i).id);
    EXPECT_EQ(ids, (std::vector<std::uint32_t>{8, 7, 9, 10, 11, 12, 13}));
    EXPECT_EQ(polygon.getCounter(), 13u);
    polygon.numberVertices(true);
    EXPECT_EQ(polygon.getPoint(1).id, 2u);
    EXPECT_EQ(polygon.getCounter(), 7u);
}

TEST(CadPolygon, MovesCarryTheHolesAlong) {
    CadPolygon polygon = square(0, 0, 4);
    polygon.addHole(square(1, 1, 1));
    polygon += CadPoint(10, 20, 1);
    EXPECT_DOUBLE_EQ(polygon.getPoint(0).point.getX(), 10.0);
    EXPECT_DOUBLE_EQ(polygon.getPoint(0).point.getZ(), 1.0);
    EXPECT_DOUBLE_EQ(polygon.getHole(0)->getPoint(0).point.getY(), 21.0);
    polygon.translate(Vector3(-10, -20, -1));
    EXPECT_DOUBLE_EQ(polygon.getHole(0)->getPoint(0).point.getX(), 1.0);
    polygon.moveCentreTo(CadPoint(0, 0, 5));
    EXPECT_DOUBLE_EQ(polygon.getPoint(0).point.getX(), -2.0);
    EXPECT_DOUBLE_EQ(polygon.getHole(0)->getPoint(0).point.getY(), -1.0);
    EXPECT_DOUBLE_EQ(polygon.getPoint(0).point.getZ(), 0.0);   // centring moves in plan only
    const CadPolygon copy = polygon;
    polygon.clear();
    EXPECT_EQ(copy.getHoleCount(), 1u);
    EXPECT_EQ(polygon.getHoleCount(), 0u);
}

TEST(CadPolygon, BoxTurnedByAnAngleAndCentredKeepsItsSizes) {
    const Cube box(CadPoint(0, 0, 3), CadPoint(4, 2, 3));
    CadPolygon rectangle(box, kPi / 2);
    ASSERT_EQ(rectangle.getSize(), 4u);
    EXPECT_NEAR(rectangle.getArea(false, true), 8.0, 1e-12);       // counter-clockwise
    EXPECT_NEAR(rectangle.getPoint(1).point.getX(), 0.0, 1e-12);   // (4, 0) turned a quarter
    EXPECT_NEAR(rectangle.getPoint(1).point.getY(), 4.0, 1e-12);
    EXPECT_DOUBLE_EQ(rectangle.getPoint(2).point.getZ(), 3.0);
    rectangle.moveCentreTo(CadPoint(10, 10));
    const auto bounds = rectangle.getBounds();
    ASSERT_TRUE(bounds);
    EXPECT_NEAR(bounds->getWidth(), 2.0, 1e-12);
    EXPECT_NEAR(bounds->getDepth(), 4.0, 1e-12);
    EXPECT_NEAR(bounds->getCentre().getX(), 10.0, 1e-12);
    EXPECT_NEAR(bounds->getCentre().getY(), 10.0, 1e-12);
}

// --- Point location ----------------------------------------------------------------------------
TEST(CadPolygon, LocatesPointsInsideOnEdgesOutsideAndInHoles) {
    CadPolygon polygon = contour({{0, 0}, {10, 0}, {10, 10}, {0, 10}}, {0, 0, kPi, 0});   // right side bulges
    polygon.addHole(square(2, 2, 2));
    using L = CadPolygon::PointLocation;
    const std::tuple<const char*, CadPoint, L> cases[] = {
        {"inside", {6, 6}, L::inside},
        {"in the bulge", {14, 5}, L::inside},
        {"beyond the bulge", {15.5, 5}, L::outside},
        {"on the arc", {15, 5}, L::onEdge},
        {"near an edge within tolerance", {5, -0.000005}, L::onEdge},
        {"near an edge beyond tolerance", {5, -0.0001}, L::outside},
        {"in the hole", {3, 3}, L::outside},
        {"on the hole's edge", {2, 3}, L::onEdge},
        {"at a vertex", {0, 0}, L::onEdge},
        {"far away", {-50, 3}, L::outside},
        {"level with a vertex, outside", {12, 10}, L::outside},
        {"level with a hole vertex, inside", {1, 2}, L::inside},
    };
    for (const auto& [what, point, expected] : cases) {
        SCOPED_TRACE(what);
        EXPECT_EQ(polygon.locate(point, kTolerance), expected);
        EXPECT_EQ(polygon.isInside(point, kTolerance), expected != L::outside);
    }
    EXPECT_EQ(CadPolygon().locate(CadPoint(), kTolerance), L::outside);
}
