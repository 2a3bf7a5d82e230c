// SimLibraryIndex: the simulated host's lookups of its loaded library parts by document name, file name,
// unique id and parent id, each unique-id text parsed once. A real project loads thousands of parts, and
// a search that folded every name and parsed every unique id made each library call a walk of them all.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "HostGuid.h"
#include "SimProject.h"

namespace host {

// A unique-id text: "{main}" or "{main}-{revision}", hexadecimal digits in either case.
struct UniqueId {
    GuidRecord main{};
    GuidRecord revision{};
    bool hasRevision = false;

    static bool parse(std::string_view text, UniqueId& id);   // false on any other text
    bool sameMain(const UniqueId& other) const;
    bool sameText(const UniqueId& other) const;   // the same main and revision guids, as parsed
};

// Kept beside the project by its owner. The project's part list is open to its loader and to tests, which
// change parts in place, so nothing the index holds is taken on trust: every entry a lookup touches is
// first compared with the part's texts (no parsing, no case folding), and before a lookup answers that
// nothing qualifies, every entry is. A stale entry makes the index anew and the lookup run again. Parts
// added at the end are indexed as they come. Every answer is the lowest library index that qualifies
// (the highest when asked), as a walk in library order gives it, but for one case: a part changed in place,
// not through the host's calls, to a name or id that a later unchanged part already has is not preferred
// to that part until the index is made anew.
class SimLibraryIndex {
public:
    using Parts = std::vector<SimLibraryPart>;

    // The part by its own unique id (or its parent id): the same text first, else the same main guid;
    // only parts past index `after`, of the type (0: any), placeable when asked. 0 when none.
    std::int32_t findByUniqueId(const Parts& parts, const UniqueId& wanted, std::int32_t type,
                                std::int32_t after, bool parent, bool onlyPlaceable);
    // The first (or last) part of the document name, else of the file name, compared without case; deleted
    // parts never qualify.
    std::int32_t findByName(const Parts& parts, std::string_view name, bool fileName, std::int32_t type,
                            bool onlyPlaceable, bool last);
    // The parsed unique id (or parent id) of the loaded part at the index; null when it does not parse or
    // there is no such part.
    const UniqueId* idOf(const Parts& parts, std::int32_t index, bool parent);

private:
    struct Keys {   // the texts an entry was made of
        std::string name;
        std::string fileName;
        std::string uniqueId;
        std::string parentId;
    };
    struct Parsed {
        UniqueId id;
        bool valid = false;
    };
    using Indices = std::vector<std::int32_t>;   // ascending library indices

    static std::string guidKey(const GuidRecord& guid);
    void follow(const Parts& parts);   // indexes parts added at the end, or all anew when the list moved
    void rebuild(const Parts& parts);
    bool current(const Parts& parts, std::int32_t index) const;   // the entry's texts are the part's
    bool allCurrent(const Parts& parts) const;
    // Runs a lookup (nullopt: it touched a stale entry) on an index that follows the parts, again on a new
    // index when it touched a stale entry or found nothing while some entry was stale.
    template <class Lookup>
    std::int32_t answer(const Parts& parts, Lookup lookup);

    const SimLibraryPart* indexedData_ = nullptr;   // where the list was when last indexed
    std::vector<Keys> keys_;
    std::vector<Parsed> ids_;
    std::vector<Parsed> parents_;
    std::unordered_map<std::string, Indices> byName_;       // by the folded document name
    std::unordered_map<std::string, Indices> byFileName_;   // by the folded file name
    std::unordered_map<std::string, Indices> byMain_;       // by the main guid's bytes
    std::unordered_map<std::string, Indices> byParentMain_;
};

}   // namespace host
