#include <cstdint>
#include <cstring>

#include <HostText.h>

#include "Host/SimProjectFixture.h"

namespace {

constexpr const char* kSection = "5A1C0000-0000-4000-8000-000000000001";
constexpr const char* kElevation = "E1E00000-0000-4000-8000-000000000001";
constexpr const char* kMaster = "3A570000-0000-4000-8000-000000000001";
constexpr const char* kLayout = "1A900000-0000-4000-8000-000000000001";
constexpr const char* kChair = "0B1E0000-0000-4000-8000-000000000001";
constexpr const char* kShown = "5EC70000-0000-4000-8000-000000000001";

constexpr const char* kProject = R"({
  "storeys": [{"index": -1, "name": "Cellar", "level": -2.5, "height": 2.5},
              {"index": 0, "name": "Ground", "level": 0, "height": 3, "number": 10}],
  "databases": [
    {"type": 2, "guid": "5A1C0000-0000-4000-8000-000000000001", "title": "S-01 A", "name": "A", "reference": "S-01",
     "scale": 50},
    {"type": 10, "guid": "E1E00000-0000-4000-8000-000000000001", "name": "South"},
    {"type": 9, "guid": "3A570000-0000-4000-8000-000000000001", "name": "Master"},
    {"type": 5, "guid": "1A900000-0000-4000-8000-000000000001", "master": "3A570000-0000-4000-8000-000000000001",
     "name": "Plans"}
  ],
  "elements": [
    {"guid": "0B1E0000-0000-4000-8000-000000000001", "type": 6, "storey": 0, "layer": 1},
    {"guid": "5EC70000-0000-4000-8000-000000000001", "type": 29, "storey": 0, "layer": 1,
     "database": "5A1C0000-0000-4000-8000-000000000001", "parentType": 6,
     "parentGuid": "0B1E0000-0000-4000-8000-000000000001"}
  ],
  "teamwork": {"shared": true, "member": 2, "members": [{"id": 2, "name": "Ann", "loginName": "ann"}]},
  "toolbox": {"type": 7, "variation": 3}
})";

std::string text(const char16_t* field) { return host::utf16ToUtf8(field); }

class SimDatabasesTest : public SimProjectFixture {
protected:
    void SetUp() override {
        SimProjectFixture::SetUp();
        open(kProject);
    }

    host::DatabaseRecord record(std::int32_t type, const std::string& guidText = "") {
        host::DatabaseRecord r{};
        r.type = type;
        if (!guidText.empty()) r.guid = guid(guidText);
        return r;
    }
};

TEST_F(SimDatabasesTest, ReadsAndWritesTheTextsOfADatabase) {
    host::DatabaseRecord section = record(host::kDatabaseSection, kSection);
    ASSERT_EQ(database("GDBI", &section), host::kNoError);
    EXPECT_EQ(text(section.title), "S-01 A");
    EXPECT_EQ(text(section.name), "A");
    EXPECT_EQ(text(section.reference), "S-01");

    const std::u16string longName(300, u'x');   // cut to the field, which keeps its terminator
    std::copy_n(longName.begin(), 255, section.name);
    std::copy_n(u"S-02", 5, section.reference);
    ASSERT_EQ(database("MDAT", &section), host::kNoError);   // no command needed
    host::DatabaseRecord again = record(host::kDatabaseSection, kSection);
    ASSERT_EQ(database("GDBI", &again), host::kNoError);
    EXPECT_EQ(text(again.reference), "S-02");
    EXPECT_EQ(text(again.name).size(), 255u);

    // A layout's master must be a master layout; types 5 and 9 find each other's lists.
    host::DatabaseRecord layout = record(host::kDatabaseLayout, kLayout);
    ASSERT_EQ(database("GDBI", &layout), host::kNoError);
    EXPECT_EQ(host::guidToText(layout.masterGuid), kMaster);
    layout.masterGuid = guid(kSection);
    EXPECT_EQ(database("MDAT", &layout), host::kErrBadIndex);
    host::DatabaseRecord master = record(host::kDatabaseLayout, kMaster);
    ASSERT_EQ(database("GDBI", &master), host::kNoError);
    EXPECT_EQ(master.type, host::kDatabaseMasterLayout);

    host::DatabaseRecord wrongKind = record(host::kDatabaseElevation, kSection);
    EXPECT_EQ(database("GDBI", &wrongKind), host::kErrBadIndex);
    host::DatabaseRecord plan = record(host::kDatabasePlan);
    ASSERT_EQ(database("GDBI", &plan), host::kNoError);
    EXPECT_EQ(text(plan.name), "Floor Plan");
}

