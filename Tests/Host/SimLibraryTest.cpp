#include <cstring>
#include <filesystem>

#include "Host/SimProjectFixture.h"

namespace {

using host::HostSlot;

constexpr const char* kDoorFamily =
    "{11E85B84-8DD1-491B-A2FE-337454A91545}-{9CD857B9-18A7-4F56-80E4-3E80CF98C51C}";
constexpr const char* kSingle =
    "{00000001-0000-4000-8000-000000000001}-{00000001-0000-4000-8000-0000000000A1}";
constexpr const char* kSingleNewer =
    "{00000001-0000-4000-8000-000000000001}-{00000001-0000-4000-8000-0000000000A2}";
constexpr const char* kChair =
    "{00000003-0000-4000-8000-000000000003}-{00000003-0000-4000-8000-0000000000A1}";
constexpr const char* kStranger =
    "{00000009-0000-4000-8000-000000000009}-{00000009-0000-4000-8000-0000000000A1}";

// Parts 1 to 6: the door family, a single door, the chair, a double door, a newer single door, and a
// deleted part.
constexpr const char* kProject = R"({
  "library": {"parts": [
    {"type": 3, "name": "Door", "uniqueId": "{11E85B84-8DD1-491B-A2FE-337454A91545}-{9CD857B9-18A7-4F56-80E4-3E80CF98C51C}",
     "placeable": false},
    {"type": 4, "name": "Door Single", "fileName": "Door Single.gsm",
     "uniqueId": "{00000001-0000-4000-8000-000000000001}-{00000001-0000-4000-8000-0000000000A1}",
     "parent": "{11E85B84-8DD1-491B-A2FE-337454A91545}-{9CD857B9-18A7-4F56-80E4-3E80CF98C51C}"},
    {"type": 4, "name": "Chair", "fileName": "Chair.gsm", "location": "/library/Chair.gsm", "owner": "GSAC",
     "uniqueId": "{00000003-0000-4000-8000-000000000003}-{00000003-0000-4000-8000-0000000000A1}",
     "size": [0.5, 0.6],
     "parameters": [{"name": "A", "type": 2, "value": 0.5}, {"name": "mat", "type": 12, "value": "Oak"},
                    {"name": "legs", "type": 4, "value": [[1, 2], [3, 4], [5, 6]]},
                    {"name": "tags", "type": 12, "value": [["x", "yz"]]}],
     "sections": [{"type": "3DSC", "text": "BLOCK A, B, 1"}, {"type": "GIFF", "base64": "AAEC"}],
     "details": "AQAB"},
    {"type": 3, "name": "Door Double",
     "uniqueId": "{00000004-0000-4000-8000-000000000004}-{00000004-0000-4000-8000-0000000000A1}",
     "parent": "{11E85B84-8DD1-491B-A2FE-337454A91545}-{9CD857B9-18A7-4F56-80E4-3E80CF98C51C}"},
    {"type": 3, "name": "Door Single Two",
     "uniqueId": "{00000001-0000-4000-8000-000000000001}-{00000001-0000-4000-8000-0000000000A2}",
     "parent": "{00000001-0000-4000-8000-000000000001}-{00000001-0000-4000-8000-0000000000A1}"},
    {"type": 4, "name": "Gone", "uniqueId": "{00000006-0000-4000-8000-000000000006}", "deleted": true}
  ]}
})";

class SimLibraryTest : public SimProjectFixture {
protected:
    void SetUp() override {
        SimProjectFixture::SetUp();
        open(kProject);
    }

    static void setName(char16_t (&field)[host::kLibraryNameChars], const std::u16string& text) {
        std::fill(std::begin(field), std::end(field), u'\0');
        std::copy(text.begin(), text.end(), field);
    }

    static std::string name(const host::LibraryPartRecord& part) {
        std::u16string text(part.documentName);
        return std::string(text.begin(), text.end());   // the test names are ASCII
    }

    // Searches and hands back the index found (0 when none); the location is disposed.
    host::Result search(host::LibraryPartRecord& part, std::int32_t& index, bool onlyPlaceable = false) {
        const host::Result result = table().searchLibraryPart(context(), &part, 0, onlyPlaceable ? 1 : 0);
        index = result == host::kNoError ? part.index : 0;
        host::disposePtr(part.location);
        part.location = nullptr;
        return result;
    }

