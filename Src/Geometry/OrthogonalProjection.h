// OrthogonalProjection: a parallel projection given by a model-to-view matrix and a scale.
#pragma once

#include "Geometry/Projection.h"

namespace tarnwick {

// Keeps the host record's matrix unchanged; its rows are taken to be a rotation (orthonormal) with a
// translation. The scale is 1.0 unless set.
class OrthogonalProjection : public Projection {
public:
    explicit OrthogonalProjection(const host::ProjectionMatrix& matrix, double scale = 1.0)
        : matrix_(matrix), scale_(scale) {}
    explicit OrthogonalProjection(const host::ProjectionRecord& record) : matrix_(record.matrix) {}

    CadPoint getCameraPosition() const override;   // the model point at the view's origin
    Vector3 getViewVector() const override;        // the matrix's z row
    CadPoint toViewPoint(const CadPoint& point) const override;
    std::optional<CadPoint> project(const CadPoint& point) const override;   // x, y scaled; z the depth
    void alignToVector(const Vector3&) override {}   // a parallel view keeps its matrix
    void toHost(host::ProjectionRecord& record) const override;

    double getScale() const { return scale_; }
    void setScale(double scale) { scale_ = scale; }
    const host::ProjectionMatrix& getMatrix() const { return matrix_; }

private:
    host::ProjectionMatrix matrix_;
    double scale_ = 1.0;
};

}   // namespace tarnwick
