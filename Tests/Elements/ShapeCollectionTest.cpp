// Shape collection: the host's pieces of a plan shape turned into drawing primitives, from synthetic
// records and from what the simulated host draws for the fixture project's elements.
#include "Elements/PolygonConstructor.h"

#include <cmath>
#include <cstring>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <HostResult.h>
#include <HostShapes.h>

#include "Elements/ComponentElem.h"
#include "LibraryParts/PrimitiveArc.h"
#include "LibraryParts/PrimitiveDistortedHatch.h"
#include "LibraryParts/PrimitiveHatch.h"
#include "LibraryParts/PrimitiveLine.h"
#include "LibraryParts/PrimitivePoint.h"
#include "LibraryParts/PrimitivePolygon.h"
#include "LibraryParts/PrimitiveText.h"
#include "Project/ComponentLink.h"
#include "Support/DrawingFixture.h"

using namespace tarnwick;

namespace {
constexpr double kPi = std::numbers::pi;

host::ShapePrimitive piece(std::int32_t type, std::int32_t pen = 5, std::int16_t lineType = 3) {
    host::ShapePrimitive record{};
    record.type = type;
    record.pen = pen;
    record.drawOrder = 7;
    record.lineType = lineType;
    record.axisRatio = 1.0;
    return record;
}

// The square (0, 0)-(1, 1) as the host's 1-based arrays: one contour, closed by its first point again.
const host::PolygonCoord kSquare[] = {{0, 0}, {0, 0}, {1, 0}, {1, 1}, {0, 1}, {0, 0}};
const std::int32_t kSquareEnds[] = {0, 5};

host::ShapePrimitive squarePiece(bool filled = true) {
    host::ShapePrimitive record = piece(host::kShapePolygon);
    record.filled = filled ? 1 : 0;
    record.counts.coordinates = 5;
    record.counts.contours = 1;
    return record;
}

class ShapeCollectionTest : public testing::Test {
protected:
    void SetUp() override { PolygonConstructor::beginCollect(primitives_, /*keepHatchLines=*/false); }
    void TearDown() override { PolygonConstructor::endCollect(); }

    std::uint32_t send(const host::ShapePrimitive& record, const void* data1 = nullptr,
                       const void* data2 = nullptr, const void* data3 = nullptr) {
        return PolygonConstructor::shapePrimitiveCallback(&record, data1, data2, data3);
    }
    template <typename T>
    const T* last() const {
        return primitives_.empty() ? nullptr : dynamic_cast<const T*>(primitives_.back().get());
    }

    PrimitiveList primitives_;
};

class ShapeCollectionFixture : public DrawingFixture {
protected:
    void SetUp() override {
        DrawingFixture::SetUp();
        // A zone with an L-shaped outline and a name, beside the fixture's objects, door and lamp.
        host::SimElement zone;
        host::ElementHead head{};
        head.type = host::kElementZone;
        head.guid = host::toGuidRecord(host::newGuidBytes());
        head.layer = 1;
        zone.setHead(head);
        const host::PolygonCoord coords[] = {{0, 0}, {0, 0}, {4, 0}, {4, 2}, {2, 2}, {2, 4}, {0, 4}, {0, 0}};
        const std::int32_t ends[] = {0, 7};
        const auto bytes = [](const auto& array) {
            const auto* begin = reinterpret_cast<const unsigned char*>(&array);
            return std::vector<unsigned char>(begin, begin + sizeof array);
        };
        zone.memo.parts[offsetof(host::ElementMemo, coords)] = bytes(coords);
        zone.memo.parts[offsetof(host::ElementMemo, pends)] = bytes(ends);
        const std::u16string name = u"Hall";
        std::memcpy(zone.record.data() + host::kZoneNameOffset, name.data(), 2 * name.size());
        zoneGuid_ = zone.guid();
        host_->project().state.elements.push_back(zone);
        // Object 0 is a 2 x 1 box turned a quarter turn about (1, 0).
        host::SimElement& object = host_->project().state.elements[0];
        const double sizes[] = {2.0, 1.0}, angle = kPi / 2;
        std::memcpy(object.record.data() + host::kObjectSizeOffset, sizes, sizeof sizes);
        std::memcpy(object.record.data() + host::kObjectAngleOffset, &angle, sizeof angle);
        object.record[host::kObjectFixedSizeOffset] = 1;
        const double width = 0.9;
        std::memcpy(host_->project().state.elements[kDoorIndex].record.data() + host::kOpeningWidthOffset,
                    &width, sizeof width);
        host::SimLibraryPart part;
        part.name = "Chair";
        part.a = 0.5;
        part.b = 0.6;
        host_->project().state.libraryParts.push_back(part);
        partIndex_ = static_cast<std::int32_t>(host_->project().state.libraryParts.size());
        // Object 1 is a placed chair, made by the framework's own object kind; the others keep records.
        host::SimElement& chair = host_->project().state.elements[1];
        std::memcpy(chair.record.data() + host::kObjectLibraryIndexOffset, &partIndex_, sizeof partIndex_);
        const double ratios[] = {2.0, 1.0};
        std::memcpy(chair.record.data() + host::kObjectSizeOffset, ratios, sizeof ratios);
        Drawing::unregisterCreators();
        Drawing::registerCreators();   // the built-in ones, the object among them
        for (const std::int32_t type : {host::kElementDoor, host::kElementLamp, host::kElementZone})
            Drawing::registerCreator(static_cast<std::uint16_t>(type), &RecordElement::create, false);
    }

