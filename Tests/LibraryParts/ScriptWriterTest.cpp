#include "LibraryParts/ScriptWriter.h"

#include <cmath>
#include <memory>
#include <numbers>
#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include <HostGuid.h>
#include <HostModel3D.h>

#include "Geometry/CadPolygon.h"
#include "LibraryParts/AttributeTracker.h"
#include "LibraryParts/ParameterList.h"
#include "LibraryParts/PrimitiveArc.h"
#include "LibraryParts/PrimitiveBody.h"
#include "LibraryParts/PrimitiveDistortedHatch.h"
#include "LibraryParts/PrimitiveHatch.h"
#include "LibraryParts/PrimitiveLine.h"
#include "LibraryParts/PrimitivePoint.h"
#include "LibraryParts/PrimitivePolygon.h"
#include "LibraryParts/PrimitiveText.h"
#include "Project/AttributeLink.h"
#include "Project/Finish.h"
#include "Project/HostProject.h"

using namespace tarnwick;

namespace {
constexpr double kPi = std::numbers::pi;

CadPolygon square(double x, double y, double size) {
    CadPolygon polygon;
    polygon.append(PolyPoint({x, y}));
    polygon.append(PolyPoint({x + size, y}));
    polygon.append(PolyPoint({x + size, y + size}));
    polygon.append(PolyPoint({x, y + size}));
    return polygon;
}

std::string script2D(const Primitive& primitive, CadPoint offset = {}, int indentation = 0,
                     AttributeTracker* tracker = nullptr) {
    std::ostringstream out;
    EXPECT_TRUE(primitive.write2D(out, tracker, offset, indentation));
    return out.str();
}

std::string script3D(const Primitive& primitive, CadPoint offset = {}, int indentation = 0,
                     AttributeTracker* tracker = nullptr) {
    std::ostringstream out;
    EXPECT_TRUE(primitive.write3D(out, tracker, offset, indentation));
    return out.str();
}

// Without an attribute record every primitive still says its pen and line type: "pen 1", "line_type 1".
const std::string kPenAndLineType = "pen 1\nline_type 1\n";

PrimitiveHatch hatch(const CadPolygon& polygon, std::uint32_t fillIndex, bool contour, bool gradient) {
    return PrimitiveHatch(polygon, /*fillPen=*/4, /*backgroundPen=*/9, fillIndex, contour, gradient,
                          /*linear=*/true, 0, /*pen=*/1, 1, true, false);
}

class ScriptWriterBodyTest : public testing::Test {
protected:
    void TearDown() override { host::clearModel3D(); }
};
}   // namespace

TEST(ScriptWriter, RoundsRealsToTheStepAndKeepsTheirDigits) {
    const std::pair<double, const char*> reals[] = {
        {0.0, "0"},
        {1.5, "1.5"},
        {0.123456, "0.12346"},
        {-2.000004, "-2"},
        {-0.000001, "0"},
        {123.45678, "123.45678"},
        {12345.678, "12345.678"},
        {1234567.0, "1234567"},
        {0.1 + 0.2, "0.3"},
        {-7.25, "-7.25"},
    };
    for (const auto& [value, text] : reals) EXPECT_EQ(ScriptWriter::formatReal(value), text) << value;
    EXPECT_EQ(ScriptWriter::formatDegrees(kPi / 2), "90");
    EXPECT_EQ(ScriptWriter::formatDegrees(-kPi / 4), "-45");
    EXPECT_EQ(ScriptWriter::formatDegrees(1.0), "57.29578");
}

