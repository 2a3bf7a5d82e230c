// ComponentSource: one library part of the open project as the add-on holds it once loaded: a copy of
// the host's library-part record, the part file's location and the part's ComponentLink. The base of
// every kind of library-part source; the Library makes them through its source creators.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include <HostRecords.h>

#include "Foundation/File.h"
#include "Foundation/String.h"
#include "LibraryParts/FamilyGuid.h"
#include "Project/ComponentLink.h"

namespace tarnwick {

class DataFile;

// Owned by whoever asked the Library for it; copy through clone(). The record's location field is
// always null here: the host's location block belongs to the record the host handed out, so the source
// keeps its own copy of the location instead (a record handed back to the host gets a fresh one).
class ComponentSource {
public:
    // A loaded part: the record and link copied, the record's location copied when it is set.
    ComponentSource(const host::LibraryPartRecord& record, const ComponentLink& link);
    // A part not yet in the host: a record zero but for the link's type and index and the missing flag.
    explicit ComponentSource(const ComponentLink& link);
    ComponentSource(const ComponentSource& other);
    ComponentSource& operator=(const ComponentSource&) = delete;

    // Virtual operations, in the order of the interface.
    virtual ~ComponentSource();
    virtual std::unique_ptr<ComponentSource> clone() const = 0;
    virtual std::int32_t getIndex() const { return link_.getIndex(); }
    virtual FamilyGuid getUniqueId() const;         // the part's unique-id text
    virtual FamilyGuid getParentUniqueId() const;   // that of the part it is a subtype of; empty for none
    virtual const host::LibraryPartRecord* getRecord() const { return &record_; }
    virtual host::LibraryPartRecord* getRecord() { return &record_; }
    // Whether the source holds changes the host does not have yet; a modifying walk saves only these.
    virtual bool isChanged() const { return false; }

    String getName() const;                   // the document name
    String getFileName() const;               // the file name
    String getNameWithoutExtension() const;   // the document name up to its last "."; whole without one
    bool isOfFamily(const FamilyGuid& family) const;     // the host's family test of our unique id
    int compareFamily(const FamilyGuid& family) const;   // FamilyGuid::compare of our unique id with it
    // Loaded (the missing flag clear), with a valid link that has a library.
    bool isValid() const;
    bool isPlaceable() const { return record_.placeable != 0; }
    void setPlaceable(bool placeable) { record_.placeable = placeable ? 1 : 0; }
    std::uint8_t getOptionFlag() const { return record_.option; }
    void setOptionFlag(std::uint8_t flag) { record_.option = flag; }

    const FileLocation* getLocation() const { return location_ ? &*location_ : nullptr; }   // null: none
    // A new DataFile (not opened, read and write) on the part's file; null when the source has no location.
    std::unique_ptr<DataFile> openFile() const;
    // The part's file becomes this one: its location (kept only when set) and its name as both the
    // document and the file name (cut to fit the host's fields).
    void setFile(const File& file);

    const ComponentLink& getLink() const { return link_; }
    void setLink(const ComponentLink& link);   // the link's index is written into the record
    void setUniqueId(const String& text);      // cut to fit the host's field with its terminator
    void setParentUniqueId(const String& text);
    void setSavedCode(std::int16_t value) { record_.savedCode = value; }
    void detach();   // the link's index becomes 0 and its library none

private:
    host::LibraryPartRecord record_{};       // location always null (see the class comment)
    std::optional<FileLocation> location_;   // none when the part has no file
    ComponentLink link_;
};

}   // namespace tarnwick
