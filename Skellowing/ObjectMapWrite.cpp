#include "Skellowing/ObjectMapWrite.h"

#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <utility>

#include "Foundation/DataBufferOut.h"
#include "Foundation/XMLWriter.h"
#include "Skellowing/ObjectMap.h"
#include "Skellowing/ObjectMapFileNames.h"
#include "Skellowing/ObjectMapReadCheck.h"
#include "Skellowing/ObjectMapTexts.h"
#include "Skellowing/SkellowingStrings.h"

namespace skellow {

using tarnwick::DataFile;
using tarnwick::Directory;
using tarnwick::String;

bool writeWhole(DataFile& file, std::string_view bytes) {
    return file.write(bytes.data(), bytes.size()) && file.flush() && file.close();
}

bool tableText(ObjectMap& table, String& text) {
    tarnwick::DataBufferOut out;
    out.open(text);
    const bool written = tarnwick::XMLWriter(out).write(table, /*declaration=*/true, /*lineBreaks=*/true,
                                                        /*indentation=*/true);
    return out.close() && written;
}

String whyNoTableAt(const tarnwick::FileLocation& location, std::int32_t folderText, std::int32_t otherText) {
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::symlink_status(location, error);
    if (error || status.type() == std::filesystem::file_type::not_found ||
        status.type() == std::filesystem::file_type::regular)
        return String();
    const String path(std::string_view(location.native()));
    return filled(status.type() == std::filesystem::file_type::directory ? folderText : otherText, {path});
}

namespace {

// bytes in a new file beside the table's, on the disk, under the first free name of the backup series:
// written whole under a passing name first, so that a run stopped half-way leaves no cut copy under a
// name the next load looks at. Its name, or empty with why not.
String keepOnDisk(const Directory& folder, const String& tableName, const tarnwick::FileLocation& like,
                  std::string_view bytes, String& why) {
    PartialFile copy(DataFile::createNew(
        folder, [&tableName](int n) { return partialName(tableName, n); }, kMostBackups));
    if (!copy.made()) {
        why = filled(strings::kNoNewFile, {folder.getPath()});
        return String();
    }
    if (!(*copy).takePermissionsOf(like) || !writeWhole(*copy, bytes)) {
        why = filled(strings::kCutShort, {(*copy).getName()});
        return String();
    }
    const String base = baseOf(tableName);
    for (int n = 1; n <= kMostBackups; ++n) {
        if ((*copy).rename(backupName(base, n))) {
            const String name = (*copy).getName();
            copy.keep();
            folder.flush();
            return name;
        }
    }
    why = freeBackupName(folder, base).isEmpty()
              ? filled(strings::kNoCopyName, {withExtension(base), backupName(base, 1),
                                              backupName(base, kMostBackups), folder.getPath()})
              : filled(strings::kNoNewFile, {folder.getPath()});
    return String();
}

// What a file held, put back into it however its write ends, an exception too, unless the write was
// done. Only system calls on what is already in memory: nothing here can throw.
class PutBack {
public:
    PutBack(DataFile& file, std::string_view held) : file_(file), held_(held) {}
    ~PutBack() {
        if (armed_) restore();
    }
    PutBack(const PutBack&) = delete;
    PutBack& operator=(const PutBack&) = delete;

