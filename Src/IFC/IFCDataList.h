// IFCDataList: all IFC data of one element (properties, attributes and classification references, mixed
// in the order they were appended), with name indexes made on first request.
#pragma once

#include <memory>

#include <HostIFCRecords.h>

#include "Foundation/List.h"
#include "IFC/IFCNameIndex.h"

namespace tarnwick {

class IFCAttribute;
class IFCClassificationReference;
class IFCData;
class IFCProperty;

// Owns its data; a copy holds copies of them (and no indexes until asked). Lookups give borrowed pointers
// (null when nothing matches), valid until the datum is removed. Once made, an index follows every add,
// remove and append. Nothing throws on missing data.
class IFCDataList : public List<IFCData> {
public:
    IFCDataList();
    IFCDataList(const IFCDataList& other);
    IFCDataList& operator=(const IFCDataList&) = delete;
    virtual ~IFCDataList();

    // --- Virtual operations, in the order of the interface -----------------------------------------------
    // The first property of the name and, unless setName is empty, of that property set.
    virtual IFCProperty* findProperty(const String& name, const String& setName) const;
    virtual IFCAttribute* findAttribute(const String& name) const;
    virtual IFCClassificationReference* findReference(const String& name) const;
    // Replaces the property of the same name and set (or the attribute of the same name) and puts the
    // new one at the end. A datum this list already holds is moved to the end. Nothing for null.
    virtual void addProperty(std::unique_ptr<IFCProperty> property);
    virtual void addAttribute(std::unique_ptr<IFCAttribute> attribute);
    // Deletes the first property whose name and set equal the given one's (an empty set matches only an
    // empty one), or the first attribute of the name; nothing when none does.
    virtual void removeProperty(const IFCProperty& property);
    virtual void removeAttribute(const IFCAttribute& attribute);

    // Owned by the list: property-set name to property names; the empty key to every attribute name; the
    // empty key to every reference name.
    const IFCNameIndex* propertyIndex();
    const IFCNameIndex* attributeIndex();
    const IFCNameIndex* referenceIndex();

    // The datum of each record, appended at the end; true when every record gave one (the others are
    // appended all the same).
    bool appendProperties(const host::Array<host::IFCPropertyRecord>& records);
    bool appendAttributes(const host::Array<host::IFCAttributeRecord>& records);
    bool appendReferences(const host::Array<host::IFCClassificationReferenceRecord>& records);

private:
    iterator findHeld(const IFCData* datum);   // end() when not held
    void indexAdded(const IFCData& datum);     // adds the datum's name to its built index

    std::unique_ptr<IFCNameIndex> propertyIndex_;
    std::unique_ptr<IFCNameIndex> attributeIndex_;
    std::unique_ptr<IFCNameIndex> referenceIndex_;
};

}   // namespace tarnwick
