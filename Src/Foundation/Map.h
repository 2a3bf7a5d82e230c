// Map<K, V>: a map ordered by key whose values are owned; clearing or destroying it deletes them.
#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <utility>

namespace tarnwick {

// Move-only. Keys are ordered by K's operator<. Values may be null and are deleted through V's
// (virtual) destructor. Iterators are those of std::map, over {key, owning pointer} pairs.
template <typename K, typename V>
class Map {
public:
    using Entries = std::map<K, std::unique_ptr<V>>;
    using iterator = typename Entries::iterator;
    using const_iterator = typename Entries::const_iterator;

    Map() = default;
    Map(Map&&) noexcept = default;
    Map& operator=(Map&&) noexcept = default;
    Map(const Map&) = delete;
    Map& operator=(const Map&) = delete;
    virtual ~Map() = default;   // maps of particular uses derive from it

    std::size_t size() const { return entries_.size(); }
    bool empty() const { return entries_.empty(); }

    iterator begin() { return entries_.begin(); }
    iterator end() { return entries_.end(); }
    const_iterator begin() const { return entries_.begin(); }
    const_iterator end() const { return entries_.end(); }
    iterator find(const K& key) { return entries_.find(key); }
    const_iterator find(const K& key) const { return entries_.find(key); }
    iterator lower_bound(const K& key) { return entries_.lower_bound(key); }   // first at or after key
    const_iterator lower_bound(const K& key) const { return entries_.lower_bound(key); }
    iterator upper_bound(const K& key) { return entries_.upper_bound(key); }   // first after key
    const_iterator upper_bound(const K& key) const { return entries_.upper_bound(key); }

    V* get(const K& key) const {   // null when the key is absent
        const auto found = entries_.find(key);
        return found == entries_.end() ? nullptr : found->second.get();
    }
    bool contains(const K& key) const { return entries_.find(key) != entries_.end(); }

    // Stores value under key; a value already there is deleted. Returns the stored value.
    V* set(const K& key, std::unique_ptr<V> value) {
        auto& slot = entries_[key];
        slot = std::move(value);
        return slot.get();
    }
    bool erase(const K& key) { return entries_.erase(key) != 0; }   // deletes the value; false when absent
    iterator erase(const_iterator position) { return entries_.erase(position); }
    std::unique_ptr<V> release(const K& key) {   // takes the value out without deleting it; null when absent
        const auto found = entries_.find(key);
        if (found == entries_.end()) return nullptr;
        std::unique_ptr<V> value = std::move(found->second);
        entries_.erase(found);
        return value;
    }
    void clear() { entries_.clear(); }   // deletes every value

private:
    Entries entries_;
};

}   // namespace tarnwick
