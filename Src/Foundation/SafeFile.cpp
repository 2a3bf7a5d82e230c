#include "Foundation/SafeFile.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

#include <HostFiles.h>

#include "Foundation/FileSystemCalls.h"
#include "Foundation/String.h"
#include "Foundation/TextDigest.h"

namespace tarnwick {
namespace {

using Result = SafeFile::Result;
using Outcome = SafeFile::Outcome;

// On the file written into itself, while it is: "<left> <inode> <size> <digests> <held size> <held
// digests> <path>" of the copy of what it held, with the size and block digests (hex, by commas) of what
// the write writes and of what the file held, which name the write, and how the write left the file once
// it emptied it (Left). The releases before wrote the record without <left>, "<inode> <path>" and
// "<device> <inode> <path>", naming no write; a device number may change with a remount, so it is passed
// over.
constexpr const char* kCopyRecord = "user.tarnwick.copy";
// Where the file system keeps no record on the file: a note beside the name written through, holding the
// file's inode and then the record.
constexpr std::string_view kNoteExtension = ".copy";
constexpr std::size_t kMostRecord = 4864;   // a path, the Left field, three numbers and 32 digests

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

    // emptied: told once the file is emptied again, before what it held is written back.
    PutBack(DataFile& file, std::string_view held, std::function<void()> emptied = {})
        : file_(file), held_(held), emptied_(std::move(emptied)) {}
    ~PutBack() {
        if (armed_) restore();
    }
    PutBack(const PutBack&) = delete;
    PutBack& operator=(const PutBack&) = delete;

    void dismiss() { armed_ = false; }
    // What the file holds afterwards: untouched when it could not even be emptied (or a cut of it was
    // refused).
    State restore() {
        armed_ = false;
        if (!file_.open() || !file_.setDataLength(0)) return State::untouched;
        if (emptied_) emptied_();
        if (!file_.write(held_.data(), held_.size())) return State::cut;
        return file_.flush() ? State::back : State::backNotFlushed;
    }

private:
    DataFile& file_;
    std::string_view held_;
    std::function<void()> emptied_;
    bool armed_ = true;
};

FileLocation noteFor(const FileLocation& location) {
    return location.parent_path() / (location.filename().native() + std::string(kNoteExtension));
}

// A text as a record names it: its size and the digests of its blocks (blockDigestsOf).
struct Text {
    std::uint64_t size = 0;
    std::vector<std::uint64_t> blocks;   // digests

    static std::size_t countFor(std::uint64_t size) {
        const std::size_t block = digestBlockFor(size);
        return size == 0 ? 1 : static_cast<std::size_t>((size + block - 1) / block);
    }
    static Text of(std::string_view text) { return {text.size(), blockDigestsOf(text)}; }
    // Whether holding is this text whole.
    bool is(std::string_view holding) const { return holding.size() == size && agreeing(holding); }
    // How many blocks holding, shorter than this text, holds whole, when it agrees with its start in each
    // of them (none: a cut too short to hold one cannot say).
    std::optional<std::size_t> cutBy(std::string_view holding) const {
        return holding.size() < size ? agreeing(holding) : std::nullopt;
    }

private:
    std::optional<std::size_t> agreeing(std::string_view holding) const {
        const std::size_t block = digestBlockFor(size);
        std::size_t n = 0;
        for (std::size_t at = 0; n < blocks.size() && at < holding.size(); at += block, ++n) {
            const std::string_view part = holding.substr(at, block);
            if (part.size() < block && at + part.size() < size) break;   // the cut's last, partial block
            if (digestOf(part) != blocks[n]) return std::nullopt;
        }
        return n;
    }
};

// How a write left the file once it emptied it: its change time and size, which any later change of the
// file, through any of its names, moves on. Laid in a note only (setting a record on the file changes its
// time), as a field of fixed width that a note holds from the start, unlaid, so that it is laid by one
// write of the same length: a power cut leaves the old field or the new one.
struct Left {
    std::uint64_t seconds = 0;
    std::uint64_t nanoseconds = 0;
    std::uint64_t size = 0;

