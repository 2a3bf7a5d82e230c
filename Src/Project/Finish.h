// Finish: the wrapper of one host surface material: its reflections, colours and texture.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include <HostRecords.h>

#include "Foundation/Colour.h"
#include "Project/RecordAttribute.h"

namespace tarnwick {

// The host surface-material record as a finish keeps it.
struct FinishRecord {
    host::AttributeHeader header;
    std::uint8_t reserved296[4];
    std::int32_t materialType;   // 0 to 9, carried
    std::uint16_t ambient;       // reflections and transparency in hundredths
    std::uint16_t diffuse;
    std::uint16_t specular;
    std::uint16_t transparency;
    std::uint16_t shining;                   // / 10000
    std::uint16_t transparencyAttenuation;   // / 400
    std::uint16_t emissionAttenuation;       // / 65535
    std::uint8_t reserved318[2];
    double surfaceColour[3];   // red, green, blue 0..1
    double specularColour[3];
    double emissionColour[3];
    std::uint8_t reserved392[8];
    std::uint16_t textureFlags;   // kTexture...
    std::uint8_t textureMissing;
    std::uint8_t reserved403[5];
    double textureXSize;
    double textureYSize;
    double textureAngle;   // radians
    std::uint8_t reserved432[8];
    char16_t textureName[256];
    void* textureLocation;   // the host's file location; never kept here (see Finish)
    std::uint8_t reserved960[8];
};
static_assert(sizeof(FinishRecord) == 968);
static_assert(offsetof(FinishRecord, materialType) == 300);
static_assert(offsetof(FinishRecord, ambient) == 304);
static_assert(offsetof(FinishRecord, emissionAttenuation) == 316);
static_assert(offsetof(FinishRecord, surfaceColour) == 320);
static_assert(offsetof(FinishRecord, specularColour) == 344);
static_assert(offsetof(FinishRecord, emissionColour) == 368);
static_assert(offsetof(FinishRecord, textureFlags) == 400);
static_assert(offsetof(FinishRecord, textureMissing) == 402);
static_assert(offsetof(FinishRecord, textureXSize) == 408);
static_assert(offsetof(FinishRecord, textureAngle) == 424);
static_assert(offsetof(FinishRecord, textureName) == 440);
static_assert(offsetof(FinishRecord, textureLocation) == 952);

// An attribute of type 6; copy with clone. Every operation loads the record first. The record's texture
// location is a host block that belongs to the record the host handed out: it is cleared in the copy
// kept here, so that no copy of the record (a definition written back, a clone) can free it twice.
class Finish : public RecordAttribute<FinishRecord> {
public:
    static constexpr std::uint16_t kHasTexture = 0x1000;   // bit 12
    static constexpr std::uint16_t kMirrorX = 0x400;       // bit 10
    static constexpr std::uint16_t kMirrorY = 0x800;       // bit 11

    Finish();
    explicit Finish(const AttributeLink& link);
    explicit Finish(const String& name);   // as Fill's: a new finish when the project has none of the name
    Finish(const host::AttributeDefinition& definition, const AttributeLink& link);
    Finish(const Finish& other);
    Finish& operator=(const Finish& other);
    ~Finish() override;

    // The attribute creator for type 6: null for a definition of another type.
    static std::unique_ptr<Attribute> create(const host::AttributeDefinition& definition,
                                             const AttributeLink& link);

    std::unique_ptr<Attribute> clone() const override;
    AttributeType getType() const override { return AttributeType::finish; }
    AttributeExtensionPtr copyExtendedDefinition() const override;   // null
    // A black frame around a patch of the surface colour.
    void drawSwatch(NativeContext& context, std::int32_t width, std::int32_t height) const override;

    std::int32_t getMaterialType() const { return record().materialType; }
    double getAmbientReflection() const { return record().ambient / 100.0; }
    double getDiffuseReflection() const { return record().diffuse / 100.0; }
    double getSpecularReflection() const { return record().specular / 100.0; }
    double getTransparency() const { return record().transparency / 100.0; }
    double getShining() const { return record().shining / 10000.0; }
    double getTransparencyAttenuation() const { return record().transparencyAttenuation / 400.0; }
    double getEmissionAttenuation() const { return record().emissionAttenuation / 65535.0; }
    Colour getSurfaceColour() const { return colourOf(record().surfaceColour); }   // alpha 1
    Colour getSpecularColour() const { return colourOf(record().specularColour); }
    Colour getEmissionColour() const { return colourOf(record().emissionColour); }
    void setSurfaceColour(const Colour& colour);

    // Without a texture: not mirrored, missing, size 1 by 1, angle 0 and no name.
    bool hasTexture() const { return (record().textureFlags & kHasTexture) != 0; }
    bool isMirroredInX() const { return hasTexture() && (record().textureFlags & kMirrorX) != 0; }
    bool isMirroredInY() const { return hasTexture() && (record().textureFlags & kMirrorY) != 0; }
    bool isTextureMissing() const { return !hasTexture() || record().textureMissing != 0; }
    double getTextureXSize() const { return hasTexture() ? record().textureXSize : 1.0; }
    double getTextureYSize() const { return hasTexture() ? record().textureYSize : 1.0; }
    double getTextureRotationAngle() const { return hasTexture() ? record().textureAngle : 0.0; }
    String getTextureName() const;

protected:
    void resetRecord(FinishRecord& record, bool failed) const override;

private:
    static Colour colourOf(const double (&rgb)[3]) { return Colour(rgb[0], rgb[1], rgb[2], 1.0); }
};

}   // namespace tarnwick
