#include <HostGraphics.h>

#include <cairo.h>
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>
#include <numbers>
#include <utility>
#include <vector>

namespace host {

struct PictureContext {
    cairo_surface_t* surface = nullptr;
    cairo_t* cairo = nullptr;
    Rgba foreground{0, 0, 0, 255};
    Rgba background{255, 255, 255, 255};
    std::uint8_t pattern[8] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};   // solid foreground
    cairo_pattern_t* effect = nullptr;   // the gradient of the polygon begun last; null: the pattern
    bool inPolygon = false;
    std::vector<std::pair<double, double>> points;
    double lineWidth = 1.0;
    bool hasCurrent = false;   // lines and arcs: where the next lineTo starts
    double currentX = 0.0;
    double currentY = 0.0;
};

namespace {
constexpr std::int32_t kMaxSide = 4096;

void setColour(cairo_t* cairo, Rgba colour) {
    cairo_set_source_rgba(cairo, colour.red / 255.0, colour.green / 255.0, colour.blue / 255.0,
                          colour.alpha / 255.0);
}
void addStop(cairo_pattern_t* pattern, double offset, Rgba colour) {
    cairo_pattern_add_color_stop_rgba(pattern, offset, colour.red / 255.0, colour.green / 255.0,
                                      colour.blue / 255.0, colour.alpha / 255.0);
}

// The 8 x 8 pattern as a repeating source of the two colours.
cairo_pattern_t* patternSource(const PictureContext& context) {
    cairo_surface_t* tile = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 8, 8);
    cairo_t* cairo = cairo_create(tile);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            const bool set = (context.pattern[y] & (0x80 >> x)) != 0;
            setColour(cairo, set ? context.foreground : context.background);
            cairo_rectangle(cairo, x, y, 1, 1);
            cairo_fill(cairo);
        }
    cairo_destroy(cairo);
    cairo_pattern_t* source = cairo_pattern_create_for_surface(tile);
    cairo_surface_destroy(tile);
    cairo_pattern_set_extend(source, CAIRO_EXTEND_REPEAT);
    cairo_pattern_set_filter(source, CAIRO_FILTER_NEAREST);
    return source;
}

void dropEffect(PictureContext& context) {
    if (context.effect != nullptr) cairo_pattern_destroy(context.effect);
    context.effect = nullptr;
}

void begin(PictureContext* context, cairo_pattern_t* effect) {
    dropEffect(*context);
    context->effect = effect;
    context->inPolygon = true;
    context->points.clear();
}
}   // namespace

