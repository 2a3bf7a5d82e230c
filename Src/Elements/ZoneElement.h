// ZoneElement: a zone (a room) of the host (type 17), placed through the zone stamp library part that its
// zone category names. It keeps the first 920 bytes of the host record, its outline as a polygon memo,
// its IFC data, properties and classifications, and reads its quantities from the host one field at a
// time.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <memory>

#include <HostElementRecords.h>

#include "Elements/ComponentElem.h"
#include "Elements/IFCMemo.h"
#include "Elements/PolygonMemo.h"
#include "IFC/ClassificationMemo.h"
#include "IFC/PropertyMemo.h"

namespace tarnwick {

class AttributeLink;
class Library;
class Storey;
class ZoneCategory;

// The stamp part of the zone category the link names (library-part type 6, in the project's library);
// an empty link when the link names no zone category.
ComponentLink getStampLink(const AttributeLink& category);

// Setters change the kept record only; nothing reaches the host before commit or
// Drawing::storeElement. The record keeps the zone's elevation above its home storey (the link's).
// The polygon loads with the memo (mask bit 1) unless memo loading is suspended; the memo written back
// carries it, so a zone without a valid polygon cannot be written.
class ZoneElement : public ComponentElem,
                    public PolygonMemo,
                    public IFCMemo,
                    public PropertyMemo,
                    public ClassificationMemo {
public:
    static constexpr std::uint16_t kType = host::kElementZone;
    static constexpr std::uint32_t kPartType = host::kLibraryZone;
    static constexpr std::uint64_t kPolygonBit = PolygonMemo::kMemoKind;   // 1

    // The creator (not filed by the framework's start): a new ZoneElement for a record of type 17.
    static std::unique_ptr<Element> create(const host::ElementRecord& record, ElementLink& link);

    // A new zone with the host's default settings; with a memo, their polygon, gables and parameters.
    explicit ZoneElement(bool withMemo);
    explicit ZoneElement(const ZoneCategory& category);       // a new zone of the category, with its stamp
    explicit ZoneElement(const ComponentLink& stamp);         // a new zone placed with the stamp
    ZoneElement(const String& stampName, Library* library);   // the stamp by name (null: the project's)
    ZoneElement(const ElementLink& link, const ComponentLink& stamp);
    // The creator's form: the record's first 920 bytes, the stamp the record names.
    ZoneElement(const host::ElementRecord& record, const ElementLink& link);
    // The polygon, IFC data and properties deep, the classifications shared: a copy stored as a new zone
    // carries them all.
    ZoneElement(const ZoneElement& other);
    ~ZoneElement() override;

    // --- Element ------------------------------------------------------------------------------------
    std::unique_ptr<Element> clone() const override;
    double getQuantityA() override;   // the host's zone quantities (ElementQuantity)
    double getQuantityB() override;   // getQuantityA
    double getQuantityC() override;   // getQuantityA
    double getQuantityE() override;
    std::int32_t getQuantityI() override;   // the polygon's holes; 0 without a polygon
    double getQuantityJ() override;         // the holes' area; 0.0 without
    double getQuantityL() override;
    // Parts 0 and 1 the zone's pen (112); 2, 6 and 8 pens of their own; others pen 0.
    Pen getPen(std::int32_t part) const override;
    Finish getFinish(std::int32_t part) const override;   // parts 0 and 1 (754), else index 0
    std::int32_t setPen(const AttributeLink& pen, std::int32_t part) override;   // part 0 sets all four
    void setFinish(const AttributeLink& finish, std::int32_t part) override;
    // The polygon's first vertex at the absolute elevation; without a polygon, point B.
    CadPoint getPosition() const override;
    double getElevation(bool absolute) const override;   // above the home storey, or plus its level
    double getHeight() override;
    std::unique_ptr<CadPolygon> getOutline() override;   // a copy of the polygon; null without
    void setPosition(const CadPoint& point) override;    // moves the polygon; z the absolute elevation
    void setElevation(double value, bool absolute) override;
    void setName(const String& text) override;   // the zone's name, cut to 256 units
    // The kept 920 bytes, the head from the link (with storey) and the polygon's counts at 800.
    std::unique_ptr<host::ElementRecord> getHostElement() const override;
    void loadMemo(std::uint64_t mask, std::unique_ptr<ElementMemoStore>& store) override;
    // The ComponentElem memo with the polygon added (mask bits 1, 2 and 4 as the handles are set); null
    // when the polygon cannot be written.
    std::unique_ptr<ElementMemoStore> getMemo(std::uint64_t& mask) const override;
    const host::ElementHead& getTypeRecord() const override { return record_.head; }
    host::ElementHead& getMutableTypeRecord() override { return record_.head; }

    // --- ComponentElem ------------------------------------------------------------------------------
    // The stamp's index into the record, then the part as a zone stamp (type 6).
    bool setComponent(const ComponentLink& link, bool resetSizes, bool mergeParameters) override;
    std::int32_t getLibraryIndex() const override { return getStampIndex(); }

    // --- The memos' side ----------------------------------------------------------------------------
    bool load(std::uint64_t mask, std::unique_ptr<MemoStore>& store) override;   // loadMemo
    host::PolygonCounts getReadCounts() const override;                          // the record's, at 800

    // --- New operations -----------------------------------------------------------------------------
    bool isZoneFlagA() const { return byte(host::kZoneFlagAOffset) != 0; }
    bool isZoneFlagC() const { return byte(host::kZoneFlagCOffset) != 0; }
    void setZoneFlagA(bool flag) { setByte(host::kZoneFlagAOffset, flag); }
    void setZoneFlagB(bool flag) { setByte(host::kZoneFlagBOffset, flag); }
    void setZoneFlagC(bool flag) { setByte(host::kZoneFlagCOffset, flag); }
    ZoneCategory getCategory() const;
    // The category's index, and its stamp taken with the parameters carried across. False, with nothing
    // changed, when the category's stamp is not in the library (or cannot be looked up) or is refused.
    bool setCategory(const ZoneCategory& category);
    // The host's zone quantities, each a field of its quantity record; 0 when the host cannot give it.
    double getZoneQuantityA() { return quantity(24); }
    double getZoneQuantityB() { return quantity(40); }
    std::int32_t getZoneQuantityC() { return wholeQuantity(32); }
    std::int32_t getZoneQuantityD() { return wholeQuantity(36); }
    double getZoneQuantityE() { return quantity(48); }
    double getZoneQuantityF() { return quantity(56); }
    double getZoneQuantityG() { return quantity(64); }
    double getZoneQuantityH() { return quantity(72); }
    double getZoneQuantityI() { return quantity(112); }
    double getZoneQuantityJ() { return quantity(168); }
    double getZoneQuantityK() { return quantity(184); }
    double getZoneQuantityL() { return quantity(192); }
    double getZoneQuantityM() { return quantity(160); }
    double getZoneQuantityN() { return quantity(144); }
    double getZoneQuantityO() { return quantity(128); }
    double getZoneQuantityP() { return quantity(136); }
    double getZoneQuantityQ() { return quantity(200); }
    double getZoneQuantityR() { return quantity(208); }
    double getZoneQuantityS() { return quantity(216); }
    double getZoneValueA() const { return get<double>(host::kZoneValueAOffset); }
    double getZoneValueB() const { return get<double>(host::kZoneValueBOffset); }
    void setZoneValueA(double value) { put(host::kZoneValueAOffset, value); }
    void setZoneValueB(double value) { put(host::kZoneValueBOffset, value); }
    CadPoint getPointA() const;   // at the absolute elevation
    CadPoint getPointB() const;
    void setPointA(const CadPoint& point);   // its plan x and y
    void setPointB(const CadPoint& point);
    std::int32_t getStampIndex() const { return get<std::int32_t>(host::kZoneStampIndexOffset); }
    String getNumber() const;
    String getName() const;
    void setNumber(const String& text);   // cut to 32 units
    void setHeight(double value) override { put(host::kZoneHeightOffset, value); }
    virtual void loadDefaults();   // the host's defaults of zones with this zone's stamp

    // The storey the zone reaches up to; null when it reaches none above its home storey.
    Storey* getUpperStorey() const;
    // A storey above the home storey; any other (or none) makes the zone reach none.
    void setUpperStorey(const Storey* storey);

protected:
    std::size_t libraryIndexOffset() const override { return host::kZoneStampIndexOffset; }

private:
    void copyRecord(const host::ElementRecord& record);
    double quantity(std::size_t field);   // one field of the zone quantities
    std::int32_t wholeQuantity(std::size_t field);
    std::int16_t homeStorey() const { return record_.head.storey; }
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
    std::uint8_t byte(std::size_t offset) const { return record_.bytes[offset]; }
    void setByte(std::size_t offset, bool flag) { record_.bytes[offset] = flag ? 1 : 0; }

    union Record {
        host::ElementHead head;
        std::array<unsigned char, host::kZoneRecordSize> bytes;
    };
    Record record_{};
};

}   // namespace tarnwick
