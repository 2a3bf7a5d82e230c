#include "Project/InteriorElevation.h"

namespace tarnwick {

InteriorElevation::InteriorElevation(Project& project, const Guid& databaseGuid)
    : Drawing(project, databaseGuid) {}
InteriorElevation::~InteriorElevation() = default;

String InteriorElevation::typeName() const { return "Interior Elevation"; }
std::int32_t InteriorElevation::getDatabaseType() const { return 11; }
std::int32_t InteriorElevation::getNavigatorType() const { return 21; }

bool InteriorElevation::toSectionElementLink(ElementLink& link) const {
    if (link.getTypeByte() == ElementLink::kSectionElementType) return false;
    link.setTypeId(ElementLink::kSectionElementType);
    link.setVariation(0);
    link.setPartReferenceId(0);
    return true;
}

ElementLink InteriorElevation::fromSectionElementLink(const ElementLink& link) const {
    ElementLink copy = link;
    if (link.getSource() == getId() && link.getSecondTypeId() != 0 && link.getSecondGuid().isValid()) {
        copy.setTypeId(link.getSecondTypeId());
        copy.setDrawing(this);
    }
    return copy;
}

}   // namespace tarnwick
