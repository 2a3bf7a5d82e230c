#include <HostGuid.h>

#include <algorithm>
#include <iterator>
#include <set>
#include <string>

#include <gtest/gtest.h>

namespace {

using namespace host;

GuidRecord makeGuid(std::uint32_t d1, std::uint16_t d2, std::uint16_t d3, std::uint8_t d4first,
                    std::uint8_t d4last) {
    GuidRecord guid;
    guid.data1 = d1;
    guid.data2 = d2;
    guid.data3 = d3;
    guid.data4[0] = d4first;
    guid.data4[7] = d4last;
    return guid;
}

bool isZero(const GuidRecord& guid) { return compareGuids(guid, GuidRecord{}) == 0; }

int sign(int value) { return (value > 0) - (value < 0); }

TEST(HostGuid, GeneratesDistinctVersion4Guids) {
    std::set<std::string> seen;
    for (int i = 0; i < 2000; ++i) {
        const GuidRecord guid = generateGuid();
        EXPECT_FALSE(isZero(guid));
        EXPECT_EQ(guid.data3 >> 12, 4);          // version 4: random
        EXPECT_EQ(guid.data4[0] & 0xC0, 0x80);   // the standard variant
        EXPECT_TRUE(seen.insert(guidToText(guid)).second);
    }
}

TEST(HostGuid, WritesUpperCaseHexInFiveGroups) {
    GuidRecord guid;
    guid.data1 = 0x0123abcd;
    guid.data2 = 0x00ef;
    guid.data3 = 0xa0b1;
    const std::uint8_t tail[8] = {0x01, 0x23, 0x45, 0x67, 0x89, 0xab, 0xcd, 0xef};
    std::copy(std::begin(tail), std::end(tail), guid.data4);
    EXPECT_EQ(guidToText(guid), "0123ABCD-00EF-A0B1-0123-456789ABCDEF");
    EXPECT_EQ(guidToText(GuidRecord{}), "00000000-0000-0000-0000-000000000000");
}

TEST(HostGuid, ReadsItsTextFormInEitherCaseWithOrWithoutBraces) {
    const char* const texts[] = {
        "0123ABCD-00EF-A0B1-0123-456789ABCDEF",   "0123abcd-00ef-a0b1-0123-456789abcdef",
        "0123AbCd-00eF-a0B1-0123-456789aBcDeF",   "{0123ABCD-00EF-A0B1-0123-456789ABCDEF}",
        "{0123abcd-00ef-a0b1-0123-456789abcdef}",
    };
    for (const char* text : texts) {
        SCOPED_TRACE(text);
        GuidRecord guid;
        ASSERT_TRUE(guidFromText(text, guid));
        EXPECT_EQ(guidToText(guid), "0123ABCD-00EF-A0B1-0123-456789ABCDEF");
    }
    for (int i = 0; i < 100; ++i) {
        const GuidRecord original = generateGuid();
        GuidRecord back;
        ASSERT_TRUE(guidFromText(guidToText(original), back));
        EXPECT_EQ(compareGuids(back, original), 0);
    }
}

TEST(HostGuid, RefusesMalformedTextAndLeavesTheGuidZero) {
    const char* const texts[] = {
        "",
        "{}",
        "{",
        "0123ABCD-00EF-A0B1-0123-456789ABCDE",     // one digit short
        "0123ABCD-00EF-A0B1-0123-456789ABCDEF0",   // one digit over
        "0123ABCD-00EF-A0B1-0123-456789ABCDEG",    // not hex
        "0123ABCD-00EF-A0B1-0123-456789ABCDE ",
        " 0123ABCD-00EF-A0B1-0123-456789ABCDE",
        "0123ABC-D00EF-A0B1-0123-456789ABCDEF",   // a dash one place early
        "0123ABCD00EF-A0B1-0123-456789ABCDEF-",   // dashes moved
        "0123ABCD+00EF-A0B1-0123-456789ABCDEF",
        "0123ABCD-00EF-A0B1-0123456789ABCDEF",     // a dash missing
        "0123ABCD00EFA0B10123456789ABCDEF",        // no dashes at all
        "{0123ABCD-00EF-A0B1-0123-456789ABCDEF",   // braces not paired
        "0123ABCD-00EF-A0B1-0123-456789ABCDEF}",
        "{{0123ABCD-00EF-A0B1-0123-456789ABCDEF}}",
        "(0123ABCD-00EF-A0B1-0123-456789ABCDEF)",
        "0x23ABCD-00EF-A0B1-0123-456789ABCDEF",
        "-123ABCD-00EF-A0B1-0123-456789ABCDEF",
    };
    for (const char* text : texts) {
        SCOPED_TRACE(text);
        GuidRecord guid = generateGuid();   // anything but zero beforehand
        EXPECT_FALSE(guidFromText(text, guid));
        EXPECT_TRUE(isZero(guid));
    }
}

TEST(HostGuid, OrdersFieldByFieldInTheirOrder) {
    struct Case {
        GuidRecord a, b;
        int order;
    };
    const Case cases[] = {
        {makeGuid(1, 0, 0, 0, 0), makeGuid(1, 0, 0, 0, 0), 0},
        {makeGuid(1, 9, 9, 9, 9), makeGuid(2, 0, 0, 0, 0), -1},                // data1 decides first
        {makeGuid(0xFFFFFFFF, 0, 0, 0, 0), makeGuid(0, 0xFFFF, 0, 0, 0), 1},   // unsigned
        {makeGuid(1, 2, 9, 9, 9), makeGuid(1, 3, 0, 0, 0), -1},
        {makeGuid(1, 2, 3, 9, 9), makeGuid(1, 2, 4, 0, 0), -1},
        {makeGuid(1, 2, 3, 4, 9), makeGuid(1, 2, 3, 5, 0), -1},   // data4 byte by byte
        {makeGuid(1, 2, 3, 4, 0x80), makeGuid(1, 2, 3, 4, 0x7F), 1},
    };
    for (const auto& [a, b, order] : cases) {
        SCOPED_TRACE(guidToText(a) + " vs " + guidToText(b));
        EXPECT_EQ(sign(compareGuids(a, b)), order);
        EXPECT_EQ(sign(compareGuids(b, a)), -order);
    }
}

}   // namespace
