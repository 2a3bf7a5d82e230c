#include <cstring>
#include <random>
#include <unordered_map>
#include <utility>

#include <gtest/gtest.h>

#include <HostGuid.h>

#include "Environment/Host.h"
#include "IFC/Classification.h"
#include "IFC/ClassificationDatabase.h"
#include "IFC/ClassificationMemo.h"
#include "IFC/ClassificationName.h"
#include "IFC/ClassificationSystem.h"
#include "IFC/ClassificationTree.h"
#include "Support/DrawingFixture.h"

using namespace tarnwick;

namespace {

// An object that carries classifications.
class ClassifiedElement : public RecordElement, public ClassificationMemo {
public:
    using RecordElement::RecordElement;
    static std::unique_ptr<Element> create(const host::ElementRecord& record, ElementLink& link) {
        return std::make_unique<ClassifiedElement>(record, link);
    }
    std::unique_ptr<Element> clone() const override { return std::make_unique<ClassifiedElement>(*this); }
};

}   // namespace

// Two systems: "Uniclass" with Ss > Ss_25 > Ss_25_30 and Pr (for elements), "Zones" with one item for zones.
class ClassificationTest : public DrawingFixture {
protected:
    void SetUp() override {
        DrawingFixture::SetUp();
        host::SimIFCState& ifc = host_->project().state.ifc;
        uniclass_ = addSystem(ifc, "Uniclass");
        ss_ = addItem(ifc, uniclass_, {}, "Ss", "Systems", 3);
        ss25_ = addItem(ifc, uniclass_, ss_, "Ss_25", "Wall and barrier systems", 3);
        ss2530_ = addItem(ifc, uniclass_, ss25_, "Ss_25_30", "Door systems", 1);
        pr_ = addItem(ifc, uniclass_, {}, "Pr", "Products", 3);
        zones_ = addSystem(ifc, "Zones");
        room_ = addItem(ifc, zones_, {}, "Z1", "Room", 2);
        addSystem(ifc, "Empty");
    }

    static host::GuidBytes addSystem(host::SimIFCState& ifc, const char* name) {
        host::SimClassificationSystem system;
        system.guid = host::newGuidBytes();
        system.name = name;
        ifc.classificationSystems.edit().push_back(system);
        return system.guid;
    }
    static host::GuidBytes addItem(host::SimIFCState& ifc, const host::GuidBytes& system,
                                   const host::GuidBytes& parent, const char* id, const char* name,
                                   std::int32_t state) {
        const host::GuidBytes guid = host::newGuidBytes();
        ifc.classificationItems[guid] = {system, parent, id, name, "", state, {}};
        if (host::isNullGuid(parent)) {
            for (auto& s : ifc.classificationSystems.edit())
                if (s.guid == system) s.topItems.push_back(guid);
        } else {
            ifc.classificationItems.edit(parent)->children.push_back(guid);
        }
        return guid;
    }
    static Guid g(const host::GuidBytes& bytes) { return Guid(host::toGuidRecord(bytes)); }
    ClassificationDatabase& database() { return *Host::getClassificationDatabase(); }

    std::unique_ptr<Element> classified(int index) {
        Drawing::registerCreator(host::kElementObject, &ClassifiedElement::create, false);
        Drawing::registerCreator(host::kElementDoor, &ClassifiedElement::create, false);
        return plan().getElement(ElementLink(tarnwickGuid(index), &plan()));
    }
    std::vector<host::GuidBytes>& held(int index) {
        return host_->project().state.ifc.elements[guidOf(index)].classifications;
    }

    host::GuidBytes uniclass_, ss_, ss25_, ss2530_, pr_, zones_, room_;
};

