#include "Styles/Preset.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include <HostDialogs.h>
#include <HostSystem.h>

#include "Environment/Addon.h"
#include "Foundation/DataBufferIn.h"
#include "Foundation/DataBufferOut.h"
#include "Foundation/RealSetting.h"
#include "Foundation/TracedException.h"
#include "Foundation/XMLReader.h"
#include "Foundation/XMLWriter.h"
#include "LibraryParts/IntegerParameter.h"
#include "LibraryParts/ParameterList.h"
#include "LibraryParts/RealParameter.h"
#include "LibraryParts/StringParameter.h"
#include "Project/Library.h"
#include "Styles/PresetList.h"
#include "Styles/TarnwickLibrary.h"
#include "Support/DrawingFixture.h"
#include "TestPresets.h"

using tarnwick::Guid;
using tarnwick::IntegerParameter;
using tarnwick::ParameterList;
using tarnwick::Preset;
using tarnwick::PresetDatabase;
using tarnwick::PresetParameter;
using tarnwick::PresetSetting;
using tarnwick::RealParameter;
using tarnwick::String;
using tarnwick::StringParameter;

namespace {

class TestAddon : public tarnwick::Addon {
public:
    TestAddon() : Addon(32701) {}
};

template <typename Kind>
Kind& addParameter(ParameterList& list, const char* name, std::uint64_t rows = 3) {
    auto parameter = std::make_unique<Kind>(String(name), String(), 0, 1, 0, /*array=*/true);
    parameter->setRowCount(rows);
    Kind& kept = *parameter;
    list.push_back(std::move(parameter));
    return kept;
}

std::string text(ParameterList& list, const char* name, std::uint64_t row) {
    return std::string(list.find(name)->getText(row, 0).getView());
}
int number(ParameterList& list, const char* name, std::uint64_t row) {
    return static_cast<IntegerParameter*>(list.find(name))->get(row, 0);
}
double real(ParameterList& list, const char* name, std::uint64_t row) {
    return static_cast<RealParameter*>(list.find(name))->get(row, 0);
}
void setText(ParameterList& list, const char* name, std::uint64_t row, const String& value) {
    static_cast<StringParameter*>(list.find(name))->set(value, row, 0);
}
void setNumber(ParameterList& list, const char* name, std::uint64_t row, int value) {
    static_cast<IntegerParameter*>(list.find(name))->set(static_cast<std::int16_t>(value), row, 0);
}
void setReal(ParameterList& list, const char* name, std::uint64_t row, double value) {
    static_cast<RealParameter*>(list.find(name))->set(value, row, 0);
}

PresetSetting setting(const char* field, const char* parameter, const char* flags = "") {
    PresetSetting made{String(field), PresetParameter(String(parameter))};
    made.flags.name = flags;
    return made;
}

// The wall template over the parameters "wall*", and the frame template over "frame*".
std::unique_ptr<Preset> wallPreset() {
    auto preset = std::make_unique<Preset>("wallStyle", "wallMenu");
    preset->nameParameter.name = "wallName";
    preset->echoParameter.name = "wallEcho";
    preset->keyParameter.name = "wallKey";
    preset->statusParameter.name = "wallStatus";
    preset->settingList.add(setting("thickness", "wallThickness"));
    preset->settingList.add(setting("pen", "wallPen", "wallPenFlag"));
    preset->settingList.add(setting("frame", "frameKey"));
    preset->indexRange.count = 3;
    return preset;
}

std::unique_ptr<Preset> framePreset() {
    auto preset = std::make_unique<Preset>("frameStyle", "frameMenu");
    preset->nameParameter.name = "frameName";
    preset->echoParameter.name = "frameEcho";
    preset->keyParameter.name = "frameKey";
    preset->statusParameter.name = "frameStatus";
    preset->settingList.add(setting("depth", "frameDepth"));
    preset->settingList.add(setting("back", "wallKey"));
    preset->indexRange.count = 3;
    return preset;
}

void addStyleParameters(ParameterList& list) {
    for (const char* name : {"wallName", "wallEcho", "wallKey", "frameName", "frameEcho", "frameKey"})
        addParameter<StringParameter>(list, name);
    for (const char* name : {"wallStatus", "wallPen", "wallPenFlag", "frameStatus"})
        addParameter<IntegerParameter>(list, name);
    addParameter<RealParameter>(list, "wallThickness");
    addParameter<RealParameter>(list, "frameDepth");
    addParameter<StringParameter>(list, "wallMenu", 1);
}

std::string menu(ParameterList& list) {
    std::string names;
    const auto* parameter = list.find("wallMenu");
    for (std::uint64_t row = 0; row < parameter->getRowCount(); ++row)
        names += std::string(parameter->getText(row, 0).getView()) + ";";
    return names;
}

template <typename Record>
std::string xmlOf(Record& record) {
    String out;
    tarnwick::DataBufferOut buffer;
    buffer.open(out);
    tarnwick::XMLWriter writer(buffer);
    EXPECT_TRUE(writer.write(record, /*declaration=*/false, /*lineBreaks=*/false, /*indentation=*/false));
    buffer.close();
    return std::string(out.getView());
}

template <typename Record>
bool readXml(Record& record, const std::string& xml) {
    tarnwick::DataBufferIn in{std::string_view(xml)};
    tarnwick::XMLReader reader(in);
    return reader.read(record);
}

}   // namespace

