// Document3D: a 3D document view of the project.
#pragma once

#include "Project/Drawing.h"

namespace tarnwick {

// Owned by the Project, made from (Project&, database Guid). It shows model elements as section
// elements (type 29) and converts links to and from them.
class Document3D : public Drawing {
public:
    Document3D(Project& project, const Guid& databaseGuid);
    ~Document3D() override;

    String typeName() const override;   // "3D Document"
    std::int32_t getDatabaseType() const override;
    std::int32_t getNavigatorType() const override;

    // The link becomes a section-element link (type 29, variation 0, part-reference id 0); false when it
    // already is one.
    virtual bool toSectionElementLink(ElementLink& link) const;
    // A link seen here as a section element (source this view, a second type and a valid second guid)
    // becomes a link of that second type located here; any other link is copied unchanged.
    virtual ElementLink fromSectionElementLink(const ElementLink& link) const;
};

}   // namespace tarnwick
