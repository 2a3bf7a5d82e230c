// The default answer for a table's file that cannot be read, over everything a run can know of it: only a
// lone file that no save cut, with nothing beside it, takes a new table by default.
#include <gtest/gtest.h>

#include "Skellowing/UnreadableTable.h"

namespace {

using skellow::UnreadableTable;
using Answer = UnreadableTable::Answer;
using Record = UnreadableTable::Record;

TEST(UnreadableTable, NoDefaultWritesOverWhatMayBeTheOnlyRows) {
    int cases = 0;
    for (const bool severalNames : {false, true})
        for (const Record record : {Record::none, Record::followed, Record::unfollowable})
            for (const bool recordsKept : {false, true})
                for (const std::size_t wholeCopies : {0u, 1u, 2u}) {
                    const UnreadableTable known{severalNames, record, recordsKept, wholeCopies};
                    SCOPED_TRACE(testing::Message() << "names " << (severalNames ? 2 : 1) << ", record "
                                                    << static_cast<int>(record) << ", records kept "
                                                    << recordsKept << ", copies " << wholeCopies);
                    const Answer expected = record == Record::followed ? Answer::putBack
                                            : !severalNames && record == Record::none && wholeCopies == 0
                                                ? Answer::newTable
                                                : Answer::cancel;
                    EXPECT_EQ(known.byDefault(), expected);
                    EXPECT_EQ(known.copyMayLieElsewhere(), severalNames && !recordsKept);
                    ++cases;
                }
    EXPECT_EQ(cases, 36);
}

}   // namespace
