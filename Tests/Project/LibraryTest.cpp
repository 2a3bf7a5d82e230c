#include "Project/Library.h"

#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <FourCC.h>
#include <HostMemory.h>
#include <HostRecords.h>

#include "Environment/Framework.h"
#include "Foundation/DataFile.h"
#include "Foundation/Directory.h"
#include "Foundation/Memory.h"
#include "Foundation/TracedException.h"
#include "LibraryParts/DoorSource.h"
#include "LibraryParts/FamilyGuid.h"
#include "LibraryParts/ObjectSource.h"
#include "LibraryParts/ParametricSource.h"
#include "Project/ComponentSource.h"
#include "Project/MacroSource.h"
#include "Project/Project.h"
#include "Support/DrawingFixture.h"

using tarnwick::ComponentLink;
using tarnwick::ComponentSource;
using tarnwick::FamilyGuid;
using tarnwick::Library;
using tarnwick::String;

namespace {

std::string id(int n) {   // a unique-id text of its own main guid
    char text[host::kUniqueIdBytes];
    std::snprintf(text, sizeof text, "{A0000000-0000-4000-8000-%012d}-{B0000000-0000-4000-8000-000000000001}",
                  n);
    return text;
}
// Of the host library's door subtype family (same main guid), though of another revision.
const std::string kOldDoorId =
    "{11E85B84-8DD1-491B-A2FE-337454A91545}-{B0000000-0000-4000-8000-000000000009}";

std::vector<unsigned char> bytesOf(const std::string& text) {
    std::vector<unsigned char> bytes(text.begin(), text.end());
    bytes.push_back(0);
    return bytes;
}

// Refuses every source that reaches it.
class RefusingFilter : public Library::Filter {
public:
    RefusingFilter() : Filter(String(), 0, false, 0) {}
    std::unique_ptr<Filter> clone() const override { return std::make_unique<RefusingFilter>(*this); }
    bool accepts(ComponentSource&) const override { return false; }
};

}   // namespace

// A library of nine parts (index: document name, host type):
// 1 Chair (4, file chair_01.gsm, with sections), 2 Door 90 (3), 3 Armchair (4), 4 Old Door (4, of the
// door family), 5 Schedule (1, no source kind), 6 Lamp (5), 7 Chair Child (4, a subtype of Chair),
// 8 Gone (4, deleted), 9 Macro (10), 10 Chair Child 2 (4, a subtype of Chair).
class LibraryTest : public DrawingFixture {
protected:
    static constexpr int kParts = 10;

    void SetUp() override {
        DrawingFixture::SetUp();
        Library::registerCreators();
        chairFile_ = folder_ / "chair_01.gsm";
        std::ofstream(chairFile_) << "part";
        auto& parts = host_->project().state.libraryParts;
        const auto add = [&](std::int32_t type, const char* name, std::string uniqueId,
                             std::string parent = "") {
            host::SimLibraryPart part;
            part.type = type;
            part.name = name;
            part.fileName = std::string(name) + ".gsm";
            part.uniqueId = std::move(uniqueId);
            part.parentId = std::move(parent);
            parts.push_back(part);
            return &parts.back();
        };
        host::SimLibraryPart* chair = add(host::kLibraryObject, "Chair", id(1));
        chair->fileName = "chair_01.gsm";
        chair->location = chairFile_.string();
        chair->a = 0.5;
        chair->b = 0.7;
        chair->sections = {{host::fourcc("CTXT"), 0, bytesOf("comment")},
                           {host::fourcc("1DSC"), 0, bytesOf("x = 1")},
                           {host::fourcc("PARD"), 0, {1, 2, 3}}};
        add(host::kLibraryDoor, "Door 90", id(2));
        add(host::kLibraryObject, "Armchair", id(3));
        add(host::kLibraryObject, "Old Door", kOldDoorId);
        add(host::kLibrarySpecification, "Schedule", id(5));
        add(host::kLibraryLamp, "Lamp", id(6));
        add(host::kLibraryObject, "Chair Child", id(7), id(1));
        add(host::kLibraryObject, "Gone", id(8))->deleted = true;
        add(host::kLibraryMacro, "Macro", id(9));
        add(host::kLibraryObject, "Chair Child 2", id(10), id(1));
    }
    void TearDown() override {
        Library::unregisterCreators();
        DrawingFixture::TearDown();
    }

    Library& library() { return *project().getLibrary(); }
    const host::SimLibraryPart& simPart(int index) {
        return host_->project().state.libraryParts.at(index - 1);
    }

    std::vector<std::string> walk(Library::Iterator it) {
        std::vector<std::string> names;
        for (; it != Library::end(); ++it) names.push_back(std::string(it->getName().getView()));
        return names;
    }
    std::vector<std::string> walk(const Library::Filter& filter) { return walk(library().begin(filter)); }

    std::filesystem::path chairFile_;
};

