#include "Foundation/XMLReader.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "XMLTestRecords.h"

using namespace xmltest;
using namespace std::string_literals;

namespace {

constexpr std::string_view kGuidText = "0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0";

const std::string kSample = std::string(R"(<?xml version="1.0" encoding="UTF-8" ?>
<!-- a mapping table -->
<table>
	<note>checked</note>
	<specList name="Default">
		<spec kind="door" flags="7" active="true">
			<original>Door &amp; frame</original>
			<mapped>Door 22</mapped>
			<count>-12</count>
			<ratio>0.25</ratio>
			<guid>)") +
                            std::string(kGuidText) + R"(</guid>
		</spec>
		<spec>
			<original></original>
			<mapped/>
		</spec>
	</specList>
	<specList name="Site"/>
</table>
)";

TEST(XMLReader, ReadsEveryValueKindIntoTheRecordTree) {
    Table table;
    const ReadResult result = readText(kSample, table);
    ASSERT_TRUE(result.ok) << static_cast<int>(result.error) << " at " << result.offset;
    EXPECT_EQ(table.note, "checked");
    ASSERT_EQ(table.getItemCount(), 2u);
    EXPECT_EQ(table.list(0).name, "Default");
    EXPECT_EQ(table.list(1).name, "Site");
    EXPECT_EQ(table.list(1).getItemCount(), 0u);
    ASSERT_EQ(table.list(0).getItemCount(), 2u);
    const Spec& first = table.list(0).spec(0);
    EXPECT_EQ(first.kind, Kind::door);
    EXPECT_EQ(first.flags, 7u);
    EXPECT_TRUE(first.active);
    EXPECT_EQ(first.original, "Door & frame");
    EXPECT_EQ(first.mapped, "Door 22");
    EXPECT_EQ(first.count, -12);
    EXPECT_DOUBLE_EQ(first.ratio, 0.25);
    EXPECT_EQ(first.guid.toString().getView(), kGuidText);
    const Spec& second = table.list(0).spec(1);
    EXPECT_EQ(second.kind, Kind::object);   // a missing attribute keeps the default
    EXPECT_TRUE(second.original.isEmpty());
    EXPECT_TRUE(second.mapped.isEmpty());
}

TEST(XMLReader, ReadsTheSameRecordsWhateverTheInputBufferSize) {
    for (const std::size_t size :
         {std::size_t{1}, std::size_t{2}, std::size_t{7}, DataBufferIn::kDefaultBufferSize}) {
        SCOPED_TRACE(size);
        Table table;
        ASSERT_TRUE(readText(kSample, table, size).ok);
        ASSERT_EQ(table.getItemCount(), 2u);
        EXPECT_EQ(table.list(0).spec(0).original, "Door & frame");
        EXPECT_EQ(table.list(0).spec(0).guid.toString().getView(), kGuidText);
    }
}

TEST(XMLReader, ReadsAttributesAndChildElementsOfTheSameNameAlike) {
    Table table;
    ASSERT_TRUE(readText("<table><specList><name>A</name><spec original='x' count=\"5\"><kind>window</kind>"
                         "<active>1</active></spec></specList></table>",
                         table)
                    .ok);
    ASSERT_EQ(table.getItemCount(), 1u);
    EXPECT_EQ(table.list(0).name, "A");
    const Spec& spec = table.list(0).spec(0);
    EXPECT_EQ(spec.original, "x");
    EXPECT_EQ(spec.count, 5);
    EXPECT_EQ(spec.kind, Kind::window);
    EXPECT_TRUE(spec.active);
}

