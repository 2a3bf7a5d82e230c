// SimShared and SimSharedMap: parts of the simulated project that a copy (an undo step's picture) shares
// with the project until one side changes them. Reading never copies; the first change after a copy
// copies what it changes: a SimShared value whole, a SimSharedMap's one entry (and the map's nodes, which
// hold only pointers). So an undo step keeps only what its command changed.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <unordered_map>
#include <utility>

namespace host {

template <typename T>
class SimShared {
public:
    SimShared() : value_(std::make_shared<T>()) {}
    SimShared(T value) : value_(std::make_shared<T>(std::move(value))) {}   // NOLINT: as a T

    const T& operator*() const { return *value_; }
    const T* operator->() const { return value_.get(); }
    T& edit() {   // this copy's own value, copied first when shared
        if (value_.use_count() > 1) value_ = std::make_shared<T>(*value_);
        return *value_;
    }
    bool isSharedWith(const SimShared& other) const { return value_ == other.value_; }
    bool operator==(const SimShared& other) const {
        return value_ == other.value_ || *value_ == *other.value_;
    }

private:
    std::shared_ptr<T> value_;   // never null
};

// A map from K to V whose entries are shared with copies: ordered by K, or with Map an unordered map of
// the same entries where nothing walks the map in order. Iterating gives (key, value) pairs of references;
// changes go through edit, operator[], emplace and erase.
template <typename K, typename V, typename Map = std::map<K, std::shared_ptr<V>>>
class SimSharedMap {
public:
    class const_iterator {
    public:
        explicit const_iterator(typename Map::const_iterator at) : at_(at) {}
        std::pair<const K&, const V&> operator*() const { return {at_->first, *at_->second}; }
        const_iterator& operator++() {
            ++at_;
            return *this;
        }
        bool operator==(const const_iterator& other) const { return at_ == other.at_; }

    private:
        typename Map::const_iterator at_;
    };

    std::size_t size() const { return map_->size(); }
    bool empty() const { return map_->empty(); }
    std::size_t count(const K& key) const { return map_->count(key); }
    const_iterator begin() const { return const_iterator(map_->begin()); }
    const_iterator end() const { return const_iterator(map_->end()); }

    const V* find(const K& key) const {   // null when absent
        const auto found = map_->find(key);
        return found == map_->end() ? nullptr : found->second.get();
    }
    V* edit(const K& key) {   // null when absent; else this map's own entry
        if (!find(key)) return nullptr;
        std::shared_ptr<V>& entry = map_.edit().at(key);
        if (entry.use_count() > 1) entry = std::make_shared<V>(*entry);
        return entry.get();
    }
    V& operator[](const K& key) {   // made empty when absent
        if (V* held = edit(key)) return *held;
        return *map_.edit().emplace(key, std::make_shared<V>()).first->second;
    }
    bool emplace(const K& key, V value) {   // false, nothing changed, when the key is there
        if (find(key)) return false;
        map_.edit().emplace(key, std::make_shared<V>(std::move(value)));
        return true;
    }
    bool erase(const K& key) {
        if (!find(key)) return false;
        map_.edit().erase(key);
        return true;
    }
    void clear() { map_ = SimShared<Map>(); }

    bool isSharedWith(const SimSharedMap& other) const { return map_.isSharedWith(other.map_); }   // whole
    // How many entries this map shares with other maps: for tests and benchmarks.
    std::size_t countShared() const {
        std::size_t shared = 0;
        for (const auto& [key, entry] : *map_) shared += entry.use_count() > 1 ? 1 : 0;
        return shared;
    }
    bool operator==(const SimSharedMap& other) const {
        if (map_.isSharedWith(other.map_)) return true;
        if (size() != other.size()) return false;
        for (const auto& [key, entry] : *map_) {
            const auto theirs = other.map_->find(key);
            if (theirs == other.map_->end() || (entry != theirs->second && !(*entry == *theirs->second)))
                return false;
        }
        return true;
    }

private:
    SimShared<Map> map_;
};

// A hash of a 16-byte GUID: its two halves mixed.
struct SimGuidHash {
    std::size_t operator()(const std::array<unsigned char, 16>& guid) const noexcept {
        std::uint64_t halves[2];
        std::memcpy(halves, guid.data(), sizeof halves);
        return static_cast<std::size_t>(halves[0] ^ (halves[1] * 0x9E3779B97F4A7C15ull));
    }
};

}   // namespace host
