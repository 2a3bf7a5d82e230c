#include "Project/Project.h"

#include <string>

#include <gtest/gtest.h>

#include <FourCC.h>
#include <HostRecords.h>

#include "Environment/Host.h"
#include "Foundation/DataFile.h"
#include "Foundation/Memory.h"
#include "Foundation/MemoryBlock.h"
#include "Foundation/Setting.h"
#include "Foundation/StringSetting.h"
#include "IFC/ClassificationMemo.h"
#include "IFC/PropertyDatabase.h"
#include "IFC/PropertyLink.h"
#include "IFC/PropertyMemo.h"
#include "Project/Detail.h"
#include "Project/ElementLink.h"
#include "Project/ElementLinkList.h"
#include "Project/HostProject.h"
#include "Project/Layout.h"
#include "Project/LinkRecord.h"
#include "Project/Model.h"
#include "Project/Section.h"
#include "Project/User.h"
#include "Project/Worksheet.h"
#include "Support/DrawingFixture.h"

namespace {

using tarnwick::Database;
using tarnwick::ElementLink;
using tarnwick::ElementLinkList;
using tarnwick::Guid;
using tarnwick::LinkRecord;

// A door kind that carries classifications and properties, as the element kinds do.
class PropertiedElement : public RecordElement,
                          public tarnwick::ClassificationMemo,
                          public tarnwick::PropertyMemo {
public:
    using RecordElement::RecordElement;
    static std::unique_ptr<tarnwick::Element> create(const host::ElementRecord& record, ElementLink& link) {
        return std::make_unique<PropertiedElement>(record, link);
    }
    std::unique_ptr<tarnwick::Element> clone() const override {
        return std::make_unique<PropertiedElement>(*this);
    }
};

class ProjectTest : public DrawingFixture {
protected:
    // A classification item for doors and a text property available for it; the door is classified.
    void classifyDoors() {
        host::SimIFCState& ifc = host_->project().state.ifc;
        host::SimClassificationSystem system;
        system.guid = host::newGuidBytes();
        system.name = "Uniclass";
        system.topItems = {doorItem_};
        ifc.classificationItems[doorItem_] = {system.guid, {}, "Ss_25_30", "Doors", "", 3, {}};
        ifc.classificationSystems.edit().push_back(system);
        host::SimPropertyDefinition fire;
        fire.guid = fireRating_;
        fire.group = host::newGuidBytes();
        fire.name = "FireRating";
        fire.collection = host::kPropertySingle;
        fire.valueType = host::kVariantString;
        fire.availability = {doorItem_};
        ifc.propertyGroups.edit().push_back({fire.group, host::kPropertyUserDefined, "Pset"});
        ifc.propertyDefinitions.edit().push_back(fire);
        ifc.elements[guidOf(kDoorIndex)].classifications = {doorItem_};
        tarnwick::Drawing::registerCreator(host::kElementDoor, &PropertiedElement::create, false);
    }
    // An item of a second system, for an element to gain beside the door item.
    host::GuidBytes addSecondSystemItem() {
        host::SimIFCState& ifc = host_->project().state.ifc;
        host::SimClassificationSystem other;
        other.guid = host::newGuidBytes();
        other.name = "Omniclass";
        const host::GuidBytes entrance = host::newGuidBytes();
        other.topItems = {entrance};
        ifc.classificationItems[entrance] = {other.guid, {}, "23-17", "Doors", "", 3, {}};
        ifc.classificationSystems.edit().push_back(other);
        return entrance;
    }
    // A door tool default of variation 7, with no values of its own.
    void fileDoorDefault() {
        host::SimToolDefault door;
        host::ElementHead head{};
        head.type = host::kElementDoor;
        head.variation = 7;
        std::memcpy(door.record.data(), &head, sizeof head);
        host_->project().state.defaults[{host::kElementDoor, 7}] = door;
    }
    const host::GuidBytes doorItem_ = host::newGuidBytes();
    const host::GuidBytes fireRating_ = host::newGuidBytes();

