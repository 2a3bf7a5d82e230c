#include "Interface/NativeContext.h"

namespace tarnwick {
namespace {
host::Rgba rgba(const Colour& colour) {
    const auto bytes = colour.toBytes();
    return host::Rgba{bytes[0], bytes[1], bytes[2], bytes[3]};
}
}   // namespace

void NativeContext::fillRect(const PixelRect& rect, const Colour& colour) {
    host::fillRect(context_, rect.left, rect.top, rect.right, rect.bottom, rgba(colour));
}

void NativeContext::frameRect(const PixelRect& rect, const Colour& colour) {
    host::frameRect(context_, rect.left, rect.top, rect.right, rect.bottom, rgba(colour));
}

void NativeContext::setForeground(const Colour& colour) { host::setForeground(context_, rgba(colour)); }
void NativeContext::setBackground(const Colour& colour) { host::setBackground(context_, rgba(colour)); }
void NativeContext::setFillPattern(const std::uint8_t pattern[8]) { host::setFillPattern(context_, pattern); }
void NativeContext::beginPolygon() { host::beginPolygon(context_); }

void NativeContext::beginLinearGradient(double x0, double y0, const Colour& from, double x1, double y1,
                                        const Colour& to) {
    host::beginLinearGradientPolygon(context_, x0, y0, rgba(from), x1, y1, rgba(to));
}

void NativeContext::beginRadialGradient(double centreX, double centreY, double innerRadius,
                                        double outerRadius, const Colour& from, const Colour& to) {
    host::beginRadialGradientPolygon(context_, centreX, centreY, innerRadius, outerRadius, rgba(from),
                                     rgba(to));
}

void NativeContext::addPoint(double x, double y) { host::addPolygonPoint(context_, x, y); }
void NativeContext::endPolygon() { host::endPolygon(context_); }
void NativeContext::setLineWidth(double width) { host::setLineWidth(context_, width); }
void NativeContext::moveTo(double x, double y) { host::moveTo(context_, x, y); }
void NativeContext::lineTo(double x, double y) { host::lineTo(context_, x, y); }
void NativeContext::arcTo(const host::DisplayArc& arc) { host::arcTo(context_, arc); }

void NativeContext::drawPlainText(const char* utf8, double x, double y, double extra) {
    host::drawPlainText(context_, utf8, x, y, extra);
}

PixelRect NativeContext::getDirtyRect() const {
    float left = 0, top = 0, right = 0, bottom = 0;
    host::dirtyRect(context_, left, top, right, bottom);
    return {static_cast<std::int32_t>(left), static_cast<std::int32_t>(top), static_cast<std::int32_t>(right),
            static_cast<std::int32_t>(bottom)};
}

}   // namespace tarnwick
