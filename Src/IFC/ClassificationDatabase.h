// ClassificationDatabase: the project's database of the host's classification systems and items, kept by
// GUID and shared with whoever asks, loaded from the host on demand, found by name and id, stored back and
// arranged as a ClassificationTree.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>

#include <HostIFCRecords.h>

#include "Foundation/Guid.h"
#include "Project/Database.h"

namespace tarnwick {

class Classification;
class ClassificationName;
class ClassificationSystem;
class ClassificationTree;

// Owned by the Project. Host refusals are kept as the last result and give false or null, never a throw.
// Records made from a GUID alone (getSystem, getClassification) load themselves on first access.
class ClassificationDatabase : public Database {
public:
    explicit ClassificationDatabase(Project& project);
    ~ClassificationDatabase() override;

    void clear() override;   // drops both maps and the tree; the next use loads again
    String typeName() const override;

    std::shared_ptr<ClassificationSystem> getSystem(const Guid& guid);     // never null
    std::shared_ptr<Classification> getClassification(const Guid& guid);   // never null
    void loadSystems();                                                    // once until clear
    void loadItems();   // once until clear; a system whose items nest inside themselves is left out
    std::shared_ptr<ClassificationSystem> findSystem(const String& name);   // null when none
    // The first item in GUID order of the name, of the name's system when it names one, and of the id
    // when it is given; null when none. Found through a name index, not a walk.
    std::shared_ptr<Classification> findClassification(const ClassificationName& name, const String& id);
    bool storeSystem(ClassificationSystem& system);   // changed, or created when its GUID is null
    bool storeClassification(Classification& item, const Guid& placement);
    std::shared_ptr<ClassificationTree> getTree();   // built once until clear; null when it cannot be
    std::uint32_t getLastResult() const { return lastResult_; }

    // A cycle of parents in the host's items (one nested inside itself).
    static constexpr std::uint32_t kErrCycle = 0x81060068;   // the host's bad-parameters code

private:
    using Items = std::map<Guid, std::shared_ptr<Classification>>;
    // Adds the item (and its descendants) to `found`; false on a cycle of parents.
    bool addItems(const host::ClassificationItemRecord& record, bool descend, Items& found,
                  std::set<Guid>& path);
    bool matches(const Classification& item, const ClassificationName& name, const String& id) const;
    void indexNames();   // brings itemsByName_ up to the item map and the items' names

    std::unique_ptr<std::map<Guid, std::shared_ptr<ClassificationSystem>>> systems_;
    std::unique_ptr<Items> items_;
    std::shared_ptr<ClassificationTree> tree_;
    std::uint32_t lastResult_ = 0;
    bool itemsLoaded_ = false;
    bool systemsLoaded_ = false;
    // Every item by its name's exact text; hashed, so a lookup costs the same for any number of items.
    // Made again when items were added or any item's name changed since (see indexNames).
    struct NameHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view name) const { return std::hash<std::string_view>{}(name); }
    };
    std::unordered_multimap<std::string, Items::const_pointer, NameHash, std::equal_to<>> itemsByName_;
    std::size_t indexedItems_ = 0;
    std::uint64_t indexedNames_ = 0;
    bool indexed_ = false;
};

}   // namespace tarnwick
