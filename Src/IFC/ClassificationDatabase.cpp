#include "IFC/ClassificationDatabase.h"

#include "Environment/HostApi.h"
#include "IFC/Classification.h"
#include "IFC/ClassificationName.h"
#include "IFC/ClassificationSystem.h"
#include "IFC/ClassificationTree.h"

namespace tarnwick {

ClassificationDatabase::ClassificationDatabase(Project& project) : Database(project) {}

ClassificationDatabase::~ClassificationDatabase() = default;

void ClassificationDatabase::clear() {
    systems_.reset();
    items_.reset();
    tree_.reset();
    itemsByName_.clear();
    indexed_ = false;
    lastResult_ = 0;
    itemsLoaded_ = false;
    systemsLoaded_ = false;
}

String ClassificationDatabase::typeName() const { return "ClassificationDatabase"; }

// --- Records by GUID ---------------------------------------------------------------------------------------
std::shared_ptr<ClassificationSystem> ClassificationDatabase::getSystem(const Guid& guid) {
    if (!systems_) systems_ = std::make_unique<std::map<Guid, std::shared_ptr<ClassificationSystem>>>();
    auto& system = (*systems_)[guid];
    if (!system) system = std::make_shared<ClassificationSystem>(guid);
    return system;
}

std::shared_ptr<Classification> ClassificationDatabase::getClassification(const Guid& guid) {
    if (!items_) items_ = std::make_unique<Items>();
    auto& item = (*items_)[guid];
    if (!item) item = std::make_shared<Classification>(guid);
    return item;
}

// --- Loading ---------------------------------------------------------------------------------------------
void ClassificationDatabase::loadSystems() {
    if (systemsLoaded_) return;
    systemsLoaded_ = true;   // a failed load is not repeated until clear
    // 1.
    if (!systems_) systems_ = std::make_unique<std::map<Guid, std::shared_ptr<ClassificationSystem>>>();
    // 2.
    host::Array<host::ClassificationSystemRecord> systems;
    lastResult_ = hostApi().call<host::HostSlot::getClassificationSystems>(&systems);
    if (lastResult_ != host::kNoError) return;
    // 3.
    for (const host::ClassificationSystemRecord& record : systems) {
        auto& system = (*systems_)[Guid(record.guid)];
        if (!system) system = std::make_shared<ClassificationSystem>(record);
    }
}

void ClassificationDatabase::loadItems() {
    if (itemsLoaded_) return;
    itemsLoaded_ = true;
    // 1.
    if (!items_) items_ = std::make_unique<Items>();
    // 2.
    loadSystems();
    // 3. Each system's items are gathered first and kept only when the system's tree is sound. The item
    // records reach back into the system map (never the item map) while they load.
    std::vector<Guid> systemGuids;
    for (const auto& [guid, system] : *systems_) systemGuids.push_back(guid);
    for (const Guid& system : systemGuids) {
        host::Array<host::ClassificationItemRecord> top;
        if (hostApi().call<host::HostSlot::getClassificationTopItems>(&system.getRecord(), &top) !=
            host::kNoError)
            continue;
        Items found;
        bool sound = true;
        for (const host::ClassificationItemRecord& record : top) {
            std::set<Guid> path;
            if (!(sound = addItems(record, /*descend=*/true, found, path))) break;
        }
        if (!sound) {
            lastResult_ = kErrCycle;
            continue;
        }
        for (auto& [guid, item] : found) items_->emplace(guid, std::move(item));   // earlier records stay
    }
}

void ClassificationDatabase::indexNames() {
    if (indexed_ && indexedItems_ == items_->size() && indexedNames_ == Classification::nameGeneration())
        return;
    itemsByName_.clear();
    for (const Items::value_type& entry : *items_)   // map entries stay where they are while it grows
        itemsByName_.emplace(entry.second->getName().getView(), &entry);
    // Read after the walk: an item loaded by it takes its name before the index does.
    indexedNames_ = Classification::nameGeneration();
    indexedItems_ = items_->size();
    indexed_ = true;
}

bool ClassificationDatabase::addItems(const host::ClassificationItemRecord& record, bool descend,
                                      Items& found, std::set<Guid>& path) {
    const Guid guid(record.guid);
    if (!path.insert(guid).second) return false;   // nested inside itself
    // 1.
    if (found.count(guid) == 0 && items_->count(guid) == 0)
        found.emplace(guid, std::make_shared<Classification>(record));
    // 2. Children are visited even when the item was known.
    bool sound = true;
    if (descend) {
        host::Array<host::ClassificationItemRecord> children;
        if (hostApi().call<host::HostSlot::getClassificationChildren>(&record.guid, &children) ==
            host::kNoError)
            for (const host::ClassificationItemRecord& child : children)
                if (!(sound = addItems(child, descend, found, path))) break;
    }
    path.erase(guid);
    return sound;
}

// --- Finding ---------------------------------------------------------------------------------------------
std::shared_ptr<ClassificationSystem> ClassificationDatabase::findSystem(const String& name) {
    loadSystems();
    for (const auto& [guid, system] : *systems_)
        if (system->getName() == name) return system;
    return nullptr;
}

bool ClassificationDatabase::matches(const Classification& item, const ClassificationName& name,
                                     const String& id) const {
    if (!(item.getName() == name)) return false;
    const std::shared_ptr<ClassificationSystem> system = item.getSystem();
    if (!name.getSystemName().isEmpty() && system && !(system->getName() == name.getSystemName()))
        return false;
    return id.isEmpty() || item.getId() == id;
}

std::shared_ptr<Classification> ClassificationDatabase::findClassification(const ClassificationName& name,
                                                                           const String& id) {
    loadItems();
    indexNames();
    // The index holds every item of the name, so the first of its matches in GUID order is the first
    // match of the whole map.
    const auto [first, last] = itemsByName_.equal_range(name.getView());
    Items::const_pointer best = nullptr;
    for (auto it = first; it != last; ++it)
        if (matches(*it->second->second, name, id) && (best == nullptr || it->second->first < best->first))
            best = it->second;
    return best != nullptr ? best->second : nullptr;
}

// --- Storing ---------------------------------------------------------------------------------------------
bool ClassificationDatabase::storeSystem(ClassificationSystem& system) {
    // 1.
    host::ClassificationSystemRecord record{};
    if (!system.toHost(record)) return false;
    // 2. and 3.
    lastResult_ = system.getGuid().isValid()
                      ? hostApi().call<host::HostSlot::changeClassificationSystem>(&record)
                      : hostApi().call<host::HostSlot::createClassificationSystem>(&record);
    if (lastResult_ != host::kNoError) return false;
    system.setGuid(Guid(record.guid));
    return true;
}

bool ClassificationDatabase::storeClassification(Classification& item, const Guid& placement) {
    // 1.
    host::ClassificationItemRecord record{};
    if (!item.toHost(record)) return false;
    // 2. and 3.
    if (item.getGuid().isValid()) {
        lastResult_ = hostApi().call<host::HostSlot::changeClassificationItem>(&record);
    } else {
        const host::GuidRecord system = item.getSystemGuid().getRecord();
        const host::GuidRecord parent = item.getParentGuid().getRecord();
        lastResult_ = hostApi().call<host::HostSlot::createClassificationItem>(&record, &system, &parent,
                                                                               &placement.getRecord());
    }
    if (lastResult_ != host::kNoError) return false;
    item.setGuid(Guid(record.guid));
    return true;
}

std::shared_ptr<ClassificationTree> ClassificationDatabase::getTree() {
    if (!tree_) tree_ = ClassificationTree::build(this);   // an empty result is not kept
    return tree_;
}

}   // namespace tarnwick
