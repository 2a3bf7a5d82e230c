// Objects, lamps, doors and windows on a fixture project (kinds.json): made by their creators, switched
// to another library part and written back, with the faults a switch can meet.
#include <algorithm>
#include <cmath>
#include <fstream>
#include <numbers>
#include <sstream>
#include <utility>

#include <gtest/gtest.h>

#include <HostDialogs.h>
#include <HostElementRecords.h>
#include <HostMemory.h>
#include <HostResult.h>

#include "Elements/Door.h"
#include "Elements/Gable.h"
#include "Elements/Joinery.h"
#include "Elements/Lamp.h"
#include "Elements/Object.h"
#include "Elements/Window.h"
#include "Environment/Host.h"
#include "Foundation/StringSetting.h"
#include "Foundation/TracedException.h"
#include "Geometry/CadPolygon.h"
#include "Geometry/Cube.h"
#include "IFC/IFCAttribute.h"
#include "IFC/IFCProperty.h"
#include "IFC/PropertyMemo.h"
#include "IFC/PropertyName.h"
#include "LibraryParts/Parameter.h"
#include "LibraryParts/ParameterList.h"
#include "Project/AttributeFixture.h"
#include "Project/ElementMemoStore.h"
#include "Project/Finish.h"
#include "Project/Library.h"
#include "Project/LineStyle.h"
#include "Project/Material.h"
#include "Project/Pen.h"
#include "Project/Plan.h"
#include "Project/Storey.h"

namespace {

using tarnwick::ComponentElem;
using tarnwick::ComponentLink;
using tarnwick::Drawing;
using tarnwick::Element;
using tarnwick::ElementLink;

constexpr int kChair = 0, kDoor = 1, kWindow = 2, kLamp = 3, kMissing = 4;   // elements of kinds.json
constexpr std::int32_t kTable = 2, kDoorB = 4, kWindowB = 6, kLampB = 8;     // library indices

class ElementKindsTest : public AttributeFixture {
protected:
    void SetUp() override {
        AttributeFixture::SetUp();
        std::ifstream file(std::string(TEST_SOURCE_DIR) + "/kinds.json");
        std::stringstream text;
        text << file.rdbuf();
        std::string error;
        ASSERT_TRUE(host_->project().loadText(text.str(), error)) << error;
        tarnwick::Library::registerCreators();   // the parts' sources, as the framework's start files them
        Drawing::unregisterCreators();
        Drawing::registerCreators();
        Drawing::registerCreator(tarnwick::Door::kType, &tarnwick::Door::create, false);
        Drawing::registerCreator(tarnwick::Window::kType, &tarnwick::Window::create, false);
        Drawing::registerCreator(tarnwick::Lamp::kType, &tarnwick::Lamp::create, false);
    }

    void TearDown() override {
        tarnwick::Library::unregisterCreators();
        AttributeFixture::TearDown();
    }

    const host::SimElement& sim(int index) const {
        return std::as_const(host_->project()).state.elements[static_cast<std::size_t>(index)];
    }
    std::unique_ptr<ComponentElem> element(int index) {
        const tarnwick::Guid guid(host::toGuidRecord(sim(index).guid()));
        auto made = plan().getElement(ElementLink(guid, &plan()));
        return std::unique_ptr<ComponentElem>(dynamic_cast<ComponentElem*>(made.release()));
    }
    // What a replacement does: take the part, carrying the parameters across, and write the element.
    bool switchPart(ComponentElem& target, std::int32_t index, std::uint32_t type) {
        return inCommand([&] {
                   return target.setComponent(ComponentLink(index, type, project().getLibrary()), false,
                                              true) &&
                          plan().storeElement(target, /*create=*/false, /*withMemo=*/true);
               }) == host::kNoError;
    }
    // Classifies the chair with an item for elements that makes the text property "Finish" of the
    // group "Fittings" available; the item's guid.
    host::SimGuid classifyChair() {
        host::SimIFCState& ifc = host_->project().state.ifc;
        host::SimClassificationSystem system;
        system.guid = host::newGuidBytes();
        system.name = "Uniclass";
        const host::GuidBytes furniture = host::newGuidBytes();
        system.topItems = {furniture};
        ifc.classificationItems[furniture] = {
            system.guid, {}, "FF", "Furniture", "", host::kClassificationForElements, {}};
        ifc.classificationSystems.edit().push_back(system);
        const host::SimPropertyGroup group{host::newGuidBytes(), host::kPropertyUserDefined, "Fittings"};
        ifc.propertyGroups.edit().push_back(group);
        host::SimPropertyDefinition finish;
        finish.guid = host::newGuidBytes();
        finish.group = group.guid;
        finish.name = "Finish";
        finish.collection = host::kPropertySingle;
        finish.valueType = host::kVariantString;
        finish.availability = {furniture};
        ifc.propertyDefinitions.edit().push_back(finish);
        host::SimElementData data;
        data.classifications = {furniture};
        ifc.elements[sim(kChair).guid()] = data;
        return furniture;
    }