    static Left of(const struct stat& info) {
        return {static_cast<std::uint64_t>(info.st_ctim.tv_sec),
                static_cast<std::uint64_t>(info.st_ctim.tv_nsec), static_cast<std::uint64_t>(info.st_size)};
    }
};
constexpr std::size_t kLeftDigits[] = {20, 9, 20};   // seconds, nanoseconds, size: decimal, by dots
constexpr std::size_t kLeftWidth = 20 + 1 + 9 + 1 + 20;
constexpr char kUnlaid = '-';

// The write a record belongs to: what it writes and what the file held before it, and how it left the
// file once it emptied it, when its record says.
struct Write {
    Text written;
    Text held;
    std::optional<Left> left;
};

std::string hex(std::uint64_t value) {
    char text[17];
    const auto [end, error] = std::to_chars(text, text + sizeof text, value, 16);
    return std::string(text, end);
}

// "<size> <digest>,<digest>,..."
std::string named(const Text& text) {
    std::string named = std::to_string(text.size) + " ";
    for (std::size_t n = 0; n < text.blocks.size(); ++n) named += (n ? "," : "") + hex(text.blocks[n]);
    return named;
}

// The field of a Left, or one of the same width that is not laid.
std::string leftField(const std::optional<Left>& left) {
    if (!left) return std::string(kLeftWidth, kUnlaid);
    std::string field;
    const std::uint64_t values[] = {left->seconds, left->nanoseconds, left->size};
    for (std::size_t n = 0; n < 3; ++n) {
        const std::string digits = std::to_string(values[n]);
        if (n) field += '.';
        field += std::string(kLeftDigits[n] - std::min(digits.size(), kLeftDigits[n]), '0') + digits;
    }
    return field;
}

// A record naming write, with its Left field not laid (it is the record's first token).
std::string recordOf(const FileIdentity& copy, const Write& write, const FileLocation& at) {
    return leftField(std::nullopt) + " " + std::to_string(copy.inode) + " " + named(write.written) + " " +
           named(write.held) + " " + at.native();
}

// The number that text starts with, up to a space, which is passed over.
bool takeNumber(std::string_view& text, std::uint64_t& value) {
    const std::size_t space = text.find(' ');
    if (space == 0 || space == std::string_view::npos) return false;
    const auto [end, error] = std::from_chars(text.data(), text.data() + space, value);
    if (error != std::errc() || end != text.data() + space) return false;
    text.remove_prefix(space + 1);
    return true;
}

bool numberOf(std::string_view token, std::uint64_t& value, int base) {
    const auto [end, error] = std::from_chars(token.data(), token.data() + token.size(), value, base);
    return error == std::errc() && end == token.data() + token.size();
}

// A text's size and block digests from their two tokens; false unless the digests are as many as its
// size has blocks.
bool textOf(std::string_view size, std::string_view digests, Text& text) {
    if (!numberOf(size, text.size, 10)) return false;
    for (;;) {
        const std::size_t comma = digests.find(',');
        std::uint64_t digest = 0;
        if (!numberOf(digests.substr(0, comma), digest, 16)) return false;
        text.blocks.push_back(digest);
        if (comma == std::string_view::npos) break;
        digests.remove_prefix(comma + 1);
    }
    return text.blocks.size() == Text::countFor(text.size);
}

// A Left from its field; nullopt in left when the field is not laid. False when it is neither.
bool leftOf(std::string_view field, std::optional<Left>& left) {
    if (field == std::string(kLeftWidth, kUnlaid)) return true;
    std::uint64_t values[3] = {};
    for (std::size_t n = 0; n < 3; ++n) {
        const std::size_t width = kLeftDigits[n];
        if (field.size() < width || !numberOf(field.substr(0, width), values[n], 10)) return false;
        field.remove_prefix(width);
        if (n < 2 && !field.starts_with('.')) return false;
        if (n < 2) field.remove_prefix(1);
    }
    if (!field.empty()) return false;
    left = Left{values[0], values[1], values[2]};
    return true;
}

// The copy's inode and path, and the write it belongs to, from a record of this release or the one before
// (which has no Left field); from one of the releases before them, which name no write, the inode and path
// alone.
bool parseRecord(std::string_view text, std::uint64_t& inode, std::optional<Write>& write,
                 FileLocation& copy) {
    std::string_view tokens[6];
    std::size_t count = 0;
    while (!text.starts_with('/')) {
        const std::size_t space = text.find(' ');
        if (count == 6 || space == 0 || space == std::string_view::npos) return false;
        tokens[count++] = text.substr(0, space);
        text.remove_prefix(space + 1);
    }
    const std::size_t first = count == 6 ? 1 : 0;   // past the Left field
    if (count == 1 || count == 2) {
        if (!numberOf(tokens[count - 1], inode, 10)) return false;
    } else if (Write named; (count == 5 || (count == 6 && leftOf(tokens[0], named.left))) &&
                            numberOf(tokens[first], inode, 10) &&
                            textOf(tokens[first + 1], tokens[first + 2], named.written) &&
                            textOf(tokens[first + 3], tokens[first + 4], named.held)) {
        write = std::move(named);
    } else {
        return false;
    }
    copy = FileLocation(std::string(text));
    return true;
}

// What the note beside location holds of the record on the file there. None: no note, or one about
// another file; unread: the note cannot be read (errno).
enum class Note { none, read, unread };
Note noteOn(const FileLocation& location, std::string& record) {
    const FileLocation note = noteFor(location);
    std::optional<FileIdentity> noted;
    if (!identityAt(note, noted)) return Note::unread;
    if (!noted) return Note::none;
    DataFile file(note, DataFile::kRead);
    std::string text;
    if (!file.readToEnd(text)) return Note::unread;
    std::uint64_t inode = 0;
    std::string_view rest = text;
    std::optional<FileIdentity> about;
    if (!identityAt(location, about)) return Note::unread;
    if (text.size() > kMostRecord || !about || !takeNumber(rest, inode) || inode != about->inode)
        return Note::none;
    record = rest;
    return Note::read;
}

// The record written where the file's system keeps it: on the file open at descriptor, or, where it
// cannot, in the note beside it, flushed and under its name (one a stopped write left is replaced); the
// note's identity in note, the note itself kept open in opened, with where its Left field lies in fieldAt.
// False with errno.
bool setRecord(int descriptor, const FileLocation& location, const std::string& record,
               std::optional<FileIdentity>& note, std::unique_ptr<PassingFile>& opened, off_t& fieldAt) {
    if (sys::setAttribute(descriptor, location.c_str(), kCopyRecord, record.data(), record.size()))
        return true;
    if (!unsupported(errno)) return false;
    const std::optional<FileIdentity> file = identityOf(descriptor, location);
    if (!file) return false;
    const FileLocation at = noteFor(location);
    const String name(std::string_view(at.filename().native()));
    std::unique_ptr<PassingFile> made = PassingFile::make(Directory(location.parent_path()), name);
    const std::string inode = std::to_string(file->inode) + " ";
    const std::string text = inode + record;
    if (!made || !made->file().write(text.data(), text.size()) || !made->file().flush() ||
        !made->replace(name, identityAt(at)))
        return false;
    note = identityAt(at);
    opened = std::move(made);
    fieldAt = static_cast<off_t>(inode.size());
    return true;
}

// How the file open at descriptor is left, laid in the Left field at fieldAt of its note, open at
// noteDescriptor. Where the file cannot be looked at, or the field not written, the field says nothing,
// and the note cannot tell whose state the file is.
void layLeft(int descriptor, const FileLocation& location, int noteDescriptor, off_t fieldAt) {
    struct stat info {};
    if (!sys::lookAtOpen(descriptor, location.c_str(), info)) return;
    const std::string field = leftField(Left::of(info));
    const FileLocation note = noteFor(location);
    if (sys::seek(noteDescriptor, note.c_str(), fieldAt, SEEK_SET) == fieldAt)
        sys::writeAll(noteDescriptor, note.c_str(), field.data(), field.size());
}

// The note beside location that names the file there, open to write, with where its Left field lies; null
// where there is none, or it has no such field (a note of a release before).
std::unique_ptr<DataFile> noteField(const FileLocation& location, off_t& fieldAt) {
    std::string record;
    if (noteOn(location, record) != Note::read) return nullptr;
    std::optional<Left> left;
    if (record.size() <= kLeftWidth || record[kLeftWidth] != ' ' ||
        !leftOf(std::string_view(record).substr(0, kLeftWidth), left))
        return nullptr;
    const FileLocation at = noteFor(location);
    auto note = std::make_unique<DataFile>(at, DataFile::kReadWrite);
    const std::optional<std::uint64_t> size = note->getSize();
    if (!size || *size < record.size() || !note->open()) return nullptr;
    fieldAt = static_cast<off_t>(*size - record.size());
    return note;
}

// This write's record removed: from the file, or its note.
void dropRecord(const FileLocation& location, const std::optional<FileIdentity>& note) {
    if (note)
        removeIfStill(noteFor(location), *note);
    else
        sys::removeAttribute(location.c_str(), kCopyRecord);
}

// The record an earlier write left removed: from the file, or its note.
void dropEarlierRecord(const FileLocation& location) {
    if (sys::removeAttribute(location.c_str(), kCopyRecord) || !unsupported(errno)) return;
    const FileLocation note = noteFor(location);
    std::string record;
    if (const std::optional<FileIdentity> identity = identityAt(note);
        identity && noteOn(location, record) == Note::read)
        removeIfStill(note, *identity);
}

// Whose state the file holding holds is, against the write a record names, the file being left as now
// says (nullopt: unknown): that write's new content whole (it ended); the file as the write left it once it
// emptied it, what it held before, or a cut of either that agrees with it in a whole block (it is that
// write's); anything else (the file was written since, through another name). Where neither the time nor
// a block can tell, because the record has no time, the clock is too coarse, or the file changed within
// the time's last step, a cut that no block contradicts is followed, but cannot tell.
struct Judged {
    SafeFile::RecordedCopy::State state;
    bool cannotTell = false;
};
Judged stateAgainst(const Write& write, std::string_view holding, const std::optional<Left>& now) {
    using State = SafeFile::RecordedCopy::State;
    if (write.written.is(holding)) return {State::ended};
    const std::optional<std::size_t> writtenCut = write.written.cutBy(holding);
    const std::optional<std::size_t> heldCut = write.held.cutBy(holding);
    const bool agrees = write.held.is(holding) || writtenCut || heldCut;
    if (!agrees) return {State::stale};
    // A whole block that agrees says whose it is (or the whole text it held, which holds one).
    if (write.held.is(holding) || writtenCut.value_or(0) > 0 || heldCut.value_or(0) > 0)
        return {State::found};
    const std::optional<Left>& left = write.left;
    if (!left || !now) return {State::found, /*cannotTell=*/true};
    const bool sameTime = left->seconds == now->seconds && left->nanoseconds == now->nanoseconds;
    if (!sameTime) return {State::stale};   // changed since, through any name
    // The system stamps changes by a clock that moves in ticks of milliseconds or whole seconds: another
    // save's emptying in the same tick leaves the same time, so the same time cannot tell whose it is.
    return {State::found, /*cannotTell=*/true};
}

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
    Outcome outcome;
    outcome.file = target;
    if (options.durable && !folder.flush()) {
        outcome.result = Result::folderNotFlushed;
        outcome.systemError = errno;
        return outcome;
    }
    // What runs stopped while writing this name left beside it goes once the name holds a whole file on
    // the disk.
    file->removeLeftBeside();
    return outcome;
}

