#include "Skellowing/ObjectMapFile.h"

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <HostDebug.h>
#include <HostText.h>

#include "Environment/Addon.h"
#include "Environment/Host.h"
#include "Foundation/DataBufferIn.h"
#include "Foundation/DataBufferOut.h"
#include "Foundation/DataFile.h"
#include "Foundation/XMLReader.h"
#include "Foundation/XMLTypeProxy.h"
#include "Foundation/XMLWriter.h"
#include "Interface/ConfirmAlert.h"
#include "Interface/ErrorAlert.h"
#include "Interface/NotifyAlert.h"
#include "Skellowing/ObjectMap.h"
#include "Skellowing/SkellowingAddon.h"
#include "Skellowing/SkellowingStrings.h"
#include "Skellowing/XMLParameter.h"

namespace skellow {
namespace {

using tarnwick::DataFile;
using tarnwick::Directory;
using tarnwick::Host;
using tarnwick::String;

constexpr const char* kExtension = "xml";
constexpr const char* kPartialExtension = "partial";   // the new file while it is written
constexpr int kMostBackups = 100;
constexpr std::size_t kReadChunk = 65536;

String text(std::int16_t list, std::int32_t item) { return Host::getString(list, item); }

// A text of the table file's list, its "$1", "$2", ... given in order.
String filled(std::int32_t item, std::initializer_list<String> values) {
    String result = text(strings::kTableFile, item);
    int n = 0;
    for (const String& value : values) result.replaceAll(String(("$" + std::to_string(++n)).c_str()), value);
    return result;
}

// The question about an unreadable file, with the reason and the backup's name below it.
class UnreadableTableAlert : public tarnwick::ConfirmAlert {
public:
    std::int16_t ask(const String& message, const String& detail) const {
        return showAlert(message, detail, Host::getString(kFrameworkStrings, kOkItem),
                         Host::getString(kFrameworkStrings, kCancelItem), String());
    }
};

// A notification with the details below it.
class DetailedNotice : public tarnwick::NotifyAlert {
public:
    void show(const String& message, const String& detail) const {
        showAlert(message, detail, Host::getString(kFrameworkStrings, kOkItem), String(), String());
    }
};

String readFault(const String& fileName, const tarnwick::XMLReader& reader) {
    return filled(strings::kReadFaultAt,
                  {fileName, String(static_cast<std::uint64_t>(reader.errorLine())),
                   String(static_cast<std::uint64_t>(reader.errorColumn())),
                   text(strings::kReadFaults, static_cast<std::int32_t>(reader.error()))});
}

String withExtension(const String& name) {
    String fileName = name;
    (fileName += ".") += kExtension;
    return fileName;
}

// "ObjectMap backup.xml", "ObjectMap backup 2.xml", ...
String backupName(const String& baseName, int n) {
    String name = baseName;
    name += " backup";
    if (n > 1) (name += " ") += String(static_cast<std::int32_t>(n));
    return withExtension(name);
}

// "ObjectMap.xml.partial", "ObjectMap.xml.partial 2", ...
String partialName(const String& fileName, int n) {
    String name = fileName;
    (name += ".") += kPartialExtension;
    if (n > 1) (name += " ") += String(static_cast<std::int32_t>(n));
    return name;
}

// A name beside the file that no entry has yet. Empty when all are taken.
String freeBackupName(const Directory& folder, const String& baseName) {
    for (int n = 1; n <= kMostBackups; ++n) {
        const String candidate = backupName(baseName, n);
        if (!DataFile(folder, candidate).exists() && !Directory(folder, candidate).exists()) return candidate;
    }
    return String();
}

// The whole file as it is on disk; false when it cannot be read to its end.
bool readAll(DataFile& file, std::string& bytes) {
    if (!file.open()) return false;
    std::vector<char> chunk(kReadChunk);
    for (;;) {
        const std::optional<std::size_t> got = file.readSome(chunk.data(), chunk.size());
        if (!got) return false;
        if (*got == 0) return true;
        bytes.append(chunk.data(), *got);
    }
}

// --- Writing ---------------------------------------------------------------------------------------
// The file being written, deleted however the write ends unless it took the table's place.
class PartialFile {
public:
    explicit PartialFile(std::unique_ptr<DataFile> file) : file_(std::move(file)) {}
    ~PartialFile() {
        if (file_) file_->remove();
    }
    PartialFile(const PartialFile&) = delete;
    PartialFile& operator=(const PartialFile&) = delete;

