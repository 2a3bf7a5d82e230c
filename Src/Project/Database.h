// Database: the base of every database of the project: the drawings and views, and the attribute,
// library, property and classification databases.
#pragma once

#include "Foundation/String.h"

namespace tarnwick {

class Project;

// Owned by its Project, which outlives it; not copyable. Caches dropped by clear() are made again on
// demand, so a database stays usable after it.
class Database {
public:
    explicit Database(Project& project) : project_(project) {}
    virtual ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Virtual operations, in the order of the interface.
    virtual void clear() = 0;              // drops every cached object; reloads on demand
    virtual String typeName() const = 0;   // the class's name, e.g. "Floor Plan"

    Project& getProject() const { return project_; }

private:
    Project& project_;   // our owner
};

}   // namespace tarnwick
