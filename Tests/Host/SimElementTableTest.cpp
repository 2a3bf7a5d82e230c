// The project's element table: found by GUID, and shared with an undo step's picture until changed.
#include <SimElementTable.h>
#include <SimProject.h>

#include "Host/HostTestSupport.h"

namespace {

using host::SimElement;
using host::SimElementTable;

SimElement elementWith(const host::GuidBytes& guid, std::int32_t type) {
    SimElement element;
    host::ElementHead head{};
    head.type = type;
    head.guid = host::toGuidRecord(guid);
    element.setHead(head);
    return element;
}

TEST(SimElementTable, APictureSharesWhatTheTableDidNotChangeSince) {
    SimElementTable table;
    std::vector<host::GuidBytes> guids;
    for (int i = 0; i < 5; ++i) {
        guids.push_back(host::newGuidBytes());
        table.push_back(elementWith(guids.back(), host::kElementObject));
    }
    const SimElementTable picture = table;   // what an undoable command keeps before it runs
    EXPECT_EQ(table.countShared(), 5u);
    // Reading through a const table copies nothing; a write copies the one element written.
    EXPECT_EQ(std::as_const(table).find(guids[2])->head().type, host::kElementObject);
    EXPECT_EQ(table.countShared(), 5u);
    host::ElementHead head = table.find(guids[2])->head();
    head.type = host::kElementLamp;
    table.find(guids[2])->setHead(head);
    EXPECT_EQ(table.countShared(), 4u);
    EXPECT_EQ(picture[2].head().type, host::kElementObject);
    EXPECT_FALSE(table == picture);
    // Erasing leaves the picture whole and the index right.
    EXPECT_EQ(table.eraseIf([&](const SimElement& e) { return e.guid() == guids[0]; }), 1u);
    EXPECT_EQ(table.find(guids[0]), nullptr);
    EXPECT_EQ(table.find(guids[4]), &table[3]);
    EXPECT_EQ(picture.size(), 5u);
    // A record written with another GUID is still found by the new one, and no more by the old one.
    const host::GuidBytes renamed = host::newGuidBytes();
    head = table.find(guids[1])->head();
    head.guid = host::toGuidRecord(renamed);
    table.find(guids[1])->setHead(head);
    EXPECT_EQ(table.find(renamed), &table[0]);
    EXPECT_EQ(table.find(guids[1]), nullptr);
    EXPECT_EQ(table.find(host::GuidBytes{}), nullptr);
    // Putting the picture back gives the project as it was.
    table = picture;
    EXPECT_TRUE(table == picture);
    EXPECT_EQ(table.find(guids[0]), &table[0]);
}

}   // namespace
