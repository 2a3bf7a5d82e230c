// CurrentDatabaseKeeper: gives the host's current database back on every way out of a scope that
// switches it, an exception included.
#pragma once

#include "Project/HostProject.h"

namespace tarnwick {

class Database;

// Not copyable. Keeps the database current when it was made; with none then, restores nothing.
class CurrentDatabaseKeeper {
public:
    CurrentDatabaseKeeper() : saved_(HostProject::getCurrentDatabase()) {}
    ~CurrentDatabaseKeeper() {
        if (saved_ != nullptr) HostProject::setCurrentDatabase(saved_);
    }
    CurrentDatabaseKeeper(const CurrentDatabaseKeeper&) = delete;
    CurrentDatabaseKeeper& operator=(const CurrentDatabaseKeeper&) = delete;

private:
    Database* saved_;
};

}   // namespace tarnwick
