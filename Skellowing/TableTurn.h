// TableTurn: a run's turn at the table's file, so that runs saving one table take turns.
#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <string_view>

#include "Foundation/Directory.h"
#include "Foundation/FileLock.h"
#include "Foundation/String.h"

namespace skellow {

// The turn of this run at the table's file: the lock stands beside the file the name leads to, so that
// runs whose data folders link to one shared table take turns too. A file with more than one name (hard
// links), which is written in place, is also locked in itself, as runs that reach it by other names lock
// beside those. Destroyed in reverse order: the file first.
struct TableTurn {
    std::unique_ptr<tarnwick::FileLock> beside;
    std::unique_ptr<tarnwick::FileLock> shared;
    bool deniedByPermissions = false;   // not had: the system refused this user
};

// Empty when the turn cannot be had within patience (the wait set for saves unless given), with why. Once
// it is had, what ended runs left beside the table is removed, unless it holds a row the table lacks: their
// passing files, and the copy that a save into the file recorded on it, once the file reads whole again.
// What is kept for its rows is told once, with where it is kept: a recorded copy as it lies, a whole table
// at a passing name moved to the backup series first.
TableTurn lockTable(const tarnwick::Directory& folder, const tarnwick::String& fileName,
                    tarnwick::String& why, std::optional<std::chrono::milliseconds> patience = std::nullopt);

}   // namespace skellow
