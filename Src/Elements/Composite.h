// Composite: a composite structure attribute of the project: a layered build-up of skins with the lines
// between them, which can draw a preview of itself.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include <HostRecords.h>

#include "Elements/CompositePattern.h"
#include "Elements/ConstructionMemo.h"
#include "Project/RecordAttribute.h"

namespace tarnwick {

struct PixelRect;

// The host composite record as a composite keeps it.
struct CompositeRecord {
    host::AttributeHeader header;
    double thickness;   // of all skins, metres
    std::uint8_t reserved304[8];
};
static_assert(sizeof(CompositeRecord) == 312);
static_assert(offsetof(CompositeRecord, thickness) == 296);

// An attribute of type 5; copy with clone (the skins and lines deep). Every operation loads the record
// first; the skins and lines load with the memo, from the host's extended definition.
// isValid is the attribute's, also as a pattern; as a memo, it is valid once it holds its skins and lines.
class Composite : public RecordAttribute<CompositeRecord>, public CompositePattern, public ConstructionMemo {
public:
    Composite();   // a new one: reset record, empty link
    explicit Composite(const AttributeLink& link);
    Composite(const host::AttributeDefinition& definition, const AttributeLink& link);
    Composite(const Composite& other);
    ~Composite() override;

    // The attribute creator for type 5: null for a definition of another type.
    static std::unique_ptr<Attribute> create(const host::AttributeDefinition& definition,
                                             const AttributeLink& link);

    std::unique_ptr<Attribute> clone() const override;
    using RecordAttribute<CompositeRecord>::isValid;
    std::int32_t getIndex() const override { return Attribute::getIndex(); }
    const AttributeLink& getLink() const override { return Attribute::getLink(); }
    String getName() const override { return Attribute::getName(); }
    AttributeType getType() const override { return AttributeType::composite; }
    // The skins and lines in a new extended definition; null when they could not be read.
    AttributeExtensionPtr copyExtendedDefinition() const override;
    void drawSwatch(NativeContext& context, std::int32_t width, std::int32_t height) const override;

    double getThickness() const { return record().thickness; }
    void clearDefinition();   // a reset record
    // A band per skin from the rectangle's top down, as high as the skin's share of the thickness; each
    // band the skin's fill, black on white, framed in black. Nothing for a null context.
    void drawPreview(NativeContext* context, const PixelRect& rect) const;

    // The memo's load: without a store, the host's extended definition of the composite comes back in
    // a new store; the lists are read from it. True when they were.
    bool load(std::uint64_t mask, std::unique_ptr<MemoStore>& store) override;

protected:
    bool isPatternValid() const override { return Attribute::isValid(); }
    void resetRecord(CompositeRecord& record, bool failed) const override;
};

}   // namespace tarnwick
