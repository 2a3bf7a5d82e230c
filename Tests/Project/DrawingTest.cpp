#include "Project/Drawing.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include <HostResult.h>
#include <HostSystem.h>
#include <SimProject.h>

#include "Foundation/Colour.h"
#include "Foundation/MemoryBlock.h"
#include "Geometry/Cube.h"
#include "Geometry/Transformation.h"
#include "Project/AttributeFixture.h"
#include "Project/Detail.h"
#include "Project/ElementLinkList.h"
#include "Project/ElementListMaker.h"
#include "Project/Layer.h"
#include "Project/Model.h"
#include "Project/Section.h"
#include "Project/Storey.h"
#include "Support/DrawingFixture.h"

namespace {

using tarnwick::Drawing;
using tarnwick::Element;
using tarnwick::ElementLink;
using tarnwick::ElementLinkList;

constexpr std::uint16_t typeId(int type, int subType = 0) {
    return static_cast<std::uint16_t>(type | subType << 8);
}

TEST(DrawingFilter, MatchesTypesWithSubTypeZeroAsEveryVariant) {
    const struct {
        std::uint16_t filed;
        std::uint16_t asked;
        bool passes;
    } cases[] = {
        {typeId(6), typeId(6, 3), true}, {typeId(6, 2), typeId(6, 2), true},
        {typeId(6, 2), typeId(6), true}, {typeId(6, 2), typeId(6, 3), false},
        {typeId(6), typeId(5), false},   {typeId(6, 2), typeId(5, 2), false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.filed << " asked " << c.asked);
        const Drawing::Filter filter(c.filed, false, 1, false);
        EXPECT_EQ(filter.hasType(c.asked), c.passes);
    }
}

TEST(DrawingFilter, KeepsOneEntryPerMatchingTypeAndEmptiesOnTypeZero) {
    Drawing::Filter filter(typeId(6, 2), false, 1, false);
    filter.addType(typeId(6, 2));
    filter.addType(typeId(6));   // matches the (6, 2) entry
    filter.addType(typeId(5));
    EXPECT_EQ(filter.getTypeCount(), 2u);
    EXPECT_EQ(filter.typeAt(1), typeId(5));
    EXPECT_EQ(filter.typeAt(2), 0);   // past the end
    filter.addType(0);
    EXPECT_EQ(filter.getTypeCount(), 0u);
    EXPECT_FALSE(filter.hasType(typeId(6)));   // an empty list names no type

    const Drawing::Filter everything(true, false);
    EXPECT_EQ(everything.getTypeCount(), 0u);
    EXPECT_EQ(everything.getFlagByte1(), 0);
    EXPECT_TRUE(everything.isSelectedOnly());
    EXPECT_TRUE(everything.resolvesSectionElements());
    const auto copy = Drawing::Filter(530, typeId(6), true, 1, false).clone();
    EXPECT_EQ(copy->getHostFlags(), 530u);
    EXPECT_TRUE(copy->hasType(typeId(6, 4)));
}

// --- Creators --------------------------------------------------------------------------------------------

std::vector<std::string> asked;

std::unique_ptr<Element> declines(const host::ElementRecord&, ElementLink&) {
    asked.push_back("declines");
    return nullptr;
}
std::unique_ptr<Element> makesFirst(const host::ElementRecord& record, ElementLink& link) {
    asked.push_back("first");
    return RecordElement::create(record, link);
}
std::unique_ptr<Element> makesSecond(const host::ElementRecord& record, ElementLink& link) {
    asked.push_back("second");
    return RecordElement::create(record, link);
}

class DrawingCreators : public DrawingFixture {};

TEST_F(DrawingCreators, AskCreatorsOfATypeInFilingOrderOnceEachAndTheSecondListFirst) {
    host::ElementRecord record{};
    record.head.type = 6;
    record.head.variation = 77;
    std::unique_ptr<tarnwick::ElementMemoStore> noMemo;

    const struct {
        std::vector<std::pair<std::uint16_t, tarnwick::ElementCreator>> first, second;
        std::vector<std::string> asked;
    } cases[] = {
        {{{typeId(6), declines}, {typeId(6), declines}, {typeId(6), makesFirst}}, {}, {"declines", "first"}},
        {{{typeId(6, 2), declines}, {typeId(6, 3), makesFirst}}, {}, {"declines", "first"}},
        {{{typeId(6), makesFirst}}, {{typeId(6), makesSecond}}, {"second"}},
        {{{typeId(6), declines}}, {{typeId(5), makesSecond}}, {"declines"}},
    };
    for (const auto& c : cases) {
        Drawing::unregisterCreators();
        asked.clear();
        for (const auto& [type, creator] : c.first) Drawing::registerCreator(type, creator, false);
        for (const auto& [type, creator] : c.second) Drawing::registerCreator(type, creator, true);
        ElementLink link;
        const std::unique_ptr<Element> element = Drawing::makeElement(record, link, noMemo);
        EXPECT_EQ(asked, c.asked);
        EXPECT_EQ(element != nullptr, c.asked.back() != "declines");
        EXPECT_EQ(link.getVariation(), 77);   // taken from the record
    }
}

TEST_F(DrawingCreators, LoadAGivenMemoWhileTheirOwnMemoLoadingIsSuspended) {
    Drawing::registerCreator(typeId(6), &RecordElement::create, false);
    host::ElementRecord record{};
    record.head.type = 6;
    auto memo = std::make_unique<tarnwick::ElementMemoStore>();
    *memo->parameters() = tarnwick::ptrToHandle("given", 5);
    ElementLink link;
    const std::unique_ptr<Element> element = Drawing::makeElement(record, link, memo);
    ASSERT_NE(element, nullptr);
    EXPECT_EQ(static_cast<RecordElement&>(*element).parameters(), "given");
    EXPECT_FALSE(element->isUserDataLoaded());   // the base load did not run while suspended
    EXPECT_EQ(Element::memoLoadingSuspended, 0);
}

// --- Walking and storing ---------------------------------------------------------------------------------

class DrawingWalk : public DrawingFixture {
protected:
    std::vector<double> walk(const Drawing::Filter& filter) {
        std::vector<double> xs;
        for (auto it = plan().begin(false, filter); it != Drawing::end(); ++it)
            xs.push_back(static_cast<RecordElement&>(*it).x());
        return xs;
    }
};

TEST_F(DrawingWalk, FindsTheElementsEachFilterKindSelects) {
    registerRecordElements();
    select({1, kDoorIndex});
    const struct {
        const char* name;
        Drawing::Filter filter;
        std::vector<double> xs;
        std::size_t counted;   // the host-side tests only: the user-data test is made on each element
    } cases[] = {
        {"all", Drawing::Filter(false, false), {1.0, 2.0, 3.0, 4.0, 5.0}, 5},
        {"objects", Drawing::Filter(typeId(6), false, 1, false), {1.0, 2.0, 3.0}, 3},
        {"selected", Drawing::Filter(true, false), {2.0, 4.0}, 2},
        {"selected objects", Drawing::Filter(typeId(6), true, 1, false), {2.0}, 1},
        {"with user data", Drawing::Filter(false, true), {1.0}, 5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(walk(c.filter), c.xs);
        EXPECT_EQ(plan().countElements(c.filter), c.counted);
    }
}

TEST_F(DrawingWalk, OnlyAWalkThatReadsTheHostsListTakesItsWordForTheFlags) {
    registerRecordElements();
    select({1, kDoorIndex});
    const auto filterCalls = [&] { return host_->countCalls(host::HostSlot::filterElement); };
    host_->clearCalls();
    EXPECT_EQ(walk(Drawing::Filter(false, false)).size(), 5u);
    EXPECT_EQ(filterCalls(), 0u);
    EXPECT_EQ(walk(Drawing::Filter(true, false)).size(), 2u);   // the selection is not the host's list
    EXPECT_EQ(filterCalls(), 2u);
    std::size_t written = 0;
    ASSERT_EQ(inCommand([&] {
                  for (auto it = plan().begin(true, Drawing::Filter(false, false)); it != Drawing::end();
                       ++it)
                      ++written;
                  return true;
              }),
              host::kNoError);
    EXPECT_EQ(written, 5u);
    EXPECT_EQ(filterCalls(), 7u);   // a walk that writes asks again for each element
}

TEST_F(DrawingWalk, WritesBackEveryElementItPassesAndTheSavedProjectKeepsIt) {
    registerRecordElements();
    ASSERT_EQ(inCommand([&] {
                  for (auto it = plan().begin(true, Drawing::Filter(typeId(6), false, 1, false));
                       it != Drawing::end(); ++it)
                      static_cast<RecordElement&>(*it).setX(static_cast<RecordElement&>(*it).x() + 10.0);
                  return true;
              }),
              host::kNoError);
    const std::string path = (folder_ / "walked.json").string();
    std::string error;
    ASSERT_TRUE(host_->project().saveFile(path, error)) << error;
    host::SimProject saved;
    ASSERT_TRUE(saved.loadFile(path, error)) << error;
    EXPECT_EQ(saved.state.elements.size(), host_->project().state.elements.size());   // nothing created
    const double expected[] = {11.0, 12.0, 13.0, 4.0, 5.0};
    for (int i = 0; i < 5; ++i) EXPECT_DOUBLE_EQ(positionX(*saved.findElement(guidOf(i))), expected[i]) << i;
    // The memo part of object 0 was loaded, so it was written back as it was; the part the element
    // never loaded is left as the host had it.
    const auto& parts = saved.findElement(guidOf(0))->memo.parts;
    EXPECT_EQ(parts.at(offsetof(host::ElementMemo, parameters)), (std::vector<unsigned char>{'p', '1'}));
    EXPECT_EQ(parts.at(offsetof(host::ElementMemo, coords)), (std::vector<unsigned char>{1, 2, 3, 4}));
}

TEST_F(DrawingWalk, ChangesAnElementOnAnotherStoreyInsteadOfCreatingACopy) {
    registerRecordElements();
    host_->project().view.currentStorey = 0;   // element 2 stands on storey 1
    std::unique_ptr<Element> element = plan().getElement(ElementLink(tarnwickGuid(2), &plan()));
    ASSERT_NE(element, nullptr);
    static_cast<RecordElement&>(*element).setX(42.0);
    const std::size_t before = host_->project().state.elements.size();
    ASSERT_EQ(inCommand([&] { return plan().storeElement(*element, false, true); }), host::kNoError);
    EXPECT_EQ(host_->project().state.elements.size(), before);
    EXPECT_DOUBLE_EQ(positionX(simElement(2)), 42.0);
    EXPECT_EQ(element->getGuid(), tarnwickGuid(2));
}

TEST_F(DrawingWalk, CreatesAnElementWithoutGuidAndItsUserData) {
    registerRecordElements();
    std::unique_ptr<Element> element = plan().getElement(ElementLink(tarnwickGuid(1), &plan()));
    ASSERT_NE(element, nullptr);
    element->resetLink();
    element->attachUserData(std::make_unique<tarnwick::MemoryBlock>(tarnwick::ptrToHandle("new", 3)));
    const std::size_t before = host_->project().state.elements.size();
    ASSERT_EQ(inCommand([&] { return plan().storeElement(*element, false, true); }), host::kNoError);
    ASSERT_EQ(host_->project().state.elements.size(), before + 1);
    ASSERT_TRUE(element->exists());
    EXPECT_NE(element->getGuid(), tarnwickGuid(1));
    const host::SimElement* created =
        host_->project().findElement(host::toGuidBytes(element->getGuid().getRecord()));
    ASSERT_NE(created, nullptr);
    ASSERT_TRUE(created->userData.has_value());
    EXPECT_EQ(created->userData->bytes, (std::vector<unsigned char>{'n', 'e', 'w'}));
    EXPECT_FALSE(element->isUserDataChanged());
}

TEST_F(DrawingWalk, KeepsTheElementsHeadAndLinkWhenTheHostRefusesTheWrite) {
    registerRecordElements();
    std::unique_ptr<Element> element = plan().getElement(ElementLink(tarnwickGuid(1), &plan()));
    ASSERT_NE(element, nullptr);
    element->resetLink();
    host_->injectFault({host::HostSlot::createElement, std::nullopt}, 0, host::kErrGeneral);
    const std::size_t before = host_->project().state.elements.size();
    EXPECT_EQ(inCommand([&] { return plan().storeElement(*element, false, true); }), 1u);
    EXPECT_EQ(host_->project().state.elements.size(), before);
    EXPECT_FALSE(element->exists());
    EXPECT_EQ(tarnwick::Guid(element->getTypeRecord().guid), tarnwickGuid(1));   // the head as it was
    EXPECT_EQ(plan().getLastHostResult(), host::kErrGeneral);
}

TEST_F(DrawingWalk, LinksAndDeletesElements) {
    const ElementLink door(tarnwickGuid(kDoorIndex), &plan());
    ElementLinkList objects(2);
    objects.append(ElementLink(tarnwickGuid(0), &plan()));
    objects.append(ElementLink(tarnwickGuid(1), &plan()));
    ASSERT_EQ(inCommand([&] { return plan().linkElements(door, objects); }), host::kNoError);
    ElementLinkList linked;
    EXPECT_EQ(plan().getLinkedElements(door, linked), 2u);
    EXPECT_TRUE(linked.contains(*objects[1]));
    ASSERT_EQ(inCommand([&] { return plan().unlinkElements(door, *objects[0]); }), host::kNoError);
    ElementLinkList left;
    EXPECT_EQ(plan().getLinkedElements(door, left), 1u);
    EXPECT_TRUE(plan().linkElements(door, ElementLinkList()));   // nothing to link

    ASSERT_EQ(inCommand([&] { return plan().deleteElements(objects); }), host::kNoError);
    EXPECT_EQ(host_->project().findElement(guidOf(0)), nullptr);
    EXPECT_EQ(host_->project().findElement(guidOf(1)), nullptr);
    EXPECT_NE(host_->project().findElement(guidOf(2)), nullptr);
}

TEST_F(DrawingWalk, ZoomsAndScalesTheView) {
    plan().zoom(tarnwick::Cube(tarnwick::CadPoint(4, 3, 9), tarnwick::CadPoint(-2, 8, 0)));
    const std::unique_ptr<tarnwick::Cube> zoom = plan().getZoom(false);
    ASSERT_NE(zoom, nullptr);
    EXPECT_DOUBLE_EQ(zoom->getWidth(), 6.0);
    EXPECT_DOUBLE_EQ(zoom->getDepth(), 5.0);
    plan().zoomBack();   // to the zoom before
    EXPECT_DOUBLE_EQ(plan().getZoom(false)->getWidth(), 20.0);
    plan().zoomBack();   // none left
    EXPECT_EQ(plan().getLastHostResult(), host::kErrRefusedCommand);
    EXPECT_EQ(plan().setScale(50.0, 0), host::kNoError);
    EXPECT_DOUBLE_EQ(plan().getScale(), 50.0);
    host_->injectFault({host::HostSlot::database, host::fourcc("GSCL")}, 0, host::kErrGeneral);
    EXPECT_DOUBLE_EQ(plan().getScale(), 0.0);
    host_->injectFault({host::HostSlot::database, host::fourcc("GZOM")}, 0, host::kErrGeneral);
    EXPECT_EQ(plan().getZoom(false), nullptr);
}

TEST_F(DrawingWalk, TheProjectCommitsAnElementAndSaysWhenTheHostRefusedIt) {
    registerRecordElements();
    std::unique_ptr<tarnwick::Element> element =
        plan().getElement(tarnwick::ElementLink(tarnwickGuid(1), &plan()));
    ASSERT_NE(element, nullptr);
    static_cast<RecordElement&>(*element).setX(7.5);
    bool committed = false;
    inCommand([&] { return committed = project().commitElement(*element, false, true, true), true; });
    EXPECT_TRUE(committed);
    EXPECT_DOUBLE_EQ(positionX(simElement(1)), 7.5);
    host_->injectFault({host::HostSlot::changeElement, std::nullopt}, 0, host::kErrGeneral);
    static_cast<RecordElement&>(*element).setX(9.0);
    inCommand([&] { return committed = project().commitElement(*element, false, true, true), true; });
    EXPECT_FALSE(committed);
    EXPECT_DOUBLE_EQ(positionX(simElement(1)), 7.5);
}

TEST_F(DrawingWalk, FindsTheModelPointUnderTheMouseInItsWindow) {
    const std::string title(plan().getName().getView());         // the host names the plan by its storey
    const auto pointAt = [&](std::int16_t h, std::int16_t v) {   // the host's own answer for a pixel
        host::PixelPoint pixel{h, v};
        host::ModelPoint point{};
        EXPECT_EQ(tarnwick::hostApi().database(host::fourcc("PTOC"), &pixel, &point), 0u);
        return tarnwick::CadPoint(point.x, point.y, 0.0);
    };
    // The zoom box is 750 host pixels wide in the host's window: screen pixels per host pixel are
    // 1000 / 750 = 1.33, taken as 1.25; 2000 / 750 = 2.67, taken as 2.75.
    struct Case {
        bool ownWindow;
        host::ClientRect client;
        host::ScreenPosition mouse;
        tarnwick::CadPoint expected;
    };
    const Case cases[] = {
        {false, {0, 0, 1000, 750}, {500, 375}, pointAt(400, 300)},
        {true, {100, 50, 2000, 1500}, {1100, 800}, pointAt(363, 272)},
        {true, {100, 50, 2000, 1500}, {90, 40}, pointAt(-3, -3)},   // cut toward zero
        {true, {0, 0, 40, 30}, {20, 15}, tarnwick::CadPoint()},     // a ratio that rounds to 0: no point
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.client.width);
        const host::WindowId own = c.ownWindow ? host::openWindow(title, c.client) : 0;
        if (!c.ownWindow) host::setWindowClientRect(host::mainWindow(), c.client);
        host::setMousePosition(c.mouse);
        const tarnwick::CadPoint point = plan().getMousePoint();
        EXPECT_NEAR(point.getX(), c.expected.getX(), 1e-9);
        EXPECT_NEAR(point.getY(), c.expected.getY(), 1e-9);
        host::closeWindow(own);
    }
    host::setWindowClientRect(host::mainWindow(), {});
    host_->injectFault({host::HostSlot::database, host::fourcc("GZOM")}, 0, host::kErrGeneral);
    host::setMousePosition({500, 375});
    EXPECT_NEAR(plan().getMousePoint().getX(), 0.0, 1e-12);
}

TEST_F(DrawingWalk, RefusesToWriteAnElementThatNeedsItsMemoWithoutOne) {
    registerRecordElements();
    std::unique_ptr<Element> element = plan().getElement(ElementLink(tarnwickGuid(kDoorIndex), &plan()));
    ASSERT_NE(element, nullptr);
    element->getMutableTypeRecord().writeNeedsMemo = 1;
    host_->clearCalls();
    EXPECT_EQ(inCommand([&] { return plan().storeElement(*element, false, false); }), 1u);
    EXPECT_EQ(host_->countCalls(host::HostSlot::changeElement), 0u);
}

// A kind whose memo holds none of its parts, as an object without parameters.
class PartlessElement : public RecordElement {
public:
    using RecordElement::RecordElement;
    static std::unique_ptr<Element> create(const host::ElementRecord& record, ElementLink& link) {
        return std::make_unique<PartlessElement>(record, link);
    }
    std::unique_ptr<Element> clone() const override { return std::make_unique<PartlessElement>(*this); }
    std::unique_ptr<tarnwick::ElementMemoStore> getMemo(std::uint64_t& mask) const override {
        mask = 0;
        return std::make_unique<tarnwick::ElementMemoStore>();
    }
};

// Object 0 holds its ID alone on the host, as such an element does.
class PartlessWrite : public DrawingWalk {
protected:
    void SetUp() override {
        DrawingWalk::SetUp();
        Drawing::registerCreator(host::kElementObject, &PartlessElement::create, false);
        host_->project().state.elements[0].memo.parts = {{kInfo, idBytes(u"Chair 1")}};
    }
    static std::vector<unsigned char> idBytes(std::u16string_view id) {
        const auto* bytes = reinterpret_cast<const unsigned char*>(id.data());
        return {bytes, bytes + id.size() * sizeof(char16_t)};
    }
    // The host's part of object 0 at this offset; empty when it has none.
    std::vector<unsigned char> hostPart(std::uint16_t offset) const {
        const auto& parts = simElement(0).memo.parts;
        const auto found = parts.find(offset);
        return found == parts.end() ? std::vector<unsigned char>{} : found->second;
    }
    std::unique_ptr<Element> objectMovedTo(double x) {
        std::unique_ptr<Element> element = plan().getElement(ElementLink(tarnwickGuid(0), &plan()));
        if (element) static_cast<RecordElement&>(*element).setX(x);
        return element;
    }

