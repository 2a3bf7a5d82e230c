// ParameterNameIndex: the positions of a parameter list's names, so that merging and updating long lists
// costs a lookup per parameter, not a walk of the list. Lists brought up to date from one another mostly
// hold the same names in the same order, so a lookup first tries the positions the caller expects (next
// to its previous match) and hashes the name only when they do not hold it: the lists are then read in
// order, which the processor's prefetching keeps ahead of, instead of at random.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "Foundation/String.h"
#include "LibraryParts/ParameterList.h"

namespace tarnwick {

// Names are compared exactly, or as ParameterList::indexOf compares them (lower-cased). The positions of
// one name are chained in ascending order and first() gives the lowest that is not erased, whichever way
// it is found. Positions may be added past the end (for appended parameters, which the list must hold
// before the next lookup) and a name's first position erased; erased positions keep their place until the
// caller closes the gaps. The names are read from the list itself, so the list outlives the index and a
// parameter replaced in place keeps its name (as compared). Positions stay below ParameterList::kNotFound.
class ParameterNameIndex {
public:
    ParameterNameIndex(const ParameterList& list, bool ignoreCase);
    ~ParameterNameIndex();
    ParameterNameIndex(const ParameterNameIndex&) = delete;
    ParameterNameIndex& operator=(const ParameterNameIndex&) = delete;

    // The lowest position of the name that is not erased; ParameterList::kNotFound when none.
    std::uint64_t first(const String& name) const;
    // The same, the two hinted positions (any values, also past the end) tried before the name is hashed.
    std::uint64_t first(const String& name, std::uint64_t hint, std::uint64_t otherHint) const {
        if (holdsFirst(hint, name)) return hint;
        if (holdsFirst(otherHint, name)) return otherHint;
        return first(name);
    }
    // Whether first(name) would give the position.
    bool holdsFirst(std::uint64_t position, const String& name) const;

    void add(const String& name, std::uint64_t position);   // a position above every one held so far
    void eraseFirst(std::uint64_t position);                // a position that first() gave
    bool isErased(std::uint64_t position) const {
        return position < storage_.erased.size() && storage_.erased[position] != 0;
    }
    bool anyErased() const { return erasures_ != 0; }

    // A mark on the name of the parameter at a held position, seen from every position of that name.
    void mark(std::uint64_t position);
    bool isMarked(std::uint64_t position) const;

    // Asks the processor to load the parameter at the position (its object and what follows it, usually its
    // values) while the caller works on others: walks of lists too long for the caches then no longer
    // wait for memory at every parameter. Nothing for a position past the end.
    static void prefetch(const ParameterList& list, std::uint64_t position,
                         std::size_t bytes = kParameterBytes);
    static constexpr std::uint64_t kPrefetchDistance = 8;   // parameters ahead of the one worked on
    static constexpr std::size_t kParameterBytes = 256;     // a parameter with its values, mostly
    static constexpr std::size_t kNameBytes = 128;          // enough for its name

    // A name as lookups without regard to case see it: lower-cased, directly for ASCII (most names), else
    // by the host.
    static std::string lowerCased(const String& name);

private:
    static constexpr std::uint32_t kNone = 0xFFFFFFFF;

    struct Slot {
        std::uint32_t hash = 0;
        std::uint32_t key = 0;   // the key's number + 1; 0: empty
    };
    struct Key {   // one name
        std::uint32_t hash;
        std::uint32_t first;    // kNone when every position of the name was erased
        std::uint32_t last;     // kNone as well then
        std::uint32_t origin;   // a position holding the name, erased or not: where it is read
    };
    struct Storage {
        std::vector<Slot> slots;             // open addressing over the hashes, at most 3/4 full
        std::vector<Key> keys;               // in the order of the names' first positions
        std::vector<std::uint8_t> marked;    // per key
        std::vector<std::uint32_t> keyOf;    // per position: its key, kNone for an empty position
        std::vector<std::uint32_t> next;     // per position: the next position of its name, or kNone
        std::vector<std::uint8_t> erased;    // per position
        std::vector<std::uint32_t> hashes;   // per position, while the index is built
    };

    std::uint32_t hashOf(const String& name) const;
    bool sameName(const String& held, const String& name) const;
    std::size_t slotOf(const String& name, std::uint32_t hash) const;   // the name's slot, or an empty one
    void insert(const String& name, std::uint32_t hash, std::uint32_t position);
    void rehash(std::size_t capacity);

    static std::vector<Storage>& spares();
    static Storage takeStorage();
    static void giveBack(Storage&& storage) noexcept;

    const ParameterList& list_;
    bool ignoreCase_;
    std::size_t erasures_ = 0;
    Storage storage_;
};

}   // namespace tarnwick
