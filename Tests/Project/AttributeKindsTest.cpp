// Pens, fills, surfaces, building materials, cities, line types, profiles, fonts, phases and text
// styles: read from the project, written back, drawn as swatches and measured.
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <string>
#include <tuple>

#include <HostGraphics.h>

#include "Foundation/DataFile.h"
#include "Interface/NativeContext.h"
#include "Project/AttributeFixture.h"
#include "Project/City.h"
#include "Project/ComplexProfile.h"
#include "Project/Fill.h"
#include "Project/Finish.h"
#include "Project/Font.h"
#include "Project/LineStyle.h"
#include "Project/Material.h"
#include "Project/Pen.h"
#include "Project/Phase.h"
#include "Project/Storey.h"
#include "Project/TextStyle.h"

namespace {

using tarnwick::AttributeLink;
using tarnwick::AttributeType;
using tarnwick::Colour;

// The project's attributes beside the fixture's layers: pens 2 (red, 0.04 mm) and 3 (blue, 2 mm), a
// radial fill, a surface, a building material of both, a city, a line type, a profile and a font.
class AttributeKindsTest : public AttributeFixture {
protected:
    void SetUp() override {
        AttributeFixture::SetUp();
        auto& attributes = host_->project().state.attributes;
        attributes.push_back(pen(2, "Red", 1.0, 0.0, 0.0, 0.04));
        attributes.push_back(pen(3, "Blue", 0.0, 0.0, 1.0, 2.0));
        host::SimAttribute fill = attribute(host::kAttributeFill, 1, "Glow");
        put(fill, 296, std::int32_t{tarnwick::Fill::kRadialGradient});
        attributes.push_back(fill);
        host::SimAttribute hatch = attribute(host::kAttributeFill, 2, "Hatch");
        const std::uint8_t rows[8] = {0xFF, 0, 0xFF, 0, 0xFF, 0, 0xFF, 0};
        std::memcpy(&hatch.body[304 - 296], rows, 8);
        attributes.push_back(hatch);
        host::SimAttribute surface = attribute(host::kAttributeSurface, 1, "Oak");
        put(surface, 304, std::uint16_t{40});
        put(surface, 320, 0.5);
        put(surface, 328, 0.25);
        put(surface, 336, 0.0);
        attributes.push_back(surface);
        host::SimAttribute material = attribute(host::kAttributeBuildingMaterial, 1, "Brick");
        put(material, 324, std::int16_t{2});   // the hatch
        put(material, 326, std::int16_t{2});   // drawn in the red pen
        put(material, 330, std::int16_t{1});   // the oak surface
        put(material, 336, 2.5);
        attributes.push_back(material);
        host::SimAttribute city = attribute(host::kAttributeCity, 1, "Vienna");
        put(city, 296, std::int16_t{48 * 60 + 12});
        put(city, 298, std::int16_t{16 * 60 + 22});
        put(city, 300, std::int16_t{60});
        attributes.push_back(city);
        host::SimAttribute line = attribute(host::kAttributeLineType, 1, "Dashed");
        line.body[10] = 7;
        attributes.push_back(line);
        host::SimAttribute profile = attribute(host::kAttributeProfile, 1, "Rail");
        profile.body[1] = 1;
        attributes.push_back(profile);
        attributes.push_back(attribute(host::kAttributeFont, 1, "DejaVu Sans"));
        host::sortAttributes(attributes);
    }

