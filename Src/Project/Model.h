// Model: the project's 3D window, which shows the floor plan's elements.
#pragma once

#include "Project/Drawing.h"

namespace tarnwick {

class Plan;

// Made with the Project (empty database guid).
class Model : public Drawing {
public:
    Model(Project& project, const Guid& databaseGuid);
    ~Model() override;

    String typeName() const override;   // "3D Window"
    std::int32_t getDatabaseType() const override;
    std::int32_t getNavigatorType() const override;

    virtual Plan& getPlan() const;   // the project's floor plan
};

}   // namespace tarnwick
