#include "Project/ElementIterator.h"

#include <string>
#include <vector>

#include <HostResult.h>

#include "Foundation/TracedException.h"
#include "Project/Detail.h"
#include "Project/ElementLinkList.h"
#include "Project/Section.h"
#include "Support/DrawingFixture.h"

namespace {

using tarnwick::Drawing;
using tarnwick::ElementLink;

class ElementIterator : public DrawingFixture {
protected:
    static bool endsWith(const tarnwick::String& text, const std::string& end) {
        const std::string_view view = text.getView();
        return view.size() >= end.size() && view.substr(view.size() - end.size()) == end;
    }
};

TEST_F(ElementIterator, OfAnEmptyDrawingIsTheEndAtOnceAndThrowsWhenDereferenced) {
    registerRecordElements();
    Drawing* detail = project().getDetail(0);
    ASSERT_NE(detail, nullptr);
    auto it = detail->begin(false, Drawing::Filter(false, false));
    EXPECT_TRUE(it == Drawing::end());
    try {
        static_cast<void>(*it);
        FAIL() << "no exception";
    } catch (const tarnwick::TracedException& exception) {
        EXPECT_EQ(exception.getKind(), "out_of_range");
        EXPECT_TRUE(endsWith(exception.getPlace(), "::getReference")) << exception.getPlace().getText();
    }
    EXPECT_THROW(it.moveForward(), tarnwick::TracedException);   // past the end
}

TEST_F(ElementIterator, AsksTheHostOnceForAFilterWithoutTypesAndOncePerType) {
    registerRecordElements();
    const struct {
        Drawing::Filter filter;
        std::size_t calls;
    } cases[] = {{Drawing::Filter(false, false), 1},
                 {Drawing::Filter(6, false, 1, false), 1},
                 {[] {
                      Drawing::Filter filter(6, false, 1, false);
                      filter.addType(5);
                      filter.addType(7);
                      return filter;
                  }(),
                  3}};
    for (const auto& c : cases) {
        host_->clearCalls();
        plan().begin(false, c.filter);
        EXPECT_EQ(host_->countCalls(host::HostSlot::getElementList), c.calls);
    }
}

TEST_F(ElementIterator, SkipsElementsNoCreatorMakesAndWalksBackwards) {
    Drawing::registerCreator(6, &RecordElement::create, false);   // no creator for the door and the lamp
    std::vector<double> xs;
    for (auto it = plan().rbegin(false, Drawing::Filter(false, false)); !it.atEnd(); ++it)
        xs.push_back(static_cast<RecordElement&>(*it).x());
    EXPECT_EQ(xs, (std::vector<double>{3.0, 2.0, 1.0}));
}

TEST_F(ElementIterator, TellsItsObserverAfterEachLoadAlsoWhenNothingWasMade) {
    Drawing::registerCreator(6, &RecordElement::create, false);   // no creator for the door and the lamp
    struct Loads : tarnwick::IterationObserver<tarnwick::Element> {
        std::vector<double> xs;   // -1: nothing made
        void loaded(const tarnwick::Element* element) override {
            xs.push_back(element ? static_cast<const RecordElement*>(element)->x() : -1.0);
        }
    } loads;
    auto it = plan().begin(false, Drawing::Filter(false, false));
    it.setObserver(&loads);
    auto copy = it;
    ++it;
    EXPECT_EQ(loads.xs, (std::vector<double>{2.0}));
    ++copy;   // a copy tells the same observer
    while (!it.atEnd()) ++it;
    EXPECT_EQ(loads.xs, (std::vector<double>{2.0, 2.0, 3.0, -1.0, -1.0}));
}

TEST_F(ElementIterator, WritesBackOnlyWhenAskedAndNotTheElementHeldAtItsDestruction) {
    registerRecordElements();
    const Drawing::Filter objects(6, false, 1, false);
    const auto changeAll = [&](auto it, int stopAfter) {
        for (int n = 0; !it.atEnd(); ++n) {
            static_cast<RecordElement&>(*it).setX(100.0 + n);
            if (n + 1 == stopAfter) return;   // the iterator goes with the element it holds
            it.moveForward();
        }
    };
    ASSERT_EQ(inCommand([&] {
                  changeAll(plan().cbegin(objects), 99);
                  return true;
              }),
              host::kNoError);
    EXPECT_DOUBLE_EQ(positionX(simElement(0)), 1.0);   // a constant walk stores nothing
    ASSERT_EQ(inCommand([&] {
                  changeAll(plan().begin(false, objects), 99);
                  return true;
              }),
              host::kNoError);
    EXPECT_DOUBLE_EQ(positionX(simElement(0)), 1.0);   // write back off
    ASSERT_EQ(inCommand([&] {
                  changeAll(plan().begin(true, objects), 2);
                  return true;
              }),
              host::kNoError);
    EXPECT_DOUBLE_EQ(positionX(simElement(0)), 100.0);   // passed: stored
    EXPECT_DOUBLE_EQ(positionX(simElement(1)), 2.0);     // held when the walk stopped: not stored
    EXPECT_DOUBLE_EQ(positionX(simElement(2)), 3.0);
}

TEST_F(ElementIterator, ACopyComparesEqualAndHoldsItsOwnElement) {
    registerRecordElements();
    auto first = plan().begin(false, Drawing::Filter(6, false, 1, false));
    first.moveForward();
    host_->clearCalls();
    auto second = first;
    EXPECT_TRUE(second == first);
    EXPECT_DOUBLE_EQ(static_cast<RecordElement&>(*second).x(), 2.0);
    EXPECT_NE(&*second, &*first);
    EXPECT_TRUE(host_->calls().empty());   // copied, not read again
    decltype(first) third;
    third = first;
    EXPECT_DOUBLE_EQ(static_cast<RecordElement&>(*third).x(), 2.0);
    second.moveForward();
    EXPECT_DOUBLE_EQ(static_cast<RecordElement&>(*second).x(), 3.0);
    EXPECT_DOUBLE_EQ(static_cast<RecordElement&>(*first).x(), 2.0);
}

TEST_F(ElementIterator, TakesSectionElementsAsTheModelElementsTheyShow) {
    registerRecordElements();
    Drawing* section = project().getSection(tarnwick::Guid(host::toGuidRecord(sectionGuid_)));
    ASSERT_NE(section, nullptr);
    ElementLink link(tarnwickGuid(kSectionElementIndex), section);
    ASSERT_EQ(link.getTypeByte(), ElementLink::kSectionElementType);

    ElementLink kept = link;
    ASSERT_TRUE(section->resolveSectionElement(false, kept));
    EXPECT_EQ(kept.getTypeByte(), ElementLink::kSectionElementType);
    EXPECT_EQ(kept.getSecondTypeId(), 6);
    EXPECT_EQ(kept.getSecondGuid(), tarnwickGuid(0));

    ASSERT_TRUE(section->resolveSectionElement(true, link));
    EXPECT_EQ(link.getTypeByte(), 6);
    EXPECT_EQ(link.getGuid(), tarnwickGuid(0));
    EXPECT_EQ(link.getSecondGuid(), tarnwickGuid(kSectionElementIndex));
    EXPECT_EQ(link.getDrawing(), &plan());
    const Drawing::Filter objects(6, false, 1, false);
    const auto element =
        section->loadElement(ElementLink(tarnwickGuid(kSectionElementIndex), section), &objects);
    ASSERT_NE(element, nullptr);
    EXPECT_DOUBLE_EQ(static_cast<RecordElement&>(*element).x(), 1.0);
}

}   // namespace

