// Composite structures on the attribute fixture's "Brick" (index 3): three skins 0.1, 0.2 and 0.1 thick
// between four lines, read from the host's extended definition, changed, written back and previewed.
#include <cstring>
#include <vector>

#include <gtest/gtest.h>

#include <HostGraphics.h>
#include <HostResult.h>

#include "Elements/Composite.h"
#include "Interface/NativeContext.h"
#include "Project/AttributeFixture.h"

namespace {

using tarnwick::AttributeLink;
using tarnwick::AttributeType;
using tarnwick::Composite;

constexpr std::int16_t kBrick = 3;

class CompositeTest : public AttributeFixture {
protected:
    void SetUp() override {
        AttributeFixture::SetUp();
        setSkins({0.1, 0.2, 0.1}, 4, 0.4);
    }

    // The brick's skins (framed with framePen), `lines` separating lines and the record's total thickness.
    void setSkins(const std::vector<double>& thicknesses, std::size_t lines, double total,
                  std::int16_t framePen = 0) {
        host::SimAttribute& brick = simBrick();
        std::vector<unsigned char> skins(thicknesses.size() * sizeof(host::CompositeSkin));
        for (std::size_t i = 0; i < thicknesses.size(); ++i) {
            host::CompositeSkin skin{};
            skin.fill = static_cast<std::int16_t>(i);
            skin.thickness = thicknesses[i];
            skin.framePen = framePen;
            std::memcpy(skins.data() + i * sizeof skin, &skin, sizeof skin);
        }
        std::vector<unsigned char> separators(lines * sizeof(host::CompositeLine));
        for (std::size_t i = 0; i < lines; ++i) separators[i * sizeof(host::CompositeLine)] = 1;   // pen 1
        brick.extension[offsetof(host::AttributeExtension, compositeSkins)] = skins;
        brick.extension[offsetof(host::AttributeExtension, compositeLines)] = separators;
        std::memcpy(brick.body.data(), &total, sizeof total);   // the thickness, first after the header
    }
    host::SimAttribute& simBrick() {
        for (host::SimAttribute& a : host_->project().state.attributes)
            if (a.type == host::kAttributeComposite && a.index == kBrick) return a;
        throw std::logic_error("no brick");
    }
    std::unique_ptr<Composite> brick() {
        auto made = specification().getAttribute(AttributeLink(kBrick, AttributeType::composite));
        return std::unique_ptr<Composite>(dynamic_cast<Composite*>(made.release()));
    }
};

TEST_F(CompositeTest, ReadsItsSkinsAndLinesAndWritesThemBack) {
    auto composite = brick();
    ASSERT_NE(composite, nullptr);
    EXPECT_DOUBLE_EQ(composite->getThickness(), 0.4);
    ASSERT_EQ(composite->getCoreCount(), 3u);
    EXPECT_EQ(composite->getEdgeCount(), 4u);
    EXPECT_DOUBLE_EQ(composite->getCore(1)->getThickness(), 0.2);
    EXPECT_EQ(composite->getCore(3), nullptr);
    EXPECT_EQ(composite->getEdge(4), nullptr);

    host::CompositeSkin thicker{};
    thicker.fill = 9;
    thicker.thickness = 0.3;
    composite->setCore(std::make_unique<Composite::Core>(thicker), 1);
    composite->setCore(std::make_unique<Composite::Core>(thicker), 7);   // out of range: dropped
    auto copy = composite->clone();                                      // deep: its own skins
    ASSERT_EQ(inCommand([&] { return specification().write(*composite); }), host::kNoError);
    auto reread = brick();
    ASSERT_EQ(reread->getCoreCount(), 3u);
    EXPECT_DOUBLE_EQ(reread->getCore(1)->getThickness(), 0.3);
    EXPECT_EQ(reread->getCore(1)->getRecord().fill, 9);
    EXPECT_EQ(reread->getEdgeCount(), 4u);
    EXPECT_EQ(reread->getEdge(3)->getRecord().pen, 1);
    EXPECT_DOUBLE_EQ(dynamic_cast<Composite&>(*copy).getCore(1)->getThickness(), 0.3);
}

TEST_F(CompositeTest, SkinsWhoseLinesDoNotFitAreNotRead) {
    for (const std::size_t lines : {3u, 5u, 0u}) {   // not one more than the skins
        SCOPED_TRACE(lines);
        setSkins({0.1, 0.2, 0.1}, lines, 0.4);
        auto composite = brick();
        ASSERT_NE(composite, nullptr);
        EXPECT_EQ(composite->getCoreCount(), 0u);
        EXPECT_EQ(composite->getCore(0), nullptr);
        EXPECT_EQ(composite->copyExtendedDefinition(), nullptr);   // nothing to write back
    }
}

TEST_F(CompositeTest, SkinsTheHostCouldNotGiveAreAskedForAgain) {
    auto composite = brick();
    ASSERT_NE(composite, nullptr);
    host_->injectFault({host::HostSlot::getAttributeExtension, std::nullopt}, 0, host::kErrGeneral);
    EXPECT_EQ(composite->getCoreCount(), 0u);
    host_->clearFaults();
    EXPECT_TRUE(composite->isValid());   // the attribute's, whether its memo holds anything or not
    EXPECT_FALSE(static_cast<tarnwick::Memo&>(*composite).isValid());
    EXPECT_EQ(composite->getCoreCount(), 3u);
    EXPECT_TRUE(static_cast<tarnwick::Memo&>(*composite).isValid());
}

TEST_F(CompositeTest, PreviewDrawsABandPerSkinDownTheWholeRectangle) {
    struct Case {
        std::vector<double> thicknesses;
        double total;                 // the record's; 0 takes the skins' own sum
        std::vector<int> frameRows;   // rows of the band frames (top and bottom of each band)
    };
    const Case cases[] = {
        {{0.1, 0.2, 0.1}, 0.4, {0, 9, 10, 29, 30, 39}},
        {{0.1, 0.2, 0.1}, 0.0, {0, 9, 10, 29, 30, 39}},
        {{0.25}, 0.25, {0, 39}},                           // one skin: one full-height band
        {{1.0, 1.0, 1.0}, 3.0, {0, 12, 13, 26, 27, 39}},   // thirds: the edges rounded, the last at the end
    };
    for (const Case& c : cases) {
        setSkins(c.thicknesses, c.thicknesses.size() + 1, c.total);
        auto composite = brick();
        ASSERT_NE(composite, nullptr);
        const auto picture = host::newPictureContext(20, 40);
        tarnwick::NativeContext context(picture);
        composite->drawSwatch(context, 20, 40);
        std::vector<int> rows;
        for (int y = 0; y < 40; ++y)
            if (host::pixelAt(picture, 10, y) == host::Rgba{0, 0, 0, 255}) rows.push_back(y);
        EXPECT_EQ(rows, c.frameRows);
        host::disposePictureContext(picture);
    }
    // A skin's frame pen frames its band: pen 1 made red.
    for (host::SimAttribute& a : host_->project().state.attributes)
        if (a.type == host::kAttributePen && a.index == 1) {
            const double red[3] = {1.0, 0.0, 0.0};   // the colour, first in the pen's body
            std::memcpy(a.body.data(), red, sizeof red);
        }
    setSkins({0.25}, 2, 0.25, /*framePen=*/1);
    {
        const auto picture = host::newPictureContext(20, 40);
        tarnwick::NativeContext context(picture);
        brick()->drawSwatch(context, 20, 40);
        EXPECT_EQ(host::pixelAt(picture, 10, 0), (host::Rgba{255, 0, 0, 255}));
        host::disposePictureContext(picture);
    }
    // Without thickness there is nothing to share out; without a context nothing to draw on.
    setSkins({0.0}, 2, 0.0);
    auto flat = brick();
    const auto picture = host::newPictureContext(20, 40);
    tarnwick::NativeContext context(picture);
    flat->drawSwatch(context, 20, 40);
    EXPECT_EQ(host::pixelAt(picture, 10, 0), (host::Rgba{255, 255, 255, 255}));
    host::disposePictureContext(picture);
    flat->drawPreview(nullptr, tarnwick::PixelRect{0, 0, 20, 40});
}

}   // namespace
