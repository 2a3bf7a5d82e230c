#include "Project/Document3D.h"

namespace tarnwick {

Document3D::Document3D(Project& project, const Guid& databaseGuid) : Drawing(project, databaseGuid) {}
Document3D::~Document3D() = default;

String Document3D::typeName() const { return "3D Document"; }
std::int32_t Document3D::getDatabaseType() const { return 13; }
std::int32_t Document3D::getNavigatorType() const { return 23; }

bool Document3D::toSectionElementLink(ElementLink& link) const { return link.makeSectionElement(); }

ElementLink Document3D::fromSectionElementLink(const ElementLink& link) const {
    return link.resolveSectionElement(*this);
}

}   // namespace tarnwick
