// DataFile: a file with contents: open modes, reading and writing bytes, size and modification time,
// text-encoding detection by byte-order mark, and the host's open and save dialogs.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Foundation/File.h"

namespace tarnwick {

class String;

// Owned by the caller; not copyable. Closes itself when destroyed. Reads and writes go from and to the
// current position, which opening sets to the start of the file.
class DataFile : public File {
public:
    enum OpenMode : int {
        kRead = 1,        // read only; the file must exist
        kWrite = 2,       // write only; opening empties the file
        kReadWrite = 3,   // read and write; the contents are kept
    };

    enum class TextEncoding {
        none,                // no byte-order mark
        utf8,                // EF BB BF
        utf16LittleEndian,   // FF FE
        utf16BigEndian,      // FE FF
    };
    struct ByteOrderMark {
        TextEncoding encoding = TextEncoding::none;
        std::size_t length = 0;   // bytes of the mark, to skip before the text
    };

    // With create, opening makes the file when it is missing (never its folder). An open that may write
    // (kWrite, or with create) never follows a link at the name: it fails instead, and nothing is made
    // where a dangling link points. Reading follows links.
    explicit DataFile(FileLocation location, OpenMode mode = kReadWrite, bool create = false);
    // The file called name in folder; an unusable name (File::isUsableName) gives an unusable entry.
    DataFile(const Directory& folder, const String& name, OpenMode mode = kReadWrite, bool create = false);
    ~DataFile() override;

    DataFile(const DataFile&) = delete;
    DataFile& operator=(const DataFile&) = delete;

    // A file (not a folder) is at the location, a link there followed. False with errno: ENOENT where
    // nothing is, EISDIR or EINVAL where another kind of entry is, the system's where it cannot be looked at.
    bool exists() const override;
    bool isFolder() const override { return false; }
    OpenMode getMode() const { return mode_; }

    bool open();    // true when open afterwards (also when it already was)
    bool close();   // false when it was not open or the system reported an error
    // Closes the file and deletes the entry at its location (a link itself, never a folder). False when
    // nothing was deleted.
    bool remove();
    // The file's permissions leave it read-only: they let no one write it, or not this process.
    // False when there is no file.
    bool isReadOnly() const;
    bool isOpen() const { return descriptor_ >= 0; }
    bool canRead() const { return isOpen() && mode_ != kWrite; }
    bool canWrite() const { return isOpen() && mode_ != kRead; }

    std::optional<std::uint64_t> getSize() const;   // bytes; nullopt when missing or unreadable
    std::optional<std::filesystem::file_time_type> getModificationTime() const;   // nullopt likewise

    // Exactly count bytes into dest. False when fewer are left or reading fails; the position is then
    // where it was, and dest's contents are unspecified.
    bool read(void* dest, std::size_t count);
    // Up to count bytes; 0 at the end. Nullopt when the file is not open for reading or reading fails.
    std::optional<std::size_t> readSome(void* dest, std::size_t count);
    // Everything from the position to the end appended to bytes, the file opened first when it is not.
    // False when it cannot be opened or read to its end (bytes then holds what was read).
    bool readToEnd(std::string& bytes);
    // All count bytes, or false (the file not open for writing, or the system wrote fewer).
    bool write(const void* bytes, std::size_t count);
    bool write(const String& text);   // its UTF-8 bytes, without the terminator
    // The system's lock on the open file, taken without waiting and held until it is closed, so that
    // other processes can tell that a live one still has the file. False when not open or another holds it.
    bool holdLock();
    // What was written put on the disk through the host, so that a power cut cannot take it back: before
    // the file takes another's name, or another file is emptied. False when not open for writing or the
    // system refuses.
    bool flush();
    // Cuts or extends (with zero bytes) the open file to length bytes; a position past the new end moves
    // to the end. Emptying is setDataLength(0). False when not open for writing or on error: the file was
    // then not cut, unless the system refused a cut it had begun (its size tells), though the position
    // may already be at length.
    bool setDataLength(std::uint64_t length);

    // A file made new in folder, opened in mode kReadWrite, under the first of name(1), name(2), ...,
    // name(tries) that no entry has; a link, even a broken one, is an entry. So it is never a file or a
    // link that was there before. Null when every name was taken, one was unusable, or the system refused.
    static std::unique_ptr<DataFile> createNew(const Directory& folder,
                                               const std::function<String(int)>& name, int tries);

    // The mark at the start of the file, read without moving the position; none when unreadable.
    ByteOrderMark detectEncoding() const;
    static ByteOrderMark detectEncoding(std::string_view firstBytes);

    // The host's open and save dialogs with a title and an extension filter ("xml", no dot). The open
    // dialog gives an existing file (mode kRead), the save dialog one that opening makes or empties (mode
    // kWrite with create); null when the user cancels or the answer is not a usable file path.
    static std::unique_ptr<DataFile> browseToOpen(const String& title, const String& extension);
    static std::unique_ptr<DataFile> browseToSave(const String& title, const String& extension);
    // The same dialogs offering file types, each a name with its extension (the two lists run in
    // parallel). chosenType: the 0-based type the user chose, which may lie outside the lists (the caller
    // checks); unchanged when the user cancels.
    static std::unique_ptr<DataFile> browseToOpen(const String& title, const std::vector<String>& typeNames,
                                                  const std::vector<String>& extensions,
                                                  std::size_t& chosenType);
    static std::unique_ptr<DataFile> browseToSave(const String& title, const std::vector<String>& typeNames,
                                                  const std::vector<String>& extensions,
                                                  std::size_t& chosenType);

private:
    friend class PassingFile;   // hands over a descriptor it made itself
    friend class SafeFile;      // records a copy on the open file

    static std::unique_ptr<DataFile> openChosen(const std::optional<std::string>& path);
    static std::unique_ptr<DataFile> saveChosen(const std::optional<std::string>& path);

    OpenMode mode_;
    bool create_;
    int descriptor_ = -1;   // the system's file descriptor; -1 while closed
};

}   // namespace tarnwick