    static constexpr std::uint16_t kInfo = offsetof(host::ElementMemo, elementInfo);
};

// An element put back as it was read (a replacement undone by hand) must not keep the parts that the
// write it undoes gave it.
TEST_F(PartlessWrite, LeavesTheHostNoneOfTheKindsPartsButTheID) {
    std::unique_ptr<Element> element = objectMovedTo(7.0);
    ASSERT_NE(element, nullptr);
    host_->project().state.elements[0].memo.parts[offsetof(host::ElementMemo, parameters)] = {'p', '2'};
    ASSERT_EQ(inCommand([&] { return plan().storeElement(*element, false, true); }), host::kNoError);
    EXPECT_DOUBLE_EQ(positionX(simElement(0)), 7.0);
    EXPECT_TRUE(hostPart(offsetof(host::ElementMemo, parameters)).empty());
    EXPECT_EQ(hostPart(kInfo), idBytes(u"Chair 1"));
}

TEST_F(PartlessWrite, NeverWritesOverAnIDTheHostCouldNotGive) {
    host_->injectFault({host::HostSlot::database, host::fourcc("GEIS")}, 0, host::kErrGeneral);
    std::unique_ptr<Element> element = objectMovedTo(7.0);
    ASSERT_NE(element, nullptr);
    ASSERT_EQ(inCommand([&] { return plan().storeElement(*element, false, true); }), host::kNoError);
    EXPECT_DOUBLE_EQ(positionX(simElement(0)), 7.0);
    EXPECT_EQ(hostPart(kInfo), idBytes(u"Chair 1"));
    // An ID the element was given is its own, read or not.
    element->setName(tarnwick::String("Chair 9"));
    ASSERT_EQ(inCommand([&] { return plan().storeElement(*element, false, true); }), host::kNoError);
    EXPECT_EQ(hostPart(kInfo), idBytes(u"Chair 9"));
}

TEST_F(DrawingWalk, RoundTripsUserDataAndMemos) {
    registerRecordElements();
    std::unique_ptr<Element> element = plan().getElement(ElementLink(tarnwickGuid(0), &plan()));
    ASSERT_NE(element, nullptr);
    auto& object = static_cast<RecordElement&>(*element);
    EXPECT_EQ(object.parameters(), "p1");
    std::uint32_t flags = 0;
    std::uint16_t version = 0;
    std::uint16_t platform = 0;
    const auto block = plan().getUserData(element->getLink(), &flags, &version, &platform);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(std::string(block->getBytes(), block->getSize()), "abc");
    EXPECT_EQ(flags, 12u);
    EXPECT_EQ(version, 3);

    object.setParameters("p2");
    element->attachUserData(std::make_unique<tarnwick::MemoryBlock>(tarnwick::ptrToHandle("xyz!", 4)));
    ASSERT_EQ(inCommand([&] { return plan().storeElement(*element, false, true); }), host::kNoError);

    std::unique_ptr<Element> again = plan().getElement(ElementLink(tarnwickGuid(0), &plan()));
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(static_cast<RecordElement&>(*again).parameters(), "p2");
    const auto stored = again->getUserData();
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(std::string(stored->getBytes(), stored->getSize()), "xyz!");

    // Without a block the user data goes.
    ASSERT_EQ(inCommand([&] { return plan().setUserData(again->getLink(), nullptr, false, 0, 1, 0x5757); }),
              host::kNoError);
    EXPECT_FALSE(simElement(0).userData.has_value());
}

TEST_F(DrawingWalk, LoadsMemosOnlyWhileMemoLoadingIsNotSuspended) {
    registerRecordElements();
    Element::memoLoadingSuspended = 1;
    auto element = plan().getElement(ElementLink(tarnwickGuid(0), &plan()));
    ASSERT_NE(element, nullptr);
    EXPECT_FALSE(static_cast<RecordElement&>(*element).memoLoaded());
    element->reloadMemo();
    EXPECT_EQ(static_cast<RecordElement&>(*element).parameters(), "p1");
    EXPECT_EQ(Element::memoLoadingSuspended, 1);
    Element::memoLoadingSuspended = 0;
}

// --- Selection ---------------------------------------------------------------------------------------------

TEST_F(DrawingWalk, FindsTheLastSelectedElementOfAType) {
    registerRecordElements();
    select({0, kDoorIndex, 1});
    const struct {
        std::uint16_t type;
        double x;
    } cases[] = {{0, 2.0}, {typeId(5), 4.0}, {typeId(6), 2.0}};
    for (const auto& c : cases) {
        const auto element = plan().getSelectedElement(c.type, false);
        ASSERT_NE(element, nullptr) << c.type;
        EXPECT_DOUBLE_EQ(static_cast<RecordElement&>(*element).x(), c.x) << c.type;
    }
    EXPECT_EQ(plan().getSelectedElement(typeId(7), false), nullptr);
}

TEST_F(DrawingWalk, AsksForAnEmptySelectionAgainAndKnowsAMarquee) {
    EXPECT_EQ(plan().getSelection(), nullptr);
    select({2}, host::kSelectionMarqueeRectangle);
    ASSERT_NE(plan().getSelection(), nullptr);
    EXPECT_EQ(plan().getSelection()->size(), 1u);
    EXPECT_TRUE(plan().isMarqueeSelection());
}

TEST_F(DrawingWalk, ForgetsASelectionTheHostRefused) {
    select({0});
    ASSERT_NE(plan().getSelection(), nullptr);
    ElementLinkList wanted(2);
    wanted.append(ElementLink(tarnwickGuid(1), &plan()));
    wanted.append(ElementLink(tarnwickGuid(2), &plan()));
    host_->injectFault({host::HostSlot::selectElements, std::nullopt}, 2, host::kErrGeneral);   // the add
    EXPECT_FALSE(plan().select(wanted));
    // The host's selection (cleared by the first call) is read again, not the list that was refused.
    EXPECT_EQ(plan().getSelection(), nullptr);
    host_->clearFaults();
    EXPECT_TRUE(plan().select(wanted));
    ASSERT_NE(plan().getSelection(), nullptr);
    EXPECT_EQ(plan().getSelection()->size(), 2u);
    EXPECT_EQ(host_->project().viewOf({host::kDatabasePlan, {}}).selection.elements.size(), 2u);
    EXPECT_TRUE(plan().deselectAll());
    EXPECT_TRUE(host_->project().viewOf({host::kDatabasePlan, {}}).selection.elements.empty());
}

TEST_F(DrawingWalk, SelectsOneElementByHeadCountingNoChangeAsSuccess) {
    const ElementLink link(tarnwickGuid(3), &plan());
    EXPECT_TRUE(plan().setSelected(link, true));
    EXPECT_TRUE(plan().setSelected(link, true));   // already selected
    EXPECT_TRUE(plan().setSelected(link, false));
    EXPECT_TRUE(plan().setSelected(link, false));   // was not selected
}

// --- Texts and views -------------------------------------------------------------------------------------

TEST_F(DrawingWalk, ReadsAndWritesTheDatabaseTexts) {
    tarnwick::Drawing* detail = project().getDetail(0);
    ASSERT_NE(detail, nullptr);
    EXPECT_EQ(detail->getName(), "Detail 1");
    EXPECT_TRUE(detail->setReference("D-1"));
    EXPECT_EQ(detail->getReference(), "D-1");
    const std::string longName(300, 'n');
    EXPECT_TRUE(detail->setName(longName.c_str()));
    const std::string kept = detail->getName().getText();
    EXPECT_GE(kept.size(), 255u);   // cut to the field
    EXPECT_LE(kept.size(), 256u);
    EXPECT_EQ(longName.compare(0, kept.size(), kept), 0);
    host_->injectFault({host::HostSlot::database, host::fourcc("GDBI")}, 0, host::kErrGeneral);
    EXPECT_EQ(detail->getName(), "");
    EXPECT_FALSE(detail->setReference("x"));
    EXPECT_EQ(detail->getLastHostResult(), host::kErrGeneral);
}

// --- Element tools ---------------------------------------------------------------------------------------

// Hands out a copy of its list (none without one) and keeps the guids of the heads the host was given.
class CopyingMaker : public tarnwick::ElementListMaker {
public:
    explicit CopyingMaker(const ElementLinkList* links) : links_(links) {}
    std::unique_ptr<ElementLinkList> makeList() override { return links_ ? links_->clone() : nullptr; }
    void receiveHeads(host::Handle heads) override {
        const std::size_t count = tarnwick::getHandleSize(heads) / sizeof(host::ElementHead);
        if (count == 0) return;   // an empty list has no handle
        const auto* head = reinterpret_cast<const host::ElementHead*>(*heads);
        for (std::size_t i = 0; i < count; ++i) received.push_back(tarnwick::Guid(head[i].guid));
    }
    std::vector<tarnwick::Guid> received;

private:
    const ElementLinkList* links_;
};

class DrawingElementTools : public AttributeFixture {
protected:
    ElementLinkList linksOf(std::initializer_list<int> indices) {
        ElementLinkList links;
        for (int index : indices) links.append(ElementLink(tarnwickGuid(index), &plan()));
        return links;
    }
    bool lockedInHost(int index) const { return simElement(index).head().locked != 0; }
};

TEST_F(DrawingElementTools, LockAndUnlockElementsOnlyInsideAnUndoableCommand) {
    const ElementLinkList objects = linksOf({0, 1});
    EXPECT_FALSE(plan().lockElements(objects));
    EXPECT_EQ(plan().getLastHostResult(), host::kErrOutsideUndoScope);
    EXPECT_FALSE(lockedInHost(0));

    ASSERT_EQ(inCommand([&] { return plan().lockElements(objects); }), host::kNoError);
    EXPECT_TRUE(lockedInHost(0));
    EXPECT_TRUE(lockedInHost(1));
    EXPECT_FALSE(lockedInHost(2));
    registerRecordElements();
    EXPECT_FALSE(plan().getElement(*objects[0])->isEditable());

    ASSERT_EQ(inCommand([&] { return plan().unlockElements(objects); }), host::kNoError);
    EXPECT_FALSE(lockedInHost(0));
    EXPECT_FALSE(lockedInHost(1));
    EXPECT_TRUE(plan().getElement(*objects[0])->isEditable());
}

TEST_F(DrawingElementTools, LockNoneOfAListTheHostRefusesInPart) {
    // The section element lies in another database than the plan.
    ElementLinkList mixed = linksOf({0});
    mixed.append(ElementLink(tarnwickGuid(kSectionElementIndex), &plan()));
    bool locked = true;
    inCommand([&] {
        locked = plan().lockElements(mixed);
        return true;
    });
    EXPECT_FALSE(locked);
    EXPECT_EQ(plan().getLastHostResult(), host::kErrBadIndex);
    EXPECT_FALSE(lockedInHost(0));

    // Another member holds object 1.
    host::SimTeamwork& teamwork = host_->project().state.teamwork;
    teamwork.shared = true;
    teamwork.memberId = 1;
    host::SimElement& held = *host_->project().findElement(guidOf(1));
    host::ElementHead head = held.head();
    head.ownerId = 2;
    held.setHead(head);
    inCommand([&] {
        locked = plan().lockElements(linksOf({0, 1}));
        return true;
    });
    EXPECT_FALSE(locked);
    EXPECT_EQ(plan().getLastHostResult(), host::kErrRefusedCommand);
    EXPECT_FALSE(lockedInHost(0));
}

TEST_F(DrawingElementTools, RunToolsOnAMakersListAndHandItTheHeadsOnlyWhenTheHostTookThem) {
    CopyingMaker none(nullptr);
    host_->clearCalls();
    EXPECT_TRUE(plan().lockElements(none));   // nothing to lock: the host is not asked
    EXPECT_EQ(callsOf(host::HostSlot::elementTools), 0u);

    const ElementLinkList objects = linksOf({0, 2});
    CopyingMaker refused(&objects);
    EXPECT_FALSE(plan().toolCommand(host::fourcc("LOCK"), refused));   // outside a command
    EXPECT_TRUE(refused.received.empty());

    CopyingMaker maker(&objects);
    ASSERT_EQ(inCommand([&] { return plan().lockElements(maker); }), host::kNoError);
    EXPECT_TRUE(lockedInHost(0));
    EXPECT_TRUE(lockedInHost(2));
    EXPECT_EQ(maker.received, (std::vector<tarnwick::Guid>{tarnwickGuid(0), tarnwickGuid(2)}));
    ASSERT_EQ(inCommand([&] { return plan().unlockElements(maker); }), host::kNoError);
    EXPECT_FALSE(lockedInHost(0));
    EXPECT_FALSE(lockedInHost(2));
}

TEST_F(DrawingElementTools, ReadsAnElementHeadWithTheLayerOfItsIndex) {
    host::SimElement& element = *host_->project().findElement(guidOf(0));
    host::ElementHead head = element.head();
    head.layer = kRoof;
    element.setHead(head);
    ElementLink link;
    tarnwick::Layer layer;
    tarnwick::Storey* storey = nullptr;
    ASSERT_TRUE(plan().loadElementHead(tarnwickGuid(0), &link, &layer, &storey));
    EXPECT_EQ(link.getGuid(), tarnwickGuid(0));
    EXPECT_EQ(layer.getIndex(), kRoof);
    EXPECT_TRUE(layer.isLocked());
    EXPECT_EQ(layer.getName(), "Roof");
    ASSERT_NE(plan().getStorey(0), nullptr);
    EXPECT_EQ(storey, plan().getStorey(0));
    storey = nullptr;
    ASSERT_TRUE(project().getModel().loadElementHead(tarnwickGuid(1), &link, nullptr, &storey));
    EXPECT_EQ(storey, plan().getStorey(0));
    // Other views have no storeys.
    ASSERT_TRUE(project().getSection(0)->loadElementHead(tarnwickGuid(kSectionElementIndex), &link, nullptr,
                                                         &storey));
    EXPECT_EQ(storey, nullptr);

    EXPECT_FALSE(plan().loadElementHead(tarnwick::Guid::generate(), &link, &layer, &storey));
    EXPECT_FALSE(link.hasGuid());
    EXPECT_EQ(layer.getIndex(), 0);
    EXPECT_EQ(storey, nullptr);
}

// --- Edits, parameters, groups and highlight --------------------------------------------------------------

using tarnwick::CadPoint;
using tarnwick::Transformation;

std::unique_ptr<Transformation> move(double dx, double dy) {
    return std::make_unique<Transformation>(Transformation::Kind::move, CadPoint(), CadPoint(),
                                            CadPoint(dx, dy));
}

std::unique_ptr<Transformation> quarterTurn() {   // about the origin, anticlockwise
    return std::make_unique<Transformation>(Transformation::Kind::rotate, CadPoint(), CadPoint(1, 0),
                                            CadPoint(0, 1));
}

class DrawingEdits : public DrawingElementTools {
protected:
    void SetUp() override {
        DrawingElementTools::SetUp();
        registerRecordElements();
    }
    std::unique_ptr<Element> elementAt(int index) {
        return plan().getElement(ElementLink(tarnwickGuid(index), &plan()));
    }
    static RecordElement& asRecord(Element& element) { return static_cast<RecordElement&>(element); }
    static double positionY(const host::SimElement& element) {
        double y;
        std::memcpy(&y, element.record.data() + host::kObjectPositionOffset + 8, sizeof(y));
        return y;
    }
    std::size_t editCalls() const { return callsOf(host::HostSlot::editElements); }
};

TEST_F(DrawingEdits, AppliesPendingTransformsInOrderAndStopsAtTheFirstRefused) {
    std::unique_ptr<Element> refused = elementAt(0);
    refused->addTransform(move(2, 1));
    refused->addTransform(quarterTurn());
    EXPECT_FALSE(plan().applyTransforms(*refused));   // outside a command
    EXPECT_EQ(plan().getLastHostResult(), host::kErrOutsideUndoScope);
    EXPECT_EQ(refused->getTransformCount(), 1u);   // the turn was not tried
    EXPECT_DOUBLE_EQ(positionX(simElement(0)), 1.0);

    std::unique_ptr<Element> element = elementAt(0);
    element->addTransform(move(2, 1));
    element->addTransform(quarterTurn());
    ASSERT_EQ(inCommand([&] { return plan().applyTransforms(*element); }), host::kNoError);
    EXPECT_EQ(element->getTransformCount(), 0u);
    EXPECT_NEAR(positionX(simElement(0)), -1.0, 1e-12);   // (1, 0) moved to (3, 1), then turned
    EXPECT_NEAR(positionY(simElement(0)), 3.0, 1e-12);
    EXPECT_EQ(element->getGuid(), tarnwickGuid(0));
    EXPECT_EQ(element->getDrawing(), &plan());
}

TEST_F(DrawingEdits, EditsAListInOneCallAndTheModelWindowEditsItsPlanElements) {
    host_->clearCalls();
    const ElementLinkList objects = linksOf({0, 1});
    ASSERT_EQ(inCommand([&] { return plan().editElements(objects, *move(1, 0)); }), host::kNoError);
    EXPECT_EQ(editCalls(), 1u);
    EXPECT_DOUBLE_EQ(positionX(simElement(0)), 2.0);
    EXPECT_DOUBLE_EQ(positionX(simElement(1)), 3.0);

    tarnwick::Model& model = project().getModel();
    ElementLink link(tarnwickGuid(1), &model);
    ASSERT_EQ(inCommand([&] { return model.applyTransform(link, *move(0, 4)); }), host::kNoError);
    EXPECT_DOUBLE_EQ(positionY(simElement(1)), 4.0);
    EXPECT_EQ(link.getGuid(), tarnwickGuid(1));
    EXPECT_EQ(link.getDrawing(), &model);

    ASSERT_TRUE(host_->undo());
    ASSERT_TRUE(host_->undo());
    EXPECT_DOUBLE_EQ(positionX(simElement(1)), 2.0);
    EXPECT_DOUBLE_EQ(positionY(simElement(1)), 0.0);

    // A door has no placement the host can edit: nothing moves.
    EXPECT_EQ(inCommand([&] { return plan().editElements(linksOf({0, kDoorIndex}), *move(1, 0)); }), 1u);
    EXPECT_EQ(plan().getLastHostResult(), host::kErrBadParameters);
    EXPECT_DOUBLE_EQ(positionX(simElement(0)), 1.0);
}

TEST_F(DrawingEdits, ChangesTheElementFromItsOwnOrASourcesRecordUnderAMask) {
    std::unique_ptr<Element> element = elementAt(0);
    asRecord(*element).setParameters("xy");
    asRecord(*element).setX(7.0);
    ASSERT_EQ(inCommand([&] { return plan().changeParameters(*element, nullptr, nullptr); }), host::kNoError);
    EXPECT_DOUBLE_EQ(positionX(simElement(0)), 7.0);
    EXPECT_EQ(simElement(0).memo.parts.at(offsetof(host::ElementMemo, parameters)),
              (std::vector<unsigned char>{'x', 'y'}));

    // The source gives the values; the element, not the source, is changed.
    std::unique_ptr<Element> source = elementAt(1);
    ASSERT_EQ(inCommand([&] { return plan().changeParameters(*element, source.get(), nullptr); }),
              host::kNoError);
    EXPECT_DOUBLE_EQ(positionX(simElement(0)), 2.0);
    EXPECT_DOUBLE_EQ(positionX(simElement(1)), 2.0);
    EXPECT_EQ(element->getGuid(), tarnwickGuid(0));
    EXPECT_EQ(tarnwick::Guid(element->getTypeRecord().guid), tarnwickGuid(0));

    // A mask of the layer alone takes only the source's layer; then the pending move runs.
    host::ElementRecord maskRecord{};
    maskRecord.head.layer = -1;
    RecordElement mask(maskRecord, ElementLink());
    asRecord(*source).setX(9.0);
    source->getMutableTypeRecord().layer = kWalls;
    element->addTransform(move(0, 5));
    ASSERT_EQ(inCommand([&] { return plan().changeParameters(*element, source.get(), &mask); }),
              host::kNoError);
    EXPECT_EQ(simElement(0).head().layer, kWalls);
    EXPECT_EQ(element->getTypeRecord().layer, kWalls);   // read back from the host
    EXPECT_DOUBLE_EQ(positionX(simElement(0)), 2.0);
    EXPECT_DOUBLE_EQ(positionY(simElement(0)), 5.0);
    EXPECT_EQ(element->getTransformCount(), 0u);
}

TEST_F(DrawingEdits, ReportsAChangeThatNeedsAMissingMemoAsNotMade) {
    tarnwick::Element::memoLoadingSuspended = 1;   // the element comes without its memo
    std::unique_ptr<Element> element = elementAt(0);
    tarnwick::Element::memoLoadingSuspended = 0;
    element->getMutableTypeRecord().writeNeedsMemo = 1;
    host_->clearCalls();
    bool changed = true;
    inCommand([&] {
        changed = plan().changeParameters(*element, nullptr, nullptr);
        return true;
    });
    EXPECT_FALSE(changed);
    EXPECT_EQ(callsOf(host::HostSlot::changeParameters), 0u);
}

TEST_F(DrawingEdits, StoresTheLayerOfTheElementsHeadAndNothingElse) {
    std::unique_ptr<Element> element = elementAt(0);
    asRecord(*element).setX(50.0);
    element->getMutableTypeRecord().layer = kWalls;
    EXPECT_FALSE(plan().storeLayer(*element));   // outside a command
    EXPECT_EQ(simElement(0).head().layer, 1);
    ASSERT_EQ(inCommand([&] { return plan().storeLayer(*element); }), host::kNoError);
    EXPECT_EQ(simElement(0).head().layer, kWalls);
    EXPECT_DOUBLE_EQ(positionX(simElement(0)), 1.0);

    host_->clearCalls();
    for (std::int16_t layer : {std::int16_t{0}, std::int16_t{32767}}) {   // no layer; a failed head read
        element->getMutableTypeRecord().layer = layer;
        EXPECT_EQ(inCommand([&] { return plan().storeLayer(*element); }), 1u);
    }
    EXPECT_EQ(callsOf(host::HostSlot::changeParameters), 0u);
    EXPECT_EQ(simElement(0).head().layer, kWalls);
}

TEST_F(DrawingEdits, HighlightsEachElementOnceAndClearsTheOldHighlightFirst) {
    const host::SimView& view = host_->project().viewOf({host::kDatabasePlan, {}});
    const tarnwick::Colour red(1.0, 0.0, 0.0, 1.0);
    ASSERT_TRUE(plan().highlightElements(linksOf({0, 0, 1}), red, true));
    EXPECT_TRUE(plan().isHighlighted());
    EXPECT_EQ(view.highlight.size(), 2u);
    EXPECT_DOUBLE_EQ(view.highlight.at(guidOf(1))[0], 1.0);
    EXPECT_TRUE(view.highlightWireframe);

    ASSERT_TRUE(plan().highlightElements(linksOf({2}), red, false));
    EXPECT_EQ(view.highlight.size(), 1u);
    EXPECT_EQ(view.highlight.count(guidOf(2)), 1u);

    EXPECT_TRUE(plan().highlightElements(ElementLinkList(), red, false));   // clears, shows nothing
    EXPECT_FALSE(plan().isHighlighted());
    EXPECT_TRUE(view.highlight.empty());

    // The section element is not in the floor plan: the host refuses and nothing is shown.
    EXPECT_FALSE(plan().highlightElements(linksOf({0, kSectionElementIndex}), red, false));
    EXPECT_EQ(plan().getLastHostResult(), host::kErrBadIndex);
    EXPECT_FALSE(plan().isHighlighted());
}

TEST_F(DrawingEdits, GroupsAndOrdersElementsThroughTheElementTools) {
    EXPECT_FALSE(plan().groupElements(linksOf({0, 1})));   // outside a command
    ASSERT_EQ(inCommand([&] { return plan().groupElements(linksOf({0, 1})); }), host::kNoError);
    const auto groupOf = [&](int index) {
        return host::toGuidBytes(simElement(index).head().firstIdentifier);
    };
    EXPECT_FALSE(host::isNullGuid(groupOf(0)));
    EXPECT_EQ(groupOf(0), groupOf(1));

    const ElementLinkList first = linksOf({0});
    CopyingMaker ungroup(&first);
    ASSERT_EQ(inCommand([&] { return plan().ungroupElements(ungroup); }), host::kNoError);
    EXPECT_TRUE(host::isNullGuid(groupOf(1)));   // the whole group went
    EXPECT_EQ(ungroup.received, (std::vector<tarnwick::Guid>{tarnwickGuid(0)}));

    const ElementLinkList pair = linksOf({0, 1});
    const struct {
        const char* name;
        bool (Drawing::*tool)(tarnwick::ElementListMaker&);
        std::uint8_t order;   // from 0
    } cases[] = {{"to the front", &Drawing::bringToFront, 255},
                 {"forward", &Drawing::bringForward, 1},
                 {"backward", &Drawing::sendBackward, 0},
                 {"to the back", &Drawing::sendToBack, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CopyingMaker maker(&pair);
        ASSERT_EQ(inCommand([&] { return (plan().*c.tool)(maker); }), host::kNoError);
        EXPECT_EQ(simElement(1).head().drawOrder, c.order);
        ASSERT_TRUE(host_->undo());
    }
}

TEST_F(DrawingEdits, SendsRPASAndMeasuresThePixelSize) {
    EXPECT_TRUE(plan().callRPAS(ElementLink(tarnwickGuid(0), &plan())));
    EXPECT_FALSE(plan().callRPAS(ElementLink(tarnwickGuid(kSectionElementIndex), &plan())));
    EXPECT_EQ(plan().getLastHostResult(), host::kErrBadIndex);

    // The window is 1000 by 750 pixels; the zoom box fills it as far as its shape allows.
    EXPECT_NEAR(plan().getPixelSize(), 20.0 / 750.0, 1e-12);
    plan().zoom(tarnwick::Cube(CadPoint(0, 0), CadPoint(10, 7.5)));
    EXPECT_NEAR(plan().getPixelSize(), 0.01, 1e-12);
    host_->injectFault({host::HostSlot::database, host::fourcc("PTOC")}, 2, host::kErrGeneral);
    EXPECT_DOUBLE_EQ(plan().getPixelSize(), 0.0);
}

}   // namespace
