#include "Project/Model.h"

#include "Project/Plan.h"
#include "Project/Project.h"

namespace tarnwick {

Model::Model(Project& project, const Guid& databaseGuid) : Drawing(project, databaseGuid) {}
Model::~Model() = default;

String Model::typeName() const { return "3D Window"; }
std::int32_t Model::getDatabaseType() const { return 4; }
std::int32_t Model::getNavigatorType() const { return 6; }
Plan& Model::getPlan() const { return project().getPlan(); }

}   // namespace tarnwick
