#include <cstring>

#include <HostFiles.h>

#include "Host/SimProjectFixture.h"

namespace {

constexpr std::size_t kLocationAt = offsetof(host::SurfaceMaterialRecord, textureLocation);

using host::HostSlot;

constexpr const char* kChair = "0B1E0000-0000-4000-8000-000000000001";
constexpr const char* kDoor = "D0020000-0000-4000-8000-000000000001";
constexpr const char* kSheetNote = "5EE70000-0000-4000-8000-000000000001";
constexpr const char* kSheet = "5EE70000-0000-4000-8000-0000000000AA";

constexpr const char* kProject = R"({
  "layers": [{"index": 1, "name": "ArchiCAD Layer"},
             {"index": 2, "name": "Walls", "locked": true, "group": 3},
             {"index": 4, "name": "Furniture", "hidden": true, "flags": 16}],
  "attributes": [{"type": 1, "index": 1, "name": "Pen 1", "body": "AAAAAAAA8D8="},
                 {"type": 8, "index": 1, "name": "Everything",
                  "statuses": [{"layer": 2, "locked": true, "group": 3}, {"layer": 4}]},
                 {"type": 9, "index": 1, "name": "Kitchen",
                  "parameters": [{"name": "A", "type": 2, "value": 1.5}]}],
  "currentLayerCombination": 1,
  "databases": [{"type": 12, "guid": "5EE70000-0000-4000-8000-0000000000AA", "name": "Sheet"}],
  "elements": [
    {"guid": "0B1E0000-0000-4000-8000-000000000001", "type": 6, "layer": 4},
    {"guid": "D0020000-0000-4000-8000-000000000001", "type": 5, "layer": 2},
    {"guid": "5EE70000-0000-4000-8000-000000000001", "type": 6, "layer": 2,
     "database": "5EE70000-0000-4000-8000-0000000000AA"}
  ]
})";

class SimAttributesTest : public SimProjectFixture {
protected:
    void SetUp() override {
        SimProjectFixture::SetUp();
        open(kProject);
    }

    static host::AttributeHeader header(std::int32_t type, std::int16_t index = 0, const char* name = "") {
        host::AttributeHeader h{};
        h.type = type;
        h.index = index;
        std::strncpy(h.name, name, sizeof h.name - 1);
        return h;
    }

    host::Result get(std::int32_t type, std::int16_t index, host::AttributeDefinition& definition) {
        definition = host::AttributeDefinition{};
        definition.header = header(type, index);
        return table().getAttribute(context(), &definition);
    }

    std::int16_t count(std::int32_t type) {
        std::int16_t n = -1;
        EXPECT_EQ(table().getAttributeCount(context(), type, &n), host::kNoError);
        return n;
    }

    host::Result search(std::int32_t type, const char* name, std::int16_t& index) {
        host::AttributeHeader h = header(type, 0, name);
        const host::Result result = table().searchAttributeByName(context(), &h);
        index = h.index;
        return result;
    }

    host::Result create(std::int32_t type, const char* name, host::AttributeDefinition& definition) {
        definition = host::AttributeDefinition{};
        definition.header = header(type, 0, name);
        return table().createAttribute(context(), &definition, nullptr);
    }

    host::Result elementTool(const char (&code)[5], const std::vector<const char*>& guids) {
        std::vector<host::ElementHead> heads;
        for (const char* g : guids) heads.push_back(headOf(g));
        host::Handle handle = handleOf(heads);
        std::int32_t n = static_cast<std::int32_t>(heads.size());
        const host::Result result = table().elementTools(context(), host::fourcc(code), handle, &n, nullptr);
        host::disposeHandle(handle);
        return result;
    }

    std::int16_t lockedOf(const char* guidText) {
        host::ElementHead head{};
        const host::GuidRecord g = guid(guidText);
        EXPECT_EQ(table().getElementHead(context(), &g, &head), host::kNoError);
        return head.locked;
    }
};

