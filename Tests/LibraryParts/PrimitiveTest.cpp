#include "LibraryParts/Primitive.h"

#include <cmath>
#include <memory>
#include <numbers>
#include <string>

#include <gtest/gtest.h>

#include <HostGuid.h>
#include <HostModel3D.h>

#include "Geometry/CadPolygon.h"
#include "Geometry/Tolerance.h"
#include "LibraryParts/PrimitiveArc.h"
#include "LibraryParts/PrimitiveBody.h"
#include "LibraryParts/PrimitiveDistortedHatch.h"
#include "LibraryParts/PrimitiveHatch.h"
#include "LibraryParts/PrimitiveLine.h"
#include "LibraryParts/PrimitivePoint.h"
#include "LibraryParts/PrimitivePolygon.h"
#include "LibraryParts/PrimitiveText.h"
#include "Project/LineStyle.h"
#include "Project/Pen.h"
#include "Support/DrawingFixture.h"

using namespace tarnwick;

namespace {
constexpr double kPi = std::numbers::pi;

CadPolygon square(double x, double y, double size) {
    CadPolygon polygon;
    polygon.append(PolyPoint({x, y}));
    polygon.append(PolyPoint({x + size, y}));
    polygon.append(PolyPoint({x + size, y + size}));
    polygon.append(PolyPoint({x, y + size}));
    return polygon;
}

// An element drawn with pen 12 and line type 5 in its part 0, and pen 3 elsewhere.
class PennedElement : public RecordElement {
public:
    using RecordElement::RecordElement;
    Pen getPen(std::int32_t part) const override {
        return Pen(AttributeLink(std::int32_t{part == 0 ? 12 : 3}, AttributeType::pen));
    }
    LineStyle getLineStyle(std::int32_t part) const override {
        return LineStyle(AttributeLink(std::int32_t{part == 0 ? 5 : 3}, AttributeType::lineStyle));
    }
};

void expectBox(const Cube& box, double minX, double minY, double maxX, double maxY) {
    EXPECT_NEAR(box.getMinimum().getX(), minX, 1e-9);
    EXPECT_NEAR(box.getMinimum().getY(), minY, 1e-9);
    EXPECT_NEAR(box.getMaximum().getX(), maxX, 1e-9);
    EXPECT_NEAR(box.getMaximum().getY(), maxY, 1e-9);
}

class PrimitiveBodyTest : public testing::Test {
protected:
    void TearDown() override { host::clearModel3D(); }
};
}   // namespace

TEST(Primitive, HitTestsAndBoundsFollowTheGeometryAndMoves) {
    CadPolygon holed = square(0, 0, 4);
    holed.addHole(square(1, 1, 2));
    struct Case {
        const char* name;
        std::shared_ptr<Primitive> primitive;
        CadPoint hit, nearHit, miss;   // nearHit lies within 1e-6 of the geometry
        double minX, minY, maxX, maxY;
    };
    const Case cases[] = {
        {"point",
         std::make_shared<PrimitivePoint>(CadPoint(1, 2, 5), 0, 1, 1, true, true),
         {1, 2, 9},
         {1 + 5e-7, 2},
         {1.01, 2},
         1,
         2,
         1,
         2},
        {"line",
         std::make_shared<PrimitiveLine>(Line({0, 0}, {4, 2}), 0, 1, 1, true, true),
         {2, 1},
         {4, 2 + 5e-7},
         {5, 2.5},
         0,
         0,
         4,
         2},
        {"arc",
         std::make_shared<PrimitiveArc>(CadArc({0, 0}, 2, 0, kPi / 2), 0, 1, 1, true, false),
         {std::sqrt(2.0), std::sqrt(2.0)},
         {0, 2 + 5e-7},
         {-2, 0},
         0,
         0,
         2,
         2},
        {"text",
         std::make_shared<PrimitiveText>(String("A"), CadPoint(3, 4), 0.0, 0, 1, 1, true, false),
         {3, 4},
         {3, 4 - 5e-7},
         {3.5, 4},
         3,
         4,
         3,
         4},
        {"polygon",
         std::make_shared<PrimitivePolygon>(holed, 2, true, 0, 1, 1, true, false),
         {0.5, 0.5},
         {1 + 5e-7, 2},
         {2, 2},
         0,
         0,
         4,
         4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(c.primitive->isHit(c.hit, Tolerance::plan));
        EXPECT_TRUE(c.primitive->isHit(c.nearHit, Tolerance::plan));
        EXPECT_FALSE(c.primitive->isHit(c.miss, Tolerance::plan));
        expectBox(*c.primitive->getBounds(), c.minX, c.minY, c.maxX, c.maxY);

        c.primitive->move(CadPoint(10, -1));
        EXPECT_TRUE(c.primitive->isHit(c.hit + CadPoint(10, -1), Tolerance::plan));
        EXPECT_FALSE(c.primitive->isHit(c.hit, Tolerance::plan));
        expectBox(*c.primitive->getBounds(), c.minX + 10, c.minY - 1, c.maxX + 10, c.maxY - 1);
    }
}

TEST(Primitive, ArcFromHostAnglesKeepsFullCirclesInEitherSense) {
    const struct {
        double begin, end;
        bool clockwise;
        double sweep;
    } cases[] = {
        {kPi / 2, kPi, false, kPi / 2},           {kPi, kPi / 2, false, 3 * kPi / 2},
        {kPi / 2, kPi, true, -3 * kPi / 2},       {1.0, 1.0, true, -2 * kPi},
        {0.0, 2 * kPi, false, 2 * kPi},           {-kPi, kPi, false, 2 * kPi},
        {0.0, 2 * kPi, true, -2 * kPi},           {0.0, 0.0, false, 0.0},
        {0.0, 4 * kPi + kPi / 4, false, kPi / 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.begin) + " " + std::to_string(c.end) + (c.clockwise ? " cw" : " ccw"));
        const PrimitiveArc arc(CadPoint(1, 1), 2, c.begin, c.end, c.clockwise, 0.5, 0.25, 3, 4, 5, true,
                               false);
        EXPECT_NEAR(arc.getSweep(), c.sweep, 1e-12);
        EXPECT_NEAR(arc.getStartAngle(), c.begin, 1e-12);
        EXPECT_NEAR(arc.getAxisRatio(), 0.5, 0.0);
        EXPECT_NEAR(arc.getMainAxisAngle(), 0.25, 0.0);
    }
    // A counter-clockwise full circle is hit all round, not only at its start.
    const PrimitiveArc circle(CadPoint(), 1, 0.0, 2 * kPi, false, 1.0, 0.0, 0, 1, 1, true, false);
    EXPECT_TRUE(circle.isHit(CadPoint(-1, 0), Tolerance::plan));
    expectBox(*circle.getBounds(), -1, -1, 1, 1);
}

