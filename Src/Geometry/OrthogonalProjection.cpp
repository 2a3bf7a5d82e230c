#include "Geometry/OrthogonalProjection.h"

namespace tarnwick {

// view = R p + t, so the model point at the view's origin is -R^T t.
CadPoint OrthogonalProjection::getCameraPosition() const {
    const auto& m = matrix_.rows;
    double p[3] = {};
    for (int column = 0; column < 3; ++column)
        for (int row = 0; row < 3; ++row) p[column] -= m[row][column] * m[row][3];
    return {p[0], p[1], p[2]};
}

Vector3 OrthogonalProjection::getViewVector() const {
    const auto& m = matrix_.rows;
    return {m[2][0], m[2][1], m[2][2]};
}

CadPoint OrthogonalProjection::toViewPoint(const CadPoint& point) const {
    const auto& m = matrix_.rows;
    double v[3];
    for (int row = 0; row < 3; ++row)
        v[row] = m[row][0] * point.getX() + m[row][1] * point.getY() + m[row][2] * point.getZ() + m[row][3];
    return {v[0], v[1], v[2]};
}

std::optional<CadPoint> OrthogonalProjection::project(const CadPoint& point) const {
    const CadPoint view = toViewPoint(point);
    return CadPoint(view.getX() * scale_, view.getY() * scale_, view.getZ());
}

void OrthogonalProjection::toHost(host::ProjectionRecord& record) const {
    record = host::ProjectionRecord{};
    record.matrix = matrix_;
}

}   // namespace tarnwick