class PresetTest : public DrawingFixture {
protected:
    void SetUp() override {
        DrawingFixture::SetUp();
        PresetDatabase::registerType(std::make_unique<FieldStyle>("wallStyle"), "Wall", "WL",
                                     PresetDatabase::kUniqueInType);
        PresetDatabase::registerType(std::make_unique<FieldStyle>("frameStyle"), "Frame", "FR",
                                     PresetDatabase::kUniqueInType);
        addStyleParameters(parameters);
    }
    void TearDown() override {
        tarnwick::Addon::destroyInstance();
        PresetDatabase::clearTypes();
        tarnwick::Library::unregisterCreators();
        DrawingFixture::TearDown();
    }

    Guid addStyle(const char* name, double thickness, const char* type = "wallStyle",
                  const Guid& wantedKey = Guid()) {
        auto style = std::make_shared<FieldStyle>(type);
        style->name = name;
        if (std::string_view(type) == "wallStyle")
            style->field<tarnwick::PresetFieldType<tarnwick::RealSetting, double>>("thickness")
                .setValue(thickness);
        const Guid key = wantedKey.isValid() ? wantedKey : Guid::generate();
        database.put({key, style});
        return key;
    }
    FieldStyle& style(const Guid& key) { return static_cast<FieldStyle&>(*database.findRecord(key)); }

    PresetDatabase database;
    ParameterList parameters;
};

