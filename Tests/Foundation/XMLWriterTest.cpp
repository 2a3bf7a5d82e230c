#include "Foundation/XMLWriter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "XMLTestRecords.h"

using namespace xmltest;

namespace {

Table sampleTable() {
    Table table;
    auto& list = static_cast<SpecList&>(table.addItem(std::make_unique<SpecList>()));
    list.name = "Default";
    auto spec = std::make_unique<Spec>();
    spec->kind = Kind::door;
    spec->flags = 3;
    spec->original = "Door 1";
    spec->count = 2;
    spec->ratio = 0.5;
    list.addItem(std::move(spec));
    list.addItem(std::make_unique<Spec>());
    auto& empty = static_cast<SpecList&>(table.addItem(std::make_unique<SpecList>()));
    empty.name = "Site";
    return table;
}

TEST(XMLWriter, WritesAttributesFirstThenElementsWithTabIndentation) {
    Table table = sampleTable();
    EXPECT_EQ(writeText(table),
              "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\n"
              "<table>\n"
              "\t<specList name=\"Default\">\n"
              "\t\t<spec kind=\"door\" flags=\"3\" active=\"false\">\n"
              "\t\t\t<original>Door 1</original>\n"
              "\t\t\t<mapped></mapped>\n"
              "\t\t\t<count>2</count>\n"
              "\t\t\t<ratio>0.5</ratio>\n"
              "\t\t</spec>\n"
              "\t\t<spec flags=\"0\" active=\"false\">\n"   // kind "object" is absent: left out
              "\t\t\t<original></original>\n"
              "\t\t\t<mapped></mapped>\n"
              "\t\t\t<count>0</count>\n"
              "\t\t\t<ratio>0</ratio>\n"
              "\t\t</spec>\n"
              "\t</specList>\n"
              "\t<specList name=\"Site\"/>\n"
              "</table>\n");
}

TEST(XMLWriter, WritesWithoutLineBreaksOrIndentationWhenAsked) {
    Table table;
    auto& list = static_cast<SpecList&>(table.addItem(std::make_unique<SpecList>()));
    list.name = "L";
    EXPECT_EQ(writeText(table, /*lineBreaks=*/false, /*indentation=*/false),
              "<?xml version=\"1.0\" encoding=\"UTF-8\" ?><table><specList name=\"L\"/></table>");
    EXPECT_EQ(writeText(table, /*lineBreaks=*/true, /*indentation=*/false),
              "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\n<table>\n<specList name=\"L\"/>\n</table>\n");
}

TEST(XMLWriter, WritesAbsentChildrenOnlyWhenAllAreAsked) {
    Table table;
    String text;
    DataBufferOut out;
    out.open(text);
    XMLWriter writer(out);
    ASSERT_TRUE(writer.write(table, /*declaration=*/false, false, false, /*all=*/true));
    out.close();
    EXPECT_EQ(text.getView(), "<table><note></note><byGuid/></table>");
}

TEST(XMLWriter, EscapesTheFiveSpecialCharactersAsTheStandardEntities) {
    Table table;
    auto& list = static_cast<SpecList&>(table.addItem(std::make_unique<SpecList>()));
    list.name = "Tom's \"big\" <door> & co";
    auto spec = std::make_unique<Spec>();
    spec->original = list.name;
    list.addItem(std::move(spec));
    const std::string xml = writeText(table, /*lineBreaks=*/false, /*indentation=*/false);
    const std::string escaped = "Tom&apos;s &quot;big&quot; &lt;door&gt; &amp; co";
    EXPECT_NE(xml.find("<specList name=\"" + escaped + "\">"), std::string::npos) << xml;
    EXPECT_NE(xml.find("<original>" + escaped + "</original>"), std::string::npos) << xml;
}

TEST(XMLWriter, EscapesTextsSoThatEveryNameReadsBackUnchanged) {
    const std::string_view names[] = {
        "Door & frame", "<b>bold</b>", "say \"hi\"", "it's", "tab\there", "line\nbreak", "cr\r\nlf",
        "lone\rcr", "]]> end", "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80", " padded ", "&amp; literal",
        // Next to what XML cannot carry: U+FFFD, U+FEFF, U+D7FF, U+E000 and U+1FFFF.
        "\xEF\xBF\xBD \xEF\xBB\xBF \xED\x9F\xBF \xEE\x80\x80 \xF0\x9F\xBF\xBF"};
    for (const std::string_view name : names) {
        SCOPED_TRACE(name);
        Table table;
        auto& list = static_cast<SpecList&>(table.addItem(std::make_unique<SpecList>()));
        list.name = String(name);   // an attribute
        auto spec = std::make_unique<Spec>();
        spec->original = String(name);   // element text
        list.addItem(std::move(spec));
        const std::string xml = writeText(table);
        Table back;
        const ReadResult result = readText(xml, back);
        ASSERT_TRUE(result.ok) << xml;
        EXPECT_EQ(back.list(0).name.getView(), name);
        EXPECT_EQ(back.list(0).spec(0).original.getView(), name);
    }
}

TEST(XMLWriter, FailsWhenAChildHasNoText) {
    auto withSpec = [](auto change) {
        Table table;
        auto& list = static_cast<SpecList&>(table.addItem(std::make_unique<SpecList>()));
        list.name = "L";
        auto spec = std::make_unique<Spec>();
        change(*spec);
        list.addItem(std::move(spec));
        String text;
        DataBufferOut out;
        out.open(text);
        XMLWriter writer(out);
        const bool written = writer.write(table);
        // A text XML cannot carry is the writer's to tell apart from one that could not be made.
        return written                  ? std::string("written")
               : writer.stoppedAtText() ? "<a text XML cannot carry>"
                                        : "<failed>";
    };
    EXPECT_EQ(withSpec([](Spec& s) { s.ratio = std::numeric_limits<double>::quiet_NaN(); }), "<failed>");
    EXPECT_EQ(withSpec([](Spec& s) { s.ratio = std::numeric_limits<double>::infinity(); }), "<failed>");
    EXPECT_EQ(withSpec([](Spec& s) { s.kind = static_cast<Kind>(9); }), "<failed>");   // no text in the table
    EXPECT_EQ(withSpec([](Spec& s) { s.original = "bell\x07"; }), "<a text XML cannot carry>");
    // What UTF-8 holds and XML 1.0 does not, in a text or an attribute: U+FFFE and U+FFFF.
    for (const char* outside : {"\xEF\xBF\xBE", "name \xEF\xBF\xBF"}) {
        SCOPED_TRACE(outside);
        EXPECT_EQ(withSpec([outside](Spec& s) { s.original = outside; }), "<a text XML cannot carry>");
        Table table;
        static_cast<SpecList&>(table.addItem(std::make_unique<SpecList>())).name = outside;
        String text;
        DataBufferOut out;
        out.open(text);
        XMLWriter writer(out);
        EXPECT_FALSE(writer.write(table));
        EXPECT_TRUE(writer.stoppedAtText());
    }
    EXPECT_EQ(withSpec([](Spec& s) { s.original = "fine"; }), "written");
}

TEST(XMLWriter, FailsWhenTheOutputIsNotOpen) {
    Table table = sampleTable();
    DataBufferOut out;   // attached to nothing
    XMLWriter writer(out);
    EXPECT_FALSE(writer.write(table));
}

TEST(XMLWriter, RoundTripsEveryValueKindAndTheMap) {
    Table table = sampleTable();
    table.note = "n";
    Spec& spec = table.list(0).spec(0);
    spec.active = true;
    spec.count = -2147483647 - 1;
    spec.flags = 4294967295u;
    spec.ratio = 0.1 + 0.2;   // needs all 17 digits
    spec.guid = Guid::generate();
    const Guid key = Guid::generate();
    auto mapped = std::make_unique<Spec>();
    mapped->mapped = "via map";
    table.byGuid.set(key, std::move(mapped));

    const std::string xml = writeText(table);
    Table back;
    const ReadResult result = readText(xml, back);
    ASSERT_TRUE(result.ok) << xml;
    EXPECT_EQ(writeText(back), xml);
    const Spec& read = back.list(0).spec(0);
    EXPECT_TRUE(read.active);
    EXPECT_EQ(read.count, spec.count);
    EXPECT_EQ(read.flags, spec.flags);
    EXPECT_EQ(std::memcmp(&read.ratio, &spec.ratio, sizeof(double)), 0);
    EXPECT_EQ(read.guid, spec.guid);
    ASSERT_NE(back.byGuid.get(key), nullptr);
    EXPECT_EQ(back.byGuid.get(key)->mapped, "via map");
}

}   // namespace

