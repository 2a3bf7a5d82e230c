#include "Project/Specification.h"

#include <string>
#include <vector>

#include "Foundation/TracedException.h"
#include "Project/AttrRefList.h"
#include "Project/AttributeFixture.h"
#include "Project/AttributeIterator.h"
#include "Project/AttributeSelection.h"
#include "Project/Layer.h"

namespace {

using tarnwick::Attribute;
using tarnwick::AttributeLink;
using tarnwick::AttributeType;
using tarnwick::Layer;
using tarnwick::Specification;

class SpecificationTest : public AttributeFixture {};

// Creators that answer only for definitions named "mine", to test the order of the registry.
int answered = 0;
std::unique_ptr<Attribute> refusing(const host::AttributeDefinition&, const AttributeLink&) {
    ++answered;
    return nullptr;
}
std::unique_ptr<Attribute> secondLayer(const host::AttributeDefinition& definition,
                                       const AttributeLink& link) {
    auto layer = std::make_unique<Layer>(definition, link);
    layer->setGroup(-1);   // marks which creator made it
    return layer;
}

TEST_F(SpecificationTest, LoadsOnlyLinksThatNameALiveAttributeOfTheFilteredType) {
    const struct {
        AttributeLink link;
        AttributeType filter;
        bool loads;
    } cases[] = {
        {AttributeLink(kWalls, AttributeType::layer), AttributeType::none, true},   // every type
        {AttributeLink(kWalls, AttributeType::layer), AttributeType::layer, true},
        {AttributeLink(kWalls, AttributeType::layer), AttributeType::pen, false},
        {AttributeLink(kGone, AttributeType::layer), AttributeType::none, false},   // deleted
        {AttributeLink(std::int16_t{0}, AttributeType::layer), AttributeType::none, false},
        {AttributeLink(std::int16_t{-2}, AttributeType::layer), AttributeType::none, false},
        {AttributeLink(std::int16_t{1}, AttributeType::none), AttributeType::none, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.link.getShortIndex() << " filter " << int(toByte(c.filter)));
        const Specification::Filter filter(c.filter);
        EXPECT_EQ(specification().loadAttribute(c.link, &filter) != nullptr, c.loads);
    }
    // A composite may be named by its negated index: the host is asked for its absolute value.
    Specification::unregisterCreators();   // only the counting creator answers
    Specification::registerCreators();
    Specification::registerCreator(AttributeType::composite, &refusing);
    answered = 0;
    specification().getAttribute(AttributeLink(std::int16_t{-3}, AttributeType::composite));
    EXPECT_EQ(answered, 1);   // the definition of composite 3 was read and offered
}

TEST_F(SpecificationTest, AsksTheRegistrationListInFilingOrderAndTakesTheFirstAnswer) {
    Specification::unregisterCreators();
    Specification::registerCreators();
    Specification::registerCreator(AttributeType::layer, &refusing);
    Specification::registerCreator(AttributeType::layer, &secondLayer);
    Specification::registerCreator(AttributeType::layer, &Layer::create);
    answered = 0;
    std::unique_ptr<Attribute> walls =
        specification().getAttribute(AttributeLink(kWalls, AttributeType::layer));
    ASSERT_NE(walls, nullptr);
    EXPECT_EQ(answered, 1);
    EXPECT_EQ(static_cast<Layer&>(*walls).getGroup(), -1);
    EXPECT_EQ(walls->getLink().getOwner(), &specification());
    // A creator handed a definition of another type gives nothing.
    host::AttributeDefinition pen{};
    pen.header.type = host::kAttributePen;
    EXPECT_EQ(Layer::create(pen, AttributeLink()), nullptr);
}

TEST_F(SpecificationTest, CountsEveryTypeTogetherInSixteenBits) {
    EXPECT_EQ(specification().getCount(AttributeType::layer), 7);
    EXPECT_EQ(specification().getCount(AttributeType::none), 7 + 1 + 3);
    host_->project().state.attributes.push_back(attribute(host::kAttributeFill, 32000, "a"));
    host_->project().state.attributes.push_back(attribute(host::kAttributeFont, 32000, "b"));
    host::sortAttributes(host_->project().state.attributes);
    EXPECT_EQ(specification().getCount(AttributeType::none), (7 + 1 + 3 + 64000) % 65536);
}

TEST_F(SpecificationTest, WalksForwardAndBackwardPastDeletedIndicesAndAcrossTypes) {
    std::vector<std::pair<int, int>> seen;
    const Specification::Filter everything;
    for (auto it = specification().begin(everything, false); it != Specification::end(); ++it)
        seen.emplace_back(toByte(it->getType()), it->getLink().getShortIndex());
    EXPECT_EQ(seen, (std::vector<std::pair<int, int>>{
                        {1, 1}, {2, 1}, {2, 2}, {2, 3}, {2, 4}, {2, 5}, {2, 7}, {5, 3}}));

    std::vector<int> backwards;
    Specification::Filter layers(AttributeType::layer, /*countCache=*/true);
    for (auto it = specification().rbegin(layers, false); it != Specification::end(); ++it)
        backwards.push_back(it->getLink().getShortIndex());
    EXPECT_EQ(backwards, (std::vector<int>{7, 5, 4, 3, 2, 1}));
    EXPECT_EQ(callsOf(host::HostSlot::changeAttribute), 0u);   // a plain walk writes nothing

    // A backward walk of one type starts at that type's last index, also once the 16-bit count over
    // every type has wrapped below it (here to 2).
    host_->project().state.attributes.push_back(attribute(host::kAttributeFill, 32767, "a"));
    host_->project().state.attributes.push_back(attribute(host::kAttributeFont, 32760, "b"));
    host::sortAttributes(host_->project().state.attributes);
    ASSERT_EQ(specification().getCount(AttributeType::none), 2);
    backwards.clear();
    for (auto it = specification().rbegin(layers, false); it != Specification::end(); ++it)
        backwards.push_back(it->getLink().getShortIndex());
    EXPECT_EQ(backwards, (std::vector<int>{7, 5, 4, 3, 2, 1}));
}

TEST_F(SpecificationTest, IteratorMisuseThrowsWithItsPlace) {
    tarnwick::AttributeIterator end = Specification::end();
    try {
        end.getReference();
        FAIL() << "no exception";
    } catch (const tarnwick::TracedException& e) {
        EXPECT_EQ(std::string(e.getKind().getText()), "out_of_range");
        EXPECT_TRUE(std::string(e.getPlace().getText()).ends_with("::getReference"));
    }
    EXPECT_THROW(end.moveForward(), tarnwick::TracedException);
}

TEST_F(SpecificationTest, WritesChangesCreatesNewAttributesAndRelinksThoseOfAnotherProject) {
    Layer walls(AttributeLink(kWalls, AttributeType::layer));
    walls.setHidden(true);
    ASSERT_EQ(inCommand([&] { return specification().write(walls); }), 0u);
    EXPECT_EQ(layerFlags(kWalls), host::kLayerHidden);
    EXPECT_EQ(callsOf(host::HostSlot::createAttribute), 0u);

    Layer fresh(tarnwick::String("Furniture"));
    ASSERT_EQ(inCommand([&] { return specification().write(fresh); }), 0u);
    EXPECT_EQ(fresh.getLink().getShortIndex(), 8);
    EXPECT_EQ(fresh.getRecord().index, 8);
    EXPECT_EQ(fresh.getLink().getOwner(), &specification());
    ASSERT_NE(simLayer(8), nullptr);
    EXPECT_EQ(simLayer(8)->name, "Furniture");

    Specification other(project());   // as if the layer came from another project
    Layer foreign(AttributeLink(kRoof, AttributeType::layer));
    foreign.setName("Imported roof");
    foreign.setLink(AttributeLink(kRoof, AttributeType::layer, &other));
    ASSERT_EQ(inCommand([&] { return specification().write(foreign); }), 0u);
    EXPECT_EQ(foreign.getLink().getShortIndex(), 9);
    EXPECT_EQ(foreign.getLink().getOwner(), &specification());
    EXPECT_EQ(simLayer(kRoof)->name, "Roof");
}

TEST_F(SpecificationTest, NeverWritesAnAttributeWhoseRecordCouldNotBeRead) {
    Layer gone(AttributeLink(kGone, AttributeType::layer));   // deleted in the host
    gone.setHidden(true);
    EXPECT_TRUE(gone.isLoadFailed());
    EXPECT_FALSE(gone.isValid());
    EXPECT_EQ(gone.getLink().getShortIndex(), kGone);   // the link is kept
    const auto before = host_->project().state.attributes.size();
    bool written = true;
    inCommand([&] {
        written = specification().write(gone);
        return true;
    });
    EXPECT_FALSE(written);
    EXPECT_EQ(host_->project().state.attributes.size(), before);
    EXPECT_EQ(callsOf(host::HostSlot::createAttribute), 0u);
    // A walk with write-back leaves such an attribute alone too: it never yields one.
}

TEST_F(SpecificationTest, RemovesAttributesGroupedByType) {
    tarnwick::AttrRefList links;
    links.append(AttributeLink(kGrid, AttributeType::layer));
    links.append(AttributeLink(std::int16_t{1}, AttributeType::pen));
    links.append(AttributeLink(kWalls, AttributeType::layer));
    bool removed = false;
    inCommand([&] {
        removed = specification().removeAll(links);
        return true;
    });
    EXPECT_TRUE(removed);
    EXPECT_EQ(callsOf(host::HostSlot::deleteAttributes), 2u);   // one per type
    EXPECT_EQ(simLayer(kGrid), nullptr);
    EXPECT_EQ(simLayer(kWalls), nullptr);
    EXPECT_EQ(host_->project().findAttribute(host::kAttributePen, 1), nullptr);
    // Layer 1 cannot go: the host refuses, and so does the call.
    EXPECT_NE(inCommand([&] {
                  return specification().remove(AttributeLink(std::int16_t{1}, AttributeType::layer));
              }),
              0u);
}

}   // namespace

