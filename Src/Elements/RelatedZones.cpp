#include "Elements/RelatedZones.h"

#include <cstring>

#include <HostElementRecords.h>
#include <HostResult.h>

#include "Environment/HostApi.h"
#include "Project/CurrentDatabaseKeeper.h"
#include "Project/Drawing.h"
#include "Project/ElementLink.h"
#include "Project/HostProject.h"
#include "Project/Plan.h"

namespace tarnwick {

namespace {

constexpr std::size_t kListCapacity = 50;
constexpr std::uint16_t kZoneType = host::kElementZone;

// The lists of a zone relation that are read, in reading order; whether they hold 40-byte part entries
// (a guid first) rather than guids; and whether their links are made in the zone's Drawing. Lists 6,
// 11, 12 and 13 are not read.
struct ListKind {
    std::size_t list;
    bool partEntries;
    bool inDrawing;
};
constexpr ListKind kReadLists[] = {{0, true, true},   {1, false, true},  {2, false, true},  {3, false, true},
                                   {4, false, true},  {5, false, true},  {7, true, false},  {8, false, true},
                                   {9, false, true},  {10, false, true}, {14, false, true}, {15, false, true},
                                   {16, false, true}, {17, false, true}, {18, false, true}};

bool typeKeysMatch(RelatedZones::element_id a, RelatedZones::element_id b) {
    if ((a & 0xFF) != (b & 0xFF)) return false;
    const auto variationA = a >> 8, variationB = b >> 8;
    return variationA == 0 || variationB == 0 || variationA == variationB;
}

// Releases the host's relation record on every way out.
struct RelationKeeper {
    host::ZoneRelation record{};
    ~RelationKeeper() { hostApi().call<host::HostSlot::disposeZoneRelation>(&record); }
};

}   // namespace

// --- ZoneElements -------------------------------------------------------------------------------------

void RelatedZones::ZoneElements::set(element_id key, const ElementLinkList& list) {
    ElementLinkList copy(list.size());
    copy.appendCopies(list);
    lists_[key] = std::move(copy);
}

const ElementLinkList* RelatedZones::ZoneElements::find(element_id key) const {
    // An exact key first; then any key of the type that the wildcard rule lets match.
    if (const auto exact = lists_.find(key); exact != lists_.end()) return &exact->second;
    for (const auto& [stored, list] : lists_)
        if (typeKeysMatch(stored, key)) return &list;
    return nullptr;
}

// --- RelatedZones -------------------------------------------------------------------------------------

RelatedZones::RelatedZones() = default;
RelatedZones::~RelatedZones() = default;

const ElementLinkList* RelatedZones::findByType(const ZoneElements& zone, element_id key) {
    return zone.find(key);
}

const ElementLinkList* RelatedZones::getRelated(const ElementLink& link) {
    // 1.
    const auto known = [&]() -> const ElementLinkList* {
        if (!elementZones_) return nullptr;
        const auto found = elementZones_->find(link.getGuid());
        return found != elementZones_->end() ? &found->second : nullptr;
    };
    if (const ElementLinkList* zones = known()) return zones;
    // 2. The Plan's zones by their links: no element wrapper is needed, nothing is written back.
    {
        const CurrentDatabaseKeeper keeper;   // 3.
        Plan* plan = HostProject::getPlan();
        if (plan == nullptr) return nullptr;
        ElementLinkList zones(kListCapacity);
        plan->fillLinkList(Drawing::Filter(kZoneType, /*selectedOnly=*/false, 1, /*withUserDataOnly=*/false),
                           &zones);
        for (const auto& zone : zones)
            if (zone) addZone(plan, *zone, 0);
    }
    // 4.
    return known();
}

const ElementLinkList* RelatedZones::getElements(const ElementLink& zone, element_id key) {
    if (zone.getDrawing() == nullptr) addZone(nullptr, zone, key);
    if (!zoneElements_) return nullptr;
    const auto found = zoneElements_->find(zone.getGuid());
    return found != zoneElements_->end() ? findByType(found->second.elements, key) : nullptr;
}

void RelatedZones::addZone(Drawing* drawing, const ElementLink& zone, element_id key) {
    // 1.
    if (!zone.hasGuid()) return;
    // 2.
    if (zoneElements_) {
        const auto filed = zoneElements_->find(zone.getGuid());
        if (filed != zoneElements_->end() && findByType(filed->second.elements, key) != nullptr) return;
    }
    // 3.
    RelationKeeper relation;
    const host::GuidRecord guid = zone.getGuid().getRecord();
    if (hostApi().call<host::HostSlot::getElementRelations>(&guid, std::int32_t{key & 0xFF},
                                                            static_cast<void*>(&relation.record),
                                                            std::int32_t{0}) != host::kNoError)
        return;
    // 4.
    if (!zoneElements_) zoneElements_ = std::make_shared<std::map<Guid, ZoneEntry>>();
    if (!elementZones_) elementZones_ = std::make_shared<std::map<Guid, ElementLinkList>>();
    ZoneEntry& entry = (*zoneElements_)[zone.getGuid()];
    if (!entry.zone) entry.zone = zone.clone();
    // 5.
    ElementLinkList related(kListCapacity);
    for (const ListKind& kind : kReadLists) {
        const auto* bytes = reinterpret_cast<const unsigned char*>(relation.record.lists[kind.list]);
        const std::int32_t count = relation.record.counts[kind.list];
        if (bytes == nullptr || count < 1) continue;
        Drawing* const within = kind.inDrawing ? drawing : nullptr;
        if (!kind.partEntries) {
            addLinks(within, related, reinterpret_cast<const host::GuidRecord*>(bytes), count);
            continue;
        }
        for (std::int32_t i = 0; i < count; ++i) {
            host::GuidRecord first;
            std::memcpy(&first, bytes + static_cast<std::size_t>(i) * host::kZoneRelationPartEntry,
                        sizeof first);
            addLinks(within, related, &first, 1);
        }
    }
    // 6.
    entry.elements.set(key, related);
    // 7. An element listed twice gets the zone once. A link without a guid (one whose head the Drawing
    // could not read) names no element, so no element is given the zone through it.
    for (const auto& link : related) {
        if (!link || !link->hasGuid()) continue;
        ElementLinkList& zones = (*elementZones_)[link->getGuid()];
        if (!zones.contains(zone)) zones.append(zone);
    }
    // 8. The record goes with its keeper.
}

void RelatedZones::addLinks(Drawing* drawing, ElementLinkList& list, const host::GuidRecord* guids,
                            std::int32_t count) {
    for (std::int32_t i = 0; i < count; ++i) list.append(ElementLink(Guid(guids[i]), drawing));
}

}   // namespace tarnwick
