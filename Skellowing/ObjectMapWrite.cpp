#include "Skellowing/ObjectMapWrite.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>

#include <sys/stat.h>

#include "Foundation/DataBufferOut.h"
#include "Foundation/DataFile.h"
#include "Foundation/FileSystemCalls.h"
#include "Foundation/SafeFile.h"
#include "Foundation/XMLWriter.h"
#include "Skellowing/ObjectMap.h"
#include "Skellowing/ObjectMapFileNames.h"
#include "Skellowing/ObjectMapReadCheck.h"
#include "Skellowing/ObjectMapTexts.h"
#include "Skellowing/SkellowingStrings.h"

namespace skellow {
namespace {

using tarnwick::DataFile;
using tarnwick::Directory;
using tarnwick::SafeFile;
using tarnwick::String;

// The permissions are worth checking only when the system refused this user.
bool deniedBy(int error) { return error == EACCES || error == EPERM || error == EROFS; }

// "Could not be written to its end", with the full disk named only where the system said so.
String cutShort(const String& fileName, int error) {
    const bool full = error == ENOSPC || error == EDQUOT || error == EFBIG;
    return filled(full ? strings::kCutShort : strings::kNotWrittenToEnd, {fileName});
}

// why, with the system's reason below it.
Unwritten failure(String why, int error) {
    (why += "\n") += filled(strings::kSystemSaid, {String(std::strerror(error))});
    return {why, deniedBy(error) ? strings::kUnwritableTable : strings::kCannotWrite};
}

// A failure after which the file holds the new table all the same: not headed as a file that cannot be
// written.
Unwritten holdingNew(Unwritten told) {
    told.heading = strings::kSavedNotFinished;
    told.holdsNew = true;
    return told;
}

}   // namespace

bool tableText(ObjectMap& table, String& xml, String& why, std::size_t sizeHint) {
    // Room for what the text is likely to take, so that it is not moved again and again as it grows.
    if (sizeHint > 0 && sizeHint < UINT32_MAX / 2)
        xml.reserveBytes(static_cast<std::uint32_t>(sizeHint + sizeHint / 8 + 4096));
    tarnwick::DataBufferOut out;
    out.open(xml);
    tarnwick::XMLWriter writer(out);
    const bool written = writer.write(table, /*declaration=*/true, /*lineBreaks=*/true, /*indentation=*/true);
    if (out.close() && written) return true;
    why = text(strings::kTableFile, writer.stoppedAtText() ? strings::kTextNotKept : strings::kNoTextMemory);
    return false;
}

TableEntry lookAtTableEntry(const tarnwick::FileLocation& location) {
    using Kind = TableEntry::Kind;
    TableEntry entry;
    struct stat info {};
    if (!tarnwick::sys::lookAtEntry(location.c_str(), info)) {
        // Only "no such entry" means that nothing is there: any other failure tells nothing of it.
        if (errno != ENOENT) {
            entry.kind = Kind::unseen;
            entry.systemError = errno;
        }
        return entry;
    }
    entry.kind = S_ISREG(info.st_mode) ? Kind::file : S_ISDIR(info.st_mode) ? Kind::folder : Kind::other;
    return entry;
}

int linkFailure() { return errno == ELOOP || errno == ENOENT ? 0 : errno; }

Unwritten unseenTable(const String& path, int systemError) {
    return failure(filled(strings::kSaveUnseen, {path}), systemError);
}

String whyNoTableAt(const tarnwick::FileLocation& location, const TableEntry& entry, std::int32_t folderText,
                    std::int32_t otherText) {
    if (entry.kind != TableEntry::Kind::folder && entry.kind != TableEntry::Kind::other) return String();
    return filled(entry.kind == TableEntry::Kind::folder ? folderText : otherText,
                  {String(std::string_view(location.native()))});
}

Unwritten writeTable(const Directory& folder, const String& name, std::string_view text) {
    const String fileName = withExtension(name);
    const DataFile file(folder, fileName, DataFile::kRead);
    const std::optional<tarnwick::FileLocation> target = file.followLinks();
    if (const int error = target ? 0 : linkFailure(); error != 0) return unseenTable(file.getPath(), error);
    if (!target) return {filled(strings::kLinkLeadsNowhere, {fileName}), strings::kUnwritableTable};
    // What cannot be looked at may be a file with other names, which a new file in its place would split.
    const TableEntry entry = lookAtTableEntry(*target);
    if (entry.kind == TableEntry::Kind::unseen)
        return unseenTable(String(std::string_view(target->native())), entry.systemError);
    if (String why = whyNoTableAt(*target, entry, strings::kSaveIntoFolder, strings::kSaveOverNonFile);
        !why.isEmpty())
        return {why, strings::kUnwritableTable};
    // A table the user made read-only is theirs to keep as it is.
    if (DataFile(*target, DataFile::kRead).isReadOnly())
        return {filled(strings::kReadOnlyTable, {fileName}), strings::kUnwritableTable};
    const String base = baseOf(nameOf(*target));
    const SafeFile::Outcome outcome = SafeFile::save(
        *target, text, [&base](int n) { return backupName(base, n); }, kMostBackups);
    const Directory targetFolder(target->parent_path());
    const int error = outcome.systemError;
    const String copy(std::string_view(outcome.copy.native()));
    switch (outcome.result) {
        case SafeFile::Result::written: {
            Unwritten written;
            written.digest = outcome.digest;
            return written;
        }
        case SafeFile::Result::noNewFile:
            return failure(filled(strings::kNoNewFile, {targetFolder.getPath()}), error);
        case SafeFile::Result::cutShort:
            return failure(cutShort(fileName, error), error);
        case SafeFile::Result::notReplaced:
        case SafeFile::Result::namesTaken:
        case SafeFile::Result::notOwned:
            return failure(filled(strings::kNotReplaced, {fileName}), error);
        case SafeFile::Result::folderNotFlushed:
            return holdingNew(failure(filled(strings::kFolderNotFlushed, {fileName}), error));
        case SafeFile::Result::unread:
            return failure(unreadFault(fileName), error);
        case SafeFile::Result::copyNotKept:
            return failure(filled(strings::kCopyNotKept, {fileName}), error);
        case SafeFile::Result::notRecorded:
            return failure(filled(strings::kCopyNotRecorded, {fileName}), error);
        case SafeFile::Result::copyNamesTaken:
            return {filled(strings::kNoCopyName, {withExtension(base), backupName(base, 1),
                                                  backupName(base, kMostBackups), targetFolder.getPath()}),
                    strings::kCannotWrite};
        // A file that held nothing got no copy: there is none to name.
        case SafeFile::Result::notPutBack: {
            String why = cutShort(fileName, error);
            (why += "\n") += outcome.copy.empty() ? filled(strings::kEmptyNotPutBack, {fileName})
                                                  : filled(strings::kOldContentKept, {fileName, copy});
            return failure(why, error);
        }
        case SafeFile::Result::notFlushed: {
            Unwritten told = holdingNew(failure(outcome.copy.empty()
                                                    ? filled(strings::kEmptyNotFlushed, {fileName})
                                                    : filled(strings::kWrittenNotFlushed, {fileName, copy}),
                                                error));
            told.digest = outcome.digest;
            return told;
        }
        case SafeFile::Result::displaced:
            return holdingNew(failure(filled(strings::kOtherSaveKept, {fileName, copy}), error));
    }
    return failure(filled(strings::kNotReplaced, {fileName}), error);
}

String copyBeside(const Directory& folder, const String& tableName, const std::function<String(int)>& nameFor,
                  int tries, const tarnwick::FileLocation& like, std::string_view bytes, int* systemError) {
    const SafeFile::Outcome outcome = SafeFile::writeNew(folder, tableName, nameFor, tries, bytes, &like);
    if (systemError) *systemError = outcome.systemError;
    // A copy whose folder could not be flushed is made all the same: its name holds the whole file.
    const bool made = outcome.done() || outcome.result == SafeFile::Result::folderNotFlushed;
    return made ? String(std::string_view(outcome.file.filename().native())) : String();
}

String keepCopy(const Directory& folder, const String& baseName, std::string_view bytes, int* systemError) {
    for (int n = 1; n <= kMostBackups; ++n) {
        DataFile backup(folder, backupName(baseName, n), DataFile::kRead);
        std::string held;
        if (backup.getSize() == bytes.size() && backup.readToEnd(held) && held == bytes)
            return backup.getName();
    }
    const String fileName = withExtension(baseName);
    return copyBeside(
        folder, fileName, [&baseName](int n) { return backupName(baseName, n); }, kMostBackups,
        DataFile(folder, fileName).getLocation(), bytes, systemError);
}

}   // namespace skellow
