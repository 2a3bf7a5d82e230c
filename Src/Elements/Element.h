// Element: the framework's wrapper of one placed host element, and the base of every element kind.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include <HostRecords.h>

#include "Elements/PenLineRecord.h"
#include "Foundation/String.h"
#include "Geometry/CadPoint.h"
#include "LibraryParts/Primitive.h"
#include "Project/AttributeLink.h"
#include "Project/ElementLink.h"

namespace tarnwick {

class Attribute;
class CadPolygon;
class ComplexProfile;
class Finish;
class LineStyle;
class Pen;
class Phase;
class Cube;
class Drawing;
class Element3D;
class ElementLinkList;
class ElementMemoStore;
class Layer;
class Material;
class Storey;
class MemoryBlock;
class TransformList;
class Transformation;

// Made by a Drawing's creators (or by clone) for one operation and deleted by its owner. It holds a
// copy of the element's link, the add-on's user-data block, the element's ID texts, pending
// transformations and the cached 3D model. The host record itself is kept by the kinds, which give it
// through getTypeRecord / getMutableTypeRecord (the 112-byte head) and getHostElement / getMemo
// (new whole records for a write).
//
// Host errors come back as false, null or 0, never as exceptions; memory failures throw
// TracedException "bad_alloc".
class Element {
public:
    // Every memo part (bits 0 to 58 but bit 30); mask 0 means the same to the host.
    static constexpr std::uint64_t kFullMemoMask = host::kMemoFullMask;
    static constexpr std::uint32_t kDefaultUserDataFlags = 12;
    static constexpr std::uint32_t kDefaultUserDataVersion = 1;

    // While set, the Drawing makes elements without loading their memos and loadMemo does nothing.
    // Clear at start: elements load their memos unless a caller suspends it for a while.
    static std::uint8_t memoLoadingSuspended;

    // While one lives, a memo load marks the user data loaded but reads the block from the host only
    // when something first needs it (the block, whether one is attached, a change of link or of the
    // changed flag). Every answer stays what an immediate read gives; work that never needs the block
    // saves one host read per element.
    class UserDataDeferral {
    public:
        UserDataDeferral() { ++userDataDeferred_; }
        ~UserDataDeferral() { --userDataDeferred_; }
        UserDataDeferral(const UserDataDeferral&) = delete;
        UserDataDeferral& operator=(const UserDataDeferral&) = delete;
    };

    explicit Element(const ElementLink& link);
    Element(const Element& other);   // link, blocks and transforms deep; the 3D model shared; texts empty
    // The link, transforms, block and user-data values; the texts keep their contents.
    Element& operator=(const Element& other);
    virtual ~Element();

    // --- Virtual operations, in the order of the interface -------------------------------------------
    virtual std::unique_ptr<Element> clone() const = 0;   // a heap copy of the most derived kind
    virtual bool exists() const;                          // the link has a valid guid
    virtual Guid getGuid() const;
    virtual Drawing* getDrawing() const;   // null when the link's database is not found
    virtual std::uint16_t getTypeId() const;
    virtual std::int32_t getVariation() const;
    virtual const ElementLink& getLink() const;
    virtual ElementLink getOwnerLink() const;         // empty in the base
    virtual PenLineRecord getPenLineRecord() const;   // all zero in the base
    virtual std::int32_t getAuxValue() const;         // 0 in the base
    // The ID text the host shows, with the prefix the host puts before it when asked. Fetched from the
    // host once ('GCIS' the compound text, 'GEIS' the ID); empty when the host has none.
    virtual String getInfoString(bool withPrefix);
    // Whether the ID getInfoString gives is the element's (read from the host or set since): false
    // while the host has not given it, when its empty text does not mean the element has none.
    bool isInfoStringKnown() const;
    // Whether the link's storey (index-addressed) is the given storey: false for an element not placed
    // on a storey.
    virtual bool isOnStorey(const Attribute& storey) const;
    virtual bool isSupported() const;   // true in the base

