#include "Skellowing/ObjectMapFile.h"

#include <cstdint>

#include <FourCC.h>
#include <HostDebug.h>

#include "Environment/Addon.h"
#include "Environment/Host.h"
#include "Foundation/DataBufferIn.h"
#include "Foundation/DataBufferOut.h"
#include "Foundation/DataFile.h"
#include "Foundation/XMLReader.h"
#include "Foundation/XMLWriter.h"
#include "Interface/ConfirmAlert.h"
#include "Interface/NotifyAlert.h"
#include "Skellowing/ObjectMap.h"
#include "Skellowing/SkellowingStrings.h"

namespace skellow {
namespace {

using tarnwick::DataFile;
using tarnwick::Directory;
using tarnwick::Host;
using tarnwick::String;

constexpr const char* kExtension = "xml";
constexpr const char* kPartialExtension = "partial";   // the new file while it is written
constexpr std::uint32_t kFileType = host::fourcc("TEXT");
constexpr std::uint32_t kCreator = host::fourcc("CWIE");
constexpr int kMostBackups = 100;

String text(std::int16_t list, std::int32_t item) { return Host::getString(list, item); }

// The question about an unreadable file, with the reason and the backup's name below it.
class UnreadableTableAlert : public tarnwick::ConfirmAlert {
public:
    std::int16_t ask(const String& message, const String& detail) const {
        return showAlert(message, detail, Host::getString(kFrameworkStrings, kOkItem),
                         Host::getString(kFrameworkStrings, kCancelItem), String());
    }
};

String readFault(const String& fileName, const tarnwick::XMLReader& reader) {
    String detail = text(strings::kTableFile, strings::kReadFaultAt);
    detail.replaceAll("$1", fileName);
    detail.replaceAll("$2", String(static_cast<std::uint64_t>(reader.errorLine())));
    detail.replaceAll("$3", String(static_cast<std::uint64_t>(reader.errorColumn())));
    detail.replaceAll("$4", text(strings::kReadFaults, static_cast<std::int32_t>(reader.error())));
    return detail;
}

// A name beside the file that no entry has yet: "ObjectMap backup.xml", "ObjectMap backup 2.xml", ...
// Empty when all are taken.
String freeBackupName(const Directory& folder, const String& baseName) {
    for (int n = 1; n <= kMostBackups; ++n) {
        String candidate = baseName;
        candidate += " backup";
        if (n > 1) (candidate += " ") += String(static_cast<std::int32_t>(n));
        (candidate += ".") += kExtension;
        if (!DataFile(folder, candidate).exists() && !Directory(folder, candidate).exists()) return candidate;
    }
    return String();
}

void notify(std::int16_t list, std::int32_t item) { tarnwick::NotifyAlert().show(text(list, item)); }

String withExtension(const String& name) {
    String fileName = name;
    (fileName += ".") += kExtension;
    return fileName;
}

// The whole table into "ObjectMap.xml.partial", which then replaces "ObjectMap.xml" in one step.
bool writeTable(const Directory& folder, const String& name, ObjectMap& table) {
    const String fileName = withExtension(name);
    host::Result error = 0;
    std::unique_ptr<DataFile> file =
        folder.createFile(fileName, DataFile::kReadWrite, error, kPartialExtension, kFileType, kCreator);
    if (!file || error != 0 || !file->exists()) return false;
    if (!file->setDataLength(0)) return false;
    tarnwick::DataBufferOut out;
    if (!out.open(*file)) return false;
    const bool written = tarnwick::XMLWriter(out).write(table, /*declaration=*/true, /*lineBreaks=*/true,
                                                        /*indentation=*/true);
    const bool flushed = out.close();
    file->close();
    if (!written || !flushed) return false;   // the old file was not touched
    return file->renameOver(fileName);
}

// The table under the name given (the one the caller read), with the alert when it cannot be written.
bool saveTable(const Directory& folder, const String& name, ObjectMap& table) {
    if (writeTable(folder, name, table)) return true;
    notify(strings::kTableFile, strings::kUnwritableTable);
    return false;
}

}   // namespace

void getObjectMapLocation(std::unique_ptr<Directory>& folder, String& name, bool withExtension) {
    name = text(strings::kAddon, strings::kTableFileName);
    if (withExtension) (name += ".") += kExtension;
    const tarnwick::Addon* const addon = tarnwick::Addon::getInstance();
    folder = addon ? addon->getPreferencesFolder() : nullptr;
}

bool loadObjectMap(ObjectMap& table) {
    // 1. Where it is. Without its name (the host could not give the text) no file is touched.
    std::unique_ptr<Directory> folder;
    String baseName;
    getObjectMapLocation(folder, baseName, /*withExtension=*/false);
    if (!folder || baseName.isEmpty()) return false;
    const String name = withExtension(baseName);
    // 2. None yet: the defaults, written at once under the same name.
    DataFile file(*folder, name, DataFile::kReadWrite);
    if (!file.exists()) {
        table.clear();
        saveTable(*folder, baseName, table);
        return true;
    }
    // 3. Read into a table of its own, so that a read that stops half-way leaves nothing behind.
    ObjectMap read;
    String detail;
    {
        tarnwick::DataBufferIn in(file, tarnwick::DataBufferIn::kDefaultBufferSize, /*closeWhenDone=*/true);
        tarnwick::XMLReader reader(in);
        if (!reader.read(read)) detail = readFault(name, reader);
    }
    // 4. Read: the table takes it.
    if (detail.isEmpty()) {
        read.ensureDefaults();   // also after a read that never reached the table's end tag
        table.assign(read);
        return true;
    }
    // 5. Unreadable: a new table only when the user wants one, and the old file kept beside it.
    const String backup = freeBackupName(*folder, baseName);
    if (!backup.isEmpty()) {
        String kept = text(strings::kTableFile, strings::kKeptAsBackup);
        kept.replaceAll("$1", backup);
        (detail += "\n") += kept;
    }
    host::debugOutput("Skellowing: " + std::string(detail.getView()));
    if (UnreadableTableAlert().ask(text(strings::kTableFile, strings::kUnreadableTable), detail) != 1) {
        notify(strings::kMessages, strings::kReinstallTable);
        return false;
    }
    if (backup.isEmpty() || !file.rename(backup)) {
        notify(strings::kTableFile, strings::kUnwritableTable);
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
