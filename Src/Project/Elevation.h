// Elevation: an elevation view of the project. (The cut-plane operations it shares with Section join as their
// common base.)
#pragma once

#include "Project/Drawing.h"

namespace tarnwick {

// Owned by the Project, made from (Project&, database Guid).
class Elevation : public Drawing {
public:
    Elevation(Project& project, const Guid& databaseGuid);
    ~Elevation() override;

    String typeName() const override;   // "Elevation"
    std::int32_t getDatabaseType() const override;
    std::int32_t getNavigatorType() const override;
};

}   // namespace tarnwick