Outcome SafeFile::save(const FileLocation& location, std::string_view bytes,
                       const std::function<String(int)>& copyName, int tries) {
    // A file that cannot be looked at may have other names, which a new file would part from it.
    struct stat info {};
    if (!sys::look(location.c_str(), info)) {
        if (errno != ENOENT) return writeInPlace(location, bytes, copyName, tries);
    } else if (S_ISREG(info.st_mode) &&
               (info.st_nlink > 1 || DataFile(location, DataFile::kRead).hasExtendedAttributes())) {
        return writeInPlace(location, bytes, copyName, tries);
    }
    // A note of a write into the file replaced names a file that no name leads to afterwards: it goes too.
    std::string record;
    const std::optional<FileIdentity> note =
        noteOn(location, record) == Note::read ? identityAt(noteFor(location)) : std::nullopt;
    const Directory folder(location.parent_path());
    const Outcome outcome = replace(
        folder, String(std::string_view(location.filename().native())),
        [bytes](DataFile& file) { return file.write(bytes.data(), bytes.size()); }, {.keepOwner = true});
    if (note && (outcome.result == Result::written || outcome.result == Result::folderNotFlushed))
        removeIfStill(noteFor(location), *note);
    return outcome.result == Result::notOwned ? writeInPlace(location, bytes, copyName, tries) : outcome;
}