    // User data (the add-on's block stored with the element)
    virtual std::unique_ptr<MemoryBlock> getUserData();   // loads first; a copy, null when none
    virtual std::uint32_t getUserDataFlags() const;
    virtual std::uint32_t getUserDataVersion() const;
    virtual std::uint32_t getUserDataPlatform() const;
    virtual bool isUserDataChanged() const;
    // The attached block (a copy), else the host's: version and platform out (1 for a record signed
    // 0x4D4D, else 2); a host error gives null with both set to 0. Either out pointer may be null.
    virtual std::unique_ptr<MemoryBlock> readUserData(std::uint32_t* version, std::uint32_t* platform);
    // The zones the element lies in (Project::getRelatedZones), owned by that index; null when it lies
    // in none or there is no project.
    virtual const ElementLinkList* getRelatedZones();

    // Quantities the host computes, by letter; what each means is the kind's. 0.0 in the base (D: the
    // faces of the 3D model, F: E, G and H: the height), and 0.0 whenever the host cannot say.
    virtual double getQuantityA();
    virtual double getQuantityB();
    virtual double getQuantityC();
    virtual double getQuantityD();
    virtual double getQuantityE();
    virtual double getQuantityF();
    virtual double getQuantityG();
    virtual double getQuantityH();
    virtual std::int32_t getQuantityI();
    virtual double getQuantityJ();
    virtual double getQuantityK();
    virtual double getQuantityL();

    virtual void setLink(const ElementLink& link);   // keeps the element's own type id; refills the head
    virtual void resetLink();                        // forgets the guid: the element is stored as new
    virtual void setVariation(std::int32_t variation);
    virtual void setPenLineRecord(const PenLineRecord& record);        // nothing in the base
    virtual void setName(const String& text);                          // the ID text; kept on another link
    virtual void attachUserData(std::unique_ptr<MemoryBlock> block);   // null allowed; loaded and changed
    virtual void setUserDataFlags(std::uint32_t flags);
    virtual void setUserDataVersion(std::uint32_t version);
    virtual void setUserDataPlatform(std::uint32_t platform);
    virtual void setUserDataChanged(bool changed);
    // Writes the block as the element's user data now (version 1, this platform's sign, the flags);
    // false for a block without bytes. With select, the element is selected afterwards.
    virtual bool storeUserData(const MemoryBlock* block, bool select, std::uint32_t flags);
    virtual bool setSelected(bool on);   // host select / deselect of the element's head

    // The attributes of one part of the element (what a part is, is the kind's). The base gives the
    // pen of index 0 and attributes of an empty link; a part the kind does not have gives the same.
    virtual Pen getPen(std::int32_t part) const;
    virtual LineStyle getLineStyle(std::int32_t part) const;
    virtual Finish getFinish(std::int32_t part) const;
    // A kind's fill of one part, owned by the caller; null in the base.
    virtual std::unique_ptr<Attribute> getFill(std::int32_t part);
    virtual std::unique_ptr<Attribute> getExtraAttributeA();   // null in the base
    virtual std::unique_ptr<Attribute> getExtraAttributeB();
    virtual ComplexProfile getComplexProfile() const;   // of an empty link in the base
    virtual Material getMaterial() const;               // of an empty link in the base
    // The volume (the area) of the element's skins of the building material: a basic element its whole
    // volume when its material is the one; a composite one the sum over its skins of that material.
    virtual double getCompositeVolume(std::int16_t material);
    virtual double getCompositeArea(std::int16_t material);
    virtual std::int32_t getStructureKind() const;   // 0 basic, 1 composite
    // Store the attribute's index as that of the part; a part the kind does not have takes nothing. The
    // base stores nothing; setPen answers the index stored, 0 when none was.
    virtual std::int32_t setPen(const AttributeLink& pen, std::int32_t part);
    virtual void setFill(const AttributeLink& fill, std::int32_t part);
    virtual void setLineStyle(const AttributeLink& lineStyle, std::int32_t part);
    virtual void setFinish(const AttributeLink& finish, std::int32_t part);
    virtual void setExtraAttributeA(const AttributeLink& attribute);   // nothing: no kind has them
    virtual void setExtraAttributeB(const AttributeLink& attribute);
    virtual void setExtraAttributeC(const AttributeLink& attribute);
    virtual void setExtraAttributeD(const AttributeLink& attribute);
    virtual void setExtraAttributeE(const AttributeLink& attribute);

