// The host's 352-byte 3D projection record, read by 'GP3D' and written by 'CP3D'.
#pragma once

#include <cstddef>
#include <cstdint>

namespace host {

// Camera values of a perspective projection (model metres, radians). Offsets are ours.
struct ProjectionCamera {
    double cameraX = 0.0;   // plan position of the camera
    double cameraY = 0.0;
    double cameraZ = 0.0;   // camera height
    double targetX = 0.0;   // plan position of the point looked at
    double targetY = 0.0;
    double targetZ = 0.0;     // target height
    double viewAngle = 0.0;   // full opening angle of the view cone
    double rollAngle = 0.0;   // turn about the view direction, counter-clockwise seen from the camera
};
static_assert(sizeof(ProjectionCamera) == 64);

// Matrix of a parallel projection: rows x (right), y (up) and z (into the view) of model-to-view
// coordinates, each three factors and a translation.
struct ProjectionMatrix {
    double rows[3][4] = {};
};
static_assert(sizeof(ProjectionMatrix) == 96);

// Only the first field's offset and the size are the host's; the rest we chose, each group of values
// kept together so that a projection read from the host writes back unchanged.
struct ProjectionRecord {
    std::int32_t isPerspective = 0;   // non-zero: the camera group holds; zero: the matrix group
    std::int32_t reserved0 = 0;
    ProjectionCamera camera;   // at 8
    std::uint8_t reserved1[56] = {};
    ProjectionMatrix matrix;   // at 128
    std::uint8_t reserved2[128] = {};
};
static_assert(sizeof(ProjectionRecord) == 352);
static_assert(offsetof(ProjectionRecord, isPerspective) == 0);
static_assert(offsetof(ProjectionRecord, camera) == 8);
static_assert(offsetof(ProjectionRecord, matrix) == 128);

}   // namespace host
