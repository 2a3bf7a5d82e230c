// ScreenPoint: a point or a size in dialog coordinates, with the measure it is given in.
#pragma once

#include <cstdint>

namespace tarnwick {

// A plain value. Kinds 0, 2 and 4 are client measures (inside the window's frame); every other kind is
// a frame measure. `extra` is carried and always 0 here.
class ScreenPoint {
public:
    ScreenPoint() = default;
    ScreenPoint(std::int16_t x, std::int16_t y, std::int32_t kind = 0) : x(x), y(y), kind(kind) {}
    virtual ~ScreenPoint() = default;
    ScreenPoint(const ScreenPoint&) = default;
    ScreenPoint& operator=(const ScreenPoint&) = default;

    // Virtual operations, in this order: they add (subtract) x and y; kinds stay.
    virtual ScreenPoint& operator+=(const ScreenPoint& other);
    virtual ScreenPoint& operator-=(const ScreenPoint& other);

    bool isClientKind() const { return isClientKind(kind); }
    static bool isClientKind(std::int32_t kind) { return (kind & ~6) == 0 && kind != 6; }

    std::int16_t x = 0;
    std::int16_t y = 0;
    std::int32_t kind = 0;
    std::int32_t extra = 0;
};

}   // namespace tarnwick
