// NativeContext: the host's drawing context of a dialog item or picture, as the add-on draws swatches
// and previews into it: rectangles, and polygons filled with a pattern or a gradient.
#pragma once

#include <cstdint>

#include <HostGraphics.h>

#include "Foundation/Colour.h"

namespace tarnwick {

// A rectangle of whole pixels from (left, top) up to (right, bottom), y down.
struct PixelRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;

    std::int32_t width() const { return right - left; }
    std::int32_t height() const { return bottom - top; }
    PixelRect insetBy(std::int32_t pixels) const {
        return {left + pixels, top + pixels, right - pixels, bottom - pixels};
    }
};

// Borrows the host's context; with a null one every call draws nothing. Colours go to the host as 8-bit
// channels, floor(x * 255 + 0.5) each.
class NativeContext {
public:
    explicit NativeContext(host::PictureContext* context) : context_(context) {}

    void fillRect(const PixelRect& rect, const Colour& colour);
    void frameRect(const PixelRect& rect, const Colour& colour);   // one pixel inside the edge
    void setForeground(const Colour& colour);
    void setBackground(const Colour& colour);
    void setFillPattern(const std::uint8_t pattern[8]);
    void beginPolygon();   // filled with the pattern in the two colours
    void beginLinearGradient(double x0, double y0, const Colour& from, double x1, double y1,
                             const Colour& to);
    void beginRadialGradient(double centreX, double centreY, double innerRadius, double outerRadius,
                             const Colour& from, const Colour& to);
    void addPoint(double x, double y);
    void endPolygon();
    // Previews: lines and arcs stroked in the foreground colour and line width (pixels); inside a
    // polygon moveTo and lineTo give its points. Angles as the host's (HostGraphics.h: y down).
    void setLineWidth(double width);
    void moveTo(double x, double y);
    void lineTo(double x, double y);
    void arcTo(const host::DisplayArc& arc);
    void drawPlainText(const char* utf8, double x, double y, double extra);   // the default font
    PixelRect getDirtyRect() const;   // whole pixels: the host's corners truncated

    host::PictureContext* getHostContext() const { return context_; }

private:
    host::PictureContext* context_;   // not owned; may be null
};

}   // namespace tarnwick