TEST_F(PresetTest, RowsAreStoredAppliedAndUnlinkedByTheirStatus) {
    const Guid stone = addStyle("Stone", 0.2, "wallStyle", Guid("FFFFFFFF-0000-4000-8000-000000000001"));
    const std::unique_ptr<Preset> preset = wallPreset();
    // Row 0 asks to store its values as "Brick"; row 1 is linked to Stone; row 2 asks to unlink Stone.
    setNumber(parameters, "wallStatus", 0, Preset::kStoreRequest);
    setText(parameters, "wallName", 0, "Brick");
    setReal(parameters, "wallThickness", 0, 0.3);
    setNumber(parameters, "wallPen", 0, 5);
    setText(parameters, "wallKey", 1, stone.toString());
    setText(parameters, "wallName", 2, "Stone");
    setText(parameters, "wallEcho", 2, "Stone");
    setText(parameters, "wallKey", 2, stone.toString());
    setNumber(parameters, "wallStatus", 2, Preset::kUnlinkRequest);

    EXPECT_TRUE(preset->apply(parameters, database));
    const Guid brick = database.findStyleByName("Brick", Guid(), "wallStyle");
    ASSERT_TRUE(brick.isValid());
    EXPECT_DOUBLE_EQ(style(brick).real("thickness"), 0.3);
    using PenField = tarnwick::PresetFieldType<tarnwick::Int32Setting, std::int32_t>;
    EXPECT_EQ(style(brick).field<PenField>("pen").getValue(), 5);
    EXPECT_EQ(number(parameters, "wallStatus", 0), Preset::kLinked);
    EXPECT_EQ(text(parameters, "wallEcho", 0), "Brick");
    EXPECT_EQ(Guid(String(text(parameters, "wallKey", 0).c_str())), brick);

    EXPECT_DOUBLE_EQ(real(parameters, "wallThickness", 1), 0.2);
    EXPECT_EQ(text(parameters, "wallName", 1), "Stone");
    EXPECT_EQ(text(parameters, "wallEcho", 1), "Stone");

    EXPECT_EQ(number(parameters, "wallStatus", 2), Preset::kUnlinked);
    EXPECT_EQ(
        text(parameters, "wallName", 2) + text(parameters, "wallEcho", 2) + text(parameters, "wallKey", 2),
        "");
    EXPECT_EQ(database.getCurrentKey(), stone);
    EXPECT_EQ(menu(parameters), "Brick;Stone;");

    preset->apply(parameters, database);                 // the stored row now shows its style's link
    EXPECT_FALSE(preset->apply(parameters, database));   // and everything is in line

    // An unlinked row links again by a typed name of a style of the type; an unknown name does nothing.
    // A frame style of the same name, first in key order, does not hide the wall style.
    const Guid frameStone = addStyle("Stone", 0, "frameStyle", Guid("00000000-0000-4000-8000-000000000001"));
    ASSERT_TRUE(frameStone < stone);
    setText(parameters, "wallName", 2, "Nope");
    EXPECT_FALSE(preset->apply(parameters, database));
    setText(parameters, "wallName", 2, "Stone");
    EXPECT_TRUE(preset->apply(parameters, database));
    EXPECT_EQ(number(parameters, "wallStatus", 2), Preset::kLinked);
    EXPECT_EQ(Guid(String(text(parameters, "wallKey", 2).c_str())), stone);
    EXPECT_DOUBLE_EQ(real(parameters, "wallThickness", 2), 0.2);

    // Nor when a name is chosen on a linked row.
    setText(parameters, "wallName", 1, "Brick");
    EXPECT_TRUE(preset->apply(parameters, database));
    setText(parameters, "wallName", 1, "Stone");
    EXPECT_TRUE(preset->apply(parameters, database));
    EXPECT_EQ(Guid(String(text(parameters, "wallKey", 1).c_str())), stone);
}

TEST_F(PresetTest, RowsWithoutStylesMissingParametersAndEmptyRangesAreLeftAlone) {
    std::unique_ptr<Preset> preset = wallPreset();
    setNumber(parameters, "wallStatus", 1, Preset::kNoStyles);
    EXPECT_TRUE(preset->apply(parameters, database));   // no wall style: linked rows become 1
    EXPECT_EQ(number(parameters, "wallStatus", 0), Preset::kNoStyles);
    addStyle("Stone", 0.2);
    EXPECT_TRUE(preset->apply(parameters, database));   // only the menu
    EXPECT_EQ(number(parameters, "wallStatus", 0), Preset::kNoStyles);
    EXPECT_EQ(menu(parameters), "Stone;");

    addStyle("Ash", 0.1);
    preset->indexRange.count = 0;   // no rows, but the menu is filled
    setNumber(parameters, "wallStatus", 0, Preset::kLinked);
    EXPECT_TRUE(preset->apply(parameters, database));
    EXPECT_EQ(menu(parameters), "Ash;Stone;");
    EXPECT_EQ(number(parameters, "wallStatus", 0), Preset::kLinked);

    preset->statusParameter.name = "missing";
    addStyle("Beech", 0.1);
    EXPECT_FALSE(preset->apply(parameters, database));
    EXPECT_EQ(menu(parameters), "Ash;Stone;");

    // A store request for a type nobody registered makes no style (of any type) and stays a request.
    preset = wallPreset();
    preset->type = "roofStyle";
    setNumber(parameters, "wallStatus", 0, Preset::kStoreRequest);
    setText(parameters, "wallName", 0, "Slate");
    const std::size_t before = database.size();
    preset->apply(parameters, database);
    EXPECT_EQ(database.size(), before);
    EXPECT_EQ(number(parameters, "wallStatus", 0), Preset::kStoreRequest);
}

