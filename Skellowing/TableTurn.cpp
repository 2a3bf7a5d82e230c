#include "Skellowing/TableTurn.h"

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
    if (target && DataFile(*target, DataFile::kRead).exists() &&
        DataFile(*target, DataFile::kRead).getLinkCount().value_or(1) > 1) {
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
    // that text. The table is read once, and only when there is something to judge by it.
    std::optional<TableRead> read;
    const auto table = [&]() -> const TableRead& {
        if (!read) readTableFile(lockFolder, tableName, read.emplace());
        return *read;
    };
    tarnwick::PassingFile::removeLeft(
        lockFolder, tableName, {}, [&](int, const tarnwick::FileLocation& location) {
            return tableHoldsEveryRowOfFile(
                table().whole ? std::string_view(table().bytes) : std::string_view(), location);
        });
    // A copy recorded on a table that reads whole again is what a save that ended left, or what the file
    // was written past since through another name: never to be offered by default again. Its record goes,
    // and the copy with it, unless it holds a row the table lacks: it then stays, and the user is told once.
    if (target &&
        tarnwick::SafeFile::recordedCopy(*target).state != tarnwick::SafeFile::RecordedCopy::State::none &&
        table().detail.isEmpty()) {
        const tarnwick::FileLocation kept =
            tarnwick::SafeFile::dropRecordedCopy(*target, [&](const tarnwick::FileLocation& copy) {
                return tableHoldsEveryRowOfFile(table().bytes, copy);
            });
        if (!kept.empty()) {
            const String said =
                filled(strings::kCopyKept, {String(std::string_view(kept.native())),
                                            timeText(DataFile(kept, DataFile::kRead).getModificationTime())});
            host::debugOutput("Skellowing: " + std::string(said.getView()));
            tarnwick::NotifyAlert().show(said);
        }
    }
    return turn;
}

void setTableLockPatience(std::chrono::milliseconds patience) { lockPatience() = patience; }

}   // namespace skellow
