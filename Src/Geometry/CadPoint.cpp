#include "Geometry/CadPoint.h"

#include <cmath>

namespace tarnwick {

double CadPoint::distanceTo(const CadPoint& other) const {
    return std::hypot(x_ - other.x_, y_ - other.y_, z_ - other.z_);
}

double CadPoint::planDistanceTo(const CadPoint& other) const {
    const double dx = x_ - other.x_, dy = y_ - other.y_;
    return std::sqrt(dx * dx + dy * dy);   // hypot's care for overflow costs more than model sizes need
}

bool CadPoint::isFinite() const { return std::isfinite(x_) && std::isfinite(y_) && std::isfinite(z_); }

}   // namespace tarnwick