TEST_F(ClassificationTest, DatabaseLoadsOnceFindsByNameSystemAndIdAndKeepsEarlierRecords) {
    EXPECT_EQ(database().typeName(), "ClassificationDatabase");
    const auto early = database().getClassification(g(pr_));
    database().loadItems();
    EXPECT_EQ(database().getClassification(g(pr_)), early);
    EXPECT_EQ(database().getClassification(g(ss2530_))->getSystemName(), "Uniclass");
    EXPECT_EQ(database().getClassification(g(ss2530_))->getParentGuid(), g(ss25_));

    const struct {
        ClassificationName name;
        const char* id;
        const host::GuidBytes* found;   // null: none
    } cases[] = {{{"Door systems", ""}, "", &ss2530_},
                 {{"Door systems", "Uniclass"}, "Ss_25_30", &ss2530_},
                 {{"Door systems", "Zones"}, "", nullptr},
                 {{"Door systems", ""}, "Ss_99", nullptr},
                 {{"Room", ""}, "", &room_}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name.getText());
        const auto item = database().findClassification(c.name, c.id);
        EXPECT_EQ(item ? item->getGuid() : Guid(), c.found ? g(*c.found) : Guid());
    }
    EXPECT_EQ(database().findSystem("Zones")->getGuid(), g(zones_));

    // Renamed after the load, two items share a name: the first of them in GUID order answers.
    const auto [low, high] =
        g(pr_) < g(ss2530_) ? std::pair(g(pr_), g(ss2530_)) : std::pair(g(ss2530_), g(pr_));
    const ClassificationName shared(database().getClassification(high)->getName(), "");
    database().getClassification(low)->setName(shared.getText());
    EXPECT_EQ(database().findClassification(shared, "")->getGuid(), low);
    database().getClassification(low)->setName("Elsewhere");
    EXPECT_EQ(database().findClassification(shared, "")->getGuid(), high);
    // An item the map meets after the load is found as well.
    const host::GuidBytes hall = addItem(host_->project().state.ifc, zones_, {}, "Z2", "Hall", 2);
    EXPECT_EQ(database().findClassification({"Hall", ""}, ""), nullptr);   // the map loads once
    database().getClassification(g(hall));
    EXPECT_EQ(database().findClassification({"Hall", ""}, "")->getGuid(), g(hall));

    // A refused systems query is not asked again until the database is cleared.
    database().clear();
    host_->injectFault({host::HostSlot::getClassificationSystems, {}}, 0, host::kErrGeneral);
    EXPECT_EQ(database().findSystem("Zones"), nullptr);
    host_->clearFaults();
    EXPECT_EQ(database().findSystem("Zones"), nullptr);
    EXPECT_EQ(database().getLastResult(), host::kErrGeneral);
    database().clear();
    EXPECT_NE(database().findSystem("Zones"), nullptr);
}

TEST_F(ClassificationTest, TreeHoldsEverySystemUnderTheRootAndFindsWithoutScanning) {
    const auto tree = database().getTree();
    ASSERT_TRUE(tree);
    EXPECT_EQ(boost::num_vertices(*tree), 1u + 3u + 5u);
    EXPECT_EQ(tree->findVertex(Guid()), 0);
    EXPECT_EQ(tree->getSystemGuid(g(ss2530_)), g(uniclass_));
    EXPECT_EQ(tree->getSystemGuid(g(uniclass_)), g(uniclass_));
    EXPECT_EQ(tree->getSystemGuid(Guid::generate()), Guid());
    const std::int64_t empty =
        tree->findVertex(g(host_->project().state.ifc.classificationSystems->at(2).guid));
    EXPECT_EQ(tree->firstChild(empty), ClassificationTree::kNone);
    EXPECT_EQ(tree->getGuid(tree->firstChild(tree->findVertex(g(ss25_)))), g(ss2530_));
    EXPECT_EQ(tree->findClassification("Room")->getGuid(), g(room_));
    // The systems are the database's own records.
    EXPECT_EQ(boost::get<std::shared_ptr<ClassificationSystem>>(tree->getRecordOf(g(zones_))),
              database().getSystem(g(zones_)));

    // Removing a vertex moves the later ones down and keeps lookups right.
    const std::int64_t before = tree->findVertex(g(room_));
    tree->removeVertex(tree->findVertex(g(pr_)));
    EXPECT_EQ(tree->findVertex(g(room_)), before - 1);
    EXPECT_EQ(tree->findVertex(g(pr_)), ClassificationTree::kNone);
}

