#include <algorithm>
#include <cstring>

#include <HostModel3D.h>

#include "Host/SimProjectFixture.h"

namespace {

using host::HostSlot;

constexpr const char* kChair = "0B1E0000-0000-4000-8000-000000000001";
constexpr const char* kTable = "0B1E0000-0000-4000-8000-000000000002";
constexpr const char* kDoor = "D0020000-0000-4000-8000-000000000001";
constexpr const char* kLamp = "1A3F0000-0000-4000-8000-000000000001";

constexpr const char* kProject = R"({
  "storeys": [{"index": 0, "name": "Ground", "level": 0, "height": 3},
              {"index": 1, "name": "Upper", "level": 3, "height": 3}],
  "elements": [
    {"guid": "0B1E0000-0000-4000-8000-000000000001", "type": 6, "variation": 0, "storey": 0, "layer": 1,
     "libraryIndex": 1, "position": [1, 2],
     "memo": {"gables": "AQIDBA==", "parameters": "", "info": "Chair"}},
    {"guid": "0B1E0000-0000-4000-8000-000000000002", "type": 6, "variation": 7, "storey": 1, "layer": 2,
     "libraryIndex": 3},
    {"guid": "D0020000-0000-4000-8000-000000000001", "type": 5, "variation": 0, "storey": 0, "layer": 1},
    {"guid": "1A3F0000-0000-4000-8000-000000000001", "type": 7, "variation": 0, "storey": 1, "layer": 3,
     "locked": 1}
  ],
  "defaults": [{"type": 6, "variation": 0, "storey": 0, "layer": 9, "libraryIndex": 4,
                "memo": {"gables": "BQY="}, "userData": {"version": 2, "platformSign": 22359, "flags": 12,
                "text": "default"}}]
})";

class SimElementsTest : public SimProjectFixture {
protected:
    void SetUp() override {
        SimProjectFixture::SetUp();
        open(kProject);
    }

    host::ElementRecord newObject(std::int16_t storey = 0) {
        host::ElementRecord record{};
        record.head.type = host::kElementObject;
        EXPECT_EQ(table().getElementDefaults(context(), &record, nullptr), host::kNoError);
        record.head.storey = storey;
        return record;
    }

    host::Result getRecord(const char* guidText, host::ElementRecord& record) {
        record = host::ElementRecord{};
        record.head.guid = guid(guidText);
        return table().getElement(context(), &record);
    }

    host::Result deleteOne(const char* guidText) {
        host::Handle heads = handleOf(std::vector<host::ElementHead>{headOf(guidText)});
        const host::Result result = table().deleteElements(context(), heads, 1);
        host::disposeHandle(heads);
        return result;
    }

    static std::int32_t readInt(const host::ElementRecord& record, std::size_t offset) {
        std::int32_t value;
        std::memcpy(&value, reinterpret_cast<const char*>(&record) + offset, sizeof value);
        return value;
    }
};

