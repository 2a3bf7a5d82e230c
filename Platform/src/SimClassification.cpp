#include "SimClassification.h"

#include <algorithm>

#include "HostText.h"

namespace host {
namespace {

std::string text(const UniString& value) { return utf16ToUtf8(value.view()); }
UniString uni(const std::string& value) { return UniString(utf8ToUtf16(value)); }

SimIFCState& data(SimulatedHost& host) { return host.project().state.ifc; }

const SimClassificationSystem* findSystem(const SimIFCState& ifc, const GuidBytes& guid) {
    for (const SimClassificationSystem& system : *ifc.classificationSystems)
        if (system.guid == guid) return &system;
    return nullptr;
}

SimClassificationSystem* editSystem(SimIFCState& ifc, const GuidBytes& guid) {
    if (!findSystem(ifc, guid)) return nullptr;   // nothing copied for a system that is not there
    for (SimClassificationSystem& system : ifc.classificationSystems.edit())
        if (system.guid == guid) return &system;
    return nullptr;
}

const SimClassificationItem* findItem(const SimIFCState& ifc, const GuidRecord* guid) {
    return guid ? ifc.classificationItems.find(toGuidBytes(*guid)) : nullptr;
}

ClassificationSystemRecord systemRecord(const SimClassificationSystem& system) {
    ClassificationSystemRecord record{};
    record.guid = toGuidRecord(system.guid);
    record.name = uni(system.name);
    record.description = uni(system.description);
    record.source = uni(system.source);
    record.editionVersion = uni(system.edition);
    record.editionYear = system.year;
    record.editionMonth = system.month;
    record.editionDay = system.day;
    return record;
}

void takeSystem(const ClassificationSystemRecord& record, SimClassificationSystem& system) {
    system.name = text(record.name);
    system.description = text(record.description);
    system.source = text(record.source);
    system.edition = text(record.editionVersion);
    system.year = record.editionYear;
    system.month = record.editionMonth;
    system.day = record.editionDay;
}

ClassificationItemRecord itemRecord(const GuidBytes& guid, const SimClassificationItem& item) {
    ClassificationItemRecord record{};
    record.guid = toGuidRecord(guid);
    record.id = uni(item.id);
    record.name = uni(item.name);
    record.description = uni(item.description);
    record.state = item.state;
    return record;
}

Result listItems(const SimIFCState& ifc, const std::vector<GuidBytes>& guids,
                 Array<ClassificationItemRecord>& items) {
    items.clear();
    items.reserve(static_cast<std::uint32_t>(guids.size()));
    // All found first: the lookups of a large system miss the cache, and in a loop of their own they wait
    // for memory side by side rather than one after another.
    std::vector<const SimClassificationItem*> found(guids.size());
    for (std::size_t k = 0; k < guids.size(); ++k) found[k] = ifc.classificationItems.find(guids[k]);
    for (std::size_t k = 0; k < guids.size(); ++k)
        if (found[k]) items.push_back(itemRecord(guids[k], *found[k]));
    return kNoError;
}

bool nameTaken(const SimIFCState& ifc, const std::string& name, const GuidBytes& self) {
    return std::any_of(ifc.classificationSystems->begin(), ifc.classificationSystems->end(),
                       [&](const SimClassificationSystem& s) { return s.name == name && s.guid != self; });
}

Result listPairs(const SimIFCState& ifc, const SimElementData* element,
                 Array<ClassificationPairRecord>& pairs) {
    pairs.clear();
    if (!element) return kNoError;
    for (const GuidBytes& guid : element->classifications)
        if (const SimClassificationItem* found = ifc.classificationItems.find(guid))
            pairs.push_back({toGuidRecord(found->system), toGuidRecord(guid)});
    return kNoError;
}

// Gives the item, replacing the holder's item of the same system.
Result addItem(const SimIFCState& ifc, SimElementData& holder, const GuidRecord* item) {
    const SimClassificationItem* added = findItem(ifc, item);
    if (!added) return kErrBadIndex;
    const GuidBytes guid = toGuidBytes(*item);
    auto& held = holder.classifications;
    std::erase_if(held, [&](const GuidBytes& h) {
        const SimClassificationItem* other = ifc.classificationItems.find(h);
        return h == guid || (other && other->system == added->system);
    });
    held.push_back(guid);
    return kNoError;
}

// Takes the item from the holder of the key, when it holds it; a holder left empty goes.
template <typename Holders, typename Key>
Result removeItem(SimIFCState& ifc, Holders& holders, const Key& key, const GuidRecord* item) {
    if (!findItem(ifc, item)) return kErrBadIndex;
    const GuidBytes guid = toGuidBytes(*item);
    const SimElementData* held = holders.find(key);
    if (!held || std::find(held->classifications.begin(), held->classifications.end(), guid) ==
                     held->classifications.end())
        return kNoError;   // nothing to take: nothing copied
    SimElementData& holder = *holders.edit(key);
    std::erase(holder.classifications, guid);
    if (holder.empty()) holders.erase(key);
    return kNoError;
}

const SimElementData* elementOf(SimulatedHost& host, const GuidRecord* element, bool& known) {
    known = element && host.project().findElement(toGuidBytes(*element));
    return known ? data(host).elements.find(toGuidBytes(*element)) : nullptr;
}

}   // namespace

// --- Systems and items ---------------------------------------------------------------------------------
Result SimClassificationSlots::getClassificationSystems(SimulatedHost& host, Addon&,
                                                        Array<ClassificationSystemRecord>* systems) {
    if (!systems) return kErrBadParameters;
    systems->clear();
    for (const SimClassificationSystem& system : *data(host).classificationSystems)
        systems->push_back(systemRecord(system));
    return kNoError;
}

Result SimClassificationSlots::getClassificationSystem(SimulatedHost& host, Addon&,
                                                       ClassificationSystemRecord* system) {
    if (!system) return kErrBadParameters;
    const SimClassificationSystem* found = findSystem(data(host), toGuidBytes(system->guid));
    if (!found) return kErrBadIndex;
    *system = systemRecord(*found);
    return kNoError;
}

Result SimClassificationSlots::getClassificationItem(SimulatedHost& host, Addon&,
                                                     ClassificationItemRecord* item) {
    if (!item) return kErrBadParameters;
    const SimClassificationItem* found = findItem(data(host), &item->guid);
    if (!found) return kErrBadIndex;
    *item = itemRecord(toGuidBytes(item->guid), *found);
    return kNoError;
}

Result SimClassificationSlots::getClassificationTopItems(SimulatedHost& host, Addon&,
                                                         const GuidRecord* system,
                                                         Array<ClassificationItemRecord>* items) {
    if (!system || !items) return kErrBadParameters;
    const SimClassificationSystem* found = findSystem(data(host), toGuidBytes(*system));
    if (!found) return kErrBadIndex;
    return listItems(data(host), found->topItems, *items);
}

Result SimClassificationSlots::getClassificationChildren(SimulatedHost& host, Addon&, const GuidRecord* item,
                                                         Array<ClassificationItemRecord>* items) {
    if (!items) return kErrBadParameters;
    const SimClassificationItem* found = findItem(data(host), item);
    if (!found) return kErrBadIndex;
    return listItems(data(host), found->children, *items);
}

Result SimClassificationSlots::getClassificationItemSystem(SimulatedHost& host, Addon&,
                                                           const GuidRecord* item,
                                                           ClassificationSystemRecord* system) {
    if (!system) return kErrBadParameters;
    const SimClassificationItem* found = findItem(data(host), item);
    const SimClassificationSystem* owner = found ? findSystem(data(host), found->system) : nullptr;
    if (!owner) return kErrBadIndex;
    *system = systemRecord(*owner);
    return kNoError;
}

Result SimClassificationSlots::getClassificationItemParent(SimulatedHost& host, Addon&,
                                                           const GuidRecord* item,
                                                           ClassificationItemRecord* parent) {
    if (!parent) return kErrBadParameters;
    const SimClassificationItem* found = findItem(data(host), item);
    if (!found || isNullGuid(found->parent)) return kErrBadIndex;   // a top item has no parent
    const GuidRecord parentGuid = toGuidRecord(found->parent);
    const SimClassificationItem* above = findItem(data(host), &parentGuid);
    if (!above) return kErrBadIndex;
    *parent = itemRecord(found->parent, *above);
    return kNoError;
}

Result SimClassificationSlots::createClassificationSystem(SimulatedHost& host, Addon&,
                                                          ClassificationSystemRecord* system) {
    if (!system) return kErrBadParameters;
    SimClassificationSystem made;
    takeSystem(*system, made);
    if (made.name.empty() || nameTaken(data(host), made.name, {})) return kErrBadName;
    made.guid = newGuidBytes();
    system->guid = toGuidRecord(made.guid);
    data(host).classificationSystems.edit().push_back(std::move(made));
    return kNoError;
}

Result SimClassificationSlots::changeClassificationSystem(SimulatedHost& host, Addon&,
                                                          const ClassificationSystemRecord* system) {
    if (!system) return kErrBadParameters;
    const SimClassificationSystem* found = findSystem(data(host), toGuidBytes(system->guid));
    if (!found) return kErrBadIndex;
    SimClassificationSystem changed = *found;
    takeSystem(*system, changed);
    if (changed.name.empty() || nameTaken(data(host), changed.name, found->guid)) return kErrBadName;
    *editSystem(data(host), changed.guid) = std::move(changed);
    return kNoError;
}

Result SimClassificationSlots::createClassificationItem(SimulatedHost& host, Addon&,
                                                        ClassificationItemRecord* item,
                                                        const GuidRecord* system, const GuidRecord* parent,
                                                        const GuidRecord* placement) {
    if (!item || !system) return kErrBadParameters;
    SimIFCState& ifc = data(host);
    const SimClassificationSystem* owner = findSystem(ifc, toGuidBytes(*system));
    if (!owner) return kErrBadIndex;
    SimClassificationItem made;
    made.system = owner->guid;
    made.id = text(item->id);
    made.name = text(item->name);
    made.description = text(item->description);
    made.state = item->state;
    if (made.id.empty()) return kErrBadName;
    if (parent && !isNullGuid(toGuidBytes(*parent))) {
        const SimClassificationItem* above = findItem(ifc, parent);
        if (!above || above->system != owner->guid) return kErrBadIndex;
        made.parent = toGuidBytes(*parent);
    }
    std::vector<GuidBytes>* siblings = isNullGuid(made.parent)
                                           ? &editSystem(ifc, made.system)->topItems
                                           : &ifc.classificationItems.edit(made.parent)->children;
    // The placement names the sibling the new item goes before; none (or one not there): at the end.
    auto at = siblings->end();
    if (placement) at = std::find(siblings->begin(), siblings->end(), toGuidBytes(*placement));
    const GuidBytes guid = newGuidBytes();
    siblings->insert(at, guid);
    ifc.classificationItems.emplace(guid, std::move(made));
    item->guid = toGuidRecord(guid);
    return kNoError;
}

Result SimClassificationSlots::changeClassificationItem(SimulatedHost& host, Addon&,
                                                        const ClassificationItemRecord* item) {
    if (!item) return kErrBadParameters;
    if (!findItem(data(host), &item->guid)) return kErrBadIndex;
    if (item->id.empty()) return kErrBadName;
    SimClassificationItem* found = data(host).classificationItems.edit(toGuidBytes(item->guid));
    found->id = text(item->id);
    found->name = text(item->name);
    found->description = text(item->description);
    found->state = item->state;
    return kNoError;
}

// --- Elements and tool defaults
// -------------------------------------------------------------------------------
Result SimClassificationSlots::getElementClassifications(SimulatedHost& host, Addon&,
                                                         const GuidRecord* element,
                                                         Array<ClassificationPairRecord>* pairs) {
    if (!pairs) return kErrBadParameters;
    bool known = false;
    const SimElementData* held = elementOf(host, element, known);
    if (!known) return kErrBadIndex;
    return listPairs(data(host), held, *pairs);
}

Result SimClassificationSlots::getDefaultClassifications(SimulatedHost& host, Addon&, std::int32_t type,
                                                         std::int32_t variation,
                                                         Array<ClassificationPairRecord>* pairs) {
    if (!pairs) return kErrBadParameters;
    return listPairs(data(host), data(host).defaults.find({type, variation}), *pairs);
}

Result SimClassificationSlots::addElementClassification(SimulatedHost& host, Addon&,
                                                        const GuidRecord* element, const GuidRecord* item) {
    bool known = false;
    elementOf(host, element, known);
    if (!known || !findItem(data(host), item)) return kErrBadIndex;
    return addItem(data(host), data(host).elements[toGuidBytes(*element)], item);
}

Result SimClassificationSlots::removeElementClassification(SimulatedHost& host, Addon&,
                                                           const GuidRecord* element,
                                                           const GuidRecord* item) {
    bool known = false;
    elementOf(host, element, known);
    if (!known) return kErrBadIndex;
    return removeItem(data(host), data(host).elements, toGuidBytes(*element), item);
}

Result SimClassificationSlots::addDefaultClassification(SimulatedHost& host, Addon&, std::int32_t type,
                                                        std::int32_t variation, const GuidRecord* item) {
    if (!findItem(data(host), item)) return kErrBadIndex;
    return addItem(data(host), data(host).defaults[{type, variation}], item);
}

Result SimClassificationSlots::removeDefaultClassification(SimulatedHost& host, Addon&, std::int32_t type,
                                                           std::int32_t variation, const GuidRecord* item) {
    return removeItem(data(host), data(host).defaults, std::make_pair(type, variation), item);
}

}   // namespace host
