// Detail: a detail drawing of the project.
#pragma once

#include "Project/Drawing.h"

namespace tarnwick {

// Owned by the Project, made from (Project&, database Guid).
class Detail : public Drawing {
public:
    Detail(Project& project, const Guid& databaseGuid);
    ~Detail() override;

    String typeName() const override;   // "Detail"
    std::int32_t getDatabaseType() const override;
    std::int32_t getNavigatorType() const override;
};

}   // namespace tarnwick
