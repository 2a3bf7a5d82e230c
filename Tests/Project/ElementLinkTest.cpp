#include "Project/ElementLink.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include <FourCC.h>
#include <HostRecords.h>

#include "Project/ElementLinkList.h"
#include "Project/LinkRecord.h"
#include "Project/Section.h"
#include "Support/DrawingFixture.h"

namespace {

using tarnwick::ElementLink;
using tarnwick::ElementLinkList;
using tarnwick::Guid;
using tarnwick::LinkRecord;

// Irreflexive, asymmetric, transitive, and with transitive incomparability: what std::sort needs.
template <typename T>
void expectStrictWeakOrdering(const std::vector<T>& items) {
    const auto equivalent = [](const T& a, const T& b) { return !(a < b) && !(b < a); };
    for (std::size_t i = 0; i < items.size(); ++i) {
        EXPECT_FALSE(items[i] < items[i]) << i;
        for (std::size_t j = 0; j < items.size(); ++j) {
            if (items[i] < items[j]) {
                EXPECT_FALSE(items[j] < items[i]) << i << " " << j;
            }
            for (std::size_t k = 0; k < items.size(); ++k) {
                if (items[i] < items[j] && items[j] < items[k]) {
                    EXPECT_TRUE(items[i] < items[k]) << i << " " << j << " " << k;
                }
                if (equivalent(items[i], items[j]) && equivalent(items[j], items[k])) {
                    EXPECT_TRUE(equivalent(items[i], items[k])) << i << " " << j << " " << k;
                }
            }
        }
    }
}

Guid guid(std::uint32_t n) {
    host::GuidRecord record{};
    record.data1 = n;
    return Guid(record);
}

// A link of the type and sub-type with the guid, and no location.
ElementLink linkOf(std::uint8_t type, std::uint8_t subType, const Guid& id) {
    host::ElementHead head{};
    head.guid = id.getRecord();
    ElementLink link(head, nullptr);
    link.setTypeId(static_cast<std::uint16_t>(type | (subType << 8)));
    return link;
}

// --- LinkRecord ----------------------------------------------------------------------------------------
TEST(LinkRecord, ComparesTheSameWayWhicheverRecordStandsFirst) {
    const std::vector<LinkRecord> records = {
        {0, Guid(), 0},  {1, Guid(), 0},  {1, Guid(), 3},  {1, guid(7), -1}, {4, Guid(), 3},
        {2, Guid(), 0},  {2, Guid(), 5},  {2, guid(1), 5}, {2, guid(1), 0},  {2, guid(2), -4},
        {5, guid(1), 0}, {9, guid(1), 0}, {-3, guid(9), 2}};
    expectStrictWeakOrdering(records);
    for (const LinkRecord& a : records)
        for (const LinkRecord& b : records) EXPECT_EQ(a == b, b == a);
}

TEST(LinkRecord, TellsStoreyAddressedRecordsApartByIndexOnlyWhenOrdering) {
    const LinkRecord ground(1, Guid(), 0);
    const LinkRecord first(1, Guid(), 1);
    EXPECT_TRUE(ground == first) << "one plan, whatever the storey";
    EXPECT_TRUE(ground < first);
    // A guid-addressed record orders by guid alone.
    EXPECT_FALSE(LinkRecord(2, guid(1), 0) < LinkRecord(2, guid(1), 9));
    EXPECT_FALSE(LinkRecord(2, guid(1), 9) < LinkRecord(2, guid(1), 0));
    // The index's upper half takes no part.
    EXPECT_FALSE(LinkRecord(1, Guid(), 0x10000) < LinkRecord(1, Guid(), 0));
    // A record without a guid of a guid kind is not the same as one with a guid, either way round.
    EXPECT_FALSE(LinkRecord(2, Guid(), 0) == LinkRecord(2, guid(1), 0));
    EXPECT_FALSE(LinkRecord(2, guid(1), 0) == LinkRecord(2, Guid(), 0));
}

TEST(LinkRecord, CountsPlanAndModelAsOneDatabaseButNotAsEqualRecords) {
    const LinkRecord plan(1, Guid(), 2);
    const LinkRecord model(4, Guid(), 0);
    EXPECT_TRUE(plan.isSameDatabase(model));
    EXPECT_FALSE(plan == model);
    EXPECT_FALSE(LinkRecord(2, guid(1), 0).isSameDatabase(LinkRecord(3, guid(1), 0)));
    EXPECT_TRUE(LinkRecord(5, guid(1), 0).isSameDatabase(LinkRecord(5, guid(1), 7)));
    // The first record's addressing decides: one without a guid takes any database of its kind.
    EXPECT_TRUE(LinkRecord(2, Guid(), 0).isSameDatabase(LinkRecord(2, guid(1), 0)));
    EXPECT_FALSE(LinkRecord(2, guid(1), 0).isSameDatabase(LinkRecord(2, Guid(), 0)));
    EXPECT_TRUE(LinkRecord(1, Guid(), 0).isSameDatabase(LinkRecord(4, guid(1), 0)));
}

TEST(LinkRecord, IsValidForThePlanTheModelAndRecordsWithAGuid) {
    const std::pair<LinkRecord, bool> cases[] = {{{0, guid(1), 0}, false}, {{1, Guid(), 0}, true},
                                                 {{4, Guid(), 0}, true},   {{2, Guid(), 0}, false},
                                                 {{2, guid(1), 0}, true},  {{13, guid(1), 0}, true}};
    for (const auto& [record, valid] : cases) EXPECT_EQ(record.isValid(), valid) << record.getKind();
}

TEST(LinkRecord, KeepsTheIndexWhenClearedUnlessAsked) {
    LinkRecord record(2, guid(1), 7);
    record.clear();
    EXPECT_EQ(record.getKind(), 0);
    EXPECT_FALSE(record.getGuid().isValid());
    EXPECT_EQ(record.getIndex(), 7);
    record.clear(/*alsoIndex=*/true);
    EXPECT_EQ(record.getIndex(), 0);
}

// --- ElementLink: comparisons --------------------------------------------------------------------------
TEST(ElementLink, EqualityFollowsGuidsThenTypes) {
    ElementLink withVariation(6, 1);
    ElementLink otherVariation(6, 2);
    EXPECT_TRUE(withVariation == otherVariation) << "the variation takes no part";

    struct Case {
        ElementLink a, b;
        bool equal;
    };
    ElementLink inSection = linkOf(6, 0, guid(1));
    inSection.setLocation(LinkRecord(2, guid(50), 0));
    const Case cases[] = {
        {linkOf(6, 0, guid(1)), linkOf(6, 0, guid(1)), true},
        {linkOf(6, 0, guid(1)), linkOf(6, 0, guid(2)), false},
        {linkOf(6, 0, guid(1)), inSection, true},   // a guid names the element alone
        {linkOf(6, 0, guid(1)), ElementLink(6, 0), false},
        {ElementLink(6, 0), linkOf(6, 0, guid(1)), false},
        {ElementLink(0x0206, 0), ElementLink(0x0006, 0), true},   // sub-type 0 matches any
        {ElementLink(0x0106, 0), ElementLink(0x0206, 0), false},
        {ElementLink(6, 0), ElementLink(5, 0), false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.a == c.b, c.equal) << c.a.getTypeId() << " " << c.b.getTypeId();
        EXPECT_EQ(c.b == c.a, c.equal);
    }
    // Without guids the view the link was seen in counts too.
    ElementLink planLink(6, 0);
    ElementLink sectionLink(6, 0);
    sectionLink.setLocation(LinkRecord(2, guid(50), 0));
    EXPECT_FALSE(planLink == sectionLink);
    ElementLink shown(6, 0);
    shown.setSecondTypeId(29);
    EXPECT_FALSE(planLink == shown);
}

TEST(ElementLink, ComparesPartReferencesByIdAndIndex) {
    host::PartReference reference{};
    reference.id = 13;
    reference.index = 1;
    ElementLink a(reference);
    ElementLink b(reference);
    b.setTypeId(5);   // the flag rules over the type
    EXPECT_TRUE(a == b);
    reference.index = 2;
    EXPECT_FALSE(a == ElementLink(reference));
}

TEST(ElementLink, OrdersByTypeSubTypeAndGuidAsAStrictWeakOrdering) {
    // Ordering sub-types only when both are given would make these three a cycle.
    const ElementLink x = linkOf(6, 1, guid(3));
    const ElementLink y = linkOf(6, 0, guid(2));
    const ElementLink z = linkOf(6, 2, guid(1));
    std::vector<ElementLink> links = {x,
                                      y,
                                      z,
                                      linkOf(5, 0, guid(9)),
                                      linkOf(6, 0, guid(1)),
                                      ElementLink(6, 0),
                                      linkOf(7, 3, Guid()),
                                      linkOf(6, 1, guid(3))};
    expectStrictWeakOrdering(links);
    EXPECT_TRUE(y < x);
    EXPECT_TRUE(x < z);
    EXPECT_TRUE(x > y);
    std::sort(links.begin(), links.end());
    EXPECT_TRUE(std::is_sorted(links.begin(), links.end()));
    EXPECT_EQ(links.front().getTypeByte(), 5);
}

TEST(ElementLink, KnowsThePartReferenceIdOfEachType) {
    const std::pair<std::uint8_t, std::uint32_t> cases[] = {
        {0, 0},   {1, 1},  {4, 10}, {6, 13},  {7, 14}, {19, 40}, {20, 0}, {21, 44},
        {26, 53}, {27, 0}, {28, 0}, {29, 55}, {30, 0}, {31, 57}, {32, 0}, {255, 0}};
    for (const auto& [type, id] : cases) EXPECT_EQ(ElementLink::partReferenceIdOf(type), id) << int(type);
    ElementLink link(7, 0);
    EXPECT_EQ(link.getPartReferenceId(), 14u);
}

TEST(ElementLink, RefreshFromARecordKeepsOnlyTheVariation) {
    host::PartReference reference{};
    reference.id = 13;
    reference.index = 4;
    reference.subIndex = 2;
    ElementLink link(reference);
    link.setVariation(77);
    link.setSecondTypeId(29);
    link.setSecondGuid(guid(5));
    link.setLocation(LinkRecord(2, guid(6), 3));
    link.setSource(LinkRecord(2, guid(6), 0));
    host::ElementRecord record{};
    record.head.type = 6;
    record.head.variation = 12;
    record.head.guid = guid(8).getRecord();
    record.head.storey = 2;
    link.refresh(record);
    EXPECT_EQ(link.getTypeId(), 6);
    EXPECT_EQ(link.getVariation(), 77);
    EXPECT_EQ(link.getGuid(), guid(8));
    EXPECT_FALSE(link.isPartReference());
    EXPECT_EQ(link.getPartIndex(), 0);
    EXPECT_EQ(link.getPartSubIndex(), 0);
    EXPECT_EQ(link.getSecondTypeId(), 0);
    EXPECT_FALSE(link.getSecondGuid().isValid());
    EXPECT_EQ(link.getLocation().getKind(), 0);
    EXPECT_FALSE(link.getLocation().getGuid().isValid());
    EXPECT_EQ(link.getLocation().getIndex(), 2);
    EXPECT_EQ(link.getSource().getKind(), 0);
}

// --- ElementLinkList -------------------------------------------------------------------------------------
TEST(ElementLinkList, ClonesDeeplyKeepingNullsAndTheSortedFlag) {
    ElementLinkList list;
    list.append(linkOf(6, 0, guid(2)));
    list.push_back(nullptr);
    list.append(linkOf(5, 0, guid(1)));
    auto unsorted = list.clone();
    EXPECT_FALSE(unsorted->isSorted());
    list.sort();
    EXPECT_TRUE(list.isSorted());
    EXPECT_EQ(list[0]->getTypeByte(), 5);
    EXPECT_EQ(list[2], nullptr) << "nulls go last";

    auto copy = list.clone();
    ASSERT_EQ(copy->size(), 3u);
    EXPECT_TRUE(copy->isSorted());
    EXPECT_EQ(copy->at(2), nullptr);
    EXPECT_NE(copy->at(0), list[0]);
    copy->at(0)->setTypeId(9);
    EXPECT_EQ(list[0]->getTypeByte(), 5) << "the copy has its own links";

    // Appending does not clear the flag, so a sorted list is not sorted again.
    list.append(linkOf(1, 0, guid(3)));
    list.sort();
    EXPECT_EQ(list.back()->getTypeByte(), 1);
    EXPECT_EQ(list.find(linkOf(6, 0, guid(2))), 1u);
    EXPECT_EQ(list.find(linkOf(6, 0, guid(4))), ElementLinkList::npos);
    EXPECT_EQ(list.appendCopies(list), 3u);
    EXPECT_EQ(list.size(), 7u);
}

// --- With the host ---------------------------------------------------------------------------------------
using ElementLinkHostTest = DrawingFixture;

TEST_F(ElementLinkHostTest, ResolvesAnUnknownTypeFromThePartReferenceIdOnly) {
    ElementLink unknown(0, 0);
    host_->clearCalls();
    EXPECT_EQ(unknown.getTypeId(), 0);
    EXPECT_EQ(host_->countCalls(host::HostSlot::utilities, host::fourcc("NTOE")), 0u);

    host::PartReference reference{};
    reference.id = 14;   // a lamp's
    reference.guid = tarnwickGuid(kLampIndex).getRecord();
    const ElementLink link(reference);
    EXPECT_EQ(link.getTypeByte(), host::kElementLamp);

    // Read within a Drawing: variation and storey come from the element's head.
    const ElementLink located(reference, &plan());
    EXPECT_EQ(located.getVariation(), 100 + host::kElementLamp);
    EXPECT_EQ(located.getLocation().getKind(), host::kDatabasePlan);
    EXPECT_EQ(located.getLocation().getStoreyIndex(), 1);
    EXPECT_EQ(located.getPartIndex(), reference.index);
}

TEST_F(ElementLinkHostTest, ReadsTheElementByGuidAndDropsOneTheHostLacks) {
    const ElementLink door(tarnwickGuid(kDoorIndex), &plan());
    EXPECT_EQ(door.getTypeByte(), host::kElementDoor);
    EXPECT_EQ(door.getGuid(), tarnwickGuid(kDoorIndex));
    EXPECT_EQ(door.getDrawing(), &plan());
    EXPECT_EQ(door.getLibrary(), project().getLibrary());
    EXPECT_EQ(door.getSpecification(), project().getSpecification());
    EXPECT_EQ(door.getLayerIndex(), std::make_pair(std::int16_t{1}, std::int16_t{0}));

    const ElementLink gone(guid(12345), &plan());
    EXPECT_FALSE(gone.hasGuid());
    ElementLink stale = linkOf(6, 0, guid(12345));
    EXPECT_EQ(stale.getLayerIndex().first, 32767);
    EXPECT_EQ(stale.getHeadValue(), 0u);

    const host::GuidRecord guids[] = {host::toGuidRecord(guidOf(0)), guid(12345).getRecord(),
                                      host::toGuidRecord(guidOf(kDoorIndex))};
    ElementLinkList list;
    EXPECT_EQ(list.append(guids, 3, plan()), 2u);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[1]->getTypeByte(), host::kElementDoor);
}

