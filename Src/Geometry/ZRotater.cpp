#include "Geometry/ZRotater.h"

namespace tarnwick {

void ZRotater::rotate(CadPoint& point) const {
    if (!isActive()) return;
    const double x = point.getX(), y = point.getY();
    point.setX(x * cos_ - y * sin_);
    point.setY(x * sin_ + y * cos_);
}

}   // namespace tarnwick
