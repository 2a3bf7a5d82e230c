#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>
#include <unistd.h>

#include <HostImages.h>

#include "DialogFixture.h"
#include "Foundation/DataBufferIn.h"
#include "Foundation/DataFile.h"
#include "Interface/Image.h"

using namespace tarnwick;

namespace {

// A picture of the size, every pixel a colour that depends on its place, as PNG bytes.
MemoryBlock pngOf(std::int32_t width, std::int32_t height) {
    host::PixMap map;
    map.width = width;
    map.height = height;
    for (std::int32_t i = 0; i < width * height; ++i)
        map.pixels.insert(map.pixels.end(), {static_cast<std::uint8_t>(i), 40, 200, 255});
    std::vector<std::uint8_t> bytes;
    EXPECT_EQ(host::GXImage(map).toEncodedData(host::kImageTypePNG, 32, bytes), host::kNoError);
    MemoryBlock block;
    block.append(bytes.data(), bytes.size());
    return block;
}

}   // namespace

using ImageTest = DialogFixture;

TEST_F(ImageTest, ReadsItsEncodedBytesFromAStreamToItsEnd) {
    const MemoryBlock png = pngOf(30, 20);
    const std::string_view bytes(png.getBytes(), png.getSize());
    DataBufferIn stream(bytes, 7);   // refilled many times
    const Image image(stream);
    EXPECT_EQ(image.getRect(), ScreenRect(ScreenPoint(0, 0), ScreenPoint(30, 20)));
    DataBufferIn empty(std::string_view{});
    EXPECT_TRUE(Image(empty).isEmpty());
}

TEST_F(ImageTest, BytesAlreadyHeldAreHandedOutWhateverTypeIsAskedFor) {
    host::PixMap map;
    map.width = 4;
    map.height = 4;
    map.pixels.assign(4 * 4 * 4, 200);
    std::vector<std::uint8_t> jpeg;
    ASSERT_EQ(host::GXImage(map).toEncodedData(host::kImageTypeJPEG, 24, jpeg), host::kNoError);
    MemoryBlock block;
    block.append(jpeg.data(), jpeg.size());
    const Image image(block);
    const MemoryBlock& asPng = image.getEncodedDataAs(host::kImageTypePNG);
    ASSERT_EQ(asPng.getSize(), jpeg.size());
    EXPECT_TRUE(
        std::equal(jpeg.begin(), jpeg.end(), reinterpret_cast<const std::uint8_t*>(asPng.getBytes())));
}

TEST_F(ImageTest, HoldsADecodedPictureThatScalesAndCopiesApart) {
    const MemoryBlock png = pngOf(200, 100);
    Image image(png);
    ASSERT_FALSE(image.isEmpty());
    EXPECT_FALSE(image.isHostResource());   // a picture is no resource, host or other
    EXPECT_EQ(image.getRect(), ScreenRect(ScreenPoint(0, 0), ScreenPoint(200, 100)));
    const Image copy(image);
    ASSERT_TRUE(image.scaleTo(ScreenRect(ScreenPoint(0, 0), ScreenPoint(50, 50)), /*keepAspect=*/true));
    EXPECT_EQ(image.getRect(), ScreenRect(ScreenPoint(0, 0), ScreenPoint(50, 25)));
    EXPECT_EQ(copy.getRect(), ScreenRect(ScreenPoint(0, 0), ScreenPoint(200, 100)));   // untouched
    // The scaled picture encodes to PNG bytes that decode to its size again.
    const Image again(image.getEncodedData());
    EXPECT_EQ(again.getRect(), ScreenRect(ScreenPoint(0, 0), ScreenPoint(50, 25)));
    EXPECT_FALSE(Image().scaleTo(ScreenRect(ScreenPoint(0, 0), ScreenPoint(5, 5)), true));
}

TEST_F(ImageTest, ScalesIntoATargetAwayFromTheOriginAndKeepsItsResolution) {
    Image image(pngOf(200, 100));
    image.setHorizontalDPI(144.0, /*both=*/false);
    EXPECT_EQ(image.getHorizontalDPI(), 144.0);
    EXPECT_EQ(image.getVerticalDPI(), 72.0);
    image.setVerticalDPI(300.0, /*both=*/true);
    EXPECT_EQ(image.getHorizontalDPI(), 300.0);
    EXPECT_EQ(image.getVerticalDPI(), 300.0);
    // Only the target's size counts: the new picture holds just that, from its own corner.
    ASSERT_TRUE(image.scaleTo(ScreenRect(ScreenPoint(30, 40), ScreenPoint(80, 65)), /*keepAspect=*/false));
    EXPECT_EQ(image.getRect(), ScreenRect(ScreenPoint(0, 0), ScreenPoint(50, 25)));
    EXPECT_EQ(image.getHorizontalDPI(), 300.0);
    const host::PixMap* scaled = image.getPixMap();
    ASSERT_NE(scaled, nullptr);
    ASSERT_EQ(scaled->pixels.size(), 50u * 25u * 4u);
    EXPECT_EQ(scaled->pixels[0], 0);                                         // the source's first pixel
    EXPECT_EQ(scaled->pixels[(24 * 50 + 49) * 4], (196 + 96 * 200) % 256);   // near its last
    EXPECT_FALSE(image.scaleTo(ScreenRect(ScreenPoint(30, 40), ScreenPoint(30, 90)), false));   // no width
    // A pixel map handed over becomes the picture, with its resolution; none empties the image.
    Image made;
    made.setPixMap(host::GXCreateGSPixMap(3, 2, 150.0, host::kPixelTypeRGBA));
    EXPECT_EQ(made.getRect(), ScreenRect(ScreenPoint(0, 0), ScreenPoint(3, 2)));
    EXPECT_EQ(made.getVerticalDPI(), 150.0);
    EXPECT_EQ(Image(made.getEncodedData()).getRect(), made.getRect());
    made.setPixMap(nullptr);
    EXPECT_TRUE(made.isEmpty());
}

TEST_F(ImageTest, TellsResourcesFromPicturesAndShowsThemInTheHost) {
    EXPECT_TRUE(Image(5).isHostResource());
    EXPECT_EQ(Image(5).toDGImage().module, host::kHostResourceModule);
    EXPECT_FALSE(Image(22).isHostResource());
    EXPECT_GT(Image(22).toDGImage().module, 0);   // the add-on's own resource module
    EXPECT_TRUE(Image().isEmpty());
    EXPECT_TRUE(Image().toDGImage().isEmpty());
    const host::DGImage shown = Image(pngOf(4, 3)).toDGImage();
    EXPECT_EQ(Image(MemoryBlock(pngOf(4, 3))).getRect().width(), 4);
    EXPECT_FALSE(shown.png.empty());
}

TEST_F(ImageTest, WritesPngFilesAndRefusesAnUnknownType) {
    // Named for this process: another test program running at the same time removes its own.
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("tarnwick-image-test-" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    const Image image(pngOf(8, 8));
    const DataFile png(folder / "a.png");
    const DataFile other(folder / "b.xyz");
    EXPECT_TRUE(image.writeToFileAs(png, "image/png", 24));
    EXPECT_FALSE(image.writeToFileAs(other, "image/x-unknown", 24));
    EXPECT_FALSE(std::filesystem::exists(folder / "b.xyz"));
    std::ifstream in(folder / "a.png", std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    MemoryBlock block;
    block.append(bytes.data(), bytes.size());
    EXPECT_EQ(Image(block).getRect(), ScreenRect(ScreenPoint(0, 0), ScreenPoint(8, 8)));
    std::filesystem::remove_all(folder);
}
