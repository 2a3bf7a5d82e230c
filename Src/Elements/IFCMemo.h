// IFCMemo: the IFC data of an element (attributes, properties and classification references), read from
// the host on first use and written back one item at a time.
#pragma once

#include <cstdint>
#include <memory>

#include "Foundation/String.h"

namespace tarnwick {

class IFCAttribute;
class IFCClassificationReference;
class IFCDataList;
class IFCNameIndex;
class IFCProperty;

// A base of the element kinds that carry IFC data; it finds its element by a run-time cast, and reads
// only for a placed element (one with a valid guid). The list lacks what could not be read (hasUnreadParts
// tells), and a failed write leaves the list changed. Lookups give borrowed pointers, null when
// nothing matches.
class IFCMemo {
public:
    IFCMemo();
    IFCMemo(const IFCMemo& other);   // the flag copied, a loaded list deep-copied
    IFCMemo& operator=(const IFCMemo&) = delete;
    virtual ~IFCMemo();

    // --- Virtual operations, in the order of the interface -------------------------------------------
    virtual IFCProperty* findProperty(const String& setName, const String& name);
    virtual IFCAttribute* findAttribute(const String& name);
    virtual IFCClassificationReference* findReference(const String& name);
    // Added to the list and sent to the host (which refuses it for a new element); nothing when it cannot
    // be written as a host record or the memo is not an element's.
    virtual void addProperty(std::unique_ptr<IFCProperty> property);
    virtual void addAttribute(std::unique_ptr<IFCAttribute> attribute);
    // From the list and the host; nothing when the element has no such property.
    virtual void removeProperty(const String& setName, const String& name);
    virtual void removePropertyFromAllSets(const String& name);   // from every set that holds it

    // Once, all three parts (properties, attributes, references); an element without a valid guid gets
    // an empty list and no host call.
    void load();
    // Set: what was read is dropped, and read again when next needed, with the derived data
    // ("GlobalId") included.
    void setAllData(bool flag);
    // A part the host failed to give: a lookup that found nothing may have missed what the host holds.
    bool hasUnreadParts() const { return unreadParts_ != 0; }
    String getGlobalId();                      // the "GlobalId" attribute's value; empty when it has none
    const IFCNameIndex* getPropertyIndex();    // property-set name to property names
    const IFCNameIndex* getAttributeIndex();   // all attribute names under the empty key
    const IFCNameIndex* getReferenceIndex();   // all reference names under the empty key
    // Loads what a merge of the two would read; copies nothing.
    void applyChanges(IFCMemo& newer, IFCMemo& older);

private:
    static constexpr std::uint8_t kProperties = 1;
    static constexpr std::uint8_t kAttributes = 2;
    static constexpr std::uint8_t kReferences = 4;

    std::unique_ptr<IFCDataList> list_;   // null until loaded
    std::uint8_t unreadParts_ = 0;        // the parts the host refused
    std::uint8_t allData_ = 0;            // the host calls take its negation as "stored only"
};

}   // namespace tarnwick