TEST_F(SimElementsTest, CreatesChangesAndDeletesElementsOnlyInsideAnUndoableCommand) {
    const host::ProjectState before = project().state;
    host::ElementRecord record = newObject();
    host::ElementRecord mask;
    std::memset(static_cast<void*>(&mask), 0xFF, sizeof mask);
    EXPECT_EQ(table().createElement(context(), &record, nullptr), host::kErrOutsideUndoScope);
    host::ElementRecord chair;
    ASSERT_EQ(getRecord(kChair, chair), host::kNoError);
    EXPECT_EQ(table().changeElement(context(), &chair, &mask, nullptr, 0, 1), host::kErrOutsideUndoScope);
    EXPECT_EQ(deleteOne(kChair), host::kErrOutsideUndoScope);
    EXPECT_EQ(project().state, before);

    host::GuidRecord created{};
    EXPECT_EQ(inCommand([&] {
                  const host::Result r = table().createElement(context(), &record, nullptr);
                  created = record.head.guid;
                  return r;
              }),
              host::kNoError);
    const std::string createdText = host::guidToText(created);
    EXPECT_FALSE(host::isNullGuid(host::toGuidBytes(created)));
    EXPECT_EQ(elementList(host::kElementObject), (std::vector<std::string>{kChair, kTable, createdText}));

    host::ElementRecord read;
    ASSERT_EQ(getRecord(createdText.c_str(), read), host::kNoError);
    EXPECT_EQ(readInt(read, host::kObjectLibraryIndexOffset), 4);   // from the tool default
    EXPECT_EQ(read.head.layer, 9);

    // A change writes the masked bytes; the guid stays and the element keeps its place in the list.
    host::ElementRecord change = read;
    change.head.layer = 5;
    const std::int32_t library = 8;
    std::memcpy(reinterpret_cast<char*>(&change) + host::kObjectLibraryIndexOffset, &library, 4);
    host::ElementRecord layerOnly{};
    layerOnly.head.layer = -1;
    EXPECT_EQ(inCommand([&] { return table().changeElement(context(), &change, &layerOnly, nullptr, 0, 1); }),
              host::kNoError);
    ASSERT_EQ(getRecord(createdText.c_str(), read), host::kNoError);
    EXPECT_EQ(read.head.layer, 5);
    EXPECT_EQ(readInt(read, host::kObjectLibraryIndexOffset), 4);   // not under the mask
    EXPECT_EQ(host::guidToText(change.head.guid), createdText);

    EXPECT_EQ(inCommand([&] { return deleteOne(createdText.c_str()); }), host::kNoError);
    EXPECT_EQ(getRecord(createdText.c_str(), read), host::kErrBadIndex);
    EXPECT_EQ(project().undoSteps().size(), 3u);
}

TEST_F(SimElementsTest, AnElementNeverPlacedWritesTheDefaultsOfItsTool) {
    // No undoable command is needed: the tool's settings are no placed element.
    host::ElementRecord record = newObject();
    record.head.layer = 3;
    const std::int32_t library = 2;
    std::memcpy(reinterpret_cast<char*>(&record) + host::kObjectLibraryIndexOffset, &library, 4);
    host::ElementRecord layerAndPart{};
    layerAndPart.head.layer = -1;
    std::memset(reinterpret_cast<char*>(&layerAndPart) + host::kObjectLibraryIndexOffset, 0xFF, 4);
    EXPECT_EQ(table().changeElement(context(), &record, &layerAndPart, nullptr, 0, 0), host::kNoError);
    EXPECT_TRUE(project().undoSteps().empty());
    const host::ElementRecord again = newObject();
    EXPECT_EQ(again.head.layer, 3);
    EXPECT_EQ(readInt(again, host::kObjectLibraryIndexOffset), 2);
    EXPECT_TRUE(host::isNullGuid(host::toGuidBytes(again.head.guid)));
    // A tool with no settings yet starts from the empty record; its variation is its own.
    host::ElementRecord lamp{};
    lamp.head.type = host::kElementLamp;
    lamp.head.variation = 4;
    host::ElementRecord all;
    std::memset(static_cast<void*>(&all), 0xFF, sizeof all);
    EXPECT_EQ(table().changeElement(context(), &lamp, &all, nullptr, 0, 0), host::kNoError);
    EXPECT_EQ(project().state.defaults.count({host::kElementLamp, 4}), 1u);
    EXPECT_EQ(project().state.defaults.count({host::kElementLamp, 0}), 0u);
}

TEST_F(SimElementsTest, UndoAndAFailingCommandBothRestoreTheElements) {
    const host::ProjectState before = project().state;
    host::ElementRecord record = newObject(1);
    EXPECT_EQ(inCommand([&] {
                  table().createElement(context(), &record, nullptr);
                  deleteOne(kChair);
                  return host::kErrGeneral;   // fails after its changes
              }),
              host::kErrGeneral);
    EXPECT_EQ(project().state, before);

    EXPECT_EQ(inCommand([&] {
                  table().createElement(context(), &record, nullptr);
                  return deleteOne(kDoor);
              }),
              host::kNoError);
    EXPECT_NE(project().state, before);
    EXPECT_TRUE(host_->undo());
    EXPECT_EQ(project().state, before);
}

