// SimFlatMap: a hash map held in two flat blocks, for the simulated project's large keyed parts: the
// entries in a vector, and an open-addressing index of their positions. A lookup reads an index slot
// and an entry where a node-based map chases a bucket and two nodes, and a copy is two block copies.
// It offers the part of std::unordered_map that SimSharedMap uses, so it can stand as SimSharedMap's map.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <utility>
#include <vector>

namespace host {

// Entries are in no particular order: erasing one moves the last into its place. Any change may move
// entries, so iterators and references last only until the next change.
template <typename K, typename V, typename Hash>
class SimFlatMap {
public:
    using value_type = std::pair<K, V>;
    using iterator = typename std::vector<value_type>::iterator;
    using const_iterator = typename std::vector<value_type>::const_iterator;

    std::size_t size() const { return entries_.size(); }
    bool empty() const { return entries_.empty(); }
    std::size_t count(const K& key) const { return slotOf(key) == kAbsent ? 0 : 1; }
    iterator begin() { return entries_.begin(); }
    iterator end() { return entries_.end(); }
    const_iterator begin() const { return entries_.begin(); }
    const_iterator end() const { return entries_.end(); }

    const_iterator find(const K& key) const {   // end() when absent
        const std::size_t slot = slotOf(key);
        return slot == kAbsent ? end() : begin() + slots_[slot].entry - 1;
    }
    iterator find(const K& key) {
        const std::size_t slot = slotOf(key);
        return slot == kAbsent ? end() : begin() + slots_[slot].entry - 1;
    }
    V& at(const K& key) {   // throws std::out_of_range when absent, as std::unordered_map does
        const iterator found = find(key);
        if (found == end()) throw std::out_of_range("SimFlatMap::at");
        return found->second;
    }
    std::pair<iterator, bool> emplace(const K& key, V value) {   // the entry there, unchanged, and false
        const std::size_t slot = slotOf(key);
        if (slot != kAbsent) return {begin() + slots_[slot].entry - 1, false};
        if (2 * (entries_.size() + 1) > slots_.size()) grow();
        entries_.emplace_back(key, std::move(value));
        place(hashOf(key), static_cast<std::uint32_t>(entries_.size()));
        return {end() - 1, true};
    }
    std::size_t erase(const K& key) {   // how many went: 0 or 1
        const std::size_t slot = slotOf(key);
        if (slot == kAbsent) return 0;
        const std::uint32_t entry = slots_[slot].entry;
        vacate(slot);
        const auto last = static_cast<std::uint32_t>(entries_.size());
        if (entry != last) {   // the last entry moves into the gap; its slot follows it
            slots_[slotOf(entries_.back().first)].entry = entry;
            entries_[entry - 1] = std::move(entries_.back());
        }
        entries_.pop_back();
        return 1;
    }

private:
    static constexpr std::size_t kAbsent = static_cast<std::size_t>(-1);

    // A slot holds its entry's position plus one (0: empty) and the low half of the key's hash: enough to
    // find the slot's home in any table of up to 2^32 slots, and to pass over most other keys unread.
    struct Slot {
        std::uint32_t hash = 0;
        std::uint32_t entry = 0;
    };

    // The caller's hash, mixed again: the index takes its low bits only, which a plain hash may leave
    // poorly spread.
    static std::uint32_t hashOf(const K& key) {
        std::uint64_t h = static_cast<std::uint64_t>(Hash{}(key));
        h ^= h >> 33;
        h *= 0xFF51AFD7ED558CCDull;
        h ^= h >> 33;
        h *= 0xC4CEB9FE1A85EC53ull;
        return static_cast<std::uint32_t>(h ^ (h >> 33));
    }
    std::size_t mask() const { return slots_.size() - 1; }

    std::size_t slotOf(const K& key) const {
        if (slots_.empty()) return kAbsent;
        const std::uint32_t hash = hashOf(key);
        for (std::size_t at = hash & mask(); slots_[at].entry != 0; at = (at + 1) & mask())
            if (slots_[at].hash == hash && entries_[slots_[at].entry - 1].first == key) return at;
        return kAbsent;
    }
    void place(std::uint32_t hash, std::uint32_t entry) {
        std::size_t at = hash & mask();
        while (slots_[at].entry != 0) at = (at + 1) & mask();
        slots_[at] = {hash, entry};
    }
    // Doubles the index (kept at most half full), placing every entry again.
    void grow() {
        std::vector<Slot> old(slots_.empty() ? 16 : 2 * slots_.size());
        old.swap(slots_);
        for (const Slot& slot : old)
            if (slot.entry != 0) place(slot.hash, slot.entry);
    }
    // Empties the slot, moving back the later slots of its run that may sit in it, so no lookup stops
    // short at the gap.
    void vacate(std::size_t gap) {
        for (std::size_t at = (gap + 1) & mask(); slots_[at].entry != 0; at = (at + 1) & mask()) {
            const std::size_t home = slots_[at].hash & mask();
            // The slot may move back unless its home lies cyclically after the gap, up to the slot.
            const bool after = gap < at ? (home > gap && home <= at) : (home > gap || home <= at);
            if (!after) {
                slots_[gap] = slots_[at];
                gap = at;
            }
        }
        slots_[gap] = {};
    }

    std::vector<value_type> entries_;
    std::vector<Slot> slots_;   // a power of two of them, or none
};

}   // namespace host
