#include "Project/CutPlane.h"

#include <cstring>
#include <vector>

#include <HostMarkers.h>
#include <HostResult.h>

#include "Foundation/Memory.h"
#include "Project/CutPlaneReference.h"
#include "Project/ElementLinkList.h"
#include "Project/ElementMemoStore.h"
#include "Project/Elevation.h"
#include "Project/Section.h"
#include "Support/DrawingFixture.h"

namespace {

using tarnwick::CadPoint;
using tarnwick::CutPlaneReference;
using tarnwick::ElementLink;

// Beside the fixture's plan: the marker of the fixture's section on the first storey (line (0,0) to
// (4,0), looking to +y), an elevation marker naming the same view, and a section marker of another view.
class CutPlaneTest : public DrawingFixture {
protected:
    void SetUp() override {
        DrawingFixture::SetUp();
        registerRecordElements();
        for (std::uint16_t type : {host::kElementSectionMarker, host::kElementElevationMarker})
            tarnwick::Drawing::registerCreator(type, &CutPlaneReference::create, false);
        host::SimProject& project = host_->project();
        marker_ = addMarker(project, host::kElementSectionMarker, sectionGuid_, {{0, 0}, {4, 0}}, {{2, 1}});
        addMarker(project, host::kElementElevationMarker, sectionGuid_, {{0, 0}, {1, 0}}, {});
        addMarker(project, host::kElementSectionMarker, host::newGuidBytes(), {{9, 9}, {9, 5}}, {});
    }

    using Points = std::vector<std::pair<double, double>>;
    host::GuidBytes addMarker(host::SimProject& project, std::int32_t type, host::GuidBytes view,
                              const Points& line, const Points& distance) {
        host::SimElement element;
        host::ElementHead head{};
        head.type = type;
        head.guid = host::toGuidRecord(host::newGuidBytes());
        head.storey = 1;   // level 3.0
        head.layer = 1;
        element.setHead(head);
        const host::GuidRecord viewGuid = host::toGuidRecord(view);
        std::memcpy(element.record.data() + host::kMarkerViewGuidOffset, &viewGuid, sizeof viewGuid);
        const host::GuidRecord shown = host::toGuidRecord(guidOf(0));
        std::memcpy(element.record.data() + host::kMarkerElementGuidOffset, &shown, sizeof shown);
        const double elevation = 4.0;
        std::memcpy(element.record.data() + host::kMarkerElevationOffset, &elevation, sizeof elevation);
        setCounts(element, static_cast<std::uint16_t>(line.size()),
                  static_cast<std::uint16_t>(distance.size()));
        element.memo.parts[offsetof(host::ElementMemo, sectionLineCoords)] = bytesOf(line);
        if (!distance.empty())
            element.memo.parts[offsetof(host::ElementMemo, sectionDistanceCoords)] = bytesOf(distance);
        project.state.elements.push_back(element);
        return element.guid();
    }
    static void setCounts(host::SimElement& element, std::uint16_t line, std::uint16_t distance) {
        std::memcpy(element.record.data() + host::kMarkerLineCountOffset, &line, 2);
        std::memcpy(element.record.data() + host::kMarkerDistanceCountOffset, &distance, 2);
    }
    static std::vector<unsigned char> bytesOf(const Points& points) {
        std::vector<unsigned char> bytes(points.size() * 16);
        for (std::size_t i = 0; i < points.size(); ++i) {
            std::memcpy(bytes.data() + i * 16, &points[i].first, 8);
            std::memcpy(bytes.data() + i * 16 + 8, &points[i].second, 8);
        }
        return bytes;
    }
    host::SimElement& simMarker() { return *host_->project().findElement(marker_); }
    tarnwick::Section& section() {
        return *project().getSection(tarnwick::Guid(host::toGuidRecord(sectionGuid_)));
    }

