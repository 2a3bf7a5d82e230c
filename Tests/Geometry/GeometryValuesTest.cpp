#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "Geometry/CadArc.h"
#include "Geometry/CadPoint.h"
#include "Geometry/Cube.h"
#include "Geometry/Line.h"
#include "Geometry/PointPosition.h"
#include "Geometry/PolyEdge.h"
#include "Geometry/Tolerance.h"
#include "Geometry/TransformList.h"
#include "Geometry/Vector3.h"
#include "Geometry/ZRotater.h"

using namespace tarnwick;

namespace {
constexpr double kPi = std::numbers::pi;
}

TEST(CadPoint, ComparesPlanPositionsWithinTheTolerance) {
    const CadPoint a(1, 2, 3);
    EXPECT_TRUE(a.planEquals(CadPoint(1.000007, 2, -40), Tolerance::plan));
    EXPECT_FALSE(a.planEquals(CadPoint(1.00001, 2.00001, 3), Tolerance::plan));
    CadPoint b(PlanPair{4, 5}, 6);
    b.setPlan(7, 8);
    EXPECT_DOUBLE_EQ(b.getZ(), 0.0);
}

TEST(Vector3, TellsParallelAndSameSenseDirections) {
    const Vector3 x(2, 0, 0);
    EXPECT_TRUE(x.isParallel(Vector3(-5, 0.000001, 0), Tolerance::angle));
    EXPECT_FALSE(x.isSameSense(Vector3(-5, 0, 0), Tolerance::angle));
    EXPECT_TRUE(x.isSameSense(Vector3(5, 0, 0), Tolerance::angle));
    EXPECT_FALSE(x.isParallel(Vector3(1, 1, 0), Tolerance::angle));
    EXPECT_FALSE(x.isParallel(Vector3(), Tolerance::angle));   // a zero vector has no direction
    EXPECT_TRUE(Vector3(0, 0.6, 0.8).isNormalised(Tolerance::plan));
    EXPECT_FALSE(x.isNormalised(Tolerance::plan));
    EXPECT_DOUBLE_EQ(Vector3().normalised().length(), 0.0);
}

TEST(CadArc, GivesPositionCodesForStartArcAndEnd) {
    const CadArc arc(CadPoint(0, 0), 2.0, 0.0, kPi / 2);   // (2, 0) to (0, 2), counter-clockwise
    const std::pair<CadPoint, int> cases[] = {
        {{2, 0}, CadArc::kAtStart | CadArc::kOnArc},
        {{0, 2.000005}, CadArc::kOnArc | CadArc::kAtEnd},
        {{std::sqrt(2.0), std::sqrt(2.0)}, CadArc::kOnArc},
        {{-std::sqrt(2.0), -std::sqrt(2.0)}, 0},   // on the circle, outside the sweep
        {{1, 1}, 0},
        {{0, 0}, 0},   // the centre
    };
    for (const auto& [point, code] : cases) {
        SCOPED_TRACE(testing::Message() << point.getX() << ", " << point.getY());
        EXPECT_EQ(arc.getPosition(point, Tolerance::plan), code);
    }
    const CadArc clockwise(CadPoint(0, 0), 1.0, 0.0, -kPi / 2);   // (1, 0) down to (0, -1)
    EXPECT_NEAR(clockwise.getEndAngle(), -kPi / 2, 1e-15);
    EXPECT_EQ(clockwise.getPosition(CadPoint(0, -1), Tolerance::plan), CadArc::kOnArc | CadArc::kAtEnd);
    EXPECT_EQ(clockwise.getPosition(CadPoint(0, 1), Tolerance::plan), 0);
    const Cube bounds = clockwise.getBounds();
    EXPECT_NEAR(bounds.getMinimum().getY(), -1.0, 1e-15);
    EXPECT_NEAR(bounds.getMaximum().getY(), 0.0, 1e-15);
}

TEST(PolyEdge, FindsTheArcCentreOnTheSideTheSweepSays) {
    const std::tuple<double, double, double, double> cases[] = {
        // sweep, centre x, centre y, radius: from (0, 0) to (2, 0)
        {kPi / 2, 1.0, 1.0, std::sqrt(2.0)},
        {-kPi / 2, 1.0, -1.0, std::sqrt(2.0)},
        {1.5 * kPi, 1.0, -1.0, std::sqrt(2.0)},
        {kPi, 1.0, 0.0, 1.0},
    };
    for (const auto& [sweep, x, y, radius] : cases) {
        SCOPED_TRACE(sweep);
        const PolyEdge edge(PolyPoint(CadPoint(0, 0)), PolyPoint(CadPoint(2, 0), sweep));
        ASSERT_TRUE(edge.isCurved());
        EXPECT_NEAR(edge.getCentre().getX(), x, 1e-12);
        EXPECT_NEAR(edge.getCentre().getY(), y, 1e-12);
        EXPECT_NEAR(edge.getRadius(), radius, 1e-12);
        const CadArc arc = edge.getArc();
        EXPECT_NEAR(arc.getEndPoint().getX(), 2.0, 1e-12);
        EXPECT_NEAR(arc.getEndPoint().getY(), 0.0, 1e-12);
    }
    EXPECT_FALSE(PolyEdge(PolyPoint(CadPoint(0, 0)), PolyPoint(CadPoint(2, 0), 0.000001)).isCurved());
}