TEST_F(SimAttributesTest, FindsAnAttributeByNameWithinItsTypeOnly) {
    struct Case {
        std::int32_t type;
        const char* name;
        host::Result result;
        std::int16_t index;
    } const cases[] = {
        {host::kAttributeLayer, "Furniture", host::kNoError, 4},
        {host::kAttributeLayer, "ArchiCAD Layer", host::kNoError, 1},
        {host::kAttributeLayer, "furniture", host::kErrBadName, 0},   // names compare exactly
        {host::kAttributePen, "Furniture", host::kErrBadName, 0},
        {host::kAttributeLayerCombination, "Everything", host::kNoError, 1},
        {host::kAttributeLayer, "", host::kErrBadName, 0},
        {0, "Furniture", host::kErrBadParameters, 0},
        {19, "Furniture", host::kErrBadParameters, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " " + std::to_string(c.type));
        std::int16_t index = 0;
        EXPECT_EQ(search(c.type, c.name, index), c.result);
        EXPECT_EQ(index, c.index);
    }
}

TEST_F(SimAttributesTest, RefusesANameWithoutTerminatorInsteadOfReadingPastIt) {
    host::AttributeHeader h = header(host::kAttributeLayer);
    std::memset(h.name, 'W', sizeof h.name);
    EXPECT_EQ(table().searchAttributeByName(context(), &h), host::kErrBadName);
    host::AttributeDefinition definition{};
    definition.header = h;
    EXPECT_EQ(inCommand([&] { return table().createAttribute(context(), &definition, nullptr); }),
              host::kErrBadName);
}

TEST_F(SimAttributesTest, CountsUpToTheHighestIndexAndAnswersAGapWithBadIndex) {
    EXPECT_EQ(count(host::kAttributeLayer), 4);
    EXPECT_EQ(count(host::kAttributeFill), 0);
    host::AttributeDefinition definition;
    EXPECT_EQ(get(host::kAttributeLayer, 3, definition), host::kErrBadIndex);
    EXPECT_EQ(get(host::kAttributeLayer, 5, definition), host::kErrBadIndex);
    ASSERT_EQ(get(host::kAttributeLayer, 2, definition), host::kNoError);
    EXPECT_STREQ(definition.header.name, "Walls");
    EXPECT_EQ(definition.header.flags, host::kLayerLocked);
    std::int32_t group;
    std::memcpy(&group, reinterpret_cast<const char*>(&definition) + host::kLayerGroupOffset, sizeof group);
    EXPECT_EQ(group, 3);
    ASSERT_EQ(get(host::kAttributeLayer, 4, definition), host::kNoError);
    EXPECT_EQ(definition.header.flags, host::kLayerHidden | 0x10);
    ASSERT_EQ(get(host::kAttributePen, 1, definition), host::kNoError);
    double width;
    std::memcpy(&width, definition.body, sizeof width);
    EXPECT_EQ(width, 1.0);   // the body's bytes as the file gave them
}

TEST_F(SimAttributesTest, ChangesAttributesOnlyInsideAnUndoableCommand) {
    host::AttributeDefinition definition;
    EXPECT_EQ(create(host::kAttributeLayer, "Roof", definition), host::kErrOutsideUndoScope);
    ASSERT_EQ(get(host::kAttributeLayer, 2, definition), host::kNoError);
    EXPECT_EQ(table().changeAttribute(context(), &definition, nullptr), host::kErrOutsideUndoScope);
    host::AttributeHeader walls = header(host::kAttributeLayer);
    const std::int16_t two = 2;
    EXPECT_EQ(table().deleteAttributes(context(), &walls, &two, 1), host::kErrOutsideUndoScope);
    host::UserDataRecord data{};
    walls.index = 2;
    EXPECT_EQ(table().setAttributeUserData(context(), &walls, &data), host::kErrOutsideUndoScope);
    EXPECT_EQ(count(host::kAttributeLayer), 4);
}

TEST_F(SimAttributesTest, CreatesChangesAndDeletesInACommandThatUndoTakesBack) {
    const host::ProjectState before = project().state;
    host::AttributeDefinition roof;
    ASSERT_EQ(inCommand([&] {
                  if (host::Result r = create(host::kAttributeLayer, "Roof", roof)) return r;
                  host::AttributeDefinition walls;
                  if (host::Result r = get(host::kAttributeLayer, 2, walls)) return r;
                  walls.header.flags = host::kLayerHidden;
                  std::strcpy(walls.header.name, "Outer Walls");
                  if (host::Result r = table().changeAttribute(context(), &walls, nullptr)) return r;
                  const host::AttributeHeader layers = header(host::kAttributeLayer);
                  const std::int16_t four = 4;
                  return table().deleteAttributes(context(), &layers, &four, 1);
              }),
              host::kNoError);
    EXPECT_EQ(roof.header.index, 5);   // one past the highest index
    std::int16_t index = 0;
    EXPECT_EQ(search(host::kAttributeLayer, "Outer Walls", index), host::kNoError);
    EXPECT_EQ(index, 2);
    EXPECT_EQ(search(host::kAttributeLayer, "Furniture", index), host::kErrBadName);
    EXPECT_TRUE(project().layerHidden(2));
    ASSERT_TRUE(host_->undo());
    EXPECT_EQ(project().state, before);
}

