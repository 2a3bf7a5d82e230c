#include "Interface/ScreenRect.h"

#include <cstdlib>

namespace tarnwick {

void ScreenRect::moveBy(const ScreenPoint& delta) {
    first += delta;
    second += delta;
}

void ScreenRect::moveTo(const ScreenPoint& point) {
    ScreenPoint delta = point;
    delta -= first;
    moveBy(delta);
}

std::int16_t ScreenRect::width() const { return static_cast<std::int16_t>(std::abs(second.x - first.x)); }

std::int16_t ScreenRect::height() const { return static_cast<std::int16_t>(std::abs(second.y - first.y)); }

bool ScreenRect::isEmpty() const { return width() == 0 || height() == 0; }

bool ScreenRect::operator==(const ScreenRect& other) const {
    return first.x == other.first.x && first.y == other.first.y && second.x == other.second.x &&
           second.y == other.second.y;
}

std::array<std::int32_t, 4> ScreenRect::toRect() const { return {first.y, first.x, second.y, second.x}; }

}   // namespace tarnwick