TEST(Line, GivesItsAngleAndItsReversal) {
    const Line line(CadPoint(1, 1), CadPoint(1, 0));
    EXPECT_NEAR(line.getAngle(), 1.5 * kPi, 1e-15);
    EXPECT_NEAR(line.getReversed().getAngle(), kPi / 2, 1e-15);
    EXPECT_DOUBLE_EQ(Line(CadPoint(3, 3), CadPoint(3, 3)).getAngle(), 0.0);
}

TEST(PointPosition, PutsPointsRightOfTheDirectionOnTheNegativeSide) {
    const CadPoint a(0, 0), b(10, 0);
    EXPECT_EQ(PointPosition(a, b, CadPoint(5, -1), Tolerance::plan).getCode(), PointPosition::negativeSide);
    EXPECT_EQ(PointPosition(a, b, CadPoint(5, 1), Tolerance::plan).getCode(), PointPosition::positiveSide);
    EXPECT_EQ(PointPosition(a, b, CadPoint(50, -0.000009), Tolerance::plan).getCode(), PointPosition::onLine);
    EXPECT_EQ(PointPosition(b, a, CadPoint(5, 1), Tolerance::plan).getCode(), PointPosition::negativeSide);
    EXPECT_EQ(PointPosition(a, a, CadPoint(5, 1), Tolerance::plan).getCode(), PointPosition::onLine);
}

TEST(Cube, MakesNormalisesEnlargesAndTurns) {
    Cube box(std::array<double, 4>{4, 5, 1, 2});   // minimum and maximum given the wrong way round
    EXPECT_DOUBLE_EQ(box.getWidth(), -3.0);
    box.normalise();
    EXPECT_EQ(box.getExtent(), (std::array<double, 4>{1, 2, 4, 5}));
    box.enlarge(0.5);
    EXPECT_EQ(box.getExtent(), (std::array<double, 4>{0.5, 1.5, 4.5, 5.5}));
    EXPECT_DOUBLE_EQ(box.getHeight(), 1.0);
    EXPECT_DOUBLE_EQ(box.getLargestSize(), 4.0);

    Cube turned(CadPoint(0, 0, 1), CadPoint(2, 1, 3));
    turned.turn(kPi / 2);   // (x, y) -> (-y, x)
    EXPECT_NEAR(turned.getMinimum().getX(), -1.0, 1e-12);
    EXPECT_NEAR(turned.getMaximum().getX(), 0.0, 1e-12);
    EXPECT_NEAR(turned.getMaximum().getY(), 2.0, 1e-12);
    EXPECT_DOUBLE_EQ(turned.getHeight(), 2.0);
    Cube diagonal(CadPoint(-1, -1), CadPoint(1, 1));
    diagonal.turn(kPi / 4);
    EXPECT_NEAR(diagonal.getWidth(), 2.0 * std::sqrt(2.0), 1e-12);
}

TEST(ZRotater, TurnsAndTurnsBackWithinTheTolerance) {
    ZRotater quarter(kPi / 2, Tolerance::angle);
    CadPoint p(1, 0, 5);
    quarter.rotate(p);
    EXPECT_NEAR(p.getX(), 0.0, 1e-15);
    EXPECT_NEAR(p.getY(), 1.0, 1e-15);
    EXPECT_DOUBLE_EQ(p.getZ(), 5.0);

    for (double angle : {0.3, 2.0, -1.0, 7.5, -12.25}) {
        SCOPED_TRACE(angle);
        ZRotater there(angle, Tolerance::angle), back(-angle, Tolerance::angle);
        CadPoint q(3.5, -2.25, 1);
        there.rotate(q);
        back.rotate(q);
        EXPECT_NEAR(q.getX(), 3.5, 1e-12);
        EXPECT_NEAR(q.getY(), -2.25, 1e-12);
        EXPECT_GE(there.getAngle(), 0.0);
        EXPECT_LT(there.getAngle(), 2 * kPi);
    }
    ZRotater none;
    none.setAngle(2 * kPi - 0.000001, Tolerance::angle);   // within the tolerance of a whole turn
    EXPECT_FALSE(none.isActive());
    CadPoint unchanged(1.25, 2.5);
    none.rotate(unchanged);
    EXPECT_TRUE(exactlyEqual(unchanged.getX(), 1.25));
    none.setAngle(std::nan(""), Tolerance::angle);
    EXPECT_FALSE(none.isActive());
    EXPECT_DOUBLE_EQ(none.getAngle(), 0.0);
}

TEST(TransformList, OwnsDeepCopiesAndHandsOutTheFirst) {
    TransformList list;
    list.append(std::make_unique<Transformation>(Transformation::Kind::move, CadPoint(), CadPoint(0, 0),
                                                 CadPoint(1, 0)));
    list.append(std::make_unique<Transformation>(Transformation::Kind::rotate, CadPoint(1, 1), CadPoint(2, 1),
                                                 CadPoint(1, 2)));
    list.append(nullptr);
    ASSERT_EQ(list.getSize(), 2u);
    const TransformList copy = list;
    ASSERT_EQ(copy.getSize(), 2u);
    EXPECT_NE(copy.getAt(0), list.getAt(0));
    std::unique_ptr<Transformation> first = list.takeFirst();
    ASSERT_TRUE(first);
    EXPECT_EQ(first->getKind(), Transformation::Kind::move);
    list.eraseFirst();
    EXPECT_TRUE(list.isEmpty());
    EXPECT_EQ(list.takeFirst(), nullptr);
    list.eraseFirst();
    EXPECT_EQ(copy.getAt(1)->getKind(), Transformation::Kind::rotate);
    EXPECT_EQ(copy.getAt(2), nullptr);
}
