#include "Project/Plan.h"

#include <HostResult.h>

#include "Environment/HostApi.h"
#include "Foundation/Memory.h"

namespace tarnwick {

namespace {
// The last part of a path ('/' or '\' separated).
String fileNameOf(const std::u16string& path) {
    const std::size_t slash = path.find_last_of(u"/\\");
    return String(std::u16string_view(path).substr(slash == std::u16string::npos ? 0 : slash + 1));
}
}   // namespace

Plan::Plan(Project& project, const Guid& databaseGuid) : Drawing(project, databaseGuid) {}
Plan::~Plan() = default;

String Plan::typeName() const { return "Floor Plan"; }
std::int32_t Plan::getDatabaseType() const { return 1; }
std::int32_t Plan::getNavigatorType() const { return 2; }

bool Plan::readCurrentStorey(std::int16_t& index, String& name) {
    host::StoreyInfoRecord info{};
    if (hostApi().environment(fourcc("GSTO"), &info,
                              reinterpret_cast<void*>(static_cast<std::intptr_t>(host::kStoreyInfoAll))) !=
        host::kNoError) {
        tarnwick::disposeHandle(info.storeys);
        return false;
    }
    const std::size_t count = tarnwick::getHandleSize(info.storeys) / sizeof(host::StoreyRecord);
    bool found = false;
    // The last record only closes the height of the top storey.
    for (std::size_t i = 0; i + 1 < count && !found; ++i) {
        const auto& record = reinterpret_cast<const host::StoreyRecord*>(*info.storeys)[i];
        if (record.index != info.currentIndex) continue;
        std::size_t length = 0;
        while (length < std::size(record.name) && record.name[length] != 0) ++length;
        index = record.index;
        name = String(std::u16string_view(record.name, length));
        found = true;
    }
    tarnwick::disposeHandle(info.storeys);
    return found;
}

LinkRecord Plan::getId() const {
    LinkRecord id = Drawing::getId();
    std::int16_t index = 0;
    String name;
    if (readCurrentStorey(index, name)) id.setIndex(index);
    return id;
}

String Plan::getName() {
    String text;
    host::ProjectInfoRecord info{};
    if (hostApi().environment(fourcc("PROJ"), &info) == host::kNoError && info.location != nullptr) {
        const std::size_t units = tarnwick::getHandleSize(info.location) / sizeof(char16_t);
        text = fileNameOf(std::u16string(reinterpret_cast<const char16_t*>(*info.location), units));
    }
    tarnwick::disposeHandle(info.location);
    text += " / ";
    std::int16_t index = 0;
    String name;
    if (readCurrentStorey(index, name)) {
        text += String(index);
        text += ". ";
        text += name;
    }
    return text;
}

}   // namespace tarnwick
