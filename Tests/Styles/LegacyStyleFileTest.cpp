#include "Styles/LegacyStyleFile.h"

#include <gtest/gtest.h>

#include <HostDialogs.h>

#include <algorithm>
#include <bit>
#include <cstring>
#include <string>
#include <tuple>
#include <vector>

#include "Environment/Addon.h"
#include "Foundation/DataBufferIn.h"
#include "LegacyWriter.h"
#include "Styles/PresetList.h"
#include "Styles/TarnwickLibrary.h"
#include "Support/DrawingFixture.h"
#include "TestPresets.h"
#include "TestStyles.h"

using tarnwick::DataBufferIn;
using tarnwick::Guid;
using tarnwick::String;

namespace {

constexpr const char* kKeyA = "{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}";
constexpr const char* kKeyB = "{00000000-0000-0000-0000-0000000000B2}";

// A version 3 file: one "wallStyle" group with a nested group holding style A (a legacy pen and a 2 x 3
// array), and style B with a real and a string.
std::string sampleFile(bool bigEndian) {
    LegacyWriter w(bigEndian);
    w.header("Styles:3", 1);
    w.str("wallStyle").str("second").i32(1);                     // group, one child group
    w.str("inner").str("x").i32(0).i32(1);                       // child: no groups, one style
    w.str("Brick").str(kKeyA).i32(1000).i32(7).str("dropped");   // name, key, time, number, text
    w.i32(1).str("tarnLinePen").i32(0).i32(2);                   // one scalar
    w.i32(1).str("tarnLinePen").i32(0).i32(2).i32(3);            // one 2 x 3 array
    for (int i = 0; i < 6; ++i) w.i32(10 + i);
    w.i32(1);   // the group's own style
    w.str("Glass").str(kKeyB).i32(1000).i32(7).str("dropped");
    w.i32(2).str("width").i32(1).f64(0.25).str("tarnlinepen").i32(2).str("red");
    w.i32(0);
    return w.bytes;
}

class LegacyStyleFileTest : public DrawingFixture {
protected:
    bool import(const std::string& bytes, std::size_t bufferSize = 4096) {
        DataBufferIn in(std::string_view(bytes), bufferSize);
        return database.importLegacyFile(in, error, count);
    }
    std::string setting(const char* key, const char* name) {
        const auto record = database.findRecord(Guid(String(key)));
        if (!record) return "<no record>";
        const auto found = record->settings.find(name);
        return found == record->settings.end() ? "<none>" : found->second;
    }
    TestStyleDatabase database;
    String error;
    std::size_t count = 0;
};

}   // namespace

TEST_F(LegacyStyleFileTest, ImportsAFileOfEitherByteOrder) {
    for (const bool big : {false, true}) {
        SCOPED_TRACE(big ? "Mac" : "Win");
        database.clear();
        for (const std::size_t size : {std::size_t{1}, std::size_t{7}, std::size_t{4096}}) {
            ASSERT_TRUE(import(sampleFile(big), size)) << error;
        }
        EXPECT_EQ(count, 2u);
        EXPECT_EQ(database.size(), 2u);
        EXPECT_EQ(std::string(database.findRecord(Guid(String(kKeyA)))->getName().getView()), "Brick");
        EXPECT_EQ(setting(kKeyA, "linePen[0]"), "10");   // the array's values keep their places
        EXPECT_EQ(setting(kKeyA, "linePen[5]"), "15");
        EXPECT_EQ(setting(kKeyB, "tarnlinepen[0]"), "red");   // not a legacy name: kept as it is
        EXPECT_NE(setting(kKeyB, "width[0]"), "<none>");
    }
}

