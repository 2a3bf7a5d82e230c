#include "Skellowing/TableTurn.h"

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

#include <HostDebug.h>

#include "Foundation/DataFile.h"
#include "Foundation/FileSystemCalls.h"
#include "Foundation/PassingFile.h"
#include "Foundation/SafeFile.h"
#include "Interface/NotifyAlert.h"
#include "Skellowing/CopyRows.h"
#include "Skellowing/ObjectMapFile.h"
#include "Skellowing/ObjectMapFileNames.h"
#include "Skellowing/ObjectMapReadCheck.h"
#include "Skellowing/ObjectMapTexts.h"
#include "Skellowing/SkellowingStrings.h"

namespace skellow {

using tarnwick::DataFile;
using tarnwick::Directory;
using tarnwick::String;

namespace {

constexpr std::chrono::milliseconds kLockPatience{30000};

std::chrono::milliseconds& lockPatience() {
    static std::chrono::milliseconds patience = kLockPatience;
    return patience;
}

// Why a lock could not be had: another run kept it for the whole wait, or the lock at path could not be
// made or opened, with the reason.
String lockRefused(const tarnwick::FileLock::Refusal& refusal, const String& fileName, const String& path) {
    using Reason = tarnwick::FileLock::Reason;
    std::int32_t reason = 0;
    switch (refusal.reason) {
        case Reason::held:
            return filled(strings::kTableLocked, {fileName});
        case Reason::folder:
            reason = strings::kLockFolder;
            break;
        case Reason::link:
            reason = strings::kLockLink;
            break;
        case Reason::notAFile:
            reason = strings::kLockNotAFile;
            break;
        case Reason::notALock:
            reason = strings::kLockNotALock;
            break;
        case Reason::denied:
            reason = strings::kLockDenied;
            break;
        case Reason::none:
        case Reason::failed:
        case Reason::badName:
            break;
    }
    return filled(strings::kLockNotMade, {path, reason != 0 ? text(strings::kTableFile, reason)
                                                            : String(std::strerror(refusal.systemError))});
}

// A whole copy of the table kept for rows the table lacks, told once, with where it is and its time.
void tellKept(const tarnwick::FileLocation& kept) {
    const String said =
        filled(strings::kCopyKept, {String(std::string_view(kept.native())),
                                    timeText(DataFile(kept, DataFile::kRead).getModificationTime())});
    host::debugOutput("Skellowing: " + std::string(said.getView()));
    tarnwick::NotifyAlert().show(said);
}

// A dead run's whole table at a passing name, which holds rows the table lacks: moved to the first free
// name of the backup series, never over another entry, so that it is told once and is then one of the
// copies offered when the table cannot be read. Where no name takes it, it stays and is told where it is.
void keepLeftTable(const Directory& folder, const String& tableName, const tarnwick::FileLocation& left) {
    const String base = baseOf(tableName);
    for (int n = 1; n <= kMostBackups; ++n) {
        const tarnwick::FileLocation kept = folder.getLocation() / std::string(backupName(base, n).getView());
        if (tarnwick::sys::renameNoReplace(left.c_str(), kept.c_str())) return tellKept(kept);
        if (errno != EEXIST) break;
    }
    tellKept(left);
}

}   // namespace

TableTurn lockTable(const Directory& folder, const String& fileName, String& why,
                    std::optional<std::chrono::milliseconds> patience) {
    const std::chrono::milliseconds wait = patience.value_or(lockPatience());
    const std::optional<tarnwick::FileLocation> target =
        DataFile(folder, fileName, DataFile::kRead).followLinks();
    const Directory lockFolder = target ? Directory(target->parent_path()) : folder;
    const String tableName = target ? nameOf(*target) : fileName;
    const String lockFile = lockName(tableName);
    tarnwick::FileLock::Refusal refusal;
    TableTurn turn;
    turn.beside = tarnwick::FileLock::acquire(lockFolder, lockFile, wait, &refusal);
    if (!turn.beside) {
        const String path = DataFile(lockFolder, lockFile).getPath();
        why = lockRefused(refusal, fileName, path.isEmpty() ? lockFile : path);
        turn.deniedByPermissions = refusal.reason == tarnwick::FileLock::Reason::denied;
        return turn;
    }
    // A table that cannot be looked at, or whose link count cannot be read, may have other names: it is
    // locked in itself as one that has (and the turn is refused with the reason where it cannot be).
    struct stat info {};
    const bool looked = target && tarnwick::sys::look(target->c_str(), info);
    if (target && (looked ? S_ISREG(info.st_mode) && info.st_nlink > 1 : errno != ENOENT)) {
        turn.shared = tarnwick::FileLock::acquireFile(*target, wait, &refusal);
        if (!turn.shared) {
            why = lockRefused(refusal, fileName, String(std::string_view(target->native())));
            turn.deniedByPermissions = refusal.reason == tarnwick::FileLock::Reason::denied;
            turn.beside.reset();
            return turn;
        }
    }
    // What dead runs' writes left goes only where it holds no row the table lacks: empty, the start of the
    // table's text, or rows it holds whole. A cut of what a run was writing stays until the table holds
    // that text; a whole table that holds rows the table lacks is kept as a backup and told. The table is
    // read once, and only when there is something to judge by it, and its bytes go to every judgement.
    std::optional<TableRead> read;
    const auto table = [&]() -> const TableRead& {
        if (!read) readTableFile(lockFolder, tableName, read.emplace());
        return *read;
    };
    const auto tableBytes = [&] {
        return table().whole ? std::string_view(table().bytes) : std::string_view();
    };
    tarnwick::PassingFile::removeLeft(
        lockFolder, tableName, {}, [&](int, const tarnwick::FileLocation& location) {
            std::string held;
            if (!DataFile(location, DataFile::kRead).readToEnd(held)) return false;
            if (tableHoldsEveryRowOf(tableBytes(), held)) return true;
            if (table().whole && table().detail.isEmpty() && readsAsWholeTable(held))
                keepLeftTable(lockFolder, tableName, location);
            return false;
        });
    // A copy recorded on a table that reads whole again is what a save that ended left, or what the file
    // was written past since through another name: never to be offered by default again. Its record goes,
    // and the copy with it, unless it holds a row the table lacks: it then stays, and the user is told once.
    if (!target) return turn;
    const tarnwick::SafeFile::RecordedCopy recorded =
        tarnwick::SafeFile::recordedCopy(*target, {}, [&]() -> std::optional<std::string_view> {
            if (!table().whole) return std::nullopt;
            return table().bytes;
        });
    if (recorded.state != tarnwick::SafeFile::RecordedCopy::State::none && table().detail.isEmpty()) {
        const tarnwick::FileLocation kept =
            tarnwick::SafeFile::dropRecordedCopy(*target, recorded, [&](const tarnwick::FileLocation& copy) {
                return tableHoldsEveryRowOfFile(table().bytes, copy);
            });
        if (!kept.empty()) tellKept(kept);
    }
    return turn;
}

void setTableLockPatience(std::chrono::milliseconds patience) { lockPatience() = patience; }

}   // namespace skellow
