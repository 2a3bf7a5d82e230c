// TextDigest: the digests that records on files keep read the same in every release and on every machine,
// and every byte of a text counts, the size too.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "Foundation/TextDigest.h"

namespace tarnwick {
namespace {

TEST(TextDigest, EveryByteCountsAndTheValuesStayTheSame) {
    std::string letters;   // 37 bytes: one step of 32, and five left
    for (int n = 0; n < 37; ++n) letters += static_cast<char>('a' + n % 26);
    std::string lastChanged = letters;
    lastChanged.back() = 'z';
    // Fixed values: bytes read in one order whatever the machine's, high bytes as they are.
    EXPECT_EQ(digestOf(std::string_view()), 0x4885516dde90760cu);
    EXPECT_EQ(digestOf("a"), 0xa92e2de8f7d57975u);
    EXPECT_EQ(digestOf(std::string_view("a\0", 2)), 0x98522c07af49e51du);
    EXPECT_EQ(digestOf(std::string(32, 'x')), 0x71fe978105d1bb72u);
    EXPECT_EQ(digestOf(letters), 0x86417912b7f7c5cau);
    EXPECT_EQ(digestOf(lastChanged), 0xa4973469409ecd67u);
    EXPECT_EQ(digestOf(std::string(100, '\xff')), 0xd6b53548ea569eeeu);

    // Any one byte changed, the first, a middle or the last, and a byte more, make another digest.
    for (std::size_t size = 1; size <= 70; ++size) {
        SCOPED_TRACE(size);
        const std::string text(size, 'a');
        const std::uint64_t digest = digestOf(text);
        for (const std::size_t at : {std::size_t{0}, size / 2, size - 1}) {
            std::string other = text;
            other[at] = 'b';
            EXPECT_NE(digestOf(other), digest) << at;
        }
        EXPECT_NE(digestOf(text + '\0'), digest);
    }

    // Records name a text by its blocks, as many as records on disks already have: at most 16, of at least
    // 64 bytes. The whole text's digest is folded from them: a byte changed in any block, the last byte, or
    // a byte more, makes another.
    EXPECT_EQ(blockDigestsOf("").size(), 1u);
    EXPECT_EQ(blockDigestsOf(std::string(129, 'a')).size(), 3u);
    EXPECT_EQ(blockDigestsOf(std::string(5000, 'a')).size(), 16u);
    for (const std::size_t size : {std::size_t{1}, std::size_t{65}, std::size_t{1025}, std::size_t{5000}}) {
        SCOPED_TRACE(size);
        const std::string text(size, 'a');
        const std::uint64_t digest = wholeDigestOf(text);
        std::vector<std::size_t> places{size - 1};
        for (std::size_t at = 0; at < size; at += digestBlockFor(size)) places.push_back(at);
        for (const std::size_t at : places) {
            std::string other = text;
            other[at] = 'b';
            EXPECT_NE(wholeDigestOf(other), digest) << at;
        }
        EXPECT_NE(wholeDigestOf(text + 'a'), digest);
    }
}

}   // namespace
}   // namespace tarnwick
