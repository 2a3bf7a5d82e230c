#include "Foundation/FileNamePattern.h"

#include <gtest/gtest.h>

#include "Foundation/String.h"

namespace tarnwick {
namespace {

TEST(FileNamePattern, MatchesPrefixInnerTextsAndSuffixInOrderWithoutOverlap) {
    const struct {
        const char* pattern;
        const char* name;
        bool matches;
    } cases[] = {
        {"*", "", true},
        {"*", "anything.xml", true},
        {"**", "x", true},
        {"", "", true},
        {"", "x", false},
        {"ObjectMap.xml", "ObjectMap.xml", true},
        {"ObjectMap.xml", "objectmap.xml", false},
        {"ObjectMap.xml", "ObjectMap.xml2", false},
        {"*.xml", "a.xml", true},
        {"*.xml", ".xml", true},
        {"*.xml", "a.xmlx", false},
        {"ab*", "abc", true},
        {"ab*", "a", false},
        {"ab*cd*ef", "abcdef", true},
        {"ab*cd*ef", "ab--cd--ef", true},
        {"ab*cd*ef", "abefcd", false},
        {"ab*cd*ef", "abcef", false},
        {"ab*ba", "aba", false},   // prefix and suffix share the "a"
        {"ab*ba", "abba", true},
        {"a*b*b", "ab", false},   // the inner "b" cannot be the suffix's
        {"a*b*b", "abb", true},
        {"*door*", "Big door 2", true},
        {"*door*", "Big Door 2", false},
        {"*x*y*", "yx", false},
        {"*x*y*", "-x-y-", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.pattern) + " ~ " + c.name);
        EXPECT_EQ(FileNamePattern(c.pattern).matches(c.name), c.matches);
    }
}

TEST(FileNamePattern, TakesItsWildcardFromTheStem) {
    EXPECT_TRUE(FileNamePattern("ab%ef", "%").matches("abcdef"));
    EXPECT_FALSE(FileNamePattern("ab%ef", "%").matches("abcdeg"));
    EXPECT_TRUE(FileNamePattern("a*b", "%").matches("a*b")) << "'*' is plain text under another stem";
    EXPECT_FALSE(FileNamePattern("a*b", "%").matches("axb"));
    EXPECT_TRUE(FileNamePattern("a*b", "").matches("axxb")) << "an empty stem is taken as '*'";
}

}   // namespace
}   // namespace tarnwick
