#include "IFC/ClassificationTree.h"

#include <algorithm>
#include <cstring>

#include "Environment/HostApi.h"
#include "IFC/Classification.h"
#include "IFC/ClassificationDatabase.h"
#include "IFC/ClassificationName.h"
#include "IFC/ClassificationSystem.h"

namespace tarnwick {

ClassificationTree::ClassificationTree() {
    addVertex(kNone, Guid(), ClassificationRecord(std::shared_ptr<ClassificationSystem>()));
}

// The graph's many small blocks go back before the index's one large block: freeing that then gathers
// them at once (the C library gathers freed small blocks when a large one is freed or asked for), so the
// work falls here rather than on whatever large allocation comes next, such as the next tree's load.
ClassificationTree::~ClassificationTree() { clear(); }

// --- Building ------------------------------------------------------------------------------------------
std::shared_ptr<ClassificationTree> ClassificationTree::build(ClassificationDatabase* database) {
    // 1.
    host::Array<host::ClassificationSystemRecord> systems;
    if (hostApi().call<host::HostSlot::getClassificationSystems>(&systems) != host::kNoError) return nullptr;
    // 2.
    auto tree = std::make_shared<ClassificationTree>();
    tree->deferIndex_ = true;
    // 3.
    for (const host::ClassificationSystemRecord& record : systems) {
        const Guid guid(record.guid);
        const std::shared_ptr<ClassificationSystem> system =
            database != nullptr ? database->getSystem(guid) : std::make_shared<ClassificationSystem>(record);
        const std::int64_t systemVertex = tree->addVertex(0, guid, ClassificationRecord(system));
        host::Array<host::ClassificationItemRecord> top;
        if (hostApi().call<host::HostSlot::getClassificationTopItems>(&record.guid, &top) != host::kNoError)
            continue;
        for (const host::ClassificationItemRecord& itemRecord : top) {
            auto item = std::make_shared<Classification>(itemRecord);
            const std::int64_t vertex =
                tree->addVertex(systemVertex, item->getGuid(), ClassificationRecord(item));
            if (!tree->addItems(vertex, item)) return nullptr;
        }
    }
    tree->deferIndex_ = false;
    tree->reindex();
    return tree;
}

bool ClassificationTree::addItems(std::int64_t vertex, const std::shared_ptr<Classification>& item) {
    if (!isVertex(vertex) || !item) return true;
    std::set<Guid> path{item->getGuid()};
    return addChildren(vertex, item->getGuid(), path);
}

// `path` holds the items from the top down to this one: a child among them would nest an item inside
// itself, and descending into it would never end.
bool ClassificationTree::addChildren(std::int64_t vertex, const Guid& item, std::set<Guid>& path) {
    host::Array<host::ClassificationItemRecord> children;
    if (hostApi().call<host::HostSlot::getClassificationChildren>(&item.getRecord(), &children) !=
        host::kNoError)
        return true;
    for (const host::ClassificationItemRecord& record : children) {
        const Guid guid(record.guid);
        if (!path.insert(guid).second) return false;
        auto child = std::make_shared<Classification>(record);
        const std::int64_t childVertex = addVertex(vertex, guid, ClassificationRecord(child));
        const bool sound = addChildren(childVertex, guid, path);
        path.erase(guid);
        if (!sound) return false;
    }
    return true;
}

std::int64_t ClassificationTree::addVertex(std::int64_t parent, const Guid& guid,
                                           const ClassificationRecord& record) {
    const auto vertex = boost::add_vertex(ClassificationTreeProperties(guid, {record, false}), *this);
    if (isVertex(parent)) boost::add_edge(static_cast<vertex_descriptor>(parent), vertex, *this);
    if (!deferIndex_) index(hashOf(guid), static_cast<std::int64_t>(vertex));
    return static_cast<std::int64_t>(vertex);
}

void ClassificationTree::removeVertex(std::int64_t vertex) {
    if (!isVertex(vertex)) return;
    boost::clear_vertex(static_cast<vertex_descriptor>(vertex), *this);
    boost::remove_vertex(static_cast<vertex_descriptor>(vertex), *this);
    reindex();
}

// --- The GUID index ----------------------------------------------------------------------------------------
void ClassificationTree::index(std::uint32_t hash, std::int64_t vertex) {
    if (2 * (indexed_ + 1) > byGuid_.size()) {
        std::vector<Slot> old(std::max<std::size_t>(16, 2 * byGuid_.size()));
        old.swap(byGuid_);
        for (const Slot& slot : old)
            if (slot.vertex != 0) place(slot.hash, slot.vertex - 1);
    }
    place(hash, vertex);
    ++indexed_;
}

void ClassificationTree::place(std::uint32_t hash, std::int64_t vertex) {
    const std::size_t mask = byGuid_.size() - 1;
    std::size_t at = hash & mask;
    while (byGuid_[at].vertex != 0) at = (at + 1) & mask;
    byGuid_[at] = {hash, static_cast<std::uint32_t>(vertex + 1)};
}

void ClassificationTree::reindex() {
    const std::size_t count = boost::num_vertices(*this);
    std::size_t size = 16;
    while (size < 2 * count) size *= 2;
    byGuid_.assign(size, Slot());
    indexed_ = count;
    const auto ids = boost::get(classificationTree_uniqueID_t(), *this);
    std::vector<std::uint32_t> hashes(count);
    for (std::size_t v = 0; v < count; ++v) hashes[v] = hashOf(ids[v]);
    // A large table is written all over: each slot is fetched a few vertices ahead of its use.
    constexpr std::size_t kAhead = 16;
    const std::size_t mask = size - 1;
    for (std::size_t v = 0; v < count; ++v) {
        if (v + kAhead < count) __builtin_prefetch(&byGuid_[hashes[v + kAhead] & mask], /*write=*/1);
        place(hashes[v], static_cast<std::int64_t>(v));
    }
}

// Both halves pass through a full 64-bit mix, so GUIDs that differ in a few bits only (made by a counter,
// or in tests) still spread over the whole table.
std::uint32_t ClassificationTree::hashOf(const Guid& guid) {
    const auto mix = [](std::uint64_t h) {
        h ^= h >> 33;
        h *= 0xFF51AFD7ED558CCDull;
        h ^= h >> 33;
        h *= 0xC4CEB9FE1A85EC53ull;
        return h ^ (h >> 33);
    };
    std::uint64_t halves[2];
    static_assert(sizeof halves == sizeof(host::GuidRecord));
    std::memcpy(halves, &guid.getRecord(), sizeof halves);
    return static_cast<std::uint32_t>(mix(halves[0] + mix(halves[1])));
}

// --- Lookups ---------------------------------------------------------------------------------------------
bool ClassificationTree::isVertex(std::int64_t vertex) const {
    return vertex >= 0 && static_cast<std::size_t>(vertex) < boost::num_vertices(*this);
}

std::int64_t ClassificationTree::findVertex(const Guid& guid) const {
    if (byGuid_.empty()) return kNone;
    const std::uint32_t hash = hashOf(guid);
    const std::size_t mask = byGuid_.size() - 1;
    const auto ids = boost::get(classificationTree_uniqueID_t(), *this);
    std::uint32_t lowest = 0;   // plus one, as in the slots
    // Every slot of the GUID lies in the run of full slots that starts at its home.
    for (std::size_t at = hash & mask; byGuid_[at].vertex != 0; at = (at + 1) & mask) {
        const Slot& slot = byGuid_[at];
        if (slot.hash == hash && (lowest == 0 || slot.vertex < lowest) && ids[slot.vertex - 1] == guid)
            lowest = slot.vertex;
    }
    return static_cast<std::int64_t>(lowest) - 1;
}

Guid ClassificationTree::getGuid(std::int64_t vertex) const {
    return isVertex(vertex)
               ? boost::get(classificationTree_uniqueID_t(), *this, static_cast<vertex_descriptor>(vertex))
               : Guid();
}

std::pair<Guid, ClassificationRecord> ClassificationTree::getRecord(std::int64_t vertex) const {
    if (!isVertex(vertex)) return {Guid(), ClassificationRecord(std::shared_ptr<ClassificationSystem>())};
    const auto v = static_cast<vertex_descriptor>(vertex);
    return {boost::get(classificationTree_uniqueID_t(), *this, v),
            boost::get(classificationTree_record_t(), *this, v)};
}

ClassificationRecord ClassificationTree::getRecordOf(const Guid& guid) const {
    return getRecord(findVertex(guid)).second;
}

std::int64_t ClassificationTree::firstChild(std::int64_t vertex) const {
    if (!isVertex(vertex)) return kNone;
    const auto [first, last] = boost::out_edges(static_cast<vertex_descriptor>(vertex), *this);
    return first == last ? kNone : static_cast<std::int64_t>(boost::target(*first, *this));
}

Guid ClassificationTree::getSystemGuid(const Guid& guid) const {
    std::int64_t vertex = findVertex(guid);
    // At most one step per vertex: a tree changed by hand into a loop still ends.
    for (std::size_t steps = 0; isVertex(vertex) && steps <= boost::num_vertices(*this); ++steps) {
        const auto [first, last] = boost::in_edges(static_cast<vertex_descriptor>(vertex), *this);
        if (first == last) return Guid();   // the root, or a vertex without a parent
        const auto parent = static_cast<std::int64_t>(boost::source(*first, *this));
        if (parent == 0) return getGuid(vertex);
        vertex = parent;
    }
    return Guid();
}

std::shared_ptr<Classification> ClassificationTree::findClassification(const String& name) const {
    const auto records = boost::get(classificationTree_record_t(), *this);
    for (std::size_t v = 0; v < boost::num_vertices(*this); ++v) {
        // The kind is tested before the checked access, so boost::bad_get is never thrown.
        const auto* item = boost::get<std::shared_ptr<Classification>>(&records[v]);
        if (item != nullptr && *item && (*item)->getName() == name) return *item;
    }
    return nullptr;
}

}   // namespace tarnwick
