#include "Elements/PartAttributes.h"

#include <cstring>

#include "Project/Fill.h"
#include "Project/Finish.h"
#include "Project/LineStyle.h"
#include "Project/Pen.h"

namespace tarnwick {

namespace {

// From the start of the run (record offset 112).
constexpr std::size_t kPen = 0;   // parts 0 and 1
constexpr std::size_t kLineStyle = 2;
constexpr std::size_t kFinish = 4;
constexpr std::size_t kFill = 6;     // 0: none
constexpr std::size_t kPen11 = 8;    // also part 6
constexpr std::size_t kPen12 = 10;   // also part 8
constexpr std::size_t kPen10 = 12;

}   // namespace

std::int16_t PartAttributes::index(std::size_t offset) const {
    std::int16_t value = 0;
    std::memcpy(&value, record_ + offset, sizeof value);
    return value;
}

void PartAttributes::put(std::size_t offset, std::int16_t value) {
    std::memcpy(record_ + offset, &value, sizeof value);
}

Pen PartAttributes::getPen(std::int32_t part) const {
    std::int16_t pen = 0;
    if (part == 0 || part == 1)
        pen = index(kPen);
    else if (part == 10)
        pen = index(kPen10);
    else if (part == 11)
        pen = index(kPen11);
    else if (part == 12)
        pen = index(kPen12);
    return Pen(AttributeLink(pen, AttributeType::pen));
}

LineStyle PartAttributes::getLineStyle(std::int32_t part) const {
    return LineStyle(
        AttributeLink(isBody(part) ? index(kLineStyle) : std::int16_t{0}, AttributeType::lineStyle));
}

Finish PartAttributes::getFinish(std::int32_t part) const {
    return Finish(AttributeLink(isBody(part) ? index(kFinish) : std::int16_t{0}, AttributeType::finish));
}

std::unique_ptr<Attribute> PartAttributes::getFill(std::int32_t part) const {
    if (!hasFill(part) || index(kFill) == 0) return nullptr;
    return std::make_unique<Fill>(AttributeLink(index(kFill), AttributeType::fill));
}

std::int32_t PartAttributes::setPen(const AttributeLink& pen, std::int32_t part) {
    const std::int16_t value = pen.getShortIndex();
    switch (part) {
        case 0:   // the whole element: every pen
            put(kPen, value);
            put(kPen10, value);
            put(kPen11, value);
            put(kPen12, value);
            break;
        case 1:
            put(kPen, value);
            break;
        case 6:
        case 11:
            put(kPen11, value);
            break;
        case 8:
        case 12:
            put(kPen12, value);
            break;
        case 10:
            put(kPen10, value);
            break;
        default:
            return 0;
    }
    return value;
}

void PartAttributes::setFill(const AttributeLink& fill, std::int32_t part) {
    if (fill.getShortIndex() >= 1 && hasFill(part)) put(kFill, fill.getShortIndex());
}

void PartAttributes::setLineStyle(const AttributeLink& lineStyle, std::int32_t part) {
    if (part == 0 || part == 1) put(kLineStyle, lineStyle.getShortIndex());
}

void PartAttributes::setFinish(const AttributeLink& finish, std::int32_t part) {
    if (part == 0 || part == 1) put(kFinish, finish.getShortIndex());
}

}   // namespace tarnwick