    host::GuidBytes marker_{};
};

TEST_F(CutPlaneTest, ASectionFindsItsOwnMarkerWithItsSectionLine) {
    std::unique_ptr<CutPlaneReference> marker = section().findMarker();
    ASSERT_NE(marker, nullptr);
    EXPECT_EQ(marker->getGuid(), tarnwick::Guid(host::toGuidRecord(marker_)));   // not the elevation marker
    ASSERT_NE(marker->getLinePolygon(), nullptr);
    EXPECT_EQ(marker->getPointCounts(), (std::array<std::uint16_t, 3>{2, 1, 0}));
    EXPECT_EQ(marker->getViewGuid(), section().getGuid());
    EXPECT_EQ(marker->getLinkedElement().getGuid(), tarnwickGuid(0));
    EXPECT_DOUBLE_EQ(marker->getElevation(true), 4.0);
    EXPECT_DOUBLE_EQ(marker->getElevation(false), 1.0);   // above the first storey's level
    const CadPoint position = marker->getPosition();
    EXPECT_DOUBLE_EQ(position.getZ(), 4.0);
    EXPECT_FALSE(marker->isOnNegativeSide());   // the distance point lies left of the line
    EXPECT_NEAR(marker->getDirection(), 3.14159265358979, 1e-9);
    // No marker of the view: nothing.
    host_->project().state.elements.erase(host_->project().state.elements.begin() + 6);
    EXPECT_EQ(section().findMarker(), nullptr);
}

TEST_F(CutPlaneTest, AMovedMarkerTakesAllItsPointsAndItsCountsToTheHost) {
    std::unique_ptr<CutPlaneReference> marker = section().findMarker();
    ASSERT_NE(marker, nullptr);
    marker->setElevation(3.0, /*absolute=*/false);
    EXPECT_DOUBLE_EQ(marker->getElevation(true), 6.0);
    EXPECT_DOUBLE_EQ(marker->getElevation(false), 3.0);
    auto line = std::make_unique<tarnwick::CadPolygon>(0, 0, false);
    for (double x : {0.0, 2.0, 4.0}) line->append(tarnwick::PolyPoint(CadPoint(x, 0.0)));
    marker->setLinePolygon(std::move(line));
    marker->setPosition(CadPoint(10.0, 1.0, 5.0));
    ASSERT_EQ(inCommand([&] { return plan().storeElement(*marker, false, true); }), host::kNoError);
    std::unique_ptr<CutPlaneReference> again = section().findMarker();
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->getPointCounts(), (std::array<std::uint16_t, 3>{3, 1, 0}));
    EXPECT_DOUBLE_EQ(again->getLinePolygon()->getPoint(2).point.getX(), 14.0);
    EXPECT_DOUBLE_EQ(again->getDistancePolygon()->getPoint(0).point.getX(), 12.0);   // moved along
    EXPECT_DOUBLE_EQ(again->getDistancePolygon()->getPoint(0).point.getY(), 2.0);
    EXPECT_DOUBLE_EQ(again->getElevation(true), 5.0);
}

TEST_F(CutPlaneTest, APolygonChangedInPlaceIsStored) {
    std::unique_ptr<CutPlaneReference> marker = section().findMarker();
    ASSERT_NE(marker, nullptr);
    tarnwick::CadPolygon* distance = marker->getDistancePolygon();
    ASSERT_NE(distance, nullptr);
    distance->setPoint(0, tarnwick::PolyPoint(CadPoint(3.0, 4.0)));
    ASSERT_EQ(inCommand([&] { return plan().storeElement(*marker, false, true); }), host::kNoError);
    const std::unique_ptr<const CutPlaneReference> again = section().findMarker();
    ASSERT_NE(again, nullptr);
    EXPECT_DOUBLE_EQ(again->getDistancePolygon()->getPoint(0).point.getY(), 4.0);
}

