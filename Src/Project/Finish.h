// Finish: the wrapper of one host surface material: its reflections, colours and texture.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include <HostModeler.h>
#include <HostRecords.h>

#include "Foundation/Colour.h"
#include "Project/RecordAttribute.h"

namespace tarnwick {

class DataFile;
class Image;

using FinishRecord = host::SurfaceMaterialRecord;   // the host surface-material record

// An attribute of type 6; copy with clone. Every operation loads the record first, unless the finish
// stands for a material of the host's 3D model: then it has no record of its own and answers from that
// material and its texture, which it shares with its copies. The record's texture location is its own:
// copies get copies of it, and it goes with the record.
class Finish : public RecordAttribute<FinishRecord> {
public:
    static constexpr std::uint16_t kHasTexture = host::kSurfaceHasTexture;   // bit 12
    static constexpr std::uint16_t kMirrorX = host::kSurfaceMirrorX;         // bit 10
    static constexpr std::uint16_t kMirrorY = host::kSurfaceMirrorY;         // bit 11

    Finish();
    explicit Finish(const AttributeLink& link);
    explicit Finish(const String& name);   // as Fill's: a new finish when the project has none of the name
    explicit Finish(const FinishRecord& record);   // its link of the record's type and index
    Finish(const host::AttributeDefinition& definition, const AttributeLink& link);
    // A material of the host's 3D model and its texture (may be null); no record, an empty link.
    Finish(std::shared_ptr<const host::ModelerMaterial> material,
           std::shared_ptr<const host::ModelerTexture> texture);
    Finish(const Finish& other);
    Finish& operator=(const Finish& other);
    ~Finish() override;

    // The attribute creator for type 6: null for a definition of another type.
    static std::unique_ptr<Attribute> create(const host::AttributeDefinition& definition,
                                             const AttributeLink& link);

    std::unique_ptr<Attribute> clone() const override;
    AttributeType getType() const override { return AttributeType::finish; }
    String getName() const override;   // the host material's, when one is attached
    AttributeExtensionPtr copyExtendedDefinition() const override;   // null
    // A black frame around a patch of the surface colour.
    void drawSwatch(NativeContext& context, std::int32_t width, std::int32_t height) const override;

    bool hasHostMaterial() const { return material_ != nullptr; }
    std::int32_t getMaterialType() const;   // 0 to 9
    // The material type one step up or down, wrapping from 9 to 0 and from 0 to 9.
    static std::int32_t nextMaterialType(std::int32_t type);
    static std::int32_t previousMaterialType(std::int32_t type);
    double getAmbientReflection() const;
    double getDiffuseReflection() const;
    double getSpecularReflection() const;
    double getTransparency() const;
    double getShining() const;
    double getTransparencyAttenuation() const;
    double getEmissionAttenuation() const;
    Colour getSurfaceColour() const;   // alpha 1
    Colour getSpecularColour() const;
    Colour getEmissionColour() const;
    void setSurfaceColour(const Colour& colour);   // the record's; a host material is not changed

    // Without a texture: not mirrored, missing, size 1 by 1, angle 0 and no name.
    bool hasTexture() const;   // a host material: its texture index is not 0
    bool isMirroredInX() const;
    bool isMirroredInY() const;
    bool isTextureMissing() const;
    double getTextureXSize() const;
    double getTextureYSize() const;
    double getTextureRotationAngle() const;
    String getTextureName() const;
    // The texture's picture (its pixels copied into a new 72 dpi pixel map), owned by the caller; null
    // without a texture, without an attached host texture, or when the pixel map cannot be made.
    std::unique_ptr<Image> getTextureImage() const;
    // The texture file of the record, opened for reading and writing; null with a host material attached
    // or without a texture file.
    std::unique_ptr<DataFile> getTextureFile() const;

protected:
    void resetRecord(FinishRecord& record, bool failed) const override;

private:
    static Colour colourOf(const double (&rgb)[3]) { return Colour(rgb[0], rgb[1], rgb[2], 1.0); }

    std::shared_ptr<const host::ModelerMaterial> material_;   // null: the record answers
    std::shared_ptr<const host::ModelerTexture> texture_;
};

}   // namespace tarnwick
