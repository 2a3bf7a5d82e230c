#include "Skellowing/ObjectMapFileNames.h"

#include <string>
#include <string_view>

#include "Foundation/DataFile.h"
#include "Foundation/PassingFile.h"

namespace skellow {

using tarnwick::DataFile;
using tarnwick::Directory;
using tarnwick::String;

namespace {

constexpr const char* kExtension = "xml";
constexpr const char* kLockExtension = "lock";   // beside the table while a run saves it

// "ObjectMap <word>.xml", "ObjectMap <word> 2.xml", ...: the nth file of a kind kept beside the table.
String besideTable(const String& baseName, const char* word, int n) {
    String name = baseName;
    (name += " ") += word;
    if (n > 1) (name += " ") += String(static_cast<std::int32_t>(n));
    return withExtension(name);
}

}   // namespace

String withExtension(const String& name) {
    const std::string_view text = name.getView();
    const std::size_t last = text.find_last_not_of('.');
    if (last == std::string_view::npos) return String();   // dots alone name no file, as for a folder
    String fileName(text.substr(0, last + 1));
    (fileName += ".") += kExtension;
    return fileName;
}

String backupName(const String& baseName, int n) { return besideTable(baseName, "backup", n); }

std::vector<String> partialNames(const Directory& folder, const String& fileName) {
    return tarnwick::PassingFile::namesIn(folder, fileName);
}

String lockName(const String& fileName) {
    String name = fileName;
    (name += ".") += kLockExtension;
    return name;
}

String conflictName(const String& baseName, int n) { return besideTable(baseName, "conflict", n); }

String freeName(const Directory& folder, const std::function<String(int)>& nameFor) {
    for (int n = 1; n <= kMostBackups; ++n) {
        const String candidate = nameFor(n);
        if (!DataFile(folder, candidate).isTaken()) return candidate;
    }
    return String();
}

String freeBackupName(const Directory& folder, const String& baseName) {
    return freeName(folder, [&baseName](int n) { return backupName(baseName, n); });
}

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

}   // namespace skellow