    host::Result utilities(const char (&code)[5], const void* p1, void* p2) {
        return table().utilities(context(), host::fourcc(code), const_cast<void*>(p1), p2, nullptr);
    }

    // A new pointer block holding the path, as the host takes locations.
    static char* location(const std::string& path) {
        char* block = host::newPtr(path.size() + 1, true);
        std::memcpy(block, path.data(), path.size());
        return block;
    }

    static host::LibrarySectionHeader section(const char (&code)[5]) {
        host::LibrarySectionHeader header{};
        header.type = host::fourcc(code);
        return header;
    }

    host::LibraryPartRecord newPart(const std::u16string& partName) {
        host::LibraryPartRecord part{};
        part.type = host::kLibraryObject;
        part.placeable = 1;
        setName(part.documentName, partName);
        std::strcpy(part.parentUniqueId, kDoorFamily);
        return part;
    }

    // The bytes of a section of a part, or "" when it has none.
    std::string sectionBytes(std::int32_t index, const char (&code)[5]) {
        const host::LibrarySectionHeader header = section(code);
        host::Handle bytes = nullptr;
        if (table().getLibraryPartSection(context(), index, &header, &bytes, nullptr, nullptr) !=
            host::kNoError)
            return "";
        std::string text(*bytes ? *bytes : "", host::getHandleSize(bytes));
        host::disposeHandle(bytes);
        return text;
    }

    std::vector<host::ParameterRecord> parameters(std::int32_t index, double& a, double& b) {
        host::Handle handle = nullptr;
        std::int32_t count = -1;
        EXPECT_EQ(table().getLibraryPartParameters(context(), index, &a, &b, &count, &handle),
                  host::kNoError);
        std::vector<host::ParameterRecord> records(static_cast<std::size_t>(count));
        EXPECT_EQ(host::getHandleSize(handle), records.size() * sizeof(host::ParameterRecord));
        if (!records.empty())
            std::memcpy(records.data(), *handle, records.size() * sizeof(host::ParameterRecord));
        EXPECT_EQ(table().disposeParameters(context(), &handle), host::kNoError);
        EXPECT_EQ(handle, nullptr);
        return records;
    }
};

