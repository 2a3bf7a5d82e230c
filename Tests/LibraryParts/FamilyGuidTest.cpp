#include "LibraryParts/FamilyGuid.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <HostResult.h>
#include <HostTable.h>

#include "Support/DrawingFixture.h"

using tarnwick::FamilyGuid;
using tarnwick::Guid;
using tarnwick::String;

namespace {

constexpr const char* kDoorFamily =
    "{11E85B84-8DD1-491B-A2FE-337454A91545}-{9CD857B9-18A7-4F56-80E4-3E80CF98C51C}";

}   // namespace

TEST(FamilyGuid, AnswersMainAndRevisionGuidsOfItsText) {
    struct Case {
        const char* text;
        const char* main;       // "" for the null Guid
        const char* revision;   // "" for the null Guid
    };
    const Case cases[] = {
        {kDoorFamily, "11E85B84-8DD1-491B-A2FE-337454A91545", "9CD857B9-18A7-4F56-80E4-3E80CF98C51C"},
        {"{0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9}", "0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9", ""},
        {"{00000000-0000-0000-0000-000000000001}-{00000000-0000-0000-0000-000000000002}-"
         "{00000000-0000-0000-0000-000000000003}",
         "00000000-0000-0000-0000-000000000001", "00000000-0000-0000-0000-000000000003"},
        {"", "", ""},
        {"abcdef01-2345-6789-abcd-ef0123456789-{ABCDEF01-2345-6789-ABCD-EF0123456780}",
         "ABCDEF01-2345-6789-ABCD-EF0123456789", "ABCDEF01-2345-6789-ABCD-EF0123456780"},
        {"no guid here {1234}", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const FamilyGuid id(c.text);
        EXPECT_EQ(id.isValid(), *c.text != '\0');
        EXPECT_EQ(id.getMainGuid(), *c.main ? Guid(String(c.main)) : Guid());
        EXPECT_EQ(id.getRevisionGuid(), *c.revision ? Guid(String(c.revision)) : Guid());
    }
}

TEST(FamilyGuid, FindsEveryGuidLeftToRightWithTheirBraces) {
    const FamilyGuid id("x{11E85B84-8DD1-491B-A2FE-337454A91545}y9cd857b9-18a7-4f56-80e4-3e80cf98c51c}");
    std::vector<String> guids{String("kept")};
    EXPECT_EQ(id.findGuids(guids), 2u);
    ASSERT_EQ(guids.size(), 3u);
    EXPECT_EQ(guids[1], "{11E85B84-8DD1-491B-A2FE-337454A91545}");
    EXPECT_EQ(guids[2], "9cd857b9-18a7-4f56-80e4-3e80cf98c51c}");
}

TEST(FamilyGuid, IsMadeFromAGuidAsItsTextForm) {
    const Guid guid(String("11E85B84-8DD1-491B-A2FE-337454A91545"));
    const FamilyGuid id(guid);
    EXPECT_EQ(id.getMainGuid(), guid);
    EXPECT_FALSE(id.getRevisionGuid().isValid());
    EXPECT_FALSE(FamilyGuid(Guid()).getMainGuid().isValid());
}

TEST(FamilyGuid, CloneKeepsTheKindAndText) {
    const FamilyGuid id(kDoorFamily);
    const std::unique_ptr<String> copy = id.clone();
    ASSERT_NE(dynamic_cast<FamilyGuid*>(copy.get()), nullptr);
    EXPECT_EQ(copy->getView(), id.getView());
}

// The family tests are the host's: parts of one main guid loaded in a known order.
class FamilyGuidHost : public DrawingFixture {
protected:
    static constexpr const char* kOld =
        "{5B2F0E11-1111-4A4A-8B8B-000000000001}-{00000000-0000-0000-0000-0000000000A1}";
    static constexpr const char* kNew =
        "{5B2F0E11-1111-4A4A-8B8B-000000000001}-{00000000-0000-0000-0000-0000000000A2}";
    static constexpr const char* kOther =
        "{77777777-1111-4A4A-8B8B-000000000009}-{00000000-0000-0000-0000-0000000000B1}";
    static constexpr const char* kChild =
        "{88888888-1111-4A4A-8B8B-000000000009}-{00000000-0000-0000-0000-0000000000C1}";

    void SetUp() override {
        DrawingFixture::SetUp();
        auto& parts = host_->project().state.libraryParts;
        for (const auto& [name, id, parent] :
             {std::tuple{"Old", kOld, ""}, std::tuple{"New", kNew, ""}, std::tuple{"Other", kOther, ""},
              std::tuple{"Child", kChild, kOther}}) {
            host::SimLibraryPart part;
            part.name = name;
            part.fileName = std::string(name) + ".gsm";
            part.uniqueId = id;
            part.parentId = parent;
            parts.push_back(part);
        }
    }
};

TEST_F(FamilyGuidHost, CompareMapsTheHostsAnswers) {
    struct Case {
        const char* first;
        const char* second;
        int expected;
    };
    const Case cases[] = {
        {kOld, kOld, FamilyGuid::kCompareSame},
        {kOld, kNew, FamilyGuid::kCompareOlder},
        {kNew, kOld, FamilyGuid::kCompareNewer},
        {kOld, kOther, FamilyGuid::kCompareUnrelated},
        {"not an id", kOld, FamilyGuid::kCompareUnrelated},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.first) + " / " + c.second);
        EXPECT_EQ(FamilyGuid(c.first).compare(FamilyGuid(c.second)), c.expected);
    }
    EXPECT_EQ(host_->countCalls(host::HostSlot::utilities, host::fourcc("COMP")), std::size(cases));
}

TEST_F(FamilyGuidHost, EqualityIsTheHostsOneWayFamilyTest) {
    EXPECT_TRUE(FamilyGuid(kChild) == FamilyGuid(kOther));    // the child descends from the other
    EXPECT_FALSE(FamilyGuid(kOther) == FamilyGuid(kChild));   // not the other way round
    EXPECT_TRUE(FamilyGuid(kOld) == FamilyGuid(kNew));        // one main guid
    EXPECT_FALSE(FamilyGuid(kOld) == FamilyGuid(kOther));
    EXPECT_TRUE(FamilyGuid(kOld) != FamilyGuid(kOther));
}

TEST_F(FamilyGuidHost, AFailingHostCallIsNeitherEqualNorRelated) {
    host_->injectFault({host::HostSlot::utilities, std::nullopt}, 0, host::kErrMissingFunction);
    EXPECT_FALSE(FamilyGuid(kOld) == FamilyGuid(kOld));
    EXPECT_EQ(FamilyGuid(kOld).compare(FamilyGuid(kOld)), FamilyGuid::kCompareUnrelated);
}
