#include "Foundation/Guid.h"

#include <algorithm>
#include <set>
#include <vector>

#include <gtest/gtest.h>

namespace tarnwick {
namespace {

constexpr const char* kText = "0123ABCD-4567-89EF-0A1B-2C3D4E5F6A7B";

TEST(Guid, ReadsItsTextWithOrWithoutBracesAndWritesItBack) {
    const char* inputs[] = {kText, "{0123ABCD-4567-89EF-0A1B-2C3D4E5F6A7B}",
                            "0123abcd-4567-89ef-0a1b-2c3d4e5f6a7b"};
    for (const char* input : inputs) {
        SCOPED_TRACE(input);
        Guid guid;
        ASSERT_TRUE(guid.fromString(input));
        EXPECT_TRUE(guid.isValid());
        EXPECT_EQ(guid.toString(), kText);
        EXPECT_EQ(guid.getRecord().data1, 0x0123ABCDu);
        EXPECT_EQ(guid.getRecord().data4[7], 0x7B);
        EXPECT_EQ(Guid(String(input)), guid);
    }
}

TEST(Guid, BadTextGivesTheNullGuidAndSaysSo) {
    const char* inputs[] = {"",
                            "not a guid",
                            "0123ABCD-4567-89EF-0A1B-2C3D4E5F6A7",     // one digit short
                            "0123ABCD-4567-89EF-0A1B-2C3D4E5F6A7BC",   // one too many
                            "0123ABCD_4567-89EF-0A1B-2C3D4E5F6A7B",    // not a dash
                            "0123ABCG-4567-89EF-0A1B-2C3D4E5F6A7B",    // not hex
                            "{0123ABCD-4567-89EF-0A1B-2C3D4E5F6A7B",   // brace not closed
                            "0123ABCD-4567-89EF-0A1B-2C3D4E5F6A7B}",   // brace not opened
                            " 0123ABCD-4567-89EF-0A1B-2C3D4E5F6A7B",   // blank around it
                            "{}"};
    for (const char* input : inputs) {
        SCOPED_TRACE(input);
        Guid guid = Guid::generate();
        EXPECT_FALSE(guid.fromString(input));
        EXPECT_FALSE(guid.isValid());
        EXPECT_EQ(guid, Guid());
        EXPECT_FALSE(Guid(String(input)).isValid());
    }
}

TEST(Guid, TheNullTextReadsButIsNotValid) {
    Guid guid = Guid::generate();
    EXPECT_TRUE(guid.fromString("00000000-0000-0000-0000-000000000000"));
    EXPECT_FALSE(guid.isValid());
    EXPECT_EQ(Guid().toString(), "00000000-0000-0000-0000-000000000000");
}

TEST(Guid, IsValidWhenAnyBitIsSet) {
    host::GuidRecord high{};
    high.data1 = 1;
    host::GuidRecord low{};
    low.data4[7] = 1;
    host::GuidRecord middle{};
    middle.data3 = 0x8000;
    for (const auto& record : {high, low, middle}) EXPECT_TRUE(Guid(record).isValid());
    EXPECT_FALSE(Guid(host::GuidRecord{}).isValid());

    Guid guid(low);
    guid.clear();
    EXPECT_FALSE(guid.isValid());
}

TEST(Guid, GeneratesValidDistinctGuids) {
    std::set<Guid> seen;
    for (int i = 0; i < 100; ++i) {
        const Guid guid = Guid::generate();
        EXPECT_TRUE(guid.isValid());
        EXPECT_TRUE(seen.insert(guid).second);
    }
}

TEST(Guid, OrdersAsTheHostComparesAndEqualsByteWise) {
    std::vector<Guid> guids;
    for (int i = 0; i < 50; ++i) guids.push_back(Guid::generate());
    std::sort(guids.begin(), guids.end());
    for (std::size_t i = 1; i < guids.size(); ++i) {
        EXPECT_LT(host::compareGuids(guids[i - 1].getRecord(), guids[i].getRecord()), 0);
        EXPECT_FALSE(guids[i] < guids[i - 1]);
        EXPECT_NE(guids[i], guids[i - 1]);
    }
    // The first field decides before the last byte.
    host::GuidRecord a{}, b{};
    a.data1 = 1;
    b.data4[7] = 0xFF;
    EXPECT_TRUE(Guid(b) < Guid(a));
    EXPECT_FALSE(Guid(a) < Guid(a));
    Guid copy = guids.front();
    EXPECT_EQ(copy, guids.front());
    copy.getRecord().data4[7] ^= 1;
    EXPECT_NE(copy, guids.front());
}

TEST(Guid, WritesItsTextIntoAString) {
    String text("something longer than a guid text, to be replaced entirely");
    Guid(String(kText)).writeTo(text);
    EXPECT_EQ(text, kText);
}

}   // namespace
}   // namespace tarnwick
