// HostProject: the host facade's side of the project: the single Project, made on first request while
// the host has a project open, and the pass-throughs to the project's current database and window.
#pragma once

#include <cstdint>
#include <memory>

namespace tarnwick {

class Database;
class ElementLink;
class Plan;
class Project;

// Not instantiated: the state is static and lives while the module is loaded. The host facade's
// project operations (Host::getProject and the others) forward here.
class HostProject {
public:
    HostProject() = delete;

    // Made on first request; null while the host has no project open ('PROJ' refused) or when it cannot
    // be made. The host is asked once after each change of project. The first time it is found after a
    // change, the add-on files its project packages in it (Addon::fileProjectPackages).
    static Project* getProject();
    static Project* findProject();           // the project if it was made; never makes one nor asks
    static Plan* getPlan();                  // the project's floor plan; null without a project
    static Database* getCurrentDatabase();   // null without a project or when the host fails
    static bool setCurrentDatabase(Database* database);   // false on failure
    static bool setCurrentWindow(Database* database);     // false on failure
    // A new link of the toolbox's current tool (type and variation, 'GTBX'); null when the host fails.
    static std::unique_ptr<ElementLink> getCurrentTool();

    // Clears the project and forgets that the host has one open: the host facade's reset, and when a
    // project is opened or closed.
    static void reset();
    // Deletes the project (the module is unloading).
    static void destroy();
};

}   // namespace tarnwick
