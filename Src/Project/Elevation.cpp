#include "Project/Elevation.h"

namespace tarnwick {

Elevation::Elevation(Project& project, const Guid& databaseGuid) : Drawing(project, databaseGuid) {}
Elevation::~Elevation() = default;

String Elevation::typeName() const { return "Elevation"; }
std::int32_t Elevation::getDatabaseType() const { return 10; }
std::int32_t Elevation::getNavigatorType() const { return 20; }

}   // namespace tarnwick
