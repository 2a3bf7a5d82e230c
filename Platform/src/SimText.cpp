#include "SimText.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cmath>
#include <cstdlib>
#include <string>

namespace host {
namespace {

// The file of the font that fontconfig takes for the family and style; empty when it finds none.
std::string fontFile(const std::string& family, std::uint16_t style) {
    // Once per process (fonts do not change under us); the library's state goes at exit.
    static const bool ready = FcInit() == FcTrue && std::atexit(FcFini) == 0;
    if (!ready) return {};
    FcConfig* config = nullptr;   // the current configuration
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, (style & kTextBold) ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, (style & kTextItalic) ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcConfigSubstitute(config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(config, pattern, &result);
    std::string file;
    FcChar8* path = nullptr;
    if (match != nullptr && FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch)
        file = reinterpret_cast<const char*>(path);
    if (match != nullptr) FcPatternDestroy(match);
    FcPatternDestroy(pattern);
    return file;
}

// The next code point of zero-terminated UTF-16 (a lone surrogate counts as U+FFFD).
char32_t nextCodePoint(const char16_t*& text) {
    const char16_t unit = *text++;
    if (unit >= 0xD800 && unit < 0xDC00 && *text >= 0xDC00 && *text < 0xE000)
        return 0x10000 + ((unit - 0xD800) << 10) + (*text++ - 0xDC00);
    if (unit >= 0xD800 && unit < 0xE000) return 0xFFFD;
    return unit;
}

}   // namespace

Result SimText::measure(const TextLengthRecord* record, double* length) const {
    if (record == nullptr || record->text == nullptr || length == nullptr || !(record->size > 0.0))
        return kErrBadParameters;
    // The project's font of the index; another index is set in the default sans-serif font.
    std::string family = "sans-serif";
    if (const SimAttribute* font = project_.findAttribute(kAttributeFont, record->font)) family = font->name;
    const std::string file = fontFile(family, record->style);
    if (file.empty()) return kErrGeneral;
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0) return kErrGeneral;
    FT_Face face = nullptr;
    if (FT_New_Face(library, file.c_str(), 0, &face) != 0 || face->units_per_EM == 0) {
        if (face != nullptr) FT_Done_Face(face);
        FT_Done_FreeType(library);
        return kErrGeneral;
    }
    // Unscaled advances in font units, with the font's kerning between pairs.
    long units = 0;
    FT_UInt previous = 0;
    for (const char16_t* at = record->text; *at != 0;) {
        const FT_UInt glyph = FT_Get_Char_Index(face, nextCodePoint(at));
        if (previous != 0 && glyph != 0 && FT_HAS_KERNING(face)) {
            FT_Vector kerning{};
            if (FT_Get_Kerning(face, previous, glyph, FT_KERNING_UNSCALED, &kerning) == 0) units += kerning.x;
        }
        if (FT_Load_Glyph(face, glyph, FT_LOAD_NO_SCALE) == 0) units += face->glyph->advance.x;
        previous = glyph;
    }
    *length = static_cast<double>(units) / face->units_per_EM * record->size;
    FT_Done_Face(face);
    FT_Done_FreeType(library);
    return kNoError;
}

}   // namespace host
