// Object: a placed library-part object (host type 6), and the base of Lamp. It keeps the first 328
// bytes of the host record: attributes, flags, rotation, elevation, size ratios and position.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <memory>

#include <HostElementRecords.h>

#include "Elements/ComponentElem.h"
#include "Elements/IFCMemo.h"
#include "Elements/PartAttributes.h"
#include "IFC/ClassificationMemo.h"
#include "IFC/PropertyMemo.h"

namespace tarnwick {

class Library;

// Setters change the kept record only; nothing reaches the host before commit or
// Drawing::storeElement. The width and depth are kept as ratios of the part's A and B, or as lengths
// when the part says so (the record's byte 132).
// It carries its IFC data, property values and classifications; a copy keeps all three.
class Object : public ComponentElem, public IFCMemo, public PropertyMemo, public ClassificationMemo {
public:
    static constexpr std::uint16_t kType = host::kElementObject;
    static constexpr std::uint32_t kPartType = host::kLibraryObject;

    // The creator: a new Object for a record of type 6, else null.
    static std::unique_ptr<Element> create(const host::ElementRecord& record, ElementLink& link);

    Object(const host::ElementRecord& record, const ElementLink& link);   // the creator's form
    // A new object from the host's defaults of the variation; with a memo, their parameters and gables.
    Object(bool withMemo, std::int32_t variation);
    Object(const ComponentLink& part, std::int32_t variation);   // a new object of the part
    Object(const String& partName, Library* library, std::int32_t variation);
    Object(std::int32_t libraryIndex, Library* library, std::int32_t variation);   // the project's: null
    Object(const host::ElementRecord& record, const ElementLink& link, const ComponentLink& part);
    Object(const Object& other);
    ~Object() override;

    // --- Element ------------------------------------------------------------------------------------
    std::unique_ptr<Element> clone() const override;
    ElementLink getOwnerLink() const override;
    PenLineRecord getPenLineRecord() const override;   // from offsets 224 and 232
    void setPenLineRecord(const PenLineRecord& record) override;
    // The attributes of the parts, from the run at 112 (PartAttributes).
    Pen getPen(std::int32_t part) const override;
    LineStyle getLineStyle(std::int32_t part) const override;
    Finish getFinish(std::int32_t part) const override;
    std::unique_ptr<Attribute> getFill(std::int32_t part) override;
    std::int32_t setPen(const AttributeLink& pen, std::int32_t part) override;
    void setFill(const AttributeLink& fill, std::int32_t part) override;
    void setLineStyle(const AttributeLink& lineStyle, std::int32_t part) override;
    void setFinish(const AttributeLink& finish, std::int32_t part) override;
    double getQuantityC() override;          // the host's quantity at 0 of the object's part of the mask
    double getQuantityD() override;          // getQuantityC
    double getQuantityE() override;          // at 8
    CadPoint getPosition() const override;   // plan position, z the absolute elevation
    double getElevation(bool absolute) const override;   // above the storey, or plus its level
    std::unique_ptr<CadPolygon> getOutline() override;   // A by B turned by the angle, centred on the box
    void setPosition(const CadPoint& point) override;
    void setElevation(double value, bool absolute) override;
    // Takes the record fields that differ between newer and older, then the part and its parameters;
    // the IFC data of all three is read, none copied (it reaches the host as it changes).
    bool applyChanges(Element& newer, Element& older) override;
    // The host's object settings dialog ('OBJS'); on OK the object takes what the user set, its part
    // included. True when the user accepted.
    bool openSettingsDialog() override;
    std::unique_ptr<host::ElementRecord> getHostElement() const override;
    const host::ElementHead& getTypeRecord() const override { return record_.head; }
    host::ElementHead& getMutableTypeRecord() override { return record_.head; }

    // --- ComponentElem ------------------------------------------------------------------------------
    double getAngle() const override;   // the angle as seen, mirrored or not
    bool isMirrored() const override;
    bool isOptionC() const override;
    // Takes an object or lamp part (type 0 counts as object); false, with nothing changed, for a part
    // of another type, one that is not loaded, one that is not a parametric object, or one whose details
    // the host refuses (they say whether it sizes by ratio). Unless resetSizes, the object keeps its size
    // ratios when both parts size by ratio (it takes the new part's size at them), else its width and
    // depth in metres, also on the part it stands on; "A" and "B" then say that size.
    bool setComponent(const ComponentLink& link, bool resetSizes, bool mergeParameters) override;
    void setOptionC(bool flag) override;
    std::int32_t getLibraryIndex() const override;
    // A default size the part does not give (0 or less) keeps the ratio 1: no infinite or NaN ratio
    // reaches the record. The parameter "A" ("B") takes the value too.
    void setWidth(double value) override;
    void setDepth(double value) override;

