// ComplexProfile: the wrapper of one host profile, with its three flags.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include <HostRecords.h>

#include "Project/RecordAttribute.h"

namespace tarnwick {

// The host profile record as a profile keeps it.
struct ComplexProfileRecord {
    host::AttributeHeader header;
    std::uint8_t flags[3];   // carried, each with a getter and a setter
    std::uint8_t reserved299[37];
};
static_assert(sizeof(ComplexProfileRecord) == 336);
static_assert(offsetof(ComplexProfileRecord, flags) == 296);

// An attribute of type 11; copy with clone. Every operation loads the record first.
class ComplexProfile : public RecordAttribute<ComplexProfileRecord> {
public:
    ComplexProfile();   // a new one: reset record, empty link
    explicit ComplexProfile(const AttributeLink& link);
    ComplexProfile(const host::AttributeDefinition& definition, const AttributeLink& link);
    ComplexProfile(const ComplexProfile& other);
    ComplexProfile& operator=(const ComplexProfile& other);
    ~ComplexProfile() override;

    // The attribute creator for type 11: null for a definition of another type.
    static std::unique_ptr<Attribute> create(const host::AttributeDefinition& definition,
                                             const AttributeLink& link);

    std::unique_ptr<Attribute> clone() const override;
    AttributeType getType() const override { return AttributeType::complexProfile; }
    AttributeExtensionPtr copyExtendedDefinition() const override;   // null

    bool getFlag(std::size_t which) const { return record().flags[which % 3] != 0; }   // 0, 1 or 2
    void setFlag(std::size_t which, bool on) { record().flags[which % 3] = on ? 1 : 0; }

protected:
    void resetRecord(ComplexProfileRecord& record, bool failed) const override;
};

}   // namespace tarnwick
