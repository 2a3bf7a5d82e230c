// What elements learn from the host about each other: zones, relations, links, quantities, section
// elements and placement, on the fixture project with two zones added.
#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include <HostElementRecords.h>
#include <HostResult.h>

#include "Elements/Composite.h"
#include "Elements/Door.h"
#include "Elements/ElementQuantity.h"
#include "Elements/ElevationReference.h"
#include "Elements/ProxyElem.h"
#include "Elements/RelatedZones.h"
#include "Elements/SectionReference.h"
#include "Environment/Host.h"
#include "LibraryParts/FamilyGuid.h"
#include "Project/AttributeFixture.h"
#include "Project/ElementLinkList.h"
#include "Project/Section.h"

namespace {

using tarnwick::Drawing;
using tarnwick::Element;
using tarnwick::ElementLink;

// An element built of skins, the fixture's composite "Brick" (index 3) its fill.
class LayeredElement : public RecordElement {
public:
    using RecordElement::RecordElement;
    std::int32_t getStructureKind() const override { return 1; }
    std::unique_ptr<tarnwick::Attribute> getFill(std::int32_t part) override {
        if (part != 1) return nullptr;
        return std::make_unique<tarnwick::Composite>(
            tarnwick::AttributeLink(std::int16_t{3}, tarnwick::AttributeType::composite));
    }
};

class ElementRelationsTest : public AttributeFixture {
protected:
    void SetUp() override {
        AttributeFixture::SetUp();
        // Zone A holds objects 0 and 1 on the ground floor; zone B holds object 1 and, reaching one
        // storey up, object 2. The lamp (x 5) and the door (x 0) stand in neither.
        zoneA_ = addZone(0.5, 2.5, 0);
        zoneB_ = addZone(1.5, 4.5, 1);
        registerRecordElements();
        Drawing::registerCreator(host::kElementZone, &RecordElement::create, false);
    }

    host::GuidBytes addZone(double left, double right, std::int16_t upper, double bottom = -1,
                            double top = 1) {
        host::SimElement zone;
        host::ElementHead head{};
        head.type = host::kElementZone;
        head.guid = host::toGuidRecord(host::newGuidBytes());
        head.layer = 1;
        zone.setHead(head);
        std::memcpy(zone.record.data() + host::kZoneUpperStoreyOffset, &upper, sizeof upper);
        const host::PolygonCoord coords[] = {{0, 0},       {left, bottom}, {right, bottom},
                                             {right, top}, {left, top},    {left, bottom}};
        const std::int32_t ends[] = {0, 5};
        auto bytes = [](const auto& array) {
            const auto* begin = reinterpret_cast<const unsigned char*>(&array);
            return std::vector<unsigned char>(begin, begin + sizeof array);
        };
        zone.memo.parts[offsetof(host::ElementMemo, coords)] = bytes(coords);
        zone.memo.parts[offsetof(host::ElementMemo, pends)] = bytes(ends);
        host_->project().state.elements.push_back(zone);
        return zone.guid();
    }

    std::unique_ptr<Element> element(int index) {
        return plan().getElement(ElementLink(tarnwickGuid(index), &plan()));
    }
    static tarnwick::Guid guid(const host::GuidBytes& bytes) {
        return tarnwick::Guid(host::toGuidRecord(bytes));
    }

    std::vector<tarnwick::Guid> zonesOf(int index) {
        std::vector<tarnwick::Guid> guids;
        if (const tarnwick::ElementLinkList* zones = element(index)->getRelatedZones())
            for (const auto& link : *zones) guids.push_back(link->getGuid());
        return guids;
    }

