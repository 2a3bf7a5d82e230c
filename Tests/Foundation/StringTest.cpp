#include "Foundation/String.h"

#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

using tarnwick::String;

namespace {

constexpr std::uint32_t npos = String::npos;

// "é" is 2 bytes, "€" 3 and "𝄞" (U+1D11E) 4 in UTF-8; each counts as one character.
const char* const kMixed =
    "a\xC3\xA9\xE2\x82\xAC\xF0\x9D\x84\x9E"
    "b";   // a é € 𝄞 b

}   // namespace

TEST(String, CountsCharactersNotBytes) {
    const String text(kMixed);
    EXPECT_EQ(text.getLength(), 5u);
    EXPECT_EQ(text.getByteLength(), 11u);
    const std::pair<std::uint32_t, std::uint32_t> offsets[] = {{0, 0},  {1, 1},  {2, 3}, {3, 6},
                                                               {4, 10}, {5, 11}, {9, 11}};
    for (const auto& [index, offset] : offsets) EXPECT_EQ(text.getByteOffset(index), offset) << index;
}

TEST(String, IsEmptyWithoutBufferAndAfterEveryWayOfEmptying) {
    EXPECT_TRUE(String().isEmpty());
    EXPECT_TRUE(String("").isEmpty());
    EXPECT_TRUE(String(static_cast<const char*>(nullptr)).isEmpty());
    EXPECT_STREQ(String().getText(), "");

    String text("abc");
    text.setLength(0);
    EXPECT_TRUE(text.isEmpty());
    text = "abc";
    text.clear();
    EXPECT_TRUE(text.isEmpty());
    EXPECT_EQ(text, "");
}

TEST(String, ReadsBytesByLengthAndCharacterSet) {
    EXPECT_EQ(String("abcdef", 3), "abc");
    EXPECT_EQ(String("abcdef", npos), "abcdef");                 // all ones: up to the terminator
    EXPECT_EQ(String("ab\0cd", 5), "ab");                        // a NUL ends the text
    EXPECT_EQ(String("\xE9t\xE9", 3, 0), "\xC3\xA9t\xC3\xA9");   // Latin-1 "été"
    EXPECT_EQ(String("\xC3\xA9", 2, String::kUtf8).getLength(), 1u);

    String assigned("old");
    assigned.assign("new text", 3);
    EXPECT_EQ(assigned, "new");
    assigned.assign(nullptr);
    EXPECT_TRUE(assigned.isEmpty());
}

TEST(String, ReplacesMalformedUtf8SoTheTextStaysValid) {
    const std::pair<std::string_view, std::uint32_t> cases[] = {
        {"a\xFF"
         "b",
         3},            // a byte that never starts a character
        {"a\xC3", 2},   // a sequence cut at the end
        {"\xE2\x82"
         "x",
         2},                   // a sequence cut before an ASCII byte
        {"\xC0\xAF", 2},       // an overlong form (each byte refused)
        {"\xED\xA0\x80", 3},   // an encoded surrogate
    };
    for (const auto& [bytes, characters] : cases) {
        SCOPED_TRACE(testing::PrintToString(std::string(bytes)));
        const String text(bytes.data(), static_cast<std::uint32_t>(bytes.size()));
        EXPECT_NE(text.getView().find("\xEF\xBF\xBD"), std::string_view::npos);   // U+FFFD
        EXPECT_GE(text.getLength(), 1u);
        EXPECT_LE(text.getLength(), characters);
        EXPECT_EQ(String(text.toUniString()), text);   // survives the round trip unchanged
    }
}