// The tree's GUID index against a plain multimap: random GUIDs, GUIDs a bit apart, repeats (the lowest
// vertex wins), the null GUID again, misses, and the same after a removal renumbers the vertices.
TEST(ClassificationTreeIndex, FindsWhatAMultimapFinds) {
    std::mt19937_64 random(5);
    const auto randomGuid = [&] {
        host::GuidBytes bytes{};
        for (unsigned char& byte : bytes) byte = static_cast<unsigned char>(random());
        return Guid(host::toGuidRecord(bytes));
    };
    const auto nearGuid = [](std::uint32_t k) {   // differs from its neighbours in a few low bits
        host::GuidBytes bytes{};
        std::memcpy(bytes.data(), &k, sizeof k);
        return Guid(host::toGuidRecord(bytes));
    };
    ClassificationTree tree;
    std::vector<Guid> added{Guid()};
    for (std::uint32_t k = 0; k < 5000; ++k) {
        const Guid guid = k % 4 == 0   ? added[random() % added.size()]
                          : k % 4 == 1 ? nearGuid(k)
                                       : randomGuid();
        tree.addVertex(static_cast<std::int64_t>(random() % added.size()), guid, ClassificationRecord());
        added.push_back(guid);
    }
    const auto expectSameAsMultimap = [&] {
        std::unordered_multimap<host::GuidBytes, std::int64_t, host::SimGuidHash> expected;
        for (std::size_t v = 0; v < boost::num_vertices(tree); ++v)
            expected.emplace(host::toGuidBytes(tree.getGuid(static_cast<std::int64_t>(v)).getRecord()),
                             static_cast<std::int64_t>(v));
        std::vector<Guid> asked = added;
        for (int k = 0; k < 2000; ++k) asked.push_back(k % 2 == 0 ? randomGuid() : nearGuid(100000 + k));
        for (const Guid& guid : asked) {
            const auto [first, last] = expected.equal_range(host::toGuidBytes(guid.getRecord()));
            std::int64_t lowest = ClassificationTree::kNone;
            for (auto it = first; it != last; ++it)
                if (lowest == ClassificationTree::kNone || it->second < lowest) lowest = it->second;
            ASSERT_EQ(tree.findVertex(guid), lowest) << guid.toString();
        }
    };
    expectSameAsMultimap();
    EXPECT_EQ(tree.findVertex(Guid()), 0);
    for (int k = 0; k < 50; ++k) tree.removeVertex(1 + static_cast<std::int64_t>(random() % 4000));
    expectSameAsMultimap();
}

TEST_F(ClassificationTest, ASystemWhoseItemsNestInsideThemselvesIsRefusedWhole) {
    host::SimIFCState& ifc = host_->project().state.ifc;
    ifc.classificationItems.edit(ss2530_)->children.push_back(ss_);   // Ss_25_30 claims its own ancestor
    database().loadItems();
    EXPECT_EQ(database().getLastResult(), ClassificationDatabase::kErrCycle);
    EXPECT_EQ(database().findClassification({"Door systems", ""}, ""), nullptr);
    EXPECT_NE(database().findClassification({"Room", ""}, ""), nullptr);   // the other system loaded
    EXPECT_EQ(database().getTree(), nullptr);
}