// Each thing skipped is listed once, where it stands, so that a caller can tell the user what is lost;
// an attribute given twice in one tag keeps its first value, among few attributes or many.
TEST(XMLReader, SkipsUnknownElementsAndAttributesWithTheirContentAndListsThem) {
    Table table;
    auto in = bufferOver(
        "<table version='3' xmlns:x='urn:x'><future a='1'><specList name='hidden'><spec/></specList>"
        "<deeper><specList name='also hidden'/></deeper>text &amp; <![CDATA[<specList>]]></future>\n"
        "<specList name='L' colour='red' name='M'><spec><original "
        "lang='en'>o<b>bold</b>k</original><unknown/>"
        "</spec></specList>\r\n<x:specList name='prefixed'/></table>",
        3);
    XMLReader reader(*in);
    ASSERT_TRUE(reader.read(table)) << static_cast<int>(reader.error()) << " at " << reader.errorOffset();
    ASSERT_EQ(table.getItemCount(), 1u);   // nothing inside <future>, no prefixed name
    EXPECT_EQ(table.list(0).name, "L");
    ASSERT_EQ(table.list(0).getItemCount(), 1u);
    EXPECT_EQ(table.list(0).spec(0).original, "ok");   // the text around an unknown child joins up
    using Kind = XMLLeftOut::Kind;
    std::vector<std::tuple<Kind, std::string, std::string, std::size_t>> listed;
    for (const XMLLeftOut& item : reader.leftOut())
        listed.emplace_back(item.kind, item.name, item.element, item.line);
    const std::vector<std::tuple<Kind, std::string, std::string, std::size_t>> expected = {
        {Kind::attribute, "version", "table", 1},
        {Kind::attribute, "xmlns:x", "table", 1},
        {Kind::element, "future", "table", 1},
        {Kind::attribute, "colour", "specList", 2},
        {Kind::repeatedAttribute, "name", "specList", 2},
        {Kind::attribute, "lang", "original", 2},
        {Kind::element, "b", "original", 2},
        {Kind::element, "unknown", "spec", 2},
        {Kind::element, "x:specList", "table", 3}};
    EXPECT_EQ(listed, expected);

    std::string many = "<table><specList";
    for (int i = 0; i < 40; ++i) many += " a" + std::to_string(i % 20) + "='" + std::to_string(i) + "'";
    many += " name='first' name='second'/></table>";
    Table other;
    auto manyIn = bufferOver(many);
    XMLReader manyReader(*manyIn);
    ASSERT_TRUE(manyReader.read(other));
    EXPECT_EQ(other.list(0).name, "first");
    std::size_t repeated = 0;
    for (const XMLLeftOut& item : manyReader.leftOut()) repeated += item.kind == Kind::repeatedAttribute;
    EXPECT_EQ(manyReader.leftOut().size(), 41u);   // 20 unknown names, each given twice, and "name"
    EXPECT_EQ(repeated, 21u);
}

// A tree of folders: each has a title of its own, after or before the folders in it, and any number of
// labels, each read into a value made for it.
class Folder : public XMLArray {
public:
    Folder() : XMLArray("folder", "folder") {}
    std::unique_ptr<XMLAssembly> clone() const override { return std::make_unique<Folder>(*this); }
    Folder& folder(std::size_t index) const { return static_cast<Folder&>(getItem(index)); }
    std::unique_ptr<XMLProxy> findChild(std::string_view name, bool attribute) override {
        if (attribute || name != "label") return XMLArray::findChild(name, attribute);
        return std::make_unique<XMLTypeProxy<String>>(labels.emplace_back(), "label");
    }

    String title;
    std::deque<String> labels;

protected:
    std::unique_ptr<XMLAssembly> makeItem() override { return std::make_unique<Folder>(); }
    std::span<const std::string_view> getChildTags() const override { return kTags; }
    std::unique_ptr<XMLProxy> makeChildProxy(std::size_t index) override {
        if (index == 0) return std::make_unique<XMLTypeProxy<String>>(title, kTags[0]);
        return XMLArray::makeChildProxy(index);
    }

private:
    static constexpr std::string_view kTags[] = {"title"};
};

