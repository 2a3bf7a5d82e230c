// Texts whose special bytes fall at every position of the eight-byte words the reader, the writer and
// String scan at once; the size hint that lets the reader take its input in one block; and the writer's
// one proxy per child.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <tuple>

#include "Foundation/DataBufferIn.h"
#include "Foundation/DataFile.h"
#include "Foundation/String.h"
#include "ScratchFolder.h"
#include "XMLTestRecords.h"

using namespace xmltest;

namespace {

constexpr std::size_t kMostBefore = 24;   // three words and more: every place in a word, and the tail

std::string run(std::size_t count, char letter) { return std::string(count, letter); }

std::string inSpec(const std::string& spec) {
    return "<table><specList name='n'>" + spec + "</specList></table>";
}

}   // namespace

TEST(XMLReader, DecodesEverySpecialByteWhereverItFallsInAText) {
    // The source, what a text makes of it, what an attribute value makes of it.
    const std::tuple<std::string_view, std::string_view, std::string_view> cases[] = {
        {"\t", "\t", " "},
        {"\n", "\n", " "},
        {"\r\n", "\n", " "},
        {"\r", "\n", " "},
        {"&amp;", "&", "&"},
        {"&#x41;", "A", "A"},
        {"\xC3\xA9", "\xC3\xA9", "\xC3\xA9"},
        {"\xEF\xBF\xBD\xEF\xAC\x80", "\xEF\xBF\xBD\xEF\xAC\x80",
         "\xEF\xBF\xBD\xEF\xAC\x80"},   // U+FFFD, U+FB00
        {"]]", "]]", "]]"},
        {">", ">", ">"},
    };
    for (std::size_t before = 0; before <= kMostBefore; ++before) {
        for (const auto& [source, text, attribute] : cases) {
            SCOPED_TRACE(testing::Message() << before << " bytes before " << testing::PrintToString(source));
            const std::string head = run(before, 'a');
            Table table;
            ReadResult result = readText(
                inSpec("<spec><original>" + head + std::string(source) + "bcdefghij</original></spec>"),
                table);
            ASSERT_TRUE(result.ok) << static_cast<int>(result.error) << " at " << result.offset;
            EXPECT_EQ(table.list(0).spec(0).original.getView(), head + std::string(text) + "bcdefghij");

            Table attributes;
            result = readText(inSpec("<spec original=\"" + head + std::string(source) + "bcdefghij\"/>"),
                              attributes);
            ASSERT_TRUE(result.ok) << static_cast<int>(result.error) << " at " << result.offset;
            EXPECT_EQ(attributes.list(0).spec(0).original.getView(),
                      head + std::string(attribute) + "bcdefghij");
        }
    }
}

TEST(XMLReader, FindsACharacterXmlCannotCarryOrAnEndWhereverItFallsInAText) {
    for (std::size_t before = 0; before <= kMostBefore; ++before) {
        SCOPED_TRACE(before);
        const std::string head = "<table><note>" + run(before, 'a');
        Table table;
        ReadResult result;
        // A control byte, and U+FFFE and U+FFFF raw as they are refused as references: in a text, after
        // a decoded part of one, in an attribute value and in a CDATA section.
        for (const std::string_view refused : {"\x01", "\xEF\xBF\xBE", "\xEF\xBF\xBF"}) {
            for (const auto& [start, end] : {std::pair<std::string, std::string>{head, "z</note></table>"},
                                             {head + "&amp;", "z</note></table>"},
                                             {"<table><specList name='" + run(before, 'a'), "'/></table>"},
                                             {head + "<![CDATA[", "]]></note></table>"}}) {
                SCOPED_TRACE(testing::PrintToString(start + std::string(refused)));
                result = readText(start + std::string(refused) + end, table);
                EXPECT_FALSE(result.ok);
                EXPECT_EQ(result.error, XMLError::badCharacter);
                EXPECT_EQ(result.offset, start.size());
            }
        }

        result = readText(head, table);   // the input stops inside the text
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(result.error, XMLError::unclosedElement);
        EXPECT_EQ(result.offset, head.size());

        Table blanks;   // blanks between records of any length before the next tag
        ASSERT_TRUE(
            readText("<table>" + run(before, ' ') + "<note>x</note>" + run(before, '\n') + "</table>", blanks)
                .ok);
        EXPECT_EQ(blanks.note, "x");
    }
}

TEST(XMLReader, ReadsTheRestOfAnInputWhoseStartWasTakenAlready) {
    const std::string xml = inSpec("<spec><original>o</original></spec>");
    const std::string input = "header\n" + xml;
    for (const std::size_t size : {std::size_t(1), std::size_t(7), DataBufferIn::kDefaultBufferSize}) {
        SCOPED_TRACE(size);
        DataBufferIn in(std::string_view(input), size);
        char header[7];
        ASSERT_EQ(in.read(header, sizeof header), sizeof header);
        EXPECT_EQ(in.getSizeHint(), xml.size());
        XMLReader reader(in);
        Table table;
        ASSERT_TRUE(reader.read(table));
        EXPECT_EQ(table.list(0).spec(0).original, "o");
    }
}

TEST(XMLReader, ReadsAFileWhateverItsSize) {
    ScratchFolder folder;
    // Below the first block, and well past it with texts that cross the block's size.
    for (const std::size_t specs : {std::size_t(1), std::size_t(3000)}) {
        SCOPED_TRACE(specs);
        std::string body;
        for (std::size_t n = 0; n < specs; ++n)
            body += "<spec><original>" + std::to_string(n) + "</original></spec>";
        const auto path = folder.write("table.xml", inSpec(body));
        DataFile file(path, DataFile::kRead);
        DataBufferIn in(file);
        XMLReader reader(in);
        Table table;
        ASSERT_TRUE(reader.read(table));
        ASSERT_EQ(table.list(0).getItemCount(), specs);
        EXPECT_EQ(table.list(0).spec(specs - 1).original, String(static_cast<std::uint32_t>(specs - 1)));
    }
}

