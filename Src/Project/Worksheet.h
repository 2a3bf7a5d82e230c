// Worksheet: a worksheet view of the project, whose name the add-on can change.
#pragma once

#include "Project/Drawing.h"

namespace tarnwick {

// Owned by the Project, made from (Project&, database Guid).
class Worksheet : public Drawing {
public:
    Worksheet(Project& project, const Guid& databaseGuid);
    ~Worksheet() override;

    String typeName() const override;   // "Worksheet"
    std::int32_t getDatabaseType() const override;
    std::int32_t getNavigatorType() const override;

    // The name (at most 256 characters): the code of the failing host call, 0 on success.
    std::uint32_t setName(const String& text);
};

}   // namespace tarnwick
