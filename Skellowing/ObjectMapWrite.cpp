#include "Skellowing/ObjectMapWrite.h"

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>

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

String whyNoTableAt(const tarnwick::FileLocation& location, std::int32_t folderText, std::int32_t otherText) {
    struct stat info {};
    // What cannot be looked at may be anything: its reason, never a free name.
    if (!tarnwick::sys::lookAtEntry(location.c_str(), info))
        return errno == ENOENT ? String() : filled(strings::kSystemSaid, {String(std::strerror(errno))});
    if (S_ISREG(info.st_mode)) return String();
    const String path(std::string_view(location.native()));
    return filled(S_ISDIR(info.st_mode) ? folderText : otherText, {path});
}

Unwritten writeTable(const Directory& folder, const String& name, std::string_view text) {
    const String fileName = withExtension(name);
    const std::optional<tarnwick::FileLocation> target =
        DataFile(folder, fileName, DataFile::kRead).followLinks();
    if (!target)
        return {errno == ELOOP || errno == ENOENT
                    ? filled(strings::kLinkLeadsNowhere, {fileName})
                    : filled(strings::kSystemSaid, {String(std::strerror(errno))}),
                strings::kUnwritableTable};
    if (String why = whyNoTableAt(*target, strings::kSaveIntoFolder, strings::kSaveOverNonFile);
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
    switch (outcome.result) {
        case SafeFile::Result::written:
            return {};
        case SafeFile::Result::noNewFile:
            return failure(filled(strings::kNoNewFile, {targetFolder.getPath()}), error);
        case SafeFile::Result::cutShort:
            return failure(cutShort(fileName, error), error);
        case SafeFile::Result::notReplaced:
        case SafeFile::Result::namesTaken:
        case SafeFile::Result::notOwned:
            return failure(filled(strings::kNotReplaced, {fileName}), error);
        case SafeFile::Result::folderNotFlushed: {
            Unwritten told = failure(filled(strings::kFolderNotFlushed, {fileName}), error);
            told.holdsNew = true;
            return told;
        }
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
        case SafeFile::Result::notPutBack: {
            String why = cutShort(fileName, error);
            (why += "\n") +=
                filled(strings::kOldContentKept, {fileName, String(std::string_view(outcome.copy.native()))});
            return failure(why, error);
        }
        case SafeFile::Result::notFlushed: {
            Unwritten told = failure(filled(strings::kWrittenNotFlushed,
                                            {fileName, String(std::string_view(outcome.copy.native()))}),
                                     error);
            told.holdsNew = true;
            return told;
        }
        case SafeFile::Result::displaced: {
            Unwritten told = failure(
                filled(strings::kOtherSaveKept, {fileName, String(std::string_view(outcome.copy.native()))}),
                error);
            told.holdsNew = true;
            return told;
        }
    }
    return failure(filled(strings::kNotReplaced, {fileName}), error);
}

String copyBeside(const Directory& folder, const String& tableName, const std::function<String(int)>& nameFor,
                  int tries, const tarnwick::FileLocation& like, std::string_view bytes, int* systemError) {
    const SafeFile::Outcome outcome = SafeFile::writeNew(folder, tableName, nameFor, tries, bytes, &like);
    if (systemError) *systemError = outcome.systemError;
    return outcome.done() ? String(std::string_view(outcome.file.filename().native())) : String();
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
