#include "Environment/PackageStore.h"

#include <gtest/gtest.h>

#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include <FourCC.h>

#include "Environment/Package.h"
#include "Foundation/DataBufferIn.h"
#include "Foundation/DataBufferOut.h"
#include "Foundation/String.h"
#include "Foundation/XMLTypeProxy.h"

using tarnwick::DataBufferIn;
using tarnwick::DataBufferOut;
using tarnwick::Package;
using tarnwick::String;
using tarnwick::XMLAssembly;
using tarnwick::XMLProxy;
using tarnwick::XMLTypeProxy;

namespace {

int livePackages = 0;   // every package of this file counts itself, so a lost or doubly deleted one shows

// A preference-like package: a name (defaults to "Default") and a count; whether it is kept on a reset
// is chosen per instance and copied with it.
class Prefs : public Package {
public:
    static constexpr std::uint32_t kCode = host::fourcc("TPRF");

    Prefs() : Package("testPrefs") { ++livePackages; }
    Prefs(const Prefs& other) : Package(other), name(other.name), count(other.count), kept(other.kept) {
        ++livePackages;
    }
    ~Prefs() override { --livePackages; }

    std::unique_ptr<XMLAssembly> clone() const override { return std::make_unique<Prefs>(*this); }
    std::uint32_t getPackageCode() const override { return kCode; }
    bool isKeptOnReset() const override { return kept; }
    void clear() override {
        Package::clear();
        name = "Default";
        count = 0;
    }

    String name = "Default";
    int count = 0;
    bool kept = true;

protected:
    std::span<const std::string_view> getChildTags() const override { return kTags; }
    std::unique_ptr<XMLProxy> makeChildProxy(std::size_t index) override {
        if (index == 0) return std::make_unique<XMLTypeProxy<String>>(name, kTags[0]);
        if (index == 1) return std::make_unique<XMLTypeProxy<int>>(count, kTags[1], /*isAttribute=*/true);
        return nullptr;
    }

private:
    static constexpr std::string_view kTags[] = {"name", "count"};
};

// A second kind, with one value and the flags of the base.
class Other : public Package {
public:
    static constexpr std::uint32_t kCode = host::fourcc("AOTH");

    Other() : Package("other") { ++livePackages; }
    Other(const Other& other) : Package(other), text(other.text) { ++livePackages; }
    ~Other() override { --livePackages; }

    std::unique_ptr<XMLAssembly> clone() const override { return std::make_unique<Other>(*this); }
    std::uint32_t getPackageCode() const override { return kCode; }
    void clear() override {
        Package::clear();
        text.clear();
    }

    String text;

protected:
    std::span<const std::string_view> getChildTags() const override { return kTags; }
    std::unique_ptr<XMLProxy> makeChildProxy(std::size_t index) override {
        return index == 0 ? std::make_unique<XMLTypeProxy<String>>(text, kTags[0]) : nullptr;
    }

private:
    static constexpr std::string_view kTags[] = {"text"};
};

// The suite: a fresh store, and a check that every package made in a test is deleted exactly once.
class PackageStore : public ::testing::Test {
protected:
    void SetUp() override { livePackagesBefore_ = livePackages; }
    void TearDown() override {
        store_.reset();
        EXPECT_EQ(livePackages, livePackagesBefore_) << "packages leaked or deleted twice";
    }

    tarnwick::PackageStore& store() { return *store_; }
    std::string written() {
        String text;
        DataBufferOut out;
        out.open(text);
        const bool ok = store().write(out);
        out.close();
        return ok ? std::string(text.getView()) : "<failed>";
    }
    bool readBack(const std::string& xml) {
        DataBufferIn in{std::string_view(xml)};
        return store().read(in);
    }
    Prefs& prefs() { return static_cast<Prefs&>(*store().find(Prefs::kCode)); }