    virtual CadPoint getPosition() const;               // the origin point in the base
    virtual double getElevation(bool absolute) const;   // 0.0 in the base
    virtual double getHeight();                         // z extent of getBounds(false); 0.0 without
    virtual double getWidth();                          // x extent
    virtual double getDepth();                          // y extent
    virtual double getLength();                         // getWidth
    virtual double getOutlinePerimeter();               // the plan length of getOutline; 0.0 without
    virtual double getOutlineArea();                    // its area; 0.0 without
    // Owned by the caller: the 3D model's bounds unless fromHost; else the host's box ('CABO') flattened
    // to the element's absolute elevation. Null when neither is there (or the element has no Drawing).
    virtual std::unique_ptr<Cube> getBounds(bool fromHost);
    virtual std::unique_ptr<CadPolygon> getOutline();   // owned by the caller; null in the base
    virtual std::size_t getTransformCount() const;
    // The element's plan shape as the host draws it, appended to the receiver as primitives (the lines
    // that fill hatches only with keepHatchLines). True when the host drew it; false when it could not
    // (a host error, or no floor plan), and then the receiver holds what came before the failure.
    virtual bool collectShape(PrimitiveList& receiver, bool keepHatchLines);
    virtual std::shared_ptr<Element3D> get3D();     // built once, shared; null without 3D data
    virtual std::shared_ptr<Element3D> build3D();   // a new model; null without guid or data
    virtual void reset3D();
    virtual void setPosition(const CadPoint& point);          // nothing in the base
    virtual void setElevation(double value, bool absolute);   // nothing in the base
    // Appends (the element owns it). Throws std::length_error("list<T> too long") on a full list.
    virtual void addTransform(std::unique_ptr<Transformation> transform);
    virtual std::unique_ptr<Transformation> removeTransform();   // the first, owned by the caller
    virtual void clearTransforms();
    // Takes newer's storey when it differs from older's (all three on storeys), then copies the layer,
    // phase and third identifier that differ between newer and older into this element's head; true
    // when the third identifier differed.
    virtual bool applyChanges(Element& newer, Element& older);
    virtual bool openSettingsDialog();   // the host's tool settings of the element's type; true when accepted
    // Links this element to every element `other` is linked to, with the same flags. False at the first
    // host error.
    virtual bool copyLinksFrom(const Element& other);
    // Relates this element to every element `other` is related to, with the same two values; with
    // replace, its own relations go first. False when a list cannot be read or a relation not made.
    virtual bool copyRelationsFrom(const Element& other, bool replace);
    virtual bool addRelation(const Element& other, std::int32_t valueA, std::int32_t valueB);

    virtual std::unique_ptr<host::ElementRecord> getHostElement() const = 0;   // a new whole record
    // Loads what the element keeps of its memo: the base loads the user data unless memo loading is
    // suspended. A kind that needs the host's memo and gets an empty store fetches one into it; the
    // caller deletes what comes back.
    virtual void loadMemo(std::uint64_t mask, std::unique_ptr<ElementMemoStore>& store);
    // A new memo (null when the kind has none) and the mask of the parts it fills.
    virtual std::unique_ptr<ElementMemoStore> getMemo(std::uint64_t& mask) const = 0;
    virtual const host::ElementHead& getTypeRecord() const = 0;
    virtual host::ElementHead& getMutableTypeRecord() = 0;
    virtual bool isUserDataLoaded() const;
    // Reads the element's user data once (always with force); nothing for an element without guid.
    // Without a Drawing nothing can be read, yet the data counts as loaded.
    virtual void loadUserData(bool force);
    // The host's default record (and memo, when given) of the element's type and variation.
    virtual bool getHostDefaults(host::ElementRecord& record, host::ElementMemo* memo) const;

