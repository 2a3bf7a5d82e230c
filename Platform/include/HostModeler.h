// The host's 3D modeller library: the model of a 3D window as the host builds it for a sight of that
// window, with its elements (bodies as in HostModel3D.h), its surface materials and their textures; and
// the 984-byte 3D component record of the host's 3D component call.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "HostGuid.h"
#include "HostImages.h"
#include "HostModel3D.h"
#include "HostRecords.h"
#include "HostResult.h"

namespace host {

// --- Materials and textures ------------------------------------------------------------------------
// Which attribute a ModelerAttributeIndex names, and the third value the modeller expects with it.
inline constexpr std::int32_t kModelerMaterialKind = 2;
inline constexpr std::int32_t kModelerTextureKind = 3;
inline constexpr std::int32_t kModelerIndexOriginal = -2;   // the index as the attribute table gives it

// Materials and textures are numbered from 1 (0 names none), as the attributes they come from.
struct ModelerAttributeIndex {
    std::int32_t kind = 0;
    std::int32_t index = 0;
    std::int32_t original = kModelerIndexOriginal;
};

// A surface material as the model shows it: reflections, transparency and attenuations 0..1, shining
// 0..100, colours 0..1.
struct ModelerMaterial {
    std::string name;
    std::int32_t type = 0;   // the surface material's type, 0 to 9
    double ambient = 0;
    double diffuse = 0;
    double specular = 0;
    double transparency = 0;
    double shining = 0;
    double transparencyAttenuation = 0;
    double emissionAttenuation = 0;
    double surfaceColour[3] = {0, 0, 0};
    double specularColour[3] = {0, 0, 0};
    double emissionColour[3] = {0, 0, 0};
    std::int32_t textureIndex = 0;   // 0: no texture
    double textureRotation = 0;      // radians
};

// A texture: its name, how it is laid (model metres, mirroring) and its picture, empty when the file
// could not be read.
struct ModelerTexture {
    std::string name;
    double xSize = 1;
    double ySize = 1;
    bool mirrorX = false;
    bool mirrorY = false;
    PixMap pixMap;
};

// --- The model -----------------------------------------------------------------------------------
// One element of a model: the placed element's guid and its bodies.
struct ModelerElement {
    GuidRecord guid{};
    std::shared_ptr<const Model3DElement> model;
};

// What a sight's window shows; the host's source of it fills one when a model is built.
struct ModelerContent {
    std::vector<ModelerElement> elements;                            // 0-based, in the host's order
    std::vector<std::shared_ptr<const ModelerMaterial>> materials;   // material n at n - 1; null: deleted
    std::vector<std::shared_ptr<const ModelerTexture>> textures;     // texture n at n - 1
};

struct ModelerModel;   // made empty, filled by getModelerModel
ModelerModel* newModelerModel();
void deleteModelerModel(ModelerModel* model);   // null is allowed

std::int32_t modelerElementCount(const ModelerModel& model);
const ModelerElement* modelerElement(const ModelerModel& model, std::int32_t index);   // null outside
ElementBoxRecord modelerBounds(const ModelerModel& model);   // of every vertex; all zero when none
std::int32_t modelerMaterialCount(const ModelerModel& model);
std::int32_t modelerTextureCount(const ModelerModel& model);
// Null for an index of another kind, outside 1..count or of a deleted material.
std::shared_ptr<const ModelerMaterial> modelerMaterial(const ModelerModel& model,
                                                       const ModelerAttributeIndex& index);
std::shared_ptr<const ModelerTexture> modelerTexture(const ModelerModel& model,
                                                     const ModelerAttributeIndex& index);

// --- Sights --------------------------------------------------------------------------------------
// A sight of a 3D window, counted by references: the host hands one out with one reference for the
// caller, and the last release frees it.
struct ModelerSight;
using ModelerSource = std::function<Result(ModelerContent& content)>;
// A new sight over the source (one reference). The source is called each time a model is built; a source
// that has gone (expired) makes the build fail with kErrGeneral.
ModelerSight* newModelerSight(std::weak_ptr<const ModelerSource> source);
void retainSight(ModelerSight* sight);
void releaseSight(ModelerSight* sight);   // null is allowed
std::size_t liveSightCount();             // sights not yet freed, for leak checks

// Fills the model with what the sight's window shows now (replacing what it held). Takes over one
// reference of the sight, which it releases before returning, whatever the outcome: a caller that keeps
// the sight retains it first. kErrBadParameters for a null sight or model; the source's error otherwise.
Result getModelerModel(ModelerSight* sight, ModelerModel* model);

// --- The 3D component call -------------------------------------------------------------------------
inline constexpr std::int32_t kComponentMaterial = 7;   // the 3D component kind of a surface material

// The record of the host's 3D component call: kind and 16-bit index in; for a material the surface
// material's attribute definition (header, then its own fields) out. Offsets after the kind are ours.
struct Component3DRecord {
    std::int32_t kind = 0;
    std::int16_t index = 0;
    std::uint8_t reserved6[10] = {};
    std::uint8_t material[968] = {};   // the first 968 bytes of an AttributeDefinition of type 6
};
static_assert(sizeof(Component3DRecord) == 984);
static_assert(offsetof(Component3DRecord, material) == 16);

}   // namespace host
