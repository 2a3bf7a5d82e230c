// Material: the wrapper of one host building material: its cut fill with the fill's two pens, and the
// surface shown on its faces.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include <HostRecords.h>

#include "Project/RecordAttribute.h"

namespace tarnwick {

class Fill;
class Finish;
class Pen;

// The host building-material record as a material keeps it.
struct MaterialRecord {
    host::AttributeHeader header;
    std::uint8_t reserved296[28];
    std::int16_t cutFill;
    std::int16_t cutFillPen;
    std::int16_t cutFillBackgroundPen;
    std::int16_t surface;
    std::uint8_t reserved332[4];
    double values[3];   // carried, each with a getter and a setter
    std::uint8_t reserved360[16];
    std::uint8_t frameSurface;   // the swatch frames the surface part
    std::uint8_t reserved377[7];
};
static_assert(sizeof(MaterialRecord) == 384);
static_assert(offsetof(MaterialRecord, cutFill) == 324);
static_assert(offsetof(MaterialRecord, surface) == 330);
static_assert(offsetof(MaterialRecord, values) == 336);
static_assert(offsetof(MaterialRecord, frameSurface) == 376);

// An attribute of type 17; copy with clone. Every operation loads the record first. The fill, pens and
// surface it names are linked in the Specification the material belongs to (the project's for a new
// material).
class Material : public RecordAttribute<MaterialRecord> {
public:
    Material();
    explicit Material(const AttributeLink& link);
    explicit Material(std::int32_t index);             // in the project's Specification
    explicit Material(const String& name);             // as Fill's: a new material when the project has none
    explicit Material(const MaterialRecord& record);   // its link of the record's type and index
    Material(const host::AttributeDefinition& definition, const AttributeLink& link);
    Material(const Material& other);
    Material& operator=(const Material& other);
    ~Material() override;

    // The attribute creator for type 17: null for a definition of another type.
    static std::unique_ptr<Attribute> create(const host::AttributeDefinition& definition,
                                             const AttributeLink& link);

    std::unique_ptr<Attribute> clone() const override;
    AttributeType getType() const override { return AttributeType::material; }
    AttributeExtensionPtr copyExtendedDefinition() const override;   // null
    // The cut fill in its pens' colours on the left (on white when the background pen is 0), the
    // surface colour on the right.
    void drawSwatch(NativeContext& context, std::int32_t width, std::int32_t height) const override;

    Fill getCutFill() const;
    Pen getCutFillPen() const;
    Pen getCutFillBackgroundPen() const;
    Finish getSurface() const;
    void setCutFill(const Attribute& fill) { record().cutFill = shortIndexOf(fill); }
    void setCutFillPen(const Attribute& pen) { record().cutFillPen = shortIndexOf(pen); }
    void setCutFillBackgroundPen(const Attribute& pen) { record().cutFillBackgroundPen = shortIndexOf(pen); }
    void setSurface(const Attribute& finish) { record().surface = shortIndexOf(finish); }
    double getValue(std::size_t which) const { return record().values[which % 3]; }   // 0, 1 or 2
    void setValue(std::size_t which, double value) { record().values[which % 3] = value; }
    bool framesSurface() const { return record().frameSurface != 0; }
    void setFramesSurface(bool on) { record().frameSurface = on ? 1 : 0; }

protected:
    void resetRecord(MaterialRecord& record, bool failed) const override;

private:
    static std::int16_t shortIndexOf(const Attribute& attribute) {
        return attribute.getLink().getShortIndex();
    }
    AttributeLink linkOf(std::int16_t index, AttributeType type) const;
};

}   // namespace tarnwick
