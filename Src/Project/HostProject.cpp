#include "Project/HostProject.h"

#include <new>

#include <FourCC.h>
#include <HostMemory.h>
#include <HostRecords.h>
#include <HostResult.h>

#include "Environment/Addon.h"
#include "Environment/HostApi.h"
#include "Project/Database.h"
#include "Project/ElementLink.h"
#include "Project/Plan.h"
#include "Project/Project.h"

namespace tarnwick {
namespace {

struct State {
    std::unique_ptr<Project> project;
    bool open = false;    // the host said a project is open; asked again whenever the project changes
    bool found = false;   // the add-on has filed its packages in the project since it last changed
};

State& state() {
    static State instance;
    return instance;
}

// 'PROJ' answers only while a project is open; the file location it gives is not wanted here.
bool hostHasProject() {
    host::ProjectInfoRecord info{};
    const bool open = hostApi().environment(fourcc("PROJ"), &info) == host::kNoError;
    host::disposeHandle(info.location);
    return open;
}

}   // namespace

Project* HostProject::getProject() {
    State& s = state();
    if (!s.open) {
        if (!hostHasProject()) return nullptr;   // asked again next time
        s.open = true;
    }
    if (!s.project) {
        try {
            s.project = std::make_unique<Project>();
        } catch (const std::exception&) {   // out of memory: no project this time, asked again next time
            return nullptr;
        }
    }
    if (!s.found) {
        // The add-on's project packages wait for a project: the host may have refused 'PROJ' when
        // they were registered, or when the project changed.
        s.found = true;
        if (Addon* addon = Addon::getInstance()) addon->fileProjectPackages();
    }
    return s.project.get();
}

Project* HostProject::findProject() { return state().project.get(); }

Plan* HostProject::getPlan() {
    Project* project = getProject();
    return project != nullptr ? &project->getPlan() : nullptr;
}

Database* HostProject::getCurrentDatabase() {
    Project* project = getProject();
    return project != nullptr ? project->getCurrentDatabase() : nullptr;
}

bool HostProject::setCurrentDatabase(Database* database) {
    Project* project = getProject();
    return project != nullptr && project->setCurrentDatabase(database);
}

bool HostProject::setCurrentWindow(Database* database) {
    Project* project = getProject();
    return project != nullptr && project->setCurrentWindow(database);
}

std::unique_ptr<ElementLink> HostProject::getCurrentTool() {
    host::ToolboxRecord tool{};
    if (hostApi().environment(fourcc("GTBX"), &tool) != 0) return nullptr;
    return std::make_unique<ElementLink>(static_cast<std::uint16_t>(tool.type), tool.variation);
}

void HostProject::reset() {
    State& s = state();
    s.open = false;
    s.found = false;
    if (s.project) s.project->clear();
}

void HostProject::destroy() {
    State& s = state();
    s.open = false;
    s.found = false;
    s.project.reset();
}

}   // namespace tarnwick
