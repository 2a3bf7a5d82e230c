// Attribute: the abstract base of every attribute wrapper (layers, pens, fills, ...): an AttributeLink
// naming the host attribute, and the kind's copy of the host's attribute record, loaded on first use.
#pragma once

#include <cstdint>
#include <memory>

#include <HostRecords.h>

#include "Foundation/String.h"
#include "Project/AttributeLink.h"
#include "Project/AttributeType.h"

namespace tarnwick {

class MemoryBlock;
class NativeContext;

// Releases every handle of an extended definition (the host's disposal), then frees the record, a
// block of the host memory manager (as an AttributeMemoStore makes and gives up).
struct ExtensionDisposal {
    void operator()(host::AttributeExtension* extension) const;
};
using AttributeExtensionPtr = std::unique_ptr<host::AttributeExtension, ExtensionDisposal>;

// Made by the Specification's creators or by the kinds' constructors; owned by whoever made it.
// States: linked and not loaded (made from a link, no record yet), loaded (a record copied from the
// host or given to a creator), or new (a reset record with an empty link, maybe a name).
//
// A record that cannot be fetched for a link that names a host attribute leaves the attribute
// load-failed: its record is reset, its link kept, and the Specification refuses to write it, so that
// a failed read never turns into a new, nameless attribute in the host. Nothing here throws but
// allocation failures.
class Attribute {
public:
    Attribute(const AttributeLink& link, AttributeType type);   // link's index and owner, the given type
    Attribute(const Attribute& other);                          // copies the link (kinds copy the record)
    Attribute& operator=(const Attribute& other);
    virtual ~Attribute();

    // --- Virtual operations, in the order of the interface -------------------------------------------
    virtual std::unique_ptr<Attribute> clone() const = 0;   // a deep copy of the most derived kind
    virtual bool isValid() const;                           // record index not 0 and the link valid
    virtual const AttributeLink& getLink() const;
    virtual AttributeType getType() const = 0;
    virtual std::int32_t getIndex() const;    // the link's 32-bit index field
    virtual std::uint16_t getFlags() const;   // the header's flags
    virtual String getName() const;           // the header name, at most 256 bytes
    // The host's user data of the attribute: a block over its data (also when the host says there is
    // none), with the version (sign-widened) and platform (1 for the sign 0x4D4D, else 2). An invalid
    // attribute: null, out-values untouched. A host error: null, out-values 0.
    virtual std::unique_ptr<MemoryBlock> getUserData(std::int32_t* version = nullptr,
                                                     std::int32_t* platform = nullptr) const;
    virtual void setLink(const AttributeLink& link);   // index and owner copied; the type is getType()
    virtual void clearLink();                          // index 0, no owner; the type stays
    virtual void setFlags(std::uint16_t flags);
    virtual void setName(const String& name);   // cut to 255 bytes on a character boundary
    // A preview of the attribute in a host drawing context of the given pixel size; nothing here.
    virtual void drawSwatch(NativeContext& context, std::int32_t width, std::int32_t height) const;
    // A new zeroed 1376-byte definition starting with a copy of the kind's record; owned by the caller.
    virtual std::unique_ptr<host::AttributeDefinition> copyDefinition() const = 0;
    // A new extended definition, or null (every kind but layer combinations, zone categories and
    // composites).
    virtual AttributeExtensionPtr copyExtendedDefinition() const = 0;
    virtual const host::AttributeHeader& getRecord() const = 0;   // the record's header, loaded first
    virtual host::AttributeHeader& getRecord() = 0;

    // True when a record was asked of the host for a link naming an attribute and could not be read.
    bool isLoadFailed() const { return loadFailed_; }

    // Containers' predicates: equal by getIndex; ordered by the signed 16-bit link index.
    static bool equal(const Attribute& a, const Attribute& b) { return a.getIndex() == b.getIndex(); }
    static bool less(const Attribute& a, const Attribute& b) {
        return a.getLink().getShortIndex() < b.getLink().getShortIndex();
    }

protected:
    // Loading step 2: the owner's attribute of this link when it is of this attribute's own class (the
    // caller takes its record); null when there is no owner or it has none.
    std::unique_ptr<Attribute> fetchFromOwner() const;
    // The link names a host attribute, so a reset record now means a failed read.
    bool expectsHostRecord() const { return link_.getOwner() != nullptr && link_.isValid(); }
    void setLoadFailed(bool failed) const { loadFailed_ = failed; }
    void setLinkWhileLoading(const AttributeLink& link) const;   // setLink from a const load

    mutable AttributeLink link_;   // changed by loading on demand (a reset new attribute)

private:
    mutable bool loadFailed_ = false;
};

}   // namespace tarnwick
