// Directory: a File that is a folder: existence, creation, its children, new subfolders and new files.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include <HostResult.h>

#include "Foundation/DataFile.h"
#include "Foundation/File.h"

namespace tarnwick {

class String;

// Copyable (a copy names the same folder). Owned by whoever made it.
class Directory : public File {
public:
    // With create, the folder (and any missing folders above it) is made; check exists() afterwards.
    explicit Directory(FileLocation location, bool create = false);
    // The child called name of parent; an unusable name (File::isUsableName) gives an unusable entry.
    Directory(const Directory& parent, const String& name, bool create = false);
    Directory(const Directory&) = default;
    Directory& operator=(const Directory&) = default;
    ~Directory() override;

    bool exists() const override;   // a folder is at the location
    bool isFolder() const override { return true; }

    // Every entry of the folder, sorted by name: folders as Directory, everything else as a DataFile in
    // mode kRead (not opened). Empty when the folder is missing or cannot be read.
    std::vector<std::unique_ptr<File>> getChildren() const;

    // The child folder called name, made when missing. Null when it does not exist afterwards; error then
    // holds host::kErrBadName for an unusable name, host::kErrFile otherwise (0 on success).
    std::unique_ptr<Directory> makeSubdirectory(const String& name, host::Result& error) const;

    // The file "name.extension" in this folder, made when missing and opened in mode. The name is cut
    // after its last character that is not "."; without an extension no "." is added. Null on failure,
    // with error host::kErrBadName when the name is empty or only dots, or the name or extension is not
    // usable inside the folder, and host::kErrFile when the system refuses (also for a link at the name,
    // which opening never follows). fileType and creator are kept by other platforms only and have no
    // effect here.
    std::unique_ptr<DataFile> createFile(const String& name, DataFile::OpenMode mode, host::Result& error,
                                         const String& extension, std::uint32_t fileType = 0,
                                         std::uint32_t creator = 0) const;
    // The file "name.extension" (named as createFile names it) written whole (SafeFile::replace): write
    // fills a new file made beside it, which is flushed to the disk and then takes the name in one step,
    // replacing the file or link there (a link's target is never touched) unless another entry came
    // meanwhile, and the folder is flushed. A folder, pipe or device at the name is never replaced.
    // Passing files that stopped writes of the name left beside it are removed once it is written
    // (PassingFile::removeLeftBeside). durable false: nothing is flushed, for a file that means nothing
    // after a power cut. False when the name is unusable (error host::kErrBadName), write returns false or
    // throws, or the system refuses (host::kErrFile); the old entry is then as it was and no new file is
    // left. Also false (kErrFile) when only the folder could not be flushed: the new file has the name
    // then, but a power cut may take it back; and when an entry that took the name meanwhile could not be
    // given it back: the new file has the name then, and that entry a passing name beside it.
    bool replaceFile(const String& name, const String& extension, const std::function<bool(DataFile&)>& write,
                     host::Result& error, bool durable = true) const;
    // Whether a new file can be made in the folder now: one is made and closed again, without a name where
    // the file system allows, else under a name of this process's own, which is removed again. No name
    // that other runs use is taken, so what they left there plays no part. False with errno.
    bool takesNewFiles() const;
    // The folder's names as they are now (a file renamed, made or removed in it) put on the disk through
    // the host, so that a power cut cannot take them back. False when the system refuses.
    bool flush() const;
};

}   // namespace tarnwick