// A value a record holds once keeps its first element, and each later one is listed; the items of a list,
// and the same value in another record, inside it or beside it, are all read.
TEST(XMLReader, ReadsAValueGivenAgainInOneRecordOnceAndListsTheOthers) {
    Table table;
    auto in = bufferOver(
        "<table><note>first</note><specList name='L'>\n"
        "<spec><original>Office Chair</original><mapped>A</mapped><original>Other</original>"
        "<original/><kind>door</kind><kind>window</kind></spec>\n"
        "<spec><original>Second</original><mapped>B</mapped></spec><spec><original>Third</original></spec>"
        "</specList>\n<note>second</note><specList name='M'><spec><original>Fourth</original></spec>"
        "</specList></table>");
    XMLReader reader(*in);
    ASSERT_TRUE(reader.read(table)) << static_cast<int>(reader.error()) << " at " << reader.errorOffset();
    EXPECT_EQ(table.note, "first");
    ASSERT_EQ(table.getItemCount(), 2u);
    ASSERT_EQ(table.list(0).getItemCount(), 3u);
    EXPECT_EQ(table.list(0).spec(0).original, "Office Chair");
    EXPECT_EQ(table.list(0).spec(0).mapped, "A");
    EXPECT_EQ(table.list(0).spec(0).kind, Kind::door);
    EXPECT_EQ(table.list(0).spec(1).original, "Second");
    EXPECT_EQ(table.list(0).spec(1).mapped, "B");
    EXPECT_EQ(table.list(0).spec(2).original, "Third");
    ASSERT_EQ(table.list(1).getItemCount(), 1u);
    EXPECT_EQ(table.list(1).spec(0).original, "Fourth");
    using Kind = XMLLeftOut::Kind;
    std::vector<std::tuple<Kind, std::string, std::string, std::size_t>> listed;
    for (const XMLLeftOut& item : reader.leftOut())
        listed.emplace_back(item.kind, item.name, item.element, item.line);
    const std::vector<std::tuple<Kind, std::string, std::string, std::size_t>> expected = {
        {Kind::repeatedElement, "original", "spec", 2},
        {Kind::repeatedElement, "original", "spec", 2},
        {Kind::repeatedElement, "kind", "spec", 2},
        {Kind::repeatedElement, "note", "table", 4}};
    EXPECT_EQ(listed, expected);

    Folder tree;
    auto treeIn = bufferOver(
        "<folder><folder><title>inner</title><folder><title>innermost</title></folder></folder>"
        "<label>a</label><title>outer</title><label>b</label><title>again</title></folder>");
    XMLReader treeReader(*treeIn);
    ASSERT_TRUE(treeReader.read(tree));
    EXPECT_EQ(tree.title, "outer");
    EXPECT_EQ(tree.folder(0).title, "inner");
    EXPECT_EQ(tree.folder(0).folder(0).title, "innermost");
    EXPECT_EQ(tree.labels, (std::deque<String>{String("a"), String("b")}));
    ASSERT_EQ(treeReader.leftOut().size(), 1u);
    EXPECT_EQ(treeReader.leftOut()[0].name, "title");
}

TEST(XMLReader, DecodesReferencesLineBreaksAndCDataInValues) {
    const std::pair<std::string_view, std::string_view> cases[] = {
        {"<original>&lt;a&gt; &amp; &quot;b&quot; &apos;c&apos;</original>", "<a> & \"b\" 'c'"},
        {"<original>&#65;&#x42;&#xe9;&#x20AC;&#x1F600;&#10;</original>",
         "AB\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\n"},
        {"<original>one\r\ntwo\rthree\n</original>", "one\ntwo\nthree\n"},
        {"<original>a<![CDATA[<&>\r\n]]>b<!-- c -->d<?pi x?>e</original>", "a<&>\nbde"},
        {"<original>  blanks stay  </original>", "  blanks stay  "},
        {"<original>&#13;</original>", "\r"},
        {"<spec original='a&#9;b\tc\nd\r\ne&#10;\"'/>", "a\tb c d e\n\""},
        {"<spec original=\"it's\"/>", "it's"},
    };
    for (const auto& [xml, text] : cases) {
        SCOPED_TRACE(xml);
        const std::string document =
            "<table><specList name='n'>" +
            (xml.starts_with("<spec ") ? std::string(xml) : "<spec>" + std::string(xml) + "</spec>") +
            "</specList></table>";
        Table table;
        const ReadResult result = readText(document, table);
        ASSERT_TRUE(result.ok) << static_cast<int>(result.error) << " at " << result.offset;
        EXPECT_EQ(table.list(0).spec(0).original.getView(), text);
    }
}