    std::unique_ptr<Element> element(const host::GuidBytes& guid) {
        return plan().getElement(ElementLink(tarnwick::Guid(host::toGuidRecord(guid)), &plan()));
    }

    host::GuidBytes zoneGuid_{};
    std::int32_t partIndex_ = 0;
};

// The kinds of the collected primitives, as letters: P point, L line, A arc, T text, G polygon, H hatch.
std::string kinds(const PrimitiveList& primitives) {
    std::string text;
    for (const auto& primitive : primitives) {
        const Primitive* p = primitive.get();
        text += dynamic_cast<const PrimitiveHatch*>(p)     ? 'H'
                : dynamic_cast<const PrimitivePolygon*>(p) ? 'G'
                : dynamic_cast<const PrimitiveArc*>(p)     ? 'A'
                : dynamic_cast<const PrimitiveLine*>(p)    ? 'L'
                : dynamic_cast<const PrimitiveText*>(p)    ? 'T'
                : dynamic_cast<const PrimitivePoint*>(p)   ? 'P'
                                                           : '?';
    }
    return text;
}
}   // namespace

TEST(ShapeCollection, RefusesPiecesWhileNobodyCollects) {
    const host::ShapePrimitive record = piece(host::kShapePoint);
    EXPECT_FALSE(PolygonConstructor::isCollecting());
    EXPECT_EQ(PolygonConstructor::shapePrimitiveCallback(&record, nullptr, nullptr, nullptr),
              host::kErrNoReceiver);
    PrimitiveList list;
    PolygonConstructor::beginCollect(list, false);
    PolygonConstructor::endCollect();
    EXPECT_EQ(PolygonConstructor::shapePrimitiveCallback(&record, nullptr, nullptr, nullptr),
              host::kErrNoReceiver);
    EXPECT_TRUE(list.empty());
}