    void dismiss() { armed_ = false; }
    bool restore() {
        armed_ = false;
        return file_.open() && file_.setDataLength(0) && writeWhole(file_, held_);
    }

private:
    DataFile& file_;
    std::string_view held_;
    bool armed_ = true;
};

// The table written into the table's file itself, so that every name it has (hard links), its owner
// and group, and its extended attributes (an access list that shares it) stay as they are. What it held
// is on the disk under a backup name before the file is emptied, so that neither a failed write nor a
// run stopped in the middle loses it: a failed write puts it back, and should that fail too, or the run
// stop, the next load finds the copy and offers it. Empty when written; otherwise why not.
String writeInPlace(const tarnwick::FileLocation& target, const String& fileName, std::string_view text) {
    DataFile file(target, DataFile::kReadWrite, /*create=*/true);   // never through a link put there since
    std::string before;
    if (!readAll(file, before)) return unreadFault(fileName);
    const Directory folder(target.parent_path());
    String why;
    const String copy = keepOnDisk(folder, nameOf(target), target, before, why);
    if (copy.isEmpty()) return why;
    const auto dropCopy = [&folder, &copy] { DataFile(folder, copy).remove(); };
    PutBack putBack(file, before);
    if (file.setDataLength(0) && writeWhole(file, text)) {
        putBack.dismiss();
        dropCopy();
        return String();
    }
    if (putBack.restore()) {
        dropCopy();
        return filled(strings::kCutShort, {fileName});
    }
    why = filled(strings::kCutShort, {fileName});
    (why += "\n") += filled(strings::kOldContentKept, {fileName, DataFile(folder, copy).getPath()});
    return why;
}

}   // namespace

String writeTable(const Directory& folder, const String& name, std::string_view text) {
    const String fileName = withExtension(name);
    const std::optional<tarnwick::FileLocation> target =
        DataFile(folder, fileName, DataFile::kRead).followLinks();
    if (!target) return filled(strings::kLinkLeadsNowhere, {fileName});
    if (String why = whyNoTableAt(*target, strings::kSaveIntoFolder, strings::kSaveOverNonFile);
        !why.isEmpty())
        return why;
    // A table the user made read-only is theirs to keep as it is.
    const DataFile old(*target, DataFile::kRead);
    if (old.isReadOnly()) return filled(strings::kReadOnlyTable, {fileName});
    const Directory targetFolder(target->parent_path());
    const String targetName = nameOf(*target);
    // Made where no entry was: never a file or link someone put in its way.
    std::unique_ptr<DataFile> made = DataFile::createNew(
        targetFolder, [&targetName](int n) { return partialName(targetName, n); }, kMostBackups);
    if (!made) return filled(strings::kNoNewFile, {targetFolder.getPath()});
    PartialFile file(std::move(made));
    if (old.exists() && (old.getLinkCount().value_or(1) > 1 || old.hasExtendedAttributes() ||
                         !(*file).takeOwnerOf(*target))) {
        (*file).remove();
        file.keep();
        return writeInPlace(*target, fileName, text);
    }
    if (!(*file).takePermissionsOf(*target)) return filled(strings::kNotReplaced, {fileName});
    // On the disk before it takes the name: after a power cut the name holds the old table or the new one.
    if (!writeWhole(*file, text)) return filled(strings::kCutShort, {fileName});
    if (!(*file).renameOver(targetName)) return filled(strings::kNotReplaced, {fileName});
    file.keep();
    targetFolder.flush();
    return String();
}

String copyBeside(const Directory& folder, const std::function<String(int)>& nameFor, int tries,
                  const tarnwick::FileLocation& like, std::string_view bytes) {
    PartialFile copy(DataFile::createNew(folder, nameFor, tries));
    if (!copy.made() || !(*copy).takePermissionsOf(like) || !writeWhole(*copy, bytes)) return String();
    const String name = (*copy).getName();
    copy.keep();
    return name;
}

String keepCopy(const Directory& folder, const String& baseName, std::string_view bytes) {
    for (int n = 1; n <= kMostBackups; ++n) {
        DataFile backup(folder, backupName(baseName, n), DataFile::kRead);
        std::string held;
        if (backup.getSize() == bytes.size() && readAll(backup, held) && held == bytes)
            return backup.getName();
    }
    return copyBeside(
        folder, [&baseName](int n) { return backupName(baseName, n); }, kMostBackups,
        DataFile(folder, withExtension(baseName)).getLocation(), bytes);
}

}   // namespace skellow
