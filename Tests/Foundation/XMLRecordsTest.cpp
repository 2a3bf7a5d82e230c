#include "Foundation/XMLAssembly.h"

#include <gtest/gtest.h>

#include <string>

#include "Foundation/TracedException.h"
#include "Foundation/XMLPair.h"
#include "XMLTestRecords.h"

using namespace xmltest;

namespace {

TEST(XMLArray, ClonesItsItemsDeeplyAndDeletesThemWhenCleared) {
    SpecList list;
    list.name = "L";
    list.addItem(std::make_unique<Spec>()).setPresent(true);
    list.spec(0).original = "a";
    const std::unique_ptr<XMLAssembly> copy = list.clone();
    list.spec(0).original = "changed";
    auto& cloned = static_cast<SpecList&>(*copy);
    EXPECT_EQ(cloned.name, "L");
    ASSERT_EQ(cloned.getItemCount(), 1u);
    EXPECT_EQ(cloned.spec(0).original, "a");

    list.clear();
    EXPECT_EQ(list.getItemCount(), 0u);
    EXPECT_EQ(cloned.getItemCount(), 1u);
}

TEST(XMLArray, ThrowsOutOfRangeForMissingItems) {
    SpecList list;
    EXPECT_THROW(list.getItem(0), TracedException);
    EXPECT_THROW(list.removeItem(0), TracedException);
    EXPECT_THROW(list.addItem(nullptr), TracedException);
}

TEST(XMLArray, MakesItemsOnlyForElementsNamedByItsItemTag) {
    SpecList list;
    EXPECT_NE(list.findChild("spec", /*attribute=*/false), nullptr);
    EXPECT_EQ(list.getItemCount(), 1u);
    EXPECT_EQ(list.findChild("spec", /*attribute=*/true), nullptr);   // an attribute never makes an item
    EXPECT_EQ(list.findChild("other", false), nullptr);
    EXPECT_EQ(list.getItemCount(), 1u);
    const auto name = list.findChild("name", true);   // the fixed children are still found
    ASSERT_NE(name, nullptr);
    EXPECT_TRUE(name->setFromText("set"));
    EXPECT_EQ(list.name, "set");
}

TEST(XMLAssembly, HandsOutEachChildOnlyInItsOwnPass) {
    Spec spec;
    spec.kind = Kind::door;
    std::string attributes, elements;
    for (std::size_t i = 0; i < spec.getChildCount(); ++i) {
        if (auto proxy = spec.getChildProxy(i, true)) attributes += std::string(proxy->getTag()) + " ";
        if (auto proxy = spec.getChildProxy(i, false)) elements += std::string(proxy->getTag()) + " ";
    }
    EXPECT_EQ(attributes, "kind flags active ");
    EXPECT_EQ(elements, "original mapped count ratio guid ");
}

// A record whose one child lives in a namespace.
class Prefixed : public XMLAssembly {
public:
    Prefixed() : XMLAssembly("prefixed") {}
    std::unique_ptr<XMLAssembly> clone() const override { return std::make_unique<Prefixed>(*this); }
    String value;

protected:
    std::span<const std::string_view> getChildTags() const override { return kTags; }
    std::unique_ptr<XMLProxy> makeChildProxy(std::size_t index) override {
        return index == 0 ? std::make_unique<XMLTypeProxy<String>>(value, kTags[0], false, "ns") : nullptr;
    }

private:
    static constexpr std::string_view kTags[] = {"value"};
};

TEST(XMLAssembly, MatchesNamespacePrefixesOfItsChildren) {
    Prefixed record;
    EXPECT_EQ(record.findChild("value", false), nullptr);
    EXPECT_EQ(record.findChild("other:value", false), nullptr);
    EXPECT_NE(record.findChild("ns:value", false), nullptr);

    record.value = "v";
    const std::string xml = writeText(record, false, false);
    EXPECT_EQ(xml, "<?xml version=\"1.0\" encoding=\"UTF-8\" ?><prefixed><ns:value>v</ns:value></prefixed>");
    Prefixed back;
    ASSERT_TRUE(readText(xml, back).ok);
    EXPECT_EQ(back.value, "v");
}

TEST(XMLTypeProxy, TakesOnlyTextsOfItsType) {
    bool flag = false;
    double real = 1.0;
    Guid guid;
    Kind kind = Kind::object;
    XMLTypeProxy<bool> flagProxy(flag, "f");
    XMLTypeProxy<double> realProxy(real, "r");
    XMLTypeProxy<Guid> guidProxy(guid, "g");
    XMLTypeProxy<Kind> kindProxy(kind, "k");
    const struct {
        XMLProxy& proxy;
        std::string_view text;
        bool taken;
    } cases[] = {
        {flagProxy, "true", true},
        {flagProxy, "0", true},
        {flagProxy, "TRUE", false},
        {flagProxy, "", false},
        {realProxy, "-1.5e3", true},
        {realProxy, " 2 ", true},
        {realProxy, "1e999", false},
        {realProxy, "nan", false},
        {realProxy, "1,5", false},
        {realProxy, "", false},
        {guidProxy, "{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}", true},
        {guidProxy, "0F1E2D3C", false},
        {kindProxy, "window", true},
        {kindProxy, "Window", false},
        {kindProxy, "", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(c.proxy.setFromText(c.text), c.taken);
    }
    EXPECT_DOUBLE_EQ(real, 2.0);   // the refused texts left the last taken value
    EXPECT_EQ(kind, Kind::window);
    EXPECT_TRUE(guid.isValid());
}

TEST(XMLPair, NeedsAValidKeyAndHandsItsOwnedValueOver) {
    XMLPair pair("entry", XMLUnitKey<Guid>("id"), std::make_unique<Spec>());
    EXPECT_FALSE(pair.isValid());   // the null key
    auto key = pair.findChild("id", true);
    ASSERT_NE(key, nullptr);
    ASSERT_TRUE(key->setFromText("0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0"));
    EXPECT_TRUE(pair.isValid());
    const std::unique_ptr<XMLAssembly> copy = pair.clone();
    EXPECT_EQ(static_cast<XMLPair&>(*copy).getKey(), pair.getKey());
    EXPECT_NE(pair.releaseValue(), nullptr);
    EXPECT_FALSE(pair.isValid());   // nothing left to store

    Spec borrowed;
    XMLPair view("entry", XMLUnitKey<Guid>("id", Guid::generate()), borrowed);
    EXPECT_EQ(view.releaseValue(), nullptr);   // a borrowed value stays where it is
    EXPECT_EQ(&view.getValue(), &borrowed);
}

}   // namespace