    template <typename T>
    static T field(const host::SimElement& element, std::size_t offset) {
        T value;
        std::memcpy(&value, element.record.data() + offset, sizeof value);
        return value;
    }
    static std::string parameterText(const host::SimElement& element, const char* name) {
        if (!element.memo.parameters) return "<none>";
        for (const host::SimParameter& parameter : *element.memo.parameters)
            if (std::string(parameter.head().name) == name) {
                const host::ParameterRecord head = parameter.head();
                if (head.type == host::kParameterString) {
                    std::string text;
                    for (char16_t c : head.value.text) {
                        if (c == 0) break;
                        text += static_cast<char>(c);
                    }
                    return text;
                }
                std::ostringstream number;
                number << head.value.real;
                return number.str();
            }
        return "<missing>";
    }
};

TEST_F(ElementKindsTest, CreatorsMakeEachKindAndOnlyTheirOwn) {
    EXPECT_NE(dynamic_cast<tarnwick::Object*>(element(kChair).get()), nullptr);
    EXPECT_NE(dynamic_cast<tarnwick::Door*>(element(kDoor).get()), nullptr);
    EXPECT_NE(dynamic_cast<tarnwick::Window*>(element(kWindow).get()), nullptr);
    auto lamp = element(kLamp);
    ASSERT_NE(dynamic_cast<tarnwick::Lamp*>(lamp.get()), nullptr);
    EXPECT_NE(dynamic_cast<tarnwick::Lamp*>(lamp->clone().get()), nullptr);
    host::ElementRecord window{};
    window.head.type = host::kElementWindow;
    ElementLink link;
    EXPECT_EQ(tarnwick::Door::create(window, link), nullptr);
    EXPECT_EQ(tarnwick::Lamp::create(window, link), nullptr);
    EXPECT_EQ(tarnwick::Object::create(window, link), nullptr);
    EXPECT_NE(tarnwick::Window::create(window, link), nullptr);
    host::ElementRecord door{};
    door.head.type = host::kElementDoor;
    EXPECT_EQ(tarnwick::Window::create(door, link), nullptr);
    host::ElementRecord object{};
    object.head.type = host::kElementObject;
    EXPECT_EQ(tarnwick::Lamp::create(object, link), nullptr);
    // A lamp of a part carries the part's index, whatever the host's defaults hold.
    const tarnwick::Lamp made(ComponentLink(kLampB, host::kLibraryLamp, project().getLibrary()), 0);
    EXPECT_EQ(made.getLibraryIndex(), kLampB);
    const tarnwick::Object byIndex(kTable, nullptr, 0);   // of the project's library
    EXPECT_EQ(byIndex.getLibraryIndex(), kTable);
    EXPECT_EQ(byIndex.getComponentLink().getLibrary(), project().getLibrary());
}

// A new lamp reads an object's defaults first, as every object for a part does, then its own over them.
TEST_F(ElementKindsTest, ANewLampReadsAnObjectsDefaultsAndThenItsOwn) {
    const ComponentLink part(kLampB, host::kLibraryLamp, project().getLibrary());
    const auto asked = [&](host::HostSlot slot) { return host_->countCalls(slot); };
    for (const bool ofPart : {true, false}) {
        SCOPED_TRACE(ofPart);
        host_->clearCalls();
        const tarnwick::Lamp made = ofPart ? tarnwick::Lamp(part, 0) : tarnwick::Lamp(/*withMemo=*/false);
        EXPECT_EQ(asked(host::HostSlot::getElementDefaults), 2u);
        if (!ofPart) continue;
        EXPECT_EQ(asked(host::HostSlot::getLibraryPartDetails), 1u);   // the object's step
        tarnwick::Lamp own(made);
        own.loadDefaults();
        EXPECT_EQ(
            std::memcmp(own.getHostElement().get(), made.getHostElement().get(), sizeof(host::ElementRecord)),
            0);
    }
}

TEST_F(ElementKindsTest, AnObjectForAPartTakesItsFixedSizeFlagFromThePartsDetails) {
    std::vector<unsigned char>& details = host_->project().state.libraryParts[kTable - 1].details;
    details = {1};
    EXPECT_TRUE(tarnwick::Object(kTable, nullptr, 0).isOptionE());
    // Details the host refuses cannot say how the part sizes it: no settings, as refused defaults give.
    host_->injectFault({host::HostSlot::getLibraryPartDetails, std::nullopt}, 1, host::kErrGeneral);
    EXPECT_EQ(tarnwick::Object(kTable, nullptr, 0).getTypeRecord().type, 0);
    details.clear();
    EXPECT_FALSE(tarnwick::Object(kTable, nullptr, 0).isOptionE());
    EXPECT_TRUE(tarnwick::Object(ComponentLink(), 0).isOptionE());   // no part: fixed sizes
}

TEST_F(ElementKindsTest, AnObjectsOutlineIsItsSizeTurnedByItsAngleAboutTheCentreOfItsBox) {
    auto chair = element(kChair);
    chair->setWidth(0.8);   // "A" and "B": the box stays the placed one's
    chair->setDepth(0.4);
    const std::unique_ptr<tarnwick::Cube> box = chair->getBounds(true);
    ASSERT_NE(box, nullptr);
    const std::unique_ptr<tarnwick::CadPolygon> outline = chair->getOutline();
    ASSERT_NE(outline, nullptr);
    EXPECT_NEAR(outline->getArea(), 0.8 * 0.4, 1e-12);
    EXPECT_NEAR(outline->getCentre().getX(), box->getCentre().getX(), 1e-12);
    EXPECT_NEAR(outline->getCentre().getY(), box->getCentre().getY(), 1e-12);
    const tarnwick::PolyEdge first = outline->getEdge(0);
    EXPECT_NEAR(std::atan2(first.getEnd().getY() - first.getBegin().getY(),
                           first.getEnd().getX() - first.getBegin().getX()),
                chair->getAngle(), 1e-12);
    EXPECT_NEAR(first.getChordLength(), 0.8, 1e-12);
    host_->injectFault({host::HostSlot::database, host::fourcc("CABO")}, 1, host::kErrGeneral);
    EXPECT_EQ(chair->getOutline(), nullptr);

    // A redraw is asked for a placed element only.
    EXPECT_TRUE(chair->refreshHost());
    EXPECT_EQ(host_->countCalls(host::HostSlot::database, host::fourcc("RFSH")), 1u);
    EXPECT_FALSE(tarnwick::Object(kTable, nullptr, 0).refreshHost());
}

TEST_F(ElementKindsTest, SwitchingThePartKeepsPlacementAndCarriesSharedValues) {
    // The chair on the first storey becomes a table: position, angle and elevation stay, the shared
    // "legs" keeps the chair's 5, the table's own "top" comes in, the chair's "cushion" goes.
    auto chair = element(kChair);
    const double elevation = chair->getElevation(true);
    EXPECT_DOUBLE_EQ(elevation, 3.25);   // 0.25 above a storey at 3.0
    ASSERT_TRUE(switchPart(*chair, kTable, host::kLibraryObject));
    const host::SimElement& stored = sim(kChair);
    EXPECT_EQ(field<std::int32_t>(stored, host::kObjectLibraryIndexOffset), kTable);
    EXPECT_DOUBLE_EQ(field<double>(stored, host::kObjectPositionOffset), 2.0);
    EXPECT_DOUBLE_EQ(field<double>(stored, host::kObjectAngleOffset), 0.5);
    EXPECT_DOUBLE_EQ(field<double>(stored, host::kObjectElevationOffset), 0.25);
    EXPECT_DOUBLE_EQ(chair->getElevation(true), elevation);
    EXPECT_EQ(parameterText(stored, "legs"), "5");
    EXPECT_EQ(parameterText(stored, "top"), "oak");
    EXPECT_EQ(parameterText(stored, "cushion"), "<missing>");
    EXPECT_EQ(parameterText(stored, "A"), "1.2");   // the sizes take the new part's defaults

    auto door = element(kDoor);
    ASSERT_TRUE(switchPart(*door, kDoorB, host::kLibraryDoor));
    EXPECT_EQ(field<std::int32_t>(sim(kDoor), host::kOpeningLibraryIndexOffset), kDoorB);
    EXPECT_DOUBLE_EQ(field<double>(sim(kDoor), host::kOpeningPositionOffset), 1.0);
    EXPECT_EQ(parameterText(sim(kDoor), "handle"), "pull");

    auto window = element(kWindow);
    EXPECT_DOUBLE_EQ(window->getElevation(true), 3.9);   // 0.9 in its wall on a storey at 3.0
    ASSERT_TRUE(switchPart(*window, kWindowB, host::kLibraryWindow));
    EXPECT_EQ(field<std::int32_t>(sim(kWindow), host::kOpeningLibraryIndexOffset), kWindowB);
    EXPECT_DOUBLE_EQ(field<double>(sim(kWindow), host::kOpeningElevationOffset), 0.9);

    auto lamp = element(kLamp);
    ASSERT_TRUE(switchPart(*lamp, kLampB, host::kLibraryLamp));
    EXPECT_EQ(field<std::int32_t>(sim(kLamp), host::kObjectLibraryIndexOffset), kLampB);
    EXPECT_DOUBLE_EQ(field<double>(sim(kLamp), host::kObjectAngleOffset), 1.0);
    EXPECT_EQ(parameterText(sim(kLamp), "watts"), "75");
}

TEST_F(ElementKindsTest, AnOpeningOfNoSizeSwitchedToAnotherPartTakesThatPartsSize) {
    host::SimElement& stored = host_->project().state.elements[kDoor];
    const double none = 0.0;
    for (const std::size_t offset : {host::kOpeningWidthOffset, host::kOpeningHeightOffset})
        std::memcpy(stored.record.data() + offset, &none, sizeof none);
    auto door = element(kDoor);
    ASSERT_TRUE(switchPart(*door, kDoorB, host::kLibraryDoor));
    EXPECT_DOUBLE_EQ(field<double>(sim(kDoor), host::kOpeningWidthOffset), 1.0);    // Door B's "A"
    EXPECT_DOUBLE_EQ(field<double>(sim(kDoor), host::kOpeningHeightOffset), 2.2);   // and "ZZYZX"
}

TEST_F(ElementKindsTest, AMemoThatCannotBeWrittenWholeLeavesNothingBehind) {
    auto chair = element(kChair);
    chair->addGable(std::make_unique<tarnwick::Gable>());
    std::uint64_t mask = 0;
    ASSERT_NE(chair->getMemo(mask), nullptr);
    EXPECT_EQ(mask, ComponentElem::kParameterBit | ComponentElem::kGableBit);
    const host::MemoryStats before = host::memoryStats();
    for (const std::uint64_t nth : {1u, 2u, 3u}) {   // the memo, the gables' handle, the parameters' one
        host::failAllocation(nth);
        EXPECT_THROW(chair->getMemo(mask), tarnwick::TracedException) << nth;
        host::failAllocation(0);
        EXPECT_EQ(host::memoryStats().liveHandles, before.liveHandles) << nth;
        EXPECT_EQ(host::memoryStats().livePtrs, before.livePtrs) << nth;
    }
}

TEST_F(ElementKindsTest, ElementsTakingTheSamePartInOneCommandEachGetItsOwnDefaults) {
    const std::shared_ptr<void> answers = project().keepHostAnswers();
    host_->clearCalls();
    const ComponentLink table(kTable, host::kLibraryObject, project().getLibrary());
    auto first = element(kChair);
    auto second = element(kChair);
    ASSERT_TRUE(first->setComponent(table, false, true));
    first->parameters().ComponentParameterMemo::setWidth(3.0);   // the first one's own change
    ASSERT_TRUE(second->setComponent(table, false, true));
    EXPECT_DOUBLE_EQ(second->parameters().ComponentParameterMemo::getWidth(), 1.2);
    EXPECT_DOUBLE_EQ(first->parameters().ComponentParameterMemo::getWidth(), 3.0);
    for (ComponentElem* taken : {first.get(), second.get()}) {
        EXPECT_NE(taken->getParameters().find("top"), nullptr);
        EXPECT_EQ(taken->getParameters().find("cushion"), nullptr);
        EXPECT_NE(taken->getParameters().find("legs"), nullptr);
    }
    // Once a part for both: the chair's sizes for what the objects keep, the table's defaults.
    EXPECT_EQ(host_->countCalls(host::HostSlot::getLibraryPartParameters), 2u);
}

TEST_F(ElementKindsTest, ANewElementOfAPartListsThePartsParametersAfterItsSizes) {
    // Making the element reads its part's default sizes first; its parameters are read afterwards.
    for (const auto& [index, type] :
         {std::pair{kTable, host::kLibraryObject}, {kDoorB, host::kLibraryDoor}}) {
        SCOPED_TRACE(index);
        const ComponentLink link(index, type, project().getLibrary());
        std::unique_ptr<ComponentElem> made;
        if (type == host::kLibraryObject)
            made = std::make_unique<tarnwick::Object>(link, 0);
        else
            made = std::make_unique<tarnwick::Door>(link);
        const tarnwick::ParameterList& parameters = made->parameters().getParameters();
        EXPECT_EQ(parameters.size(), type == host::kLibraryObject ? 5u : 3u);
        const tarnwick::Parameter* own = parameters.find(type == host::kLibraryObject ? "top" : "handle");
        ASSERT_NE(own, nullptr);
        EXPECT_EQ(own->getText(0, 0), type == host::kLibraryObject ? "oak" : "knob");
    }
}

TEST_F(ElementKindsTest, APartOfAnotherKindNotLoadedOrUnreadIsRefusedAndChangesNothing) {
    const host::ProjectState before = host_->project().state;
    auto chair = element(kChair);
    const std::unique_ptr<host::ElementRecord> chairRecord = chair->getHostElement();
    EXPECT_FALSE(
        chair->setComponent(ComponentLink(kDoorB, host::kLibraryDoor, project().getLibrary()), false, true));
    EXPECT_FALSE(
        chair->setComponent(ComponentLink(77, host::kLibraryObject, project().getLibrary()), false, true));
    auto door = element(kDoor);
    EXPECT_FALSE(door->setComponent(ComponentLink(kWindowB, host::kLibraryWindow, project().getLibrary()),
                                    false, true));
    // A part whose defaults the host fails to give: the old values would stand under the new part.
    host_->injectFault({host::HostSlot::getLibraryPartParameters, std::nullopt}, 0, host::kErrGeneral);
    EXPECT_FALSE(chair->setComponent(ComponentLink(kTable, host::kLibraryObject, project().getLibrary()),
                                     false, true));
    EXPECT_FALSE(
        door->setComponent(ComponentLink(kDoorB, host::kLibraryDoor, project().getLibrary()), false, true));
    host_->clearFaults();
    // A part whose details the host fails to give: whether it sizes its objects by ratio is unknown.
    host_->injectFault({host::HostSlot::getLibraryPartDetails, std::nullopt}, 0, host::kErrGeneral);
    EXPECT_FALSE(chair->setComponent(ComponentLink(kTable, host::kLibraryObject, project().getLibrary()),
                                     false, true));
    host_->clearFaults();
    EXPECT_EQ(std::memcmp(chair->getHostElement().get(), chairRecord.get(), sizeof(host::ElementRecord)), 0);
    EXPECT_EQ(chair->getLibraryIndex(), 1);
    EXPECT_EQ(chair->getComponentLink().getIndex(), 1);
    EXPECT_EQ(door->getLibraryIndex(), 3);
    EXPECT_EQ(door->getComponentLink().getIndex(), 3);
    EXPECT_FALSE(element(kMissing)->hasSource());
    EXPECT_TRUE(element(kMissing)->getSourceName().isEmpty());
    EXPECT_TRUE(element(kMissing)->getSourceTitle().isEmpty());
    EXPECT_EQ(chair->getSourceName(), "{C0000000-0000-4000-8000-000000000001}");
    EXPECT_FALSE(element(kMissing)->isSourceUnread());   // missing is the host's answer, not a failure
    EXPECT_FALSE(chair->setComponent(ComponentLink(kWindowB, host::kLibraryWindow, project().getLibrary()),
                                     false, true));
    EXPECT_EQ(host_->project().state, before);
    // A link of no type is taken as one of the element's own kind.
    ASSERT_TRUE(door->setComponent(ComponentLink(kDoorB, 0, project().getLibrary()), false, true));
    EXPECT_EQ(door->getComponentLink().getType(), host::kLibraryDoor);
    EXPECT_EQ(door->getLibraryIndex(), kDoorB);
}

TEST_F(ElementKindsTest, LockedLayersAndOtherMembersElementsAreNotEditable) {
    host_->project().state.elements[kChair].record[74] = kRoof;   // a locked layer
    host::SimTeamwork& teamwork = host_->project().state.teamwork;
    teamwork.shared = true;
    teamwork.memberId = 1;
    teamwork.members = {host::SimMember{1, 0, "Me", "me", {}}, host::SimMember{2, 0, "Other", "other", {}}};
    const std::int16_t other = 2;
    std::memcpy(host_->project().state.elements[kDoor].record.data() + 78, &other, sizeof other);
    tarnwick::Host::reset();
    EXPECT_FALSE(element(kChair)->isEditable());
    auto door = element(kDoor);
    EXPECT_FALSE(door->isEditable());
    const host::ProjectState before = host_->project().state;
    EXPECT_FALSE(switchPart(*door, kDoorB, host::kLibraryDoor));   // the host refuses: held by another
    EXPECT_EQ(host_->project().state, before);
}

TEST_F(ElementKindsTest, AFaultOnAnyHostCallOfASwitchLeavesTheElementAsItWas) {
    const host::SimElement original = sim(kChair);
    for (std::uint64_t n = 1;; ++n) {
        SCOPED_TRACE(n);
        host_->project().state.elements[kChair] = original;
        const std::size_t liveBefore = host::memoryStats().liveHandles;
        auto chair = element(kChair);
        host_->clearCalls();
        host_->injectFault({}, n, host::kErrBadIndex);
        const bool switched = switchPart(*chair, kTable, host::kLibraryObject);
        host_->clearFaults();
        const std::size_t calls = host_->calls().size();
        const host::SimElement& now = sim(kChair);
        if (switched) {   // whatever failed on the way, what was written is the whole switch
            EXPECT_EQ(field<std::int32_t>(now, host::kObjectLibraryIndexOffset), kTable);
            EXPECT_EQ(parameterText(now, "legs"), "5");
        } else {
            EXPECT_EQ(now, original);
        }
        chair.reset();
        EXPECT_EQ(host::memoryStats().liveHandles, liveBefore)
            << "handles left behind " << (n <= calls ? host::hostSlotName(host_->calls()[n - 1].slot) : "")
            << " " << (n <= calls ? host_->calls()[n - 1].code : 0);
        if (calls < n) break;   // the fault fell past the last call
        ASSERT_LT(n, 500u);
    }
}

TEST_F(ElementKindsTest, AppliedChangesTakeTheChangedFieldsAndReadTheIFCDataWithoutCopyingIt) {
    // The chair carries an IFC property that the lamp lacks; the chair, turned, is applied to the lamp.
    host::SimIFCProperty colour;
    colour.set = "Pset_A";
    colour.name = "Colour";
    colour.single = {0, 0, 0, false, "Red", "IfcLabel"};
    host::SimElementData chairData;
    chairData.properties = {colour};
    host_->project().state.ifc.elements[sim(kChair).guid()] = chairData;
    host::SimElementData lampData;
    lampData.attributes = {{"Name", "IfcLabel", "Desk Lamp", true, 0}};
    host_->project().state.ifc.elements[sim(kLamp).guid()] = lampData;

    auto older = element(kChair);
    auto newer = older->clone();
    auto lamp = element(kLamp);
    ASSERT_NE(lamp, nullptr);
    auto& turned = dynamic_cast<tarnwick::Object&>(*newer);
    auto& target = dynamic_cast<tarnwick::Lamp&>(*lamp);
    turned.setAngle(1.0);
    const double elevation = lamp->getElevation(false);
    host_->clearCalls();
    lamp->applyChanges(*newer, *older);
    EXPECT_DOUBLE_EQ(lamp->getAngle(), 1.0);
    EXPECT_DOUBLE_EQ(lamp->getElevation(false), elevation);   // unchanged in the chair: the lamp's own
    EXPECT_EQ(lamp->getLibraryIndex(), field<std::int32_t>(sim(kLamp), host::kObjectLibraryIndexOffset));
    // All three read their IFC data; the lamp keeps its own.
    EXPECT_EQ(host_->countCalls(host::HostSlot::getElementIFCProperties), 3u);
    EXPECT_EQ(target.findProperty("Pset_A", "Colour"), nullptr);
    ASSERT_NE(target.findAttribute("Name"), nullptr);
    EXPECT_EQ(host_->countCalls(host::HostSlot::getElementIFCAttributes), 3u);   // read once, with the others
    EXPECT_NE(turned.findProperty("Pset_A", "Colour"), nullptr);

    ASSERT_EQ(inCommand([&] { return plan().storeElement(*lamp, /*create=*/false, /*withMemo=*/true); }),
              host::kNoError);
    EXPECT_DOUBLE_EQ(field<double>(sim(kLamp), host::kObjectAngleOffset), 1.0);
    EXPECT_EQ(host_->countCalls(host::HostSlot::setElementIFCProperty), 0u);
    const host::SimElementData* held = host_->project().state.ifc.elements.find(sim(kLamp).guid());
    ASSERT_NE(held, nullptr);
    EXPECT_EQ(*held, lampData);
}

TEST_F(ElementKindsTest, ACopyStoredAsANewObjectKeepsItsClassificationAndPropertyValues) {
    const host::SimGuid furniture = classifyChair();
    host::SimIFCState& ifc = host_->project().state.ifc;
    auto chair = element(kChair);
    auto& properties = dynamic_cast<tarnwick::PropertyMemo&>(*chair);
    ASSERT_TRUE(properties.setValue(tarnwick::StringSetting("Walnut"),
                                    tarnwick::PropertyName("Finish", "Fittings"), 0));
    const auto copy = chair->clone();
    const std::size_t before = host_->project().state.elements.size();
    ASSERT_EQ(inCommand([&] { return plan().storeElement(*copy, /*create=*/true, /*withMemo=*/true); }),
              host::kNoError);
    ASSERT_EQ(host_->project().state.elements.size(), before + 1);
    const host::SimElementData* held = ifc.elements.find(host_->project().state.elements.back().guid());
    ASSERT_NE(held, nullptr);
    EXPECT_EQ(held->classifications, std::vector<host::SimGuid>{furniture});
    ASSERT_EQ(held->propertyValues.size(), 1u);
    EXPECT_EQ(held->propertyValues[0].value.single.text, "Walnut");
    // The chair itself is not changed until it is stored.
    EXPECT_TRUE(ifc.elements.find(sim(kChair).guid())->propertyValues.empty());
}

TEST_F(ElementKindsTest, AttributesGoByPartAndTheStoreyShowingMovesWithTheElement) {
    using tarnwick::AttributeLink;
    using tarnwick::AttributeType;
    const AttributeLink pen7(std::int16_t{7}, AttributeType::pen);
    // Objects and openings keep their parts' attributes alike.
    for (const int index : {kChair, kDoor}) {
        SCOPED_TRACE(index);
        auto element = this->element(index);
        ASSERT_NE(element, nullptr);
        EXPECT_EQ(element->setPen(pen7, 0), 7);   // the whole element: parts 0, 1, 10, 11 and 12
        for (const std::int32_t part : {0, 1, 10, 11, 12})
            EXPECT_EQ(element->getPen(part).getLink().getShortIndex(), 7);
        element->setPen(AttributeLink(std::int16_t{8}, AttributeType::pen), 6);   // sets part 11's pen ...
        EXPECT_EQ(element->getPen(11).getLink().getShortIndex(), 8);
        EXPECT_EQ(element->getPen(6).getLink().getShortIndex(), 0);   // ... while part 6 has none
        EXPECT_EQ(element->setPen(pen7, 5), 0);
        element->setLineStyle(AttributeLink(std::int16_t{2}, AttributeType::lineStyle), 1);
        element->setFinish(AttributeLink(std::int16_t{3}, AttributeType::finish), 2);   // no such part
        EXPECT_EQ(element->getLineStyle(0).getLink().getShortIndex(), 2);
        EXPECT_EQ(element->getLineStyle(4).getLink().getShortIndex(), 0);
        EXPECT_EQ(element->getFinish(0).getLink().getShortIndex(), 0);
        EXPECT_EQ(element->getFill(3), nullptr);                                    // no fill yet
        element->setFill(AttributeLink(std::int16_t{0}, AttributeType::fill), 3);   // index 0: refused
        element->setFill(AttributeLink(std::int16_t{4}, AttributeType::fill), 2);   // part 2 has none
        EXPECT_EQ(element->getFill(0), nullptr);
        element->setFill(AttributeLink(std::int16_t{4}, AttributeType::fill), 3);
        ASSERT_NE(element->getFill(1), nullptr);
        EXPECT_EQ(element->getFill(1)->getLink().getShortIndex(), 4);
        EXPECT_EQ(element->getFill(2), nullptr);
        // A negative part: the whole element's for an object, none for an opening.
        EXPECT_EQ(element->getLineStyle(-1).getLink().getShortIndex(), index == kChair ? 2 : 0);
        EXPECT_EQ(element->getFill(-1) != nullptr, index == kChair);
    }
    // The storey showing: kept by objects through the host's two records, lost by nothing but a move
    // that keeps the visibility, which clears its offset.
    auto chair = element(kChair);
    const host::StoreyShowRecord shown{1, 0, 1, 0, 2, 1};
    const host::StoreyOffsetRecord offset{3, 5, 0};
    const tarnwick::PenLineRecord showing(shown, offset);
    EXPECT_EQ(tarnwick::PenLineRecord(showing.toPenPair(), showing.toLineRecord()), showing);
    chair->setPenLineRecord(showing);
    EXPECT_EQ(chair->getPenLineRecord(), showing);
    tarnwick::Storey* ground = plan().getStorey(0);
    tarnwick::Storey* first = plan().getStorey(1);
    ASSERT_NE(ground, nullptr);
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(chair->isOnStorey(*first));
    EXPECT_FALSE(chair->isOnStorey(*ground));
    chair->setStorey(*ground, /*keepVisibility=*/true);
    EXPECT_TRUE(chair->isOnStorey(*ground));
    EXPECT_EQ(chair->getPenLineRecord().getCountA(), 2);
    EXPECT_EQ(chair->getPenLineRecord().getOffset(), 0);
    EXPECT_NE(chair->getPenLineRecord(), showing);   // the offset's byte went with it
    EXPECT_TRUE(chair->getPenLineRecord().isFlagC());
    // Its three flags, set for the element's own showing only.
    auto& object = dynamic_cast<tarnwick::Object&>(*chair);
    object.setPenLineAll(false, 0);
    object.setPenLineFlagB(true, 1);
    object.setPenLineFlagC(true, 0);
    EXPECT_FALSE(chair->getPenLineRecord().isAll());
    EXPECT_FALSE(chair->getPenLineRecord().isFlagB());
    EXPECT_TRUE(chair->getPenLineRecord().isFlagC());
    object.setPenLineAll(true, 0);
    EXPECT_TRUE(object.isPenLineAll());
    // An element that keeps no showing answers an empty one.
    EXPECT_EQ(element(kDoor)->getPenLineRecord(), tarnwick::PenLineRecord());
}

TEST_F(ElementKindsTest, AnOpeningWritesItsOwnFieldsWhereTheHostKeepsThem) {
    auto made = element(kDoor);
    auto& door = dynamic_cast<tarnwick::Door&>(*made);
    door.setOpeningFlagA(true);
    door.setOpeningFlagB(true);
    door.setOpeningFlagC(true);   // the record keeps no such flag
    door.setOptionC(true);
    door.setOpeningFlagD(true);
    door.setMirrored(true);
    door.setSideFlagB(true);
    door.setJoineryValueA(1.5);
    door.setJoineryValueB(2.5);
    door.setJoineryValueC(3.5);
    door.setJoineryValueD(4.5);
    door.setJoineryValueE(5.5);
    const tarnwick::Material brick = tarnwick::makeMaterial(-2);
    EXPECT_EQ(brick.getLink().getIndex(), 0xFFFE);   // the high half stays 0
    door.setAttributeOption(3, &brick);
    door.setWallPosition(2.25);
    door.setElevationInWall(0.4);
    door.setOwnerWall(ElementLink(tarnwick::Guid(host::toGuidRecord(sim(kChair).guid())), &plan()));
    door.setWidth(1.1);
    door.setHeight(2.3);
    EXPECT_DOUBLE_EQ(door.getHeight(), 2.3);   // an opening's height is the record's
    const host::SimElement before = sim(kDoor);
    ASSERT_EQ(inCommand([&] { return plan().storeElement(door, /*create=*/false, /*withMemo=*/true); }),
              host::kNoError);
    const host::SimElement& stored = sim(kDoor);
    for (const std::size_t offset : {136, 137, 138, 196, 198, 199})
        EXPECT_EQ(stored.record[offset], 1) << offset;
    EXPECT_EQ(stored.record[197], before.record[197]);
    const std::pair<std::size_t, double> values[] = {{144, 1.1}, {152, 2.3},  {256, 1.5},
                                                     {264, 2.5}, {272, 3.5},  {280, 4.5},
                                                     {288, 5.5}, {320, 2.25}, {328, 0.4}};
    for (const auto& [offset, value] : values)
        EXPECT_DOUBLE_EQ(field<double>(stored, offset), value) << offset;
    EXPECT_EQ(field<std::int32_t>(stored, 188), 3);
    EXPECT_EQ(field<std::int16_t>(stored, 194), -2);
    EXPECT_EQ(host::toGuidBytes(field<host::GuidRecord>(stored, host::kOpeningWallGuidOffset)),
              sim(kChair).guid());
    EXPECT_EQ(parameterText(stored, "A"), "1.1");
    EXPECT_EQ(parameterText(stored, "ZZYZX"), "2.3");
    // Only kinds 1 and 3 carry an attribute.
    std::int16_t index = 9;
    door.setAttributeOption(2, &brick);
    EXPECT_EQ(door.getAttributeOption(&index), 2);
    EXPECT_EQ(index, 9);
    door.setAttributeOption(1, nullptr);
    EXPECT_EQ(door.getAttributeOption(&index), 1);
    EXPECT_EQ(index, 0);
}

TEST_F(ElementKindsTest, AnOpeningStandsOnTheWallItSitsInAndElseOnItsStorey) {
    // No kind of this system wraps walls; a record kind stands in for one here.
    host::SimElement wall;
    host::ElementHead head{};
    head.type = 1;
    head.guid = host::toGuidRecord(host::newGuidBytes());
    head.storey = 1;
    wall.setHead(head);
    host_->project().state.elements.push_back(wall);
    Drawing::registerCreator(1, &RecordElement::create, false);
    auto made = element(kWindow);
    auto& window = dynamic_cast<tarnwick::Window&>(*made);
    const auto linkOf = [&](const host::SimElement& element) {
        return ElementLink(tarnwick::Guid(host::toGuidRecord(element.guid())), &plan());
    };
    window.setOwnerWall(linkOf(sim(kChair)));   // not a wall: the storey's level counts
    EXPECT_EQ(window.getOwnerWall(), nullptr);
    EXPECT_DOUBLE_EQ(window.getElevation(true), 3.9);
    window.setOwnerWall(linkOf(wall));
    const std::unique_ptr<Element> owner = window.getOwnerWall();
    ASSERT_NE(owner, nullptr);
    EXPECT_EQ(owner->getGuid(), window.getOwnerLink().getGuid());
    EXPECT_DOUBLE_EQ(window.getElevation(true),
                     0.9 + owner->getElevation(true));   // the wall's, not the storey's
}

TEST_F(ElementKindsTest, QuantitiesComeFromTheHostAndAreZeroWhenItFails) {
    for (const int index : {kDoor, kWindow}) {
        SCOPED_TRACE(index);
        auto made = element(index);
        auto& opening = dynamic_cast<tarnwick::Opening&>(*made);
        const double w = opening.getOpeningWidth(), h = opening.getOpeningHeight();
        ASSERT_GT(w * h, 0.0);
        const std::unique_ptr<tarnwick::Cube> box = made->getBounds(false);
        ASSERT_NE(box, nullptr);
        EXPECT_DOUBLE_EQ(static_cast<Element&>(*made).getWidth(), box->getWidth());   // not "A"
        EXPECT_DOUBLE_EQ(opening.getQuantityA(), w);   // what this host computes for openings
        EXPECT_DOUBLE_EQ(opening.getOpeningQuantityA(), w);
        EXPECT_DOUBLE_EQ(opening.getQuantityB(), h);
        EXPECT_DOUBLE_EQ(opening.getOpeningQuantityB(), w * h);
        EXPECT_DOUBLE_EQ(opening.getOpeningQuantityC(), 2 * (w + h));
        for (const double none : {opening.getQuantityD(), opening.getQuantityE(), opening.getQuantityF()})
            EXPECT_DOUBLE_EQ(none, 0.0);   // fields this host leaves empty
        host_->injectFault({host::HostSlot::getElementQuantities, std::nullopt}, 0, host::kErrGeneral);
        EXPECT_DOUBLE_EQ(opening.getQuantityA(), 0.0);
        host_->clearFaults();
    }
    auto chair = element(kChair);
    const std::unique_ptr<tarnwick::Cube> box = chair->getBounds(true);
    ASSERT_NE(box, nullptr);
    EXPECT_DOUBLE_EQ(chair->getQuantityC(), box->getWidth() * box->getDepth());
    EXPECT_DOUBLE_EQ(chair->getQuantityD(), chair->getQuantityC());
    EXPECT_DOUBLE_EQ(chair->getQuantityE(), 2 * (box->getWidth() + box->getDepth()));
    // A basic element's volume of a material is its own volume when the material is its own.
    EXPECT_DOUBLE_EQ(chair->getCompositeVolume(0), chair->getQuantityE());
    EXPECT_DOUBLE_EQ(chair->getCompositeVolume(3), 0.0);
    EXPECT_DOUBLE_EQ(chair->getCompositeArea(0), 0.0);   // only composite elements have skins
}

TEST_F(ElementKindsTest, AnObjectsWidthIsItsBoundsAndItsParametersWidthIsA) {
    for (const int index : {kChair, kLamp}) {
        SCOPED_TRACE(index);
        auto made = element(index);
        made->setWidth(0.3);   // "A" and the record only: the placed element keeps its bounds
        made->setDepth(0.2);
        const std::unique_ptr<tarnwick::Cube> box = made->getBounds(false);
        ASSERT_NE(box, nullptr);
        ASSERT_NE(box->getWidth(), 0.3);
        EXPECT_DOUBLE_EQ(static_cast<Element&>(*made).getWidth(), box->getWidth());
        EXPECT_DOUBLE_EQ(static_cast<Element&>(*made).getDepth(), box->getDepth());
        EXPECT_DOUBLE_EQ(static_cast<Element&>(*made).getLength(), box->getWidth());
        EXPECT_DOUBLE_EQ(made->parameters().getWidth(), 0.3);
        EXPECT_DOUBLE_EQ(made->parameters().getDepth(), 0.2);
        EXPECT_DOUBLE_EQ(made->parameters().ComponentParameterMemo::getWidth(), 0.3);   // "A" itself
    }
}

TEST_F(ElementKindsTest, AnObjectOfAPartWithoutADefaultSizeStoresAUsableRatio) {
    host::SimLibraryPart& chairPart = host_->project().state.libraryParts[0];
    chairPart.a = 0.0;
    chairPart.b = -1.0;
    auto chair = element(kChair);
    chair->setWidth(0.8);
    chair->setDepth(0.7);
    const std::unique_ptr<host::ElementRecord> record = chair->getHostElement();
    double ratios[2];
    std::memcpy(ratios, reinterpret_cast<const unsigned char*>(record.get()) + host::kObjectSizeOffset,
                sizeof ratios);
    EXPECT_DOUBLE_EQ(ratios[0], 1.0);
    EXPECT_DOUBLE_EQ(ratios[1], 1.0);
}

TEST_F(ElementKindsTest, CommittingAnElementFailsWhenItsPropertiesOrClassificationsCannotBeStored) {
    const host::SimGuid furniture = classifyChair();
    // A second system's item, which the chair gains below: storing its classifications must add it.
    host::SimIFCState& ifc = host_->project().state.ifc;
    host::SimClassificationSystem other;
    other.guid = host::newGuidBytes();
    other.name = "Omniclass";
    const host::GuidBytes seating = host::newGuidBytes();
    other.topItems = {seating};
    ifc.classificationItems[seating] = {
        other.guid, {}, "23-21", "Seating", "", host::kClassificationForElements, {}};
    ifc.classificationSystems.edit().push_back(other);
    const std::optional<host::HostSlot> failing[] = {host::HostSlot::setElementProperties,
                                                     host::HostSlot::addElementClassification, std::nullopt};
    for (const std::optional<host::HostSlot>& slot : failing) {
        SCOPED_TRACE(slot ? host::hostSlotName(*slot) : "none");
        ifc.elements[sim(kChair).guid()].classifications = {furniture};
        auto chair = element(kChair);
        ASSERT_TRUE(dynamic_cast<tarnwick::PropertyMemo&>(*chair).setValue(
            tarnwick::StringSetting("Walnut"), tarnwick::PropertyName("Finish", "Fittings"), 0));
        ASSERT_TRUE(dynamic_cast<tarnwick::ClassificationMemo&>(*chair).add(
            tarnwick::Guid(host::toGuidRecord(seating))));
        if (slot) host_->injectFault({*slot, std::nullopt}, 0, host::kErrGeneral);
        bool committed = false;
        inCommand([&] { return committed = project().commitElement(*chair, false, true, true), true; });
        host_->clearFaults();
        EXPECT_EQ(committed, !slot.has_value());
    }
    EXPECT_EQ(host_->project().state.ifc.elements.find(sim(kChair).guid())->propertyValues.size(), 1u);
}

TEST_F(ElementKindsTest, AnObjectGivesBackTheAngleAndElevationItWasGiven) {
    auto made = element(kChair);
    auto& chair = dynamic_cast<tarnwick::Object&>(*made);
    constexpr double pi = std::numbers::pi;
    const struct {
        bool mirrored;
        double set, stored, seen;
    } cases[] = {
        {false, -pi / 2, 3 * pi / 2, 3 * pi / 2}, {true, -pi / 2, pi / 2, 3 * pi / 2}, {true, pi, 0.0, pi}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.set);
        chair.setMirrored(c.mirrored);
        chair.setAngle(c.set);
        double stored = 0.0;
        std::memcpy(
            &stored,
            reinterpret_cast<const unsigned char*>(chair.getHostElement().get()) + host::kObjectAngleOffset,
            sizeof stored);
        EXPECT_NEAR(stored, c.stored, 1e-9);
        EXPECT_NEAR(chair.getAngle(), c.seen, 1e-9);
    }
    chair.setElevation(5.0, /*absolute=*/true);   // on a storey at 3.0
    EXPECT_DOUBLE_EQ(chair.getElevation(true), 5.0);
    EXPECT_DOUBLE_EQ(chair.getElevation(false), 2.0);
}

