// SimElementTable: the project's placed elements in host order, found by GUID through an index. A copy
// (an undo step's picture of the project) shares every element with the table it came from until one of
// the two changes that element: only then is the element copied, so a command's undo step keeps only
// what the command changed.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <memory>
#include <type_traits>
#include <utility>
#include <vector>

namespace host {

struct SimElement;
using GuidBytes = std::array<unsigned char, 16>;

// A vector of elements to its users: positions, iteration, push_back, erasing. Reading through a const
// table never copies; any non-const access to an element (operator[], back(), find(), a non-const
// iteration's dereference) first makes the element this table's own.
class SimElementTable {
public:
    template <bool isConst>
    class Iterator {
    public:
        using iterator_category = std::random_access_iterator_tag;
        using value_type = SimElement;
        using difference_type = std::ptrdiff_t;
        using Table = std::conditional_t<isConst, const SimElementTable, SimElementTable>;
        using reference = std::conditional_t<isConst, const SimElement&, SimElement&>;
        using pointer = std::conditional_t<isConst, const SimElement*, SimElement*>;

        Iterator() = default;
        Iterator(Table* table, std::size_t position) : table_(table), position_(position) {}
        operator Iterator<true>() const { return {table_, position_}; }   // NOLINT: as a vector's
        reference operator*() const { return (*table_)[position_]; }
        pointer operator->() const { return &**this; }
        Iterator& operator++() {
            ++position_;
            return *this;
        }
        Iterator operator++(int) {
            Iterator before = *this;
            ++position_;
            return before;
        }
        Iterator& operator--() {
            --position_;
            return *this;
        }
        Iterator& operator+=(difference_type n) {
            position_ += n;
            return *this;
        }
        Iterator& operator-=(difference_type n) {
            position_ -= n;
            return *this;
        }
        Iterator operator+(difference_type n) const { return Iterator(table_, position_ + n); }
        Iterator operator-(difference_type n) const { return Iterator(table_, position_ - n); }
        reference operator[](difference_type n) const { return (*table_)[position_ + n]; }
        bool operator<(const Iterator& other) const { return position_ < other.position_; }
        difference_type operator-(const Iterator& other) const {
            return static_cast<difference_type>(position_) - static_cast<difference_type>(other.position_);
        }
        bool operator==(const Iterator& other) const { return position_ == other.position_; }
        std::size_t position() const { return position_; }

    private:
        Table* table_ = nullptr;
        std::size_t position_ = 0;
    };
    using iterator = Iterator<false>;
    using const_iterator = Iterator<true>;

    SimElementTable();
    SimElementTable(const SimElementTable& other);   // shares the elements; the index is made on demand
    SimElementTable(SimElementTable&& other) noexcept;
    SimElementTable& operator=(const SimElementTable& other);
    SimElementTable& operator=(SimElementTable&& other) noexcept;
    ~SimElementTable();

    std::size_t size() const { return items_.size(); }
    bool empty() const { return items_.empty(); }
    void clear();
    void reserve(std::size_t count) { items_.reserve(count); }

    const SimElement& operator[](std::size_t position) const { return *items_[position]; }
    SimElement& operator[](std::size_t position);   // made this table's own
    const SimElement& back() const { return *items_.back(); }
    SimElement& back() { return (*this)[items_.size() - 1]; }

    iterator begin() { return {this, 0}; }
    iterator end() { return {this, items_.size()}; }
    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, items_.size()}; }

    void push_back(SimElement element);
    iterator erase(const_iterator position);   // the element after it
    iterator erase(const_iterator first, const_iterator last);
    // Erases every element the predicate (given a const SimElement&) picks; the number erased.
    template <typename Predicate>
    std::size_t eraseIf(Predicate picks) {
        const std::size_t before = items_.size();
        std::erase_if(items_,
                      [&](const std::shared_ptr<SimElement>& item) { return picks(std::as_const(*item)); });
        if (items_.size() != before) indexValid_ = false;
        return before - items_.size();
    }

    // The element of the GUID; null when there is none (or the GUID is null).
    const SimElement* find(const GuidBytes& guid) const;
    SimElement* find(const GuidBytes& guid);   // made this table's own
    // How many elements this table shares with others (an undo step's picture): for tests and benchmarks.
    std::size_t countShared() const;

    bool operator==(const SimElementTable& other) const;

private:
    // The index: open addressing with the GUIDs in place, so a lookup touches one slot in the common case.
    struct Slot {
        GuidBytes guid{};   // null: free
        std::size_t position = 0;
    };
    std::size_t positionOf(const GuidBytes& guid) const;   // size() when none
    void rebuildIndex() const;
    void addToIndex(const GuidBytes& guid, std::size_t position) const;   // the first of a guid wins

    std::vector<std::shared_ptr<SimElement>> items_;
    mutable std::vector<Slot> index_;   // a power of two long, at most half full
    mutable std::size_t indexed_ = 0;
    mutable bool indexValid_ = false;
    // The last element the index found, while the index holds.
    static constexpr std::size_t kNoPosition = static_cast<std::size_t>(-1);
    mutable std::size_t last_ = kNoPosition;
    mutable GuidBytes lastGuid_{};
};

}   // namespace host
