#include "Geometry/PerspectiveProjection.h"

#include <cmath>
#include <numbers>

#include "Geometry/Tolerance.h"

namespace tarnwick {

CadPoint PerspectiveProjection::getCameraPosition() const {
    return {camera_.cameraX, camera_.cameraY, camera_.cameraZ};
}

Vector3 PerspectiveProjection::getViewVector() const {
    return Vector3(CadPoint(camera_.targetX, camera_.targetY, camera_.targetZ) - getCameraPosition());
}

// The view frame: forward f; right = f x up with up = z (y when looking straight up or down);
// the view's up = right x f; then both turned about f by the roll angle.
CadPoint PerspectiveProjection::toViewPoint(const CadPoint& point) const {
    const Vector3 forward = getViewDirection();
    Vector3 right = forward.cross(Vector3(0.0, 0.0, 1.0)).normalised();
    if (exactlyEqual(right.length(), 0.0)) right = forward.cross(Vector3(0.0, 1.0, 0.0)).normalised();
    Vector3 up = right.cross(forward);
    const double c = std::cos(camera_.rollAngle), s = std::sin(camera_.rollAngle);
    const Vector3 rolledRight = right * c + up * s;
    up = up * c - right * s;
    const Vector3 relative(point - getCameraPosition());
    return {relative.dot(rolledRight), relative.dot(up), relative.dot(forward)};
}

std::optional<CadPoint> PerspectiveProjection::project(const CadPoint& point) const {
    const CadPoint view = toViewPoint(point);
    if (!(view.getZ() > 0.0)) return std::nullopt;   // at or behind the camera: no image
    const double angle = camera_.viewAngle;
    const double scale = angle > 0.0 && angle < std::numbers::pi ? 1.0 / std::tan(angle / 2.0) : 1.0;
    return CadPoint(view.getX() * scale / view.getZ(), view.getY() * scale / view.getZ(), view.getZ());
}

void PerspectiveProjection::alignToVector(const Vector3& direction) {
    const Vector3 unit = direction.normalised();
    if (exactlyEqual(unit.length(), 0.0)) return;
    double distance = getViewVector().length();
    if (exactlyEqual(distance, 0.0)) distance = 1.0;
    const CadPoint target = getCameraPosition() + (unit * distance).toPoint();
    camera_.targetX = target.getX();
    camera_.targetY = target.getY();
    camera_.targetZ = target.getZ();
}

void PerspectiveProjection::toHost(host::ProjectionRecord& record) const {
    record = host::ProjectionRecord{};
    record.isPerspective = 1;
    record.camera = camera_;
}

}   // namespace tarnwick