TEST(ScriptWriter, WritesHotspotsLinesAndTextsWithOffsetAndIndentation) {
    const PrimitivePoint point(CadPoint(1, 2, 3), 0, 1, 1, true, true);
    EXPECT_EQ(script2D(point, {10, 0}, 1), "\tpen 1\n\thotspot2 11, 2\n");
    EXPECT_EQ(script3D(point, {10, 0, 1}, 1), "\thotspot 11, 2, 4\n");

    const PrimitiveLine line(Line({0, 0, 0}, {1, 1, 2}), 0, 3, 2, true, true);
    EXPECT_EQ(script2D(line, {10, 0}, 1), "\tpen 3\n\tline_type 2\n\tline2 10, 0, 11, 1\n");
    EXPECT_EQ(script3D(line, {10, 0}, 2), "\t\tlin_ 10, 0, 0, 11, 1, 2\n");

    const PrimitiveText text(String("Room 1.5"), CadPoint(1, 2), 0.0, 0, 1, 1, true, true);
    EXPECT_EQ(script2D(text), kPenAndLineType + "text2 1, 2, \"Room 1.5\"\n");
    EXPECT_EQ(script3D(text), "");
    // A quote would end the string and let the rest run as script; a line break would end the statement.
    const PrimitiveText quoted(String("say \"hi\"\nthere"), CadPoint(0, 0), 0.0, 0, 1, 1, true, false);
    EXPECT_EQ(script2D(quoted),
              kPenAndLineType + "text2 0, 0, \"say \" + '\"' + \"hi\" + '\"' + \" there\"\n");

    // Not taking part in a dimension writes nothing there.
    const PrimitivePoint only3D(CadPoint(1, 2), 0, 1, 1, false, true);
    EXPECT_EQ(script2D(only3D), "");
    const PrimitiveLine only2D(Line({0, 0}, {1, 1}), 0, 1, 1, true, false);
    EXPECT_EQ(script3D(only2D), "");
}

TEST(ScriptWriter, WritesCirclesArcsAndEllipses) {
    const auto arc = [](double start, double sweep) {
        return PrimitiveArc(CadArc({1, 2}, 3, start, sweep), 0, 1, 1, true, false);
    };
    EXPECT_EQ(script2D(arc(0, 2 * kPi)), kPenAndLineType + "circle2 1, 2, 3\n");
    EXPECT_EQ(script2D(arc(1, -2 * kPi)), kPenAndLineType + "circle2 1, 2, 3\n");
    EXPECT_EQ(script2D(arc(0, kPi / 2), {1, 0}, 1), "\tpen 1\n\tline_type 1\n\tarc2 2, 2, 3, 0, 90\n");
    EXPECT_EQ(script2D(arc(kPi / 2, -kPi / 2)),
              kPenAndLineType + "arc2 1, 2, 3, 0, 90\n");   // clockwise: ends exchanged
    EXPECT_EQ(script3D(arc(0, kPi)), "");

    // An ellipse is written about its own centre, so the stretch does not move it.
    const PrimitiveArc ellipse(CadPoint(1, 2), 3, 0, kPi / 2, false, 0.5, kPi / 6, 0, 1, 1, true, false);
    EXPECT_EQ(script2D(ellipse, {10, 0}), kPenAndLineType +
                                              "add2 11, 2\n"
                                              "rot2 30\n"
                                              "mul2 0.5, 1\n"
                                              "arc2 0, 0, 3, 0, 90\n"
                                              "del 3\n");
}