TEST_F(ElementIterator, InASectionFindsTheSectionElementsShowingElementsOfTheFilteredType) {
    registerRecordElements();
    Drawing* section = project().getSection(tarnwick::Guid(host::toGuidRecord(sectionGuid_)));
    ASSERT_NE(section, nullptr);
    const struct {
        std::uint16_t type;
        std::size_t found;
    } cases[] = {{host::kElementObject, 1}, {host::kElementDoor, 0}, {0, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        const Drawing::Filter filter(c.type, false, 1, false);
        host_->clearCalls();
        tarnwick::ElementLinkList links;
        EXPECT_EQ(section->fillLinkList(filter, &links), c.found);
        EXPECT_EQ(host_->countCalls(host::HostSlot::getElementList), 1u);   // every type at once
        ASSERT_EQ(links.size(), c.found);
        EXPECT_EQ(section->countElements(filter), c.found);
        if (c.found == 0) continue;
        EXPECT_EQ(links[0]->getTypeByte(), ElementLink::kSectionElementType);   // as met in the section
        auto it = section->begin(false, filter);
        ASSERT_FALSE(it.atEnd());
        EXPECT_EQ(it->getLink().getGuid(), tarnwickGuid(0));   // the model element it shows
        EXPECT_DOUBLE_EQ(static_cast<RecordElement&>(*it).x(), 1.0);
    }
    // Taken as they are, section elements pass a filter of their own type only.
    Drawing::Filter asMet(host::kElementObject, false, 1, false);
    asMet.setResolveSectionElements(false);
    EXPECT_EQ(section->countElements(asMet), 0u);
}

TEST_F(ElementIterator, AsksTheHostOnceAWalkForTheCurrentDatabaseStoreyAndSelection) {
    registerRecordElements();
    const Drawing::Filter every(false, false);
    host_->clearCalls();
    int count = 0;
    for (auto it = plan().begin(false, every); !it.atEnd(); ++it) ++count;
    ASSERT_EQ(count, 5);
    EXPECT_EQ(host_->countCalls(host::HostSlot::database, host::fourcc("GDAT")), 1u);
    EXPECT_EQ(host_->countCalls(host::HostSlot::environment, host::fourcc("GSTO")), 1u);
    EXPECT_EQ(host_->countCalls(host::HostSlot::getSelection), 1u);
    EXPECT_EQ(host_->countCalls(host::HostSlot::getElement), 5u);
    // Once the walk is over the answers are asked again: a storey the user went to in between shows.
    host_->project().view.currentStorey = 1;
    EXPECT_EQ(plan().getId().getIndex(), 1);
    host_->project().view.currentStorey = 0;
    auto held = plan().begin(false, every);
    host_->project().view.currentStorey = 1;   // not seen while this walk runs
    EXPECT_EQ(plan().getId().getIndex(), 0);
    while (!held.atEnd()) ++held;
    EXPECT_EQ(plan().getId().getIndex(), 1);
}