TEST_F(CutPlaneTest, AMarkerMadeWithoutItsMemoLoadsItsUserDataWithItsLine) {
    simMarker().userData = host::SimUserData{1, 0, 0, {'m'}};
    tarnwick::Element::memoLoadingSuspended = 1;
    std::unique_ptr<CutPlaneReference> marker = section().findMarker();
    tarnwick::Element::memoLoadingSuspended = 0;
    ASSERT_NE(marker, nullptr);
    ASSERT_FALSE(marker->isUserDataLoaded());
    ASSERT_NE(marker->getLinePolygon(), nullptr);
    EXPECT_TRUE(marker->isUserDataLoaded());
}

TEST_F(CutPlaneTest, AMarkerMadeFromARecordAndAMemoReadsItsLineFromThatMemo) {
    host::SimElement given = simMarker();
    setCounts(given, 3, 0);
    host::ElementRecord record{};
    std::memcpy(&record, given.record.data(), sizeof record);
    auto memo = std::make_unique<tarnwick::ElementMemoStore>();
    const std::vector<unsigned char> line = bytesOf({{1, 1}, {5, 1}, {7, 1}});
    *memo->sectionLineCoords() = tarnwick::ptrToHandle(line.data(), line.size());
    ElementLink link(tarnwick::Guid(host::toGuidRecord(marker_)), &plan());
    host_->clearCalls();
    const std::unique_ptr<tarnwick::Element> made = tarnwick::Drawing::makeElement(record, link, memo);
    auto* marker = dynamic_cast<CutPlaneReference*>(made.get());
    ASSERT_NE(marker, nullptr);
    ASSERT_NE(marker->getLinePolygon(), nullptr);
    EXPECT_EQ(marker->getPointCounts(), (std::array<std::uint16_t, 3>{3, 0, 0}));
    EXPECT_DOUBLE_EQ(marker->getLinePolygon()->getPoint(2).point.getX(), 7.0);
    EXPECT_EQ(host_->countCalls(host::HostSlot::getElementMemo), 0u);
}

TEST_F(CutPlaneTest, ANarrowMemoLoadReadsAMissingLineAndKeepsALineSetHere) {
    tarnwick::Element::memoLoadingSuspended = 1;
    std::unique_ptr<CutPlaneReference> marker = section().findMarker();
    tarnwick::Element::memoLoadingSuspended = 0;
    ASSERT_NE(marker, nullptr);
    ASSERT_FALSE(marker->isLoaded());
    host_->clearCalls();
    std::unique_ptr<tarnwick::ElementMemoStore> store;
    marker->loadMemo(host::kMemoParameters, store);   // the line comes with it, in the same call
    EXPECT_EQ(host_->countCalls(host::HostSlot::getElementMemo), 1u);
    EXPECT_EQ(marker->getPointCounts(), (std::array<std::uint16_t, 3>{2, 1, 0}));
    EXPECT_EQ(host_->countCalls(host::HostSlot::getElementMemo), 1u);
    auto line = std::make_unique<tarnwick::CadPolygon>(0, 0, false);
    for (double x : {0.0, 2.0, 4.0}) line->append(tarnwick::PolyPoint(CadPoint(x, 0.0)));
    marker->setLinePolygon(std::move(line));
    store.reset();
    marker->loadMemo(host::kMemoParameters, store);
    EXPECT_TRUE(marker->isChanged());
    EXPECT_EQ(marker->getPointCounts()[0], 3u);
}

TEST_F(CutPlaneTest, ReadsNoMoreLinePointsThanTheMemoHolds) {
    setCounts(simMarker(), 5, 1);   // the record says 5; the memo holds 2
    std::unique_ptr<CutPlaneReference> marker = section().findMarker();
    ASSERT_NE(marker, nullptr);
    EXPECT_EQ(marker->getPointCounts()[0], 2u);
    setCounts(simMarker(), 1, 1);   // a line of one point is no line
    marker = section().findMarker();
    ASSERT_NE(marker, nullptr);
    EXPECT_EQ(marker->getLinePolygon(), nullptr);
    EXPECT_EQ(marker->getDistancePolygon(), nullptr);
    std::uint64_t mask = 1;
    EXPECT_EQ(marker->getMemo(mask), nullptr);   // nothing valid to write
    EXPECT_EQ(mask, 0u);
}