PictureContext* newPictureContext(std::int32_t width, std::int32_t height) {
    if (width < 1 || height < 1 || width > kMaxSide || height > kMaxSide) return nullptr;
    auto* context = new (std::nothrow) PictureContext;
    if (context == nullptr) return nullptr;
    context->surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    if (cairo_surface_status(context->surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(context->surface);
        delete context;
        return nullptr;
    }
    context->cairo = cairo_create(context->surface);
    cairo_set_antialias(context->cairo, CAIRO_ANTIALIAS_NONE);   // whole pixels, as the host draws items
    cairo_set_source_rgb(context->cairo, 1.0, 1.0, 1.0);
    cairo_paint(context->cairo);
    return context;
}

void disposePictureContext(PictureContext* context) {
    if (context == nullptr) return;
    dropEffect(*context);
    cairo_destroy(context->cairo);
    cairo_surface_destroy(context->surface);
    delete context;
}

std::int32_t pictureWidth(const PictureContext* context) {
    return context != nullptr ? cairo_image_surface_get_width(context->surface) : 0;
}
std::int32_t pictureHeight(const PictureContext* context) {
    return context != nullptr ? cairo_image_surface_get_height(context->surface) : 0;
}

void fillRect(PictureContext* context, std::int32_t left, std::int32_t top, std::int32_t right,
              std::int32_t bottom, Rgba colour) {
    if (context == nullptr || right <= left || bottom <= top) return;
    setColour(context->cairo, colour);
    cairo_rectangle(context->cairo, left, top, right - left, bottom - top);
    cairo_fill(context->cairo);
}

void frameRect(PictureContext* context, std::int32_t left, std::int32_t top, std::int32_t right,
               std::int32_t bottom, Rgba colour) {
    if (context == nullptr || right <= left || bottom <= top) return;
    fillRect(context, left, top, right, top + 1, colour);
    fillRect(context, left, bottom - 1, right, bottom, colour);
    fillRect(context, left, top, left + 1, bottom, colour);
    fillRect(context, right - 1, top, right, bottom, colour);
}

void setForeground(PictureContext* context, Rgba colour) {
    if (context != nullptr) context->foreground = colour;
}
void setBackground(PictureContext* context, Rgba colour) {
    if (context != nullptr) context->background = colour;
}
void setFillPattern(PictureContext* context, const std::uint8_t pattern[8]) {
    if (context == nullptr || pattern == nullptr) return;
    for (int i = 0; i < 8; ++i) context->pattern[i] = pattern[i];
}

void beginPolygon(PictureContext* context) {
    if (context != nullptr) begin(context, nullptr);
}

void beginLinearGradientPolygon(PictureContext* context, double x0, double y0, Rgba from, double x1,
                                double y1, Rgba to) {
    if (context == nullptr) return;
    cairo_pattern_t* effect = cairo_pattern_create_linear(x0, y0, x1, y1);
    addStop(effect, 0.0, from);
    addStop(effect, 1.0, to);
    begin(context, effect);
}

void beginRadialGradientPolygon(PictureContext* context, double centreX, double centreY, double innerRadius,
                                double outerRadius, Rgba from, Rgba to) {
    if (context == nullptr) return;
    cairo_pattern_t* effect =
        cairo_pattern_create_radial(centreX, centreY, innerRadius, centreX, centreY, outerRadius);
    addStop(effect, 0.0, from);
    addStop(effect, 1.0, to);
    begin(context, effect);
}

void addPolygonPoint(PictureContext* context, double x, double y) {
    if (context != nullptr && context->inPolygon) context->points.emplace_back(x, y);
}

void endPolygon(PictureContext* context) {
    if (context == nullptr || !context->inPolygon) return;
    context->inPolygon = false;
    if (context->points.size() >= 3) {
        cairo_t* cairo = context->cairo;
        cairo_new_path(cairo);
        for (const auto& [x, y] : context->points) cairo_line_to(cairo, x, y);
        cairo_close_path(cairo);
        cairo_pattern_t* source =
            context->effect != nullptr ? cairo_pattern_reference(context->effect) : patternSource(*context);
        cairo_set_source(cairo, source);
        cairo_fill(cairo);
        cairo_pattern_destroy(source);
    }
    context->points.clear();
    dropEffect(*context);
}

void setLineWidth(PictureContext* context, double width) {
    if (context != nullptr && std::isfinite(width) && width >= 0.0) context->lineWidth = width;
}

void moveTo(PictureContext* context, double x, double y) {
    if (context == nullptr) return;
    if (context->inPolygon) return addPolygonPoint(context, x, y);
    context->hasCurrent = true;
    context->currentX = x;
    context->currentY = y;
}

namespace {
// Strokes the path just built in the foreground colour; at least one pixel wide, so a thin pen shows.
void stroke(PictureContext& context) {
    setColour(context.cairo, context.foreground);
    cairo_set_line_width(context.cairo, std::max(1.0, context.lineWidth));
    cairo_stroke(context.cairo);
}
}   // namespace

void lineTo(PictureContext* context, double x, double y) {
    if (context == nullptr) return;
    if (context->inPolygon) return addPolygonPoint(context, x, y);
    if (context->hasCurrent) {
        cairo_new_path(context->cairo);
        cairo_move_to(context->cairo, context->currentX, context->currentY);
        cairo_line_to(context->cairo, x, y);
        stroke(*context);
    }
    moveTo(context, x, y);
}

void arcTo(PictureContext* context, const DisplayArc& arc) {
    if (context == nullptr || !(arc.radius > 0.0) || !std::isfinite(arc.radius)) return;
    cairo_t* cairo = context->cairo;
    cairo_new_path(cairo);
    const double start = arc.fullCircle ? 0.0 : arc.start;
    const double end = arc.fullCircle ? 2.0 * std::numbers::pi : arc.start + arc.sweep;
    if (end >= start)
        cairo_arc(cairo, arc.centreX, arc.centreY, arc.radius, start, end);
    else
        cairo_arc_negative(cairo, arc.centreX, arc.centreY, arc.radius, start, end);
    stroke(*context);
    moveTo(context, arc.centreX + arc.radius * std::cos(end), arc.centreY + arc.radius * std::sin(end));
}

void drawPlainText(PictureContext* context, const char* utf8, double x, double y, double) {
    if (context == nullptr || utf8 == nullptr || *utf8 == '\0') return;
    // Cairo keeps the fonts it found through fontconfig for the process; both let go at exit (cairo
    // first), so that leak checks see only real leaks.
    static const bool releasedAtExit =
        FcInit() == FcTrue && std::atexit(FcFini) == 0 && std::atexit(cairo_debug_reset_static_data) == 0;
    static_cast<void>(releasedAtExit);
    cairo_t* cairo = context->cairo;
    cairo_new_path(cairo);
    cairo_select_font_face(cairo, "sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cairo, 12.0);
    setColour(cairo, context->foreground);
    cairo_move_to(cairo, x, y);
    cairo_show_text(cairo, utf8);
    cairo_new_path(cairo);
}

void dirtyRect(const PictureContext* context, float& left, float& top, float& right, float& bottom) {
    left = top = 0.0f;
    right = static_cast<float>(pictureWidth(context));
    bottom = static_cast<float>(pictureHeight(context));
}

Rgba pixelAt(const PictureContext* context, std::int32_t x, std::int32_t y) {
    if (context == nullptr || x < 0 || y < 0 || x >= pictureWidth(context) || y >= pictureHeight(context))
        return Rgba{0, 0, 0, 0};
    cairo_surface_flush(context->surface);
    const unsigned char* data = cairo_image_surface_get_data(context->surface);
    const int stride = cairo_image_surface_get_stride(context->surface);
    std::uint32_t word = 0;
    std::memcpy(&word, data + y * stride + x * 4, 4);   // native-endian premultiplied ARGB
    const auto alpha = static_cast<std::uint8_t>(word >> 24);
    const auto unpremultiply = [alpha](std::uint32_t channel) {
        return static_cast<std::uint8_t>(alpha == 0 ? 0 : (channel * 255 + alpha / 2) / alpha);
    };
    return Rgba{unpremultiply((word >> 16) & 0xFF), unpremultiply((word >> 8) & 0xFF),
                unpremultiply(word & 0xFF), alpha};
}

bool writePicturePng(const PictureContext* context, const char* path) {
    if (context == nullptr || path == nullptr) return false;
    cairo_surface_flush(context->surface);
    return cairo_surface_write_to_png(context->surface, path) == CAIRO_STATUS_SUCCESS;
}

}   // namespace host