TEST_F(ElementKindsTest, PopulatingTakesTheToolDefaultsParametersOfItsOwnPartWhenAskedForThatOnly) {
    // Each kind finds the defaults' part where its own records keep the library index.
    const struct {
        int element;
        std::int32_t type;
        const char* parameter;
        const char* own;   // the element's own value
        std::int32_t ownPart, otherPart;
        std::size_t indexOffset;
    } kinds[] = {
        {kChair, host::kElementObject, "cushion", "blue", 1, kTable, host::kObjectLibraryIndexOffset},
        {kDoor, host::kElementDoor, "handle", "pull", 3, kDoorB, host::kOpeningLibraryIndexOffset}};
    for (const auto& kind : kinds) {
        SCOPED_TRACE(kind.parameter);
        std::vector<host::SimParameter> parameters = *sim(kind.element).memo.parameters;
        editParameter(parameters, kind.parameter,
                      [](host::ParameterRecord& r) { setTextValue(r, u"green"); });
        host::SimToolDefault defaults;
        defaults.memo.parameters = parameters;
        auto made = element(kind.element);
        for (const std::int32_t defaultPart : {kind.otherPart, kind.ownPart}) {
            SCOPED_TRACE(defaultPart);
            std::memcpy(defaults.record.data() + kind.indexOffset, &defaultPart, sizeof defaultPart);
            host_->project().state.defaults[{kind.type, 0}] = defaults;
            EXPECT_TRUE(made->populate(/*samePartOnly=*/true, /*skipSizes=*/true, false, false));
            EXPECT_EQ(made->getParameters().find(kind.parameter)->getText(0, 0),
                      defaultPart == kind.ownPart ? "green" : kind.own);
        }
        host_->injectFault({host::HostSlot::getElementDefaults, std::nullopt}, 0, host::kErrGeneral);
        EXPECT_FALSE(made->populate(false, true, false, false));
        host_->clearFaults();
    }
}

