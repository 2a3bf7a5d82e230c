#include "Project/ComponentLink.h"

#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include <HostMemory.h>
#include <HostRecords.h>

#include "Foundation/DataFile.h"
#include "Foundation/Directory.h"
#include "LibraryParts/FamilyGuid.h"
#include "Project/ComponentSource.h"
#include "Project/Library.h"
#include "Project/MacroSource.h"
#include "Support/DrawingFixture.h"

using tarnwick::ComponentLink;
using tarnwick::ComponentSource;
using tarnwick::FamilyGuid;
using tarnwick::Library;
using tarnwick::MacroSource;
using tarnwick::String;

namespace {

constexpr const char* kChairId =
    "{C0C0C0C0-0000-4000-8000-000000000001}-{00000000-0000-0000-0000-000000000001}";

host::LibraryPartRecord recordNamed(const std::u16string& name) {
    host::LibraryPartRecord record{};
    record.type = host::kLibraryMacro;
    record.index = 2;
    std::memcpy(record.documentName, name.c_str(), (name.size() + 1) * sizeof(char16_t));
    return record;
}

}   // namespace

// A project with a chair (object), a window and a lamp.
class ComponentLinkInProject : public DrawingFixture {
protected:
    void SetUp() override {
        DrawingFixture::SetUp();
        Library::registerCreators();
        auto& parts = host_->project().state.libraryParts;
        const auto add = [&](std::int32_t type, const char* name, const char* id) {
            host::SimLibraryPart part;
            part.type = type;
            part.name = name;
            part.fileName = std::string(name) + ".gsm";
            part.uniqueId = id;
            parts.push_back(part);
        };
        add(host::kLibraryObject, "Chair", kChairId);
        add(host::kLibraryWindow, "Window",
            "{C0C0C0C0-0000-4000-8000-000000000002}-{00000000-0000-0000-0000-000000000001}");
        add(host::kLibraryLamp, "Lamp",
            "{C0C0C0C0-0000-4000-8000-000000000003}-{00000000-0000-0000-0000-000000000001}");
    }
    void TearDown() override {
        Library::unregisterCreators();
        DrawingFixture::TearDown();
    }
    Library& library() { return *project().getLibrary(); }
};

TEST_F(ComponentLinkInProject, AnIndexWithoutLibraryTakesTheProjectsLibrary) {
    EXPECT_EQ(ComponentLink(5, host::kLibraryObject, nullptr).getLibrary(), &library());
    EXPECT_EQ(ComponentLink(ComponentLink::TypeIndex{host::kLibraryObject, 5}, nullptr).getLibrary(),
              &library());
    EXPECT_EQ(ComponentLink(0, host::kLibraryObject, nullptr).getLibrary(), nullptr);
    Library other(project());
    EXPECT_EQ(ComponentLink(5, host::kLibraryObject, &other).getLibrary(), &other);
    EXPECT_FALSE(ComponentLink(0, host::kLibraryObject, &other).isValid());
    EXPECT_TRUE(ComponentLink(-1, 0, &other).isValid());   // only 0 means no part
}

TEST_F(ComponentLinkInProject, EqualityComparesAllThreeButTheOrderIgnoresTheLibrary) {
    Library other(project());
    const ComponentLink a(3, 4, &library());
    EXPECT_EQ(a, ComponentLink(3, 4, &library()));
    EXPECT_NE(a, ComponentLink(3, 4, &other));
    EXPECT_NE(a, ComponentLink(3, 2, &library()));
    EXPECT_NE(a, ComponentLink(4, 4, &library()));
    EXPECT_FALSE(a < ComponentLink(3, 4, &other));   // unequal, yet neither orders first
    EXPECT_FALSE(a > ComponentLink(3, 4, &other));
    EXPECT_TRUE(ComponentLink(9, 2, &library()) < a);   // by type first
    EXPECT_TRUE(ComponentLink(1, 4, &library()) < a);   // then by index
    EXPECT_TRUE(ComponentLink(4, 4, &library()) > a);
}

TEST_F(ComponentLinkInProject, AssigningATypeAndIndexDropsTheLibrary) {
    ComponentLink link(3, 4, &library());
    link = ComponentLink::TypeIndex{host::kLibraryWindow, 2};
    EXPECT_EQ(link.getType(), std::uint32_t{host::kLibraryWindow});
    EXPECT_EQ(link.getIndex(), 2);
    EXPECT_EQ(link.getLibrary(), nullptr);
    const std::unique_ptr<ComponentLink> copy = ComponentLink(3, 4, &library()).clone();
    EXPECT_EQ(*copy, ComponentLink(3, 4, &library()));
}

TEST_F(ComponentLinkInProject, ANameFindsThePartInTheProjectsLibrary) {
    const ComponentLink window(String("Window"), 0, nullptr);
    EXPECT_EQ(window.getIndex(), 2);
    EXPECT_EQ(window.getType(), std::uint32_t{host::kLibraryWindow});
    EXPECT_EQ(window.getLibrary(), &library());
    // A name that nothing carries gives no part and keeps the requested type.
    const ComponentLink missing(String("Sofa"), host::kLibraryObject, nullptr);
    EXPECT_FALSE(missing.isValid());
    EXPECT_EQ(missing.getType(), std::uint32_t{host::kLibraryObject});
}

TEST_F(ComponentLinkInProject, AUniqueIdFindsThePart) {
    const ComponentLink chair(FamilyGuid(kChairId), host::kLibraryObject, nullptr);
    EXPECT_EQ(chair.getIndex(), 1);
    EXPECT_EQ(chair.getType(), std::uint32_t{host::kLibraryObject});
    const ComponentLink none(
        FamilyGuid("{C0C0C0C0-0000-4000-8000-0000000000FF}-{00000000-0000-0000-0000-000000000001}"),
        host::kLibraryLamp, &library());
    EXPECT_FALSE(none.isValid());
    EXPECT_EQ(none.getType(), std::uint32_t{host::kLibraryLamp});
}