TEST_F(ClassificationTest, RecordsLoadOnceKeepTheirGuidAndNameThemselves) {
    host_->clearCalls();
    const Classification none{Guid()};
    EXPECT_TRUE(none.getName().isEmpty());
    EXPECT_EQ(host_->calls().size(), 0u);

    // A host that fails the load keeps the record's identity.
    host_->injectFault({host::HostSlot::getClassificationItem, {}}, 1, host::kErrGeneral);
    Classification failed{g(pr_)};
    EXPECT_TRUE(failed.loadFailed());
    EXPECT_EQ(failed.getGuid(), g(pr_));
    host::ClassificationItemRecord record{};
    EXPECT_FALSE(failed.toHost(record));
    // A record never loaded is not written either: its empty fields are not the host's.
    const Classification lazy{g(pr_)};
    const ClassificationSystem lazySystem{g(uniclass_)};
    host::ClassificationSystemRecord systemRecord{};
    host_->clearCalls();
    EXPECT_FALSE(lazy.toHost(record));
    EXPECT_FALSE(lazySystem.toHost(systemRecord));
    EXPECT_EQ(host_->calls().size(), 0u);
    EXPECT_EQ(lazy.getName(), "Products");
    EXPECT_TRUE(lazy.toHost(record));
    EXPECT_EQ(lazySystem.getName(), "Uniclass");
    EXPECT_TRUE(lazySystem.toHost(systemRecord));
    // One the host does not know is a record of nothing.
    const Classification unknown{Guid(host::generateGuid())};
    EXPECT_TRUE(unknown.getName().isEmpty());
    EXPECT_FALSE(unknown.getGuid().isValid());
    const ClassificationSystem unknownSystem{Guid(host::generateGuid())};
    EXPECT_TRUE(unknownSystem.getName().isEmpty());
    EXPECT_FALSE(unknownSystem.getGuid().isValid());

    const auto door = database().getClassification(g(ss2530_));
    door->setName("Door systems");
    EXPECT_FALSE(door->isChanged());
    EXPECT_EQ(door->getDisplayName(true), "Uniclass:Ss_25_30 Door systems");
    EXPECT_EQ(door->getDisplayName(false), "Ss_25_30 Door systems");
    door->setId("");
    EXPECT_EQ(door->getDisplayName(true), "Uniclass Door systems");
    door->setName("");
    EXPECT_EQ(door->getDisplayName(true), "Uniclass");
    EXPECT_TRUE(door->isChanged());
    door->markStateB();
    EXPECT_EQ(door->getState(), 3);

    ClassificationSystem unnamed{Guid()};
    host::ClassificationSystemRecord system{};
    system.editionYear = 7;
    EXPECT_FALSE(unnamed.toHost(system));
    EXPECT_EQ(system.editionYear, 7);
}

TEST_F(ClassificationTest, DatabaseStoresNewAndChangedRecordsInTheHost) {
    const auto system = database().getSystem(g(uniclass_));
    system->setEdition("2015");
    ClassificationSystem made{Guid()};
    made.setName("NS");
    Classification item{Guid()};
    EXPECT_EQ(inCommand([&] {
                  item.setSystem(database().getSystem(g(zones_)));
                  item.setId("Z2");
                  item.setName("Corridor");
                  return database().storeSystem(*system) && database().storeSystem(made) &&
                         database().storeClassification(item, Guid());
              }),
              0u);
    const host::SimIFCState& ifc = host_->project().state.ifc;
    EXPECT_EQ(ifc.classificationSystems->at(0).edition, "2015");
    EXPECT_EQ(ifc.classificationSystems->back().name, "NS");
    EXPECT_EQ(g(ifc.classificationSystems->back().guid), made.getGuid());
    ASSERT_TRUE(item.getGuid().isValid());
    EXPECT_EQ(ifc.classificationItems.find(host::toGuidBytes(item.getGuid().getRecord()))->name, "Corridor");
}

TEST_F(ClassificationTest, MemoKeepsOneItemPerSystemAndStoresOnlyTheDifference) {
    held(0) = {pr_};
    const auto element = classified(0);
    auto& memo = dynamic_cast<ClassificationMemo&>(*element);
    EXPECT_TRUE(memo.hasItem(g(pr_)));
    EXPECT_FALSE(memo.add(g(pr_)));   // held already
    EXPECT_FALSE(memo.isChanged());
    EXPECT_FALSE(memo.add(g(room_)));    // an item for zones only
    EXPECT_TRUE(memo.add(g(ss2530_)));   // replaces Pr, of the same system
    std::vector<Guid> guids;
    memo.getItemGuids(guids);
    EXPECT_EQ(guids, std::vector<Guid>{g(ss2530_)});

    host_->clearCalls();
    EXPECT_EQ(inCommand([&] { return plan().storeElement(*element, false, true); }), 0u);
    EXPECT_EQ(held(0), std::vector<host::GuidBytes>{ss2530_});
    EXPECT_EQ(host_->countCalls(host::HostSlot::addElementClassification), 1u);
    EXPECT_EQ(host_->countCalls(host::HostSlot::removeElementClassification), 1u);
    EXPECT_FALSE(memo.isChanged());

    host_->clearCalls();   // nothing differs: no calls at all
    EXPECT_TRUE(memo.store(false, false));
    EXPECT_EQ(host_->countCalls(host::HostSlot::getElementClassifications), 0u);
}