TEST(XMLReader, FailsOnBrokenInputAndSaysWhy) {
    const std::pair<std::string_view, XMLError> cases[] = {
        {"", XMLError::noRoot},
        {"   <!-- only a comment -->  ", XMLError::noRoot},
        {"plain text", XMLError::noRoot},
        {"<other/>", XMLError::unexpectedRoot},
        {"<table><specList name='a'>", XMLError::unclosedElement},
        {"<table></tabel>", XMLError::mismatchedEndTag},
        {"<table><future><x></future></x></table>", XMLError::mismatchedEndTag},
        {"<table a='1>", XMLError::badAttribute},
        {"<table a=1>", XMLError::badAttribute},
        {"<table a>", XMLError::badAttribute},
        {"<table a='<'/>", XMLError::badAttribute},
        {"<table", XMLError::malformedTag},
        {"<table a='1'b='2'/>", XMLError::malformedTag},
        {"<table/ >", XMLError::malformedTag},
        {"<table></table", XMLError::malformedTag},
        {"< table/>", XMLError::badName},
        {"<table><1/></table>", XMLError::badName},
        {"<table></ table>", XMLError::badName},
        {"<table><note>&bogus;</note></table>", XMLError::badEntity},
        {"<table><note>&amp</note></table>", XMLError::badEntity},
        {"<table><note>&#;</note></table>", XMLError::badEntity},
        {"<table><note>&#0;</note></table>", XMLError::badCharacter},
        {"<table><note>&#xD800;</note></table>", XMLError::badCharacter},
        {"<table><note>&#x110000;</note></table>", XMLError::badCharacter},
        {"<table><note>&#99999999999999999999;</note></table>", XMLError::badCharacter},
        {"<table><note>a\x01</note></table>", XMLError::badCharacter},
        {std::string_view("<table>\0</table>", 16), XMLError::nulByte},
        {"<table><!-- never closed </table>", XMLError::unclosedMarkup},
        {"<table><note><![CDATA[x</note></table>", XMLError::unclosedMarkup},
        {"<table><?pi </table>", XMLError::unclosedMarkup},
        {"<table><!ELEMENT x></table>", XMLError::unclosedMarkup},
        {"<!DOCTYPE table [<!ENTITY a 'b'>]><table/>", XMLError::doctype},
        {"<?xml version='2.0'?><table/>", XMLError::badDeclaration},
        {"<?xml encoding='UTF-8'?><table/>", XMLError::badDeclaration},
        {"<?xml version='1.0' extra='x'?><table/>", XMLError::badDeclaration},
        {"<!-- c --><?xml version='1.0'?><table/>", XMLError::badDeclaration},
        {"<?xml version='1.0' encoding='Shift_JIS'?><table/>", XMLError::badEncoding},
        {"\xEF\xBB\xBF<?xml version='1.0' encoding='ISO-8859-1'?><table/>", XMLError::badEncoding},
        {"<?xml version='1.0' encoding='UTF-16'?><table/>", XMLError::badEncoding},
        {"<table/><table/>", XMLError::extraContent},
        {"<table/>trailing", XMLError::extraContent},
        {"<table><specList/></table>", XMLError::invalidRecord},
        {"<table><specList name='a'><spec kind='Door'/></specList></table>", XMLError::refusedValue},
        {"<table><specList name='a'><spec><ratio>1.5m</ratio></spec></specList></table>",
         XMLError::refusedValue},
        {"<table><specList name='a'><spec><guid>not a guid</guid></spec></specList></table>",
         XMLError::refusedValue},
        {"<table><specList name='a'><spec active='yes'/></specList></table>", XMLError::refusedValue},
        {"<table><specList name='a'><spec><ratio/></spec></specList></table>", XMLError::refusedValue},
    };
    for (const auto& [xml, error] : cases) {
        SCOPED_TRACE(xml);
        Table table;
        const ReadResult result = readText(xml, table);
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(result.error, error);
        EXPECT_LE(result.offset, xml.size());
        EXPECT_GE(result.line, 1u);
        EXPECT_GE(result.column, 1u);
        EXPECT_FALSE(result.text.empty());
    }
}

