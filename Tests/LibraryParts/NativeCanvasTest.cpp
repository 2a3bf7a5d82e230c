// Previews: primitives drawn on a canvas over a real picture of the stand-in host, checked by the pixels
// where the test computes that each piece must (and must not) land.
#include "LibraryParts/NativeCanvas.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <HostGraphics.h>
#include <HostImages.h>

#include "Geometry/CadPolygon.h"
#include "Geometry/Cube.h"
#include "Interface/NativeContext.h"
#include "LibraryParts/PrimitiveArc.h"
#include "LibraryParts/PrimitiveHatch.h"
#include "LibraryParts/PrimitiveLine.h"
#include "LibraryParts/PrimitivePoint.h"
#include "LibraryParts/PrimitivePolygon.h"
#include "LibraryParts/PrimitiveText.h"
#include "Project/AttributeFixture.h"

using namespace tarnwick;

namespace {
constexpr double kPi = std::numbers::pi;
constexpr std::int16_t kRed = 2, kGreen = 3, kThick = 4;
const host::Rgba kWhite{255, 255, 255, 255};

class NativeCanvasTest : public AttributeFixture {
protected:
    void SetUp() override {
        AttributeFixture::SetUp();
        auto& attributes = host_->project().state.attributes;
        attributes.push_back(pen(kRed, "Red", 1, 0, 0, 0.1));
        attributes.push_back(pen(kGreen, "Green", 0, 0.5, 0, 0.1));
        attributes.push_back(pen(kThick, "Thick", 0, 0, 1, 5 * 0.3527777777778));   // five points wide
        host::sortAttributes(attributes);
        picture_ = host::newPictureContext(60, 60);
        ASSERT_NE(picture_, nullptr);
        context_ = std::make_shared<NativeContext>(picture_);
    }
    void TearDown() override {
        context_.reset();
        host::disposePictureContext(picture_);
        AttributeFixture::TearDown();
    }

    static host::SimAttribute pen(std::int16_t index, const char* name, double r, double g, double b,
                                  double mm) {
        host::SimAttribute made = attribute(host::kAttributePen, index, name);
        const double values[] = {r, g, b, mm};
        std::memcpy(made.body.data(), values, sizeof values);   // colour and width follow the header
        return made;
    }

    // Whether some pixel within one pixel of (x, y) has the colour, each channel within one step.
    bool near(double x, double y, host::Rgba colour) const {
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx) {
                const host::Rgba seen = host::pixelAt(picture_, static_cast<int>(std::floor(x)) + dx,
                                                      static_cast<int>(std::floor(y)) + dy);
                if (std::abs(seen.red - colour.red) <= 1 && std::abs(seen.green - colour.green) <= 1 &&
                    std::abs(seen.blue - colour.blue) <= 1)
                    return true;
            }
        return false;
    }
    // Whether every pixel within one pixel of (x, y) is still white.
    bool blank(double x, double y) const {
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if (host::pixelAt(picture_, static_cast<int>(std::floor(x)) + dx,
                                  static_cast<int>(std::floor(y)) + dy) != kWhite)
                    return false;
        return true;
    }
    // The canvas of the fixture's picture: model (0, 0)-(4, 4) fitted into the rectangle (10, 10)-(50, 50).
    std::unique_ptr<NativeCanvas> fitted() {
        auto canvas = std::make_unique<NativeCanvas>(context_, ScreenRect({10, 10}, {50, 50}));
        canvas->fit(Cube(CadPoint(0, 0), CadPoint(4, 4)));
        return canvas;
    }
    static CadPolygon square(double x, double y, double size) {
        CadPolygon polygon;
        for (const CadPoint& p :
             {CadPoint(x, y), CadPoint(x + size, y), CadPoint(x + size, y + size), CadPoint(x, y + size)})
            polygon.append(PolyPoint(p));
        return polygon;
    }