TEST_F(SimLibraryTest, FindsAPartByNameFileNameOrUniqueIdNarrowedByType) {
    struct Case {
        const char* what;
        std::int32_t type;
        std::u16string documentName;
        std::u16string fileName;
        std::string uniqueId;
        bool onlyPlaceable;
        host::Result result;
        std::int32_t index;
    } const cases[] = {
        {"name, case ignored", 0, u"chair", u"", "", false, host::kNoError, 3},
        {"name of the type", host::kLibraryDoor, u"Door Double", u"", "", false, host::kNoError, 4},
        {"name of another type", host::kLibraryDoor, u"Chair", u"", "", false, host::kErrBadName, 0},
        {"file name", 0, u"", u"Chair.gsm", "", false, host::kNoError, 3},
        {"unique id", 0, u"", u"", kSingleNewer, false, host::kNoError, 5},
        {"main guid alone", 0, u"", u"", "{00000001-0000-4000-8000-000000000001}", false, host::kNoError, 2},
        {"not placeable", 0, u"Door", u"", "", true, host::kErrBadName, 0},
        {"deleted part", 0, u"Gone", u"", "", false, host::kErrBadName, 0},
        {"unknown id", 0, u"", u"", kStranger, false, host::kErrBadName, 0},
        {"nothing to search by", 0, u"", u"", "", false, host::kErrBadParameters, 0},
        {"bad type", 14, u"Chair", u"", "", false, host::kErrBadParameters, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        host::LibraryPartRecord part{};
        part.type = c.type;
        setName(part.documentName, c.documentName);
        setName(part.fileName, c.fileName);
        std::strcpy(part.uniqueId, c.uniqueId.c_str());
        std::int32_t index = -1;
        EXPECT_EQ(search(part, index, c.onlyPlaceable), c.result);
        EXPECT_EQ(index, c.index);
    }
    host::LibraryPartRecord part{};
    setName(part.documentName, u"Chair");
    EXPECT_EQ(table().searchLibraryPart(context(), &part, 1, 0), host::kErrBadParameters);   // no making here
}

TEST_F(SimLibraryTest, FillsTheWholeRecordWithANewLocation) {
    host::LibraryPartRecord part{};
    part.index = 3;
    ASSERT_EQ(table().getLibraryPart(context(), &part), host::kNoError);
    EXPECT_EQ(name(part), "Chair");
    EXPECT_EQ(part.type, host::kLibraryObject);
    EXPECT_EQ(part.placeable, 1);
    EXPECT_EQ(part.ownerCode, host::fourcc("GSAC"));
    EXPECT_STREQ(part.uniqueId, kChair);
    EXPECT_STREQ(part.parentUniqueId, "");
    ASSERT_TRUE(host::isLivePtr(part.location));
    EXPECT_STREQ(part.location, "/library/Chair.gsm");
    host::disposePtr(part.location);
    part.index = 2;   // a part the project embeds has no location
    ASSERT_EQ(table().getLibraryPart(context(), &part), host::kNoError);
    EXPECT_EQ(part.location, nullptr);
    for (const std::int32_t index : {0, 6, 7, -1}) {
        part.index = index;
        EXPECT_EQ(table().getLibraryPart(context(), &part), host::kErrBadIndex) << index;
    }
    std::int32_t count = 0;
    ASSERT_EQ(table().getLibraryPartCount(context(), &count), host::kNoError);
    EXPECT_EQ(count, 6);   // the deleted part keeps its index
}

TEST_F(SimLibraryTest, WalksTheSubtypesOfAPartByParentOnceEach) {
    std::vector<std::int32_t> found;
    std::int32_t start = 0;
    for (int guard = 0; guard < 10; ++guard) {
        host::LibraryPartRecord part{};
        std::strcpy(part.parentUniqueId, kDoorFamily);
        part.index = start;
        std::int32_t index = 0;
        if (search(part, index) != host::kNoError) break;
        found.push_back(index);
        start = index;   // the next search starts after the part found
    }
    EXPECT_EQ(found, (std::vector<std::int32_t>{2, 4}));
}

TEST_F(SimLibraryTest, GivesTheUniqueIdOfAnIndex) {
    char text[host::kUniqueIdBytes];
    std::int16_t index = 3;
    ASSERT_EQ(utilities("GLUI", &index, text), host::kNoError);
    EXPECT_STREQ(text, kChair);
    index = 6;
    EXPECT_EQ(utilities("GLUI", &index, text), host::kErrBadIndex);
}

TEST_F(SimLibraryTest, FindsPartsChangedInPlaceOrAddedSinceTheLastSearch) {
    const auto byName = [&](const std::u16string& name) {
        host::LibraryPartRecord part{};
        setName(part.documentName, name);
        std::int32_t index = 0;
        search(part, index);
        return index;
    };
    const auto family = [&](const std::string& a) {
        return utilities("CLPS", a.c_str(), const_cast<char*>(kDoorFamily));
    };
    ASSERT_EQ(byName(u"Chair"), 3);
    ASSERT_EQ(family(kChair), host::kErrBadName);
    auto& parts = project().state.libraryParts;
    parts.at(2).name = "Stool";
    parts.at(2).parentId = kDoorFamily;
    EXPECT_EQ(byName(u"Chair"), 0);
    EXPECT_EQ(byName(u"stool"), 3);
    EXPECT_EQ(family(kChair), host::kNoError);
    host::SimLibraryPart copy = parts.at(2);
    copy.name = "Bench";
    copy.uniqueId = kStranger;
    parts.push_back(copy);
    EXPECT_EQ(byName(u"Bench"), 7);
    EXPECT_EQ(family(kStranger), host::kNoError);
    parts.at(2).deleted = true;
    EXPECT_EQ(byName(u"Stool"), 0);
}

TEST_F(SimLibraryTest, TellsWhetherAPartBelongsToAFamilyThroughItsParents) {
    struct Case {
        const char* a;
        const char* b;
        host::Result result;
    } const cases[] = {
        {kSingle, kDoorFamily, host::kNoError},        // a child
        {kSingleNewer, kDoorFamily, host::kNoError},   // a grandchild through the older single door
        {kSingleNewer, kSingle, host::kNoError},       // one main guid
        {kDoorFamily, kSingle, host::kErrBadName},     // not the other way round
        {kChair, kDoorFamily, host::kErrBadName},
        {kStranger, kDoorFamily, host::kErrBadName},   // not loaded, no relation
        {"Chair", kDoorFamily, host::kErrBadParameters},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.a) + " " + c.b);
        EXPECT_EQ(utilities("CLPS", c.a, const_cast<char*>(c.b)), c.result);
    }
}

