#include "LibraryParts/NativeCanvas.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>

#include <HostGraphics.h>

#include "Geometry/Cube.h"
#include "Geometry/Tolerance.h"
#include "Interface/NativeContext.h"
#include "LibraryParts/PrimitiveArc.h"
#include "LibraryParts/PrimitiveLine.h"
#include "LibraryParts/PrimitivePolygon.h"
#include "LibraryParts/PrimitiveText.h"
#include "Project/AttributeLink.h"
#include "Project/Pen.h"

namespace tarnwick {
namespace {
constexpr double kFullTurn = 2.0 * std::numbers::pi;
constexpr double kMillimetresPerPoint = 0.3527777777778;   // pen widths are millimetres, screen widths points
constexpr double kNoWidth = 1e-5;                          // a kept width this close to 0 is none

// x and y of the point after the y flip and the turn, before scale and centre.
CadPoint flippedAndTurned(const CadPoint& point, const ZRotater& rotation) {
    CadPoint turned(point.getX(), -point.getY());
    rotation.rotate(turned);
    return turned;
}
}   // namespace

NativeCanvas::NativeCanvas(std::shared_ptr<NativeContext> context, const ScreenRect& rect)
    : context_(std::move(context)), rotation_(0.0, Tolerance::angle), rect_(rect) {
    if (context_ && rect_.isEmpty()) {
        const PixelRect dirty = context_->getDirtyRect();
        rect_ = ScreenRect(
            ScreenPoint(static_cast<std::int16_t>(dirty.left), static_cast<std::int16_t>(dirty.top)),
            ScreenPoint(static_cast<std::int16_t>(dirty.right), static_cast<std::int16_t>(dirty.bottom)));
    }
}

NativeCanvas::~NativeCanvas() = default;

void NativeCanvas::setRotation(double angle) { rotation_.setAngle(angle, Tolerance::angle); }

void NativeCanvas::fit(const Cube& bounds) {
    if (rect_.isEmpty()) return;
    // The bounds as the screen sees them: flipped and turned, a box about their corners.
    const CadPoint low = bounds.getMinimum(), high = bounds.getMaximum();
    double left = 0, right = 0, top = 0, bottom = 0;
    bool first = true;
    for (const CadPoint& corner : {CadPoint(low.getX(), low.getY()), CadPoint(high.getX(), low.getY()),
                                   CadPoint(high.getX(), high.getY()), CadPoint(low.getX(), high.getY())}) {
        const CadPoint seen = flippedAndTurned(corner, rotation_);
        left = first ? seen.getX() : std::min(left, seen.getX());
        right = first ? seen.getX() : std::max(right, seen.getX());
        top = first ? seen.getY() : std::min(top, seen.getY());
        bottom = first ? seen.getY() : std::max(bottom, seen.getY());
        first = false;
    }
    const double width = right - left, depth = bottom - top;
    if (std::max(width, depth) <= 0.0) return;   // a point: no scale would fit it better than another
    // A line along one axis has no size across it: only the other side limits the scale.
    const double byWidth = width > 0.0 ? rect_.width() / width : HUGE_VAL;
    const double byDepth = depth > 0.0 ? rect_.height() / depth : HUGE_VAL;
    scale_ = std::min(byWidth, byDepth);
    // The bounds' middle goes to the rectangle's middle, wherever the model puts them.
    const double middleX =
        (std::min(rect_.first.x, rect_.second.x) + std::max(rect_.first.x, rect_.second.x)) / 2.0;
    const double middleY =
        (std::min(rect_.first.y, rect_.second.y) + std::max(rect_.first.y, rect_.second.y)) / 2.0;
    centre_.x = middleX - scale_ * (left + right) / 2.0;
    centre_.y = middleY - scale_ * (top + bottom) / 2.0;
}

NativeCanvas::Position NativeCanvas::toScreen(const CadPoint& point, const CadPoint& offset) const {
    const CadPoint seen = flippedAndTurned(
        CadPoint((point.getX() + offset.getX()) * scale_, (point.getY() + offset.getY()) * scale_),
        rotation_);
    return {seen.getX() + centre_.x, seen.getY() + centre_.y};
}

ScreenPoint NativeCanvas::toScreenPoint(const CadPoint& point, const CadPoint& offset) const {
    const Position position = toScreen(point, offset);
    return ScreenPoint(static_cast<std::int16_t>(position.x), static_cast<std::int16_t>(position.y));
}

CadPoint NativeCanvas::toModel(const ScreenPoint& point) const {
    CadPoint seen(point.x - centre_.x, point.y - centre_.y);
    if (rotation_.isActive()) ZRotater(-rotation_.getAngle(), Tolerance::angle).rotate(seen);
    return CadPoint(seen.getX() / scale_, -seen.getY() / scale_);
}

void NativeCanvas::setPen(std::uint16_t index) {
    if (index == pen_ || !context_) return;
    const Pen pen(AttributeLink(static_cast<std::int16_t>(index), AttributeType::pen));
    if (!forcedColour_) context_->setForeground(pen.getColour());
    // A pen's width is on paper, not in the model: scaled with the model, a 0.5 mm pen would be 57
    // points wide on a canvas of 40 per metre.
    if (forcedWidth_ <= kNoWidth) context_->setLineWidth(pen.getWidth() / kMillimetresPerPoint);
    pen_ = index;
}

void NativeCanvas::setColour(const Colour& colour, bool keep) {
    if (context_) context_->setForeground(colour);
    if (keep) forcedColour_ = std::make_unique<Colour>(colour);
}

void NativeCanvas::setLineWidth(double width, bool keep) {
    if (context_) context_->setLineWidth(width);
    if (keep) forcedWidth_ = width;
}

void NativeCanvas::setLineType(std::uint16_t index) { lineType_ = index; }

bool NativeCanvas::drawLine(const PrimitiveLine& line, const CadPoint& offset) {
    if (!context_) return true;
    setPen(static_cast<std::uint16_t>(line.getPen()));
    setLineType(static_cast<std::uint16_t>(line.getLineType()));
    const Position begin = toScreen(line.getBegin(), offset), end = toScreen(line.getEnd(), offset);
    context_->moveTo(begin.x, begin.y);
    context_->lineTo(end.x, end.y);
    return true;
}

bool NativeCanvas::drawArc(const PrimitiveArc& arc, const CadPoint& offset) {
    if (!context_) return true;
    setPen(static_cast<std::uint16_t>(arc.getPen()));
    setLineType(static_cast<std::uint16_t>(arc.getLineType()));
    const Position start = toScreen(arc.getStartPoint(), offset);
    context_->moveTo(start.x, start.y);
    const Position centre = toScreen(arc.getCentre(), offset);
    const double radius = arc.getRadius() * scale_;
    if (std::abs(arc.getSweep() - kFullTurn) <= Tolerance::angle) {
        context_->arcTo(host::DisplayArc::createFullCircle(centre.x, centre.y, radius));
        return true;
    }
    // The y flip mirrors angles: the arc runs on the screen from its mirrored end by its sweep; the
    // canvas's turn turns it with everything else.
    double end = std::fmod(arc.getEndAngle(), kFullTurn);
    if (end < 0.0) end += kFullTurn;
    const double screenStart = kFullTurn - end + rotation_.getAngle();
    context_->arcTo(
        host::DisplayArc::createCircularArc(centre.x, centre.y, radius, screenStart, arc.getSweep()));
    return true;
}

bool NativeCanvas::drawPolygon(const PrimitivePolygon& polygon, const CadPoint& offset) {
    const std::size_t size = polygon.getSize();
    if (!context_ || size == 0) return true;
    setPen(static_cast<std::uint16_t>(polygon.getPen()));
    setLineType(static_cast<std::uint16_t>(polygon.getLineType()));
    // A filled polygon is filled; an outline is stroked, and only an open one leaves out its last edge.
    const bool filled = polygon.isFilled();
    const std::size_t last = polygon.isClosed() ? size : size - 1;
    if (filled) context_->beginPolygon();
    const Position first = toScreen(polygon.getPoint(0).point, offset);
    context_->moveTo(first.x, first.y);
    for (std::size_t i = 1; i <= last; ++i) {
        const Position next = toScreen(polygon.getPoint(i % size).point, offset);
        context_->lineTo(next.x, next.y);
    }
    if (filled) context_->endPolygon();
    return true;
}

bool NativeCanvas::drawText(const PrimitiveText& text, const CadPoint& offset) {
    if (!context_ || text.isEmpty()) return true;
    const CadPoint& position = text;
    const Position at = toScreen(position, offset);
    context_->drawPlainText(std::string(text.getView()).c_str(), at.x, at.y, text.getExtra());
    return true;
}

void NativeCanvas::fillRect(const Colour& colour) {
    if (!context_) return;
    const std::int32_t left = std::min(rect_.first.x, rect_.second.x),
                       right = std::max(rect_.first.x, rect_.second.x);
    const std::int32_t top = std::min(rect_.first.y, rect_.second.y),
                       bottom = std::max(rect_.first.y, rect_.second.y);
    context_->fillRect(PixelRect{left, top, right, bottom}, colour);
}

}   // namespace tarnwick