TEST(String, ConvertsToAndFromHostUnicodeText) {
    const String text(kMixed);
    const std::u16string unicode = text.toUniString();
    EXPECT_EQ(unicode, u"a\u00E9\u20AC\U0001D11Eb");
    EXPECT_EQ(String(unicode), text);
    EXPECT_EQ(String(unicode, 3), "a\xC3\xA9\xE2\x82\xAC");   // at most 3 characters
    EXPECT_EQ(String(unicode.data(), 2), "a\xC3\xA9");        // 16-bit units and a count
    EXPECT_EQ(String(u"xyz", npos), "xyz");                   // up to the terminator
    EXPECT_TRUE(String().toUniString().empty());
}

TEST(String, WritesIntegersAsDecimalText) {
    EXPECT_EQ(String(static_cast<std::int16_t>(-32768)), "-32768");
    EXPECT_EQ(String(std::int32_t{-2147483647 - 1}), "-2147483648");
    EXPECT_EQ(String(std::int32_t{0}), "0");
    EXPECT_EQ(String(std::uint32_t{4294967295u}), "4294967295");
    EXPECT_EQ(String(std::uint64_t{18446744073709551615u}), "18446744073709551615");
    EXPECT_EQ(String(std::int64_t{-9000000000}), "-9000000000");
}

