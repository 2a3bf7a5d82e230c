// The host's drawing library: a drawing context over a picture of whole pixels (dialog items, swatches,
// previews). Pixel coordinates: x to the right, y down, (0, 0) the top left corner; a rectangle runs
// from (left, top) up to but not including (right, bottom).
#pragma once

#include <cstdint>

namespace host {

struct PictureContext;   // opaque; made and disposed only here

struct Rgba {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    std::uint8_t alpha = 255;
    bool operator==(const Rgba&) const = default;
};

// A new picture of the size, all white; null for a size below 1 or above 4096, or when memory fails.
PictureContext* newPictureContext(std::int32_t width, std::int32_t height);
void disposePictureContext(PictureContext* context);   // null: nothing
std::int32_t pictureWidth(const PictureContext* context);
std::int32_t pictureHeight(const PictureContext* context);

// Fills the rectangle with a colour; frames it with a line one pixel wide inside its edge. An empty
// rectangle draws nothing.
void fillRect(PictureContext* context, std::int32_t left, std::int32_t top, std::int32_t right,
              std::int32_t bottom, Rgba colour);
void frameRect(PictureContext* context, std::int32_t left, std::int32_t top, std::int32_t right,
               std::int32_t bottom, Rgba colour);

// Polygons: the fill of a polygon begun without an effect is the 8 x 8 pattern (a set bit, the most
// significant first, is the foreground colour, a clear bit the background), repeating from (0, 0); a
// linear gradient runs between two points, a radial one between two radii about a centre.
void setForeground(PictureContext* context, Rgba colour);
void setBackground(PictureContext* context, Rgba colour);
void setFillPattern(PictureContext* context, const std::uint8_t pattern[8]);
void beginPolygon(PictureContext* context);
void beginLinearGradientPolygon(PictureContext* context, double x0, double y0, Rgba from, double x1,
                                double y1, Rgba to);
void beginRadialGradientPolygon(PictureContext* context, double centreX, double centreY, double innerRadius,
                                double outerRadius, Rgba from, Rgba to);
void addPolygonPoint(PictureContext* context, double x, double y);
void endPolygon(PictureContext* context);   // fills the polygon begun last; nothing without one

// Lines, arcs and texts, for previews. A line or arc is stroked at once in the foreground colour and the
// line width (pixels, 1 at first); inside a polygon moveTo and lineTo give its points instead. lineTo
// strokes from the current point (nothing without one); each call leaves the current point at its end.
void setLineWidth(PictureContext* context, double width);   // below 0 or not finite: unchanged
void moveTo(PictureContext* context, double x, double y);
void lineTo(PictureContext* context, double x, double y);

// A circle, or a circular arc from a start angle by a sweep. Angles are radians on the picture's axes
// (y down): a positive sweep turns clockwise as seen.
struct DisplayArc {
    double centreX = 0;
    double centreY = 0;
    double radius = 0;
    double start = 0;
    double sweep = 0;
    bool fullCircle = false;

    static DisplayArc createFullCircle(double centreX, double centreY, double radius) {
        return {centreX, centreY, radius, 0.0, 0.0, true};
    }
    static DisplayArc createCircularArc(double centreX, double centreY, double radius, double start,
                                        double sweep) {
        return {centreX, centreY, radius, start, sweep, false};
    }
};
void arcTo(PictureContext* context, const DisplayArc& arc);   // no line joins it to the current point

// A text in the default font (sans-serif, 12 pixels), its baseline starting at (x, y), in the foreground
// colour. `extra` is the text's real from the host's text record; this host does not use it.
void drawPlainText(PictureContext* context, const char* utf8, double x, double y, double extra);

// The rectangle a drawing may change: the whole picture here. All 0 without a context.
void dirtyRect(const PictureContext* context, float& left, float& top, float& right, float& bottom);

Rgba pixelAt(const PictureContext* context, std::int32_t x, std::int32_t y);   // transparent outside
// Writes the picture as a PNG file; false when the file cannot be written.
bool writePicturePng(const PictureContext* context, const char* path);

}   // namespace host
