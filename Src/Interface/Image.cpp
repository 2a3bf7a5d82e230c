#include "Interface/Image.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "Environment/HostApi.h"
#include "Foundation/DataBufferIn.h"
#include "Foundation/File.h"
#include "Foundation/Memory.h"

namespace tarnwick {
namespace {

MemoryBlock blockOf(const std::vector<std::uint8_t>& bytes) {
    MemoryBlock block;
    if (!bytes.empty()) block.append(bytes.data(), bytes.size());
    return block;
}

const std::uint8_t* bytesOf(const MemoryBlock& block) {
    return reinterpret_cast<const std::uint8_t*>(block.getBytes());
}

std::int32_t resourceModule() {
    std::int32_t module = 0;
    hostApi().call<host::HostSlot::getResourceModule>(&module);
    return module;
}

}   // namespace

Image::Image() = default;

Image::Image(std::int16_t resourceId) : resourceId_(resourceId) {}

Image::Image(const MemoryBlock& encoded) { setEncoded(MemoryBlock(encoded)); }

Image::Image(MemoryBlock& encoded, bool takeOver) {
    MemoryBlock bytes;
    if (takeOver)
        bytes.takeHandle(encoded);
    else
        bytes.copyHandle(encoded);
    setEncoded(std::move(bytes));
}

Image::Image(host::Handle encoded) {
    MemoryBlock bytes;
    if (encoded) bytes.append(*encoded, getHandleSize(encoded));
    setEncoded(std::move(bytes));
}

Image::Image(DataBufferIn& stream) {
    MemoryBlock bytes;
    std::vector<char> chunk(std::max<std::size_t>(stream.getSizeHint(), 4096));
    for (std::size_t got; (got = stream.read(chunk.data(), chunk.size())) != 0;)
        bytes.append(chunk.data(), got);
    setEncoded(std::move(bytes));
}

Image::Image(host::PixMap* pixMap) { setPixMap(pixMap); }

Image::Image(const host::DGImage& image) : resourceId_(static_cast<std::int16_t>(image.resourceId)) {}

Image::Image(const Image& other) : resourceId_(other.resourceId_), encoded_(other.encoded_) {
    if (other.picture_) picture_ = std::make_unique<host::GXImage>(*other.picture_);
}

Image& Image::operator=(const Image& other) {
    if (this == &other) return *this;
    Image copy(other);
    clear();
    resourceId_ = copy.resourceId_;
    picture_ = std::move(copy.picture_);
    encoded_.takeHandle(copy.encoded_);
    return *this;
}

Image::~Image() { releasePixMap(); }

std::unique_ptr<Image> Image::clone() const { return std::make_unique<Image>(*this); }

host::DGImage Image::fromResource() const {
    host::DGImage image;
    image.resourceId = resourceId_;
    image.module = resourceId_ < kFirstAddonImage ? host::kHostResourceModule : resourceModule();
    return image;
}

host::DGImage Image::toDGImage() const {
    if (resourceId_ != kNoResource) return fromResource();
    host::DGImage image;
    const MemoryBlock& bytes = getEncodedData();
    if (!bytes.holdsBytes()) return image;
    std::int32_t type = host::kImageTypeUnknown;
    host::GXImage::getType(bytesOf(bytes), bytes.getSize(), type);
    const host::GXImage picture(bytesOf(bytes), bytes.getSize(), type);   // shown as PNG
    picture.toEncodedData(host::kImageTypePNG, picture.getColorDepth(), image.png);
    return image;
}

host::DGImage Image::toDGIcon() const { return toDGImage(); }

bool Image::isHostResource() const { return resourceId_ >= 0 && resourceId_ < kFirstAddonImage; }

bool Image::isEmpty() const { return resourceId_ == kNoResource && (!picture_ || picture_->isEmpty()); }

const MemoryBlock& Image::getEncodedData() const {
    if (encoded_.holdsBytes() || !picture_) return encoded_;
    return getEncodedDataAs(picture_->getTypeID());
}

const MemoryBlock& Image::getEncodedDataAs(std::int32_t fileType) const {
    if (encoded_.holdsBytes() || !picture_) return encoded_;
    std::vector<std::uint8_t> bytes;
    if (picture_->toEncodedData(std::max(fileType, 0), picture_->getColorDepth(), bytes) == host::kNoError)
        encoded_ = blockOf(bytes);
    return encoded_;
}

host::PixMap* Image::getPixMap() const {
    if (!pixMap_ && picture_ && !picture_->isEmpty()) pixMap_ = host::GXCopyGSPixMap(picture_->toPixMap());
    return pixMap_;
}

bool Image::writeToFile(const File& file) const {
    if (!picture_) return false;
    return picture_->writeToFile(std::string(file.getPath().getView()), picture_->getTypeID(),
                                 picture_->getColorDepth()) == host::kNoError;
}

bool Image::writeToFileAs(const File& file, const String& mime, std::int32_t colorDepth) const {
    if (!picture_) return false;
    const std::int32_t type = host::FTMSearchForMime(mime.getView());
    if (type == host::kImageTypeUnknown) return false;
    return picture_->writeToFile(std::string(file.getPath().getView()), type, colorDepth) == host::kNoError;
}

double Image::getHorizontalDPI() const {
    double horizontal = 0.0, vertical = 0.0;
    if (picture_) picture_->getDPI(horizontal, vertical);
    return horizontal;
}

double Image::getVerticalDPI() const {
    double horizontal = 0.0, vertical = 0.0;
    if (picture_) picture_->getDPI(horizontal, vertical);
    return vertical;
}

void Image::setHorizontalDPI(double dpi, bool both) {
    if (picture_) picture_->setDPI(dpi, both ? dpi : getVerticalDPI());
}

void Image::setVerticalDPI(double dpi, bool both) {
    if (picture_) picture_->setDPI(both ? dpi : getHorizontalDPI(), dpi);
}

ScreenRect Image::getRect() const {
    if (!picture_) return ScreenRect();
    return ScreenRect(ScreenPoint(0, 0), ScreenPoint(static_cast<std::int16_t>(picture_->getWidth()),
                                                     static_cast<std::int16_t>(picture_->getHeight())));
}

void Image::setPixMap(host::PixMap* pixMap) {
    clear();
    pixMap_ = pixMap;
    if (pixMap_) picture_ = std::make_unique<host::GXImage>(*pixMap_);
}

void Image::clear() {
    picture_.reset();
    encoded_.clear();
    releasePixMap();
}

void Image::releasePixMap() const {
    host::GXDeleteGSPixMap(pixMap_);
    pixMap_ = nullptr;
}

// 1. Setting encoded bytes: the picture goes; it is made again when the host knows the bytes' type.
void Image::setEncoded(MemoryBlock&& bytes) {
    clear();
    std::int32_t type = host::kImageTypeUnknown;
    if (host::GXImage::getType(bytesOf(bytes), bytes.getSize(), type) == host::kNoError)
        picture_ = std::make_unique<host::GXImage>(bytesOf(bytes), bytes.getSize(), type);
    encoded_.takeHandle(bytes);
}

// 2. Scaling.
bool Image::scaleTo(const ScreenRect& rect, bool keepAspect) {
    host::PixMap* source = getPixMap();
    if (!source) return false;
    const std::int32_t sourceWidth = picture_->getWidth(), sourceHeight = picture_->getHeight();
    if (sourceWidth <= 0 || sourceHeight <= 0) return false;   // nothing to scale, and no ratio
    std::int32_t width = rect.width(), height = rect.height();
    if (keepAspect) {
        const double scale =
            std::min(static_cast<double>(width) / sourceWidth, static_cast<double>(height) / sourceHeight);
        width = static_cast<std::int32_t>(sourceWidth * scale);
        height = static_cast<std::int32_t>(sourceHeight * scale);
    }
    if (width <= 0 || height <= 0) return false;
    host::PixMap* target =
        host::GXCreateGSPixMap(width, height, getHorizontalDPI(), host::GXGetGSPixMapPixelType(source));
    if (!target) return false;
    const std::int32_t from[4] = {0, 0, sourceHeight, sourceWidth};   // top, left, bottom, right
    const std::int32_t to[4] = {0, 0, height, width};                 // the new map holds just the target
    if (host::GXStretchGSPixMap(source, target, from, to) != host::kNoError) {
        host::GXDeleteGSPixMap(target);
        return false;
    }
    setPixMap(target);
    return true;
}

}   // namespace tarnwick
