#include "Skellowing/ObjectMapFile.h"

#include <algorithm>
#include <bit>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <HostDebug.h>

#include "Environment/Addon.h"
#include "Environment/Host.h"
#include "Foundation/DataFile.h"
#include "Foundation/PassingFile.h"
#include "Foundation/SafeFile.h"
#include "Interface/ConfirmAlert.h"
#include "Interface/ErrorAlert.h"
#include "Interface/NotifyAlert.h"
#include "Skellowing/ObjectMap.h"
#include "Skellowing/ObjectMapFileNames.h"
#include "Skellowing/ObjectMapMerge.h"
#include "Skellowing/ObjectMapReadCheck.h"
#include "Skellowing/ObjectMapTexts.h"
#include "Skellowing/ObjectMapWrite.h"
#include "Skellowing/SkellowingAddon.h"
#include "Skellowing/SkellowingStrings.h"
#include "Skellowing/TableTurn.h"

namespace skellow {
namespace {

using tarnwick::DataFile;
using tarnwick::Directory;
using tarnwick::Host;
using tarnwick::String;

constexpr std::size_t kMostLinesTold = 50;   // of what a read left out; the copy keeps all

// The question about an unreadable file, with the reason and the backup's name below it: OK and Cancel,
// or the two answers given and Cancel (1, 2 and 3).
class UnreadableTableAlert : public tarnwick::ConfirmAlert {
public:
    // Cancel as the default (1), and the other answer (2).
    std::int16_t askCancelFirst(const String& message, const String& detail, const String& other) const {
        return showAlert(message, detail, Host::getString(kFrameworkStrings, kCancelItem), other, String());
    }
    std::int16_t ask(const String& message, const String& detail, const String& first = String(),
                     const String& second = String()) const {
        const String cancel = Host::getString(kFrameworkStrings, kCancelItem);
        if (first.isEmpty())
            return showAlert(message, detail, Host::getString(kFrameworkStrings, kOkItem), cancel, String());
        return showAlert(message, detail, first, second, cancel);
    }
};

// A notification with the details below it.
class DetailedNotice : public tarnwick::NotifyAlert {
public:
    void showWithDetail(const String& message, const String& detail) const {
        showAlert(message, detail, Host::getString(kFrameworkStrings, kOkItem), String(), String());
    }
};

// Every backup name taken: the user must make room, and the command stops.
void showNoBackupName(const Directory& folder, const String& baseName) {
    tarnwick::ErrorAlert().show(
        filled(strings::kNoBackupName, {withExtension(baseName), backupName(baseName, 1),
                                        backupName(baseName, kMostBackups), folder.getPath()}));
}

String joined(const std::vector<String>& lines) {
    String result;
    for (const String& line : lines) (result += result.isEmpty() ? "" : "\n") += line;
    return result;
}

// heading: the table file's text over why; the permissions are named only where they may be the cause.
void showUnwritable(const String& why, const String& after = String(),
                    std::int32_t heading = strings::kUnwritableTable) {
    String detail = why;
    if (!after.isEmpty()) (detail += "\n") += after;
    host::debugOutput("Skellowing: " + std::string(why.getView()));
    DetailedNotice().showWithDetail(text(strings::kTableFile, heading), detail);
}

// What the lines of a notice say: all of them up to a limit, then how many more.
String toldLines(const std::vector<String>& lines) {
    if (lines.size() <= kMostLinesTold) return joined(lines);
    std::vector<String> told(lines.begin(), lines.begin() + kMostLinesTold);
    told.push_back(filled(strings::kMoreLeftOut, {count(lines.size() - kMostLinesTold)}));
    return joined(told);
}

}   // namespace

// What this run last saw of the table file: the table as read or saved, and the digest of the text the
// file then held (bytes read, or written as they are), which tells at once that it still holds them.
struct TableFileState {
    ObjectMap base;
    std::optional<std::uint64_t> hash;
    std::size_t size = 0;
    bool holdsBase = false;   // the file held base as this run left it: read from it, or written so
    String told;              // why a save of the table last failed, as the user was told
};

namespace {

// A digest of a text, to know at once whether a file still holds it: four lanes of eight bytes a step,
// each word mixed in by a multiply and a rotation, so that it costs a save little beside making the text.
// Not meant to stand against texts made to collide.
std::uint64_t digestOf(std::string_view text) {
    constexpr std::uint64_t kOdd = 0x9E3779B97F4A7C15u;
    const auto mix = [](std::uint64_t lane, std::uint64_t word) {
        return std::rotl((lane ^ word) * kOdd, 31);
    };
    const char* const bytes = text.data();
    const auto word = [bytes](std::size_t at) {
        std::uint64_t value;
        std::memcpy(&value, bytes + at, sizeof value);
        return value;
    };
    std::uint64_t lanes[4] = {text.size(), 1, 2, 3};
    std::size_t at = 0;
    for (; at + 32 <= text.size(); at += 32) {
        lanes[0] = mix(lanes[0], word(at));
        lanes[1] = mix(lanes[1], word(at + 8));
        lanes[2] = mix(lanes[2], word(at + 16));
        lanes[3] = mix(lanes[3], word(at + 24));
    }
    for (int lane = 0; at < text.size(); at += 8, lane = (lane + 1) % 4) {
        std::uint64_t rest = 0;
        std::memcpy(&rest, bytes + at, std::min<std::size_t>(8, text.size() - at));
        lanes[lane] = mix(lanes[lane], rest);
    }
    std::uint64_t digest = 0;
    for (const std::uint64_t lane : lanes) digest = mix(digest, lane);
    return digest;
}

// bytes: what the file was read as, known by their hash from then on. size: else, the bytes the table's
// text took, for the next text's room.
std::shared_ptr<const TableFileState> stateOf(const ObjectMap& table, std::optional<std::string_view> bytes,
                                              bool holdsBase, std::size_t size = 0) {
    auto state = std::make_shared<TableFileState>();
    state->base.assign(table);
    state->holdsBase = holdsBase;
    state->size = size;
    if (bytes) {
        state->hash = digestOf(*bytes);
        state->size = bytes->size();
    }
    return state;
}

std::shared_ptr<const TableFileState> toldState(const TableFileState& from, const String& why) {
    auto state = std::make_shared<TableFileState>();
    state->base.assign(from.base);
    state->hash = from.hash;
    state->size = from.size;
    state->holdsBase = from.holdsBase;
    state->told = why;
    return state;
}

// Said once for the table: a save that fails again as it did (a lock that cannot be made, when the
// default table could not be written as it was read) adds nothing the user does not know.
void showUnwritableOnce(ObjectMap& table, const String& why, const String& after,
                        std::int32_t heading = strings::kUnwritableTable) {
    const std::shared_ptr<const TableFileState> state = table.getFileState();
    if (!state || state->told != why) showUnwritable(why, after, heading);
    if (state) table.setFileState(toldState(*state, why));
}

// The file as another run may have left it since this one last saw it.
struct Newer {
    enum class Kind {
        asSeen,        // no other run saved it, or it is gone: this run's table is written as it is
        table,         // another run's table, read in full
        unmergeable,   // something that cannot be read as a whole table: why
        unread,        // the file could not be read to its end: nothing is known of it
    } kind = Kind::asSeen;
    ObjectMap table;
    std::vector<String> why;
};

Newer readNewer(const Directory& folder, const String& fileName, const TableFileState& state) {
    Newer newer;
    DataFile file(folder, fileName, DataFile::kRead);
    if (!file.exists()) return newer;
    TableRead read;
    if (!file.readToEnd(read.bytes)) {
        newer.kind = Newer::Kind::unread;
        return newer;
    }
    // Still as this run saw it: known by its hash, not parsed again.
    if (state.hash && read.bytes.size() == state.size && digestOf(read.bytes) == *state.hash) return newer;
    parseTable(fileName, read);
    if (!read.detail.isEmpty()) {
        newer.kind = Newer::Kind::unmergeable;
        newer.why.push_back(read.detail);
        return newer;
    }
    newer.why = std::move(read.leftOut);
    newer.kind = newer.why.empty() ? Newer::Kind::table : Newer::Kind::unmergeable;
    read.table.ensureDefaults();
    newer.table.assign(read.table);
    return newer;
}

// This run's table in a file of its own beside the table, which is left as another run saved it, and
// the user told where, with the lines below. False: the table file does not hold this run's table.
bool keepBeside(const Directory& folder, const String& baseName, ObjectMap& table, std::string_view text,
                std::int32_t message, const std::vector<String>& lines, const String& after) {
    const String fileName = withExtension(baseName);
    const auto nameFor = [&baseName](int n) { return conflictName(baseName, n); };
    const String name =
        copyBeside(folder, fileName, nameFor, kMostBackups, DataFile(folder, fileName).getLocation(), text);
    if (name.isEmpty()) {
        showUnwritableOnce(
            table,
            freeName(folder, nameFor).isEmpty()
                ? filled(strings::kNoConflictName, {fileName, conflictName(baseName, 1),
                                                    conflictName(baseName, kMostBackups), folder.getPath()})
                : filled(strings::kNoNewFile, {folder.getPath()}),
            after);
        return false;
    }
    const String said = filled(message, {fileName, name});
    host::debugOutput("Skellowing: " + std::string(said.getView()));
    DetailedNotice().showWithDetail(said, toldLines(lines));
    return false;
}

// Whether the file still holds, as a table, what this run's table is, so that nothing need be written:
// by the hash of the text when the file holds this very text. A file the user keeps read-only, whose
// text may have another form (line ends, spaces), is compared by the text of the table read from it.
bool unchanged(const Directory& folder, const String& fileName, const TableFileState& state,
               std::string_view text) {
    const DataFile file(folder, fileName, DataFile::kRead);
    if (!state.holdsBase || !file.exists()) return false;
    if (state.hash && text.size() == state.size && digestOf(text) == *state.hash) return true;
    if (!file.isReadOnly()) return false;
    ObjectMap base;   // the writer takes a table it may visit, not a shared one
    base.assign(state.base);
    String baseText;
    String ignored;
    return tableText(base, baseText, ignored) && baseText.getView() == text;
}

// The table under the name given (the one the caller read), with the alert when it cannot be written;
// `after` is said below why. A table that is as it was read is not written. Runs saving one table take
// turns, and a file another run saved since this one last saw it gains this run's changes instead of
// losing its own.
bool saveTable(const Directory& folder, const String& baseName, ObjectMap& table, const String& after) {
    const String fileName = withExtension(baseName);
    const std::shared_ptr<const TableFileState> state = table.getFileState();
    String ownText;
    String why;
    if (!tableText(table, ownText, why, state ? state->size : 0)) {
        showUnwritableOnce(table, why, after, strings::kCannotWrite);
        return false;
    }
    const std::string_view bytes = ownText.getView();
    if (state && unchanged(folder, fileName, *state, bytes)) return true;
    String locked;
    const TableTurn turn = lockTable(folder, fileName, locked, bytes);
    if (!turn.beside) {
        showUnwritableOnce(table, locked, after);
        return false;
    }
    ObjectMap* written = &table;
    ObjectMap combined;
    String combinedText;
    if (state) {
        Newer newer = readNewer(folder, fileName, *state);
        if (newer.kind == Newer::Kind::unread)
            return keepBeside(folder, baseName, table, bytes, strings::kUnreadBeside, {unreadFault(fileName)},
                              after);
        if (newer.kind == Newer::Kind::unmergeable)
            return keepBeside(folder, baseName, table, bytes, strings::kUnmergeableBeside, newer.why, after);
        if (newer.kind == Newer::Kind::table) {
            std::vector<String> conflicts;
            combined.assign(merged(state->base, table, newer.table, conflicts));
            if (!conflicts.empty())
                return keepBeside(folder, baseName, table, bytes, strings::kSavedBeside, conflicts, after);
            written = &combined;
            if (!tableText(combined, combinedText, why)) {
                showUnwritableOnce(table, why, after, strings::kCannotWrite);
                return false;
            }
        }
    }
    const Unwritten unwritten =
        writeTable(folder, baseName, written == &table ? bytes : combinedText.getView());
    // Written as it is, the file is known by its text's digest; merged, by its table alone (the next save
    // merges again from what this run had). Written but not surely on the disk, it holds it all the same.
    if (!unwritten.failed() || unwritten.holdsNew)
        table.setFileState(stateOf(table,
                                   written == &table ? std::optional<std::string_view>(bytes) : std::nullopt,
                                   written == &table, bytes.size()));
    if (unwritten.failed()) {
        showUnwritableOnce(table, unwritten.why, unwritten.holdsNew ? String() : after, unwritten.heading);
        return false;
    }
    return true;
}

}   // namespace

void getObjectMapLocation(std::unique_ptr<Directory>& folder, String& name, bool withExtension) {
    name = text(strings::kAddon, strings::kTableFileName);
    // Cut as the save names the file, so that reading and writing meet in one file.
    if (withExtension) name = skellow::withExtension(name);
    const tarnwick::Addon* const addon = tarnwick::Addon::getInstance();
    folder = addon ? addon->getPreferencesFolder() : nullptr;
}

namespace {

// Setting an unreadable table aside under the backup name, while no other run saves: a copy of what it
// holds is kept, and the save that follows goes into the file, which stays the one a link, a second
// name or another user shares. Only a file that could not be read to its end is moved aside instead.
enum class SetAside {
    done,
    changed,   // the file no longer holds what was read: another run set it aside and saved a new one
    failed,
};
SetAside setAside(const Directory& folder, const String& fileName, std::optional<std::string_view> bytes,
                  const String& backup, String& why) {
    const TableTurn turn = lockTable(folder, fileName, why);
    if (!turn.beside) return SetAside::failed;
    DataFile file(folder, fileName, DataFile::kRead);
    std::string now;
    if (bytes && !(file.exists() && file.readToEnd(now) && now == *bytes)) return SetAside::changed;
    file.close();
    why = filled(strings::kNoNewFile, {folder.getPath()});
    // The name said, or, should an entry have taken it meanwhile, the next free one of the series.
    const String base = baseOf(fileName);
    const auto nameFor = [&](int n) { return n == 1 ? backup : backupName(base, n - 1); };
    if (!bytes) {
        for (int n = 1; n <= kMostBackups + 1; ++n)
            if (file.rename(nameFor(n))) return SetAside::done;
        return SetAside::failed;
    }
    // A copy, and the file stays: a link, a second name (hard link) or another owner keep sharing it.
    const String copy = copyBeside(folder, fileName, nameFor, kMostBackups + 1, file.getLocation(), *bytes);
    return copy.isEmpty() ? SetAside::failed : SetAside::done;
}

// A whole table that an unreadable table's file may be put back from.
struct Offer {
    tarnwick::FileLocation location;   // empty: none
    ObjectMap table;
    bool recorded = false;   // the copy that the save which cut the file kept, as recorded on the file
    std::optional<std::filesystem::file_time_type> time;
};

// The file's table when it reads whole with nothing left out.
bool readsWhole(const tarnwick::FileLocation& location, ObjectMap& table) {
    TableRead read;
    readTableFile(Directory(location.parent_path()), nameOf(location), read);
    if (!read.detail.isEmpty() || !read.leftOut.empty()) return false;
    read.table.ensureDefaults();
    table.assign(read.table);
    return true;
}

// What to offer for the unreadable table at target: the copy that the save which cut it recorded on it,
// found through any of its names; else the newest whole table of the backup series beside it or of a
// passing file that a run which ended left there (a live run holds its own locked).
Offer copyToOffer(const tarnwick::FileLocation& target) {
    Offer offer;
    if (const std::optional<tarnwick::FileLocation> copy = tarnwick::SafeFile::recordedCopy(target);
        copy && readsWhole(*copy, offer.table)) {
        offer.location = *copy;
        offer.recorded = true;
        return offer;
    }
    const Directory folder(target.parent_path());
    const String tableName = nameOf(target);
    const String base = baseOf(tableName);
    for (int n = 1; n <= kMostBackups; ++n) {
        for (const String& name : {backupName(base, n), partialName(tableName, n)}) {
            DataFile candidate(folder, name, DataFile::kRead);
            const std::optional<std::filesystem::file_time_type> time = candidate.getModificationTime();
            if (!time || (offer.time && *time < *offer.time) || !candidate.exists() || !candidate.open() ||
                !candidate.holdLock())
                continue;
            ObjectMap table;
            if (!readsWhole(candidate.getLocation(), table)) continue;
            offer.table.assign(table);
            offer.location = candidate.getLocation();
            offer.time = time;
        }
    }
    return offer;
}

// A file's time as the user reads it, in local time.
String timeText(std::filesystem::file_time_type time) {
    const std::time_t seconds = std::chrono::system_clock::to_time_t(std::chrono::file_clock::to_sys(time));
    std::tm local{};
    char text[32] = "";
    if (::localtime_r(&seconds, &local)) std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return String(text);
}

// Steps 2 to 5 of loading, once the folder is known to take files. again: another run set an unreadable
// file aside while the user was asked, so what it left there is read instead.
bool loadFrom(const Directory& folder, const String& baseName, ObjectMap& table, bool again) {
    const String name = withExtension(baseName);
    DataFile file(folder, name, DataFile::kRead);
    const auto stop = [](const String& why) {
        host::debugOutput("Skellowing: " + std::string(why.getView()));
        tarnwick::ErrorAlert().show(why);
        return false;
    };
    // Only a regular file is a table: a folder, pipe or device at its name, or where its link leads, is
    // neither read nor replaced; nor is a link that leads nowhere but round in a circle.
    const std::optional<tarnwick::FileLocation> target = file.followLinks();
    if (!target) return stop(filled(strings::kLinkLoop, {file.getPath()}));
    if (String why = whyNoTableAt(*target, strings::kTableIsFolder, strings::kTableNotAFile);
        !why.isEmpty()) {
        if (*target != file.getLocation())
            why = filled(
                std::filesystem::is_directory(*target) ? strings::kLinkToFolder : strings::kLinkToNonFile,
                {file.getPath(), String(std::string_view(target->native()))});
        return stop(why);
    }
    // 2. None yet: the defaults, written at once under the same name (merged into one another run may
    // have written meanwhile).
    if (!file.exists()) {
        table.clear();
        table.setFileState(stateOf(table, std::nullopt, /*holdsBase=*/false));
        saveTable(folder, baseName, table, text(strings::kTableFile, strings::kUsedButNotKept));
        return true;
    }
    // 3. Read. What cannot be read may be what another run is writing into the file at this moment: it is
    // read again in the table's turn, once that run is done. A turn that cannot be had leaves nothing
    // known of the file: that is said, and the command stops.
    TableRead first;
    readTableFile(folder, name, first);
    TableRead second;
    TableRead* read = &first;
    if (!first.detail.isEmpty()) {
        String why;
        const TableTurn turn = lockTable(folder, name, why);
        if (!turn.beside) return stop(why);
        readTableFile(folder, name, second);
        read = &second;
    }
    const std::string& bytes = read->bytes;
    String detail = read->detail;
    // 4. Read: the table takes it. Whatever the read left out stays in a copy of the file as it was,
    // made now, before any save can write the table without it.
    if (detail.isEmpty()) {
        if (!read->leftOut.empty()) {
            const String kept = keepCopy(folder, baseName, bytes);
            if (kept.isEmpty()) {
                if (freeBackupName(folder, baseName).isEmpty())
                    showNoBackupName(folder, baseName);
                else
                    tarnwick::ErrorAlert().show(filled(strings::kNoNewFile, {folder.getPath()}));
                return false;
            }
            const String lines = toldLines(read->leftOut);
            host::debugOutput("Skellowing: " + std::string(lines.getView()));
            DetailedNotice().showWithDetail(filled(strings::kLeftOut, {kept}), lines);
        }
        // A copy recorded on a table that reads whole was left by a save that ended after its write: the
        // turn removes it, so that it is never offered over what the table holds now.
        if (tarnwick::SafeFile::recordedCopy(*target)) {
            String ignored;
            lockTable(folder, name, ignored);
        }
        read->table.ensureDefaults();   // also after a read that never reached the table's end tag
        table.assign(read->table);
        table.setFileState(stateOf(table, std::string_view(bytes), /*holdsBase=*/true));
        return true;
    }
    // 5. Unreadable: a whole copy put back, or a new table, only when the user wants one, and the old file
    // kept beside it. With no name left for it, nothing is asked: the command stops, saying why.
    host::debugOutput("Skellowing: " + std::string(detail.getView()));
    const String backup = freeBackupName(folder, baseName);
    if (backup.isEmpty()) {
        showNoBackupName(folder, baseName);
        return false;
    }
    Offer offer = copyToOffer(*target);
    const String copyPath(std::string_view(offer.location.native()));
    const bool besideName =
        !offer.location.empty() && Directory(offer.location.parent_path()).compareLocation(folder);
    const String copy = besideName ? String(std::string_view(offer.location.filename().native())) : copyPath;
    (detail += "\n") += offer.location.empty() ? filled(strings::kKeptAsBackup, {backup})
                        : besideName
                            ? filled(strings::kKeptIfPutBack, {backup})
                            : filled(strings::kKeptAtIfPutBack, {DataFile(folder, backup).getPath()});
    const String putBackButton = text(strings::kTableFile, strings::kPutBackButton);
    const String newTableButton = text(strings::kTableFile, strings::kNewTableButton);
    bool putBack = false;
    bool goOn = false;
    if (offer.recorded) {
        // The one copy known to be what the file held before the save that cut it: put back by default.
        const std::int16_t answer =
            UnreadableTableAlert().ask(besideName ? filled(strings::kPutBackQuestion, {copy})
                                                  : filled(strings::kStoppedSaveQuestion, {copy}),
                                       detail, putBackButton, newTableButton);
        putBack = answer == 1;
        goOn = answer == 1 || answer == 2;
    } else if (!offer.location.empty()) {
        // Any other whole table may be older than what the file last held: never put back by default.
        const std::optional<std::filesystem::file_time_type> tableTime =
            DataFile(*target, DataFile::kRead).getModificationTime();
        const std::int16_t answer = UnreadableTableAlert().ask(
            filled(strings::kOlderCopyQuestion,
                   {copy, timeText(*offer.time),
                    tableTime ? timeText(*tableTime) : text(strings::kTableFile, strings::kUnknownTime)}),
            detail, newTableButton, putBackButton);
        putBack = answer == 2;
        goOn = answer == 1 || answer == 2;
    } else if (DataFile(*target, DataFile::kRead).getLinkCount().value_or(1) > 1 &&
               !tarnwick::SafeFile::recordsCopies(*target)) {
        // A save through another name may have kept the only whole copy beside that name.
        goOn = UnreadableTableAlert().askCancelFirst(text(strings::kTableFile, strings::kOtherNamesQuestion),
                                                     detail, newTableButton) == 2;
    } else {
        goOn = UnreadableTableAlert().ask(text(strings::kTableFile, strings::kUnreadableTable), detail) == 1;
    }
    if (!goOn) {
        tarnwick::NotifyAlert().show(text(strings::kMessages, strings::kReinstallTable));
        return false;
    }
    String why;
    const SetAside aside = setAside(
        folder, name, read->whole ? std::optional<std::string_view>(bytes) : std::nullopt, backup, why);
    if (aside == SetAside::changed && !again) return loadFrom(folder, baseName, table, /*again=*/true);
    if (aside == SetAside::changed) return stop(filled(strings::kChangedAgain, {name}));
    if (aside != SetAside::done)
        return stop(why.isEmpty() ? filled(strings::kNoNewFile, {folder.getPath()}) : why);
    // What was set aside counts as seen: a link still names it, and the new table takes its place.
    if (putBack)
        table.assign(offer.table);
    else
        table.clear();
    table.setFileState(stateOf(table, read->whole ? std::optional<std::string_view>(bytes) : std::nullopt,
                               /*holdsBase=*/false));
    // The copy put back is the table now; until it is saved as the table, it stays.
    if (saveTable(folder, baseName, table, String()) && putBack)
        DataFile(offer.location, DataFile::kRead).remove();
    return true;
}

}   // namespace

bool loadObjectMap(ObjectMap& table) {
    // 1. Where it is. A data folder that cannot be had, or that takes no new file (so that no table the
    // user edits could be kept), stops the command, which must not look done.
    std::unique_ptr<Directory> folder;
    String baseName;
    getObjectMapLocation(folder, baseName, /*withExtension=*/false);
    const auto takesFiles = [&] {
        return tarnwick::PassingFile::make(*folder, withExtension(baseName)) != nullptr;
    };
    if (!folder || (!baseName.isEmpty() && !takesFiles())) {
        const auto* const addon = dynamic_cast<const SkellowingAddon*>(tarnwick::Addon::getInstance());
        tarnwick::ErrorAlert().show(
            filled(strings::kNoDataFolder, {addon ? addon->getDataFolderPath() : String()}));
        return false;
    }
    if (baseName.isEmpty())
        return false;   // without its name (the host could not give it) no file is touched
    return loadFrom(*folder, baseName, table, /*again=*/false);
}

bool saveObjectMap(ObjectMap& table) {
    std::unique_ptr<Directory> folder;
    String name;
    getObjectMapLocation(folder, name, /*withExtension=*/false);
    // The run goes on with the table all the same: the user should know the edits will not last.
    const String after = text(strings::kTableFile, strings::kUsedButNotKept);
    if (!folder || name.isEmpty()) {
        showUnwritable(text(strings::kTableFile, strings::kNoLocation), after);
        return false;
    }
    return saveTable(*folder, name, table, after);
}

}   // namespace skellow