TEST_F(ClassificationTest, MemoNeverTakesAwayItemsTheDatabaseHasNotMet) {
    held(1) = {room_};   // an item of a system this add-on never loaded
    const auto element = classified(1);
    auto& memo = dynamic_cast<ClassificationMemo&>(*element);
    EXPECT_TRUE(memo.add(g(pr_)));
    EXPECT_EQ(inCommand([&] { return memo.store(false, false); }), 0u);
    EXPECT_EQ(held(1), (std::vector<host::GuidBytes>{room_, pr_}));

    // A failed add keeps the memo changed, so the next store tries again.
    EXPECT_TRUE(memo.remove(g(pr_)));
    EXPECT_TRUE(memo.add(g(ss_)));
    host_->injectFault({host::HostSlot::addElementClassification, {}}, 1, host::kErrGeneral);
    EXPECT_NE(inCommand([&] { return memo.store(false, false); }), 0u);
    EXPECT_TRUE(memo.isChanged());
    EXPECT_EQ(inCommand([&] { return memo.store(false, false); }), 0u);
    EXPECT_EQ(held(1), (std::vector<host::GuidBytes>{room_, ss_}));
}

TEST_F(ClassificationTest, ProjectFileKeepsSystemsItemsAndElementClassifications) {
    held(0) = {ss2530_};
    host::SimProject copy;
    std::string error;
    ASSERT_TRUE(copy.loadText(host_->project().saveText(), error)) << error;
    EXPECT_EQ(copy.state.ifc, host_->project().state.ifc);

    // Two items of one system on one element are refused, and the project stays as it was.
    host_->project().state.ifc.elements[guidOf(0)].classifications = {ss2530_, pr_};
    const std::string text = host_->project().saveText();
    EXPECT_FALSE(copy.loadText(text, error));
    EXPECT_NE(error.find("a second item of one classification system"), std::string::npos) << error;
    EXPECT_EQ(copy.state.ifc.elements.find(guidOf(0))->classifications,
              std::vector<host::GuidBytes>{ss2530_});
}

TEST_F(ClassificationTest, MemoEditsBySystemAndWritesWithForceOnlyWhatDiffers) {
    held(0) = {pr_};
    const auto element = classified(0);
    auto& memo = dynamic_cast<ClassificationMemo&>(*element);
    host_->clearCalls();
    EXPECT_EQ(inCommand([&] { return memo.store(false, /*force=*/true); }), 0u);
    EXPECT_EQ(host_->countCalls(host::HostSlot::addElementClassification), 0u);
    EXPECT_EQ(host_->countCalls(host::HostSlot::removeElementClassification), 0u);

    EXPECT_FALSE(memo.addAll({g(room_), g(pr_)}));   // one for zones, one held
    EXPECT_TRUE(memo.removeSystem(String("Uniclass")));
    EXPECT_FALSE(memo.hasItem(g(pr_)));
    EXPECT_TRUE(memo.addAll({g(ss_)}));
    EXPECT_TRUE(memo.removeAll({g(room_), g(ss_)}));
    memo.clear();
    EXPECT_TRUE(memo.isChanged());
    EXPECT_EQ(inCommand([&] { return memo.store(false, false); }), 0u);
    EXPECT_TRUE(held(0).empty());

    // An update loads all three memos, whatever they hold, and changes nothing.
    const auto first = classified(1);
    const auto second = classified(2);
    host_->clearCalls();
    EXPECT_FALSE(
        dynamic_cast<ClassificationMemo&>(*first).update(&dynamic_cast<ClassificationMemo&>(*second), &memo));
    EXPECT_EQ(host_->countCalls(host::HostSlot::getElementClassifications), 2u);   // ours was loaded

    host::ElementRecord record{};
    ClassifiedElement zone(record, ElementLink(host::kElementZone, 0));
    EXPECT_TRUE(static_cast<ClassificationMemo&>(zone).add(g(room_)));
    EXPECT_FALSE(static_cast<ClassificationMemo&>(zone).add(g(ss2530_)));   // for other elements only
}
