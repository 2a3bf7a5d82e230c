#include "Project/Font.h"

namespace tarnwick {

Font::Font() : RecordAttribute(AttributeLink(), AttributeType::font) { static_cast<void>(record()); }

Font::Font(const AttributeLink& link) : RecordAttribute(link, AttributeType::font) {}

Font::Font(const host::AttributeDefinition& definition, const AttributeLink& link)
    : RecordAttribute(definition, link, AttributeType::font) {}

Font::Font(const Font& other) = default;
Font& Font::operator=(const Font& other) = default;
Font::~Font() = default;

std::unique_ptr<Attribute> Font::create(const host::AttributeDefinition& definition,
                                        const AttributeLink& link) {
    if (definition.header.type != toByte(AttributeType::font)) return nullptr;
    return std::make_unique<Font>(definition, link);
}

std::unique_ptr<Attribute> Font::clone() const { return std::make_unique<Font>(*this); }

AttributeExtensionPtr Font::copyExtendedDefinition() const { return nullptr; }

void Font::resetRecord(FontRecord& record, bool) const {
    record = FontRecord{};
    record.header.type = toByte(AttributeType::font);
}

Font::Font(const String& name)
    : RecordAttribute(AttributeLink(name, AttributeType::font), AttributeType::font) {}

}   // namespace tarnwick
