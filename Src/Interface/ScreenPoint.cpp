#include "Interface/ScreenPoint.h"

namespace tarnwick {

ScreenPoint& ScreenPoint::operator+=(const ScreenPoint& other) {
    x = static_cast<std::int16_t>(x + other.x);
    y = static_cast<std::int16_t>(y + other.y);
    return *this;
}

ScreenPoint& ScreenPoint::operator-=(const ScreenPoint& other) {
    x = static_cast<std::int16_t>(x - other.x);
    y = static_cast<std::int16_t>(y - other.y);
    return *this;
}

}   // namespace tarnwick
