#include "Project/InteriorElevation.h"

namespace tarnwick {

InteriorElevation::InteriorElevation(Project& project, const Guid& databaseGuid)
    : Drawing(project, databaseGuid) {}
InteriorElevation::~InteriorElevation() = default;

String InteriorElevation::typeName() const { return "Interior Elevation"; }
std::int32_t InteriorElevation::getDatabaseType() const { return 11; }
std::int32_t InteriorElevation::getNavigatorType() const { return 21; }

bool InteriorElevation::toSectionElementLink(ElementLink& link) const { return link.makeSectionElement(); }

ElementLink InteriorElevation::fromSectionElementLink(const ElementLink& link) const {
    return link.resolveSectionElement(*this);
}

}   // namespace tarnwick
