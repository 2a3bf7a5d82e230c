#include "Project/Finish.h"

#include <string_view>

#include "Interface/NativeContext.h"

namespace tarnwick {

Finish::Finish() : RecordAttribute(AttributeLink(), AttributeType::finish) { static_cast<void>(record()); }

Finish::Finish(const AttributeLink& link) : RecordAttribute(link, AttributeType::finish) {}

Finish::Finish(const String& name)
    : RecordAttribute(AttributeLink(name, AttributeType::finish), AttributeType::finish) {
    if (name.isEmpty() || isValid()) return;
    clearLink();
    resetRecord(record(), /*failed=*/false);
    setLoadFailed(false);
    setName(name);
}

Finish::Finish(const host::AttributeDefinition& definition, const AttributeLink& link)
    : RecordAttribute(definition, link, AttributeType::finish) {
    record().textureLocation = nullptr;   // the host's block stays with the host's record
}

Finish::Finish(const Finish& other) = default;
Finish& Finish::operator=(const Finish& other) = default;
Finish::~Finish() = default;

std::unique_ptr<Attribute> Finish::create(const host::AttributeDefinition& definition,
                                          const AttributeLink& link) {
    if (definition.header.type != toByte(AttributeType::finish)) return nullptr;
    return std::make_unique<Finish>(definition, link);
}

std::unique_ptr<Attribute> Finish::clone() const { return std::make_unique<Finish>(*this); }

AttributeExtensionPtr Finish::copyExtendedDefinition() const { return nullptr; }

void Finish::setSurfaceColour(const Colour& colour) {
    FinishRecord& r = record();
    r.surfaceColour[0] = colour.red;
    r.surfaceColour[1] = colour.green;
    r.surfaceColour[2] = colour.blue;
}

String Finish::getTextureName() const {
    if (!hasTexture()) return String();
    const FinishRecord& r = record();
    std::size_t length = 0;
    while (length < std::size(r.textureName) && r.textureName[length] != 0) ++length;
    return String(std::u16string_view(r.textureName, length));
}

void Finish::resetRecord(FinishRecord& record, bool) const {
    record = FinishRecord{};
    record.header.type = toByte(AttributeType::finish);
}

void Finish::drawSwatch(NativeContext& context, std::int32_t width, std::int32_t height) const {
    const PixelRect frame{2, 2, width - 2, height - 2};
    context.fillRect(frame, Colour(0.0, 0.0, 0.0, 1.0));
    context.fillRect(frame.insetBy(1), getSurfaceColour());
}

}   // namespace tarnwick
