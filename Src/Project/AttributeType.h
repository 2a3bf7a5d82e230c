// AttributeType: the host's attribute type numbers, one per attribute class.
#pragma once

#include <cstdint>

namespace tarnwick {

// Stored as a byte and passed to the host as its attribute type. Stepping (++ and --) runs through
// every value from 0 to 17, named or not, and wraps: 17 steps forward to 0, 0 steps back to 17.
enum class AttributeType : std::uint8_t {
    none = 0,   // storeys, phases and text styles: no host attribute table
    pen = 1,
    layer = 2,
    lineStyle = 3,
    fill = 4,
    composite = 5,   // composite structure
    finish = 6,      // surface material
    city = 7,        // location
    layerCombination = 8,
    zoneCategory = 9,
    font = 10,
    complexProfile = 11,   // profile
    material = 17,         // building material
};

inline constexpr std::uint8_t kFirstAttributeType = 1;   // the host's attribute tables run from here
inline constexpr std::uint8_t kLastAttributeType = 18;   // to here (walks over every type)
inline constexpr std::uint8_t kLastSteppedType = 17;     // stepping wraps after this value

AttributeType& operator++(AttributeType& type);       // prefix; wraps 17 to 0
AttributeType operator++(AttributeType& type, int);   // postfix
AttributeType& operator--(AttributeType& type);       // prefix; wraps 0 to 17
AttributeType operator--(AttributeType& type, int);   // postfix

constexpr std::uint8_t toByte(AttributeType type) { return static_cast<std::uint8_t>(type); }

}   // namespace tarnwick
