// ObjectMapType: the source kind of a menu command and of a mapping table configuration.
#pragma once

#include <cstdint>
#include <span>

#include "Foundation/XMLTypeProxy.h"

namespace skellow {

// Stored in the mapping table file by its text ("IFC", "DWG", "GSM", "missing", "legacy").
enum class ObjectMapType : std::int32_t {
    ifc = 0,       // objects imported from IFC
    dwg = 1,       // objects imported from DXF/DWG
    gsm = 2,       // any placed library part
    missing = 3,   // placed elements whose library part is not loaded
    legacy = 4,    // parts of earlier libraries, named with a version number
    none = 5,      // no kind: a command of another menu
};

inline constexpr std::size_t kSourceKinds = 5;   // ifc to legacy

inline constexpr ObjectMapType kindAt(std::size_t index) { return static_cast<ObjectMapType>(index); }

}   // namespace skellow

namespace tarnwick {
// The kind's texts, in the order reading compares them.
template <>
std::span<const XMLTypeProxy<skellow::ObjectMapType>::EnumText>
XMLTypeProxy<skellow::ObjectMapType>::enumTexts();
}   // namespace tarnwick
