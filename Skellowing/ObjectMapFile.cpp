#include "Skellowing/ObjectMapFile.h"

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <map>
#include <optional>
#include <set>
#include <span>
#include <string>
#include <string_view>
#include <system_error>
#include <tuple>
#include <utility>
#include <vector>

#include <HostDebug.h>
#include <HostText.h>

#include "Environment/Addon.h"
#include "Environment/Host.h"
#include "Foundation/DataBufferIn.h"
#include "Foundation/DataBufferOut.h"
#include "Foundation/DataFile.h"
#include "Foundation/FileLock.h"
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
constexpr const char* kLockExtension = "lock";         // beside the table while a run saves it
constexpr int kMostBackups = 100;
constexpr std::size_t kReadChunk = 65536;
constexpr std::size_t kMostLinesTold = 50;   // of what a read left out; the copy keeps all
constexpr std::chrono::milliseconds kLockPatience{30000};

std::chrono::milliseconds& lockPatience() {
    static std::chrono::milliseconds patience = kLockPatience;
    return patience;
}

String text(std::int16_t list, std::int32_t item) { return Host::getString(list, item); }

// A text of the table file's list, its "$1", "$2", ... given in order.
String filled(std::int32_t item, std::initializer_list<String> values) {
    String result = text(strings::kTableFile, item);
    int n = 0;
    for (const String& value : values) result.replaceAll(String(("$" + std::to_string(++n)).c_str()), value);
    return result;
}

