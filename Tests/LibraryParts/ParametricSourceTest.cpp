// Parametric library parts: sections, scripts, the value lists of the parameter script, details, and a
// changed or new part written back to the simulated host with its parameters.
#include "LibraryParts/ParametricSource.h"

#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <HostImages.h>
#include <HostTable.h>

#include "Foundation/DataFile.h"
#include "Foundation/Memory.h"
#include "Interface/Image.h"
#include "LibraryParts/LengthParameter.h"
#include "LibraryParts/ObjectSource.h"
#include "LibraryParts/StringParameter.h"
#include "Project/Library.h"
#include "Support/DrawingFixture.h"

using namespace tarnwick;

namespace {

std::string valuesOf(const TextRecord* record) {
    if (record == nullptr) return "none";
    std::string out;
    for (const auto& field : *record) out += (out.empty() ? "" : "|") + std::string(field->getView());
    return out;
}

// A width by height picture of one opaque colour.
host::PixMap pictureOf(std::int32_t width, std::int32_t height, std::uint8_t red) {
    host::PixMap map;
    map.width = width;
    map.height = height;
    for (std::int32_t i = 0; i < width * height; ++i) map.pixels.insert(map.pixels.end(), {red, 20, 90, 255});
    return map;
}

}   // namespace

class ParametricSources : public DrawingFixture {
protected:
    void SetUp() override {
        DrawingFixture::SetUp();
        Library::registerCreators();
    }
    void TearDown() override {
        Library::unregisterCreators();
        DrawingFixture::TearDown();
    }
};