Outcome SafeFile::writeInPlace(const FileLocation& location, std::string_view bytes,
                               const std::function<String(int)>& copyName, int tries) {
    // Opened as the regular file it is, never through a link put at its name since it was looked at.
    DataFile file(location, DataFile::kReadWrite, /*create=*/true);
    std::string before;
    if (!file.readToEnd(before)) return failed(Result::unread);
    // A record of a write this file is still the state of names the whole table that a stopped write kept
    // (this write puts it back): it stays the one recorded until the file is whole, whatever stops this
    // write. One that cannot even be read may name the only whole copy: nothing may empty the file. A
    // record of a write that ended, or that the file was written past since, is replaced by this write's.
    const RecordedCopy earlier = recordedCopy(location, {}, before);
    if (earlier.state == RecordedCopy::State::unfollowable && earlier.copy.empty())
        return failed(Result::notRecorded, earlier.systemError);
    const bool recordedBefore =
        earlier.state == RecordedCopy::State::found || earlier.state == RecordedCopy::State::unfollowable;
    const Write write{Text::of(bytes), Text::of(before), std::nullopt};
    // An empty file holds nothing to keep: no copy, nor a record of one.
    std::unique_ptr<PassingFile> copy;
    FileIdentity copyIdentity;
    const Directory folder(location.parent_path());
    if (!before.empty()) {
        // 1. What it holds, whole on the disk beside it under a passing name.
        copy = PassingFile::make(folder, String(std::string_view(location.filename().native())));
        if (!copy) return failed(Result::copyNotKept);
        DataFile& copyData = copy->file();
        if (!copyData.takePermissionsOf(location) || !copyData.write(before.data(), before.size()) ||
            !copyData.flush())
            return failed(Result::copyNotKept);
        // Known by its identity, which its record names: one that cannot be had keeps no copy.
        const std::optional<FileIdentity> identity = identityAt(copy->getLocation());
        if (!identity) return failed(Result::copyNotKept);
        copyIdentity = *identity;
    }
    // 2. Recorded under the name it is about to take, then named, so that a stop in between leaves no
    // copy under a name of the series that no record names.
    bool recorded = false;   // by this write
    std::optional<FileIdentity> note;
    std::unique_ptr<PassingFile> noteFile;   // open, to lay how the write leaves the file in it
    off_t fieldAt = 0;
    // The note of the write before, which stays the record: it learns how this write leaves the file.
    const std::unique_ptr<DataFile> earlierNote = recordedBefore ? noteField(location, fieldAt) : nullptr;
    const auto dropOwnRecord = [&] {
        if (recorded) dropRecord(location, note);
    };
    const auto refused = [&](Result result, int error) {
        dropOwnRecord();
        return failed(result, error);
    };
    FileLocation named;
    for (int n = 1; copy && named.empty(); ++n) {
        if (n > tries) return refused(Result::copyNamesTaken, EEXIST);
        const String name = copyName(n);
        const FileLocation at = location.parent_path() / FileLocation(name.getView());
        if (identityAt(at)) continue;
        if (!recordedBefore) {
            if (!setRecord(file.descriptor_, location, recordOf(copyIdentity, write, at), note, noteFile,
                           fieldAt))
                return refused(Result::notRecorded, errno);
            recorded = true;
        }
        if (copy->takeName(name))
            named = at;
        else if (errno != EEXIST)
            return refused(Result::copyNotKept, errno);
    }
    // The copy removed; while it cannot be, its record stays with it, for a later turn to remove.
    const auto dropCopy = [&] { return !copy || removeIfStill(named, copyIdentity); };
    // 3. The copy's name and the record on the disk before the file is emptied.
    if (copy && (!folder.flush() || (recorded && !note && !file.flush()))) {
        const int error = errno;
        return dropCopy() ? refused(Result::copyNotKept, error) : failed(Result::copyNotKept, error);
    }
    // Once what the file holds is on the disk again, this write's record goes; the one before it only
    // once the file is whole.
    const auto dropRecords = [&](bool whole) {
        dropOwnRecord();
        if (whole && recordedBefore) dropEarlierRecord(location);
    };
    // 4. The new content; the copy goes once it is on the disk. Whatever else happens, the copy and the
    // records go only once the file is known to hold what it held, whole and on the disk.
    const auto sizeIs = [&file, &location](std::size_t size) {
        struct stat info {};
        return sys::lookAtOpen(file.descriptor_, location.c_str(), info) &&
               static_cast<std::uint64_t>(info.st_size) == size;
    };
    const auto keptAside = [&](Result result, int error) {
        Outcome outcome{result, error, location, named};
        outcome.heldNothing = !copy;
        if (result == Result::notFlushed)
            outcome.digest = foldedDigest(write.written.size, write.written.blocks);
        return outcome;
    };
    // Each time the file is emptied, the note learns how it is left: a change of the file since then is
    // another save's.
    const auto leftEmptied = [&] {
        if (noteFile || earlierNote)
            layLeft(file.descriptor_, location,
                    noteFile ? noteFile->file().descriptor_ : earlierNote->descriptor_, fieldAt);
    };
    PutBack putBack(file, before, leftEmptied);
    const bool emptied = file.setDataLength(0);
    if (emptied) leftEmptied();
    const bool whole = emptied && file.write(bytes.data(), bytes.size());
    if (whole && file.flush()) {
        putBack.dismiss();
        if (dropCopy()) dropRecords(/*whole=*/true);
        Outcome outcome{Result::written, 0, location, {}};
        outcome.digest = foldedDigest(write.written.size, write.written.blocks);
        return outcome;
    }
    const int error = errno;
    // Not emptied: what it held is still there, unless a cut the system refused had begun.
    if (!emptied && sizeIs(before.size())) {
        putBack.dismiss();
        if (dropCopy()) dropRecords(/*whole=*/false);
        return failed(Result::cutShort, error);
    }
    switch (putBack.restore()) {
        case PutBack::State::back:
            if (dropCopy()) dropRecords(/*whole=*/false);
            return failed(Result::cutShort, error);
        case PutBack::State::backNotFlushed:   // the copy stays the one on the disk
            return failed(Result::cutShort, error);
        case PutBack::State::untouched:
            if (whole && sizeIs(bytes.size())) return keptAside(Result::notFlushed, error);
            break;
        case PutBack::State::cut:
            break;
    }
    return keptAside(Result::notPutBack, error);
}

