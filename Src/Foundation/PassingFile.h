// PassingFile: a new file made in a folder for a name it is to take ("<name>.partial", then names of this
// process's own, "<name>.partial <pid>-2", ..., so that files that runs which ended left never use up the
// names), locked before it holds a byte, so that a run that finds such a file unlocked knows its maker
// has ended or has not yet locked it; removed again, by its identity, unless it takes a name. Where the
// file system makes unnamed files, no one sees it before it is locked; elsewhere it lies empty and unlocked
// under its name for a moment, and a file that another run removed in that moment is given up.
#pragma once

#include <sys/types.h>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "Foundation/DataFile.h"
#include "Foundation/Directory.h"
#include "Foundation/FileIdentity.h"
#include "Foundation/String.h"

namespace tarnwick {

// Owned by the caller; not copyable.
class PassingFile {
public:
    static constexpr int kMostNames = 100;

    // Made in folder for forName, open to read and write, under the first passing name no entry has.
    // Null with errno when none can be made.
    static std::unique_ptr<PassingFile> make(const Directory& folder, const String& forName);
    // Removes the file unless it took a name (only the file this made); one that cannot be removed is
    // emptied, for the next whole write of the name to remove.
    ~PassingFile();

    PassingFile(const PassingFile&) = delete;
    PassingFile& operator=(const PassingFile&) = delete;

    DataFile& file() { return *file_; }

    // The file takes name in its folder, only where no entry has it: never anything that appeared
    // meanwhile. False with errno (EEXIST: taken).
    bool takeName(const String& name);
    // The file takes name in one step, replacing what was there: this must still be the entry `was`
    // (a file or a link itself, whose target is never touched), or nothing when was is nullopt. False with
    // errno (EEXIST: another entry came in the meantime, and keeps the name). Where the file system cannot
    // trade two names in one step, what is at the name is looked at and then replaced: an entry that came
    // in between is replaced too. When the names, traded with an entry that came meanwhile, could not be
    // traded back, false with the system's errno, but the file has the name all the same and that entry
    // lies at the passing name, given in displaced. The entry replaced is removed; one that cannot be is
    // emptied, while it is a file with no other name that no one holds.
    bool replace(const String& name, const std::optional<FileIdentity>& was,
                 FileLocation* displaced = nullptr);
    // Where the file now is; its passing name until it took another.
    const FileLocation& getLocation() const { return file_->getLocation(); }

    // "<forName>.partial", then "<forName>.partial <pid>-2", ... (pid: this process's).
    static String nameFor(const String& forName, int n);
    // The names in folder that are passing names for forName, of any run (or of earlier releases,
    // "<forName>.partial <n>"), sorted; of a folder that cannot be read to its end, those read.
    static std::vector<String> namesIn(const Directory& folder, const String& forName);
    // A new file in folder under the first of name(1) ... name(tries) that no entry has, holding first,
    // locked through the descriptor returned before it holds anything (and, where the file system makes
    // unnamed files, before any other process can see it); the caller owns the descriptor. -1 with errno
    // (EEXIST: every name taken).
    static int makeLocked(const FileLocation& folder, const std::function<FileLocation(int)>& name, int tries,
                          std::string_view first, mode_t mode, FileLocation& made);
    // The passing files for forName in folder that runs which ended left there: only those no live run
    // holds, and of them only those known to be such a run's: empty, the start of `writes` (what the
    // caller, who has the turn at forName, writes next), or what `alsoRuns` knows as such a run's; and a
    // second name of the file at forName itself, which a run stopped while it took that name by a second
    // one left. Each is removed by its identity.
    static void removeLeft(
        const Directory& folder, const String& forName, std::string_view writes,
        const std::function<bool(int descriptor, const FileLocation& location)>& alsoRuns = {});
    // Once the file took a name: the passing files for that name that runs which ended left beside it,
    // removed as removeLeft removes them, where such a run's is known by holding nothing or the start of
    // what this file holds (or by being this file).
    void removeLeftBeside() const;
    // The files in folder that runs which ended left there under a name isName accepts: only those held
    // by no one (a file this run holds open at `held` counts as no one's), and of them only those that
    // isRuns, shown the file open to read, knows as such a run's by what they hold. Each is removed by
    // its identity. A name that is the file secondNameOf names is removed as it is, unlocked and unread.
    static void removeLeft(const FileLocation& folder,
                           const std::function<bool(std::string_view name)>& isName,
                           const std::function<bool(int descriptor, const FileLocation& location)>& isRuns,
                           int held = -1, const std::optional<FileIdentity>& secondNameOf = std::nullopt);
    // Whether the file open at descriptor (at location) holds nothing, or the first bytes of text and
    // nothing more.
    static bool holdsStartOf(int descriptor, const FileLocation& location, std::string_view text);

private:
    PassingFile(std::unique_ptr<DataFile> file, FileIdentity identity);
    std::optional<FileLocation> targetOf(const String& name) const;   // nullopt with errno
    void named(const FileLocation& location);                         // it took that name

    std::unique_ptr<DataFile> file_;
    FileIdentity identity_;
    bool named_ = false;   // took a name: not removed
};

}   // namespace tarnwick
