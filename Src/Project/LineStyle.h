// LineStyle: the wrapper of one host line type, its record carried whole.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include <HostRecords.h>

#include "Project/RecordAttribute.h"

namespace tarnwick {

// The host line-type record, carried whole.
struct LineStyleRecord {
    host::AttributeHeader header;
    std::uint8_t body[32];
};
static_assert(sizeof(LineStyleRecord) == 328);

// An attribute of type 3; copy with clone. Every operation loads the record first.
class LineStyle : public RecordAttribute<LineStyleRecord> {
public:
    // The four kinds of a line type; stepping wraps from 3 to 0 and from 0 to 3.
    enum class Kind : std::uint8_t { kind0 = 0, kind1 = 1, kind2 = 2, kind3 = 3 };
    static Kind next(Kind kind) { return static_cast<Kind>((static_cast<int>(kind) + 1) % 4); }
    static Kind previous(Kind kind) { return static_cast<Kind>((static_cast<int>(kind) + 3) % 4); }

    // The project's line type of that name; a new one of that name when there is none.
    explicit LineStyle(const String& name);
    LineStyle();   // a new one: reset record, empty link
    explicit LineStyle(const AttributeLink& link);
    LineStyle(const host::AttributeDefinition& definition, const AttributeLink& link);
    LineStyle(const LineStyle& other);
    LineStyle& operator=(const LineStyle& other);
    ~LineStyle() override;

    // The attribute creator for type 3: null for a definition of another type.
    static std::unique_ptr<Attribute> create(const host::AttributeDefinition& definition,
                                             const AttributeLink& link);

    std::unique_ptr<Attribute> clone() const override;
    AttributeType getType() const override { return AttributeType::lineStyle; }
    AttributeExtensionPtr copyExtendedDefinition() const override;   // null

protected:
    void resetRecord(LineStyleRecord& record, bool failed) const override;
};

}   // namespace tarnwick
