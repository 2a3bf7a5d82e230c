// The XML reader with the host's nth allocation failing: a mapping table of several slabs of records,
// texts long enough for blocks of their own, and the input buffers of UTF-8 and of converted texts.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "Support/AllocationSweep.h"
#include "XMLTestRecords.h"

using namespace xmltest;

namespace {

std::string mappingTable() {
    Table table;
    table.note = String(std::string(700, 'n'));   // a text past the pool's largest block
    for (int l = 0; l < 3; ++l) {
        auto& list = static_cast<SpecList&>(table.addItem(std::make_unique<SpecList>()));
        list.name = String(("Configuration " + std::to_string(l)).c_str());
        for (int n = 0; n < 150; ++n) {
            auto spec = std::make_unique<Spec>();
            spec->kind = n % 3 == 0 ? Kind::door : Kind::object;
            spec->original =
                String(("IfcFurnishingElement Office Chair " + std::to_string(n) + " & Co").c_str());
            spec->mapped = String(("Chair Swivel " + std::to_string(n % 7)).c_str());
            spec->count = n;
            list.addItem(std::move(spec));
        }
    }
    return writeText(table);
}

}   // namespace

TEST(XMLReader, FailsCleanlyWhereverAnAllocationFails) {
    const std::string utf8 = mappingTable();
    std::string latin1 = utf8;   // the same table as a text editor may save it
    latin1.replace(latin1.find("UTF-8"), 5, "ISO-8859-1");
    latin1.replace(latin1.find("Configuration 1"), 15, "Konfiguration \xE9");
    for (const std::string* input : {&utf8, static_cast<const std::string*>(&latin1)}) {
        const auto allocations = sweep::sweepAllocations(
            [] { return std::make_unique<Table>(); },
            [input](Table& table) {
                auto in = bufferOver(*input);
                XMLReader reader(*in);
                ASSERT_TRUE(reader.read(table)) << reader.errorText();
            },
            [](Table& table) { return writeText(table); },   // what a half-read table holds still writes
            /*keptOnFailure=*/false);
        EXPECT_GT(allocations, 5u);   // the input buffers, slabs and the long text
    }
}