SafeFile::RecordedCopy SafeFile::recordedCopy(const FileLocation& location, const FileLocation& through,
                                              std::optional<std::string_view> holding) {
    std::string read;
    return recordedCopy(location, through, [&]() -> std::optional<std::string_view> {
        if (holding) return holding;
        if (!DataFile(location, DataFile::kRead).readToEnd(read)) return std::nullopt;
        return read;
    });
}

SafeFile::RecordedCopy SafeFile::recordedCopy(
    const FileLocation& location, const FileLocation& through,
    const std::function<std::optional<std::string_view>()>& holding) {
    using State = RecordedCopy::State;
    char value[kMostRecord];
    const ssize_t size = sys::getAttribute(location.c_str(), kCopyRecord, value, sizeof value);
    std::string record;
    if (size >= 0) {
        record.assign(value, static_cast<std::size_t>(size));
    } else if (unsupported(errno)) {
        const Note note = noteOn(location, record);
        if (note == Note::unread) return {State::unfollowable, {}, {}, errno};
        if (note == Note::none) return {};
    } else if (errno == ENODATA) {
        return {};
    } else {
        return {State::unfollowable, {}, {}, errno};
    }
    std::uint64_t inode = 0;
    std::optional<Write> write;
    FileLocation copy;
    if (!parseRecord(record, inode, write, copy)) return {State::unfollowable, {}, {}, EINVAL};
    // A record that names its write is the file's only while the file is that write's state; one of the
    // releases before cannot say, and is followed.
    Judged judged{State::found, /*cannotTell=*/true};
    if (write) {
        std::optional<Left> now;
        if (struct stat info{}; write->left && sys::look(location.c_str(), info)) now = Left::of(info);
        if (const std::optional<std::string_view> held = holding()) judged = stateAgainst(*write, *held, now);
    }
    const State state = judged.state;
    // Only while the copy is still the file recorded: a name taken since by another file is not it.
    const auto at = [inode](const FileLocation& place, int& error) -> std::optional<FileIdentity> {
        struct stat info {};
        if (!sys::lookAtEntry(place.c_str(), info)) {
            error = errno;
            return std::nullopt;
        }
        if (info.st_ino != inode || !S_ISREG(info.st_mode)) return std::nullopt;
        return FileIdentity{info.st_dev, info.st_ino};
    };
    int error = 0;
    if (const std::optional<FileIdentity> identity = at(copy, error))
        return {state, copy, *identity, 0, judged.cannotTell};
    // The folder it lay in may have moved, with the name this run came through.
    if (!through.empty() && through.parent_path() != copy.parent_path()) {
        const FileLocation beside = through.parent_path() / copy.filename();
        int ignored = 0;
        if (const std::optional<FileIdentity> identity = at(beside, ignored))
            return {state, beside, *identity, 0, judged.cannotTell};
    }
    // A write that ended, or that the file went past, leaves nothing to follow: only its record.
    if (state != State::found) return {state, {}, {}, 0};
    return {State::unfollowable, copy, {}, error};
}