TEST_F(ElementLinkHostTest, GivesASectionElementItsOwnHeadOnlyWhenAsked) {
    tarnwick::Section* section = project().getSection(Guid(host::toGuidRecord(sectionGuid_)));
    ASSERT_NE(section, nullptr);
    ElementLink link(tarnwickGuid(0), &plan());
    link.setSecondTypeId(29);
    link.setSecondGuid(tarnwickGuid(kSectionElementIndex));
    link.setSourceDatabase(section);

    host::ElementHead head{};
    link.getHead(head, /*resolveSection=*/true);
    EXPECT_EQ(head.type, 29);
    EXPECT_EQ(Guid(head.guid), tarnwickGuid(kSectionElementIndex));
    link.getHead(head);
    EXPECT_EQ(head.type, host::kElementObject);
    EXPECT_EQ(Guid(head.guid), tarnwickGuid(0));
    host::PartReference reference{};
    link.getPartReference(reference);
    EXPECT_EQ(reference.id, 55);
    EXPECT_EQ(Guid(reference.guid), tarnwickGuid(kSectionElementIndex));

    // A source that names no view of the project does not count.
    link.setSource(LinkRecord(host::kDatabaseSection, guid(777), 0));
    link.getHead(head, /*resolveSection=*/true);
    EXPECT_EQ(head.type, host::kElementObject);
    link.setSectionSource(section);   // the source did not resolve: marked as a section element
    EXPECT_EQ(link.getSecondTypeId(), 29);
    EXPECT_EQ(link.getSourceDatabase(), section);
}

