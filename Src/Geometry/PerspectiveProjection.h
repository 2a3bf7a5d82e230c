// PerspectiveProjection: a camera at a point looking at a target through a view cone.
#pragma once

#include "Geometry/Projection.h"

namespace tarnwick {

// Keeps the host record's camera values unchanged. The picture plane lies at depth 1, scaled so that the
// edge of the view cone maps to +-1; a cone angle outside (0, pi) maps without that scale.
class PerspectiveProjection : public Projection {
public:
    explicit PerspectiveProjection(const host::ProjectionCamera& camera) : camera_(camera) {}
    explicit PerspectiveProjection(const host::ProjectionRecord& record) : camera_(record.camera) {}

    CadPoint getCameraPosition() const override;
    Vector3 getViewVector() const override;   // from the camera to the target
    CadPoint toViewPoint(const CadPoint& point) const override;
    std::optional<CadPoint> project(const CadPoint& point) const override;   // none at or behind the camera
    // Keeps the camera and its distance to the target (1 when that is 0) and looks along the direction;
    // a zero direction changes nothing.
    void alignToVector(const Vector3& direction) override;
    void toHost(host::ProjectionRecord& record) const override;

    const host::ProjectionCamera& getCamera() const { return camera_; }

private:
    host::ProjectionCamera camera_;
};

}   // namespace tarnwick
