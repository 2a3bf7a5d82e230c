// The element memos that need no host: gables and polygons, written into and read back from a memo store.
#include <cmath>
#include <cstring>
#include <numbers>
#include <vector>

#include <gtest/gtest.h>

#include "Elements/GableMemo.h"
#include "Elements/PolygonConstructor.h"
#include "Elements/PolygonMemo.h"
#include "Foundation/Memory.h"
#include "Foundation/TracedException.h"
#include "Project/ElementMemoStore.h"
#include "Support/DrawingFixture.h"

namespace {

using tarnwick::CadPoint;
using tarnwick::CadPolygon;
using tarnwick::ElementMemoStore;
using tarnwick::Gable;
using tarnwick::PolyPoint;

// A gable memo that loads nothing by itself: what it holds comes from read.
class TestGables : public tarnwick::GableMemo {
public:
    bool load(std::uint64_t, std::unique_ptr<tarnwick::MemoStore>&) override {
        ElementMemoStore empty;
        return read(empty);
    }
};

// A polygon memo reading the counts a zone record would give.
class TestPolygon : public tarnwick::PolygonMemo {
public:
    bool load(std::uint64_t, std::unique_ptr<tarnwick::MemoStore>&) override { return false; }
    host::PolygonCounts getReadCounts() const override { return readCounts; }
    host::PolygonCounts readCounts{};
};

std::unique_ptr<Gable> gableOf(unsigned char fill) {
    auto gable = std::make_unique<Gable>();
    gable->getRecord().fill(fill);
    return gable;
}

template <typename T>
std::vector<T> entries(host::Handle handle) {
    std::vector<T> values(tarnwick::getHandleSize(handle) / sizeof(T));
    if (!values.empty()) std::memcpy(values.data(), *handle, values.size() * sizeof(T));
    return values;
}

CadPolygon square(double x, double y, double size, std::uint32_t firstId) {
    CadPolygon polygon(4);
    polygon.append(PolyPoint(CadPoint(x, y, 0), 0.0, firstId));
    polygon.append(PolyPoint(CadPoint(x + size, y, 0), 0.0, firstId + 1));
    polygon.append(PolyPoint(CadPoint(x + size, y + size, 0), 0.0, firstId + 2));
    polygon.append(PolyPoint(CadPoint(x, y + size, 0), 0.0, firstId + 3));
    return polygon;
}

// The stores release their handles through the host: the fixture binds one.
class ElementMemoTest : public DrawingFixture {};

TEST_F(ElementMemoTest, GablesGoThroughTheMemoInOrderAndIndexErrorsThrow) {
    TestGables gables;
    EXPECT_EQ(gables.getCount(), 0u);   // a memo without gable handle: an empty, loaded list
    EXPECT_TRUE(gables.isLoaded());
    gables.addGable(gableOf(1));
    gables.insertGable(gableOf(2), 0);
    gables.setGable(gableOf(3), 7);   // past the end: appended
    ASSERT_EQ(gables.getCount(), 3u);
    EXPECT_THROW(gables.getGable(3), tarnwick::TracedException);
    gables.deleteGable(3);   // at the count: nothing
    EXPECT_THROW(gables.deleteGable(4), tarnwick::TracedException);

    ElementMemoStore store;
    ASSERT_TRUE(gables.write(store));
    TestGables back;
    ASSERT_TRUE(back.read(store));
    ASSERT_EQ(back.getCount(), 3u);
    EXPECT_EQ(back.getGable(0)->getRecord()[0], 2);
    EXPECT_EQ(back.getGable(1)->getRecord()[95], 1);
    EXPECT_EQ(back.getGable(2)->getRecord()[50], 3);

    back.clearValues();
    EXPECT_EQ(back.getCount(), 3u);
    EXPECT_EQ(back.getGable(2)->getRecord()[50], 0);
}

TEST_F(ElementMemoTest, GablesAllDeletedReachTheHostAsAnEmptyHandle) {
    TestGables gables;
    ElementMemoStore empty;
    ASSERT_TRUE(gables.write(empty));   // never had any: nothing written
    EXPECT_EQ(static_cast<const ElementMemoStore&>(empty).gables(), nullptr);

    gables.addGable(gableOf(9));
    ElementMemoStore first;
    ASSERT_TRUE(gables.write(first));
    TestGables placed;
    placed.read(first);
    placed.deleteGable(0);
    ElementMemoStore second;
    ASSERT_TRUE(placed.write(second));
    const host::Handle written = static_cast<const ElementMemoStore&>(second).gables();
    ASSERT_NE(written, nullptr);   // the host learns that the gables went
    EXPECT_EQ(tarnwick::getHandleSize(written), 0u);
}

TEST_F(ElementMemoTest, PolygonWithAHoleAndAnArcRoundTripsThroughTheHostEncoding) {
    CadPolygon outline = square(0, 0, 10, 1);
    PolyPoint arcEnd = outline.getPoint(2);
    arcEnd.angle = std::numbers::pi / 2;   // the edge from vertex 1 to vertex 2 is curved
    outline.setPoint(2, arcEnd);
    outline.addHole(square(2, 2, 2, 5));
    outline.setCounter(8);
    TestPolygon memo;
    memo.setPolygon(outline);

    ElementMemoStore store;
    ASSERT_TRUE(memo.write(store));
    const host::PolygonCounts counts = memo.getWriteCounts();
    EXPECT_EQ(counts.coordinates, 10);
    EXPECT_EQ(counts.contours, 2);
    EXPECT_EQ(counts.arcs, 1);
    const ElementMemoStore& read = store;
    EXPECT_EQ(entries<std::int32_t>(read.pends()), (std::vector<std::int32_t>{0, 5, 10}));
    const auto arcs = entries<host::PolygonArc>(read.parcs());
    ASSERT_EQ(arcs.size(), 1u);
    EXPECT_EQ(arcs[0].begin, 2);
    EXPECT_EQ(arcs[0].end, 3);
    const auto coords = entries<host::PolygonCoord>(read.coords());
    ASSERT_EQ(coords.size(), 11u);
    EXPECT_DOUBLE_EQ(coords[5].x, coords[1].x);   // the contour closes on its first vertex
    EXPECT_EQ(entries<std::uint32_t>(read.vertexIDs()).at(0), 8u);

    TestPolygon back;
    back.readCounts = counts;
    ASSERT_TRUE(back.read(store));
    const CadPolygon* polygon = back.getPolygon();
    ASSERT_NE(polygon, nullptr);
    ASSERT_EQ(polygon->getSize(), 4u);
    ASSERT_EQ(polygon->getHoleCount(), 1u);
    // The vertex the host listed second comes first; ids and the arc stay on their vertices.
    EXPECT_DOUBLE_EQ(polygon->getPoint(0).point.getX(), 10.0);
    EXPECT_EQ(polygon->getPoint(0).id, 2u);
    EXPECT_NEAR(polygon->getPoint(1).angle, std::numbers::pi / 2, 1e-12);
    EXPECT_EQ(polygon->getPoint(3).id, 1u);
    EXPECT_EQ(polygon->getCounter(), 8u);
    EXPECT_NEAR(polygon->getArea(true, true), outline.getArea(true, true), 1e-9);
}

TEST_F(ElementMemoTest, InconsistentPolygonDataGivesNoPolygon) {
    TestPolygon memo;
    memo.setPolygon(square(0, 0, 1, 0));
    ElementMemoStore store;
    ASSERT_TRUE(memo.write(store));
    const host::PolygonCounts good = memo.getWriteCounts();
    struct Case {
        const char* what;
        host::PolygonCounts counts;
        std::int32_t lastEnd;
    } cases[] = {{"a contour past the coordinates", good, 9},
                 {"more contours than ends", {good.coordinates, 3, 0, {}}, 5},
                 {"no coordinates counted", {0, 1, 0, {}}, 5},
                 {"arcs counted without arcs", {good.coordinates, 1, 2, {}}, 5}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ElementMemoStore& changed = store;
        reinterpret_cast<std::int32_t*>(*changed.getMemo()->pends)[1] = c.lastEnd;
        TestPolygon back;
        back.readCounts = c.counts;
        EXPECT_FALSE(back.read(store));
        EXPECT_EQ(back.getPolygon(), nullptr);
    }
}

TEST_F(ElementMemoTest, PolygonConstructorLeavesTheHandlesToTheCaller) {
    TestPolygon memo;
    memo.setPolygon(square(1, 1, 3, 0));
    ElementMemoStore store;
    ASSERT_TRUE(memo.write(store));
    host::ElementMemo* raw = store.getMemo();
    tarnwick::PolygonConstructor constructor;
    const std::unique_ptr<CadPolygon> polygon =
        constructor.fromElement(memo.getWriteCounts(), raw->coords, raw->pends, raw->parcs);
    ASSERT_NE(polygon, nullptr);
    EXPECT_NEAR(polygon->getArea(true, true), 9.0, 1e-9);
    EXPECT_NE(raw->coords, nullptr);   // still the store's, released with it
}

}   // namespace