TEST(ScriptWriter, WritesPolygonsAsPutBlocksAndStatements) {
    const PrimitivePolygon outline(square(0, 0, 1), 5, false, 0, 1, 1, true, false);
    EXPECT_EQ(script2D(outline, {}, 1),
              "\tput 0, 0, 1,\n"
              "\t\t1, 0, 1,\n"
              "\t\t1, 1, 1,\n"
              "\t\t0, 1, 1,\n"
              "\t\t0, 0, 1,\n"
              "\t\t0, 0, 700\n"
              "\tpen 1\n"
              "\tline_type 1\n"
              "\tpoly2_a 6, 1, 1, get(18)\n");

    const std::string block = "put 0, 0, 1,\n\t1, 0, 1,\n\t1, 1, 1,\n\t0, 1, 1,\n\t0, 0, 1,\n\t0, 0, 700\n";
    EXPECT_EQ(script2D(PrimitivePolygon(square(0, 0, 1), 5, true, 0, 1, 1, true, false)),
              block + kPenAndLineType + "poly2_b 6, 3, 5, 5, get(18)\n");
    EXPECT_EQ(script2D(PrimitivePolygon(square(0, 0, 1), 5, true, 0, /*pen=*/0, 1, true, false)),
              block + "line_type 1\npoly2_b 6, 2, 5, 5, get(18)\n");   // pen 0: no "pen" line

    CadPolygon rounded = square(0, 0, 1);   // the right side bulges out as a half circle
    rounded.setPoint(2, PolyPoint({1, 1}, kPi));
    EXPECT_EQ(script2D(PrimitivePolygon(rounded, 5, false, 0, 1, 1, true, false)),
              "put 0, 0, 1,\n"
              "\t1, 0, 1,\n"
              "\t1, 0.5, 901,\n"
              "\t0, 180, 4001,\n"
              "\t0, 1, 1,\n"
              "\t0, 0, 1,\n"
              "\t0, 0, 700\n" +
                  kPenAndLineType + "poly2_a 7, 1, 1, get(21)\n");

    CadPolygon holed = square(0, 0, 4);
    holed.addHole(square(1, 1, 2));
    EXPECT_EQ(script2D(PrimitivePolygon(holed, 5, false, 0, 1, 1, true, false), {1, 0}),
              "put 1, 0, 1,\n"
              "\t5, 0, 1,\n"
              "\t5, 4, 1,\n"
              "\t1, 4, 1,\n"
              "\t1, 0, 1,\n"
              "\t1, 0, -1,\n"
              "\t2, 1, 1,\n"
              "\t4, 1, 1,\n"
              "\t4, 3, 1,\n"
              "\t2, 3, 1,\n"
              "\t2, 1, 1,\n"
              "\t2, 1, -1\n" +
                  kPenAndLineType + "poly2_a 12, 1, 1, get(36)\n");

    CadPolygon open(0, 0, /*closed=*/false);
    open.append(PolyPoint({0, 0}));
    open.append(PolyPoint({1, 0}));
    open.append(PolyPoint({1, 1}));
    EXPECT_EQ(script2D(PrimitivePolygon(open, 5, false, 0, 1, 1, true, false)),
              "put 0, 0, 1,\n\t1, 0, 1,\n\t1, 1, 1\n" + kPenAndLineType + "poly2_a 3, 1, 1, get(9)\n");

    // A crossed outline or a polygon outside 2D writes nothing, and that is no failure.
    CadPolygon bowTie;
    for (const CadPoint p : {CadPoint(0, 0), CadPoint(1, 1), CadPoint(1, 0), CadPoint(0, 1)})
        bowTie.append(PolyPoint(p));
    EXPECT_EQ(script2D(PrimitivePolygon(bowTie, 5, true, 0, 1, 1, true, false)), "");
    EXPECT_EQ(script2D(PrimitivePolygon(square(0, 0, 1), 5, true, 0, 1, 1, false, true)), "");
}