TEST_F(SimAttributesTest, RollsBackEveryAttributeChangeOfAFailedCommand) {
    const host::ProjectState before = project().state;
    EXPECT_EQ(inCommand([&] {
                  host::AttributeDefinition made;
                  create(host::kAttributePen, "Pen 2", made);
                  return host::kErrGeneral;
              }),
              host::kErrGeneral);
    EXPECT_EQ(project().state, before);
}

TEST_F(SimAttributesTest, RefusesADuplicateNameAnEmptyNameAndABadType) {
    struct Case {
        std::int32_t type;
        const char* name;
        host::Result result;
    } const cases[] = {
        {host::kAttributeLayer, "Walls", host::kErrBadName},
        {host::kAttributeLayer, "", host::kErrBadName},
        {0, "Other", host::kErrBadParameters},
        {host::kAttributePen, "Walls", host::kNoError},   // another type may use the name
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        host::AttributeDefinition definition;
        EXPECT_EQ(inCommand([&] { return create(c.type, c.name, definition); }), c.result);
    }
    host::AttributeDefinition walls;
    ASSERT_EQ(get(host::kAttributeLayer, 4, walls), host::kNoError);
    std::strcpy(walls.header.name, "Walls");   // renaming onto another layer's name
    EXPECT_EQ(inCommand([&] { return table().changeAttribute(context(), &walls, nullptr); }),
              host::kErrBadName);
}

TEST_F(SimAttributesTest, DeletesAllOrNoneAndKeepsTheHostsOwnLayer) {
    const host::AttributeHeader layers = header(host::kAttributeLayer);
    struct Case {
        std::vector<std::int16_t> indices;
        host::Result result;
    } const cases[] = {
        {{2, 3}, host::kErrBadIndex},   // 3 is not there
        {{1}, host::kErrBadIndex},
        {{4, 2, 1}, host::kErrBadIndex},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(inCommand([&] {
                      return table().deleteAttributes(context(), &layers, c.indices.data(),
                                                      static_cast<std::int32_t>(c.indices.size()));
                  }),
                  c.result);
        EXPECT_EQ(count(host::kAttributeLayer), 4);
    }
    EXPECT_EQ(inCommand([&] { return table().deleteAttributes(context(), &layers, nullptr, 1); }),
              host::kErrBadParameters);
    const host::AttributeHeader combinations = header(host::kAttributeLayerCombination);
    const std::int16_t one = 1;
    ASSERT_EQ(inCommand([&] { return table().deleteAttributes(context(), &combinations, &one, 1); }),
              host::kNoError);
    std::int16_t current = -1;
    ASSERT_EQ(environment("GCLC", &current), host::kNoError);
    EXPECT_EQ(current, 0);   // the current combination went with it
}

TEST_F(SimAttributesTest, HandsOutACombinationsLayerStatusesAndTakesNewOnes) {
    const host::AttributeHeader everything = header(host::kAttributeLayerCombination, 1);
    host::AttributeExtension extension{};
    ASSERT_EQ(table().getAttributeExtension(context(), &everything, &extension), host::kNoError);
    ASSERT_EQ(host::getHandleSize(extension.layerStatuses), 2 * sizeof(host::LayerStatusRecord));
    host::LayerStatusRecord statuses[2];
    std::memcpy(statuses, *extension.layerStatuses, sizeof statuses);
    EXPECT_EQ(statuses[0].layer, 2);
    EXPECT_EQ(statuses[0].flags, host::kLayerLocked);
    EXPECT_EQ(statuses[0].group, 3);
    EXPECT_EQ(statuses[1].layer, 4);
    EXPECT_EQ(extension.parameters, nullptr);

    // One status less, written back with the definition.
    ASSERT_EQ(host::setHandleSize(extension.layerStatuses, sizeof(host::LayerStatusRecord)), host::kNoError);
    host::AttributeDefinition definition;
    ASSERT_EQ(get(host::kAttributeLayerCombination, 1, definition), host::kNoError);
    ASSERT_EQ(inCommand([&] { return table().changeAttribute(context(), &definition, &extension); }),
              host::kNoError);
    EXPECT_EQ(table().disposeAttributeExtension(context(), &extension), host::kNoError);
    EXPECT_EQ(extension.layerStatuses, nullptr);
    ASSERT_EQ(table().getAttributeExtension(context(), &everything, &extension), host::kNoError);
    EXPECT_EQ(host::getHandleSize(extension.layerStatuses), sizeof(host::LayerStatusRecord));
    EXPECT_EQ(table().disposeAttributeExtension(context(), &extension), host::kNoError);
}