TEST(XMLReader, PlacesTheErrorByLineAndColumnAndSaysWhatIsWrong) {
    // Columns count characters; LF, CR LF and a lone CR each end a line, also inside values that were
    // decoded before the error.
    const struct {
        std::string_view xml;
        std::size_t line;
        std::size_t column;
        std::string_view text;
    } cases[] = {
        {"<table>\n\t<note>x</nope>\n</table>", 2, 11, "mismatched end tag: expected </note>"},
        {"<table>\r\n<note>a&#10;b\r\nc</note>\r\n<specList name='x&#13;\r\ny'>\r\n</specLis>", 6, 3,
         "mismatched end tag: expected </specList>"},
        {"<table>\r<note>\r</note>\r</table>\r<x/>", 5, 1, "text or an element after the root element"},
        {"<table><note>\xC3\xA9\xE2\x82\xAC</nott></table>", 1, 18, "mismatched end tag: expected </note>"},
        {"<?xml version='1.0' encoding='ISO-8859-1'?>\n<table><note>\xE9\xE9</nott></table>", 2, 18,
         "mismatched end tag: expected </note>"},
        {"<table><future><a>\n</b></future></table>", 2, 3, "mismatched end tag: expected </a>"},
        {"<table><note>x", 1, 15, "unclosed element: expected </note>"},
        {"<other/>", 1, 2, "unexpected root element: expected <table>"},
        {"<table><specList name='a'><spec kind='Door'/></specList></table>", 1, 33,
         "value not accepted: kind"},
        {"<table>\n  <specList/></table>", 2, 4, "incomplete or invalid element: <specList>"},
        {"<?xml version='1.0' encoding='Shift_JIS'?><table/>", 1, 31,
         "the encoding \"Shift_JIS\" cannot be read: use UTF-8, UTF-16, ISO-8859-1 or Windows-1252"},
        {"\xEF\xBB\xBF<?xml version='1.0' encoding='windows-1252'?><table/>", 1, 31,
         "the encoding \"windows-1252\" contradicts the byte-order mark"},
    };
    for (const auto& [xml, line, column, text] : cases) {
        SCOPED_TRACE(xml);
        for (const std::size_t bufferSize :
             {std::size_t{1}, std::size_t{7}, DataBufferIn::kDefaultBufferSize}) {
            Table table;
            const ReadResult result = readText(xml, table, bufferSize);
            EXPECT_FALSE(result.ok);
            EXPECT_EQ(result.line, line);
            EXPECT_EQ(result.column, column);
            EXPECT_EQ(result.text, text);
        }
    }
    Table table;
    const ReadResult result = readText("<table/>", table);
    EXPECT_TRUE(result.ok);
    EXPECT_EQ(result.line, 0u);
    EXPECT_TRUE(result.text.empty());
}

TEST(XMLReader, RefusesANulByteWhereverItStands) {
    // Each '@' in turn becomes a NUL: in text, names, attribute values, skipped elements, comments,
    // PIs, CDATA (kept and skipped) and around the root. The error names the NUL at its offset.
    const std::string document =
        "<?xml version='1.0@'?><!-- before @--><table@><note>a@b</note>@<specList name='n@'>"
        "<spec original='x'><original>o<![CDATA[c@]]></original><mapped>@</mapped></spec>"
        "<future a='@'><!-- @ --><?pi @?><![CDATA[@]]>t@</future></specList></table>@<?pi @?>";
    for (std::size_t at = document.find('@'); at != std::string::npos; at = document.find('@', at + 1)) {
        std::string xml = document;
        for (char& c : xml) {
            if (c == '@') c = ' ';
        }
        xml[at] = '\0';
        SCOPED_TRACE(at);
        Table table;
        const ReadResult result = readText(xml, table);
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(result.error, XMLError::nulByte);
        EXPECT_EQ(result.offset, at);
    }
    std::string whole = document;
    for (char& c : whole) {
        if (c == '@') c = ' ';
    }
    Table table;
    EXPECT_TRUE(readText(whole, table).ok);
}