    std::unique_ptr<tarnwick::PackageStore> store_ =
        std::make_unique<tarnwick::PackageStore>("frameworkPreferenceStore", true);
    std::vector<std::uint32_t> announced_;

private:
    int livePackagesBefore_ = 0;
};

TEST_F(PackageStore, AddingFilesACopyAndDeletesThePackageItReplaces) {
    store().setNotifier([&](std::uint32_t code) { announced_.push_back(code); });
    Prefs first;
    first.name = "first";
    Package& filed = store().addPackage(first, /*notify=*/false);
    EXPECT_NE(&filed, &first);
    first.name = "changed";   // the store holds its own copy
    EXPECT_EQ(prefs().name, "first");

    Prefs second;
    second.name = "second";
    const int before = livePackages;
    store().addPackage(second, /*notify=*/true);
    EXPECT_EQ(livePackages, before);   // one copy made, the replaced one deleted
    EXPECT_EQ(prefs().name, "second");
    EXPECT_EQ(announced_, std::vector<std::uint32_t>{Prefs::kCode});
}

TEST_F(PackageStore, AddingTheVeryPackageAlreadyFiledChangesNothing) {
    Prefs original;
    Package& filed = store().addPackage(original, false);
    static_cast<Prefs&>(filed).name = "edited in place";
    const int before = livePackages;
    EXPECT_EQ(&store().addPackage(filed, false), &filed);
    EXPECT_EQ(livePackages, before);
    EXPECT_EQ(store().find(Prefs::kCode), &filed);
    EXPECT_EQ(prefs().name, "edited in place");
}

TEST_F(PackageStore, AdoptingTakesThePackageItselfAndDeletesTheOneItReplaces) {
    store().setNotifier([&](std::uint32_t code) { announced_.push_back(code); });
    auto owned = std::make_unique<Prefs>();
    Prefs* const first = owned.get();
    EXPECT_EQ(store().adoptPackage(std::move(owned), /*notify=*/true), first);
    EXPECT_EQ(store().find(Prefs::kCode), first);

    const int before = livePackages;
    auto second = std::make_unique<Prefs>();
    Prefs* const secondRaw = second.get();
    store().adoptPackage(std::move(second), false);
    EXPECT_EQ(livePackages, before);   // the first was deleted
    EXPECT_EQ(store().find(Prefs::kCode), secondRaw);
    EXPECT_EQ(store().adoptPackage(nullptr, true), nullptr);
    EXPECT_EQ(store().size(), 1u);
    EXPECT_EQ(announced_, std::vector<std::uint32_t>{Prefs::kCode});
}

TEST_F(PackageStore, AdoptingThePackageAlreadyFiledKeepsItAlive) {
    Package* const filed = store().adoptPackage(std::make_unique<Prefs>(), false);
    static_cast<Prefs*>(filed)->name = "still here";
    EXPECT_EQ(store().adoptPackage(std::unique_ptr<Package>(filed), false), filed);
    EXPECT_EQ(prefs().name, "still here");   // under ASan a deletion would show here or at tear-down
}

TEST_F(PackageStore, RemovesListsAndClearsItsPackages) {
    store().adoptPackage(std::make_unique<Prefs>(), false);
    store().adoptPackage(std::make_unique<Other>(), false);
    std::vector<std::uint32_t> codes{host::fourcc("XXXX")};
    store().getTypes(codes);   // appended, in code order
    EXPECT_EQ(codes, (std::vector<std::uint32_t>{host::fourcc("XXXX"), Other::kCode, Prefs::kCode}));

    std::unique_ptr<Package> removed = store().removePackage(Prefs::kCode);
    ASSERT_NE(removed, nullptr);
    EXPECT_EQ(removed->getPackageCode(), Prefs::kCode);
    EXPECT_EQ(store().find(Prefs::kCode), nullptr);
    EXPECT_EQ(store().removePackage(Prefs::kCode), nullptr);

    const int before = livePackages;
    store().clear();
    EXPECT_TRUE(store().empty());
    EXPECT_EQ(livePackages, before - 1);
}

TEST_F(PackageStore, ResetsPackagesToTheirDefaultsSkippingKeptOnesOnlyWhenAsked) {
    struct Case {
        bool kept;
        bool skipKept;
        const char* name;   // afterwards
    };
    const Case cases[] = {
        {true, true, "mine"}, {true, false, "Default"}, {false, true, "Default"}, {false, false, "Default"}};
    for (const Case& c : cases) {
        Prefs prefs;
        prefs.name = "mine";
        prefs.count = 4;
        prefs.kept = c.kept;
        store().addPackage(prefs, false);
        Other other;
        other.text = "text";
        store().addPackage(other, false);   // the base answers "kept"
        store().resetPackages(c.skipKept);
        SCOPED_TRACE(testing::Message() << "kept " << c.kept << " skip " << c.skipKept);
        EXPECT_EQ(this->prefs().name, c.name);
        EXPECT_EQ(this->prefs().kept, c.kept);   // the reset package is of the same kind and flags
        EXPECT_EQ(static_cast<Other*>(store().find(Other::kCode))->text, c.skipKept ? "text" : "");
    }
}

TEST_F(PackageStore, WritesEveryPackageUnderItsTagAndReadsThemBack) {
    Prefs prefs;
    prefs.name = "R&D <main>";
    prefs.count = 3;
    store().addPackage(prefs, false);
    Other other;
    other.text = "x";
    store().addPackage(other, false);
    const std::string xml = written();
    EXPECT_EQ(xml,
              "<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\n"
              "<frameworkPreferenceStore>\n"
              "\t<other>\n\t\t<text>x</text>\n\t</other>\n"
              "\t<testPrefs count=\"3\">\n\t\t<name>R&amp;D &lt;main&gt;</name>\n\t</testPrefs>\n"
              "</frameworkPreferenceStore>\n");

    store_ = std::make_unique<tarnwick::PackageStore>("frameworkPreferenceStore", true);
    store().adoptPackage(std::make_unique<Prefs>(), false);
    store().adoptPackage(std::make_unique<Other>(), false);
    ASSERT_TRUE(readBack(xml));
    EXPECT_EQ(this->prefs().name, "R&D <main>");
    EXPECT_EQ(this->prefs().count, 3);
    EXPECT_EQ(static_cast<Other*>(store().find(Other::kCode))->text, "x");
    EXPECT_EQ(written(), xml);
}

TEST_F(PackageStore, ReadingKeepsThoseTheTextLacksAndCarriesUnknownPackagesThroughUnchanged) {
    store().adoptPackage(std::make_unique<Prefs>(), false);
    auto other = std::make_unique<Other>();
    other->text = "untouched";
    store().adoptPackage(std::move(other), false);
    const std::string unknown =
        "<presetDatabase version='2'><!-- <x> --><records><wall key='1 > 0'/></records>"
        "<![CDATA[</presetDatabase>]]></presetDatabase>";
    ASSERT_TRUE(readBack("<?xml version=\"1.0\" encoding=\"UTF-8\" ?>\n<frameworkPreferenceStore>" + unknown +
                         "<testPrefs><name>read</name></testPrefs><laterKind/></frameworkPreferenceStore>"));
    EXPECT_EQ(prefs().name, "read");
    EXPECT_EQ(prefs().count, 0);
    EXPECT_EQ(static_cast<Other*>(store().find(Other::kCode))->text, "untouched");
    EXPECT_EQ(store().size(), 2u);   // nothing made for the unknown packages...
    // ...but they go back as they came, after the known ones.
    const std::string xml = written();
    EXPECT_NE(xml.find("</testPrefs>\n\t" + unknown + "\n\t<laterKind/>\n</frameworkPreferenceStore>\n"),
              std::string::npos)
        << xml;
    auto again = std::make_unique<tarnwick::PackageStore>("frameworkPreferenceStore", true);
    again->adoptPackage(std::make_unique<Prefs>(), false);
    again->adoptPackage(std::make_unique<Other>(), false);
    std::swap(store_, again);
    ASSERT_TRUE(readBack(xml));
    EXPECT_EQ(written(), xml);   // and again

    // Another project's store, or defaults: nothing of them is left.
    store().resetPackages(false);
    EXPECT_EQ(written().find("presetDatabase"), std::string::npos);
}

TEST_F(PackageStore, ReadsEachPackageFromItsDefaultsNotOnTopOfItsValues) {
    auto filed = std::make_unique<Prefs>();
    filed->name = "old";
    filed->count = 9;
    store().adoptPackage(std::move(filed), false);
    ASSERT_TRUE(readBack("<frameworkPreferenceStore><testPrefs/></frameworkPreferenceStore>"));
    EXPECT_EQ(prefs().name, "Default");
    EXPECT_EQ(prefs().count, 0);
}

TEST_F(PackageStore, LeavesTheStoreUnchangedWhenTheTextCannotBeRead) {
    auto filed = std::make_unique<Prefs>();
    filed->name = "kept";
    store().adoptPackage(std::move(filed), false);
    const char* const broken[] = {
        "<frameworkPreferenceStore><testPrefs><name>new</name></testPrefs>",   // never closed
        "<otherRoot><testPrefs><name>new</name></testPrefs></otherRoot>",      // not this store's root
        ("<frameworkPreferenceStore><testPrefs count='1'><name>new</nam></testPrefs>"
         "</frameworkPreferenceStore>"),   // a misspelt end tag
        "",
    };
    for (const char* xml : broken) {
        SCOPED_TRACE(xml);
        EXPECT_FALSE(readBack(xml));
        EXPECT_EQ(prefs().name, "kept");
    }
}

}   // namespace
