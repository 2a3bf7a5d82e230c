// Joinery: a door or window as the host keeps it: the first 376 bytes of its record (the head, then its
// attributes, opening size, flags, library index, owner wall and place in the wall).
#pragma once

#include <array>
#include <cstring>
#include <memory>

#include <HostElementRecords.h>

#include "Elements/Opening.h"
#include "Elements/PartAttributes.h"

namespace tarnwick {

// Setters change the kept record only; nothing reaches the host before commit or storeElement. The
// size parameters and the record agree: "A" and "ZZYZX" set the opening's width and height too.
class Joinery : public Opening {
public:
    Joinery(const ElementLink& link, const ComponentLink& part) : Opening(link, part) {}
    Joinery(const host::ElementRecord& record, const ElementLink& link, const ComponentLink& part);
    Joinery(const Joinery&) = default;
    ~Joinery() override;

    // --- Element ------------------------------------------------------------------------------------
    ElementLink getOwnerLink() const override { return getOwnerWallLink(); }
    // The attributes of the parts, from the run at 112 (PartAttributes).
    Pen getPen(std::int32_t part) const override;
    LineStyle getLineStyle(std::int32_t part) const override;
    Finish getFinish(std::int32_t part) const override;
    std::unique_ptr<Attribute> getFill(std::int32_t part) override;
    std::int32_t setPen(const AttributeLink& pen, std::int32_t part) override;
    void setFill(const AttributeLink& fill, std::int32_t part) override;
    void setLineStyle(const AttributeLink& lineStyle, std::int32_t part) override;
    void setFinish(const AttributeLink& finish, std::int32_t part) override;
    CadPoint getPosition() const override;               // the origin: this system has no walls
    double getElevation(bool absolute) const override;   // in its wall, plus the storey's level
    void setPosition(const CadPoint&) override {}
    void setElevation(double, bool) override {}
    std::unique_ptr<host::ElementRecord> getHostElement() const override;
    const host::ElementHead& getTypeRecord() const override { return record_.head; }
    host::ElementHead& getMutableTypeRecord() override { return record_.head; }

    // --- ComponentElem, Opening -----------------------------------------------------------------------
    double getAngle() const override { return 0.0; }   // along its wall: no walls here
    bool isMirrored() const override { return byte(host::kOpeningMirroredOffset) != 0; }
    bool isOptionC() const override { return byte(138) != 0; }
    void setOptionC(bool flag) override { setByte(138, flag); }
    // Writes the library index into the record, then takes the part; the opening of another part takes
    // its "A" and "ZZYZX" as they now are.
    bool setComponent(const ComponentLink& link, bool resetSizes, bool mergeParameters) override;
    std::int32_t getLibraryIndex() const override {
        return get<std::int32_t>(host::kOpeningLibraryIndexOffset);
    }
    void setWidth(double value) override;    // "A" and the opening's width
    void setHeight(double value) override;   // "ZZYZX" and the opening's height
    double getOpeningWidth() const override { return get<double>(host::kOpeningWidthOffset); }
    double getOpeningHeight() const override { return get<double>(host::kOpeningHeightOffset); }
    void setOpeningWidth(double value) override { put(host::kOpeningWidthOffset, value); }
    void setOpeningHeight(double value) override { put(host::kOpeningHeightOffset, value); }

    // --- Its own -----------------------------------------------------------------------------------
    ElementLink getEnvironsLink() const { return ElementLink(); }
    bool isOpeningFlagA() const { return byte(136) != 0; }
    bool isOpeningFlagB() const { return byte(137) != 0; }
    bool isOpeningFlagD() const { return byte(199) != 0; }
    void setOpeningFlagA(bool flag) { setByte(136, flag); }
    void setOpeningFlagB(bool flag) { setByte(137, flag); }
    void setOpeningFlagD(bool flag) { setByte(199, flag); }
    ElementLink getOwnerWallLink() const;   // in the element's Drawing
    void setOwnerWall(const ElementLink& wall);
    double getWallPosition() const { return get<double>(host::kOpeningPositionOffset); }
    double getElevationInWall() const { return get<double>(host::kOpeningElevationOffset); }
    void setWallPosition(double value) { put(host::kOpeningPositionOffset, value); }
    void setElevationInWall(double value) { put(host::kOpeningElevationOffset, value); }
    double getJoineryValue(int which) const { return get<double>(256 + 8 * static_cast<std::size_t>(which)); }
    void setJoineryValue(int which, double value) { put(256 + 8 * static_cast<std::size_t>(which), value); }
    // The attribute option's kind; kinds 1 and 3 carry an attribute index, given through `index`.
    std::int32_t getAttributeOption(std::int16_t* index) const;
    void setAttributeOption(std::int32_t kind, std::int16_t index);
    bool isSideFlagA() const { return byte(197) != 0; }
    bool isSideFlagB() const { return byte(198) != 0; }
    void setMirrored(bool flag) { setByte(host::kOpeningMirroredOffset, flag); }
    void setSideFlagA(bool flag) { setByte(197, flag); }
    void setSideFlagB(bool flag) { setByte(198, flag); }

protected:
    std::size_t libraryIndexOffset() const override { return host::kOpeningLibraryIndexOffset; }
    void copyRecord(const host::ElementRecord& record);
    bool readDefaults(ElementMemoStore* memo);   // the defaults of the element's type; zeros on failure
    // One of the host's door or window quantities: the field of its part of the mask.
    double quantity(std::size_t maskBase, std::size_t field);

    // What a door and a window share, for their own part type.
    static ComponentLink partOf(const host::ElementRecord& record, std::uint32_t partType);   // its part
    static ComponentLink partNamed(const String& name, std::uint32_t partType, Library* library);
    // The host's defaults; with a memo, their parameters and gables; then the part they name.
    void takeHostDefaults(bool withMemo, std::uint32_t partType);
    // Takes a part of partType (type 0 counts as one); false, with nothing changed, for any other type.
    bool setPartOfType(const ComponentLink& link, std::uint32_t partType, bool resetSizes,
                       bool mergeParameters);
    void loadOpeningDefaults();   // the host's defaults with this element's own part
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
    PartAttributes parts() const { return PartAttributes(const_cast<unsigned char*>(record_.bytes.data())); }
    std::uint8_t byte(std::size_t offset) const { return record_.bytes[offset]; }
    void setByte(std::size_t offset, bool flag) { record_.bytes[offset] = flag ? 1 : 0; }

private:
    union Record {
        host::ElementHead head;
        std::array<unsigned char, host::kJoineryRecordSize> bytes;
    };
    Record record_{};
};

}   // namespace tarnwick