TEST(ScriptWriter, WritesHatchesByTheirFillAndContour) {
    const std::string block = "put 0, 0, 1,\n\t1, 0, 1,\n\t1, 1, 1,\n\t0, 1, 1,\n\t0, 0, 1,\n\t0, 0, 700\n";
    const struct {
        std::uint32_t fillIndex;
        bool contour, gradient;
        const char* statement;
    } cases[] = {
        {3, true, false, "poly2_b 6, 3, 4, 4, get(18)\n"},
        {3, false, false, "poly2_b 6, 2, 4, 4, get(18)\n"},
        {0, true, true, "poly2_b 6, 3, 4, 4, get(18)\n"},
        {0, true, false, "poly2_a 6, 1, 1, get(18)\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.statement);
        const PrimitiveHatch plain = hatch(square(0, 0, 1), c.fillIndex, c.contour, c.gradient);
        EXPECT_EQ(script2D(plain), block + kPenAndLineType + c.statement);
        const PrimitiveDistortedHatch distorted(plain, CadPoint(0.5, 0.5), {1, 0, 0, 1, 0});
        EXPECT_EQ(script2D(distorted), block + kPenAndLineType + c.statement);
    }
}

TEST(ScriptWriter, ReportsAStreamThatFailed) {
    std::ostringstream out;
    out.setstate(std::ios::badbit);
    EXPECT_FALSE(PrimitiveLine(Line({0, 0}, {1, 1}), 0, 1, 1, true, true).write2D(out, nullptr, {}, 0));
    EXPECT_FALSE(
        PrimitivePolygon(square(0, 0, 1), 1, true, 0, 1, 1, true, false).write2D(out, nullptr, {}, 0));
    // Nothing to write is no failure, even on a failed stream.
    EXPECT_TRUE(PrimitiveLine(Line({0, 0}, {1, 1}), 0, 1, 1, false, true).write2D(out, nullptr, {}, 0));
}

TEST_F(ScriptWriterBodyTest, WritesBodiesWithSharedNormalsAndBrokenEdgeLists) {
    host::Model3DBody body;
    for (const auto& [x, y] : {std::pair{0, 0}, {1, 0}, {2, 1}, {1, 2}, {0, 1}})
        body.vertices.push_back({double(x), double(y), 0.0});
    body.edges.push_back({0, 1, 0, 1, /*status=*/2, 1});
    for (int e = 1; e < 5; ++e) body.edges.push_back({e, (e + 1) % 5, 0, host::kNoPolygon, 0, 1});
    body.polygons.push_back({{0, 1, 2, 3, 4}, 0, 0, {0.0, 0.0, 1.0}});
    body.polygons.push_back({{~0}, 1, 0, {0.0, 0.0, -2.0}});   // the other sense, not yet unit
    const host::GuidRecord guid = host::generateGuid();
    host::Model3DElement model;
    model.bodies.push_back(body);
    model.bodies.push_back(body);
    host::setElementModel3D(guid, std::move(model));

    const PrimitiveBody primitive(std::make_shared<const Element3D>(guid), 0, false, true);
    const std::string one =
        "\tvert 0, 0, 1\n\tvert 1, 0, 1\n\tvert 2, 1, 1\n\tvert 1, 2, 1\n\tvert 0, 1, 1\n"
        "\tedge 1, 2, 1, 2, 2\n"
        "\tedge 2, 3, 1, 0, 262144\n"
        "\tedge 3, 4, 1, 0, 262144\n"
        "\tedge 4, 5, 1, 0, 262144\n"
        "\tedge 5, 1, 1, 0, 262144\n"
        "\tvect 0, 0, 1\n"
        "\tpgon 5, 1, 262210, \n\t\t\t1, 2, 3, 4, \n\t\t\t5\n"
        "\tpgon 1, -1, 262211, \n\t\t\t-1\n"
        "\tbody 262176\n";
    EXPECT_EQ(script3D(primitive, {0, 0, 1}, 1), one + one);   // numbering restarts per body
    EXPECT_EQ(script2D(primitive), "");
}

namespace {
// Attributes by index, or a surface material named in its record: nothing here asks the host.
class ScriptWriterAttributeTest : public testing::Test {
protected:
    void TearDown() override {
        host::clearModel3D();
        HostProject::destroy();
    }
    ParameterList list_;
    AttributeTracker tracker_{&list_};
};
}   // namespace

TEST_F(ScriptWriterAttributeTest, WritesPensAndLineTypesOnlyWhenTheyChange) {
    const PrimitiveLine line(Line({0, 0}, {1, 1}), 0, /*pen=*/3, /*lineType=*/2, true, false);
    EXPECT_EQ(script2D(line, {10, 0}, 1, &tracker_), "\tpen 3\n\tline_type 2\n\tline2 10, 0, 11, 1\n");
    EXPECT_EQ(script2D(line, {10, 0}, 1, &tracker_), "\tline2 10, 0, 11, 1\n");
    const PrimitivePoint point(CadPoint(1, 2), 0, /*pen=*/3, 1, true, false);
    EXPECT_EQ(script2D(point, {}, 0, &tracker_), "hotspot2 1, 2\n");
    const PrimitiveText text(String("A"), CadPoint(0, 0), 0.0, 0, /*pen=*/4, /*lineType=*/2, true, false);
    EXPECT_EQ(script2D(text, {}, 0, &tracker_), "pen 4\ntext2 0, 0, \"A\"\n");
    // A line of a hatch takes the fill pens' slot: another slot counts as a change.
    PrimitiveLine hatchLine(Line({0, 0}, {1, 0}), 0, /*pen=*/4, 2, true, false);
    hatchLine.setHatchLine(true);
    EXPECT_EQ(script2D(hatchLine, {}, 0, &tracker_), "pen 4\nline2 0, 0, 1, 0\n");

    // Exposed as parameters: a scalar by its name, an array by its row.
    tracker_.reset(&list_);
    tracker_.setNames(AttributeType::pen, "contourPen", "Contour pen", -1, 0);
    tracker_.setNames(AttributeType::lineStyle, "lineTypes", "Line types", 0);
    EXPECT_EQ(script2D(line, {}, 0, &tracker_), "pen contourPen\nline_type lineTypes[1]\nline2 0, 0, 1, 1\n");
    EXPECT_EQ(
        script2D(PrimitiveLine(Line({0, 0}, {1, 1}), 0, 3, /*lineType=*/5, true, false), {}, 0, &tracker_),
        "line_type lineTypes[2]\nline2 0, 0, 1, 1\n");
    ASSERT_EQ(list_.size(), 2u);
    EXPECT_EQ(list_.at(1)->getRowCount(), 2u);
}

TEST_F(ScriptWriterAttributeTest, WritesSurfaceMaterialsByNameOrIndexAndStatementValuesAlways) {
    std::ostringstream out;
    Finish oak(AttributeLink(std::int32_t{7}, AttributeType::finish));
    oak.setName("Oak \"light\"");
    ScriptWriter::writeAttribute(oak, out, &tracker_, 1, 0, true, true);
    ScriptWriter::writeAttribute(Finish(AttributeLink(std::int32_t{8}, AttributeType::finish)), out,
                                 &tracker_, 1, 0, true, true);
    ScriptWriter::writeAttribute(Finish(AttributeLink(std::int32_t{8}, AttributeType::finish)), out,
                                 &tracker_, 1, 0, true, true);
    EXPECT_EQ(out.str(), "\tmaterial \"Oak \" + '\"' + \"light\" + '\"' + \"\"\n\tmaterial 8\n");

    // A statement cannot do without its pens, whatever the mode.
    tracker_.setNames(AttributeType::pen, "", "", -4, 2);
    tracker_.setNames(AttributeType::pen, "backPen", "", -1, 3);
    const PrimitivePolygon filled(square(0, 0, 1), /*fillPen=*/5, true, 0, /*pen=*/0, 1, true, false);
    EXPECT_EQ(script2D(filled, {}, 0, &tracker_),
              "put 0, 0, 1,\n\t1, 0, 1,\n\t1, 1, 1,\n\t0, 1, 1,\n\t0, 0, 1,\n\t0, 0, 700\nline_type 1\n"
              "poly2_b 6, 2, 5, backPen, get(18)\n");
}

TEST_F(ScriptWriterAttributeTest, DefinesEachGradientOnceAndSelectsItWhenTheFillChanges) {
    const std::string block = "put 0, 0, 1,\n\t1, 0, 1,\n\t1, 1, 1,\n\t0, 1, 1,\n\t0, 0, 1,\n\t0, 0, 700\n";
    const auto make = [](std::uint32_t fillIndex, bool gradient, bool linear) {
        return PrimitiveHatch(square(0, 0, 1), /*fillPen=*/4, /*backgroundPen=*/9, fillIndex,
                              /*contour=*/true, gradient, linear, 0, /*pen=*/1, 1, true, false);
    };
    const PrimitiveHatch linear = make(0, true, true);
    EXPECT_EQ(script2D(linear, {}, 0, &tracker_), block +
                                                      "pen 1\nline_type 1\n"
                                                      "define linear_gradient_fill tarnwickLinearGradient\n"
                                                      "set fill tarnwickLinearGradient\n"
                                                      "poly2_b 6, 3, 4, 9, get(18)\n");
    EXPECT_EQ(script2D(linear, {}, 0, &tracker_), block + "poly2_b 6, 3, 4, 9, get(18)\n");
    EXPECT_EQ(script2D(make(3, false, false), {}, 0, &tracker_),
              block + "fill 3\npoly2_b 6, 3, 4, 9, get(18)\n");
    EXPECT_EQ(script2D(linear, {}, 0, &tracker_),
              block + "set fill tarnwickLinearGradient\npoly2_b 6, 3, 4, 9, get(18)\n");
    EXPECT_EQ(script2D(make(0, true, false), {}, 0, &tracker_),
              block +
                  "define radial_gradient_fill tarnwickRadialGradient\n"
                  "set fill tarnwickRadialGradient\n"
                  "poly2_b 6, 3, 4, 9, get(18)\n");
    EXPECT_EQ(script2D(make(3, false, false), {}, 0, &tracker_),
              block + "fill 3\npoly2_b 6, 3, 4, 9, get(18)\n");

    // A distorted hatch with a fill places its pattern by origin and transformation.
    const PrimitiveDistortedHatch distorted(make(3, false, false), CadPoint(0.5, 0.25), {1, 0, 0, 1, 0.5});
    EXPECT_EQ(script2D(distorted, {1, 0}, 1, &tracker_),
              "\tput 1, 0, 1,\n\t\t2, 0, 1,\n\t\t2, 1, 1,\n\t\t1, 1, 1,\n\t\t1, 0, 1,\n\t\t1, 0, 700\n"
              "\tpoly2_b{5} 6, 3, 1, 8,\n"
              "\t\t4, 9,\n"
              "\t\t1.5, 0.25,\n"
              "\t\t1, 0, 0, 1,\n"
              "\t\t0.5,\n"
              "\t\tget(18)\n");
}

TEST_F(ScriptWriterAttributeTest, WritesEdgePensAndFaceMaterialsOfBodiesWhenTheyChange) {
    host::Model3DBody body;
    for (const auto& [x, y] : {std::pair{0, 0}, {1, 0}, {0, 1}})
        body.vertices.push_back({double(x), double(y), 0.0});
    for (int e = 0; e < 3; ++e)
        body.edges.push_back({e, (e + 1) % 3, 0, host::kNoPolygon, 2, /*pen=*/e < 2 ? 5 : 6});
    body.polygons.push_back({{0, 1, 2}, 0, /*material=*/12, {0.0, 0.0, 1.0}});
    const host::GuidRecord guid = host::generateGuid();
    host::Model3DElement model;
    model.bodies.push_back(body);
    host::setElementModel3D(guid, std::move(model));
    const PrimitiveBody primitive(std::make_shared<const Element3D>(guid), 0, false, true);
    EXPECT_EQ(script3D(primitive, {}, 0, &tracker_),
              "vert 0, 0, 0\nvert 1, 0, 0\nvert 0, 1, 0\n"
              "pen 5\nedge 1, 2, 1, 0, 2\nedge 2, 3, 1, 0, 2\npen 6\nedge 3, 1, 1, 0, 2\n"
              "vect 0, 0, 1\n"
              "material 12\npgon 3, 1, 262210, \n\t\t1, 2, 3\n"
              "body 262176\n");
}