TEST_F(SimLibraryTest, ComparesRevisionsOfOneFamilyByTheirLoadedOrder) {
    struct Case {
        const char* a;
        const char* b;
        host::Result result;
    } const cases[] = {
        {kSingle, kSingle, host::kNoError},
        {kSingle, kSingleNewer, host::kErrOlderRevision},
        {kSingleNewer, kSingle, host::kErrNewerRevision},
        {"{00000001-0000-4000-8000-000000000001}-{00000001-0000-4000-8000-0000000000FF}", kSingle,
         host::kErrOlderRevision},                    // a revision nobody carries is the oldest
        {kSingle, kChair, host::kErrBadParameters},   // two families
        {"", kSingle, host::kErrBadParameters},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.a) + " " + c.b);
        EXPECT_EQ(utilities("COMP", c.a, const_cast<char*>(c.b)), c.result);
    }
}

TEST_F(SimLibraryTest, MakesAPartInACommandThatUndoTakesBack) {
    host::LibraryPartRecord part = newPart(u"Bench");
    EXPECT_EQ(table().createLibraryPart(context(), &part), host::kErrOutsideUndoScope);
    const host::ProjectState before = project().state;
    ASSERT_EQ(
        inCommand([&] {
            if (host::Result r = table().createLibraryPart(context(), &part)) return r;
            EXPECT_EQ(table().createLibraryPart(context(), &part),
                      host::kErrRefusedCommand);   // one at a time
            const host::LibrarySectionHeader script = section("3DSC");
            if (host::Result r = table().addLibraryPartSection(context(), &script, nullptr, u"BLOCK 1, 1, 1"))
                return r;
            const host::LibrarySectionHeader preview = section("GIFF");
            host::Handle bytes = host::newHandle(2, false);
            std::memcpy(*bytes, "\x01\x02", 2);
            const host::Result added = table().addLibraryPartSection(context(), &preview, bytes, nullptr);
            EXPECT_EQ(table().addLibraryPartSection(context(), &preview, bytes, u"both"),
                      host::kErrBadParameters);
            host::disposeHandle(bytes);
            if (added) return added;
            return table().finishLibraryPart(context(), &part);
        }),
        host::kNoError);
    EXPECT_EQ(part.index, 7);
    EXPECT_EQ(part.savedCode, 1);
    EXPECT_EQ(std::strlen(part.uniqueId), 77u);   // a new "{main}-{revision}"
    EXPECT_STREQ(part.parentUniqueId, kDoorFamily);
    host::disposePtr(part.location);
    EXPECT_EQ(sectionBytes(7, "3DSC"), std::string("BLOCK 1, 1, 1\0", 14));
    EXPECT_EQ(sectionBytes(7, "GIFF"), "\x01\x02");
    char family[host::kUniqueIdBytes];
    std::memcpy(family, part.uniqueId, sizeof family);
    EXPECT_EQ(utilities("CLPS", family, const_cast<char*>(kDoorFamily)), host::kNoError);
    ASSERT_TRUE(host_->undo());
    EXPECT_EQ(project().state, before);
}

TEST_F(SimLibraryTest, LetsAPartOfTheSameNameBeReplacedOnlyWhileOverwriteIsOn) {
    host::LibraryPartRecord part = newPart(u"CHAIR");
    EXPECT_EQ(inCommand([&] { return table().createLibraryPart(context(), &part); }), host::kErrBadName);
    std::int32_t on = 1, off = 0;
    ASSERT_EQ(environment("OWLP", &on), host::kNoError);
    const host::Result made = inCommand([&] {
        if (host::Result r = table().createLibraryPart(context(), &part)) return r;
        return table().finishLibraryPart(context(), &part);
    });
    ASSERT_EQ(environment("OWLP", &off), host::kNoError);
    ASSERT_EQ(made, host::kNoError);
    host::disposePtr(part.location);
    EXPECT_EQ(part.index, 3);   // in place
    EXPECT_EQ(part.savedCode, 2);
    EXPECT_EQ(sectionBytes(3, "3DSC"), "");   // the new part has none of the old sections
    std::int32_t two = 2;
    EXPECT_EQ(environment("OWLP", &two), host::kErrBadParameters);
}