TEST_F(ShapeCollectionTest, MakesHotspotsLinesArcsTextsAndTriangles) {
    host::ShapePrimitive point = piece(host::kShapePoint);
    point.point = {1, 2};
    EXPECT_EQ(send(point), 0u);
    ASSERT_NE(last<PrimitivePoint>(), nullptr);
    EXPECT_EQ(last<PrimitivePoint>()->getLineType(), 1u);   // a hotspot has no line type of its own
    EXPECT_EQ(last<PrimitivePoint>()->getPen(), 5u);
    EXPECT_TRUE(last<PrimitivePoint>()->isIn2D());

    host::ShapePrimitive line = piece(host::kShapeLine);
    line.point = {0, 0};
    line.end = {3, 4};
    send(line);
    ASSERT_NE(last<PrimitiveLine>(), nullptr);
    EXPECT_NEAR(last<PrimitiveLine>()->getEnd().getY(), 4.0, 1e-12);
    EXPECT_EQ(last<PrimitiveLine>()->getLineType(), 3u);
    EXPECT_EQ(last<PrimitiveLine>()->getDrawingOrder(), 7u);

    const struct {
        double begin, end;
        bool clockwise;
        double sweep;
    } arcs[] = {{1.0, 1.0, true, -2 * kPi},
                {kPi / 2, kPi, false, kPi / 2},
                {0.0, 2 * kPi, false, 2 * kPi},
                {kPi, kPi / 2, true, -kPi / 2}};
    for (const auto& a : arcs) {
        host::ShapePrimitive arc = piece(host::kShapeArc);
        arc.radius = 2;
        arc.beginAngle = a.begin;
        arc.endAngle = a.end;
        arc.clockwise = a.clockwise ? 1 : 0;
        send(arc);
        ASSERT_NE(last<PrimitiveArc>(), nullptr);
        EXPECT_NEAR(last<PrimitiveArc>()->getSweep(), a.sweep, 1e-9) << a.begin << " " << a.end;
    }

    host::ShapePrimitive text = piece(host::kShapeText);
    text.point = {2, 3};
    text.textReal = 0.25;
    send(text, "plain", u"Ünïcode");
    ASSERT_NE(last<PrimitiveText>(), nullptr);
    EXPECT_EQ(last<PrimitiveText>()->getView(), "Ünïcode");
    EXPECT_DOUBLE_EQ(last<PrimitiveText>()->getExtra(), 0.25);
    EXPECT_FALSE(last<PrimitiveText>()->isIn2D());   // previews draw it, scripts do not write it
    EXPECT_FALSE(last<PrimitiveText>()->isIn3D());
    send(text, "plain", nullptr);
    EXPECT_EQ(last<PrimitiveText>()->getView(), "plain");

    host::ShapePrimitive triangle = piece(host::kShapeTriangle);
    triangle.corners[1] = {1, 0};
    triangle.corners[2] = {0, 1};
    triangle.filled = 1;
    send(triangle);
    ASSERT_NE(last<PrimitivePolygon>(), nullptr);
    EXPECT_EQ(last<PrimitivePolygon>()->getSize(), 3u);
    EXPECT_TRUE(last<PrimitivePolygon>()->isFilled());

    // Unknown codes add nothing and are no error.
    const std::size_t count = primitives_.size();
    for (const std::int32_t type : {8, 9, 14, 99}) EXPECT_EQ(send(piece(type)), 0u);
    EXPECT_EQ(primitives_.size(), count);
}

TEST_F(ShapeCollectionTest, TurnsPolylinesIntoPointsLinesArcsAndOpenOrClosedPolygons) {
    const host::PolygonCoord two[] = {{0, 0}, {0, 0}, {2, 0}};
    host::ShapePrimitive polyline = piece(host::kShapePolyline);
    polyline.pointCount = 2;
    polyline.arcCount = 1;
    host::PolygonArc arc{1, 2, 1e-6};
    send(polyline, two, nullptr, &arc);   // below the tolerance: straight
    ASSERT_NE(last<PrimitiveLine>(), nullptr);
    EXPECT_EQ(last<PrimitiveLine>()->getPen(), 5u);   // the record's pen and line type hold
    EXPECT_EQ(last<PrimitiveLine>()->getLineType(), 3u);
    arc.angle = kPi;
    send(polyline, two, nullptr, &arc);
    ASSERT_NE(last<PrimitiveArc>(), nullptr);
    EXPECT_NEAR(last<PrimitiveArc>()->getRadius(), 1.0, 1e-9);
    EXPECT_NEAR(last<PrimitiveArc>()->getCentre().getX(), 1.0, 1e-9);
    EXPECT_EQ(last<PrimitiveArc>()->getPen(), 5u);

    polyline.pointCount = 1;
    send(polyline, two);
    EXPECT_NE(last<PrimitivePoint>(), nullptr);

    const host::PolygonCoord open[] = {{0, 0}, {0, 0}, {1, 0}, {1, 1}, {0, 1}};
    polyline.pointCount = 4;
    polyline.arcCount = 0;
    send(polyline, open);
    ASSERT_NE(last<PrimitivePolygon>(), nullptr);
    EXPECT_FALSE(last<PrimitivePolygon>()->isClosed());   // nothing draws the edge it does not have
    EXPECT_EQ(last<PrimitivePolygon>()->getSize(), 4u);
    polyline.pointCount = 5;
    send(polyline, kSquare);
    ASSERT_NE(last<PrimitivePolygon>(), nullptr);
    EXPECT_TRUE(last<PrimitivePolygon>()->isClosed());
    EXPECT_EQ(last<PrimitivePolygon>()->getSize(), 4u);
    EXPECT_FALSE(last<PrimitivePolygon>()->isFilled());

    // Without its points a polyline gives nothing.
    const std::size_t count = primitives_.size();
    EXPECT_EQ(send(polyline), 0u);
    polyline.pointCount = 0;
    EXPECT_EQ(send(polyline, kSquare), 0u);
    EXPECT_EQ(primitives_.size(), count);
}

