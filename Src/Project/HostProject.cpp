#include "Project/HostProject.h"

#include <new>

#include <FourCC.h>

#include "Environment/HostApi.h"
#include "Project/Database.h"
#include "Project/ElementLink.h"
#include "Project/Plan.h"
#include "Project/Project.h"

namespace tarnwick {
namespace {

struct State {
    std::unique_ptr<Project> project;
};

State& state() {
    static State instance;
    return instance;
}

}   // namespace

Project* HostProject::getProject() {
    State& s = state();
    if (!s.project) {
        try {
            s.project = std::make_unique<Project>();
        } catch (const std::exception&) {   // out of memory: no project this time, asked again next time
            return nullptr;
        }
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
    if (state().project) state().project->clear();
}

void HostProject::destroy() { state().project.reset(); }

}   // namespace tarnwick
