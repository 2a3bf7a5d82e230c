// The host's file library as the add-on sees it: special folders and the open and save dialogs.
// Every special folder lies under one host home directory, so a test or a run owns all it writes.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "HostResult.h"

namespace host {

// The home directory: set by the command-line host (--home) or a test; else $SKELLOW_HOME, else
// $XDG_DATA_HOME/skellow-host, else ~/.local/share/skellow-host (else <temp>/skellow-host without $HOME).
void setHomeDirectory(const std::string& path);   // an empty path returns to the default above
std::string homeDirectory();                      // created when missing, as far as it can be

// Special folders by the host's number; each is a folder under the home directory, created on request.
enum SpecialFolder : int {
    kFolderApplication = 0,       // "Application": where the host's program lives
    kFolderTemporary = 1,         // "Temporary"
    kFolderPreferences = 2,       // "Preferences": the host's own settings
    kFolderDocuments = 3,         // "Documents"
    kFolderDesktop = 4,           // "Desktop"
    kFolderApplicationData = 5,   // "Application Data": where add-ons keep their data folders
};
// The folder's path; nullopt for an unknown number or when it cannot be created.
std::optional<std::string> specialFolder(int folder);
// Where the folder is or would be, for messages: nothing is made or looked at. Nullopt for an unknown
// number.
std::optional<std::string> specialFolderPath(int folder);

// The whole file at path, as it stands: a regular file of at most kMaxInputFileBytes. False, with
// "<path>: " and what is wrong in error ("cannot be read: " and the system's reason, "is a folder, not a
// file", "is not a regular file", "is larger than 1 GiB"), when it cannot be read or is no such file.
constexpr std::uintmax_t kMaxInputFileBytes = std::uintmax_t{1} << 30;
bool readWholeFile(const std::string& path, std::string& text, std::string& error);
// A size limit as messages give it: "1 GiB", "256 MiB", or "300 bytes" when it is no whole MiB.
std::string sizeLimitText(std::uintmax_t bytes);

// Whether a file could be written at path now: it names a regular file or nothing (not a link, pipe,
// device or folder), and its folder takes a new file (one is made and removed again to find out).
// False, with "<path>: " and the reason in error.
bool canReplaceFile(const std::string& path, std::string& error);
// Writes bytes to path through a temporary file made new in its folder (never through a link) and
// renamed over path, so a failure leaves the old file as it was and no temporary behind. A new file
// gets the usual mode, a replaced one keeps its own. False, with "<path>: " and the reason in error,
// when path is anything but a regular file or nothing, or the writing fails.
bool replaceFile(const std::string& path, std::string_view bytes, std::string& error);
// The files those two made beside a path and could not remove (an unlink refused): each is removed now
// if its name still holds the very file made; one that holds another is left alone, and one whose
// identity could not be read is not tried again. Returns a message for each that is still there
// ("<file>: made by the host beside ..., cannot be removed: <reason>"), once: a later call does not name
// it again.
std::vector<std::string> removeLeftFiles();

// The host's flush to disk: what was written to the open file (its descriptor), or the names in the
// folder at path (a file renamed, made or removed there), is on the disk when it returns, so that a power
// cut cannot take it back. False, with errno, when the system refuses.
bool flushFile(int descriptor, const std::string& path);   // path: the file's, for the watchers
bool flushFolder(const std::string& path);
// For tests: called with the path of every file or folder flushed, once it is; an empty one stops it.
void watchFlushes(std::function<void(const std::string& path)> watcher);

// The file operations the framework makes on the system's files, each asked through fileOperationFault
// just before it is made. For tests, which fail one (or end the process at it) to see what that leaves, or
// answer as a file system without a feature would: openUnnamed (a file made with no name, O_TMPFILE) with
// EOPNOTSUPP, renameNoReplace and exchange (the rename flags) with EINVAL, attribute with ENOTSUP, link
// (a second name) with EPERM, lock with ENOLCK.
enum class FileOperation {
    open,
    read,
    write,
    truncate,
    flush,
    rename,
    link,
    unlink,
    close,
    attribute,         // an extended attribute read, listed, set or removed
    openUnnamed,       // a file made in a folder with no name; path: the folder
    renameNoReplace,   // a rename that never replaces; path: the name taken
    exchange,          // two entries trading names in one step; path: the name taken
    permissions,       // a file's mode or owner set; path: the file
    makeFolder,        // a folder made; path: the folder
    lock,              // the system's lock on an open file taken (flock); path: the file
    seek,              // an open file's position asked or set (lseek); path: the file
    look,              // an entry's or open file's kind, size, identity or times read (stat); path: it
    listFolder,        // a folder's entries read (opendir, readdir); path: the folder
    readLink,          // where a symbolic link leads read (readlink); path: the link
    access,            // whether this process may write a file asked (access); path: the file
};
const char* fileOperationName(FileOperation operation);   // "open", "write", ...
// 0: go on; otherwise the errno with which the operation fails, without being made. The watcher decides
// (none: 0); flushFile and flushFolder ask it themselves.
int fileOperationFault(FileOperation operation, const char* path);   // no text is made without a watcher
// For tests: the watcher answers for every file operation from now on; an empty one stops it.
void watchFileOperations(std::function<int(FileOperation operation, const std::string& path)> watcher);

// A file location as records carry it (a surface material's texture file): a pointer block of the
// memory manager holding a zero-terminated UTF-8 path, owned by whoever holds the record. newLocation:
// null for an empty path or when memory fails. copyLocation: a new block with the same path; null for
// null, for anything but a location, or when memory fails. locationPath: the path; nullopt for null, for
// a pointer the memory manager did not hand out or a block without its terminator.
void* newLocation(const std::string& path);
void* copyLocation(const void* location);
std::optional<std::string> locationPath(const void* location);
void disposeLocation(void* location);   // null is allowed

// The host's modal file dialogs. Headless: each answer comes from the user-action script (a path, or
// a cancel); with nothing scripted the dialog is cancelled. The title and filter are recorded.
enum class FileDialogKind { open, save };
std::optional<std::string> browseForFile(FileDialogKind kind, const std::string& title,
                                         const std::string& extension);
// A dialog that offers several file types, each a name and an extension (no dot). The answer names the
// path and the type the user chose (1-based, as scripted; it may lie outside the offered types).
struct FileType {
    std::string name;
    std::string extension;
};
struct FileChoice {
    std::string path;
    int type = 1;
};
std::optional<FileChoice> browseForFileOfType(FileDialogKind kind, const std::string& title,
                                              const std::vector<FileType>& types);
// nullopt: the user cancels; type: the file type chosen, 1-based.
void queueFileDialogAnswer(std::optional<std::string> path, int type = 1);
void clearFileDialogAnswers();
std::vector<std::string> pendingFileDialogAnswers();   // each answer left: its path, or "cancel"

// The dialogs shown so far, oldest first, as the add-on asked for them.
struct FileDialogRequest {
    FileDialogKind kind = FileDialogKind::open;
    std::string title;
    std::string extension;                // the first type's
    std::vector<std::string> typeNames;   // the types offered; empty for a dialog of one extension
};
std::vector<FileDialogRequest> fileDialogRequests();
void clearFileDialogRequests();

}   // namespace host