TEST_F(ShapeCollectionTest, MakesHatchesOnlyInsideAHatchBorder) {
    host::HatchRecord hatch{};
    hatch.contour = 1;
    hatch.fillIndex = 4;
    hatch.fillPen = 0;   // the contour's pen
    hatch.backgroundPen = 9;
    EXPECT_EQ(send(piece(host::kShapeHatchBegin), &hatch), 0u);
    send(squarePiece(), kSquare, kSquareEnds);
    const auto* made = last<PrimitiveHatch>();
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->getFillPen(), 5u);
    EXPECT_EQ(made->getBackgroundPen(), 9u);
    EXPECT_EQ(made->getFillIndex(), 4u);
    EXPECT_TRUE(made->hasContour());
    EXPECT_TRUE(made->isHatchBorder());
    EXPECT_EQ(dynamic_cast<const PrimitiveDistortedHatch*>(made), nullptr);

    hatch.distortion = 1;
    hatch.origin[0] = 0.5;
    hatch.transformation[4] = 2.0;
    send(piece(host::kShapeHatchBegin), &hatch);
    send(squarePiece(), kSquare, kSquareEnds);
    const auto* distorted = dynamic_cast<const PrimitiveDistortedHatch*>(primitives_.back().get());
    ASSERT_NE(distorted, nullptr);
    EXPECT_DOUBLE_EQ(distorted->getFillOrigin().getX(), 0.5);
    EXPECT_DOUBLE_EQ(distorted->getFillTransformation()[4], 2.0);

    send(piece(host::kShapeHatchEnd));
    send(squarePiece(/*filled=*/false), kSquare, kSquareEnds);
    EXPECT_EQ(last<PrimitiveHatch>(), nullptr);
    ASSERT_NE(last<PrimitivePolygon>(), nullptr);
    EXPECT_FALSE(last<PrimitivePolygon>()->isHatchBorder());
    EXPECT_EQ(last<PrimitivePolygon>()->getSize(), 4u);

    // A border without its record is a plain polygon, and two points make a line.
    send(piece(host::kShapeHatchBegin));
    send(squarePiece(), kSquare, kSquareEnds);
    EXPECT_EQ(last<PrimitiveHatch>(), nullptr);
    const host::PolygonCoord pair[] = {{0, 0}, {0, 0}, {1, 0}, {0, 0}};
    const std::int32_t pairEnds[] = {0, 3};
    host::ShapePrimitive open = squarePiece();
    open.counts.coordinates = 3;
    send(open, pair, pairEnds);
    EXPECT_NE(last<PrimitiveLine>(), nullptr);
    // Missing arrays give nothing.
    const std::size_t count = primitives_.size();
    EXPECT_EQ(send(squarePiece(), kSquare, nullptr), 0u);
    EXPECT_EQ(send(squarePiece(), nullptr, kSquareEnds), 0u);
    EXPECT_EQ(primitives_.size(), count);
}

TEST_F(ShapeCollectionTest, DropsHatchLinesUnlessAskedToKeepThem) {
    host::ShapePrimitive line = piece(host::kShapeLine);
    line.end = {1, 1};
    for (const bool keep : {false, true}) {
        SCOPED_TRACE(keep);
        primitives_.clear();
        PolygonConstructor::beginCollect(primitives_, keep);
        send(piece(host::kShapeHatchLinesBegin));
        send(line);
        send(piece(host::kShapeHatchLinesEnd));
        send(line);
        ASSERT_EQ(primitives_.size(), keep ? 2u : 1u);
        EXPECT_EQ(primitives_.front()->isHatchLine(), keep);
        EXPECT_FALSE(primitives_.back()->isHatchLine());
    }
    // A new collection starts outside every hatch.
    send(piece(host::kShapeHatchLinesBegin));
    PolygonConstructor::beginCollect(primitives_, false);
    primitives_.clear();
    send(line);
    EXPECT_EQ(primitives_.size(), 1u);
}

