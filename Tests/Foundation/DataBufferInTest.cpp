#include "Foundation/DataBufferIn.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "Foundation/DataFile.h"
#include "Foundation/MemoryBlock.h"
#include "Foundation/String.h"
#include "ScratchFolder.h"

namespace tarnwick {
namespace {

// Every reader runs with these buffer sizes, so that tokens and quoted texts cross refills.
constexpr std::size_t kBufferSizes[] = {1, 2, 7, DataBufferIn::kDefaultBufferSize};

bool sameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

TEST(DataBufferIn, ReadsEveryKindOfValueWhateverTheBufferSize) {
    const std::string text =
        "  42\t-7\r\n4294967295 -9223372036854775808 1.5e3 -0.25 true 0 false 1 "
        "\"a b\\\"c\\\\\" word \"\" 3 1 -2 3 2 0.5 1e-3 2 \"x y\" z";
    for (const std::size_t size : kBufferSizes) {
        SCOPED_TRACE(size);
        HostMemoryScope memory;
        DataBufferIn in(std::string_view(text), size);
        std::int32_t i32 = 0, negative = 0;
        std::uint32_t u32 = 0;
        std::int64_t i64 = 0;
        double real = 0, quarter = 0;
        bool t = false, zero = true, f = true, one = false;
        String quoted, bare, empty("not yet");
        std::vector<std::int32_t> ints;
        std::vector<double> reals;
        std::vector<String> texts;
        ASSERT_TRUE(in.readInt32(i32) && in.readInt32(negative) && in.readUInt32(u32) && in.readInt64(i64));
        ASSERT_TRUE(in.readReal(real) && in.readReal(quarter));
        ASSERT_TRUE(in.readBool(t) && in.readBool(zero) && in.readBool(f) && in.readBool(one));
        ASSERT_TRUE(in.readString(quoted) && in.readString(bare) && in.readString(empty));
        ASSERT_TRUE(in.readList(ints) && in.readList(reals) && in.readList(texts));
        EXPECT_EQ(i32, 42);
        EXPECT_EQ(negative, -7);
        EXPECT_EQ(u32, 4294967295u);
        EXPECT_EQ(i64, INT64_MIN);
        EXPECT_TRUE(sameBits(real, 1500.0) && sameBits(quarter, -0.25));
        EXPECT_TRUE(t && !zero && !f && one);
        EXPECT_EQ(quoted, "a b\"c\\");
        EXPECT_EQ(bare, "word");
        EXPECT_TRUE(empty.isEmpty());
        EXPECT_EQ(ints, (std::vector<std::int32_t>{1, -2, 3}));
        ASSERT_EQ(reals.size(), 2u);
        EXPECT_TRUE(sameBits(reals[0], 0.5) && sameBits(reals[1], 1e-3));
        ASSERT_EQ(texts.size(), 2u);
        EXPECT_EQ(texts[0], "x y");
        EXPECT_EQ(texts[1], "z");
        EXPECT_TRUE(in.isGood()) << "the last token ends with the data and is whole";
        std::string more;
        EXPECT_FALSE(in.readToken(more));
        EXPECT_EQ(in.getState(), DataStream::kEndOfData);
    }
}

// Each case: the input, the read that must refuse its first token, and the token that follows.
TEST(DataBufferIn, RefusesMalformedValuesWithoutTouchingTheTargetAndGoesOn) {
    enum Kind { int32, uint32, int64, real, boolean, text };
    const struct {
        const char* input;
        Kind kind;
    } cases[] = {
        {"2147483648 next", int32}, {"-2147483649 next", int32}, {"+1 next", int32},
        {"1.0 next", int32},        {"12x next", int32},         {"0x10 next", int32},
        {"-1 next", uint32},        {"4294967296 next", uint32}, {"9223372036854775808 next", int64},
        {"nan next", real},         {"inf next", real},          {"-inf next", real},
        {"1e999 next", real},       {"1.2.3 next", real},        {"1,5 next", real},
        {"yes next", boolean},      {"TRUE next", boolean},      {"2 next", boolean},
        {"\"a\\nb\" next", text},   {"\"ab\"cd next", text},
    };
    for (const auto& c : cases) {
        for (const std::size_t size : kBufferSizes) {
            SCOPED_TRACE(std::string(c.input) + " / " + std::to_string(size));
            DataBufferIn in(std::string_view(c.input), size);
            std::int32_t i32 = 5;
            std::uint32_t u32 = 5;
            std::int64_t i64 = 5;
            double r = 5;
            bool b = true;
            String s("kept");
            bool read = true;
            switch (c.kind) {
                case int32:
                    read = in.readInt32(i32);
                    break;
                case uint32:
                    read = in.readUInt32(u32);
                    break;
                case int64:
                    read = in.readInt64(i64);
                    break;
                case real:
                    read = in.readReal(r);
                    break;
                case boolean:
                    read = in.readBool(b);
                    break;
                case text:
                    read = in.readString(s);
                    break;
            }
            EXPECT_FALSE(read);
            EXPECT_EQ(in.getState(), DataStream::kBadData);
            EXPECT_TRUE(i32 == 5 && u32 == 5u && i64 == 5 && sameBits(r, 5.0) && b && s == "kept");
            String next;
            EXPECT_TRUE(in.readToken(next)) << "the bad token was consumed whole";
            EXPECT_EQ(next, "next");
        }
    }
}

TEST(DataBufferIn, AQuotedTextCutOffByTheEndIsNotReportedAsRead) {
    for (const std::size_t size : kBufferSizes) {
        SCOPED_TRACE(size);
        DataBufferIn in(std::string_view("\"never closed"), size);
        String text("kept");
        EXPECT_FALSE(in.readString(text));
        EXPECT_EQ(text, "kept");
        EXPECT_EQ(in.getState(), DataStream::kBadData | DataStream::kEndOfData);
        EXPECT_FALSE(in.canRead());
    }
}

TEST(DataBufferIn, StopsAtAnOverLongTokenOrQuotedTextAndReadsNothingAfterIt) {
    const std::string longToken(DataBufferIn::kMaxTokenBytes + 1, 'a');
    const std::string inputs[] = {longToken + " next", "\"" + longToken + "\" next"};
    for (const std::string& input : inputs) {
        for (const std::size_t size : {std::size_t{7}, DataBufferIn::kDefaultBufferSize}) {
            DataBufferIn in(std::string_view(input), size);
            String text("kept");
            EXPECT_FALSE(in.readString(text));
            EXPECT_EQ(text, "kept");
            EXPECT_EQ(in.getState(), DataStream::kBadData | DataStream::kFailed);
            char byte = 'x';
            in >> byte;
            EXPECT_EQ(byte, 'x');
            EXPECT_EQ(in.read(&byte, 1), 0u);
        }
    }
    const std::string longest(DataBufferIn::kMaxTokenBytes, 'b');
    DataBufferIn in(std::string_view(longest), 7);
    std::string token;
    EXPECT_TRUE(in.readToken(token));
    EXPECT_EQ(token.size(), DataBufferIn::kMaxTokenBytes);
}

TEST(DataBufferIn, RefusesHostileTruncatedOrBrokenListsAndStops) {
    const struct {
        const char* input;
        std::uint16_t state;
    } cases[] = {
        {"4294967295 1 2", DataStream::kBadData | DataStream::kFailed},   // the count alone is not memory
        {"1048577 1", DataStream::kBadData | DataStream::kFailed},
        {"-1 1", DataStream::kBadData | DataStream::kFailed},
        {"three 1 2 3", DataStream::kBadData | DataStream::kFailed},
        {"3 1 2", DataStream::kBadData | DataStream::kFailed | DataStream::kEndOfData},
        {"3 1 x 3", DataStream::kBadData | DataStream::kFailed},
    };
    for (const auto& c : cases) {
        for (const std::size_t size : kBufferSizes) {
            SCOPED_TRACE(std::string(c.input) + " / " + std::to_string(size));
            DataBufferIn in(std::string_view(c.input), size);
            std::vector<std::int32_t> values{9};
            EXPECT_FALSE(in.readList(values));
            EXPECT_EQ(values, std::vector<std::int32_t>{9});
            EXPECT_EQ(in.getState(), c.state);
            std::int32_t after = 0;
            EXPECT_FALSE(in.readInt32(after));
        }
    }
    DataBufferIn empty(std::string_view("0"));
    std::vector<double> none{1.0};
    EXPECT_TRUE(empty.readList(none));
    EXPECT_TRUE(none.empty());
}

TEST(DataBufferIn, ReadsRawBytesOneAtATimeUntilTheEnd) {
    const std::string bytes("a \0\n\xFF", 5);
    for (const std::size_t size : kBufferSizes) {
        SCOPED_TRACE(size);
        DataBufferIn in(std::string_view(bytes), size);
        std::string got;
        char c = 0;
        for (int i = 0; i < 5; ++i) {
            in >> c;
            got.push_back(c);
        }
        EXPECT_EQ(got, bytes);
        EXPECT_TRUE(in.isGood());
        std::uint8_t last = 7;
        in >> last;
        EXPECT_EQ(last, 7u);
        EXPECT_EQ(in.getState(), DataStream::kEndOfData);
    }
}

TEST(DataBufferIn, BulkReadsDrainTheSourceExactlyInAnyChunkSize) {
    std::string bytes;
    for (int i = 0; i < 5000; ++i) bytes.push_back(static_cast<char>(i * 31 % 256));
    for (const std::size_t size : kBufferSizes) {
        for (const std::size_t chunk :
             {std::size_t{1}, std::size_t{3}, std::size_t{4096}, std::size_t{9000}}) {
            SCOPED_TRACE(std::to_string(size) + " / " + std::to_string(chunk));
            DataBufferIn in(std::string_view(bytes), size);
            char first = 0;
            in >> first;   // a byte read first leaves the rest in the buffer
            std::string got(1, first);
            std::vector<char> buffer(chunk);
            std::size_t n = 0;
            while ((n = in.read(buffer.data(), chunk)) > 0) got.append(buffer.data(), n);
            EXPECT_EQ(got, bytes);
            EXPECT_EQ(in.getState(), DataStream::kEndOfData);
        }
    }
}

TEST(DataBufferIn, ReadsAStringAndAMemoryBlock) {
    HostMemoryScope memory;
    const String text("π 3");
    DataBufferIn fromText(text, 1);
    String pi;
    std::int32_t three = 0;
    EXPECT_TRUE(fromText.readString(pi) && fromText.readInt32(three));
    EXPECT_EQ(pi, "π");
    EXPECT_EQ(three, 3);

    MemoryBlock block;
    block.append("7 8", 3);
    DataBufferIn fromBlock(block, 2);
    std::vector<std::int32_t> values;
    std::int32_t seven = 0, eight = 0;
    EXPECT_TRUE(fromBlock.readInt32(seven) && fromBlock.readInt32(eight));
    EXPECT_EQ(seven + eight, 15);

    MemoryBlock nothing;
    DataBufferIn fromNothing(nothing);
    char c = 0;
    fromNothing >> c;
    EXPECT_EQ(fromNothing.getState(), DataStream::kEndOfData);
}

TEST(DataBufferIn, ReadsAFileItOpensAndClosesAgain) {
    ScratchFolder folder;
    const auto path = folder.write("numbers.txt", "10 20\n30");
    for (const std::size_t size : kBufferSizes) {
        SCOPED_TRACE(size);
        DataFile file(path, DataFile::kRead);
        {
            DataBufferIn in(file, size);
            std::vector<std::int32_t> values(3);
            for (auto& value : values) EXPECT_TRUE(in.readInt32(value));
            EXPECT_EQ(values, (std::vector<std::int32_t>{10, 20, 30}));
            EXPECT_TRUE(file.isOpen());
        }
        EXPECT_FALSE(file.isOpen()) << "the reader opened it, so the reader closes it";
    }
    DataFile open(path, DataFile::kRead);
    ASSERT_TRUE(open.open());
    { DataBufferIn in(open); }
    EXPECT_TRUE(open.isOpen()) << "a file that was open stays open";
    { DataBufferIn in(open, DataBufferIn::kDefaultBufferSize, /*closeWhenDone=*/true); }
    EXPECT_FALSE(open.isOpen());
}

TEST(DataBufferIn, AFileThatCannotBeReadFailsAtOnce) {
    ScratchFolder folder;
    const auto path = folder.write("data.txt", "1 2 3");
    DataFile missing(folder.path() / "missing.txt", DataFile::kRead);
    DataFile writeOnly(path, DataFile::kWrite);
    for (DataFile* file : {&missing, &writeOnly}) {
        DataBufferIn in(*file, 7);
        EXPECT_EQ(in.getState(), DataStream::kFailed);
        std::int32_t value = 4;
        char bytes[4];
        EXPECT_FALSE(in.readInt32(value));
        EXPECT_EQ(value, 4);
        EXPECT_EQ(in.read(bytes, sizeof bytes), 0u);
    }
}

}   // namespace
}   // namespace tarnwick
