// The image library over libpng's simplified interface and libjpeg.
#include "SimImages.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include <jpeglib.h>

namespace host {
namespace {

constexpr std::uint8_t kPngSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr std::uint8_t kJpegSignature[] = {0xFF, 0xD8, 0xFF};

template <std::size_t N>
bool startsWith(const std::uint8_t* bytes, std::size_t size, const std::uint8_t (&signature)[N]) {
    return bytes && size >= N && std::memcmp(bytes, signature, N) == 0;
}

// A header may claim up to 65500 by 65500 pixels; a picture beyond this many is refused, not allocated.
constexpr std::uint64_t kLargestPicture = std::uint64_t{1} << 26;

// libjpeg reports a fault by calling error_exit, which must not return: it jumps back to the caller.
struct JpegError {
    jpeg_error_mgr manager;
    std::jmp_buf back;
};

void stayQuiet(j_common_ptr) {}   // warnings about damaged data are not printed: the decode result tells

[[noreturn]] void jumpBack(j_common_ptr info) {
    std::longjmp(reinterpret_cast<JpegError*>(info->err)->back, 1);
}

// Decodes into RGBA rows. Whatever the function changes after setjmp lives in the caller's objects, so
// nothing here is left indeterminate by the jump.
bool decodeJpeg(const std::uint8_t* bytes, std::size_t size, std::vector<std::uint8_t>& pixels,
                std::int32_t& width, std::int32_t& height) {
    jpeg_decompress_struct info{};
    JpegError error{};
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = jumpBack;
    error.manager.output_message = stayQuiet;
    if (setjmp(error.back)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, bytes, static_cast<unsigned long>(size));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_EXT_RGBA;
    jpeg_start_decompress(&info);
    if (std::uint64_t{info.output_width} * info.output_height > kLargestPicture) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    width = static_cast<std::int32_t>(info.output_width);
    height = static_cast<std::int32_t>(info.output_height);
    pixels.resize(std::size_t{info.output_width} * info.output_height * 4);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = pixels.data() + std::size_t{info.output_scanline} * info.output_width * 4;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

// The encoder's output block, malloc'ed by libjpeg.
struct JpegOutput {
    unsigned char* bytes = nullptr;
    unsigned long size = 0;
    ~JpegOutput() { std::free(bytes); }
};

bool encodeJpeg(const std::vector<std::uint8_t>& pixels, std::int32_t width, std::int32_t height,
                JpegOutput& out) {
    jpeg_compress_struct info{};
    JpegError error{};
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = jumpBack;
    error.manager.output_message = stayQuiet;
    if (setjmp(error.back)) {
        jpeg_destroy_compress(&info);
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, &out.bytes, &out.size);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = 4;
    info.in_color_space = JCS_EXT_RGBX;   // JPEG has no alpha: it is dropped
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 90, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row =
            const_cast<std::uint8_t*>(pixels.data()) + std::size_t{info.next_scanline} * info.image_width * 4;
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}

}   // namespace

GXImage::GXImage(const std::uint8_t* bytes, std::size_t size, std::int32_t type) {
    if (type == kImageTypeJPEG || (type == kImageTypeUnknown && startsWith(bytes, size, kJpegSignature))) {
        std::vector<std::uint8_t> pixels;
        std::int32_t width = 0;
        std::int32_t height = 0;
        if (!startsWith(bytes, size, kJpegSignature) || !decodeJpeg(bytes, size, pixels, width, height))
            return;
        width_ = width;
        height_ = height;
        type_ = kImageTypeJPEG;
        colorDepth_ = 24;
        pixels_ = std::move(pixels);
        return;
    }
    if ((type != kImageTypePNG && type != kImageTypeUnknown) || !startsWith(bytes, size, kPngSignature))
        return;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, bytes, size)) return;
    const bool alpha = (image.format & PNG_FORMAT_FLAG_ALPHA) != 0;
    image.format = PNG_FORMAT_RGBA;
    std::vector<std::uint8_t> pixels(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) {
        png_image_free(&image);
        return;
    }
    width_ = static_cast<std::int32_t>(image.width);
    height_ = static_cast<std::int32_t>(image.height);
    type_ = kImageTypePNG;
    colorDepth_ = alpha ? 32 : 24;
    pixels_ = std::move(pixels);
}

GXImage::GXImage(const PixMap& pixMap) {
    if (pixMap.width <= 0 || pixMap.height <= 0 ||
        pixMap.pixels.size() !=
            static_cast<std::size_t>(pixMap.width) * static_cast<std::size_t>(pixMap.height) * 4)
        return;
    width_ = pixMap.width;
    height_ = pixMap.height;
    type_ = kImageTypePNG;   // a picture made in memory is written as PNG unless asked otherwise
    colorDepth_ = 32;
    dpiX_ = dpiY_ = pixMap.dpi;
    pixels_ = pixMap.pixels;
}

Result GXImage::getType(const std::uint8_t* bytes, std::size_t size, std::int32_t& type) {
    type = kImageTypeUnknown;
    if (startsWith(bytes, size, kPngSignature))
        type = kImageTypePNG;
    else if (startsWith(bytes, size, kJpegSignature))
        type = kImageTypeJPEG;
    return type == kImageTypeUnknown ? kErrBadParameters : kNoError;
}

void GXImage::getDPI(double& horizontal, double& vertical) const {
    horizontal = dpiX_;
    vertical = dpiY_;
}

void GXImage::setDPI(double horizontal, double vertical) {
    dpiX_ = horizontal;
    dpiY_ = vertical;
}

