#include "Project/Worksheet.h"

#include <HostResult.h>

namespace tarnwick {

Worksheet::Worksheet(Project& project, const Guid& databaseGuid) : Drawing(project, databaseGuid) {}
Worksheet::~Worksheet() = default;

String Worksheet::typeName() const { return "Worksheet"; }
std::int32_t Worksheet::getDatabaseType() const { return 12; }
std::int32_t Worksheet::getNavigatorType() const { return 22; }

std::uint32_t Worksheet::setName(const String& text) {
    if (!Drawing::setName(text)) {
        const std::uint32_t result = getLastHostResult();
        return result != host::kNoError ? result : host::kErrGeneral;   // not made current: no host code
    }
    return host::kNoError;
}

}   // namespace tarnwick