TEST_F(PresetTest, AStoredStyleIsNamedUniqueAmongTheStylesOfEveryType) {
    const std::unique_ptr<Preset> preset = wallPreset();
    addStyle("Wall", 0.1);
    const Guid beam = addStyle("Beam", 0, "frameStyle");
    const Guid old = addStyle("Old", 0.1);
    database.markRecord(old, true);
    const Guid live = addStyle("Live", 0.1);
    const auto store = [&](std::uint64_t row, const char* name, const Guid& key) {
        setNumber(parameters, "wallStatus", row, Preset::kStoreRequest);
        setText(parameters, "wallName", row, name);
        setText(parameters, "wallKey", row, key.isValid() ? key.toString() : String());
        preset->apply(parameters, database);
        return text(parameters, "wallName", row);
    };
    EXPECT_EQ(store(0, "Wall", Guid()), "Wall2");   // made as Wall1, then named past every Wall
    const Guid renamed = database.findStyleByName("Wall2", Guid(), "wallStyle");
    EXPECT_EQ(store(0, "Old", renamed), "Old");   // a deleted holder gives its name up
    EXPECT_EQ(std::string(style(old).getName().getView()), "Old1");
    EXPECT_EQ(store(0, "Live", renamed), "Live1");   // a live holder keeps it
    EXPECT_EQ(std::string(style(live).getName().getView()), "Live");
    EXPECT_EQ(store(0, "Beam", renamed), "Beam1");   // a style of another type holds it too
    EXPECT_EQ(std::string(style(beam).getName().getView()), "Beam");
}

TEST_F(PresetTest, ALiveHolderOfANameKeepsItWhateverTheKeyOrderOfADeletedOne) {
    const std::unique_ptr<Preset> preset = wallPreset();
    for (const bool deletedFirst : {true, false}) {
        database.clear();
        const Guid low("00000000-0000-4000-8000-000000000001");
        const Guid high("00000000-0000-4000-8000-000000000002");
        // Stored data can hold one name twice; the database itself never gives it out twice.
        for (const Guid& key : {low, high}) {
            database.put({key, std::make_shared<FieldStyle>("wallStyle")});
            style(key).name = "Twin";
            style(key).setDeleted(key == (deletedFirst ? low : high));
        }
        const Guid ours = addStyle("Mine", 0.1);
        setNumber(parameters, "wallStatus", 0, Preset::kStoreRequest);
        setText(parameters, "wallName", 0, "Twin");
        setText(parameters, "wallKey", 0, ours.toString());
        preset->apply(parameters, database);
        SCOPED_TRACE(deletedFirst ? "deleted holder first" : "live holder first");
        EXPECT_EQ(std::string(style(ours).getName().getView()), "Twin1");
        EXPECT_EQ(std::string(style(deletedFirst ? high : low).getName().getView()), "Twin");
    }
}