TEST(Primitive, FillPensFallBackAndHatchesKnowWhetherTheyFill) {
    EXPECT_EQ(PrimitivePolygon::chooseFillPen(0, 7), 7u);
    EXPECT_EQ(PrimitivePolygon::chooseFillPen(0x10000, 7), 7u);   // only the low 16 bits count
    EXPECT_EQ(PrimitivePolygon::chooseFillPen(12, 7), 12u);

    const struct {
        std::uint32_t fillIndex;
        bool gradient;
        bool hasFill;
        std::uint32_t backgroundPen;
    } cases[] = {{0, false, false, 4}, {0, true, true, 9}, {3, false, true, 9}, {0x30000, false, false, 4}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fillIndex);
        const PrimitiveHatch hatch(square(0, 0, 1), /*fillPen=*/4, /*backgroundPen=*/9, c.fillIndex,
                                   /*contour=*/true, c.gradient, /*linear=*/false, 0, 1, 1, true, false);
        EXPECT_EQ(hatch.hasFill(), c.hasFill);
        EXPECT_EQ(hatch.getBackgroundPen(), c.backgroundPen);
        EXPECT_TRUE(hatch.isHit(CadPoint(0.5, 0.5), Tolerance::plan));
    }
}

TEST_F(PrimitiveBodyTest, IsNeverHitAndIsAsLargeAsItsBodies) {
    const host::GuidRecord guid = host::generateGuid();
    host::Model3DElement model;
    model.bodies.push_back(host::makeBoxBody(2, 3, 4, 1, 1, 0, 0.0));
    model.bodies.push_back(host::makeBoxBody(1, 1, 1, -2, 0, 0, 0.0));
    host::setElementModel3D(guid, std::move(model));

    PrimitiveBody body(std::make_shared<const Element3D>(guid), 0, false, true);
    EXPECT_FALSE(body.isHit(CadPoint(2, 2, 1), 1.0));
    const std::unique_ptr<Cube> bounds = body.getBounds();
    expectBox(*bounds, -2, 0, 3, 4);
    EXPECT_NEAR(bounds->getHeight(), 4.0, 1e-12);

    body.move(CadPoint(5, 5));   // only its own position moves
    EXPECT_NEAR(body.getX(), 5.0, 0.0);
    expectBox(*body.getBounds(), -2, 0, 3, 4);

    // Deleted through the mixin, as a list of primitives does.
    std::unique_ptr<Primitive> owned = std::make_unique<PrimitiveDistortedHatch>(
        PrimitiveHatch(square(0, 0, 1), 1, 1, 1, false, false, false, 0, 1, 1, true, false), CadPoint(),
        std::array<double, 5>{1, 0, 0, 1, 0});
    owned.reset();
}

TEST(Primitive, MadeForAnElementTakeItsPenLineTypeAndDrawingOrder) {
    host::ElementRecord record{};
    record.head.drawOrder = 7;
    const PennedElement element(record, ElementLink());
    const Line line(CadPoint(0, 0), CadPoint(1, 0));
    const std::unique_ptr<Primitive> made[] = {
        std::make_unique<PrimitivePoint>(CadPoint(1, 1), element, true, false),
        std::make_unique<PrimitiveLine>(line, element, true, false),
        std::make_unique<PrimitiveArc>(CadArc(CadPoint(0, 0), 1, 0, kPi), element, true, false),
        std::make_unique<PrimitiveText>(String("t"), CadPoint(0, 0), 0.0, element, true, false),
        std::make_unique<PrimitivePolygon>(square(0, 0, 1), 4, true, element, true, false),
        std::make_unique<PrimitiveHatch>(square(0, 0, 1), 4, 9, 2, true, false, false, element, true, false),
        std::make_unique<PrimitiveBody>(nullptr, element, true, false)};
    for (const auto& primitive : made) {
        EXPECT_EQ(primitive->getPen(), 12u);
        EXPECT_EQ(primitive->getLineType(), 5u);
        EXPECT_EQ(primitive->getDrawingOrder(), 7u);
        EXPECT_TRUE(primitive->isIn2D());
        EXPECT_FALSE(primitive->isIn3D());
    }
}