TEST_F(SimDatabasesTest, KeepsTheCurrentDatabaseAndTheFrontWindowApart) {
    host::DatabaseRecord current{};
    ASSERT_EQ(database("GDAT", &current), host::kNoError);
    EXPECT_EQ(current.type, host::kDatabasePlan);

    host::DatabaseRecord section = record(host::kDatabaseSection, kSection);
    EXPECT_EQ(automation("CHWD", &section), host::kNoError);
    ASSERT_EQ(database("GDAT", &current), host::kNoError);
    EXPECT_EQ(current.type, host::kDatabasePlan);   // bringing a window forward does not switch the database
    ASSERT_EQ(database("GWIN", &current), host::kNoError);
    EXPECT_EQ(host::guidToText(current.guid), kSection);

    EXPECT_EQ(makeCurrent(host::kDatabaseSection, kSection), host::kNoError);
    EXPECT_EQ(elementList(0), std::vector<std::string>{kShown});
    host::ElementRecord shown{};
    shown.head.guid = guid(kShown);
    ASSERT_EQ(table().getElement(context(), &shown), host::kNoError);
    EXPECT_EQ(shown.body[host::kSectionParentTypeOffset - 112], host::kElementObject);
    host::ElementRecord chair{};
    chair.head.guid = guid(kChair);
    EXPECT_EQ(table().getElement(context(), &chair), host::kErrBadIndex);   // not in this database
    EXPECT_EQ(database("GEFA", &chair), host::kNoError);                    // from any database
    EXPECT_EQ(chair.head.type, host::kElementObject);

    EXPECT_EQ(makeCurrent(host::kDatabaseModel), host::kNoError);   // the 3D window shows the plan's elements
    EXPECT_EQ(elementList(0), std::vector<std::string>{kChair});
    EXPECT_EQ(makeCurrent(host::kDatabaseWorksheet, kSection), host::kErrBadIndex);
    ASSERT_EQ(database("GDAT", &current), host::kNoError);
    EXPECT_EQ(current.type, host::kDatabaseModel);
}

TEST_F(SimDatabasesTest, ListsTheViewsOfEachKindAndMakesAndDeletesLayoutsAndWorksheets) {
    struct Case {
        const char* code;
        std::vector<std::string> expected;
    };
    const Case lists[] = {
        {"GSDI", {kSection}}, {"GEDI", {kElevation}}, {"GMDI", {kMaster}}, {"GLDI", {kLayout}},
        {"GDDI", {}},         {"GD3D", {}},           {"GIED", {}},        {"GWDI", {}}};
    for (const Case& c : lists) {
        SCOPED_TRACE(c.code);
        host::Handle guids = reinterpret_cast<host::Handle>(1);
        ASSERT_EQ(database(c.code, &guids), host::kNoError);
        EXPECT_EQ(guidTexts(guids), c.expected);
    }

    host::DatabaseRecord worksheet = record(host::kDatabaseWorksheet);
    std::copy_n(u"Notes", 6, worksheet.name);
    std::copy_n(u"W-1", 4, worksheet.reference);
    ASSERT_EQ(database("NDAT", &worksheet), host::kNoError);
    host::DatabaseRecord layout = record(host::kDatabaseLayout);
    layout.masterGuid = guid(kMaster);
    ASSERT_EQ(database("NDAT", &layout), host::kNoError);
    host::DatabaseRecord section = record(host::kDatabaseSection);
    EXPECT_EQ(database("NDAT", &section), host::kErrBadParameters);   // only layouts and worksheets
    host::Handle guids = nullptr;
    ASSERT_EQ(database("GWDI", &guids), host::kNoError);
    EXPECT_EQ(guidTexts(guids), std::vector<std::string>{host::guidToText(worksheet.guid)});
    host::DatabaseRecord read = record(host::kDatabaseWorksheet, host::guidToText(worksheet.guid));
    ASSERT_EQ(database("GDBI", &read), host::kNoError);
    EXPECT_EQ(text(read.reference), "W-1");

    // Deleting the current database takes its elements and makes the floor plan current.
    EXPECT_EQ(makeCurrent(host::kDatabaseWorksheet, host::guidToText(worksheet.guid)), host::kNoError);
    host::ElementRecord note{};
    note.head.type = 6;
    EXPECT_EQ(inCommand([&] { return table().createElement(context(), &note, nullptr); }), host::kNoError);
    EXPECT_EQ(database("DDAT", &worksheet), host::kNoError);
    EXPECT_EQ(project().findElement(host::toGuidBytes(note.head.guid)), nullptr);
    host::DatabaseRecord current{};
    ASSERT_EQ(database("GDAT", &current), host::kNoError);
    EXPECT_EQ(current.type, host::kDatabasePlan);
    EXPECT_EQ(database("DDAT", &worksheet), host::kErrBadIndex);
    host::DatabaseRecord sectionToDelete = record(host::kDatabaseSection, kSection);
    EXPECT_EQ(database("DDAT", &sectionToDelete), host::kErrBadParameters);
}