    host::PictureContext* picture_ = nullptr;
    std::shared_ptr<NativeContext> context_;
};
}   // namespace

TEST_F(NativeCanvasTest, AcceptsEveryCallWithoutAContextAndDrawsNothing) {
    NativeCanvas canvas(nullptr, ScreenRect());
    canvas.fit(Cube(CadPoint(0, 0), CadPoint(1, 1)));   // an empty rectangle: nothing to fit into
    EXPECT_DOUBLE_EQ(canvas.getScale(), 1.0);
    canvas.setPen(kRed);
    canvas.setColour(Colour(1.0, 0.0, 0.0, 1.0), true);
    canvas.fillRect(Colour(1.0, 0.0, 0.0, 1.0));
    EXPECT_TRUE(PrimitiveLine(Line({0, 0}, {1, 1}), 0, kRed, 1, true, false).draw(canvas, {}));
    EXPECT_TRUE(PrimitivePolygon(square(0, 0, 1), kRed, true, 0, kRed, 1, true, false).draw(canvas, {}));
    EXPECT_TRUE(PrimitiveText(String("A"), CadPoint(0, 0), 0, 0, kRed, 1, false, false).draw(canvas, {}));
    EXPECT_EQ(callsOf(host::HostSlot::getAttribute), 0u);
}

TEST_F(NativeCanvasTest, FitsTheBoundsCentredAndMapsBothWays) {
    // Without a rectangle the canvas takes the picture's.
    NativeCanvas whole(context_, ScreenRect());
    EXPECT_EQ(whole.getRect().width(), 60);
    EXPECT_EQ(whole.getRect().height(), 60);

    const struct {
        Cube bounds;
        double rotation;
        double scale;
        CadPoint model;   // a point of the bounds
        double x, y;      // where it lands
    } cases[] = {
        {Cube(CadPoint(0, 0), CadPoint(2, 1)), 0.0, 40.0, CadPoint(0, 0), 10, 70},
        {Cube(CadPoint(0, 0), CadPoint(2, 1)), 0.0, 40.0, CadPoint(2, 1), 90, 30},
        // Far from the origin the bounds still land in the middle of the rectangle.
        {Cube(CadPoint(100, 50), CadPoint(102, 51)), 0.0, 40.0, CadPoint(101, 50.5), 50, 50},
        // A line along x: only its length limits the scale.
        {Cube(CadPoint(0, 0), CadPoint(4, 0)), 0.0, 20.0, CadPoint(4, 0), 90, 50},
        // Turned a quarter: the 2 x 1 bounds stand upright, so the depth of 80 limits the scale.
        {Cube(CadPoint(0, 0), CadPoint(2, 1)), kPi / 2, 40.0, CadPoint(1, 0.5), 50, 50},
    };
    for (const auto& c : cases) {
        NativeCanvas canvas(context_, ScreenRect({10, 10}, {90, 90}));
        canvas.setRotation(c.rotation);
        canvas.fit(c.bounds);
        EXPECT_NEAR(canvas.getScale(), c.scale, 1e-9);
        const NativeCanvas::Position at = canvas.toScreen(c.model, CadPoint());
        EXPECT_NEAR(at.x, c.x, 1e-9);
        EXPECT_NEAR(at.y, c.y, 1e-9);
        const ScreenPoint point = canvas.toScreenPoint(c.model, CadPoint());
        const CadPoint back = canvas.toModel(point);
        EXPECT_NEAR(back.getX(), c.model.getX(), 1.0 / c.scale);
        EXPECT_NEAR(back.getY(), c.model.getY(), 1.0 / c.scale);
    }
    // Bounds of no size change nothing.
    NativeCanvas canvas(context_, ScreenRect({10, 10}, {90, 90}));
    canvas.fit(Cube(CadPoint(3, 3), CadPoint(3, 3)));
    EXPECT_DOUBLE_EQ(canvas.getScale(), 1.0);
    EXPECT_DOUBLE_EQ(canvas.getCentre().x, 0.0);
}