TEST_F(ShapeCollectionFixture, CollectsThePlanShapesOfEveryKind) {
    const struct {
        host::GuidBytes guid;
        bool keepHatchLines;
        const char* kinds;
    } cases[] = {
        {guidOf(0), false, "GP"},          {guidOf(1), false, "GP"}, {guidOf(kDoorIndex), false, "LA"},
        {guidOf(kLampIndex), false, "GP"}, {zoneGuid_, false, "HT"}, {zoneGuid_, true, "HLT"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kinds);
        std::unique_ptr<Element> shaped = element(c.guid);
        ASSERT_NE(shaped, nullptr);
        PrimitiveList primitives;
        EXPECT_TRUE(shaped->collectShape(primitives, c.keepHatchLines));
        EXPECT_EQ(kinds(primitives), c.kinds);
        EXPECT_FALSE(PolygonConstructor::isCollecting());
    }

    // The turned box: (1, 0) to (1, 2) and back by the depth, so its bounds run from x 0 to 1.
    PrimitiveList box;
    ASSERT_TRUE(element(guidOf(0))->collectShape(box, false));
    const std::unique_ptr<Cube> bounds = box.front()->getBounds();
    EXPECT_NEAR(bounds->getMinimum().getX(), 0.0, 1e-9);
    EXPECT_NEAR(bounds->getMaximum().getX(), 1.0, 1e-9);
    EXPECT_NEAR(bounds->getMaximum().getY(), 2.0, 1e-9);

    PrimitiveList zone;
    ASSERT_TRUE(element(zoneGuid_)->collectShape(zone, false));
    const auto* hatch = dynamic_cast<const PrimitiveHatch*>(zone.front().get());
    ASSERT_NE(hatch, nullptr);
    EXPECT_EQ(hatch->getSize(), 6u);
    EXPECT_TRUE(hatch->isHit(CadPoint(1, 3), 1e-5));
    EXPECT_FALSE(hatch->isHit(CadPoint(3, 3), 1e-5));   // the L's missing corner
    EXPECT_EQ(dynamic_cast<const PrimitiveText&>(*zone.back()).getView(), "Hall");
}

TEST_F(ShapeCollectionFixture, CollectsALibraryPartShapeAndReportsAHostFailure) {
    // The chair's part as placed: twice the part's width, its depth, in the part's own frame.
    auto chair = element(guidOf(1));
    auto* component = dynamic_cast<ComponentElem*>(chair.get());
    ASSERT_NE(component, nullptr);
    PrimitiveList primitives;
    EXPECT_TRUE(component->collectShape(primitives, 0, false));
    EXPECT_EQ(kinds(primitives), "GPP");
    EXPECT_NEAR(primitives.front()->getBounds()->getMaximum().getX(), 1.0, 1e-9);
    EXPECT_NEAR(primitives.front()->getBounds()->getMaximum().getY(), 0.6, 1e-9);
    primitives.clear();

    // A placed element whose head names nothing the host has: false, and nothing collected.
    RecordElement missing(*element(guidOf(kLampIndex))->getHostElement(), ElementLink());
    missing.getMutableTypeRecord().guid = host::toGuidRecord(host::newGuidBytes());
    EXPECT_FALSE(missing.collectShape(primitives, false));
    EXPECT_TRUE(primitives.empty());
    EXPECT_FALSE(PolygonConstructor::isCollecting());

    // The part's own shape: its A by B rectangle as one closed polygon and two hotspots.
    const host::GuidRecord none{};
    PolygonConstructor::beginCollect(primitives, false);
    EXPECT_EQ(tarnwick::hostApi().call<host::HostSlot::drawLibraryPartShape>(
                  partIndex_, &none, std::int16_t{0}, &PolygonConstructor::shapePrimitiveCallback),
              0u);
    PolygonConstructor::endCollect();
    EXPECT_EQ(kinds(primitives), "GPP");
    const auto& rectangle = dynamic_cast<const PrimitivePolygon&>(*primitives.front());
    EXPECT_TRUE(rectangle.isClosed());
    EXPECT_EQ(rectangle.getSize(), 4u);
    EXPECT_NEAR(rectangle.getBounds()->getMaximum().getY(), 0.6, 1e-9);
}