TEST(String, WritesRealsRoundedToTheStepWithoutLosingPrecision) {
    const struct {
        double value, step;
        const char* text;
    } cases[] = {
        {1.26, 0.1, "1.3"},   // 1.3000000000000003 shows only the step's decimals
        {1.24, 0.1, "1.2"},
        {1.25, 0.5, "1.5"},   // halves round up
        {-1.26, 0.1, "-1.3"},
        {-0.04, 0.1, "0"},   // no "-0"
        {2.0, 0.1, "2"},
        {1.3, 0.25, "1.25"},
        {7.0, 5.0, "5"},
        {1234.5678, 0.0, "1234.5678"},   // step 0: no rounding, every digit kept
        {1234567.0, 0.0, "1234567"},
        {0.1 + 0.2, 0.0, "0.30000000000000004"},
        {1e-7, 0.0, "1e-07"},
        {1.23456789, 0.0001, "1.2346"},
        {-0.0, 0.0, "0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.value << " step " << c.step);
        EXPECT_EQ(String(c.value, c.step), c.text);
    }
}

TEST(String, ReadsBackEveryRealItWritesWithoutAStep) {
    const double values[] = {1234.5678, 1234567.0, 0.1, 1.0 / 3.0, 6.02214076e23, -2.5e-300, 123456789.123};
    for (const double value : values) {
        double back = 0;
        ASSERT_TRUE(tarnwick::parseDouble(String(value, 0.0), back)) << value;
        EXPECT_EQ(String(back, 0.0), String(value, 0.0));
        EXPECT_DOUBLE_EQ(back, value);
    }
}

TEST(String, RepeatsACharacter) {
    EXPECT_EQ(String(3u, '\t'), "\t\t\t");
    EXPECT_TRUE(String(0u, 'x').isEmpty());
}

TEST(String, CopiesIntoByteBuffersCutOnCharacterBoundaries) {
    const String text(kMixed);   // bytes: a | é é | € € € | 𝄞 𝄞 𝄞 𝄞 | b
    const std::pair<std::uint32_t, const char*> cases[] = {{1, ""},
                                                           {2, "a"},
                                                           {3, "a"},
                                                           {4, "a\xC3\xA9"},
                                                           {6, "a\xC3\xA9"},
                                                           {7, "a\xC3\xA9\xE2\x82\xAC"},
                                                           {11, "a\xC3\xA9\xE2\x82\xAC\xF0\x9D\x84\x9E"},
                                                           {12, kMixed},
                                                           {40, kMixed}};
    for (const auto& [size, expected] : cases) {
        SCOPED_TRACE(size);
        char buffer[48];
        std::fill(std::begin(buffer), std::end(buffer), '#');
        const std::uint32_t written = text.copyTo(buffer, size);
        EXPECT_STREQ(buffer, expected);
        EXPECT_EQ(written, std::string_view(expected).size());
        EXPECT_EQ(buffer[size], '#');   // nothing beyond the given size
    }
    char untouched = '#';
    EXPECT_EQ(text.copyTo(&untouched, 0), 0u);
    EXPECT_EQ(untouched, '#');
}

TEST(String, CopiesIntoUnicodeFieldsLeavingRoomForTheTerminator) {
    const String text(kMixed);   // units: a é € hi lo b
    const std::pair<std::uint32_t, std::u16string_view> cases[] = {
        {1, u""},
        {3, u"a\u00E9"},
        {4, u"a\u00E9\u20AC"},
        {5, u"a\u00E9\u20AC"},   // the pair stays whole
        {6, u"a\u00E9\u20AC\U0001D11E"},
        {7, u"a\u00E9\u20AC\U0001D11Eb"},
        {20, u"a\u00E9\u20AC\U0001D11Eb"}};
    for (const auto& [size, expected] : cases) {
        SCOPED_TRACE(size);
        char16_t field[24];
        std::fill(std::begin(field), std::end(field), u'#');
        EXPECT_EQ(text.copyToUniChars(field, size), expected.size());
        EXPECT_EQ(std::u16string_view(field), expected);
        EXPECT_EQ(field[size], u'#');
    }
    char16_t untouched = u'#';
    EXPECT_EQ(text.copyToUniChars(&untouched, 0), 0u);
    EXPECT_EQ(untouched, u'#');
}

TEST(String, ComparesByCodePointWithEmptyFirst) {
    EXPECT_LT(String().compare(String("a")), 0);
    EXPECT_GT(String("a").compare(String()), 0);
    EXPECT_EQ(String().compare(String("")), 0);
    EXPECT_LT(String("B").compare(String("a")), 0);   // case-sensitive, code point order
    EXPECT_LT(String("ab").compare(String("abc")), 0);
    EXPECT_LT(String("z").compare(String("\xC3\xA9")), 0);
    EXPECT_TRUE(String("a") < String("b"));
    EXPECT_FALSE(String("b") < String("b"));
    EXPECT_TRUE(String() < String("a"));
}

TEST(String, EqualsStringsAndZeroTerminatedTextsExactly) {
    EXPECT_EQ(String("abc"), String("abc"));
    EXPECT_NE(String("abc"), String("ABC"));
    EXPECT_TRUE(String("abc") == "abc");
    EXPECT_TRUE("abc" == String("abc"));
    EXPECT_TRUE(String("abc") != "abd");
    EXPECT_TRUE(String() == static_cast<const char*>(nullptr));
    EXPECT_FALSE(String("a") == static_cast<const char*>(nullptr));
}

TEST(String, AppendsAndConcatenates) {
    String text("ab");
    text += String("c");
    text += "d";
    text.append(String("\xE2\x82\xAC"));
    EXPECT_EQ(text, "abcd\xE2\x82\xAC");
    text += text;   // itself
    EXPECT_EQ(text,
              "abcd\xE2\x82\xAC"
              "abcd\xE2\x82\xAC");
    EXPECT_EQ(String("x") + String("y"), "xy");
    EXPECT_EQ(String() + String(), "");

    String grown;
    for (int i = 0; i < 1000; ++i) grown += "xy";
    EXPECT_EQ(grown.getLength(), 2000u);
}

TEST(String, CopiesAndMovesKeepTheirOwnText) {
    String original("text");
    String copy(original);
    copy += "!";
    EXPECT_EQ(original, "text");
    String moved(std::move(copy));
    EXPECT_EQ(moved, "text!");
    std::unique_ptr<String> cloned = original.clone();
    original.clear();
    EXPECT_EQ(*cloned, "text");
    original = *cloned;
    const String& same = original;
    original = same;   // self-assignment keeps the text
    EXPECT_EQ(original, "text");
    original = original.getText() + 1;   // from a piece of itself
    EXPECT_EQ(original, "ext");
}

TEST(String, FindsTextByCharacterIndex) {
    const String text(
        "\xC3\xA9"
        "abc\xC3\xA9"
        "abc");   // é a b c é a b c
    EXPECT_EQ(text.find(String("abc")), 1u);
    EXPECT_EQ(text.find(String("abc"), 1), 1u);   // the start itself counts
    EXPECT_EQ(text.find(String("abc"), 2), 5u);
    EXPECT_EQ(text.find(String("abd")), npos);
    EXPECT_EQ(text.find(String("abc"), 6), npos);
    EXPECT_EQ(text.find(String("\xC3\xA9"), 1), 4u);
    EXPECT_EQ(text.find(String(), 3), 3u);
    EXPECT_EQ(text.find(String("a"), 99), npos);
    EXPECT_EQ(String().find(String("a")), npos);
}

TEST(String, FindsCharactersOfASet) {
    const String text("ab,\xE2\x82\xAC;cd");   // a b , € ; c d
    const String set(",;\xE2\x82\xAC");
    EXPECT_EQ(text.findFirstOf(set), 2u);
    EXPECT_EQ(text.findFirstOf(set, 3), 3u);
    EXPECT_EQ(text.findFirstOf(set, 5), npos);
    EXPECT_EQ(text.findFirstNotOf(String("ab")), 2u);
    EXPECT_EQ(text.findFirstNotOf(String("abcd,;\xE2\x82\xAC")), npos);
    EXPECT_EQ(text.findLastOf(set), 4u);
    EXPECT_EQ(text.findLastOf(set, 3), 3u);
    EXPECT_EQ(text.findLastOf(String("x")), npos);
    EXPECT_EQ(text.findLastNotOf(String("cd")), 4u);
    EXPECT_EQ(text.findLastNotOf(String("cd"), 1), 1u);
    EXPECT_EQ(String("   ").findLastNotOf(String(" ")), npos);
    EXPECT_EQ(String().findLastNotOf(String(" ")), npos);
    EXPECT_EQ(String().findFirstNotOf(String(" ")), npos);
    EXPECT_EQ(text.findFirstOf(String()), npos);
}

TEST(String, FindsTextBetweenMatchingDelimiters) {
    const String text("x \"ab\" y 'it\"s'");
    std::uint32_t position = 0, end = 0;
    ASSERT_TRUE(text.findDelimited(position, end, String("\"'")));
    EXPECT_EQ(position, 3u);
    EXPECT_EQ(end, 5u);
    EXPECT_EQ(text.substring(position, end - position), "ab");

    position = end + 1;
    ASSERT_TRUE(text.findDelimited(position, end, String("\"'")));
    EXPECT_EQ(text.substring(position, end - position), "it\"s");   // closed by the same character

    std::uint32_t unmatched = 0, untouched = 77;
    EXPECT_FALSE(String("x \"ab y").findDelimited(unmatched, untouched, String("\"'")));
    EXPECT_EQ(unmatched, 0u);
    EXPECT_EQ(untouched, 77u);
    EXPECT_FALSE(String("none").findDelimited(unmatched, untouched, String("\"")));
}

TEST(String, FindsLineBreaksCountingPairsAsOne) {
    const struct {
        const char* text;
        std::uint32_t start, at, next;
    } cases[] = {{"ab\r\ncd", 0, 2, 4},     {"ab\n\rcd", 0, 2, 4},  {"ab\ncd", 0, 2, 3},
                 {"ab\rcd", 1, 2, 3},       {"ab\n\ncd", 0, 2, 3},    // two LFs are two breaks
                 {"abcd", 0, npos, npos},   {"ab\r\n", 0, 2, npos},   // nothing follows the break
                 {"ab\ncd", 3, npos, npos}, {"", 0, npos, npos}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::string(c.text)));
        const String::LineBreak found = String(c.text).findLineBreak(c.start);
        EXPECT_EQ(found.at, c.at);
        EXPECT_EQ(found.next, c.next);
    }
    EXPECT_EQ(String("ab\ncd").findLineBreak(0, 2).at, npos);   // the range ends before the break
}

