// RelatedZones: the project's index of which elements lie in which zones, asked of the host zone by
// zone and kept both ways: a zone's related elements by element type, and an element's zones.
#pragma once

#include <cstdint>
#include <map>
#include <memory>

#include <HostGuid.h>

#include "Foundation/Guid.h"
#include "Project/ElementLinkList.h"

namespace tarnwick {

class Drawing;
class ElementLink;

// Owned by the Project (Project::getRelatedZones), empty when made, filled lazily, never refreshed by
// itself: the project drops it with its cached state. Both maps are keyed by the element's guid, the
// one thing every link of an element agrees on. A zone whose host query fails is in neither map.
class RelatedZones {
public:
    // An element type key: the type in the low byte, the variation in the high byte (0: any).
    using element_id = std::uint16_t;

    // One zone's related elements, per type key. Keys are stored exactly; a search lets a variation 0
    // on either side match any variation of the same type.
    class ZoneElements {
    public:
        void set(element_id key, const ElementLinkList& list);   // stores a copy
        const ElementLinkList* find(element_id key) const;       // null when no key matches
    private:
        std::map<element_id, ElementLinkList> lists_;
    };

    RelatedZones();
    ~RelatedZones();
    RelatedZones(const RelatedZones&) = delete;
    RelatedZones& operator=(const RelatedZones&) = delete;

    // The zones the element lies in, still owned here; null when it lies in none or there is no Plan.
    // Walks the Plan's zones the first time an element is asked for (a zone already filed is not asked
    // again). Keeps the host's current database.
    const ElementLinkList* getRelated(const ElementLink& link);
    // The zone's related elements of the type key, still owned here; null when not filed.
    const ElementLinkList* getElements(const ElementLink& zone, element_id key);
    // Asks the host for the zone's elements of the key's type and files them; nothing when filed already.
    void addZone(Drawing* drawing, const ElementLink& zone, element_id key);

    static const ElementLinkList* findByType(const ZoneElements& zone, element_id key);
    // Appends one link per guid, made in the Drawing when one is given: an empty link for a guid whose
    // head the Drawing cannot read.
    static void addLinks(Drawing* drawing, ElementLinkList& list, const host::GuidRecord* guids,
                         std::int32_t count);

private:
    struct ZoneEntry {
        std::unique_ptr<ElementLink> zone;
        ZoneElements elements;
    };
    std::shared_ptr<std::map<Guid, ZoneEntry>> zoneElements_;         // null until a zone is filed
    std::shared_ptr<std::map<Guid, ElementLinkList>> elementZones_;   // null until a zone is filed
};

}   // namespace tarnwick
