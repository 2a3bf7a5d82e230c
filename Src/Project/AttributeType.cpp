#include "Project/AttributeType.h"

namespace tarnwick {

AttributeType& operator++(AttributeType& type) {
    const std::uint8_t value = toByte(type);
    type = static_cast<AttributeType>(value >= kLastSteppedType ? 0 : value + 1);
    return type;
}

AttributeType operator++(AttributeType& type, int) {
    const AttributeType before = type;
    ++type;
    return before;
}

AttributeType& operator--(AttributeType& type) {
    const std::uint8_t value = toByte(type);
    type = static_cast<AttributeType>(value == 0 || value > kLastSteppedType ? kLastSteppedType : value - 1);
    return type;
}

AttributeType operator--(AttributeType& type, int) {
    const AttributeType before = type;
    --type;
    return before;
}

}   // namespace tarnwick