TEST_F(ElementLinkHostTest, GivesAHeadTheStoreyOnlyWhenThePlanHasIt) {
    ElementLink link(tarnwickGuid(2), &plan());   // on storey 1
    const struct {
        std::int16_t index;
        std::int16_t expected;
    } cases[] = {{1, 1}, {0, 0}, {7, 0}};   // storey 7 does not exist
    for (const auto& c : cases) {
        SCOPED_TRACE(c.index);
        link.setStoreyIndex(c.index);
        host::ElementHead head{};
        head.storey = -9;
        link.getHead(head, /*resolveSection=*/false);
        EXPECT_EQ(head.storey, c.expected);
        head.storey = -9;
        link.getElemType(head, /*withStorey=*/true);
        EXPECT_EQ(head.storey, c.index == 7 ? -9 : c.expected);   // left as it was
        head.storey = -9;
        link.getElemType(head, /*withStorey=*/false);
        EXPECT_EQ(head.storey, -9);
    }
    // A view addressed by its guid names no storey.
    link.setDrawing(project().getSection(Guid(host::toGuidRecord(sectionGuid_))));
    link.setStoreyIndex(1);
    host::ElementHead head{};
    link.getHead(head, /*resolveSection=*/false);
    EXPECT_EQ(head.storey, 0);
}

TEST_F(ElementLinkHostTest, MakesHostRecordsForEachLinkInOrder) {
    ElementLinkList empty;
    EXPECT_EQ(empty.makeHeads(false), nullptr);
    ElementLinkList list;
    list.append(ElementLink(tarnwickGuid(2), &plan()));
    list.push_back(nullptr);
    list.append(ElementLink(tarnwickGuid(kDoorIndex), &plan()));
    host::Handle heads = list.makeHeads(/*resolve=*/false);
    ASSERT_EQ(host::getHandleSize(heads), 2 * sizeof(host::ElementHead));
    const auto* records = reinterpret_cast<const host::ElementHead*>(*heads);
    EXPECT_EQ(Guid(records[0].guid), tarnwickGuid(2));
    EXPECT_EQ(records[0].storey, 1);
    EXPECT_EQ(records[1].type, host::kElementDoor);
    host::disposeHandle(heads);
    host::Handle parts = list.makePartReferences(/*resolve=*/true);
    ASSERT_EQ(host::getHandleSize(parts), 2 * sizeof(host::PartReference));
    EXPECT_EQ(reinterpret_cast<const host::PartReference*>(*parts)[1].id, 12);
    host::disposeHandle(parts);
}

}   // namespace