// --- Walking -------------------------------------------------------------------------------------
TEST_F(LibraryTest, WalksEveryPartThatHasASourceKindInIndexOrder) {
    const std::vector<std::string> every = {"Chair", "Door 90",     "Armchair", "Old Door",
                                            "Lamp",  "Chair Child", "Macro",    "Chair Child 2"};
    EXPECT_EQ(walk(Library::Filter(String(), 0, true, 0)), every);
    EXPECT_EQ(walk(Library::Filter(String("*"), 0, false, 0)), every);   // the empty pattern is "*"
    auto it = library().begin(Library::Filter(String(), 0, true, 0));
    EXPECT_EQ(it->getLink(), ComponentLink(1, host::kLibraryObject, &library()));
    EXPECT_TRUE(it->isValid());
    std::vector<std::string> backwards = every;
    std::reverse(backwards.begin(), backwards.end());
    EXPECT_EQ(walk(library().rbegin(Library::Filter(String(), 0, true, 0))), backwards);
}

TEST_F(LibraryTest, AWalkWithATypeGivesOnlyPartsOfThatType) {
    struct Case {
        std::uint32_t type;
        const char* pattern;
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {host::kLibraryDoor, "", {"Door 90", "Old Door"}},   // Old Door is of the door family
        {host::kLibraryObject, "", {"Chair", "Armchair", "Chair Child", "Chair Child 2"}},
        {host::kLibraryLamp, "", {"Lamp"}},
        {host::kLibraryWindow, "", {}},
        {host::kLibrarySpecification, "", {}},   // no source kind
        {host::kLibraryObject, "*hair*", {"Chair", "Armchair", "Chair Child", "Chair Child 2"}},
        {host::kLibraryObject, "*Chair*", {"Chair", "Chair Child", "Chair Child 2"}},   // case counts
        {0, "Chair*", {"Chair", "Chair Child", "Chair Child 2"}},
        {0, "Chair", {"Chair"}},
        {0, "*Door", {"Old Door"}},
        {host::kLibraryDoor, "Chair", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.type) + " " + c.pattern);
        EXPECT_EQ(walk(Library::Filter(String(c.pattern), c.type, true, 0)), c.names);
        std::vector<std::string> backwards = c.names;
        std::reverse(backwards.begin(), backwards.end());
        EXPECT_EQ(walk(library().rbegin(Library::Filter(String(c.pattern), c.type, true, 0))), backwards);
    }
}

TEST_F(LibraryTest, AWalkAsksTheCountOnceWhenItCachesItAndNeverWhenOneIsGiven) {
    host_->clearCalls();
    EXPECT_EQ(walk(Library::Filter(String(), 0, true, 0)).size(), 8u);
    EXPECT_EQ(host_->countCalls(host::HostSlot::getLibraryPartCount), 1u);
    host_->clearCalls();
    EXPECT_EQ(walk(Library::Filter(String(), 0, false, 0)).size(), 8u);
    EXPECT_EQ(host_->countCalls(host::HostSlot::getLibraryPartCount), 9u);   // each step asks
    host_->clearCalls();
    EXPECT_EQ(walk(Library::Filter(String(), 0, true, 3)),
              (std::vector<std::string>{"Chair", "Door 90", "Armchair"}));
    EXPECT_EQ(host_->countCalls(host::HostSlot::getLibraryPartCount), 0u);
    // A backward move that finds a part forgets the count; one that finds none keeps it.
    Library::Filter filter(String(), 0, true, 7);
    EXPECT_EQ(library().seek(ComponentLink(1, 0, &library()), false, filter), nullptr);
    EXPECT_EQ(filter.getCachedCount(), 7);
    const auto found = library().seek(ComponentLink(4, 0, &library()), false, filter);
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->getName(), "Armchair");
    EXPECT_EQ(filter.getCachedCount(), 0);
}

TEST_F(LibraryTest, AFilterThatRefusesEverySourceTriesEveryIndexAndEnds) {
    host_->clearCalls();
    Library::Iterator it = library().begin(RefusingFilter());
    EXPECT_TRUE(it.atEnd());
    EXPECT_EQ(it, Library::end());
    EXPECT_EQ(host_->countCalls(host::HostSlot::getLibraryPart), std::size_t{kParts});
    try {
        static_cast<void>(*it);
        FAIL() << "no exception";
    } catch (const tarnwick::TracedException& error) {
        EXPECT_EQ(error.getKind(), "out_of_range");
        EXPECT_EQ(error.getPlace(), "tarnwick::Library::Iterator::getReference");
    }
    EXPECT_THROW(++it, tarnwick::TracedException);
}

TEST_F(LibraryTest, AWalkOverAnEmptyOrUnreadableLibraryEndsAtOnce) {
    host_->injectFault({host::HostSlot::getLibraryPartCount, std::nullopt}, 0, host::kErrGeneral);
    EXPECT_TRUE(library().begin(Library::Filter(String(), 0, true, 0)).atEnd());
    EXPECT_EQ(library().getPartCount(), 0);
    host_->clearFaults();
    host_->injectFault({host::HostSlot::getLibraryPart, std::nullopt}, 0, host::kErrGeneral);
    EXPECT_TRUE(library().begin(Library::Filter(String(), 0, true, 0)).atEnd());
}

