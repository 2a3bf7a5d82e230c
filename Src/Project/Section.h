// Section: a section view of the project, made by a section marker in the floor plan.
#pragma once

#include "Project/CutPlane.h"

namespace tarnwick {

// Owned by the Project, made from (Project&, database Guid).
class Section : public CutPlane {
public:
    Section(Project& project, const Guid& databaseGuid);
    ~Section() override;

    String typeName() const override;   // "Section"
    std::int32_t getDatabaseType() const override;
    std::int32_t getNavigatorType() const override;
    std::uint16_t getMarkerType() const override;   // 25
};

}   // namespace tarnwick