bool SafeFile::recordsCopies(const FileLocation& location) {
    // Only an answer about the record itself tells: an error that says nothing of the file system (EIO,
    // EACCES) counts as one that keeps none, so that no run relies on a record it may not see.
    return sys::getAttribute(location.c_str(), kCopyRecord, nullptr, 0) >= 0 || errno == ENODATA;
}

FileLocation SafeFile::dropRecordedCopy(const FileLocation& location,
                                        const std::function<bool(const FileLocation& copy)>& mayGo) {
    return dropRecordedCopy(location, recordedCopy(location), mayGo);
}

FileLocation SafeFile::dropRecordedCopy(const FileLocation& location, const RecordedCopy& recorded,
                                        const std::function<bool(const FileLocation& copy)>& mayGo) {
    // What the file holds is on the disk before the copy of what it held may go: a read of it may have
    // come from pages a failed flush left unwritten.
    DataFile file(location, DataFile::kRead);
    if (!file.open() || !host::flushFile(file.descriptor_, location.native())) return {};
    FileLocation kept;
    // Also a copy whose write the file went past since: whoever wrote the file, it holds no row of its own.
    if (!recorded.copy.empty() && recorded.state != RecordedCopy::State::unfollowable) {
        if (mayGo(recorded.copy))
            removeIfStill(recorded.copy, recorded.identity);
        else
            kept = recorded.copy;
    }
    dropEarlierRecord(location);
    return kept;
}

bool SafeFile::isOwnAttribute(std::string_view name) { return name == kCopyRecord; }

}   // namespace tarnwick
