#include "Foundation/SafeFile.h"

#include <cerrno>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "Foundation/FileSystemCalls.h"
#include "Foundation/String.h"

namespace tarnwick {
namespace {

using Result = SafeFile::Result;
using Outcome = SafeFile::Outcome;

// On the file written into itself, while it is: "<device> <inode> <path>" of the copy of what it held.
constexpr const char* kCopyRecord = "user.tarnwick.copy";

Outcome failed(Result result, int error = errno) { return {result, error, {}, {}}; }

bool unsupported(int error) { return error == ENOTSUP || error == EOPNOTSUPP; }

// bytes whole in a new file in folder under the first free name(n), its name on the disk. The new file
// and its identity in made.
Outcome keepWhole(const Directory& folder, const String& passingFor, const std::function<String(int)>& name,
                  int tries, std::string_view bytes, const FileLocation* like, FileIdentity& made) {
    const std::unique_ptr<PassingFile> file = PassingFile::make(folder, passingFor);
    if (!file) return failed(Result::noNewFile);
    DataFile& data = file->file();
    if (like && !data.takePermissionsOf(*like)) return failed(Result::noNewFile);
    if (!data.write(bytes.data(), bytes.size()) || !data.flush()) return failed(Result::cutShort);
    int n = 1;
    while (!file->takeName(name(n)))
        if (errno != EEXIST)
            return failed(Result::notReplaced);
        else if (++n > tries)
            return failed(Result::namesTaken, EEXIST);
    made = identityAt(file->getLocation()).value_or(FileIdentity{});
    Outcome outcome;
    outcome.file = file->getLocation();
    if (!folder.flush()) {
        outcome.result = Result::folderNotFlushed;
        outcome.systemError = errno;
    }
    return outcome;
}

// What a file held, put back into it however its write ends, an exception too, unless dismissed. Only
// system calls on what is already in memory.
class PutBack {
public:
    enum class State { back, backNotFlushed, cut, untouched };

    PutBack(DataFile& file, std::string_view held) : file_(file), held_(held) {}
    ~PutBack() {
        if (armed_) restore();
    }
    PutBack(const PutBack&) = delete;
    PutBack& operator=(const PutBack&) = delete;