TEST_F(SimElementsTest, RefusesBadElementWrites) {
    host::ElementRecord mask;
    std::memset(static_cast<void*>(&mask), 0xFF, sizeof mask);
    EXPECT_EQ(inCommand([&] {
                  host::ElementRecord record = newObject(5);   // no storey 5
                  EXPECT_EQ(table().createElement(context(), &record, nullptr), host::kErrBadParameters);
                  host::ElementRecord none{};
                  EXPECT_EQ(table().createElement(context(), &none, nullptr), host::kErrBadParameters);

                  host::ElementRecord door;
                  EXPECT_EQ(getRecord(kDoor, door), host::kNoError);
                  door.head.type = host::kElementWindow;   // an element keeps its type
                  EXPECT_EQ(table().changeElement(context(), &door, &mask, nullptr, 0, 1),
                            host::kErrBadParameters);

                  // A locked element takes only the change that unlocks it, and is not deleted.
                  host::ElementRecord lamp;
                  EXPECT_EQ(getRecord(kLamp, lamp), host::kNoError);
                  lamp.head.layer = 4;
                  EXPECT_EQ(table().changeElement(context(), &lamp, &mask, nullptr, 0, 1),
                            host::kErrRefusedCommand);
                  EXPECT_EQ(deleteOne(kLamp), host::kErrRefusedCommand);
                  lamp.head.locked = 0;
                  EXPECT_EQ(table().changeElement(context(), &lamp, &mask, nullptr, 0, 1), host::kNoError);

                  // Deleting is all or none.
                  host::Handle heads = handleOf(std::vector<host::ElementHead>{
                      headOf(kChair), headOf("11111111-2222-4333-8444-555555555555")});
                  EXPECT_EQ(table().deleteElements(context(), heads, 2), host::kErrBadIndex);
                  // Too few heads.
                  EXPECT_EQ(table().deleteElements(context(), heads, 3), host::kErrBadParameters);
                  host::disposeHandle(heads);
                  EXPECT_EQ(table().deleteElements(context(), nullptr, 0), host::kNoError);
                  return host::kNoError;
              }),
              host::kNoError);
    host::ElementRecord chair;
    EXPECT_EQ(getRecord(kChair, chair), host::kNoError);
}

TEST_F(SimElementsTest, ReadsOnlyTheMaskedMemoPartsAndDisposesThemAll) {
    struct Case {
        host::MemoMask mask;
        bool gables, parameters, info;
    };
    const Case cases[] = {
        {host::kMemoGables, true, false, false},
        {host::kMemoParameters | host::kMemoInfo, false, true, true},
        {0, true, true, true},   // 0: every part
        {host::kMemoFullMask, true, true, true},
        {host::kMemoPolygon, false, false, false},
    };
    const host::GuidRecord chair = guid(kChair);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mask);
        host::ElementMemo memo;
        std::memset(&memo, 0xA5, sizeof memo);   // whatever the caller left there is not read
        ASSERT_EQ(table().getElementMemo(context(), &chair, &memo, c.mask), host::kNoError);
        EXPECT_EQ(memo.gables != nullptr, c.gables);
        EXPECT_EQ(memo.parameters != nullptr, c.parameters);
        EXPECT_EQ(memo.elementInfo != nullptr, c.info);
        EXPECT_EQ(memo.coords, nullptr);
        if (memo.gables) {
            ASSERT_EQ(host::getHandleSize(memo.gables), 4u);
            EXPECT_EQ(std::memcmp(*memo.gables, "\x01\x02\x03\x04", 4), 0);
        }
        if (memo.parameters) {
            EXPECT_EQ(host::getHandleSize(memo.parameters), 0u);   // a handle, empty
        }
        if (memo.elementInfo) {
            EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(*memo.elementInfo), 5), u"Chair");
        }
        EXPECT_EQ(table().disposeElementMemo(context(), &memo), host::kNoError);
        const host::ElementMemo zero{};
        EXPECT_EQ(std::memcmp(&memo, &zero, sizeof memo), 0);
    }
}

