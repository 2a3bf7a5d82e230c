// StyledString: a text with formatting: runs of text styles and runs of paragraph rulers, each starting at
// a character position, that follow the text when it is cut, joined, replaced or case-converted.
#pragma once

#include <cstdint>
#include <memory>
#include <string_view>

#include "Foundation/String.h"
#include "Interface/ApplicationMap.h"
#include "Interface/TextRuler.h"
#include "Project/TextStyle.h"

namespace tarnwick {

// A value; copies copy both maps. Each map always holds an entry at position 0 (also for an empty text),
// so every character is covered by a style and a ruler. Positions and counts are characters; a position
// past the text gives empty runs or no change.
class StyledString : public String {
public:
    static constexpr double kDefaultSize = 4.2333333333336;   // millimetres (12 points), as stored

    class StyleMap : public ApplicationMap<TextStyle> {
    public:
        StyleMap() : ApplicationMap(TextStyle(0, kDefaultSize)) {}
    };
    class RulerMap : public ApplicationMap<TextRuler> {
    public:
        RulerMap() : ApplicationMap(TextRuler()) {}
    };

    // A run: its start, its character count and the entry's object (null, with 0 and 0, for none).
    template <typename T>
    struct Run {
        std::uint32_t start = 0;
        std::uint32_t count = 0;
        const T* object = nullptr;
    };
    using StyleRun = Run<TextStyle>;
    using RulerRun = Run<TextRuler>;

    StyledString();
    explicit StyledString(const char* utf8, std::uint32_t length = npos);
    StyledString(std::uint32_t count, char character);
    explicit StyledString(std::u16string_view text);
    StyledString(const char16_t* chars, std::uint32_t count);
    explicit StyledString(const String& text, std::uint32_t start = 0, std::uint32_t count = npos);
    StyledString(const StyledString& other);
    // The maps are copied whole, then cut to the copy's length.
    StyledString(const StyledString& other, std::uint32_t start, std::uint32_t count);
    StyledString& operator=(const StyledString& other);
    ~StyledString() override;

    // --- Operations of String ------------------------------------------------------------------------
    std::unique_ptr<String> clone() const override;
    void setLength(std::uint32_t characters) override;   // drops the runs from there on
    void assign(const char* bytes, std::uint32_t length = npos, std::int32_t charset = kUtf8) override;
    void clear() override;
    // The new characters come without formatting (the default style and ruler); the rest keep theirs.
    void replace(std::uint32_t position, std::uint32_t count, const String& source,
                 std::uint32_t sourceStart = 0, std::uint32_t sourceCount = npos) override;

    // --- Own operations --------------------------------------------------------------------------------
    virtual void append(const StyledString& other);   // other's styles and its first new paragraph's ruler
    virtual void setText(const char* utf8, std::uint32_t length = npos);   // plain text, default formatting

    std::uint32_t getStyleRunCount() const { return static_cast<std::uint32_t>(styles_->size()); }
    std::uint32_t getRulerRunCount() const { return static_cast<std::uint32_t>(rulers_->size()); }
    StyleRun getStyleRun(std::uint32_t index) const;   // empty past the last
    RulerRun getRulerRun(std::uint32_t index) const;
    StyleRun getStyleAt(std::uint32_t position) const;   // the run covering it; empty at or past the end
    RulerRun getRulerAt(std::uint32_t position) const;
    // The object applies over [start, start + count); count npos: to the end. A count of 0 changes nothing.
    // On an empty text the style or ruler at 0 takes the object.
    void setStyle(const TextStyle& style, std::uint32_t start, std::uint32_t count = npos);
    void setRuler(const TextRuler& ruler, std::uint32_t start, std::uint32_t count = npos);

    StyledString substring(std::uint32_t start, std::uint32_t count = npos) const;
    StyledString toUpper() const;
    StyledString toLower() const;

private:
    void trimMaps();   // to the text's length

    std::unique_ptr<StyleMap> styles_;
    std::unique_ptr<RulerMap> rulers_;
};

}   // namespace tarnwick
