// The flat hash map that holds the project's classification items, against std::unordered_map.
#include <random>
#include <unordered_map>

#include <gtest/gtest.h>

#include <SimFlatMap.h>
#include <SimShared.h>

namespace {

using Key = std::array<unsigned char, 16>;

// Random keys and keys a few bits apart, added, found, replaced and erased (an erase moves the last
// entry into the gap and closes up the probe run), checked after every step against the standard map.
TEST(SimFlatMap, AgreesWithTheStandardMapThroughAddsAndErases) {
    std::mt19937_64 random(7);
    std::vector<Key> keys;
    for (std::uint32_t k = 0; k < 600; ++k) {
        Key key{};
        if (k % 2 == 0) {
            for (unsigned char& byte : key) byte = static_cast<unsigned char>(random());
        } else {
            key[0] = static_cast<unsigned char>(k);
            key[1] = static_cast<unsigned char>(k >> 8);
        }
        keys.push_back(key);
    }
    host::SimFlatMap<Key, int, host::SimGuidHash> map;
    std::unordered_map<Key, int, host::SimGuidHash> expected;
    for (int step = 0; step < 20000; ++step) {
        const Key& key = keys[random() % keys.size()];
        const int value = step;
        switch (random() % 3) {
            case 0: {
                const auto [at, added] = map.emplace(key, value);
                const auto [want, wantAdded] = expected.emplace(key, value);
                ASSERT_EQ(added, wantAdded);
                ASSERT_EQ(at->second, want->second);
                break;
            }
            case 1:
                ASSERT_EQ(map.erase(key), expected.erase(key));
                break;
            default:
                if (expected.count(key) != 0) map.at(key) = expected.at(key) = value;
                break;
        }
        ASSERT_EQ(map.size(), expected.size());
        if (step % 500 != 0) continue;
        for (const Key& asked : keys) {
            const auto found = std::as_const(map).find(asked);
            const auto want = expected.find(asked);
            ASSERT_EQ(found == map.end(), want == expected.end());
            if (want != expected.end()) {
                ASSERT_EQ(found->second, want->second);
            }
        }
        std::size_t walked = 0;
        for (const auto& [k, v] : std::as_const(map)) walked += expected.at(k) == v ? 1 : 0;
        ASSERT_EQ(walked, expected.size());
    }
    EXPECT_THROW(map.at(Key{0xFF, 0xFF, 0xFF}), std::out_of_range);
}

}   // namespace