TEST_F(SimAttributesTest, RefusesStatusesThatAreNotWholeRecords) {
    host::AttributeExtension extension{};
    extension.layerStatuses = host::newHandle(7, true);
    host::AttributeDefinition definition;
    ASSERT_EQ(get(host::kAttributeLayerCombination, 1, definition), host::kNoError);
    EXPECT_EQ(inCommand([&] { return table().changeAttribute(context(), &definition, &extension); }),
              host::kErrBadParameters);
    EXPECT_EQ(table().disposeAttributeExtension(context(), &extension), host::kNoError);
}

TEST_F(SimAttributesTest, HandsOutAZoneCategorysParametersAsRecords) {
    const host::AttributeHeader kitchen = header(host::kAttributeZoneCategory, 1);
    host::AttributeExtension extension{};
    ASSERT_EQ(table().getAttributeExtension(context(), &kitchen, &extension), host::kNoError);
    ASSERT_EQ(host::getHandleSize(extension.parameters), sizeof(host::ParameterRecord));
    host::ParameterRecord record;
    std::memcpy(&record, *extension.parameters, sizeof record);
    EXPECT_STREQ(record.name, "A");
    EXPECT_EQ(record.value.real, 1.5);
    EXPECT_EQ(table().disposeAttributeExtension(context(), &extension), host::kNoError);
}

TEST_F(SimAttributesTest, KeepsUserDataOfAnAttribute) {
    const host::AttributeHeader walls = header(host::kAttributeLayer, 2);
    host::UserDataRecord data{};
    data.version = 7;
    EXPECT_EQ(table().getAttributeUserData(context(), &walls, &data), host::kErrNoUserData);
    EXPECT_EQ(data.version, 0);   // zeroed
    data.version = 3;
    data.platformSign = host::kPlatformSignWindows;
    data.data = host::newHandle(3, false);
    std::memcpy(*data.data, "abc", 3);
    ASSERT_EQ(inCommand([&] { return table().setAttributeUserData(context(), &walls, &data); }),
              host::kNoError);
    host::disposeHandle(data.data);
    host::UserDataRecord read{};
    ASSERT_EQ(table().getAttributeUserData(context(), &walls, &read), host::kNoError);
    EXPECT_EQ(read.version, 3);
    EXPECT_EQ(read.platformSign, host::kPlatformSignWindows);
    ASSERT_EQ(host::getHandleSize(read.data), 3u);
    EXPECT_EQ(std::string(*read.data, 3), "abc");
    host::disposeHandle(read.data);
    const host::AttributeHeader missing = header(host::kAttributeLayer, 3);
    EXPECT_EQ(table().getAttributeUserData(context(), &missing, &read), host::kErrBadIndex);
}

TEST_F(SimAttributesTest, LeavesElementsOfAHiddenLayerOutOfShownLayerLists) {
    EXPECT_EQ(elementList(0, host::kFilterShownLayer),
              std::vector<std::string>{kDoor});   // layer 4 is hidden
    host::AttributeDefinition furniture;
    ASSERT_EQ(get(host::kAttributeLayer, 4, furniture), host::kNoError);
    furniture.header.flags &= static_cast<std::uint16_t>(~host::kLayerHidden);
    ASSERT_EQ(inCommand([&] { return table().changeAttribute(context(), &furniture, nullptr); }),
              host::kNoError);
    EXPECT_EQ(elementList(0, host::kFilterShownLayer), (std::vector<std::string>{kChair, kDoor}));
}