TEST_F(SimElementsTest, ChangesTheMaskedMemoPartsAndRemovesMissingOnesOnlyWithDelete) {
    host::ElementRecord chair;
    ASSERT_EQ(getRecord(kChair, chair), host::kNoError);
    host::ElementRecord noBytes{};
    const host::GuidRecord chairGuid = guid(kChair);
    const auto parts = [&] { return project().findElement(host::toGuidBytes(chairGuid))->memo.parts; };

    host::ElementMemo memo{};
    memo.coords = host::newHandle(32, true);
    memo.cWSegContour = host::newPtr(56, true);
    memo.cWSegContour[0] = 7;
    EXPECT_EQ(inCommand([&] {
                  return table().changeElement(
                      context(), &chair, &noBytes, &memo,
                      host::kMemoPolygon | host::kMemoGables | host::kMemoCurtainWall, 0);
              }),
              host::kNoError);
    EXPECT_EQ(parts().at(0).size(), 32u);
    EXPECT_EQ(parts().at(248).at(0), 7);
    EXPECT_EQ(parts().count(56), 1u);   // gables kept: the memo's null handle removes nothing without delete

    EXPECT_EQ(inCommand([&] {
                  return table().changeElement(context(), &chair, &noBytes, &memo, host::kMemoGables, 1);
              }),
              host::kNoError);
    EXPECT_EQ(parts().count(56), 0u);   // with delete, the null handle removes the part
    EXPECT_EQ(parts().count(0), 1u);    // outside the mask

    // A handle the memory manager does not know is refused and changes nothing.
    host::ElementMemo bad{};
    char* block = nullptr;
    bad.gables = &block;
    const auto kept = parts();
    EXPECT_EQ(inCommand([&] {
                  return table().changeElement(context(), &chair, &noBytes, &bad, host::kMemoGables, 1);
              }),
              host::kErrBadHandle);
    EXPECT_EQ(parts(), kept);
    host::resetMemoryStats();   // the foreign handle was counted as a violation on purpose
    EXPECT_EQ(table().disposeElementMemo(context(), &memo), host::kNoError);
}

TEST_F(SimElementsTest, KeepsUserDataOfElementsAndToolDefaults) {
    host::ElementHead chair = headOf(kChair);
    chair.type = host::kElementObject;
    host::UserDataRecord data{};
    EXPECT_EQ(table().getElementUserData(context(), &chair, &data), host::kErrNoUserData);
    EXPECT_EQ(data.data, nullptr);

    host::UserDataRecord stored{3, host::kPlatformSignMac, 12, {}, host::newHandle(3, false)};
    std::memcpy(*stored.data, "abc", 3);
    EXPECT_EQ(table().setElementUserData(context(), &chair, &stored), host::kErrOutsideUndoScope);
    EXPECT_EQ(inCommand([&] { return table().setElementUserData(context(), &chair, &stored); }),
              host::kNoError);
    host::disposeHandle(stored.data);
    ASSERT_EQ(table().getElementUserData(context(), &chair, &data), host::kNoError);
    EXPECT_EQ(data.version, 3);
    EXPECT_EQ(data.platformSign, host::kPlatformSignMac);
    EXPECT_EQ(data.flags, 12u);
    ASSERT_EQ(host::getHandleSize(data.data), 3u);
    EXPECT_EQ(std::memcmp(*data.data, "abc", 3), 0);
    host::disposeHandle(data.data);
    EXPECT_EQ(table().clearElementUserData(context(), &chair), host::kErrOutsideUndoScope);
    EXPECT_EQ(inCommand([&] { return table().clearElementUserData(context(), &chair); }), host::kNoError);
    EXPECT_EQ(inCommand([&] { return table().clearElementUserData(context(), &chair); }),
              host::kErrNoUserData);

    // A head with only type and variation names the tool default, which needs no command.
    host::ElementHead tool{};
    tool.type = host::kElementObject;
    ASSERT_EQ(table().getElementUserData(context(), &tool, &data), host::kNoError);
    EXPECT_EQ(std::string(*data.data, host::getHandleSize(data.data)), "default");
    host::disposeHandle(data.data);
    host::UserDataRecord empty{1, host::kPlatformSignWindows, 0, {}, nullptr};
    tool.variation = 4;   // a tool without settings yet
    EXPECT_EQ(table().getElementUserData(context(), &tool, &data), host::kErrNoUserData);
    EXPECT_EQ(table().setElementUserData(context(), &tool, &empty), host::kNoError);
    ASSERT_EQ(table().getElementUserData(context(), &tool, &data), host::kNoError);
    EXPECT_EQ(data.data, nullptr);

    host::ElementHead missing = headOf("11111111-2222-4333-8444-555555555555");
    EXPECT_EQ(table().getElementUserData(context(), &missing, &data), host::kErrBadIndex);
}