// The question about an unreadable file, with the reason and the backup's name below it: OK and Cancel,
// or the two answers given and Cancel (1, 2 and 3).
class UnreadableTableAlert : public tarnwick::ConfirmAlert {
public:
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

String count(std::uint64_t n) { return String(n); }

String readFault(const String& fileName, const tarnwick::XMLReader& reader) {
    return filled(strings::kReadFaultAt,
                  {fileName, String(static_cast<std::uint64_t>(reader.errorLine())),
                   String(static_cast<std::uint64_t>(reader.errorColumn())),
                   text(strings::kReadFaults, static_cast<std::int32_t>(reader.error()))});
}

// The file could not be read to its end.
String unreadFault(const String& fileName) {
    return filled(
        strings::kFileUnread,
        {fileName, text(strings::kReadFaults, static_cast<std::int32_t>(tarnwick::XMLError::inputFailed))});
}

// The name up to its last character that is not ".", then ".xml".
String withExtension(const String& name) {
    const std::string_view text = name.getView();
    const std::size_t last = text.find_last_not_of('.');
    String fileName(text.substr(0, last == std::string_view::npos ? 0 : last + 1));
    (fileName += ".") += kExtension;
    return fileName;
}

// "ObjectMap <word>.xml", "ObjectMap <word> 2.xml", ...: the nth file of a kind kept beside the table.
String besideTable(const String& baseName, const char* word, int n) {
    String name = baseName;
    (name += " ") += word;
    if (n > 1) (name += " ") += String(static_cast<std::int32_t>(n));
    return withExtension(name);
}

// "ObjectMap backup.xml", "ObjectMap backup 2.xml", ...
String backupName(const String& baseName, int n) { return besideTable(baseName, "backup", n); }

// "ObjectMap.xml.partial", "ObjectMap.xml.partial 2", ...
String partialName(const String& fileName, int n) {
    String name = fileName;
    (name += ".") += kPartialExtension;
    if (n > 1) (name += " ") += String(static_cast<std::int32_t>(n));
    return name;
}

// "ObjectMap.xml.lock": held by the run that saves.
String lockName(const String& fileName) {
    String name = fileName;
    (name += ".") += kLockExtension;
    return name;
}

// "ObjectMap conflict.xml", ...: this run's table, when the file holds another run's that it cannot join.
String conflictName(const String& baseName, int n) { return besideTable(baseName, "conflict", n); }

// A name beside the file that no entry has yet. Empty when all are taken.
String freeBackupName(const Directory& folder, const String& baseName) {
    for (int n = 1; n <= kMostBackups; ++n) {
        const String candidate = backupName(baseName, n);
        if (!DataFile(folder, candidate).isTaken()) return candidate;
    }
    return String();
}

// Every backup name taken: the user must make room, and the command stops.
void showNoBackupName(const Directory& folder, const String& baseName) {
    tarnwick::ErrorAlert().show(
        filled(strings::kNoBackupName, {withExtension(baseName), backupName(baseName, 1),
                                        backupName(baseName, kMostBackups), folder.getPath()}));
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
// bytes into the open file, on the disk, and the file closed: a file that is then whole, whatever stops
// the run after.
bool writeWhole(DataFile& file, std::string_view bytes) {
    return file.write(bytes.data(), bytes.size()) && file.flush() && file.close();
}

// The file being written, deleted however the write ends unless it took the table's place. Held locked
// while this run has it, so that a run that finds it left behind can tell a dead run's from a live one's.
class PartialFile {
public:
    explicit PartialFile(std::unique_ptr<DataFile> file) : file_(std::move(file)) {
        if (file_) file_->holdLock();
    }
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

// The name without its ".xml": "ObjectMap" for "ObjectMap.xml".
String baseOf(const String& fileName) {
    const std::string_view name = fileName.getView();
    const std::string suffix = std::string(".") + kExtension;
    return name.ends_with(suffix) && name.size() > suffix.size()
               ? String(name.substr(0, name.size() - suffix.size()))
               : fileName;
}

String nameOf(const tarnwick::FileLocation& location) {
    return String(std::string_view(location.filename().native()));
}

// The whole table as the file holds it, made before any file is touched. False when it holds a text the
// file cannot hold.
bool tableText(ObjectMap& table, String& text) {
    tarnwick::DataBufferOut out;
    out.open(text);
    const bool written = tarnwick::XMLWriter(out).write(table, /*declaration=*/true, /*lineBreaks=*/true,
                                                        /*indentation=*/true);
    return out.close() && written;
}

// Why nothing but a regular file (or nothing) at location can take the table: a folder, a pipe, socket
// or device is never written over. Empty when it can.
String whyNoTableAt(const tarnwick::FileLocation& location, std::int32_t folderText, std::int32_t otherText) {
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::symlink_status(location, error);
    if (error || status.type() == std::filesystem::file_type::not_found ||
        status.type() == std::filesystem::file_type::regular)
        return String();
    const String path(std::string_view(location.native()));
    return filled(status.type() == std::filesystem::file_type::directory ? folderText : otherText, {path});
}

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

// The table's text into a new file beside the table's file, which then takes its place in one step, on
// the disk before and after. A table that is a link is written to the file the link names, in that file's
// folder, and the link stays. The new file has the old one's owner, group and permissions before it holds
// anything; where it cannot be given them, or the old file has more than one name or carries extended
// attributes (which a new file would not have), the table is written into the old file itself. Only a
// regular file is ever written over. Empty when written; otherwise why not, and the old file holds what
// it held.
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

String joined(const std::vector<String>& lines) {
    String result;
    for (const String& line : lines) (result += result.isEmpty() ? "" : "\n") += line;
    return result;
}

void showUnwritable(const String& why, const String& after = String()) {
    String detail = why;
    if (!after.isEmpty()) (detail += "\n") += after;
    host::debugOutput("Skellowing: " + std::string(why.getView()));
    DetailedNotice().showWithDetail(text(strings::kTableFile, strings::kUnwritableTable), detail);
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

String leftOutLine(const tarnwick::XMLLeftOut& item) {
    using Kind = tarnwick::XMLLeftOut::Kind;
    const std::int32_t item_ = item.kind == Kind::element     ? strings::kUnknownElement
                               : item.kind == Kind::attribute ? strings::kUnknownAttribute
                                                              : strings::kRepeatedAttribute;
    return filled(item_, {count(item.line), String(std::string_view(item.name)),
                          String(std::string_view(item.element))});
}

// One line for each thing the read left out or changed. A configuration whose name and kind an earlier
// one has is dropped here: every lookup finds the first, so it could only mislead.
std::vector<String> whatWasLeftOut(ObjectMap& read, std::string_view bytes,
                                   const std::vector<tarnwick::XMLLeftOut>& passedOver) {
    std::vector<String> lines;
    for (const tarnwick::XMLLeftOut& item : passedOver) lines.push_back(leftOutLine(item));
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

// The bytes in a new file of the folder under the first free name, readable by those who could read
// the file at like and no others. Its name; empty when none could be made.
String copyBeside(const Directory& folder, const std::function<String(int)>& nameFor, int tries,
                  const tarnwick::FileLocation& like, std::string_view bytes) {
    PartialFile copy(DataFile::createNew(folder, nameFor, tries));
    if (!copy.made() || !(*copy).takePermissionsOf(like) || !writeWhole(*copy, bytes)) return String();
    const String name = (*copy).getName();
    copy.keep();
    return name;
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
    return copyBeside(
        folder, [&baseName](int n) { return backupName(baseName, n); }, kMostBackups,
        DataFile(folder, withExtension(baseName)).getLocation(), bytes);
}

// What the lines of a notice say: all of them up to a limit, then how many more.
String toldLines(const std::vector<String>& lines) {
    if (lines.size() <= kMostLinesTold) return joined(lines);
    std::vector<String> told(lines.begin(), lines.begin() + kMostLinesTold);
    told.push_back(filled(strings::kMoreLeftOut, {count(lines.size() - kMostLinesTold)}));
    return joined(told);
}

// --- Two runs on one table -----------------------------------------------------------------------------
// A table as the merge sees it: for each configuration (kind, name), its mappings by key (type, source
// name in lower case, and which of that key's mappings it is), each with its text as the file holds it.
using ListKey = std::pair<ObjectMapType, std::string>;
using MappingKey = std::tuple<std::int32_t, std::string, int>;
struct Mapping {
    std::string text;
    ObjectSpecification* specification;
};
struct ListView {
    std::vector<MappingKey> order;
    std::map<MappingKey, Mapping> mappings;
};
struct TableView {
    std::vector<ListKey> order;
    std::map<ListKey, ListView> lists;
};

std::string textOf(ObjectSpecification& specification) {
    String xml;
    tarnwick::DataBufferOut out;
    out.open(xml);
    tarnwick::XMLWriter(out).write(specification, /*declaration=*/false, /*lineBreaks=*/false,
                                   /*indentation=*/false);
    out.close();
    return std::string(xml.getView());
}

TableView viewOf(const ObjectMap& table) {
    TableView view;
    for (std::size_t i = 0; i < table.size(); ++i) {
        const SpecificationList& list = table.at(i);
        ListKey key{list.getKind(), std::string(list.getName().getView())};
        if (view.lists.contains(key)) continue;   // a second of one name: every lookup finds the first
        ListView& mappings = view.lists[key];
        view.order.push_back(std::move(key));
        std::map<std::pair<std::int32_t, std::string>, int> seen;
        for (std::size_t s = 0; s < list.size(); ++s) {
            ObjectSpecification& specification = list.at(s);
            std::pair<std::int32_t, std::string> name{
                specification.getMappedType(),
                std::string(specification.getOriginalName().toLower().getView())};
            const int occurrence = seen[name]++;
            MappingKey mappingKey{name.first, std::move(name.second), occurrence};
            mappings.mappings.emplace(mappingKey, Mapping{textOf(specification), &specification});
            mappings.order.push_back(std::move(mappingKey));
        }
    }
    return view;
}

const Mapping* mappingIn(const TableView& view, const ListKey& list, const MappingKey& key) {
    const auto found = view.lists.find(list);
    if (found == view.lists.end()) return nullptr;
    const auto mapping = found->second.mappings.find(key);
    return mapping == found->second.mappings.end() ? nullptr : &mapping->second;
}

// The newer table with this run's own changes (from base to ours) made in it: a configuration or mapping
// that only one of the two changed takes that change. Each that both changed differently is a line of
// conflicts; the result is then not to be used.
ObjectMap merged(const ObjectMap& base, const ObjectMap& ours, const ObjectMap& newer,
                 std::vector<String>& conflicts) {
    const TableView b = viewOf(base), o = viewOf(ours), t = viewOf(newer);
    std::vector<ListKey> order = t.order;   // the newer file's order, then the configurations made here
    for (const ListKey& key : o.order)
        if (!t.lists.contains(key)) order.push_back(key);
    const auto same = [](const Mapping* x, const Mapping* y) { return x ? y && x->text == y->text : !y; };
    ObjectMap result;
    for (const ListKey& key : order) {
        const bool inBase = b.lists.contains(key), inOurs = o.lists.contains(key);
        const bool exists = inOurs == inBase ? t.lists.contains(key) : inOurs;
        std::vector<MappingKey> keys;
        if (const auto found = t.lists.find(key); found != t.lists.end()) keys = found->second.order;
        if (const auto found = o.lists.find(key); found != o.lists.end())
            for (const MappingKey& mapping : found->second.order)
                if (!mappingIn(t, key, mapping)) keys.push_back(mapping);
        std::vector<const ObjectSpecification*> kept;
        const auto conflict = [&](const Mapping& mapping) {
            conflicts.push_back(
                filled(strings::kConflictLine, {mapping.specification->getOriginalName(),
                                                String(std::string_view(key.second)), kindText(key.first)}));
        };
        for (const MappingKey& mappingKey : keys) {
            const Mapping* const vb = mappingIn(b, key, mappingKey);
            const Mapping* const vo = mappingIn(o, key, mappingKey);
            const Mapping* const vt = mappingIn(t, key, mappingKey);
            const Mapping* chosen = nullptr;
            if (same(vo, vb)) {
                chosen = vt;
            } else if (same(vt, vb) || same(vo, vt)) {
                chosen = vo;
            } else {
                conflict(vo ? *vo : *vt);
                continue;
            }
            if (!chosen) continue;
            if (exists) {
                kept.push_back(chosen->specification);
            } else {   // one deleted the configuration, the other changed a mapping in it
                conflict(*chosen);
            }
        }
        if (!exists) continue;
        SpecificationList& list = result.addList(String(std::string_view(key.second)), key.first);
        for (const ObjectSpecification* specification : kept) list.add(specification->copy());
    }
    result.ensureDefaults();
    return result;
}

}   // namespace

// What this run last saw of the table file: the table as read or saved, and, after a read, a hash of the
// bytes read, which tells at once that the file is still as read.
struct TableFileState {
    ObjectMap base;
    std::optional<std::size_t> hash;
    std::size_t size = 0;
    bool holdsBase = false;   // the file held base as this run left it: read from it, or written so
    String told;              // why a save of the table last failed, as the user was told
};

namespace {

std::shared_ptr<const TableFileState> stateOf(const ObjectMap& table, std::optional<std::string_view> bytes,
                                              bool holdsBase) {
    auto state = std::make_shared<TableFileState>();
    state->base.assign(table);
    state->holdsBase = holdsBase;
    if (bytes) {
        state->hash = std::hash<std::string_view>()(*bytes);
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
void showUnwritableOnce(ObjectMap& table, const String& why, const String& after) {
    const std::shared_ptr<const TableFileState> state = table.getFileState();
    if (!state || state->told != why) showUnwritable(why, after);
    if (state) table.setFileState(toldState(*state, why));
}

// Whether every name from the first to the last is taken in folder.
bool allNamesTaken(const Directory& folder, const std::function<String(int)>& nameOf, int last) {
    for (int n = 1; n <= last; ++n)
        if (!DataFile(folder, nameOf(n)).isTaken()) return false;
    return true;
}

// The file as another run may have left it since this one last saw it.
struct Newer {
    enum class Kind {
        asSeen,        // no other run saved it, or it is gone: this run's table is written as it is
        table,         // another run's table, read in full
        unmergeable,   // something that cannot be read in full: why
    } kind = Kind::asSeen;
    ObjectMap table;
    std::vector<String> why;
};

Newer readNewer(const Directory& folder, const String& fileName, const TableFileState& state) {
    Newer newer;
    DataFile file(folder, fileName, DataFile::kRead);
    if (!file.exists()) return newer;
    std::string bytes;
    if (!readAll(file, bytes)) {
        newer.kind = Newer::Kind::unmergeable;
        newer.why.push_back(unreadFault(fileName));
        return newer;
    }
    if (state.hash && bytes.size() == state.size && std::hash<std::string_view>()(bytes) == *state.hash)
        return newer;
    tarnwick::DataBufferIn in{std::string_view(bytes)};
    tarnwick::XMLReader reader(in);
    if (!reader.read(newer.table)) {
        newer.kind = Newer::Kind::unmergeable;
        newer.why.push_back(readFault(fileName, reader));
        return newer;
    }
    newer.why = whatWasLeftOut(newer.table, bytes, reader.leftOut());
    newer.kind = newer.why.empty() ? Newer::Kind::table : Newer::Kind::unmergeable;
    newer.table.ensureDefaults();
    return newer;
}

// This run's table in a file of its own beside the table, which is left as another run saved it, and
// the user told where, with the lines below. False: the table file does not hold this run's table.
bool keepBeside(const Directory& folder, const String& baseName, ObjectMap& table, std::string_view text,
                std::int32_t message, const std::vector<String>& lines, const String& after) {
    const String fileName = withExtension(baseName);
    std::unique_ptr<DataFile> made = DataFile::createNew(
        folder, [&baseName](int n) { return conflictName(baseName, n); }, kMostBackups);
    if (!made) {
        const bool allTaken = allNamesTaken(
            folder, [&baseName](int n) { return conflictName(baseName, n); }, kMostBackups);
        showUnwritableOnce(table,
                           allTaken ? filled(strings::kNoConflictName,
                                             {fileName, conflictName(baseName, 1),
                                              conflictName(baseName, kMostBackups), folder.getPath()})
                                    : filled(strings::kNoNewFile, {folder.getPath()}),
                           after);
        return false;
    }
    PartialFile file(std::move(made));
    if (!(*file).takePermissionsOf(DataFile(folder, fileName).getLocation()) || !writeWhole(*file, text)) {
        showUnwritableOnce(table, filled(strings::kCutShort, {(*file).getName()}), after);
        return false;
    }
    const String name = (*file).getName();
    file.keep();
    folder.flush();
    const String said = filled(message, {fileName, name});
    host::debugOutput("Skellowing: " + std::string(said.getView()));
    DetailedNotice().showWithDetail(said, toldLines(lines));
    return false;
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

// The turn of this run at the table's file: the lock stands beside the file the name leads to, so that
// runs whose data folders link to one shared table take turns too. A file with more than one name (hard
// links), which is written in place, is also locked in itself, as runs that reach it by other names lock
// beside those. Destroyed in reverse order: the file first.
struct TableTurn {
    std::unique_ptr<tarnwick::FileLock> beside;
    std::unique_ptr<tarnwick::FileLock> shared;
};

// The new files that runs which ended while they wrote left beside the table: a live run holds its own
// locked. Only regular files of those names are removed, never a link or anything else.
void removeLeftPartials(const Directory& folder, const String& tableName) {
    for (int n = 1; n <= kMostBackups; ++n) {
        DataFile partial(folder, partialName(tableName, n), DataFile::kRead);
        std::error_code error;
        if (std::filesystem::is_regular_file(std::filesystem::symlink_status(partial.getLocation(), error)) &&
            partial.open() && partial.holdLock())
            partial.remove();
    }
}

// Empty when the turn cannot be had, with why.
TableTurn lockTable(const Directory& folder, const String& fileName, String& why) {
    const std::optional<tarnwick::FileLocation> target =
        DataFile(folder, fileName, DataFile::kRead).followLinks();
    const Directory lockFolder = target ? Directory(target->parent_path()) : folder;
    const String tableName = target ? nameOf(*target) : fileName;
    const String lockFile = lockName(tableName);
    tarnwick::FileLock::Refusal refusal;
    TableTurn turn;
    turn.beside = tarnwick::FileLock::acquire(lockFolder, lockFile, lockPatience(), &refusal);
    if (!turn.beside) {
        const String path = DataFile(lockFolder, lockFile).getPath();
        why = lockRefused(refusal, fileName, path.isEmpty() ? lockFile : path);
        return turn;
    }
    if (target && DataFile(*target, DataFile::kRead).exists() &&
        DataFile(*target, DataFile::kRead).getLinkCount().value_or(1) > 1) {
        turn.shared = tarnwick::FileLock::acquireFile(*target, lockPatience(), &refusal);
        if (!turn.shared) {
            why = lockRefused(refusal, fileName, String(std::string_view(target->native())));
            turn.beside.reset();
            return turn;
        }
    }
    removeLeftPartials(lockFolder, tableName);
    return turn;
}

// The table under the name given (the one the caller read), with the alert when it cannot be written;
// `after` is said below why. A table that is as it was read is not written. Runs saving one table take
// turns, and a file another run saved since this one last saw it gains this run's changes instead of
// losing its own.
bool saveTable(const Directory& folder, const String& baseName, ObjectMap& table, const String& after) {
    const String fileName = withExtension(baseName);
    String ownText;
    if (!tableText(table, ownText)) {
        showUnwritableOnce(table, text(strings::kTableFile, strings::kTextNotKept), after);
        return false;
    }
    const std::shared_ptr<const TableFileState> state = table.getFileState();
    const std::string_view bytes = ownText.getView();
    // Nothing changed since the file held the table, and the file is still there: also a table the user
    // keeps read-only stays as it is, in whatever form its text has.
    if (state && state->holdsBase && DataFile(folder, fileName, DataFile::kRead).exists()) {
        ObjectMap base;   // the writer takes a table it may visit, not a shared one
        base.assign(state->base);
        String baseText;
        if (tableText(base, baseText) && baseText.getView() == bytes) return true;
    }
    String locked;
    const TableTurn turn = lockTable(folder, fileName, locked);
    if (!turn.beside) {
        showUnwritableOnce(table, locked, after);
        return false;
    }
    ObjectMap* written = &table;
    ObjectMap combined;
    String combinedText;
    if (state) {
        Newer newer = readNewer(folder, fileName, *state);
        if (newer.kind == Newer::Kind::unmergeable)
            return keepBeside(folder, baseName, table, bytes, strings::kUnmergeableBeside, newer.why, after);
        if (newer.kind == Newer::Kind::table) {
            std::vector<String> conflicts;
            combined.assign(merged(state->base, table, newer.table, conflicts));
            if (!conflicts.empty())
                return keepBeside(folder, baseName, table, bytes, strings::kSavedBeside, conflicts, after);
            written = &combined;
            if (!tableText(combined, combinedText)) {
                showUnwritableOnce(table, text(strings::kTableFile, strings::kTextNotKept), after);
                return false;
            }
        }
    }
    const String why = writeTable(folder, baseName, written == &table ? bytes : combinedText.getView());
    if (!why.isEmpty()) {
        showUnwritableOnce(table, why, after);
        return false;
    }
    // Written as it is, the file is known by its bytes; merged, by its table alone (the next save merges
    // again from what this run had).
    table.setFileState(stateOf(
        table, written == &table ? std::optional<std::string_view>(bytes) : std::nullopt, written == &table));
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
    if (bytes && !(file.exists() && readAll(file, now) && now == *bytes)) return SetAside::changed;
    file.close();
    why = filled(strings::kNoNewFile, {folder.getPath()});
    if (!bytes) return file.rename(backup) ? SetAside::done : SetAside::failed;
    // A copy, and the file stays: a link, a second name (hard link) or another owner keep sharing it.
    const String copy = copyBeside(
        folder, [&backup](int) { return backup; }, 1, file.getLocation(), *bytes);
    return copy.isEmpty() ? SetAside::failed : SetAside::done;
}

// A table file as one read found it.
struct TableRead {
    ObjectMap table;
    std::string bytes;
    bool whole = false;   // read to its end
    String detail;        // why it cannot be read; empty when it can
    std::vector<String> leftOut;
};

// Read into a table of its own, so that a read that stops half-way leaves nothing behind.
void readTableFile(const Directory& folder, const String& name, TableRead& read) {
    DataFile file(folder, name, DataFile::kRead);
    read.whole = readAll(file, read.bytes);
    if (!read.whole) {
        read.detail = unreadFault(name);
        return;
    }
    tarnwick::DataBufferIn in{std::string_view(read.bytes)};
    tarnwick::XMLReader reader(in);
    if (!reader.read(read.table))
        read.detail = readFault(name, reader);
    else
        read.leftOut = whatWasLeftOut(read.table, read.bytes, reader.leftOut());
}

// The newest file of the backup series that reads whole, with nothing left out: what a save that wrote
// into the table's file kept there, when it did not end. Its name, its table in table; empty when none.
String wholeCopy(const Directory& folder, const String& baseName, ObjectMap& table) {
    String found;
    std::filesystem::file_time_type newest{};
    for (int n = 1; n <= kMostBackups; ++n) {
        const String name = backupName(baseName, n);
        const std::optional<std::filesystem::file_time_type> time =
            DataFile(folder, name, DataFile::kRead).getModificationTime();
        if (!time || (!found.isEmpty() && *time < newest) ||
            !DataFile(folder, name, DataFile::kRead).exists())
            continue;
        TableRead copy;
        readTableFile(folder, name, copy);
        if (!copy.detail.isEmpty() || !copy.leftOut.empty()) continue;
        copy.table.ensureDefaults();
        table.assign(copy.table);
        found = name;
        newest = *time;
    }
    return found;
}

// Steps 2 to 5 of loading, once the folder is known to take files. again: another run set an unreadable
// file aside while the user was asked, so what it left there is read instead.
bool loadFrom(const Directory& folder, const String& baseName, ObjectMap& table, bool again) {
    const String name = withExtension(baseName);
    DataFile file(folder, name, DataFile::kRead);
    // Only a regular file is a table: a folder, pipe or device at its name, or where its link leads, is
    // neither read nor replaced.
    const std::optional<tarnwick::FileLocation> target = file.followLinks();
    if (target) {
        String why = whyNoTableAt(*target, strings::kTableIsFolder, strings::kTableNotAFile);
        if (!why.isEmpty() && *target != file.getLocation()) {
            why = filled(
                std::filesystem::is_directory(*target) ? strings::kLinkToFolder : strings::kLinkToNonFile,
                {file.getPath(), String(std::string_view(target->native()))});
        }
        if (!why.isEmpty()) {
            host::debugOutput("Skellowing: " + std::string(why.getView()));
            tarnwick::ErrorAlert().show(why);
            return false;
        }
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
    // read again in the table's turn, once that run is done.
    TableRead first;
    readTableFile(folder, name, first);
    TableRead second;
    TableRead* read = &first;
    if (!first.detail.isEmpty()) {
        String why;
        if (const TableTurn turn = lockTable(folder, name, why); turn.beside) {
            readTableFile(folder, name, second);
            read = &second;
        }
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
        read->table.ensureDefaults();   // also after a read that never reached the table's end tag
        table.assign(read->table);
        table.setFileState(stateOf(table, std::string_view(bytes), /*holdsBase=*/true));
        return true;
    }
    // 5. Unreadable: a whole copy beside it put back, or a new table, only when the user wants one, and
    // the old file kept beside it. With no name left for it, nothing is asked: the command stops, saying
    // why.
    host::debugOutput("Skellowing: " + std::string(detail.getView()));
    const String backup = freeBackupName(folder, baseName);
    if (backup.isEmpty()) {
        showNoBackupName(folder, baseName);
        return false;
    }
    // A save into the file itself keeps its copy beside the file the name leads to, named after it.
    const Directory copyFolder = target ? Directory(target->parent_path()) : folder;
    ObjectMap copyTable;
    const String copyName = wholeCopy(copyFolder, target ? baseOf(nameOf(*target)) : baseName, copyTable);
    const String copy = copyName.isEmpty() || copyFolder.compareLocation(folder)
                            ? copyName
                            : DataFile(copyFolder, copyName).getPath();
    bool putBack = false;
    bool goOn = false;
    if (copy.isEmpty()) {
        (detail += "\n") += filled(strings::kKeptAsBackup, {backup});
        goOn = UnreadableTableAlert().ask(text(strings::kTableFile, strings::kUnreadableTable), detail) == 1;
    } else {
        // Kept beside the name, which may lie in another folder than the copy.
        (detail += "\n") += copy == copyName
                                ? filled(strings::kKeptIfPutBack, {backup})
                                : filled(strings::kKeptAtIfPutBack, {DataFile(folder, backup).getPath()});
        const std::int16_t answer =
            UnreadableTableAlert().ask(filled(strings::kPutBackQuestion, {copy}), detail,
                                       text(strings::kTableFile, strings::kPutBackButton),
                                       text(strings::kTableFile, strings::kNewTableButton));
        putBack = answer == 1;
        goOn = answer == 1 || answer == 2;
    }
    if (!goOn) {
        tarnwick::NotifyAlert().show(text(strings::kMessages, strings::kReinstallTable));
        return false;
    }
    String why;
    const SetAside aside = setAside(
        folder, name, read->whole ? std::optional<std::string_view>(bytes) : std::nullopt, backup, why);
    if (aside == SetAside::changed && !again) return loadFrom(folder, baseName, table, /*again=*/true);
    if (aside != SetAside::done) {
        tarnwick::ErrorAlert().show(why.isEmpty() ? filled(strings::kNoNewFile, {folder.getPath()}) : why);
        return false;
    }
    // What was set aside counts as seen: a link still names it, and the new table takes its place.
    if (putBack)
        table.assign(copyTable);
    else
        table.clear();
    table.setFileState(stateOf(table, read->whole ? std::optional<std::string_view>(bytes) : std::nullopt,
                               /*holdsBase=*/false));
    // The copy put back is the table now; until it is saved as the table, it stays.
    if (saveTable(folder, baseName, table, String()) && putBack) DataFile(copyFolder, copyName).remove();
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
        const String fileName = withExtension(baseName);
        return PartialFile(
                   DataFile::createNew(
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
    return loadFrom(*folder, baseName, table, /*again=*/false);
}

void setTableLockPatience(std::chrono::milliseconds patience) { lockPatience() = patience; }

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