TEST(DataBufferIn, HintsAtTheBytesLeftToRead) {
    const std::string_view bytes = "0123456789";
    DataBufferIn in(bytes, 4);
    EXPECT_EQ(in.getSizeHint(), 10u);
    char some[3];
    ASSERT_EQ(in.read(some, 3), 3u);   // one byte of the buffer is left, and six of the source
    EXPECT_EQ(in.getSizeHint(), 7u);
    char rest[16];
    EXPECT_EQ(in.read(rest, sizeof rest), 7u);
    EXPECT_EQ(in.getSizeHint(), 0u);

    ScratchFolder folder;
    DataFile file(folder.write("ten.txt", bytes), DataFile::kRead);
    DataBufferIn fromFile(file);
    EXPECT_EQ(fromFile.getSizeHint(), 10u);

    DataFile missing(folder.path() / "missing.txt", DataFile::kRead);
    DataBufferIn none(missing);
    EXPECT_EQ(none.getSizeHint(), 0u);
}

TEST(XMLWriter, EscapesEverySpecialByteWhereverItFallsInAText) {
    // The byte, its form in an element's text, its form in an attribute value.
    const std::tuple<char, std::string_view, std::string_view> cases[] = {
        {'&', "&amp;", "&amp;"}, {'<', "&lt;", "&lt;"}, {'>', "&gt;", "&gt;"},    {'"', "&quot;", "&quot;"},
        {'\t', "\t", "&#9;"},    {'\n', "\n", "&#10;"}, {'\r', "&#13;", "&#13;"}, {'\'', "&apos;", "&apos;"},
    };
    for (std::size_t before = 0; before <= kMostBefore; ++before) {
        for (const auto& [byte, inText, inAttribute] : cases) {
            SCOPED_TRACE(testing::Message() << before << " bytes before " << testing::PrintToString(byte));
            const std::string head = run(before, 'a');
            const std::string value = head + byte + "bcdefghij";
            SpecList list;
            list.name = String(std::string_view(value));
            static_cast<Spec&>(list.addItem(std::make_unique<Spec>())).original =
                String(std::string_view(value));
            const std::string xml = writeText(list, false, false);
            EXPECT_NE(xml.find("<original>" + head + std::string(inText) + "bcdefghij</original>"),
                      std::string::npos)
                << xml;
            EXPECT_NE(xml.find("name=\"" + head + std::string(inAttribute) + "bcdefghij\""),
                      std::string::npos)
                << xml;

            SpecList back;
            ASSERT_TRUE(readText(xml, back).ok);
            EXPECT_EQ(back.name.getView(), value);
            EXPECT_EQ(back.spec(0).original.getView(), value);
        }
    }
}

TEST(XMLWriter, FailsOnAControlByteWhereverItFallsInAText) {
    for (std::size_t before = 0; before <= kMostBefore; ++before) {
        SCOPED_TRACE(before);
        Spec spec;
        spec.original = String(std::string_view(run(before, 'a') + "\x1F" + "b"));
        EXPECT_EQ(writeText(spec), "<failed>");
    }
}

namespace {

// Counts the proxies it makes: four children, two of them attributes.
class Counted : public XMLAssembly {
public:
    Counted() : XMLAssembly("counted") {}
    std::unique_ptr<XMLAssembly> clone() const override { return std::make_unique<Counted>(*this); }
    String texts[4];
    int made = 0;

protected:
    std::span<const std::string_view> getChildTags() const override { return kTags; }
    std::unique_ptr<XMLProxy> makeChildProxy(std::size_t index) override {
        if (index >= 4) return nullptr;
        ++made;
        return std::make_unique<XMLTypeProxy<String>>(texts[index], kTags[index],
                                                      /*isAttribute=*/index % 2 == 1);
    }

private:
    static constexpr std::string_view kTags[] = {"e0", "a1", "e2", "a3"};
};

}   // namespace

TEST(XMLWriter, MakesEachChildOfASmallRecordOnce) {
    Counted record;
    for (int i = 0; i < 4; ++i) record.texts[i] = String(static_cast<std::int32_t>(i));
    EXPECT_EQ(writeText(record, false, false),
              "<?xml version=\"1.0\" encoding=\"UTF-8\" ?><counted a1=\"1\" "
              "a3=\"3\"><e0>0</e0><e2>2</e2></counted>");
    EXPECT_EQ(record.made, 4);
}

TEST(String, CutsAtANulAndMendsBadBytesWhereverTheyFall) {
    for (std::size_t before = 0; before <= kMostBefore; ++before) {
        SCOPED_TRACE(before);
        const std::string head = run(before, 'a');
        const std::string withNul = head + std::string(1, '\0') + "bcdefghij";
        EXPECT_EQ(String(withNul.data(), static_cast<std::uint32_t>(withNul.size())).getView(), head);
        const std::string withBadByte = head + "\xFF" + "bcdefghij";
        EXPECT_EQ(String(std::string_view(withBadByte)).getView(), head + "\xEF\xBF\xBD" + "bcdefghij");
        const std::string withCharacter = head + "\xC3\xA9" + "bcdefghij";
        const String text{std::string_view(withCharacter)};
        EXPECT_EQ(text.getView(), withCharacter);
        EXPECT_EQ(text.getLength(), before + 10);
    }
}
