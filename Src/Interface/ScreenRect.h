// ScreenRect: a rectangle in dialog coordinates, as its top-left and bottom-right corners.
#pragma once

#include <array>
#include <cstdint>

#include "Interface/ScreenPoint.h"

namespace tarnwick {

// A plain value. Width and height are never negative, whichever way round the corners are given.
class ScreenRect {
public:
    ScreenRect() = default;
    ScreenRect(const ScreenPoint& topLeft, const ScreenPoint& bottomRight)
        : first(topLeft), second(bottomRight) {}
    virtual ~ScreenRect() = default;
    ScreenRect(const ScreenRect&) = default;
    ScreenRect& operator=(const ScreenRect&) = default;

    virtual void moveBy(const ScreenPoint& delta);   // both corners
    void moveTo(const ScreenPoint& point);           // the first corner becomes the point; the size stays

    std::int16_t width() const;
    std::int16_t height() const;
    bool isEmpty() const;                             // no width or no height
    bool operator==(const ScreenRect& other) const;   // the four coordinates; kinds are not compared
    std::array<std::int32_t, 4> toRect() const;       // top, left, bottom, right

    ScreenPoint first;
    ScreenPoint second;
};

}   // namespace tarnwick
