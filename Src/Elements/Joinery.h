// Joinery: a door or window as the host keeps it: the first 376 bytes of its record (the head, then its
// attributes, opening size, flags, library index, owner wall and place in the wall).
#pragma once

#include <array>
#include <cstring>
#include <memory>

#include <HostElementRecords.h>

#include "Elements/EnvironsOpening.h"

namespace tarnwick {

class Attribute;
class Material;

// A material of a 16-bit attribute index (its high half 0).
Material makeMaterial(std::int16_t index);

// Setters change the kept record only; nothing reaches the host before commit or storeElement. The
// size parameters and the record agree: "A" and "ZZYZX" set the opening's width and height too.
class Joinery : public EnvironsOpening {
public:
    Joinery(const ElementLink& link, const ComponentLink& part) : EnvironsOpening(link, part) {}
    Joinery(const host::ElementRecord& record, const ElementLink& link, const ComponentLink& part);
    Joinery(const Joinery&) = default;
    ~Joinery() override;

    // --- Element ------------------------------------------------------------------------------------
    ElementLink getOwnerLink() const override { return getOwnerWallLink(); }
    CadPoint getPosition() const override;   // along its wall: the origin without a wall wrapper
    // In its wall, plus the wall's own elevation; without a wall and when absolute, plus the storey's
    // level.
    double getElevation(bool absolute) const override;
    std::unique_ptr<host::ElementRecord> getHostElement() const override;
    const host::ElementHead& getTypeRecord() const override { return record_.head; }
    host::ElementHead& getMutableTypeRecord() override { return record_.head; }

    // --- ComponentElem, EnvironsOpening -------------------------------------------------------------
    double getAngle() const override { return 0.0; }   // along its wall: none without a wall wrapper
    bool isMirrored() const override { return byte(host::kOpeningMirroredOffset) != 0; }
    // Writes the library index into the record, then takes the part; under another part the opening
    // keeps its width and height, and "A" and "ZZYZX" take them.
    bool setComponent(const ComponentLink& link, bool resetSizes, bool mergeParameters) override;
    std::int32_t getLibraryIndex() const override {
        return get<std::int32_t>(host::kOpeningLibraryIndexOffset);
    }
    void setWidth(double value) override;    // "A" and the opening's width
    void setHeight(double value) override;   // "ZZYZX" and the opening's height
    const unsigned char* getOpeningRecord() const override {
        return record_.bytes.data() + kOpeningRecordOffset;
    }
    unsigned char* getMutableOpeningRecord() override { return record_.bytes.data() + kOpeningRecordOffset; }

    // --- Its own -----------------------------------------------------------------------------------
    virtual ElementLink getOwnerWallLink() const;   // in the element's Drawing
    // The wall it sits in, owned by the caller: the element the Drawing makes of the owner link when
    // that is a wall; null otherwise (no kind here wraps walls, so a Drawing makes none by default).
    virtual std::unique_ptr<Element> getOwnerWall() const;
    virtual void setOwnerWall(const ElementLink& wall);   // the link's guid
    virtual void setWallPosition(double value) { put(host::kOpeningPositionOffset, value); }
    virtual void setElevationInWall(double value) { put(host::kOpeningElevationOffset, value); }
    // Values the host keeps for doors and windows alike; stored and given back only.
    virtual void setJoineryValueA(double value) { put(kJoineryValues, value); }
    virtual void setJoineryValueB(double value) { put(kJoineryValues + 8, value); }
    virtual void setJoineryValueC(double value) { put(kJoineryValues + 16, value); }
    virtual void setJoineryValueD(double value) { put(kJoineryValues + 24, value); }
    virtual void setJoineryValueE(double value) { put(kJoineryValues + 32, value); }
    // Kinds 1 and 3 carry the attribute's index (0 without one); any other kind the index 0.
    virtual void setAttributeOption(std::int32_t kind, const Attribute* attribute);
    virtual double getWallPosition() const { return get<double>(host::kOpeningPositionOffset); }
    virtual double getElevationInWall() const { return get<double>(host::kOpeningElevationOffset); }
    virtual double getJoineryValueA() const { return get<double>(kJoineryValues); }
    virtual double getJoineryValueB() const { return get<double>(kJoineryValues + 8); }
    virtual double getJoineryValueC() const { return get<double>(kJoineryValues + 16); }
    virtual double getJoineryValueD() const { return get<double>(kJoineryValues + 24); }
    virtual double getJoineryValueE() const { return get<double>(kJoineryValues + 32); }

    // The attribute option's kind; kinds 1 and 3 carry an attribute index, given through `index`.
    std::int32_t getAttributeOption(std::int16_t* index) const;
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
    std::uint8_t byte(std::size_t offset) const { return record_.bytes[offset]; }
    void setByte(std::size_t offset, bool flag) { record_.bytes[offset] = flag ? 1 : 0; }

private:
    static constexpr std::size_t kOpeningRecordOffset = sizeof(host::ElementHead);
    static constexpr std::size_t kJoineryValues = 256;   // five doubles

    union Record {
        host::ElementHead head;
        std::array<unsigned char, host::kJoineryRecordSize> bytes;
    };
    Record record_{};
};

}   // namespace tarnwick
