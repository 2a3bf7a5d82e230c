#include "Skellowing/ObjectMapFile.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
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
#include "Foundation/FileSystemCalls.h"
#include "Foundation/PassingFile.h"
#include "Foundation/SafeFile.h"
#include "Foundation/TextDigest.h"
#include "Interface/ConfirmAlert.h"
#include "Interface/ErrorAlert.h"
#include "Interface/NotifyAlert.h"
#include "Skellowing/CopyRows.h"
#include "Skellowing/MessageText.h"
#include "Skellowing/ObjectMap.h"
#include "Skellowing/ObjectMapFileNames.h"
#include "Skellowing/ObjectMapMerge.h"
#include "Skellowing/ObjectMapReadCheck.h"
#include "Skellowing/ObjectMapTexts.h"
#include "Skellowing/ObjectMapWrite.h"
#include "Skellowing/SkellowingAddon.h"
#include "Skellowing/SkellowingStrings.h"
#include "Skellowing/TableTurn.h"
#include "Skellowing/UnreadableTable.h"

namespace skellow {
namespace {

using tarnwick::DataFile;
using tarnwick::Directory;
using tarnwick::Host;
using tarnwick::String;
using tarnwick::wholeDigestOf;

constexpr std::size_t kMostLinesTold = 50;   // of what a read left out; the copy keeps all

// The question about an unreadable file, with the reason and what is known below it, and up to three
// answers.
class UnreadableTableAlert : public tarnwick::ConfirmAlert {
public:
    std::int16_t ask(const String& message, const String& detail, const String& first, const String& second,
                     const String& third) const {
        return showAlert(message, detail, first, second, third);
    }
    static String cancel() { return Host::getString(kFrameworkStrings, kCancelItem); }
    static String ok() { return Host::getString(kFrameworkStrings, kOkItem); }
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

// Why no folder is at path, as the system says: 0 when one is, or the path is empty.
int whyNoFolderAt(const String& path) {
    if (path.isEmpty()) return 0;
    struct stat info {};
    if (!tarnwick::sys::look(std::string(path.getView()).c_str(), info)) return errno;
    return S_ISDIR(info.st_mode) ? 0 : ENOTDIR;
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
    DetailedNotice().showWithDetail(messageText(strings::kTableFile, heading), detail);
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

// bytes: what the file was read as, or written as they are, known by their hash from then on (digest: that
// hash, when made already). size: else, the bytes the table's text took, for the next text's room.
std::shared_ptr<const TableFileState> stateOf(const ObjectMap& table, std::optional<std::string_view> bytes,
                                              bool holdsBase, std::size_t size = 0,
                                              std::optional<std::uint64_t> digest = std::nullopt) {
    auto state = std::make_shared<TableFileState>();
    state->base.assign(table);
    state->holdsBase = holdsBase;
    state->size = size;
    if (bytes) {
        state->hash = digest ? *digest : wholeDigestOf(*bytes);
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
        unseen,        // the system could not look at it: told, and nothing is written
    } kind = Kind::asSeen;
    ObjectMap table;
    std::vector<String> why;
    Unwritten unseen;
};

Newer readNewer(const Directory& folder, const String& fileName, const TableFileState& state) {
    Newer newer;
    // Nothing to merge only where the system says so: no file, or none a table can be read from (the
    // write then says why). What cannot be looked at or read may hold another run's table.
    const DataFile file(folder, fileName, DataFile::kRead);
    const std::optional<tarnwick::FileLocation> target = file.followLinks();
    const int linkError = target ? 0 : linkFailure();
    const TableEntry entry = target ? lookAtTableEntry(*target) : TableEntry{};
    if (linkError != 0 || entry.kind == TableEntry::Kind::unseen) {
        newer.kind = Newer::Kind::unseen;
        newer.unseen = target ? unseenTable(String(std::string_view(target->native())), entry.systemError)
                              : unseenTable(file.getPath(), linkError);
        return newer;
    }
    if (entry.kind != TableEntry::Kind::file) return newer;
    TableRead read;
    readTableBytes(folder, fileName, read);
    if (!read.whole && read.systemError == ENOENT) return newer;
    if (read.tooLarge != 0) {
        newer.kind = Newer::Kind::unmergeable;
        newer.why.push_back(read.detail);
        return newer;
    }
    if (!read.whole) {
        newer.kind = Newer::Kind::unread;
        return newer;
    }
    // Still as this run saw it: known by its hash, not parsed again.
    if (state.hash && read.bytes.size() == state.size && wholeDigestOf(read.bytes) == *state.hash)
        return newer;
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
               std::string_view text, const std::function<std::uint64_t()>& textDigest) {
    const DataFile file(folder, fileName, DataFile::kRead);
    if (!state.holdsBase || !file.exists()) return false;
    if (state.hash && text.size() == state.size && textDigest() == *state.hash) return true;
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
// losing its own. whenWritten runs once the file holds this table as it is (not merged into another
// run's), with the text written, still in this run's turn.
bool saveTable(const Directory& folder, const String& baseName, ObjectMap& table, const String& after,
               const std::function<void(std::string_view written)>& whenWritten = {}) {
    const String fileName = withExtension(baseName);
    const std::shared_ptr<const TableFileState> state = table.getFileState();
    String ownText;
    String why;
    if (!tableText(table, ownText, why, state ? state->size : 0)) {
        showUnwritableOnce(table, why, after, strings::kCannotWrite);
        return false;
    }
    const std::string_view bytes = ownText.getView();
    // The text's digest, made once a save: to compare the file with, then kept to compare the next save's.
    std::optional<std::uint64_t> ownDigest;
    const auto digestOfOwn = [&] {
        if (!ownDigest) ownDigest = wholeDigestOf(bytes);
        return *ownDigest;
    };
    if (state && unchanged(folder, fileName, *state, bytes, digestOfOwn)) return true;
    String locked;
    const TableTurn turn = lockTable(folder, fileName, locked);
    if (!turn.beside) {
        showUnwritableOnce(table, locked, after,
                           turn.deniedByPermissions ? strings::kUnwritableTable : strings::kCannotWrite);
        return false;
    }
    ObjectMap* written = &table;
    ObjectMap combined;
    String combinedText;
    if (state) {
        Newer newer = readNewer(folder, fileName, *state);
        if (newer.kind == Newer::Kind::unseen) {
            showUnwritableOnce(table, newer.unseen.why, after, newer.unseen.heading);
            return false;
        }
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
    if (!unwritten.failed() || unwritten.holdsNew) {
        if (written == &table && unwritten.digest) ownDigest = unwritten.digest;
        table.setFileState(
            written == &table
                ? stateOf(table, std::optional<std::string_view>(bytes), /*holdsBase=*/true, 0, digestOfOwn())
                : stateOf(table, std::nullopt, /*holdsBase=*/false, bytes.size()));
    }
    if (unwritten.failed()) {
        showUnwritableOnce(table, unwritten.why, unwritten.holdsNew ? String() : after, unwritten.heading);
        return false;
    }
    if (whenWritten && written == &table) whenWritten(bytes);
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
// holds is kept, and the save that follows goes into the file, which stays the one a link, a second name
// or another user shares. Only a lone file with no record on it, which could not be read to its end, is
// moved aside instead; a shared one that cannot be read whole is left as it is.
enum class SetAside {
    done,
    changed,   // the file no longer holds what was read: another run set it aside and saved a new one
    failed,
};
SetAside setAside(const Directory& folder, const String& fileName, std::optional<std::string_view> bytes,
                  bool mayMove, const String& backup, String& why) {
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
    if (!bytes && !mayMove) {
        why = filled(strings::kSharedUnread, {fileName});
        return SetAside::failed;
    }
    // An empty file holds nothing worth keeping.
    if (bytes && bytes->empty()) return SetAside::done;
    if (!bytes) {
        for (int n = 1; n <= kMostBackups + 1; ++n)
            if (file.rename(nameFor(n))) return SetAside::done;
        return SetAside::failed;
    }
    const String copy = copyBeside(folder, fileName, nameFor, kMostBackups + 1, file.getLocation(), *bytes);
    return copy.isEmpty() ? SetAside::failed : SetAside::done;
}

// A whole table beside an unreadable table's file, which it may be put back from.
struct Copy {
    tarnwick::FileLocation location;   // empty: none
    tarnwick::FileIdentity identity;
    std::optional<std::filesystem::file_time_type> time;
};

// What a run knows of an unreadable table's file, and the table it would put back.
struct Known {
    UnreadableTable facts;
    Copy recorded;              // the copy the record names (as recorded when it cannot be followed)
    String unfollowable;        // why the record cannot be followed
    String unopened;            // why the file itself cannot be opened, where that is why its record
                                // cannot be read: no record is known of
    std::vector<Copy> copies;   // whole tables of the series beside the file, newest first
    ObjectMap offered;          // the recorded copy's table, else the newest copy's
    std::vector<String> offeredLeftOut;   // what its read left out: the copy then stays
};

// The file's table when it reads as one, with what the read left out; error: the system's reason when the
// file cannot be read to its end (0: it can, and is no whole table).
bool readsAsTable(const tarnwick::FileLocation& location, ObjectMap& table, std::vector<String>& leftOut,
                  int& error) {
    TableRead read;
    readTableFile(Directory(location.parent_path()), nameOf(location), read);
    error = read.systemError;
    if (!read.detail.isEmpty()) return false;
    read.table.ensureDefaults();
    table.assign(read.table);
    leftOut = std::move(read.leftOut);
    return true;
}

// What is known of the unreadable table at target, reached through name: the copy that the save which
// cut it recorded on it, found through any of its names, and the whole tables of the backup series beside
// it or of passing files that runs which ended left there (a live run holds its own locked).
Known knownOf(const tarnwick::FileLocation& name, const tarnwick::FileLocation& target) {
    using Record = UnreadableTable::Record;
    using State = tarnwick::SafeFile::RecordedCopy::State;
    Known known;
    // A link count that cannot be read may be more than one.
    known.facts.severalNames = DataFile(target, DataFile::kRead).getLinkCount().value_or(2) > 1;
    known.facts.recordsKept = tarnwick::SafeFile::recordsCopies(target);
    const tarnwick::SafeFile::RecordedCopy record = tarnwick::SafeFile::recordedCopy(target, name);
    int error = record.systemError;
    bool undecided = false;   // a whole copy, of a record that cannot tell whose state the file is
    if (record.state == State::found) {
        known.recorded.location = record.copy;
        if (readsAsTable(record.copy, known.offered, known.offeredLeftOut, error)) {
            known.facts.record = record.cannotTell ? Record::undecided : Record::followed;
            known.recorded.identity = record.identity;
            if (known.facts.byDefault() == UnreadableTable::Answer::putBack) return known;
            // Offered with its time among the copies below, as another name may have kept a newer one.
            undecided = true;
        }
    }
    // A record the system does not let this user read, as it does not the file: nothing is known of one.
    if (record.state == State::unfollowable && record.copy.empty() &&
        (record.systemError == EACCES || record.systemError == EPERM))
        known.unopened = String(std::strerror(record.systemError));
    if (!undecided && (record.state == State::found || record.state == State::unfollowable)) {
        known.recorded.location = record.copy;
        known.facts.record = Record::unfollowable;
        known.unfollowable = error != 0 ? String(std::strerror(error))
                             : record.state == State::found
                                 ? text(strings::kTableFile, strings::kCopyNotWhole)
                                 : text(strings::kTableFile, strings::kCopyReplaced);
    }
    // A whole table, offered with its time, never by default: one of the backup series beside the file, a
    // passing file that a run which ended left there (a live run holds its own locked), or the copy of a
    // write that the file was written past since, wherever it lies.
    const auto consider = [&known](DataFile&& candidate) {
        Copy copy{candidate.getLocation(),
                  tarnwick::identityAt(candidate.getLocation()).value_or(tarnwick::FileIdentity{}),
                  candidate.getModificationTime()};
        ObjectMap table;
        std::vector<String> leftOut;
        int ignored = 0;
        if (!copy.time || !candidate.open() || !candidate.holdLock() ||
            !readsAsTable(candidate.getLocation(), table, leftOut, ignored))
            return;
        const auto newer = [&copy](const Copy& other) { return *copy.time > *other.time; };
        const auto at = std::find_if(known.copies.begin(), known.copies.end(), newer);
        if (at == known.copies.begin()) {
            known.offered.assign(table);
            known.offeredLeftOut = std::move(leftOut);
        }
        known.copies.insert(at, std::move(copy));
    };
    const Directory folder(target.parent_path());
    const String tableName = nameOf(target);
    const String base = baseOf(tableName);
    const bool pastCopy =
        (record.state == State::stale || record.state == State::ended || undecided) && !record.copy.empty();
    const auto considerNamed = [&](const String& candidateName) {
        DataFile candidate(folder, candidateName, DataFile::kRead);
        if (candidate.exists() && (candidate.getLocation() != record.copy || pastCopy))
            consider(std::move(candidate));
    };
    for (int n = 1; n <= kMostBackups; ++n) {
        considerNamed(backupName(base, n));
        considerNamed(conflictName(base, n));
    }
    for (const String& candidateName : partialNames(folder, tableName)) considerNamed(candidateName);
    if (pastCopy && !Directory(record.copy.parent_path()).compareLocation(folder))
        consider(DataFile(record.copy, DataFile::kRead));
    known.facts.wholeCopies = known.copies.size();
    return known;
}

// A file as the user is shown it from folder: its name when it lies there, else its path.
String shownFrom(const Directory& folder, const tarnwick::FileLocation& location) {
    return Directory(location.parent_path()).compareLocation(folder)
               ? String(std::string_view(location.filename().native()))
               : String(std::string_view(location.native()));
}

// The question about an unreadable table, as what is known decides it: the first answer is the default.
struct Question {
    String message;
    std::vector<String> lines;   // below the reason
    std::vector<std::pair<String, UnreadableTable::Answer>> answers;
    Copy offered;   // what Put Back puts back
};

Question questionFor(const Known& known, const Directory& folder, const tarnwick::FileLocation& target) {
    using Answer = UnreadableTable::Answer;
    Question question;
    const auto shown = [&folder](const tarnwick::FileLocation& location) {
        return shownFrom(folder, location);
    };
    const String putBack = text(strings::kTableFile, strings::kPutBackButton);
    const String newTable = text(strings::kTableFile, strings::kNewTableButton);
    const String cancel = UnreadableTableAlert::cancel();
    const String recordedAt = shown(known.recorded.location);
    switch (known.facts.byDefault()) {
        case Answer::putBack:
            question.offered = known.recorded;
            question.message = filled(recordedAt == String(std::string_view(known.recorded.location.native()))
                                          ? strings::kStoppedSaveQuestion
                                          : strings::kPutBackQuestion,
                                      {recordedAt});
            question.answers = {
                {putBack, Answer::putBack}, {newTable, Answer::newTable}, {cancel, Answer::cancel}};
            return question;
        case Answer::newTable:
            question.message = text(strings::kTableFile, strings::kUnreadableTable);
            question.answers = {{UnreadableTableAlert::ok(), Answer::newTable}, {cancel, Answer::cancel}};
            return question;
        case Answer::cancel:
            break;
    }
    // Every copy known, the newest offered; the record that cannot be followed, with why.
    const bool unfollowable = known.facts.record == UnreadableTable::Record::unfollowable;
    const bool recordPath = !known.recorded.location.empty();
    bool toldRecord = false;
    bool toldOtherNames = false;
    if (!known.copies.empty()) {
        question.offered = known.copies.front();
        const std::optional<std::filesystem::file_time_type> tableTime =
            DataFile(target, DataFile::kRead).getModificationTime();
        question.message =
            filled(strings::kOlderCopyQuestion,
                   {shown(question.offered.location), timeText(question.offered.time), timeText(tableTime)});
        for (auto copy = known.copies.begin() + 1; copy != known.copies.end(); ++copy)
            question.lines.push_back(
                filled(strings::kWholeCopyToo, {shown(copy->location), timeText(copy->time)}));
    } else if (!known.unopened.isEmpty()) {
        question.message = text(strings::kTableFile, strings::kUnreadableTable);
    } else if (unfollowable) {
        question.message = recordPath
                               ? filled(strings::kUnreachableCopyQuestion, {recordedAt, known.unfollowable})
                               : filled(strings::kUnreadRecordQuestion, {known.unfollowable});
        toldRecord = true;
    } else if (known.facts.copyMayLieElsewhere()) {
        question.message = text(strings::kTableFile, strings::kOtherNamesQuestion);
        toldOtherNames = true;
    } else {
        question.message = text(strings::kTableFile, strings::kUnreadableTable);
    }
    // A file this user may not open: the system's reason, and no word of a record no one could read.
    if (!known.unopened.isEmpty())
        question.lines.push_back(filled(strings::kSystemSaid, {known.unopened}));
    else if (unfollowable && !toldRecord)
        question.lines.push_back(recordPath
                                     ? filled(strings::kUnreachableCopyLine, {recordedAt, known.unfollowable})
                                     : filled(strings::kUnreadRecordQuestion, {known.unfollowable}));
    if (known.facts.copyMayLieElsewhere() && !toldOtherNames)
        question.lines.push_back(text(strings::kTableFile, strings::kOtherNamesLine));
    question.answers.push_back({cancel, Answer::cancel});
    if (!question.offered.location.empty()) question.answers.push_back({putBack, Answer::putBack});
    question.answers.push_back({newTable, Answer::newTable});
    return question;
}

// The answer to the question, the first as the default.
UnreadableTable::Answer ask(const Question& question, const String& detail) {
    const auto& answers = question.answers;
    const auto button = [&answers](std::size_t n) {
        return n < answers.size() ? answers[n].first : String();
    };
    const std::int16_t chosen =
        UnreadableTableAlert().ask(question.message, detail, button(0), button(1), button(2));
    if (chosen < 1 || static_cast<std::size_t>(chosen) > answers.size())
        return UnreadableTable::Answer::cancel;
    return answers[static_cast<std::size_t>(chosen) - 1].second;
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
    // What the system cannot look at may be a table, or one with other names: it is neither read nor
    // written, and only a name the system says is free takes the defaults.
    const auto unseen = [&stop](const String& path, int error) {
        return stop(filled(strings::kTableUnseen, {path}) + "\n" +
                    filled(strings::kSystemSaid, {String(std::strerror(error))}));
    };
    // Only a regular file is a table: a folder, pipe or device at its name, or where its link leads, is
    // neither read nor replaced; nor is a link that leads nowhere but round in a circle.
    const std::optional<tarnwick::FileLocation> target = file.followLinks();
    if (const int error = target ? 0 : linkFailure(); error != 0) return unseen(file.getPath(), error);
    if (!target) return stop(filled(strings::kLinkLoop, {file.getPath()}));
    const TableEntry entry = lookAtTableEntry(*target);
    const String targetPath(std::string_view(target->native()));
    if (entry.kind == TableEntry::Kind::unseen) return unseen(targetPath, entry.systemError);
    if (String why = whyNoTableAt(*target, entry, strings::kTableIsFolder, strings::kTableNotAFile);
        !why.isEmpty()) {
        if (*target != file.getLocation())
            why = filled(
                entry.kind == TableEntry::Kind::folder ? strings::kLinkToFolder : strings::kLinkToNonFile,
                {file.getPath(), targetPath});
        return stop(why);
    }
    // 2. None yet: the defaults, written at once under the same name (merged into one another run may
    // have written meanwhile). A save that fails was told, and the command goes on with them, but ends
    // as one that did not keep what it was to keep.
    if (entry.kind == TableEntry::Kind::none) {
        table.clear();
        table.setFileState(stateOf(table, std::nullopt, /*holdsBase=*/false));
        if (!saveTable(folder, baseName, table, text(strings::kTableFile, strings::kUsedButNotKept)))
            Host::noteFailure(host::kErrFile);
        return true;
    }
    // 3. Read. What cannot be read may be what another run is writing into the file at this moment: it is
    // read again in the table's turn, once that run is done. A turn that cannot be had leaves nothing
    // known of the file: that is said, and the command stops. One larger than any table is refused by its
    // size before it is read, and kept as it is: no copy of it is made and no default written over it.
    TableRead first;
    readTableFile(folder, name, first);
    TableRead second;
    TableRead* read = &first;
    if (!first.detail.isEmpty() && first.tooLarge == 0) {
        String why;
        const TableTurn turn = lockTable(folder, name, why);
        if (!turn.beside) return stop(why);
        readTableFile(folder, name, second);
        read = &second;
    }
    if (read->tooLarge != 0)
        return stop(read->detail + "\n" + text(strings::kTableFile, strings::kTooLargeKept));
    const std::string& bytes = read->bytes;
    String detail = read->detail;
    // 4. Read: the table takes it. Whatever the read left out stays in a copy of the file as it was,
    // made now, before any save can write the table without it.
    if (detail.isEmpty()) {
        if (!read->leftOut.empty()) {
            int error = 0;
            const String kept = keepCopy(folder, baseName, bytes, &error);
            if (kept.isEmpty()) {
                if (freeBackupName(folder, baseName).isEmpty()) {
                    showNoBackupName(folder, baseName);
                } else {
                    String why = filled(strings::kLeftOutNotKept, {folder.getPath()});
                    if (error != 0)
                        (why += "\n") += filled(strings::kSystemSaid, {String(std::strerror(error))});
                    tarnwick::ErrorAlert().show(why);
                }
                return false;
            }
            const String lines = toldLines(read->leftOut);
            host::debugOutput("Skellowing: " + std::string(lines.getView()));
            DetailedNotice().showWithDetail(filled(strings::kLeftOut, {kept}), lines);
        }
        // A copy recorded on a table that reads whole was left by a save that ended after its write: a
        // turn had now removes it, so that it is never offered over what the table holds now. A run that
        // has the turn is saving, and its record is its own.
        if (tarnwick::SafeFile::recordedCopy(*target, {}, std::string_view(bytes)).state !=
            tarnwick::SafeFile::RecordedCopy::State::none) {
            String ignored;
            lockTable(folder, name, ignored, std::chrono::milliseconds(0));
        }
        // A lock file beside the table goes with the next turn had, whether or not the run saves: one that
        // no run holds (left by a run that ended while saving, or by a power cut) is removed in it, by its
        // identity while held. One that another run holds is not waited for.
        if (tarnwick::identityAt(target->parent_path() /
                                 tarnwick::FileLocation(lockName(nameOf(*target)).getView()))) {
            String ignored;
            lockTable(folder, name, ignored, std::chrono::milliseconds(0));
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
    const Known known = knownOf(file.getLocation(), *target);
    const Question question = questionFor(known, folder, *target);
    for (const String& line : question.lines) (detail += "\n") += line;
    // An empty file holds nothing worth keeping, and is not kept.
    const bool keptAside = !(read->whole && bytes.empty());
    if (keptAside)
        (detail += "\n") += question.offered.location.empty() ? filled(strings::kKeptAsBackup, {backup})
                            : Directory(question.offered.location.parent_path()).compareLocation(folder)
                                ? filled(strings::kKeptIfPutBack, {backup})
                                : filled(strings::kKeptAtIfPutBack, {DataFile(folder, backup).getPath()});
    const UnreadableTable::Answer answer = ask(question, detail);
    if (answer == UnreadableTable::Answer::cancel) {
        tarnwick::NotifyAlert().show(messageText(strings::kMessages, strings::kReinstallTable));
        return false;
    }
    String why;
    // Moved aside only where the name is the file itself, which nothing else shares.
    const bool mayMove = !known.facts.severalNames && known.facts.record == UnreadableTable::Record::none &&
                         *target == file.getLocation();
    const SetAside aside =
        setAside(folder, name, read->whole ? std::optional<std::string_view>(bytes) : std::nullopt, mayMove,
                 backup, why);
    if (aside == SetAside::changed && !again) return loadFrom(folder, baseName, table, /*again=*/true);
    if (aside == SetAside::changed) return stop(filled(strings::kChangedAgain, {name}));
    if (aside != SetAside::done)
        return stop(why.isEmpty() ? filled(strings::kNoNewFile, {folder.getPath()}) : why);
    // What was set aside counts as seen: a link still names it, and the new table takes its place.
    const bool putBack = answer == UnreadableTable::Answer::putBack;
    if (putBack)
        table.assign(known.offered);
    else
        table.clear();
    table.setFileState(stateOf(table, read->whole ? std::optional<std::string_view>(bytes) : std::nullopt,
                               /*holdsBase=*/false));
    // The copy put back is the table now: once the file holds it, in the same turn, it goes, if it is still
    // the file offered; one whose read left anything out stays, and the user is told what. Until then it
    // is held, so that no clean-up takes it for a dead run's.
    const Copy offered = question.offered;
    DataFile held(offered.location, DataFile::kRead);
    if (putBack && held.open()) held.holdLock();
    if (putBack && !known.offeredLeftOut.empty()) {
        const String lines = toldLines(known.offeredLeftOut);
        host::debugOutput("Skellowing: " + std::string(lines.getView()));
        DetailedNotice().showWithDetail(filled(strings::kLeftOut, {shownFrom(folder, offered.location)}),
                                        lines);
    }
    const bool saved = saveTable(folder, baseName, table, String(), [&](std::string_view written) {
        if (putBack && known.offeredLeftOut.empty() && tableHoldsEveryRowOfFile(written, offered.location))
            tarnwick::removeIfStill(offered.location, offered.identity);
    });
    if (!saved) Host::noteFailure(host::kErrFile);
    return true;
}

}   // namespace

bool loadObjectMap(ObjectMap& table) {
    // 1. Where it is. A data folder that cannot be had, or that takes no new file (so that no table the
    // user edits could be kept), stops the command, which must not look done.
    std::unique_ptr<Directory> folder;
    String baseName;
    errno = 0;
    getObjectMapLocation(folder, baseName, /*withExtension=*/false);
    const int unmade = folder ? 0 : errno;   // why the folder could not be made, where it could not
    const bool named = !withExtension(baseName).isEmpty();   // a name of dots alone names no file
    if (!folder || (named && !folder->takesNewFiles())) {
        const int error = folder ? errno : 0;
        const auto* const addon = dynamic_cast<const SkellowingAddon*>(tarnwick::Addon::getInstance());
        const String path = addon ? addon->getDataFolderPath() : String();
        String why = filled(strings::kNoDataFolder, {path});
        // The system's reason: why no file could be made there, or why the folder could not be had.
        int reason = error != 0 ? error : whyNoFolderAt(path);
        if (reason == ENOENT && unmade != 0) reason = unmade;
        if (reason != 0) (why += "\n") += filled(strings::kSystemSaid, {String(std::strerror(reason))});
        tarnwick::ErrorAlert().show(why);
        return false;
    }
    if (!named) {   // without its name (the host could not give it) no file is touched
        tarnwick::ErrorAlert().show(messageText(strings::kTableFile, strings::kNoLocation));
        return false;
    }
    return loadFrom(*folder, baseName, table, /*again=*/false);
}

bool saveObjectMap(ObjectMap& table) {
    std::unique_ptr<Directory> folder;
    String name;
    getObjectMapLocation(folder, name, /*withExtension=*/false);
    // The run goes on with the table all the same: the user should know the edits will not last.
    const String after = text(strings::kTableFile, strings::kUsedButNotKept);
    if (!folder || withExtension(name).isEmpty()) {
        showUnwritable(text(strings::kTableFile, strings::kNoLocation), after);
        return false;
    }
    return saveTable(*folder, name, table, after);
}

}   // namespace skellow
