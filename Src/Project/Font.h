// Font: the wrapper of one host font, its record carried whole.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include <HostRecords.h>

#include "Project/RecordAttribute.h"

namespace tarnwick {

// The host font record, carried whole.
struct FontRecord {
    host::AttributeHeader header;
    std::uint8_t body[16];
};
static_assert(sizeof(FontRecord) == 312);

// An attribute of type 10; copy with clone. Every operation loads the record first.
class Font : public RecordAttribute<FontRecord> {
public:
    // The project's font of that name (the link only; the record loads on first use).
    explicit Font(const String& name);
    Font();   // a new one: reset record, empty link
    explicit Font(const AttributeLink& link);
    Font(const host::AttributeDefinition& definition, const AttributeLink& link);
    Font(const Font& other);
    Font& operator=(const Font& other);
    ~Font() override;

    // The attribute creator for type 10: null for a definition of another type.
    static std::unique_ptr<Attribute> create(const host::AttributeDefinition& definition,
                                             const AttributeLink& link);

    std::unique_ptr<Attribute> clone() const override;
    AttributeType getType() const override { return AttributeType::font; }
    AttributeExtensionPtr copyExtendedDefinition() const override;   // null

protected:
    void resetRecord(FontRecord& record, bool failed) const override;
};

}   // namespace tarnwick
