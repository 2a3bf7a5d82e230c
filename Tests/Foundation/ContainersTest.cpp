#include <functional>
#include <iterator>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "Foundation/List.h"
#include "Foundation/Map.h"
#include "Foundation/TracedException.h"
#include "Foundation/Vector.h"

using tarnwick::List;
using tarnwick::Map;
using tarnwick::Vector;

namespace {

// Counts the live instances, so tests see what a container deletes. Deleted through the base.
struct Counted {
    explicit Counted(int value) : value(value) { ++alive; }
    virtual ~Counted() { --alive; }
    int value;
    static inline int alive = 0;
};
struct DerivedCounted : Counted {
    explicit DerivedCounted(int value, int* destroyed) : Counted(value), destroyed(destroyed) {}
    ~DerivedCounted() override { ++*destroyed; }
    int* destroyed;
};

template <typename Container>
std::vector<int> valuesOf(const Container& container) {
    std::vector<int> values;
    for (const auto& item : container) values.push_back(item ? item->value : -1);
    return values;
}

}   // namespace

TEST(Vector, GrowsByHalfAgainFromEveryCapacity) {
    Vector<Counted> vector;
    std::vector<std::size_t> capacities;
    for (int i = 0; i < 10; ++i) {
        vector.push_back(std::make_unique<Counted>(i));
        capacities.push_back(vector.capacity());
    }
    EXPECT_EQ(capacities, (std::vector<std::size_t>{1, 2, 3, 4, 6, 6, 9, 9, 9, 13}));
    EXPECT_EQ(valuesOf(vector), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
}

TEST(Vector, RefusesToGrowPastItsMaximum) {
    Vector<Counted> vector;
    try {
        vector.reserve(Vector<Counted>::kMaxCount + 1);
        FAIL() << "no exception";
    } catch (const std::length_error& tooLong) {
        EXPECT_STREQ(tooLong.what(), "vector<T> too long");
    }
    EXPECT_EQ(vector.capacity(), 0u);
}

TEST(Vector, DeletesWhatItHoldsThroughTheVirtualDestructor) {
    int destroyed = 0;
    {
        Vector<Counted> vector;
        vector.push_back(std::make_unique<DerivedCounted>(1, &destroyed));
        vector.push_back(nullptr);   // null slots are allowed
        vector.push_back(std::make_unique<Counted>(3));
        EXPECT_EQ(Counted::alive, 2);
        vector.deleteAll();
        EXPECT_EQ(Counted::alive, 0);
        EXPECT_EQ(destroyed, 1);
        EXPECT_TRUE(vector.empty());
        vector.push_back(std::make_unique<Counted>(4));
    }
    EXPECT_EQ(Counted::alive, 0);
}

TEST(Vector, InsertsErasesAndReleasesByIndex) {
    Vector<Counted> vector;
    vector.push_back(std::make_unique<Counted>(1));
    vector.push_back(std::make_unique<Counted>(3));
    vector.insert(1, std::make_unique<Counted>(2));
    vector.insert(3, std::make_unique<Counted>(4));
    EXPECT_EQ(valuesOf(vector), (std::vector<int>{1, 2, 3, 4}));
    vector.erase(0);
    EXPECT_EQ(Counted::alive, 3);
    std::unique_ptr<Counted> taken = vector.release(1);
    EXPECT_EQ(taken->value, 3);
    EXPECT_EQ(valuesOf(vector), (std::vector<int>{2, 4}));
    EXPECT_EQ(vector.at(1)->value, 4);
    EXPECT_EQ(vector.back()->value, 4);

    for (const auto& bad :
         {std::function<void()>([&] { vector.at(2); }), std::function<void()>([&] { vector.erase(2); }),
          std::function<void()>([&] { vector.insert(3, nullptr); })}) {
        EXPECT_THROW(bad(), tarnwick::TracedException);
    }
    EXPECT_EQ(valuesOf(vector), (std::vector<int>{2, 4}));
}

TEST(List, KeepsOrderAndDeletesWhatItHolds) {
    {
        List<Counted> list;
        EXPECT_EQ(list.front(), nullptr);
        list.push_back(std::make_unique<Counted>(2));
        list.push_front(std::make_unique<Counted>(1));
        list.push_back(std::make_unique<Counted>(4));
        list.insert(std::next(list.begin(), 2), std::make_unique<Counted>(3));
        EXPECT_EQ(valuesOf(list), (std::vector<int>{1, 2, 3, 4}));
        list.erase(list.begin());
        EXPECT_EQ(Counted::alive, 3);
        std::unique_ptr<Counted> taken = list.release(list.begin());
        EXPECT_EQ(taken->value, 2);
        EXPECT_EQ(valuesOf(list), (std::vector<int>{3, 4}));
        list.clear();
        EXPECT_EQ(Counted::alive, 1);
        list.push_back(std::make_unique<Counted>(5));
    }
    EXPECT_EQ(Counted::alive, 0);
}

TEST(Map, OrdersByKeyAndDeletesReplacedAndClearedValues) {
    {
        Map<std::string, Counted> map;
        map.set("b", std::make_unique<Counted>(2));
        map.set("a", std::make_unique<Counted>(1));
        map.set("c", std::make_unique<Counted>(3));
        std::vector<std::string> keys;
        for (const auto& [key, value] : map) keys.push_back(key);
        EXPECT_EQ(keys, (std::vector<std::string>{"a", "b", "c"}));

        map.set("b", std::make_unique<Counted>(20));   // the old value is deleted
        EXPECT_EQ(Counted::alive, 3);
        EXPECT_EQ(map.get("b")->value, 20);
        EXPECT_EQ(map.get("x"), nullptr);
        EXPECT_EQ(map.upper_bound("a")->first, "b");
        EXPECT_TRUE(map.erase("a"));
        EXPECT_FALSE(map.erase("a"));
        EXPECT_EQ(Counted::alive, 2);
        std::unique_ptr<Counted> taken = map.release("c");
        EXPECT_EQ(taken->value, 3);
        EXPECT_EQ(map.release("c"), nullptr);
        map.clear();
        EXPECT_EQ(Counted::alive, 1);
        map.set("d", std::make_unique<Counted>(4));
    }
    EXPECT_EQ(Counted::alive, 0);
}
