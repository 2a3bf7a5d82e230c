#include <cmath>
#include <cstring>
#include <numbers>

#include "Host/SimProjectFixture.h"

namespace {

constexpr const char* kChair = "0B1E0000-0000-4000-8000-000000000001";
constexpr const char* kTable = "0B1E0000-0000-4000-8000-000000000002";
constexpr const char* kDoor = "D0020000-0000-4000-8000-000000000001";
constexpr const char* kLamp = "1A3F0000-0000-4000-8000-000000000001";

constexpr const char* kProject = R"({
  "storeys": [{"index": 0, "name": "Ground", "level": 0, "height": 3}],
  "elements": [
    {"guid": "0B1E0000-0000-4000-8000-000000000001", "type": 6, "variation": 0, "storey": 0, "layer": 1,
     "position": [1, 2], "angle": 0.5, "elevation": 0.25, "memo": {"parameters": "AQI=", "info": "Chair"}},
    {"guid": "0B1E0000-0000-4000-8000-000000000002", "type": 6, "variation": 7, "storey": 0, "layer": 2,
     "drawOrder": 254},
    {"guid": "D0020000-0000-4000-8000-000000000001", "type": 5, "variation": 0, "storey": 0, "layer": 1},
    {"guid": "1A3F0000-0000-4000-8000-000000000001", "type": 7, "variation": 0, "storey": 0, "layer": 3,
     "locked": 1}
  ]
})";

struct Placement {
    double x, y, angle, elevation;
};

class SimElementEditsTest : public SimProjectFixture {
protected:
    void SetUp() override {
        SimProjectFixture::SetUp();
        open(kProject);
    }

    host::SimElement& element(const char* guidText) {
        return *project().findElement(host::toGuidBytes(guid(guidText)));
    }

    Placement placementOf(const char* guidText) {
        const auto& record = element(guidText).record;
        const auto real = [&](std::size_t offset) {
            double value;
            std::memcpy(&value, record.data() + offset, sizeof value);
            return value;
        };
        return {real(host::kObjectPositionOffset), real(host::kObjectPositionOffset + 8),
                real(host::kObjectAngleOffset), real(host::kObjectElevationOffset)};
    }

    host::Result edit(std::vector<const char*> guids, const host::EditParameters& parameters) {
        std::vector<host::PartReference> parts;
        for (const char* text : guids) {
            host::PartReference part{};
            part.guid = guid(text);
            parts.push_back(part);
        }
        host::Handle handle = handleOf(parts);
        const host::Result result =
            table().editElements(context(), handle, static_cast<std::int32_t>(parts.size()), &parameters);
        host::disposeHandle(handle);
        return result;
    }

    // The tool on the elements; the heads the host wrote back come out in `heads`.
    host::Result tool(const char (&code)[5], std::vector<const char*> guids,
                      std::vector<host::ElementHead>* heads = nullptr) {
        std::vector<host::ElementHead> list;
        for (const char* text : guids) list.push_back(headOf(text));
        host::Handle handle = handleOf(list);
        std::int32_t count = static_cast<std::int32_t>(list.size());
        const host::Result result =
            table().elementTools(context(), host::fourcc(code), handle, &count, nullptr);
        if (heads != nullptr && handle != nullptr) {
            heads->resize(list.size());
            std::memcpy(heads->data(), *handle, list.size() * sizeof(host::ElementHead));
        }
        host::disposeHandle(handle);
        return result;
    }

    host::GuidBytes groupOf(const char* guidText) {
        return host::toGuidBytes(element(guidText).head().firstIdentifier);
    }
};

host::EditParameters editOf(std::int32_t kind, host::EditPoint origin, host::EditPoint begin,
                            host::EditPoint end) {
    host::EditParameters parameters{};
    parameters.kind = kind;
    parameters.origin = origin;
    parameters.begin = begin;
    parameters.end = end;
    return parameters;
}