TEST_F(PresetTest, LinkedStylesAreFollowedOnceEvenWhenTheyLinkInACircle) {
    tarnwick::Addon::setInstance(std::make_unique<TestAddon>());
    tarnwick::PresetList& presets = tarnwick::Addon::getInstance()->getTarnwickLibrary().getPresets();
    presets.add(wallPreset());
    presets.add(framePreset());

    const Guid wall = addStyle("Brick", 0.3);
    const Guid frame = addStyle("Oak frame", 0, "frameStyle");
    style(wall).field<tarnwick::PresetLinkField>("frame").setValue(frame);
    style(frame).field<tarnwick::PresetLinkField>("back").setValue(wall);   // and back again
    style(frame).field<tarnwick::PresetFieldType<tarnwick::RealSetting, double>>("depth").setValue(0.07);
    setText(parameters, "wallKey", 0, wall.toString());

    EXPECT_TRUE(presets.at(0).apply(parameters, database));
    EXPECT_EQ(text(parameters, "frameName", 0), "Oak frame");
    EXPECT_DOUBLE_EQ(real(parameters, "frameDepth", 0), 0.07);
    EXPECT_EQ(Guid(String(text(parameters, "frameKey", 0).c_str())), frame);

    // The legacy importer's lookups follow the same links, and end too.
    FieldStyle& brick = style(wall);
    EXPECT_TRUE(presets.at(0).ownsParameter("frameDepth", brick, database));
    EXPECT_FALSE(presets.at(0).ownsParameter("unknown", brick, database));
    EXPECT_EQ(presets.findOwner(brick, "wallThickness", database), &presets.at(0));
    EXPECT_TRUE(
        presets.at(0).importLegacyValue(brick, "frameDepth", tarnwick::RealSetting(0.09), 0, database));
    EXPECT_DOUBLE_EQ(style(frame).real("depth"), 0.09);

    // A row stored from the element: a link to a stored style stays as it is.
    setNumber(parameters, "wallStatus", 0, Preset::kStoreRequest);
    setReal(parameters, "wallThickness", 0, 0.5);
    EXPECT_TRUE(presets.at(0).apply(parameters, database));
    EXPECT_DOUBLE_EQ(style(wall).real("thickness"), 0.5);
    EXPECT_EQ(style(wall).field<tarnwick::PresetLinkField>("frame").getValue(), frame);
}

TEST_F(PresetTest, AFlagsCellMirrorsTheFieldsFlagAndStopsTheValue) {
    auto brick = std::make_shared<FieldStyle>("wallStyle");
    auto& pen = brick->field<tarnwick::PresetFieldType<tarnwick::Int32Setting, std::int32_t>>("pen");
    pen.setValue(7);
    const PresetSetting withFlags = setting("pen", "wallPen", "wallPenFlag");
    const PresetSetting withoutFlags = setting("pen", "wallPen");

    setNumber(parameters, "wallPenFlag", 1, 1);
    EXPECT_TRUE(withoutFlags.apply(parameters, 1, *brick));   // no flags cell: the value always goes
    EXPECT_EQ(number(parameters, "wallPen", 1), 7);
    EXPECT_EQ(number(parameters, "wallPenFlag", 1), 1);

    pen.setFlag(true);
    setNumber(parameters, "wallPen", 0, 3);
    EXPECT_TRUE(withFlags.apply(parameters, 0, *brick));
    EXPECT_EQ(number(parameters, "wallPenFlag", 0), 1);
    EXPECT_EQ(number(parameters, "wallPen", 0), 3);   // flagged: the value stays
    EXPECT_FALSE(withFlags.apply(parameters, 0, *brick));

    pen.setFlag(false);
    setNumber(parameters, "wallPenFlag", 2, 3);   // bit 0 set
    setNumber(parameters, "wallPen", 2, 9);
    withFlags.store(parameters, 2, *brick);
    EXPECT_TRUE(pen.getFlag());
    EXPECT_EQ(pen.getValue(), 7);   // not read while flagged
    setNumber(parameters, "wallPenFlag", 2, 2);
    withFlags.store(parameters, 2, *brick);
    EXPECT_FALSE(pen.getFlag());
    EXPECT_EQ(pen.getValue(), 9);

    EXPECT_THROW(withFlags.getLegacyParameter(0), tarnwick::TracedException);
}

