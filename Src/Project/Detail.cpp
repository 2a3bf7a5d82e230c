#include "Project/Detail.h"

namespace tarnwick {

Detail::Detail(Project& project, const Guid& databaseGuid) : Drawing(project, databaseGuid) {}
Detail::~Detail() = default;

String Detail::typeName() const { return "Detail"; }
std::int32_t Detail::getDatabaseType() const { return 3; }
std::int32_t Detail::getNavigatorType() const { return 4; }

}   // namespace tarnwick
