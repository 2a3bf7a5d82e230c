// Section: a section view of the project. (The cut-plane operations it shares with Elevation join as their
// common base.)
#pragma once

#include "Project/Drawing.h"

namespace tarnwick {

// Owned by the Project, made from (Project&, database Guid).
class Section : public Drawing {
public:
    Section(Project& project, const Guid& databaseGuid);
    ~Section() override;

    String typeName() const override;   // "Section"
    std::int32_t getDatabaseType() const override;
    std::int32_t getNavigatorType() const override;
};

}   // namespace tarnwick
