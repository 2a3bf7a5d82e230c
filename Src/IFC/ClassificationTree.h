// ClassificationTree: the project's classification systems and items as a graph: a root, a vertex per
// system under it, and each system's items below it as the host nests them. Edges run parent to child.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <unordered_map>
#include <utility>

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
    bool addChildren(std::int64_t vertex, const Guid& item, std::set<Guid>& path);
    bool isVertex(std::int64_t vertex) const;
    void reindex();

    struct GuidHash {
        std::size_t operator()(const Guid& guid) const noexcept;
    };
    std::unordered_multimap<Guid, std::int64_t, GuidHash> byGuid_;   // every vertex by its GUID
};

}   // namespace tarnwick