    DataFile& operator*() const { return *file_; }
    bool made() const { return file_ != nullptr; }
    void keep() { file_.reset(); }

private:
    std::unique_ptr<DataFile> file_;
};

// The whole table into a new file beside "ObjectMap.xml", which then takes its place in one step. Empty
// when written; otherwise why not, and the old file is as it was.
String writeTable(const Directory& folder, const String& name, ObjectMap& table) {
    const String fileName = withExtension(name);
    // A table the user made read-only is theirs to keep as it is.
    if (DataFile(folder, fileName, DataFile::kRead).isReadOnly())
        return filled(strings::kReadOnlyTable, {fileName});
    // Made where no entry was: never a file or link someone put in its way.
    std::unique_ptr<DataFile> made = DataFile::createNew(
        folder, [&fileName](int n) { return partialName(fileName, n); }, kMostBackups);
    if (!made) return filled(strings::kNoNewFile, {folder.getPath()});
    PartialFile file(std::move(made));
    tarnwick::DataBufferOut out;
    if (!out.open(*file)) return filled(strings::kCutShort, {fileName});
    const bool written = tarnwick::XMLWriter(out).write(table, /*declaration=*/true, /*lineBreaks=*/true,
                                                        /*indentation=*/true);
    const bool flushed = out.close();
    if (!(*file).close() || !flushed) return filled(strings::kCutShort, {fileName});
    if (!written) return text(strings::kTableFile, strings::kTextNotKept);
    if (!(*file).renameOver(fileName)) return filled(strings::kNotReplaced, {fileName});
    file.keep();
    return String();
}

void showUnwritable(const String& why) {
    DetailedNotice().show(text(strings::kTableFile, strings::kUnwritableTable), why);
}

// The table under the name given (the one the caller read), with the alert when it cannot be written.
bool saveTable(const Directory& folder, const String& name, ObjectMap& table) {
    const String why = writeTable(folder, name, table);
    if (why.isEmpty()) return true;
    host::debugOutput("Skellowing: " + std::string(why.getView()));
    showUnwritable(why);
    return false;
}

// --- What a read left out ----------------------------------------------------------------------------
String kindText(ObjectMapType kind) {
    for (const auto& entry : tarnwick::XMLTypeProxy<ObjectMapType>::enumTexts())
        if (entry.value == kind) return String(entry.text);
    return String();
}

String whyLeftOut(const XMLParameter& parameter) {
    switch (parameter.check()) {
        case XMLParameter::Fault::noName:
            return text(strings::kTableFile, strings::kNoParameterName);
        case XMLParameter::Fault::badColumns:
            return text(strings::kTableFile, strings::kBadColumnCount);
        case XMLParameter::Fault::noValue:
            return text(strings::kTableFile, strings::kNoParameterValue);
        case XMLParameter::Fault::rowsUnfilled:
            return filled(strings::kRowsUnfilled,
                          {String(static_cast<std::uint64_t>(parameter.getValueCount())),
                           String(parameter.getColumnCount())});
        case XMLParameter::Fault::unknownType:
        case XMLParameter::Fault::none:
            break;
    }
    return filled(strings::kUnknownParameterType, {parameter.getTypeText()});
}

// Bytes the reader takes as UTF-8 but that are not: each becomes another character. A byte-order mark
// of UTF-16 or a declared single-byte encoding makes every byte a character of its own.
bool changesBytes(std::string_view bytes) {
    if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) return false;
    if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
    if (bytes.starts_with("<?xml")) {
        const std::string_view declaration = bytes.substr(0, bytes.find("?>"));
        if (const std::size_t at = declaration.find("encoding"); at != std::string_view::npos) {
            std::string value(declaration.substr(at));
            const std::size_t open = value.find_first_of("\"'");
            const std::size_t close = open == std::string::npos ? open : value.find(value[open], open + 1);
            if (close != std::string::npos) {
                value = host::toLowerText(value.substr(open + 1, close - open - 1));
                if (value != "utf-8" && value != "utf8" && value != "us-ascii" && value != "ascii")
                    return false;
            }
        }
    }
    if (std::none_of(bytes.begin(), bytes.end(), [](char c) { return (c & 0x80) != 0; })) return false;
    return host::utf16ToUtf8(host::utf8ToUtf16(bytes)) != bytes;
}

// One line for each thing the read left out or changed, in file order. A configuration whose name and
// kind an earlier one has is dropped here: every lookup finds the first, so it could only mislead.
std::vector<String> whatWasLeftOut(ObjectMap& read, std::string_view bytes) {
    std::vector<String> lines;
    for (std::size_t i = 0; i < read.size(); ++i) {
        const SpecificationList& list = read.at(i);
        for (std::size_t s = 0; s < list.size(); ++s)
            for (const XMLParameter& parameter : list.at(s).getSkippedParameters())
                lines.push_back(
                    filled(strings::kParameterLeftOut, {list.at(s).getOriginalName(), list.getName(),
                                                        parameter.getName(), whyLeftOut(parameter)}));
    }
    std::set<std::pair<ObjectMapType, std::string>> seen;
    for (std::size_t i = 0; i < read.size();) {
        const SpecificationList& list = read.at(i);
        if (!seen.emplace(list.getKind(), std::string(list.getName().getView())).second) {
            lines.push_back(
                filled(strings::kDuplicateConfiguration, {list.getName(), kindText(list.getKind())}));
            read.removeItem(i);
        } else {
            ++i;
        }
    }
    if (changesBytes(bytes)) lines.push_back(text(strings::kTableFile, strings::kNotUtf8));
    return lines;
}

// The file as it was, beside it: a backup that already holds exactly these bytes, or a new one. Its
// name; empty when none could be made.
String keepCopy(const Directory& folder, const String& baseName, std::string_view bytes) {
    for (int n = 1; n <= kMostBackups; ++n) {
        DataFile backup(folder, backupName(baseName, n), DataFile::kRead);
        std::string held;
        if (backup.getSize() == bytes.size() && readAll(backup, held) && held == bytes)
            return backup.getName();
    }
    std::unique_ptr<DataFile> made = DataFile::createNew(
        folder, [&baseName](int n) { return backupName(baseName, n); }, kMostBackups);
    if (!made) return String();
    PartialFile copy(std::move(made));
    if (!(*copy).write(bytes.data(), bytes.size()) || !(*copy).close()) return String();
    const String name = (*copy).getName();
    copy.keep();
    return name;
}

}   // namespace

