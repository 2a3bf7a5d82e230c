#include "Project/LineStyle.h"

namespace tarnwick {

LineStyle::LineStyle() : RecordAttribute(AttributeLink(), AttributeType::lineStyle) {
    static_cast<void>(record());
}

LineStyle::LineStyle(const AttributeLink& link) : RecordAttribute(link, AttributeType::lineStyle) {}

LineStyle::LineStyle(const host::AttributeDefinition& definition, const AttributeLink& link)
    : RecordAttribute(definition, link, AttributeType::lineStyle) {}

LineStyle::LineStyle(const LineStyle& other) = default;
LineStyle& LineStyle::operator=(const LineStyle& other) = default;
LineStyle::~LineStyle() = default;

std::unique_ptr<Attribute> LineStyle::create(const host::AttributeDefinition& definition,
                                             const AttributeLink& link) {
    if (definition.header.type != toByte(AttributeType::lineStyle)) return nullptr;
    return std::make_unique<LineStyle>(definition, link);
}

std::unique_ptr<Attribute> LineStyle::clone() const { return std::make_unique<LineStyle>(*this); }

AttributeExtensionPtr LineStyle::copyExtendedDefinition() const { return nullptr; }

void LineStyle::resetRecord(LineStyleRecord& record, bool) const {
    record = LineStyleRecord{};
    record.header.type = toByte(AttributeType::lineStyle);
}

LineStyle::LineStyle(const String& name)
    : RecordAttribute(AttributeLink(name, AttributeType::lineStyle), AttributeType::lineStyle) {
    if (name.isEmpty() || isValid()) return;
    clearLink();
    resetRecord(record(), /*failed=*/false);
    setLoadFailed(false);
    setName(name);
}

}   // namespace tarnwick
