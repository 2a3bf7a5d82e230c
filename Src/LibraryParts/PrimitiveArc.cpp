#include "LibraryParts/PrimitiveArc.h"

#include <cmath>
#include <numbers>
#include <ostream>

#include "Geometry/Tolerance.h"
#include "LibraryParts/NativeCanvas.h"
#include "LibraryParts/ScriptWriter.h"

namespace tarnwick {
namespace {
constexpr double kFullTurn = 2.0 * std::numbers::pi;

double sweepFrom(double beginAngle, double endAngle, bool clockwise) {
    const double difference = endAngle - beginAngle;
    double sweep = std::fmod(difference, kFullTurn);
    if (sweep < 0.0) sweep += kFullTurn;
    if (sweep >= kFullTurn) sweep = 0.0;   // fmod's result plus a full turn can round up to it
    // Equal angles or a whole number of turns: a full circle. Counter-clockwise it would otherwise
    // come out as an arc of no length, which draws and hits nothing.
    const bool wholeTurns = sweep <= Tolerance::angle || kFullTurn - sweep <= Tolerance::angle;
    if (wholeTurns && (clockwise || std::abs(difference) > Tolerance::angle))
        return clockwise ? -kFullTurn : kFullTurn;
    return clockwise ? sweep - kFullTurn : sweep;
}
}   // namespace

PrimitiveArc::PrimitiveArc(const CadPoint& centre, double radius, double beginAngle, double endAngle,
                           bool clockwise, double axisRatio, double mainAxisAngle, std::uint16_t drawingOrder,
                           std::uint32_t pen, std::uint32_t lineType, bool in2D, bool in3D)
    : CadArc(centre, radius, beginAngle, sweepFrom(beginAngle, endAngle, clockwise)),
      Primitive(drawingOrder, pen, lineType, in2D, in3D),
      axisRatio_(axisRatio),
      mainAxisAngle_(mainAxisAngle) {}

void PrimitiveArc::move(const CadPoint& offset) {
    static_cast<CadArc&>(*this) = CadArc(getCentre() + offset, getRadius(), getStartAngle(), getSweep());
}

bool PrimitiveArc::isHit(const CadPoint& point, double tolerance) const {
    return (getPosition(point, tolerance) & (kAtStart | kOnArc | kAtEnd)) != 0;
}

std::unique_ptr<Cube> PrimitiveArc::getBounds() const { return std::make_unique<Cube>(CadArc::getBounds()); }

bool PrimitiveArc::write2D(std::ostream& out, AttributeTracker* tracker, const CadPoint& offset,
                           int indentation) const {
    if (!isIn2D()) return true;
    ScriptWriter::writePenAndLineType(out, tracker, getPen(), getLineType(), indentation);
    // An ellipse is drawn in a frame moved to its centre, turned to its main axis and stretched along
    // it (the 2D script scales with "mul2"; "mulx" belongs to the 3D script); the arc is then written about
    // that frame's origin, which the stretch leaves in place.
    const bool elliptic = std::abs(axisRatio_ - 1.0) > Tolerance::plan;
    CadPoint centre = getCentre();
    CadPoint centreOffset = offset;
    if (elliptic) {
        ScriptWriter::writeIndentation(out, indentation);
        out << "add2 ";
        ScriptWriter::writeCoordinates2D(out, centre, offset, /*moreFollows=*/false);
        out << '\n';
        ScriptWriter::writeIndentation(out, indentation);
        out << "rot2 " << ScriptWriter::formatDegrees(mainAxisAngle_) << '\n';
        ScriptWriter::writeIndentation(out, indentation);
        out << "mul2 " << ScriptWriter::formatReal(axisRatio_) << ", 1\n";
        centre = CadPoint();
        centreOffset = CadPoint();
    }
    const double turns = std::fmod(getSweep(), kFullTurn);
    const bool circle =
        std::abs(turns) <= Tolerance::angle || kFullTurn - std::abs(turns) <= Tolerance::angle;
    ScriptWriter::writeIndentation(out, indentation);
    out << (circle ? "circle2 " : "arc2 ");
    ScriptWriter::writeCoordinates2D(out, centre, centreOffset, /*moreFollows=*/true);
    out << ' ' << ScriptWriter::formatReal(getRadius());
    if (!circle) {
        double first = getStartAngle();
        double second = getEndAngle();
        if (getSweep() < 0.0) std::swap(first, second);
        out << ", " << ScriptWriter::formatDegrees(first) << ", " << ScriptWriter::formatDegrees(second);
    }
    out << '\n';
    if (elliptic) {
        ScriptWriter::writeIndentation(out, indentation);
        out << "del 3\n";
    }
    return ScriptWriter::isGood(out);
}

bool PrimitiveArc::draw(NativeCanvas& canvas, const CadPoint& offset) const {
    return canvas.drawArc(*this, offset);
}

}   // namespace tarnwick
