// ZoneCategory: the attribute that sorts zones (rooms): its code, its colour, and the zone stamp library
// part that zones of the category are placed with, together with that part's parameters.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include <HostRecords.h>

#include "LibraryParts/ParameterMemo.h"
#include "Project/ComponentLink.h"
#include "Project/RecordAttribute.h"

namespace tarnwick {

// The host zone-category record.
struct ZoneCategoryRecord {
    host::AttributeHeader header;
    char16_t code[256];               // zero-terminated
    char16_t stampName[256];          // the stamp library part's name, zero-terminated
    std::uint8_t stampMainGuid[16];   // a host::GuidRecord's bytes
    std::uint8_t stampRevisionGuid[16];
    double colour[3];   // red, green, blue 0..1
};
static_assert(sizeof(ZoneCategoryRecord) == 1376);
static_assert(offsetof(ZoneCategoryRecord, code) == 296);
static_assert(offsetof(ZoneCategoryRecord, stampName) == 808);
static_assert(offsetof(ZoneCategoryRecord, stampMainGuid) == 1320);
static_assert(offsetof(ZoneCategoryRecord, stampRevisionGuid) == 1336);
static_assert(offsetof(ZoneCategoryRecord, colour) == 1352);

// An attribute of type 9; copy with clone. Every operation loads the record first. The stamp's link is
// found by the stamp's name in the library of the category's project when first asked for; a stamp the
// library does not hold gives an invalid link (the name stays). The parameters are the stamp's as the
// category sets them: the host's extended definition, else the stamp part's defaults.
//
// Both bases answer isValid: ask the Attribute (`static_cast<const Attribute&>(c).isValid()`).
class ZoneCategory : public RecordAttribute<ZoneCategoryRecord>, public ParameterMemo {
public:
    ZoneCategory();                                     // a new one: reset record, empty links
    explicit ZoneCategory(std::int32_t index);          // in the project's Specification
    explicit ZoneCategory(const AttributeLink& link);   // the record loads on first use
    explicit ZoneCategory(const String& name);          // as Fill's: new when the project has none
    ZoneCategory(const host::AttributeDefinition& definition, const AttributeLink& link);   // creator's
    ZoneCategory(const ZoneCategory& other);   // record, parameters and stamp link
    ~ZoneCategory() override;

    // The attribute creator for type 9: null for a definition of another type.
    static std::unique_ptr<Attribute> create(const host::AttributeDefinition& definition,
                                             const AttributeLink& link);

    std::unique_ptr<Attribute> clone() const override;
    AttributeType getType() const override { return AttributeType::zoneCategory; }
    // The stamp's parameters in a new extended definition; null when they cannot be written.
    AttributeExtensionPtr copyExtendedDefinition() const override;

    std::int32_t getColourValue() const;   // 0xRRGGBB, each channel rounded from 0..1 x 255
    void setColourValue(std::int32_t value);
    String getCode() const;
    void setCode(const String& code);   // cut to 255 units and the terminator
    String getStampName() const;
    // The stamp part by name: its link, its unique id's GUIDs into the record and its default parameters.
    void setStampName(const String& name);
    const ComponentLink& getStampLink() const;   // index 0 when the library has no such part

    // The memo's load: without a store, the host's extended definition of the category comes back in
    // a new store (else one over the stamp's default parameters); the parameters are read from it when
    // the mask asks for them. True when parameters were read.
    bool load(std::uint64_t mask, std::unique_ptr<MemoStore>& store) override;

protected:
    void resetRecord(ZoneCategoryRecord& record, bool failed) const override;

private:
    Library* library() const;   // of the link owner's project, else the current project's; may be null
    // A new store over the stamp's default parameters; null when the library cannot give them.
    std::unique_ptr<MemoStore> defaultParameters() const;

    mutable ComponentLink stampLink_;
    mutable bool stampLinked_ = false;   // stampLink_ follows the record's stamp name
};

}   // namespace tarnwick