void getObjectMapLocation(std::unique_ptr<Directory>& folder, String& name, bool withExtension) {
    name = text(strings::kAddon, strings::kTableFileName);
    if (withExtension) (name += ".") += kExtension;
    const tarnwick::Addon* const addon = tarnwick::Addon::getInstance();
    folder = addon ? addon->getPreferencesFolder() : nullptr;
}

bool loadObjectMap(ObjectMap& table) {
    // 1. Where it is. A data folder that cannot be had, or that takes no new file (so that no table the
    // user edits could be kept), stops the command, which must not look done.
    std::unique_ptr<Directory> folder;
    String baseName;
    getObjectMapLocation(folder, baseName, /*withExtension=*/false);
    const auto takesFiles = [&] {
        const String fileName = withExtension(baseName);
        return PartialFile(DataFile::createNew(
                   *folder, [&fileName](int n) { return partialName(fileName, n); }, kMostBackups))
            .made();
    };
    if (!folder || (!baseName.isEmpty() && !takesFiles())) {
        const auto* const addon = dynamic_cast<const SkellowingAddon*>(tarnwick::Addon::getInstance());
        tarnwick::ErrorAlert().show(
            filled(strings::kNoDataFolder, {addon ? addon->getDataFolderPath() : String()}));
        return false;
    }
    if (baseName.isEmpty())
        return false;   // without its name (the host could not give it) no file is touched
    const String name = withExtension(baseName);
    // 2. None yet: the defaults, written at once under the same name.
    DataFile file(*folder, name, DataFile::kRead);
    if (!file.exists()) {
        table.clear();
        saveTable(*folder, baseName, table);
        return true;
    }
    // 3. Read into a table of its own, so that a read that stops half-way leaves nothing behind.
    ObjectMap read;
    String detail;
    std::string bytes;
    if (!readAll(file, bytes)) {
        detail = filled(
            strings::kFileUnread,
            {name, text(strings::kReadFaults, static_cast<std::int32_t>(tarnwick::XMLError::inputFailed))});
    } else {
        tarnwick::DataBufferIn in{std::string_view(bytes)};
        tarnwick::XMLReader reader(in);
        if (!reader.read(read)) detail = readFault(name, reader);
    }
    file.close();
    // 4. Read: the table takes it. Whatever the read left out stays in a copy of the file as it was,
    // made now, before any save can write the table without it.
    if (detail.isEmpty()) {
        const std::vector<String> leftOut = whatWasLeftOut(read, bytes);
        if (!leftOut.empty()) {
            const String kept = keepCopy(*folder, baseName, bytes);
            if (kept.isEmpty()) {
                showUnwritable(filled(strings::kNoNewFile, {folder->getPath()}));
                return false;
            }
            String lines;
            for (const String& line : leftOut) (lines += lines.isEmpty() ? "" : "\n") += line;
            host::debugOutput("Skellowing: " + std::string(lines.getView()));
            DetailedNotice().show(filled(strings::kLeftOut, {kept}), lines);
        }
        read.ensureDefaults();   // also after a read that never reached the table's end tag
        table.assign(read);
        return true;
    }
    // 5. Unreadable: a new table only when the user wants one, and the old file kept beside it.
    const String backup = freeBackupName(*folder, baseName);
    if (!backup.isEmpty()) (detail += "\n") += filled(strings::kKeptAsBackup, {backup});
    host::debugOutput("Skellowing: " + std::string(detail.getView()));
    if (UnreadableTableAlert().ask(text(strings::kTableFile, strings::kUnreadableTable), detail) != 1) {
        tarnwick::NotifyAlert().show(text(strings::kMessages, strings::kReinstallTable));
        return false;
    }
    if (backup.isEmpty() || !file.rename(backup)) {
        showUnwritable(filled(strings::kNoNewFile, {folder->getPath()}));
        return false;
    }
    table.clear();
    saveTable(*folder, baseName, table);
    return true;
}

bool saveObjectMap(ObjectMap& table) {
    std::unique_ptr<Directory> folder;
    String name;
    getObjectMapLocation(folder, name, /*withExtension=*/false);
    if (!folder || name.isEmpty()) return false;
    return saveTable(*folder, name, table);
}

}   // namespace skellow