TEST_F(SimLibraryTest, DropsAPartLeftUnfinishedWhenItsCommandEnds) {
    host::LibraryPartRecord part = newPart(u"Stool");
    ASSERT_EQ(inCommand([&] { return table().createLibraryPart(context(), &part); }), host::kNoError);
    EXPECT_EQ(inCommand([&] { return table().finishLibraryPart(context(), &part); }),
              host::kErrRefusedCommand);
    const host::LibrarySectionHeader script = section("3DSC");
    EXPECT_EQ(inCommand([&] { return table().addLibraryPartSection(context(), &script, nullptr, u"x"); }),
              host::kErrRefusedCommand);
    std::int32_t count = 0;
    ASSERT_EQ(table().getLibraryPartCount(context(), &count), host::kNoError);
    EXPECT_EQ(count, 6);
}

TEST_F(SimLibraryTest, ListsAndReadsSectionsTextSectionsAlsoAsText) {
    std::int32_t count = -1;
    host::Handle headers = nullptr;
    ASSERT_EQ(table().getLibraryPartSectionList(context(), 3, &count, &headers), host::kNoError);
    ASSERT_EQ(count, 2);
    host::LibrarySectionHeader list[2];
    std::memcpy(list, *headers, sizeof list);
    host::disposeHandle(headers);
    EXPECT_EQ(list[0].type, host::fourcc("3DSC"));
    EXPECT_EQ(list[0].length, 14);   // the text and its terminator
    EXPECT_EQ(list[1].type, host::fourcc("GIFF"));
    ASSERT_EQ(table().getLibraryPartSectionList(context(), 2, &count, &headers), host::kNoError);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(headers, nullptr);

    host::Handle bytes = nullptr, text = nullptr;
    const host::LibrarySectionHeader script = section("3DSC");
    ASSERT_EQ(table().getLibraryPartSection(context(), 3, &script, &bytes, &text, nullptr), host::kNoError);
    EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(*text), host::getHandleSize(text) / 2),
              u"BLOCK A, B, 1");
    host::disposeHandle(bytes);
    host::disposeHandle(text);
    const host::LibrarySectionHeader preview = section("GIFF");
    ASSERT_EQ(table().getLibraryPartSection(context(), 3, &preview, &bytes, &text, nullptr), host::kNoError);
    EXPECT_EQ(text, nullptr);   // not a text section
    host::disposeHandle(bytes);
    const host::LibrarySectionHeader comment = section("CTXT");
    EXPECT_EQ(table().getLibraryPartSection(context(), 3, &comment, &bytes, &text, nullptr),
              host::kErrBadName);
    int reserved = 0;
    EXPECT_EQ(table().getLibraryPartSection(context(), 3, &script, &bytes, &text, &reserved),
              host::kErrBadParameters);
}

TEST_F(SimLibraryTest, UpdatesASectionInACommandAndCountsTheSave) {
    const host::LibrarySectionHeader comment = section("CTXT");
    EXPECT_EQ(table().updateLibraryPartSection(context(), 3, &comment, nullptr, u"abc", nullptr),
              host::kErrOutsideUndoScope);
    ASSERT_EQ(inCommand([&] {
                  return table().updateLibraryPartSection(context(), 3, &comment, nullptr, u"abc", nullptr);
              }),
              host::kNoError);
    EXPECT_EQ(sectionBytes(3, "CTXT"), std::string("abc\0", 4));
    host::LibraryPartRecord part{};
    part.index = 3;
    ASSERT_EQ(table().getLibraryPart(context(), &part), host::kNoError);
    host::disposePtr(part.location);
    EXPECT_EQ(part.savedCode, 2);
    EXPECT_EQ(inCommand([&] {
                  return table().updateLibraryPartSection(context(), 6, &comment, nullptr, u"x", nullptr);
              }),
              host::kErrBadIndex);
}