TEST_F(NativeCanvasTest, DrawsLinesArcsPolygonsAndTextsWhereTheModelPutsThem) {
    const auto canvas = fitted();   // scale 10: model (x, y) lands at (10 + 10x, 50 - 10y)
    const host::Rgba red{255, 0, 0, 255}, green{0, 128, 0, 255};
    // A filled square (1, 1)-(2, 2) covers (20, 30)-(30, 40); an outline square (3, 0)-(4, 1) only its edges.
    EXPECT_TRUE(PrimitivePolygon(square(1, 1, 1), kRed, true, 0, kRed, 1, true, false).draw(*canvas, {}));
    EXPECT_TRUE(
        PrimitivePolygon(square(3, 0, 1), kGreen, false, 0, kGreen, 1, true, false).draw(*canvas, {}));
    EXPECT_TRUE(near(25, 35, red));
    EXPECT_TRUE(near(40, 45, green));   // its left edge
    EXPECT_TRUE(blank(45, 45));         // its inside
    // A line with an offset: (0, 3)-(1, 3) moved by (0, 0.5) runs at y 15 from x 10 to 20.
    EXPECT_TRUE(PrimitiveLine(Line({0, 3}, {1, 3}), 0, kRed, 1, true, false).draw(*canvas, {0, 0.5}));
    EXPECT_TRUE(near(15, 15, red));
    EXPECT_TRUE(blank(15, 20));
    // A quarter arc about (2, 2), radius 1, from 0 to 90 degrees counter-clockwise: up and right on the
    // screen, never down.
    EXPECT_TRUE(PrimitiveArc(CadArc({2, 2}, 1, 0, kPi / 2), 0, kGreen, 1, true, false).draw(*canvas, {}));
    const double diagonal = 10 * std::sqrt(0.5);
    EXPECT_TRUE(near(30 + diagonal, 30 - diagonal, green));
    EXPECT_TRUE(blank(30 + diagonal, 30 + diagonal));
    // A full circle about (3, 3), radius 0.5: at both ends of its diameter.
    EXPECT_TRUE(PrimitiveArc(CadArc({3, 3}, 0.5, 1, 2 * kPi), 0, kGreen, 1, true, false).draw(*canvas, {}));
    EXPECT_TRUE(near(35, 20, green));
    EXPECT_TRUE(near(45, 20, green));
    EXPECT_TRUE(blank(40, 20));
    // A text starts at its position and rises above it, in the colour in force.
    EXPECT_TRUE(PrimitiveText(String("W"), CadPoint(0, 1), 0, 0, kRed, 1, false, false).draw(*canvas, {}));
    bool inked = false;
    for (int y = 31; y < 40 && !inked; ++y)
        for (int x = 10; x < 20 && !inked; ++x)
            inked = host::pixelAt(picture_, x, y) == host::Rgba{0, 128, 0, 255};
    EXPECT_TRUE(inked);
    // Points and hatches draw nothing here.
    EXPECT_TRUE(PrimitivePoint(CadPoint(0.5, 0.5), 0, kRed, 1, true, false).draw(*canvas, {}));
    EXPECT_TRUE(PrimitiveHatch(square(0, 0, 0.8), kRed, kRed, 1, true, false, false, 0, kRed, 1, true, false)
                    .draw(*canvas, {}));
    EXPECT_TRUE(blank(14, 46));
    // The background: the preview rectangle only.
    canvas->fillRect(Colour(0.0, 0.0, 1.0, 1.0));
    EXPECT_TRUE(near(49, 49, host::Rgba{0, 0, 255, 255}));
    EXPECT_EQ(host::pixelAt(picture_, 55, 55), kWhite);
}

