// ClassificationTree: the project's classification systems and items as a graph: a root, a vertex per
// system under it, and each system's items below it as the host nests them. Edges run parent to child.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <utility>
#include <vector>

#include <boost/graph/adjacency_list.hpp>
#include <boost/variant.hpp>

#include <HostIFCRecords.h>

#include "Foundation/Guid.h"

namespace tarnwick {

class Classification;
class ClassificationDatabase;
class ClassificationSystem;

// The vertex properties, by tag.
struct classificationTree_uniqueID_t {
    using kind = boost::vertex_property_tag;
};
struct classificationTree_record_t {
    using kind = boost::vertex_property_tag;
};
struct classificationTree_visibility_t {
    using kind = boost::vertex_property_tag;
};

// A vertex's record: a system or an item; an empty system handle is no record (the root's).
using ClassificationRecord =
    boost::variant<std::shared_ptr<ClassificationSystem>, std::shared_ptr<Classification>>;

using ClassificationTreeProperties =
    boost::property<classificationTree_uniqueID_t, Guid,
                    boost::property<classificationTree_record_t, ClassificationRecord,
                                    boost::property<classificationTree_visibility_t, bool>>>;

using ClassificationGraph =
    boost::adjacency_list<boost::vecS, boost::vecS, boost::bidirectionalS, ClassificationTreeProperties,
                          boost::no_property, boost::no_property, boost::listS>;

// Shared by the database that built it and its callers. Vertex indices are those of the graph (the root
// is 0); -1 stands for none. Lookups by GUID go through an index, not a scan.
class ClassificationTree : public ClassificationGraph {
public:
    static constexpr std::int64_t kNone = -1;

    ClassificationTree();   // the root only
    virtual ~ClassificationTree();

    // A tree of the host's systems and items as they are now; null when the host refuses the systems or
    // nests an item inside itself (a cycle of parents). The systems are the database's records when one
    // is given.
    static std::shared_ptr<ClassificationTree> build(ClassificationDatabase* database = nullptr);

    virtual std::pair<Guid, ClassificationRecord> getRecord(
        std::int64_t vertex) const;   // {null, empty}: none
    std::int64_t findVertex(
        const Guid& guid) const;               // the lowest vertex of the GUID; the null GUID: the root
    Guid getGuid(std::int64_t vertex) const;   // null for none
    ClassificationRecord getRecordOf(const Guid& guid) const;
    std::int64_t firstChild(std::int64_t vertex) const;
    Guid getSystemGuid(const Guid& guid) const;   // an item's system, a system's own; null otherwise
    // The first item in vertex order whose name is the text; null when none.
    std::shared_ptr<Classification> findClassification(const String& name) const;
    std::int64_t addVertex(std::int64_t parent, const Guid& guid, const ClassificationRecord& record);
    // Adds the host's children of the item under the vertex, depth first; false when the host nests an
    // item inside itself (what was added stays).
    bool addItems(std::int64_t vertex, const std::shared_ptr<Classification>& item);
    void removeVertex(std::int64_t vertex);   // later vertices move down by one

private:
    // A slot of the GUID index: the low half of the hash of a vertex's GUID (enough to find the slot's
    // home in a table of up to 2^32 slots) and the vertex plus one; 0 in an empty slot.
    struct Slot {
        std::uint32_t hash = 0;
        std::uint32_t vertex = 0;
    };

    bool addChildren(std::int64_t vertex, const Guid& item, std::set<Guid>& path);
    bool isVertex(std::int64_t vertex) const;
    void index(std::uint32_t hash, std::int64_t vertex);   // doubles the table first when half full
    void place(std::uint32_t hash, std::int64_t vertex);   // in the first empty slot from its home
    void reindex();                                        // the table made anew for every vertex
    static std::uint32_t hashOf(const Guid& guid);

    // Every vertex by its GUID, open addressing with linear probing in a power-of-two table at most half
    // full: one block that grows by doubling, so a load of many items costs a cache line per item rather
    // than a node. A GUID may be on several vertices; each has its own slot. While the tree is built the
    // table waits (deferIndex_), and is then made once at its final size.
    std::vector<Slot> byGuid_;
    std::size_t indexed_ = 0;
    bool deferIndex_ = false;
};

}   // namespace tarnwick
