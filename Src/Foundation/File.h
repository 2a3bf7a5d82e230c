// File: an entry of the file system at a host file location: a folder (Directory) or a file with
// contents (DataFile).
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string_view>

namespace tarnwick {

class Directory;
class String;

// A host file location: the entry's path. Kept in lexically normal form, so equal texts mean one entry.
using FileLocation = std::filesystem::path;

// Abstract; owned by whoever made it. An entry made from an unusable name (see isUsableName) has an
// empty location: it never exists and every operation on it fails.
class File {
public:
    virtual ~File();

    virtual bool exists() const = 0;     // false on any error
    virtual bool isFolder() const = 0;   // true for a Directory, false for a DataFile
    // An entry of any kind has the location, a link too, even one that leads nowhere: a name that a new
    // entry cannot take; so is one that cannot be looked at. False when unusable.
    bool isTaken() const;

    const FileLocation& getLocation() const { return location_; }   // empty when unusable
    String getName() const;   // the last part of the location; empty when unusable
    // After the name's last "." (a leading "." starts no extension); may be empty.
    String getExtension() const;
    String getPath() const;                          // the location's whole text
    bool compareLocation(const File& other) const;   // true when both locations have the same text

    // Gives the entry a new name in its folder. False (nothing changed) when the name is unusable, the
    // entry does not exist, an entry of that name already exists, or the system refuses.
    bool rename(const String& newName);
    // Moves the entry into folder under its own name. False (nothing changed) when the folder does not
    // exist, an entry of that name is already there, or the system refuses (also across file systems).
    bool move(const Directory& folder);

    // Where the entry's links lead: each link followed, a relative one from its own folder, until a
    // location that is no link (it need not exist). The entry's own location when it is no link; nullopt
    // when the entry is unusable (EINVAL), a link cannot be read or looked at (the system's errno), or the
    // links run in a circle or too long a chain (ELOOP).
    std::optional<FileLocation> followLinks() const;
    // Gives this entry the read, write and run bits of the file at source (a link there followed), and its
    // access list when it has one, never through a link at this entry's own location. True when set; also
    // true when source does not exist, which leaves the bits as made. False when the system refuses.
    bool takePermissionsOf(const FileLocation& source);
    // Gives this entry, never through a link at its own location, the owner and group of the file at
    // source (a link there followed). True when it has them afterwards, also when it had them already or
    // source does not exist; false when the system refuses (as it does to give a file to another user).
    bool takeOwnerOf(const FileLocation& source);
    // The names the file has (its hard links), a link at the location followed; nullopt, with errno, when
    // missing (ENOENT) or when it cannot be looked at.
    std::optional<std::uint64_t> getLinkCount() const;
    // True when the entry itself (never a link's target) carries extended attributes, an access list
    // among them, or when they cannot be listed; false when it has none, or the file system keeps none.
    bool hasExtendedAttributes() const;

    // A name that stays inside its folder: not empty, not "." or "..", and no "/" or "\".
    static bool isUsableName(std::string_view name);

protected:
    explicit File(FileLocation location);
    File(const File&) = default;
    File& operator=(const File&) = default;

    void setLocation(FileLocation location);   // normalised; the entry itself is not touched
    // folder's location joined with name; empty when the folder is unusable or the name is not usable.
    static FileLocation childLocation(const File& folder, std::string_view name);

private:
    bool relocate(const FileLocation& target);   // renames on disk, then adopts target

    FileLocation location_;
};

}   // namespace tarnwick
