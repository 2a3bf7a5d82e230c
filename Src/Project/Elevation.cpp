#include "Project/Elevation.h"

namespace tarnwick {

Elevation::Elevation(Project& project, const Guid& databaseGuid) : CutPlane(project, databaseGuid) {}
Elevation::~Elevation() = default;

String Elevation::typeName() const { return "Elevation"; }
std::int32_t Elevation::getDatabaseType() const { return 10; }
std::int32_t Elevation::getNavigatorType() const { return 20; }
std::uint16_t Elevation::getMarkerType() const { return 33; }

}   // namespace tarnwick