TEST(XMLReader, ClosesAnElementOnlyWithItsWholeName) {
    // End tags that share a start with the open name, or run on past it, close nothing.
    const struct {
        std::string_view xml;
        XMLError error;
        std::size_t offset;
    } cases[] = {
        {"<table><note>x</not></table>", XMLError::mismatchedEndTag, 16},
        {"<table><note>x</notes></table>", XMLError::mismatchedEndTag, 16},
        {"<table><note>x</note-></table>", XMLError::mismatchedEndTag, 16},
        {"<table><note>x</note:a></table>", XMLError::mismatchedEndTag, 16},
        {"<table><note>x</Note></table>", XMLError::mismatchedEndTag, 16},
        {"<table><note>x</note", XMLError::malformedTag, 20},
        {"<table><note>x</not", XMLError::malformedTag, 19},
        {"<table><note>x</note x></table>", XMLError::malformedTag, 21},
        {"<table><note>x</note \t\n></table", XMLError::malformedTag, 31},
        {"<table><note>x</note \t\n></table>", XMLError::none, 0},
        {"<table></table >", XMLError::none, 0},
    };
    for (const auto& [xml, error, offset] : cases) {
        SCOPED_TRACE(xml);
        Table table;
        const ReadResult result = readText(xml, table);
        EXPECT_EQ(result.ok, error == XMLError::none);
        EXPECT_EQ(result.error, error);
        EXPECT_EQ(result.offset, offset);
    }
}

TEST(XMLReader, ReportsTheOffsetOfTheFirstError) {
    Table table;
    const std::string_view xml = "<table><note>a &bad; &worse;</note></table>";
    const ReadResult result = readText(xml, table);
    EXPECT_EQ(result.error, XMLError::badEntity);
    EXPECT_EQ(result.offset, xml.find("&bad"));
}

TEST(XMLReader, FailsOnInputThatStopsAnywhereBeforeTheEndOfTheRoot) {
    const std::string full =
        "<table><specList name='a&amp;b'><spec><original>x&#65;</original></spec></specList></table>";
    for (std::size_t length = 0; length < full.size(); ++length) {
        SCOPED_TRACE(length);
        Table table;
        EXPECT_FALSE(readText(std::string_view(full).substr(0, length), table).ok);
    }
    Table table;
    EXPECT_TRUE(readText(full, table).ok);
}

TEST(XMLReader, ReadsIntegersByTheirLeadingNumberAndOtherwiseAsZero) {
    const std::pair<std::string_view, int> cases[] = {{"42", 42},         {" -7", -7}, {"+3", 3},
                                                      {"12abc", 12},      {"abc", 0},  {"", 0},
                                                      {"99999999999", 0}, {"--1", 0}};
    for (const auto& [text, value] : cases) {
        SCOPED_TRACE(text);
        Table table;
        const std::string xml = "<table><specList name='a'><spec><count>" + std::string(text) +
                                "</count></spec></specList></table>";
        ASSERT_TRUE(readText(xml, table).ok);
        EXPECT_EQ(table.list(0).spec(0).count, value);
    }
}

TEST(XMLReader, BoundsTheNestingDepth) {
    // Unknown elements nest as deep as known ones: a bomb of a million opens stops at the bound.
    std::string bomb = "<table>";
    for (int i = 0; i < 1000000; ++i) bomb += "<a>";
    Table table;
    const ReadResult result = readText(bomb, table);
    EXPECT_EQ(result.error, XMLError::tooDeep);
    EXPECT_LT(result.offset, 4 * XMLReader::kMaxDepth);

    std::string deepest = "<table>";
    for (std::size_t i = 1; i < XMLReader::kMaxDepth; ++i) deepest += "<a>";
    for (std::size_t i = 1; i < XMLReader::kMaxDepth; ++i) deepest += "</a>";
    deepest += "</table>";
    EXPECT_TRUE(readText(deepest, table).ok);
}

