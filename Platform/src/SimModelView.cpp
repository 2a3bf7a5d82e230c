#include "SimModelView.h"

#include <cmath>
#include <cstring>

#include "HostFiles.h"
#include "HostText.h"
#include "SimAttributeTable.h"

namespace host {
namespace {

using Json = nlohmann::ordered_json;
constexpr double kPi = 3.14159265358979323846;

bool allFinite(const double* values, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i)
        if (!std::isfinite(values[i])) return false;
    return true;
}

// The surface material of a definition as the model shows it.
ModelerMaterial materialOf(const SurfaceMaterialRecord& r, const std::string& name) {
    ModelerMaterial m;
    m.name = name;
    m.type = r.materialType;
    m.ambient = r.ambient / 100.0;
    m.diffuse = r.diffuse / 100.0;
    m.specular = r.specular / 100.0;
    m.transparency = r.transparency / 100.0;
    m.shining = r.shining / 100.0;   // the record keeps 0..10000, the model 0..100
    m.transparencyAttenuation = r.transparencyAttenuation / 400.0;
    m.emissionAttenuation = r.emissionAttenuation / 65535.0;
    for (int i = 0; i < 3; ++i) {
        m.surfaceColour[i] = r.surfaceColour[i];
        m.specularColour[i] = r.specularColour[i];
        m.emissionColour[i] = r.emissionColour[i];
    }
    m.textureRotation = r.textureAngle;
    return m;
}

std::string textureNameOf(const SurfaceMaterialRecord& r) {
    std::size_t length = 0;
    while (length < std::size(r.textureName) && r.textureName[length] != 0) ++length;
    return utf16ToUtf8(std::u16string_view(r.textureName, length));
}

// The texture file's picture; empty when there is no file or it holds no picture this host decodes.
PixMap pictureOf(const std::string& path) {
    std::string bytes, error;
    if (path.empty() || !readWholeFile(path, bytes, error)) return PixMap{};
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
    std::int32_t type = kImageTypeUnknown;
    if (GXImage::getType(data, bytes.size(), type) != kNoError) return PixMap{};
    const GXImage picture(data, bytes.size(), type);
    return picture.isEmpty() ? PixMap{} : picture.toPixMap();
}

}   // namespace

Result SimModelView::sight(const std::shared_ptr<const ModelerSource>& source, ModelerSight** sight) const {
    if (!sight) return kErrBadParameters;
    *sight = nullptr;
    if (project_.view.frontWindow != DatabaseKey{kDatabaseModel, {}}) return kErrRefusedCommand;
    *sight = newModelerSight(source);
    return kNoError;
}

Result SimModelView::fill(ModelerContent& content) const {
    content = ModelerContent{};
    for (const SimElement& element : project_.state.elements) {
        if (!SimProject::inDatabase(element, {kDatabaseModel, {}})) continue;
        const ElementHead head = element.head();
        if (project_.layerHidden(head.layer)) continue;   // the 3D window leaves hidden layers out
        auto model = findElementModel3D(head.guid);
        if (!model) continue;
        content.elements.push_back({head.guid, std::move(model)});
    }
    SimAttributeTable table(project_);
    for (const SimAttribute& attribute : project_.state.attributes) {
        if (attribute.type != kAttributeSurface) continue;
        AttributeDefinition definition{};
        definition.header.type = static_cast<std::uint8_t>(kAttributeSurface);
        definition.header.index = attribute.index;
        if (table.get(definition) != kNoError) continue;
        SurfaceMaterialRecord record;
        std::memcpy(&record, &definition, sizeof(record));
        disposeLocation(record.textureLocation);   // the file is read from the attribute below
        record.textureLocation = nullptr;
        ModelerMaterial material = materialOf(record, attribute.name);
        if (record.textureFlags & kSurfaceHasTexture) {
            ModelerTexture texture;
            texture.name = textureNameOf(record);
            texture.xSize = record.textureXSize;
            texture.ySize = record.textureYSize;
            texture.mirrorX = (record.textureFlags & kSurfaceMirrorX) != 0;
            texture.mirrorY = (record.textureFlags & kSurfaceMirrorY) != 0;
            texture.pixMap = pictureOf(attribute.textureFile);
            content.textures.push_back(std::make_shared<const ModelerTexture>(std::move(texture)));
            material.textureIndex = static_cast<std::int32_t>(content.textures.size());
        }
        content.materials.resize(static_cast<std::size_t>(attribute.index));   // deleted ones stay null
        content.materials.back() = std::make_shared<const ModelerMaterial>(std::move(material));
    }
    return kNoError;
}