TEST_F(SimLibraryTest, HandsOutParametersWithArraysAsTheirOwnHandles) {
    double a = 0, b = 0;
    const auto records = parameters(3, a, b);
    EXPECT_EQ(a, 0.5);
    EXPECT_EQ(b, 0.6);
    ASSERT_EQ(records.size(), 4u);
    EXPECT_STREQ(records[0].name, "A");
    EXPECT_EQ(records[0].value.real, 0.5);
    EXPECT_EQ(std::u16string(records[1].value.text), u"Oak");
    EXPECT_EQ(records[2].modifier, host::kParameterArray);
    EXPECT_EQ(records[2].rows, 3);
    EXPECT_EQ(records[2].columns, 2);
    EXPECT_EQ(records[3].rows, 1);
    EXPECT_EQ(records[3].columns, 2);
    const auto none = parameters(2, a, b);
    EXPECT_TRUE(none.empty());
}

TEST_F(SimLibraryTest, TakesNewParametersFromAParameterSectionItMade) {
    host::Handle handle = nullptr;
    double a = 0, b = 0;
    std::int32_t count = 0;
    ASSERT_EQ(table().getLibraryPartParameters(context(), 3, &a, &b, &count, &handle), host::kNoError);
    host::ParameterRecord first;
    std::memcpy(&first, *handle, sizeof first);
    first.value.real = 0.8;
    std::memcpy(*handle, &first, sizeof first);
    host::LibraryPartRecord part{};
    host::Handle made = nullptr;
    ASSERT_EQ(table().makeParameterSection(context(), &part, handle, 0.8, 0.9, 0, &made, nullptr),
              host::kNoError);
    ASSERT_EQ(table().disposeParameters(context(), &handle), host::kNoError);
    const host::LibrarySectionHeader pard = section("PARD");
    ASSERT_EQ(inCommand([&] {
                  return table().updateLibraryPartSection(context(), 3, &pard, made, nullptr, nullptr);
              }),
              host::kNoError);
    host::disposeHandle(made);
    const auto records = parameters(3, a, b);
    EXPECT_EQ(a, 0.8);
    EXPECT_EQ(b, 0.9);
    ASSERT_EQ(records.size(), 4u);
    EXPECT_EQ(records[0].value.real, 0.8);
    EXPECT_EQ(records[2].rows, 3);

    host::Handle junk = host::newHandle(5, true);   // not a parameter section
    EXPECT_EQ(inCommand([&] {
                  return table().updateLibraryPartSection(context(), 3, &pard, junk, nullptr, nullptr);
              }),
              host::kErrBadParameters);
    host::disposeHandle(junk);
}

TEST_F(SimLibraryTest, RefusesParameterRecordsWhoseArraysDoNotFit) {
    host::Handle handle = host::newHandle(sizeof(host::ParameterRecord), true);
    host::ParameterRecord record{};
    record.type = 4;
    record.modifier = host::kParameterArray;
    record.rows = 2;
    record.columns = 2;
    record.value.array = host::newHandle(3 * sizeof(double), true);   // one value short
    std::memcpy(*handle, &record, sizeof record);
    host::LibraryPartRecord part{};
    host::LibraryPartDetails details{};
    part.index = 3;
    EXPECT_EQ(inCommand([&] { return table().setLibraryPartDetails(context(), &part, handle, &details); }),
              host::kErrBadParameters);
    record.modifier = 1;   // neither scalar nor array
    std::memcpy(*handle, &record, sizeof record);
    host::Handle made = nullptr;
    EXPECT_EQ(table().makeParameterSection(context(), &part, handle, 1, 1, 0, &made, nullptr),
              host::kErrBadParameters);
    record.modifier = host::kParameterArray;
    std::memcpy(*handle, &record, sizeof record);
    EXPECT_EQ(table().disposeParameters(context(), &handle), host::kNoError);   // the array goes too
}

