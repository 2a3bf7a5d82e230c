// Projection: the geometry of a 3D view, and its exchange with the host's 352-byte projection record.
#pragma once

#include <optional>

#include <HostProjection.h>

#include "Geometry/CadPoint.h"
#include "Geometry/Vector3.h"

namespace tarnwick {

// View coordinates: x to the right, y up, z the depth along the view direction (model metres).
class Projection {
public:
    virtual ~Projection();

    virtual CadPoint getCameraPosition() const = 0;
    virtual Vector3 getViewVector() const = 0;
    virtual Vector3 getViewDirection() const;   // the unit view vector; +y when zero
    virtual CadPoint toViewPoint(const CadPoint& point) const = 0;
    virtual std::optional<CadPoint> project(const CadPoint& point) const = 0;   // none when not projectable
    virtual void alignToVector(const Vector3& direction) = 0;
    virtual void toHost(host::ProjectionRecord& record) const = 0;   // the record is zeroed first
};

}   // namespace tarnwick