TEST_F(NativeCanvasTest, SetsAPenOnlyWhenItChangesAtItsPaperWidthWhateverTheScaleAndKeepsAForcedOne) {
    const auto canvas = fitted();   // scale 10
    const std::size_t before = callsOf(host::HostSlot::getAttribute);
    PrimitiveLine(Line({0, 3}, {4, 3}), 0, kThick, 1, true, false).draw(*canvas, {});
    PrimitiveLine(Line({0, 1}, {4, 1}), 0, kThick, 1, true, false).draw(*canvas, {});
    EXPECT_EQ(callsOf(host::HostSlot::getAttribute) - before, 1u);   // one pen, read once
    // The thick pen is five points, here five pixels, across: not fifty.
    int across = 0;
    for (int y = 10; y < 30; ++y) across += host::pixelAt(picture_, 30, y) == host::Rgba{0, 0, 255, 255};
    EXPECT_NEAR(across, 5, 1);

    // A kept colour outlives the pens that follow, which still set their width.
    canvas->setColour(Colour(0.0, 0.5, 0.0, 1.0), /*keep=*/true);
    PrimitiveLine(Line({0, 2}, {4, 2}), 0, kRed, 1, true, false).draw(*canvas, {});
    EXPECT_TRUE(near(30, 30, host::Rgba{0, 128, 0, 255}));
    int thin = 0;
    for (int y = 25; y < 35; ++y) thin += host::pixelAt(picture_, 30, y) != kWhite;
    EXPECT_LE(thin, 2);   // the red pen's 0.1 mm: as thin as a line gets
    // A kept width outlives them too.
    canvas->setLineWidth(3.0, /*keep=*/true);
    PrimitiveLine(Line({1, 0}, {1, 4}), 0, kThick, 1, true, false).draw(*canvas, {});
    int wide = 0;
    for (int x = 14; x < 27; ++x) wide += host::pixelAt(picture_, x, 45) == host::Rgba{0, 128, 0, 255};
    EXPECT_NEAR(wide, 3, 1);
}

TEST_F(NativeCanvasTest, AnArcTurnsWithTheCanvas) {
    NativeCanvas canvas(context_, ScreenRect({10, 10}, {50, 50}));
    canvas.setRotation(kPi / 2);
    canvas.fit(Cube(CadPoint(0, 0), CadPoint(4, 4)));
    // A quarter arc about (2, 2), radius 1.5, from 0 to 90 degrees: drawn through its own middle only.
    EXPECT_TRUE(PrimitiveArc(CadArc({2, 2}, 1.5, 0, kPi / 2), 0, kRed, 1, true, false).draw(canvas, {}));
    const auto at = [&](double degrees) {
        const double angle = degrees * kPi / 180;
        return canvas.toScreen(CadPoint(2 + 1.5 * std::cos(angle), 2 + 1.5 * std::sin(angle)), {});
    };
    EXPECT_TRUE(near(at(45).x, at(45).y, host::Rgba{255, 0, 0, 255}));
    for (const double outside : {-45.0, 135.0, 225.0}) EXPECT_TRUE(blank(at(outside).x, at(outside).y));
}

TEST_F(NativeCanvasTest, AnOpenOutlineLeavesOutItsClosingEdge) {
    const auto canvas = fitted();   // model (x, y) lands at (10 + 10x, 50 - 10y)
    CadPolygon open(0, 0, /*closed=*/false);
    for (const CadPoint& p : {CadPoint(0, 0), CadPoint(4, 0), CadPoint(4, 4)}) open.append(PolyPoint(p));
    EXPECT_TRUE(PrimitivePolygon(open, kRed, false, 0, kRed, 1, true, false).draw(*canvas, {}));
    EXPECT_FALSE(blank(30, 50));   // (2, 0), on the first edge
    EXPECT_FALSE(blank(50, 30));   // (4, 2), on the second
    EXPECT_TRUE(blank(30, 30));    // (2, 2), where the closing edge would run
}

