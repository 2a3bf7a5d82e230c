#include <HostText.h>

#include <bit>
#include <cstdint>
#include <limits>
#include <string>

#include <gtest/gtest.h>

namespace {

using namespace host;

// Test texts are written with explicit bytes: u8 literals are char8_t in C++20.
const std::string kReplacementUtf8 = "\xEF\xBF\xBD";

std::string fromCodePoint(char32_t c) {
    return utf16ToUtf8(c < 0x10000 ? std::u16string(1, char16_t(c))
                                   : std::u16string{char16_t(0xD800 + ((c - 0x10000) >> 10)),
                                                    char16_t(0xDC00 + ((c - 0x10000) & 0x3FF))});
}

bool sameDouble(double a, double b) {
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

TEST(HostText, ConvertsWellFormedTextBothWays) {
    const std::pair<std::string, std::u16string> cases[] = {
        {"", u""},
        {"plain ASCII", u"plain ASCII"},
        {"\x7F", u"\x007F"},                       // the last one-byte form
        {"\xC2\x80", u"\x0080"},                   // the first two-byte form
        {"\xC3\xA9t\xC3\xA9", u"\x00E9t\x00E9"},   // "été"
        {"\xDF\xBF", u"\x07FF"},
        {"\xE0\xA0\x80", u"\x0800"},   // the first three-byte form
        {"\xED\x9F\xBF", u"\xD7FF"},   // just below the surrogates
        {"\xEE\x80\x80", u"\xE000"},   // just above them
        {"\xEF\xBF\xBF", u"\xFFFF"},
        {"\xF0\x90\x80\x80", u"\xD800\xDC00"},                  // U+10000
        {"\xF0\x9F\x98\x80", u"\xD83D\xDE00"},                  // an emoji
        {"\xF4\x8F\xBF\xBF", u"\xDBFF\xDFFF"},                  // U+10FFFF, the last code point
        {std::string("a\0b", 3), std::u16string(u"a\0b", 3)},   // NUL is a character like any other
    };
    for (const auto& [utf8, utf16] : cases) {
        SCOPED_TRACE(utf8);
        EXPECT_EQ(utf8ToUtf16(utf8), utf16);
        EXPECT_EQ(utf16ToUtf8(utf16), utf8);
    }
}

// Each maximal broken piece becomes one U+FFFD, and the good text after it is kept.
TEST(HostText, ReplacesEachMalformedUtf8SequenceByOneReplacementCharacter) {
    const std::pair<std::string, std::u16string> cases[] = {
        {"\x80", u"\xFFFD"},   // a continuation byte without a lead
        {"a\xBF"
         "b",
         u"a\xFFFD"
         u"b"},
        {"\xC0\xAF", u"\xFFFD\xFFFD"},   // overlong '/', C0 can never lead
        {"\xC1\xBF", u"\xFFFD\xFFFD"},
        {"\xE0\x80\xAF", u"\xFFFD\xFFFD\xFFFD"},             // overlong three-byte form
        {"\xF0\x80\x80\xAF", u"\xFFFD\xFFFD\xFFFD\xFFFD"},   // overlong four-byte form
        {"\xED\xA0\x80", u"\xFFFD\xFFFD\xFFFD"},             // an encoded high surrogate
        {"\xED\xBF\xBF", u"\xFFFD\xFFFD\xFFFD"},             // an encoded low surrogate
        {"\xF4\x90\x80\x80", u"\xFFFD\xFFFD\xFFFD\xFFFD"},   // beyond U+10FFFF
        {"\xF5\x80", u"\xFFFD\xFFFD"},
        {"\xFE\xFF", u"\xFFFD\xFFFD"},
        {"\xC3", u"\xFFFD"},   // cut short at the end
        {"\xE2\x82", u"\xFFFD"},
        {"\xF0\x9F\x98", u"\xFFFD"},
        {"\xE2\x82"
         "A",
         u"\xFFFD"
         u"A"},   // cut short by an ASCII letter
        {"\xF0\x9F"
         "\xC3\xA9",
         u"\xFFFD\x00E9"},   // cut short by the next character
        {"x\xC3\xA9\xFFy",
         u"x\x00E9\xFFFD"
         u"y"},
    };
    for (const auto& [utf8, utf16] : cases) {
        SCOPED_TRACE(testing::PrintToString(utf8));
        EXPECT_EQ(utf8ToUtf16(utf8), utf16);
    }
}

TEST(HostText, ReplacesLoneSurrogatesInUtf16) {
    const std::pair<std::u16string, std::string> cases[] = {
        {u"\xD800", kReplacementUtf8},   // high at the end
        {u"\xDC00", kReplacementUtf8},   // low without a high
        {u"\xD800"
         u"A",
         kReplacementUtf8 + "A"},                                         // high before a non-surrogate
        {u"\xDC00\xD800", kReplacementUtf8 + kReplacementUtf8},           // a pair in the wrong order
        {u"\xD800\xD800\xDC00", kReplacementUtf8 + "\xF0\x90\x80\x80"},   // the second high has its low
    };
    for (const auto& [utf16, utf8] : cases) {
        SCOPED_TRACE(testing::PrintToString(utf8));
        EXPECT_EQ(utf16ToUtf8(utf16), utf8);
    }
}

TEST(HostText, RoundTripsEveryCodePointThroughUtf16) {
    for (char32_t c = 0; c <= 0x10FFFF; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF) continue;   // surrogates are no characters
        const std::string utf8 = fromCodePoint(c);
        const std::u16string utf16 = utf8ToUtf16(utf8);
        ASSERT_EQ(utf16.size(), c < 0x10000 ? 1u : 2u) << std::hex << static_cast<std::uint32_t>(c);
        ASSERT_EQ(utf16ToUtf8(utf16), utf8) << std::hex << static_cast<std::uint32_t>(c);
    }
}

TEST(HostText, ComparesByCodePoint) {
    struct Case {
        std::string a, b;
        int sign;
    };
    const Case cases[] = {
        {"", "", 0},
        {"", "a", -1},   // empty sorts first
        {"a", "", 1},
        {"abc", "abc", 0},
        {"ab", "abc", -1},                          // a prefix sorts before
        {"Z", "a", -1},                             // no case folding
        {"z", "\xC3\xA9", -1},                      // 'z' < U+00E9
        {"\xEF\xBF\xBF", "\xF0\x90\x80\x80", -1},   // U+FFFF < U+10000, unlike UTF-16 order
        {"\xFF", kReplacementUtf8, 0},              // a broken byte counts as U+FFFD
        {"a\xFF", "a\xEF\xBF\xBC", 1},
    };
    for (const auto& [a, b, sign] : cases) {
        SCOPED_TRACE(testing::PrintToString(a) + " vs " + testing::PrintToString(b));
        const int result = compareText(a, b);
        EXPECT_EQ((result > 0) - (result < 0), sign);
        const int reverse = compareText(b, a);
        EXPECT_EQ((reverse > 0) - (reverse < 0), -sign);
    }
}

TEST(HostText, ConvertsCaseOfLatinGreekAndCyrillicLetters) {
    struct Case {
        const char* text;
        const char* upper;
        const char* lower;
    };
    const Case cases[] = {
        {"Hello, World 42!", "HELLO, WORLD 42!", "hello, world 42!"},
        // Latin-1: ß has no one-letter capital and stays; ÷ and × are no letters; ÿ -> Ÿ.
        {"stra\xC3\x9F"
         "e \xC3\xA0\xC3\xA9\xC3\xBE\xC3\xBF \xC3\xB7\xC3\x97",
         "STRA\xC3\x9F"
         "E \xC3\x80\xC3\x89\xC3\x9E\xC5\xB8 \xC3\xB7\xC3\x97",
         "stra\xC3\x9F"
         "e \xC3\xA0\xC3\xA9\xC3\xBE\xC3\xBF \xC3\xB7\xC3\x97"},
        // Latin Extended-A: ā ĳ ŀ ł ő ŷ ž (pairs starting on even and on odd code points)
        {"\xC4\x81\xC4\xB3\xC5\x80\xC5\x82\xC5\x91\xC5\xB7\xC5\xBE",
         "\xC4\x80\xC4\xB2\xC4\xBF\xC5\x81\xC5\x90\xC5\xB6\xC5\xBD",
         "\xC4\x81\xC4\xB3\xC5\x80\xC5\x82\xC5\x91\xC5\xB7\xC5\xBE"},
        // Greek: αβω, final sigma, ά ί ώ
        {"\xCE\xB1\xCE\xB2\xCF\x89 \xCF\x82 \xCE\xAC\xCE\xAF\xCF\x8E",
         "\xCE\x91\xCE\x92\xCE\xA9 \xCE\xA3 \xCE\x86\xCE\x8A\xCE\x8F",
         "\xCE\xB1\xCE\xB2\xCF\x89 \xCF\x82 \xCE\xAC\xCE\xAF\xCF\x8E"},
        // Cyrillic: привет ё ђ ѣ ӑ
        {"\xD0\xBF\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82 \xD1\x91 \xD1\x92 \xD1\xA3 \xD3\x91",
         "\xD0\x9F\xD0\xA0\xD0\x98\xD0\x92\xD0\x95\xD0\xA2 \xD0\x81 \xD0\x82 \xD1\xA2 \xD3\x90",
         "\xD0\xBF\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82 \xD1\x91 \xD1\x92 \xD1\xA3 \xD3\x91"},
        // Letters whose capital or small form lies in another range: ı -> I, İ -> i, Ÿ -> ÿ, Σ -> σ.
        {"\xC4\xB1", "I", "\xC4\xB1"},
        {"\xC4\xB0", "\xC4\xB0", "i"},
        {"\xC5\xB8", "\xC5\xB8", "\xC3\xBF"},
        {"\xCE\xA3", "\xCE\xA3", "\xCF\x83"},
        // Outside the ranges nothing changes; broken bytes come out as U+FFFD.
        {"\xE4\xB8\xAD \xF0\x9F\x98\x80", "\xE4\xB8\xAD \xF0\x9F\x98\x80", "\xE4\xB8\xAD \xF0\x9F\x98\x80"},
        {"a\xFF"
         "b",
         "A\xEF\xBF\xBD"
         "B",
         "a\xEF\xBF\xBD"
         "b"},
    };
    for (const auto& [text, upper, lower] : cases) {
        SCOPED_TRACE(text);
        EXPECT_EQ(toUpperText(text), upper);
        EXPECT_EQ(toLowerText(text), lower);
    }
}

// Any letter of the covered ranges: converting twice changes nothing more, and a capital that has a
// small letter maps back to itself.
TEST(HostText, CaseConversionIsStableAndRoundTripsCapitals) {
    for (char32_t c = 0; c < 0x0500; ++c) {
        const std::string text = fromCodePoint(c);
        const std::string upper = toUpperText(text);
        const std::string lower = toLowerText(text);
        SCOPED_TRACE(testing::Message() << std::hex << static_cast<std::uint32_t>(c));
        EXPECT_EQ(toUpperText(upper), upper);
        EXPECT_EQ(toLowerText(lower), lower);
        if (upper == text && lower != text && c != 0x0130) {   // İ's small letter is the plain i
            EXPECT_EQ(toUpperText(lower), text);
        }
    }
}

TEST(HostText, FormatsNumbersInTheShortestTextThatReadsBack) {
    const std::pair<double, const char*> texts[] = {
        {0.0, "0"},      {1.5, "1.5"},          {-2.25, "-2.25"},
        {0.1, "0.1"},    {100.0, "100"},        {1.0 / 3.0, "0.3333333333333333"},
        {1e21, "1e+21"}, {1.25e-7, "1.25e-07"},
    };
    for (const auto& [value, text] : texts) {
        EXPECT_EQ(formatReal(value, kFormatLength), text);
        EXPECT_EQ(formatReal(value, kFormatAngle), text);   // no unit in any format
    }
    const double values[] = {0.0,
                             -0.0,
                             1.0 / 3.0,
                             2.0 / 3.0,
                             123456.789,
                             -9876.54321e-12,
                             std::numeric_limits<double>::max(),
                             std::numeric_limits<double>::lowest(),
                             std::numeric_limits<double>::min(),
                             std::numeric_limits<double>::denorm_min(),
                             std::numeric_limits<double>::epsilon()};
    for (const int format : {int(kFormatLength), int(kFormatReal), int(kFormatArea), int(kFormatAngle), 99}) {
        for (const double value : values) {
            const std::string text = formatReal(value, format);
            SCOPED_TRACE(text);
            double back = 42;
            ASSERT_TRUE(parseReal(text, format, back));
            EXPECT_TRUE(sameDouble(back, value));
        }
    }
}

TEST(HostText, ParsesNumbersWithSpacesSignAndExponent) {
    const std::pair<const char*, double> cases[] = {
        {"1.5", 1.5},    {"  1.5  ", 1.5}, {"\t7\t", 7.0}, {"+2", 2.0},  {"-3.25e2", -325.0}, {"1E3", 1000.0},
        {"2e-3", 0.002}, {".5", 0.5},      {"5.", 5.0},    {"-0", -0.0}, {"007", 7.0},        {"1e+2", 100.0},
    };
    for (const auto& [text, expected] : cases) {
        SCOPED_TRACE(text);
        double value = 42;
        EXPECT_TRUE(parseReal(text, kFormatArea, value));
        EXPECT_TRUE(sameDouble(value, expected));
    }
}

TEST(HostText, RefusesTextThatIsNotAFiniteNumber) {
    const char* const cases[] = {"",    " ",   "abc", "1.5m",     "1,5",   "--1",    "+-1",   "- 1", "1 2",
                                 ".",   "-",   "+",   "1e",       "1e+",   "e5",     "0x10",  "inf", "-inf",
                                 "INF", "nan", "NaN", "infinity", "1e999", "-1e999", "1.2.3", "\n1"};
    for (const char* text : cases) {
        SCOPED_TRACE(testing::PrintToString(std::string(text)));
        double value = 42;
        EXPECT_FALSE(parseReal(text, kFormatReal, value));
        EXPECT_TRUE(sameDouble(value, 0.0));
    }
}

}   // namespace