    host::GuidBytes zoneA_{}, zoneB_{};
};

TEST_F(ElementRelationsTest, KnowsTheZonesAnElementLiesInInTheOrderTheZonesWereWalked) {
    // The zones are walked on the Plan; the database the user has current stays so.
    tarnwick::Section* section = project().getSection(guid(sectionGuid_));
    ASSERT_NE(section, nullptr);
    const std::unique_ptr<Element> asked = element(1);
    ASSERT_TRUE(project().setCurrentDatabase(section));
    ASSERT_NE(asked->getRelatedZones(), nullptr);
    EXPECT_EQ(project().getCurrentDatabase(), section);
    EXPECT_EQ(zonesOf(1), (std::vector<tarnwick::Guid>{guid(zoneA_), guid(zoneB_)}));
    EXPECT_EQ(zonesOf(0), (std::vector<tarnwick::Guid>{guid(zoneA_)}));
    EXPECT_EQ(zonesOf(2), (std::vector<tarnwick::Guid>{guid(zoneB_)}));   // one storey up
    EXPECT_TRUE(zonesOf(kLampIndex).empty());
    // Each zone keeps its elements of every type as it filed them.
    tarnwick::RelatedZones& index = project().getRelatedZones();
    const tarnwick::ElementLinkList* inA = index.getElements(ElementLink(guid(zoneA_), &plan()), 0);
    ASSERT_NE(inA, nullptr);
    EXPECT_EQ(inA->size(), 2u);
    EXPECT_EQ(index.getElements(ElementLink(tarnwickGuid(0), &plan()), 0), nullptr);   // not a zone
    // Asked once per zone: a second question is answered from the index.
    host_->clearCalls();
    zonesOf(0);
    EXPECT_EQ(host_->countCalls(host::HostSlot::getElementRelations), 0u);
}

TEST_F(ElementRelationsTest, PartEntriesFromAboveTheZoneAreLinkedWithoutADrawing) {
    // The lamp moves into zone A, on the zone's own storey: a part entry made in the Drawing.
    host::SimElement& lamp = host_->project().state.elements[kLampIndex];
    host::ElementHead head = lamp.head();
    head.storey = 0;
    lamp.setHead(head);
    const double inA = 1.0;
    std::memcpy(lamp.record.data() + host::kObjectPositionOffset, &inA, sizeof inA);
    EXPECT_EQ(zonesOf(kLampIndex), (std::vector<tarnwick::Guid>{guid(zoneA_)}));
    EXPECT_EQ(zonesOf(2), (std::vector<tarnwick::Guid>{guid(zoneB_)}));
    tarnwick::RelatedZones& index = project().getRelatedZones();
    const auto drawingOf = [&](const host::GuidBytes& zone, int element) -> const Drawing* {
        for (const auto& link : *index.getElements(ElementLink(guid(zone), &plan()), 0))
            if (link->getGuid() == tarnwickGuid(element)) return link->getDrawing();
        ADD_FAILURE() << "element " << element << " not filed";
        return nullptr;
    };
    EXPECT_EQ(drawingOf(zoneA_, kLampIndex), &plan());
    EXPECT_EQ(drawingOf(zoneB_, 1), &plan());
    EXPECT_EQ(drawingOf(zoneB_, 2), nullptr);   // one storey up
}

TEST_F(ElementRelationsTest, AnElementTheDrawingCannotReadIsListedAsNothingAndGivenNoZone) {
    host_->injectFault({host::HostSlot::getElementHead, std::nullopt}, 0, host::kErrBadIndex);
    tarnwick::RelatedZones& index = project().getRelatedZones();
    for (const host::GuidBytes& zone : {zoneA_, zoneB_})
        index.addZone(&plan(), ElementLink(guid(zone), nullptr), 0);
    const tarnwick::ElementLinkList* inA = index.getElements(ElementLink(guid(zoneA_), nullptr), 0);
    ASSERT_NE(inA, nullptr);
    ASSERT_EQ(inA->size(), 2u);   // one link per guid the host listed
    for (const auto& link : *inA) EXPECT_FALSE(link->hasGuid());
    EXPECT_EQ(index.getRelated(ElementLink()), nullptr);   // not the zones of the unread ones
    // Linked without the Drawing, the part entries from the storey above keep their element.
    const tarnwick::ElementLinkList* zones = index.getRelated(ElementLink(tarnwickGuid(2), nullptr));
    ASSERT_NE(zones, nullptr);
    ASSERT_EQ(zones->size(), 1u);
    EXPECT_EQ(zones->at(0)->getGuid(), guid(zoneB_));
}

TEST_F(ElementRelationsTest, LeavesOutAZoneTheHostCannotAnswerFor) {
    host_->injectFault({host::HostSlot::getElementRelations, std::nullopt}, 1, host::kErrBadIndex);
    EXPECT_TRUE(zonesOf(0).empty());
    EXPECT_EQ(zonesOf(1), (std::vector<tarnwick::Guid>{guid(zoneB_)}));
}

TEST_F(ElementRelationsTest, WithoutAProjectNoElementHasZonesAndNothingIsFiled) {
    const std::unique_ptr<Element> inA = element(0);
    tarnwick::RelatedZones index;
    host_->closeProject();
    tarnwick::Host::reset();   // what the add-on does when it hears of the closing
    host_->clearCalls();
    EXPECT_EQ(inA->getRelatedZones(), nullptr);
    EXPECT_EQ(index.getRelated(ElementLink(tarnwickGuid(0), nullptr)), nullptr);
    EXPECT_EQ(index.getRelated(ElementLink(tarnwickGuid(1), nullptr)), nullptr);
    EXPECT_EQ(host_->countCalls(host::HostSlot::getElementRelations), 0u);
    host_->openProject();
    tarnwick::Host::reset();
    EXPECT_EQ(index.getElements(ElementLink(guid(zoneA_), &plan()), 0), nullptr) << "no zone was filed";
    EXPECT_EQ(zonesOf(0), (std::vector<tarnwick::Guid>{guid(zoneA_)}));
}

TEST_F(ElementRelationsTest, AnOpeningKnowsTheZonesOnTheSidesOfItsWall) {
    host::SimElement& stored = host_->project().state.elements[kDoorIndex];
    const auto doorAt = [&](double position) {
        std::memcpy(stored.record.data() + host::kOpeningPositionOffset, &position, sizeof position);
        host::ElementRecord record{};
        std::memcpy(&record, stored.record.data(), sizeof record);
        return tarnwick::Door(record, ElementLink(tarnwickGuid(kDoorIndex), &plan()));
    };
    const tarnwick::Door inZone = doorAt(1.0);
    for (const ElementLink& zone : {inZone.getFirstZone(), inZone.getSecondZone()}) {
        EXPECT_EQ(zone.getGuid(), guid(zoneA_));
        EXPECT_EQ(zone.getDrawing(), nullptr);
    }
    EXPECT_FALSE(doorAt(-3.0).getFirstZone().hasGuid());   // in no zone
    const host::GuidBytes above = addZone(-6.0, -4.0, 0, /*bottom=*/0.0, /*top=*/1.0);
    const tarnwick::Door belowNone = doorAt(-5.0);
    EXPECT_FALSE(belowNone.getFirstZone().hasGuid());
    EXPECT_EQ(belowNone.getSecondZone().getGuid(), guid(above));
    host_->injectFault({host::HostSlot::getElementRelations, std::nullopt}, 0, host::kErrBadIndex);
    EXPECT_FALSE(inZone.getSecondZone().hasGuid());
}

TEST_F(ElementRelationsTest, AnElementTheHostListsTwiceInAZoneGetsThatZoneOnce) {
    auto& elements = host_->project().state.elements;
    elements.push_back(elements[0]);   // the host's record names object 0 twice for zone A
    EXPECT_EQ(zonesOf(0), (std::vector<tarnwick::Guid>{guid(zoneA_)}));
    const tarnwick::ElementLinkList* inA =
        project().getRelatedZones().getElements(ElementLink(guid(zoneA_), &plan()), 0);
    ASSERT_NE(inA, nullptr);
    EXPECT_EQ(inA->size(), 3u);   // the zone keeps what the host listed
}

TEST_F(ElementRelationsTest, FindsATypeKeyWhoseVariationIsZeroOnEitherSide) {
    tarnwick::RelatedZones::ZoneElements zone;
    tarnwick::ElementLinkList list;
    list.append(ElementLink(tarnwickGuid(0), &plan()));
    zone.set(0x0306, list);   // type 6, variation 3
    EXPECT_NE(tarnwick::RelatedZones::findByType(zone, 0x0006), nullptr);
    EXPECT_EQ(tarnwick::RelatedZones::findByType(zone, 0x0406), nullptr);
    tarnwick::RelatedZones::ZoneElements any;
    any.set(0x0006, list);
    EXPECT_NE(tarnwick::RelatedZones::findByType(any, 0x0306), nullptr);
    EXPECT_EQ(tarnwick::RelatedZones::findByType(any, 0x0007), nullptr);
}

TEST_F(ElementRelationsTest, CopiesRelationsAndLinksWithTheirValues) {
    auto& state = host_->project().state;
    state.relations = {{guidOf(0), guidOf(1), 3, 4},
                       {guidOf(0), guidOf(kDoorIndex), 5, 6},
                       {guidOf(2), guidOf(kLampIndex), 1, 1}};
    state.links = {{guidOf(0), guidOf(1), 7}};
    auto source = element(0);
    auto target = element(2);
    ASSERT_EQ(inCommand([&] { return target->copyRelationsFrom(*source, /*replace=*/true); }),
              host::kNoError);
    const std::vector<host::SimRelation> expected = {{guidOf(0), guidOf(1), 3, 4},
                                                     {guidOf(0), guidOf(kDoorIndex), 5, 6},
                                                     {guidOf(2), guidOf(1), 3, 4},
                                                     {guidOf(2), guidOf(kDoorIndex), 5, 6}};
    EXPECT_EQ(state.relations, expected);

    ASSERT_EQ(inCommand([&] { return element(kDoorIndex)->addRelation(*element(1), 8, 9); }), host::kNoError);
    EXPECT_EQ(state.relations.back(), (host::SimRelation{guidOf(kDoorIndex), guidOf(1), 8, 9}));

    ASSERT_EQ(inCommand([&] { return target->copyLinksFrom(*source); }), host::kNoError);
    EXPECT_EQ(target->getLinkFlags(*element(1)), 7u);
    EXPECT_EQ(target->getLinkFlags(*element(kDoorIndex)), 0u);

    // A relation the host refuses to make is reported, not passed over.
    host_->injectFault({host::HostSlot::createRelation, std::nullopt}, 1, host::kErrBadParameters);
    EXPECT_NE(inCommand([&] { return element(kLampIndex)->copyRelationsFrom(*source, false); }),
              host::kNoError);
    // An element without relations of its own (the lamp, the command undone) takes them all the same.
    ASSERT_EQ(inCommand([&] { return element(kLampIndex)->copyRelationsFrom(*source, false); }),
              host::kNoError);
    EXPECT_EQ(state.relations.back(), (host::SimRelation{guidOf(kLampIndex), guidOf(kDoorIndex), 5, 6}));
}

TEST_F(ElementRelationsTest, AsksForQuantitiesOneFieldAtATime) {
    host::SimElement& object = host_->project().state.elements[1];
    const double size[2] = {1.0, 2.0};
    std::memcpy(object.record.data() + host::kObjectSizeOffset, size, sizeof size);
    object.record[host::kObjectFixedSizeOffset] = 1;
    const ElementLink link(tarnwickGuid(1), &plan());
    tarnwick::ElementQuantity area;
    area.setMask(host::kQuantityMaskObject + 0);
    ASSERT_TRUE(area.request(link));
    EXPECT_DOUBLE_EQ(area.getReal(0), 2.0);
    EXPECT_DOUBLE_EQ(area.getReal(8), 0.0);   // not asked for

    host_->injectFault({host::HostSlot::getElementQuantities, std::nullopt}, 0, host::kErrBadIndex);
    tarnwick::ElementQuantity failed;
    failed.setMask(host::kQuantityMaskObject + 0);
    EXPECT_FALSE(failed.request(link));
    EXPECT_DOUBLE_EQ(failed.getReal(0), 0.0);
}

TEST_F(ElementRelationsTest, ASectionElementGivesBackTheModelElementItShows) {
    Drawing::unregisterCreators();
    Drawing::registerCreators();   // the built-in ones
    Drawing::registerCreator(host::kElementObject, &RecordElement::create, false);
    tarnwick::Section* section = project().getSection(guid(sectionGuid_));
    ASSERT_NE(section, nullptr);
    auto shown = section->getElement(ElementLink(tarnwickGuid(kSectionElementIndex), section));
    auto* proxy = dynamic_cast<tarnwick::ProxyElem*>(shown.get());
    ASSERT_NE(proxy, nullptr);
    const auto source = proxy->getSourceElement();
    ASSERT_NE(source, nullptr);
    EXPECT_EQ(source->getGuid(), tarnwickGuid(0));
    // Only its own type.
    host::ElementRecord object{};
    object.head.type = host::kElementObject;
    ElementLink link;
    EXPECT_EQ(tarnwick::ProxyElem::create(object, link), nullptr);
}

TEST_F(ElementRelationsTest, MovesAnElementToAnotherLayerAndStoreyInOneChange) {
    auto object = element(0);
    const tarnwick::AttributeLink walls(kWalls, tarnwick::AttributeType::layer);
    const tarnwick::AttributeLink first(std::int16_t{1}, tarnwick::AttributeType::none);
    ASSERT_EQ(inCommand([&] { return plan().changePlacement(*object, &walls, &first, nullptr); }),
              host::kNoError);
    EXPECT_EQ(simElement(0).head().layer, kWalls);
    EXPECT_EQ(simElement(0).head().storey, 1);
    EXPECT_EQ(object->getTypeRecord().storey, 1);
    EXPECT_TRUE(plan().changePlacement(*object, nullptr, nullptr, nullptr));   // nothing asked
}

TEST_F(ElementRelationsTest, NamesTheLibraryPartOfAnElementByItsUniqueId) {
    host::SimLibraryPart part;
    part.name = "Chair";
    part.uniqueId = "{11111111-2222-4333-8444-555555555555}-{11111111-2222-4333-8444-666666666666}";
    host_->project().state.libraryParts.push_back(part);
    const std::int32_t index = 1;
    std::memcpy(host_->project().state.elements[0].record.data() + host::kObjectLibraryIndexOffset, &index,
                sizeof index);
    EXPECT_EQ(ElementLink(tarnwickGuid(0), &plan()).getLibPartUniqueId(),
              tarnwick::FamilyGuid(part.uniqueId.c_str()));
    EXPECT_TRUE(ElementLink(tarnwickGuid(1), &plan()).getLibPartUniqueId().isEmpty());   // no part
}

TEST_F(ElementRelationsTest, RelationsAndKindFieldsSurviveTheProjectFile) {
    auto& state = host_->project().state;
    state.relations = {{guidOf(0), guidOf(1), 3, -4}};
    const double lower = 1.5;
    state.elements[0].record[host::kObjectMirroredOffset] = 1;
    host::SimElement marker;
    host::ElementHead head{};
    head.type = host::kElementSectionMarker;
    head.guid = host::toGuidRecord(host::newGuidBytes());
    marker.setHead(head);
    std::memcpy(marker.record.data() + host::kMarkerLowerOffset, &lower, sizeof lower);
    state.elements.push_back(marker);
    const std::string text = host_->project().saveText();
    EXPECT_NE(text.find("\"relations\""), std::string::npos);
    EXPECT_NE(text.find("\"lower\":1.5"), std::string::npos);
    host::SimProject loaded;
    std::string error;
    ASSERT_TRUE(loaded.loadText(text, error)) << error;
    EXPECT_EQ(loaded.state, state);
}

TEST_F(ElementRelationsTest, MarkersAreMadeByTheirOwnCreatorsAndWriteTheirHeightBack) {
    for (const std::int32_t type : {host::kElementSectionMarker, host::kElementElevationMarker,
                                    host::kElementSectionElement, host::kElementObject}) {
        host::ElementRecord record{};
        record.head.type = type;
        ElementLink link;
        EXPECT_EQ(tarnwick::SectionReference::create(record, link) != nullptr,
                  type == host::kElementSectionMarker);
        EXPECT_EQ(tarnwick::ElevationReference::create(record, link) != nullptr,
                  type == host::kElementElevationMarker);
    }
    // An elevation marker from 1.5 up to 4.0, made by the built-in creators.
    Drawing::unregisterCreators();
    Drawing::registerCreators();
    host::SimElement marker;
    host::ElementHead head{};
    head.type = host::kElementElevationMarker;
    head.guid = host::toGuidRecord(host::newGuidBytes());
    marker.setHead(head);
    const double limits[] = {1.5, 4.0};
    std::memcpy(marker.record.data() + host::kMarkerLowerOffset, limits, sizeof limits);
    host_->project().state.elements.push_back(marker);
    auto made = plan().getElement(ElementLink(tarnwick::Guid(head.guid), &plan()));
    auto* elevation = dynamic_cast<tarnwick::ElevationReference*>(made.get());
    ASSERT_NE(elevation, nullptr);
    EXPECT_DOUBLE_EQ(elevation->getHeight(), 2.5);
    elevation->setHeight(elevation->getHeight());
    EXPECT_DOUBLE_EQ(elevation->getHeight(), 2.5);
    elevation->setHeight(3.0);
    ASSERT_EQ(
        inCommand([&] { return plan().storeElement(*elevation, /*create=*/false, /*withMemo=*/false); }),
        host::kNoError);
    double upper = 0.0;
    std::memcpy(&upper, host_->project().state.elements.back().record.data() + host::kMarkerUpperOffset,
                sizeof upper);
    EXPECT_DOUBLE_EQ(upper, 4.5);
    EXPECT_NE(dynamic_cast<tarnwick::ElevationReference*>(elevation->clone().get()), nullptr);
}

TEST_F(ElementRelationsTest, NewMarkersAndProxiesStartFromTheHostsDefaults) {
    const double upper = 6.5;
    const std::uint64_t view = 0x0123'4567'89AB'CDEF;
    for (const std::int32_t type :
         {host::kElementSectionMarker, host::kElementElevationMarker, host::kElementSectionElement}) {
        host::SimToolDefault defaults;
        defaults.record[76] = 7;
        std::memcpy(defaults.record.data() + host::kMarkerUpperOffset, &upper, sizeof upper);
        std::memcpy(defaults.record.data() + host::kMarkerValueOffset, &view, sizeof view);
        host_->project().state.defaults[{type, 0}] = defaults;
    }
    const tarnwick::SectionReference section{ElementLink(host::kElementSectionMarker, 0)};
    const tarnwick::ElevationReference elevation{ElementLink(host::kElementElevationMarker, 0)};
    for (const Element* marker : std::initializer_list<const Element*>{&section, &elevation}) {
        const auto record = marker->getHostElement();
        EXPECT_EQ(record->head.writeNeedsMemo, 1);   // a marker is written with its section line
        double stored = 0.0;
        std::memcpy(&stored, reinterpret_cast<const unsigned char*>(record.get()) + host::kMarkerUpperOffset,
                    sizeof stored);
        EXPECT_DOUBLE_EQ(stored, upper);
    }
    EXPECT_EQ(section.getMarkerValue(), view);   // the cut view's data as the record holds it
    EXPECT_EQ(elevation.getMarkerValue(), view);
    const tarnwick::ProxyElem proxy;
    EXPECT_EQ(proxy.getHostElement()->head.type, host::kElementSectionElement);
    EXPECT_EQ(proxy.getHostElement()->head.writeNeedsMemo, 0);   // it has no memo to write
    std::uint64_t mask = 1;
    EXPECT_EQ(proxy.getMemo(mask), nullptr);
    EXPECT_EQ(mask, 0u);
}

TEST_F(ElementRelationsTest, SumsTheSkinsOfAMaterialAndTakesTheFirstPartOfAPartedElement) {
    host::SimElement& stored = host_->project().state.elements[0];
    const auto skin = [](double volume, double area, std::int16_t material) {
        host::CompositeQuantity made{};
        made.volume = volume;
        made.projectedArea = area;
        made.material = material;
        return made;
    };
    stored.skins = {skin(2.0, 5.0, 7), skin(1.0, 3.0, 8), skin(0.5, 1.0, 7)};
    host::ElementRecord record{};
    std::memcpy(&record, stored.record.data(), sizeof record);
    LayeredElement layered(record, ElementLink(tarnwickGuid(0), &plan()));
    EXPECT_DOUBLE_EQ(layered.getCompositeVolume(7), 2.5);
    EXPECT_DOUBLE_EQ(layered.getCompositeArea(7), 6.0);
    EXPECT_DOUBLE_EQ(layered.getCompositeVolume(9), 0.0);   // no skin of it

    // An element the host reports by parts: the first part's three values stand for it.
    host::SimElement parted;
    host::ElementHead head{};
    head.type = tarnwick::ElementQuantity::kPartType;
    head.guid = host::toGuidRecord(host::newGuidBytes());
    parted.setHead(head);
    const auto part = [](double a, double b, double c) {
        host::PartQuantity made{};
        made.values[0] = a;
        made.values[1] = b;
        made.values[2] = c;
        return made;
    };
    parted.partQuantities = {part(1.0, 2.0, 3.0), part(9.0, 9.0, 9.0)};
    host_->project().state.elements.push_back(parted);
    tarnwick::ElementQuantity request;
    ASSERT_TRUE(request.request(ElementLink(tarnwick::Guid(head.guid), &plan())));
    EXPECT_DOUBLE_EQ(request.getReal(32), 1.0);
    EXPECT_DOUBLE_EQ(request.getReal(40), 2.0);
    EXPECT_DOUBLE_EQ(request.getReal(48), 3.0);
}

TEST_F(ElementRelationsTest, GivesTheHostsPlanPointsAndWithoutThemItsPlace) {
    std::vector<tarnwick::CadPoint> points;
    EXPECT_EQ(element(0)->getPoints(points, true), 4u);   // the corners of its box
    host::ElementRecord record{};
    record.head.type = host::kElementObject;
    RecordElement unplaced(record, ElementLink(host::kElementObject, 0));
    EXPECT_EQ(unplaced.getPoints(points, false), 0u);
    EXPECT_EQ(unplaced.getPoints(points, true), 1u);   // no outline: its position
    ASSERT_EQ(points.size(), 5u);
    EXPECT_DOUBLE_EQ(points.back().getX(), 0.0);
}

}   // namespace