TEST_F(SimElementsTest, SelectsByHeadAndByPartReferences) {
    const host::ElementHead chair = headOf(kChair);
    EXPECT_EQ(table().selectElement(context(), &chair, 0), host::kErrNotSelected);
    EXPECT_EQ(table().selectElement(context(), &chair, 1), host::kNoError);
    EXPECT_EQ(table().selectElement(context(), &chair, 1), host::kErrAlreadySelected);

    host::PartReference door{};
    door.guid = guid(kDoor);
    host::PartReference unknown{};
    unknown.guid = guid("11111111-2222-4333-8444-555555555555");
    host::Handle parts = handleOf(std::vector<host::PartReference>{door, unknown});
    EXPECT_EQ(table().selectElements(context(), parts, 2, 1), host::kErrBadIndex);   // all or none
    EXPECT_EQ(table().selectElements(context(), parts, 1, 1), host::kNoError);
    host::disposeHandle(parts);

    host::SelectionRecord info{};
    host::Handle selected = nullptr;
    ASSERT_EQ(table().getSelection(context(), &info, &selected, 0, 1), host::kNoError);
    EXPECT_EQ(info.kind, host::kSelectionElements);
    ASSERT_EQ(host::getHandleSize(selected), 2 * sizeof(host::PartReference));
    host::PartReference read[2];
    std::memcpy(read, *selected, sizeof read);
    host::disposeHandle(selected);
    EXPECT_EQ(read[0].id, 13);   // objects
    EXPECT_EQ(host::guidToText(read[0].guid), kChair);
    EXPECT_EQ(read[0].index, 1);
    EXPECT_EQ(read[1].id, 12);   // doors
    std::int16_t type = 0;
    EXPECT_EQ(table().utilities(context(), host::fourcc("NTOE"), &read[1].id, &type, nullptr),
              host::kNoError);
    EXPECT_EQ(type, host::kElementDoor);

    // A deleted element drops out; an empty selection gives no handle.
    EXPECT_EQ(inCommand([&] { return deleteOne(kDoor); }), host::kNoError);
    EXPECT_EQ(table().selectElements(context(), nullptr, 0, 0), host::kNoError);   // no parts: clear
    ASSERT_EQ(table().getSelection(context(), &info, &selected, 0, 1), host::kNoError);
    EXPECT_EQ(info.kind, host::kSelectionNone);
    EXPECT_EQ(selected, nullptr);

    // Only editable: the locked lamp is left out.
    const host::ElementHead lamp = headOf(kLamp);
    table().selectElement(context(), &lamp, 1);
    table().selectElement(context(), &chair, 1);
    ASSERT_EQ(table().getSelection(context(), &info, &selected, 1, 1), host::kNoError);
    EXPECT_EQ(info.count, 1);
    host::disposeHandle(selected);
}

