#include "Geometry/Element3D.h"

namespace tarnwick {

Element3D::Element3D(const host::GuidRecord& element)
    : guid_(element), model_(host::findElementModel3D(element)) {}

Element3D::Element3D(const host::ModelerModel& model, std::int32_t index) {
    if (const host::ModelerElement* element = host::modelerElement(model, index)) {
        guid_ = element->guid;
        model_ = element->model;
    }
}

Element3D::~Element3D() = default;

std::size_t Element3D::getBodyCount() const { return model_ ? model_->bodies.size() : 0; }

Body Element3D::getBody(std::size_t index) const {
    return index < getBodyCount() ? Body(model_, index) : Body();
}

bool Element3D::hasData() const {
    for (std::size_t i = 0; i < getBodyCount(); ++i)
        if (!getBody(i).isEmpty()) return true;
    return false;
}

std::optional<Cube> Element3D::getBounds() const {
    std::optional<Cube> bounds;
    for (std::size_t i = 0; i < getBodyCount(); ++i) {
        const std::optional<Cube> body = getBody(i).getBounds();
        if (!body) continue;
        if (!bounds)
            bounds = body;
        else
            bounds->include(body->getMinimum()), bounds->include(body->getMaximum());
    }
    return bounds;
}

}   // namespace tarnwick