TEST_F(SimAttributesTest, LocksAndUnlocksElementsOfTheCurrentDatabaseAllOrNone) {
    EXPECT_EQ(elementTool("LOCK", {kChair}), host::kErrOutsideUndoScope);
    ASSERT_EQ(inCommand([&] { return elementTool("LOCK", {kChair, kDoor}); }), host::kNoError);
    EXPECT_EQ(lockedOf(kChair), 1);
    EXPECT_EQ(lockedOf(kDoor), 1);
    // The sheet's element is not in the floor plan: nothing is unlocked.
    EXPECT_EQ(inCommand([&] { return elementTool("ULCK", {kChair, kSheetNote}); }), host::kErrBadIndex);
    EXPECT_EQ(lockedOf(kChair), 1);
    ASSERT_EQ(inCommand([&] { return elementTool("ULCK", {kChair}); }), host::kNoError);
    EXPECT_EQ(lockedOf(kChair), 0);
    EXPECT_EQ(lockedOf(kDoor), 1);
    ASSERT_EQ(makeCurrent(host::kDatabaseWorksheet, kSheet), host::kNoError);
    EXPECT_EQ(inCommand([&] { return elementTool("LOCK", {kSheetNote}); }), host::kNoError);
    EXPECT_EQ(lockedOf(kSheetNote), 1);
    std::int32_t negative = -1;
    EXPECT_EQ(inCommand([&] {
                  return table().elementTools(context(), host::fourcc("LOCK"), nullptr, &negative, nullptr);
              }),
              host::kErrBadParameters);
}

TEST_F(SimAttributesTest, RefusesToLockAnElementAnotherMemberHolds) {
    std::string json = kProject;
    const std::string door = R"("type": 5, "layer": 2})";
    json.replace(json.find(door), door.size(), R"("type": 5, "layer": 2, "owner": 2})");
    json.replace(json.rfind('}'), 1, R"(, "teamwork": {"shared": true, "member": 1}})");
    std::string error;
    ASSERT_TRUE(project().loadText(json, error)) << error;
    EXPECT_EQ(inCommand([&] { return elementTool("LOCK", {kChair, kDoor}); }), host::kErrRefusedCommand);
    EXPECT_EQ(lockedOf(kChair), 0);
}

TEST_F(SimAttributesTest, TakesAndGivesBackTheLayerSettingsLockableInASharedProject) {
    host::GuidRecord lockable{};
    EXPECT_EQ(table().findLockable(context(), u"NoSuchDialog", &lockable), host::kErrBadName);
    ASSERT_EQ(table().findLockable(context(), u"LayerSettingsDialog", &lockable), host::kNoError);
    std::int32_t status = -1;
    ASSERT_EQ(table().getLockableStatus(context(), &lockable, 0, &status), host::kNoError);
    EXPECT_EQ(status, host::kLockableNotShared);
    EXPECT_EQ(table().acquireLockable(context(), &lockable, 0), host::kErrRefusedCommand);

    project().state.teamwork.shared = true;
    project().state.teamwork.memberId = 1;
    std::uint8_t available = 0;
    ASSERT_EQ(table().isTeamworkAvailable(context(), &available), host::kNoError);
    EXPECT_EQ(available, 1);
    const auto statusNow = [&] {
        std::int32_t s = -1;
        EXPECT_EQ(table().getLockableStatus(context(), &lockable, 0, &s), host::kNoError);
        return s;
    };
    EXPECT_EQ(statusNow(), host::kLockableFree);
    EXPECT_EQ(table().releaseLockable(context(), &lockable, 1), host::kErrRefusedCommand);   // not held
    ASSERT_EQ(table().acquireLockable(context(), &lockable, 0), host::kNoError);
    EXPECT_EQ(statusNow(), host::kLockableMine);
    ASSERT_EQ(table().releaseLockable(context(), &lockable, 1), host::kNoError);
    EXPECT_EQ(statusNow(), host::kLockableFree);

    project().state.teamwork.lockables.front().holder = 2;
    EXPECT_EQ(statusNow(), host::kLockableOthers);
    EXPECT_EQ(table().acquireLockable(context(), &lockable, 0), host::kErrRefusedCommand);
    project().state.teamwork.available = false;
    ASSERT_EQ(table().isTeamworkAvailable(context(), &available), host::kNoError);
    EXPECT_EQ(available, 0);
    EXPECT_EQ(table().getLockableStatus(context(), &lockable, 1, &status), host::kErrBadParameters);
}