    // --- New operations -----------------------------------------------------------------------------
    virtual ElementLink getOwnerGuidLink() const;
    virtual ElementLink getSecondReference() const { return ElementLink(); }   // an object keeps none
    virtual bool hasSecondReference() const { return false; }
    virtual bool isOptionA() const { return byte(128) != 0; }
    virtual bool isOptionB() const { return byte(129) != 0; }
    virtual bool isOptionF() const { return byte(133) != 0; }
    // The storey showing's three flags (bytes 224 to 226, those of getPenLineRecord).
    virtual bool isPenLineAll() const { return byte(224) != 0 && byte(225) != 0 && byte(226) != 0; }
    virtual bool isPenLineFlagB() const { return byte(225) != 0; }
    virtual bool isPenLineFlagC() const { return byte(226) != 0; }
    virtual void setOwnerGuid(const ElementLink& owner);
    virtual void setSecondReference(const ElementLink&) {}   // nothing: none is kept
    virtual void setHasSecondReference(bool) {}
    virtual void setOptionA(bool flag) { setByte(128, flag); }
    virtual void setOptionB(bool flag) { setByte(129, flag); }
    virtual void setOptionF(bool flag) { setByte(133, flag); }
    // Only for which 0 (the element's own showing); any other which changes nothing.
    virtual void setPenLineAll(bool flag, std::int32_t which);
    virtual void setPenLineFlagB(bool flag, std::int32_t which);
    virtual void setPenLineFlagC(bool flag, std::int32_t which);
    virtual CadPoint getPoint() const;
    virtual std::int16_t getRecordWord() const { return get<std::int16_t>(134); }
    virtual bool isOptionE() const { return byte(132) != 0; }
    // The stored angle is of the unmirrored object: a mirrored one keeps its angle turned by pi.
    virtual void setAngle(double angle);
    virtual void setPoint(const CadPoint& point);
    virtual void setRecordWord(std::int16_t value) { put(134, value); }
    virtual void setOptionE(bool flag) { setByte(132, flag); }
    virtual void setMirrored(bool flag) { setByte(host::kObjectMirroredOffset, flag); }
    virtual std::int32_t clearPoint();   // 0
    // The host's object defaults on the element's part; a record of zeros (no settings) when the host
    // gives neither them nor the part's details.
    virtual void loadDefaults();

protected:
    Object(const ElementLink& link, const ComponentLink& part);   // then an object's own loadDefaults
    // The parameters' sizes as the record keeps them: ratios of the part's defaults, or lengths (byte
    // 132). The element's own width and depth stay its bounds'.
    double getParameterWidth() override;
    double getParameterDepth() override;
    std::size_t libraryIndexOffset() const override { return host::kObjectLibraryIndexOffset; }
    void copyRecord(const host::ElementRecord& record);
    template <typename T>
    T get(std::size_t offset) const {
        T value;
        std::memcpy(&value, record_.bytes.data() + offset, sizeof value);
        return value;
    }
    template <typename T>
    void put(std::size_t offset, const T& value) {
        std::memcpy(record_.bytes.data() + offset, &value, sizeof value);
    }
    // The part attributes over the kept record (a const element only reads through it).
    PartAttributes parts() const {
        return PartAttributes(
            const_cast<unsigned char*>(record_.bytes.data()) + PartAttributes::kRecordOffset,
            /*belowCounts=*/true);
    }
    std::uint8_t byte(std::size_t offset) const { return record_.bytes[offset]; }
    void setByte(std::size_t offset, bool flag) { record_.bytes[offset] = flag ? 1 : 0; }
    // The defaults of the element's own type: true when the host gave them (else the record is zero).
    bool readDefaults(ElementMemoStore* memo);

private:
    // The record's width and depth: lengths, or ratios kept as they are.
    struct KeptSize {
        double width = 0.0;
        double depth = 0.0;
        bool lengths = false;
        bool kept = false;   // false: none to keep
    };
    // What the record's sizes are, before it takes the part (of a fixed size or not); none when the
    // record was written for that part while the object stood on another.
    KeptSize keptSize(const ComponentLink& part, bool fixedSize);
    // A length as the record keeps it under its size flag: itself, or a ratio of the default size
    // (1 when the part gives none).
    double inPartTerms(double length, double defaultSize) const;

    union Record {
        host::ElementHead head;
        std::array<unsigned char, host::kObjectRecordSize> bytes;
    };
    Record record_{};
};

}   // namespace tarnwick