TEST_F(SimElementsTest, ListsElementsByTypeVariationAndFilterFlags) {
    const std::string hotlinked = R"(, "secondIdentifier": "99999999-0000-4000-8000-000000000001")";
    std::string json = kProject;
    json.replace(json.find(R"("libraryIndex": 3})"), 18,
                 R"("libraryIndex": 3, "owner": 2, "phase": 1)" + hotlinked + "}");
    json.replace(json.rfind('}'), 1,
                 R"(, "teamwork": {"shared": true, "member": 1}, "hiddenLayers": [3],
                    "renovation": {"active": "AAAA0000-0000-4000-8000-000000000001",
                      "filters": [{"guid": "AAAA0000-0000-4000-8000-000000000001", "shows": [0]},
                                  {"guid": "BBBB0000-0000-4000-8000-000000000001", "shows": [1]}]}})");
    std::string error;
    ASSERT_TRUE(project().loadText(json, error)) << error;
    const host::GuidRecord second = guid("BBBB0000-0000-4000-8000-000000000001");
    const host::GuidRecord none{};
    struct Case {
        std::int32_t type;
        std::uint32_t flags;
        std::int32_t variation;
        const host::GuidRecord* renovation;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {0, 0, 0, nullptr, {kChair, kTable, kDoor, kLamp}},
        {host::kElementObject, 0, 0, nullptr, {kChair, kTable}},
        {host::kElementObject, 0, 7, nullptr, {kTable}},
        {0, host::kFilterInWorkspace, 0, nullptr, {kChair, kDoor, kLamp}},   // the table is member 2's
        {0, host::kFilterNotHotlinked, 0, nullptr, {kChair, kDoor, kLamp}},
        {0, host::kFilterShownLayer, 0, nullptr, {kChair, kTable, kDoor}},   // layer 3 is hidden
        {0, 530, 0, nullptr, {kChair, kDoor}},
        {0, host::kFilterRenovation, 0, &none, {kChair, kDoor, kLamp}},   // the active filter shows status 0
        {0, host::kFilterRenovation, 0, &second, {kTable}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.type) + " " + std::to_string(c.flags));
        EXPECT_EQ(elementList(c.type, c.flags, c.variation, c.renovation), c.expected);
        for (const char* element : {kChair, kTable, kDoor, kLamp}) {
            if (c.type != 0 || c.variation != 0) break;
            const host::GuidRecord g = guid(element);
            std::uint8_t passes = 2;
            EXPECT_EQ(table().filterElement(context(), &g, c.flags, 0, c.renovation, &passes),
                      host::kNoError);
            EXPECT_EQ(passes == 1,
                      std::find(c.expected.begin(), c.expected.end(), element) != c.expected.end());
        }
    }
    host::Handle guids = nullptr;
    const host::GuidRecord unknown = guid("CCCC0000-0000-4000-8000-000000000001");
    EXPECT_EQ(table().getElementList(context(), 0, &guids, host::kFilterRenovation, 0, &unknown),
              host::kErrBadParameters);
    EXPECT_EQ(guids, nullptr);
}

TEST_F(SimElementsTest, ReservesWhatNobodyElseHoldsAndReportsTheRest) {
    std::string json = kProject;
    json.replace(json.find(R"("libraryIndex": 3})"), 18, R"("libraryIndex": 3, "owner": 2})");
    json.replace(json.rfind('}'), 1, R"(, "teamwork": {"shared": true, "member": 1}})");
    std::string error;
    ASSERT_TRUE(project().loadText(json, error)) << error;
    const std::vector<host::GuidRecord> guids = {guid(kChair), guid(kTable)};
    host::Handle conflicts = nullptr;
    ASSERT_EQ(table().reserveElements(context(), guids.data(), 2, &conflicts), host::kNoError);
    ASSERT_EQ(host::getHandleSize(conflicts), sizeof(host::ReservationConflict));
    host::ReservationConflict conflict;
    std::memcpy(&conflict, *conflicts, sizeof conflict);
    host::disposeHandle(conflicts);
    EXPECT_EQ(host::guidToText(conflict.guid), kTable);
    EXPECT_EQ(conflict.memberId, 2);
    const auto owner = [&](const char* g) {
        return project().findElement(host::toGuidBytes(guid(g)))->head().ownerId;
    };
    EXPECT_EQ(owner(kChair), 1);

    // What another member holds cannot be changed; release gives back only the member's own.
    host::ElementRecord table_;
    ASSERT_EQ(getRecord(kTable, table_), host::kNoError);
    host::ElementRecord mask;
    std::memset(static_cast<void*>(&mask), 0xFF, sizeof mask);
    EXPECT_EQ(inCommand([&] { return table().changeElement(context(), &table_, &mask, nullptr, 0, 1); }),
              host::kErrRefusedCommand);
    EXPECT_EQ(table().releaseElements(context(), guids.data(), 2), host::kNoError);
    EXPECT_EQ(owner(kChair), 0);
    EXPECT_EQ(owner(kTable), 2);

    project().state.teamwork.connected = false;
    std::uint8_t connected = 1;
    EXPECT_EQ(table().isTeamworkConnected(context(), &connected), host::kNoError);
    EXPECT_EQ(connected, 0);
    EXPECT_EQ(table().reserveElements(context(), guids.data(), 2, &conflicts), host::kErrRefusedCommand);
}