    template <typename T>
    static void put(host::SimAttribute& attribute, std::size_t offset, T value) {
        std::memcpy(&attribute.body[offset - sizeof(host::AttributeHeader)], &value, sizeof value);
    }
    template <typename T>
    T bodyOf(std::int32_t type, std::int16_t index, std::size_t offset) const {
        T value;
        std::memcpy(&value, &host_->project().findAttribute(type, index)->body[offset - 296], sizeof value);
        return value;
    }
    static host::SimAttribute pen(std::int16_t index, const char* name, double r, double g, double b,
                                  double w) {
        host::SimAttribute made = attribute(host::kAttributePen, index, name);
        put(made, 296, r);
        put(made, 304, g);
        put(made, 312, b);
        put(made, 320, w);
        return made;
    }
    template <typename Kind>
    std::unique_ptr<Kind> load(AttributeType type, std::int16_t index) {
        std::unique_ptr<tarnwick::Attribute> made = specification().getAttribute(AttributeLink(index, type));
        auto* kind = dynamic_cast<Kind*>(made.get());
        if (kind == nullptr) return nullptr;
        static_cast<void>(made.release());
        return std::unique_ptr<Kind>(kind);
    }
    bool write(tarnwick::Attribute& attribute) {
        return inCommand([&] { return specification().write(attribute); }) == host::kNoError;
    }
};

// A picture of the size, disposed with the guard.
struct Picture {
    Picture(int width, int height) : context(host::newPictureContext(width, height)) {}
    ~Picture() { host::disposePictureContext(context); }
    host::Rgba at(int x, int y) const { return host::pixelAt(context, x, y); }
    int countInRow(int y, host::Rgba colour) const {
        int count = 0;
        for (int x = 0; x < host::pictureWidth(context); ++x) count += at(x, y) == colour ? 1 : 0;
        return count;
    }
    host::PictureContext* context;
};

constexpr host::Rgba kWhite{255, 255, 255, 255};
constexpr host::Rgba kBlack{0, 0, 0, 255};
constexpr host::Rgba kRed{255, 0, 0, 255};

TEST_F(AttributeKindsTest, EveryKindIsReadFromTheProjectAndWrittenBack) {
    // Pens: the colour as a value rounds the way swatches do, so 0x0080FF reads back as itself.
    auto red = load<tarnwick::Pen>(AttributeType::pen, 2);
    ASSERT_NE(red, nullptr);
    EXPECT_EQ(red->getColourValue(), 0xFF0000);
    EXPECT_DOUBLE_EQ(red->getWidth(), 0.04);
    red->setColourValue(0x0080FF);
    EXPECT_EQ(red->getColourValue(), 0x0080FF);
    EXPECT_DOUBLE_EQ(red->getColour().green, 128.0 / 255.0);
    red->setWidth(0.35);
    ASSERT_TRUE(write(*red));
    EXPECT_DOUBLE_EQ(bodyOf<double>(host::kAttributePen, 2, 304), 128.0 / 255.0);
    EXPECT_DOUBLE_EQ(bodyOf<double>(host::kAttributePen, 2, 320), 0.35);
    // Fills.
    auto glow = load<tarnwick::Fill>(AttributeType::fill, 1);
    ASSERT_NE(glow, nullptr);
    EXPECT_EQ(glow->getKind(), tarnwick::Fill::kRadialGradient);
    EXPECT_TRUE(static_cast<const tarnwick::Pattern&>(*glow).isValid());
    glow->setKind(tarnwick::Fill::kLinearGradient);
    ASSERT_TRUE(write(*glow));
    EXPECT_EQ(bodyOf<std::int32_t>(host::kAttributeFill, 1, 296), tarnwick::Fill::kLinearGradient);
    // Surfaces: reflections in hundredths, no texture.
    auto oak = load<tarnwick::Finish>(AttributeType::finish, 1);
    ASSERT_NE(oak, nullptr);
    EXPECT_DOUBLE_EQ(oak->getAmbientReflection(), 0.4);
    EXPECT_EQ(oak->getSurfaceColour(), Colour(0.5, 0.25, 0.0, 1.0));
    EXPECT_TRUE(oak->isTextureMissing());
    EXPECT_DOUBLE_EQ(oak->getTextureXSize(), 1.0);
    EXPECT_DOUBLE_EQ(oak->getTextureRotationAngle(), 0.0);
    // Its type steps round 0 to 9.
    const std::pair<std::int32_t, std::int32_t> steps[] = {{0, 1}, {8, 9}, {9, 0}};
    for (const auto& [type, next] : steps) {
        EXPECT_EQ(tarnwick::Finish::nextMaterialType(type), next);
        EXPECT_EQ(tarnwick::Finish::previousMaterialType(next), type);
    }
    oak->setSurfaceColour(Colour(0.0, 1.0, 0.0, 1.0));
    ASSERT_TRUE(write(*oak));
    EXPECT_DOUBLE_EQ(bodyOf<double>(host::kAttributeSurface, 1, 328), 1.0);
    // Building materials name their fill, pens and surface in their own project.
    auto brick = load<tarnwick::Material>(AttributeType::material, 1);
    ASSERT_NE(brick, nullptr);
    EXPECT_EQ(brick->getCutFill().getName(), "Hatch");
    EXPECT_EQ(brick->getCutFillPen().getName(), "Red");
    EXPECT_EQ(brick->getSurface().getName(), "Oak");
    EXPECT_DOUBLE_EQ(brick->getValue(0), 2.5);
    brick->setCutFillBackgroundPen(*load<tarnwick::Pen>(AttributeType::pen, 3));
    ASSERT_TRUE(write(*brick));
    EXPECT_EQ(bodyOf<std::int16_t>(host::kAttributeBuildingMaterial, 1, 328), 3);
    tarnwick::MaterialRecord copied{};   // a material made from a host record is linked by its index
    std::memcpy(&copied, brick->copyDefinition().get(), sizeof copied);
    const tarnwick::Material fromRecord(copied);
    EXPECT_EQ(fromRecord.getIndex(), 1);
    EXPECT_EQ(fromRecord.getCutFillBackgroundPen().getName(), brick->getCutFillBackgroundPen().getName());
    // Cities keep whole minutes; the degrees read back keep the minutes' fraction.
    auto vienna = load<tarnwick::City>(AttributeType::city, 1);
    ASSERT_NE(vienna, nullptr);
    EXPECT_DOUBLE_EQ(vienna->getLatitude(), 48.2);
    vienna->setLatitude(45.5);
    EXPECT_DOUBLE_EQ(vienna->getLatitude(), 45.5);
    ASSERT_TRUE(write(*vienna));
    EXPECT_EQ(bodyOf<std::int16_t>(host::kAttributeCity, 1, 296), 2730);
    // Line types and fonts are carried whole; profiles have three flags.
    auto dashed = load<tarnwick::LineStyle>(AttributeType::lineStyle, 1);
    ASSERT_NE(dashed, nullptr);
    dashed->setName("Dash dot");
    ASSERT_TRUE(write(*dashed));
    EXPECT_EQ(host_->project().findAttribute(host::kAttributeLineType, 1)->name, "Dash dot");
    EXPECT_EQ(bodyOf<std::uint8_t>(host::kAttributeLineType, 1, 306), 7);
    auto rail = load<tarnwick::ComplexProfile>(AttributeType::complexProfile, 1);
    ASSERT_NE(rail, nullptr);
    EXPECT_FALSE(rail->getFlag(0));
    EXPECT_TRUE(rail->getFlag(1));
    rail->setFlag(2, true);
    ASSERT_TRUE(write(*rail));
    EXPECT_EQ(bodyOf<std::uint8_t>(host::kAttributeProfile, 1, 298), 1);
    EXPECT_EQ(tarnwick::Font(tarnwick::String("DejaVu Sans")).getIndex(), 1);
    // A new pen is created in the host.
    tarnwick::Pen made;
    made.setName("Green");
    made.setColourValue(0x00FF00);
    ASSERT_TRUE(write(made));
    EXPECT_EQ(made.getIndex(), 4);
    EXPECT_DOUBLE_EQ(bodyOf<double>(host::kAttributePen, 4, 320), 0.1);   // a new pen's width
    // Kinds of type 0 are never attributes of the host.
    EXPECT_EQ(specification().getAttribute(AttributeLink(std::int16_t{1}, AttributeType::none)), nullptr);
    EXPECT_FALSE(tarnwick::Phase::existing().isValid());
    EXPECT_FALSE(tarnwick::TextStyle().isValid());
    EXPECT_FALSE(write(*tarnwick::Phase::existing().clone()));
}

TEST_F(AttributeKindsTest, ASurfaceAndEachOfItsCopiesOwnTheirTextureFile) {
    host_->project().findAttribute(host::kAttributeSurface, 1)->textureFile = "/textures/oak.png";
    const auto pathOf = [](const tarnwick::Finish& finish) {
        const std::unique_ptr<tarnwick::DataFile> file = finish.getTextureFile();
        return file ? file->getPath() : tarnwick::String();
    };
    auto oak = load<tarnwick::Finish>(AttributeType::finish, 1);
    ASSERT_NE(oak, nullptr);
    const std::unique_ptr<tarnwick::Attribute> cloned = oak->clone();
    tarnwick::Finish assigned;
    assigned = *oak;
    oak.reset();   // the copies keep theirs
    EXPECT_EQ(pathOf(static_cast<const tarnwick::Finish&>(*cloned)), "/textures/oak.png");
    EXPECT_EQ(pathOf(assigned), "/textures/oak.png");
    // Written back by a copy, the file stays the material's; the link of the other brings it back too.
    host_->project().findAttribute(host::kAttributeSurface, 1)->textureFile = "/textures/elm.png";
    ASSERT_TRUE(write(assigned));
    EXPECT_EQ(host_->project().findAttribute(host::kAttributeSurface, 1)->textureFile, "/textures/oak.png");
    const tarnwick::Finish linked(AttributeLink(std::int16_t{1}, AttributeType::finish));
    EXPECT_EQ(pathOf(linked), "/textures/oak.png");
}

TEST_F(AttributeKindsTest, FindsTheNearestPenAndACityWithinADegree) {
    EXPECT_EQ(specification().findPen(0.9, 0.1, 0.0, 1.0), 2);
    EXPECT_EQ(specification().findPen(0.0, 0.0, 0.8, 0.0), 3);
    host_->project().state.attributes.push_back(pen(4, "Red too", 1.0, 0.0, 0.0, 0.01));
    host::sortAttributes(host_->project().state.attributes);
    EXPECT_EQ(specification().findPen(1.0, 0.0, 0.0, 0.5), 4);   // equally near: the thinner
    EXPECT_EQ(specification().findCity(16.0, 47.2), 1);          // exactly 1 degree off still matches
    EXPECT_EQ(specification().findCity(982 / 60.0 + 1.0, 2892 / 60.0), 1);   // in longitude too
    EXPECT_EQ(specification().findCity(14.0, 48.2), 0);
    // The project's location as a city: the known one, or a new one named by the city note.
    host::SimSettings& settings = host_->project().state.settings;
    settings.location.longitude = 16.5;
    settings.location.latitude = 48.0;
    settings.location.timeZone = 120;
    auto city = project().getCity();
    ASSERT_NE(city, nullptr);
    EXPECT_EQ(city->getName(), "Vienna");
    EXPECT_DOUBLE_EQ(city->getLatitude(), 48.0);
    EXPECT_EQ(city->getTimeZone(), 120);
    settings.location.longitude = -70.0;
    settings.city = "Santiago";
    city = project().getCity();
    ASSERT_NE(city, nullptr);
    EXPECT_EQ(city->getName(), "Santiago");
    EXPECT_FALSE(city->isValid());   // not in the host yet
    EXPECT_DOUBLE_EQ(city->getLongitude(), -70.0);
}

TEST_F(AttributeKindsTest, SwatchesAreDrawnAsPicturesAUserCanOpen) {
    // A pen of 0.04 mm draws a 1-pixel bar, one of 2 mm the whole 10-pixel bar.
    const struct {
        std::int16_t pen;
        int stroke;
    } pens[] = {{2, 1}, {3, 10}};
    for (const auto& c : pens) {
        SCOPED_TRACE(c.pen);
        auto pen = load<tarnwick::Pen>(AttributeType::pen, c.pen);
        ASSERT_NE(pen, nullptr);
        Picture picture(60, 20);
        tarnwick::NativeContext context(picture.context);
        pen->drawSwatch(context, 60, 20);
        const host::Rgba colour = c.pen == 2 ? kRed : host::Rgba{0, 0, 255, 255};
        int bar = 0;   // pixels of the pen's colour left of the patch (which starts at 17)
        for (int x = 0; x < 17; ++x) bar += picture.at(x, 10) == colour ? 1 : 0;
        EXPECT_EQ(bar, c.stroke);
        EXPECT_EQ(picture.at(2, 10), kBlack);    // the frame
        EXPECT_EQ(picture.at(40, 10), colour);   // the patch
    }
    // A building material without a background pen draws its fill on white, then its surface.
    auto brick = load<tarnwick::Material>(AttributeType::material, 1);
    ASSERT_NE(brick, nullptr);
    Picture picture(100, 20);
    tarnwick::NativeContext context(picture.context);
    brick->drawSwatch(context, 100, 20);
    EXPECT_EQ(picture.at(20, 4), kRed);                             // a set row of the hatch in the red pen
    EXPECT_EQ(picture.at(20, 3), kWhite);                           // a clear row on the background
    EXPECT_EQ(picture.at(80, 10), (host::Rgba{128, 64, 0, 255}));   // the oak surface
    // Written as a PNG file.
    const std::string path = (folder_ / "brick.png").string();
    ASSERT_TRUE(host::writePicturePng(picture.context, path.c_str()));
    std::ifstream file(path, std::ios::binary);
    char signature[8] = {};
    file.read(signature, 8);
    EXPECT_EQ(std::string(signature + 1, 3), "PNG");
    // A radial fill darkens towards its centre (foreground black inside, white outside); nothing is
    // drawn without a context.
    auto glow = load<tarnwick::Fill>(AttributeType::fill, 1);
    ASSERT_NE(glow, nullptr);
    Picture radial(40, 40);
    tarnwick::NativeContext radialContext(radial.context);
    glow->drawSwatch(radialContext, 40, 40);
    EXPECT_EQ(radial.at(20, 20), kBlack);
    EXPECT_GT(radial.at(2, 2).red, 250);
    tarnwick::NativeContext none(nullptr);
    glow->drawSwatch(none, 40, 40);
}

TEST_F(AttributeKindsTest, TextsAreMeasuredInTheProjectsFonts) {
    tarnwick::TextStyle style(tarnwick::Font(AttributeLink(std::int16_t{1}, AttributeType::font)),
                              tarnwick::Pen());
    EXPECT_EQ(style.getPointSize(), 9);   // 3 mm
    host_->clearCalls();
    EXPECT_DOUBLE_EQ(style.measure(tarnwick::String(), 0), 0.0);
    EXPECT_TRUE(host_->calls().empty());
    const double one = style.measure("Width", 0);
    const double two = style.measure("WidthWidth", 0);
    EXPECT_GT(one, 3.0);   // five letters of a 3 mm font
    EXPECT_LT(one, 15.0);
    EXPECT_NEAR(two, 2 * one, 0.05 * one);
    tarnwick::TextStyle bold = style;
    bold.setBold(true);
    EXPECT_GT(bold.measure("Width", 0), one);
    EXPECT_FALSE(bold == style);
    host_->injectFault({host::HostSlot::utilities, host::fourcc("GTLL")}, 0, host::kErrGeneral);
    EXPECT_DOUBLE_EQ(style.measure("Width", 0), 0.0);

    // The host's text records give back what they were made from.
    host::TextRecord record{};
    record.pen = 3;
    record.style = host::kTextItalic;
    record.font = 1;
    record.extra = 7;
    record.size = 2.5;
    const host::TextRecord back = tarnwick::TextStyle(record).toHostRecord(4, 5);
    EXPECT_EQ(std::make_tuple(back.word0, back.word1, back.pen, back.style, back.font, back.extra),
              std::make_tuple(4, 5, std::int16_t{3}, std::uint16_t{host::kTextItalic}, std::int16_t{1},
                              std::int16_t{7}));
    EXPECT_DOUBLE_EQ(back.size, 2.5);
    const host::TextSizeRecord size =
        tarnwick::TextStyle(tarnwick::TextStyle(record).toSizeRecord()).toSizeRecord();
    EXPECT_EQ(size.pen, 3);
    EXPECT_EQ(size.font, 1);
    EXPECT_DOUBLE_EQ(size.size, 2.5);
}

TEST_F(AttributeKindsTest, PhasesAreNamedByTheFrameworksTexts) {
    EXPECT_EQ(tarnwick::Phase::existing().getName(), "Existing");
    EXPECT_EQ(tarnwick::Phase::demolished().getName(), "Demolished");
    EXPECT_EQ(tarnwick::Phase::proposed().getName(), "Proposed");
    EXPECT_TRUE(tarnwick::Phase(AttributeLink(std::int16_t{0}, AttributeType::none)).getName().isEmpty());
    EXPECT_TRUE(tarnwick::Phase(AttributeLink(std::int16_t{26}, AttributeType::none)).getName().isEmpty());
}

}   // namespace