    void dismiss() { armed_ = false; }
    // What the file holds afterwards: untouched when it could not even be emptied.
    State restore() {
        armed_ = false;
        if (!file_.open() || !file_.setDataLength(0)) return State::untouched;
        if (!file_.write(held_.data(), held_.size())) return State::cut;
        return file_.flush() ? State::back : State::backNotFlushed;
    }

private:
    DataFile& file_;
    std::string_view held_;
    bool armed_ = true;
};

}   // namespace

Outcome SafeFile::writeNew(const Directory& folder, const String& passingFor,
                           const std::function<String(int)>& name, int tries, std::string_view bytes,
                           const FileLocation* like) {
    FileIdentity made;
    return keepWhole(folder, passingFor, name, tries, bytes, like, made);
}

Outcome SafeFile::replace(const Directory& folder, const String& name,
                          const std::function<bool(DataFile&)>& fill, ReplaceOptions options) {
    if (folder.getLocation().empty() || !File::isUsableName(name.getView()))
        return failed(Result::notReplaced, EINVAL);
    const FileLocation target = folder.getLocation() / FileLocation(name.getView());
    // Only a file or a link is replaced: a folder, pipe or device at the name stays where it is.
    std::optional<FileIdentity> was;
    if (!replaceableAt(target, was)) return failed(Result::notReplaced);
    std::unique_ptr<PassingFile> file = PassingFile::make(folder, name);
    if (!file) return failed(Result::noNewFile);
    DataFile& data = file->file();
    if (options.keepOwner && was) {
        // Given before it holds anything: no one else reads what it will hold meanwhile.
        if (!data.takeOwnerOf(target)) return failed(Result::notOwned);
        if (!data.takePermissionsOf(target)) return failed(Result::notReplaced);
    }
    // On the disk before it takes the name: after a power cut the name holds the old file or the new one.
    if (!fill(data) || (options.durable && !data.flush())) return failed(Result::cutShort);
    FileLocation displaced;
    if (!file->replace(name, was, &displaced))
        return displaced.empty() ? failed(Result::notReplaced)
                                 : Outcome{Result::displaced, errno, target, displaced};
    // What runs stopped while writing this name left beside it goes now that it holds a whole file.
    file->removeLeftBeside();
    Outcome outcome;
    outcome.file = target;
    if (options.durable && !folder.flush()) {
        outcome.result = Result::folderNotFlushed;
        outcome.systemError = errno;
    }
    return outcome;
}

Outcome SafeFile::save(const FileLocation& location, std::string_view bytes,
                       const std::function<String(int)>& copyName, int tries) {
    const DataFile old(location, DataFile::kRead);
    if (old.exists() && (old.getLinkCount().value_or(1) > 1 || old.hasExtendedAttributes()))
        return writeInPlace(location, bytes, copyName, tries);
    const Directory folder(location.parent_path());
    const Outcome outcome = replace(
        folder, String(std::string_view(location.filename().native())),
        [bytes](DataFile& file) { return file.write(bytes.data(), bytes.size()); }, {.keepOwner = true});
    return outcome.result == Result::notOwned ? writeInPlace(location, bytes, copyName, tries) : outcome;
}

Outcome SafeFile::writeInPlace(const FileLocation& location, std::string_view bytes,
                               const std::function<String(int)>& copyName, int tries) {
    DataFile file(location, DataFile::kReadWrite, /*create=*/true);   // never through a link put there since
    std::string before;
    if (!file.readToEnd(before)) return failed(Result::unread);
    // 1. What it holds, whole on the disk beside it under a name of its own, before it is emptied.
    const Directory folder(location.parent_path());
    FileIdentity copyIdentity;
    Outcome copy = keepWhole(folder, String(std::string_view(location.filename().native())), copyName, tries,
                             before, &location, copyIdentity);
    if (!copy.done()) {
        if (copy.result == Result::folderNotFlushed) removeIfStill(copy.file, copyIdentity);
        return failed(copy.result == Result::namesTaken ? Result::copyNamesTaken : Result::copyNotKept,
                      copy.systemError);
    }
    const auto dropCopy = [&] { removeIfStill(copy.file, copyIdentity); };
    // 2. Recorded on the file, which all its names share, so that a run through any of them finds the
    // copy. The record is a change of the file's own, kept in order with the emptying that follows. A
    // record already there names the whole table that a stopped write kept (this write puts it back): it
    // stays the one recorded until the file is whole again, whatever stops this write.
    const bool recordedBefore = recordedCopy(location).has_value();
    bool recorded = false;   // by this write
    if (!recordedBefore) {
        const std::string record = std::to_string(copyIdentity.device) + " " +
                                   std::to_string(copyIdentity.inode) + " " + copy.file.native();
        recorded =
            sys::setAttribute(file.descriptor_, location.c_str(), kCopyRecord, record.data(), record.size());
        if (!recorded && !unsupported(errno)) {
            const int error = errno;
            dropCopy();
            return failed(Result::notRecorded, error);
        }
    }
    // Once what the file holds is on the disk again, this write's record goes; the one before it only
    // once the file is whole.
    const auto dropRecord = [&](bool whole) {
        if (recorded || (whole && recordedBefore)) sys::removeAttribute(location.c_str(), kCopyRecord);
    };
    // 3. The new content; the copy goes once it is on the disk.
    PutBack putBack(file, before);
    const bool emptied = file.setDataLength(0);
    const bool whole = emptied && file.write(bytes.data(), bytes.size());
    if (whole && file.flush()) {
        putBack.dismiss();
        dropCopy();
        dropRecord(/*whole=*/true);
        return {Result::written, 0, location, {}};
    }
    const int error = errno;
    if (!emptied) {
        putBack.dismiss();
        dropCopy();
        dropRecord(/*whole=*/false);
        return failed(Result::cutShort, error);
    }
    switch (putBack.restore()) {
        case PutBack::State::back:
            dropCopy();
            dropRecord(/*whole=*/false);
            return failed(Result::cutShort, error);
        case PutBack::State::backNotFlushed:   // the copy stays the one on the disk
            return failed(Result::cutShort, error);
        case PutBack::State::untouched:
            if (whole) return {Result::notFlushed, error, location, copy.file};
            break;
        case PutBack::State::cut:
            break;
    }
    return {Result::notPutBack, error, location, copy.file};
}

std::optional<FileLocation> SafeFile::recordedCopy(const FileLocation& location) {
    char value[4200];
    const ssize_t size = sys::getAttribute(location.c_str(), kCopyRecord, value, sizeof value);
    if (size <= 0) return std::nullopt;
    const std::string_view record(value, static_cast<std::size_t>(size));
    const std::size_t first = record.find(' ');
    const std::size_t second = first == std::string_view::npos ? first : record.find(' ', first + 1);
    if (second == std::string_view::npos) return std::nullopt;
    FileIdentity identity;
    try {
        identity.device = static_cast<dev_t>(std::stoull(std::string(record.substr(0, first))));
        identity.inode =
            static_cast<ino_t>(std::stoull(std::string(record.substr(first + 1, second - first - 1))));
    } catch (const std::exception&) {
        return std::nullopt;   // not a record of ours
    }
    FileLocation copy(std::string(record.substr(second + 1)));
    // Only while the copy is still the file it recorded: a name taken since by another file is not it.
    if (identityAt(copy) != identity || !DataFile(copy, DataFile::kRead).exists()) return std::nullopt;
    return copy;
}

bool SafeFile::recordsCopies(const FileLocation& location) {
    return sys::getAttribute(location.c_str(), kCopyRecord, nullptr, 0) >= 0 || !unsupported(errno);
}

void SafeFile::dropRecordedCopy(const FileLocation& location) {
    if (const std::optional<FileLocation> copy = recordedCopy(location)) sys::unlink(copy->c_str());
    sys::removeAttribute(location.c_str(), kCopyRecord);
}

bool SafeFile::isOwnAttribute(std::string_view name) { return name == kCopyRecord; }

}   // namespace tarnwick