Result SimModelView::component(Component3DRecord& record) const {
    if (record.kind != kComponentMaterial) return kErrBadParameters;
    AttributeDefinition definition{};
    definition.header.type = static_cast<std::uint8_t>(kAttributeSurface);
    definition.header.index = record.index;
    if (const Result result = SimAttributeTable(project_).get(definition); result != kNoError) return result;
    std::memcpy(record.material, &definition, sizeof(record.material));
    return kNoError;
}

Result SimModelView::projection(ProjectionRecord& record) const {
    const SimProjection& p = project_.view.projection3D;
    record = ProjectionRecord{};
    record.isPerspective = p.perspective ? 1 : 0;
    ProjectionCamera& c = record.camera;
    c = {p.camera[0], p.camera[1], p.camera[2], p.camera[3],
         p.camera[4], p.camera[5], p.camera[6], p.camera[7]};
    std::memcpy(record.matrix.rows, p.matrix.data(), sizeof(record.matrix.rows));
    return kNoError;
}

Result SimModelView::setProjection(const ProjectionRecord& record) {
    SimProjection p = project_.view.projection3D;
    p.perspective = record.isPerspective != 0;
    if (p.perspective) {
        const ProjectionCamera& c = record.camera;
        p.camera = {c.cameraX, c.cameraY, c.cameraZ,   c.targetX,
                    c.targetY, c.targetZ, c.viewAngle, c.rollAngle};
        if (!allFinite(p.camera.data(), p.camera.size())) return kErrBadParameters;
        const double dx = c.targetX - c.cameraX, dy = c.targetY - c.cameraY, dz = c.targetZ - c.cameraZ;
        if (dx * dx + dy * dy + dz * dz <= 0) return kErrBadParameters;   // no direction to look in
        if (!(c.viewAngle > 0 && c.viewAngle < kPi)) return kErrBadParameters;
    } else {
        std::memcpy(p.matrix.data(), record.matrix.rows, sizeof(record.matrix.rows));
        if (!allFinite(p.matrix.data(), p.matrix.size())) return kErrBadParameters;
    }
    project_.view.projection3D = p;
    return kNoError;
}

std::string readView3D(const Json& section, ViewState& view) {
    if (!section.is_object()) return "view3D: not an object";
    SimProjection p;
    for (const auto& [key, value] : section.items()) {
        if (key == "perspective") {
            if (!value.is_boolean()) return "view3D: \"perspective\" must be true or false";
            p.perspective = value.get<bool>();
        } else if (key == "camera" || key == "matrix") {
            double* target = key == "camera" ? p.camera.data() : p.matrix.data();
            const std::size_t count = key == "camera" ? p.camera.size() : p.matrix.size();
            if (!value.is_array() || value.size() != count)
                return "view3D: \"" + key + "\" must be a list of " + std::to_string(count) + " numbers";
            for (std::size_t i = 0; i < count; ++i) {
                if (!value[i].is_number()) return "view3D: \"" + key + "\" must hold numbers only";
                target[i] = value[i].get<double>();
            }
        } else {
            return "view3D: unknown key " + quotedInput(key);
        }
    }
    // What the file gives must be a projection 'CP3D' would take.
    SimProject check;
    check.view.projection3D = SimProjection{};
    ProjectionRecord record{};
    record.isPerspective = p.perspective ? 1 : 0;
    record.camera = {p.camera[0], p.camera[1], p.camera[2], p.camera[3],
                     p.camera[4], p.camera[5], p.camera[6], p.camera[7]};
    std::memcpy(record.matrix.rows, p.matrix.data(), sizeof(record.matrix.rows));
    if (SimModelView(check).setProjection(record) != kNoError)
        return "view3D: the camera must look from a point to another with a view angle between 0 and pi, "
               "and every value must be finite";
    view.projection3D = p;
    return "";
}

Json writeView3D(const ViewState& view) {
    const SimProjection& p = view.projection3D;
    if (p == SimProjection{}) return nullptr;
    return Json{{"perspective", p.perspective}, {"camera", p.camera}, {"matrix", p.matrix}};
}

}   // namespace host