TEST_F(CutPlaneTest, FindsItsOwnLinksOfModelElementsOnceForEachTimeAsked) {
    const ElementLink object(tarnwickGuid(0), &plan());
    const ElementLink found = section().findInView(object);
    EXPECT_EQ(found.getGuid(), tarnwickGuid(0));
    EXPECT_EQ(found.getSecondGuid(), tarnwickGuid(kSectionElementIndex));   // the section element
    EXPECT_FALSE(section().findInView(ElementLink(tarnwickGuid(1), &plan())).getGuid().isValid());
    tarnwick::ElementLinkList in(3);
    in.append(object);
    in.append(object);
    in.append(ElementLink(tarnwickGuid(2), &plan()));   // not shown in the section
    tarnwick::ElementLinkList out(3);
    host_->clearCalls();
    EXPECT_EQ(section().findInView(in, out), 2u);
    EXPECT_EQ(out.size(), 2u);
    EXPECT_EQ(host_->countCalls(host::HostSlot::changeElement), 0u);   // a look-up writes nothing
}

TEST_F(CutPlaneTest, SelectsModelElementsThroughTheSectionElementsThatShowThem) {
    tarnwick::ElementLinkList links;
    links.append(ElementLink(tarnwickGuid(0), &plan()));
    ASSERT_TRUE(section().select(links));
    host::SimProject& sim = host_->project();
    const host::SimSelection& selected =
        sim.viewOf(host::SimProject::keyOf(*sim.findDatabase(host::kDatabaseSection, sectionGuid_)))
            .selection;
    ASSERT_EQ(selected.elements.size(), 1u);
    EXPECT_EQ(selected.elements[0], guidOf(kSectionElementIndex));
    const tarnwick::ElementLinkList* kept = section().getSelection();   // the list given, unmarked
    ASSERT_TRUE(kept != nullptr && kept->size() == 1);
    EXPECT_EQ(kept->back()->getGuid(), tarnwickGuid(0));
    EXPECT_FALSE(kept->back()->getSecondGuid().isValid());
    ASSERT_TRUE(section().deselect(links));
    EXPECT_TRUE(selected.elements.empty());
    ASSERT_TRUE(section().addToSelection(links));
    EXPECT_EQ(selected.elements.size(), 1u);
}

TEST_F(CutPlaneTest, APlanSelectsTheModelElementOfALinkFoundInASection) {
    const tarnwick::Drawing::Filter objects(host::kElementObject, false, 1, false);
    auto it = section().begin(false, objects);
    ASSERT_FALSE(it.atEnd());
    const ElementLink found = it->getLink();   // in the plan, marked with the section element
    ASSERT_EQ(found.getSecondTypeId(), ElementLink::kSectionElementType);
    ASSERT_EQ(found.getDrawing(), &plan());
    tarnwick::ElementLinkList links;
    links.append(found);
    const host::SimSelection& selected = host_->project().viewOf({host::kDatabasePlan, {}}).selection;
    ASSERT_TRUE(plan().select(links));
    EXPECT_EQ(selected.elements, std::vector<host::GuidBytes>{guidOf(0)});
    ASSERT_TRUE(plan().deselect(links));
    EXPECT_TRUE(selected.elements.empty());
    ASSERT_TRUE(plan().addToSelection(found));
    EXPECT_EQ(selected.elements, std::vector<host::GuidBytes>{guidOf(0)});
    // These two give the section element wherever they run: the plan does not have it.
    EXPECT_FALSE(plan().deselect(found));
    EXPECT_EQ(plan().getLastHostResult(), host::kErrBadIndex);
    EXPECT_EQ(selected.elements.size(), 1u);
}

}   // namespace
