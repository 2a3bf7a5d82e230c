// The project's element table: found by GUID, and shared with an undo step's picture until changed.
#include <random>
#include <utility>
#include <vector>

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

// Whatever happens to the table, a lookup finds what a walk over the elements finds first.
TEST(SimElementTable, FindsWhatAWalkFindsThroughAnyMixOfChanges) {
    SimElementTable table;
    std::vector<host::GuidBytes> known;
    std::mt19937 random(15);
    const auto pick = [&](std::size_t n) { return static_cast<std::size_t>(random() % n); };
    const auto walk = [&](const host::GuidBytes& guid) -> const SimElement* {
        for (const SimElement& element : std::as_const(table))
            if (element.guid() == guid && !host::isNullGuid(guid)) return &element;
        return nullptr;
    };
    SimElementTable picture;
    for (int step = 0; step < 3000; ++step) {
        const std::size_t what = pick(10);
        if (what < 4 || table.empty()) {   // a new element, now and then with a GUID already there
            known.push_back(what == 0 && !known.empty() ? known[pick(known.size())] : host::newGuidBytes());
            table.push_back(elementWith(known.back(), host::kElementObject));
        } else if (what == 4) {
            table.erase(table.begin() + static_cast<std::ptrdiff_t>(pick(table.size())));
        } else if (what == 5) {   // a record written with another GUID, or with none
            host::ElementHead head = table[pick(table.size())].head();
            known.push_back(pick(4) == 0 ? host::GuidBytes{} : host::newGuidBytes());
            head.guid = host::toGuidRecord(known.back());
            table[pick(table.size())].setHead(head);
        } else if (what == 6) {
            picture = table;
        } else if (what == 7 && pick(8) == 0) {
            table = picture;
        }
        for (int probe = 0; probe < 4; ++probe) {
            const host::GuidBytes guid = pick(8) == 0 ? host::newGuidBytes() : known[pick(known.size())];
            ASSERT_EQ(std::as_const(table).find(guid), walk(guid)) << "step " << step;
        }
    }
}

}   // namespace
