#include "SimLibraryIndex.h"

#include <cstring>

#include "HostText.h"

namespace host {

bool UniqueId::parse(std::string_view text, UniqueId& id) {
    const auto braced = [](std::string_view part, GuidRecord& guid) {
        return part.size() == 38 && part.front() == '{' && part.back() == '}' && guidFromText(part, guid);
    };
    if (text.size() == 38) {
        id.hasRevision = false;
        return braced(text, id.main);
    }
    if (text.size() != 77 || text[38] != '-') return false;
    id.hasRevision = true;
    return braced(text.substr(0, 38), id.main) && braced(text.substr(39), id.revision);
}

bool UniqueId::sameMain(const UniqueId& other) const { return compareGuids(main, other.main) == 0; }

bool UniqueId::sameText(const UniqueId& other) const {
    return sameMain(other) && hasRevision == other.hasRevision &&
           (!hasRevision || compareGuids(revision, other.revision) == 0);
}

// --- Keeping up with the parts ----------------------------------------------------------------------
std::string SimLibraryIndex::guidKey(const GuidRecord& guid) {
    std::string key(sizeof guid, '\0');
    std::memcpy(key.data(), &guid, sizeof guid);
    return key;
}

bool SimLibraryIndex::current(const Parts& parts, std::int32_t index) const {
    const auto at = static_cast<std::size_t>(index) - 1;
    const Keys& keys = keys_[at];
    const SimLibraryPart& part = parts[at];
    return keys.name == part.name && keys.fileName == part.fileName && keys.uniqueId == part.uniqueId &&
           keys.parentId == part.parentId;
}

bool SimLibraryIndex::allCurrent(const Parts& parts) const {
    if (keys_.size() != parts.size()) return false;
    for (std::size_t i = 0; i < parts.size(); ++i)
        if (!current(parts, static_cast<std::int32_t>(i) + 1)) return false;
    return true;
}

void SimLibraryIndex::rebuild(const Parts& parts) {
    keys_.clear();
    ids_.clear();
    parents_.clear();
    byName_.clear();
    byFileName_.clear();
    byMain_.clear();
    byParentMain_.clear();
    follow(parts);
}

void SimLibraryIndex::follow(const Parts& parts) {
    // A list that moved or shrank may be another project's: only comparing every entry tells.
    if (!keys_.empty() && (indexedData_ != parts.data() || parts.size() < keys_.size())) {
        bool same = parts.size() >= keys_.size();
        for (std::size_t i = 0; same && i < keys_.size(); ++i)
            same = current(parts, static_cast<std::int32_t>(i) + 1);
        if (!same) return rebuild(parts);
    }
    indexedData_ = parts.data();
    for (std::size_t i = keys_.size(); i < parts.size(); ++i) {
        const SimLibraryPart& part = parts[i];
        const auto index = static_cast<std::int32_t>(i) + 1;
        keys_.push_back({part.name, part.fileName, part.uniqueId, part.parentId});
        byName_[toLowerText(part.name)].push_back(index);
        byFileName_[toLowerText(part.fileName)].push_back(index);
        Parsed id, parent;
        id.valid = UniqueId::parse(part.uniqueId, id.id);
        parent.valid = UniqueId::parse(part.parentId, parent.id);
        if (id.valid) byMain_[guidKey(id.id.main)].push_back(index);
        if (parent.valid) byParentMain_[guidKey(parent.id.main)].push_back(index);
        ids_.push_back(id);
        parents_.push_back(parent);
    }
}

template <class Lookup>
std::int32_t SimLibraryIndex::answer(const Parts& parts, Lookup lookup) {
    follow(parts);
    const std::optional<std::int32_t> found = lookup();
    if (found && (*found != 0 || allCurrent(parts))) return *found;
    rebuild(parts);
    return lookup().value_or(0);   // every entry is current now
}

// --- Lookups ------------------------------------------------------------------------------------------
std::int32_t SimLibraryIndex::findByUniqueId(const Parts& parts, const UniqueId& wanted, std::int32_t type,
                                             std::int32_t after, bool parent, bool onlyPlaceable) {
    return answer(parts, [&]() -> std::optional<std::int32_t> {
        const auto& map = parent ? byParentMain_ : byMain_;
        const auto found = map.find(guidKey(wanted.main));
        if (found == map.end()) return 0;
        const auto passes = [&](std::int32_t index) {
            const SimLibraryPart& part = parts[static_cast<std::size_t>(index) - 1];
            return !part.deleted && index > after && (type == 0 || part.type == type) &&
                   (!onlyPlaceable || part.placeable);
        };
        const std::vector<Parsed>& parsed = parent ? parents_ : ids_;
        std::int32_t sameMain = 0;
        for (const std::int32_t index : found->second) {
            if (!passes(index)) continue;
            if (!current(parts, index)) return std::nullopt;
            if (parsed[static_cast<std::size_t>(index) - 1].id.sameText(wanted))
                return index;                      // the same text
            if (sameMain == 0) sameMain = index;   // else the first of the same main guid
        }
        return sameMain;
    });
}

std::int32_t SimLibraryIndex::findByName(const Parts& parts, std::string_view name, bool fileName,
                                         std::int32_t type, bool onlyPlaceable, bool last) {
    const std::string folded = toLowerText(name);
    return answer(parts, [&]() -> std::optional<std::int32_t> {
        const auto& map = fileName ? byFileName_ : byName_;
        const auto found = map.find(folded);
        if (found == map.end()) return 0;
        std::int32_t answer = 0;
        for (const std::int32_t index : found->second) {
            const SimLibraryPart& part = parts[static_cast<std::size_t>(index) - 1];
            if (part.deleted || (type != 0 && part.type != type) || (onlyPlaceable && !part.placeable))
                continue;
            if (!current(parts, index)) return std::nullopt;
            answer = index;
            if (!last) break;
        }
        return answer;
    });
}

const UniqueId* SimLibraryIndex::idOf(const Parts& parts, std::int32_t index, bool parent) {
    if (index < 1 || static_cast<std::size_t>(index) > parts.size()) return nullptr;
    follow(parts);
    if (!current(parts, index)) rebuild(parts);
    const Parsed& parsed = (parent ? parents_ : ids_)[static_cast<std::size_t>(index) - 1];
    return parsed.valid ? &parsed.id : nullptr;
}

}   // namespace host
