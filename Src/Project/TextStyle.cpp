#include "Project/TextStyle.h"

#include <cmath>
#include <string>

#include <HostResult.h>

#include "Environment/HostApi.h"
#include "Geometry/Tolerance.h"

namespace tarnwick {
namespace {
AttributeLink penLink(std::int32_t index) {
    return AttributeLink(static_cast<std::int16_t>(index), AttributeType::pen);
}
AttributeLink fontLink(std::int32_t index) {
    return AttributeLink(static_cast<std::int16_t>(index), AttributeType::font);
}
}   // namespace

TextStyle::TextStyle(std::uint16_t styleFlags, double size)
    : Attribute(AttributeLink(), AttributeType::none), styleFlags_(styleFlags), size_(size) {}

TextStyle::TextStyle(std::uint16_t styleFlags, const Colour& colour)
    : Attribute(AttributeLink(), AttributeType::none), colour_(colour), styleFlags_(styleFlags) {}

TextStyle::TextStyle(const Font& font, const Pen& pen)
    : Attribute(AttributeLink(), AttributeType::none), pen_(pen), font_(font) {}

TextStyle::TextStyle(const host::TextSizeRecord& record)
    : Attribute(AttributeLink(), AttributeType::none),
      pen_(penLink(record.pen)),
      font_(fontLink(record.font)),
      size_(record.size) {}

TextStyle::TextStyle(const host::TextRecord& record)
    : Attribute(AttributeLink(), AttributeType::none),
      pen_(penLink(record.pen)),
      font_(fontLink(record.font)),
      styleFlags_(record.style),
      extra_(record.extra),
      size_(record.size) {}

TextStyle::TextStyle(const TextStyle& other) = default;
TextStyle& TextStyle::operator=(const TextStyle& other) = default;
TextStyle::~TextStyle() = default;

std::unique_ptr<Attribute> TextStyle::clone() const { return std::make_unique<TextStyle>(*this); }
std::unique_ptr<host::AttributeDefinition> TextStyle::copyDefinition() const { return nullptr; }
AttributeExtensionPtr TextStyle::copyExtendedDefinition() const { return nullptr; }

std::int32_t TextStyle::getPointSize() const {
    return static_cast<std::int32_t>(std::floor(size_ / kMillimetresPerPoint + 0.5));
}

host::TextRecord TextStyle::toHostRecord(std::int32_t word0, std::int32_t word1) const {
    host::TextRecord record{};
    record.word0 = word0;
    record.word1 = word1;
    record.pen = pen_.getLink().getShortIndex();
    record.style = styleFlags_;
    record.font = font_.getLink().getShortIndex();
    record.extra = extra_;
    record.size = size_;
    return record;
}

host::TextSizeRecord TextStyle::toSizeRecord() const {
    host::TextSizeRecord record{};
    record.pen = pen_.getLink().getShortIndex();
    record.font = font_.getLink().getShortIndex();
    record.size = size_;
    return record;
}

double TextStyle::measure(const String& text, std::int16_t mode) const {
    if (text.isEmpty()) return 0.0;
    const std::u16string characters = text.toUniString();   // lives until the host has answered
    host::TextLengthRecord record{};
    record.mode = mode;
    record.modeSet = mode != 0 ? 1 : 0;
    record.font = font_.getLink().getShortIndex();
    record.style = styleFlags_;
    record.spacing = third_;
    record.size = size_;
    record.text = characters.c_str();
    double length = 0.0;
    if (hostApi().utilities(fourcc("GTLL"), &record, &length) != host::kNoError) return 0.0;
    return length;
}

bool TextStyle::operator==(const TextStyle& other) const {
    return getIndex() == other.getIndex() && font_.getIndex() == other.font_.getIndex() &&
           pen_.getIndex() == other.pen_.getIndex() && colour_ == other.colour_ &&
           exactlyEqual(size_, other.size_) && value0_ == other.value0_ && value1_ == other.value1_ &&
           exactlyEqual(second_, other.second_) && exactlyEqual(third_, other.third_) &&
           styleFlags_ == other.styleFlags_ && extra_ == other.extra_;
}

}   // namespace tarnwick