TEST_F(PresetTest, TemplatesReadAndWriteTheirXmlAndRefuseNumbersThatDoNotParse) {
    PresetSetting read;
    ASSERT_TRUE(readXml(read,
                        "<presetSetting field=\"pen\"><parameter name=\"penNo\"><row>2</row>"
                        "<column>0</column></parameter><legacy name=\"oldPen\"/></presetSetting>"));
    EXPECT_EQ(std::string(read.field.getView()), "pen");
    EXPECT_EQ(read.parameter.row, 2u);
    ASSERT_EQ(read.legacyCount(), 1u);
    EXPECT_EQ(std::string(read.getLegacyParameter(0).name.getView()), "oldPen");
    EXPECT_EQ(read.getLegacyParameter(0).row + read.getLegacyParameter(0).column, 0u);
    EXPECT_EQ(xmlOf(read),
              "<presetSetting field=\"pen\"><parameter name=\"penNo\"><row>2</row><column>0</column>"
              "</parameter><legacy name=\"oldPen\"><row>0</row><column>0</column></legacy>"
              "</presetSetting>");

    Preset preset("wallStyle", "wallMenu");
    preset.nameParameter.name = "n";
    preset.echoParameter.name = "e";
    preset.keyParameter.name = "k";
    preset.statusParameter.name = "s";
    const std::string written = xmlOf(preset);
    EXPECT_TRUE(
        written.starts_with("<preset type=\"wallStyle\" menuName=\"wallMenu\"><nameParameter name=\"n\">"))
        << written;
    EXPECT_EQ(written.find("<filter"), std::string::npos);
    EXPECT_NE(written.find("<indexRange row=\"0\" count=\"1\"/>"), std::string::npos) << written;

    std::string withMore = written;
    withMore.insert(withMore.rfind("</preset>"),
                    "<filter type=\"a\"/><filter type=\"doorStyle\" keyFilterField=\"doors\"><keyParameter "
                    "name=\"door\"/></filter><subtype>3</subtype><subtype>7</subtype>");
    Preset again;
    ASSERT_TRUE(readXml(again, withMore));
    ASSERT_NE(again.filter, nullptr);
    EXPECT_EQ(std::string(again.filter->keyFilterField.getView()), "doors");
    EXPECT_EQ(again.subtypes, (std::vector<std::uint32_t>{3, 7}));
    EXPECT_TRUE(again.acceptsSubtype(7));
    EXPECT_FALSE(again.acceptsSubtype(5));
    EXPECT_TRUE(preset.acceptsSubtype(5));
    const std::string rewritten = xmlOf(again);
    EXPECT_NE(rewritten.find("<filter type=\"doorStyle\" keyFilterField=\"doors\">"), std::string::npos);

    for (const char* bad : {"abc", "-1", "", "2x", "99999999999999999999999"}) {
        SCOPED_TRACE(bad);
        PresetParameter parameter;
        EXPECT_FALSE(readXml(parameter, "<presetParameter name=\"p\"><row>" + std::string(bad) +
                                            "</row>"
                                            "</presetParameter>"));
        tarnwick::IndexRange range;
        EXPECT_FALSE(readXml(range, "<indexRange row=\"0\" count=\"" + std::string(bad) + "\"/>"));
    }
    Preset badSubtype;
    EXPECT_FALSE(
        readXml(badSubtype, "<preset type=\"t\" menuName=\"m\"><subtype>4294967296</subtype></preset>"));
}