Result GXImage::toEncodedData(std::int32_t type, std::int32_t colorDepth,
                              std::vector<std::uint8_t>& bytes) const {
    bytes.clear();
    if (isEmpty()) return kErrBadParameters;
    if (type == kImageTypeJPEG) {
        JpegOutput out;
        if (!encodeJpeg(pixels_, width_, height_, out)) return kErrBadParameters;
        bytes.assign(out.bytes, out.bytes + out.size);
        return kNoError;
    }
    if (type != kImageTypePNG) return kErrBadParameters;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width_);
    image.height = static_cast<png_uint_32>(height_);
    image.format = PNG_FORMAT_RGBA;
    std::vector<std::uint8_t> rgb;
    const void* source = pixels_.data();
    if (colorDepth == 24) {   // drop the alpha channel
        rgb.reserve(pixels_.size() / 4 * 3);
        for (std::size_t i = 0; i < pixels_.size(); i += 4)
            rgb.insert(rgb.end(), &pixels_[i], &pixels_[i] + 3);
        image.format = PNG_FORMAT_RGB;
        source = rgb.data();
    }
    png_alloc_size_t size = 0;
    if (!png_image_write_to_memory(&image, nullptr, &size, 0, source, 0, nullptr)) return kErrBadParameters;
    bytes.resize(size);
    if (!png_image_write_to_memory(&image, bytes.data(), &size, 0, source, 0, nullptr)) {
        bytes.clear();
        return kErrBadParameters;
    }
    bytes.resize(size);
    return kNoError;
}

PixMap GXImage::toPixMap() const {
    PixMap map;
    map.width = width_;
    map.height = height_;
    map.dpi = dpiX_;
    map.pixels = pixels_;
    return map;
}

Result GXImage::writeToFile(const std::string& path, std::int32_t type, std::int32_t colorDepth) const {
    std::vector<std::uint8_t> bytes;
    if (const Result r = toEncodedData(type, colorDepth, bytes); r != kNoError) return r;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) return kErrFile;
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return out.good() ? kNoError : kErrFile;
}

PixMap* GXCreateGSPixMap(std::int32_t width, std::int32_t height, double dpi, std::int32_t pixelType) {
    if (width <= 0 || height <= 0 || pixelType != kPixelTypeRGBA) return nullptr;
    auto* map = new PixMap;   // handed to the program, which frees it with GXDeleteGSPixMap
    map->width = width;
    map->height = height;
    map->dpi = dpi;
    map->pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4, 0);
    return map;
}

PixMap* GXCopyGSPixMap(const PixMap& pixMap) { return new PixMap(pixMap); }

std::int32_t GXGetGSPixMapPixelType(const PixMap* pixMap) { return pixMap ? pixMap->pixelType : 0; }

Result GXStretchGSPixMap(const PixMap* source, PixMap* destination, const std::int32_t sourceRect[4],
                         const std::int32_t destinationRect[4]) {
    if (!source || !destination) return kErrBadParameters;
    const auto inside = [](const PixMap& map, const std::int32_t r[4]) {   // top, left, bottom, right
        return r[0] >= 0 && r[1] >= 0 && r[2] <= map.height && r[3] <= map.width && r[2] > r[0] &&
               r[3] > r[1];
    };
    if (!inside(*source, sourceRect) || !inside(*destination, destinationRect)) return kErrBadParameters;
    const std::int32_t sw = sourceRect[3] - sourceRect[1], sh = sourceRect[2] - sourceRect[0];
    const std::int32_t dw = destinationRect[3] - destinationRect[1],
                       dh = destinationRect[2] - destinationRect[0];
    for (std::int32_t y = 0; y < dh; ++y) {
        const std::int32_t sy =
            sourceRect[0] + static_cast<std::int32_t>(static_cast<std::int64_t>(y) * sh / dh);
        for (std::int32_t x = 0; x < dw; ++x) {
            const std::int32_t sx =
                sourceRect[1] + static_cast<std::int32_t>(static_cast<std::int64_t>(x) * sw / dw);
            const std::size_t from = (static_cast<std::size_t>(sy) * static_cast<std::size_t>(source->width) +
                                      static_cast<std::size_t>(sx)) *
                                     4;
            const std::size_t to = (static_cast<std::size_t>(destinationRect[0] + y) *
                                        static_cast<std::size_t>(destination->width) +
                                    static_cast<std::size_t>(destinationRect[1] + x)) *
                                   4;
            std::copy_n(&source->pixels[from], 4, &destination->pixels[to]);
        }
    }
    return kNoError;
}

void GXDeleteGSPixMap(PixMap* pixMap) { delete pixMap; }

std::int32_t FTMSearchForMime(std::string_view mime) {
    if (mime == "image/png") return kImageTypePNG;
    if (mime == "image/jpeg") return kImageTypeJPEG;
    return kImageTypeUnknown;
}

Result convertPicture(ImageConversionRecord* record) {
    if (!record) return kErrBadParameters;
    record->output = nullptr;
    if (!record->input || !*record->input || !record->mime) return kErrBadParameters;
    const std::int32_t type = FTMSearchForMime(record->mime);
    if (type == kImageTypeUnknown) return kErrBadParameters;
    const GXImage picture(reinterpret_cast<const std::uint8_t*>(*record->input), getHandleSize(record->input),
                          kImageTypeUnknown);
    std::vector<std::uint8_t> bytes;
    if (picture.isEmpty() || picture.toEncodedData(type, picture.getColorDepth(), bytes) != kNoError)
        return kErrBadParameters;
    const Handle output = newHandle(bytes.size(), false);
    if (!output) return kErrMemFull;
    std::memcpy(*output, bytes.data(), bytes.size());
    record->output = output;
    return kNoError;
}

}   // namespace host