TEST_F(SimAttributesTest, GivesTheCurrentMemberInTheProjectRecord) {
    host::ProjectInfoRecord record{};
    ASSERT_EQ(environment("PROJ", &record), host::kNoError);
    EXPECT_EQ(record.memberId, 0);
    project().state.teamwork.shared = true;
    project().state.teamwork.memberId = 3;
    ASSERT_EQ(environment("PROJ", &record), host::kNoError);
    EXPECT_EQ(record.memberId, 3);
    host::disposeHandle(record.location);
}

TEST_F(SimAttributesTest, AnswersAnInjectedFaultOnceAndThenRunsTheCall) {
    host_->injectFault({HostSlot::getAttribute, std::nullopt}, 1, host::kErrGeneral);
    host::AttributeDefinition definition;
    EXPECT_EQ(get(host::kAttributeLayer, 2, definition), host::kErrGeneral);
    EXPECT_EQ(get(host::kAttributeLayer, 2, definition), host::kNoError);
    EXPECT_EQ(host_->countCalls(HostSlot::getAttribute), 2u);
}

TEST_F(SimAttributesTest, SavesAndLoadsAttributesUnchanged) {
    host::AttributeDefinition made;
    ASSERT_EQ(inCommand([&] { return create(host::kAttributeFill, "Brick", made); }), host::kNoError);
    const std::string saved = project().saveText();
    host::SimProject loaded;
    std::string error;
    ASSERT_TRUE(loaded.loadText(saved, error)) << error;
    EXPECT_EQ(loaded.state.attributes, project().state.attributes);
    EXPECT_EQ(loaded.state.currentLayerCombination, 1);
    EXPECT_EQ(loaded.saveText(), saved);
}

TEST_F(SimAttributesTest, RefusesAProjectFileWithClashingOrMalformedAttributes) {
    const char* const bad[] = {
        R"({"layers": [{"index": 2, "name": "A"}, {"index": 2, "name": "B"}]})",
        R"({"layers": [{"index": 2, "name": "A"}, {"index": 3, "name": "A"}]})",
        R"({"layers": [{"index": 0, "name": "A"}]})",
        R"({"layers": [{"index": 2, "name": ""}]})",
        R"({"attributes": [{"type": 2, "index": 2, "name": "A"}]})",
        R"({"attributes": [{"type": 1, "index": 2, "name": "A", "statuses": []}]})",
        R"({"currentLayerCombination": 3})",
        R"({"layers": [{"index": 2, "name": "A", "colour": 1}]})",
    };
    for (const char* json : bad) {
        SCOPED_TRACE(json);
        std::string error;
        EXPECT_FALSE(project().loadText(json, error));
        EXPECT_FALSE(error.empty());
    }
}