namespace {

TEST_F(SpecificationTest, WalksAListOfLinksInItsOrderPastWhatNoLongerLoads) {
    tarnwick::AttrRefList links;
    for (std::int16_t index : {kGrid, kGone, kWalls})
        links.append(AttributeLink(index, AttributeType::layer));
    links.append(AttributeLink(std::int16_t{1}, AttributeType::pen));   // the filter leaves a pen out
    const Specification::Filter layers(AttributeType::layer, /*countCache=*/false);
    std::vector<int> walked;
    struct Loads : tarnwick::IterationObserver<tarnwick::Attribute> {
        std::vector<int> indices;   // 0: nothing loaded
        void loaded(const tarnwick::Attribute* attribute) override {
            indices.push_back(attribute ? attribute->getLink().getShortIndex() : 0);
        }
    } loads;
    inCommand([&] {
        auto it = Specification::begin(links, layers, /*writeBack=*/true);
        it.setObserver(&loads);   // from the second load on
        for (; it != Specification::end(); ++it) {
            walked.push_back(it->getLink().getShortIndex());
            static_cast<Layer&>(*it).setLocked(true);   // written back as the walk leaves it
        }
        return true;
    });
    EXPECT_EQ(walked, (std::vector<int>{kGrid, kWalls}));
    EXPECT_EQ(loads.indices, (std::vector<int>{0, kWalls, 0}));
    EXPECT_NE(layerFlags(kGrid) & host::kLayerLocked, 0);
    EXPECT_NE(layerFlags(kWalls) & host::kLayerLocked, 0);

    EXPECT_TRUE(Specification::begin(tarnwick::AttrRefList(), layers, false) == Specification::end());
    tarnwick::AttrRefList broken;
    broken.push_back(nullptr);   // a null link is misuse, not an attribute to pass over
    try {
        Specification::begin(broken, layers, false);
        FAIL() << "no exception";
    } catch (const tarnwick::TracedException& e) {
        EXPECT_EQ(std::string(e.getKind().getText()), "bad_alloc");
        EXPECT_TRUE(std::string(e.getPlace().getText()).ends_with("::loadLinkedRecord"));
    }
}

TEST_F(SpecificationTest, ASelectionOfLayersKeepsOnlyLayersAndWritesThemAllBack) {
    tarnwick::AttributeSelection<Layer> selection;
    EXPECT_TRUE(selection.add(specification().getAttribute(AttributeLink(kRoof, AttributeType::layer))));
    EXPECT_FALSE(
        selection.add(specification().getAttribute(AttributeLink(std::int16_t{1}, AttributeType::pen))));
    EXPECT_TRUE(selection.add(std::make_unique<Layer>()));   // a new layer, no owner yet
    ASSERT_EQ(selection.size(), 2u);
    const std::unique_ptr<tarnwick::AttrRefList> links = selection.makeLinks();
    ASSERT_EQ(links->size(), 2u);
    EXPECT_EQ((*links)[0]->getShortIndex(), kRoof);

    selection[0].setHidden(true);
    bool written = true;
    inCommand([&] { return written = selection.writeAll(), true; });
    EXPECT_FALSE(written) << "the new layer has no owner to be written to";
    EXPECT_NE(layerFlags(kRoof) & host::kLayerHidden, 0) << "the others are written all the same";
    selection[1].setName("Annex");
    EXPECT_EQ(inCommand([&] { return selection.writeAll(&specification()); }), 0u);
    EXPECT_NE(selection[1].getLink().getShortIndex(), 0);
}

}   // namespace