TEST_F(SimDatabasesTest, GivesTheStoreysWithOneRecordAboveTheTopAndGoesToAStorey) {
    host::StoreyInfoRecord info{};
    EXPECT_EQ(environment("GSTO", &info, nullptr), host::kErrBadParameters);
    ASSERT_EQ(environment("GSTO", &info, reinterpret_cast<void*>(std::uintptr_t(host::kStoreyInfoAll))),
              host::kNoError);
    EXPECT_EQ(info.currentIndex, -1);   // the first storey unless the file says otherwise
    ASSERT_EQ(host::getHandleSize(info.storeys), 3 * sizeof(host::StoreyRecord));
    host::StoreyRecord storeys[3];
    std::memcpy(storeys, *info.storeys, sizeof storeys);
    host::disposeHandle(info.storeys);
    EXPECT_EQ(storeys[0].index, -1);
    EXPECT_EQ(text(storeys[0].name), "Cellar");
    EXPECT_DOUBLE_EQ(storeys[1].level, 0.0);
    EXPECT_EQ(storeys[1].number, 10);
    EXPECT_EQ(storeys[2].index, 1);
    EXPECT_DOUBLE_EQ(storeys[2].level, 3.0);   // the top storey's level plus its height

    host::StoreyCommandRecord go{};
    go.index = 0;
    EXPECT_EQ(environment("CSTO", &go), host::kNoError);
    go.index = 4;
    EXPECT_EQ(environment("CSTO", &go), host::kErrBadIndex);
    EXPECT_EQ(project().view.currentStorey, 0);
}

TEST_F(SimDatabasesTest, AnswersTheProjectMembersToolboxAndViewCodes) {
    host::ProjectInfoRecord info{};
    ASSERT_EQ(environment("PROJ", &info), host::kNoError);
    EXPECT_EQ(info.untitled, 1);
    EXPECT_EQ(info.location, nullptr);
    EXPECT_EQ(info.shared, 1);

    host::SharingRecord sharing{};
    ASSERT_EQ(environment("SHAR", &sharing), host::kNoError);
    ASSERT_EQ(sharing.count, 1);
    host::MemberRecord member;
    std::memcpy(&member, *sharing.users, sizeof member);
    host::disposeHandle(sharing.users);
    EXPECT_EQ(text(member.name), "Ann");
    EXPECT_EQ(text(member.loginName), "ann");
    EXPECT_EQ(member.memberId, 2);

    host::ToolboxRecord tool{};
    ASSERT_EQ(environment("GTBX", &tool), host::kNoError);
    EXPECT_EQ(tool.type, 7);
    EXPECT_EQ(tool.variation, 3);
    host::GuidRecord renovation = guid(kChair);
    ASSERT_EQ(environment("GARF", &renovation), host::kNoError);
    EXPECT_TRUE(host::isNullGuid(host::toGuidBytes(renovation)));

    host::BoxRecord box{1, 2, 5, 7};
    EXPECT_EQ(automation("ZOOM", &box), host::kNoError);
    host::BoxRecord zoom{};
    ASSERT_EQ(database("GZOM", &zoom), host::kNoError);
    EXPECT_DOUBLE_EQ(zoom.xMax, 5);
    host::BoxRecord upsideDown{5, 2, 1, 7};
    EXPECT_EQ(automation("ZOOM", &upsideDown), host::kErrBadParameters);
    EXPECT_EQ(makeCurrent(host::kDatabaseSection, kSection), host::kNoError);
    double scale = 0;
    ASSERT_EQ(database("GSCL", &scale), host::kNoError);
    EXPECT_DOUBLE_EQ(scale, 50);
    ASSERT_EQ(database("GEX2", &zoom), host::kNoError);
    EXPECT_DOUBLE_EQ(zoom.xMax, 20);   // the default extent

    std::int32_t unknownPart = 99;
    std::int16_t type = 0;
    EXPECT_EQ(table().utilities(context(), host::fourcc("NTOE"), &unknownPart, &type, nullptr),
              host::kErrBadParameters);
    EXPECT_EQ(database("XXXX", &scale), host::kErrBadParameters);
    EXPECT_EQ(database("GDBI"), host::kErrBadParameters);
}

TEST_F(SimDatabasesTest, AFaultOnADatabaseCodeChangesNothing) {
    host_->injectFault({host::HostSlot::database, host::fourcc("MDAT")}, 0, host::kErrGeneral);
    const host::ProjectState before = project().state;
    host::DatabaseRecord section = record(host::kDatabaseSection, kSection);
    std::copy_n(u"Z", 2, section.name);
    EXPECT_EQ(database("MDAT", &section), host::kErrGeneral);
    EXPECT_EQ(project().state, before);
    EXPECT_EQ(database("GDBI", &section), host::kNoError);   // other codes still answer
}

}   // namespace