TEST_F(ParametricSources, ReadTheValueListsOfTheParameterScript) {
    struct Case {
        const char* what;
        const char* script;
        std::vector<std::pair<const char*, const char*>> lists;   // name, values ("none": no list)
    };
    const Case cases[] = {
        {"values over two lines, any case of the name",
         "VALUES \"mat\" \"Oak\", \"Ash\",\n   \"Elm\"\n",
         {{"mat", "Oak|Ash|Elm"}, {"MAT", "Oak|Ash|Elm"}}},
        {"lower case, apostrophes, no comma", "values 'w' 'a' 'b'", {{"w", "a"}}},
        {"unquoted values end their list",
         "VALUES \"n\" 1, 2, 3\nVALUES \"m\" \"x\"",
         {{"n", ""}, {"m", "x"}}},
        {"a comma inside a later value", "VALUES \"c\" \"a\" \"b,c\", \"d\"", {{"c", "a"}}},
        {"a quote left open", "VALUES \"q\" \"a\", \"b\n\"c\"", {{"q", "a"}}},
        {"two statements on a line",
         "VALUES \"a\" \"1\", \"2\" VALUES \"b\" \"3\"",
         {{"a", "1|2"}, {"b", "3"}}},
        {"a name given twice answers its first", "VALUES \"d\" \"x\"\nVALUES \"d\" \"y\"", {{"d", "x"}}},
        {"non-ASCII text keeps its place", "! größe\nVALUES \"größe\" \"ß\", \"SS\"", {{"größe", "ß|SS"}}},
        {"no VALUES", "A = 1", {{"A", "none"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ObjectSource part;
        part.setParameterScript(c.script);
        for (const auto& [name, values] : c.lists)
            EXPECT_EQ(valuesOf(part.getValueLists(name)), values) << name;
    }

    // A changed script is read again; a copy reads its own.
    ObjectSource part;
    part.setParameterScript("VALUES \"k\" \"1\"");
    EXPECT_EQ(valuesOf(part.getValueLists("k")), "1");
    part.setParameterScript("VALUES \"k\" \"2\"");
    EXPECT_EQ(valuesOf(part.getValueLists("k")), "2");
    ObjectSource copy(part);
    EXPECT_EQ(valuesOf(copy.getValueLists("k")), "2");
}

TEST_F(ParametricSources, KeepTheirSectionsAndDetailsInMemory) {
    ObjectSource part;   // a new part: nothing is asked of the host
    host_->clearCalls();
    EXPECT_EQ(part.getComment(), "");
    part.setComment("abc");
    const host::Handle comment = part.getSectionByType(fourcc("CTXT"));
    ASSERT_EQ(getHandleSize(comment), 4u);
    EXPECT_EQ(std::string(*comment, 4), std::string("abc\0", 4));
    EXPECT_EQ(part.getComment(), "abc");
    part.set3DScript("BLOCK 1, 1, 1");
    part.setMasterScript("a = 1");
    part.setParameterScript("VALUES \"x\" \"1\"");
    std::vector<std::string> order;
    for (std::uint32_t i = 0, type = 0; i < part.getSectionCount(); ++i) {
        part.getSection(i, type);
        order.push_back(host::fourccText(type));
    }
    EXPECT_EQ(order, (std::vector<std::string>{"1DSC", "3DSC", "CTXT", "VLSC"}));

    part.setSection(fourcc("CTXT"), nullptr);   // removes it
    EXPECT_EQ(part.getComment(), "");
    EXPECT_TRUE(part.removeSection(fourcc("1DSC")));
    EXPECT_FALSE(part.removeSection(fourcc("1DSC")));
    const host::LibraryPartDetails& details = part.getDetails();
    EXPECT_TRUE(
        std::all_of(std::begin(details.bytes), std::end(details.bytes), [](auto b) { return b == 0; }));
    part.setSecondDetailFlag(true);
    EXPECT_FALSE(part.getDetailFlag());
    EXPECT_TRUE(part.getSecondDetailFlag());
    EXPECT_EQ(part.getExtra(), 0);
    for (const auto& call : host_->calls())
        ADD_FAILURE() << host::hostSlotName(call.slot) << " " << host::fourccText(call.code);

    host::ParameterOwnerRecord owner{};
    bool commit = false;
    part.fillParamOwner(owner, commit);
    EXPECT_TRUE(commit);
    EXPECT_EQ(owner.libraryIndex, 0);
}

TEST_F(ParametricSources, WriteChangedAndNewPartsBackWithTheirParameters) {
    // A new part made of a script and two parameters.
    ObjectSource made;
    made.setFile(DataFile(folder_ / "Made.gsm"));
    made.set3DScript("BLOCK A, B, ZZYZX");
    made.setComment("made here");
    auto width = std::make_unique<LengthParameter>("A", "Width", 0, 0, 0, false);
    width->set(0.8, 0, 0);
    made.getParameters().push_back(std::move(width));
    auto names = std::make_unique<StringParameter>("names", "", 0, 1, 0, true);
    names->set("😀", 0, 0);
    names->set("b", 1, 0);
    made.getParameters().push_back(std::move(names));
    made.setSection(fourcc("PARD"), nullptr);
    Library& library = *project().getLibrary();
    ASSERT_EQ(inCommand([&] { return library.savePart(made); }), 0u) << std::hex << library.getLastResult();
    ASSERT_NE(made.getIndex(), 0);
    const host::SimLibraryPart* stored = host_->project().findLibraryPart(made.getIndex());
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(stored->parameters.size(), 2u);
    EXPECT_DOUBLE_EQ(stored->a, 0.8);

    // Read back from the host, changed, and written again.
    const auto fetch = [&] {
        auto source = library.getSource(ComponentLink(made.getIndex(), 0, &library));
        EXPECT_NE(dynamic_cast<ParametricSource*>(source.get()), nullptr);
        return std::unique_ptr<ParametricSource>(dynamic_cast<ParametricSource*>(source.release()));
    };
    const auto owned = fetch();
    ParametricSource& part = *owned;
    EXPECT_EQ(part.get3DScript(), "BLOCK A, B, ZZYZX");
    EXPECT_DOUBLE_EQ(part.getWidth(), 0.8);
    EXPECT_EQ(part.getParameters().find("names")->getText(0, 0), "😀");
    part.setWidth(1.5);
    part.getParameters().find("names")->setText("c", 2, 0);
    part.setSection(fourcc("PARD"), nullptr);
    ASSERT_EQ(inCommand([&] { return library.savePart(part); }), 0u);
    stored = host_->project().findLibraryPart(made.getIndex());
    EXPECT_DOUBLE_EQ(stored->a, 1.5);
    auto again = fetch();
    EXPECT_EQ(again->getParameters().find("names")->getRowCount(), 3u);
    EXPECT_EQ(again->getParameters().find("names")->getText(2, 0), "c");

    // A section the host cannot read is left out and the rest load; sections are read only once, so
    // removing them all does not bring them back.
    const std::uint32_t all = again->getSectionCount();
    // An empty text section stays a section: its text is the terminator alone.
    for (host::SimSection& section : host_->project().state.libraryParts[made.getIndex() - 1].sections)
        if (section.type == fourcc("CTXT")) section.bytes.clear();
    const auto emptied = fetch();
    EXPECT_EQ(emptied->getSectionCount(), all);
    const host::Handle comment = emptied->getSectionByType(fourcc("CTXT"));
    ASSERT_EQ(getHandleSize(comment), 1u);
    EXPECT_EQ(**comment, '\0');
    EXPECT_EQ(emptied->getComment(), "");
    host_->injectFault({host::HostSlot::getLibraryPartSection, std::nullopt}, 1, host::kErrSectionUnreadable);
    auto skipped = fetch();
    ASSERT_EQ(skipped->getSectionCount(), all - 1);
    for (const std::uint32_t type : {fourcc("3DSC"), fourcc("CTXT"), fourcc("PARD")})
        skipped->removeSection(type);
    host_->clearCalls();
    EXPECT_EQ(skipped->getSectionCount(), 0u);
    EXPECT_EQ(host_->countCalls(host::HostSlot::getLibraryPartSectionList), 0u);

    // Parameters the host cannot give are not written back as none.
    host_->injectFault({host::HostSlot::getLibraryPartParameters, std::nullopt}, 0, host::kErrBadIndex);
    auto failing = fetch();
    failing->setComment("changed");
    failing->setSection(fourcc("PARD"), nullptr);
    EXPECT_NE(inCommand([&] { return library.savePart(*failing); }), 0u);
    host_->clearFaults();
    EXPECT_EQ(host_->project().findLibraryPart(made.getIndex())->parameters.size(), 2u);
}

TEST_F(ParametricSources, WithoutSizeParametersHaveNoSizesAndKeepTheStoredOnesWhenWritten) {
    ObjectSource made;
    made.setFile(DataFile(folder_ / "Sizeless.gsm"));
    auto name = std::make_unique<StringParameter>("name", "", 0, 0, 0, false);
    name->set("a", 0, 0);
    made.getParameters().push_back(std::move(name));
    made.setSection(fourcc("PARD"), nullptr);
    Library& library = *project().getLibrary();
    ASSERT_EQ(inCommand([&] { return library.savePart(made); }), 0u);
    host::SimLibraryPart* stored = host_->project().findLibraryPart(made.getIndex());
    ASSERT_NE(stored, nullptr);
    stored->a = 0.7;
    stored->b = 0.4;

    auto source = library.getSource(ComponentLink(made.getIndex(), 0, &library));
    auto* part = dynamic_cast<ParametricSource*>(source.get());
    ASSERT_NE(part, nullptr);
    EXPECT_EQ(part->getWidth(), 0.0);
    EXPECT_EQ(part->getDepth(), 0.0);
    part->setSection(fourcc("PARD"), nullptr);
    ASSERT_EQ(inCommand([&] { return library.savePart(*part); }), 0u);
    stored = host_->project().findLibraryPart(made.getIndex());
    EXPECT_EQ(stored->a, 0.7);
    EXPECT_EQ(stored->b, 0.4);
}

TEST_F(ParametricSources, BuildTheirParameterSectionFromTheParametersAndSizes) {
    ObjectSource part;
    for (const auto& [name, value] : {std::pair{"A", 0.8}, {"B", 0.6}}) {
        auto size = std::make_unique<LengthParameter>(name, "", 0, 0, 0, false);
        size->setChecked(value, 0, 0);
        part.getParameters().push_back(std::move(size));
    }
    part.setComment("c");
    part.setSection(fourcc("PARD"), allocateHandle(8));   // the parameters stand for it: no bytes kept
    std::uint32_t type = 0;
    MemoryBlock built(part.getSection(1, type));   // a new section, ours
    EXPECT_EQ(host::fourccText(type), "PARD");
    ASSERT_GE(built.getSize(), 20u);
    double sizes[2];
    std::int32_t count = 0;
    std::memcpy(sizes, built.getBytes(), sizeof sizes);
    std::memcpy(&count, built.getBytes() + sizeof sizes, sizeof count);
    EXPECT_EQ(sizes[0], 0.8);
    EXPECT_EQ(sizes[1], 0.6);
    EXPECT_EQ(count, 2);
    const MemoryBlock again(part.getSection(1, type));
    EXPECT_NE(again.getHandle(), built.getHandle());                   // each call builds afresh
    host::Handle parameters = part.getSectionByType(fourcc("PARD"));   // the records, ours as well
    EXPECT_EQ(getHandleSize(parameters), 2 * sizeof(host::ParameterRecord));
    ParameterList::releaseHandle(parameters);

    host_->injectFault({host::HostSlot::makeParameterSection, std::nullopt}, 1, host::kErrGeneral);
    EXPECT_EQ(part.getSection(1, type), nullptr);   // the entry's own handle

    // A copy owns its own sections.
    auto copy = std::make_unique<ObjectSource>(part);
    const host::Handle comment = part.getSectionByType(fourcc("CTXT"));
    EXPECT_NE(copy->getSectionByType(fourcc("CTXT")), comment);
    copy.reset();
    EXPECT_EQ(getHandleSize(comment), 2u);
}

TEST_F(ParametricSources, StorePreviewsAsJpegAndHandThemOutAsPng) {
    ObjectSource part;
    host_->clearCalls();
    EXPECT_EQ(part.getPreview(), nullptr);   // no preview, no question to the host
    EXPECT_EQ(part.getPicture(), nullptr);
    EXPECT_TRUE(host_->calls().empty());

    part.setPreview(Image(host::GXCopyGSPixMap(pictureOf(12, 8, 200))));
    const host::Handle stored = part.getSectionByType(fourcc("GIFF"));
    std::int32_t type = host::kImageTypeUnknown;
    ASSERT_EQ(
        host::GXImage::getType(reinterpret_cast<const std::uint8_t*>(*stored), getHandleSize(stored), type),
        host::kNoError);
    EXPECT_EQ(type, host::kImageTypeJPEG);

    const std::unique_ptr<Image> preview = part.getPreview();
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(preview->getRect(), ScreenRect(ScreenPoint(0, 0), ScreenPoint(12, 8)));
    const MemoryBlock& png = preview->getEncodedData();
    ASSERT_EQ(
        host::GXImage::getType(reinterpret_cast<const std::uint8_t*>(png.getBytes()), png.getSize(), type),
        host::kNoError);
    EXPECT_EQ(type, host::kImageTypePNG);
    const host::PixMap* pixels = preview->getPixMap();
    ASSERT_NE(pixels, nullptr);
    EXPECT_NEAR(pixels->pixels[0], 200, 8);   // JPEG keeps the colour, not every bit of it
    EXPECT_NEAR(pixels->pixels[2], 90, 8);
    EXPECT_EQ(part.getSectionByType(fourcc("GIFF")), stored);   // converting leaves the section alone

    // Bytes that are no picture convert to nothing; the picture section is handed out as it is.
    part.setSection(fourcc("GIFF"), ptrToHandle("\xFF\xD8\xFFnot a jpeg", 14));
    EXPECT_EQ(part.getPreview(), nullptr);
    std::vector<std::uint8_t> bytes;
    ASSERT_EQ(host::GXImage(pictureOf(3, 2, 10)).toEncodedData(host::kImageTypePNG, 32, bytes),
              host::kNoError);
    part.setSection(fourcc("PICT"), ptrToHandle(bytes.data(), bytes.size()));
    const std::unique_ptr<Image> picture = part.getPicture();
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->getRect(), ScreenRect(ScreenPoint(0, 0), ScreenPoint(3, 2)));
    EXPECT_EQ(getHandleSize(part.getSectionByType(fourcc("PICT"))), bytes.size());
}