TEST_F(SimElementEditsTest, MovesTurnsMirrorsAndRaisesAnObjectsPlacement) {
    constexpr double kPi = std::numbers::pi;
    const struct {
        const char* name;
        host::EditParameters edit;
        Placement expected;
    } cases[] = {
        {"move", editOf(host::kEditMove, {}, {1, 1, 0}, {4, -1, 2}), {4, 0, 0.5, 2.25}},
        {"rotate a quarter about (1, 0)",
         editOf(host::kEditRotate, {1, 0, 0}, {2, 0, 0}, {1, 5, 0}),
         {-1, 0, 0.5 + kPi / 2, 0.25}},
        {"mirror across x = 0",
         editOf(host::kEditMirror, {}, {0, 0, 0}, {0, 1, 0}),
         {-1, 2, kPi - 0.5, 0.25}},
        {"mirror across y = x",
         editOf(host::kEditMirror, {}, {0, 0, 0}, {3, 3, 0}),
         {2, 1, kPi / 2 - 0.5, 0.25}},
        {"elevate", editOf(host::kEditElevate, {}, {9, 9, 1}, {0, 0, 3.5}), {1, 2, 0.5, 2.75}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const host::ProjectState before = project().state;
        ASSERT_EQ(inCommand([&] { return edit({kChair}, c.edit); }), host::kNoError);
        const Placement placed = placementOf(kChair);
        EXPECT_NEAR(placed.x, c.expected.x, 1e-12);
        EXPECT_NEAR(placed.y, c.expected.y, 1e-12);
        EXPECT_NEAR(placed.angle, c.expected.angle, 1e-12);
        EXPECT_NEAR(placed.elevation, c.expected.elevation, 1e-12);
        ASSERT_TRUE(host_->undo());
        EXPECT_EQ(project().state, before);
    }
}

TEST_F(SimElementEditsTest, RefusesEditsOutsideACommandAndBadOnesAllOrNone) {
    const host::EditParameters move = editOf(host::kEditMove, {}, {0, 0, 0}, {1, 0, 0});
    const host::ProjectState before = project().state;
    EXPECT_EQ(edit({kChair}, move), host::kErrOutsideUndoScope);
    const struct {
        const char* name;
        std::vector<const char*> guids;
        host::EditParameters edit;
        host::Result result;
    } cases[] = {
        {"a door has no placement here", {kChair, kDoor}, move, host::kErrBadParameters},
        {"a locked lamp", {kChair, kLamp}, move, host::kErrRefusedCommand},
        {"rotation from the origin itself",
         {kChair},
         editOf(host::kEditRotate, {1, 1, 0}, {1, 1, 0}, {2, 2, 0}),
         host::kErrBadParameters},
        {"mirror across a point",
         {kChair},
         editOf(host::kEditMirror, {}, {2, 2, 0}, {2, 2, 5}),
         host::kErrBadParameters},
        {"unknown kind", {kChair}, editOf(9, {}, {0, 0, 0}, {1, 0, 0}), host::kErrBadParameters},
        {"not finite",
         {kChair},
         editOf(host::kEditMove, {}, {0, 0, 0}, {INFINITY, 0, 0}),
         host::kErrBadParameters},
        {"no such element", {kChair, "0B1E0000-0000-4000-8000-0000000000FF"}, move, host::kErrBadIndex},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(inCommand([&] { return edit(c.guids, c.edit); }), c.result);
        EXPECT_EQ(project().state, before);
    }
    host::Handle none = nullptr;
    EXPECT_EQ(inCommand([&] { return table().editElements(context(), none, 1, &move); }),
              host::kErrBadHandle);
}

TEST_F(SimElementEditsTest, ChangesMaskedFieldsAndTheMemosParametersOnlyInsideACommand) {
    host::ElementRecord defaults{};
    defaults.head.type = host::kElementObject;
    defaults.head.layer = 5;
    const double x = 8.0;
    std::memcpy(reinterpret_cast<char*>(&defaults) + host::kObjectPositionOffset, &x, sizeof x);
    host::ElementRecord mask{};
    mask.head.layer = -1;
    std::memset(reinterpret_cast<char*>(&mask) + host::kObjectPositionOffset, 0xFF, sizeof x);
    host::ElementMemo memo{};
    memo.parameters = host::newHandle(3, true);
    std::memcpy(*memo.parameters, "new", 3);
    const std::vector<host::ElementHead> heads{headOf(kChair), headOf(kDoor)};
    const host::ProjectState before = project().state;

    EXPECT_EQ(table().changeParameters(context(), heads.data(), 2, &defaults, &memo, &mask),
              host::kErrOutsideUndoScope);
    EXPECT_EQ(project().state, before);
    ASSERT_EQ(inCommand([&] {
                  return table().changeParameters(context(), heads.data(), 2, &defaults, &memo, &mask);
              }),
              host::kNoError);
    EXPECT_EQ(element(kChair).head().layer, 5);
    EXPECT_DOUBLE_EQ(placementOf(kChair).x, 8.0);
    EXPECT_EQ(element(kChair).memo.parts.at(offsetof(host::ElementMemo, parameters)),
              (std::vector<unsigned char>{'n', 'e', 'w'}));
    EXPECT_EQ(element(kChair).memo.parts.count(offsetof(host::ElementMemo, elementInfo)), 1u);   // kept
    // The door takes the head's layer, not an object's body.
    EXPECT_EQ(element(kDoor).head().layer, 5);
    EXPECT_EQ(element(kDoor).record, [&] {
        auto record = before.elements[2].record;
        record[offsetof(host::ElementHead, layer)] = 5;
        return record;
    }());
    ASSERT_TRUE(host_->undo());
    EXPECT_EQ(project().state, before);

    // The locked lamp refuses, and then nothing changes.
    const std::vector<host::ElementHead> withLamp{headOf(kChair), headOf(kLamp)};
    EXPECT_EQ(inCommand([&] {
                  return table().changeParameters(context(), withLamp.data(), 2, &defaults, nullptr, &mask);
              }),
              host::kErrRefusedCommand);
    EXPECT_EQ(project().state, before);
    host::disposeHandle(memo.parameters);
}

TEST_F(SimElementEditsTest, GroupsWholeGroupsAndHandsTheNewHeadsBack) {
    EXPECT_EQ(tool("GRUP", {kChair, kTable}), host::kErrOutsideUndoScope);
    EXPECT_EQ(inCommand([&] { return tool("GRUP", {kChair}); }),
              host::kErrBadParameters);   // one is no group
    EXPECT_EQ(inCommand([&] { return tool("GRUP", {kChair, kChair}); }), host::kErrBadParameters);

    std::vector<host::ElementHead> heads;
    ASSERT_EQ(inCommand([&] { return tool("GRUP", {kChair, kTable}, &heads); }), host::kNoError);
    const host::GuidBytes group = groupOf(kChair);
    EXPECT_FALSE(host::isNullGuid(group));
    EXPECT_EQ(groupOf(kTable), group);
    EXPECT_EQ(host::toGuidBytes(heads.at(1).firstIdentifier), group);

    // The door joins, and the table brings its group along.
    ASSERT_EQ(inCommand([&] { return tool("GRUP", {kTable, kDoor}); }), host::kNoError);
    EXPECT_NE(groupOf(kDoor), group);
    EXPECT_EQ(groupOf(kChair), groupOf(kDoor));
    EXPECT_EQ(groupOf(kTable), groupOf(kDoor));

    // The project file keeps the groups.
    host::SimProject reloaded;
    std::string error;
    ASSERT_TRUE(reloaded.loadText(project().saveText(), error)) << error;
    EXPECT_EQ(reloaded.state, project().state);

    ASSERT_EQ(inCommand([&] { return tool("UGRP", {kChair}); }), host::kNoError);
    for (const char* guidText : {kChair, kTable, kDoor}) EXPECT_TRUE(host::isNullGuid(groupOf(guidText)));
    ASSERT_TRUE(host_->undo());
    EXPECT_FALSE(host::isNullGuid(groupOf(kChair)));
}

TEST_F(SimElementEditsTest, MovesElementsToTheFrontOrBackAStepOrAllTheWay) {
    const struct {
        const char (&code)[5];
        std::uint8_t chair;   // from 0
        std::uint8_t table;   // from 254
    } cases[] = {{"OFR0", 1, 255}, {"OFR1", 255, 255}, {"OBA0", 0, 253}, {"OBA1", 0, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        std::vector<host::ElementHead> heads;
        ASSERT_EQ(inCommand([&] { return tool(c.code, {kChair, kTable}, &heads); }), host::kNoError);
        EXPECT_EQ(element(kChair).head().drawOrder, c.chair);
        EXPECT_EQ(element(kTable).head().drawOrder, c.table);
        EXPECT_EQ(heads.at(0).drawOrder, c.chair);
        ASSERT_TRUE(host_->undo());
    }
    host::SimProject reloaded;
    std::string error;
    ASSERT_EQ(inCommand([&] { return tool("OFR1", {kChair}); }), host::kNoError);
    ASSERT_TRUE(reloaded.loadText(project().saveText(), error)) << error;
    EXPECT_EQ(reloaded.state, project().state);
}

TEST_F(SimElementEditsTest, HighlightsElementsOfTheCurrentDatabaseOnceEachAndClears) {
    const auto entry = [&](const char* guidText, double red) {
        return host::HighlightEntry{guid(guidText), red, 0.5, 0.0, 1.0};
    };
    const auto highlight = [&](const std::vector<host::HighlightEntry>& entries, bool wireframe) {
        host::Handle table = handleOf(entries);
        const host::Result result = this->table().interface(context(), host::fourcc("HGEL"), table,
                                                            &wireframe, nullptr, nullptr, nullptr);
        host::disposeHandle(table);
        return result;
    };
    const host::SimView& view = project().viewOf({host::kDatabasePlan, {}});
    ASSERT_EQ(highlight({entry(kChair, 1.0), entry(kDoor, 0.0)}, true),
              host::kNoError);   // no command needed
    EXPECT_EQ(view.highlight.size(), 2u);
    EXPECT_DOUBLE_EQ(view.highlight.at(host::toGuidBytes(guid(kChair)))[0], 1.0);
    EXPECT_TRUE(view.highlightWireframe);

    const struct {
        const char* name;
        std::vector<host::HighlightEntry> entries;
        host::Result result;
    } refused[] = {
        {"twice", {entry(kChair, 1.0), entry(kChair, 0.0)}, host::kErrBadParameters},
        {"channel above 1", {entry(kChair, 1.5)}, host::kErrBadParameters},
        {"channel not a number", {entry(kChair, NAN)}, host::kErrBadParameters},
        {"unknown", {entry("0B1E0000-0000-4000-8000-0000000000FF", 1.0)}, host::kErrBadIndex},
    };
    for (const auto& c : refused) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(highlight(c.entries, false), c.result);
        EXPECT_EQ(view.highlight.size(), 2u);   // the shown one stays
    }
    EXPECT_EQ(table().interface(context(), host::fourcc("HGEL"), nullptr, nullptr, nullptr, nullptr, nullptr),
              host::kNoError);
    EXPECT_TRUE(view.highlight.empty());
    EXPECT_FALSE(view.highlightWireframe);
}

TEST_F(SimElementEditsTest, AnswersRPASForElementsOfTheCurrentDatabaseOnly) {
    host::ElementHead head = headOf(kChair);
    EXPECT_EQ(table().utilities(context(), host::fourcc("RPAS"), &head, nullptr, nullptr), host::kNoError);
    head = headOf("0B1E0000-0000-4000-8000-0000000000FF");
    EXPECT_EQ(table().utilities(context(), host::fourcc("RPAS"), &head, nullptr, nullptr),
              host::kErrBadIndex);
    EXPECT_EQ(table().utilities(context(), host::fourcc("RPAS"), nullptr, nullptr, nullptr),
              host::kErrBadParameters);
}

}   // namespace