TEST_F(SimAttributesTest, WritesEachKindsOwnFieldsByNameAndStillReadsThemFromABody) {
    // The fixture's pen gives its red in its body (the older form); saved, it is named.
    const std::string saved = project().saveText();
    EXPECT_NE(saved.find(R"("colour")"), std::string::npos);
    EXPECT_EQ(saved.find(R"("body":"AAAAAAAA8D8=")"), std::string::npos);

    constexpr const char* kNamed = R"({"attributes": [
      {"type": 1, "index": 2, "name": "Red", "colour": [1.0, 0.0, 0.25], "width": 0.35},
      {"type": 4, "index": 1, "name": "Hatch", "kind": 1, "pattern": [255, 0, 255, 0, 1, 2, 3, 4]},
      {"type": 6, "index": 1, "name": "Oak", "ambient": 50, "surfaceColour": [0.5, 0.25, 0.0],
       "textureFlags": 4096, "textureName": "Eiche", "textureXSize": 2.0, "textureFile": "/textures/oak.png"},
      {"type": 7, "index": 1, "name": "Leeds", "latitudeMinutes": 3228, "timeZone": 60},
      {"type": 11, "index": 1, "name": "Rail", "flag1": 1},
      {"type": 17, "index": 1, "name": "Brick", "cutFill": 1, "surface": 1, "values": [1, 2, 3], "frameSurface": 1,
       "body": "AQ=="}]})";
    host::SimProject named;
    std::string error;
    ASSERT_TRUE(named.loadText(kNamed, error)) << error;
    const host::SimAttribute* oak = named.findAttribute(host::kAttributeSurface, 1);
    ASSERT_NE(oak, nullptr);
    host::SurfaceMaterialRecord record{};
    std::memcpy(reinterpret_cast<unsigned char*>(&record) + sizeof(host::AttributeHeader), oak->body.data(),
                sizeof record - sizeof(host::AttributeHeader));
    EXPECT_EQ(record.ambient, 50);
    EXPECT_DOUBLE_EQ(record.surfaceColour[1], 0.25);
    EXPECT_EQ(record.textureName[0], u'E');
    EXPECT_EQ(oak->textureFile, "/textures/oak.png");
    EXPECT_EQ(named.findAttribute(host::kAttributeBuildingMaterial, 1)->body[0], 1)
        << "the body keeps the rest";
    host::SimProject again;
    ASSERT_TRUE(again.loadText(named.saveText(), error)) << error;
    EXPECT_EQ(again.state.attributes, named.state.attributes);
    EXPECT_EQ(again.saveText(), named.saveText());

    const std::pair<const char*, const char*> bad[] = {
        {R"({"attributes": [{"type": 1, "index": 1, "name": "P", "width": "thin"}]})",
         "attributes[0]: \"width\" must be a number"},
        {R"({"attributes": [{"type": 1, "index": 1, "name": "P", "colour": [1, 0]}]})",
         "attributes[0]: \"colour\" must be a list of 3 numbers"},
        {R"({"attributes": [{"type": 7, "index": 1, "name": "C", "timeZone": 40000}]})",
         "attributes[0]: \"timeZone\" must be a whole number that fits its field"},
        {R"({"attributes": [{"type": 4, "index": 1, "name": "F", "pattern": [256, 0, 0, 0, 0, 0, 0, 0]}]})",
         "attributes[0]: \"pattern\" must be a list of 8 bytes"},
        {R"({"attributes": [{"type": 1, "index": 1, "name": "P", "textureFile": "x"}]})",
         "attributes[0]: unknown key \"textureFile\""},
    };
    for (const auto& [json, message] : bad) {
        SCOPED_TRACE(json);
        host::SimProject refused;
        EXPECT_FALSE(refused.loadText(json, error));
        EXPECT_EQ(error, message);
    }
}

TEST_F(SimAttributesTest, HandsOutATextureFileAsANewLocationAndTakesAnyLocationBlock) {
    project().state.attributes.push_back([] {
        host::SimAttribute oak;
        oak.type = host::kAttributeSurface;
        oak.index = 1;
        oak.name = "Oak";
        oak.textureFile = "/textures/oak.png";
        return oak;
    }());
    host::sortAttributes(project().state.attributes);
    host::AttributeDefinition definition;
    ASSERT_EQ(get(host::kAttributeSurface, 1, definition), host::kNoError);
    host::SurfaceMaterialRecord record;
    std::memcpy(&record, &definition, sizeof record);
    ASSERT_NE(record.textureLocation, nullptr);
    EXPECT_STREQ(static_cast<const char*>(record.textureLocation), "/textures/oak.png");
    host::AttributeDefinition again;
    ASSERT_EQ(get(host::kAttributeSurface, 1, again), host::kNoError);
    void* second = nullptr;
    std::memcpy(&second, reinterpret_cast<unsigned char*>(&again) + kLocationAt, sizeof second);
    EXPECT_NE(second, record.textureLocation) << "each definition its own";
    host::disposeLocation(second);

    // A copy made by the caller names the file; the host keeps the path, not the block.
    const auto setLocation = [&](void* location) {
        std::memcpy(reinterpret_cast<unsigned char*>(&definition) + kLocationAt, &location, sizeof location);
    };
    void* copy = host::newLocation("/textures/walnut.png");
    setLocation(copy);
    EXPECT_EQ(inCommand([&] { return table().changeAttribute(context(), &definition, nullptr); }),
              host::kNoError);
    host::disposeLocation(copy);
    host::disposeLocation(record.textureLocation);
    EXPECT_EQ(project().findAttribute(host::kAttributeSurface, 1)->textureFile, "/textures/walnut.png");
    // Anything but a location block is refused.
    char foreign[] = "/elsewhere.png";
    setLocation(foreign);
    EXPECT_EQ(inCommand([&] { return table().changeAttribute(context(), &definition, nullptr); }),
              host::kErrBadParameters);
    EXPECT_EQ(project().findAttribute(host::kAttributeSurface, 1)->textureFile, "/textures/walnut.png");
}

}   // namespace
