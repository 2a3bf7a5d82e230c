// ZRotater: turns points about the z axis through the origin, counter-clockwise seen from above.
#pragma once

#include "Geometry/Rotater.h"

namespace tarnwick {

class ZRotater : public Rotater {
public:
    ZRotater() = default;
    ZRotater(double angle, double tolerance) { setAngle(angle, tolerance); }

    void rotate(CadPoint& point) const override;   // z unchanged; nothing changes while inactive
};

}   // namespace tarnwick
