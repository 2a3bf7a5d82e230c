// Fields of the element record of a section or elevation marker (element types 25 and 33), which makes a
// cut view of the project. The marker's section line, distance and depth points are in its memo
// (sectionLineCoords, sectionDistanceCoords, sectionDepthCoords: x, y doubles per point; memo parts
// kMemoSectionLine and kMemoSectionDistances).
#pragma once

#include <cstddef>

namespace host {

inline constexpr std::size_t kMarkerPenOffset = 120;              // 16-bit pen index
inline constexpr std::size_t kMarkerElevationOffset = 168;        // double, absolute
inline constexpr std::size_t kMarkerLineCountOffset = 1132;       // 16-bit point counts: line,
inline constexpr std::size_t kMarkerDistanceCountOffset = 1134;   // distance,
inline constexpr std::size_t kMarkerDepthCountOffset = 1136;      // depth
inline constexpr std::size_t kMarkerElementGuidOffset = 1248;     // the element it was placed from
inline constexpr std::size_t kMarkerViewGuidOffset = 1336;        // the database guid of the view it makes
inline constexpr std::size_t kMarkerValueOffset = 1352;           // 64-bit marker data (this host's choice)
inline constexpr std::size_t kMarkerRecordBytes = 1600;           // the part of the record a marker keeps

}   // namespace host