TEST_F(PresetTest, AKeyFilterAdmitsTheStylesTheKeyStyleLinks) {
    const Guid first = addStyle("First", 0, "frameStyle");
    const Guid second = addStyle("Second", 0, "frameStyle");
    addStyle("Third", 0, "frameStyle");
    const Guid key = addStyle("Key", 0);
    style(key).field<tarnwick::PresetLinkField>("frame").setValues({first, second});
    tarnwick::PresetFilter filter("wallStyle");
    filter.keyFilterField = "frame";
    filter.keyParameter.name = "wallKey";

    setText(parameters, "wallKey", 0, key.toString());
    EXPECT_EQ(filter.makeFilter(parameters), nullptr);   // the project holds no style database
    project().addPackage(database, false);
    setText(parameters, "wallKey", 0, "");
    EXPECT_EQ(filter.makeFilter(parameters), nullptr);     // an empty key cell
    setText(parameters, "wallKey", 0, first.toString());   // a style of another type
    EXPECT_EQ(filter.makeFilter(parameters), nullptr);
    setText(parameters, "wallKey", 0, key.toString());
    const auto admitted = filter.makeFilter(parameters);
    ASSERT_NE(admitted, nullptr);
    std::vector<std::string> names;
    for (const auto& [guid, record] : database)
        if (admitted->passes(guid, *record)) names.emplace_back(record->getName().getView());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"First", "Second"}));
}

TEST_F(PresetTest, StarterDataComesFromTheLibraryPartOfTheHostsLanguage) {
    tarnwick::Addon::setInstance(std::make_unique<TestAddon>());
    tarnwick::Addon& addon = *tarnwick::Addon::getInstance();
    tarnwick::Library::registerCreators();
    const std::string name = std::string(addon.getName().getView());
    const auto addPart = [&](const std::string& language, const std::string& content) {
        const auto path = folder_ / (language + ".xml");
        std::ofstream(path) << content;
        host::SimLibraryPart part;
        part.name = name + " Starter Presets-" + language;
        part.fileName = part.name + ".gsm";
        part.location = path.string();
        part.uniqueId = "{" + std::string(Guid::generate().toString().getView()) + "}";
        host_->project().state.libraryParts.push_back(part);
    };
    const std::string key = "{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}";
    addPart("INT",
            "<tarnwickPresets><tarnwickLibrary><presetList><preset type=\"wallStyle\" menuName=\"m\">"
            "<nameParameter name=\"n\"/><echoParameter name=\"e\"/><keyParameter name=\"k\"/>"
            "<statusParameter name=\"s\"/></preset></presetList></tarnwickLibrary>"
            "<presetDatabase><records><wallStyle key=\"" +
                key + "\" name=\"Starter\"/></records></presetDatabase></tarnwickPresets>");
    addPart("GER", "<tarnwickPresets>\n<tarnwickLibrary><presetList><preset type=\"x\"/>");

    project().addPackage(PresetDatabase(), false);
    String error;
    EXPECT_TRUE(addon.getTarnwickLibrary().readStarterData(addon.getName(), error)) << error;
    EXPECT_EQ(addon.getTarnwickLibrary().getPresets().size(), 1u);
    auto* styles = dynamic_cast<PresetDatabase*>(project().getPackage(PresetDatabase::kCode));
    ASSERT_NE(styles, nullptr);   // filed by the first registration
    ASSERT_EQ(styles->size(), 1u);
    EXPECT_EQ(std::string(styles->begin()->second->getName().getView()), "Starter");

    host::setLanguageCode("GER");   // a broken file of the language is refused whole
    EXPECT_FALSE(addon.readStarterStyles());
    host::setLanguageCode("INT");
    EXPECT_EQ(addon.getTarnwickLibrary().getPresets().size(), 1u);
    const auto alerts = host::recordedAlerts();
    ASSERT_FALSE(alerts.empty());
    EXPECT_NE(alerts.back().largeText.find("(line 2, column"), std::string::npos) << alerts.back().largeText;
    host::clearRecordedAlerts();
}
