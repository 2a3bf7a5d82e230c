// Model: the project's 3D window, which shows the floor plan's elements; it also reads the host's 3D
// model of the window (its elements, bounds and materials) and the window's projection.
#pragma once

#include <cstdint>
#include <memory>

#include <HostModeler.h>

#include "Project/Drawing.h"
#include "Project/FinishLookup.h"
#include "Project/Model3DIterator.h"

namespace tarnwick {

class Cube;
class Element3D;
class Finish;
class ModelProxy;
class Plan;
class Projection;

// Made with the Project (empty database guid). The host model is built on first use from a sight of the
// 3D window (kept until destruction) and dropped by clear; Element3Ds share the model data they were
// made from, so they stay whole after a clear. Without a model: counts 0, bounds and elements null,
// iterators at their end.
class Model : public Drawing, public FinishLookup {
public:
    using const_iterator = Model3DIterator<true>;
    using const_reverse_iterator = Model3DIterator<false>;

    Model(Project& project, const Guid& databaseGuid);
    ~Model() override;   // the host model deleted, the proxy freed, the sight released

    void clear() override;              // the Drawing's clear, then the host model goes; the sight stays
    String typeName() const override;   // "3D Window"
    std::int32_t getDatabaseType() const override;
    std::int32_t getNavigatorType() const override;

    virtual Plan& getPlan() const;   // the project's floor plan
    // The finish of a 3D material index (1-based): from the host model's material and texture when the
    // model has them, else from the host's 3D component record; empty when neither gives it.
    Finish getFinish(std::int32_t materialIndex) override;

    // The host model, built when missing; null when the 3D window cannot be brought to the front, the
    // host gives no sight of it or cannot build the model.
    const host::ModelerModel* getHostModel();
    std::int32_t getElementCount();
    std::unique_ptr<Cube> getBounds();   // null without a model
    // The element of the 0-based index (without data for an index past the last); null without a model.
    std::unique_ptr<Element3D> getElement3D(std::int32_t index);

    const_iterator begin(const Drawing::Filter& filter);
    const_reverse_iterator rbegin(const Drawing::Filter& filter);
    static const_iterator end() { return {}; }
    static const_reverse_iterator rend() { return {}; }

    // The 3D window's projection ('GP3D'): perspective or parallel; empty when the host fails.
    std::shared_ptr<Projection> getProjection() const;
    std::uint32_t setProjection(const Projection& projection);   // 'CP3D'; the host's result

private:
    ModelProxy& proxy();
    Element3DLink linkOf(std::int32_t index);

    struct ModelDeleter {
        void operator()(host::ModelerModel* model) const { host::deleteModelerModel(model); }
    };
    std::unique_ptr<host::ModelerModel, ModelDeleter> hostModel_;
    host::ModelerSight* sight_ = nullptr;   // one reference held, released at destruction
    std::unique_ptr<ModelProxy> proxy_;     // made on first iteration
};

}   // namespace tarnwick