TEST(String, SplitsARangeIntoLines) {
    const struct {
        const char* text;
        std::vector<std::pair<std::uint32_t, std::uint32_t>> lines;
    } cases[] = {
        {"ab\r\ncd\nef", {{0, 2}, {4, 2}, {7, 2}}},
        {"ab\n\ncd", {{0, 2}, {3, 0}, {4, 2}}},
        {"ab\n", {{0, 2}}},
        {"\nab", {{0, 0}, {1, 2}}},
        {"", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::string(c.text)));
        std::vector<String::Line> lines{{9, 9}};   // appended to, not replaced
        EXPECT_EQ(String(c.text).splitLines(0, npos, lines), c.lines.size());
        ASSERT_EQ(lines.size(), c.lines.size() + 1);
        for (std::size_t i = 0; i < c.lines.size(); ++i) {
            EXPECT_EQ(lines[i + 1].start, c.lines[i].first);
            EXPECT_EQ(lines[i + 1].length, c.lines[i].second);
        }
    }
    std::vector<String::Line> part;
    EXPECT_EQ(String("ab\ncd\nef").splitLines(3, 5, part), 1u);
    EXPECT_EQ(part[0].start, 3u);
    EXPECT_EQ(part[0].length, 2u);
}

TEST(String, TakesSubstringsByCharacters) {
    const String text(kMixed);
    EXPECT_EQ(text.substring(1, 2), "\xC3\xA9\xE2\x82\xAC");
    EXPECT_EQ(text.substring(3),
              "\xF0\x9D\x84\x9E"
              "b");   // all ones: to the end
    EXPECT_EQ(text.substring(4, 99), "b");
    EXPECT_TRUE(text.substring(5).isEmpty());
    EXPECT_TRUE(text.substring(99, 2).isEmpty());
    EXPECT_TRUE(text.substring(0, 0).isEmpty());
}

