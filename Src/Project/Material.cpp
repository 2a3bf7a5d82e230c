#include "Project/Material.h"

#include <cstring>

#include "Interface/NativeContext.h"
#include "Project/Fill.h"
#include "Project/Finish.h"
#include "Project/Pen.h"

namespace tarnwick {

namespace {
host::AttributeDefinition definitionOf(const MaterialRecord& record) {
    static_assert(sizeof(host::AttributeDefinition) >= sizeof(MaterialRecord));
    host::AttributeDefinition definition{};
    std::memcpy(&definition, &record, sizeof(record));
    return definition;
}
}   // namespace

Material::Material() : RecordAttribute(AttributeLink(), AttributeType::material) {
    static_cast<void>(record());
}

Material::Material(const AttributeLink& link) : RecordAttribute(link, AttributeType::material) {}

Material::Material(std::int32_t index)
    : RecordAttribute(AttributeLink(index, AttributeType::material), AttributeType::material) {}

Material::Material(const String& name)
    : RecordAttribute(AttributeLink(name, AttributeType::material), AttributeType::material) {
    if (name.isEmpty() || isValid()) return;
    clearLink();
    resetRecord(record(), /*failed=*/false);
    setLoadFailed(false);
    setName(name);
}

Material::Material(const MaterialRecord& record)
    : Material(definitionOf(record), AttributeLink(record.header.index, AttributeType::material)) {}

Material::Material(const host::AttributeDefinition& definition, const AttributeLink& link)
    : RecordAttribute(definition, link, AttributeType::material) {}

Material::Material(const Material& other) = default;
Material& Material::operator=(const Material& other) = default;
Material::~Material() = default;

std::unique_ptr<Attribute> Material::create(const host::AttributeDefinition& definition,
                                            const AttributeLink& link) {
    if (definition.header.type != toByte(AttributeType::material)) return nullptr;
    return std::make_unique<Material>(definition, link);
}

std::unique_ptr<Attribute> Material::clone() const { return std::make_unique<Material>(*this); }

AttributeExtensionPtr Material::copyExtendedDefinition() const { return nullptr; }

void Material::resetRecord(MaterialRecord& record, bool) const {
    record = MaterialRecord{};
    record.header.type = toByte(AttributeType::material);
}

// A material of another project names that project's attributes, not the current one's.
AttributeLink Material::linkOf(std::int16_t index, AttributeType type) const {
    return getLink().getOwner() != nullptr ? AttributeLink(index, type, getLink().getOwner())
                                           : AttributeLink(index, type);
}

Fill Material::getCutFill() const { return Fill(linkOf(record().cutFill, AttributeType::fill)); }
Pen Material::getCutFillPen() const { return Pen(linkOf(record().cutFillPen, AttributeType::pen)); }
Pen Material::getCutFillBackgroundPen() const {
    return Pen(linkOf(record().cutFillBackgroundPen, AttributeType::pen));
}
Finish Material::getSurface() const { return Finish(linkOf(record().surface, AttributeType::finish)); }

void Material::drawSwatch(NativeContext& context, std::int32_t width, std::int32_t height) const {
    const Colour black(0.0, 0.0, 0.0, 1.0);
    // 1. The background: white, or the cut fill's background pen.
    const Colour background = record().cutFillBackgroundPen != 0 ? getCutFillBackgroundPen().getColour()
                                                                 : Colour(1.0, 1.0, 1.0, 1.0);
    const PixelRect all{1, 1, width - 1, height - 1};
    // 2. The cut fill on the left 48 %.
    const PixelRect left{all.left, all.top, all.left + all.width() * 48 / 100, all.bottom};
    getCutFill().drawInRect(context, left, getCutFillPen().getColour(), background, black);
    // 3. The surface on the right from 52 %.
    context.setBackground(background);
    const PixelRect right{all.left + all.width() * 52 / 100, all.top, all.right, all.bottom};
    context.fillRect(right, getSurface().getSurfaceColour());
    // 4.
    if (framesSurface()) context.frameRect(right, black);
}

}   // namespace tarnwick
