#include "Foundation/XMLValueChild.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "XMLTestRecords.h"

using namespace xmltest;

namespace {

// Spec, whose value children are also set from a table; it still writes through its proxies. It counts
// the names the reader still asks findChild for.
class TableSpec : public Spec {
public:
    std::unique_ptr<XMLAssembly> clone() const override { return std::make_unique<TableSpec>(*this); }
    std::span<const XMLValueChild> getValueChildren() const override { return kValues; }
    std::unique_ptr<XMLProxy> findChild(std::string_view name, bool attribute) override {
        asked.emplace_back(name);
        return Spec::findChild(name, attribute);
    }

    std::vector<std::string> asked;

private:
    static constexpr XMLValueChild kValues[] = {
        XMLValueChild::of<&Spec::kind>("kind"),     XMLValueChild::of<&Spec::original>("original"),
        XMLValueChild::of<&Spec::mapped>("mapped"), XMLValueChild::of<&Spec::count>("count"),
        XMLValueChild::of<&Spec::flags>("flags"),   XMLValueChild::of<&Spec::ratio>("ratio"),
        XMLValueChild::of<&Spec::active>("active"), XMLValueChild::of<&Spec::guid>("guid")};
};

template <typename Item>
class Specs : public XMLArray {
public:
    Specs() : XMLArray("specs", "spec") {}
    std::unique_ptr<XMLAssembly> clone() const override { return std::make_unique<Specs>(*this); }

protected:
    std::unique_ptr<XMLAssembly> makeItem() override { return std::make_unique<Item>(); }
};

constexpr std::string_view kBase = R"(<?xml version="1.0"?>
<specs>
	<spec kind="door" flags="7" active="true">
		<original>Door &amp; frame&#13;<![CDATA[ <raw> ]]></original>
		<mapped>Door<!-- between -->22</mapped>
		<count>-12</count>
		<ratio> 0.25 </ratio>
		<guid>0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0</guid>
		<other a="1"><original>not read</original></other>
	</spec>
	<spec original="as attribute" mapped='q"uote'><flags>5</flags><kind>window</kind><mapped/></spec>
</specs>
)";

// Reads text into both kinds of list with every buffer size: the same outcome, error and offset, and
// the same records, as written back.
void expectSameReading(std::string_view text) {
    for (const std::size_t bufferSize : {std::size_t{1}, std::size_t{7}, DataBufferIn::kDefaultBufferSize}) {
        Specs<Spec> byProxies;
        Specs<TableSpec> byTable;
        const ReadResult proxies = readText(text, byProxies, bufferSize);
        const ReadResult table = readText(text, byTable, bufferSize);
        ASSERT_EQ(table.ok, proxies.ok) << "buffer " << bufferSize;
        ASSERT_EQ(table.error, proxies.error) << "buffer " << bufferSize;
        ASSERT_EQ(table.offset, proxies.offset) << "buffer " << bufferSize;
        ASSERT_EQ(writeText(byTable), writeText(byProxies)) << "buffer " << bufferSize;
    }
}

}   // namespace

TEST(XMLValueChild, SetsValuesWithoutAskingTheRecordForAProxy) {
    Specs<TableSpec> specs;
    ASSERT_TRUE(readText(kBase, specs).ok);
    const auto& first = static_cast<const TableSpec&>(specs.getItem(0));
    EXPECT_EQ(first.kind, Kind::door);
    EXPECT_EQ(first.original, "Door & frame\r <raw> ");
    EXPECT_EQ(first.mapped, "Door22");
    EXPECT_EQ(first.count, -12);
    EXPECT_EQ(first.flags, 7u);
    EXPECT_DOUBLE_EQ(first.ratio, 0.25);
    EXPECT_TRUE(first.active);
    EXPECT_TRUE(first.guid.isValid());
    EXPECT_EQ(first.asked, std::vector<std::string>{"other"});   // only the name not in the table
    const auto& second = static_cast<const TableSpec&>(specs.getItem(1));
    EXPECT_EQ(second.original, "as attribute");
    EXPECT_EQ(second.kind, Kind::window);
    EXPECT_TRUE(second.mapped.isEmpty());
}

TEST(XMLValueChild, ReadsAndFailsExactlyAsTheSameRecordsThroughProxies) {
    const std::string_view cases[] = {
        kBase,
        "<specs><spec><ratio>abc</ratio></spec></specs>",   // refused element value
        "<specs><spec active='maybe'/></specs>",            // refused attribute value
        "<specs><spec kind='car'><original>x</original></spec></specs>",
        "<specs><spec><guid>nope</guid></spec></specs>",
        "<specs><spec><original>a<b>c</b>d</original></spec></specs>",   // markup inside a value
        "<specs><spec><x:original>p</x:original></spec></specs>",        // a prefix is never in the table
        "<specs><spec><original>&bogus;</original></spec></specs>",
        "<specs><spec><original>open</spec></specs>",
        "<specs><spec><original>unclosed",
        "<specs><spec count='1' count='2'/></specs>",
    };
    for (const std::string_view text : cases) {
        SCOPED_TRACE(text);
        expectSameReading(text);
    }
}

TEST(XMLValueChild, ReadsEveryMutationOfARecordAsTheSameRecordsThroughProxies) {
    // Each byte dropped, or replaced by one that matters to the scan.
    for (std::size_t at = 0; at < kBase.size(); ++at) {
        std::string dropped(kBase);
        dropped.erase(at, 1);
        SCOPED_TRACE(dropped);
        expectSameReading(dropped);
        for (const char byte : {'<', '&', '"', '/', 'x'}) {
            std::string replaced(kBase);
            replaced[at] = byte;
            SCOPED_TRACE(replaced);
            expectSameReading(replaced);
        }
        if (testing::Test::HasFatalFailure()) return;
    }
}
