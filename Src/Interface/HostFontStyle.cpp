#include "Interface/HostFontStyle.h"

#include "Project/TextStyle.h"

namespace tarnwick {

std::int16_t hostStyleOf(std::uint16_t textStyle) {
    switch (textStyle) {
        case 1:
            return 16;
        case 2:
            return 32;
        case 4:
            return 48;
        default:
            return 0;
    }
}

std::uint16_t textStyleOf(std::int16_t hostValue) {
    switch (hostValue & 240) {
        case 16:
            return 1;
        case 32:
            return 2;
        case 48:
            return 4;
        default:
            return 0;
    }
}

std::int16_t hostFontOf(const TextStyle& style) {
    const std::int32_t points = style.getSize() > 0.0 ? style.getPointSize() : 0;
    const std::int16_t size = points > 0 && points < 10 ? 8 : (points >= 10 && points <= 11 ? 4 : 0);
    return static_cast<std::int16_t>(size | hostStyleOf(style.getStyleFlags()));
}

}   // namespace tarnwick
