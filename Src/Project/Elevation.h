// Elevation: an elevation view of the project, made by an elevation marker in the floor plan.
#pragma once

#include "Project/CutPlane.h"

namespace tarnwick {

// Owned by the Project, made from (Project&, database Guid).
class Elevation : public CutPlane {
public:
    Elevation(Project& project, const Guid& databaseGuid);
    ~Elevation() override;

    String typeName() const override;   // "Elevation"
    std::int32_t getDatabaseType() const override;
    std::int32_t getNavigatorType() const override;
    std::uint16_t getMarkerType() const override;   // 33
};

}   // namespace tarnwick