TEST_F(LegacyStyleFileTest, VersionDecidesWhichFieldsAStyleHas) {
    struct Case {
        const char* version;
        bool headerFlag;
        int styleFlags;
        bool timeFields;
    };
    const Case cases[] = {
        {"x:5", true, 1, true}, {"3", false, 0, true}, {"2", false, 0, false}, {"v:6", true, 2, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.version);
        database.clear();
        LegacyWriter w(false);
        w.str("TarnwickPresetFile").str("Mtl").str(c.version);
        if (c.headerFlag) w.flag(true);
        w.i32(1).str("doorStyle");
        if (std::string_view(c.version) != "2") w.str("second");
        w.i32(0).i32(1).str("Door").str(kKeyA);
        if (c.timeFields)
            w.i32(5).i32(6).str("t");
        else
            w.str("1.1.1999");
        for (int i = 0; i < c.styleFlags; ++i) w.flag(false);
        w.i32(0).i32(0);
        ASSERT_TRUE(import(w.bytes)) << error;
        EXPECT_EQ(database.size(), 1u);
    }
}

TEST_F(LegacyStyleFileTest, ABadFileFailsSaysWhereAndKeepsTheStylesReadBeforeIt) {
    const std::string good = sampleFile(false);
    LegacyWriter deep(false);   // groups nested far past any real file
    deep.header("3", 1);
    for (int i = 0; i < 100000; ++i) deep.str("g").str("").i32(1);
    LegacyWriter hugeArray(false);
    hugeArray.header("3", 1).str("wallStyle").str("").i32(0).i32(1).str("A").str(kKeyA).i32(0).i32(0).str("");
    hugeArray.i32(0).i32(1).str("arr").i32(0).i32(-65536).i32(-65536);
    LegacyWriter badKind(false);
    badKind.header("3", 1).str("wallStyle").str("").i32(0).i32(1).str("A").str(kKeyA).i32(0).i32(0).str("");
    badKind.i32(1).str("p").i32(-1).i32(0);
    LegacyWriter badTime(false);   // the second group's style has a time before the host's epoch
    badTime.header("3", 2).str("wallStyle").str("").i32(0).i32(1).str("A").str(kKeyA).i32(0).i32(0).str("");
    badTime.i32(0).i32(0).str("doorStyle").str("").i32(0).i32(1).str("B").str(kKeyB).i32(-1);
    struct Case {
        std::string bytes;
        const char* what;
        std::size_t kept;   // styles read before the failure
    };
    const Case cases[] = {
        {good.substr(0, good.size() - 1), "truncated in the second style", 1},
        {std::string("NotAStyleFile\0", 14), "magic", 0},
        {std::string("TarnwickPresetFile\0Amiga\0", 25), "platform", 0},
        {std::string("TarnwickPresetFile\0Win\0v:\0", 26), "version ends with its colon", 0},
        {deep.bytes, "deep nesting", 0},
        {hugeArray.bytes, "negative dimensions", 0},
        {badKind.bytes, "kind -1", 0},
        {badTime.bytes, "a time the host cannot convert", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        database.clear();
        database.put({Guid::generate(), std::make_shared<TestStyle>("wallStyle")});
        EXPECT_FALSE(import(c.bytes));
        EXPECT_TRUE(error.getView().starts_with("byte ")) << error;
        EXPECT_EQ(database.size(), 1u + c.kept);
        EXPECT_EQ(count, c.kept);
    }
    EXPECT_TRUE(import(good + std::string(4, '\0')));   // bytes after the last group are not read
}

TEST_F(LegacyStyleFileTest, AFileRefusedInItsHeaderOpensNoProgressWindow) {
    const auto opened = [this] {
        return std::count_if(
            host_->progressEvents().begin(), host_->progressEvents().end(),
            [](const host::ProgressEvent& event) { return event.kind == host::ProgressEvent::open; });
    };
    LegacyWriter w(false);   // the file ends in its group count
    w.str("TarnwickPresetFile").str("Win").str("3").bytes += '\1';
    EXPECT_FALSE(import(w.bytes));
    EXPECT_EQ(opened(), 0);
    ASSERT_TRUE(import(sampleFile(false))) << error;
    EXPECT_EQ(opened(), 1);
}

TEST_F(LegacyStyleFileTest, ACancelSkipsTheGroupsNotYetReadAndKeepsThoseRead) {
    LegacyWriter w(false);
    w.header("3", 2);
    w.str("wallStyle").str("").i32(0).i32(1).str("A").str(kKeyA).i32(0).i32(0).str("").i32(0).i32(0);
    w.str("doorStyle").str("").i32(0).i32(1).str("B").str(kKeyB).i32(0).i32(0).str("").i32(0).i32(0);
    // Cancelled after the first group, and during the last one: asked once more after the loop.
    for (const auto& [step, kept] : {std::pair{1, 1u}, std::pair{2, 2u}}) {
        SCOPED_TRACE(step);
        database.clear();
        host::clearUserActions();
        std::string scriptError;
        ASSERT_TRUE(host::parseUserActions(
            R"([{"do": "cancelProgressAt", "step": )" + std::to_string(step) + "}]", "", scriptError))
            << scriptError;
        EXPECT_FALSE(import(w.bytes));
        EXPECT_EQ(database.size(), kept);
    }
    host::clearUserActions();
}

TEST_F(LegacyStyleFileTest, StylesOfUnknownTypesOrWithBadKeysAreDropped) {
    LegacyWriter w(true);
    w.header("3", 2);
    w.str("roofStyle").str("").i32(0).i32(1).str("Slate").str(kKeyA).i32(0).i32(0).str("").i32(1);
    w.str("tarnLinePen").i32(0).i32(3).i32(0);
    w.str("wallStyle").str("").i32(0).i32(2);
    w.str("").str(kKeyA).i32(0).i32(0).str("").i32(0).i32(0);            // no name: not valid
    w.str("Stone").str("no guid").i32(0).i32(0).str("").i32(0).i32(0);   // no key
    ASSERT_TRUE(import(w.bytes)) << error;
    EXPECT_EQ(database.size(), 0u);
}

namespace {
class TemplateAddon : public tarnwick::Addon {
public:
    TemplateAddon() : Addon(32701) {}
};
}   // namespace

TEST_F(LegacyStyleFileTest, OtherNamesGoThroughTheTemplateThatOwnsEachOfThem) {
    using tarnwick::PresetDatabase;
    struct Forget {   // the add-on and the registered types, however the test ends
        ~Forget() {
            tarnwick::Addon::destroyInstance();
            PresetDatabase::clearTypes();
        }
    } forget;
    tarnwick::Addon::setInstance(std::make_unique<TemplateAddon>());
    PresetDatabase::registerType(std::make_unique<FieldStyle>("wallStyle"), "Wall", "WL", 1);
    // Two templates of the type: one owns the thickness (also under its older name), the other the finish.
    auto& presets = tarnwick::Addon::getInstance()->getTarnwickLibrary().getPresets();
    for (const auto& [field, parameter, legacy] :
         {std::tuple{"thickness", "wallThickness", "oldThick"}, std::tuple{"finish", "wallFinish", ""}}) {
        auto preset = std::make_unique<tarnwick::Preset>("wallStyle", "wallMenu");
        tarnwick::PresetSetting setting{String(field), tarnwick::PresetParameter(String(parameter))};
        if (*legacy) setting.addLegacyParameter(tarnwick::PresetParameter(String(legacy)));
        preset->settingList.add(setting);
        presets.add(std::move(preset));
    }
    LegacyWriter w(false);
    w.str("TarnwickPresetFile").str("Win").str("6").flag(false).i32(1);
    w.str("WL").str("").i32(0).i32(1);
    w.str("Brick").str(kKeyA).i32(1000).i32(0).str("").flag(false).flag(false);
    w.i32(3).str("oldThick").i32(1).f64(0.3).str("wallFinish").i32(2).str("oak").str("unknown").i32(0).i32(5);
    w.i32(0);

    PresetDatabase styles;
    DataBufferIn in{std::string_view(w.bytes)};
    ASSERT_TRUE(styles.importLegacyFile(in, error, count)) << error;
    const auto brick = std::dynamic_pointer_cast<FieldStyle>(styles.findRecord(Guid(String(kKeyA))));
    ASSERT_NE(brick, nullptr);
    EXPECT_DOUBLE_EQ(brick->real("thickness"), 0.3);
    using Finish = tarnwick::PresetFieldType<tarnwick::StringSetting, String>;
    EXPECT_EQ(brick->field<Finish>("finish").getValue(), String("oak"));
}