TEST_F(SimLibraryTest, KeepsTheDetailsOfAPart) {
    host::LibraryPartDetails details{};
    ASSERT_EQ(table().getLibraryPartDetails(context(), 3, &details), host::kNoError);
    EXPECT_EQ(details.bytes[0], 1);
    EXPECT_EQ(details.bytes[2], 1);
    ASSERT_EQ(table().getLibraryPartDetails(context(), 2, &details), host::kNoError);
    EXPECT_EQ(details.bytes[0], 0);
    details.bytes[2] = 1;
    host::LibraryPartRecord part{};
    part.index = 2;
    EXPECT_EQ(table().setLibraryPartDetails(context(), &part, nullptr, &details), host::kErrOutsideUndoScope);
    ASSERT_EQ(inCommand([&] { return table().setLibraryPartDetails(context(), &part, nullptr, &details); }),
              host::kNoError);
    host::LibraryPartDetails read{};
    ASSERT_EQ(table().getLibraryPartDetails(context(), 2, &read), host::kNoError);
    EXPECT_EQ(read.bytes[2], 1);
    part.index = 0;   // no part is being made
    EXPECT_EQ(inCommand([&] { return table().setLibraryPartDetails(context(), &part, nullptr, &details); }),
              host::kErrRefusedCommand);
}

TEST_F(SimLibraryTest, RegistersAnExistingFileOnce) {
    HostScratch scratch;
    const std::string path = scratch.write("Lamp Post.gsm", "gdl");
    host::LibraryPartRecord part{};
    part.type = host::kLibraryLamp;
    part.ownerCode = host::fourcc("GSAC");
    part.location = location(scratch.file("Missing.gsm"));
    EXPECT_EQ(inCommand([&] { return table().registerLibraryPart(context(), &part); }), host::kErrFile);
    host::disposePtr(part.location);
    part.location = location(path);
    char* mine = part.location;
    EXPECT_EQ(table().registerLibraryPart(context(), &part), host::kErrOutsideUndoScope);
    ASSERT_EQ(inCommand([&] { return table().registerLibraryPart(context(), &part); }), host::kNoError);
    EXPECT_EQ(part.index, 7);
    EXPECT_EQ(name(part), "Lamp Post");
    EXPECT_EQ(part.ownerCode, host::fourcc("GSAC"));
    EXPECT_EQ(part.location, mine);   // still the caller's one block
    ASSERT_EQ(inCommand([&] { return table().registerLibraryPart(context(), &part); }), host::kNoError);
    EXPECT_EQ(part.index, 7);
    host::disposePtr(mine);
    char text[] = "/not/a/block";
    part.location = text;
    EXPECT_EQ(inCommand([&] { return table().registerLibraryPart(context(), &part); }), host::kErrBadHandle);
}

TEST_F(SimLibraryTest, KeepsTheLibraryFoldersAndDeletesPartFiles) {
    HostScratch scratch;
    const std::string folder = std::filesystem::path(scratch.write("keep", "")).parent_path().string();
    host::Handle records = nullptr;
    std::int32_t current = 5;
    ASSERT_EQ(environment("GLIB", &records, &current), host::kNoError);
    EXPECT_EQ(records, nullptr);
    EXPECT_EQ(current, -1);
    char* notFolder = location(scratch.file("keep"));
    EXPECT_EQ(environment("ALIB", notFolder), host::kErrFile);
    host::disposePtr(notFolder);
    char* where = location(folder);
    ASSERT_EQ(environment("ALIB", where), host::kNoError);
    ASSERT_EQ(environment("GLIB", &records, &current), host::kNoError);
    ASSERT_EQ(host::getHandleSize(records), sizeof(host::LibraryInfoRecord));
    host::LibraryInfoRecord info;
    std::memcpy(static_cast<void*>(&info), *records, sizeof info);
    EXPECT_STREQ(info.location, folder.c_str());
    ASSERT_EQ(automation("LLIB", records), host::kNoError);   // reloading keeps the same folders
    host::disposePtr(info.location);
    EXPECT_EQ(automation("LLIB", records), host::kErrBadHandle);   // a location already disposed
    host::disposeHandle(records);
    EXPECT_EQ(project().state.libraryFolders, std::vector<std::string>{folder});
    host::disposePtr(where);

    // A part file: deleting it unloads its part and removes the file.
    const std::string path = scratch.write("Table.gsm", "gdl");
    host::LibraryPartRecord part{};
    part.type = host::kLibraryObject;
    part.location = location(path);
    ASSERT_EQ(inCommand([&] { return table().registerLibraryPart(context(), &part); }), host::kNoError);
    host::disposePtr(part.location);
    char* file = location(path);
    EXPECT_EQ(environment("DELI", file, reinterpret_cast<void*>(1)), host::kErrOutsideUndoScope);
    ASSERT_EQ(inCommand([&] { return environment("DELI", file, reinterpret_cast<void*>(1)); }),
              host::kNoError);
    host::disposePtr(file);
    EXPECT_FALSE(std::filesystem::exists(path));
    part.index = 7;
    EXPECT_EQ(table().getLibraryPart(context(), &part), host::kErrBadIndex);
}