TEST_F(LibraryTest, AModifyingWalkSavesEachPartItLetsGo) {
    host_->clearCalls();
    ASSERT_EQ(inCommand([&] {
                  auto it = library().begin(true, Library::Filter(String("Chair"), 0, true, 0));
                  auto* chair = dynamic_cast<tarnwick::ParametricSource*>(&*it);
                  if (chair == nullptr) return false;
                  host::Handle text = nullptr;
                  tarnwick::stringToHandle(String("changed"), text);
                  chair->setSection(host::fourcc("CTXT"), text);
                  ++it;
                  return it.atEnd();
              }),
              0u);
    EXPECT_EQ(simPart(1).sections.at(0).bytes, bytesOf("changed"));
    // Saved once, when the walk moved on: one update per section (comment, script, parameters).
    EXPECT_EQ(host_->countCalls(host::HostSlot::updateLibraryPartSection), 3u);
}

TEST_F(LibraryTest, AWalkWritesBackOnlyWhenAskedAndOnlyWhatChanged) {
    const auto writes = [&] {
        return host_->countCalls(host::HostSlot::updateLibraryPartSection) +
               host_->countCalls(host::HostSlot::createLibraryPart);
    };
    host_->clearCalls();
    ASSERT_EQ(inCommand([&] {
                  EXPECT_EQ(walk(library().rbegin(Library::Filter(String(), 0, true, 0))).size(), 8u);
                  auto abandoned = library().begin(true, Library::Filter(String("Chair"), 0, true, 0));
                  static_cast<void>(abandoned->getName());   // read, not changed; then dropped
                  auto untouched = library().begin(true, Library::Filter(String(), 0, true, 0));
                  for (int n = 0; n < 3; ++n) ++untouched;
                  return true;
              }),
              0u);
    EXPECT_EQ(writes(), 0u);
    ASSERT_EQ(inCommand([&] {   // a backward walk saves the part it changed
                  auto it = library().rbegin(Library::Filter(String("Chair"), 0, true, 0));
                  auto* chair = dynamic_cast<tarnwick::ParametricSource*>(&*it);
                  if (chair == nullptr) return false;
                  host::Handle text = nullptr;
                  tarnwick::stringToHandle(String("changed backwards"), text);
                  chair->setSection(host::fourcc("CTXT"), text);
                  return true;
              }),
              0u);
    EXPECT_EQ(simPart(1).sections.at(0).bytes, bytesOf("changed backwards"));
}

// --- Sources -------------------------------------------------------------------------------------
TEST_F(LibraryTest, MakesTheKindOfSourceTheClassifiedTypeAsksFor) {
    const auto oldDoor = library().getSource(ComponentLink(4, host::kLibraryObject, &library()));
    ASSERT_NE(oldDoor, nullptr);
    EXPECT_NE(dynamic_cast<tarnwick::DoorSource*>(oldDoor.get()), nullptr);
    EXPECT_EQ(oldDoor->getLink().getType(), std::uint32_t{host::kLibraryDoor});
    EXPECT_EQ(oldDoor->getRecord()->type, host::kLibraryDoor);
    EXPECT_NE(
        dynamic_cast<tarnwick::MacroSource*>(library().getSource(ComponentLink(9, 0, &library())).get()),
        nullptr);
    EXPECT_NE(
        dynamic_cast<tarnwick::ObjectSource*>(library().getSource(ComponentLink(1, 0, &library())).get()),
        nullptr);
    // No kind for type 1, nothing for a deleted part, an index past the end or an empty link.
    EXPECT_FALSE(library().contains(ComponentLink(5, 0, &library())));
    EXPECT_FALSE(library().contains(ComponentLink(8, 0, &library())));
    EXPECT_FALSE(library().contains(ComponentLink(kParts + 1, 0, &library())));
    EXPECT_FALSE(library().contains(ComponentLink()));
    // Without creators there are no sources at all.
    Library::unregisterCreators();
    EXPECT_FALSE(library().contains(ComponentLink(1, 0, &library())));
}

TEST_F(LibraryTest, KeepsAPartsClassificationOnlyWhileNothingCouldChangeIt) {
    const auto typeOf = [&](int index) {
        const auto source = library().getSource(ComponentLink(index, 0, &library()));
        return source ? source->getLink().getType() : 0u;
    };
    const auto familyTests = [&] {
        return host_->countCalls(host::HostSlot::utilities, host::fourcc("CLPS"));
    };
    std::shared_ptr<void> answers = project().keepHostAnswers();
    EXPECT_EQ(typeOf(3), std::uint32_t{host::kLibraryObject});
    const std::size_t asked = familyTests();
    EXPECT_EQ(typeOf(3), std::uint32_t{host::kLibraryObject});
    EXPECT_EQ(familyTests(), asked);
    // The armchair becomes a door's subtype: seen once the add-on reloads the library, or in a later command.
    host_->project().state.libraryParts.at(2).parentId = kOldDoorId;
    library().reload();
    EXPECT_EQ(typeOf(3), std::uint32_t{host::kLibraryDoor});
    answers.reset();
    host_->project().state.libraryParts.at(2).parentId.clear();
    answers = project().keepHostAnswers();
    EXPECT_EQ(typeOf(3), std::uint32_t{host::kLibraryObject});
}

TEST_F(LibraryTest, ExtraCreatorsAreAskedBeforeTheBuiltInOnes) {
    Library::registerSourceCreator(host::kLibraryObject,
                                   [](const host::LibraryPartRecord& record,
                                      const ComponentLink& link) -> std::unique_ptr<ComponentSource> {
                                       if (record.index != 3)
                                           return nullptr;   // the others go on to the built-in creator
                                       return std::make_unique<tarnwick::MacroSource>(record, link);
                                   });
    EXPECT_NE(
        dynamic_cast<tarnwick::MacroSource*>(library().getSource(ComponentLink(3, 0, &library())).get()),
        nullptr);
    EXPECT_NE(
        dynamic_cast<tarnwick::ObjectSource*>(library().getSource(ComponentLink(1, 0, &library())).get()),
        nullptr);
}

