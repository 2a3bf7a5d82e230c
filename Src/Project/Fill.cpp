#include "Project/Fill.h"

#include <algorithm>

#include "Interface/NativeContext.h"

namespace tarnwick {

Fill::Fill() : RecordAttribute(AttributeLink(), AttributeType::fill) { static_cast<void>(record()); }

Fill::Fill(const AttributeLink& link) : RecordAttribute(link, AttributeType::fill) {}

Fill::Fill(const String& name)
    : RecordAttribute(AttributeLink(name, AttributeType::fill), AttributeType::fill) {
    if (name.isEmpty() || isValid()) return;
    // No such fill: a new one of that name.
    clearLink();
    resetRecord(record(), /*failed=*/false);
    setLoadFailed(false);
    setName(name);
}

Fill::Fill(const host::AttributeDefinition& definition, const AttributeLink& link)
    : RecordAttribute(definition, link, AttributeType::fill) {}

Fill::Fill(const Fill& other) = default;
Fill& Fill::operator=(const Fill& other) = default;
Fill::~Fill() = default;

std::unique_ptr<Attribute> Fill::create(const host::AttributeDefinition& definition,
                                        const AttributeLink& link) {
    if (definition.header.type != toByte(AttributeType::fill)) return nullptr;
    return std::make_unique<Fill>(definition, link);
}

std::unique_ptr<Attribute> Fill::clone() const { return std::make_unique<Fill>(*this); }

AttributeExtensionPtr Fill::copyExtendedDefinition() const { return nullptr; }

void Fill::setBitmap(const std::uint8_t pattern[8]) { std::copy_n(pattern, 8, record().pattern); }

void Fill::resetRecord(FillRecord& record, bool failed) const {
    record = FillRecord{};
    record.header.type = toByte(AttributeType::fill);
    static_cast<void>(failed);
}

void Fill::drawSwatch(NativeContext& context, std::int32_t width, std::int32_t height) const {
    const Colour black(0.0, 0.0, 0.0, 1.0);
    drawInRect(context, PixelRect{0, 0, width, height}, black, Colour(1.0, 1.0, 1.0, 1.0), black);
}

void Fill::drawInRect(NativeContext& context, const PixelRect& rect, const Colour& foreground,
                      const Colour& background, const Colour& frame) const {
    // 1. The effect the polygon is begun with.
    const FillRecord& r = record();
    if (r.kind == kLinearGradient) {
        context.beginLinearGradient(rect.left, rect.top, foreground, rect.right, rect.bottom, background);
    } else if (r.kind == kRadialGradient) {
        // Whole-number radii of the height, as the host's item sizes are.
        context.beginRadialGradient((rect.left + rect.right) / 2.0, (rect.top + rect.bottom) / 2.0,
                                    rect.height() / 4, rect.height() / 2, foreground, background);
    } else {
        context.setBackground(background);
        context.setForeground(foreground);
        context.setFillPattern(r.pattern);
        context.beginPolygon();
    }
    // 2. The rectangle as a polygon.
    context.addPoint(rect.left, rect.top);
    context.addPoint(rect.right, rect.top);
    context.addPoint(rect.right, rect.bottom);
    context.addPoint(rect.left, rect.bottom);
    context.addPoint(rect.left, rect.top);
    context.endPolygon();
    // 3. The frame.
    context.frameRect(rect, frame);
}

}   // namespace tarnwick
