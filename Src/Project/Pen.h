// Pen: the wrapper of one host pen: its colour and width.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include <HostRecords.h>

#include "Foundation/Colour.h"
#include "Project/RecordAttribute.h"

namespace tarnwick {

// The host pen record as a pen keeps it.
struct PenRecord {
    host::AttributeHeader header;
    double red;     // 0..1
    double green;   // 0..1
    double blue;    // 0..1
    double width;   // millimetres
    std::uint8_t reserved328[128];
};
static_assert(sizeof(PenRecord) == 456);
static_assert(offsetof(PenRecord, red) == 296);
static_assert(offsetof(PenRecord, width) == 320);

// 0xRRGGBB from a colour and back. A channel is taken as floor(x * 255 + 0.5), the rule the swatches
// draw with, so that a value read back is the value set (0x80 / 255 * 255 is not always 128 exactly).
std::int32_t colourValueOf(double red, double green, double blue);
Colour colourOfValue(std::int32_t value);   // each byte / 255; alpha 1

// An attribute of type 1; copy with clone. Every operation loads the record first. A default or reset
// pen has width 0.1 and is black.
class Pen : public RecordAttribute<PenRecord> {
public:
    Pen();
    explicit Pen(const AttributeLink& link);
    Pen(const host::AttributeDefinition& definition, const AttributeLink& link);
    Pen(const Pen& other);
    Pen& operator=(const Pen& other);
    ~Pen() override;

    // The attribute creator for type 1: null for a definition of another type.
    static std::unique_ptr<Attribute> create(const host::AttributeDefinition& definition,
                                             const AttributeLink& link);

    std::unique_ptr<Attribute> clone() const override;
    AttributeType getType() const override { return AttributeType::pen; }
    AttributeExtensionPtr copyExtendedDefinition() const override;   // null
    // A frame, a bar as thick as the pen (10 pixels a millimetre, 1 to 10) and a patch of its colour.
    void drawSwatch(NativeContext& context, std::int32_t width, std::int32_t height) const override;

    Colour getColour() const;   // alpha 1
    std::int32_t getColourValue() const;
    double getWidth() const { return record().width; }
    void setColour(const Colour& colour);   // red, green and blue
    void setColourValue(std::int32_t value);
    void setWidth(double width) { record().width = width; }

protected:
    void resetRecord(PenRecord& record, bool failed) const override;
};

}   // namespace tarnwick
