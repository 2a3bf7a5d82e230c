// List<T>: an ordered list of owned pointers; clearing or destroying it deletes the elements.
#pragma once

#include <cstddef>
#include <list>
#include <memory>
#include <utility>

namespace tarnwick {

// Move-only. Elements may be null and are deleted through T's (virtual) destructor. Iterators stay
// valid while other elements are added or erased.
template <typename T>
class List {
public:
    using Nodes = std::list<std::unique_ptr<T>>;
    using iterator = typename Nodes::iterator;   // iterates the owning pointers
    using const_iterator = typename Nodes::const_iterator;

    List() = default;
    List(List&&) noexcept = default;
    List& operator=(List&&) noexcept = default;
    List(const List&) = delete;
    List& operator=(const List&) = delete;
    ~List() = default;

    std::size_t size() const { return items_.size(); }
    bool empty() const { return items_.empty(); }
    T* front() const { return items_.empty() ? nullptr : items_.front().get(); }   // null when empty
    T* back() const { return items_.empty() ? nullptr : items_.back().get(); }     // null when empty

    iterator begin() { return items_.begin(); }
    iterator end() { return items_.end(); }
    const_iterator begin() const { return items_.begin(); }
    const_iterator end() const { return items_.end(); }

    T* push_back(std::unique_ptr<T> item) { return items_.emplace_back(std::move(item)).get(); }
    T* push_front(std::unique_ptr<T> item) { return items_.emplace_front(std::move(item)).get(); }
    iterator insert(const_iterator before, std::unique_ptr<T> item) {
        return items_.insert(before, std::move(item));
    }
    iterator erase(const_iterator position) { return items_.erase(position); }   // deletes the element
    std::unique_ptr<T> release(iterator position) {   // takes the element out without deleting it
        std::unique_ptr<T> item = std::move(*position);
        items_.erase(position);
        return item;
    }
    void clear() { items_.clear(); }   // deletes every element

private:
    Nodes items_;
};

}   // namespace tarnwick
