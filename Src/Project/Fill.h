// Fill: the wrapper of one host fill: a vector pattern drawn in two colours, or a gradient.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include <HostRecords.h>

#include "Foundation/Colour.h"
#include "Project/Pattern.h"
#include "Project/RecordAttribute.h"

namespace tarnwick {

struct PixelRect;

// The host fill record as a fill keeps it.
struct FillRecord {
    host::AttributeHeader header;
    std::int32_t kind;   // 4 linear gradient, 5 radial gradient, else a pattern
    std::uint8_t reserved300[4];
    std::uint8_t pattern[8];   // the 8 x 8 bitmap, a byte a row
    std::uint8_t reserved312[656];
};
static_assert(sizeof(FillRecord) == 968);
static_assert(offsetof(FillRecord, kind) == 296);
static_assert(offsetof(FillRecord, pattern) == 304);

// An attribute of type 4; copy with clone. Every operation loads the record first.
class Fill : public RecordAttribute<FillRecord>, public Pattern {
public:
    static constexpr std::int32_t kLinearGradient = 4;
    static constexpr std::int32_t kRadialGradient = 5;

    Fill();
    explicit Fill(const AttributeLink& link);
    // The project's fill of that name; when there is none and the name is not empty, a new fill of that
    // name that the host does not know yet.
    explicit Fill(const String& name);
    Fill(const host::AttributeDefinition& definition, const AttributeLink& link);
    Fill(const Fill& other);
    Fill& operator=(const Fill& other);
    ~Fill() override;

    // The attribute creator for type 4: null for a definition of another type.
    static std::unique_ptr<Attribute> create(const host::AttributeDefinition& definition,
                                             const AttributeLink& link);

    std::unique_ptr<Attribute> clone() const override;
    bool isValid() const override { return Attribute::isValid(); }
    std::int32_t getIndex() const override { return Attribute::getIndex(); }
    const AttributeLink& getLink() const override { return Attribute::getLink(); }
    String getName() const override { return Attribute::getName(); }
    AttributeType getType() const override { return AttributeType::fill; }
    AttributeExtensionPtr copyExtendedDefinition() const override;   // null
    // drawInRect over the whole item: black on white, framed in black.
    void drawSwatch(NativeContext& context, std::int32_t width, std::int32_t height) const override;
    // The fill in the rectangle: a gradient from the foreground to the background colour, or the
    // pattern in the two colours; then the rectangle framed.
    virtual void drawInRect(NativeContext& context, const PixelRect& rect, const Colour& foreground,
                            const Colour& background, const Colour& frame) const;

    std::int32_t getKind() const { return record().kind; }
    void setKind(std::int32_t kind) { record().kind = kind; }
    const std::uint8_t* getBitmap() const { return record().pattern; }   // 8 bytes
    void setBitmap(const std::uint8_t pattern[8]);

protected:
    void resetRecord(FillRecord& record, bool failed) const override;
};

}   // namespace tarnwick