    // --- Non-virtual operations -----------------------------------------------------------------------
    Layer getLayer() const;              // the layer of the head's index (loaded on first use)
    void setLayer(const Layer& layer);   // the layer's index into the head
    // The plan's storey that the link's storey-addressed location names; null otherwise (owned by the
    // Plan). setStorey puts the storey's index into the location and the head.
    Storey* getStorey() const;
    // With keepVisibility the element's storey showing loses its offset (getPenLineRecord's), so that
    // it shows relative to the new storey as it did to the old.
    void setStorey(const Storey& storey, bool keepVisibility = false);
    Phase getPhase() const;   // of the head's renovation index
    void setPhase(const Attribute& phase);
    std::uint8_t getDrawIndex() const;
    void setDrawIndex(std::uint8_t index);
    bool isLocked() const;
    void setLocked(bool locked);   // nothing in a shared project
    // Whether the host lets the current member change the element now: not part of another element,
    // not locked, in a shared project held by the current member (Host::getUser), and on a layer that
    // is neither locked nor hidden. False in a shared project when the current member is not known.
    bool isEditable() const;
    bool isEditable(const Layer& layer) const;   // the same, with the element's layer as already read
    std::int16_t getOwnerId() const;             // the member holding it in a shared project
    void setOwnerId(std::int16_t memberId);
    Guid getFirstIdentifier() const;
    std::unique_ptr<Guid> getFirstIdentifierCopy() const;   // the same, on the heap
    void setFirstIdentifier(const Guid& identifier);
    void clearFirstIdentifier();
    Guid getSecondGuid() const;
    void setSecondIdentifier(const Guid& identifier);
    bool isInGroup() const;   // a valid first identifier, else a valid second one
    std::uint64_t getHeadValue() const;
    void setHeadValue(std::uint64_t value);
    std::int16_t getHeadWord() const;
    void setHeadWord(std::int16_t value);
    String getPrefixInfo();   // the prefix the host puts before the ID text
    bool hasUserData();       // loads first
    std::size_t getLinkedElements(ElementLinkList& list) const;   // 0 without a Drawing
    // Writes the element back with the host's change (variation from the link, every field). With
    // withUserData, and once the user data was loaded, also stores it as the default of the type. With
    // wholeMemo, the memo parts the element does not hold are removed from the host's as well.
    bool commit(bool withUserData, bool wholeMemo = false);
    void reloadMemo();   // loads the whole memo even while memo loading is suspended
    // Appends the element's plan coordinates as the host gives them ('NTOC'); without any and with
    // fallback, the outline's points or else the position. The number appended.
    std::size_t getPoints(std::vector<CadPoint>& points, bool fallback);
    bool linkTo(const Element& other, std::uint32_t flags);   // false on a host error
    bool unlinkFrom(const Element& other);
    std::uint32_t getLinkFlags(const Element& other) const;   // 0 when not linked or on a host error

protected:
    ElementLink link_;

private:
    void copyUserDataFrom(const Element& other);
    void readPendingUserData();   // the read a deferred memo load left, if any
    void readUserDataBlock();     // the Drawing's block replaces the attached one, when there is one
    void forgetHostId();          // on another link: the host's ID and prefix go, a name given stays

    std::unique_ptr<TransformList> transforms_;   // null until the first addTransform
    std::shared_ptr<Element3D> model3D_;          // null until built
    static inline int userDataDeferred_ = 0;      // the UserDataDeferral scopes open
    std::unique_ptr<MemoryBlock> userData_;       // the add-on's block, or null
    std::uint32_t userDataFlags_ = kDefaultUserDataFlags;
    std::uint32_t userDataVersion_ = kDefaultUserDataVersion;
    std::uint32_t userDataPlatform_;   // this platform's sign
    bool userDataLoaded_ = false;      // read from the host or set by the add-on
    bool userDataChanged_ = false;     // the attached block differs from the host's
    bool userDataPending_ = false;     // loaded under a UserDataDeferral: the host is not yet read
    String infoText_;                  // the ID text, the host's or given; empty until either
    String infoPrefix_;                // what the host puts before it
    bool infoRead_ = false;            // infoText_ is the host's ID, not a name given by setName
};

}   // namespace tarnwick
