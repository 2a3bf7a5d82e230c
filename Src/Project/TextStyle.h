// TextStyle: the appearance of a text (pen, colour, font, size and style) as elements carry it, and
// the length of a text set in it, measured by the host.
#pragma once

#include <cstdint>
#include <memory>

#include <HostFonts.h>
#include <HostRecords.h>

#include "Foundation/Colour.h"
#include "Project/Attribute.h"
#include "Project/Font.h"
#include "Project/Pen.h"

namespace tarnwick {

// An attribute of type 0 (no host table): never valid as an attribute. A value; copy freely.
class TextStyle : public Attribute {
public:
    static constexpr double kMillimetresPerPoint = 0.3527777777778;

    explicit TextStyle(std::uint16_t styleFlags = 0, double size = 3.0);
    TextStyle(std::uint16_t styleFlags, const Colour& colour);
    TextStyle(const Font& font, const Pen& pen);
    explicit TextStyle(const host::TextSizeRecord& record);   // pen, font and size
    explicit TextStyle(const host::TextRecord& record);       // pen, style, font, extra and size
    TextStyle(const TextStyle& other);
    TextStyle& operator=(const TextStyle& other);
    ~TextStyle() override;

    std::unique_ptr<Attribute> clone() const override;
    AttributeType getType() const override { return AttributeType::none; }
    std::unique_ptr<host::AttributeDefinition> copyDefinition() const override;   // null: no host table
    AttributeExtensionPtr copyExtendedDefinition() const override;                // null
    const host::AttributeHeader& getRecord() const override { return header_; }
    host::AttributeHeader& getRecord() override { return header_; }

    std::int32_t getPointSize() const;         // floor(size / kMillimetresPerPoint + 0.5)
    double getSize() const { return size_; }   // millimetres
    std::uint16_t getStyleFlags() const { return styleFlags_; }
    const Pen& getPen() const { return pen_; }
    const Font& getFont() const { return font_; }
    const Colour& getColour() const { return colour_; }
    void setPen(const Pen& pen) { pen_ = pen; }
    void setColour(const Colour& colour) { colour_ = colour; }
    void setBold(bool on) { setStyle(host::kTextBold, on); }
    void setItalic(bool on) { setStyle(host::kTextItalic, on); }
    void setUnderline(bool on) { setStyle(host::kTextUnderline, on); }

    // The 48-byte record with the two given words first; the 16-byte size record.
    host::TextRecord toHostRecord(std::int32_t word0, std::int32_t word1) const;
    host::TextSizeRecord toSizeRecord() const;

    // The length of the text set in this style (millimetres, 'GTLL'); 0 for an empty text (the host is
    // not asked) and when the host fails.
    double measure(const String& text, std::int16_t mode) const;

    bool operator==(const TextStyle& other) const;   // every field; fonts by their index

private:
    void setStyle(std::uint16_t flag, bool on) {
        styleFlags_ = on ? static_cast<std::uint16_t>(styleFlags_ | flag)
                         : static_cast<std::uint16_t>(styleFlags_ & ~flag);
    }

    host::AttributeHeader header_{};
    Pen pen_;
    Colour colour_{0.0, 0.0, 0.0, 1.0};
    Font font_;
    std::uint16_t styleFlags_ = 0;
    std::int16_t extra_ = 0;    // carried
    std::int32_t value0_ = 6;   // carried
    std::int32_t value1_ = 0;   // carried
    double size_ = 3.0;
    double second_ = 3.0;   // carried
    double third_ = 0.0;    // carried; the spacing the host measures with
};

}   // namespace tarnwick
