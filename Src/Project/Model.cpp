#include "Project/Model.h"

#include <FourCC.h>
#include <HostProjection.h>

#include "Environment/HostApi.h"
#include "Geometry/Cube.h"
#include "Geometry/Element3D.h"
#include "Geometry/OrthogonalProjection.h"
#include "Geometry/PerspectiveProjection.h"
#include "Project/Finish.h"
#include "Project/ModelProxy.h"
#include "Project/Plan.h"
#include "Project/Project.h"

namespace tarnwick {

Model::Model(Project& project, const Guid& databaseGuid) : Drawing(project, databaseGuid) {}

Model::~Model() {
    hostModel_.reset();
    proxy_.reset();
    host::releaseSight(sight_);
}

void Model::clear() {
    Drawing::clear();
    hostModel_.reset();
}

String Model::typeName() const { return "3D Window"; }
std::int32_t Model::getDatabaseType() const { return 4; }
std::int32_t Model::getNavigatorType() const { return 6; }
Plan& Model::getPlan() const { return project().getPlan(); }

// --- The host model ----------------------------------------------------------------------------------
const host::ModelerModel* Model::getHostModel() {
    if (hostModel_) return hostModel_.get();
    if (sight_ == nullptr && project().setCurrentWindow(this)) {
        host::ModelerSight* sight = nullptr;
        if (hostApi().call<host::HostSlot::getCurrentWindowSight>(&sight) == 0) sight_ = sight;
    }
    if (sight_ == nullptr) return nullptr;
    std::unique_ptr<host::ModelerModel, ModelDeleter> model(host::newModelerModel());
    host::retainSight(sight_);   // the build takes over one reference; ours stays for the next build
    // A model the host could not fill is not kept: it would pass for an empty 3D window.
    if (host::getModelerModel(sight_, model.get()) != 0) return nullptr;
    hostModel_ = std::move(model);
    return hostModel_.get();
}

std::int32_t Model::getElementCount() {
    const host::ModelerModel* model = getHostModel();
    return model != nullptr ? host::modelerElementCount(*model) : 0;
}

std::unique_ptr<Cube> Model::getBounds() {
    const host::ModelerModel* model = getHostModel();
    if (model == nullptr) return nullptr;
    const host::ElementBoxRecord box = host::modelerBounds(*model);
    return std::make_unique<Cube>(CadPoint(box.xMin, box.yMin, box.zMin),
                                  CadPoint(box.xMax, box.yMax, box.zMax));
}

std::unique_ptr<Element3D> Model::getElement3D(std::int32_t index) {
    const host::ModelerModel* model = getHostModel();
    if (model == nullptr) return nullptr;
    return std::make_unique<Element3D>(*model, index);
}

// --- Iteration ---------------------------------------------------------------------------------------
ModelProxy& Model::proxy() {
    if (!proxy_) proxy_ = std::make_unique<ModelProxy>(*this);
    return *proxy_;
}

Element3DLink Model::linkOf(std::int32_t index) {
    const host::ModelerElement* element = host::modelerElement(*hostModel_, index);
    const ElementLink link(element != nullptr ? Guid(element->guid) : Guid(), this);
    return Element3DLink(link, &proxy(), index);
}

Model::const_iterator Model::begin(const Drawing::Filter& filter) {
    proxy();
    if (getElementCount() == 0) return end();
    return const_iterator(std::make_unique<Element3D>(*hostModel_, 0), linkOf(0), filter);
}

Model::const_reverse_iterator Model::rbegin(const Drawing::Filter& filter) {
    proxy();
    const std::int32_t count = getElementCount();
    if (count == 0) return rend();
    return const_reverse_iterator(std::make_unique<Element3D>(*hostModel_, count - 1), linkOf(count - 1),
                                  filter);
}

std::unique_ptr<Element3D> ModelProxy::seek(Element3DLink& link, bool forward) const {
    if (!model_.makeCurrent()) return nullptr;
    const host::ModelerModel* model = model_.getHostModel();
    if (model == nullptr) return nullptr;
    if (!forward && link.getIndex() == 0) return nullptr;
    const std::int32_t index = link.getIndex() + (forward ? 1 : -1);
    link.setIndex(index);
    if (index >= host::modelerElementCount(*model)) return nullptr;
    if (const host::ModelerElement* element = host::modelerElement(*model, index))
        link.setLink(ElementLink(Guid(element->guid), &model_));
    return std::make_unique<Element3D>(*model, index);
}

// --- Projection ---------------------------------------------------------------------------------------
std::shared_ptr<Projection> Model::getProjection() const {
    host::ProjectionRecord record{};
    if (hostApi().environment(fourcc("GP3D"), &record) != 0) return nullptr;
    if (record.isPerspective != 0) return std::make_shared<PerspectiveProjection>(record);
    return std::make_shared<OrthogonalProjection>(record);
}

std::uint32_t Model::setProjection(const Projection& projection) {
    host::ProjectionRecord record{};
    projection.toHost(record);
    return hostApi().environment(fourcc("CP3D"), &record);
}

// --- Materials ----------------------------------------------------------------------------------------
Finish Model::getFinish(std::int32_t materialIndex) {
    // Materials and textures count from 1, so "not above the count" is inside; 0 names none.
    if (const host::ModelerModel* model = getHostModel();
        model != nullptr && materialIndex <= host::modelerMaterialCount(*model)) {
        const auto material = host::modelerMaterial(
            *model, {host::kModelerMaterialKind, materialIndex, host::kModelerIndexOriginal});
        if (material) {
            const std::int32_t texture = material->textureIndex;
            if (texture == 0) return Finish(material, nullptr);
            if (texture <= host::modelerTextureCount(*model))
                return Finish(material,
                              texture > 0 ? host::modelerTexture(*model, {host::kModelerTextureKind, texture,
                                                                          host::kModelerIndexOriginal})
                                          : nullptr);
        }
    }
    return FinishLookup::getFinish(materialIndex);
}

}   // namespace tarnwick