TEST_F(LibraryTest, ASourceNeverHoldsTheHostsLocationBlock) {
    const auto chair = library().getSource(ComponentLink(1, 0, &library()));
    ASSERT_NE(chair, nullptr);
    EXPECT_EQ(chair->getRecord()->location, nullptr);
    ASSERT_NE(chair->getLocation(), nullptr);
    EXPECT_EQ(*chair->getLocation(), chairFile_);
    EXPECT_EQ(host::memoryStats().livePtrs, 0u);   // the host's block was freed, not kept
}

// --- Searching -----------------------------------------------------------------------------------
TEST_F(LibraryTest, SearchesByNameThenAnyTypeThenTheFileName) {
    struct Case {
        const char* name;
        std::uint32_t type;
        std::int32_t index;
        std::uint32_t typeAfter;
    };
    const Case cases[] = {
        {"Chair", host::kLibraryObject, 1, host::kLibraryObject},
        {"chair", 0, 1, host::kLibraryObject},                       // the host ignores case
        {"Chair", host::kLibraryDoor, 1, host::kLibraryObject},      // the second search, any type
        {"chair_01", host::kLibraryLamp, 1, host::kLibraryObject},   // the file name with ".gsm"
        {"Old Door", 0, 4, host::kLibraryDoor},                      // its family's type
        {"Sofa", host::kLibraryLamp, 0, host::kLibraryLamp},         // a miss keeps the type
        {"Gone", 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::uint32_t type = c.type;
        EXPECT_EQ(library().searchByName(String(c.name), type), c.index);
        EXPECT_EQ(type, c.typeAfter);
    }
    host_->clearCalls();
    std::uint32_t type = 0;
    EXPECT_EQ(library().searchByName(String("Sofa"), type), 0);
    EXPECT_EQ(host_->countCalls(host::HostSlot::searchLibraryPart), 3u);
    EXPECT_EQ(host_->countCalls(host::HostSlot::utilities), 0u);   // nothing found, nothing classified
}

TEST_F(LibraryTest, SearchesByUniqueIdAndByIndex) {
    std::uint32_t type = 0;
    EXPECT_EQ(library().searchByGuid(FamilyGuid(id(2).c_str()), type), 2);
    EXPECT_EQ(type, std::uint32_t{host::kLibraryDoor});
    type = host::kLibraryObject;
    EXPECT_EQ(library().searchByGuid(FamilyGuid(kOldDoorId.c_str()), type), 4);
    EXPECT_EQ(type, std::uint32_t{host::kLibraryDoor});
    type = host::kLibraryLamp;
    EXPECT_EQ(library().searchByGuid(FamilyGuid(id(2).c_str()), type), 0);   // not a lamp
    EXPECT_EQ(type, std::uint32_t{host::kLibraryLamp});
    EXPECT_EQ(library().searchByGuid(FamilyGuid(id(99).c_str()), type), 0);
    EXPECT_EQ(static_cast<const String&>(library().getUniqueId(3)), String(id(3).c_str()));
    EXPECT_TRUE(static_cast<const String&>(library().getUniqueId(kParts + 5)).isEmpty());
    EXPECT_EQ(library().findByIndexGuid(6), 6);
    EXPECT_EQ(library().findByIndexGuid(kParts + 5), 0);
}

TEST_F(LibraryTest, AnswersSearchesOnceACommandAsTheHostDoesAndSeesWhatChangedInTheNext) {
    struct Answer {
        std::int32_t index;
        std::uint32_t type;
        bool operator==(const Answer&) const = default;
    };
    // Each way a search can end: the type asked for, any type, the file name, a family's type, a miss.
    const std::pair<const char*, std::uint32_t> names[] = {{"Chair", host::kLibraryObject},
                                                           {"chair", 0},
                                                           {"Chair", host::kLibraryDoor},
                                                           {"chair_01", 0},
                                                           {"Old Door", 0},
                                                           {"Armchair", 0},
                                                           {"Sofa", host::kLibraryLamp}};
    const std::pair<std::string, std::uint32_t> ids[] = {
        {id(2), 0}, {kOldDoorId, host::kLibraryObject}, {id(2), host::kLibraryLamp}, {id(3), 0}};
    const auto ask = [&] {
        std::vector<Answer> answers;
        for (const auto& [name, asked] : names) {
            std::uint32_t type = asked;
            answers.push_back({library().searchByName(String(name), type), type});
        }
        for (const auto& [text, asked] : ids) {
            std::uint32_t type = asked;
            answers.push_back({library().searchByGuid(FamilyGuid(text.c_str()), type), type});
        }
        return answers;
    };
    const auto searches = [&] { return host_->countCalls(host::HostSlot::searchLibraryPart); };
    const std::vector<Answer> hosts = ask();   // outside a command every question goes to the host
    ASSERT_EQ(hosts[5], (Answer{3, host::kLibraryObject}));
    std::shared_ptr<void> command = library().keepAnswers();
    EXPECT_EQ(ask(), hosts);
    host_->clearCalls();
    EXPECT_EQ(ask(), hosts);
    // Only the misses ask again: "Sofa" (three searches) and the lamp of another part's id.
    EXPECT_EQ(searches(), 4u);
    EXPECT_EQ(host_->countCalls(host::HostSlot::utilities, host::fourcc("CLPS")), 0u);
    // Another library loaded meanwhile, whose armchair is a door's subtype, loaded after a new Sofa: seen
    // only by the next command.
    auto& parts = host_->project().state.libraryParts;
    parts.at(2).deleted = true;
    host::SimLibraryPart sofa = parts.at(2);
    sofa.name = "Sofa";
    sofa.fileName = "Sofa.gsm";
    sofa.uniqueId = id(11);
    sofa.deleted = false;
    parts.push_back(sofa);
    host::SimLibraryPart armchair = parts.at(2);
    armchair.parentId = kOldDoorId;
    armchair.deleted = false;
    parts.push_back(armchair);
    EXPECT_EQ(ask()[5], hosts[5]);
    command.reset();
    command = library().keepAnswers();
    const std::vector<Answer> next = ask();
    EXPECT_EQ(next[5], (Answer{kParts + 2, host::kLibraryDoor}));
    EXPECT_EQ(next[6], (Answer{kParts + 1, host::kLibraryObject}));
    EXPECT_EQ(next[10], next[5]);   // by the same unique id
    // A change of the add-on's own forgets at once what was kept: each question asks as outside a command.
    library().reload();
    host_->clearCalls();
    EXPECT_EQ(ask(), next);
    const std::size_t asked = searches();
    command.reset();
    host_->clearCalls();
    EXPECT_EQ(ask(), next);
    EXPECT_EQ(searches(), asked);
}

TEST_F(LibraryTest, CollectsTheSubtypesOfAPartByTheTypeLastFoundAndStops) {
    tarnwick::Vector<ComponentLink> links;
    links.push_back(std::make_unique<ComponentLink>());   // kept: the vector is appended to
    EXPECT_EQ(library().collectSubtypes(ComponentLink(1, host::kLibraryObject, &library()), links), 3u);
    EXPECT_EQ(*links[1], ComponentLink(7, 0, &library()));
    EXPECT_EQ(*links[2], ComponentLink(10, 0, &library()));
    EXPECT_EQ(library().collectSubtypes(ComponentLink(3, host::kLibraryObject, &library()), links), 3u);
    EXPECT_EQ(library().collectSubtypes(ComponentLink(5, 0, &library()), links), 0u);   // no source
    // A part that names itself as its parent is found once, not forever.
    host::SimLibraryPart& armchair = host_->project().state.libraryParts.at(2);
    armchair.parentId = armchair.uniqueId;
    tarnwick::Vector<ComponentLink> own;
    EXPECT_EQ(library().collectSubtypes(ComponentLink(3, host::kLibraryObject, &library()), own), 1u);
    EXPECT_EQ(*own[0], ComponentLink(3, 0, &library()));
    // Each search after the first asks for the type the last one found.
    host_->project().state.libraryParts.at(9).type = host::kLibraryLamp;   // Chair Child 2
    tarnwick::Vector<ComponentLink> typed;
    EXPECT_EQ(library().collectSubtypes(ComponentLink(1, 0, &library()), typed), 1u);
}

// --- Parts ---------------------------------------------------------------------------------------
TEST_F(LibraryTest, GivesThePartsDefaultParametersAndSizes) {
    host::SimParameter parameter;
    host::ParameterRecord record{};
    record.type = 1;
    std::strcpy(record.name, "width");
    record.value.real = 2.5;
    parameter.record.assign(&record);
    host_->project().state.libraryParts[0].parameters = {parameter};
    host_->clearCalls();
    double a = 0;
    double b = 0;
    EXPECT_EQ(library().getParameters(ComponentLink(1, 0, &library()), nullptr, &a, &b), nullptr);
    EXPECT_TRUE(host_->calls().empty());
    std::int32_t count = 0;
    host::Handle parameters = library().getParameters(ComponentLink(1, 0, &library()), &count, &a, &b);
    ASSERT_NE(parameters, nullptr);
    EXPECT_EQ(count, 1);
    EXPECT_DOUBLE_EQ(a, 0.5);
    EXPECT_DOUBLE_EQ(b, 0.7);
    EXPECT_STREQ(reinterpret_cast<host::ParameterRecord*>(*parameters)->name, "width");
    tarnwick::hostApi().call<host::HostSlot::disposeParameters>(&parameters);
    EXPECT_EQ(library().getParameters(ComponentLink(kParts + 1, 0, &library()), &count, &a, &b), nullptr);
}

TEST_F(LibraryTest, KeepsAPartsSourceAndDefaultsOnlyWhileNothingCouldChangeThem) {
    const ComponentLink chair(1, host::kLibraryObject, &library());
    const auto widthOf = [&](const ComponentLink& link) {
        const auto defaults = library().getPartDefaults(link);
        return defaults ? defaults->width : -1.0;
    };
    const auto asked = [&](host::HostSlot slot) { return host_->countCalls(slot); };
    // Outside a command every question goes to the host.
    host_->clearCalls();
    EXPECT_DOUBLE_EQ(widthOf(chair), 0.5);
    EXPECT_DOUBLE_EQ(widthOf(chair), 0.5);
    EXPECT_EQ(asked(host::HostSlot::getLibraryPartParameters), 2u);
    // Within one, once per part; each caller gets its own source.
    std::shared_ptr<void> answers = project().keepHostAnswers();
    host_->clearCalls();
    const auto first = library().getSource(chair);
    const auto second = library().getSource(chair);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(first.get(), second.get());
    EXPECT_EQ(second->getName(), String("Chair"));
    EXPECT_DOUBLE_EQ(widthOf(chair), 0.5);
    EXPECT_DOUBLE_EQ(widthOf(chair), 0.5);
    EXPECT_EQ(asked(host::HostSlot::getLibraryPart), 1u);
    EXPECT_EQ(asked(host::HostSlot::getLibraryPartParameters), 1u);
    // A failed read is not kept: the next question asks again.
    const ComponentLink armchair(3, host::kLibraryObject, &library());
    host_->injectFault({host::HostSlot::getLibraryPartParameters, std::nullopt}, 1, host::kErrGeneral);
    EXPECT_DOUBLE_EQ(widthOf(armchair), -1.0);
    host_->clearFaults();
    EXPECT_DOUBLE_EQ(widthOf(armchair), 1.0);
    // A part changed meanwhile is seen in the next command, or at once when the add-on changes the
    // library itself.
    host_->project().state.libraryParts[0].a = 0.9;
    EXPECT_DOUBLE_EQ(widthOf(chair), 0.5);
    answers.reset();
    answers = project().keepHostAnswers();
    EXPECT_DOUBLE_EQ(widthOf(chair), 0.9);
    host_->project().state.libraryParts[0].a = 1.1;
    host_->project().state.libraryParts[0].name = "Stool";
    library().reload();
    EXPECT_DOUBLE_EQ(widthOf(chair), 1.1);
    EXPECT_EQ(library().getSource(chair)->getName(), String("Stool"));
}

TEST_F(LibraryTest, SavingOtherThanAParametricPartFailsWithoutAskingTheHost) {
    const auto macro = library().getSource(ComponentLink(9, 0, &library()));
    ASSERT_NE(macro, nullptr);
    host_->clearCalls();
    EXPECT_FALSE(library().savePart(*macro));
    EXPECT_TRUE(host_->calls().empty());
}

TEST_F(LibraryTest, SavesTheSectionsOfAnExistingPart) {
    auto chair = library().getSource(ComponentLink(1, 0, &library()));
    auto* parametric = dynamic_cast<tarnwick::ParametricSource*>(chair.get());
    ASSERT_NE(parametric, nullptr);
    EXPECT_EQ(parametric->getSectionCount(), 3u);
    std::uint32_t type = 0;
    parametric->getSection(0, type);
    EXPECT_EQ(type, host::fourcc("1DSC"));   // in the order of the codes, not the host's
    host::Handle text = nullptr;
    tarnwick::stringToHandle(String("new comment"), text);
    parametric->setSection(host::fourcc("CTXT"), text);
    host::Handle picture = tarnwick::ptrToHandle("\x01\x02", 2);
    parametric->setSection(host::fourcc("PICT"), picture);
    parametric->getDetails().bytes[0] = 7;
    ASSERT_EQ(inCommand([&] { return library().savePart(*chair); }), 0u);
    const host::SimLibraryPart& part = simPart(1);
    ASSERT_EQ(part.sections.size(), 4u);
    EXPECT_EQ(part.sections[0].bytes, bytesOf("new comment"));
    EXPECT_EQ(part.sections[1].bytes, bytesOf("x = 1"));
    EXPECT_EQ(part.sections[3].bytes, (std::vector<unsigned char>{1, 2}));
    EXPECT_EQ(part.details.at(0), 7);
    EXPECT_DOUBLE_EQ(part.a, 0.5);   // the parameters went back as they were
    EXPECT_EQ(chair->getRecord()->savedCode, part.savedCode);
    EXPECT_EQ(host_->countCalls(host::HostSlot::setLibraryPartDetails), 1u);
}

TEST_F(LibraryTest, ASaveWhoseParameterSectionCannotBeWrittenFails) {
    for (const host::HostSlot slot :
         {host::HostSlot::makeParameterSection, host::HostSlot::setLibraryPartDetails}) {
        SCOPED_TRACE(host::hostSlotName(slot));
        host_->injectFault({slot, std::nullopt}, 0, host::kErrGeneral);
        {   // an existing part
            auto chair = library().getSource(ComponentLink(1, 0, &library()));
            ASSERT_NE(chair, nullptr);
            host_->clearCalls();
            EXPECT_NE(inCommand([&] { return library().savePart(*chair); }), 0u);
            EXPECT_EQ(host_->countCalls(host::HostSlot::updateLibraryPartSection), 2u);   // not 'PARD'
        }
        {   // a new part
            tarnwick::ObjectSource stool;
            stool.setFile(tarnwick::DataFile(folder_ / "Stool.gsm"));
            stool.setSection(host::fourcc("PARD"), nullptr);
            EXPECT_NE(inCommand([&] { return library().savePart(stool); }), 0u);
            EXPECT_FALSE(stool.getLink().isValid());
        }
        host_->clearFaults();
        EXPECT_EQ(host::memoryStats().liveHandles, 0u);   // every built section was freed
        EXPECT_EQ(host_->project().state.libraryParts.size(), std::size_t{kParts});
    }
}

TEST_F(LibraryTest, SavesANewPartWithItsOwnLocation) {
    tarnwick::ObjectSource stool;
    EXPECT_FALSE(stool.isValid());
    stool.setFile(tarnwick::DataFile(folder_ / "Stool.gsm"));
    host::Handle script = nullptr;
    tarnwick::stringToHandle(String("BLOCK 1, 1, 1"), script);
    stool.setSection(host::fourcc("3DSC"), script);
    stool.setSection(host::fourcc("PARD"), tarnwick::ptrToHandle("junk", 4));   // built from the parameters
    host_->clearCalls();
    ASSERT_EQ(inCommand([&] { return library().savePart(stool); }), 0u);
    EXPECT_EQ(stool.getLink(), ComponentLink(kParts + 1, host::kLibraryObject, &library()));
    EXPECT_TRUE(stool.isValid());
    const host::SimLibraryPart& part = simPart(kParts + 1);
    EXPECT_EQ(part.name, "Stool.gsm");
    EXPECT_EQ(part.location, (folder_ / "Stool.gsm").string());   // a live block of ours, read by the host
    EXPECT_EQ(static_cast<const String&>(stool.getUniqueId()), String(part.uniqueId.c_str()));
    ASSERT_EQ(part.sections.size(), 2u);
    EXPECT_EQ(part.sections[0].bytes, bytesOf("BLOCK 1, 1, 1"));
    EXPECT_EQ(part.sections[1].type, host::fourcc("PARD"));
    EXPECT_EQ(host_->countCalls(host::HostSlot::environment, host::fourcc("OWLP")), 2u);
    EXPECT_EQ(host::memoryStats().livePtrs, 0u);
    // Saved again, it is an existing part now.
    host_->clearCalls();
    ASSERT_EQ(inCommand([&] { return library().savePart(stool); }), 0u);
    EXPECT_EQ(host_->countCalls(host::HostSlot::createLibraryPart), 0u);
    EXPECT_EQ(host_->countCalls(host::HostSlot::updateLibraryPartSection), 2u);
}

TEST_F(LibraryTest, ACreationThatFailsStillEndsTheOverwriteMode) {
    tarnwick::ObjectSource stool;
    stool.setFile(tarnwick::DataFile(folder_ / "Stool.gsm"));
    host_->injectFault({host::HostSlot::createLibraryPart, std::nullopt}, 1, host::kErrBadName);
    host_->clearCalls();
    EXPECT_NE(inCommand([&] { return library().savePart(stool); }), 0u);
    EXPECT_EQ(library().getLastResult(), host::kErrBadName);
    std::vector<std::int32_t> owlp;
    for (const host::HostCall& call : host_->calls())
        if (call.slot == host::HostSlot::environment)
            owlp.push_back(call.code == host::fourcc("OWLP") ? 1 : 0);
    EXPECT_EQ(owlp, (std::vector<std::int32_t>{1, 1}));
    EXPECT_EQ(host_->countCalls(host::HostSlot::finishLibraryPart), 0u);
}

TEST_F(LibraryTest, AMissingSourceWithAnIndexIsCreatedNotWrittenOverAnotherPart) {
    tarnwick::ObjectSource ghost(ComponentLink(2, host::kLibraryObject, &library()));   // index of Door 90
    ghost.setFile(tarnwick::DataFile(folder_ / "Ghost.gsm"));
    ASSERT_EQ(inCommand([&] { return library().savePart(ghost); }), 0u);
    EXPECT_EQ(simPart(2).name, "Door 90");
    EXPECT_EQ(ghost.getIndex(), kParts + 1);
}

TEST_F(LibraryTest, RegistersAnExistingPartFileOnlyAsTheAddonsOwnUnlessTold) {
    const std::filesystem::path file = folder_ / "Bench.gsm";
    std::ofstream(file) << "part";
    std::unique_ptr<ComponentSource> bench;
    ASSERT_EQ(inCommand([&] {
                  bench = library().registerPart(tarnwick::DataFile(file), host::kLibraryObject);
                  return bench != nullptr;
              }),
              0u);
    EXPECT_EQ(bench->getLink(), ComponentLink(kParts + 1, host::kLibraryObject, &library()));
    EXPECT_EQ(*bench->getLocation(), file);
    EXPECT_EQ(simPart(kParts + 1).owner, host::fourcc("GSAC"));
    host_->clearCalls();
    EXPECT_EQ(library().registerPart(tarnwick::DataFile(folder_ / "None.gsm"), host::kLibraryObject, 0),
              nullptr);
    EXPECT_TRUE(host_->calls().empty());
    EXPECT_EQ(host::memoryStats().livePtrs, 0u);
}

TEST_F(LibraryTest, DeletesPartFiles) {
    ASSERT_EQ(inCommand([&] { return library().deleteFile(tarnwick::DataFile(chairFile_)); }), 0u);
    EXPECT_TRUE(simPart(1).deleted);
    EXPECT_FALSE(std::filesystem::exists(chairFile_));
    tarnwick::Vector<tarnwick::File> files;
    files.push_back(std::make_unique<tarnwick::DataFile>(folder_ / "none.gsm"));
    EXPECT_NE(inCommand([&] { return library().deleteFiles(files); }), 0u);
    EXPECT_EQ(library().getLastResult(), host::kErrFile);
}

// --- Folders -------------------------------------------------------------------------------------
TEST_F(LibraryTest, ListsTheProjectsLibraryFoldersAndTheCurrentOne) {
    const auto libA = folder_ / "libA";
    const auto libB = folder_ / "libB";
    std::filesystem::create_directories(libA / "inner");
    std::filesystem::create_directories(libB);
    host_->project().state.libraryFolders = {libA.string(), (folder_ / "missing").string(), libB.string()};
    host_->project().state.currentLibrary = 2;
    host_->clearCalls();
    ASSERT_EQ(library().getFileList().size(), 2u);   // the missing folder is left out
    EXPECT_EQ(library().getFileList()[1]->getLocation(), libB);
    const std::unique_ptr<tarnwick::File> current = library().getCurrentFolder();
    ASSERT_NE(current, nullptr);
    EXPECT_EQ(current->getLocation(), libB);
    EXPECT_EQ(host_->countCalls(host::HostSlot::environment, host::fourcc("GLIB")), 1u);
    EXPECT_TRUE(library().hasFolderWithin(tarnwick::Directory(folder_)));
    EXPECT_FALSE(library().hasFolderWithin(tarnwick::Directory(libA)));
    EXPECT_FALSE(library().hasFolderWithin(tarnwick::Directory(libA / "inner")));
    // clear drops the list: it is read again.
    project().clear();
    EXPECT_NE(library().getCurrentFolder(), nullptr);
    EXPECT_EQ(host_->countCalls(host::HostSlot::environment, host::fourcc("GLIB")), 2u);
    // A failing host gives an empty list and no current folder.
    project().clear();
    host_->injectFault({host::HostSlot::environment, host::fourcc("GLIB")}, 0, host::kErrGeneral);
    EXPECT_EQ(library().getFileList().size(), 0u);
    EXPECT_EQ(library().getCurrentFolder(), nullptr);
    EXPECT_EQ(host::memoryStats().livePtrs, 0u);
}

TEST_F(LibraryTest, ChangesAndReloadsTheLibraryFolders) {
    const auto libA = folder_ / "libA";
    const auto libB = folder_ / "libB";
    std::filesystem::create_directories(libA);
    std::filesystem::create_directories(libB);
    tarnwick::Vector<tarnwick::File> folders;
    folders.push_back(std::make_unique<tarnwick::Directory>(libA));
    EXPECT_TRUE(library().setLibraries(folders));
    EXPECT_EQ(host_->project().state.libraryFolders, std::vector<std::string>{libA.string()});
    host_->clearCalls();
    EXPECT_FALSE(library().addLibrary(tarnwick::Directory(folder_ / "missing")));
    EXPECT_TRUE(host_->calls().empty());
    EXPECT_TRUE(library().addLibrary(tarnwick::Directory(libB)));
    EXPECT_EQ(host_->project().state.libraryFolders,
              (std::vector<std::string>{libA.string(), libB.string()}));
    EXPECT_EQ(library().getFileList().size(), 2u);
    EXPECT_TRUE(library().reload());
    EXPECT_EQ(host_->countCalls(host::HostSlot::automation, host::fourcc("LLIB")), 1u);
    host_->injectFault({host::HostSlot::environment, host::fourcc("GLIB")}, 1, host::kErrGeneral);
    EXPECT_FALSE(library().reload());
    EXPECT_EQ(host_->countCalls(host::HostSlot::automation, host::fourcc("LLIB")), 1u);
    EXPECT_EQ(host::memoryStats().livePtrs, 0u);
}

TEST(LibraryFiles, VectorsAreEqualByLocationsInAnyOrder) {
    const auto vectorOf = [](std::initializer_list<const char*> paths) {
        tarnwick::Vector<tarnwick::File> files;
        for (const char* path : paths) files.push_back(std::make_unique<tarnwick::Directory>(path));
        return files;
    };
    EXPECT_TRUE(vectorOf({"/a", "/b"}) == vectorOf({"/b", "/a"}));
    EXPECT_TRUE(vectorOf({}) == vectorOf({}));
    EXPECT_FALSE(vectorOf({"/a", "/b"}) == vectorOf({"/a"}));
    EXPECT_FALSE(vectorOf({"/a", "/b"}) == vectorOf({"/a", "/c"}));
    EXPECT_TRUE(tarnwick::contains(vectorOf({"/a", "/b/"}), tarnwick::Directory("/b")));
    EXPECT_FALSE(tarnwick::contains(vectorOf({"/a"}), tarnwick::Directory("/b")));
}

// --- Registries ----------------------------------------------------------------------------------
TEST_F(LibraryTest, TheFrameworkMakesAndFreesTheSourceCreators) {
    Library::unregisterCreators();
    ASSERT_EQ(tarnwick::startFramework(), 0u);
    EXPECT_TRUE(library().contains(ComponentLink(1, 0, &library())));
    EXPECT_EQ(tarnwick::stopFramework(), 0u);
    EXPECT_FALSE(library().contains(ComponentLink(1, 0, &library())));
}
