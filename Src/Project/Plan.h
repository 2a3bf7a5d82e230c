// Plan: the project's floor plan, whose id and name follow the host's current storey.
#pragma once

#include <cstdint>

#include "Project/Drawing.h"

namespace tarnwick {

// Made with the Project (empty database guid). The current storey is asked of the host each time, so
// the id and name follow a storey change made here or by the user.
class Plan : public Drawing {
public:
    Plan(Project& project, const Guid& databaseGuid);
    ~Plan() override;

    String typeName() const override;    // "Floor Plan"
    LinkRecord getId() const override;   // the Drawing's id with the current storey's index (0 when none)
    // The project file's name, " / ", then "<index>. <name>" of the current storey (the name only when
    // it has one). Untitled: the text starts with " / ".
    String getName() override;
    std::int32_t getDatabaseType() const override;
    std::int32_t getNavigatorType() const override;

private:
    // The host's current storey ('GSTO'): false when the host fails or names no storey it lists.
    static bool readCurrentStorey(std::int16_t& index, String& name);
};

}   // namespace tarnwick
