// SafeFile: files written so that whatever stops the writing (an error, an exception, a kill, a power
// cut) leaves every name of the file with whole content: the old or the new, or, for a file written into
// itself, a whole copy of the old beside the name written through, recorded on the file where its file
// system keeps such records (every name then finds it) and in a note beside that name where it does not.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

#include "Foundation/DataFile.h"
#include "Foundation/Directory.h"
#include "Foundation/PassingFile.h"

namespace tarnwick {

class String;

class SafeFile {
public:
    // How a write ended.
    enum class Result {
        written,            // the name holds the new content, on the disk
        noNewFile,          // no new file could be made in the folder; nothing changed
        cutShort,           // the new content could not be written whole or put on the disk; the old stays
        notReplaced,        // the new file could not take the name (or another entry came); the old stays
        namesTaken,         // every name the new file could take is taken; nothing changed
        notOwned,           // the new file cannot have the old one's owner and group; nothing changed
        folderNotFlushed,   // the name holds the new content, but the folder's names may not be on the disk
        unread,             // in place: the file could not be read to its end; it is untouched
        copyNotKept,        // in place: no copy of what it held could be kept on the disk; it is untouched
        copyNamesTaken,     // in place: every name the copy could take is taken; it is untouched
        notRecorded,        // in place: the copy could not be recorded (on the file, or in its note); it is
                            // untouched
        notPutBack,         // in place: the write stopped and what it held could not be put back: see copy,
                            // or heldNothing
        notFlushed,         // in place: it holds the new content, which may not be on the disk, and what
                            // it held could not be put back: see copy, or heldNothing
        displaced,          // another entry took the name meanwhile and could not be given it back: the
                            // name holds the new content, and that entry is at copy
    };
    struct Outcome {
        Result result = Result::written;
        int systemError = 0;        // errno of the step that failed
        FileLocation file;          // the file written (writeNew: the name it took)
        FileLocation copy;          // in place, notPutBack and notFlushed: where what the file held is kept
                                    // (none when it held nothing: heldNothing); displaced: where the entry
                                    // that came meanwhile is
        bool heldNothing = false;   // notPutBack and notFlushed: the file was empty, so no copy was needed
        // Written into itself (also notFlushed): wholeDigestOf the bytes, which the write's record made
        // anyway, so that whoever compares the file with them later need not walk them again.
        std::optional<std::uint64_t> digest = std::nullopt;
        bool done() const { return result == Result::written; }
    };

    // A new file in folder under the first of name(1) ... name(tries) that no entry has, holding bytes
    // whole, with the permissions of the file at like (when given), on the disk with its name. It is
    // written under a passing name for passingFor (PassingFile).
    static Outcome writeNew(const Directory& folder, const String& passingFor,
                            const std::function<String(int)>& name, int tries, std::string_view bytes,
                            const FileLocation* like = nullptr);

    struct ReplaceOptions {
        bool durable = true;      // the file and its name put on the disk; false for what means nothing
                                  // after a power cut (a meeting point of running programs)
        bool keepOwner = false;   // the new file takes the old one's owner, group and permissions; when
                                  // it cannot have the owner and group: notOwned
    };
    // The file called name in folder replaced in one step by a new one that fill writes (false, or a
    // throw, and nothing changes): a file or a link there is replaced (a link's target is never touched),
    // unless another entry took its place meanwhile; a folder, pipe or device there is refused. On a file
    // system that cannot trade two names in one step, the name is looked at, then replaced: an entry that
    // came in that moment is lost. displaced: another entry came and could not be given its name back.
    static Outcome replace(const Directory& folder, const String& name,
                           const std::function<bool(DataFile&)>& fill, ReplaceOptions options);

    // bytes as the whole content of the regular file at location (or a new one there): in a new file
    // that replaces it (replace, keepOwner), unless that would not be the same file to those who share it
    // (it has other names, or may have: it cannot be looked at; attributes a new file would not have, or an
    // owner or group the new one cannot be given); it is then written into itself (writeInPlace).
    static Outcome save(const FileLocation& location, std::string_view bytes,
                        const std::function<String(int)>& copyName, int tries);
    // bytes written into the existing regular file at location itself, so that it stays the file its
    // other names, owner and attributes make it. What it held is first kept whole on the disk under the
    // first free copyName(1) ... copyName(tries) beside it, and recorded (recordedCopy) before the copy
    // takes that name and before the file is emptied; however the write ends, what it held is put back
    // unless the new content is on the disk. The copy and its record are removed once it is. An empty
    // file holds nothing to keep: it gets no copy.
    static Outcome writeInPlace(const FileLocation& location, std::string_view bytes,
                                const std::function<String(int)>& copyName, int tries);

    // The copy that a write into the file keeps while it writes, as the record says: on the file itself,
    // which every name shares, or, where its file system keeps no such record, in a note beside the name
    // written through ("<name>.copy"), naming the file. A copy is known by its path and inode, which a
    // remount keeps; one moved along with the folder of `through` (a name of the file) is found beside it.
    // The record names its write too, so that it is followed only while the file is that write's state;
    // a note also keeps the change time and size the write left the file with once it emptied it, so that
    // any change since, through any name, makes it stale.
    struct RecordedCopy {
        enum class State {
            none,           // no write into the file left a record
            found,          // copy: what the file held before the write recorded, which the file still
                            // is the state of (that content, a cut, or as the write left it emptied), or
                            // a record that cannot say (cannotTell)
            ended,          // that write's content is whole in the file: copy (empty when gone) is done
            stale,          // the file was written since, through another name: the record is no longer
                            // its own, and copy (empty when gone) is a copy like any other
            unfollowable,   // a record, but its copy cannot be had: copy as recorded (empty when the
                            // record could not be read), systemError why (0: another file is there)
        } state = State::none;
        FileLocation copy;
        FileIdentity identity;   // the copy's, when it is there
        int systemError = 0;
        // found, but whose state the file is cannot be told: by no whole block of it, nor by the time the
        // file was left at once the write emptied it (a record without one, a coarse clock, or a change
        // within the time's last step). A change of the file since that time, through any name, is stale.
        bool cannotTell = false;
    };
    // holding: what the file holds, when the caller has read it.
    static RecordedCopy recordedCopy(const FileLocation& location, const FileLocation& through = {},
                                     std::optional<std::string_view> holding = std::nullopt);
    // The same, what the file holds asked of holding only where a record needs it (nullopt: it cannot
    // be read).
    static RecordedCopy recordedCopy(const FileLocation& location, const FileLocation& through,
                                     const std::function<std::optional<std::string_view>()>& holding);
    // Whether the file system of the file at location keeps the record on the file itself.
    static bool recordsCopies(const FileLocation& location);
    // Once the file is known to be whole again: the record removed, and the copy it names with it when
    // mayGo allows (also where the file was written since through another name). What the file holds is
    // first put on the disk; when it cannot be, nothing is removed. Returns the copy that mayGo kept (empty:
    // none). recorded: the record as recordedCopy judged it, when the caller has.
    static FileLocation dropRecordedCopy(const FileLocation& location,
                                         const std::function<bool(const FileLocation& copy)>& mayGo);
    static FileLocation dropRecordedCopy(const FileLocation& location, const RecordedCopy& recorded,
                                         const std::function<bool(const FileLocation& copy)>& mayGo);
    // Whether name is the framework's own attribute, which the record of a copy is.
    static bool isOwnAttribute(std::string_view name);
};

}   // namespace tarnwick
