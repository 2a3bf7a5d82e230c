#include "Project/Section.h"

namespace tarnwick {

Section::Section(Project& project, const Guid& databaseGuid) : CutPlane(project, databaseGuid) {}
Section::~Section() = default;

String Section::typeName() const { return "Section"; }
std::int32_t Section::getDatabaseType() const { return 2; }
std::int32_t Section::getNavigatorType() const { return 3; }
std::uint16_t Section::getMarkerType() const { return 25; }

}   // namespace tarnwick
