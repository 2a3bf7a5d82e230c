// The host's image library, headless: decoded pictures held as real image data (PNG through libpng, JPEG
// through libjpeg), pixel maps that can be stretched into one another, encoding and writing image files,
// and the file-type table that names a type by its MIME string.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "HostMemory.h"
#include "HostResult.h"

namespace host {

// File types, as the file-type table numbers them.
enum ImageFileType : std::int32_t {
    kImageTypeUnknown = 0,
    kImageTypePNG = 1,
    kImageTypeJPEG = 2,   // no alpha: written without it, decoded opaque
};

inline constexpr std::int32_t kPixelTypeRGBA = 32;   // the one pixel type: 8 bits each of r, g, b, a

// Width by height pixels, rows top to bottom, four bytes a pixel (red, green, blue, alpha).
struct PixMap {
    std::int32_t width = 0;
    std::int32_t height = 0;
    double dpi = 72.0;
    std::int32_t pixelType = kPixelTypeRGBA;
    std::vector<std::uint8_t> pixels;
};

// 'CMPI' (utilities, the record as the first parameter): encoded picture bytes converted into the file
// type of a MIME string. The host writes a new handle of the converted bytes to output, which the caller
// disposes; it is left null when the conversion fails.
struct ImageConversionRecord {
    std::uint8_t reserved0[8];
    Handle input;       // the encoded bytes; borrowed
    const char* mime;   // zero-terminated, e.g. "image/png"
    Handle output;
    std::uint8_t flag;   // carried
    std::uint8_t reserved33[3];
    std::int32_t mode;   // carried
    std::uint8_t reserved40[16];
};
static_assert(sizeof(ImageConversionRecord) == 56);
static_assert(offsetof(ImageConversionRecord, input) == 8);
static_assert(offsetof(ImageConversionRecord, mime) == 16);
static_assert(offsetof(ImageConversionRecord, output) == 24);
static_assert(offsetof(ImageConversionRecord, flag) == 32);
static_assert(offsetof(ImageConversionRecord, mode) == 36);

// A decoded picture. Copyable; copies share nothing.
class GXImage {
public:
    GXImage() = default;   // empty
    // Decodes the bytes as the given type (unknown: the type their signature names); bytes that do not
    // decode leave the picture empty.
    GXImage(const std::uint8_t* bytes, std::size_t size, std::int32_t type);
    explicit GXImage(const PixMap& pixMap);

    // The type of encoded bytes from their signature: 0 and the type, or kErrBadParameters for bytes of
    // no type the library knows.
    static Result getType(const std::uint8_t* bytes, std::size_t size, std::int32_t& type);

    bool isEmpty() const { return width_ == 0 || height_ == 0; }
    std::int32_t getTypeID() const { return type_; }             // the type it was decoded from
    std::int32_t getColorDepth() const { return colorDepth_; }   // 24 or 32 bits a pixel; 0 when empty
    std::int32_t getWidth() const { return width_; }
    std::int32_t getHeight() const { return height_; }
    void getDPI(double& horizontal, double& vertical) const;
    void setDPI(double horizontal, double vertical);

    // Encodes as the type in the colour depth (24: no alpha, else 32). kErrBadParameters for an empty
    // picture or a type that cannot be written (PNG and JPEG can).
    Result toEncodedData(std::int32_t type, std::int32_t colorDepth, std::vector<std::uint8_t>& bytes) const;
    PixMap toPixMap() const;
    // Writes the encoded picture to the file; kErrFile when it cannot be written.
    Result writeToFile(const std::string& path, std::int32_t type, std::int32_t colorDepth) const;

private:
    std::int32_t width_ = 0;
    std::int32_t height_ = 0;
    std::int32_t type_ = kImageTypeUnknown;
    std::int32_t colorDepth_ = 0;
    double dpiX_ = 72.0;
    double dpiY_ = 72.0;
    std::vector<std::uint8_t> pixels_;   // RGBA
};

// Pixel maps handed to the program; each one made is freed with GXDeleteGSPixMap.
PixMap* GXCreateGSPixMap(std::int32_t width, std::int32_t height, double dpi, std::int32_t pixelType);
PixMap* GXCopyGSPixMap(const PixMap& pixMap);
std::int32_t GXGetGSPixMapPixelType(const PixMap* pixMap);   // 0 for null
// Stretches the source rectangle into the destination rectangle (each top, left, bottom, right), with
// the nearest pixel. kErrBadParameters for a rectangle outside its map or an empty one.
Result GXStretchGSPixMap(const PixMap* source, PixMap* destination, const std::int32_t sourceRect[4],
                         const std::int32_t destinationRect[4]);
void GXDeleteGSPixMap(PixMap* pixMap);   // null is allowed

// The file type of a MIME string ("image/png"); kImageTypeUnknown for one the table lacks.
std::int32_t FTMSearchForMime(std::string_view mime);

}   // namespace host