    std::size_t calls(std::uint32_t code) const { return host_->countCalls(host::HostSlot::database, code); }
    Guid viewGuid(std::int32_t type) const {
        for (const host::SimDatabase& database : host_->project().state.databases)
            if (database.type == type) return Guid(host::toGuidRecord(database.guid));
        return Guid();
    }
    // What the user does in the host: bring another database to the front.
    void userSwitchesTo(std::int32_t type) {
        const host::DatabaseKey key =
            type == host::kDatabasePlan || type == host::kDatabaseModel
                ? host::DatabaseKey{type, {}}
                : host::DatabaseKey{0, host::toGuidBytes(viewGuid(type).getRecord())};
        host_->project().view.currentDatabase = key;
        host_->project().view.frontWindow = key;
    }
    void share(std::int16_t me) {
        host::SimTeamwork& teamwork = host_->project().state.teamwork;
        teamwork.shared = true;
        teamwork.memberId = me;
        teamwork.members = {{1, 7, "Ann Smith", "ann", host::newGuidBytes()},
                            {2, 0, "Bob Jones", "bob", host::newGuidBytes()}};
    }
};

TEST_F(ProjectTest, ListsTheViewsOfEachKindFromTheHost) {
    tarnwick::Project& p = project();
    EXPECT_EQ(p.getSectionCount(), 1);
    EXPECT_EQ(p.getDetailCount(), 1);
    EXPECT_EQ(p.getWorksheetCount(), 1);
    EXPECT_EQ(p.getElevationCount(), 0);
    EXPECT_EQ(p.getInteriorElevationCount(), 0);
    EXPECT_EQ(p.getDocument3DCount(), 0);
    EXPECT_EQ(p.getLayoutCount(), 2) << "layouts and master layouts in one list";
    EXPECT_EQ(p.getSection(-1), nullptr);
    EXPECT_EQ(p.getSection(1), nullptr);
    ASSERT_NE(p.getSection(0), nullptr);
    EXPECT_EQ(p.getSection(0), p.getSection(viewGuid(host::kDatabaseSection)));
    EXPECT_EQ(p.getDetail(Guid::generate()), nullptr);

    // Each list is asked of the host once.
    host_->clearCalls();
    p.getSectionCount();
    p.getLayout(0);
    EXPECT_EQ(calls(host::fourcc("GSDI")) + calls(host::fourcc("GLDI")) + calls(host::fourcc("GMDI")), 0u);

    tarnwick::Layout* master = p.getLayout(viewGuid(host::kDatabaseMasterLayout));
    ASSERT_NE(master, nullptr);
    EXPECT_EQ(master->typeName(), "Master Layout");
    EXPECT_EQ(p.getLayout(viewGuid(host::kDatabaseLayout))->typeName(), "Layout");
}

TEST_F(ProjectTest, FindsTheDatabaseOfAnIdByItsKind) {
    tarnwick::Project& p = project();
    struct Case {
        std::int32_t kind;
        Guid guid;
        Database* expected;
    };
    const Guid section = viewGuid(host::kDatabaseSection);
    const Guid master = viewGuid(host::kDatabaseMasterLayout);
    const Case cases[] = {
        {1, Guid(), &p.getPlan()},
        {4, Guid(), &p.getModel()},
        {2, section, p.getSection(section)},
        {3, viewGuid(host::kDatabaseDetail), p.getDetail(0)},
        {12, viewGuid(host::kDatabaseWorksheet), p.getWorksheet(0)},
        {5, master, p.getLayout(master)},
        {9, master, p.getLayout(master)},
        {2, Guid::generate(), nullptr},
        {3, section, nullptr},
        {6, section, nullptr},
        {7, Guid(), nullptr},
        {8, section, nullptr},
        {0, Guid(), nullptr},
        {14, section, nullptr},
        {-1, section, nullptr},
    };
    for (const Case& c : cases) EXPECT_EQ(p.getDatabase(LinkRecord(c.kind, c.guid, 0)), c.expected) << c.kind;
}

TEST_F(ProjectTest, FollowsTheHostWhenTheUserSwitchesDatabases) {
    tarnwick::Project& p = project();
    tarnwick::Section* section = p.getSection(0);
    EXPECT_EQ(p.getCurrentDatabase(), &p.getPlan());
    userSwitchesTo(host::kDatabaseSection);
    EXPECT_EQ(p.getCurrentDatabase(), section);
    EXPECT_EQ(p.getCurrentWindow(), section);

    // Making the plan current asks the host once; again while it is current asks nothing.
    host_->clearCalls();
    EXPECT_TRUE(p.setCurrentDatabase(&p.getPlan()));
    EXPECT_EQ(calls(host::fourcc("CDAT")), 1u);
    EXPECT_TRUE(p.setCurrentDatabase(&p.getPlan()));
    EXPECT_EQ(calls(host::fourcc("CDAT")), 1u);
    EXPECT_EQ(host_->project().view.currentDatabase, (host::DatabaseKey{host::kDatabasePlan, {}}));

    // The user goes back to the section: the plan is made current again, not taken from a cache.
    userSwitchesTo(host::kDatabaseSection);
    EXPECT_TRUE(p.setCurrentDatabase(&p.getPlan()));
    EXPECT_EQ(calls(host::fourcc("CDAT")), 2u);
    EXPECT_EQ(host_->project().view.currentDatabase, (host::DatabaseKey{host::kDatabasePlan, {}}));

    EXPECT_FALSE(p.setCurrentDatabase(nullptr));
    EXPECT_TRUE(p.setCurrentWindow(section));
    EXPECT_EQ(p.getCurrentWindow(), section);
}

TEST_F(ProjectTest, CachesNothingWhenTheHostRefusesASwitch) {
    tarnwick::Project& p = project();
    tarnwick::Section* section = p.getSection(0);
    host_->injectFault({host::HostSlot::database, host::fourcc("CDAT")}, 1, host::kErrBadIndex);
    EXPECT_FALSE(p.setCurrentDatabase(section));
    EXPECT_EQ(p.getCurrentDatabase(), &p.getPlan());
    host_->clearCalls();
    EXPECT_TRUE(p.setCurrentDatabase(section)) << "asked again, not taken as done";
    EXPECT_EQ(calls(host::fourcc("CDAT")), 1u);

    host_->injectFault({host::HostSlot::database, host::fourcc("GDAT")}, 1, host::kErrGeneral);
    EXPECT_EQ(p.getCurrentDatabase(), nullptr);
    host_->injectFault({host::HostSlot::automation, host::fourcc("CHWD")}, 1, host::kErrGeneral);
    EXPECT_FALSE(p.setCurrentWindow(section));
    EXPECT_EQ(p.getCurrentWindow(), &p.getPlan());
}

TEST_F(ProjectTest, MakesLayoutsAndWorksheetsOnlyOutsideAHostCommand) {
    tarnwick::Project& p = project();
    const Guid master = viewGuid(host::kDatabaseMasterLayout);
    tarnwick::Layout* layout = p.newLayout("Sheet 02", master, "A-02");
    ASSERT_NE(layout, nullptr);
    EXPECT_EQ(p.getLayoutCount(), 3);
    EXPECT_EQ(p.getLayout(layout->getGuid()), layout);
    EXPECT_EQ(layout->getName(), "Sheet 02");
    EXPECT_EQ(layout->getMasterId().getGuid(), master);
    EXPECT_EQ(layout->getLayoutName(), "A-02");

    tarnwick::Worksheet* sheet = p.newWorksheet("Notes", "W-2");
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(p.getWorksheetCount(), 2);
    EXPECT_EQ(sheet->getReference(), "W-2");

    // Inside a command they are refused without asking the host.
    host_->clearCalls();
    EXPECT_EQ(inCommand([&] { return p.newLayout("Late", master, "") == nullptr; }), 0u);
    EXPECT_EQ(inCommand([&] { return p.newWorksheet("Late", "") == nullptr; }), 0u);
    EXPECT_EQ(calls(host::fourcc("NDAT")), 0u);

    // And a failing host makes nothing.
    host_->injectFault({host::HostSlot::database, host::fourcc("NDAT")}, 0, host::kErrGeneral);
    EXPECT_EQ(p.newLayout("Failed", master, ""), nullptr);
    EXPECT_EQ(p.newWorksheet("Failed", ""), nullptr);
    host_->clearFaults();
    EXPECT_EQ(p.getLayoutCount(), 3);

    EXPECT_TRUE(p.deleteLayout(layout->getGuid()));
    EXPECT_EQ(p.getLayoutCount(), 2);
    EXPECT_FALSE(p.deleteLayout(Guid::generate()));
}

TEST_F(ProjectTest, KnowsTheMembersOfASharedProjectOnly) {
    tarnwick::Project& p = project();
    host_->clearCalls();
    EXPECT_FALSE(p.isShared());
    EXPECT_EQ(p.getUserCount(), 0);
    EXPECT_EQ(p.getUser(0), nullptr);
    EXPECT_EQ(host_->countCalls(host::HostSlot::environment, host::fourcc("SHAR")), 0u);

    share(1);
    tarnwick::HostProject::reset();   // as the host facade does when another project opens
    EXPECT_TRUE(p.isShared());
    ASSERT_EQ(p.getUserCount(), 2);
    EXPECT_EQ(p.getUser(0)->getName(), "Ann Smith");
    EXPECT_EQ(p.getUser(0)->getSecondName(), "ann");
    EXPECT_EQ(p.getUser(0)->getMemberId(), 1);
    EXPECT_EQ(p.getUser(0)->getSecondValue(), 7);
    EXPECT_TRUE(p.getUser(0)->getGuid().isValid());
    EXPECT_EQ(p.getUser(1)->getName(), "Bob Jones");
    EXPECT_EQ(p.getUser(2), nullptr);
    EXPECT_EQ(p.getUser(-1), nullptr);
}

TEST_F(ProjectTest, GivesTheCurrentMemberOnceUntilTheHostFacadeIsReset) {
    using tarnwick::Host;
    Host::reset();   // no member of an earlier test's project
    const tarnwick::User* user = Host::getUser();
    ASSERT_NE(user, nullptr);
    EXPECT_EQ(user->getMemberId(), 0);   // not shared
    share(2);
    host_->clearCalls();
    EXPECT_EQ(Host::getUser(), user);   // kept: the host is not asked again
    EXPECT_EQ(host_->countCalls(host::HostSlot::environment, host::fourcc("PROJ")), 0u);

    Host::reset();
    user = Host::getUser();
    ASSERT_NE(user, nullptr);
    EXPECT_EQ(user->getMemberId(), 2);
    EXPECT_EQ(user->getName(), "Bob Jones");

    Host::reset();
    host_->project().state.teamwork.memberId = 5;   // not in the member list: only the id is known
    user = Host::getUser();
    ASSERT_NE(user, nullptr);
    EXPECT_EQ(user->getMemberId(), 5);
    EXPECT_EQ(user->getName(), "");

    Host::reset();
    host_->injectFault({host::HostSlot::environment, host::fourcc("PROJ")}, 1, host::kErrGeneral);
    EXPECT_EQ(Host::getUser(), nullptr);
    ASSERT_NE(Host::getUser(), nullptr);   // a failure is not kept
    EXPECT_EQ(Host::getUser()->getMemberId(), 5);
    Host::reset();
}

TEST_F(ProjectTest, ReservesElementsOnlyWhenNobodyElseHoldsThem) {
    tarnwick::Project& p = project();
    ElementLinkList empty;
    host_->clearCalls();
    EXPECT_TRUE(p.reserveElements(empty));
    EXPECT_TRUE(p.releaseElements(empty));
    EXPECT_EQ(host_->countCalls(host::HostSlot::reserveElements) +
                  host_->countCalls(host::HostSlot::releaseElements),
              0u);

    share(1);
    // Object 1 is held by the other member.
    host::SimElement& held = *host_->project().findElement(guidOf(1));
    host::ElementHead head = held.head();
    head.ownerId = 2;
    held.setHead(head);

    ElementLinkList free;
    free.append(ElementLink(tarnwickGuid(0), &plan()));
    EXPECT_TRUE(p.reserveElements(free));
    EXPECT_EQ(simElement(0).head().ownerId, 1);
    EXPECT_TRUE(p.releaseElements(free));
    EXPECT_EQ(simElement(0).head().ownerId, 0);

    ElementLinkList both;
    both.appendCopies(free);
    both.append(ElementLink(tarnwickGuid(1), &plan()));
    EXPECT_FALSE(p.reserveElements(both)) << "a conflict fails the reservation";
    EXPECT_EQ(simElement(1).head().ownerId, 2);

    host_->project().state.teamwork.connected = false;
    EXPECT_FALSE(p.isTeamworkConnected());
    EXPECT_FALSE(p.reserveElements(free));
}

TEST_F(ProjectTest, KeepsUserDataWithAToolDefault) {
    tarnwick::Project& p = project();
    const ElementLink object(host::kElementObject, 3);
    auto none = p.getDefaultUserData(object);
    ASSERT_NE(none, nullptr) << "no user data is an answer, not a failure";
    EXPECT_FALSE(none->holdsBytes());

    tarnwick::MemoryBlock block(tarnwick::ptrToHandle("xyz", 3));
    EXPECT_TRUE(p.setDefaultUserData(object, &block, false, 12, 2, host::kPlatformSignWindows));
    std::uint32_t flags = 0;
    std::uint16_t version = 0;
    std::uint16_t platform = 0;
    auto stored = p.getDefaultUserData(object, &flags, &version, &platform);
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(std::string(stored->getBytes(), stored->getSize()), "xyz");
    EXPECT_EQ(flags, 12u);
    EXPECT_EQ(version, 2);
    EXPECT_EQ(platform, host::kPlatformSignWindows);
    EXPECT_EQ(p.getDefaultUserData(ElementLink(host::kElementObject, 4))->getSize(), 0u) << "per variation";

    // An empty block removes the user data unless it is to be kept.
    tarnwick::MemoryBlock emptyBlock;
    EXPECT_TRUE(p.setDefaultUserData(object, &emptyBlock, false, 0, 1, host::kPlatformSignWindows));
    EXPECT_FALSE(p.getDefaultUserData(object)->holdsBytes());
    EXPECT_TRUE(p.setDefaultUserData(object, nullptr, true, 0, 1, host::kPlatformSignWindows));

    host_->injectFault({host::HostSlot::getElementUserData, std::nullopt}, 1, host::kErrGeneral);
    EXPECT_EQ(p.getDefaultUserData(object), nullptr);
}

TEST_F(ProjectTest, LoadsTheDefaultsOfTheCurrentToolWhenTheTypeIsNotKnown) {
    tarnwick::Project& p = project();
    host_->project().view.toolType = host::kElementLamp;
    host_->project().view.toolVariation = 9;
    host::SimToolDefault lamp;
    host::ElementHead head{};
    head.type = host::kElementLamp;
    head.variation = 9;
    head.layer = 4;
    std::memcpy(lamp.record.data(), &head, sizeof head);
    lamp.memo.parts[offsetof(host::ElementMemo, parameters)] = {'d'};
    host_->project().state.defaults[{host::kElementLamp, 9}] = lamp;

    const auto before = host::memoryStats();
    ElementLink link;
    host::ElementRecord record{};
    ASSERT_TRUE(p.loadDefaults(link, record, nullptr));
    EXPECT_EQ(link.getTypeByte(), host::kElementLamp);
    EXPECT_EQ(link.getVariation(), 9);
    EXPECT_EQ(record.head.layer, 4);
    EXPECT_EQ(host::memoryStats().liveHandles, before.liveHandles) << "the memo nobody asked for is released";

    tarnwick::ElementMemoStore memo;
    ElementLink door(host::kElementDoor, 1);
    ASSERT_TRUE(p.loadDefaults(door, record, memo.getMemo()));
    EXPECT_EQ(record.head.type, host::kElementDoor);

    host_->injectFault({host::HostSlot::environment, host::fourcc("GTBX")}, 1, host::kErrGeneral);
    ElementLink unknown;
    EXPECT_FALSE(p.loadDefaults(unknown, record, nullptr));
}

TEST_F(ProjectTest, MakesAnElementOfAToolDefaultWithItsMemoAndUserData) {
    registerRecordElements();
    host::SimToolDefault lamp;
    host::ElementHead head{};
    head.type = host::kElementLamp;
    head.variation = 9;
    head.layer = 4;
    std::memcpy(lamp.record.data(), &head, sizeof head);
    lamp.memo.parts[offsetof(host::ElementMemo, parameters)] = {'d', '2'};
    lamp.userData = host::SimUserData{5, host::kPlatformSignMac, 3, {'u'}};
    host_->project().state.defaults[{host::kElementLamp, 9}] = lamp;

    const auto before = host::memoryStats();
    {
        std::unique_ptr<tarnwick::Element> element = project().makeDefaultElement(host::kElementLamp, 9);
        ASSERT_NE(element, nullptr);
        auto* record = dynamic_cast<RecordElement*>(element.get());
        ASSERT_NE(record, nullptr);
        EXPECT_EQ(record->getTypeRecord().layer, 4);
        EXPECT_FALSE(element->getGuid().isValid()) << "a default, not a placed element";
        EXPECT_EQ(record->parameters(), "d2");
        auto data = element->getUserData();
        ASSERT_NE(data, nullptr);
        EXPECT_EQ(std::string(data->getBytes(), data->getSize()), "u");
        EXPECT_EQ(element->getUserDataVersion(), 5u);
        EXPECT_EQ(element->getUserDataFlags(), 3u);
    }
    EXPECT_EQ(host::memoryStats().liveHandles, before.liveHandles);
    EXPECT_EQ(project().makeDefaultElement(2, 0), nullptr) << "no creator for walls";
}

TEST_F(ProjectTest, MakesAnElementOfAToolDefaultWithTheDefaultsPropertiesAndClassifications) {
    classifyDoors();
    fileDoorDefault();
    host::SimElementData& held = host_->project().state.ifc.defaults[{host::kElementDoor, 7}];
    held.classifications = {doorItem_};
    host::SimPropertyValue value;
    value.single.type = host::kVariantString;
    value.single.text = "EI60";
    held.propertyValues = {{fireRating_, value}};

    const std::unique_ptr<tarnwick::Element> element = project().makeDefaultElement(host::kElementDoor, 7);
    ASSERT_NE(element, nullptr);
    EXPECT_TRUE(
        dynamic_cast<tarnwick::ClassificationMemo&>(*element).hasItem(Guid(host::toGuidRecord(doorItem_))));
    const tarnwick::Setting* rating = dynamic_cast<tarnwick::PropertyMemo&>(*element).getValue(
        tarnwick::PropertyLink(Guid(host::toGuidRecord(fireRating_))), 0);
    ASSERT_NE(rating, nullptr);
    EXPECT_EQ(rating->getText(), "EI60");
}

TEST_F(ProjectTest, CommitsAnElementAndSaysWhenItsPropertiesOrClassificationsWereRefused) {
    classifyDoors();
    // The door gains this item below: storing its classifications must add it.
    const host::GuidBytes entrance = addSecondSystemItem();
    host::SimIFCState& ifc = host_->project().state.ifc;
    const struct {
        host::HostSlot slot;
        bool properties, classifications, committed;
    } cases[] = {{host::HostSlot::setElementProperties, true, false, false},
                 {host::HostSlot::setElementProperties, false, true, true},   // not asked to store them
                 {host::HostSlot::addElementClassification, false, true, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(host::hostSlotName(c.slot));
        ifc.elements[guidOf(kDoorIndex)].classifications = {doorItem_};
        const std::unique_ptr<tarnwick::Element> door =
            plan().getElement(ElementLink(tarnwickGuid(kDoorIndex), &plan()));
        ASSERT_NE(door, nullptr);
        ASSERT_TRUE(dynamic_cast<tarnwick::PropertyMemo&>(*door).setValue(
            tarnwick::StringSetting("EI90"), tarnwick::PropertyLink(Guid(host::toGuidRecord(fireRating_))),
            0));
        ASSERT_TRUE(
            dynamic_cast<tarnwick::ClassificationMemo&>(*door).add(Guid(host::toGuidRecord(entrance))));
        host_->injectFault({c.slot, std::nullopt}, 0, host::kErrGeneral);
        bool committed = false;
        inCommand([&] {
            committed = project().commitElement(*door, false, c.properties, c.classifications);
            return true;
        });
        host_->clearFaults();
        EXPECT_EQ(committed, c.committed);
    }
}

TEST_F(ProjectTest, CommitsAToolDefaultWithItsPropertiesAndClassificationsToTheDefault) {
    classifyDoors();
    const host::GuidBytes entrance = addSecondSystemItem();
    fileDoorDefault();
    host_->project().state.ifc.defaults[{host::kElementDoor, 7}].classifications = {doorItem_};

    const std::unique_ptr<tarnwick::Element> element = project().makeDefaultElement(host::kElementDoor, 7);
    ASSERT_NE(element, nullptr);
    ASSERT_TRUE(dynamic_cast<tarnwick::PropertyMemo&>(*element).setValue(
        tarnwick::StringSetting("EI90"), tarnwick::PropertyLink(Guid(host::toGuidRecord(fireRating_))), 0));
    ASSERT_TRUE(
        dynamic_cast<tarnwick::ClassificationMemo&>(*element).add(Guid(host::toGuidRecord(entrance))));
    bool committed = false;
    inCommand([&] { return committed = project().commitElement(*element, false, true, true), true; });
    EXPECT_TRUE(committed);

    const host::SimElementData* held = host_->project().state.ifc.defaults.find({host::kElementDoor, 7});
    ASSERT_NE(held, nullptr);
    EXPECT_EQ(held->classifications, (std::vector<host::GuidBytes>{doorItem_, entrance}));
    ASSERT_EQ(held->propertyValues.size(), 1u);
    EXPECT_EQ(held->propertyValues[0].value.single.text, "EI90");
}

TEST_F(ProjectTest, OpensTheProjectFileOnlyWhenThereIsOne) {
    EXPECT_EQ(project().getProjectFile(), nullptr);
    host_->project().filePath = (folder_ / "Fixture.json").string();
    auto file = project().getProjectFile();
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(file->getName(), "Fixture.json");
}

TEST_F(ProjectTest, ResetClearsWhatWasMadeOnFirstUseAndKeepsTheProject) {
    tarnwick::Project* p = &project();
    tarnwick::Plan* planBefore = &p->getPlan();
    ASSERT_EQ(p->getSectionCount(), 1);
    EXPECT_EQ(p->getUserCount(), 0);
    share(1);
    EXPECT_EQ(p->getUserCount(), 0) << "read while the project was not shared";

    // The host gets another section meanwhile; only a reset shows it.
    host::SimDatabase another;
    another.type = host::kDatabaseSection;
    another.guid = host::newGuidBytes();
    host_->project().state.databases.push_back(another);
    EXPECT_EQ(p->getSectionCount(), 1);
    int kept = 0;
    EXPECT_EQ(p->getScratchCell(), nullptr);
    p->getScratchCell() = &kept;
    EXPECT_EQ(p->getScratchCell(), &kept);
    const std::uint32_t definitions = tarnwick::PropertyDatabase::definitionGeneration();

    tarnwick::HostProject::reset();
    // Property definitions cached anywhere are read again, though nobody asked for the database yet.
    EXPECT_NE(tarnwick::PropertyDatabase::definitionGeneration(), definitions);
    EXPECT_EQ(tarnwick::HostProject::getProject(), p);
    EXPECT_EQ(p->getScratchCell(), nullptr);
    EXPECT_EQ(&p->getPlan(), planBefore);
    host_->clearCalls();
    EXPECT_EQ(p->getSectionCount(), 2);
    EXPECT_EQ(calls(host::fourcc("GSDI")), 1u);
    EXPECT_EQ(p->getUserCount(), 2);
}

TEST_F(ProjectTest, HasNoProjectWhileTheHostHasNoneOpen) {
    using tarnwick::Host;
    using tarnwick::HostProject;
    tarnwick::Project* before = &project();
    const ElementLink link(tarnwickGuid(0), &plan());
    ASSERT_EQ(link.getDrawing(), &plan());
    host_->closeProject();
    Host::reset();   // what the add-on does when it hears of the closing
    host_->clearCalls();
    EXPECT_EQ(Host::getProject(), nullptr);
    EXPECT_EQ(Host::getProject(), nullptr);
    const auto asked = [&] { return host_->countCalls(host::HostSlot::environment, host::fourcc("PROJ")); };
    EXPECT_EQ(asked(), 2u) << "asked each time while there is none";
    EXPECT_EQ(Host::getPlan(), nullptr);
    EXPECT_EQ(Host::getSpecification(), nullptr);
    EXPECT_EQ(Host::getLibrary(), nullptr);
    EXPECT_EQ(Host::getPropertyDatabase(), nullptr);
    EXPECT_EQ(Host::getClassificationDatabase(), nullptr);
    EXPECT_EQ(Host::getCurrentDatabase(), nullptr);
    EXPECT_FALSE(Host::setCurrentDatabase(before->getSection(0)));
    EXPECT_FALSE(Host::setCurrentWindow(before->getSection(0)));
    EXPECT_EQ(link.getDrawing(), nullptr);
    EXPECT_EQ(link.getLocation().getStorey(), nullptr);
    EXPECT_EQ(Host::getUser(), nullptr);
    EXPECT_FALSE(Host::getString(32700, 17).isEmpty()) << "the host's own texts stay";

    host_->openProject();
    Host::reset();
    host_->clearCalls();
    EXPECT_EQ(Host::getProject(), before);
    EXPECT_EQ(Host::getPlan(), &before->getPlan());
    EXPECT_EQ(link.getDrawing(), &before->getPlan());
    EXPECT_EQ(asked(), 1u) << "asked once while it stays open";
}

TEST_F(ProjectTest, GivesTheProjectThroughTheHostFacade) {
    EXPECT_EQ(tarnwick::HostProject::getPlan(), &plan());
    EXPECT_EQ(tarnwick::HostProject::getCurrentDatabase(), &plan());
    tarnwick::Section* section = project().getSection(0);
    EXPECT_TRUE(tarnwick::HostProject::setCurrentDatabase(section));
    EXPECT_EQ(tarnwick::HostProject::getCurrentDatabase(), section);
    EXPECT_TRUE(tarnwick::HostProject::setCurrentWindow(section));

    host_->project().view.toolType = host::kElementDoor;
    host_->project().view.toolVariation = 5;
    auto tool = tarnwick::HostProject::getCurrentTool();
    ASSERT_NE(tool, nullptr);
    EXPECT_EQ(tool->getTypeId(), host::kElementDoor);
    EXPECT_EQ(tool->getVariation(), 5);
    host_->injectFault({host::HostSlot::environment, host::fourcc("GTBX")}, 1, host::kErrGeneral);
    EXPECT_EQ(tarnwick::HostProject::getCurrentTool(), nullptr);

    const host::GuidBytes active = host::newGuidBytes();
    host_->project().state.activeRenovationFilter = active;
    EXPECT_EQ(tarnwick::Host::getActiveRenovationFilter(), Guid(host::toGuidRecord(active)));
    host_->injectFault({host::HostSlot::environment, host::fourcc("GARF")}, 1, host::kErrGeneral);
    EXPECT_FALSE(tarnwick::Host::getActiveRenovationFilter().isValid());
}

}   // namespace
