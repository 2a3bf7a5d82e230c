#include "Project/Pen.h"

#include <algorithm>
#include <cmath>

#include "Interface/NativeContext.h"

namespace tarnwick {
namespace {
constexpr double kDefaultWidth = 0.1;           // millimetres
constexpr std::int32_t kMaxStroke = 10;         // pixels: the bar is at most this wide
constexpr double kPixelsPerMillimetre = 10.0;   // a pen's stroke in the swatch

std::int32_t channel(double value) {
    return std::clamp(static_cast<std::int32_t>(std::floor(value * 255.0 + 0.5)), 0, 255);
}
}   // namespace

std::int32_t colourValueOf(double red, double green, double blue) {
    return (channel(red) << 16) | (channel(green) << 8) | channel(blue);
}

Colour colourOfValue(std::int32_t value) {
    const auto byte = [value](int shift) { return std::min(((value >> shift) & 0xFF) / 255.0, 1.0); };
    return Colour(byte(16), byte(8), byte(0), 1.0);
}

Pen::Pen() : RecordAttribute(AttributeLink(), AttributeType::pen) { static_cast<void>(record()); }

Pen::Pen(const AttributeLink& link) : RecordAttribute(link, AttributeType::pen) {}

Pen::Pen(const host::AttributeDefinition& definition, const AttributeLink& link)
    : RecordAttribute(definition, link, AttributeType::pen) {}

Pen::Pen(const Pen& other) = default;
Pen& Pen::operator=(const Pen& other) = default;
Pen::~Pen() = default;

std::unique_ptr<Attribute> Pen::create(const host::AttributeDefinition& definition,
                                       const AttributeLink& link) {
    if (definition.header.type != toByte(AttributeType::pen)) return nullptr;
    return std::make_unique<Pen>(definition, link);
}

std::unique_ptr<Attribute> Pen::clone() const { return std::make_unique<Pen>(*this); }

AttributeExtensionPtr Pen::copyExtendedDefinition() const { return nullptr; }

Colour Pen::getColour() const {
    const PenRecord& r = record();
    return Colour(r.red, r.green, r.blue, 1.0);
}

std::int32_t Pen::getColourValue() const {
    const PenRecord& r = record();
    return colourValueOf(r.red, r.green, r.blue);
}

void Pen::setColour(const Colour& colour) {
    PenRecord& r = record();
    r.red = colour.red;
    r.green = colour.green;
    r.blue = colour.blue;
}

void Pen::setColourValue(std::int32_t value) { setColour(colourOfValue(value)); }

// The type goes into the header as well, so that a new pen can be created in the host.
void Pen::resetRecord(PenRecord& record, bool) const {
    record = PenRecord{};
    record.header.type = toByte(AttributeType::pen);
    record.width = kDefaultWidth;
}

void Pen::drawSwatch(NativeContext& context, std::int32_t width, std::int32_t height) const {
    const Colour black(0.0, 0.0, 0.0, 1.0);
    const Colour white(1.0, 1.0, 1.0, 1.0);
    // 1. The frame.
    const PixelRect frame{2, 2, width - 2, height - 2};
    context.fillRect(frame, black);
    context.fillRect(frame.insetBy(1), white);
    // 2. The bar, at most kMaxStroke wide, and the patch right of it.
    PixelRect bar = frame.insetBy(3);
    if (bar.width() > kMaxStroke) bar.right = bar.left + kMaxStroke;
    PixelRect patch = frame.insetBy(3);
    patch.left = bar.right + 2;
    // 3. The bar as thick as the pen, centred in its place.
    if (bar.width() <= 0) return;
    const auto stroke =
        std::clamp(static_cast<std::int32_t>(getWidth() * kPixelsPerMillimetre + 0.5), 1, bar.width());
    bar.left += (bar.width() - stroke) / 2;
    bar.right = bar.left + stroke;
    const Colour colour = getColour();
    context.fillRect(bar, colour);
    if (patch.width() > 0) context.fillRect(patch, colour);   // a narrow item leaves no room for it
}

}   // namespace tarnwick
