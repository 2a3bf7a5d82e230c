// ComponentResourceMemo: the sections of one library part (scripts and texts, pictures, the parameter
// section), each a four-character section type with a host handle of bytes, fetched from the host on
// first use and kept in memory until the Library writes them back.
#pragma once

#include <cstdint>
#include <map>

#include <HostMemory.h>
#include <HostRecords.h>

#include "Foundation/MemoryBlock.h"

namespace tarnwick {

// A base of ParametricSource, which supplies the part's library index, record and sizes. Copies own
// copies of every section. Host failures while loading keep the sections read so far; nothing is thrown but
// allocation failures.
class ComponentResourceMemo {
public:
    // Section types by their code, the first character in the highest byte ('1DSC' = 0x31445343), so the
    // map's order, and with it section number i, is the numeric order of the codes.
    using SectionList = std::map<std::uint32_t, MemoryBlock>;   // an entry may hold no handle

    ComponentResourceMemo() = default;   // not loaded yet
    ComponentResourceMemo(const ComponentResourceMemo&) = default;
    ComponentResourceMemo& operator=(const ComponentResourceMemo&) = delete;

    // Virtual operations, in the order of the interface.
    virtual ~ComponentResourceMemo();
    virtual std::int32_t getIndex() const = 0;   // the part's library index; 0: not in the host
    virtual std::uint32_t getSectionCount();     // loads first when not loaded
    virtual double getWidth() = 0;               // the part's A size
    virtual double getDepth() = 0;               // the part's B size
    virtual const host::LibraryPartRecord* getRecord() const = 0;

    // The i-th section in section order: its type into `type` and its handle, still owned by the list
    // (null for an entry without one). Null when i is not below the count. Loads first when not loaded.
    // A 'PARD' entry of a part that keeps it as parameters gives instead a new section built by the host
    // from the parameters and the A and B sizes, owned by the caller; the entry's own (null) handle when
    // that cannot be built.
    host::Handle getSection(std::uint32_t i, std::uint32_t& type);
    // The handle stored for that type, still owned by the list; null when there is none. Loads first when
    // not loaded. For 'PARD' of a part that keeps it as parameters: a new handle of the parameter records,
    // owned by the caller (release it with ParameterList::releaseHandle); null when there are none or
    // they cannot be written.
    host::Handle getSectionByType(std::uint32_t type);
    // Stores the handle, taken over, as the section of that type: replaces (disposing) an existing one; a
    // null handle removes an existing section and is ignored otherwise. Loads first when not loaded.
    void setSection(std::uint32_t type, host::Handle handle);
    bool removeSection(std::uint32_t type);   // disposes it; false when there was none

    // The ten section types that hold text (UTF-8 bytes and a terminator in their handles).
    static bool isTextSection(std::uint32_t type);

    bool hasChangedSections() const { return changed_; }   // a section was set since the part was read

protected:
    // Whether a 'PARD' section is held as the part's parameters instead of bytes: its entry then has no
    // handle, and the bytes given for it are disposed.
    virtual bool keepsParameterSection() const { return false; }
    // Makes sure the parameters are at hand before a 'PARD' entry stands for them.
    virtual void loadParameterSection() {}
    // The parameters as a new handle of host parameter records (null for none), owned by the caller;
    // false when they cannot be written.
    virtual bool writeParameterHandle(host::Handle& handle);
    // The A and B sizes a 'PARD' section is built with.
    virtual double getSectionWidth() { return getWidth(); }
    virtual double getSectionDepth() { return getDepth(); }

private:
    void loadSections();
    host::Handle buildParameterSection();   // a new 'PARD' section; null when the host cannot build it
    void store(std::uint32_t type, MemoryBlock block);   // setSection without loading

    SectionList sections_;
    // Set once loading ran: removing the last section of a part must not make it load again.
    bool loaded_ = false;
    bool changed_ = false;
};

}   // namespace tarnwick