namespace {

// A record that holds another of its kind, as deep as asked.
class Nest : public tarnwick::XMLAssembly {
public:
    explicit Nest(std::size_t depth)
        : XMLAssembly("nest"),
          depth_(depth),
          inner_(depth > 1 ? std::make_unique<Nest>(depth - 1) : nullptr) {}
    std::unique_ptr<XMLAssembly> clone() const override { return std::make_unique<Nest>(depth_); }
    std::size_t getChildCount() const override { return 1; }

protected:
    std::unique_ptr<tarnwick::XMLProxy> makeChildProxy(std::size_t) override {
        return inner_ ? std::make_unique<tarnwick::XMLAssemblyProxy>(*inner_) : nullptr;
    }

private:
    std::size_t depth_;
    std::unique_ptr<Nest> inner_;
};

TEST(XMLWriter, RefusesTreesDeeperThanTheReaderReads) {
    Nest deepest(tarnwick::XMLReader::kMaxDepth);
    const std::string xml = writeText(deepest);
    ASSERT_NE(xml, "<failed>");
    Nest back(1);
    EXPECT_TRUE(readText(xml, back).ok);

    Nest tooDeep(tarnwick::XMLReader::kMaxDepth + 1);
    EXPECT_EQ(writeText(tooDeep), "<failed>");
}

}   // namespace
