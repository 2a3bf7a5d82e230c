#include "Project/Finish.h"

#include <cstring>
#include <new>
#include <string>
#include <string_view>

#include <HostFiles.h>
#include <HostImages.h>

#include "Foundation/DataFile.h"
#include "Interface/Image.h"
#include "Interface/NativeContext.h"

namespace tarnwick {
namespace {
constexpr std::int32_t kMaterialTypes = 10;   // types 0 to 9

host::AttributeDefinition definitionOf(const FinishRecord& record) {
    host::AttributeDefinition definition{};
    std::memcpy(&definition, &record, sizeof(record));
    return definition;
}
}   // namespace

void RecordParts<host::SurfaceMaterialRecord>::copy(host::SurfaceMaterialRecord& record) {
    if (record.textureLocation == nullptr) return;
    void* const location = host::copyLocation(record.textureLocation);
    if (location == nullptr) throw std::bad_alloc();
    record.textureLocation = location;
}

void RecordParts<host::SurfaceMaterialRecord>::dispose(host::SurfaceMaterialRecord& record) {
    host::disposeLocation(record.textureLocation);
    record.textureLocation = nullptr;
}

void disposeDefinitionParts(host::AttributeDefinition& definition) {
    if (definition.header.type != toByte(AttributeType::finish)) return;
    host::SurfaceMaterialRecord record;
    std::memcpy(&record, &definition, sizeof record);
    RecordParts<host::SurfaceMaterialRecord>::dispose(record);
    std::memcpy(&definition, &record, sizeof record);
}

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

Finish::Finish(const FinishRecord& record)
    : Finish(definitionOf(record), AttributeLink(record.header.index, AttributeType::finish)) {}

Finish::Finish(std::shared_ptr<const host::ModelerMaterial> material,
               std::shared_ptr<const host::ModelerTexture> texture)
    : RecordAttribute(AttributeLink(), AttributeType::finish),
      material_(std::move(material)),
      texture_(std::move(texture)) {}

Finish::Finish(const host::AttributeDefinition& definition, const AttributeLink& link)
    : RecordAttribute(definition, link, AttributeType::finish) {}

Finish::Finish(const Finish& other) = default;
Finish& Finish::operator=(const Finish& other) = default;
Finish::~Finish() = default;

std::int32_t Finish::nextMaterialType(std::int32_t type) {
    return ((type % kMaterialTypes + kMaterialTypes) % kMaterialTypes + 1) % kMaterialTypes;
}

std::int32_t Finish::previousMaterialType(std::int32_t type) {
    return ((type % kMaterialTypes + kMaterialTypes) % kMaterialTypes + kMaterialTypes - 1) % kMaterialTypes;
}

std::unique_ptr<Attribute> Finish::create(const host::AttributeDefinition& definition,
                                          const AttributeLink& link) {
    if (definition.header.type != toByte(AttributeType::finish)) return nullptr;
    return std::make_unique<Finish>(definition, link);
}

std::unique_ptr<Attribute> Finish::clone() const { return std::make_unique<Finish>(*this); }

AttributeExtensionPtr Finish::copyExtendedDefinition() const { return nullptr; }

String Finish::getName() const { return material_ ? String(material_->name.c_str()) : Attribute::getName(); }

// --- Values: the host material's when one is attached, else the record's ---------------------------
std::int32_t Finish::getMaterialType() const { return material_ ? material_->type : record().materialType; }
double Finish::getAmbientReflection() const {
    return material_ ? material_->ambient : record().ambient / 100.0;
}
double Finish::getDiffuseReflection() const {
    return material_ ? material_->diffuse : record().diffuse / 100.0;
}
double Finish::getSpecularReflection() const {
    return material_ ? material_->specular : record().specular / 100.0;
}
double Finish::getTransparency() const {
    return material_ ? material_->transparency : record().transparency / 100.0;
}
double Finish::getShining() const {
    return material_ ? material_->shining / 100.0 : record().shining / 10000.0;
}
double Finish::getTransparencyAttenuation() const {
    return material_ ? material_->transparencyAttenuation : record().transparencyAttenuation / 400.0;
}
double Finish::getEmissionAttenuation() const {
    return material_ ? material_->emissionAttenuation : record().emissionAttenuation / 65535.0;
}
Colour Finish::getSurfaceColour() const {
    return colourOf(material_ ? material_->surfaceColour : record().surfaceColour);
}
Colour Finish::getSpecularColour() const {
    return colourOf(material_ ? material_->specularColour : record().specularColour);
}
Colour Finish::getEmissionColour() const {
    return colourOf(material_ ? material_->emissionColour : record().emissionColour);
}

void Finish::setSurfaceColour(const Colour& colour) {
    FinishRecord& r = record();
    r.surfaceColour[0] = colour.red;
    r.surfaceColour[1] = colour.green;
    r.surfaceColour[2] = colour.blue;
}

// --- Texture ---------------------------------------------------------------------------------------
bool Finish::hasTexture() const {
    return material_ ? material_->textureIndex != 0 : (record().textureFlags & kHasTexture) != 0;
}

bool Finish::isMirroredInX() const {
    if (!hasTexture()) return false;
    return material_ ? texture_ && texture_->mirrorX : (record().textureFlags & kMirrorX) != 0;
}

bool Finish::isMirroredInY() const {
    if (!hasTexture()) return false;
    return material_ ? texture_ && texture_->mirrorY : (record().textureFlags & kMirrorY) != 0;
}

bool Finish::isTextureMissing() const {
    if (!hasTexture()) return true;
    if (material_) return !texture_ || texture_->pixMap.pixels.empty();   // no picture to show
    return record().textureMissing != 0;
}

double Finish::getTextureXSize() const {
    if (!hasTexture()) return 1.0;
    return material_ ? (texture_ ? texture_->xSize : 1.0) : record().textureXSize;
}

double Finish::getTextureYSize() const {
    if (!hasTexture()) return 1.0;
    return material_ ? (texture_ ? texture_->ySize : 1.0) : record().textureYSize;
}

double Finish::getTextureRotationAngle() const {
    if (!hasTexture()) return 0.0;
    return material_ ? material_->textureRotation : record().textureAngle;
}

String Finish::getTextureName() const {
    if (!hasTexture()) return String();
    if (material_) return texture_ ? String(texture_->name.c_str()) : String();
    const FinishRecord& r = record();
    std::size_t length = 0;
    while (length < std::size(r.textureName) && r.textureName[length] != 0) ++length;
    return String(std::u16string_view(r.textureName, length));
}

std::unique_ptr<Image> Finish::getTextureImage() const {
    if (!hasTexture() || !texture_) return nullptr;
    const host::PixMap& source = texture_->pixMap;
    const std::size_t bytes =
        static_cast<std::size_t>(source.width) * static_cast<std::size_t>(source.height) * 4;
    if (source.width <= 0 || source.height <= 0 || source.pixels.size() != bytes) return nullptr;
    host::PixMap* copy = host::GXCreateGSPixMap(source.width, source.height, 72.0, host::kPixelTypeRGBA);
    if (copy == nullptr) return nullptr;
    copy->pixels = source.pixels;
    return std::make_unique<Image>(copy);   // the image takes the pixel map over
}

std::unique_ptr<DataFile> Finish::getTextureFile() const {
    if (material_) return nullptr;
    const auto* location = static_cast<const char*>(record().textureLocation);
    if (location == nullptr || *location == '\0') return nullptr;
    return std::make_unique<DataFile>(FileLocation(std::string(location)), DataFile::kReadWrite);
}

void Finish::resetRecord(FinishRecord& record, bool) const {
    RecordParts<FinishRecord>::dispose(record);
    record = FinishRecord{};
    record.header.type = toByte(AttributeType::finish);
}

void Finish::drawSwatch(NativeContext& context, std::int32_t width, std::int32_t height) const {
    const PixelRect frame{2, 2, width - 2, height - 2};
    context.fillRect(frame, Colour(0.0, 0.0, 0.0, 1.0));
    context.fillRect(frame.insetBy(1), getSurfaceColour());
}

}   // namespace tarnwick