TEST_F(SimLibraryTest, AnswersAnInjectedFaultOnTheSecondSearch) {
    host_->injectFault({HostSlot::searchLibraryPart, std::nullopt}, 2, host::kErrMemFull);
    host::LibraryPartRecord part{};
    setName(part.documentName, u"Chair");
    std::int32_t index = 0;
    EXPECT_EQ(search(part, index), host::kNoError);
    part = host::LibraryPartRecord{};
    setName(part.documentName, u"Chair");
    EXPECT_EQ(search(part, index), host::kErrMemFull);
    EXPECT_EQ(part.location, nullptr);
    EXPECT_EQ(search(part, index), host::kNoError);
}

TEST_F(SimLibraryTest, LoadsTheExampleProjectWhosePlacedPartsAreLoadedAndPlaceable) {
    std::string error;
    ASSERT_TRUE(project().loadFile(std::string(TEST_SOURCE_DIR) + "/../../examples/project.json", error))
        << error;
    const std::pair<std::int32_t, std::int32_t> kinds[] = {
        {host::kElementObject, host::kLibraryObject},
        {host::kElementDoor, host::kLibraryDoor},
        {host::kElementWindow, host::kLibraryWindow},
        {host::kElementLamp, host::kLibraryLamp},
    };
    int placed = 0;
    int missing = 0;
    for (const host::SimElement& element : project().state.elements) {
        for (const auto& [elementType, partType] : kinds) {
            if (element.head().type != elementType) continue;
            const bool opening = elementType == host::kElementDoor || elementType == host::kElementWindow;
            std::int32_t index;
            std::memcpy(&index,
                        element.record.data() +
                            (opening ? host::kOpeningLibraryIndexOffset : host::kObjectLibraryIndexOffset),
                        sizeof index);
            const host::SimLibraryPart* part = project().findLibraryPart(index);
            if (!part) {   // the example's element whose library part is missing (deleted)
                ++missing;
                continue;
            }
            EXPECT_EQ(part->type, partType) << part->name;
            EXPECT_TRUE(part->placeable) << part->name;
            ++placed;
        }
    }
    EXPECT_EQ(placed, 9);
    EXPECT_EQ(missing, 1);
    EXPECT_TRUE(project().layerHidden(4));
    host::SimProject again;
    ASSERT_TRUE(again.loadText(project().saveText(), error)) << error;
    EXPECT_EQ(again.state, project().state);
    // The replacement door belongs to the door family, by which a part's kind is told.
    const std::string glazed = project().findLibraryPart(7)->uniqueId;
    EXPECT_EQ(utilities("CLPS", glazed.c_str(), const_cast<char*>(kDoorFamily)), host::kNoError);
    const std::string modern = project().findLibraryPart(2)->uniqueId;
    EXPECT_EQ(utilities("CLPS", modern.c_str(), const_cast<char*>(kDoorFamily)), host::kErrBadName);
}

TEST_F(SimLibraryTest, SavesAndLoadsTheLibraryUnchanged) {
    const std::string saved = project().saveText();
    host::SimProject loaded;
    std::string error;
    ASSERT_TRUE(loaded.loadText(saved, error)) << error;
    EXPECT_EQ(loaded.state.libraryParts, project().state.libraryParts);
    EXPECT_EQ(loaded.saveText(), saved);
    const char* const bad[] = {
        R"({"library": {"parts": [{"type": 4, "name": "A", "uniqueId": "A"}]}})",
        R"({"library": {"parts": [{"type": 0, "name": "A", "uniqueId": "{00000001-0000-4000-8000-000000000001}"}]}})",
        R"({"library": {"current": 0}})",
        R"({"library": {"parts": [{"type": 4, "name": "A", "uniqueId": "{00000001-0000-4000-8000-000000000001}",
            "parameters": [{"name": "x", "type": 2, "value": [[1], [1, 2]]}]}]}})",
    };
    for (const char* json : bad) {
        SCOPED_TRACE(json);
        EXPECT_FALSE(loaded.loadText(json, error));
    }
}

}   // namespace