TEST_F(SimElementsTest, LinksElementsInOneDirection) {
    const host::GuidRecord chair = guid(kChair), door = guid(kDoor);
    EXPECT_EQ(table().linkElements(context(), &chair, &door, 0), host::kErrOutsideUndoScope);
    EXPECT_EQ(inCommand([&] { return table().linkElements(context(), &chair, &door, 0); }), host::kNoError);
    host::Handle guids = nullptr;
    std::int32_t count = 0;
    ASSERT_EQ(table().getLinkedElements(context(), &chair, &guids, &count), host::kNoError);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(guidTexts(guids), std::vector<std::string>{kDoor});
    ASSERT_EQ(table().getLinkedElements(context(), &door, &guids, &count), host::kNoError);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(guids, nullptr);
    EXPECT_EQ(inCommand([&] { return table().unlinkElements(context(), &chair, &door); }), host::kNoError);
    EXPECT_EQ(inCommand([&] { return table().unlinkElements(context(), &chair, &door); }),
              host::kErrBadIndex);
}

TEST_F(SimElementsTest, AnInjectedFaultOrAFailedAllocationLeavesTheProjectAsItWas) {
    const host::ProjectState before = project().state;
    host_->injectFault({HostSlot::createElement, std::nullopt}, 1, host::kErrMemFull);
    host::ElementRecord record = newObject();
    EXPECT_EQ(inCommand([&] { return table().createElement(context(), &record, nullptr); }),
              host::kErrMemFull);
    EXPECT_EQ(project().state, before);
    EXPECT_EQ(host_->countCalls(HostSlot::createElement), 1u);
    EXPECT_EQ(inCommand([&] { return table().createElement(context(), &record, nullptr); }), host::kNoError);

    // The memo's second handle cannot be made: nothing is left allocated.
    const host::GuidRecord chair = guid(kChair);
    host::ElementMemo memo{};
    host::failAllocation(2);
    EXPECT_EQ(table().getElementMemo(context(), &chair, &memo, 0), host::kErrMemFull);
    const host::ElementMemo zero{};
    EXPECT_EQ(std::memcmp(&memo, &zero, sizeof memo), 0);
    host::failAllocation(0);
}

}   // namespace

TEST_F(SimElementsTest, GivesEveryPlacedObjectABoxModelOfWhatItPlaces) {
    std::string error;
    ASSERT_TRUE(project().loadText(R"({
  "storeys": [{"index": 0, "name": "Ground", "level": 0, "height": 3},
              {"index": 1, "name": "Upper", "level": 3, "height": 3}],
  "elements": [{"guid": "0B1E0000-0000-4000-8000-000000000009", "type": 6, "storey": 1, "layer": 1,
                "position": [2, 1], "size": [0.5, 0.25], "elevation": 0.5}]
})",
                                   error))
        << error;
    const auto model = host::findElementModel3D(guid("0B1E0000-0000-4000-8000-000000000009"));
    ASSERT_NE(model, nullptr);
    ASSERT_EQ(model->bodies.size(), 1u);
    double low[3] = {1e9, 1e9, 1e9}, high[3] = {-1e9, -1e9, -1e9};
    for (const host::Model3DVertex& v : model->bodies[0].vertices) {
        const double xyz[3] = {v.x, v.y, v.z};
        for (int i = 0; i < 3; ++i) low[i] = std::min(low[i], xyz[i]), high[i] = std::max(high[i], xyz[i]);
    }
    EXPECT_NEAR(low[0], 2.0, 1e-9);
    EXPECT_NEAR(high[0], 2.5, 1e-9);
    EXPECT_NEAR(low[1], 1.0, 1e-9);
    EXPECT_NEAR(high[1], 1.25, 1e-9);
    EXPECT_NEAR(low[2], 3.5, 1e-9);   // the storey's level plus the elevation
    EXPECT_EQ(host::findElementModel3D(guid("0B1E0000-0000-4000-8000-0000000000FF")), nullptr);
}