TEST_F(NativeCanvasTest, DrawsEachSceneAsItsReferencePicture) {
    // Each scene fits model (0, 0)-(5, 4) into a 64 x 48 picture at scale 10, drawn as a preview would be;
    // the pictures beside this test were made by this code and checked by eye.
    const struct {
        const char* file;
        void (*draw)(NativeCanvas&);
    } scenes[] = {
        {"lines.png",
         [](NativeCanvas& canvas) {
             PrimitiveLine(Line({0, 0}, {5, 4}), 0, kRed, 1, true, false).draw(canvas, {});
             PrimitiveLine(Line({0, 4}, {2, 0}), 0, kGreen, 1, true, false).draw(canvas, {});
             PrimitiveLine(Line({0, 1}, {4, 1}), 0, kThick, 1, true, false).draw(canvas, {0.5, 2});
         }},
        {"arcs.png",
         [](NativeCanvas& canvas) {
             PrimitiveArc(CadArc({1.5, 2}, 1.5, 0, kPi), 0, kRed, 1, true, false).draw(canvas, {});
             PrimitiveArc(CadArc({3.5, 2}, 1, 1, 2 * kPi), 0, kGreen, 1, true, false).draw(canvas, {});
             PrimitiveArc(CadArc({2.5, 1}, 0.8, kPi, kPi / 2), 0, kThick, 1, true, false).draw(canvas, {});
         }},
        {"polygons.png",
         [](NativeCanvas& canvas) {
             canvas.fillRect(Colour(1.0, 1.0, 0.8, 1.0));
             PrimitivePolygon(square(0.5, 0.5, 2), kRed, true, 0, kRed, 1, true, false).draw(canvas, {});
             PrimitivePolygon(square(3, 1.5, 1.5), kGreen, false, 0, kGreen, 1, true, false).draw(canvas, {});
             CadPolygon triangle;
             for (const CadPoint& p : {CadPoint(1.5, 3.8), CadPoint(4.5, 3.8), CadPoint(3, 2.2)})
                 triangle.append(PolyPoint(p));
             PrimitivePolygon(triangle, kThick, true, 0, kThick, 1, true, false).draw(canvas, {});
         }},
    };
    for (const auto& scene : scenes) {
        SCOPED_TRACE(scene.file);
        const std::unique_ptr<host::PictureContext, void (*)(host::PictureContext*)> picture(
            host::newPictureContext(64, 48), host::disposePictureContext);
        ASSERT_NE(picture, nullptr);
        {
            NativeCanvas canvas(std::make_shared<NativeContext>(picture.get()), ScreenRect({2, 2}, {62, 46}));
            canvas.fit(Cube(CadPoint(0, 0), CadPoint(5, 4)));
            scene.draw(canvas);
        }
        const std::string path = std::string(TEST_SOURCE_DIR) + "/Pictures/" + scene.file;
        std::ifstream file(path, std::ios::binary);
        const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(file),
                                              std::istreambuf_iterator<char>()};
        const host::PixMap reference =
            host::GXImage(bytes.data(), bytes.size(), host::kImageTypePNG).toPixMap();
        ASSERT_EQ(reference.width, 64) << path;
        ASSERT_EQ(reference.height, 48) << path;
        int differing = 0;
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 64; ++x) {
                const host::Rgba seen = host::pixelAt(picture.get(), x, y);
                const std::uint8_t* const expected = &reference.pixels[(y * 64 + x) * 4];
                const int channels[] = {seen.red, seen.green, seen.blue, seen.alpha};
                bool same = true;
                for (int c = 0; c < 4; ++c) same = same && std::abs(channels[c] - expected[c]) <= 1;
                if (!same && differing++ == 0)
                    ADD_FAILURE() << "first differing pixel (" << x << ", " << y << "): " << channels[0]
                                  << " " << channels[1] << " " << channels[2] << " " << channels[3]
                                  << " against " << int(expected[0]) << " " << int(expected[1]) << " "
                                  << int(expected[2]) << " " << int(expected[3]);
            }
        EXPECT_EQ(differing, 0);
    }
}