TEST(ComponentSource, NameWithoutExtensionDropsOnlyTheTextFromTheLastDot) {
    const std::pair<std::u16string, const char*> cases[] = {{u"Chair.large.gsm", "Chair.large"},
                                                            {u"Chair", "Chair"},
                                                            {u"Chair.", "Chair"},
                                                            {u"", ""},
                                                            {u".gsm", ""}};
    for (const auto& [name, expected] : cases) {
        SCOPED_TRACE(expected);
        const MacroSource source(recordNamed(name), ComponentLink());
        EXPECT_EQ(source.getNameWithoutExtension(), expected);
    }
}

TEST(ComponentSource, AFullNameFieldIsReadNoFurtherThanTheField) {
    host::LibraryPartRecord record{};
    std::fill(std::begin(record.documentName), std::end(record.documentName), u'a');   // no terminator
    std::fill(std::begin(record.fileName), std::end(record.fileName), u'b');
    std::memset(record.uniqueId, 'c', sizeof record.uniqueId);
    std::memset(record.parentUniqueId, 'd', sizeof record.parentUniqueId);
    const MacroSource source(record, ComponentLink());
    EXPECT_EQ(source.getName(), String(256, 'a'));
    EXPECT_EQ(source.getFileName(), String(256, 'b'));
    EXPECT_EQ(static_cast<const String&>(source.getUniqueId()), String(128, 'c'));   // as text
    EXPECT_EQ(static_cast<const String&>(source.getParentUniqueId()), String(128, 'd'));
}

TEST(ComponentSource, ASourceOfALinkIsMissingAndInvalid) {
    Library* noLibrary = nullptr;
    const ComponentLink link(7, host::kLibraryMacro, noLibrary);
    const MacroSource source(link);
    EXPECT_EQ(source.getRecord()->type, host::kLibraryMacro);
    EXPECT_EQ(source.getRecord()->index, 7);
    EXPECT_EQ(source.getRecord()->missing, 1);
    EXPECT_FALSE(source.isValid());
    EXPECT_EQ(source.openFile(), nullptr);   // no location
}

TEST(ComponentSource, KeepsItsOwnCopyOfTheLocationAndNeverTheHostsPointer) {
    host::LibraryPartRecord record = recordNamed(u"Chair");
    char path[] = "/parts/Chair.gsm";
    record.location = path;
    const MacroSource source(record, ComponentLink());
    EXPECT_EQ(source.getRecord()->location, nullptr);
    std::strcpy(path, "/other/Gone.gsm");   // what the host does with its block is no concern of ours
    ASSERT_NE(source.getLocation(), nullptr);
    EXPECT_EQ(source.getLocation()->string(), "/parts/Chair.gsm");
    const std::unique_ptr<ComponentSource> copy = source.clone();
    EXPECT_EQ(copy->getRecord()->location, nullptr);
    EXPECT_EQ(copy->getLocation()->string(), "/parts/Chair.gsm");
    const std::unique_ptr<tarnwick::DataFile> file = copy->openFile();
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->getMode(), tarnwick::DataFile::kReadWrite);
    EXPECT_EQ(file->getLocation().string(), "/parts/Chair.gsm");
    // An empty location is none.
    char empty[] = "";
    record.location = empty;
    EXPECT_EQ(MacroSource(record, ComponentLink()).getLocation(), nullptr);
}

TEST(ComponentSource, SetFileWritesTheNameIntoBothFieldsWithATerminator) {
    MacroSource source(recordNamed(u"Old"), ComponentLink());
    const std::string longName(300, 'n');
    source.setFile(tarnwick::Directory(tarnwick::FileLocation("/parts") / longName));
    EXPECT_EQ(source.getName(), String(255, 'n'));
    EXPECT_EQ(source.getFileName(), String(255, 'n'));
    EXPECT_EQ(source.getRecord()->documentName[255], u'\0');
    EXPECT_EQ(source.getLocation()->string(), "/parts/" + longName);
    source.setFile(tarnwick::Directory(tarnwick::FileLocation()));
    EXPECT_EQ(source.getLocation(), nullptr);
}

TEST(ComponentSource, UniqueIdsAreCutToFitTheirFields) {
    MacroSource source(recordNamed(u"Chair"), ComponentLink());
    source.setUniqueId(String(200, 'u'));
    source.setParentUniqueId(String("{P}"));
    EXPECT_EQ(static_cast<const String&>(source.getUniqueId()), String(127, 'u'));
    EXPECT_EQ(static_cast<const String&>(source.getParentUniqueId()), String("{P}"));
}

class ComponentSourceInProject : public ComponentLinkInProject {};

TEST_F(ComponentSourceInProject, LinkAndFlagsFollowTheirSetters) {
    MacroSource source(recordNamed(u"Chair"), ComponentLink());
    source.setLink(ComponentLink(9, host::kLibraryMacro, &library()));
    EXPECT_EQ(source.getRecord()->index, 9);
    EXPECT_EQ(source.getIndex(), 9);
    EXPECT_TRUE(source.isValid());
    source.setPlaceable(true);
    source.setOptionFlag(3);
    EXPECT_EQ(source.getRecord()->placeable, 1);
    EXPECT_EQ(source.getRecord()->option, 3);
    source.detach();
    EXPECT_EQ(source.getLink().getIndex(), 0);
    EXPECT_EQ(source.getLink().getLibrary(), nullptr);
    EXPECT_FALSE(source.isValid());
}