TEST_F(ElementKindsTest, AMemoTheHostCannotGiveIsMarkedLoadedOnlyWhileLoadingIsSuspended) {
    Element::memoLoadingSuspended = 1;   // made without memos
    auto suspended = element(kChair);
    auto loading = element(kChair);
    host_->injectFault({host::HostSlot::getElementMemo, std::nullopt}, 0, host::kErrGeneral);
    std::unique_ptr<tarnwick::ElementMemoStore> store;
    suspended->loadMemo(ComponentElem::kGableBit, store);   // only the bits passed
    EXPECT_EQ(store, nullptr);
    EXPECT_TRUE(suspended->gables().isLoaded());
    EXPECT_FALSE(suspended->parameters().isLoaded());
    // Loading, a placed element keeps its memos unloaded: the part's defaults never stand in for them.
    Element::memoLoadingSuspended = 0;
    loading->loadMemo(0, store);
    EXPECT_EQ(store, nullptr);
    EXPECT_FALSE(loading->gables().isLoaded());
    EXPECT_FALSE(loading->parameters().isLoaded());
}

TEST_F(ElementKindsTest, AnObjectTakesWhatItsSettingsDialogSetsOnlyWhenAccepted) {
    std::string error;
    ASSERT_TRUE(host::parseUserActions(R"([{"do":"objectSettings","accept":false},
                                           {"do":"objectSettings","accept":true,"set":{"angle":1.25}}])",
                                       "", error))
        << error;
    auto made = element(kChair);
    EXPECT_FALSE(made->openSettingsDialog());
    EXPECT_DOUBLE_EQ(made->getAngle(), 0.5);
    EXPECT_TRUE(made->openSettingsDialog());
    EXPECT_DOUBLE_EQ(made->getAngle(), 1.25);
    EXPECT_EQ(made->getParameters().find("cushion")->getText(0, 0), "blue");   // its own values stay
    host::clearUserActions();
}

TEST_F(ElementKindsTest, ANewLampTakesTheToolDefaultsPartAndWithTheirMemoTheirParameters) {
    std::vector<host::SimParameter> parameters = *sim(kLamp).memo.parameters;
    editParameter(parameters, "watts", [](host::ParameterRecord& r) { r.value.real = 99.0; });
    host::SimToolDefault defaults;
    defaults.memo.parameters = parameters;
    std::memcpy(defaults.record.data() + host::kObjectLibraryIndexOffset, &kLampB, sizeof kLampB);
    host_->project().state.defaults[{host::kElementLamp, 0}] = defaults;
    for (const bool withMemo : {true, false}) {
        SCOPED_TRACE(withMemo);
        tarnwick::Lamp lamp(withMemo);
        EXPECT_EQ(lamp.getLibraryIndex(), kLampB);
        EXPECT_EQ(lamp.getComponentLink().getIndex(), kLampB);
        EXPECT_EQ(lamp.getParameters().find("watts")->getText(0, 0), withMemo ? "99" : "60");
    }
}

}   // namespace
