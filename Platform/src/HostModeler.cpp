#include <HostModeler.h>

#include <algorithm>
#include <atomic>

namespace host {

struct ModelerModel {
    ModelerContent content;
};

struct ModelerSight {
    std::weak_ptr<const ModelerSource> source;
    std::int32_t references = 1;
};

namespace {
std::atomic<std::size_t> liveSights{0};

template <typename T>
std::shared_ptr<const T> entryOf(const std::vector<std::shared_ptr<const T>>& list,
                                 const ModelerAttributeIndex& index, std::int32_t kind) {
    if (index.kind != kind || index.index < 1 || static_cast<std::size_t>(index.index) > list.size())
        return nullptr;
    return list[static_cast<std::size_t>(index.index) - 1];
}
}   // namespace

ModelerModel* newModelerModel() { return new ModelerModel(); }
void deleteModelerModel(ModelerModel* model) { delete model; }

std::int32_t modelerElementCount(const ModelerModel& model) {
    return static_cast<std::int32_t>(model.content.elements.size());
}

const ModelerElement* modelerElement(const ModelerModel& model, std::int32_t index) {
    if (index < 0 || index >= modelerElementCount(model)) return nullptr;
    return &model.content.elements[static_cast<std::size_t>(index)];
}

ElementBoxRecord modelerBounds(const ModelerModel& model) {
    ElementBoxRecord box{};
    bool any = false;
    for (const ModelerElement& element : model.content.elements) {
        if (!element.model) continue;
        for (const Model3DBody& body : element.model->bodies)
            for (const Model3DVertex& v : body.vertices) {
                if (!any) {
                    box = {v.x, v.y, v.z, v.x, v.y, v.z};
                    any = true;
                    continue;
                }
                box.xMin = std::min(box.xMin, v.x), box.yMin = std::min(box.yMin, v.y);
                box.zMin = std::min(box.zMin, v.z), box.xMax = std::max(box.xMax, v.x);
                box.yMax = std::max(box.yMax, v.y), box.zMax = std::max(box.zMax, v.z);
            }
    }
    return box;
}

std::int32_t modelerMaterialCount(const ModelerModel& model) {
    return static_cast<std::int32_t>(model.content.materials.size());
}

std::int32_t modelerTextureCount(const ModelerModel& model) {
    return static_cast<std::int32_t>(model.content.textures.size());
}

std::shared_ptr<const ModelerMaterial> modelerMaterial(const ModelerModel& model,
                                                       const ModelerAttributeIndex& index) {
    return entryOf(model.content.materials, index, kModelerMaterialKind);
}

std::shared_ptr<const ModelerTexture> modelerTexture(const ModelerModel& model,
                                                     const ModelerAttributeIndex& index) {
    return entryOf(model.content.textures, index, kModelerTextureKind);
}

ModelerSight* newModelerSight(std::weak_ptr<const ModelerSource> source) {
    auto* sight = new ModelerSight{std::move(source), 1};
    ++liveSights;
    return sight;
}

void retainSight(ModelerSight* sight) {
    if (sight) ++sight->references;
}

void releaseSight(ModelerSight* sight) {
    if (!sight || --sight->references > 0) return;
    delete sight;
    --liveSights;
}

std::size_t liveSightCount() { return liveSights; }

Result getModelerModel(ModelerSight* sight, ModelerModel* model) {
    if (!sight || !model) {
        releaseSight(sight);
        return kErrBadParameters;
    }
    Result result = kErrGeneral;
    if (const std::shared_ptr<const ModelerSource> source = sight->source.lock()) {
        ModelerContent content;
        result = (*source)(content);
        if (result == kNoError) model->content = std::move(content);
    }
    releaseSight(sight);
    return result;
}

}   // namespace host