std::string utf16Bytes(std::u16string_view units, bool bigEndian) {
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (const char16_t unit : units) {
        const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
        bytes += bigEndian ? high : low;
        bytes += bigEndian ? low : high;
    }
    return bytes;
}

TEST(XMLReader, AcceptsByteOrderMarksAndConvertsUTF16) {
    const std::string text = "<table><note>caf\xC3\xA9 \xE2\x82\xAC</note></table>";
    const std::u16string units =
        u"<?xml version='1.0' encoding='UTF-16'?><table><note>caf\u00E9 \u20AC</note></table>";
    const std::string inputs[] = {text, "\xEF\xBB\xBF" + text, utf16Bytes(units, false),
                                  utf16Bytes(units, true)};
    for (const std::string& input : inputs) {
        Table table;
        const ReadResult result = readText(input, table);
        ASSERT_TRUE(result.ok) << static_cast<int>(result.error) << " at " << result.offset;
        EXPECT_EQ(table.note, "caf\xC3\xA9 \xE2\x82\xAC");
    }
    Table table;
    EXPECT_EQ(readText("\xFF\xFE<\0t"s, table).error, XMLError::badEncoding);   // an odd number of bytes
}

TEST(XMLReader, ReadsTextsDeclaredAsISO88591OrWindows1252) {
    // What a text editor saves: the declaration names the encoding, one byte a character.
    const std::string latin1 =
        "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n"
        "<table><note>caf\xE9 \x80</note><specList name='\xC6"
        "ble'/></table>";
    const std::string windows =
        "<?xml version='1.0' encoding='Windows-1252' ?>\r\n"
        "<table><note>\x93"
        "caf\xE9\x94 \x80 \x81</note><specList name='\x8Ale'/></table>";
    const struct {
        std::string_view xml;
        std::string_view note;
        std::string_view name;
    } cases[] = {
        {latin1, "caf\xC3\xA9 \xC2\x80",
         "\xC3\x86"
         "ble"},
        {windows,
         "\xE2\x80\x9C"
         "caf\xC3\xA9\xE2\x80\x9D \xE2\x82\xAC \xC2\x81",
         "\xC5\xA0le"},
    };
    for (const auto& [xml, note, name] : cases) {
        SCOPED_TRACE(xml);
        for (const std::size_t bufferSize :
             {std::size_t{1}, std::size_t{2}, std::size_t{7}, DataBufferIn::kDefaultBufferSize}) {
            Table table;
            const ReadResult result = readText(xml, table, bufferSize);
            ASSERT_TRUE(result.ok) << result.text;
            EXPECT_EQ(table.note.getView(), note);
            ASSERT_EQ(table.getItemCount(), 1u);
            EXPECT_EQ(table.list(0).name.getView(), name);
        }
    }
}

TEST(XMLReader, AddsToTheRootWithoutClearingIt) {
    Table table;
    ASSERT_TRUE(readText("<table><specList name='a'/></table>", table).ok);
    ASSERT_TRUE(readText("<table><specList name='b'/></table>", table).ok);
    ASSERT_EQ(table.getItemCount(), 2u);
    EXPECT_EQ(table.list(1).name, "b");
}

TEST(XMLReader, ReadsMapEntriesUnderTheirKeysAndRefusesEntriesWithoutOne) {
    const std::string key = std::string(kGuidText);
    Table table;
    const std::string xml = "<table><byGuid><entry id='" + key +
                            "'><spec><original>first</original></spec></entry>"
                            "<entry id='" +
                            key + "'><spec><original>second</original></spec></entry></byGuid></table>";
    ASSERT_TRUE(readText(xml, table).ok);
    ASSERT_EQ(table.byGuid.size(), 1u);
    EXPECT_EQ(table.byGuid.begin()->second->original, "second");   // a key met twice keeps the later value

    Table missing;
    EXPECT_EQ(readText("<table><byGuid><entry><spec/></entry></byGuid></table>", missing).error,
              XMLError::invalidRecord);
}

}   // namespace
