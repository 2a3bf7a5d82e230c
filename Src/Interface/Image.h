// Image: the framework's picture value: an image resource (drawn by the host) or a decoded picture with
// its encoded bytes and a pixel map as caches. Used for button images, popup icons and previews.
#pragma once

#include <cstdint>
#include <memory>

#include <HostDialogLibrary.h>
#include <HostImages.h>
#include <HostMemory.h>

#include "Foundation/MemoryBlock.h"
#include "Foundation/String.h"
#include "Interface/ScreenRect.h"

namespace tarnwick {

class DataBufferIn;
class File;

// Copyable; a copy shares no host object. Without a picture every operation that needs one gives a
// neutral value (false, 0, an empty rectangle, empty data). Bytes that do not decode leave the image
// without a picture but keep the bytes.
class Image {
public:
    static constexpr std::int16_t kNoResource = -1;        // 65535 read unsigned: a picture, not a resource
    static constexpr std::int16_t kFirstAddonImage = 22;   // ids below are the host's own images

    Image();                                      // empty
    explicit Image(std::int16_t resourceId);      // an image resource
    explicit Image(const MemoryBlock& encoded);   // encoded bytes, copied
    Image(MemoryBlock& encoded, bool takeOver);   // taken over when takeOver, else copied
    explicit Image(host::Handle encoded);         // copied
    explicit Image(DataBufferIn& stream);         // encoded bytes, read to the stream's end
    explicit Image(host::PixMap* pixMap);         // taken over
    explicit Image(const host::DGImage& image);   // a host image or icon: its resource id
    Image(const Image& other);
    Image& operator=(const Image& other);

    // Virtual operations, in this order.
    virtual ~Image();
    virtual std::unique_ptr<Image> clone() const;
    virtual host::DGImage toDGImage() const;   // the resource, else the picture; empty when neither
    virtual host::DGImage toDGIcon() const;

    std::int16_t getResourceId() const { return resourceId_; }
    bool isHostResource() const;   // a resource id from 0 to 21
    bool isEmpty() const;
    const MemoryBlock& getEncodedData() const;                          // encoded in the picture's type
    const MemoryBlock& getEncodedDataAs(std::int32_t fileType) const;   // the cache, whatever its type
    host::PixMap* getPixMap() const;                                    // owned by the image
    bool writeToFile(const File& file) const;
    bool writeToFileAs(const File& file, const String& mime, std::int32_t colorDepth) const;
    double getHorizontalDPI() const;
    double getVerticalDPI() const;
    void setHorizontalDPI(double dpi, bool both);
    void setVerticalDPI(double dpi, bool both);
    ScreenRect getRect() const;             // (0, 0) to (width, height)
    void setPixMap(host::PixMap* pixMap);   // takes it over; the picture is made from it
    void clear();
    // Scales the picture into the rectangle's size (keeping its proportions when asked); false without a
    // picture, for an empty picture or target, or when the host cannot stretch it.
    bool scaleTo(const ScreenRect& rect, bool keepAspect);

private:
    void setEncoded(MemoryBlock&& bytes);
    void releasePixMap() const;
    host::DGImage fromResource() const;

    std::int16_t resourceId_ = kNoResource;
    std::unique_ptr<host::GXImage> picture_;
    mutable MemoryBlock encoded_;
    mutable host::PixMap* pixMap_ = nullptr;   // owned; GXDeleteGSPixMap
};

}   // namespace tarnwick
