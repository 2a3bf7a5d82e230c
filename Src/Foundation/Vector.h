// Vector<T>: a growable array of owned pointers; clearing or destroying it deletes the elements.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <utility>
#include <vector>

#include "Foundation/BlockPool.h"
#include "Foundation/TracedException.h"

namespace tarnwick {

// Vector's slot arrays of up to BlockPool::kLargestKept bytes come from the pool: lists read from a
// file are many and mostly short. Stateless.
template <typename T>
struct VectorSlotAllocator {
    using value_type = T;
    VectorSlotAllocator() = default;
    template <typename U>
    VectorSlotAllocator(const VectorSlotAllocator<U>&) noexcept {}
    T* allocate(std::size_t count) {   // Vector keeps count below kMaxCount: the product does not overflow
        return static_cast<T*>(BlockPool::allocate(count * sizeof(T)));
    }
    void deallocate(T* slots, std::size_t count) noexcept { BlockPool::release(slots, count * sizeof(T)); }
    template <typename U>
    bool operator==(const VectorSlotAllocator<U>&) const noexcept {
        return true;
    }
};

// Move-only. Elements may be null; they are deleted through T's (virtual) destructor. The capacity
// grows to max(required, capacity + capacity / 2), so it grows from 0 and 1 too. Growing past
// kMaxCount throws std::length_error("vector<T> too long"); an index past the end throws
// TracedException "out_of_range" from at() and erase().
template <typename T>
class Vector {
public:
    using Slots = std::vector<std::unique_ptr<T>, VectorSlotAllocator<std::unique_ptr<T>>>;
    using iterator = typename Slots::iterator;   // iterates the owning pointers
    using const_iterator = typename Slots::const_iterator;

    static constexpr std::size_t kMaxCount = 0xFFFFFFFE;   // indexes are 32-bit; all ones is "none"

    Vector() = default;
    Vector(Vector&&) noexcept = default;
    Vector& operator=(Vector&&) noexcept = default;
    Vector(const Vector&) = delete;
    Vector& operator=(const Vector&) = delete;
    ~Vector() = default;

    std::size_t size() const { return items_.size(); }
    bool empty() const { return items_.empty(); }
    std::size_t capacity() const { return items_.capacity(); }

    T* operator[](std::size_t index) const { return items_[index].get(); }   // unchecked
    T* at(std::size_t index) const {
        if (index >= items_.size()) throw TracedException("out_of_range", "Vector::at");
        return items_[index].get();
    }
    T* back() const { return items_.empty() ? nullptr : items_.back().get(); }   // null when empty

    iterator begin() { return items_.begin(); }
    iterator end() { return items_.end(); }
    const_iterator begin() const { return items_.begin(); }
    const_iterator end() const { return items_.end(); }

    T* push_back(std::unique_ptr<T> item) {   // returns the element, still owned by the Vector
        grow(items_.size() + 1);
        items_.push_back(std::move(item));
        return items_.back().get();
    }
    T* insert(std::size_t index, std::unique_ptr<T> item) {   // index may be size(): appends
        if (index > items_.size()) throw TracedException("out_of_range", "Vector::insert");
        grow(items_.size() + 1);
        return items_.insert(items_.begin() + static_cast<std::ptrdiff_t>(index), std::move(item))->get();
    }
    void erase(std::size_t index) {   // deletes the element
        if (index >= items_.size()) throw TracedException("out_of_range", "Vector::erase");
        items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(index));
    }
    std::unique_ptr<T> release(std::size_t index) {   // takes the element out without deleting it
        if (index >= items_.size()) throw TracedException("out_of_range", "Vector::release");
        std::unique_ptr<T> item = std::move(items_[index]);
        items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(index));
        return item;
    }
    void reserve(std::size_t count) {
        if (count > kMaxCount) throw std::length_error("vector<T> too long");
        if (count > items_.capacity()) items_.reserve(count);
    }
    void clear() { items_.clear(); }       // deletes every element
    void deleteAll() { items_.clear(); }   // the same: deletes every element and empties the Vector

private:
    void grow(std::size_t required) {
        if (required <= items_.capacity()) return;
        if (required > kMaxCount) throw std::length_error("vector<T> too long");
        const std::size_t current = items_.capacity();
        const std::size_t wanted = current > kMaxCount - current / 2 ? kMaxCount : current + current / 2;
        items_.reserve(std::max(required, wanted));
    }

    Slots items_;
};

}   // namespace tarnwick
