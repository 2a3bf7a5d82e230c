// ModelProxy: the 3D view's walker over the elements of its host model, serving the 3D iterators.
#pragma once

#include <memory>

namespace tarnwick {

class Element3D;
class Element3DLink;
class Model;

// Owned by its Model; holds it, not owned.
class ModelProxy {
public:
    explicit ModelProxy(Model& model) : model_(model) {}

    // Makes the Model the current database and moves the link's index one step (a backward step from
    // index 0 gives null). The element of the new index when it is below the host model's element count;
    // else null. Null also when the Model cannot be made current or has no host model.
    std::unique_ptr<Element3D> seek(Element3DLink& link, bool forward) const;

    Model& getModel() const { return model_; }

private:
    Model& model_;
};

}   // namespace tarnwick