TEST(String, PadsOnTheLeftToAWidth) {
    const struct {
        const char* text;
        std::uint32_t width;
        const char* fill;
        bool done;
        const char* result;
    } cases[] = {{"7", 3, "0", true, "007"},   {"7", 4, "ab", true, "bab7"},
                 {"123", 3, "0", true, "123"}, {"1234", 3, "0", false, "1234"},
                 {"7", 3, "", false, "7"},     {"", 2, "\xC3\xA9", true, "\xC3\xA9\xC3\xA9"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        String text(c.text);
        EXPECT_EQ(text.pad(c.width, String(c.fill)), c.done);
        EXPECT_EQ(text, c.result);
    }
}

TEST(String, ReplacesEveryOccurrence) {
    String text("$1 of $1 in $10");
    EXPECT_EQ(text.replaceAll(String("$1"), String("7")), 3u);
    EXPECT_EQ(text, "7 of 7 in 70");
    EXPECT_EQ(text.replaceAll(String("7"), String("77")), 3u);   // replacements are not searched again
    EXPECT_EQ(text, "77 of 77 in 770");
    EXPECT_EQ(text.replaceAll(String(), String("x")), 0u);
    EXPECT_EQ(text.replaceAll(String(" "), String()), 4u);
    EXPECT_EQ(text, "77of77in770");
}

TEST(String, ReplacesARangeOrAppendsPastTheEnd) {
    String text("abcdef");
    text.replace(1, 2, String("XYZW"), 1, 2);
    EXPECT_EQ(text, "aYZdef");
    text.replace(npos, 0, String("!"));
    EXPECT_EQ(text, "aYZdef!");
    text.replace(3, npos, text, 0, 1);   // from itself
    EXPECT_EQ(text, "aYZa");
}

TEST(String, TrimsTheChosenEnds) {
    const String set(" \t\r\n");
    const std::pair<std::uint32_t, const char*> cases[] = {{String::kTrimBoth, "a b"},
                                                           {String::kTrimLeading, "a b \r\n"},
                                                           {String::kTrimTrailing, " \ta b"},
                                                           {0, " \ta b \r\n"}};
    for (const auto& [ends, result] : cases) {
        String text(" \ta b \r\n");
        EXPECT_EQ(text.trim(set, ends), result) << ends;
    }
    String blank(" \n ");
    EXPECT_TRUE(blank.trim(set, String::kTrimTrailing).isEmpty());
    String empty;
    EXPECT_TRUE(empty.trim(set).isEmpty());
}

TEST(String, CutsToALengthButNeverLengthens) {
    String text(kMixed);
    text.setLength(2);
    EXPECT_EQ(text, "a\xC3\xA9");
    text.setLength(10);
    EXPECT_EQ(text, "a\xC3\xA9");
}

TEST(String, ConvertsCaseThroughTheHost) {
    EXPECT_EQ(String("abc \xC3\xA9").toUpper(), "ABC \xC3\x89");
    EXPECT_EQ(String("ABC \xC3\x89").toLower(), "abc \xC3\xA9");
    EXPECT_TRUE(String().toUpper().isEmpty());
}

TEST(String, WritesItsTextToAStream) {
    std::ostringstream out;
    out << String("a\xC3\xA9") << '|' << String() << '|';
    EXPECT_EQ(out.str(), "a\xC3\xA9||");
    EXPECT_TRUE(out.good());
}

TEST(String, ParsesIntegersOnlyWhenTheWholeTextIsANumber) {
    const struct {
        const char* text;
        bool valid;
        std::int32_t value;
    } cases[] = {{"42", true, 42},
                 {" -17 ", true, -17},
                 {"+5", true, 5},
                 {"2147483647", true, 2147483647},
                 {"-2147483648", true, -2147483647 - 1},
                 {"2147483648", false, 0},
                 {"12abc", false, 0},
                 {"", false, 0},
                 {"  ", false, 0},
                 {"abc", false, 0},
                 {"1.5", false, 0},
                 {"+-1", false, 0},
                 {"- 1", false, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        std::int32_t value = 99;
        EXPECT_EQ(tarnwick::parseInt32(String(c.text), value), c.valid);
        EXPECT_EQ(value, c.value);
    }
}

TEST(String, ParsesUnsignedIntegersAndRefusesSigns) {
    const struct {
        const char* text;
        bool valid;
        std::uint32_t value;
    } cases[] = {{"4294967295", true, 4294967295u},
                 {"4294967296", false, 0},
                 {"-1", false, 0},
                 {"+7", true, 7},
                 {"7x", false, 0},
                 {"", false, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        std::uint32_t value = 99;
        EXPECT_EQ(tarnwick::parseUInt32(String(c.text), value), c.valid);
        EXPECT_EQ(value, c.value);
    }
}

TEST(String, ParsesRealsWithValidity) {
    const struct {
        const char* text;
        bool valid;
        double value;
    } cases[] = {{"1.25", true, 1.25}, {" -3e2 ", true, -300.0}, {".5", true, 0.5},
                 {"1e999", false, 0},  {"inf", false, 0},        {"nan", false, 0},
                 {"1,5", false, 0},    {"", false, 0},           {"2m", false, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        double value = 99;
        EXPECT_EQ(tarnwick::parseDouble(String(c.text), value), c.valid);
        EXPECT_DOUBLE_EQ(value, c.value);
    }
}

TEST(String, FormatsAndParsesRealsThroughTheHostNumberFormats) {
    for (const int code : {3, 4}) {
        double value = 0;
        ASSERT_TRUE(tarnwick::parseReal(tarnwick::formatReal(12.375, code), code, value));
        EXPECT_DOUBLE_EQ(value, 12.375);
        value = 5;
        EXPECT_FALSE(tarnwick::parseReal(String("12 apples"), code, value));   // invalid, not silently 0
        EXPECT_DOUBLE_EQ(value, 0.0);
    }
}

// --- Short texts kept inside the object and long ones on the heap ---------------------------------
// The lengths run well past the inline size on both sides, so every case meets the boundary: a text that
// just fits with its terminator, one byte more, and each multi-byte character split across it.
namespace {

constexpr std::size_t kLongest = 80;   // bytes; more than twice the inline room

std::string letters(std::size_t count) {
    std::string text;
    for (std::size_t i = 0; i < count; ++i) text += static_cast<char>('a' + i % 26);
    return text;
}

void expectHolds(const String& text, std::string_view expected, std::uint32_t characters) {
    EXPECT_EQ(text.getView(), expected);
    EXPECT_EQ(text.getByteLength(), expected.size());
    EXPECT_EQ(text.getLength(), characters);
    EXPECT_EQ(text.isEmpty(), expected.empty());
    EXPECT_EQ(text.getText()[expected.size()], '\0');   // terminated in either form
}

}   // namespace

TEST(String, HoldsTextsOfEveryLengthAroundTheInlineSize) {
    for (std::size_t length = 0; length <= kLongest; ++length) {
        SCOPED_TRACE(length);
        const std::string expected = letters(length);
        expectHolds(String(std::string_view(expected)), expected, static_cast<std::uint32_t>(length));
        expectHolds(String(expected.c_str()), expected, static_cast<std::uint32_t>(length));
        expectHolds(String(static_cast<std::uint32_t>(length), 'q'), std::string(length, 'q'),
                    static_cast<std::uint32_t>(length));
    }
}

TEST(String, KeepsMultiByteCharactersWholeWhereverTheyMeetTheInlineSize) {
    for (const std::string_view character : {"\xC3\xA9", "\xE2\x82\xAC", "\xF0\x9D\x84\x9E"}) {
        for (std::size_t before = 20; before <= 40; ++before) {
            SCOPED_TRACE(testing::Message() << character.size() << " bytes after " << before);
            const std::string expected = letters(before) + std::string(character) + "z";
            String text{std::string_view(expected)};
            const auto characters = static_cast<std::uint32_t>(before + 2);
            expectHolds(text, expected, characters);
            EXPECT_EQ(text.substring(static_cast<std::uint32_t>(before), 1).getView(), character);
            EXPECT_EQ(text.getByteOffset(characters - 1), before + character.size());
            char cut[64];   // copyTo never splits the character, whichever side of the room it ends
            const std::uint32_t copied = text.copyTo(cut, static_cast<std::uint32_t>(before + 2));
            EXPECT_EQ(copied, before);
            text.setLength(static_cast<std::uint32_t>(before + 1));
            expectHolds(text, std::string_view(expected).substr(0, before + character.size()),
                        characters - 1);
            text.setLength(static_cast<std::uint32_t>(before));
            expectHolds(text, std::string_view(expected).substr(0, before), characters - 2);
        }
    }
}

TEST(String, CopiesMovesAndAssignsBetweenInlineAndHeapTexts) {
    const std::size_t lengths[] = {0, 1, 30, 31, 32, 33, 47, 80};
    for (const std::size_t from : lengths) {
        for (const std::size_t to : lengths) {
            SCOPED_TRACE(testing::Message() << from << " into " << to);
            const std::string source = letters(from);
            const std::string target(to, 'x');
            const auto count = static_cast<std::uint32_t>(from);

            String copied{std::string_view(target)};
            const String original{std::string_view(source)};
            copied = original;
            expectHolds(copied, source, count);
            expectHolds(original, source, count);

            String moved{std::string_view(target)};
            String giver{std::string_view(source)};
            moved = std::move(giver);
            expectHolds(moved, source, count);
            expectHolds(giver, "", 0);   // NOLINT: a moved-from String is empty and usable
            giver = moved;
            expectHolds(giver, source, count);

            String built(std::move(moved));
            expectHolds(built, source, count);
            expectHolds(moved, "", 0);   // NOLINT
            moved.append(std::string_view(target));
            expectHolds(moved, target, static_cast<std::uint32_t>(to));

            String self{std::string_view(source)};
            self = *&self;   // self-assignment keeps the text
            expectHolds(self, source, count);
            self.assign(target.c_str());
            expectHolds(self, target, static_cast<std::uint32_t>(to));
        }
    }
}

TEST(String, KeepsItsTextWhileALongTextGrowsPieceByPiece) {
    // From the inline room through pooled blocks to heap blocks that grow in place or move.
    String text;
    std::string expected;
    for (std::size_t piece = 0; expected.size() < (1u << 20); ++piece) {
        const std::string next = letters(1 + piece % 97);
        text.append(std::string_view(next));
        expected += next;
        if (piece % 512 == 0) {
            text.append(text.getView().substr(text.getByteLength() / 2));   // a piece of itself
            expected += expected.substr(expected.size() / 2);
        }
    }
    ASSERT_EQ(text.getByteLength(), expected.size());
    EXPECT_TRUE(text.getView() == expected);
}

TEST(String, GrowsAndShrinksAcrossTheInlineSize) {
    for (std::size_t length = 1; length <= kLongest / 2; ++length) {
        SCOPED_TRACE(length);
        const std::string half = letters(length);
        String text{std::string_view(half)};
        text.append(text);   // its own text, which moves when the text outgrows its room
        expectHolds(text, half + half, static_cast<std::uint32_t>(2 * length));
        text.append(text.getView().substr(1));   // a piece of itself
        const std::string grown = half + half + (half + half).substr(1);
        expectHolds(text, grown, static_cast<std::uint32_t>(grown.size()));

        text.replace(0, String::npos, String(std::string_view(half)));   // shrinks into its own storage
        expectHolds(text, half, static_cast<std::uint32_t>(length));
        text.replace(String::npos, 0, text);   // appends itself
        expectHolds(text, half + half, static_cast<std::uint32_t>(2 * length));
        text.setLength(1);
        expectHolds(text, half.substr(0, 1), 1);
        text.clear();
        expectHolds(text, "", 0);
    }
}

TEST(String, ChecksEveryByteOfTextsThatStartAsPlainAscii) {
    // A bad byte, a NUL or a character anywhere in the first words, where eight bytes are looked at
    // at once, is found as it is anywhere else.
    for (std::size_t at = 0; at <= 20; ++at) {
        SCOPED_TRACE(at);
        const std::string head = letters(at);
        const std::string bad = head + "\xFF" + "tail";
        EXPECT_EQ(String(std::string_view(bad)).getView(), head + "\xEF\xBF\xBD" + "tail");   // U+FFFD
        String appended("x");
        appended.append(std::string_view(bad));
        EXPECT_EQ(appended.getView(), "x" + head + "\xEF\xBF\xBD" + "tail");

        const std::string withNul = head + std::string(1, '\0') + "tail";
        EXPECT_EQ(String(withNul.data(), static_cast<std::uint32_t>(withNul.size())).getView(), head);
        appended = "x";
        appended.append(std::string_view(withNul));
        EXPECT_EQ(appended.getView(), "x" + head);

        const std::string latin1 = head + "\xE9";   // é in Latin-1
        EXPECT_EQ(String(latin1.data(), static_cast<std::uint32_t>(latin1.size()), 1).getView(),
                  head + "\xC3\xA9");
        const std::string accented = head + "\xC3\xA9" + "tail";
        expectHolds(String(std::string_view(accented)), accented, static_cast<std::uint32_t>(at + 5));
    }
}
